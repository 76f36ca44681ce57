// Linear equations, least squares, polynomials, eigenproblems and the SVD
// through the public headers only.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <OrvaneNet/OrvaneNet.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::Abs;

namespace {

// ---- every kind through LinearEquation / LUFactorization ----

struct SolverApi {
  const char* name;
  void (*factorizeReal)(Matrix&);
  void (*factorizeComplex)(ComplexMatrix&);
  void (*solveReal)(Matrix&, Matrix&);
  void (*solveComplex)(ComplexMatrix&, ComplexMatrix&);
};

const SolverApi kLinearEquation{"LinearEquation", &LinearEquation::Factorize,
                                &LinearEquation::Factorize, &LinearEquation::Solve,
                                &LinearEquation::Solve};
const SolverApi kLUFactorization{"LUFactorization", &LUFactorization::Factorize,
                                 &LUFactorization::Factorize, &LUFactorization::Solve,
                                 &LUFactorization::Solve};

struct KindCase {
  const char* name;
  bool complex;
  std::function<Matrix(int)> makeReal;
  std::function<ComplexMatrix(int)> makeComplex;
  bool symmetric;
};

std::vector<KindCase> Kinds() {
  using MT = MatrixType;
  return {
      {"DoubleGeneral", false, [](int n) { return Matrix(n, n); }, nullptr, false},
      {"DoubleGeneralBand", false, [](int n) { return Matrix(n, n, 1, 2); }, nullptr, false},
      {"DoubleGeneralTridiagonal", false, [](int n) { return Matrix(n, n, 3); }, nullptr, false},
      {"DoubleSymmetric", false, [](int n) { return Matrix(n, n, MT::DoubleSymmetric); }, nullptr, true},
      {"DoubleSymmetricBand", false, [](int n) { return Matrix(n, n, MT::DoubleSymmetricBand, 2, 2); },
       nullptr, true},
      {"DoubleSymmetricTridiagonal", false,
       [](int n) { return Matrix(n, n, MT::DoubleSymmetricTridiagonal); }, nullptr, true},
      {"ComplexGeneral", true, nullptr, [](int n) { return ComplexMatrix(n, n); }, false},
      {"ComplexGeneralBand", true, nullptr, [](int n) { return ComplexMatrix(n, n, 2, 1); }, false},
      {"ComplexGeneralTridiagonal", true, nullptr, [](int n) { return ComplexMatrix(n, n, 3); }, false},
      {"ComplexHermitian", true, nullptr,
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitian); }, true},
      {"ComplexHermitianBand", true, nullptr,
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitianBand, 1, 1); }, true},
      {"ComplexHermitianTridiagonal", true, nullptr,
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitianTridiagonal); }, true},
  };
}

// By name: gtest would otherwise print the raw bytes, padding included.
void PrintTo(const KindCase& k, std::ostream* os) { *os << k.name; }
void PrintTo(const SolverApi& s, std::ostream* os) { *os << s.name; }

// A diagonally dominant matrix on the tridiagonal pattern (every kind holds
// it), Hermitian for the symmetric kinds; the same values go into `dense`.
template <class H, class E>
void FillDominant(H& a, H& dense, bool symmetric, E upper, E lower) {
  const int n = a.get_RowNum();
  for (int i = 0; i < n; ++i) {
    a(i, i) = E(4.0);
    dense(i, i) = E(4.0);
    if (i + 1 < n) {
      const E up = upper * E(1.0 + 0.1 * (i % 5));  // stays dominant
      const E low = symmetric ? orvane_test::Conj(up) : lower;
      a(i, i + 1) = up;
      a(i + 1, i) = low;
      dense(i, i + 1) = up;
      dense(i + 1, i) = low;
    }
  }
}

