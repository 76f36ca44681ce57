// MatrixNorm and LinearEquation's condition estimate and determinants for
// every kind, against a dense long double reference computed here from the
// elements get_Item reads; and the 1-norm each factorization records,
// against LAPACK's norm routine for the storage.
#include <OrvaneNet/OrvaneNet.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <random>
#include <type_traits>
#include <vector>

#include "TestUtil.h"
#include "kinds/OneNorm.h"
#include "kinds/StorageAccess.h"
#include "kinds/complex/ComplexGeneralBandMatrix.h"
#include "kinds/complex/ComplexGeneralTridiagonalMatrix.h"
#include "kinds/complex/ComplexHermitianBandMatrix.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/complex/ComplexHermitianTridiagonalMatrix.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleGeneralTridiagonalMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"
#include "kinds/real/DoubleSymmetricTridiagonalMatrix.h"

using namespace OrvaneNet;
using orvane_test::ElementOf;
using orvane_test::Eps;

namespace {

// ---- the six kinds of each handle (TestUtil's forms) ----

struct KindCase {
  int form;    // 0 dense, 1 band, 2 tridiagonal, 3..5 the same, Hermitian
  int kl, ku;  // the band kinds' widths
  bool Hermitian() const { return form >= 3; }
  bool Packed() const { return form == 3; }
  bool Invertible() const { return form % 3 == 0; }
  bool PositiveDefiniteOnly() const { return Hermitian() && !Packed(); }
  bool InPattern(int i, int j) const {
    return form % 3 == 0 || (form % 3 == 2 ? std::abs(i - j) <= 1 : i - j <= kl && j - i <= ku);
  }
  template <class H>
  H Make(int n) const {
    return orvane_test::MakeKind<H>(form, n, kl, ku);
  }
};

// Every form; the general band one also without subdiagonals.
const KindCase kKinds[] = {{0, 1, 1}, {1, 2, 1}, {1, 0, 2}, {2, 1, 1},
                           {3, 1, 1}, {4, 2, 2}, {5, 1, 1}};

// How the diagonal of a generated matrix is chosen.
enum class Diagonal {
  Dominant,  // positive and dominant: well conditioned, positive definite when Hermitian
  Signed,    // dominant with random signs: indefinite when Hermitian
  Negative,  // negative and dominant: negative definite when Hermitian
  Zero,      // zero: a Hermitian matrix then forces Bunch-Kaufman's 2 x 2 pivots
};

// A random matrix on the kind's pattern (Hermitian for the symmetric kinds),
// scaled as S M S with s_i = 10^(-grade i/(n-1)) (which keeps pattern,
// symmetry and definiteness) and by `scale`.
template <class H>
H Generate(const KindCase& k, int n, Diagonal diagonal, double grade = 0.0, double scale = 1.0) {
  using E = ElementOf<H>;
  std::mt19937 rng(7 + static_cast<unsigned>(n));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  H a = k.Make<H>(n);
  auto s = [&](int i) { return scale * std::pow(10.0, n > 1 ? -grade * i / (n - 1) : 0.0); };
  for (int i = 0; i < n; ++i) {
    for (int j = k.Hermitian() ? i + 1 : 0; j < n; ++j)
      if (i != j && k.InPattern(i, j))
        a.set_Item(i, j, orvane_test::RandomValue<E>(rng) * E(s(i) * s(j) / scale));
    double d = 2.0 * (1 + std::min(n - 1, 4)) + unit(rng);
    if (diagonal == Diagonal::Signed && unit(rng) < 0.5) d = -d;
    if (diagonal == Diagonal::Negative) d = -d;
    if (diagonal == Diagonal::Zero) d = 0.0;
    a.set_Item(i, i, E(d * s(i) * s(i) / scale));
  }
  return a;
}

// The diagonals each kind factorizes: dominant ones always, indefinite and
// negative definite ones where the kind takes them (the packed kinds by
// Bunch-Kaufman, with 2 x 2 pivots forced by a zero diagonal).
std::vector<Diagonal> DiagonalsFor(const KindCase& k) {
  if (k.PositiveDefiniteOnly()) return {Diagonal::Dominant};
  if (k.Packed()) return {Diagonal::Dominant, Diagonal::Signed, Diagonal::Negative, Diagonal::Zero};
  return {Diagonal::Dominant, Diagonal::Signed, Diagonal::Negative};
}

// ---- the dense long double reference ----

using Wide = std::complex<long double>;
using Dense = std::vector<std::vector<Wide>>;

Wide Widen(double v) { return v; }
// (Under valgrind 1e300L squared comes out as the largest long double and
// 1e-600L as zero.)
bool LongDoubleHasWiderRange() {
  volatile long double x = 1e300L;
  const long double big = x * x, small = 1 / big;
  return big > 1e599L && big < 1e601L && small > 0;
}
Wide Widen(Complex v) { return {v.get_Real(), v.get_Imag()}; }

template <class H>
Dense DenseOf(const H& a) {
  const int n = a.get_RowNum();
  Dense d(n, std::vector<Wide>(n));
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) d[i][j] = Widen(a.get_Item(i, j));
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

struct Reference {
  Wide det;
  long double condition;  // |A|_1 |A^-1|_1
};

// Gauss-Jordan elimination with partial pivoting: det A from the pivots and
// row interchanges, and the inverse.
Reference ReferenceOf(const Dense& a0) {
  const std::size_t n = a0.size();
  Dense a = a0, inv(n, std::vector<Wide>(n));
  for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1;
  Wide det = 1;
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t p = k;
    for (std::size_t i = k + 1; i < n; ++i)
      if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
    if (p != k) std::swap(a[p], a[k]), std::swap(inv[p], inv[k]), det = -det;
    const Wide pivot = a[k][k];
    det *= pivot;
    if (pivot == Wide(0)) return {0, std::numeric_limits<long double>::infinity()};
    for (std::size_t j = 0; j < n; ++j) a[k][j] /= pivot, inv[k][j] /= pivot;
    for (std::size_t i = 0; i < n; ++i) {
      const Wide l = a[i][k];
      if (i != k)
        for (std::size_t j = 0; j < n; ++j) a[i][j] -= l * a[k][j], inv[i][j] -= l * inv[k][j];
    }
  }
  return {det, OneNorm(a0) * OneNorm(inv)};
}

