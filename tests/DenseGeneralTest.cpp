// The dense general kinds, real and complex, through one typed fixture.
#include <algorithm>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class M>
class DenseGeneral : public ::testing::Test {};
using DenseKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix>;
TYPED_TEST_SUITE(DenseGeneral, DenseKinds);

}  // namespace

TYPED_TEST(DenseGeneral, NewMatrixIsZeroAndColumnMajor) {
  TypeParam a(2, 3);
  EXPECT_EQ(a.get_ColNum(), 3);
  EXPECT_FALSE(a.get_IsFactorized());
  EXPECT_EQ(MaxAbs(a), 0.0);
  a.set_Item(1, 2, ElementOf<TypeParam>(5.0));
  EXPECT_EQ(a.Dat()[5], std::remove_reference_t<decltype(a.Dat()[5])>(5.0));
  EXPECT_EQ(a.get_Type(), TypeParam::kType);
}

TYPED_TEST(DenseGeneral, NegativeDimensionsAreRejectedBeforeAllocating) {
  EXPECT_THROW_MSG(TypeParam(-1, 3), OrvaneException, "Matrix dimensions must not be negative.");
  EXPECT_THROW_MSG(TypeParam(3, -1), OrvaneException, "Matrix dimensions must not be negative.");
  TypeParam a(3, 3);  // disposing twice is harmless
  a.Dispose();
  a.Dispose();
}

TYPED_TEST(DenseGeneral, WorkedLuExample) {
  auto a = FromRows<TypeParam>({{4, 3}, {6, 3}});
  a.Factorize();
  EXPECT_TRUE(a.get_IsFactorized());
  // Row 2 pivoted to the top, multiplier 4/6.
  EXPECT_EQ(a.get_Item(0, 0), ElementOf<TypeParam>(6.0));
  EXPECT_NEAR(Abs(a.get_Item(1, 0) - ElementOf<TypeParam>(2.0 / 3.0)), 0.0, 1e-15);
  EXPECT_EQ(a.get_Item(0, 1), ElementOf<TypeParam>(3.0));
  EXPECT_EQ(a.get_Item(1, 1), ElementOf<TypeParam>(1.0));

  auto b = FromRows<TypeParam>({{1}, {1}});
  a.Solve(b);
  ExpectEntriesNear(b, {{0}, {1.0 / 3.0}}, 1e-15);

  a.Invert();
  EXPECT_TRUE(a.get_IsFactorized());  // unchanged although dat holds the inverse
  ExpectEntriesNear(a, {{-0.5, 0.5}, {1.0, -2.0 / 3.0}}, 1e-15);

  a.set_Item(0, 0, ElementOf<TypeParam>(1.0));
  EXPECT_FALSE(a.get_IsFactorized());
}

TYPED_TEST(DenseGeneral, OneCallSolveEqualsFactorizeThenSolve) {
  std::mt19937 rng(7);
  for (int n : {1, 2, 3, 5, 8, 33}) {
    auto a = RandomDense<TypeParam>(n, n, rng);
    auto b = RandomDense<TypeParam>(n, 3, rng);
    TypeParam a1(a), a2(a), x1(b), x2(b);
    a1.SolveWithSimpleDriver(x1);
    EXPECT_TRUE(a1.get_IsFactorized());
    a2.Factorize();
    a2.Solve(x2);
    // The same factors and solution, up to the blocking of the backend.
    EXPECT_LE(MaxDifference(x1, x2), 1e-10);
    EXPECT_LE(MaxDifference(a1, a2), 1e-10);
    EXPECT_LT(Residual(a, x1, b), 50.0) << "n=" << n;

    // A second right-hand side reuses the stored factors.
    auto b2 = RandomDense<TypeParam>(n, 2, rng);
    TypeParam x3(b2);
    a1.Solve(x3);
    EXPECT_LT(Residual(a, x3, b2), 50.0);
  }
}

