// Least squares, polynomials, eigenproblems and the SVD through the public
// headers only (linear equations over every kind are in HandleTest). Their
// refusals of bad input are rows of the bad-input catalogue.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <OrvaneNet/OrvaneNet.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "TestUtil.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class H>
class Procedures : public ::testing::Test {};
TYPED_TEST_SUITE(Procedures, Handles);

// Random Hermitian with a real diagonal, `shift` added to it.
template <class H>
H RandomHermitian(int n, std::mt19937& rng, double shift) {
  using E = ElementOf<H>;
  H a(n, n, KindType<H>(3));
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) a.set_Item(i, j, i == j ? E(RandomValue<double>(rng) + shift) : RandomValue<E>(rng));
  return a;
}

}  // namespace

// ---- least squares and polynomials ----

TEST(LeastSquare, SolvesIntoTheFirstRows) {
  auto a = FromRows<Matrix>({{1, 0}, {1, 1}, {1, 2}, {1, 3}});
  auto b = FromRows<Matrix>({{1}, {3}, {5}, {7}});
  LeastSquare::Solve(a, b);
  EXPECT_NEAR(b(0, 0), 1.0, kFewRoundings);
  EXPECT_NEAR(b(1, 0), 2.0, kFewRoundings);
}

TEST(Polynomial, ValueExpansionAndSharedCoefficients) {
  const Polynomial p(std::vector<double>{1, 2, 3, 4}, 2.0);
  EXPECT_EQ(p.Value(3), 10.0);
  EXPECT_EQ(p.Value(2), 1.0);
  EXPECT_EQ(p.get_Coeffcients(), (std::vector<double>{-23, 38, -21, 4}));

  auto coef = std::make_shared<std::vector<double>>(std::vector<double>{1, 1});
  const Polynomial shared(coef);
  EXPECT_EQ(shared.get_Coefs(), coef);
  (*coef)[0] = 5;
  EXPECT_EQ(shared.Value(1), 6.0);
}

TEST(PolynomialFitting, LineAndInterpolation) {
  const Polynomial line = PolynomialFitting::Fit({0, 1, 2, 3}, {1, 3, 5, 7}, 1);
  EXPECT_EQ(line.get_Offset(), 1.5);
  EXPECT_NEAR((*line.get_Coefs())[0], 4.0, kFewRoundings);
  EXPECT_NEAR((*line.get_Coefs())[1], 2.0, kFewRoundings);
  EXPECT_NEAR(line.get_Coeffcients()[0], 1.0, kFewRoundings);
  EXPECT_NEAR(line.Value(10), 21.0, 21 * kFewRoundings);

  // Through a Vandermonde matrix whose condition number is about 1e3.
  const double interpolationTol = 1e3 * kFewRoundings;
  const std::vector<double> x{-1, 0.5, 2, 3.5, 4}, y{2, -1, 0.25, 8, 3};
  const Polynomial interp = PolynomialFitting::Fit(x, y, 4);
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(interp.Value(x[i]), y[i], interpolationTol);
}

// ---- eigenproblems and the SVD, real and complex ----

// Eigenpairs of A and of A x = w B x through the four overloads: residuals,
// Z^H Z = I and Z^H B Z = I, the values-only overloads agreeing, and B left
// holding its Cholesky factor.
TYPED_TEST(Procedures, EigenpairsOfStandardAndGeneralizedProblems) {
  using H = TypeParam;
  std::mt19937 rng(17);
  testing::internal::CaptureStdout();
  for (int n : {0, 1, 2, 3, 7, 20, 50}) {
    SCOPED_TRACE(n);
    const H a = RandomHermitian<H>(n, rng, 0.0), bmat = RandomHermitian<H>(n, rng, n);
    H work = a.Clone(), work2 = a.Clone(), z;
    std::vector<double> w, w2;
    Eigenproblem::Solve(work, w, z);
    Eigenproblem::Solve(work2, w2);
    EXPECT_EQ(z.get_Type(), H().get_Type());
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    ASSERT_EQ(w2.size(), w.size());
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], w2[k], kResidualTol * n * Eps() * MaxAbs(a));
    EXPECT_LT(EigenResidual(a, static_cast<const H*>(nullptr), w, z), kResidualTol);
    EXPECT_LT(OrthonormalityError(z, static_cast<const H*>(nullptr)), kResidualTol);

    H ga = a.Clone(), gb = bmat.Clone(), ga2 = a.Clone(), gb2 = bmat.Clone();
    Eigenproblem::Solve(ga, gb, w, z);
    Eigenproblem::Solve(ga2, gb2, w2);
    EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
    EXPECT_LT(EigenResidual(a, &bmat, w, z), kGeneralizedTol);
    EXPECT_LT(OrthonormalityError(z, &bmat), kGeneralizedTol);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], w2[k], kGeneralizedTol * n * Eps() * (1 + std::fabs(w[k])));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        ElementOf<H> s(0.0);  // (U^H U)(i, j) from the upper factor
        for (int k = 0; k <= std::min(i, j); ++k) s = s + Conj(gb.get_Item(k, i)) * gb.get_Item(k, j);
        EXPECT_LE(Abs(s - bmat.get_Item(i, j)), kResidualTol * n * Eps() * MaxAbs(bmat));
      }
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// U Sigma V^T gives A back and Sigma, assigned fresh, is zero off its
// diagonal. (The kind's own tests check the factors themselves.)
TYPED_TEST(Procedures, SingularValueDecompositionReproducesTheMatrix) {
  using E = ElementOf<TypeParam>;
  std::mt19937 rng(21);
  for (auto [m, n] : std::vector<std::pair<int, int>>{{3, 2}, {2, 3}, {4, 4}, {1, 5}, {6, 1}}) {
    const TypeParam a = RandomDense<TypeParam>(m, n, rng);
    TypeParam work = a.Clone(), s, u, vt;
    SingularValueDecomposition::Decompose(work, s, u, vt);
    EXPECT_LT(Residual(u * s, vt, a), kResidualTol);
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) EXPECT_EQ(s.get_Item(i, j), E(i == j ? Abs(s.get_Item(i, j)) : 0.0));
  }
}

// LAPACK's info is handed back, never raised, and earlier results stay valid.
TEST(EigenvalueProblem, ReportsInfoWithoutRaising) {
  Matrix a(3, 3, MatrixType::DoubleSymmetric), b(3, 3, MatrixType::DoubleSymmetric);
  for (int i = 0; i < 3; ++i) {
    a(i, i) = i + 1.0;
    b(i, i) = i == 0 ? -1.0 : 1.0;  // not positive definite
  }
  EigenvalueProblem p;
  p.Solve(a);
  EXPECT_EQ(p.get_Info(), 0);
  const auto values = p.get_EigenValue();
  ASSERT_EQ(values->get_RowNum(), 3);
  EXPECT_NEAR((*values)(2, 0), 3.0, kFewRoundings);
  p.GeneralizedSolve(a, b);
  EXPECT_GT(p.get_Info(), 3);
  EXPECT_NEAR((*values)(2, 0), 3.0, kFewRoundings);
}
