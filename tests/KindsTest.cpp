// The twelve kinds. First what they share, through typed fixtures over all of
// them or over the families it concerns: the solve paths and clones, writes
// outside the pattern, and singular matrices. Then what one family alone
// does: the tridiagonal kinds, the dense general kinds (shape checks, least
// squares), the packed symmetric and Hermitian kinds (the mirror, the switch
// between Cholesky and Bunch-Kaufman, their messages, the real kind's
// status-returning SPEV / SPGV). Elsewhere: the general band kinds' refusals
// in BandTest; indefinite matrices and Hermitian diagonals in
// SoundBehaviourTest; the SVD in DivideAndConquerTest; random eigenproblems
// through Eigenproblem in ProceduresTest.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "PackedKindsTestUtil.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexGeneralBandMatrix.h"
#include "kinds/complex/ComplexGeneralTridiagonalMatrix.h"
#include "kinds/complex/ComplexHermitianBandMatrix.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/complex/ComplexHermitianTridiagonalMatrix.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleGeneralTridiagonalMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"
#include "kinds/real/DoubleSymmetricTridiagonalMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

// 0 dense, 1 band, 2 tridiagonal; 3 to 5 the same but symmetric (Hermitian).
template <class M>
constexpr int kForm = static_cast<int>(M::kType) % 6;
template <class M>
constexpr bool kHermitian = kForm<M> >= 3;
template <class M>
using RhsOf = std::conditional_t<std::is_same_v<ElementOf<M>, double>, DoubleGeneralMatrix, ComplexGeneralMatrix>;

// Band widths (the band kinds only) and what is added to the diagonal.
struct Shape {
  int kl, ku;
  double shift;
};

// Random entries in [-1, 1) on the kind's pattern (kl = ku = 1 for the
// tridiagonal kinds), the shift added to the diagonal, which the symmetric
// kinds hold real.
template <class M>
M RandomKind(int n, Shape s, std::mt19937& rng) {
  using E = ElementOf<M>;
  M a = MakeOrder<M>(n, s.kl, s.ku);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < (kHermitian<M> ? j + 1 : n); ++i) {
      if (kForm<M> % 3 != 0 && (i - j > s.kl || j - i > s.ku)) continue;
      const E v = i == j && kHermitian<M> ? E(RandomValue<double>(rng)) : RandomValue<E>(rng);
      a.set_Item(i, j, v + E(i == j ? s.shift : 0.0));
    }
  return a;
}

// Unshifted general matrices make LAPACK pivot. The symmetric band and
// tridiagonal kinds take only positive definite matrices: diagonally
// dominant. The packed kinds are tried positive definite and indefinite.
template <class M>
std::vector<Shape> Shapes(int n) {
  switch (kForm<M>) {
    case 0: return {{0, 0, 2.0}};
    case 1: return {{0, 0, 0}, {1, 1, 0}, {2, 5, 0}, {5, 2, 0}, {7, 0, 0}, {0, 3, 0}, {6, 6, 0}};
    case 2: return {{1, 1, 0}};
    case 3: return {{0, 0, n + 1.0}, {0, 0, 0}};
    case 4: return {{0, 0, 2}, {1, 1, 5}, {3, 3, 11}, {10, 10, 32}};
    default: return {{1, 1, 4}};
  }
}

// One fixture, named after each family's suite.
template <class M>
class Kind : public ::testing::Test {};
template <class M> using StructuredKind = Kind<M>;
template <class M> using GeneralKind = Kind<M>;
template <class M> using GeneralTridiagonal = Kind<M>;
template <class M> using DenseGeneral = Kind<M>;
template <class M> using PackedSymmetric = Kind<M>;
using AllKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix, DoubleSymmetricMatrix,
                                   ComplexHermitianMatrix, DoubleGeneralBandMatrix, ComplexGeneralBandMatrix,
                                   DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix,
                                   DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix,
                                   DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
