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
using namespace orvane_test;

namespace {

template <class H>
class SoundBehaviour : public testing::Test {};
TYPED_TEST_SUITE(SoundBehaviour, Handles);

const char* const kAlias = "A result matrix must be a different object from the input matrices.";

// `call` raises exactly `message` and leaves a's elements and flag as they were.
template <class H, class F>
void ExpectRefusedUntouched(H& a, F call, const std::string& message) {
  const H before = a.Clone();
  const bool factorized = a.get_IsFactorized();
  EXPECT_THROW_MSG(call(), OrvaneException, message);
  ExpectSameEntries(a, before);
  EXPECT_EQ(a.get_IsFactorized(), factorized);
}

// A one-call solve with no right-hand side still factorizes: the next Solve
// uses true factors. (OpenBLAS's ?gesv returns at once for nrhs = 0.)
TYPED_TEST(SoundBehaviour, SolveWithoutColumnsFactorizes) {
  using H = TypeParam;
  for (int form = 0; form < 6; ++form) {
    SCOPED_TRACE(form);
    H a = Fill(MakeKind<H>(form, 2), {{4, 2}, {2, 4}});
    if (a.get_Type() == MatrixType::ComplexHermitianTridiagonal) continue;  // no one-call solve
    if (form == 0) a(1, 0) = ElementOf<H>(3);  // the general kind: asymmetric
    H none(2, 0), b = FromRows<H>({{6}, {form == 0 ? 7.0 : 6.0}});
    LinearEquation::Solve(a, none);
    EXPECT_TRUE(a.get_IsFactorized());
    LinearEquation::Solve(a, b);
    ExpectEntriesNear(b, {{1}, {1}}, 8 * Eps());
  }
}

// Refused before anything is touched: Inv() of a non-square matrix, and a
// right-hand side that is the matrix itself, for every kind and least squares.
TYPED_TEST(SoundBehaviour, RefusedCallsTouchNothing) {
  using H = TypeParam;
  H rect = FromRows<H>({{1, 2, 3}, {4, 5, 6}});
  ExpectRefusedUntouched(rect, [&] { rect.Inv(); },
                         "The matrix must be square for this operation.");
  for (int form = 0; form < 6; ++form) {
    H a = Fill(MakeKind<H>(form, 2), {{4, 2}, {2, 4}});
    ExpectRefusedUntouched(a, [&] { LinearEquation::Solve(a, a); }, kAlias);
  }
  if constexpr (std::is_same_v<H, Matrix>) {
    H a = FromRows<H>({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}});
    ExpectRefusedUntouched(a, [&] { LeastSquare::Solve(a, a); }, kAlias);
  }
}

// A factorization that fails leaves the elements as they were, by
// Factorize, by the one-call solve and by Inv().
TYPED_TEST(SoundBehaviour, FailedFactorizationKeepsTheMatrix) {
  using H = TypeParam;
  const std::string zptsv =
      "The routine for solving linear equation (zptsv) may not work. Please factorize first then "
      "solve.";
  struct {
    H a;
    std::string factorizeMessage, solveMessage;
  } rows[] = {
      {Fill(MakeKind<H>(5, 2), {{2, 4}, {4, 1}}), NotPositiveDefinite<H>(5),
       std::is_same_v<H, Matrix> ? NotPositiveDefinite<H>(5) : zptsv},
      {Fill(MakeKind<H>(4, 3), {{2, 4, 0}, {4, 1, 1}, {0, 1, 3}}), NotPositiveDefinite<H>(4),
       NotPositiveDefinite<H>(4)},
      // Cholesky fails, then Bunch-Kaufman finds D exactly singular.
      {Fill(MakeKind<H>(3, 2), {{1, 1}, {1, 1}}),
       "The factorization has been completed, but D is exactly singular. Division by 0 "
       "will occur if you use D for solving a system of linear equations.",
       "The factorization has been completed, but D is exactly singular, so the "
       "solution could not be computed."},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.a.get_Type()));
    H b(row.a.get_RowNum(), 1);
    b(0, 0) = ElementOf<H>(1);
    const H b0 = b.Clone();
    ExpectRefusedUntouched(row.a, [&] { LinearEquation::Factorize(row.a); }, row.factorizeMessage);
    ExpectRefusedUntouched(row.a, [&] { LinearEquation::Solve(row.a, b); }, row.solveMessage);
    ExpectSameEntries(b, b0);
    ExpectRefusedUntouched(row.a, [&] { row.a.Inv(); }, row.factorizeMessage);
  }
}

