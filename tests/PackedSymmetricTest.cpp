// The packed symmetric and Hermitian kinds through one typed fixture, plus the
// real kind's SPEV / SPGV and the packed LAPACK overloads themselves.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"
#include "lapack/Packed.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class M>
struct Twin;
template <>
struct Twin<DoubleSymmetricMatrix> {
  using General = DoubleGeneralMatrix;
  using E = double;
  static void Eigen(DoubleSymmetricMatrix& a, std::vector<double>& w) { a.SolveSymmetricEigenproblem(w); }
  static void Eigen(DoubleSymmetricMatrix& a, std::vector<double>& w, IMatrix& v) {
    a.SolveSymmetricEigenproblem(w, v);
  }
  static void Generalized(DoubleSymmetricMatrix& a, IMatrix& b, std::vector<double>& w) {
    a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w);
  }
  static void Generalized(DoubleSymmetricMatrix& a, IMatrix& b, std::vector<double>& w, IMatrix& v) {
    a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w, v);
  }
};
template <>
struct Twin<ComplexHermitianMatrix> {
  using General = ComplexGeneralMatrix;
  using E = Complex;
  static void Eigen(ComplexHermitianMatrix& a, std::vector<double>& w) { a.SolveHermitianEigenproblem(w); }
  static void Eigen(ComplexHermitianMatrix& a, std::vector<double>& w, IMatrix& v) {
    a.SolveHermitianEigenproblem(w, v);
  }
  static void Generalized(ComplexHermitianMatrix& a, IMatrix& b, std::vector<double>& w) {
    a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w);
  }
  static void Generalized(ComplexHermitianMatrix& a, IMatrix& b, std::vector<double>& w, IMatrix& v) {
    a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w, v);
  }
};

double Re(double v) { return v; }
double Re(Complex v) { return v.get_Real(); }

// Random Hermitian (real diagonal) with `shift` added to the diagonal.
template <class M>
M RandomHermitian(int n, std::mt19937& rng, double shift) {
  using E = typename Twin<M>::E;
  M a(n, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) {
      E v = orvane_test::RandomValue<E>(rng);
      if (i == j) v = E(Re(v) + shift);
      a.set_Item(i, j, v);
    }
  return a;
}

template <class M>
class PackedSymmetric : public ::testing::Test {
 protected:
  using General = typename Twin<M>::General;
  using E = typename Twin<M>::E;
  static E El(double v) { return E(v); }
};
using PackedKinds = ::testing::Types<DoubleSymmetricMatrix, ComplexHermitianMatrix>;
TYPED_TEST_SUITE(PackedSymmetric, PackedKinds);

}  // namespace

TYPED_TEST(PackedSymmetric, ConstructorRejectsUnusableShapes) {
  EXPECT_THROW_MSG(TypeParam(2, 3), OrvaneException,
                   "Number of rows and columns must be equal for symmetric matrix.");
  EXPECT_THROW_MSG(TypeParam(-2, -2), OrvaneException, "Matrix dimensions must not be negative.");
  EXPECT_THROW_MSG(TypeParam(46341, 46341), OrvaneException,
                   "The order of a packed symmetric or Hermitian matrix must not exceed 46340.");
}

TYPED_TEST(PackedSymmetric, UpperTrianglePackedByColumns) {
  TypeParam a(3, 3);
  EXPECT_EQ(a.get_Type(), TypeParam::kType);
  EXPECT_FALSE(a.get_IsFactorized());
  EXPECT_EQ(MaxAbs(a), 0.0);
  // (0,0) (0,1) (1,1) (0,2) (1,2) (2,2) at positions 0 to 5.
  const int rows[] = {0, 0, 1, 0, 1, 2}, cols[] = {0, 1, 1, 2, 2, 2};
  for (int k = 0; k < 6; ++k) a.set_Item(rows[k], cols[k], this->El(k + 1.0));
  for (int k = 0; k < 6; ++k) EXPECT_EQ(a.Ap()[k], std::decay_t<decltype(a.Ap()[k])>(k + 1.0)) << k;
  a.set_Item(2, 0, this->El(7.0));  // below the diagonal: lands on (0, 2)
  EXPECT_EQ(a.get_Item(0, 2), this->El(7.0));
  EXPECT_EQ(a.Ap()[3], std::decay_t<decltype(a.Ap()[3])>(7.0));
}

