// The packed symmetric and Hermitian kinds through one typed fixture, plus the
// real kind's status-returning SPEV / SPGV.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "PackedKindsTestUtil.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class M>
class PackedSymmetric : public ::testing::Test {
 protected:
  using General =
      std::conditional_t<std::is_same_v<ElementOf<M>, double>, DoubleGeneralMatrix, ComplexGeneralMatrix>;
};
using PackedKinds = ::testing::Types<DoubleSymmetricMatrix, ComplexHermitianMatrix>;
TYPED_TEST_SUITE(PackedSymmetric, PackedKinds);

}  // namespace

// Below the diagonal the conjugate is stored, a diagonal entry is kept as
// written. An indefinite matrix made positive definite and refactorized takes
// the Cholesky route again.
TYPED_TEST(PackedSymmetric, MirrorAndRouteSwitch) {
  using G = typename TestFixture::General;
  if constexpr (std::is_same_v<TypeParam, ComplexHermitianMatrix>) {
    TypeParam h(3, 3);
    h.set_Item(2, 0, Complex(1, 2));
    h.set_Item(1, 1, Complex(2, 3));
    EXPECT_EQ(h.get_Item(2, 0), Complex(1, 2));
    EXPECT_EQ(h.get_Item(0, 2), Complex(1, -2));
    EXPECT_EQ(h.get_Item(1, 1), Complex(2, 3));
  }
  auto a = FromRows<TypeParam>({{1, 2}, {2, 1}});
  auto b = FromRows<G>({{3}, {3}}), c = FromRows<G>({{1.5}, {1.5}});
  a.Factorize();
  a.Solve(b);
  ExpectEntriesNear(b, {{1}, {1}}, 1e-15);
  a.set_Item(0, 1, ElementOf<TypeParam>(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
  a.Factorize();
  a.Solve(c);
  ExpectEntriesNear(c, {{1}, {1}}, 1e-15);
}

TYPED_TEST(PackedSymmetric, ExactlySingularMatrixMessages) {
  using G = typename TestFixture::General;
  const char* cholesky =
      "the i-th diagonal element of the Cholesky factor (and therefore the factor itself) is zero, "
      "and the inversion could not be completed.";
  TypeParam zero(2, 2), zero2(2, 2), one(1, 1);
  EXPECT_THROW_MSG(zero.Factorize(), OrvaneException,
                   "The factorization has been completed, but D is exactly singular. Division by 0 "
                   "will occur if you use D for solving a system of linear equations.");
  EXPECT_FALSE(zero.get_IsFactorized());
  EXPECT_THROW_MSG(zero.Invert(), OrvaneException, cholesky);  // the zero in D, via hptri
  EXPECT_THROW_MSG(one.Invert(), OrvaneException, cholesky);   // the Cholesky route, via pptri

  auto b = FromRows<G>({{1}, {2}});
  EXPECT_THROW_MSG(zero2.SolveWithSimpleDriver(b), OrvaneException,
                   "The factorization has been completed, but D is exactly singular, so the "
                   "solution could not be computed.");
  EXPECT_FALSE(zero2.get_IsFactorized());
  ExpectEntriesNear(b, {{1}, {2}}, 0.0);
}

// Positive definite (Cholesky) and indefinite (Bunch-Kaufman) matrices
// through both paths, the inverse, a Solve and an Invert after Invert, and a
// clone of the factors. Order 0 makes no illegal LAPACK call.
TYPED_TEST(PackedSymmetric, RandomSystemsSolveThroughEveryPath) {
  using G = typename TestFixture::General;
  std::mt19937 rng(42);
  testing::internal::CaptureStdout();
  for (int n : {0, 1, 2, 3, 5, 8, 17, 50}) {
    for (double shift : {static_cast<double>(n), 0.0}) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " shift=" << shift);
      const auto a = RandomHermitian<TypeParam>(n, rng, shift);
      const auto b = RandomDense<G>(n, 3, rng), b2 = RandomDense<G>(n, 2, rng);
      TypeParam f(a), d(a);
      G x(b), y(b), x2(b2), w(b2);
      f.Factorize();
      f.Solve(x);
      EXPECT_LT(Residual(a, x, b), 30.0);
      d.SolveWithSimpleDriver(y);
      EXPECT_LT(Residual(a, y, b), 30.0);
      d.Solve(x2);
      EXPECT_LT(Residual(a, x2, b2), 30.0);

      auto clone = f.Clone();
      ExpectInvertThenReuse(f, a, b2, 30.0);
      EXPECT_TRUE(clone->get_IsFactorized());
      clone->Solve(w);
      EXPECT_LT(Residual(a, w, b2), 30.0);
    }
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TYPED_TEST(PackedSymmetric, EigenWorkedExampleAndMessages) {
  using G = typename TestFixture::General;
  auto d = FromRows<TypeParam>({{3, 0, 0}, {0, 1, 0}, {0, 0, 2}});
  std::vector<double> w(4, -9.0);  // longer than needed: the tail stays
  G z(3, 3);
  Eigen(d, w, &z);
  EXPECT_EQ(w, (std::vector<double>{1, 2, 3, -9}));

  // The same object as A and B.
  auto a = FromRows<TypeParam>({{4, 2}, {2, 3}});
  Generalized(a, a, w, nullptr);
  EXPECT_NEAR(w[0], 1.0, 1e-14);
  EXPECT_NEAR(w[1], 1.0, 1e-14);

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

// Eigenpairs of A and of A x = w B x: residuals, Z^H Z = I and Z^H B Z = I,
// the values-only routines agreeing, and B left holding its Cholesky factor.
TYPED_TEST(PackedSymmetric, RandomEigenproblems) {
  using G = typename TestFixture::General;
  std::mt19937 rng(17);
  testing::internal::CaptureStdout();
  for (int n : {0, 1, 2, 3, 7, 20, 50}) {
    SCOPED_TRACE(n);
    const auto a = RandomHermitian<TypeParam>(n, rng, 0.0);
    TypeParam work(a), work2(a);
    std::vector<double> w(n), w2(n);
    G z(n, n);
    Eigen(work, w, &z);
    Eigen(work2, w2, nullptr);
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], w2[k], 10 * n * Eps() * MaxAbs(a));
    EXPECT_LT((EigenResidual<TypeParam, G>(a, nullptr, w, z)), 30.0);
    EXPECT_LT((OrthonormalityError<G, TypeParam>(z, nullptr)), 30.0);

    const auto bmat = RandomHermitian<TypeParam>(n, rng, n);
    TypeParam ga(a), gb(bmat), gb2(bmat), ga2(a);
    Generalized(ga, gb, w, &z);
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    EXPECT_LT((EigenResidual<TypeParam, G>(a, &bmat, w, z)), 100.0);
    EXPECT_LT((OrthonormalityError<G, TypeParam>(z, &bmat)), 100.0);
    Generalized(ga2, gb2, w2, nullptr);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], w2[k], 1e-12 * (1 + std::fabs(w[k])));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        ElementOf<TypeParam> s(0.0);  // (U^H U)(i, j) from the upper factor
        for (int k = 0; k <= std::min(i, j); ++k) s = s + Conj(gb.get_Item(k, i)) * gb.get_Item(k, j);
        EXPECT_NEAR(Abs(s - bmat.get_Item(i, j)), 0.0, 100 * n * Eps());
      }
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
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
  ExpectEntriesNear(w, {{1, 3}}, 1e-15);
  bad.SPEV(w3, z3, info);
  EXPECT_EQ(info, 2);
  a2.SPGV(b2, w, z, info);
  EXPECT_EQ(info, 0);
  ExpectEntriesNear(w, {{0.5, 1.5}}, 1e-15);
  a3.SPGV(b3, w, z, info);
  EXPECT_EQ(info, 4);
  // Shapes are still checked, and raise.
  EXPECT_THROW_MSG(a1.SPEV(tiny, z, info), OrvaneException, "Matrix eigenValue must have room for 2 eigenvalues.");
}