template <class H, class E>
void SolveTwice(const SolverApi& api, H a, bool symmetric, E upper, E lower, bool needsFactorize,
                void (*factorize)(H&), void (*solve)(H&, H&)) {
  const int n = a.get_RowNum();
  H dense(n, n);
  FillDominant(a, dense, symmetric, upper, lower);
  std::mt19937 rng(42);
  H b(n, 2), b2(n, 3);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < 2; ++j) b(i, j) = orvane_test::RandomValue<E>(rng);
    for (int j = 0; j < 3; ++j) b2(i, j) = orvane_test::RandomValue<E>(rng);
  }
  H x = b.Clone(), x2 = b2.Clone();
  if (needsFactorize) {
    EXPECT_THROW_MSG(solve(a, x), OrvaneException,
                     "The routine for solving linear equation (zptsv) may not work. Please "
                     "factorize first then solve.");
    factorize(a);
  }
  solve(a, x);  // one-call driver unless factorized above
  EXPECT_TRUE(a.get_IsFactorized()) << api.name;
  EXPECT_LT(orvane_test::Residual(dense, x, b), 10.0) << api.name;
  solve(a, x2);  // the stored factors
  EXPECT_LT(orvane_test::Residual(dense, x2, b2), 10.0) << api.name;
  H wrong(n + 1, 1);
  EXPECT_THROW(solve(a, wrong), OrvaneException);
}

class EveryKind : public ::testing::TestWithParam<std::tuple<KindCase, SolverApi>> {};