TEST(PackedHermitian, LowerTriangleIsTheConjugateAndDiagonalIsKept) {
  ComplexHermitianMatrix a(3, 3);
  EXPECT_EQ(static_cast<int>(a.get_Type()), 9);
  a.set_Item(2, 0, Complex(1, 2));
  EXPECT_EQ(a.get_Item(2, 0), Complex(1, 2));
  EXPECT_EQ(a.get_Item(0, 2), Complex(1, -2));
  EXPECT_EQ(a.Ap()[3], std::complex<double>(1, -2));
  a.set_Item(1, 1, Complex(2, 3));
  EXPECT_EQ(a.get_Item(1, 1), Complex(2, 3));
}

TEST(PackedHermitian, LapackReadsOnlyTheRealPartOfTheDiagonal) {
  auto a = FromRows<ComplexHermitianMatrix>({{4, 2}, {2, 3}});
  a.set_Item(0, 0, Complex(4, 5));
  auto b = FromRows<ComplexGeneralMatrix>({{6}, {5}});
  a.SolveWithSimpleDriver(b);
  ExpectEntriesNear(b, {{1}, {1}}, 1e-15);
}

TYPED_TEST(PackedSymmetric, WorkedCholeskyExample) {
  using G = typename TestFixture::General;
  auto a = FromRows<TypeParam>({{4, 2}, {2, 3}});
  a.Factorize();
  EXPECT_TRUE(a.get_IsFactorized());
  // The Cholesky factor U = [[2, 1], [0, sqrt 2]] replaces the upper triangle.
  EXPECT_EQ(a.get_Item(0, 0), this->El(2.0));
  EXPECT_EQ(a.get_Item(0, 1), this->El(1.0));
  EXPECT_NEAR(Abs(a.get_Item(1, 1) - this->El(std::sqrt(2.0))), 0.0, 1e-15);
  auto b = FromRows<G>({{6}, {5}});
  a.Solve(b);
  ExpectEntriesNear(b, {{1}, {1}}, 1e-15);

  a.Invert();
  EXPECT_TRUE(a.get_IsFactorized());
  ExpectEntriesNear(a, {{0.375, -0.25}, {-0.25, 0.5}}, 1e-15);
}

TYPED_TEST(PackedSymmetric, WorkedIndefiniteExample) {
  using G = typename TestFixture::General;
  const auto a0 = FromRows<TypeParam>({{1, 2}, {2, 1}});
  TypeParam a(a0);
  a.Factorize();
  EXPECT_TRUE(a.get_IsFactorized());
  auto b = FromRows<G>({{3}, {3}});
  a.Solve(b);
  ExpectEntriesNear(b, {{1}, {1}}, 1e-15);

  // The one-call driver falls back too, and a second right-hand side through
  // Solve must use the indefinite factors it left behind.
  TypeParam d(a0);
  auto b1 = FromRows<G>({{3}, {3}}, 1), b2 = FromRows<G>({{1}, {5}});
  d.SolveWithSimpleDriver(b1);
  EXPECT_TRUE(d.get_IsFactorized());
  ExpectEntriesNear(b1, {{1}, {1}}, 1e-15);
  d.Solve(b2);
  ExpectEntriesNear(b2, {{3}, {-1}}, 1e-15);

  // The inverse on the indefinite route: [[1, 2], [2, 1]]^-1 = [[-1, 2], [2, -1]] / 3.
  d.Invert();
  ExpectEntriesNear(d, {{-1.0 / 3, 2.0 / 3}, {2.0 / 3, -1.0 / 3}}, 1e-15);
}

TYPED_TEST(PackedSymmetric, ExactlySingularMatrixMessages) {
  using G = typename TestFixture::General;
  TypeParam zero(2, 2);
  EXPECT_THROW_MSG(zero.Factorize(), OrvaneException,
                   "The factorization has been completed, but D is exactly singular. Division by 0 "
                   "will occur if you use D for solving a system of linear equations.");
  EXPECT_FALSE(zero.get_IsFactorized());
  // Inverting the completed indefinite factors meets the zero in D.
  EXPECT_THROW_MSG(zero.Invert(), OrvaneException,
                   "the i-th diagonal element of the Cholesky factor (and therefore the factor "
                   "itself) is zero, and the inversion could not be completed.");
  // On the Cholesky route (a new matrix) the zero diagonal is met by pptri.
  TypeParam one(1, 1);
  EXPECT_THROW_MSG(one.Invert(), OrvaneException,
                   "the i-th diagonal element of the Cholesky factor (and therefore the factor "
                   "itself) is zero, and the inversion could not be completed.");

  TypeParam zero2(2, 2);
  auto b = FromRows<G>({{1}, {2}});
  EXPECT_THROW_MSG(zero2.SolveWithSimpleDriver(b), OrvaneException,
                   "The factorization has been completed, but D is exactly singular, so the "
                   "solution could not be computed.");
  EXPECT_FALSE(zero2.get_IsFactorized());
  EXPECT_EQ(b.get_Item(0, 0), this->El(1.0));
  EXPECT_EQ(b.get_Item(1, 0), this->El(2.0));
}

