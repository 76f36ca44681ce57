// Solves a 3 x 3 system through the installed headers and library; exits 0
// when the solution is (1, -2, 3).
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>

#include <cmath>
#include <iostream>

int main() {
  using OrvaneNet::Matrix;
  Matrix a(3, 3), b(3, 1);
  const double values[3][3] = {{4, -2, 1}, {-2, 4, -2}, {1, -2, 4}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) a(i, j) = values[i][j];
  }
  b(0, 0) = 11;
  b(1, 0) = -16;
  b(2, 0) = 17;
  OrvaneNet::LinearEquation::Solve(a, b);
  std::cout << b;
  const double expected[3] = {1, -2, 3};
  for (int i = 0; i < 3; ++i) {
    if (std::abs(b(i, 0) - expected[i]) > 1e-12) return 1;
  }
  return 0;
}