TEST_P(EveryKind, SolvesWithTheDriverThenWithStoredFactors) {
  const auto& [kind, api] = GetParam();
  for (int n : {1, 2, 7, 40}) {
    if (kind.complex) {
      const bool needsFactorize = std::string(kind.name) == "ComplexHermitianTridiagonal";
      SolveTwice<ComplexMatrix, Complex>(api, kind.makeComplex(n), kind.symmetric, Complex(1, 0.5),
                                         Complex(-0.5, 0.25), needsFactorize, api.factorizeComplex,
                                         api.solveComplex);
    } else {
      SolveTwice<Matrix, double>(api, kind.makeReal(n), kind.symmetric, 1.0, -0.5, false,
                                 api.factorizeReal, api.solveReal);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Procedures, EveryKind,
    ::testing::Combine(::testing::ValuesIn(Kinds()), ::testing::Values(kLinearEquation, kLUFactorization)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

class BothApis : public ::testing::TestWithParam<SolverApi> {};

TEST_P(BothApis, SquareCheckAndFactorizeOnce) {
  const SolverApi& api = GetParam();
  Matrix a(3, 2), b(3, 1);
  a(0, 0) = 1;
  EXPECT_THROW_MSG(api.solveReal(a, b), OrvaneException, "Matrix size m != n is not supported.");
  EXPECT_FALSE(a.get_IsFactorized());
  EXPECT_EQ(a(0, 0), 1.0);
  api.factorizeReal(a);  // a rectangular LU is fine
  EXPECT_TRUE(a.get_IsFactorized());

  Matrix s(2, 2);
  s(0, 0) = 4;
  s(0, 1) = 3;
  s(1, 0) = 6;
  s(1, 1) = 3;
  api.factorizeReal(s);
  const double factor = s(1, 0);
  api.factorizeReal(s);  // already factorized: nothing happens
  EXPECT_EQ(s(1, 0), factor);
  s(0, 0) = 4;
  EXPECT_FALSE(s.get_IsFactorized());

  Matrix band(3, 3, 3), sym(3, 3, MatrixType::DoubleSymmetric);
  EXPECT_THROW_MSG(api.solveReal(band, sym), OrvaneException, "Matrix b must be general matrix.");
  Matrix dense(3, 3);
  EXPECT_THROW(api.solveReal(dense, sym), std::bad_cast);
}

INSTANTIATE_TEST_SUITE_P(Procedures, BothApis, ::testing::Values(kLinearEquation, kLUFactorization),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// ---- least squares and polynomials ----

TEST(LeastSquare, SolvesIntoTheFirstRowsAndChecksKindsAndShapes) {
  Matrix a(4, 2), b(4, 1);
  const double xs[4] = {0, 1, 2, 3};
  for (int i = 0; i < 4; ++i) {
    a(i, 0) = 1;
    a(i, 1) = xs[i];
    b(i, 0) = 1 + 2 * xs[i];
  }
  LeastSquare::Solve(a, b);
  EXPECT_NEAR(b(0, 0), 1.0, 1e-14);
  EXPECT_NEAR(b(1, 0), 2.0, 1e-14);
  EXPECT_FALSE(a.get_IsFactorized());

  Matrix sym(2, 2, MatrixType::DoubleSymmetric), g(2, 1);
  EXPECT_THROW_MSG(LeastSquare::Solve(sym, g), OrvaneException,
                   "Only double general matrix is supported.");
  Matrix g2(2, 2), t(2, 2, 3);
  EXPECT_THROW_MSG(LeastSquare::Solve(g2, t), OrvaneException,
                   "Only double general matrix is supported.");
  Matrix wide(2, 3), shortB(2, 1);
  EXPECT_THROW(LeastSquare::Solve(wide, shortB), OrvaneException);  // needs 3 rows
}

TEST(Polynomial, ValueAndExpansion) {
  Polynomial p(std::vector<double>{1, 2, 3, 4}, 2.0);
  EXPECT_EQ(p.Value(3), 10.0);
  EXPECT_EQ(p.Value(2), 1.0);
  const std::vector<double> expected{-23, 38, -21, 4};
  EXPECT_EQ(p.get_Coeffcients(), expected);
  EXPECT_EQ(Polynomial(std::vector<double>{5, -1}, 3.0).get_Coeffcients(),
            (std::vector<double>{8, -1}));
  EXPECT_EQ(Polynomial(std::vector<double>{7.5}, 3.0).get_Coeffcients(), std::vector<double>{7.5});
  EXPECT_TRUE(Polynomial(std::vector<double>{}, 3.0).get_Coeffcients().empty());
  EXPECT_EQ(Polynomial(std::vector<double>{}).Value(1.0), 0.0);
}

TEST(Polynomial, SharesItsCoefficientArray) {
  auto coef = std::make_shared<std::vector<double>>(std::vector<double>{1, 1});
  Polynomial p(coef);
  EXPECT_EQ(p.get_Coefs(), coef);
  EXPECT_EQ(p.get_Offset(), 0.0);
  (*p.get_Coefs())[0] = 5;
  EXPECT_EQ(p.Value(1), 6.0);
  auto expanded = p.get_Coeffcients();
  expanded[0] = -1;
  EXPECT_EQ((*coef)[0], 5.0);
  EXPECT_THROW_MSG(Polynomial(std::shared_ptr<std::vector<double>>()), OrvaneException,
                   "The coefficient array must not be null.");
}

TEST(PolynomialFitting, LineAndInterpolation) {
  const Polynomial line = PolynomialFitting::Fit({0, 1, 2, 3}, {1, 3, 5, 7}, 1);
  EXPECT_EQ(line.get_Offset(), 1.5);
  EXPECT_NEAR((*line.get_Coefs())[0], 4.0, 1e-14);
  EXPECT_NEAR((*line.get_Coefs())[1], 2.0, 1e-14);
  EXPECT_NEAR(line.get_Coeffcients()[0], 1.0, 1e-13);
  EXPECT_NEAR(line.get_Coeffcients()[1], 2.0, 1e-13);
  EXPECT_NEAR(line.Value(10), 21.0, 1e-13);

  const std::vector<double> x{-1, 0.5, 2, 3.5, 4}, y{2, -1, 0.25, 8, 3};
  const Polynomial interp = PolynomialFitting::Fit(x, y, 4);
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(interp.Value(x[i]), y[i], 1e-11);

  const Polynomial constant = PolynomialFitting::Fit({1, 2, 6}, {3, 4, 8}, 0);
  ASSERT_EQ(constant.get_Coefs()->size(), 1u);
  EXPECT_NEAR((*constant.get_Coefs())[0], 5.0, 1e-14);
  EXPECT_EQ(constant.get_Offset(), 3.0);
}

TEST(PolynomialFitting, RefusesWhatCannotBeFitted) {
  EXPECT_THROW_MSG(PolynomialFitting::Fit({5, 5, 5, 5}, {1, 2, 3, 4}, 2), OrvaneException,
                   "the 2-th diagonal element of the triangular factor of A is zero, so that A does "
                   "not have full rank; the least squares solution could not be computed.");
  EXPECT_THROW_MSG(PolynomialFitting::Fit({1, 2}, {1, 2}, 2), OrvaneException,
                   "The fit needs at least dimension + 1 points and as many y values as x values.");
  EXPECT_THROW(PolynomialFitting::Fit({1, 2, 3}, {1, 2}, 1), OrvaneException);
  EXPECT_THROW_MSG(PolynomialFitting::Fit({1, 2, 3}, {1, 2, 3}, -1), OrvaneException,
                   "The dimension of the fit must not be negative.");
  EXPECT_THROW(PolynomialFitting::Fit({}, {}, 0), OrvaneException);
}

// ---- eigenproblems ----

namespace {

template <class H, class E>
H RandomHermitian(int n, MatrixType type, std::mt19937& rng, double shift) {
  H a(n, n, type);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) {
      E v = orvane_test::RandomValue<E>(rng);
      if (i == j) v = E(orvane_test::Abs(v) + shift);  // real diagonal
      a(i, j) = v;
    }
  return a;
}

template <class H>
void ExpectEigenpairs(const H& a, const H* b, const std::vector<double>& w, const H& v) {
  EXPECT_TRUE(std::is_sorted(w.begin(), w.end()));
  EXPECT_LT(orvane_test::EigenResidual(a, b, w, v), 100.0);
  EXPECT_LT(orvane_test::OrthonormalityError(v, b), 100.0);
}

template <class H, class E>
void EigenSuite(MatrixType type, const char* wrongKindMessage) {
  std::mt19937 rng(9);
  for (int n : {1, 2, 5, 17}) {
    const H a = RandomHermitian<H, E>(n, type, rng, 0.0);
    const H b = RandomHermitian<H, E>(n, type, rng, 2.0 * n);  // positive definite
    std::vector<double> w, wOnly;
    H v;
    H work = a.Clone();
    Eigenproblem::Solve(work, w, v);
    EXPECT_EQ(v.get_Type(), H().get_Type());
    ExpectEigenpairs<H>(a, nullptr, w, v);
    H work2 = a.Clone();
    Eigenproblem::Solve(work2, wOnly);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(wOnly[k], w[k], 1e-12 * n);

    H ga = a.Clone(), gb = b.Clone();
    Eigenproblem::Solve(ga, gb, w, v);
    ExpectEigenpairs<H>(a, &b, w, v);
    H ga2 = a.Clone(), gb2 = b.Clone();
    Eigenproblem::Solve(ga2, gb2, wOnly);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(wOnly[k], w[k], 1e-10 * n);
  }
  H general(2, 2), sym(2, 2, type);
  std::vector<double> kept{7.0};
  EXPECT_THROW_MSG(Eigenproblem::Solve(general, kept), OrvaneException, wrongKindMessage);
  EXPECT_EQ(kept, std::vector<double>{7.0});
  EXPECT_THROW_MSG(Eigenproblem::Solve(sym, general, kept), OrvaneException, wrongKindMessage);
  H other(3, 3, type);
  EXPECT_THROW(Eigenproblem::Solve(sym, other, kept), OrvaneException);  // orders differ
  H notPd(2, 2, type), pd(2, 2, type);
  notPd(0, 0) = E(1.0);
  notPd(1, 1) = E(1.0);
  pd(0, 0) = E(1.0);
  pd(0, 1) = E(2.0);
  pd(1, 1) = E(1.0);  // indefinite B
  EXPECT_THROW_MSG(Eigenproblem::Solve(notPd, pd, kept), OrvaneException,
                   "off-diagonal elements of an intermediate tridiagonal did not converge to zero");
  EXPECT_EQ(kept.size(), 2u);  // assigned before LAPACK ran
  H empty(0, 0, type);
  std::vector<double> none{1.0};
  H vectors;
  Eigenproblem::Solve(empty, none, vectors);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(vectors.get_RowNum(), 0);
}

}  // namespace

TEST(Eigenproblem, RealSymmetric) {
  EigenSuite<Matrix, double>(MatrixType::DoubleSymmetric,
                             "Only double symmetric matrix is supported for this method.");
  Matrix a(2, 2, MatrixType::DoubleSymmetric);
  a(0, 0) = 2;
  a(1, 1) = 2;
  a(0, 1) = 1;
  std::vector<double> w;
  Matrix v;
  Eigenproblem::Solve(a, w, v);
  EXPECT_NEAR(w[0], 1.0, 1e-15);
  EXPECT_NEAR(w[1], 3.0, 1e-15);
  EXPECT_NEAR(std::fabs(v(0, 0)), std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(v(0, 0), -v(1, 0), 1e-15);
  EXPECT_NEAR(v(0, 1), v(1, 1), 1e-15);
}

TEST(Eigenproblem, ComplexHermitian) {
  EigenSuite<ComplexMatrix, Complex>(MatrixType::ComplexHermitian,
                                     "Only complex hermitian matrix is supported for this method.");
}

TEST(Eigenproblem, ResultMayNotBeTheInput) {
  Matrix a(2, 2, MatrixType::DoubleSymmetric);
  std::vector<double> w;
  EXPECT_THROW_MSG(Eigenproblem::Solve(a, w, a), OrvaneException,
                   "A result matrix must be a different object from the input matrices.");
  EXPECT_EQ(a.get_Type(), MatrixType::DoubleSymmetric);
}

TEST(EigenvalueProblem, KeepsResultsAndInfoWithoutRaising) {
  EigenvalueProblem p;
  EXPECT_EQ(p.get_Info(), 0);
  EXPECT_EQ(p.get_EigenValue(), nullptr);
  Matrix a(3, 3, MatrixType::DoubleSymmetric);
  for (int i = 0; i < 3; ++i) a(i, i) = i + 1.0;
  p.Solve(a);
  EXPECT_EQ(p.get_Info(), 0);
  auto values = p.get_EigenValue();
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(values->get_RowNum(), 3);
  EXPECT_EQ(values->get_ColNum(), 1);
  EXPECT_EQ(p.get_EigenVector()->get_RowNum(), 3);
  EXPECT_NEAR((*values)(2, 0), 3.0, 1e-15);

  Matrix b(3, 3, MatrixType::DoubleSymmetric), a2(3, 3, MatrixType::DoubleSymmetric);
  b(0, 0) = -1;  // not positive definite
  b(1, 1) = 1;
  b(2, 2) = 1;
  p.GeneralizedSolve(a2, b);
  EXPECT_GT(p.get_Info(), 3);
  EXPECT_NEAR((*values)(2, 0), 3.0, 1e-15);  // earlier results stay valid

  Matrix general(3, 3);
  auto before = p.get_EigenValue();
  EXPECT_THROW_MSG(p.Solve(general), OrvaneException,
                   "Only double symmetric matrix is supported for this method.");
  EXPECT_EQ(p.get_EigenValue(), before);
}

// ---- singular value decomposition ----

void Decompose(Matrix& a, Matrix& s, Matrix& u, Matrix& vt) {
  SingularValueDecomposition::Decompose(a, s, u, vt);
}
void Decompose(ComplexMatrix& a, ComplexMatrix& s, ComplexMatrix& u, ComplexMatrix& vt) {
  SingularValueDecomposition::Decompose(a, s, u, vt);
}

template <class H, class E>
void SvdSuite() {
  std::mt19937 rng(21);
  for (auto [m, n] : std::vector<std::pair<int, int>>{{3, 2}, {2, 3}, {4, 4}, {1, 5}, {6, 1}}) {
    H a(m, n);
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) a(i, j) = orvane_test::RandomValue<E>(rng);
    H work = a.Clone(), s, u, vt;
    Decompose(work, s, u, vt);
    EXPECT_FALSE(work.get_IsFactorized());
    ASSERT_EQ(s.get_RowNum(), m);
    ASSERT_EQ(s.get_ColNum(), n);
    ASSERT_EQ(u.get_RowNum(), m);
    ASSERT_EQ(vt.get_RowNum(), n);
    const H usv = u * s * vt;
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) {
        EXPECT_NEAR(Abs(usv(i, j) - a(i, j)), 0.0, 1e-14 * (m + n));
        if (i != j) {
          EXPECT_EQ(s(i, j), E(0.0));
        }
      }
    for (int k = 0; k + 1 < std::min(m, n); ++k) EXPECT_GE(Abs(s(k, k)), Abs(s(k + 1, k + 1)));
  }
  H band(3, 3, 3), s, u, vt;
  EXPECT_THROW_MSG(Decompose(band, s, u, vt), OrvaneException, "Only general matrix is supported.");
}

TEST(SingularValueDecomposition, RealReproducesTheMatrix) { SvdSuite<Matrix, double>(); }
TEST(SingularValueDecomposition, ComplexReproducesTheMatrixWithRealSigma) {
  SvdSuite<ComplexMatrix, Complex>();
  ComplexMatrix a(2, 2), s, u, vt;
  a(0, 0) = Complex(1, 2);
  a(1, 1) = Complex(0, -3);
  SingularValueDecomposition::Decompose(a, s, u, vt);
  EXPECT_EQ(s(0, 0).get_Imag(), 0.0);
  EXPECT_EQ(s(1, 1).get_Imag(), 0.0);
  EXPECT_NEAR(s(0, 0).get_Real(), 3.0, 1e-15);
}