TYPED_TEST(PackedSymmetric, WorkedEigenExamples) {
  using G = typename TestFixture::General;
  auto a = FromRows<TypeParam>({{2, 1}, {1, 2}});
  std::vector<double> w(2);
  Twin<TypeParam>::Eigen(a, w);
  EXPECT_NEAR(w[0], 1.0, 1e-15);
  EXPECT_NEAR(w[1], 3.0, 1e-15);

  auto d = FromRows<TypeParam>({{3, 0, 0}, {0, 1, 0}, {0, 0, 2}});
  std::vector<double> w3(4, -9.0);  // longer than needed: the tail stays
  G z(3, 3);
  Twin<TypeParam>::Eigen(d, w3, z);
  EXPECT_EQ(w3, (std::vector<double>{1, 2, 3, -9}));
  EXPECT_EQ(Abs(z.get_Item(1, 0)), 1.0);
  EXPECT_EQ(Abs(z.get_Item(2, 1)), 1.0);
  EXPECT_EQ(Abs(z.get_Item(0, 2)), 1.0);

  // B = I: the generalized problem is the standard one.
  auto a2 = FromRows<TypeParam>({{2, 1}, {1, 2}});
  auto id = FromRows<TypeParam>({{1, 0}, {0, 1}});
  G z2(2, 2);
  Twin<TypeParam>::Generalized(a2, id, w, z2);
  EXPECT_NEAR(w[0], 1.0, 1e-15);
  EXPECT_NEAR(w[1], 3.0, 1e-15);
  EXPECT_NEAR(Abs(z2.get_Item(0, 0)), std::sqrt(0.5), 1e-15);
  EXPECT_LT((OrthonormalityError<G, TypeParam>(z2, nullptr)), 10.0);
}

TYPED_TEST(PackedSymmetric, EigenFailureMessages) {
  using G = typename TestFixture::General;
  auto a = FromRows<TypeParam>({{1, NAN, 0.5}, {NAN, 2, 0.25}, {0.5, 0.25, 3}});
  std::vector<double> w(3);
  EXPECT_THROW_MSG(Twin<TypeParam>::Eigen(a, w), OrvaneException,
                   "2 elements of an intermediate tridiagonal form did not converge to zero.");

  // B not positive definite: LAPACK reports info = n + 2.
  auto a2 = FromRows<TypeParam>({{2, 1}, {1, 2}});
  auto b = FromRows<TypeParam>({{1, 0}, {0, -1}});
  std::vector<double> w2(2);
  G z(2, 2);
  EXPECT_THROW_MSG(Twin<TypeParam>::Generalized(a2, b, w2, z), OrvaneException,
                   "off-diagonal elements of an intermediate tridiagonal did not converge to zero");
}

TYPED_TEST(PackedSymmetric, SolvesRandomDefiniteAndIndefiniteSystems) {
  using G = typename TestFixture::General;
  std::mt19937 rng(42);
  for (int n : {1, 2, 3, 5, 8, 17, 50}) {
    for (double shift : {static_cast<double>(n), 0.0}) {  // positive definite, then indefinite
      const auto a = RandomHermitian<TypeParam>(n, rng, shift);
      const auto b = RandomDense<G>(n, 3, rng), b2 = RandomDense<G>(n, 2, rng);
      TypeParam f(a), d(a);
      G x(b), y(b), x2(b2);
      f.Factorize();
      f.Solve(x);
      EXPECT_LT(Residual(a, x, b), 30.0) << "n=" << n << " shift=" << shift;
      d.SolveWithSimpleDriver(y);
      EXPECT_LT(Residual(a, y, b), 30.0) << "n=" << n << " shift=" << shift;
      d.Solve(x2);
      EXPECT_LT(Residual(a, x2, b2), 30.0) << "n=" << n << " shift=" << shift;

      // A * inv(A) = I, relative to the condition of the problem.
      f.Invert();
      double err = 0;
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
          err = std::max(err, Abs(ProductAt(a, f, i, j) - this->El(i == j ? 1.0 : 0.0)));
      EXPECT_LT(err / (MaxAbs(a) * MaxAbs(f) * n * Eps()), 30.0) << "n=" << n << " shift=" << shift;
    }
  }
}

