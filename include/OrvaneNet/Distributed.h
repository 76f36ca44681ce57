#pragma once

// Dense matrices distributed over MPI processes and their solvers, computed
// by ScaLAPACK. Part of the separate library OrvaneNet::Distributed (built
// with -DORVANE_WITH_MPI=ON; find_package(OrvaneNet COMPONENTS Distributed));
// OrvaneNet/OrvaneNet.h does not include this header, since it needs <mpi.h>.
//
// The program initializes MPI itself (MPI_Init before the first grid,
// MPI_Finalize after the last object of this header is destroyed).
//
// Collective calls: constructors, Scatter, Gather and the procedures are
// called by every process of the grid with the same arguments (the same
// shapes, block size and root), as with MPI. They raise errors collectively:
// a bad shape, a grid that does not fit the processes, a ScaLAPACK failure
// or memory running out on one process raise the same exception on every
// process, and no process is left waiting in a collective call. Element
// access by global index is local and raises on the calling process only.

#include <mpi.h>

#include <memory>
#include <utility>
#include <vector>

#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// A P x Q grid of all processes of an MPI communicator (a BLACS context),
/// numbered row by row: process (r, c) is rank r * Q + c of the communicator.
/// A handle: copies share one grid, which lives as long as its last copy or
/// matrix. The communicator must outlive it.
class ProcessGrid {
 public:
  /// Collective over comm. P x Q as square as possible with P <= Q and
  /// P * Q the number of processes (4: 2 x 2, 2: 1 x 2, 6: 2 x 3). Raises
  /// OrvaneException when MPI is not initialized.
  explicit ProcessGrid(MPI_Comm comm = MPI_COMM_WORLD);
  /// Collective over comm: a rows x cols grid. Raises OrvaneException on every
  /// process when rows or cols is less than 1, when rows * cols differs from
  /// the number of processes ("The process grid 2 x 3 needs 6 processes, but
  /// the communicator has 4.") or when the processes asked for different
  /// grids.
  ProcessGrid(MPI_Comm comm, int rows, int cols);

  /// Number of process rows P.
  int get_Rows() const;
  /// Number of process columns Q.
  int get_Cols() const;
  /// This process's row in the grid, 0 .. P-1.
  int get_MyRow() const;
  /// This process's column in the grid, 0 .. Q-1.
  int get_MyCol() const;
  /// This process's rank in the communicator.
  int get_Rank() const;
  /// The communicator the grid was made over.
  MPI_Comm get_Communicator() const;
  /// The BLACS context, for calling ScaLAPACK directly.
  int get_Context() const;
  /// Whether both handles refer to the same grid.
  bool operator==(const ProcessGrid& other) const { return m_state == other.m_state; }

  /// Internal shared state.
  struct State;

 private:
  friend class DistributedMatrix;
  friend struct DistributedAccess;
  explicit ProcessGrid(std::shared_ptr<const State> state) noexcept : m_state(std::move(state)) {}
  std::shared_ptr<const State> m_state;
};

/// A real dense general matrix distributed block-cyclically over a process
/// grid (ScaLAPACK's 2D block-cyclic layout with square blocks of
/// BlockSize x BlockSize, the first block on process (0, 0)). Each process
/// holds its blocks in a local column-major array. Move-only; a moved-from
/// matrix raises "This matrix has been disposed or moved from and can no
/// longer be used." on any use but destruction and assignment.
///
/// Like the single-machine kinds, the procedures work in place: a factorized
/// matrix holds its factors (IsFactorized true) until an element is written.
class DistributedMatrix {
 public:
  /// The block size the constructors use unless told otherwise.
  static constexpr int DefaultBlockSize = 64;

  /// Collective: rownum x colnum, all zeros, on grid. Raises OrvaneException
  /// for negative dimensions ("Matrix dimensions must not be negative."), a
  /// block size below 1 ("The block size must be at least 1.") or when the
  /// processes passed different shapes or block sizes.
  DistributedMatrix(const ProcessGrid& grid, int rownum, int colnum, int blockSize = DefaultBlockSize);

  /// Collective: the elements of source, which is read on process root only
  /// (through get_Item, so any kind; the other processes may pass an empty
  /// Matrix()), distributed over grid. The shape is root's. Raises on every
  /// process what reading source raises on root, and as the constructor.
  static DistributedMatrix Scatter(const ProcessGrid& grid, const Matrix& source, int root = 0,
                                   int blockSize = DefaultBlockSize);
  /// Collective: the whole matrix as a new dense general Matrix on process
  /// root (its stored factors when factorized), an empty 0 x 0 Matrix on the
  /// others. Exact: every element travels unchanged.
  Matrix Gather(int root = 0) const;

  /// Takes over other's grid and blocks; other can then only be destroyed or
  /// assigned to.
  DistributedMatrix(DistributedMatrix&& other) noexcept;
  /// Releases this matrix's blocks and takes over other's.
  DistributedMatrix& operator=(DistributedMatrix&& other) noexcept;
  /// Not copyable: use Clone().
  DistributedMatrix(const DistributedMatrix&) = delete;
  /// Not copyable: use Clone().
  DistributedMatrix& operator=(const DistributedMatrix&) = delete;
  /// Releases the local blocks (not collective).
  ~DistributedMatrix();

  /// Deep copy of the local blocks, factors and state (every process calls it
  /// to copy the whole matrix; no communication).
  DistributedMatrix Clone() const;

  /// Number of global rows.
  int get_RowNum() const;
  /// Number of global columns.
  int get_ColNum() const;
  /// The block size in both directions.
  int get_BlockSize() const;
  /// The grid the matrix is distributed over.
  ProcessGrid get_Grid() const;
  /// Whether the matrix holds factors (LU or Cholesky).
  bool get_IsFactorized() const;

