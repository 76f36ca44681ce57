// What only the packed symmetric and Hermitian kinds do: the mirror, the
// switch between Cholesky and Bunch-Kaufman, their messages, and the real
// kind's status-returning SPEV / SPGV. What they share with the other kinds
// is in KindsTest; random eigenproblems go through Eigenproblem in
// ProceduresTest.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

// The eigen operations of both kinds under one name; v == nullptr: values only.
void Eigen(DoubleSymmetricMatrix& a, std::vector<double>& w, IMatrix* v) {
  v ? a.SolveSymmetricEigenproblem(w, *v) : a.SolveSymmetricEigenproblem(w);
}
void Eigen(ComplexHermitianMatrix& a, std::vector<double>& w, IMatrix* v) {
  v ? a.SolveHermitianEigenproblem(w, *v) : a.SolveHermitianEigenproblem(w);
}
void Generalized(DoubleSymmetricMatrix& a, IMatrix& b, std::vector<double>& w, IMatrix* v) {
  v ? a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w, *v)
    : a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w);
}
void Generalized(ComplexHermitianMatrix& a, IMatrix& b, std::vector<double>& w, IMatrix* v) {
  v ? a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w, *v)
    : a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w);
}

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
  ExpectEntriesNear(b, {{1}, {1}}, kFewRoundings);
  a.set_Item(0, 1, ElementOf<TypeParam>(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
  a.Factorize();
  a.Solve(c);
  ExpectEntriesNear(c, {{1}, {1}}, kFewRoundings);
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
