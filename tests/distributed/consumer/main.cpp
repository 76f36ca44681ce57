// Solves the 3 x 3 system of the core consumer through the installed
// Distributed component, on however many processes start it (one here), and
// prints the solution on rank 0.
#include <OrvaneNet/Distributed.h>

#include <iostream>

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  {
    const OrvaneNet::ProcessGrid grid;
    OrvaneNet::Matrix a(3, 3), b(3, 1);
    const double values[3][3] = {{4, -2, 1}, {-2, 4, -2}, {1, -2, 4}}, rhs[3] = {11, -16, 17};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) a(i, j) = values[i][j];
      b(i, 0) = rhs[i];
    }
    auto da = OrvaneNet::DistributedMatrix::Scatter(grid, a, 0, 2);
    auto db = OrvaneNet::DistributedMatrix::Scatter(grid, b, 0, 2);
    OrvaneNet::DistributedLinearEquation::Solve(da, db);
    const OrvaneNet::Matrix x = db.Gather();
    if (grid.get_Rank() == 0) std::cout << x;
  }
  MPI_Finalize();
  return 0;
}
