// LinearEquation's reciprocal condition estimate and determinants, for every
// kind, against a dense long double reference computed here: the exact 1-norm
// condition from a Gauss-Jordan inverse and the determinant from an LU with
// partial pivoting.
#include <OrvaneNet/OrvaneNet.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "KindCases.h"
#include "TestUtil.h"

using namespace OrvaneNet;

namespace {

using LComplex = std::complex<long double>;
using Dense = std::vector<std::vector<LComplex>>;

using orvane_test::InPattern;
using orvane_test::IsHermitian;
using orvane_test::IsInvertible;
using orvane_test::IsPacked;
using orvane_test::IsPositiveDefiniteOnly;
using orvane_test::KindCase;
using orvane_test::MakeOfKind;
using orvane_test::WithHandle;

// ---- the dense long double reference ----

LComplex Wide(double v) { return v; }
LComplex Wide(Complex v) { return {v.get_Real(), v.get_Imag()}; }

template <class H>
Dense DenseOf(const H& a) {
  const int n = a.get_RowNum();
  Dense d(n, std::vector<LComplex>(n));
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) d[i][j] = Wide(a.get_Item(i, j));
  return d;
}

long double OneNorm(const Dense& a) {
  long double r = 0;
  for (std::size_t j = 0; j < a.size(); ++j) {
    long double s = 0;
    for (const auto& row : a) s += std::abs(row[j]);
    r = std::max(r, s);
  }
  return r;
}

// det A by LU with partial pivoting.
LComplex Det(Dense a) {
  const std::size_t n = a.size();
  LComplex det = 1;
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t p = k;
    for (std::size_t i = k + 1; i < n; ++i)
      if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
    if (p != k) std::swap(a[p], a[k]), det = -det;
    det *= a[k][k];
    if (a[k][k] == LComplex(0)) return 0;
    for (std::size_t i = k + 1; i < n; ++i) {
      const LComplex l = a[i][k] / a[k][k];
      for (std::size_t j = k; j < n; ++j) a[i][j] -= l * a[k][j];
    }
  }
  return det;
}

// |A|_1 |A^-1|_1 by Gauss-Jordan elimination with partial pivoting.
long double Condition(const Dense& a0) {
  const std::size_t n = a0.size();
  Dense a = a0, inv(n, std::vector<LComplex>(n));
  for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1;
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t p = k;
    for (std::size_t i = k + 1; i < n; ++i)
      if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
    std::swap(a[p], a[k]);
    std::swap(inv[p], inv[k]);
    const LComplex pivot = a[k][k];
    for (std::size_t j = 0; j < n; ++j) a[k][j] /= pivot, inv[k][j] /= pivot;
    for (std::size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      const LComplex l = a[i][k];
      for (std::size_t j = 0; j < n; ++j) a[i][j] -= l * a[k][j], inv[i][j] -= l * inv[k][j];
    }
  }
  return OneNorm(a0) * OneNorm(inv);
}

// ---- matrices of each kind ----

// How the diagonal of the generated matrix is chosen.
enum class Diagonal {
  Dominant,  // positive and dominant: well conditioned, positive definite when Hermitian
  Signed,    // dominant with random signs: indefinite when Hermitian
  Negative,  // negative and dominant: negative definite when Hermitian
  Zero,      // zero: a Hermitian matrix then forces Bunch-Kaufman's 2 x 2 pivots
};

// A random matrix on the kind's pattern (Hermitian for the symmetric kinds)
// with the chosen diagonal, then scaled as S M S with s_i = 10^(-grade i/(n-1))
// (which keeps pattern, symmetry and definiteness) and by `scale`.
template <class H>
H Generate(const KindCase& k, int n, Diagonal diagonal, double grade = 0.0, double scale = 1.0,
           unsigned seed = 7) {
  using E = orvane_test::ElementOf<H>;
  std::mt19937 rng(seed + static_cast<unsigned>(n));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  H a = MakeOfKind<H>(k, n);
  auto s = [&](int i) { return scale * std::pow(10.0, n > 1 ? -grade * i / (n - 1) : 0.0); };
  for (int i = 0; i < n; ++i) {
    for (int j = IsHermitian(k) ? i + 1 : 0; j < n; ++j) {
      if (i != j && InPattern(k, i, j)) {
        a.set_Item(i, j, orvane_test::RandomValue<E>(rng) * E(s(i) * s(j) / scale));
      }
    }
    double d = 2.0 * (1 + std::min(n - 1, 4)) + unit(rng);
    if (diagonal == Diagonal::Signed && unit(rng) < 0.5) d = -d;
    if (diagonal == Diagonal::Negative) d = -d;
    if (diagonal == Diagonal::Zero) d = 0.0;
    a.set_Item(i, i, E(d * s(i) * s(i) / scale));
  }
  return a;
}

