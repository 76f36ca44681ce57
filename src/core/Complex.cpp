#include "OrvaneNet/Complex.h"

#include <ostream>

#include "core/NumberText.h"

namespace OrvaneNet {
namespace {
using std_c = std::complex<double>;
}

std::string Complex::ToString(const char* beginStr, const char* separator, const char* endStr,
                              int numDigit) const {
  const auto conv = detail::NumberConventions::Current();
  std::string out = beginStr ? beginStr : "";
  detail::AppendFixed(out, m_real, numDigit, conv);
  if (separator) out += separator;
  detail::AppendFixed(out, m_imag, numDigit, conv);
  if (endStr) out += endStr;
  return out;
}

std::string Complex::ToString(int numDigit) const { return ToString("(", ",", ")", numDigit); }
std::string Complex::ToString() const { return ToString(4); }

Complex Complex::Pow(Complex base, Complex power) {
  return std::pow(base.ToStdComplex(), power.ToStdComplex());
}
// Both mixed forms go through the complex-complex power on purpose.
Complex Complex::Pow(Complex base, double power) { return Pow(base, Complex(power, 0.0)); }
Complex Complex::Pow(double base, Complex power) { return Pow(Complex(base, 0.0), power); }
Complex Complex::Conj(Complex c) { return std::conj(c.ToStdComplex()); }
double Complex::Norm(Complex c) { return std::norm(c.ToStdComplex()); }
Complex Complex::Sqrt(Complex c) { return std::sqrt(c.ToStdComplex()); }
Complex Complex::Exp(Complex c) { return std::exp(c.ToStdComplex()); }
Complex Complex::Log(Complex c) { return std::log(c.ToStdComplex()); }
Complex Complex::Log10(Complex c) { return std::log10(c.ToStdComplex()); }
Complex Complex::Sin(Complex c) { return std::sin(c.ToStdComplex()); }
Complex Complex::Sinh(Complex c) { return std::sinh(c.ToStdComplex()); }
Complex Complex::Cos(Complex c) { return std::cos(c.ToStdComplex()); }
Complex Complex::Cosh(Complex c) { return std::cosh(c.ToStdComplex()); }
Complex Complex::Tan(Complex c) { return std::tan(c.ToStdComplex()); }
Complex Complex::Tanh(Complex c) { return std::tanh(c.ToStdComplex()); }

Complex operator+(Complex lhs, Complex rhs) { return lhs.ToStdComplex() + rhs.ToStdComplex(); }
Complex operator-(Complex lhs, Complex rhs) { return lhs.ToStdComplex() - rhs.ToStdComplex(); }
Complex operator*(Complex lhs, Complex rhs) { return lhs.ToStdComplex() * rhs.ToStdComplex(); }
Complex operator/(Complex lhs, Complex rhs) { return lhs.ToStdComplex() / rhs.ToStdComplex(); }
// Mixed forms: the double becomes (d, 0) and the complex-complex operator runs,
// so results (signed zeros, NaN handling) match the all-complex arithmetic.
Complex operator+(Complex lhs, double d) { return lhs + Complex(d, 0.0); }
Complex operator+(double d, Complex rhs) { return Complex(d, 0.0) + rhs; }
Complex operator-(Complex lhs, double d) { return lhs - Complex(d, 0.0); }
Complex operator-(double d, Complex rhs) { return Complex(d, 0.0) - rhs; }
Complex operator*(Complex lhs, double d) { return lhs * Complex(d, 0.0); }
Complex operator*(double d, Complex rhs) { return Complex(d, 0.0) * rhs; }
Complex operator/(Complex lhs, double d) { return lhs / Complex(d, 0.0); }
Complex operator/(double d, Complex rhs) { return Complex(d, 0.0) / rhs; }

std::ostream& operator<<(std::ostream& os, const Complex& c) { return os << c.ToString(); }

}  // namespace OrvaneNet
