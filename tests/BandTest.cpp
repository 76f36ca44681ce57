// The four band kinds: one typed fixture for what they share, small tests for
// the write rules and messages of each.
#include <cmath>
#include <utility>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/StorageAccess.h"
#include "kinds/complex/ComplexGeneralBandMatrix.h"
#include "kinds/complex/ComplexHermitianBandMatrix.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class M>
constexpr bool kSymmetric =
    std::is_same_v<M, DoubleSymmetricBandMatrix> || std::is_same_v<M, ComplexHermitianBandMatrix>;
template <class M>
using RhsOf =
    std::conditional_t<std::is_same_v<ElementOf<M>, double>, DoubleGeneralMatrix, ComplexGeneralMatrix>;

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
      if (!InBand(i, j, kl, ku) || (kSymmetric<M> && i > j)) continue;
      const bool diagonal = kSymmetric<M> && i == j;
      a.set_Item(i, j,
                 diagonal ? E(2.0 * ku + 1 + std::fabs(RandomValue<double>(rng))) : RandomValue<E>(rng));
    }
  return a;
}

template <class M>
class BandKind : public ::testing::Test {};
using BandKinds = ::testing::Types<DoubleGeneralBandMatrix, ComplexGeneralBandMatrix,
                                   DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix>;
TYPED_TEST_SUITE(BandKind, BandKinds);

}  // namespace

// A zero outside the band is ignored and keeps the flag (the symmetric kinds
// ignore any value there); a write inside clears it. Invert always refuses.
TYPED_TEST(BandKind, WritesAndInvert) {
  using E = ElementOf<TypeParam>;
  std::mt19937 rng(1);
  TypeParam r = RandomBand<TypeParam>(7, 2, 2, rng);
  r.Factorize();
  r.set_Item(6, 0, E{});
  if (kSymmetric<TypeParam>) r.set_Item(0, 6, E(9.0));
  EXPECT_EQ(r.get_Item(0, 6), E{});
  EXPECT_TRUE(r.get_IsFactorized());
  const char* invert = std::is_same_v<TypeParam, ComplexGeneralBandMatrix>
                           ? "Inversion for gengeral band matrix is not supported by lapack."
                           : "Inversion of banded matrix is not supported by LAPACK.";
  EXPECT_THROW_MSG(r.Invert(), OrvaneException, invert);
  EXPECT_TRUE(r.get_IsFactorized());
  r.set_Item(1, 0, E(0.5));
  EXPECT_FALSE(r.get_IsFactorized());
}