TYPED_TEST(PackedSymmetric, CloneSolvesWithCopiedFactorsAndRoute) {
  using G = typename TestFixture::General;
  std::mt19937 rng(5);
  const auto a = RandomHermitian<TypeParam>(12, rng, 0.0);  // indefinite
  TypeParam f(a);
  f.Factorize();
  auto clone = f.Clone();
  EXPECT_TRUE(clone->get_IsFactorized());
  auto& c = dynamic_cast<TypeParam&>(*clone);
  const auto b = RandomDense<G>(12, 1, rng);
  G x(b);
  c.Solve(x);
  EXPECT_LT(Residual(a, x, b), 30.0);
  c.set_Item(0, 0, this->El(100.0));
  EXPECT_FALSE(c.get_IsFactorized());
  EXPECT_TRUE(f.get_IsFactorized());
  EXPECT_NE(f.get_Item(0, 0), this->El(100.0));
}

TYPED_TEST(PackedSymmetric, RandomEigenproblems) {
  using G = typename TestFixture::General;
  std::mt19937 rng(17);
  for (int n : {1, 2, 3, 7, 20, 50}) {
    const auto a = RandomHermitian<TypeParam>(n, rng, 0.0);
    TypeParam work(a), work2(a);
    std::vector<double> w(n), w2(n);
    G z(n, n);
    Twin<TypeParam>::Eigen(work, w, z);
    Twin<TypeParam>::Eigen(work2, w2);
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], w2[k], 10 * n * Eps() * MaxAbs(a));
    EXPECT_LT((EigenResidual<TypeParam, G>(a, nullptr, w, z)), 30.0) << "n=" << n;
    EXPECT_LT((OrthonormalityError<G, TypeParam>(z, nullptr)), 30.0) << "n=" << n;

    // Generalized, with a positive definite B; b keeps B's Cholesky factor.
    const auto bmat = RandomHermitian<TypeParam>(n, rng, n);
    TypeParam ga(a), gb(bmat), gb2(bmat), ga2(a);
    G gz(n, n);
    Twin<TypeParam>::Generalized(ga, gb, w, gz);
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    EXPECT_LT((EigenResidual<TypeParam, G>(a, &bmat, w, gz)), 100.0) << "n=" << n;
    EXPECT_LT((OrthonormalityError<G, TypeParam>(gz, &bmat)), 100.0) << "n=" << n;
    Twin<TypeParam>::Generalized(ga2, gb2, w2);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], w2[k], 1e-12 * (1 + std::fabs(w[k])));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        decltype(a.get_Item(0, 0)) s(0.0);  // (U^H U)(i, j) from the upper factor
        for (int k = 0; k <= std::min(i, j); ++k) s = s + Conj(gb.get_Item(k, i)) * gb.get_Item(k, j);
        EXPECT_NEAR(Abs(s - bmat.get_Item(i, j)), 0.0, 100 * n * Eps());
      }
  }
}

TYPED_TEST(PackedSymmetric, SameMatrixAsAAndBGivesUnitEigenvalues) {
  auto a = FromRows<TypeParam>({{4, 2}, {2, 3}});
  std::vector<double> w(2);
  Twin<TypeParam>::Generalized(a, a, w);
  EXPECT_NEAR(w[0], 1.0, 1e-14);
  EXPECT_NEAR(w[1], 1.0, 1e-14);
}

