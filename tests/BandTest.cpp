// The four band kinds: one typed fixture for what they share, small tests for
// the layouts, write rules and messages of each.
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexGeneralBandMatrix.h"
#include "kinds/complex/ComplexHermitianBandMatrix.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

using Widths = std::vector<std::pair<int, int>>;  // (kl, ku)

template <class M>
struct Traits;
template <>
struct Traits<DoubleGeneralBandMatrix> {
  using Rhs = DoubleGeneralMatrix;
  static constexpr bool kSymmetric = false;
  static constexpr int kTypeValue = 1;
  static constexpr const char* kInvert = "Inversion of banded matrix is not supported by LAPACK.";
  static Widths Bands() { return {{0, 0}, {1, 1}, {2, 5}, {5, 2}, {7, 0}, {0, 3}}; }
};
template <>
struct Traits<ComplexGeneralBandMatrix> {
  using Rhs = ComplexGeneralMatrix;
  static constexpr bool kSymmetric = false;
  static constexpr int kTypeValue = 7;
  static constexpr const char* kInvert =
      "Inversion for gengeral band matrix is not supported by lapack.";
  static Widths Bands() { return {{0, 0}, {1, 1}, {4, 1}, {1, 4}, {6, 6}}; }
};
template <>
struct Traits<DoubleSymmetricBandMatrix> {
  using Rhs = DoubleGeneralMatrix;
  static constexpr bool kSymmetric = true;
  static constexpr int kTypeValue = 4;
  static constexpr const char* kInvert = "Inversion of banded matrix is not supported by LAPACK.";
  static Widths Bands() { return {{0, 0}, {1, 1}, {3, 3}, {10, 10}}; }
};
template <>
struct Traits<ComplexHermitianBandMatrix> {
  using Rhs = ComplexGeneralMatrix;
  static constexpr bool kSymmetric = true;
  static constexpr int kTypeValue = 10;
  static constexpr const char* kInvert = "Inversion of banded matrix is not supported by LAPACK.";
  static Widths Bands() { return {{0, 0}, {1, 1}, {2, 2}, {8, 8}}; }
};

bool InBand(int i, int j, int kl, int ku) { return j - i <= ku && i - j <= kl; }

// A random matrix of the kind: entries in [-1, 1) for the general kinds (so
// partial pivoting and the fill-in rows come into play), Hermitian and
// diagonally dominant with a real diagonal (so positive definite) for the others.
template <class M>
M RandomBand(int n, int kl, int ku, std::mt19937& rng) {
  using E = ElementOf<M>;
  M a(n, n, kl, ku);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      if (!InBand(i, j, kl, ku) || (Traits<M>::kSymmetric && i > j)) continue;
      if (Traits<M>::kSymmetric && i == j) {
        a.set_Item(i, j, E(2.0 * ku + 1 + std::abs(orvane_test::RandomValue<double>(rng))));
      } else {
        a.set_Item(i, j, orvane_test::RandomValue<E>(rng));
      }
    }
  return a;
}

template <class M>
class BandKind : public ::testing::Test {};
using BandKinds = ::testing::Types<DoubleGeneralBandMatrix, ComplexGeneralBandMatrix,
                                   DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix>;
TYPED_TEST_SUITE(BandKind, BandKinds);

}  // namespace

TYPED_TEST(BandKind, NewMatrixIsAZeroBandOfTheKind) {
  TypeParam a(6, 6, 2, 2);
  EXPECT_EQ(static_cast<int>(a.get_Type()), Traits<TypeParam>::kTypeValue);
  EXPECT_FALSE(a.get_IsFactorized());
  // 2*kl + ku + 1 rows for the general kinds, ku + 1 for the others.
  EXPECT_EQ(a.Band().size(), Traits<TypeParam>::kSymmetric ? 18u : 42u);
  for (auto v : a.Band()) EXPECT_EQ(v, decltype(v){});
  EXPECT_EQ(MaxAbs(a), 0.0);
}

