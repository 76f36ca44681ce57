#include <limits>

#include "TestUtil.h"
#include "core/NumberText.h"

using OrvaneNet::detail::FormatFixed;
using OrvaneNet::detail::FormatGeneral;

namespace {
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

// Rounded half away from zero after a first rounding to 15 significant digits.
TEST(FixedForm, RoundingAndSpecialValues) {
  const struct {
    double value;
    int digits;
    const char* text;
  } rows[] = {
      {-0.00004, 4, "0.0000"},  // no negative zero
      {0.00005, 4, "0.0001"},
      {-2.5, 0, "-3"},
      {0.125, 2, "0.13"},
      {1.005, 2, "1.01"},  // 1.00499999... in binary: a tie after 15 digits
      {-999.96, 1, "-1000.0"},
      {0.1, 20, "0.10000000000000000000"},
      {123456789012345678.0, 1, "123456789012346000.0"},
      {1e-300, 3, "0.000"},
      {7.0, -3, "7"},
      {kNaN, 4, "NaN"},
      {-kInf, 0, "-Infinity"},
  };
  for (const auto& r : rows) EXPECT_EQ(FormatFixed(r.value, r.digits), r.text) << r.value;
}

TEST(GeneralForm, FifteenSignificantDigitsAndExponentRange) {
  const std::pair<double, const char*> rows[] = {
      {1.0 / 3.0, "0.333333333333333"},
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {1e14, "100000000000000"},
      {1e15, "1E+15"},
      {2.0 / 3.0 * 1e20, "6.66666666666667E+19"},
      {-2.5e-7, "-2.5E-07"},
      {1e-300, "1E-300"},
      {-0.0, "0"},
      {0.1 + 0.2, "0.3"},
      {kNaN, "NaN"},
  };
  for (const auto& [value, text] : rows) EXPECT_EQ(FormatGeneral(value), text) << value;
}