TYPED_TEST(DenseGeneral, InverseTimesMatrixIsIdentity) {
  std::mt19937 rng(11);
  const int n = 20;
  auto a = RandomDense<TypeParam>(n, n, rng, 2.0);
  TypeParam inv(a);
  inv.Factorize();
  inv.Invert();
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      EXPECT_NEAR(Abs(ProductAt(a, inv, i, j) - ElementOf<TypeParam>(i == j ? 1.0 : 0.0)), 0.0, 1e-12);
    }
}

TYPED_TEST(DenseGeneral, SingularMatrixGivesNonFiniteSolutionsAndRefusesToInvert) {
  TypeParam zero(2, 2);
  zero.Factorize();
  EXPECT_TRUE(zero.get_IsFactorized());
  TypeParam b = FromRows<TypeParam>({{1}, {1}});
  zero.Solve(b);
  EXPECT_FALSE(AllFinite(b));

  // The one-call path must not hand back the right-hand side unchanged.
  TypeParam zero2(2, 2);
  TypeParam b2 = FromRows<TypeParam>({{1}, {1}});
  zero2.SolveWithSimpleDriver(b2);
  EXPECT_TRUE(zero2.get_IsFactorized());
  EXPECT_FALSE(AllFinite(b2));

  auto s = FromRows<TypeParam>({{1, 2}, {2, 4}});
  s.Factorize();
  TypeParam factors(s);
  EXPECT_THROW_MSG(s.Invert(), OrvaneException,
                   "The matrix is exactly singular (the 2-th diagonal element of U is zero), so "
                   "its inverse could not be computed.");
  EXPECT_TRUE(s.get_IsFactorized());
  ExpectSameEntries(s, factors);
}

TYPED_TEST(DenseGeneral, CloneCarriesFactorsAndIsIndependent) {
  auto a = FromRows<TypeParam>({{4, 3}, {6, 3}});
  a.Factorize();
  auto clone = a.Clone();
  EXPECT_TRUE(clone->get_IsFactorized());
  EXPECT_EQ(clone->get_Type(), TypeParam::kType);
  auto& c = dynamic_cast<TypeParam&>(*clone);
  auto b1 = FromRows<TypeParam>({{1}, {1}});
  auto b2 = FromRows<TypeParam>({{1}, {1}});
  a.Solve(b1);
  c.Solve(b2);
  EXPECT_EQ(b1.get_Item(1, 0), b2.get_Item(1, 0));
  c.set_Item(0, 0, ElementOf<TypeParam>(100.0));
  EXPECT_EQ(a.get_Item(0, 0), ElementOf<TypeParam>(6.0));
  EXPECT_FALSE(c.get_IsFactorized());
  EXPECT_TRUE(a.get_IsFactorized());
}

