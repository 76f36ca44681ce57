#include <cmath>
#include <limits>
#include <sstream>

#include "OrvaneNet/Complex.h"
#include "TestUtil.h"

using OrvaneNet::Complex;

TEST(Complex, DefaultIsZeroAndPartsAreIndependentCopies) {
  Complex c;
  EXPECT_EQ(c, Complex(0, 0));
  Complex d = Complex(1, 2);
  Complex copy = d;
  copy.set_Real(5);
  EXPECT_EQ(d.get_Real(), 1.0);
  EXPECT_EQ(copy, Complex(5, 2));
  static_assert(std::is_trivially_copyable_v<Complex>);
  static_assert(sizeof(Complex) == 2 * sizeof(double));
}

TEST(Complex, EqualityComparesBothPartsAsDoubles) {
  EXPECT_TRUE(Complex(1, 2) == Complex(1, 2));
  EXPECT_FALSE(Complex(1, 2) == Complex(1, 3));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(Complex(nan, 0) == Complex(nan, 0));
  EXPECT_TRUE(Complex(0, 0) == Complex(-0.0, 0));
}

TEST(Complex, MixedOperatorsTreatTheDoubleAsRealComplex) {
  EXPECT_EQ(Complex(3, 4) * 2.0, Complex(6, 8));
  EXPECT_EQ(2.0 * Complex(3, 4), Complex(6, 8));
  EXPECT_EQ(Complex(3, 4) + 1.0, Complex(4, 4));
  EXPECT_EQ(1.0 - Complex(3, 4), Complex(-2, -4));
  EXPECT_EQ(Complex(6, 8) / 2.0, Complex(3, 4));
  EXPECT_EQ(Complex(1, 2) * Complex(3, 4), Complex(-5, 10));
  EXPECT_EQ(Complex(1, 2) - Complex(3, 4), Complex(-2, -2));
  const Complex q = 1.0 / Complex(0, 1);
  EXPECT_NEAR(q.get_Real(), 0.0, 1e-15);
  EXPECT_NEAR(q.get_Imag(), -1.0, 1e-15);
  // Going through (d, 0) keeps the all-complex arithmetic's signed zeros.
  const auto ref = std::complex<double>(3, 4) * std::complex<double>(-0.0, 0.0);
  const Complex got = Complex(3, 4) * -0.0;
  EXPECT_EQ(std::signbit(got.get_Real()), std::signbit(ref.real()));
  EXPECT_EQ(std::signbit(got.get_Imag()), std::signbit(ref.imag()));
}

TEST(Complex, FunctionsMatchTheStandardLibrary) {
  EXPECT_EQ(Complex::Norm(Complex(3, 4)), 25.0);
  EXPECT_EQ(Complex::Conj(Complex(1, -2)), Complex(1, 2));
  const Complex p = Complex::Pow(Complex(0, 1), 2.0);
  EXPECT_NEAR(p.get_Real(), -1.0, 1e-15);
  EXPECT_NEAR(p.get_Imag(), 0.0, 1e-15);
  const Complex q = Complex::Pow(2.0, Complex(3, 0));
  EXPECT_NEAR(q.get_Real(), 8.0, 1e-14);
  EXPECT_NEAR(q.get_Imag(), 0.0, 1e-14);
  // volatile: the compiler must not fold the reference calls at build time
  // with a different rounding than the run-time library.
  volatile double re = 0.3, im = -1.7;
  const std::complex<double> z(re, im);
  const Complex c(z);
  auto same = [](Complex a, std::complex<double> b) {
    EXPECT_EQ(a.get_Real(), b.real());
    EXPECT_EQ(a.get_Imag(), b.imag());
  };
  same(Complex::Sqrt(c), std::sqrt(z));
  same(Complex::Exp(c), std::exp(z));
  same(Complex::Log(c), std::log(z));
  same(Complex::Log10(c), std::log10(z));
  same(Complex::Sin(c), std::sin(z));
  same(Complex::Sinh(c), std::sinh(z));
  same(Complex::Cos(c), std::cos(z));
  same(Complex::Cosh(c), std::cosh(z));
  same(Complex::Tan(c), std::tan(z));
  same(Complex::Tanh(c), std::tanh(z));
  same(Complex::Pow(c, Complex(1.5, 0.5)), std::pow(z, std::complex<double>(1.5, 0.5)));
}

TEST(Complex, TextForms) {
  EXPECT_EQ(Complex(1.5, -2).ToString(), "(1.5000,-2.0000)");
  EXPECT_EQ(Complex(0, 0).ToString(), "(0.0000,0.0000)");
  EXPECT_EQ(Complex(1, -0.5).ToString(2), "(1.00,-0.50)");
  EXPECT_EQ(Complex(2.5, -2.5).ToString(0), "(3,-3)");
  EXPECT_EQ(Complex(1, 2).ToString("[", "|", "]", 1), "[1.0|2.0]");
  EXPECT_EQ(Complex(1, 2).ToString(nullptr, nullptr, nullptr, 1), "1.02.0");
  std::ostringstream os;
  os << Complex(-0.00004, 0.00005);
  EXPECT_EQ(os.str(), "(0.0000,0.0001)");
}

TEST(Complex, TextUsesTheGlobalLocaleDecimalSeparator) {
  orvane_test::CommaLocale comma;
  EXPECT_EQ(Complex(1.5, -2).ToString("(", ";", ")", 2), "(1,50;-2,00)");
}
