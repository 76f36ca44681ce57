// The fast paths of the packed and dense kinds: the Cholesky factorization
// through Rectangular Full Packed storage (its factors must be pptrf's, its
// failure must leave the elements for Bunch-Kaufman), the divide-and-conquer
// eigenproblems at the orders where LAPACK changes strategy (stedc solves up
// to 25 by QR iteration, beyond by divide and conquer), and the SVD by gesdd
// (its non-finite input: the bad-input catalogue).
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "PackedKindsTestUtil.h"
#include "TestUtil.h"
#include "kinds/StorageAccess.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"
#include "lapack/Packed.h"

using namespace OrvaneNet;
using namespace orvane_test;
using OrvaneNet::detail::StorageAccess;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Orders on both sides of stedc's switch, odd and even (RFP lays them out
// differently), and one where every routine runs blocked.
constexpr int kOrders[] = {1, 2, 25, 26, 200};

template <class M>
using GeneralOf = std::conditional_t<std::is_same_v<ElementOf<M>, double>, DoubleGeneralMatrix,
                                     ComplexGeneralMatrix>;

template <class M>
auto PackedCopy(M& a) {
  auto p = StorageAccess::Packed(a);
  return std::vector<std::remove_cv_t<typename decltype(p)::element_type>>(p.begin(), p.end());
}

// max over i <= j of |U(k, i)^H U(k, j) summed - B(i, j)| / (n eps max|B|):
// `factor` read through its elements holds U with U^H U = B.
template <class M>
double CholeskyResidual(const M& factor, const M& b) {
  const int n = b.get_RowNum();
  double r = 0;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) {
      ElementOf<M> s(0.0);
      for (int k = 0; k <= i; ++k) s = s + Conj(factor.get_Item(k, i)) * factor.get_Item(k, j);
      r = std::max(r, Abs(s - b.get_Item(i, j)));
    }
  return r / (std::max(1, n) * Eps() * MaxAbs(b));
}

template <class M>
class FastPacked : public ::testing::Test {};
using PackedKinds = ::testing::Types<DoubleSymmetricMatrix, ComplexHermitianMatrix>;
TYPED_TEST_SUITE(FastPacked, PackedKinds);

template <class M>
class FastDense : public ::testing::Test {};
using DenseKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix>;
TYPED_TEST_SUITE(FastDense, DenseKinds);

}  // namespace

// Element reads of the factor, above and below the diagonal, against pptrf
// on the same packed array: relative 1e-13 to the element, or to
// sqrt(U(i,i) U(j,j)) where the element is smaller than that (a tiny entry
// comes from cancellation, and its own leading digits are rounding). After
// SolveWithSimpleDriver the same, and Inv (pftri) against pptri.
TYPED_TEST(FastPacked, RfpCholeskyFactorsAreThoseOfPptrf) {
  std::mt19937 rng(5);
  const char uplo = 'U';
  for (int n : kOrders) {
    for (double shift : {static_cast<double>(n), 2 * std::sqrt(n) + 1}) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " shift=" << shift);
      const auto a = RandomHermitian<TypeParam>(n, rng, shift);
      TypeParam viaRfp(a), oneCall(a), reference(a);
      auto ref = StorageAccess::Packed(reference);
      int info = 0;
      lapack::pptrf(&uplo, &n, ref.data(), &info);
      ASSERT_EQ(info, 0);
      viaRfp.Factorize();
      auto b = RandomDense<GeneralOf<TypeParam>>(n, 2, rng), x(b);
      oneCall.SolveWithSimpleDriver(x);
      EXPECT_LT(Residual(a, x, b), 30.0);
      for (const TypeParam* f : {&viaRfp, &oneCall}) {
        EXPECT_TRUE(f->get_IsFactorized());
        for (int i = 0; i < n; ++i)
          for (int j = 0; j < n; ++j) {
            const double scale = std::sqrt(Abs(reference.get_Item(i, i) * reference.get_Item(j, j)));
            const auto want = reference.get_Item(i, j);
            EXPECT_LE(Abs(f->get_Item(i, j) - want), 1e-13 * std::max(Abs(want), scale))
                << i << "," << j;
          }
      }
      lapack::pptri(&uplo, &n, ref.data(), &info);
      viaRfp.Invert();
      EXPECT_LE(MaxDifference(viaRfp, reference), 1e-12 * MaxAbs(reference));
    }
  }
}