TYPED_TEST(PackedSymmetric, ShapesAreCheckedBeforeLapack) {
  using G = typename TestFixture::General;
  auto a = FromRows<TypeParam>({{4, 1, 0}, {1, 4, 1}, {0, 1, 4}});
  G b(2, 1), v(3, 2), v3(3, 3);
  EXPECT_THROW_MSG(a.SolveWithSimpleDriver(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
  EXPECT_FALSE(a.get_IsFactorized());
  a.Factorize();
  EXPECT_THROW_MSG(a.Solve(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
  TypeParam e(a);
  std::vector<double> small(2), w(3);
  EXPECT_THROW_MSG(Twin<TypeParam>::Eigen(e, small), OrvaneException,
                   "Array values must have room for 3 eigenvalues.");
  EXPECT_THROW_MSG(Twin<TypeParam>::Eigen(e, w, v), OrvaneException, "Matrix vectors must be 3 x 3, not 3 x 2.");
  TypeParam b2(2, 2);
  EXPECT_THROW_MSG(Twin<TypeParam>::Generalized(e, b2, w, v3), OrvaneException,
                   "Matrix b must be 3 x 3, not 2 x 2.");
  for (int k = 0; k < 6; ++k) EXPECT_EQ(e.Ap()[k], a.Ap()[k]);  // nothing ran

  // Another kind fails the down-cast.
  std::conditional_t<std::is_same_v<G, DoubleGeneralMatrix>, ComplexGeneralMatrix, DoubleGeneralMatrix>
      other(3, 1);
  EXPECT_THROW(a.Solve(other), std::bad_cast);
  EXPECT_THROW(Twin<TypeParam>::Generalized(e, v3, w), std::bad_cast);
}

TYPED_TEST(PackedSymmetric, OrderZeroDoesNothingSoundly) {
  using G = typename TestFixture::General;
  TypeParam a(0, 0), b(0, 0);
  G rhs(0, 2), z(0, 0);
  std::vector<double> w;
  testing::internal::CaptureStdout();
  a.SolveWithSimpleDriver(rhs);
  EXPECT_TRUE(a.get_IsFactorized());
  a.Factorize();
  a.Solve(rhs);
  a.Invert();
  Twin<TypeParam>::Eigen(a, w);
  Twin<TypeParam>::Eigen(a, w, z);
  Twin<TypeParam>::Generalized(a, b, w, z);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no illegal-argument line
  EXPECT_TRUE(w.empty());
  a.Dispose();
  a.Dispose();
}

TYPED_TEST(PackedSymmetric, WriteAfterFactorizeRequiresRefactorizing) {
  using G = typename TestFixture::General;
  auto a = FromRows<TypeParam>({{1, 2}, {2, 1}});
  a.Factorize();  // indefinite route
  a.set_Item(0, 1, this->El(0.5));
  EXPECT_FALSE(a.get_IsFactorized());
  auto fresh = FromRows<TypeParam>({{1, 0.5}, {0.5, 1}});
  a = fresh;
  a.Factorize();  // now positive definite: the route switches back
  auto b = FromRows<G>({{1.5}, {1.5}});
  a.Solve(b);
  ExpectEntriesNear(b, {{1}, {1}}, 1e-15);
}

// ---- the real kind's status-returning eigen operations ----

TEST(DoubleSymmetricStatus, SpevAndSpgvHandBackInfo) {
  auto a = FromRows<DoubleSymmetricMatrix>({{2, 1}, {1, 2}});
  DoubleGeneralMatrix w(2, 1), z(2, 2);
  int info = -7;
  a.SPEV(w, z, info);
  EXPECT_EQ(info, 0);
  EXPECT_NEAR(w.get_Item(0, 0), 1.0, 1e-15);
  EXPECT_NEAR(w.get_Item(1, 0), 3.0, 1e-15);
  EXPECT_NEAR(std::fabs(z.get_Item(0, 1)), std::sqrt(0.5), 1e-15);

  auto bad = FromRows<DoubleSymmetricMatrix>({{1, NAN, 0.5}, {NAN, 2, 0.25}, {0.5, 0.25, 3}});
  DoubleGeneralMatrix w3(3, 1), z3(3, 3);
  bad.SPEV(w3, z3, info);
  EXPECT_EQ(info, 2);

  // B = 2I halves the eigenvalues; B = diag(1, -1) is not positive definite.
  auto a2 = FromRows<DoubleSymmetricMatrix>({{2, 1}, {1, 2}});
  auto b2 = FromRows<DoubleSymmetricMatrix>({{2, 0}, {0, 2}});
  a2.SPGV(b2, w, z, info);
  EXPECT_EQ(info, 0);
  EXPECT_NEAR(w.get_Item(0, 0), 0.5, 1e-15);
  EXPECT_NEAR(w.get_Item(1, 0), 1.5, 1e-15);
  auto a3 = FromRows<DoubleSymmetricMatrix>({{2, 1}, {1, 2}});
  auto b3 = FromRows<DoubleSymmetricMatrix>({{1, 0}, {0, -1}});
  a3.SPGV(b3, w, z, info);
  EXPECT_EQ(info, 4);

  // Shapes are checked and raise; a 1 x 2 eigenValue has room enough.
  DoubleGeneralMatrix row(1, 2), tiny(1, 1), z32(3, 2);
  a.SPEV(row, z, info);
  EXPECT_THROW_MSG(a.SPEV(tiny, z, info), OrvaneException,
                   "Matrix eigenValue must have room for 2 eigenvalues.");
  EXPECT_THROW_MSG(bad.SPGV(b2, w3, z3, info), OrvaneException, "Matrix b must be 3 x 3, not 2 x 2.");
  EXPECT_THROW_MSG(bad.SPEV(w3, z32, info), OrvaneException, "Matrix vectors must be 3 x 3, not 3 x 2.");

  DoubleSymmetricMatrix empty(0, 0);
  DoubleGeneralMatrix w0(0, 1), z0(0, 0);
  info = -7;
  empty.SPEV(w0, z0, info);
  EXPECT_EQ(info, 0);
}

// ---- the overloads bind the intended routine ----
// An illegal first argument makes each routine name itself through xerbla,
// which shows that the overload reaches, e.g., zhptrf and not zsptrf.

template <class S>
void ExpectEachRoutineNamesItself(const char* p) {
  const std::string prefix = p;
  const char bad = 'X', uplo = 'U';
  const int n = 1, nrhs = 1, ld = 1, itype = 0;
  S ap[1] = {S(1)}, bp[1] = {S(1)}, b[1] = {S(1)}, z[1] = {}, work[3] = {};
  double w[1] = {}, rwork[3] = {};
  int ipiv[1] = {1};
  const std::pair<const char*, std::function<void(int*)>> calls[] = {
      {"PPTRF", [&](int* info) { lapack::pptrf(&bad, &n, ap, info); }},
      {"PPTRS", [&](int* info) { lapack::pptrs(&bad, &n, &nrhs, ap, b, &ld, info); }},
      {"PPSV", [&](int* info) { lapack::ppsv(&bad, &n, &nrhs, ap, b, &ld, info); }},
      {"PPTRI", [&](int* info) { lapack::pptri(&bad, &n, ap, info); }},
      {"PTRF", [&](int* info) { lapack::hptrf(&bad, &n, ap, ipiv, info); }},
      {"PTRS", [&](int* info) { lapack::hptrs(&bad, &n, &nrhs, ap, ipiv, b, &ld, info); }},
      {"PSV", [&](int* info) { lapack::hpsv(&bad, &n, &nrhs, ap, ipiv, b, &ld, info); }},
      {"PTRI", [&](int* info) { lapack::hptri(&bad, &n, ap, ipiv, work, info); }},
      {"PEV", [&](int* info) { lapack::hpev(&bad, &uplo, &n, ap, w, z, &ld, work, rwork, info); }},
      {"PGV", [&](int* info) { lapack::hpgv(&itype, &uplo, &uplo, &n, ap, bp, w, z, &ld, work, rwork, info); }},
  };
  for (const auto& [suffix, call] : calls) {
    // The indefinite and eigen routines are ds*/zh*: the letter before P.
    std::string name = prefix + (std::string(suffix).starts_with("PP") ? "" : (prefix == "D" ? "S" : "H")) + suffix;
    name.insert(0, 6 - name.size(), ' ');
    int info = 0;
    testing::internal::CaptureStdout();
    call(&info);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "** On entry to " + name + ", parameter number  1 had an illegal value\n");
    EXPECT_EQ(info, -1);
    EXPECT_THROW_MSG(detail::CheckIllegal(info), OrvaneException, "the 1-th parameter had an illegal value.");
  }
}

TEST(PackedLapackLayer, RealOverloadsCallTheSymmetricRoutines) {
  ExpectEachRoutineNamesItself<double>("D");
}
TEST(PackedLapackLayer, ComplexOverloadsCallTheHermitianRoutines) {
  ExpectEachRoutineNamesItself<std::complex<double>>("Z");
}
