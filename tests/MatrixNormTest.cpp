// MatrixNorm::Compute for every kind and norm, against the same norm taken
// over get_Item here; what a factorized or inverted matrix gives; and the
// 1-norm each factorization records, against LAPACK's.
#include <OrvaneNet/OrvaneNet.h>

#include <cmath>
#include <random>
#include <vector>

#include "KindCases.h"
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

namespace {

using orvane_test::IsHermitian;
using orvane_test::KindCase;

// The shared table, and a general band without subdiagonals.
std::vector<KindCase> NormKinds() {
  std::vector<KindCase> kinds(std::begin(orvane_test::kKinds), std::end(orvane_test::kKinds));
  kinds.push_back({"DoubleGeneralBandNoSub", MatrixType::DoubleGeneralBand, 0, 2});
  return kinds;
}

// The norm of the elements get_Item reads, in the plainest way.
template <class H>
double DenseNorm(const H& a, NormType type) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  std::vector<double> rows(m), cols(n);
  double maxAbs = 0, squares = 0;
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      const double v = orvane_test::Abs(a.get_Item(i, j));
      rows[i] += v;
      cols[j] += v;
      maxAbs = std::max(maxAbs, v);
      squares += v * v;
    }
  switch (type) {
    case NormType::One:
      return n == 0 ? 0.0 : *std::max_element(cols.begin(), cols.end());
    case NormType::Infinity:
      return m == 0 ? 0.0 : *std::max_element(rows.begin(), rows.end());
    case NormType::Frobenius:
      return std::sqrt(squares);
    case NormType::MaxAbs:
      return maxAbs;
  }
  return -1;
}

constexpr NormType kNorms[] = {NormType::One, NormType::Infinity, NormType::Frobenius, NormType::MaxAbs};

// A random matrix of the kind, Hermitian for the symmetric kinds, with
// entries up to 100 in magnitude and a dominant diagonal (so that Inv() works).
// A random matrix of the kind, Hermitian for the symmetric kinds, with
// entries up to 100 in magnitude and a dominant diagonal (so that Inv() works).
template <class H>
H RandomOfKind(const KindCase& k, int n, std::mt19937& rng) {
  using E = orvane_test::ElementOf<H>;
  H a = orvane_test::MakeOfKind<H>(k, n);
  for (int i = 0; i < n; ++i)
    for (int j = IsHermitian(k) ? i : 0; j < n; ++j) {
      if (!orvane_test::InPattern(k, i, j)) continue;
      E v = orvane_test::RandomValue<E>(rng) * E(100.0);
      if (i == j) v = E(orvane_test::Abs(v) + 500.0);
      a.set_Item(i, j, v);
    }
  return a;
}

class NormOfEveryKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(NormOfEveryKind, EveryNormMatchesADenseComputation) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    std::mt19937 rng(3);
    for (int n : {0, 1, 2, 3, 5, 8, 17}) {
      const H a = RandomOfKind<H>(k, n, rng);
      for (NormType type : kNorms) {
        const double expected = DenseNorm(a, type);
        EXPECT_NEAR(MatrixNorm::Compute(a, type), expected, 4 * n * orvane_test::Eps() * expected)
            << "n=" << n << " norm " << static_cast<int>(type);
      }
    }
  };
  orvane_test::WithHandle(k, body);
}

// The storage of a factorized matrix holds factors: refused. After Inv() it
// holds the inverse, whose norm is computed.
TEST_P(NormOfEveryKind, FactorsAreRefusedAnInverseIsMeasured) {
  const KindCase& k = GetParam();
  auto body = [&](auto tag) {
    using H = decltype(tag);
    std::mt19937 rng(4);
    H a = RandomOfKind<H>(k, 6, rng);
    LinearEquation::Factorize(a);
    EXPECT_THROW_MSG(MatrixNorm::Compute(a, NormType::One), OrvaneException,
                     "The matrix holds its factors, so its norm cannot be computed; take the norm "
                     "before factorizing.");
    if (!orvane_test::IsInvertible(k)) return;  // no Inv() for band and tridiagonal kinds
    H inverse = RandomOfKind<H>(k, 6, rng);
    inverse.Inv();
    for (NormType type : kNorms) {
      const double expected = DenseNorm(inverse, type);
      EXPECT_NEAR(MatrixNorm::Compute(inverse, type), expected, 24 * orvane_test::Eps() * expected);
    }
  };
  orvane_test::WithHandle(k, body);
}