TYPED_TEST(DenseGeneral, ShapesAreCheckedBeforeLapack) {
  TypeParam a(3, 3), rect(3, 2);
  TypeParam b(2, 1);
  EXPECT_THROW_MSG(a.SolveWithSimpleDriver(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
  a.Factorize();
  EXPECT_THROW_MSG(a.Solve(b), OrvaneException, "Matrix b must have 3 rows, not 2.");
  TypeParam b3(3, 1);
  EXPECT_THROW_MSG(rect.SolveWithSimpleDriver(b3), OrvaneException,
                   "The matrix must be square for this operation.");
  rect.Factorize();  // LU of a rectangular matrix is defined
  EXPECT_THROW(rect.Invert(), OrvaneException);
}

TYPED_TEST(DenseGeneral, WrongKindOfRightHandSideIsABadCast) {
  TypeParam a(2, 2);
  std::conditional_t<std::is_same_v<TypeParam, DoubleGeneralMatrix>, ComplexGeneralMatrix,
                     DoubleGeneralMatrix>
      other(2, 1);
  EXPECT_THROW(a.SolveWithSimpleDriver(other), std::bad_cast);
}

TYPED_TEST(DenseGeneral, OrderZeroSolvesNothing) {
  TypeParam a(0, 0), b(0, 2);
  testing::internal::CaptureStdout();
  a.SolveWithSimpleDriver(b);
  a.Factorize();
  a.Solve(b);
  a.Invert();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no illegal-argument line
  EXPECT_TRUE(a.get_IsFactorized());
}

// ---- singular value decomposition ----

template <class M>
void ExpectSvdReproduces(const M& a, const M& s, const M& u, const M& vt) {
  const int m = a.get_RowNum(), n = a.get_ColNum(), k = std::min(m, n);
  for (int i = 0; i + 1 < k; ++i) {
    EXPECT_GE(Abs(s.get_Item(i, i)), Abs(s.get_Item(i + 1, i + 1)));
  }
  double scale = 1.0;
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      ElementOf<M> sum = ElementOf<M>(0.0);
      for (int l = 0; l < k; ++l) sum = sum + u.get_Item(i, l) * s.get_Item(l, l) * vt.get_Item(l, j);
      EXPECT_NEAR(Abs(sum - a.get_Item(i, j)), 0.0, 64 * std::max(m, n) * Eps() * scale);
    }
  // U^H U = I and V^H V = I (to 1e-13 up to order 12).
  EXPECT_LT((OrthonormalityError<M, M>(u, nullptr)), 30.0);
  EXPECT_LT((OrthonormalityError<M, M>(vt, nullptr)), 30.0);
}

TYPED_TEST(DenseGeneral, SvdOfTallWideAndSquare) {
  std::mt19937 rng(3);
  for (auto [m, n] : std::vector<std::pair<int, int>>{{2, 3}, {3, 2}, {5, 5}, {1, 4}, {7, 1}, {12, 9}}) {
    auto a = RandomDense<TypeParam>(m, n, rng);
    TypeParam work(a), s(m, n), u(m, m), vt(n, n);
    // Sentinels off the diagonal must survive.
    if (m > 1 && n > 1) s.set_Item(0, 1, ElementOf<TypeParam>(9.0));
    work.SolveSVD(s, u, vt);
    EXPECT_FALSE(work.get_IsFactorized());
    if (m > 1 && n > 1) {
      EXPECT_EQ(s.get_Item(0, 1), ElementOf<TypeParam>(9.0));
      s.set_Item(0, 1, ElementOf<TypeParam>(0.0));
    }
    ExpectSvdReproduces(a, s, u, vt);
    if constexpr (std::is_same_v<TypeParam, ComplexGeneralMatrix>) {
      for (int i = 0; i < std::min(m, n); ++i) {
        EXPECT_EQ(s.get_Item(i, i).get_Imag(), 0.0);
      }
    }
  }
}

TYPED_TEST(DenseGeneral, SvdDiagonalExampleAndShapeChecks) {
  auto a = FromRows<TypeParam>({{3, 0}, {0, -4}});
  TypeParam s(2, 2), u(2, 2), vt(2, 2);
  a.SolveSVD(s, u, vt);
  ExpectEntriesNear(s, {{4, 0}, {0, 3}}, 1e-14);

  TypeParam b(2, 3), s2(2, 3), u2(3, 3), vt2(3, 3);
  EXPECT_THROW_MSG(b.SolveSVD(s2, u2, vt2), OrvaneException, "Matrix U must be 2 x 2, not 3 x 3.");
  TypeParam u3(2, 2), vt3(2, 2);
  EXPECT_THROW_MSG(b.SolveSVD(s2, u3, vt3), OrvaneException, "Matrix VT must be 3 x 3, not 2 x 2.");
  TypeParam s4(1, 1), vt4(3, 3);
  EXPECT_THROW_MSG(b.SolveSVD(s4, u3, vt4), OrvaneException, "Matrix S must be 2 x 3, not 1 x 1.");
}

TYPED_TEST(DenseGeneral, SvdOfEmptyMatrixGivesIdentityBases) {
  TypeParam a(0, 3), s(0, 3), u(0, 0), vt(3, 3);
  a.SolveSVD(s, u, vt);
  ExpectSameEntries(vt, FromRows<TypeParam>({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}));
}

// ---- least squares (real only) ----

TEST(DoubleGeneralLeastSquare, MatchesNormalEquationsOnOverdeterminedSystems) {
  std::mt19937 rng(5);
  const int m = 30, n = 4;
  auto a = RandomDense<DoubleGeneralMatrix>(m, n, rng);
  auto b = RandomDense<DoubleGeneralMatrix>(m, 2, rng);
  DoubleGeneralMatrix qr(a), x(b);
  qr.SolveLeastSquare('N', x);
  // Normal equations A^T A x = A^T b, solved with the library's own LU.
  DoubleGeneralMatrix ata(n, n), atb(n, 2);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < m; ++k) s += a.get_Item(k, i) * a.get_Item(k, j);
      ata.set_Item(i, j, s);
    }
    for (int c = 0; c < 2; ++c) {
      double s = 0;
      for (int k = 0; k < m; ++k) s += a.get_Item(k, i) * b.get_Item(k, c);
      atb.set_Item(i, c, s);
    }
  }
  ata.SolveWithSimpleDriver(atb);
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < 2; ++c) EXPECT_NEAR(x.get_Item(i, c), atb.get_Item(i, c), 1e-12);
  // Rows n..m-1 carry the residual: their squares sum to ||Ax - b||^2.
  for (int c = 0; c < 2; ++c) {
    double tail = 0, direct = 0;
    for (int k = n; k < m; ++k) tail += x.get_Item(k, c) * x.get_Item(k, c);
    for (int k = 0; k < m; ++k) {
      double r = -b.get_Item(k, c);
      for (int j = 0; j < n; ++j) r += a.get_Item(k, j) * x.get_Item(j, c);
      direct += r * r;
    }
    EXPECT_NEAR(tail, direct, 1e-12);
  }
}