// The Hermitian kinds refuse a diagonal element with an imaginary part; the
// element and the factors stay.
TEST(SoundBehaviourHermitian, DiagonalWithImaginaryPartRefused) {
  const char* tridiagonal =
      "Hermitian tridiagonal indefinite matrix is not supported by LAPACK. Please use "
      "Matrix::ComplexHermitian.";
  for (int form : {3, 4, 5}) {
    ComplexMatrix a = MakeKind<ComplexMatrix>(form, 2);
    a(0, 0) = Complex(4, 0);
    a(1, 1) = Complex(3, 0);
    a(0, 1) = Complex(1, 1);
    LinearEquation::Factorize(a);
    ExpectRefusedUntouched(a, [&] { a(1, 1) = Complex(2, 0.5); },
                           form == 5 ? tridiagonal
                                     : "A diagonal element of a Hermitian matrix must be real.");
  }
}

// Factorize after Inv() factorizes the inverse: the diagonal then reads U's.
TYPED_TEST(SoundBehaviour, FactorizeAfterInvFactorizesTheInverse) {
  using H = TypeParam;
  H a = FromRows<H>({{0, 1}, {1, 0}});
  a.Inv();
  LinearEquation::Factorize(a);
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_EQ(a(0, 0), ElementOf<H>(1));  // rows swapped: U = I
  EXPECT_EQ(a(1, 1), ElementOf<H>(1));
  // The packed kind: the Cholesky factor of inv([[2, 1], [1, 2]]).
  H s = Fill(MakeKind<H>(3, 2), {{2, 1}, {1, 2}});
  s.Inv();
  LinearEquation::Factorize(s);
  EXPECT_NEAR(Abs(s(0, 0) - ElementOf<H>(std::sqrt(2.0 / 3))), 0, 4 * Eps());
  H b = FromRows<H>({{1}, {1}});
  LinearEquation::Solve(s, b);  // inv(A) x = (1, 1): x = A (1, 1) = (3, 3)
  ExpectEntriesNear(b, {{3}, {3}}, 16 * Eps());
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
  H b = FromRows<H>({{4, 2}, {3, 4}}), identity = Identity<H>(2);
  LinearEquation::Factorize(b);
  LinearEquation::Solve(identity, b);
  EXPECT_FALSE(b.get_IsFactorized());
  const H x = b.Clone(), one = FromRows<H>({{1}, {1}});  // x: the factors, now a plain matrix
  H c = one.Clone();
  LinearEquation::Solve(b, c);
  EXPECT_LT(Residual(x, c, one), 8);
}

// Found by the audit. The eigen, SVD and least-squares drivers destroy their
// input: it no longer reads as factorized, so a later Solve factorizes what
// it holds instead of taking it for the factors it held before.
TYPED_TEST(SoundBehaviour, DestroyingDriversClearTheFlag) {
  using H = TypeParam;
  H a = Fill(MakeKind<H>(3, 2), {{4, 1}, {1, 3}});
  H b = Fill(MakeKind<H>(3, 2), {{2, 0}, {0, 2}});
  H g = FromRows<H>({{4, 2}, {3, 4}}), sigma, u, vt, rhs = FromRows<H>({{1}, {2}});
  std::vector<double> values;
  std::vector<std::pair<std::function<void()>, std::vector<H*>>> rows = {
      {[&] { Eigenproblem::Solve(a, values); }, {&a}},
      {[&] { Eigenproblem::Solve(a, b, values); }, {&a, &b}},
      {[&] { SingularValueDecomposition::Decompose(g, sigma, u, vt); }, {&g}}};
  if constexpr (std::is_same_v<H, Matrix>) {
    rows.push_back({[&] {
                      H x = rhs.Clone();
                      LeastSquare::Solve(g, x);
                    },
                    {&g}});
  }
  for (const auto& [run, destroyed] : rows) {
    for (H* m : destroyed) LinearEquation::Factorize(*m);
    run();
    for (H* m : destroyed) {
      EXPECT_FALSE(m->get_IsFactorized());
      const H held = m->Clone();
      H x = rhs.Clone();
      LinearEquation::Solve(*m, x);
      EXPECT_LT(Residual(held, x, rhs), 8);
    }
  }
}

// A generalized eigenproblem with b of another order is refused before the
// out-parameters are replaced.
TEST(SoundBehaviourAudit, EigenproblemRefusesWrongOrderFirst) {
  Matrix a(2, 2, MatrixType::DoubleSymmetric), b(3, 3, MatrixType::DoubleSymmetric);
  std::vector<double> values = {7};
  Matrix vectors = FromRows<Matrix>({{5}});
  EXPECT_THROW_MSG(Eigenproblem::Solve(a, b, values, vectors), OrvaneException,
                   "Matrix b must be 2 x 2, not 3 x 3.");
  EXPECT_EQ(values, std::vector<double>{7});
  EXPECT_EQ(vectors.get_RowNum(), 1);
  EXPECT_EQ(vectors(0, 0), 5.0);
}

}  // namespace