INSTANTIATE_TEST_SUITE_P(MatrixNorm, NormOfEveryKind, ::testing::ValuesIn(NormKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

template <class H>
class NormShapes : public ::testing::Test {};
using Handles = ::testing::Types<Matrix, ComplexMatrix>;
TYPED_TEST_SUITE(NormShapes, Handles);

// Rectangular both ways (the infinity norm's work array has one entry per row).
TYPED_TEST(NormShapes, RectangularMatrices) {
  std::mt19937 rng(5);
  for (auto [m, n] : {std::pair{7, 3}, std::pair{3, 7}, std::pair{0, 4}, std::pair{4, 0}}) {
    const TypeParam a = orvane_test::RandomDense<TypeParam>(m, n, rng);
    for (NormType type : kNorms) {
      const double expected = DenseNorm(a, type);
      EXPECT_NEAR(MatrixNorm::Compute(a, type), expected, 16 * orvane_test::Eps() * expected);
    }
  }
}

TYPED_TEST(NormShapes, KnownValues) {
  using E = orvane_test::ElementOf<TypeParam>;
  TypeParam a(2, 2);
  a(0, 0) = E(1.0), a(0, 1) = E(-2.0), a(1, 0) = E(3.0), a(1, 1) = E(-4.0);
  EXPECT_EQ(MatrixNorm::Compute(a, NormType::One), 6.0);
  EXPECT_EQ(MatrixNorm::Compute(a, NormType::Infinity), 7.0);
  EXPECT_DOUBLE_EQ(MatrixNorm::Compute(a, NormType::Frobenius), std::sqrt(30.0));
  EXPECT_EQ(MatrixNorm::Compute(a, NormType::MaxAbs), 4.0);
}

TYPED_TEST(NormShapes, ANanElementGivesNan) {
  using E = orvane_test::ElementOf<TypeParam>;
  TypeParam a = orvane_test::Identity<TypeParam>(3);
  a(2, 1) = E(std::numeric_limits<double>::quiet_NaN());
  for (NormType type : kNorms) EXPECT_TRUE(std::isnan(MatrixNorm::Compute(a, type)));
}

TYPED_TEST(NormShapes, ADisposedHandleIsRefused) {
  TypeParam a(2, 2);
  a.Dispose();
  EXPECT_THROW_MSG(MatrixNorm::Compute(a, NormType::One), OrvaneException,
                   "This matrix has been disposed or moved from and can no longer be used.");
}

// The Hermitian packed and band kinds store a diagonal as written, but the
// matrix they factorize (and measure) has a real diagonal.
TEST(HermitianNorm, CountsOnlyTheRealPartOfTheDiagonal) {
  ComplexMatrix packed(2, 2, MatrixType::ComplexHermitian);
  ComplexMatrix band(2, 2, MatrixType::ComplexHermitianBand, 1, 1);
  for (ComplexMatrix* a : {&packed, &band}) {
    a->set_Item(0, 0, Complex(3, 4));
    a->set_Item(0, 1, Complex(0, 1));
    a->set_Item(1, 1, Complex(-2, 0));
    EXPECT_EQ(MatrixNorm::Compute(*a, NormType::One), 4.0);
    EXPECT_EQ(MatrixNorm::Compute(*a, NormType::MaxAbs), 3.0);
  }
}

}  // namespace

// ---- the 1-norm the factorizations record ----


namespace {

using namespace OrvaneNet::detail;

// Each storage's recorded 1-norm against LAPACK's norm routine for it (the
// kind's own Norm), with entries near 1, near 1e200 and near 1e-200 (where
// a complex square leaves the double range and the sum is taken again).
template <class Kind>
class RecordedNorm : public ::testing::Test {};
using RecordedKinds =
    ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix, DoubleGeneralBandMatrix, ComplexGeneralBandMatrix,
                     DoubleGeneralTridiagonalMatrix, ComplexGeneralTridiagonalMatrix, DoubleSymmetricMatrix,
                     ComplexHermitianMatrix, DoubleSymmetricBandMatrix, ComplexHermitianBandMatrix,
                     DoubleSymmetricTridiagonalMatrix, ComplexHermitianTridiagonalMatrix>;
TYPED_TEST_SUITE(RecordedNorm, RecordedKinds);

constexpr bool GeneralBand(MatrixType t) {
  return t == MatrixType::DoubleGeneralBand || t == MatrixType::ComplexGeneralBand;
}
constexpr bool SymmetricBand(MatrixType t) {
  return t == MatrixType::DoubleSymmetricBand || t == MatrixType::ComplexHermitianBand;
}

// Order n; the band kinds with kl = 2, ku = 3 (general) or kd = 3.
template <class Kind>
Kind MakeKind(int n) {
  if constexpr (GeneralBand(Kind::kType)) {
    return Kind(n, n, 2, 3);
  } else if constexpr (SymmetricBand(Kind::kType)) {
    return Kind(n, n, 3, 3);
  } else {
    return Kind(n, n);
  }
}

template <class Kind>
bool Fits(int i, int j) {
  if constexpr (GeneralBand(Kind::kType)) return j - i <= 3 && i - j <= 2;
  if constexpr (SymmetricBand(Kind::kType)) return std::abs(i - j) <= 3;
  if constexpr (static_cast<int>(Kind::kType) % 3 == 2) return std::abs(i - j) <= 1;  // tridiagonal
  return true;
}

template <class Kind>
double Recorded(Kind& a) {
  const int n = a.get_RowNum();
  if constexpr (Kind::kType == MatrixType::DoubleGeneral || Kind::kType == MatrixType::ComplexGeneral) {
    return OneNormDense(a.View().data(), n, a.get_ColNum(), a.View().ld());
  } else if constexpr (GeneralBand(Kind::kType)) {
    return OneNormGeneralBand(StorageAccess::Band(a).data(), n, 2, 3, 2 * 2 + 3 + 1);
  } else if constexpr (SymmetricBand(Kind::kType)) {
    return OneNormSymmetricBand(StorageAccess::Band(a).data(), n, 3, 4);
  } else if constexpr (Kind::kType == MatrixType::DoubleSymmetric || Kind::kType == MatrixType::ComplexHermitian) {
    return OneNormPacked(StorageAccess::Packed(a).data(), n);
  } else if constexpr (Kind::kType == MatrixType::DoubleGeneralTridiagonal ||
                       Kind::kType == MatrixType::ComplexGeneralTridiagonal) {
    const auto [dl, d, du] = StorageAccess::Diagonals(a);
    return OneNormTridiagonal(dl.data(), d.data(), du.data(), n);
  } else {
    const auto [d, e] = StorageAccess::Diagonals(a);
    return OneNormHermitianTridiagonal(d.data(), e.data(), n);
  }
}

TYPED_TEST(RecordedNorm, MatchesLapacksNorm) {
  using E = typename TypeParam::Element;
  const bool hermitian = static_cast<int>(TypeParam::kType) % 6 >= 3;
  std::mt19937 rng(11);
  for (double scale : {1.0, 1e200, 1e-200}) {
    for (int n : {0, 1, 2, 3, 4, 7, 16}) {
      TypeParam a = MakeKind<TypeParam>(n);
      for (int i = 0; i < n; ++i)
        for (int j = hermitian ? i : 0; j < n; ++j) {
          if (!Fits<TypeParam>(i, j)) continue;
          const auto v = orvane_test::RandomValue<E>(rng) * E(scale);
          a.set_Item(i, j, i == j && hermitian ? E(orvane_test::Abs(v)) : v);
        }
      const double lapack = a.Norm(NormType::One);
      EXPECT_NEAR(Recorded(a), lapack, 4 * n * orvane_test::Eps() * lapack) << "n=" << n << " scale " << scale;
    }
  }
}

}  // namespace