// Both paths against each other, a second right-hand side on the one-call
// path's factors, and a clone keeping its own factors and pivots. Orders 0
// and 1, also under bands wider than the matrix, make no illegal LAPACK call.
TYPED_TEST(BandKind, RandomSystemsSolveThroughEveryPath) {
  using R = RhsOf<TypeParam>;
  using Widths = std::vector<std::pair<int, int>>;  // (kl, ku)
  const Widths bands = kSymmetric<TypeParam> ? Widths{{0, 0}, {1, 1}, {3, 3}, {10, 10}}
                                             : Widths{{0, 0}, {1, 1}, {2, 5}, {5, 2}, {7, 0}, {0, 3}, {6, 6}};
  std::mt19937 rng(42);
  testing::internal::CaptureStdout();
  for (int n : {0, 1, 2, 9, 60, 200}) {
    for (auto [kl, ku] : bands) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " kl=" << kl << " ku=" << ku);
      const TypeParam a = RandomBand<TypeParam>(n, kl, ku, rng);
      const R b = RandomDense<R>(n, 3, rng), b2 = RandomDense<R>(n, 2, rng);
      TypeParam oneCall(a), split(a);
      R x1(b), x2(b), y(b2), z(b2);
      oneCall.SolveWithSimpleDriver(x1);
      split.Factorize();
      split.Solve(x2);
      EXPECT_LT(Residual(a, x1, b), 20.0);
      EXPECT_LE(MaxDifference(x1, x2), 1e-14 * MaxAbs(x1));
      oneCall.Solve(y);
      EXPECT_LT(Residual(a, y, b2), 20.0);

      auto clone = split.Clone();
      EXPECT_TRUE(clone->get_IsFactorized());
      if (n > 0) split.set_Item(n - 1, n - 1, ElementOf<TypeParam>(1e3));
      split.Factorize();
      clone->Solve(z);
      EXPECT_LT(Residual(a, z, b2), 20.0);
    }
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(GeneralBand, NonzeroOutsideTheBandIsRefusedWithTheValueInGeneralNumberForm) {
  DoubleGeneralBandMatrix a(5, 5, 1, 2);
  a.Factorize();
  a.set_Item(0, 3, 0.0);
  a.set_Item(0, 3, -0.0);
  const struct {
    int i, j;
    double v;
    const char* message;
  } refused[] = {{0, 3, 1.5, "Value 1.5doesn't fit to (0, 3)"},
                 {4, 0, 1e-5, "Value 1E-05doesn't fit to (4, 0)"},
                 {0, 4, 1e15, "Value 1E+15doesn't fit to (0, 4)"},
                 {0, 3, std::nan(""), "Value NaNdoesn't fit to (0, 3)"}};
  for (const auto& r : refused) EXPECT_THROW_MSG(a.set_Item(r.i, r.j, r.v), OrvaneException, r.message);
  {
    CommaLocale comma;
    EXPECT_THROW_MSG(a.set_Item(0, 3, -0.25), OrvaneException, "Value -0,25doesn't fit to (0, 3)");
  }
  EXPECT_TRUE(a.get_IsFactorized());
  for (double v : detail::StorageAccess::Band(a)) EXPECT_EQ(v, 0.0);

  ComplexGeneralBandMatrix c(5, 5, 1, 2);
  c.set_Item(3, 0, Complex(0.0, -0.0));
  EXPECT_THROW_MSG(c.set_Item(3, 0, Complex(1, 2)), OrvaneException, "Value (1.0000,2.0000)doesn't fit to (3, 0)");
  EXPECT_THROW_MSG(c.set_Item(3, 0, Complex(0, 0.5)), OrvaneException, "Value (0.0000,0.5000)doesn't fit to (3, 0)");
}

TYPED_TEST(BandKind, SingularOrIndefiniteMatrix) {
  using E = ElementOf<TypeParam>;
  using R = RhsOf<TypeParam>;
  if constexpr (!kSymmetric<TypeParam>) {
    // diag(1, 1, 0): the last pivot of U is exactly zero. gbsv would hand back
    // the right-hand side untouched; both paths must show the singularity.
    TypeParam a(3, 3, 1, 1);
    a.set_Item(0, 0, E(1.0));
    a.set_Item(1, 1, E(1.0));
    TypeParam a2(a);
    auto x = FromRows<R>({{1}, {1}, {1}}), y(x);
    a.Factorize();
    EXPECT_TRUE(a.get_IsFactorized());
    a.Solve(x);
    EXPECT_FALSE(AllFinite(x));
    a2.SolveWithSimpleDriver(y);
    EXPECT_TRUE(a2.get_IsFactorized());
    EXPECT_FALSE(AllFinite(y));
  } else {
    // [[1, 2], [2, 1]]: refused by both paths, the right-hand side unchanged.
    const char* indefinite =
        std::is_same_v<E, double>
            ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
              "supported by LAPACK. Please use Matrix::DoubleSymmetrix."
            : "This matrix is not positive definite. Hermitian band indefinite matrix is not "
              "supported by LAPACK. Please use Matrix::ComplexHermitian.";
    TypeParam a(2, 2, 1, 1);
    a.set_Item(0, 0, E(1.0));
    a.set_Item(1, 1, E(1.0));
    a.set_Item(0, 1, E(2.0));
    TypeParam a2(a);
    EXPECT_THROW_MSG(a.Factorize(), OrvaneException, indefinite);
    EXPECT_FALSE(a.get_IsFactorized());
    auto x = FromRows<R>({{3}, {0}});
    EXPECT_THROW_MSG(a2.SolveWithSimpleDriver(x), OrvaneException, indefinite);
    EXPECT_FALSE(a2.get_IsFactorized());
    ExpectEntriesNear(x, {{3}, {0}}, 0.0);
  }
}
