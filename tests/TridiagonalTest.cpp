// The four tridiagonal kinds: what they share through one typed fixture, then
// what differs between the general and the symmetric/Hermitian kinds.
#include <cmath>
#include <limits>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexGeneralTridiagonalMatrix.h"
#include "kinds/complex/ComplexHermitianTridiagonalMatrix.h"
#include "kinds/real/DoubleGeneralTridiagonalMatrix.h"
#include "kinds/real/DoubleSymmetricTridiagonalMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class M>
using RhsOf = typename M::Rhs;
template <class M>
constexpr bool kGeneral =
    std::is_same_v<M, DoubleGeneralTridiagonalMatrix> || std::is_same_v<M, ComplexGeneralTridiagonalMatrix>;
// The Hermitian kind has no one-call solve.
template <class M>
constexpr bool kOneCall = !std::is_same_v<M, ComplexHermitianTridiagonalMatrix>;

// Random entries for the general kinds (so that gttrf pivots), a dominant
// positive diagonal (positive definite) for the others.
template <class M>
M RandomTridiagonal(int n, std::mt19937& rng) {
  using E = ElementOf<M>;
  M a(n, n);
  for (int i = 0; i < n; ++i) {
    a.set_Item(i, i, kGeneral<M> ? RandomValue<E>(rng) : E(4.0 + std::fabs(RandomValue<double>(rng))));
    if (i + 1 < n) a.set_Item(i, i + 1, RandomValue<E>(rng));
    if (i + 1 < n && kGeneral<M>) a.set_Item(i + 1, i, RandomValue<E>(rng));
  }
  return a;
}

// [[2, 1, 0], [1, 2, 1], [0, 1, 2]]: every kind can hold it.
template <class M>
M Example3() {
  return FromRows<M>({{2, 1, 0}, {1, 2, 1}, {0, 1, 2}});
}

template <class M>
class Tridiagonal : public ::testing::Test {};
using TridiagonalKinds =
    ::testing::Types<DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix,
                     DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
TYPED_TEST_SUITE(Tridiagonal, TridiagonalKinds);

template <class M>
class GeneralTridiagonal : public ::testing::Test {};
using GeneralKinds = ::testing::Types<DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix>;
TYPED_TEST_SUITE(GeneralTridiagonal, GeneralKinds);

template <class M>
class SymmetricTridiagonal : public ::testing::Test {};
using SymmetricKinds = ::testing::Types<DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
TYPED_TEST_SUITE(SymmetricTridiagonal, SymmetricKinds);

}  // namespace

