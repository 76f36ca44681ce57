// The four tridiagonal kinds: what they share through one typed fixture, then
// what differs between the general and the symmetric/Hermitian kinds.
#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexGeneralTridiagonalMatrix.h"
#include "kinds/complex/ComplexHermitianTridiagonalMatrix.h"
#include "kinds/real/DoubleGeneralTridiagonalMatrix.h"
#include "kinds/real/DoubleSymmetricTridiagonalMatrix.h"

using namespace OrvaneNet;

namespace {

using namespace orvane_test;
template <class M>
using RhsOf = typename M::Rhs;

// What the test expects of each kind, written out literally.
template <class M>
struct Expect;
template <>
struct Expect<DoubleGeneralTridiagonalMatrix> {
  static constexpr bool kGeneral = true, kOneCall = true;
  static constexpr const char* kNotSquare =
      "Number of rows and columns must be equal for general band and tridiagonal matrices.";
  static constexpr const char* kInvert = "Inversion of tridiagonal matrix is not supported by LAPACK.";
};
template <>
struct Expect<ComplexGeneralTridiagonalMatrix> {
  static constexpr bool kGeneral = true, kOneCall = true;
  static constexpr const char* kNotSquare =
      "Number of rows and columns must be equal for general band and tridiagonal matrices.";
  static constexpr const char* kInvert =
      "Inversion for gengeral tridiagonal matrix is not supported by lapack.";
};
template <>
struct Expect<DoubleSymmetricTridiagonalMatrix> {
  static constexpr bool kGeneral = false, kOneCall = true;
  static constexpr const char* kNotSquare =
      "Number of rows and columns must be equal for symmetric matrix.";
  static constexpr const char* kInvert = "Inversion of tridiagonal matrix is not supported by LAPACK.";
};
template <>
struct Expect<ComplexHermitianTridiagonalMatrix> {
  static constexpr bool kGeneral = false, kOneCall = false;
  static constexpr const char* kNotSquare =
      "Number of rows and columns must be equal for symmetric matrix.";
  static constexpr const char* kInvert = "Inversion of tridiagonal matrix is not supported by LAPACK.";
};


// A well-conditioned matrix of order n: diagonally dominant for the general
// kinds, positive definite (dominant, positive real diagonal) for the others.
template <class M>
M RandomTridiagonal(int n, std::mt19937& rng) {
  using E = ElementOf<M>;
  M a(n, n);
  std::uniform_real_distribution<double> diag(4.0, 6.0);
  for (int i = 0; i < n; ++i) {
    a.set_Item(i, i, E(diag(rng)));
    if (i + 1 < n) {
      a.set_Item(i, i + 1, orvane_test::RandomValue<E>(rng));
      if constexpr (Expect<M>::kGeneral) a.set_Item(i + 1, i, orvane_test::RandomValue<E>(rng));
    }
  }
  return a;
}



// The 3 x 3 example [[2, 1, 0], [1, 2, 1], [0, 1, 2]] and b = [3, 4, 3]^T,
// whose solution is all ones; every kind can hold it.
template <class M>
M Example3() {
  return FromRows<M>({{2, 1, 0}, {1, 2, 1}, {0, 1, 2}});
}
template <class M>
RhsOf<M> Example3Rhs() {
  return FromRows<RhsOf<M>>({{3}, {4}, {3}});
}

template <class M>
class Tridiagonal : public ::testing::Test {};
using TridiagonalKinds =
    ::testing::Types<DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix,
                     DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
TYPED_TEST_SUITE(Tridiagonal, TridiagonalKinds);

}  // namespace

