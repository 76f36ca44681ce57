// What the twelve kinds share, through typed fixtures over all of them or over
// the families it concerns: the solve paths and clones, writes outside the
// pattern, and singular or indefinite matrices; then what only the
// tridiagonal kinds do. The other families' own rules are in
// DenseGeneralTest, BandTest and PackedSymmetricTest.
#include <cmath>
#include <limits>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
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

template <class M>
M Empty(int n, int kl = 1, int ku = 1) {
  if constexpr (kForm<M> % 3 == 1) {
    return M(n, n, kl, ku);
  } else {
    return M(n, n);
  }
}

// Random entries in [-1, 1) on the kind's pattern (kl = ku = 1 for the
// tridiagonal kinds), the shift added to the diagonal, which the symmetric
// kinds hold real.
template <class M>
M RandomKind(int n, Shape s, std::mt19937& rng) {
  using E = ElementOf<M>;
  M a = Empty<M>(n, s.kl, s.ku);
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

template <class M>
class Kind : public ::testing::Test {};
template <class M>
using StructuredKind = Kind<M>;
template <class M>
using GeneralKind = Kind<M>;
template <class M>
using PositiveDefiniteKind = Kind<M>;
template <class M>
using GeneralTridiagonal = Kind<M>;
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
using PositiveDefiniteKinds = ::testing::Types<DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix,
                                               DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
using GeneralTridiagonalKinds = ::testing::Types<DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix>;
TYPED_TEST_SUITE(Kind, AllKinds);
TYPED_TEST_SUITE(StructuredKind, StructuredKinds);
TYPED_TEST_SUITE(GeneralKind, GeneralKinds);
TYPED_TEST_SUITE(PositiveDefiniteKind, PositiveDefiniteKinds);
TYPED_TEST_SUITE(GeneralTridiagonal, GeneralTridiagonalKinds);

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
    const E nonzero = Element<E>(std::is_same_v<E, double> ? 1.0 : 0.0, 1.0);  // imaginary for the complex kind
    for (E v : {nonzero, E(std::numeric_limits<double>::quiet_NaN())})
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
  M a = Empty<M>(3);
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

// [[1, 2], [2, 1]] is refused by both paths; the matrix and the right-hand
// side stay as they were.
TYPED_TEST(PositiveDefiniteKind, IndefiniteMatrixIsRefusedByBothPaths) {
  using M = TypeParam;
  using E = ElementOf<M>;
  const char* indefinite =
      std::is_same_v<E, double>
          ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not supported by "
            "LAPACK. Please use Matrix::DoubleSymmetrix."
      : std::is_same_v<M, ComplexHermitianBandMatrix>
          ? "This matrix is not positive definite. Hermitian band indefinite matrix is not supported by LAPACK. "
            "Please use Matrix::ComplexHermitian."
          : "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not supported by "
            "LAPACK. Please use Matrix::ComplexHermitian.";
  M a = Empty<M>(2);
  a.set_Item(0, 0, E(1.0));
  a.set_Item(1, 1, E(1.0));
  a.set_Item(0, 1, E(2.0));
  M a2(a);
  EXPECT_THROW_MSG(a.Factorize(), OrvaneException, indefinite);
  EXPECT_FALSE(a.get_IsFactorized());
  auto b = FromRows<RhsOf<M>>({{3}, {0}});
  const bool zptsv = std::is_same_v<M, ComplexHermitianTridiagonalMatrix>;
  EXPECT_THROW_MSG(a2.SolveWithSimpleDriver(b), OrvaneException,
                   zptsv ? "The routine for solving linear equation (zptsv) may not work. Please factorize first "
                           "then solve."
                         : indefinite);
  EXPECT_FALSE(a2.get_IsFactorized());
  ExpectEntriesNear(b, {{3}, {0}}, 0.0);
  EXPECT_EQ(a2.get_Item(0, 1), E(2.0));
}

// Pivots are the identity until the first factorization: a Solve on a
// never-factorized diagonal matrix divides by the diagonal.
TYPED_TEST(GeneralTridiagonal, SolveBeforeAnyFactorizationDividesByTheDiagonal) {
  auto d = FromRows<TypeParam>({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}});
  auto c = FromRows<RhsOf<TypeParam>>({{1}, {2}, {3}});
  d.Solve(c);
  ExpectEntriesNear(c, {{1}, {1}, {1}}, 0.0);
}

// The Hermitian kind refuses a diagonal entry with an imaginary part.
TEST(HermitianTridiagonal, ComplexDiagonalIsRefused) {
  ComplexHermitianTridiagonalMatrix a(3, 3);
  a.set_Item(1, 1, Complex(2, 0));
  EXPECT_THROW_MSG(a.set_Item(1, 1, Complex(2, 1)), OrvaneException,
                   "Hermitian tridiagonal indefinite matrix is not supported by LAPACK. Please use "
                   "Matrix::ComplexHermitian.");
  EXPECT_EQ(a.get_Item(1, 1), Complex(2, 0));
}
