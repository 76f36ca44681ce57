// What only the dense general kinds do: the shape checks, the SVD and least
// squares. What they share with the other kinds is in KindsTest.
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

TYPED_TEST(DenseGeneral, ShapesAreCheckedBeforeLapack) {
  TypeParam rect(3, 2), b(3, 1);
  EXPECT_THROW_MSG(rect.SolveWithSimpleDriver(b), OrvaneException,
                   "The matrix must be square for this operation.");
  rect.Factorize();  // LU of a rectangular matrix is defined
  EXPECT_THROW(rect.Solve(b), OrvaneException);
  EXPECT_THROW(rect.Invert(), OrvaneException);

  TypeParam w(2, 3), s(2, 3), s1(1, 1), u2(2, 2), u3(3, 3), vt2(2, 2), vt3(3, 3);
  EXPECT_THROW_MSG(w.SolveSVD(s, u3, vt3), OrvaneException, "Matrix U must be 2 x 2, not 3 x 3.");
  EXPECT_THROW_MSG(w.SolveSVD(s, u2, vt2), OrvaneException, "Matrix VT must be 3 x 3, not 2 x 2.");
  EXPECT_THROW_MSG(w.SolveSVD(s1, u2, vt3), OrvaneException, "Matrix S must be 2 x 3, not 1 x 1.");
}

// U S V^H reproduces A, U and V are orthonormal (the identities when A is
// empty), the singular values are real and descending, and S keeps its
// entries off the diagonal.
TYPED_TEST(DenseGeneral, SvdOfTallWideSquareAndEmpty) {
  using E = ElementOf<TypeParam>;
  std::mt19937 rng(3);
  for (auto [m, n] : std::vector<std::pair<int, int>>{{0, 3}, {2, 3}, {3, 2}, {5, 5}, {1, 4}, {12, 9}}) {
    SCOPED_TRACE(testing::Message() << m << " x " << n);
    const auto a = RandomDense<TypeParam>(m, n, rng);
    TypeParam work(a), s(m, n), u(m, m), vt(n, n), us(m, n);
    if (m > 1) s.set_Item(1, 0, E(9.0));
    work.SolveSVD(s, u, vt);
    if (m > 1) {
      EXPECT_EQ(s.get_Item(1, 0), E(9.0));
      s.set_Item(1, 0, E(0.0));
    }
    for (int i = 0; i < std::min(m, n); ++i) {
      EXPECT_EQ(s.get_Item(i, i), E(Abs(s.get_Item(i, i))));
      if (i > 0) {
        EXPECT_GE(Abs(s.get_Item(i - 1, i - 1)), Abs(s.get_Item(i, i)));
      }
    }
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) us.set_Item(i, j, ProductAt(u, s, i, j));
    EXPECT_LT(Residual(us, vt, a), kResidualTol);
    EXPECT_LT((OrthonormalityError<TypeParam, TypeParam>(u, nullptr)), kResidualTol);
    EXPECT_LT((OrthonormalityError<TypeParam, TypeParam>(vt, nullptr)), kResidualTol);
  }
}

// Overdetermined: the residual is orthogonal to A's columns.
// Underdetermined: the minimum-norm solution.
TEST(DoubleGeneralLeastSquare, OverAndUnderdeterminedSystems) {
  std::mt19937 rng(5);
  const int m = 30, n = 4;
  const auto a = RandomDense<DoubleGeneralMatrix>(m, n, rng);
  const auto b = RandomDense<DoubleGeneralMatrix>(m, 2, rng);
  DoubleGeneralMatrix qr(a), x(b);
  qr.SolveLeastSquare('N', x);
  for (int c = 0; c < 2; ++c)
    for (int j = 0; j < n; ++j) {
      double s = 0;  // column j of A against the residual
      for (int k = 0; k < m; ++k) s += a.get_Item(k, j) * (ProductAt(a, x, k, c) - b.get_Item(k, c));
      EXPECT_NEAR(s, 0.0, kResidualTol * m * Eps() * MaxAbs(a) * MaxAbs(b));
    }

  auto w = FromRows<DoubleGeneralMatrix>({{1, 1}});  // x1 + x2 = 2: (1, 1)
  auto y = FromRows<DoubleGeneralMatrix>({{2}, {0}});
  w.SolveLeastSquare('N', y);
  ExpectEntriesNear(y, {{1}, {1}}, kFewRoundings);

  // An illegal trans reaches dgels: its line, then the illegal-parameter message.
  testing::internal::CaptureStdout();
  EXPECT_THROW_MSG(w.SolveLeastSquare('X', y), OrvaneException, "the 1-th parameter had an illegal value.");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "** On entry to  DGELS, parameter number  1 had an illegal value\n");
}