TYPED_TEST(Tridiagonal, NewMatrixIsZeroSquareAndUnfactorized) {
  TypeParam a(4, 4);
  EXPECT_EQ(a.get_RowNum(), 4);
  EXPECT_EQ(a.get_ColNum(), 4);
  EXPECT_FALSE(a.get_IsFactorized());
  EXPECT_EQ(MaxAbs(a), 0.0);
  const int expected = std::is_same_v<TypeParam, DoubleGeneralTridiagonalMatrix>     ? 2
                       : std::is_same_v<TypeParam, DoubleSymmetricTridiagonalMatrix>  ? 5
                       : std::is_same_v<TypeParam, ComplexGeneralTridiagonalMatrix>   ? 8
                                                                                      : 11;
  EXPECT_EQ(static_cast<int>(a.get_Type()), expected);
}

TYPED_TEST(Tridiagonal, UnequalOrNegativeCountsAreRejected) {
  EXPECT_THROW_MSG(TypeParam(3, 4), OrvaneException, Expect<TypeParam>::kNotSquare);
  EXPECT_THROW_MSG(TypeParam(-1, -1), OrvaneException, "Matrix dimensions must not be negative.");
}

TYPED_TEST(Tridiagonal, ElementsOffTheThreeDiagonalsReadZero) {
  std::mt19937 rng(1);
  const auto a = RandomTridiagonal<TypeParam>(5, rng);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      if (std::abs(i - j) > 1) {
        EXPECT_EQ(a.get_Item(i, j), ElementOf<TypeParam>(0.0)) << i << "," << j;
      } else {
        EXPECT_NE(a.get_Item(i, j), ElementOf<TypeParam>(0.0)) << i << "," << j;
      }
    }
}

TYPED_TEST(Tridiagonal, FlagFollowsStoredWritesOnly) {
  auto a = Example3<TypeParam>();
  a.Factorize();
  EXPECT_TRUE(a.get_IsFactorized());
  a.set_Item(0, 2, ElementOf<TypeParam>(0.0));  // accepted by every kind, stores nothing
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_EQ(a.get_Item(0, 2), ElementOf<TypeParam>(0.0));
  a.set_Item(1, 2, ElementOf<TypeParam>(1.0));
  EXPECT_FALSE(a.get_IsFactorized());
  a.Factorize();
  a.set_Item(1, 1, ElementOf<TypeParam>(2.0));
  EXPECT_FALSE(a.get_IsFactorized());
}

TYPED_TEST(Tridiagonal, InvertAlwaysRefusesAndChangesNothing) {
  auto a = Example3<TypeParam>();
  EXPECT_THROW_MSG(a.Invert(), OrvaneException, Expect<TypeParam>::kInvert);
  EXPECT_FALSE(a.get_IsFactorized());
  EXPECT_EQ(a.get_Item(1, 1), ElementOf<TypeParam>(2.0));
  a.Factorize();
  EXPECT_THROW_MSG(a.Invert(), OrvaneException, Expect<TypeParam>::kInvert);
  EXPECT_TRUE(a.get_IsFactorized());
}

TYPED_TEST(Tridiagonal, WorkedExampleSolvesToOnes) {
  auto a = Example3<TypeParam>();
  auto b = Example3Rhs<TypeParam>();
  a.Factorize();
  a.Solve(b);
  for (int i = 0; i < 3; ++i) EXPECT_LT(Abs(b.get_Item(i, 0) - ElementOf<TypeParam>(1.0)), 4 * Eps());
  if constexpr (Expect<TypeParam>::kOneCall) {
    auto fresh = Example3<TypeParam>();
    auto b2 = Example3Rhs<TypeParam>();
    fresh.SolveWithSimpleDriver(b2);
    EXPECT_TRUE(fresh.get_IsFactorized());
    ExpectSameEntries(b, b2);
  }
}

