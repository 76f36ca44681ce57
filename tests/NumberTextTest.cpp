#include <cmath>
#include <limits>

#include "TestUtil.h"
#include "core/NumberText.h"

using OrvaneNet::detail::FormatFixed;
using OrvaneNet::detail::FormatGeneral;

namespace {
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(FixedForm, RoundsHalfAwayFromZeroAfterFifteenDigits) {
  EXPECT_EQ(FormatFixed(2, 4), "2.0000");
  EXPECT_EQ(FormatFixed(-0.00004, 4), "0.0000");
  EXPECT_EQ(FormatFixed(0.00005, 4), "0.0001");
  EXPECT_EQ(FormatFixed(2.5, 0), "3");
  EXPECT_EQ(FormatFixed(-2.5, 0), "-3");
  EXPECT_EQ(FormatFixed(0.25, 1), "0.3");
  EXPECT_EQ(FormatFixed(-0.04, 1), "0.0");
  // 1.005 is 1.00499999... in binary; the 15-digit step makes it a tie.
  EXPECT_EQ(FormatFixed(0.125, 2), "0.13");
  EXPECT_EQ(FormatFixed(1.005, 2), "1.01");
  EXPECT_EQ(FormatFixed(9.9999, 2), "10.00");
  EXPECT_EQ(FormatFixed(-999.96, 1), "-1000.0");
  EXPECT_EQ(FormatFixed(0.1, 20), "0.10000000000000000000");
  EXPECT_EQ(FormatFixed(123456789012345678.0, 1), "123456789012346000.0");
  EXPECT_EQ(FormatFixed(-0.0, 2), "0.00");
  EXPECT_EQ(FormatFixed(1e-300, 3), "0.000");
  EXPECT_EQ(FormatFixed(7.0, -3), "7");
}

TEST(FixedForm, SpecialValues) {
  EXPECT_EQ(FormatFixed(kNaN, 4), "NaN");
  EXPECT_EQ(FormatFixed(kInf, 4), "Infinity");
  EXPECT_EQ(FormatFixed(-kInf, 0), "-Infinity");
}

TEST(GeneralForm, FifteenSignificantDigitsAndExponentRange) {
  EXPECT_EQ(FormatGeneral(0.5), "0.5");
  EXPECT_EQ(FormatGeneral(100), "100");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
  EXPECT_EQ(FormatGeneral(0.00001), "1E-05");
  EXPECT_EQ(FormatGeneral(1.5), "1.5");
  EXPECT_EQ(FormatGeneral(1e15), "1E+15");
  EXPECT_EQ(FormatGeneral(1e14), "100000000000000");
  EXPECT_EQ(FormatGeneral(1.5e20), "1.5E+20");
  EXPECT_EQ(FormatGeneral(2.0 / 3.0 * 1e20), "6.66666666666667E+19");
  EXPECT_EQ(FormatGeneral(-2.5e-7), "-2.5E-07");
  EXPECT_EQ(FormatGeneral(1e-300), "1E-300");
  EXPECT_EQ(FormatGeneral(-0.0), "0");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatGeneral(kNaN), "NaN");
  EXPECT_EQ(FormatGeneral(-kInf), "-Infinity");
}

TEST(GeneralForm, CommaLocale) {
  orvane_test::CommaLocale comma;
  EXPECT_EQ(FormatGeneral(1.5), "1,5");
  EXPECT_EQ(FormatGeneral(1.5e-7), "1,5E-07");
  EXPECT_EQ(FormatFixed(1234.5, 2), "1234,50");  // no grouping
}
