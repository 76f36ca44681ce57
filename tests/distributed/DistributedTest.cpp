// The distributed solvers on 1, 2 and 4 processes, against the single-machine
// library on the same matrices. Each test runs on every rank; the matrices
// are made from fixed seeds on every rank alike, rank 0 gathers the results
// and checks them.
#include <OrvaneNet/Distributed.h>
#include <OrvaneNet/Eigenproblem.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/OrvaneException.h>
#include <OrvaneNet/SingularValueDecomposition.h>
#include <gtest/gtest.h>
#include <mpi.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "TestUtil.h"

namespace {

using namespace OrvaneNet;
using orvane_test::Eps;
using orvane_test::MaxAbs;
using orvane_test::MaxDifference;

// Bounds in units of n * eps * (the problem's scale).
constexpr double kResidualFactor = 10;    // backward error of a solve
constexpr double kSpectrumFactor = 20;    // eigen- and singular values vs the single-machine ones
constexpr double kOrthogonalFactor = 20;  // V^T V - I and the decompositions' residuals

constexpr int kOrders[] = {1, 2, 7, 100, 500};

int WorldSize() {
  int size = 0;
  MPI_Comm_size(MPI_COMM_WORLD, &size);
  return size;
}

int WorldRank() {
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  return rank;
}

Matrix Random(int rows, int cols, unsigned seed, double diagonalShift = 0) {
  std::mt19937 rng(seed);
  return orvane_test::RandomDense<Matrix>(rows, cols, rng, diagonalShift);
}

Matrix SymmetricRandom(int n, unsigned seed, double diagonalShift = 0) {
  Matrix m = Random(n, n, seed, diagonalShift);
  for (int j = 0; j < n; ++j)
    for (int i = j + 1; i < n; ++i) m(i, j) = m.get_Item(j, i);
  return m;
}

// m with column k multiplied by d[k]: m * diag(d) without the product.
Matrix ScaledColumns(const Matrix& m, const std::vector<double>& d) {
  Matrix out = m.Clone();
  for (int j = 0; j < m.get_ColNum(); ++j)
    for (int i = 0; i < m.get_RowNum(); ++i)
      out(i, j) = m.get_Item(i, j) * d[static_cast<std::size_t>(j)];
  return out;
}

double OrthogonalityError(const Matrix& q) {  // max |Q^T Q - I|, Q with orthonormal columns
  Matrix qtq = Matrix::Transpose(q) * q;
  for (int i = 0; i < qtq.get_RowNum(); ++i) qtq(i, i) = qtq.get_Item(i, i) - 1.0;
  return MaxAbs(qtq);
}

template <class M>
std::pair<int, int> Shape(const M& m) {
  return {m.get_RowNum(), m.get_ColNum()};
}

// ---- every grid of the world size, every block size ----

struct GridShape {
  int rows, cols;
};

class DistributedTest : public testing::TestWithParam<std::tuple<GridShape, int>> {
 protected:
  void SetUp() override {
    const auto [shape, block] = GetParam();
    m_grid = std::make_unique<ProcessGrid>(MPI_COMM_WORLD, shape.rows, shape.cols);
    m_block = block;
  }
  const ProcessGrid& Grid() const { return *m_grid; }
  int Block() const { return m_block; }
  // The largest order with blocks of 1 and 3 goes through the same code as
  // the smaller orders but costs a round of messages per block column: on
  // shared, busy cores each round waits for the scheduler, and these cases
  // alone took minutes. The default block takes every order.
  bool SkipLarge(int n) const {
    return n > 100 && m_block != DistributedMatrix::DefaultBlockSize;
  }
  bool Root() const { return WorldRank() == 0; }
  DistributedMatrix Scatter(const Matrix& m) const {
    return DistributedMatrix::Scatter(Grid(), m, 0, m_block);
  }