// Off the three diagonals a zero write changes nothing, not even the flag (the
// symmetric kinds ignore any value there); a stored write clears the flag.
// Invert always refuses and leaves the matrix as it was.
TYPED_TEST(Tridiagonal, WritesAndInvert) {
  using E = ElementOf<TypeParam>;
  auto a = Example3<TypeParam>();
  a.Factorize();
  a.set_Item(0, 2, E(-0.0));
  if (!kGeneral<TypeParam>) a.set_Item(2, 0, E(5.0));
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_EQ(a.get_Item(2, 0), E(0.0));
  const char* invert = std::is_same_v<TypeParam, ComplexGeneralTridiagonalMatrix>
                           ? "Inversion for gengeral tridiagonal matrix is not supported by lapack."
                           : "Inversion of tridiagonal matrix is not supported by LAPACK.";
  const TypeParam before(a);
  EXPECT_THROW_MSG(a.Invert(), OrvaneException, invert);
  EXPECT_TRUE(a.get_IsFactorized());
  ExpectSameEntries(a, before);
  a.set_Item(2, 1, E(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
}

// The one-call path gives the factorized path's solution and leaves factors
// (pivots included) for a second right-hand side; a clone carries the factors
// and solves on its own. Orders 0 and 1 make no illegal LAPACK call.
TYPED_TEST(Tridiagonal, RandomSystemsSolveThroughEveryPath) {
  using R = RhsOf<TypeParam>;
  std::mt19937 rng(42);
  testing::internal::CaptureStdout();
  for (int n : {0, 1, 2, 3, 5, 17, 64, 200}) {
    SCOPED_TRACE(n);
    const auto a = RandomTridiagonal<TypeParam>(n, rng);
    const auto b = RandomDense<R>(n, 3, rng), b2 = RandomDense<R>(n, 2, rng);
    TypeParam factored(a);
    R x(b), z2(b2);
    factored.Factorize();
    factored.Solve(x);
    EXPECT_LT(Residual(a, x, b), 10.0);
    if constexpr (kOneCall<TypeParam>) {
      TypeParam driven(a);
      R y(b), y2(b2);
      driven.SolveWithSimpleDriver(y);
      EXPECT_TRUE(driven.get_IsFactorized());
      ExpectSameEntries(x, y);
      driven.Solve(y2);
      EXPECT_LT(Residual(a, y2, b2), 10.0);
    }

    auto clone = factored.Clone();
    EXPECT_TRUE(clone->get_IsFactorized());
    if (n > 0) factored.set_Item(0, 0, ElementOf<TypeParam>(100.0));
    clone->Solve(z2);
    EXPECT_LT(Residual(a, z2, b2), 10.0);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TYPED_TEST(GeneralTridiagonal, NonzeroOffTheBandIsRefused) {
  using E = ElementOf<TypeParam>;
  const char* refused = "The specified element doesn't fit to tridiagonal matrix.";
  auto a = Example3<TypeParam>();
  a.Factorize();
  const TypeParam factors(a);
  EXPECT_THROW_MSG(a.set_Item(0, 2, E(1.0)), OrvaneException, refused);
  EXPECT_THROW_MSG(a.set_Item(2, 0, E(std::numeric_limits<double>::quiet_NaN())), OrvaneException, refused);
  if constexpr (std::is_same_v<E, Complex>) {
    EXPECT_THROW_MSG(a.set_Item(0, 2, Complex(0, 1)), OrvaneException, refused);
  }
  EXPECT_TRUE(a.get_IsFactorized());
  ExpectSameEntries(a, factors);
}

TYPED_TEST(GeneralTridiagonal, SingularMatrixGivesNonFiniteSolutionWithoutException) {
  auto a = FromRows<TypeParam>({{1, 1}, {1, 1}}), a2(a);
  auto b = FromRows<RhsOf<TypeParam>>({{1}, {2}}), b2(b);
  a.SolveWithSimpleDriver(b);  // not the untouched right-hand side
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_FALSE(AllFinite(b));
  a2.Factorize();
  a2.Solve(b2);
  EXPECT_FALSE(AllFinite(b2));

  // Pivots are the identity until the first factorization: a Solve on a
  // never-factorized diagonal matrix divides by the diagonal.
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
                   "Hermitian tridiagonal indefinite matrix is not supported by LAPACK. Please "
                   "use Matrix::ComplexHermitian.");
  EXPECT_EQ(a.get_Item(1, 1), Complex(2, 0));
}

TYPED_TEST(SymmetricTridiagonal, IndefiniteMatrixIsRefusedByBothPaths) {
  const bool real = std::is_same_v<TypeParam, DoubleSymmetricTridiagonalMatrix>;
  const char* indefinite =
      real ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
             "supported by LAPACK. Please use Matrix::DoubleSymmetrix."
           : "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
             "supported by LAPACK. Please use Matrix::ComplexHermitian.";
  auto a = FromRows<TypeParam>({{1, 2}, {2, 1}}), a2(a);
  EXPECT_THROW_MSG(a.Factorize(), OrvaneException, indefinite);
  EXPECT_FALSE(a.get_IsFactorized());
  auto b = FromRows<RhsOf<TypeParam>>({{3}, {3}});
  EXPECT_THROW_MSG(a2.SolveWithSimpleDriver(b), OrvaneException,
                   real ? indefinite
                        : "The routine for solving linear equation (zptsv) may not work. Please "
                          "factorize first then solve.");
  EXPECT_FALSE(a2.get_IsFactorized());
  ExpectEntriesNear(b, {{3}, {3}}, 0.0);
  EXPECT_EQ(a2.get_Item(0, 1), ElementOf<TypeParam>(2.0));
}
