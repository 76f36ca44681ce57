// Timing of the distributed LU solve (pdgesv through OrvaneNet::Distributed)
// at order n, started by mpirun: the median wall time of the solve over the
// processes, and on one process the raw LAPACK dgesv of the same matrix,
// alternated with it. Google Benchmark's loop does not fit a collective call
// made by every process together, so this is a plain program.
//
// usage: mpirun -np P distributed_timing [N [REPETITIONS [BLOCK]]]
// Prints one Markdown table row on rank 0:
// | P | grid | N | block | library s | raw dgesv s | ratio | peak RSS per process MiB | local matrix MiB |
#include <OrvaneNet/Distributed.h>
#include <mpi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern "C" void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
                       const int* ldb, int* info);

namespace {

using namespace OrvaneNet;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Peak resident memory of this process, in MiB.
double PeakRssMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : 4000;
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
  const int block = argc > 3 ? std::atoi(argv[3]) : DistributedMatrix::DefaultBlockSize;
  int rank = 0, size = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  MPI_Comm_size(MPI_COMM_WORLD, &size);
  {
    const ProcessGrid grid;
    // The matrices, on rank 0 only: the column-major values for the raw
    // call, and the same numbers as a Matrix to scatter.
    std::vector<double> a0, b0;
    Matrix a, b;
    if (rank == 0) {
      std::mt19937 rng(7);
      std::uniform_real_distribution<double> dist(-1.0, 1.0);
      a0.resize(static_cast<std::size_t>(n) * n);
      b0.resize(static_cast<std::size_t>(n));
      for (double& v : a0) v = dist(rng);
      for (double& v : b0) v = dist(rng);
      a = Matrix(n, n);
      b = Matrix(n, 1);
      for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) a(i, j) = a0[static_cast<std::size_t>(j) * n + i];
      }
      for (int i = 0; i < n; ++i) b(i, 0) = b0[static_cast<std::size_t>(i)];
    }
    std::vector<double> library, raw;
    double localMiB = 0;
    for (int r = 0; r < repetitions; ++r) {
      DistributedMatrix da = DistributedMatrix::Scatter(grid, a, 0, block);
      DistributedMatrix db = DistributedMatrix::Scatter(grid, b, 0, block);
      localMiB = static_cast<double>(da.get_LocalLeadingDimension()) * da.get_LocalColNum() * 8 / (1 << 20);
      MPI_Barrier(MPI_COMM_WORLD);
      double t = MPI_Wtime();
      DistributedLinearEquation::Solve(da, db);
      t = MPI_Wtime() - t;
      MPI_Allreduce(MPI_IN_PLACE, &t, 1, MPI_DOUBLE, MPI_MAX, MPI_COMM_WORLD);
      library.push_back(t);
      if (size == 1) {
        std::vector<double> ac = a0, bc = b0;
        std::vector<int> ipiv(static_cast<std::size_t>(n));
        const int one = 1;
        int info = 0;
        double s = MPI_Wtime();
        dgesv_(&n, &one, ac.data(), &n, ipiv.data(), bc.data(), &n, &info);
        raw.push_back(MPI_Wtime() - s);
      }
    }
    double rss = PeakRssMiB();
    MPI_Allreduce(MPI_IN_PLACE, &rss, 1, MPI_DOUBLE, MPI_MAX, MPI_COMM_WORLD);
    MPI_Allreduce(MPI_IN_PLACE, &localMiB, 1, MPI_DOUBLE, MPI_MAX, MPI_COMM_WORLD);
    if (rank == 0) {
      const double lib = Median(library);
      std::printf("| %d | %dx%d | %d | %d | %.3f | %s | %s | %.0f | %.0f |\n", size, grid.get_Rows(), grid.get_Cols(),
                  n, block, lib, raw.empty() ? "" : std::to_string(Median(raw)).substr(0, 5).c_str(),
                  raw.empty() ? "" : std::to_string(lib / Median(raw)).substr(0, 4).c_str(), rss, localMiB);
    }
  }
  MPI_Finalize();
  return 0;
}