// ---- one body over the twelve kinds ----

class MeasuresOfEveryKind : public ::testing::TestWithParam<KindCase> {
 protected:
  template <class H>
  static void Run(const KindCase& k);
};

double Rcond(Matrix& a) { return LinearEquation::ReciprocalCondition(a); }
double Rcond(ComplexMatrix& a) { return LinearEquation::ReciprocalCondition(a); }

// 1 / (|A|_1 |A^-1|_1) of the matrix a holds now, from the reference.
template <class H>
double ExactRcond(const H& a) {
  return static_cast<double>(1.0L / Condition(DenseOf(a)));
}

// The estimate is within a factor of 10 of the exact reciprocal condition.
void ExpectWithinTenfold(double estimate, double exact, const std::string& what) {
  EXPECT_GT(estimate, exact / 10) << what;
  EXPECT_LT(estimate, exact * 10) << what;
}

// The diagonals each kind factorizes: dominant ones always, indefinite ones
// where the kind takes them (the packed kinds by Bunch-Kaufman, with 2 x 2
// pivots forced by a zero diagonal).
std::vector<Diagonal> DiagonalsFor(const KindCase& k) {
  std::vector<Diagonal> diagonals{Diagonal::Dominant};
  if (!IsHermitian(k) || IsPacked(k)) diagonals.insert(diagonals.end(), {Diagonal::Signed, Diagonal::Negative});
  if (IsPacked(k)) diagonals.push_back(Diagonal::Zero);
  return diagonals;
}

std::string Case(int n, Diagonal diagonal, double grade = 0.0) {
  return "n=" + std::to_string(n) + " diagonal " + std::to_string(static_cast<int>(diagonal)) + " grade " +
         std::to_string(grade);
}

// Well conditioned and graded down to 1e-5 (condition near 1e10).
TEST_P(MeasuresOfEveryKind, ConditionEstimateIsWithinTenfoldOfTheExactOne) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    for (Diagonal diagonal : DiagonalsFor(k)) {
      for (int n : {1, 2, 5, 12, 30}) {
        if (diagonal == Diagonal::Zero && n == 1) continue;  // [0] is singular
        for (double grade : {0.0, 2.5, 5.0}) {
          H a = Generate<H>(k, n, diagonal, grade);
          const double exact = ExactRcond(a);
          if (grade == 5.0 && n > 2) {
            EXPECT_LT(exact, 1e-8) << "the graded case is ill-conditioned";
          }
          ExpectWithinTenfold(Rcond(a), exact, Case(n, diagonal, grade));
          EXPECT_TRUE(a.get_IsFactorized());
        }
      }
    }
  };
  WithHandle(k, body);
}

// A second call reuses the factors (and the norm kept with them): the same
// value, the factors untouched; a clone carries the norm along.
TEST_P(MeasuresOfEveryKind, ASecondCallAndACloneGiveTheSameEstimate) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    H a = Generate<H>(k, 9, Diagonal::Dominant, 3.0);
    const double first = Rcond(a);
    const H factors = a.Clone();
    EXPECT_EQ(Rcond(a), first);
    orvane_test::ExpectSameEntries(a, factors);
    H copy = a.Clone();
    EXPECT_EQ(Rcond(copy), first);
  };
  WithHandle(k, body);
}

