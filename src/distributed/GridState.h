// The internal state behind ProcessGrid and DistributedMatrix, shared by the
// distributed library's sources.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "OrvaneNet/Distributed.h"
#include "distributed/ScaLapack.h"

namespace OrvaneNet {

struct ProcessGrid::State {
  MPI_Comm comm = MPI_COMM_NULL;
  int rows = 0, cols = 0;
  int myRow = 0, myCol = 0;
  int rank = 0;
  int systemContext = -1;
  int context = -1;
  // rankOf[r * cols + c]: the communicator rank of grid process (r, c).
  std::vector<int> rankOf;

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State();
};

// Which factors a factorized matrix holds.
enum class Factors { None, LU, Cholesky };

struct DistributedMatrix::State {
  std::shared_ptr<const ProcessGrid::State> grid;
  int rows = 0, cols = 0, block = 1;
  int localRows = 0, localCols = 0;
  std::array<int, scalapack::kDescriptorLength> desc{};
  std::vector<double> local;
  // LU pivots, local: LocalRowNum + BlockSize entries.
  std::vector<int> ipiv;
  Factors factors = Factors::None;
  // With LU factors: the 1-based index of the first zero on U's diagonal, or 0.
  int singularPivot = 0;

  int Lld() const { return localRows > 0 ? localRows : 1; }
};

namespace detail {

// Grid process row (column) that holds global row (column) index of a
// dimension split in blocks of `block` over `procs` processes, and its index
// in that process's local array.
inline int OwnerOf(int index, int block, int procs) { return (index / block) % procs; }
inline int LocalIndexOf(int index, int block, int procs) {
  return (index / (block * procs)) * block + index % block;
}
// Global indices held by process `proc`, in local order.
std::vector<int> GlobalIndicesOf(int extent, int block, int proc, int procs);

}  // namespace detail

// Friend of DistributedMatrix: the procedures reach the state through it.
struct DistributedAccess {
  static DistributedMatrix::State& Of(DistributedMatrix& m) { return m.Checked(); }
  static const DistributedMatrix::State& Of(const DistributedMatrix& m) { return m.Checked(); }
  static const std::shared_ptr<const ProcessGrid::State>& GridOf(const ProcessGrid& g);
};

}  // namespace OrvaneNet