  /// Whether global element (i, j) is held by this process. Raises "(i, j) is
  /// out of range." for an index outside the matrix.
  bool IsLocal(int i, int j) const;
  /// Global element (i, j), zero-based, on the process holding it (its stored
  /// factor when factorized). Raises "(i, j) is out of range." for a bad
  /// index, and OrvaneException naming the owner on any other process
  /// ("Element (i, j) is held by process (r, c) of the grid, not by this
  /// one."). Not collective.
  double get_Item(int i, int j) const;
  /// Writes global element (i, j) on the process holding it, with the checks
  /// of get_Item; clears IsFactorized (on this process: write elements on
  /// every process's share, or on none, before the next collective call).
  void set_Item(int i, int j, double value);

  /// Number of rows of the local array.
  int get_LocalRowNum() const;
  /// Number of columns of the local array.
  int get_LocalColNum() const;
  /// Leading dimension of the local array, max(1, LocalRowNum).
  int get_LocalLeadingDimension() const;
  /// The local array, column-major (for calling ScaLAPACK directly; writing
  /// through it does not clear IsFactorized).
  double* LocalData();
  /// The local array, read-only.
  const double* LocalData() const;
  /// ScaLAPACK's 9-integer array descriptor of the matrix.
  const int* Descriptor() const;

  /// Internal state.
  struct State;

 private:
  friend struct DistributedAccess;
  explicit DistributedMatrix(std::unique_ptr<State> state) noexcept;
  State& Checked() const;
  std::unique_ptr<State> m_state;
};

/// Linear systems A X = B of distributed matrices (ScaLAPACK pdgetrf,
/// pdgetrs, pdgesv; pdpotrf, pdpotrs, pdposv). a and b must be distributed
/// over the same grid with the same block size. Collective.
class DistributedLinearEquation {
 public:
  /// Static members only.
  DistributedLinearEquation() = delete;
  /// LU factorization with partial pivoting in place (pdgetrf), unless a is
  /// already factorized; any shape. An exactly singular U raises
  /// OrvaneException ("The factorization has been completed, but U is
  /// exactly singular (its k-th diagonal element is zero), so no system can
  /// be solved with it.", k 1-based); a then holds the complete factors.
  static void Factorize(DistributedMatrix& a);
  /// Overwrites b with X. a must be square ("Matrix size m != n is not
  /// supported."), b must have as many rows ("Matrix b must have n rows, not
  /// m."). A factorized a is used as it is (LU: pdgetrs; Cholesky: pdpotrs);
  /// otherwise the one-call driver pdgesv factorizes a in place and solves.
  /// A singular U raises the message of Factorize and leaves b unchanged.
  static void Solve(DistributedMatrix& a, DistributedMatrix& b);
  /// Cholesky factorization A = U^T U in place (pdpotrf), reading only the
  /// upper triangle of a, unless a is already factorized; square only. A
  /// matrix that is not positive definite raises "This matrix is not
  /// positive definite (its leading minor of order k is not), so the
  /// Cholesky factorization could not be completed."; a is then not
  /// factorized and holds partial results.
  static void FactorizePositiveDefinite(DistributedMatrix& a);
  /// Overwrites b with X for a symmetric positive definite a, of which only
  /// the upper triangle is read: the one-call driver pdposv, or the stored
  /// factors of a factorized a. Shapes and failures as Solve and
  /// FactorizePositiveDefinite; b is unchanged on failure.
  static void SolvePositiveDefinite(DistributedMatrix& a, DistributedMatrix& b);
};

/// The symmetric eigenproblem A x = l x of a distributed matrix by divide
/// and conquer (ScaLAPACK pdsyevd). Only the upper triangle of a is read; a
/// is destroyed. Collective.
class DistributedEigenproblem {
 public:
  /// Static members only.
  DistributedEigenproblem() = delete;
  /// The eigenvalues, ascending, on every process. a must be square ("The
  /// matrix must be square for this operation."); a convergence failure
  /// raises "{i} elements of an intermediate tridiagonal form did not
  /// converge to zero." with ScaLAPACK's info.
  static void Solve(DistributedMatrix& a, std::vector<double>& resultValues);
  /// The eigenvalues and orthonormal eigenvectors: resultVectors is assigned
  /// a new n x n matrix on a's grid with a's block size before ScaLAPACK
  /// runs; its column j belongs to eigenvalue j. A resultVectors that is a
  /// itself raises "A result matrix must be a different object from the
  /// input matrices.".
  static void Solve(DistributedMatrix& a, std::vector<double>& resultValues, DistributedMatrix& resultVectors);
};

/// The singular value decomposition A = U S V^T of a distributed m x n matrix
/// (ScaLAPACK pdgesvd), with k = min(m, n) singular vectors on each side (the
/// thin decomposition: the full U and V^T of the single-machine
/// SingularValueDecomposition add bases of the complements, which ScaLAPACK
/// does not compute). a is destroyed. Collective.
class DistributedSingularValueDecomposition {
 public:
  /// Static members only.
  DistributedSingularValueDecomposition() = delete;
  /// The k singular values, descending, on every process. A convergence
  /// failure raises "bidiagonal form B did not converge to zero.".
  static void Decompose(DistributedMatrix& a, std::vector<double>& resultSigma);
  /// The singular values and vectors: resultU (m x k) and resultVT (k x n)
  /// are assigned new matrices on a's grid with a's block size before
  /// ScaLAPACK runs; the three must be different objects (as for
  /// DistributedEigenproblem).
  static void Decompose(DistributedMatrix& a, std::vector<double>& resultSigma, DistributedMatrix& resultU,
                        DistributedMatrix& resultVT);
};

}  // namespace OrvaneNet
