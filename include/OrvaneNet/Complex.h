#pragma once

#include <complex>
#include <iosfwd>
#include <string>

namespace OrvaneNet {

/// A complex number of two doubles, real part first. A plain value: copies are
/// independent, so changing a copy read from a matrix leaves the matrix alone.
/// Arithmetic and functions are those of std::complex<double>.
class Complex {
 public:
  /// The value (0, 0).
  constexpr Complex() noexcept = default;
  /// The value real + imag i.
  constexpr Complex(double real, double imag) noexcept : m_real(real), m_imag(imag) {}
  /// Implicit conversion from the standard complex type.
  constexpr Complex(std::complex<double> c) noexcept : m_real(c.real()), m_imag(c.imag()) {}
  /// The same value as the standard complex type.
  constexpr std::complex<double> ToStdComplex() const noexcept { return {m_real, m_imag}; }

  /// The real part.
  constexpr double get_Real() const noexcept { return m_real; }
  /// Replaces the real part.
  constexpr void set_Real(double value) noexcept { m_real = value; }
  /// The imaginary part.
  constexpr double get_Imag() const noexcept { return m_imag; }
  /// Replaces the imaginary part.
  constexpr void set_Imag(double value) noexcept { m_imag = value; }

  /// beginStr + F(real) + separator + F(imag) + endStr, F being the fixed-point
  /// text with numDigit decimals (a negative count prints as 0). nullptr = "".
  std::string ToString(const char* beginStr, const char* separator, const char* endStr,
                       int numDigit) const;
  /// "(" real "," imag ")" with numDigit decimals.
  std::string ToString(int numDigit) const;
  /// "(" real "," imag ")" with 4 decimals: (1.5, -2) prints as (1.5000,-2.0000).
  std::string ToString() const;

  /// base raised to power (principal branch), as std::pow.
  static Complex Pow(Complex base, Complex power);
  /// base raised to a real power, as std::pow.
  static Complex Pow(Complex base, double power);
  /// A real base raised to a complex power, as std::pow.
  static Complex Pow(double base, Complex power);
  /// The complex conjugate.
  static Complex Conj(Complex c);
  /// The squared magnitude, not the modulus.
  static double Norm(Complex c);
  /// The principal square root.
  static Complex Sqrt(Complex c);
  /// e raised to c.
  static Complex Exp(Complex c);
  /// The principal natural logarithm.
  static Complex Log(Complex c);
  /// The principal base-10 logarithm.
  static Complex Log10(Complex c);
  /// Sine.
  static Complex Sin(Complex c);
  /// Hyperbolic sine.
  static Complex Sinh(Complex c);
  /// Cosine.
  static Complex Cos(Complex c);
  /// Hyperbolic cosine.
  static Complex Cosh(Complex c);
  /// Tangent.
  static Complex Tan(Complex c);
  /// Hyperbolic tangent.
  static Complex Tanh(Complex c);

 private:
  double m_real = 0.0;
  double m_imag = 0.0;
};

/// Both parts compare equal as doubles (so a NaN part is never equal).
constexpr bool operator==(Complex lhs, Complex rhs) noexcept {
  return lhs.get_Real() == rhs.get_Real() && lhs.get_Imag() == rhs.get_Imag();
}

/// Sum. In every arithmetic operator a double operand d takes part as the
/// complex value (d, 0); the results are those of std::complex<double>.
Complex operator+(Complex lhs, Complex rhs);
/// Sum with a real operand.
Complex operator+(Complex lhs, double d);
/// Sum with a real operand.
Complex operator+(double d, Complex rhs);
/// Difference.
Complex operator-(Complex lhs, Complex rhs);
/// Difference with a real operand.
Complex operator-(Complex lhs, double d);
/// Difference with a real operand.
Complex operator-(double d, Complex rhs);
/// Product.
Complex operator*(Complex lhs, Complex rhs);
/// Product with a real operand.
Complex operator*(Complex lhs, double d);
/// Product with a real operand.
Complex operator*(double d, Complex rhs);
/// Quotient.
Complex operator/(Complex lhs, Complex rhs);
/// Quotient with a real operand.
Complex operator/(Complex lhs, double d);
/// Quotient with a real operand.
Complex operator/(double d, Complex rhs);

/// Writes ToString().
std::ostream& operator<<(std::ostream& os, const Complex& c);

}  // namespace OrvaneNet