TYPED_TEST(BandKind, ReadsOutsideTheBandAreZero) {
  using E = ElementOf<TypeParam>;
  const int n = 7, kl = 2, ku = 2;
  TypeParam a(n, n, kl, ku);
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n && j - i <= ku; ++j) a.set_Item(i, j, E(1 + i + 10.0 * j));
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (!InBand(i, j, kl, ku)) {
        EXPECT_EQ(a.get_Item(i, j), E{}) << i << "," << j;
      } else if (i <= j) {
        EXPECT_EQ(a.get_Item(i, j), E(1 + i + 10.0 * j));
      } else {  // general: never written; symmetric: the mirror
        EXPECT_EQ(a.get_Item(i, j), Traits<TypeParam>::kSymmetric ? E(1 + j + 10.0 * i) : E{});
      }
    }
}

TYPED_TEST(BandKind, FlagFollowsWritesFactorizationAndSolves) {
  using E = ElementOf<TypeParam>;
  TypeParam a(4, 4, 1, 1);
  for (int i = 0; i < 4; ++i) a.set_Item(i, i, E(2.0));
  a.Factorize();
  EXPECT_TRUE(a.get_IsFactorized());
  typename Traits<TypeParam>::Rhs b(4, 1);
  a.Solve(b);
  EXPECT_TRUE(a.get_IsFactorized());
  a.set_Item(3, 0, E{});  // outside the band: ignored
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_THROW_MSG(a.Invert(), OrvaneException, Traits<TypeParam>::kInvert);
  EXPECT_TRUE(a.get_IsFactorized());
  a.set_Item(1, 0, E(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
  EXPECT_THROW_MSG(a.Invert(), OrvaneException, Traits<TypeParam>::kInvert);
  EXPECT_FALSE(a.get_IsFactorized());
  a.SolveWithSimpleDriver(b);
  EXPECT_TRUE(a.get_IsFactorized());
}

TYPED_TEST(BandKind, BadCountsAreRejectedBeforeAllocating) {
  EXPECT_THROW_MSG(TypeParam(-1, -1, 0, 0), OrvaneException, "Matrix dimensions must not be negative.");
  EXPECT_THROW_MSG(TypeParam(3, 3, -1, -1), OrvaneException,
                   "Numbers of sub- and superdiagonals must not be negative.");
  EXPECT_THROW_MSG(TypeParam(2, 2, INT_MAX, INT_MAX), OrvaneException,
                   "Numbers of sub- and superdiagonals are too large for LAPACK's band storage.");
}

TYPED_TEST(BandKind, OrderZeroMakesNoIllegalLapackCall) {
  using R = typename Traits<TypeParam>::Rhs;
  TypeParam a(0, 0, 0, 0), wide(0, 0, 3, 3);
  R b(0, 2);
  testing::internal::CaptureStdout();
  a.SolveWithSimpleDriver(b);
  a.Factorize();
  a.Solve(b);
  wide.Factorize();
  wide.SolveWithSimpleDriver(b);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_TRUE(a.Band().empty());
}

TYPED_TEST(BandKind, OrderOneSolvesAlsoWithBandWiderThanTheMatrix) {
  using E = ElementOf<TypeParam>;
  using R = typename Traits<TypeParam>::Rhs;
  for (int k : {0, 2}) {
    TypeParam a(1, 1, k, k);
    a.set_Item(0, 0, E(4.0));
    TypeParam f(a);
    R b(1, 2);
    b.set_Item(0, 0, E(8.0));
    b.set_Item(0, 1, E(2.0));
    R b2(b);
    a.SolveWithSimpleDriver(b);
    f.Factorize();
    f.Solve(b2);
    for (const R* x : {&b, &b2}) {
      EXPECT_EQ(x->get_Item(0, 0), E(2.0));
      EXPECT_EQ(x->get_Item(0, 1), E(0.5));
    }
  }
}

TYPED_TEST(BandKind, RightHandSideShapeAndKindAreCheckedBeforeLapack) {
  using R = typename Traits<TypeParam>::Rhs;
  TypeParam a(3, 3, 1, 1);
  R b(2, 1);
  EXPECT_THROW_MSG(a.SolveWithSimpleDriver(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
  EXPECT_THROW_MSG(a.Solve(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
  EXPECT_FALSE(a.get_IsFactorized());
  std::conditional_t<std::is_same_v<R, DoubleGeneralMatrix>, ComplexGeneralMatrix, DoubleGeneralMatrix>
      other(3, 1);
  EXPECT_THROW(a.SolveWithSimpleDriver(other), std::bad_cast);
  TypeParam self(3, 3, 1, 1);
  EXPECT_THROW(a.Solve(self), std::bad_cast);
}

TYPED_TEST(BandKind, RandomSystemsSolveThroughEveryPath) {
  using R = typename Traits<TypeParam>::Rhs;
  std::mt19937 rng(42);
  for (int n : {2, 9, 60, 200}) {
    for (auto [kl, ku] : Traits<TypeParam>::Bands()) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " kl=" << kl << " ku=" << ku);
      const TypeParam a = RandomBand<TypeParam>(n, kl, ku, rng);
      const R b = RandomDense<R>(n, 3, rng), b2 = RandomDense<R>(n, 2, rng);

      TypeParam oneCall(a), split(a);
      R x1(b), x2(b), y(b2);
      oneCall.SolveWithSimpleDriver(x1);
      split.Factorize();
      split.Solve(x2);
      EXPECT_LT(Residual(a, x1, b), 20.0);
      // The driver runs the same factorization and solve.
      EXPECT_LE(MaxDifference(x1, x2), 1e-14 * MaxAbs(x1));
      for (std::size_t k = 0; k < split.Band().size(); ++k)
        EXPECT_LE(std::abs(oneCall.Band()[k] - split.Band()[k]), 1e-14 * std::abs(split.Band()[k]));

      // A second right-hand side reuses the one-call path's factors.
      oneCall.Solve(y);
      EXPECT_LT(Residual(a, y, b2), 20.0);

      // A clone keeps its own copy of the factors and pivots.
      auto clone = split.Clone();
      EXPECT_TRUE(clone->get_IsFactorized());
      split.set_Item(n - 1, n - 1, ElementOf<TypeParam>(1e3));
      split.Factorize();
      R z(b2);
      clone->Solve(z);
      EXPECT_LT(Residual(a, z, b2), 20.0);
    }
  }
}

// ---- general band kinds ----

TEST(DoubleGeneralBand, LayoutOfTheWorkedExample) {
  DoubleGeneralBandMatrix a(5, 5, 1, 2);
  EXPECT_EQ(a.Band().size(), 25u);
  a.set_Item(0, 2, 7.0);
  a.set_Item(3, 2, 8.0);
  EXPECT_EQ(a.Band()[11], 7.0);
  EXPECT_EQ(a.Band()[14], 8.0);
  EXPECT_EQ(a.get_Item(0, 3), 0.0);
  EXPECT_EQ(a.get_Item(3, 1), 0.0);

  DoubleGeneralBandMatrix d(4, 4, 0, 0);
  EXPECT_EQ(d.Band().size(), 4u);
  d.set_Item(2, 2, 5.0);
  EXPECT_EQ(d.Band()[2], 5.0);
  EXPECT_THROW(d.set_Item(2, 3, 1.0), OrvaneException);
}

TEST(DoubleGeneralBand, NonzeroOutsideTheBandIsRefusedInGeneralNumberForm) {
  DoubleGeneralBandMatrix a(5, 5, 1, 2);
  a.Factorize();
  a.set_Item(0, 3, 0.0);
  a.set_Item(0, 3, -0.0);
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_THROW_MSG(a.set_Item(0, 3, 1.5), OrvaneException, "Value 1.5doesn't fit to (0, 3)");
  EXPECT_THROW_MSG(a.set_Item(4, 0, 1e-5), OrvaneException, "Value 1E-05doesn't fit to (4, 0)");
  EXPECT_THROW_MSG(a.set_Item(0, 4, 1e15), OrvaneException, "Value 1E+15doesn't fit to (0, 4)");
  EXPECT_THROW_MSG(a.set_Item(0, 3, std::nan("")), OrvaneException, "Value NaNdoesn't fit to (0, 3)");
  {
    orvane_test::CommaLocale comma;
    EXPECT_THROW_MSG(a.set_Item(0, 3, -0.25), OrvaneException, "Value -0,25doesn't fit to (0, 3)");
  }
  EXPECT_TRUE(a.get_IsFactorized());
  for (double v : a.Band()) EXPECT_EQ(v, 0.0);
}

TEST(ComplexGeneralBand, LayoutAndOutOfBandMessage) {
  ComplexGeneralBandMatrix a(5, 5, 1, 2);
  a.set_Item(0, 2, Complex(1, 1));
  a.set_Item(4, 3, Complex(2, -1));
  EXPECT_EQ(a.Band()[11], std::complex<double>(1, 1));
  EXPECT_EQ(a.Band()[19], std::complex<double>(2, -1));
  EXPECT_EQ(a.get_Item(3, 0), Complex());
  a.set_Item(3, 0, Complex(0.0, -0.0));
  EXPECT_THROW_MSG(a.set_Item(3, 0, Complex(1, 2)), OrvaneException,
                   "Value (1.0000,2.0000)doesn't fit to (3, 0)");
  EXPECT_THROW_MSG(a.set_Item(3, 0, Complex(0, 0.5)), OrvaneException,
                   "Value (0.0000,0.5000)doesn't fit to (3, 0)");
}

TEST(DoubleGeneralBand, WorkedTridiagonalSystemAndKeptFactors) {
  DoubleGeneralBandMatrix a(3, 3, 1, 1);
  for (int i = 0; i < 3; ++i)
    for (int j = std::max(0, i - 1); j < std::min(3, i + 2); ++j) a.set_Item(i, j, i == j ? 2.0 : 1.0);
  DoubleGeneralBandMatrix fresh(a);
  auto b = FromRows<DoubleGeneralMatrix>({{3}, {4}, {3}}), b1(b);
  auto b2 = FromRows<DoubleGeneralMatrix>({{2}, {4}, {6}});
  a.Factorize();
  // No pivoting (|2| > |1|): multiplier 1/2, U(1,1) = 3/2 read in place.
  EXPECT_EQ(a.get_Item(1, 0), 0.5);
  EXPECT_EQ(a.get_Item(1, 1), 1.5);
  a.Solve(b);
  fresh.SolveWithSimpleDriver(b1);
  EXPECT_TRUE(fresh.get_IsFactorized());
  ExpectEntriesNear(b, {{1}, {1}, {1}}, 4 * Eps());
  ExpectEntriesNear(b1, {{1}, {1}, {1}}, 4 * Eps());
  fresh.Solve(b2);
  ExpectEntriesNear(b2, {{1}, {0}, {3}}, 8 * Eps());
}

template <class M>
class GeneralBandKind : public ::testing::Test {};
using GeneralBandKinds = ::testing::Types<DoubleGeneralBandMatrix, ComplexGeneralBandMatrix>;
TYPED_TEST_SUITE(GeneralBandKind, GeneralBandKinds);

TYPED_TEST(GeneralBandKind, NonSquareShapeIsRejected) {
  EXPECT_THROW_MSG(TypeParam(3, 4, 1, 1), OrvaneException,
                   "Number of rows and columns must be equal for general band and tridiagonal "
                   "matrices.");
}

TYPED_TEST(GeneralBandKind, SingularMatrixGivesNonFiniteSolutionsOnBothPaths) {
  using R = typename Traits<TypeParam>::Rhs;
  using E = ElementOf<TypeParam>;
  TypeParam a(3, 3, 1, 1);  // rank 2: the last pivot of U is exactly zero
  a.set_Item(0, 0, E(1.0));
  a.set_Item(1, 1, E(1.0));
  TypeParam b(a);
  auto x = FromRows<R>({{1}, {1}, {1}}), y(x);
  a.Factorize();
  EXPECT_TRUE(a.get_IsFactorized());
  a.Solve(x);
  EXPECT_FALSE(AllFinite(x));
  b.SolveWithSimpleDriver(y);  // must not hand back the right-hand side
  EXPECT_TRUE(b.get_IsFactorized());
  EXPECT_FALSE(AllFinite(y));
}

// ---- symmetric and Hermitian band kinds ----

TEST(DoubleSymmetricBand, ShapeChecksLayoutAndIgnoredWrites) {
  const char* notSquare = "Number of rows and columns must be equal for symmetric matrix.";
  EXPECT_THROW_MSG(DoubleSymmetricBandMatrix(4, 4, 1, 2), OrvaneException, notSquare);
  EXPECT_THROW_MSG(DoubleSymmetricBandMatrix(4, 5, 2, 2), OrvaneException, notSquare);
  EXPECT_THROW_MSG(ComplexHermitianBandMatrix(3, 3, 1, 2), OrvaneException, notSquare);

  DoubleSymmetricBandMatrix a(4, 4, 2, 2);
  EXPECT_EQ(a.Band().size(), 12u);
  a.set_Item(2, 0, 3.0);
  EXPECT_EQ(a.Band()[6], 3.0);
  EXPECT_EQ(a.get_Item(0, 2), 3.0);
  for (int i = 0; i < 4; ++i) a.set_Item(i, i, 10.0);
  a.Factorize();
  a.set_Item(0, 3, 9.0);
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_EQ(a.get_Item(0, 3), 0.0);

  DoubleSymmetricBandMatrix d(3, 3, 0, 0);
  EXPECT_EQ(d.Band().size(), 3u);
}

TEST(DoubleSymmetricBand, WorkedPositiveDefiniteSystems) {
  DoubleSymmetricBandMatrix t(3, 3, 1, 1), full(3, 3, 2, 2);
  for (int i = 0; i < 3; ++i) {
    t.set_Item(i, i, 2.0);
    if (i < 2) t.set_Item(i, i + 1, 1.0);
    for (int j = 0; j < 3; ++j) full.set_Item(i, j, i == j ? 4.0 : 1.0);
  }
  DoubleSymmetricBandMatrix t2(t);
  auto bt = FromRows<DoubleGeneralMatrix>({{3}, {4}, {3}}), bt2(bt);
  auto bf = FromRows<DoubleGeneralMatrix>({{6}, {6}, {6}});
  t.Factorize();
  t.Solve(bt);
  t2.SolveWithSimpleDriver(bt2);
  full.SolveWithSimpleDriver(bf);
  EXPECT_TRUE(t2.get_IsFactorized());
  for (const auto* x : {&bt, &bt2, &bf}) ExpectEntriesNear(*x, {{1}, {1}, {1}}, 4 * Eps());
}

TEST(ComplexHermitianBand, LayoutAndConjugatedMirror) {
  ComplexHermitianBandMatrix a(4, 4, 2, 2);
  EXPECT_EQ(a.Band().size(), 12u);
  a.set_Item(0, 0, Complex(5, 0.5));  // kept as written, imaginary part included
  a.set_Item(0, 2, Complex(6, 0));
  a.set_Item(1, 3, Complex(9, 0));
  EXPECT_EQ(a.Band()[2], std::complex<double>(5, 0.5));
  EXPECT_EQ(a.Band()[6], std::complex<double>(6, 0));
  EXPECT_EQ(a.Band()[9], std::complex<double>(9, 0));
  EXPECT_EQ(a.get_Item(0, 0), Complex(5, 0.5));

  a.set_Item(2, 0, Complex(1, 2));
  EXPECT_EQ(a.get_Item(2, 0), Complex(1, 2));
  EXPECT_EQ(a.get_Item(0, 2), Complex(1, -2));
  a.set_Item(0, 3, Complex(7, 0));
  EXPECT_EQ(a.get_Item(0, 3), Complex());
}

template <class M>
class SymmetricBandKind : public ::testing::Test {};
using SymmetricBandKinds = ::testing::Types<DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix>;
TYPED_TEST_SUITE(SymmetricBandKind, SymmetricBandKinds);

TYPED_TEST(SymmetricBandKind, IndefiniteMatrixIsRefusedByBothPaths) {
  using E = ElementOf<TypeParam>;
  using R = typename Traits<TypeParam>::Rhs;
  const char* expected =
      std::is_same_v<E, double>
          ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
            "supported by LAPACK. Please use Matrix::DoubleSymmetrix."
          : "This matrix is not positive definite. Hermitian band indefinite matrix is not "
            "supported by LAPACK. Please use Matrix::ComplexHermitian.";
  TypeParam a(2, 2, 1, 1);
  a.set_Item(0, 0, E(1.0));
  a.set_Item(1, 1, E(1.0));
  a.set_Item(0, 1, E(2.0));
  TypeParam b(a);
  EXPECT_THROW_MSG(a.Factorize(), OrvaneException, expected);
  EXPECT_FALSE(a.get_IsFactorized());
  R x(2, 1);
  x.set_Item(0, 0, E(3.0));
  EXPECT_THROW_MSG(b.SolveWithSimpleDriver(x), OrvaneException, expected);
  EXPECT_FALSE(b.get_IsFactorized());
  EXPECT_EQ(x.get_Item(0, 0), E(3.0));
  EXPECT_EQ(x.get_Item(1, 0), E{});
}