// An indefinite matrix fails the RFP attempt; Bunch-Kaufman must then run on
// the elements as written: the stored factors read back equal hptrf's on the
// original array exactly, and a Solve with them (and the pivots) solves A.
TYPED_TEST(FastPacked, IndefiniteFallbackRunsOnTheUntouchedElements) {
  std::mt19937 rng(11);
  const char uplo = 'U';
  for (int n : kOrders) {
    if (n == 1) continue;  // a 1 x 1 matrix is definite or singular
    SCOPED_TRACE(n);
    auto a = RandomHermitian<TypeParam>(n, rng, 0.0);
    a.set_Item(n - 1, n - 1, ElementOf<TypeParam>(-2.0 * n));  // surely indefinite
    a.set_Item(0, 0, ElementOf<TypeParam>(2.0 * n));           // fails late, not at once
    auto packed = PackedCopy(a);
    std::vector<int> ipiv(n);
    int info = 0;
    lapack::hptrf(&uplo, &n, packed.data(), ipiv.data(), &info);
    ASSERT_EQ(info, 0);

    TypeParam factored(a), oneCall(a);
    factored.Factorize();
    const auto b = RandomDense<GeneralOf<TypeParam>>(n, 2, rng);
    auto x = b, y = b;
    oneCall.SolveWithSimpleDriver(y);
    EXPECT_EQ(PackedCopy(factored), packed);
    EXPECT_EQ(PackedCopy(oneCall), packed);
    factored.Solve(x);  // with the stored pivots
    EXPECT_LT(Residual(a, x, b), 100.0);
    EXPECT_LT(Residual(a, y, b), 100.0);
  }
}

// A NaN stops pftrf but not pptrf; the kind keeps pptrf's factor (of NaN)
// rather than running Bunch-Kaufman, whose reference implementation indexes
// outside the array on NaN (seen under valgrind).
TYPED_TEST(FastPacked, NaNKeepsThePptrfOutcome) {
  std::mt19937 rng(17);
  const char uplo = 'U';
  for (int n : {3, 26}) {
    auto a = RandomHermitian<TypeParam>(n, rng, n);
    a.set_Item(1, 1, ElementOf<TypeParam>(kNaN));
    auto packed = PackedCopy(a);
    int info = 0;
    lapack::pptrf(&uplo, &n, packed.data(), &info);
    a.Factorize();
    const auto got = PackedCopy(a);
    ASSERT_EQ(got.size(), packed.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
      EXPECT_TRUE(got[k] == packed[k] || (std::isnan(Abs(got[k])) && std::isnan(Abs(packed[k])))) << k;
    }
  }
}