TYPED_TEST(Tridiagonal, OrderZeroAndOne) {
  testing::internal::CaptureStdout();
  TypeParam empty(0, 0);
  RhsOf<TypeParam> none(0, 2);
  empty.Factorize();
  EXPECT_TRUE(empty.get_IsFactorized());
  empty.Solve(none);
  if constexpr (Expect<TypeParam>::kOneCall) empty.SolveWithSimpleDriver(none);

  TypeParam one(1, 1);
  one.set_Item(0, 0, ElementOf<TypeParam>(4.0));
  EXPECT_EQ(one.get_Item(0, 0), ElementOf<TypeParam>(4.0));
  RhsOf<TypeParam> b(1, 2);
  b.set_Item(0, 0, ElementOf<TypeParam>(2.0));
  b.set_Item(0, 1, ElementOf<TypeParam>(-8.0));
  TypeParam copy(one);
  RhsOf<TypeParam> b2(b);
  one.Factorize();
  one.Solve(b);
  EXPECT_EQ(b.get_Item(0, 0), ElementOf<TypeParam>(0.5));
  EXPECT_EQ(b.get_Item(0, 1), ElementOf<TypeParam>(-2.0));
  if constexpr (Expect<TypeParam>::kOneCall) {
    copy.SolveWithSimpleDriver(b2);
    ExpectSameEntries(b, b2);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no illegal-argument line
  one.Dispose();
  one.Dispose();
}

TYPED_TEST(Tridiagonal, RandomSystemsAgreeAcrossEverySolvePath) {
  std::mt19937 rng(42);
  for (int n : {2, 3, 5, 17, 64, 200}) {
    SCOPED_TRACE(n);
    const auto a = RandomTridiagonal<TypeParam>(n, rng);
    const auto b = RandomDense<RhsOf<TypeParam>>(n, 3, rng);
    const auto b2 = RandomDense<RhsOf<TypeParam>>(n, 2, rng);

    TypeParam factored(a);
    RhsOf<TypeParam> x(b);
    factored.Factorize();
    factored.Solve(x);
    EXPECT_LT(Residual(a, x, b), 10.0);

    if constexpr (Expect<TypeParam>::kOneCall) {
      // The one-call path gives the same solution and leaves factors that a
      // second right-hand side can use.
      TypeParam driven(a);
      RhsOf<TypeParam> y(b), y2(b2);
      driven.SolveWithSimpleDriver(y);
      EXPECT_TRUE(driven.get_IsFactorized());
      ExpectSameEntries(x, y);
      driven.Solve(y2);
      EXPECT_LT(Residual(a, y2, b2), 10.0);
    }

    // A clone carries the factors and solves on its own.
    auto clone = factored.Clone();
    EXPECT_TRUE(clone->get_IsFactorized());
    RhsOf<TypeParam> x2(b2), z2(b2);
    factored.Solve(x2);
    clone->Solve(z2);
    ExpectSameEntries(x2, z2);
    EXPECT_LT(Residual(a, z2, b2), 10.0);
    const auto before = factored.get_Item(1, 1);
    clone->set_Item(1, 1, ElementOf<TypeParam>(100.0));
    EXPECT_EQ(factored.get_Item(1, 1), before);
    EXPECT_TRUE(factored.get_IsFactorized());
    EXPECT_FALSE(clone->get_IsFactorized());
  }
}

TYPED_TEST(Tridiagonal, RightHandSideRowsAreCheckedBeforeLapack) {
  auto a = Example3<TypeParam>();
  RhsOf<TypeParam> b(2, 1);
  if constexpr (Expect<TypeParam>::kOneCall) {
    EXPECT_THROW_MSG(a.SolveWithSimpleDriver(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
    EXPECT_FALSE(a.get_IsFactorized());
    EXPECT_EQ(a.get_Item(1, 1), ElementOf<TypeParam>(2.0));
  }
  a.Factorize();
  EXPECT_THROW_MSG(a.Solve(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
}

// ---- general kinds ----

template <class M>
class GeneralTridiagonal : public ::testing::Test {};
using GeneralKinds = ::testing::Types<DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix>;
TYPED_TEST_SUITE(GeneralTridiagonal, GeneralKinds);

TYPED_TEST(GeneralTridiagonal, NonzeroOffTheBandIsRefusedZeroIgnored) {
  auto a = Example3<TypeParam>();
  a.Factorize();
  TypeParam factors(a);
  EXPECT_THROW_MSG(a.set_Item(0, 2, ElementOf<TypeParam>(1.0)), OrvaneException,
                   "The specified element doesn't fit to tridiagonal matrix.");
  EXPECT_THROW_MSG(a.set_Item(2, 0, ElementOf<TypeParam>(std::numeric_limits<double>::quiet_NaN())),
                   OrvaneException, "The specified element doesn't fit to tridiagonal matrix.");
  a.set_Item(2, 0, ElementOf<TypeParam>(-0.0));
  EXPECT_TRUE(a.get_IsFactorized());
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(a.get_Item(i, j), factors.get_Item(i, j));
}

TYPED_TEST(GeneralTridiagonal, SolutionMatchesLapackOneCallDriver) {
  std::mt19937 rng(9);
  const int n = 50, nrhs = 3;
  const auto a = RandomTridiagonal<TypeParam>(n, rng);
  const auto b = RandomDense<RhsOf<TypeParam>>(n, nrhs, rng);
  TypeParam lib(a);
  RhsOf<TypeParam> x(b);
  lib.SolveWithSimpleDriver(x);

  // gtsv on the same diagonals, straight from the element reads.
  using S = std::remove_reference_t<decltype(*x.Dat())>;
  std::vector<S> dl(n - 1), d(n), du(n - 1);
  for (int i = 0; i < n; ++i) d[i] = detail::ToStorage(a.get_Item(i, i));
  for (int i = 0; i + 1 < n; ++i) {
    dl[i] = detail::ToStorage(a.get_Item(i + 1, i));
    du[i] = detail::ToStorage(a.get_Item(i, i + 1));
  }
  RhsOf<TypeParam> y(b);
  int info = 0;
  lapack::gtsv(&n, &nrhs, dl.data(), d.data(), du.data(), y.Dat(), &n, &info);
  ASSERT_EQ(info, 0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < nrhs; ++j) EXPECT_LT(Abs(x.get_Item(i, j) - y.get_Item(i, j)), 1e-14);
}

TYPED_TEST(GeneralTridiagonal, SingularMatrixGivesNonFiniteSolutionWithoutException) {
  // Rows 0 and 1 are equal: [[1, 1], [1, 1]].
  auto a = FromRows<TypeParam>({{1, 1}, {1, 1}});
  TypeParam a2(a);
  auto b = FromRows<RhsOf<TypeParam>>({{1}, {2}}), b2(b);
  a.SolveWithSimpleDriver(b);  // not the untouched right-hand side
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_FALSE(AllFinite(b));
  a2.Factorize();
  a2.Solve(b2);
  EXPECT_FALSE(AllFinite(b2));
}

TYPED_TEST(GeneralTridiagonal, PivotingSolveAfterOneCallUsesRealPivots) {
  // |dl| > |d| forces row interchanges; a Solve after the one-call path must
  // apply them.
  auto a = FromRows<TypeParam>({{1e-3, 1, 0}, {2, 1e-3, 3}, {0, 4, 1}});
  const TypeParam orig(a);
  const auto b = FromRows<RhsOf<TypeParam>>({{1}, {2}, {3}});
  const auto b2 = FromRows<RhsOf<TypeParam>>({{1, 0}, {0, 2}, {-1, 4}});
  RhsOf<TypeParam> x(b), x2(b2);
  a.SolveWithSimpleDriver(x);
  a.Solve(x2);
  EXPECT_LT(Residual(orig, x, b), 10.0);
  EXPECT_LT(Residual(orig, x2, b2), 10.0);
}

TYPED_TEST(GeneralTridiagonal, PivotsAreIdentityBeforeAnyFactorization) {
  // A Solve on a never-factorized diagonal matrix divides by the diagonal;
  // unset pivots would swap rows.
  auto a = FromRows<TypeParam>({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}});
  auto b = FromRows<RhsOf<TypeParam>>({{1}, {2}, {3}});
  a.Solve(b);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b.get_Item(i, 0), ElementOf<TypeParam>(1.0));
}

TEST(DoubleGeneralTridiagonal, RightHandSideMustBeDenseGeneral) {
  auto a = Example3<DoubleGeneralTridiagonalMatrix>();
  DoubleSymmetricTridiagonalMatrix notGeneral(3, 3);
  EXPECT_THROW_MSG(a.SolveWithSimpleDriver(notGeneral), OrvaneException,
                   "Matrix b must be general matrix.");
  EXPECT_FALSE(a.get_IsFactorized());
  a.Factorize();
  EXPECT_THROW_MSG(a.Solve(notGeneral), OrvaneException, "Matrix b must be general matrix.");
  ComplexGeneralMatrix complexRhs(3, 1);
  EXPECT_THROW_MSG(a.Solve(complexRhs), OrvaneException, "Matrix b must be general matrix.");
}

TEST(ComplexGeneralTridiagonal, ImaginaryOnlyValueOffTheBandIsNonzero) {
  ComplexGeneralTridiagonalMatrix a(4, 4);
  EXPECT_THROW_MSG(a.set_Item(0, 3, Complex(0, 1)), OrvaneException,
                   "The specified element doesn't fit to tridiagonal matrix.");
  a.set_Item(1, 2, Complex(5, 1));
  EXPECT_EQ(a.get_Item(1, 2), Complex(5, 1));
  EXPECT_EQ(a.get_Item(2, 1), Complex(0, 0));
}

// ---- symmetric and Hermitian kinds ----

TEST(DoubleSymmetricTridiagonal, MirrorSharesOneStoredValueAndOutsideIsIgnored) {
  DoubleSymmetricTridiagonalMatrix a(3, 3);
  a.set_Item(1, 0, 2.0);
  EXPECT_EQ(a.get_Item(0, 1), 2.0);
  EXPECT_EQ(a.E()[0], 2.0);
  a.set_Item(0, 1, 3.0);
  EXPECT_EQ(a.get_Item(1, 0), 3.0);
  for (int i = 0; i < 3; ++i) a.set_Item(i, i, 4.0);
  a.Factorize();
  a.set_Item(0, 2, 5.0);  // ignored: no exception, nothing stored, flag kept
  EXPECT_EQ(a.get_Item(0, 2), 0.0);
  EXPECT_TRUE(a.get_IsFactorized());
}

TEST(DoubleSymmetricTridiagonal, FactorEntriesOfTheWorkedExample) {
  auto a = Example3<DoubleSymmetricTridiagonalMatrix>();
  a.Factorize();
  EXPECT_EQ(a.get_Item(0, 0), 2.0);
  EXPECT_EQ(a.get_Item(1, 0), 0.5);
  EXPECT_EQ(a.get_Item(0, 1), 0.5);
}

TEST(ComplexHermitianTridiagonal, ElementRules) {
  ComplexHermitianTridiagonalMatrix a(3, 3);
  a.set_Item(1, 1, Complex(2, 0));
  EXPECT_EQ(a.get_Item(1, 1), Complex(2, 0));
  EXPECT_THROW_MSG(a.set_Item(1, 1, Complex(2, 1)), OrvaneException,
                   "Hermitian tridiagonal indefinite matrix is not supported by LAPACK. Please "
                   "use Matrix::ComplexHermitian.");
  EXPECT_EQ(a.get_Item(1, 1), Complex(2, 0));

  a.set_Item(0, 1, Complex(1, 2));
  EXPECT_EQ(a.get_Item(0, 1), Complex(1, 2));
  EXPECT_EQ(a.get_Item(1, 0), Complex(1, -2));
  a.set_Item(1, 0, Complex(1, -2));
  EXPECT_EQ(a.get_Item(0, 1), Complex(1, 2));
  a.set_Item(2, 1, Complex(3, 4));
  EXPECT_EQ(a.get_Item(1, 2), Complex(3, -4));

  a.set_Item(0, 0, Complex(9, 0));
  a.set_Item(2, 2, Complex(9, 0));
  a.set_Item(1, 1, Complex(9, 0));
  a.Factorize();
  a.set_Item(0, 2, Complex(5, 5));  // ignored
  EXPECT_EQ(a.get_Item(0, 2), Complex(0, 0));
  EXPECT_TRUE(a.get_IsFactorized());
}

TEST(ComplexHermitianTridiagonal, WorkedExampleNeedsTheUpperReading) {
  // [[4, 1 + i], [1 - i, 4]] x = (5 + i, 5 - i) has x = (1, 1); reading e as
  // the subdiagonal would solve the conjugate system instead.
  auto a = FromRows<ComplexHermitianTridiagonalMatrix>({{4, 0}, {0, 4}});
  a.set_Item(0, 1, Complex(1, 1));
  ComplexGeneralMatrix b(2, 1);
  b.set_Item(0, 0, Complex(5, 1));
  b.set_Item(1, 0, Complex(5, -1));
  a.Factorize();
  a.Solve(b);
  EXPECT_LT(Abs(b.get_Item(0, 0) - Complex(1, 0)), 4 * Eps());
  EXPECT_LT(Abs(b.get_Item(1, 0) - Complex(1, 0)), 4 * Eps());
}

TEST(Tridiagonal, WrongKindOfRightHandSideIsABadCast) {
  auto cg = Example3<ComplexGeneralTridiagonalMatrix>();
  ComplexHermitianTridiagonalMatrix hermitian(3, 3);
  EXPECT_THROW(cg.SolveWithSimpleDriver(hermitian), std::bad_cast);
  EXPECT_FALSE(cg.get_IsFactorized());
  DoubleGeneralTridiagonalMatrix general(3, 3);
  EXPECT_THROW(Example3<DoubleSymmetricTridiagonalMatrix>().SolveWithSimpleDriver(general), std::bad_cast);
  auto h = Example3<ComplexHermitianTridiagonalMatrix>();
  h.Factorize();
  ComplexGeneralTridiagonalMatrix complexGeneral(3, 3);
  EXPECT_THROW(h.Solve(complexGeneral), std::bad_cast);
}

// The one-call path of the Hermitian kind refuses before looking at the values.
template <class M>
class SymmetricTridiagonal : public ::testing::Test {};
using SymmetricKinds = ::testing::Types<DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
TYPED_TEST_SUITE(SymmetricTridiagonal, SymmetricKinds);

TYPED_TEST(SymmetricTridiagonal, IndefiniteMatrixIsRefusedByBothPaths) {
  const bool real = std::is_same_v<TypeParam, DoubleSymmetricTridiagonalMatrix>;
  const char* indefinite =
      real ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
             "supported by LAPACK. Please use Matrix::DoubleSymmetrix."
           : "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
             "supported by LAPACK. Please use Matrix::ComplexHermitian.";
  auto a = FromRows<TypeParam>({{1, 2}, {2, 1}});
  TypeParam a2(a);
  EXPECT_THROW_MSG(a.Factorize(), OrvaneException, indefinite);
  EXPECT_FALSE(a.get_IsFactorized());
  auto b = FromRows<RhsOf<TypeParam>>({{3}, {3}});
  EXPECT_THROW_MSG(a2.SolveWithSimpleDriver(b), OrvaneException,
                   real ? indefinite
                        : "The routine for solving linear equation (zptsv) may not work. Please "
                          "factorize first then solve.");
  EXPECT_FALSE(a2.get_IsFactorized());
  EXPECT_EQ(b.get_Item(0, 0), ElementOf<TypeParam>(3.0));
  EXPECT_EQ(b.get_Item(1, 0), ElementOf<TypeParam>(3.0));
  EXPECT_EQ(a2.get_Item(0, 1), ElementOf<TypeParam>(2.0));
}
