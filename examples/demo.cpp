// A short tour of what the library offers today.
#include <OrvaneNet/OrvaneNet.h>

#include <iostream>

int main() {
  using OrvaneNet::Complex;
  const Complex a(1.5, -2.0), b(0.25, 1.0);
  std::cout << "Complex numbers\n";
  std::cout << "  a = " << a << ", b = " << b << '\n';
  std::cout << "  a + b = " << a + b << ", a * b = " << a * b << ", a / b = " << a / b << '\n';
  std::cout << "  |a|^2 = Norm(a) = " << Complex::Norm(a) << '\n';
  std::cout << "  sqrt(a) = " << Complex::Sqrt(a).ToString(6) << '\n';
  std::cout << "  exp(i*pi) = " << Complex::Exp(Complex(0, 3.141592653589793)).ToString(12) << '\n';
  std::cout << "  with brackets: " << a.ToString("<", "; ", ">", 2) << '\n';
  return 0;
}
