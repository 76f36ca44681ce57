// MatrixFormatter::RoundTrip: the shortest text that reads back to the same
// double, so that Save then Load gives every element back bit for bit, in
// the classic and in a comma-decimal locale.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/MatrixFormatter.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>

#include "KindCases.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

using Limits = std::numeric_limits<double>;

// With a decimal comma, separators a decimal comma cannot be taken for.
MatrixFormatter RoundTrip(bool comma = false) {
  MatrixFormatter f;
  f.set_RoundTrip(true);
  f.set_NumberOfDigit(2);  // ignored while RoundTrip is on
  if (comma) {
    f.set_ElementSeparatedBy(";");
    f.set_ComplexValueSepratedBy("|");
  }
  return f;
}

// The values that stress a shortest printer and a parser: signed zeros, the
// smallest and largest subnormals and normals, the extremes, powers of ten
// near the fixed/scientific switch, NaN and the infinities; then doubles
// drawn uniformly over all finite bit patterns, and random subnormals.
std::vector<double> HardValues(std::size_t count, std::uint32_t seed) {
  std::vector<double> v{0.0, -0.0, Limits::denorm_min(), -Limits::denorm_min(),
                        0x0.fffffffffffffp-1022, Limits::min(), -Limits::min(), Limits::max(),
                        -Limits::max(), Limits::epsilon(), 0.1, 1.0 / 3.0, 1e21, 1e22,
                        123456789012345678.0, 1e-5, 9007199254740993.0, 5e-324,
                        Limits::quiet_NaN(), Limits::infinity(), -Limits::infinity()};
  std::mt19937_64 rng(seed);
  while (v.size() < count) {
    const std::uint64_t bits = rng();
    if (!std::isfinite(std::bit_cast<double>(bits))) continue;
    v.push_back(std::bit_cast<double>(bits));
    v.push_back(std::bit_cast<double>(bits & 0x800fffffffffffffULL));  // a subnormal, either sign
  }
  v.resize(count);
  return v;
}

// Saved and loaded in the classic locale as a rows-row matrix, and with a
// decimal comma as a commaRows-row one.
template <class H, class E>
void ExpectSavedAndLoadedExactly(const std::vector<E>& values, int rows, int commaRows) {
  const TempFolder folder;
  for (const bool comma : {false, true}) {
    std::optional<CommaLocale> locale;
    if (comma) locale.emplace();
    const int m = comma ? commaRows : rows, n = static_cast<int>(values.size()) / m;
    const std::string path = folder.Path(comma ? "comma.txt" : "classic.txt");
    H::Save(H::FromValues(m, n, values, Layout::ColumnMajor), RoundTrip(comma), path);
    const H back = H::Load(path, RoundTrip(comma));
    ASSERT_EQ(back.get_RowNum(), m);
    ASSERT_EQ(back.get_ColNum(), n);
    const auto got = back.ToVector(Layout::ColumnMajor);
    for (std::size_t k = 0; k < values.size(); ++k) ASSERT_TRUE(SameBits(got[k], values[k])) << k;
  }
}

TEST(RoundTrip, MatricesComeBackBitForBit) {
  ExpectSavedAndLoadedExactly<Matrix>(HardValues(40 * 37, 1), 40, 37);
  const auto parts = HardValues(2 * 30 * 11, 2);
  std::vector<Complex> values;
  for (std::size_t k = 0; k + 1 < parts.size(); k += 2) values.emplace_back(parts[k], parts[k + 1]);
  ExpectSavedAndLoadedExactly<ComplexMatrix>(values, 30, 11);
}

// What the text looks like: the shortest form, the locale's decimal point,
// no group separators, the special values as Load reads them.
TEST(RoundTrip, PrintsTheShortestForm) {
  const Matrix a{{0.1, -0.0, 5e-324, 1234567.5},
                 {1e21, Limits::quiet_NaN(), Limits::infinity(), -Limits::infinity()}};
  EXPECT_EQ(a.ToString(RoundTrip()),
            "[0.1,-0,5e-324,1234567.5]\r\n[1e+21,NaN,Infinity,-Infinity]\r\n");
  const ComplexMatrix c{{Complex(0.5, -1e-7)}};
  EXPECT_EQ(c.ToString(RoundTrip()), "[(0.5,-1e-07)]\r\n");
  {
    CommaLocale comma;
    EXPECT_EQ(a.ToString(RoundTrip(true)),
              "[0,1;-0;5e-324;1234567,5]\r\n[1e+21;NaN;Infinity;-Infinity]\r\n");
    EXPECT_EQ(c.ToString(RoundTrip(true)), "[(0,5|-1e-07)]\r\n");
  }
  // Off (the default), the digits rule as before.
  MatrixFormatter plain;
  EXPECT_FALSE(plain.get_RoundTrip());
  EXPECT_EQ((Matrix{{0.1, 2}}.ToString(plain)), "[0.1000,2.0000]\r\n");
}

}  // namespace