using StructuredKinds = ::testing::Types<DoubleGeneralBandMatrix, ComplexGeneralBandMatrix, DoubleSymmetricBandMatrix,
                                         ComplexHermitianBandMatrix, DoubleGeneralTridiagonalMatrix,
                                         ComplexGeneralTridiagonalMatrix, DoubleSymmetricTridiagonalMatrix,
                                         ComplexHermitianTridiagonalMatrix>;
using GeneralKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix, DoubleGeneralBandMatrix,
                                      ComplexGeneralBandMatrix, DoubleGeneralTridiagonalMatrix,
                                      ComplexGeneralTridiagonalMatrix>;
using GeneralTridiagonalKinds = ::testing::Types<DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix>;
TYPED_TEST_SUITE(Kind, AllKinds);
TYPED_TEST_SUITE(StructuredKind, StructuredKinds);
TYPED_TEST_SUITE(GeneralKind, GeneralKinds);
TYPED_TEST_SUITE(GeneralTridiagonal, GeneralTridiagonalKinds);
using DenseKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix>;
TYPED_TEST_SUITE(DenseGeneral, DenseKinds);
using PackedKinds = ::testing::Types<DoubleSymmetricMatrix, ComplexHermitianMatrix>;
TYPED_TEST_SUITE(PackedSymmetric, PackedKinds);

}  // namespace