// Standard and generalized problems, with and without eigenvectors, on both
// sides of stedc's switch: residuals, Z^H Z = I and Z^H B Z = I, the values
// of the two routes agreeing, and B left holding its Cholesky factor on both.
TYPED_TEST(FastPacked, EigenproblemsAtTheOrdersWhereStrategiesChange) {
  using G = GeneralOf<TypeParam>;
  std::mt19937 rng(23);
  for (int n : kOrders) {
    SCOPED_TRACE(n);
    const auto a = RandomHermitian<TypeParam>(n, rng, 0.0);
    const auto bmat = RandomHermitian<TypeParam>(n, rng, n);
    const double tolerance = 10 * n * Eps() * (MaxAbs(a) + 1);
    TypeParam a1(a), a2(a), a3(a), a4(a), b3(bmat), b4(bmat);
    std::vector<double> w(n), values(n), gw(n), gvalues(n);
    G z(n, n), gz(n, n);
    Eigen(a1, w, &z);
    Eigen(a2, values, nullptr);
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    const TypeParam* identity = nullptr;
    EXPECT_LT(EigenResidual(a, identity, w, z), 30.0);
    EXPECT_LT(OrthonormalityError(z, identity), 30.0);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], values[k], tolerance);

    Generalized(a3, b3, gw, &gz);
    Generalized(a4, b4, gvalues, nullptr);
    EXPECT_TRUE(std::is_sorted(gw.begin(), gw.end()));
    EXPECT_LT(EigenResidual(a, &bmat, gw, gz), 100.0);
    EXPECT_LT(OrthonormalityError(gz, &bmat), 100.0);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(gw[k], gvalues[k], tolerance);
    EXPECT_LT(CholeskyResidual(b3, bmat), 10.0);
    EXPECT_LT(CholeskyResidual(b4, bmat), 10.0);
  }
}

// B = C^H C and A = C^H diag(1..n) C with C's singular values s_k falling
// to 1e-6 (B's condition number 1e12): the eigenvalues are 1..n exactly, and
// eigenvalue k may move by the error a rounding of A and B allows,
// eps (|A| + k |B|) / s_k^2, times a modest factor.
TYPED_TEST(FastPacked, GeneralizedProblemWithNearlySingularB) {
  using G = GeneralOf<TypeParam>;
  using E = ElementOf<TypeParam>;
  std::mt19937 rng(31);
  for (int n : {2, 26, 60}) {
    SCOPED_TRACE(n);
    // C = Q diag(s) with Q from a random orthonormalized matrix.
    auto c = RandomDense<G>(n, n, rng);
    std::vector<double> sk(n);
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k < j; ++k) {
        E d(0.0);
        for (int i = 0; i < n; ++i) d = d + Conj(c.get_Item(i, k)) * c.get_Item(i, j);
        for (int i = 0; i < n; ++i) c.set_Item(i, j, c.get_Item(i, j) - d * c.get_Item(i, k));
      }
      double norm = 0;
      for (int i = 0; i < n; ++i) norm += Abs(c.get_Item(i, j)) * Abs(c.get_Item(i, j));
      sk[j] = std::pow(1e-6, static_cast<double>(j) / (n - 1));
      for (int i = 0; i < n; ++i) c.set_Item(i, j, c.get_Item(i, j) * (sk[j] / std::sqrt(norm)));
    }
    TypeParam a(n, n), b(n, n);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i <= j; ++i) {
        E sa(0.0), sb(0.0);  // C is Q diag(s): (C^H D C)(i, j) sums over C's rows
        for (int k = 0; k < n; ++k) {
          const E cc = Conj(c.get_Item(k, i)) * c.get_Item(k, j);
          sa = sa + cc * (k + 1.0);
          sb = sb + cc;
        }
        a.set_Item(i, j, i == j ? E(Abs(sa)) : sa);
        b.set_Item(i, j, i == j ? E(Abs(sb)) : sb);
      }
    for (bool vectors : {true, false}) {
      TypeParam aw(a), bw(b);
      std::vector<double> w(n);
      G z(n, n);
      Generalized(aw, bw, w, vectors ? &z : nullptr);
      for (int k = 0; k < n; ++k) {
        const double allowed = 10 * n * Eps() * (MaxAbs(a) + (k + 1) * MaxAbs(b)) / (sk[k] * sk[k]);
        EXPECT_NEAR(w[k], k + 1.0, allowed) << k;
      }
      if (vectors) {
        EXPECT_LT(EigenResidual(a, &b, w, z), 100.0);
      }
    }
  }
}