template <class H>
double ExactRcond(const H& a) {
  return static_cast<double>(1.0L / ReferenceOf(DenseOf(a)).condition);
}

// The norm of the elements get_Item reads, the plainest way.
template <class H>
double DenseNorm(const H& a, NormType type) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  std::vector<double> rows(m), cols(n);
  double maxAbs = 0, squares = 0;
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      const double v = orvane_test::Abs(a.get_Item(i, j));
      rows[i] += v, cols[j] += v, squares += v * v;
      maxAbs = std::max(maxAbs, v);
    }
  auto largest = [](const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
  };
  const std::map<NormType, double> norms = {{NormType::One, largest(cols)},
                                            {NormType::Infinity, largest(rows)},
                                            {NormType::Frobenius, std::sqrt(squares)},
                                            {NormType::MaxAbs, maxAbs}};
  return norms.at(type);
}

constexpr NormType kNorms[] = {NormType::One, NormType::Infinity, NormType::Frobenius,
                               NormType::MaxAbs};

template <class H>
void ExpectNormsMatch(const H& a, double tolerance) {
  for (NormType type : kNorms) {
    const double expected = DenseNorm(a, type);
    EXPECT_NEAR(MatrixNorm::Compute(a, type), expected, tolerance * expected)
        << "norm " << static_cast<int>(type);
  }
}

double Rcond(Matrix& a) { return LinearEquation::ReciprocalCondition(a); }
double Rcond(ComplexMatrix& a) { return LinearEquation::ReciprocalCondition(a); }

void ExpectWithinTenfold(double estimate, double exact) {
  EXPECT_GT(estimate, exact / 10);
  EXPECT_LT(estimate, exact * 10);
}

template <class H>
class MeasuresOfEveryKind : public ::testing::Test {};
TYPED_TEST_SUITE(MeasuresOfEveryKind, orvane_test::Handles);

}  // namespace