// Factorize, the one-call solve and a factorization by Inv() each keep the
// norm of A, so the estimate from their factors is the same. After Inv() the
// storage holds A^-1, which the estimate and the determinant factorize.
TEST_P(MeasuresOfEveryKind, EveryFactorizationPathKeepsTheNorm) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    H factorized = Generate<H>(k, 12, Diagonal::Dominant, 2.0);
    LinearEquation::Factorize(factorized);
    const double expected = Rcond(factorized);
    if (k.type != MatrixType::ComplexHermitianTridiagonal) {  // which has no one-call solve
      H solved = Generate<H>(k, 12, Diagonal::Dominant, 2.0);
      H b = orvane_test::Identity<H>(12);
      LinearEquation::Solve(solved, b);
      EXPECT_NEAR(Rcond(solved), expected, 1e-12 * expected) << "after the one-call solve";
    }
    if (IsInvertible(k)) {
      // Inv() factorizes, then holds the inverse, whose factors the estimate
      // takes next: cond_1(A^-1) = cond_1(A).
      H inverted = Generate<H>(k, 12, Diagonal::Dominant, 2.0);
      const double exact = ExactRcond(inverted);
      inverted.Inv();
      ExpectWithinTenfold(Rcond(inverted), exact, "after Inv()");
      EXPECT_TRUE(inverted.get_IsFactorized());
      // And the determinant, of A^-1 likewise.
      H a = Generate<H>(k, 7, Diagonal::Signed), inverse = a.Clone();
      inverse.Inv();
      EXPECT_LE(std::abs(Wide(LinearEquation::Determinant(inverse)) * Det(DenseOf(a)) - 1.0L), 1e-13L);
    }
  };
  WithHandle(k, body);
}

// A zero last row and column: LAPACK's exactly singular. The positive
// definite kinds cannot factorize it and say so.
TEST_P(MeasuresOfEveryKind, ExactlySingularGivesZero) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    using E = orvane_test::ElementOf<H>;
    auto singular = [&] {
      H a = Generate<H>(k, 6, IsPositiveDefiniteOnly(k) ? Diagonal::Dominant : Diagonal::Signed);
      for (int j = 0; j < 6; ++j) {
        if (InPattern(k, 5, j)) a.set_Item(5, j, E(0.0));
        if (InPattern(k, j, 5)) a.set_Item(j, 5, E(0.0));
      }
      return a;
    };
    H a = singular(), b = singular(), c = singular();
    if (IsPositiveDefiniteOnly(k)) {
      const std::string message =
          k.type == MatrixType::DoubleSymmetricBand || k.type == MatrixType::DoubleSymmetricTridiagonal
              ? "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
                "supported by LAPACK. Please use Matrix::DoubleSymmetrix."
          : k.type == MatrixType::ComplexHermitianBand
              ? "This matrix is not positive definite. Hermitian band indefinite matrix is not supported "
                "by LAPACK. Please use Matrix::ComplexHermitian."
              : "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
                "supported by LAPACK. Please use Matrix::ComplexHermitian.";
      EXPECT_THROW_MSG(Rcond(a), OrvaneException, message);
      EXPECT_THROW_MSG(LinearEquation::Determinant(b), OrvaneException, message);
      return;
    }
    EXPECT_EQ(Rcond(a), 0.0);
    EXPECT_EQ(LinearEquation::Determinant(b), E(0.0));
    E phase(1.0);
    EXPECT_EQ(LinearEquation::LogDeterminant(c, phase), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(phase, E(0.0));
  };
  WithHandle(k, body);
}

// det A and log |det A| with its sign or phase against the reference, on
// matrices each kind factorizes: definite, indefinite (the packed kinds'
// Bunch-Kaufman fallback, with and without 2 x 2 pivots), negative definite.
TEST_P(MeasuresOfEveryKind, DeterminantsMatchTheReference) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    using E = orvane_test::ElementOf<H>;
    for (Diagonal diagonal : DiagonalsFor(k)) {
      for (int n : {0, 1, 2, 3, 6, 15}) {
        if (diagonal == Diagonal::Zero && n == 1) continue;  // [0] is singular
        H a = Generate<H>(k, n, diagonal), b = a.Clone();
        const Dense dense = DenseOf(a);
        const LComplex ref = Det(dense);
        const long double tolerance = 20.0L * std::max(1, n) * orvane_test::Eps() * Condition(dense);
        const std::string what = Case(n, diagonal);
        const LComplex det = Wide(LinearEquation::Determinant(a));
        EXPECT_LE(std::abs(det - ref), tolerance * std::abs(ref)) << what;
        E phase{};
        const double logAbs = LinearEquation::LogDeterminant(b, phase);
        EXPECT_NEAR(logAbs, static_cast<double>(std::log(std::abs(ref))), static_cast<double>(tolerance)) << what;
        EXPECT_LE(std::abs(Wide(phase) - ref / std::abs(ref)), tolerance) << what;
        if constexpr (std::is_same_v<E, double>) {
          EXPECT_EQ(std::abs(phase), 1.0) << what;
        }
      }
    }
  };
  WithHandle(k, body);
}