// Divide and conquer returns NaN eigenvalues with info 0 for a NaN in A;
// that is a convergence failure, as the QR iteration reported it.
TYPED_TEST(FastPacked, NaNIsAConvergenceFailureOnEveryRoute) {
  using G = GeneralOf<TypeParam>;
  std::mt19937 rng(3);
  for (int n : {3, 26, 200}) {
    SCOPED_TRACE(n);
    auto a = RandomHermitian<TypeParam>(n, rng, 0.0);
    a.set_Item(0, 1, ElementOf<TypeParam>(kNaN));
    const auto b = RandomHermitian<TypeParam>(n, rng, n);
    for (bool vectors : {false, true}) {
      TypeParam a1(a), a2(a), b2(b);
      std::vector<double> w(n);
      G z(n, n);
      try {
        Eigen(a1, w, vectors ? &z : nullptr);
        ADD_FAILURE() << "no exception, vectors " << vectors;
      } catch (const OrvaneException& e) {
        EXPECT_TRUE(std::string(e.what()).ends_with(
            " elements of an intermediate tridiagonal form did not converge to zero."))
            << e.what();
      }
      EXPECT_THROW_MSG(Generalized(a2, b2, w, vectors ? &z : nullptr), OrvaneException,
                       "off-diagonal elements of an intermediate tridiagonal did not converge to "
                       "zero");
    }
  }
  auto bad = RandomHermitian<DoubleSymmetricMatrix>(26, rng, 0.0);
  bad.set_Item(3, 4, kNaN);
  DoubleGeneralMatrix w(26, 1), z(26, 26);
  int info = 0;
  bad.SPEV(w, z, info);
  EXPECT_GT(info, 0);
}

// U S V^H = A, U and V unitary (the identities when A is empty), S real,
// non-increasing and left alone off its diagonal; on small and empty shapes,
// square orders around dbdsdc's switch, and shapes that take gesdd's
// QR-first paths (m and n more than 11/6 apart).
TYPED_TEST(FastDense, SvdReproducesTheMatrix) {
  using E = ElementOf<TypeParam>;
  const TypeParam* identity = nullptr;
  std::mt19937 rng(13);
  const std::pair<int, int> shapes[] = {{0, 3},   {1, 1},   {1, 4},   {2, 3},   {3, 2},    {12, 9},
                                        {25, 25}, {26, 26}, {60, 20}, {20, 60}, {200, 200}};
  for (auto [m, n] : shapes) {
    SCOPED_TRACE(testing::Message() << m << " x " << n);
    const auto a = RandomDense<TypeParam>(m, n, rng);
    TypeParam work(a), s(m, n), u(m, m), vt(n, n);
    if (m > 1) s.set_Item(1, 0, E(9.0));
    work.SolveSVD(s, u, vt);
    if (m > 1) {
      EXPECT_EQ(s.get_Item(1, 0), E(9.0));
      s.set_Item(1, 0, E(0.0));
    }
    for (int i = 0; i < std::min(m, n); ++i) {
      EXPECT_EQ(s.get_Item(i, i), E(Abs(s.get_Item(i, i))));
      if (i > 0) {
        EXPECT_LE(Abs(s.get_Item(i, i)), Abs(s.get_Item(i - 1, i - 1)));
      }
    }
    const Snapshot usv = Snapshot(u).Times(Snapshot(s)).Times(Snapshot(vt)), av(a);
    double err = 0;
    for (std::size_t k = 0; k < av.v.size(); ++k) {
      err = std::max(err, std::abs(usv.v[k] - av.v[k]));
    }
    const double sigma = std::min(m, n) > 0 ? Abs(s.get_Item(0, 0)) : 1.0;
    EXPECT_LT(err / (std::max(m, n) * Eps() * sigma), 30.0);
    EXPECT_LT(OrthonormalityError(u, identity), 30.0);
    EXPECT_LT(OrthonormalityError(vt, identity), 30.0);
  }
}
