// Linear equations, least squares, polynomials, eigenproblems and the SVD
// through the public headers only. Their refusals of bad input are rows of
// the bad-input catalogue.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <OrvaneNet/OrvaneNet.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::Abs;
using orvane_test::ElementOf;

namespace {

// ---- every kind through LinearEquation and the deprecated LUFactorization ----

struct KindCase {
  const char* name;
  MatrixType type;
  int sub, super;  // sub < 0: a kind constructed without band widths
};

// Every kind, end to end: the handle picks the kind from its MatrixType and
// the procedure takes that kind's route (the Hermitian tridiagonal refuses
// the one-call driver).
const KindCase kKinds[] = {
    {"DoubleGeneral", MatrixType::DoubleGeneral, -1, 0},
    {"DoubleGeneralBand", MatrixType::DoubleGeneralBand, 1, 2},
    {"DoubleGeneralTridiagonal", MatrixType::DoubleGeneralTridiagonal, -1, 0},
    {"DoubleSymmetric", MatrixType::DoubleSymmetric, -1, 0},
    {"DoubleSymmetricBand", MatrixType::DoubleSymmetricBand, 2, 2},
    {"DoubleSymmetricTridiagonal", MatrixType::DoubleSymmetricTridiagonal, -1, 0},
    {"ComplexGeneral", MatrixType::ComplexGeneral, -1, 0},
    {"ComplexGeneralBand", MatrixType::ComplexGeneralBand, 2, 1},
    {"ComplexGeneralTridiagonal", MatrixType::ComplexGeneralTridiagonal, -1, 0},
    {"ComplexHermitian", MatrixType::ComplexHermitian, -1, 0},
    {"ComplexHermitianBand", MatrixType::ComplexHermitianBand, 1, 1},
    {"ComplexHermitianTridiagonal", MatrixType::ComplexHermitianTridiagonal, -1, 0},
};

// By name: gtest would otherwise print the raw bytes, padding included.
void PrintTo(const KindCase& k, std::ostream* os) { *os << k.name; }

template <class H>
void Factorize(bool lu, H& a) {
  lu ? LUFactorization::Factorize(a) : LinearEquation::Factorize(a);
}

template <class H>
void Solve(bool lu, H& a, H& b) {
  lu ? LUFactorization::Solve(a, b) : LinearEquation::Solve(a, b);
}

// A diagonally dominant matrix on the tridiagonal pattern (every kind holds
// it), Hermitian for the symmetric kinds, solved by the one-call driver and
// then again with the stored factors; `dense` holds the same values.
template <class H>
void SolveEveryWay(const KindCase& k, bool lu) {
  using E = ElementOf<H>;
  const bool hermitian = static_cast<int>(k.type) % 6 >= 3;
  std::mt19937 rng(42);
  for (int n : {1, 2, 7, 40}) {
    H a = k.sub < 0 ? H(n, n, k.type) : H(n, n, k.type, k.sub, k.super), dense(n, n);
    auto put = [&](int i, int j, E v) {
      a.set_Item(i, j, v);
      dense.set_Item(i, j, v);
    };
    for (int i = 0; i < n; ++i) {
      put(i, i, E(4.0));
      if (i + 1 == n) continue;
      const E up = orvane_test::RandomValue<E>(rng);
      put(i, i + 1, up);
      put(i + 1, i, hermitian ? orvane_test::Conj(up) : orvane_test::RandomValue<E>(rng));
    }
    const H b = orvane_test::RandomDense<H>(n, 2, rng), b2 = orvane_test::RandomDense<H>(n, 3, rng);
    H x = b.Clone(), x2 = b2.Clone();
    // This kind refuses the one-call driver (zptsv): factorize first.
    if (k.type == MatrixType::ComplexHermitianTridiagonal) Factorize(lu, a);
    Solve(lu, a, x);
    EXPECT_TRUE(a.get_IsFactorized()) << n;
    EXPECT_LT(orvane_test::Residual(dense, x, b), 10.0) << n;
    Factorize(lu, a);  // already factorized: must leave the factors alone
    Solve(lu, a, x2);
    EXPECT_LT(orvane_test::Residual(dense, x2, b2), 10.0) << n;
  }
}

class EveryKind : public ::testing::TestWithParam<std::tuple<KindCase, bool>> {};

TEST_P(EveryKind, SolvesWithTheDriverThenWithStoredFactors) {
  const auto& [kind, lu] = GetParam();
  if (kind.type >= MatrixType::ComplexGeneral) {
    SolveEveryWay<ComplexMatrix>(kind, lu);
  } else {
    SolveEveryWay<Matrix>(kind, lu);
  }
}

INSTANTIATE_TEST_SUITE_P(Procedures, EveryKind,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_LUFactorization" : "_LinearEquation");
                         });

}  // namespace