// The factorized path, the one-call path leaving factors (pivots included)
// for a second right-hand side, the inverse where the kind has one, and a
// clone that keeps its own factors while the original changes. Orders 0 and
// 1, also under bands wider than the matrix, make no illegal LAPACK call.
TYPED_TEST(Kind, RandomSystemsSolveThroughEveryPath) {
  using M = TypeParam;
  using R = RhsOf<M>;
  std::mt19937 rng(42);
  testing::internal::CaptureStdout();
  for (int n : {0, 1, 2, 3, 9, 40}) {
    for (const Shape& shape : Shapes<M>(n)) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " kl=" << shape.kl << " ku=" << shape.ku);
      const M a = RandomKind<M>(n, shape, rng);
      const R b = RandomDense<R>(n, 3, rng), b2 = RandomDense<R>(n, 2, rng);
      M split(a);
      R x(b), z(b2);
      split.Factorize();
      split.Solve(x);
      EXPECT_LT(Residual(a, x, b), kResidualTol);
      if constexpr (!std::is_same_v<M, ComplexHermitianTridiagonalMatrix>) {  // it has no one-call solve
        M oneCall(a);
        R y(b), y2(b2);
        oneCall.SolveWithSimpleDriver(y);
        EXPECT_TRUE(oneCall.get_IsFactorized());
        EXPECT_LT(Residual(a, y, b), kResidualTol);
        oneCall.Solve(y2);
        EXPECT_LT(Residual(a, y2, b2), kResidualTol);
      }

      auto clone = split.Clone();
      EXPECT_TRUE(clone->get_IsFactorized());
      if constexpr (kForm<M> % 3 == 0) {
        ExpectInvertThenReuse(split, a, b2, kResidualTol);
      } else if (n > 0) {
        split.set_Item(n - 1, n - 1, ElementOf<M>(1e3));
        split.Factorize();
      }
      clone->Solve(z);
      EXPECT_LT(Residual(a, z, b2), kResidualTol);
    }
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Outside the pattern a zero write changes nothing, not even the flag, and
// the symmetric kinds ignore any value there; the general tridiagonal kinds
// refuse a nonzero (BandTest has the general band kinds' refusals). Invert
// always refuses. None of these touch the factors; a write inside the pattern
// clears the flag.
TYPED_TEST(StructuredKind, WritesOutsideThePatternAndInvert) {
  using M = TypeParam;
  using E = ElementOf<M>;
  std::mt19937 rng(1);
  M a = RandomKind<M>(5, {1, 1, 4.0}, rng);
  a.Factorize();
  const M factors(a);
  a.set_Item(4, 0, E(-0.0));
  if constexpr (kHermitian<M>) a.set_Item(0, 4, E(9.0));
  EXPECT_EQ(a.get_Item(0, 4), E(0.0));
  if constexpr (kForm<M> == 2) {
    std::vector<E> nonzero{E(1.0), E(std::numeric_limits<double>::quiet_NaN())};
    if constexpr (!std::is_same_v<E, double>) nonzero.push_back(Complex(0, 1));
    for (E v : nonzero)
      EXPECT_THROW_MSG(a.set_Item(0, 2, v), OrvaneException, "The specified element doesn't fit to tridiagonal matrix.");
  }
  const char* refusal = std::is_same_v<M, ComplexGeneralBandMatrix>
                            ? "Inversion for gengeral band matrix is not supported by lapack."
                        : std::is_same_v<M, ComplexGeneralTridiagonalMatrix>
                            ? "Inversion for gengeral tridiagonal matrix is not supported by lapack."
                        : kForm<M> % 3 == 1 ? "Inversion of banded matrix is not supported by LAPACK."
                                            : "Inversion of tridiagonal matrix is not supported by LAPACK.";
  EXPECT_THROW_MSG(a.Invert(), OrvaneException, refusal);
  EXPECT_TRUE(a.get_IsFactorized());
  ExpectSameEntries(a, factors);
  a.set_Item(1, 0, E(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
}

// diag(1, 1, 0). The general kinds leave LAPACK's info unexamined, and both
// paths must show the singularity as non-finite numbers (the one-call
// drivers would hand back the right-hand side untouched). The dense kind
// refuses to invert and keeps its factors.
TYPED_TEST(GeneralKind, SingularMatrixGivesNonFiniteSolutions) {
  using M = TypeParam;
  M a = MakeOrder<M>(3);
  a.set_Item(0, 0, ElementOf<M>(1.0));
  a.set_Item(1, 1, ElementOf<M>(1.0));
  M a2(a);
  auto x = FromRows<RhsOf<M>>({{1}, {1}, {1}}), y(x);
  a.SolveWithSimpleDriver(x);
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_FALSE(AllFinite(x));
  a2.Factorize();
  a2.Solve(y);
  EXPECT_FALSE(AllFinite(y));
  if constexpr (kForm<M> == 0) {
    const M factors(a2);
    EXPECT_THROW_MSG(a2.Invert(), OrvaneException,
                     "The matrix is exactly singular (the 3-th diagonal element of U is zero), so its inverse could "
                     "not be computed.");
    EXPECT_TRUE(a2.get_IsFactorized());
    ExpectSameEntries(a2, factors);
  }
}

// ---- the tridiagonal kinds ----

// Pivots are the identity until the first factorization: a Solve on a
// never-factorized diagonal matrix divides by the diagonal.
TYPED_TEST(GeneralTridiagonal, SolveBeforeAnyFactorizationDividesByTheDiagonal) {
  auto d = FromRows<TypeParam>({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}});
  auto c = FromRows<RhsOf<TypeParam>>({{1}, {2}, {3}});
  d.Solve(c);
  ExpectEntriesNear(c, {{1}, {1}, {1}}, 0.0);
}

// ---- the dense general kinds ----

TYPED_TEST(DenseGeneral, ShapesAreCheckedBeforeLapack) {
  TypeParam rect(3, 2), b(3, 1);
  EXPECT_THROW_MSG(rect.SolveWithSimpleDriver(b), OrvaneException,
                   "The matrix must be square for this operation.");
  rect.Factorize();  // LU of a rectangular matrix is defined
  EXPECT_THROW(rect.Solve(b), OrvaneException);
  EXPECT_THROW(rect.Invert(), OrvaneException);

  TypeParam w(2, 3), s(2, 3), s1(1, 1), u2(2, 2), u3(3, 3), vt2(2, 2), vt3(3, 3);
  EXPECT_THROW_MSG(w.SolveSVD(s, u3, vt3), OrvaneException, "Matrix U must be 2 x 2, not 3 x 3.");
  EXPECT_THROW_MSG(w.SolveSVD(s, u2, vt2), OrvaneException, "Matrix VT must be 3 x 3, not 2 x 2.");
  EXPECT_THROW_MSG(w.SolveSVD(s1, u2, vt3), OrvaneException, "Matrix S must be 2 x 3, not 1 x 1.");
}

// Overdetermined: the residual is orthogonal to A's columns.
// Underdetermined: the minimum-norm solution.
TEST(DoubleGeneralLeastSquare, OverAndUnderdeterminedSystems) {
  std::mt19937 rng(5);
  const int m = 30, n = 4;
  const auto a = RandomDense<DoubleGeneralMatrix>(m, n, rng);
  const auto b = RandomDense<DoubleGeneralMatrix>(m, 2, rng);
  DoubleGeneralMatrix qr(a), x(b);
  qr.SolveLeastSquare('N', x);
  for (int c = 0; c < 2; ++c)
    for (int j = 0; j < n; ++j) {
      double s = 0;  // column j of A against the residual
      for (int k = 0; k < m; ++k) s += a.get_Item(k, j) * (ProductAt(a, x, k, c) - b.get_Item(k, c));
      EXPECT_NEAR(s, 0.0, kResidualTol * m * Eps() * MaxAbs(a) * MaxAbs(b));
    }

  auto w = FromRows<DoubleGeneralMatrix>({{1, 1}});  // x1 + x2 = 2: (1, 1)
  auto y = FromRows<DoubleGeneralMatrix>({{2}, {0}});
  w.SolveLeastSquare('N', y);
  ExpectEntriesNear(y, {{1}, {1}}, kFewRoundings);

  // An illegal trans reaches dgels: its line, then the illegal-parameter message.
  testing::internal::CaptureStdout();
  EXPECT_THROW_MSG(w.SolveLeastSquare('X', y), OrvaneException, "the 1-th parameter had an illegal value.");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "** On entry to  DGELS, parameter number  1 had an illegal value\n");
}

