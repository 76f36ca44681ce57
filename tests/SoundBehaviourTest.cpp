// Faults that only sequences of operations showed (found by the stateful test
// in tests/stateful): each operation either does its whole work or leaves
// everything as it was, and never reports a state it does not hold.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Eigenproblem.h>
#include <OrvaneNet/LeastSquare.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/OrvaneException.h>
#include <OrvaneNet/SingularValueDecomposition.h>

#include <functional>
#include <string>

#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::ElementOf;

namespace {

// The twelve kinds, each as an order-n zero matrix of the handle H.
template <class H>
struct KindRow {
  const char* name;
  std::function<H(int)> make;
};

template <class H>
MatrixType Kind(MatrixType real) {
  return static_cast<MatrixType>(static_cast<int>(real) + (std::is_same_v<H, Matrix> ? 0 : 6));
}

template <class H>
std::vector<KindRow<H>> Kinds() {
  using MT = MatrixType;
  return {
      {"general", [](int n) { return H(n, n); }},
      {"band", [](int n) { return H(n, n, 1, 1); }},
      {"tridiagonal", [](int n) { return H(n, n, 3); }},
      {"symmetric", [](int n) { return H(n, n, Kind<H>(MT::DoubleSymmetric)); }},
      {"symmetric band", [](int n) { return H(n, n, Kind<H>(MT::DoubleSymmetricBand), 1, 1); }},
      {"symmetric tridiagonal",
       [](int n) { return H(n, n, Kind<H>(MT::DoubleSymmetricTridiagonal)); }},
  };
}

// Writes the rows (the symmetric kinds see each pair twice, same value).
template <class H>
H Filled(H a, std::initializer_list<std::initializer_list<double>> rows) {
  int i = 0;
  for (auto& row : rows) {
    int j = 0;
    for (double v : row) a(i, j++) = ElementOf<H>(v);
    ++i;
  }
  return a;
}

template <class H>
H Column(std::initializer_list<double> values) {
  H b(static_cast<int>(values.size()), 1);
  int i = 0;
  for (double v : values) b(i++, 0) = ElementOf<H>(v);
  return b;
}

bool IsComplexHermitianTridiagonal(const Matrix&) { return false; }
bool IsComplexHermitianTridiagonal(const ComplexMatrix& a) {
  return a.get_Type() == MatrixType::ComplexHermitianTridiagonal;
}

template <class H>
class SoundBehaviour : public testing::Test {};
using Handles = testing::Types<Matrix, ComplexMatrix>;
TYPED_TEST_SUITE(SoundBehaviour, Handles);

// A one-call solve with no right-hand side still factorizes: the next Solve
// uses true factors. (OpenBLAS's ?gesv returns at once for nrhs = 0.)
TYPED_TEST(SoundBehaviour, SolveWithoutColumnsFactorizes) {
  using H = TypeParam;
  for (const auto& kind : Kinds<H>()) {
    SCOPED_TRACE(kind.name);
    H a = Filled(kind.make(2), {{4, 2}, {2, 4}});
    if (a.get_Type() == Kind<H>(MatrixType::DoubleGeneral))
      a = Filled(kind.make(2), {{4, 2}, {3, 4}});
    if (IsComplexHermitianTridiagonal(a)) continue;  // refuses every one-call solve
    const double b1 = a(1, 0) == ElementOf<H>(3) ? 7 : 6;
    H none(2, 0);
    LinearEquation::Solve(a, none);
    EXPECT_TRUE(a.get_IsFactorized());
    H b = Column<H>({6, b1});
    LinearEquation::Solve(a, b);
    orvane_test::ExpectEntriesNear(b, {{1}, {1}}, 8 * orvane_test::Eps());
  }
}

// Inv() of a non-square dense matrix is refused before anything is touched.
TYPED_TEST(SoundBehaviour, InvOfNonSquareRefusedFirst) {
  using H = TypeParam;
  H a = Filled(H(2, 3), {{1, 2, 3}, {4, 5, 6}});
  const H before = a.Clone();
  EXPECT_THROW_MSG(a.Inv(), OrvaneException, "The matrix must be square for this operation.");
  EXPECT_FALSE(a.get_IsFactorized());
  orvane_test::ExpectSameEntries(a, before);
}

// A factorization that fails leaves the elements as they were, by
// Factorize, by the one-call solve and by Inv().
TYPED_TEST(SoundBehaviour, FailedFactorizationKeepsTheMatrix) {
  using H = TypeParam;
  const bool complex = std::is_same_v<H, ComplexMatrix>;
  const std::string notPositive =
      !complex ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is "
                 "not supported by LAPACK. Please use Matrix::DoubleSymmetrix."
               : "";
  struct Row {
    const char* name;
    H a;
    std::string factorizeMessage, solveMessage;
  };
  using MT = MatrixType;
  const std::string hermBand =
      "This matrix is not positive definite. Hermitian band indefinite matrix is not supported by "
      "LAPACK. Please use Matrix::ComplexHermitian.";
  const std::string hermTri =
      "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
      "supported by LAPACK. Please use Matrix::ComplexHermitian.";
  std::vector<Row> rows;
  rows.push_back({"symmetric tridiagonal",
                  Filled(H(2, 2, Kind<H>(MT::DoubleSymmetricTridiagonal)), {{2, 4}, {4, 1}}),
                  complex ? hermTri : notPositive,
                  complex ? "The routine for solving linear equation (zptsv) may not work. Please "
                            "factorize first then solve."
                          : notPositive});
  rows.push_back(
      {"symmetric band",
       Filled(H(3, 3, Kind<H>(MT::DoubleSymmetricBand), 1, 1), {{2, 4, 0}, {4, 1, 1}, {0, 1, 3}}),
       complex ? hermBand : notPositive, complex ? hermBand : notPositive});
  // Cholesky fails, then Bunch-Kaufman finds D exactly singular.
  rows.push_back({"symmetric", Filled(H(2, 2, Kind<H>(MT::DoubleSymmetric)), {{1, 1}, {1, 1}}),
                  "The factorization has been completed, but D is exactly singular. Division by 0 "
                  "will occur if you use D for solving a system of linear equations.",
                  "The factorization has been completed, but D is exactly singular, so the "
                  "solution could not be computed."});
  for (auto& row : rows) {
    SCOPED_TRACE(row.name);
    const H original = row.a.Clone();
    EXPECT_THROW_MSG(LinearEquation::Factorize(row.a), OrvaneException, row.factorizeMessage);
    orvane_test::ExpectSameEntries(row.a, original);
    EXPECT_FALSE(row.a.get_IsFactorized());
    H b(row.a.get_RowNum(), 1);
    b(0, 0) = ElementOf<H>(1);
    EXPECT_THROW_MSG(LinearEquation::Solve(row.a, b), OrvaneException, row.solveMessage);
    orvane_test::ExpectSameEntries(row.a, original);
    EXPECT_EQ(b(0, 0), ElementOf<H>(1));
    EXPECT_THROW_MSG(row.a.Inv(), OrvaneException, row.factorizeMessage);
    orvane_test::ExpectSameEntries(row.a, original);
    EXPECT_FALSE(row.a.get_IsFactorized());
  }
}

// The packed and band Hermitian kinds refuse a diagonal element with an
// imaginary part, as the tridiagonal one does, and keep the element.
TEST(SoundBehaviourHermitian, DiagonalWithImaginaryPartRefused) {
  using MT = MatrixType;
  ComplexMatrix kinds[] = {ComplexMatrix(2, 2, MT::ComplexHermitian),
                           ComplexMatrix(2, 2, MT::ComplexHermitianBand, 1, 1)};
  for (auto& a : kinds) {
    a(0, 0) = Complex(4, 0);
    a(1, 1) = Complex(3, 0);
    a(0, 1) = Complex(1, 1);
    LinearEquation::Factorize(a);
    const ComplexMatrix factors = a.Clone();
    EXPECT_THROW_MSG(a(1, 1) = Complex(2, 0.5), OrvaneException,
                     "A diagonal element of a Hermitian matrix must be real.");
    orvane_test::ExpectSameEntries(a, factors);
    EXPECT_TRUE(a.get_IsFactorized());
  }
}

// A right-hand side that is the matrix itself is refused before anything is
// touched, for every kind.
TYPED_TEST(SoundBehaviour, SolveIntoTheMatrixItselfRefused) {
  using H = TypeParam;
  for (const auto& kind : Kinds<H>()) {
    SCOPED_TRACE(kind.name);
    H a = Filled(kind.make(2), {{4, 2}, {2, 4}});
    const H before = a.Clone();
    EXPECT_THROW_MSG(LinearEquation::Solve(a, a), OrvaneException,
                     "A result matrix must be a different object from the input matrices.");
    orvane_test::ExpectSameEntries(a, before);
    EXPECT_FALSE(a.get_IsFactorized());
  }
}

// Factorize after Inv() factorizes the inverse: the diagonal then reads U's.
TYPED_TEST(SoundBehaviour, FactorizeAfterInvFactorizesTheInverse) {
  using H = TypeParam;
  H a = Filled(H(2, 2), {{0, 1}, {1, 0}});
  a.Inv();
  LinearEquation::Factorize(a);
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_EQ(a(0, 0), ElementOf<H>(1));  // rows swapped: U = I
  EXPECT_EQ(a(1, 1), ElementOf<H>(1));
  // The packed kind: the Cholesky factor of inv([[2, 1], [1, 2]]).
  H s = Filled(H(2, 2, Kind<H>(MatrixType::DoubleSymmetric)), {{2, 1}, {1, 2}});
  s.Inv();
  LinearEquation::Factorize(s);
  EXPECT_NEAR(orvane_test::Abs(s(0, 0) - ElementOf<H>(std::sqrt(2.0 / 3))), 0,
              4 * orvane_test::Eps());
  H b = Column<H>({1, 1});
  LinearEquation::Solve(s, b);  // inv(A) x = (1, 1): x = A (1, 1) = (3, 3)
  orvane_test::ExpectEntriesNear(b, {{3}, {3}}, 16 * orvane_test::Eps());
}

// RowVector and ColVector check the index whatever the other dimension.
TYPED_TEST(SoundBehaviour, VectorIndexCheckedForEveryShape) {
  using H = TypeParam;
  const H wide(0, 3), tall(3, 0);
  EXPECT_THROW_MSG(H::RowVector(tall, 3), OrvaneException, "(3, 0) is out of range.");
  EXPECT_THROW_MSG(H::RowVector(wide, 0), OrvaneException, "(0, 0) is out of range.");
  EXPECT_THROW_MSG(H::ColVector(wide, 3), OrvaneException, "(0, 3) is out of range.");
  EXPECT_THROW_MSG(H::ColVector(tall, -1), OrvaneException, "(0, -1) is out of range.");
  const H row = H::RowVector(tall, 2), col = H::ColVector(wide, 1);
  EXPECT_EQ(row.get_RowNum(), 1);
  EXPECT_EQ(row.get_ColNum(), 0);
  EXPECT_EQ(col.get_RowNum(), 0);
  EXPECT_EQ(col.get_ColNum(), 1);
}

// Found by the audit. A right-hand side that was factorized holds the
// solution afterwards, a plain matrix: it no longer reads as factorized, and
// solving with it solves with the solution's elements.
TYPED_TEST(SoundBehaviour, SolutionIsNoLongerFactorized) {
  using H = TypeParam;
  H b = Filled(H(2, 2), {{4, 2}, {3, 4}});
  LinearEquation::Factorize(b);
  H identity = Filled(H(2, 2), {{1, 0}, {0, 1}});
  LinearEquation::Solve(identity, b);
  EXPECT_FALSE(b.get_IsFactorized());
  const H x = b.Clone();  // the factors of [[4, 2], [3, 4]], now a plain matrix
  H c = Column<H>({1, 1});
  LinearEquation::Solve(b, c);
  const H one = Column<H>({1, 1});
  EXPECT_LT(orvane_test::Residual(x, c, one), 8);
}

// Found by the audit. The eigen, SVD and least-squares drivers destroy their
// input: it no longer reads as factorized, so a later Solve factorizes what
// it holds instead of taking it for the factors it held before.
TYPED_TEST(SoundBehaviour, DestroyingDriversClearTheFlag) {
  using H = TypeParam;
  const MatrixType symmetric = Kind<H>(MatrixType::DoubleSymmetric);
  H a = Filled(H(2, 2, symmetric), {{4, 1}, {1, 3}}),
    b = Filled(H(2, 2, symmetric), {{2, 0}, {0, 2}});
  H g = Filled(H(2, 2), {{4, 2}, {3, 4}});
  std::vector<double> values;
  H sigma, u, vt;
  struct Row {
    std::function<void()> run;
    std::vector<H*> destroyed;
  };
  std::vector<Row> rows = {{[&] { Eigenproblem::Solve(a, values); }, {&a}},
                           {[&] { Eigenproblem::Solve(a, b, values); }, {&a, &b}},
                           {[&] { SingularValueDecomposition::Decompose(g, sigma, u, vt); }, {&g}}};
  if constexpr (std::is_same_v<H, Matrix>) {
    rows.push_back({[&] {
                      Matrix rhs = Column<H>({1, 1});
                      LeastSquare::Solve(g, rhs);
                    },
                    {&g}});
  }
  for (const auto& row : rows) {
    for (H* m : row.destroyed) LinearEquation::Factorize(*m);
    row.run();
    for (H* m : row.destroyed) {
      EXPECT_FALSE(m->get_IsFactorized());
      const H held = m->Clone();
      H x = Column<H>({1, 2});
      LinearEquation::Solve(*m, x);
      EXPECT_LT(orvane_test::Residual(held, x, Column<H>({1, 2})), 8);
    }
  }
}

TEST(SoundBehaviourAudit, LeastSquareIntoTheMatrixItselfRefused) {
  Matrix a = Filled(Matrix(3, 3), {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}});
  const Matrix before = a.Clone();
  EXPECT_THROW_MSG(LeastSquare::Solve(a, a), OrvaneException,
                   "A result matrix must be a different object from the input matrices.");
  orvane_test::ExpectSameEntries(a, before);
}

// A generalized eigenproblem with b of another order is refused before the
// out-parameters are replaced.
TEST(SoundBehaviourAudit, EigenproblemRefusesWrongOrderFirst) {
  Matrix a(2, 2, MatrixType::DoubleSymmetric), b(3, 3, MatrixType::DoubleSymmetric);
  std::vector<double> values = {7};
  Matrix vectors(1, 1);
  vectors(0, 0) = 5;
  EXPECT_THROW_MSG(Eigenproblem::Solve(a, b, values, vectors), OrvaneException,
                   "Matrix b must be 2 x 2, not 3 x 3.");
  EXPECT_EQ(values, std::vector<double>{7});
  EXPECT_EQ(vectors.get_RowNum(), 1);
  EXPECT_EQ(vectors(0, 0), 5.0);
}

}  // namespace