// n = 40 with entries of size 1e10 (1e-10): det A near 1e420 (1e-380), out
// of the double range; the logarithm stays finite and exact.
TEST_P(MeasuresOfEveryKind, DeterminantOverflowsWhereItsLogarithmDoesNot) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    using E = orvane_test::ElementOf<H>;
    for (double scale : {1e10, 1e-10}) {
      const Diagonal diagonal = IsHermitian(k) && !IsPacked(k) ? Diagonal::Dominant : Diagonal::Signed;
      H a = Generate<H>(k, 40, diagonal, 0.0, scale), b = a.Clone();
      const LComplex ref = Det(DenseOf(a));
      ASSERT_TRUE(scale > 1 ? std::abs(ref) > 1e400L : std::abs(ref) < 1e-350L);
      const E det = LinearEquation::Determinant(a);
      EXPECT_EQ(orvane_test::Abs(det), scale > 1 ? std::numeric_limits<double>::infinity() : 0.0);
      E phase{};
      const double logAbs = LinearEquation::LogDeterminant(b, phase);
      EXPECT_NEAR(logAbs, static_cast<double>(std::log(std::abs(ref))), 1e-11 * std::fabs(logAbs));
      EXPECT_LE(std::abs(Wide(phase) - ref / std::abs(ref)), 1e-11L);
    }
  };
  WithHandle(k, body);
}

INSTANTIATE_TEST_SUITE_P(LinearEquation, MeasuresOfEveryKind, ::testing::ValuesIn(orvane_test::kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- shapes ----

template <class H>
class MeasuresShapes : public ::testing::Test {};
using Handles = ::testing::Types<Matrix, ComplexMatrix>;
TYPED_TEST_SUITE(MeasuresShapes, Handles);

TYPED_TEST(MeasuresShapes, OnlySquareMatrices) {
  using E = orvane_test::ElementOf<TypeParam>;
  TypeParam a(2, 3);
  E phase{};
  const char* message = "Matrix size m != n is not supported.";
  EXPECT_THROW_MSG(LinearEquation::ReciprocalCondition(a), OrvaneException, message);
  EXPECT_THROW_MSG(LinearEquation::Determinant(a), OrvaneException, message);
  EXPECT_THROW_MSG(LinearEquation::LogDeterminant(a, phase), OrvaneException, message);
  EXPECT_FALSE(a.get_IsFactorized());
}

TYPED_TEST(MeasuresShapes, OrderZeroIsTheEmptyProduct) {
  using E = orvane_test::ElementOf<TypeParam>;
  TypeParam a, b, c;
  EXPECT_EQ(LinearEquation::ReciprocalCondition(a), 1.0);
  EXPECT_EQ(LinearEquation::Determinant(b), E(1.0));
  E phase{};
  EXPECT_EQ(LinearEquation::LogDeterminant(c, phase), 0.0);
  EXPECT_EQ(phase, E(1.0));
}

TYPED_TEST(MeasuresShapes, ANanElementHasNoConditionNumber) {
  using E = orvane_test::ElementOf<TypeParam>;
  TypeParam a = orvane_test::Identity<TypeParam>(3);
  a(1, 2) = E(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(LinearEquation::ReciprocalCondition(a)));
}

// The example: the last row twice the first, so LU's last pivot is
// rounding noise (or exactly zero); either way the estimate is below eps.
TYPED_TEST(MeasuresShapes, ARowTwiceAnotherIsSingularToWorkingPrecision) {
  std::mt19937 rng(50);
  TypeParam a = orvane_test::RandomDense<TypeParam>(50, 50, rng);
  for (int j = 0; j < 50; ++j) a(49, j) = a(0, j) * orvane_test::ElementOf<TypeParam>(2.0);
  EXPECT_LT(LinearEquation::ReciprocalCondition(a), orvane_test::Eps());
}

}  // namespace