 private:
  std::unique_ptr<ProcessGrid> m_grid;
  int m_block = 1;
};

TEST_P(DistributedTest, ScatterGatherRoundTripIsExactAndEachElementHasOneOwner) {
  for (int n : kOrders) {
    for (const auto& [rows, cols] : {std::pair{n, n + 3}, std::pair{n + 2, n}}) {
      const Matrix a = Random(rows, cols, 11u + static_cast<unsigned>(n));
      // Every rank scatters from the last rank and gathers on it.
      const int last = WorldSize() - 1;
      const Matrix none;
      DistributedMatrix d =
          DistributedMatrix::Scatter(Grid(), WorldRank() == last ? a : none, last, Block());
      ASSERT_EQ(Shape(d), std::pair(rows, cols));
      long long owned = 0;
      for (int j = 0; j < cols; ++j) {
        for (int i = 0; i < rows; ++i) {
          if (!d.IsLocal(i, j)) continue;
          ++owned;
          ASSERT_EQ(d.get_Item(i, j), a.get_Item(i, j)) << "(" << i << ", " << j << ")";
        }
      }
      MPI_Allreduce(MPI_IN_PLACE, &owned, 1, MPI_LONG_LONG, MPI_SUM, MPI_COMM_WORLD);
      EXPECT_EQ(owned, static_cast<long long>(rows) * cols);
      const Matrix back = d.Gather(last);
      if (WorldRank() == last) {
        ASSERT_EQ(Shape(back), std::pair(rows, cols));
        EXPECT_EQ(MaxDifference(back, a), 0.0) << rows << " x " << cols;
      } else {
        EXPECT_EQ(back.get_RowNum(), 0);
      }
    }
  }
}

// Each solver: a small residual and the single machine's solution; its
// factors solve again through Solve, and Factorize then Solve, to the same
// bits. The positive definite one reads only the upper triangle.
TEST_P(DistributedTest, SolvesHaveSmallResidualsAndReuseTheirFactors) {
  using Linear = DistributedLinearEquation;
  const struct {
    void (*solve)(DistributedMatrix&, DistributedMatrix&);
    void (*factorize)(DistributedMatrix&);
    bool definite;
  } solvers[] = {{Linear::Solve, Linear::Factorize, false},
                 {Linear::SolvePositiveDefinite, Linear::FactorizePositiveDefinite, true}};
  for (const auto& solver : solvers) {
    for (int n : kOrders) {
      if (SkipLarge(n)) continue;
      const auto seed = static_cast<unsigned>(n);
      const Matrix a =
          solver.definite ? SymmetricRandom(n, 41u + seed, 2.0 * n) : Random(n, n, 21u + seed);
      const Matrix b = Random(n, 3, 22u);
      Matrix given = a.Clone();
      for (int j = 0; solver.definite && j < n; ++j)
        for (int i = j + 1; i < n; ++i) given(i, j) = std::numeric_limits<double>::quiet_NaN();
      DistributedMatrix da = Scatter(given), db = Scatter(b), again = Scatter(b);
      solver.solve(da, db);
      EXPECT_TRUE(da.get_IsFactorized());
      Linear::Solve(da, again);
      DistributedMatrix factors = Scatter(given), split = Scatter(b);
      solver.factorize(factors);
      Linear::Solve(factors, split);
      const Matrix x = db.Gather(), x2 = again.Gather(), x3 = split.Gather();
      if (!Root()) continue;
      SCOPED_TRACE("order " + std::to_string(n) + (solver.definite ? ", definite" : ""));
      const double residual = MaxDifference(a * x, b) / (MaxAbs(a) * MaxAbs(x) * n * Eps());
      EXPECT_LE(residual, kResidualFactor * n);
      EXPECT_EQ(MaxDifference(x, x2), 0.0);
      EXPECT_EQ(MaxDifference(x, x3), 0.0);
      Matrix as = a.Clone(), xs = b.Clone();
      LinearEquation::Solve(as, xs);
      // A random matrix of these orders has a modest condition number.
      EXPECT_LE(MaxDifference(x, xs), 1e-8 * MaxAbs(xs));
    }
  }
}

// The single machine's eigenvalues (symmetric a) or singular values of a,
// computed once per seed: every grid and block size compares with the same
// reference. The eigen and SVD seeds differ.
std::vector<double> SingleMachineValues(const Matrix& a, unsigned seed, bool eigen) {
  static std::map<unsigned, std::vector<double>> known;
  if (const auto it = known.find(seed); it != known.end()) return it->second;
  const int n = a.get_RowNum();
  std::vector<double> values;
  if (eigen) {
    Matrix packed(n, n, MatrixType::DoubleSymmetric);
    packed.SetValues(a.ToVector(Layout::RowMajor), Layout::RowMajor);
    Eigenproblem::Solve(packed, values);
  } else {
    Matrix as = a.Clone(), s, u, vt;
    SingularValueDecomposition::Decompose(as, s, u, vt);
    for (int i = 0; i < std::min(s.get_RowNum(), s.get_ColNum()); ++i)
      values.push_back(s.get_Item(i, i));
  }
  return known[seed] = values;
}

// Values within bound of the single machine's; so are those of the
// values-only route (the same code: orders up to 100 show it).
void ExpectValuesNear(const std::vector<double>& values, const std::vector<double>& valuesOnly,
                      const std::vector<double>& reference, double bound) {
  ASSERT_EQ(values.size(), reference.size());
  ASSERT_EQ(valuesOnly.size(), reference.size());
  for (std::size_t k = 0; k < values.size(); ++k) {
    EXPECT_NEAR(values[k], reference[k], bound) << "value " << k;
    EXPECT_NEAR(valuesOnly[k], reference[k], bound) << "value " << k;
  }
}

// Eigenvalues of a symmetric n x n A, singular values of an n x n, (n + 3) x
// n and n x (n + 2) one: the vectors orthonormal and rebuilding A.
TEST_P(DistributedTest, SpectraMatchTheSingleMachineAndVectorsRebuildA) {
  for (const bool eigen : {true, false}) {
    for (int n : kOrders) {
      for (const auto& [rows, cols] : {std::pair{n, n}, std::pair{n + 3, n}, std::pair{n, n + 2}}) {
        // The square one covers the largest order.
        if (SkipLarge(n) || (rows != cols && (eigen || n > 100))) continue;
        SCOPED_TRACE((eigen ? "eigen " : "svd ") + std::to_string(rows) + " x " +
                     std::to_string(cols));
        const unsigned seed = (eigen ? 51u : 61u) + static_cast<unsigned>(1000 * rows + cols);
        const Matrix a = eigen ? SymmetricRandom(n, seed) : Random(rows, cols, seed);
        DistributedMatrix da = Scatter(a), again = Scatter(a);
        DistributedMatrix u(Grid(), 1, 1, Block()), vt(Grid(), 1, 1, Block());
        std::vector<double> values, valuesOnly;
        if (eigen) {
          DistributedEigenproblem::Solve(da, values, u);
          if (n <= 100) DistributedEigenproblem::Solve(again, valuesOnly);
        } else {
          DistributedSingularValueDecomposition::Decompose(da, values, u, vt);
          if (n <= 100) DistributedSingularValueDecomposition::Decompose(again, valuesOnly);
        }
        if (n > 100) valuesOnly = values;
        const int k = std::min(rows, cols);
        ASSERT_EQ(Shape(u), std::pair(rows, k));
        ASSERT_EQ(Shape(vt), eigen ? std::pair(1, 1) : std::pair(k, cols));
        const Matrix uu = u.Gather(), vv = vt.Gather();
        if (!Root()) continue;
        const double bound =
            kSpectrumFactor * std::max(rows, cols) * Eps() * std::max(1.0, MaxAbs(a) * cols);
        ExpectValuesNear(values, valuesOnly, SingleMachineValues(a, seed, eigen), bound);
        EXPECT_LE(OrthogonalityError(uu), kOrthogonalFactor * rows * Eps());
        if (eigen) {
          EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
          EXPECT_LE(MaxDifference(a * uu, ScaledColumns(uu, values)), bound);
        } else {
          EXPECT_LE(OrthogonalityError(Matrix::Transpose(vv)), kOrthogonalFactor * cols * Eps());
          EXPECT_LE(MaxDifference(ScaledColumns(uu, values) * vv, a), bound);
        }
      }
    }
  }
}

// ---- collective errors: the same exception on every rank, and the ranks
// go on together (a later collective call completes) ----

TEST_P(DistributedTest, ShapeErrorsRaiseTheSameMessageOnEveryRank) {
  DistributedMatrix rect(Grid(), 5, 4, Block()), b(Grid(), 5, 1, Block());
  DistributedMatrix sq(Grid(), 5, 5, Block()), b4(Grid(), 4, 1, Block());
  DistributedMatrix otherBlock(Grid(), 5, 1, Block() + 1);
  std::vector<double> values;
  const char* notSquare = "Matrix size m != n is not supported.";
  EXPECT_THROW_MSG(DistributedLinearEquation::Solve(rect, b), OrvaneException, notSquare);
  EXPECT_THROW_MSG(DistributedLinearEquation::SolvePositiveDefinite(rect, b), OrvaneException,
                   notSquare);
  EXPECT_THROW_MSG(DistributedEigenproblem::Solve(rect, values), OrvaneException,
                   "The matrix must be square for this operation.");
  EXPECT_THROW_MSG(DistributedLinearEquation::Solve(sq, b4), OrvaneException,
                   "Matrix b must have 5 rows, not 4.");
  EXPECT_THROW_MSG(DistributedLinearEquation::Solve(sq, otherBlock), OrvaneException,
                   "Distributed matrices of one operation must share one process grid and one "
                   "block size.");
  EXPECT_THROW_MSG(DistributedEigenproblem::Solve(sq, values, sq), OrvaneException,
                   "A result matrix must be a different object from the input matrices.");
  EXPECT_THROW_MSG(DistributedMatrix(Grid(), -1, 3, Block()), OrvaneException,
                   "Matrix dimensions must not be negative.");
  EXPECT_THROW_MSG(DistributedMatrix(Grid(), 3, 3, 0), OrvaneException,
                   "The block size must be at least 1.");
  MPI_Barrier(MPI_COMM_WORLD);
}

TEST_P(DistributedTest, ScaLapackFailuresRaiseTheSameMessageOnEveryRank) {
  const int n = 9;
  // Column 4 zero: elimination keeps it zero, so U(4, 4) is exactly zero.
  Matrix singular = Random(n, n, 71u);
  for (int i = 0; i < n; ++i) singular(i, 4) = 0.0;
  const Matrix b = Random(n, 1, 72u);
  // Positive definite except from the third leading minor on.
  Matrix indefinite = SymmetricRandom(n, 73u, 2.0 * n);
  indefinite(2, 2) = -1.0;
  using Linear = DistributedLinearEquation;
  const struct {
    const Matrix& a;
    void (*solve)(DistributedMatrix&, DistributedMatrix&);
    void (*factorize)(DistributedMatrix&);
    bool keepsFactors;  // LU keeps them, and solving with them raises again
    const char* message;
  } cases[] = {
      {singular, Linear::Solve, Linear::Factorize, true,
       "The factorization has been completed, but U is exactly singular (its 5-th diagonal "
       "element is zero), so no system can be solved with it."},
      {indefinite, Linear::SolvePositiveDefinite, Linear::FactorizePositiveDefinite, false,
       "This matrix is not positive definite (its leading minor of order 3 is not), so the "
       "Cholesky factorization could not be completed."},
  };
  for (const auto& c : cases) {
    DistributedMatrix da = Scatter(c.a), db = Scatter(b);
    EXPECT_THROW_MSG(c.solve(da, db), OrvaneException, c.message);
    EXPECT_EQ(da.get_IsFactorized(), c.keepsFactors);
    const Matrix untouched = db.Gather();
    if (Root()) {
      EXPECT_EQ(MaxDifference(untouched, b), 0.0);
    }
    if (c.keepsFactors) EXPECT_THROW_MSG(Linear::Solve(da, db), OrvaneException, c.message);
    DistributedMatrix again = Scatter(c.a);
    EXPECT_THROW_MSG(c.factorize(again), OrvaneException, c.message);
  }
  MPI_Barrier(MPI_COMM_WORLD);
}

// Element access, and the moved-from state, are checked on the calling rank alone.
TEST_P(DistributedTest, ElementAccessIsCheckedOnTheCallingRankAlone) {
  DistributedMatrix d(Grid(), 4, 4, Block());
  EXPECT_THROW_MSG(d.get_Item(4, 0), OrvaneException, "(4, 0) is out of range.");
  EXPECT_THROW_MSG(d.set_Item(0, -1, 1.0), OrvaneException, "(0, -1) is out of range.");
  const int i = 3, j = 2;
  if (d.IsLocal(i, j)) {
    d.set_Item(i, j, 2.5);
    EXPECT_EQ(d.get_Item(i, j), 2.5);
  } else {
    const std::string owner = std::to_string((i / Block()) % Grid().get_Rows()) + ", " +
                              std::to_string((j / Block()) % Grid().get_Cols());
    EXPECT_THROW_MSG(d.get_Item(i, j), OrvaneException,
                     "Element (3, 2) is held by process (" + owner +
                         ") of the grid, not by this one.");
  }
  const Matrix all = d.Gather();
  if (Root()) {
    EXPECT_EQ(all.get_Item(i, j), 2.5);
  }
  DistributedMatrix e = std::move(d);
  EXPECT_EQ(e.get_RowNum(), 4);
  EXPECT_THROW_MSG(static_cast<void>(d.get_RowNum()),  // NOLINT(bugprone-use-after-move)
                   OrvaneException,
                   "This matrix has been disposed or moved from and can no longer be used.");
}

// Every P x Q grid of the processes this run has (4: 1 x 4, 2 x 2, 4 x 1).
// GoogleTest builds the parameters after main() has initialized MPI.
std::vector<GridShape> GridsOfThisRun() {
  std::vector<GridShape> out;
  for (int rows = 1; rows <= WorldSize(); ++rows)
    if (WorldSize() % rows == 0) out.push_back({rows, WorldSize() / rows});
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Grids, DistributedTest,
    testing::Combine(testing::ValuesIn(GridsOfThisRun()), testing::Values(1, 3, 64)),
    [](const testing::TestParamInfo<DistributedTest::ParamType>& info) {
      const GridShape g = std::get<0>(info.param);
      return std::to_string(g.rows) + "x" + std::to_string(g.cols) + "_block" +
             std::to_string(std::get<1>(info.param));
    });

// ---- grids and arguments that do not fit, raised on every rank ----

TEST(DistributedGrid, GridsAndArgumentsThatDoNotFitRaiseOnEveryRank) {
  const int size = WorldSize();
  EXPECT_THROW_MSG(ProcessGrid(MPI_COMM_WORLD, 3, size), OrvaneException,
                   "The process grid 3 x " + std::to_string(size) + " needs " +
                       std::to_string(3 * size) + " processes, but the communicator has " +
                       std::to_string(size) + ".");
  EXPECT_THROW_MSG(ProcessGrid(MPI_COMM_WORLD, 0, size), OrvaneException,
                   "The process grid must have at least one row and one column.");
  const ProcessGrid grid;
  const char* differ =
      "The processes passed different arguments to a collective call of the distributed library.";
  if (size > 1) {
    EXPECT_THROW_MSG(DistributedMatrix(grid, 3 + WorldRank(), 3), OrvaneException, differ);
    EXPECT_THROW_MSG(DistributedMatrix::Scatter(grid, Matrix(2, 2), WorldRank()), OrvaneException,
                     differ);
  }
  EXPECT_THROW_MSG(DistributedMatrix::Scatter(grid, Matrix(2, 2), size), OrvaneException,
                   "The root must be a rank of the grid's communicator.");
  Matrix source(3, 3);
  source.Dispose();  // on the root, it raises on every rank
  EXPECT_THROW_MSG(DistributedMatrix::Scatter(grid, source), OrvaneException,
                   "This matrix has been disposed or moved from and can no longer be used.");
  MPI_Barrier(MPI_COMM_WORLD);
}

TEST(DistributedGrid, TheAutomaticGridIsTheSquarestOne) {
  const ProcessGrid grid;
  EXPECT_EQ(grid.get_Rows() * grid.get_Cols(), WorldSize());
  EXPECT_LE(grid.get_Rows(), grid.get_Cols());
  if (WorldSize() == 4) {
    EXPECT_EQ(grid.get_Rows(), 2);
  }
  EXPECT_EQ(grid.get_Rank(), WorldRank());
  // Row-major numbering of the grid processes.
  EXPECT_EQ(grid.get_MyRow() * grid.get_Cols() + grid.get_MyCol(), WorldRank());
}

}  // namespace