// Every norm against the dense one; a factorized matrix refused; after Inv()
// the inverse measured.
TYPED_TEST(MeasuresOfEveryKind, NormsMatchADenseComputation) {
  using H = TypeParam;
  for (const KindCase& k : kKinds) {
    SCOPED_TRACE(testing::Message() << "form " << k.form << " kl " << k.kl << " ku " << k.ku);
    for (int n : {0, 1, 2, 3, 5, 8, 17}) {
      SCOPED_TRACE(n);
      ExpectNormsMatch(Generate<H>(k, n, Diagonal::Signed, 0.0, 100.0), 4 * n * Eps());
    }
    H a = Generate<H>(k, 6, Diagonal::Dominant);
    LinearEquation::Factorize(a);
    EXPECT_THROW_MSG(MatrixNorm::Compute(a, NormType::One), OrvaneException,
                     "The matrix holds its factors, so its norm cannot be computed; take the norm "
                     "before factorizing.");
    if (!k.Invertible()) continue;
    H inverse = Generate<H>(k, 6, Diagonal::Dominant, 1.0);
    inverse.Inv();
    ExpectNormsMatch(inverse, 24 * Eps());
  }
}

// Factorize, the one-call solve and the factorization of Inv() each keep the
// norm of A; a second call and a clone reuse factors and norm (the factors
// untouched). After Inv() the storage holds A^-1, which the estimate and the
// determinant factorize: cond_1(A^-1) = cond_1(A), det A^-1 det A = 1.
TYPED_TEST(MeasuresOfEveryKind, EveryFactorizationPathKeepsTheNorm) {
  using H = TypeParam;
  for (const KindCase& k : kKinds) {
    SCOPED_TRACE(testing::Message() << "form " << k.form << " kl " << k.kl << " ku " << k.ku);
    const H a = Generate<H>(k, 12, Diagonal::Dominant, 2.0);
    H factorized = a.Clone();
    LinearEquation::Factorize(factorized);
    const double expected = Rcond(factorized);
    ExpectWithinTenfold(expected, ExactRcond(a));
    const H factors = factorized.Clone();
    EXPECT_EQ(Rcond(factorized), expected);
    orvane_test::ExpectSameEntries(factorized, factors);
    H copy = factorized.Clone();
    EXPECT_EQ(Rcond(copy), expected);
    if (k.form != 5 || std::is_same_v<H, Matrix>) {  // which has no one-call solve
      H solved = a.Clone(), b = orvane_test::Identity<H>(12);
      LinearEquation::Solve(solved, b);
      EXPECT_NEAR(Rcond(solved), expected, 1e-12 * expected) << "after the one-call solve";
    }
    if (!k.Invertible()) continue;
    H inverted = a.Clone();
    inverted.Inv();
    ExpectWithinTenfold(Rcond(inverted), ExactRcond(a));
    EXPECT_TRUE(inverted.get_IsFactorized());
    H b = Generate<H>(k, 7, Diagonal::Signed), inverse = b.Clone();
    inverse.Inv();
    EXPECT_LE(
        std::abs(Widen(LinearEquation::Determinant(inverse)) * ReferenceOf(DenseOf(b)).det - 1.0L),
        1e-13L);
  }
}

