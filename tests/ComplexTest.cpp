#include <cmath>
#include <cstring>
#include <sstream>

#include "OrvaneNet/Complex.h"
#include "TestUtil.h"

using OrvaneNet::Complex;
using StdComplex = std::complex<double>;

namespace {

void ExpectSameBits(Complex got, StdComplex want) {
  const double parts[] = {got.get_Real(), got.get_Imag(), want.real(), want.imag()};
  EXPECT_EQ(std::memcmp(&parts[0], &parts[2], sizeof(double)), 0) << parts[0] << " vs " << parts[2];
  EXPECT_EQ(std::memcmp(&parts[1], &parts[3], sizeof(double)), 0) << parts[1] << " vs " << parts[3];
}

}  // namespace

// A double operand takes part as (d, 0), so signed zeros come out as in the
// all-complex arithmetic, not as in std::complex's mixed operators.
TEST(Complex, MixedOperatorsTreatTheDoubleAsRealComplex) {
  const double d = -0.0;
  const StdComplex w(d, 0.0);
  for (const double im : {-0.0, 0.0}) {
    const Complex c(3, im);
    const StdComplex z(3, im);
    ExpectSameBits(c + d, z + w);
    ExpectSameBits(d + c, w + z);
    ExpectSameBits(c - d, z - w);
    ExpectSameBits(d - c, w - z);
    ExpectSameBits(c * d, z * w);
    ExpectSameBits(d * c, w * z);
    ExpectSameBits(c / 2.0, z / StdComplex(2.0, 0.0));
    ExpectSameBits(2.0 / c, StdComplex(2.0, 0.0) / z);
  }
}

TEST(Complex, FunctionsMatchTheStandardLibrary) {
  EXPECT_EQ(Complex::Norm(Complex(3, 4)), 25.0);
  EXPECT_EQ(Complex::Conj(Complex(1, -2)), Complex(1, 2));
  // volatile: the compiler must not fold the reference calls at build time
  // with a different rounding than the run-time library.
  volatile double re = 0.3, im = -1.7;
  const StdComplex z(re, im), p(1.5, 0.5);
  const Complex c(z);
  ExpectSameBits(Complex::Sqrt(c), std::sqrt(z));
  ExpectSameBits(Complex::Exp(c), std::exp(z));
  ExpectSameBits(Complex::Log(c), std::log(z));
  ExpectSameBits(Complex::Log10(c), std::log10(z));
  ExpectSameBits(Complex::Sin(c), std::sin(z));
  ExpectSameBits(Complex::Sinh(c), std::sinh(z));
  ExpectSameBits(Complex::Cos(c), std::cos(z));
  ExpectSameBits(Complex::Cosh(c), std::cosh(z));
  ExpectSameBits(Complex::Tan(c), std::tan(z));
  ExpectSameBits(Complex::Tanh(c), std::tanh(z));
  ExpectSameBits(Complex::Pow(c, Complex(p)), std::pow(z, p));
  ExpectSameBits(Complex::Pow(c, 2.5), std::pow(z, StdComplex(2.5, 0.0)));
  ExpectSameBits(Complex::Pow(2.5, c), std::pow(StdComplex(2.5, 0.0), z));
}

TEST(Complex, TextForms) {
  EXPECT_EQ(Complex(2.5, -2.5).ToString(0), "(3,-3)");
  EXPECT_EQ(Complex(1, 2).ToString(nullptr, nullptr, nullptr, 1), "1.02.0");
  std::ostringstream os;
  os << Complex(1.5, -2);
  EXPECT_EQ(os.str(), "(1.5000,-2.0000)");
  orvane_test::CommaLocale comma;
  EXPECT_EQ(Complex(1.5, -2).ToString("(", ";", ")", 2), "(1,50;-2,00)");
}