TEST(DoubleGeneralLeastSquare, MinimumNormSolutionOfUnderdeterminedSystem) {
  // x1 + x2 = 2 has the minimum-norm solution (1, 1).
  auto a = FromRows<DoubleGeneralMatrix>({{1, 1}});
  auto b = FromRows<DoubleGeneralMatrix>({{2}, {0}});
  a.SolveLeastSquare('N', b);
  ExpectEntriesNear(b, {{1}, {1}}, 1e-14);
}

TEST(DoubleGeneralLeastSquare, RankDeficiencyAndShapeMessages) {
  auto a = FromRows<DoubleGeneralMatrix>({{1, 0}, {2, 0}, {3, 0}});
  DoubleGeneralMatrix b(3, 1);
  EXPECT_THROW_MSG(a.SolveLeastSquare('N', b), OrvaneException,
                   "the 2-th diagonal element of the triangular factor of A is zero, so that A does "
                   "not have full rank; the least squares solution could not be computed.");
  DoubleGeneralMatrix c(3, 2), wrong(2, 1);
  EXPECT_THROW_MSG(c.SolveLeastSquare('N', wrong), OrvaneException, "Matrix b must have 3 rows, not 2.");
}

TEST(DoubleGeneralLeastSquare, IllegalTransIsReportedAsParameterMessage) {
  auto a = FromRows<DoubleGeneralMatrix>({{1, 0}, {0, 1}});
  DoubleGeneralMatrix b(2, 1);
  testing::internal::CaptureStdout();
  EXPECT_THROW_MSG(a.SolveLeastSquare('X', b), OrvaneException,
                   "the 1-th parameter had an illegal value.");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "** On entry to  DGELS, parameter number  1 had an illegal value\n");
}
