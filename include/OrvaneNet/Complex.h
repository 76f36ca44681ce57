#pragma once

#include <complex>
#include <iosfwd>
#include <string>

namespace OrvaneNet {

// A complex number of two doubles, real part first. A plain value: copies are
// independent, so changing a copy read from a matrix leaves the matrix alone.
// Arithmetic and functions are those of std::complex<double>.
class Complex {
 public:
  constexpr Complex() noexcept = default;
  constexpr Complex(double real, double imag) noexcept : m_real(real), m_imag(imag) {}
  constexpr Complex(std::complex<double> c) noexcept : m_real(c.real()), m_imag(c.imag()) {}
  constexpr std::complex<double> ToStdComplex() const noexcept { return {m_real, m_imag}; }

  constexpr double get_Real() const noexcept { return m_real; }
  constexpr void set_Real(double value) noexcept { m_real = value; }
  constexpr double get_Imag() const noexcept { return m_imag; }
  constexpr void set_Imag(double value) noexcept { m_imag = value; }

  // beginStr + F(real) + separator + F(imag) + endStr, F being the fixed-point
  // text with numDigit decimals (a negative count prints as 0). nullptr = "".
  std::string ToString(const char* beginStr, const char* separator, const char* endStr,
                       int numDigit) const;
  // "(" real "," imag ")" with numDigit decimals.
  std::string ToString(int numDigit) const;
  // "(" real "," imag ")" with 4 decimals: (1.5, -2) prints as (1.5000,-2.0000).
  std::string ToString() const;

  static Complex Pow(Complex base, Complex power);
  static Complex Pow(Complex base, double power);
  static Complex Pow(double base, Complex power);
  static Complex Conj(Complex c);
  // The squared magnitude, not the modulus.
  static double Norm(Complex c);
  static Complex Sqrt(Complex c);
  static Complex Exp(Complex c);
  static Complex Log(Complex c);
  static Complex Log10(Complex c);
  static Complex Sin(Complex c);
  static Complex Sinh(Complex c);
  static Complex Cos(Complex c);
  static Complex Cosh(Complex c);
  static Complex Tan(Complex c);
  static Complex Tanh(Complex c);

 private:
  double m_real = 0.0;
  double m_imag = 0.0;
};

// Both parts compare equal as doubles (so a NaN part is never equal).
constexpr bool operator==(Complex lhs, Complex rhs) noexcept {
  return lhs.get_Real() == rhs.get_Real() && lhs.get_Imag() == rhs.get_Imag();
}

// A double operand d takes part as the complex value (d, 0).
Complex operator+(Complex lhs, Complex rhs);
Complex operator+(Complex lhs, double d);
Complex operator+(double d, Complex rhs);
Complex operator-(Complex lhs, Complex rhs);
Complex operator-(Complex lhs, double d);
Complex operator-(double d, Complex rhs);
Complex operator*(Complex lhs, Complex rhs);
Complex operator*(Complex lhs, double d);
Complex operator*(double d, Complex rhs);
Complex operator/(Complex lhs, Complex rhs);
Complex operator/(Complex lhs, double d);
Complex operator/(double d, Complex rhs);

// Writes ToString().
std::ostream& operator<<(std::ostream& os, const Complex& c);

}  // namespace OrvaneNet