// ---- least squares and polynomials ----

TEST(LeastSquare, SolvesIntoTheFirstRows) {
  auto a = orvane_test::FromRows<Matrix>({{1, 0}, {1, 1}, {1, 2}, {1, 3}});
  auto b = orvane_test::FromRows<Matrix>({{1}, {3}, {5}, {7}});
  LeastSquare::Solve(a, b);
  EXPECT_NEAR(b(0, 0), 1.0, 1e-14);
  EXPECT_NEAR(b(1, 0), 2.0, 1e-14);
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
  EXPECT_NEAR((*line.get_Coefs())[0], 4.0, 1e-14);
  EXPECT_NEAR((*line.get_Coefs())[1], 2.0, 1e-14);
  EXPECT_NEAR(line.get_Coeffcients()[0], 1.0, 1e-13);
  EXPECT_NEAR(line.Value(10), 21.0, 1e-13);

  const std::vector<double> x{-1, 0.5, 2, 3.5, 4}, y{2, -1, 0.25, 8, 3};
  const Polynomial interp = PolynomialFitting::Fit(x, y, 4);
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(interp.Value(x[i]), y[i], 1e-11);
}

// ---- eigenproblems and the SVD, real and complex ----

namespace {

template <class H>
class Decompositions : public ::testing::Test {};
using Handles = ::testing::Types<Matrix, ComplexMatrix>;
TYPED_TEST_SUITE(Decompositions, Handles);

template <class H>
H RandomHermitian(int n, std::mt19937& rng, double shift) {
  using E = ElementOf<H>;
  H a(n, n, std::is_same_v<H, Matrix> ? MatrixType::DoubleSymmetric : MatrixType::ComplexHermitian);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) {
      const E v = orvane_test::RandomValue<E>(rng);
      a.set_Item(i, j, i == j ? E(Abs(v) + shift) : v);  // real diagonal
    }
  return a;
}

// Standard (b == nullptr) and generalized, with and without the vectors.
template <class H>
void ExpectEigenpairs(const H& a, const H* b) {
  H a1 = a.Clone(), a2 = a.Clone(), v;
  std::vector<double> w, valuesOnly;
  if (b) {
    H b1 = b->Clone(), b2 = b->Clone();
    Eigenproblem::Solve(a1, b1, w, v);
    Eigenproblem::Solve(a2, b2, valuesOnly);
  } else {
    Eigenproblem::Solve(a1, w, v);
    Eigenproblem::Solve(a2, valuesOnly);
  }
  EXPECT_EQ(v.get_Type(), H().get_Type());
  EXPECT_LT(orvane_test::EigenResidual(a, b, w, v), 100.0);
  ASSERT_EQ(valuesOnly.size(), w.size());
  for (std::size_t k = 0; k < w.size(); ++k) EXPECT_NEAR(valuesOnly[k], w[k], 1e-10 * w.size());
}

TYPED_TEST(Decompositions, EigenpairsOfStandardAndGeneralizedProblems) {
  std::mt19937 rng(9);
  for (int n : {1, 2, 5, 17}) {
    const TypeParam a = RandomHermitian<TypeParam>(n, rng, 0.0);
    const TypeParam b = RandomHermitian<TypeParam>(n, rng, 2.0 * n);  // positive definite
    ExpectEigenpairs<TypeParam>(a, nullptr);
    ExpectEigenpairs<TypeParam>(a, &b);
  }
}

// U Sigma V^T gives A back and Sigma, assigned fresh, is zero off its
// diagonal. (The kind's own tests check the factors themselves.)
TYPED_TEST(Decompositions, SingularValueDecompositionReproducesTheMatrix) {
  using E = ElementOf<TypeParam>;
  std::mt19937 rng(21);
  for (auto [m, n] : std::vector<std::pair<int, int>>{{3, 2}, {2, 3}, {4, 4}, {1, 5}, {6, 1}}) {
    const TypeParam a = orvane_test::RandomDense<TypeParam>(m, n, rng);
    TypeParam work = a.Clone(), s, u, vt;
    SingularValueDecomposition::Decompose(work, s, u, vt);
    EXPECT_LT(orvane_test::MaxDifference(u * s * vt, a), 1e-14 * (m + n));
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) EXPECT_EQ(s.get_Item(i, j), E(i == j ? Abs(s.get_Item(i, j)) : 0.0));
  }
}

}  // namespace

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
  EXPECT_NEAR((*values)(2, 0), 3.0, 1e-15);
  p.GeneralizedSolve(a, b);
  EXPECT_GT(p.get_Info(), 3);
  EXPECT_NEAR((*values)(2, 0), 3.0, 1e-15);
}
