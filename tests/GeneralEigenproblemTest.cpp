// GeneralEigenproblem: residuals of A v = l v for matrices with complex
// pairs, rotations, perturbed Jordan blocks and complex entries; LAPACK's
// normalization of the vectors; the refusals and what happens to a.
#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "OrvaneNet/GeneralEigenproblem.h"
#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::Eps;

namespace {

using C = std::complex<double>;

// A backward-stable eigensolver leaves ||A v - l v|| / (||A|| ||v||) of a
// few n eps; the perturbed Jordan block, whose eigenvalues move by
// (1e-10)^(1/n), is no exception, since the residual measures the backward
// error.
constexpr double kResidualMultiple = 4;
// A unit vector's norm is 1 within a few eps per component.
constexpr double kNormMultiple = 4;

C At(const ComplexMatrix& m, int i, int j) { return m.get_Item(i, j).ToStdComplex(); }
C At(const Matrix& m, int i, int j) { return m.get_Item(i, j); }

// Frobenius norm.
template <class M>
double Norm(const M& a) {
  double s = 0;
  for (int i = 0; i < a.get_RowNum(); ++i)
    for (int j = 0; j < a.get_ColNum(); ++j) s += std::norm(At(a, i, j));
  return std::sqrt(s);
}

// The values-only call.
template <class M>
ComplexMatrix ValuesOf(M a) {
  ComplexMatrix values;
  GeneralEigenproblem::Solve(a, values);
  return values;
}

std::vector<C> Sorted(const ComplexMatrix& values) {
  std::vector<C> x;
  for (int k = 0; k < values.get_RowNum(); ++k) x.push_back(At(values, k, 0));
  std::sort(x.begin(), x.end(), [](C u, C v) {
    return u.real() != v.real() ? u.real() < v.real() : u.imag() < v.imag();
  });
  return x;
}

// Each pair within kResidualMultiple of ||A v - l v|| / (||A|| ||v|| n eps),
// each vector of unit 2-norm with a component of the largest modulus exactly
// real (LAPACK's normalization), and the values-only call finding the same
// spectrum.
template <class M>
void SolveAndCheck(const M& a, const char* what) {
  SCOPED_TRACE(what);
  M work = a.Clone();
  ComplexMatrix values, vectors;
  GeneralEigenproblem::Solve(work, values, vectors);
  const int n = a.get_RowNum();
  ASSERT_EQ(values.get_RowNum(), n);
  ASSERT_EQ(values.get_ColNum(), 1);
  ASSERT_EQ(vectors.get_RowNum(), n);
  ASSERT_EQ(vectors.get_ColNum(), n);
  EXPECT_EQ(vectors.get_Type(), MatrixType::ComplexGeneral);
  for (int k = 0; k < n; ++k) {
    double r = 0, v = 0, largest = 0;
    for (int i = 0; i < n; ++i) {
      C s = 0;
      for (int j = 0; j < n; ++j) s += At(a, i, j) * At(vectors, j, k);
      r += std::norm(s - At(values, k, 0) * At(vectors, i, k));
      v += std::norm(At(vectors, i, k));
      largest = std::max(largest, std::abs(At(vectors, i, k)));
    }
    EXPECT_LT(std::sqrt(r) / (Norm(a) * std::sqrt(v) * n * Eps()), kResidualMultiple) << k;
    EXPECT_NEAR(std::sqrt(v), 1.0, kNormMultiple * n * Eps()) << "column " << k;
    bool realLargest = false;
    for (int i = 0; i < n; ++i) {
      const C x = At(vectors, i, k);
      realLargest = realLargest || (x.imag() == 0.0 && std::abs(x) >= largest * (1 - 1e-12));
    }
    EXPECT_TRUE(realLargest) << "column " << k;
  }
  const std::vector<C> x = Sorted(values), y = Sorted(ValuesOf(a.Clone()));
  ASSERT_EQ(y.size(), x.size());
  for (int k = 0; k < n; ++k) EXPECT_LT(std::abs(x[k] - y[k]), 1e-6 * std::max(1.0, Norm(a))) << k;
}

template <class M>
M Random(int n, unsigned seed) {
  std::mt19937 rng(seed);
  return orvane_test::RandomDense<M>(n, n, rng);
}

// Real ones with complex pairs; the empty matrix gives empty results.
TEST(GeneralEigenproblem, RandomRealAndComplexMatrices) {
  for (int n : {0, 1, 2, 5, 40}) SolveAndCheck(Random<Matrix>(n, 10 + n), "random real");
  for (int n : {0, 1, 3, 30}) SolveAndCheck(Random<ComplexMatrix>(n, 40 + n), "random complex");
}

TEST(GeneralEigenproblem, ConjugatePairsExpandIntoConjugateColumns) {
  Matrix a = Random<Matrix>(12, 3);
  ComplexMatrix values, vectors;
  GeneralEigenproblem::Solve(a, values, vectors);
  int pairs = 0;
  for (int k = 0; k < 12; ++k) {
    const C l = At(values, k, 0);
    if (l.imag() == 0.0) {
      for (int i = 0; i < 12; ++i) EXPECT_EQ(At(vectors, i, k).imag(), 0.0);
      continue;
    }
    ASSERT_GT(l.imag(), 0.0) << "the positive imaginary part comes first";
    ASSERT_LT(k + 1, 12);
    EXPECT_EQ(At(values, k + 1, 0), std::conj(l));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(At(vectors, i, k + 1), std::conj(At(vectors, i, k)));
    ++pairs, ++k;
  }
  EXPECT_GT(pairs, 0) << "a random 12 x 12 matrix has complex eigenvalues";
}

TEST(GeneralEigenproblem, RotationHasTheEigenvaluesCosPlusMinusISin) {
  const double t = 0.7;
  const Matrix a = orvane_test::FromRows<Matrix>(
      {{std::cos(t), -std::sin(t)}, {std::sin(t), std::cos(t)}});
  SolveAndCheck(a, "rotation");
  const ComplexMatrix values = ValuesOf(a.Clone());
  EXPECT_LT(std::abs(At(values, 0, 0) - C(std::cos(t), std::sin(t))), 4 * Eps());
  EXPECT_LT(std::abs(At(values, 1, 0) - C(std::cos(t), -std::sin(t))), 4 * Eps());
}

// Its eigenvalues lie on the circle of radius (1e-10)^(1/6) around 2.
TEST(GeneralEigenproblem, PerturbedJordanBlock) {
  const int n = 6;
  Matrix a(n, n);
  for (int i = 0; i < n; ++i) {
    a(i, i) = 2.0;
    if (i + 1 < n) a(i, i + 1) = 1.0;
  }
  a(n - 1, 0) = 1e-10;
  SolveAndCheck(a, "perturbed Jordan block");
  const ComplexMatrix values = ValuesOf(a.Clone());
  for (int k = 0; k < n; ++k)
    EXPECT_NEAR(std::abs(At(values, k, 0) - 2.0), std::pow(1e-10, 1.0 / n), 1e-6);
}

TEST(GeneralEigenproblem, RealMatrixAsComplexGivesTheSameSpectrum) {
  const Matrix a = Random<Matrix>(9, 8);
  ComplexMatrix ac(9, 9);
  for (int i = 0; i < 9; ++i)
    for (int j = 0; j < 9; ++j) ac(i, j) = Complex(a(i, j), 0.0);
  const ComplexMatrix realValues = ValuesOf(a.Clone()), complexValues = ValuesOf(std::move(ac));
  for (int k = 0; k < 9; ++k) {
    double nearest = 1e300;
    for (int l = 0; l < 9; ++l)
      nearest = std::min(nearest, std::abs(At(realValues, k, 0) - At(complexValues, l, 0)));
    EXPECT_LT(nearest, 1e-12) << k;
  }
}

template <class M>
class GeneralEigenKinds : public ::testing::Test {};
TYPED_TEST_SUITE(GeneralEigenKinds, orvane_test::Handles);

TYPED_TEST(GeneralEigenKinds, OnlySquareDenseGeneralMatrices) {
  const MatrixType symmetric = std::is_same_v<TypeParam, Matrix> ? MatrixType::DoubleSymmetric
                                                                  : MatrixType::ComplexHermitian;
  TypeParam packed(3, 3, symmetric), band(3, 3, 1, 1), tridiagonal(3, 3, 3), wide(2, 3);
  ComplexMatrix values, vectors;
  for (TypeParam* a : {&packed, &band, &tridiagonal}) {
    EXPECT_THROW_MSG(GeneralEigenproblem::Solve(*a, values), OrvaneException,
                     "Only general matrix is supported.");
    EXPECT_THROW_MSG(GeneralEigenproblem::Solve(*a, values, vectors), OrvaneException,
                     "Only general matrix is supported.");
  }
  EXPECT_THROW_MSG(GeneralEigenproblem::Solve(wide, values, vectors), OrvaneException,
                   "Matrix size m != n is not supported.");
}

// A result that is the input or the other result is refused with nothing
// touched; a call that goes through destroys the input but keeps its shape.
TYPED_TEST(GeneralEigenKinds, AliasesAreRefusedAndTheInputIsDestroyed) {
  TypeParam a = Random<TypeParam>(6, 6);
  const TypeParam original = a.Clone();
  ComplexMatrix values, vectors;
  const char* message = "A result matrix must be a different object from the input matrices.";
  EXPECT_THROW_MSG(GeneralEigenproblem::Solve(a, values, values), OrvaneException, message);
  if constexpr (std::is_same_v<TypeParam, ComplexMatrix>) {
    EXPECT_THROW_MSG(GeneralEigenproblem::Solve(a, a), OrvaneException, message);
    EXPECT_THROW_MSG(GeneralEigenproblem::Solve(a, a, vectors), OrvaneException, message);
    EXPECT_THROW_MSG(GeneralEigenproblem::Solve(a, values, a), OrvaneException, message);
  }
  orvane_test::ExpectSameEntries(a, original);
  GeneralEigenproblem::Solve(a, values, vectors);
  EXPECT_EQ(a.get_RowNum(), 6);
  EXPECT_EQ(a.get_ColNum(), 6);
  EXPECT_GT(orvane_test::MaxDifference(a, original), 0.0);
}

}  // namespace