// ---- the packed symmetric and Hermitian kinds ----

// Below the diagonal the conjugate is stored (a diagonal entry with an
// imaginary part is refused: SoundBehaviourTest). An indefinite matrix made positive definite and refactorized takes
// the Cholesky route again.
TYPED_TEST(PackedSymmetric, MirrorAndRouteSwitch) {
  using G = RhsOf<TypeParam>;
  if constexpr (std::is_same_v<TypeParam, ComplexHermitianMatrix>) {
    TypeParam h(3, 3);
    h.set_Item(2, 0, Complex(1, 2));
    EXPECT_EQ(h.get_Item(2, 0), Complex(1, 2));
    EXPECT_EQ(h.get_Item(0, 2), Complex(1, -2));
  }
  auto a = FromRows<TypeParam>({{1, 2}, {2, 1}});
  auto b = FromRows<G>({{3}, {3}}), c = FromRows<G>({{1.5}, {1.5}});
  a.Factorize();
  a.Solve(b);
  ExpectEntriesNear(b, {{1}, {1}}, kFewRoundings);
  a.set_Item(0, 1, ElementOf<TypeParam>(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
  a.Factorize();
  a.Solve(c);
  ExpectEntriesNear(c, {{1}, {1}}, kFewRoundings);
}

// (SoundBehaviourTest has the one-call solve of a singular matrix.)
TYPED_TEST(PackedSymmetric, ExactlySingularMatrixMessages) {
  const char* cholesky =
      "the i-th diagonal element of the Cholesky factor (and therefore the factor itself) is zero, "
      "and the inversion could not be completed.";
  TypeParam zero(2, 2), one(1, 1);
  EXPECT_THROW_MSG(zero.Factorize(), OrvaneException,
                   "The factorization has been completed, but D is exactly singular. Division by 0 "
                   "will occur if you use D for solving a system of linear equations.");
  EXPECT_FALSE(zero.get_IsFactorized());
  EXPECT_THROW_MSG(zero.Invert(), OrvaneException, cholesky);  // the zero in D, via hptri
  EXPECT_THROW_MSG(one.Invert(), OrvaneException, cholesky);   // the Cholesky route, via pptri
}

TYPED_TEST(PackedSymmetric, EigenWorkedExampleAndMessages) {
  using G = RhsOf<TypeParam>;
  auto d = FromRows<TypeParam>({{3, 0, 0}, {0, 1, 0}, {0, 0, 2}});
  std::vector<double> w(4, -9.0);  // longer than needed: the tail stays
  G z(3, 3);
  Eigen(d, w, &z);
  EXPECT_EQ(w, (std::vector<double>{1, 2, 3, -9}));

  // The same object as A and B.
  auto a = FromRows<TypeParam>({{4, 2}, {2, 3}});
  Generalized(a, a, w, nullptr);
  EXPECT_NEAR(w[0], 1.0, kFewRoundings);
  EXPECT_NEAR(w[1], 1.0, kFewRoundings);

  auto nan = FromRows<TypeParam>({{1, NAN, 0.5}, {NAN, 2, 0.25}, {0.5, 0.25, 3}});
  EXPECT_THROW_MSG(Eigen(nan, w, nullptr), OrvaneException,
                   "2 elements of an intermediate tridiagonal form did not converge to zero.");

  // Shapes the eigen routines would write past are refused before LAPACK runs.
  const auto e0 = FromRows<TypeParam>({{4, 1, 0}, {1, 4, 1}, {0, 1, 4}});
  TypeParam e(e0);
  std::vector<double> small(2);
  G v(3, 2);
  EXPECT_THROW_MSG(Eigen(e, small, nullptr), OrvaneException,
                   "Array values must have room for 3 eigenvalues.");
  EXPECT_THROW_MSG(Eigen(e, w, &v), OrvaneException, "Matrix vectors must be 3 x 3, not 3 x 2.");
  ExpectSameEntries(e, e0);
}

TEST(DoubleSymmetricStatus, SpevAndSpgvHandBackInfo) {
  const auto a = FromRows<DoubleSymmetricMatrix>({{2, 1}, {1, 2}});
  auto bad = FromRows<DoubleSymmetricMatrix>({{1, NAN, 0.5}, {NAN, 2, 0.25}, {0.5, 0.25, 3}});
  // B = 2I halves the eigenvalues; B = diag(1, -1) is not positive definite.
  auto b2 = FromRows<DoubleSymmetricMatrix>({{2, 0}, {0, 2}}), b3 = FromRows<DoubleSymmetricMatrix>({{1, 0}, {0, -1}});
  DoubleSymmetricMatrix a1(a), a2(a), a3(a);
  DoubleGeneralMatrix w(1, 2), z(2, 2), w3(3, 1), z3(3, 3), tiny(1, 1);
  int info = -7;
  a1.SPEV(w, z, info);  // a 1 x 2 eigenValue has room enough
  EXPECT_EQ(info, 0);
  ExpectEntriesNear(w, {{1, 3}}, kFewRoundings);
  bad.SPEV(w3, z3, info);
  EXPECT_EQ(info, 2);
  a2.SPGV(b2, w, z, info);
  EXPECT_EQ(info, 0);
  ExpectEntriesNear(w, {{0.5, 1.5}}, kFewRoundings);
  a3.SPGV(b3, w, z, info);
  EXPECT_EQ(info, 4);
  // Shapes are still checked, and raise.
  EXPECT_THROW_MSG(a1.SPEV(tiny, z, info), OrvaneException, "Matrix eigenValue must have room for 2 eigenvalues.");
}
