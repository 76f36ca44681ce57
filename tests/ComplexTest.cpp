#include <climits>
#include <cmath>
#include <limits>
#include <cstring>
#include <sstream>

#include "OrvaneNet/Complex.h"
#include "TestUtil.h"

using OrvaneNet::Complex;
using StdComplex = std::complex<double>;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Equal bits, except that two NaNs match whatever their sign and payload
// (those depend on the operand order the compiler chose).
void ExpectSameBits(Complex got, StdComplex want) {
  const double parts[] = {got.get_Real(), got.get_Imag(), want.real(), want.imag()};
  for (int k : {0, 1})
    EXPECT_TRUE(std::memcmp(&parts[k], &parts[k + 2], sizeof(double)) == 0 ||
                (std::isnan(parts[k]) && std::isnan(parts[k + 2])))
        << parts[k] << " vs " << parts[k + 2];
}

}  // namespace

// A double operand takes part as (d, 0), so signed zeros come out as in the
// all-complex arithmetic, not as in std::complex's mixed operators.
TEST(Complex, MixedOperatorsTreatTheDoubleAsRealComplex) {
  const double d = -0.0;
  const StdComplex w(d, 0.0);
  for (const double im : {-0.0, 0.0}) {
    const Complex c(3, im);
    const StdComplex z(3, im), two(2.0, 0.0);
    const std::pair<Complex, StdComplex> results[] = {
        {c + d, z + w}, {d + c, w + z}, {c - d, z - w}, {d - c, w - z},
        {c * d, z * w}, {d * c, w * z}, {c / 2.0, z / two}, {2.0 / c, two / z},
    };
    for (const auto& [got, want] : results) ExpectSameBits(got, want);
  }
}

// Special values (infinities, NaN, zero, overflow) included: there the
// results are whatever the standard functions give.
TEST(Complex, FunctionsMatchTheStandardLibrary) {
  EXPECT_EQ(Complex::Norm(Complex(3, 4)), 25.0);
  // volatile: the compiler must not fold the reference calls at build time
  // with a different rounding than the run-time library.
  volatile double parts[][2] = {{0.3, -1.7}, {kNaN, kInf}, {0, 0}, {-kInf, kInf}, {0, 1e308}, {1e308, 0}};
  for (auto& part : parts) {
    const StdComplex z(part[0], part[1]), p(1.5, 0.5);
    const Complex c(z);
    SCOPED_TRACE(testing::Message() << z);
    EXPECT_TRUE(Complex::Norm(c) == std::norm(z) || std::isnan(std::norm(z)));
    const std::pair<Complex, StdComplex> results[] = {
        {Complex::Conj(c), std::conj(z)}, {Complex::Sqrt(c), std::sqrt(z)},
        {Complex::Exp(c), std::exp(z)},   {Complex::Log(c), std::log(z)},
        {Complex::Log10(c), std::log10(z)}, {Complex::Sin(c), std::sin(z)},
        {Complex::Sinh(c), std::sinh(z)}, {Complex::Cos(c), std::cos(z)},
        {Complex::Cosh(c), std::cosh(z)}, {Complex::Tan(c), std::tan(z)},
        {Complex::Tanh(c), std::tanh(z)}, {Complex::Pow(c, Complex(p)), std::pow(z, p)},
        {Complex::Pow(c, c), std::pow(z, z)}, {Complex(1, 1) / c, StdComplex(1, 1) / z},
        {Complex::Pow(c, 2.5), std::pow(z, StdComplex(2.5, 0.0))},
        {Complex::Pow(2.5, c), std::pow(StdComplex(2.5, 0.0), z)},
    };
    for (std::size_t k = 0; k < std::size(results); ++k) {
      SCOPED_TRACE(k);
      ExpectSameBits(results[k].first, results[k].second);
    }
  }
}

TEST(Complex, TextForms) {
  EXPECT_EQ(Complex(2.5, -2.5).ToString(0), "(3,-3)");
  EXPECT_EQ(Complex(1, 2).ToString(nullptr, nullptr, nullptr, 1), "1.02.0");
  EXPECT_EQ(Complex(kNaN, -kInf).ToString(nullptr, nullptr, nullptr, INT_MIN), "NaN-Infinity");
  const std::string zeros(1000, '0');
  EXPECT_EQ(Complex(0.5, -1e300).ToString(1000), "(0.5" + zeros.substr(1) + ",-1" + zeros.substr(700) + "." + zeros + ")");
  std::ostringstream os;
  os << Complex(1.5, -2);
  EXPECT_EQ(os.str(), "(1.5000,-2.0000)");
  orvane_test::CommaLocale comma;
  EXPECT_EQ(Complex(1.5, -2).ToString("(", ";", ")", 2), "(1,50;-2,00)");
}