// A zero last row and column: LAPACK's exactly singular. The positive
// definite kinds cannot factorize it and say so.
TYPED_TEST(MeasuresOfEveryKind, ExactlySingularGivesZero) {
  using H = TypeParam;
  for (const KindCase& k : kKinds) {
    SCOPED_TRACE(testing::Message() << "form " << k.form << " kl " << k.kl << " ku " << k.ku);
    using E = ElementOf<H>;
    H a = Generate<H>(k, 6, k.PositiveDefiniteOnly() ? Diagonal::Dominant : Diagonal::Signed);
    for (int j = 0; j < 6; ++j) {
      if (k.InPattern(5, j)) a.set_Item(5, j, E(0.0));
      if (k.InPattern(j, 5)) a.set_Item(j, 5, E(0.0));
    }
    H b = a.Clone(), c = a.Clone();
    E phase(1.0);
    if (k.PositiveDefiniteOnly()) {
      const std::string message = orvane_test::NotPositiveDefinite<H>(k.form);
      EXPECT_THROW_MSG(Rcond(a), OrvaneException, message);
      EXPECT_THROW_MSG(LinearEquation::Determinant(b), OrvaneException, message);
      EXPECT_THROW_MSG(LinearEquation::LogDeterminant(c, phase), OrvaneException, message);
      continue;
    }
    EXPECT_EQ(Rcond(a), 0.0);
    EXPECT_EQ(LinearEquation::Determinant(b), E(0.0));
    EXPECT_EQ(LinearEquation::LogDeterminant(c, phase), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(phase, E(0.0));
  }
}

// On the matrices each kind factorizes, well conditioned and graded down to
// 1e-5 (condition near 1e10): the condition estimate within tenfold of the
// exact one, and (ungraded) det A and log |det A| with its sign or phase
// against the reference. Then at n = 40 with entries of size 1e10 (1e-10):
// det A near 1e420 (1e-380), beyond the double range, where the logarithm
// stays finite and exact.
TYPED_TEST(MeasuresOfEveryKind, ConditionAndDeterminantsMatchTheReference) {
  using H = TypeParam;
  for (const KindCase& k : kKinds) {
    SCOPED_TRACE(testing::Message() << "form " << k.form << " kl " << k.kl << " ku " << k.ku);
    using E = ElementOf<H>;
    auto check = [&](const H& matrix, long double tolerance) {
      H a = matrix.Clone(), b = matrix.Clone();
      const Wide ref = ReferenceOf(DenseOf(a)).det;
      const E det = LinearEquation::Determinant(a);
      if (std::abs(ref) > 1e300L || std::abs(ref) < 1e-300L) {
        EXPECT_EQ(orvane_test::Abs(det),
                  std::abs(ref) > 1 ? std::numeric_limits<double>::infinity() : 0.0);
      } else {
        EXPECT_LE(std::abs(Widen(det) - ref), tolerance * std::abs(ref));
      }
      E phase{};
      const double logAbs = LinearEquation::LogDeterminant(b, phase);
      EXPECT_NEAR(logAbs, static_cast<double>(std::log(std::abs(ref))),
                  static_cast<double>(tolerance));
      EXPECT_LE(std::abs(Widen(phase) - ref / std::abs(ref)), tolerance);
      EXPECT_NEAR(orvane_test::Abs(phase), 1.0, 4 * Eps());
    };
    for (Diagonal diagonal : DiagonalsFor(k))
      for (int n : {0, 1, 2, 3, 5, 6, 12, 15, 30})
        for (double grade : {0.0, 2.5, 5.0}) {
          if (diagonal == Diagonal::Zero && n == 1) continue;  // [0] is singular
          SCOPED_TRACE(testing::Message() << "n=" << n << " diagonal " << static_cast<int>(diagonal)
                                          << " grade " << grade);
          H a = Generate<H>(k, n, diagonal, grade);
          if (grade == 0.0) {
            check(a, 20.0L * std::max(1, n) * Eps() * ReferenceOf(DenseOf(a)).condition);
          }
          if (n == 0) continue;
          const double exact = ExactRcond(a);
          if (grade == 5.0 && n >= 5) {
            EXPECT_LT(exact, 1e-8) << "the graded case is ill-conditioned";
          }
          ExpectWithinTenfold(Rcond(a), exact);
          EXPECT_TRUE(a.get_IsFactorized());
        }
    // The reference needs long double's wider exponent here; valgrind
    // computes long double in double precision, so it has none.
    if (!LongDoubleHasWiderRange()) continue;
    for (double scale : {1e10, 1e-10}) {
      SCOPED_TRACE(scale);
      const H a = Generate<H>(
          k, 40, k.PositiveDefiniteOnly() ? Diagonal::Dominant : Diagonal::Signed, 0.0, scale);
      const long double size = std::abs(ReferenceOf(DenseOf(a)).det);
      EXPECT_TRUE(scale > 1 ? size > 1e400L : size < 1e-350L);
      check(a, 1e-11L * 40 * 23);
    }
  }
}

// ---- shapes and special values, both handles ----

template <class H>
class MeasuresOfHandles : public ::testing::Test {};
TYPED_TEST_SUITE(MeasuresOfHandles, orvane_test::Handles);

TYPED_TEST(MeasuresOfHandles, ShapesAndSpecialValues) {
  using H = TypeParam;
  using E = ElementOf<H>;
  std::mt19937 rng(5);
  for (auto [m, n] : {std::pair{7, 3}, std::pair{3, 7}, std::pair{0, 4}, std::pair{4, 0}})
    ExpectNormsMatch(orvane_test::RandomDense<H>(m, n, rng), 16 * Eps());
  H known(2, 2);
  known(0, 0) = E(1.0), known(0, 1) = E(-2.0), known(1, 0) = E(3.0), known(1, 1) = E(-4.0);
  EXPECT_EQ(MatrixNorm::Compute(known, NormType::One), 6.0);
  EXPECT_EQ(MatrixNorm::Compute(known, NormType::Infinity), 7.0);
  EXPECT_EQ(MatrixNorm::Compute(known, NormType::MaxAbs), 4.0);

  H wide(2, 3), tall(3, 2), none(1, 0);
  E phase{};
  const char* notSquare = "Matrix size m != n is not supported.";
  EXPECT_THROW_MSG(LinearEquation::ReciprocalCondition(wide), OrvaneException, notSquare);
  EXPECT_THROW_MSG(LinearEquation::Determinant(tall), OrvaneException, notSquare);
  EXPECT_THROW_MSG(LinearEquation::LogDeterminant(none, phase), OrvaneException, notSquare);
  EXPECT_FALSE(wide.get_IsFactorized());

  H nan = orvane_test::Identity<H>(3);
  nan(1, 2) = E(std::numeric_limits<double>::quiet_NaN());
  for (NormType type : kNorms) EXPECT_TRUE(std::isnan(MatrixNorm::Compute(nan, type)));
  EXPECT_TRUE(std::isnan(LinearEquation::ReciprocalCondition(nan)));


  // The example: the last row twice the first, so LU's last pivot is
  // rounding noise (or exactly zero); either way below eps.
  H twice = orvane_test::RandomDense<H>(50, 50, rng);
  for (int j = 0; j < 50; ++j) twice(49, j) = twice(0, j) * E(2.0);
  EXPECT_LT(LinearEquation::ReciprocalCondition(twice), Eps());
}

// ---- the 1-norm the factorizations record ----

namespace {

using namespace OrvaneNet::detail;

template <class Kind>
class RecordedNorm : public ::testing::Test {};
using RecordedKinds =
    ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix, DoubleGeneralBandMatrix,
                     ComplexGeneralBandMatrix, DoubleGeneralTridiagonalMatrix,
                     ComplexGeneralTridiagonalMatrix, DoubleSymmetricMatrix, ComplexHermitianMatrix,
                     DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix,
                     DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
TYPED_TEST_SUITE(RecordedNorm, RecordedKinds);

// What the kind records before factorizing; the band kinds with kl = 2,
// ku = 3 (general) or kd = 3.
template <class Kind>
double Recorded(Kind& a) {
  const int n = a.get_RowNum();
  constexpr int form = static_cast<int>(Kind::kType) % 6;
  if constexpr (form == 0) {
    return OneNormDense(a.View().data(), n, n, a.View().ld());
  } else if constexpr (form % 3 == 1) {
    const auto ab = StorageAccess::Band(a).data();
    return form == 1 ? OneNormGeneralBand(ab, n, 2, 3, 2 * 2 + 3 + 1)
                     : OneNormSymmetricBand(ab, n, 3, 4);
  } else if constexpr (form == 3) {
    return OneNormPacked(StorageAccess::Packed(a).data(), n);
  } else if constexpr (form == 2) {
    const auto [dl, d, du] = StorageAccess::Diagonals(a);
    return OneNormTridiagonal(dl.data(), d.data(), du.data(), n);
  } else {
    const auto [d, e] = StorageAccess::Diagonals(a);
    return OneNormHermitianTridiagonal(d.data(), e.data(), n);
  }
}

}  // namespace

// Against LAPACK's norm routine for the storage (the kind's own Norm), with
// entries near 1, near 1e200 and near 1e-200 (where a complex square leaves
// the double range and the sum is taken again).
TYPED_TEST(RecordedNorm, MatchesLapacksNorm) {
  using E = typename TypeParam::Element;
  const int form = static_cast<int>(TypeParam::kType) % 6;
  const KindCase k{form, form % 3 == 1 ? 2 + (form == 4) : 1, 3};
  std::mt19937 rng(11);
  for (double scale : {1.0, 1e200, 1e-200})
    for (int n : {0, 1, 2, 3, 4, 7, 16}) {
      auto a = orvane_test::MakeOrder<TypeParam>(n, k.kl, k.ku);
      for (int i = 0; i < n; ++i)
        for (int j = k.Hermitian() ? i : 0; j < n; ++j) {
          if (!k.InPattern(i, j)) continue;
          const E v = orvane_test::RandomValue<E>(rng) * E(scale);
          a.set_Item(i, j, i == j && k.Hermitian() ? E(orvane_test::Abs(v)) : v);
        }
      const double lapack = a.Norm(NormType::One);
      EXPECT_NEAR(Recorded(a), lapack, 4 * n * Eps() * lapack) << "n=" << n << " scale " << scale;
    }
}
