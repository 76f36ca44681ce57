// Solves a 3 x 3 system through the installed headers and library and prints
// the solution, which the InstalledConsumer test compares with (1, -2, 3).
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>

#include <iostream>

int main() {
  OrvaneNet::Matrix a(3, 3), b(3, 1);
  const double values[3][3] = {{4, -2, 1}, {-2, 4, -2}, {1, -2, 4}}, rhs[3] = {11, -16, 17};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) a(i, j) = values[i][j];
    b(i, 0) = rhs[i];
  }
  OrvaneNet::LinearEquation::Solve(a, b);
  std::cout << b;
  return 0;
}
