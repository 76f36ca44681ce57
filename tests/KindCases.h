// The twelve kinds as typed-test parameters, made through the public
// handles: what each accepts (pattern, symmetry) and random values that fit
// it, for the tests of data in and out and of element-wise arithmetic.
#pragma once

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Layout.h>
#include <OrvaneNet/Matrix.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include "TestUtil.h"

namespace orvane_test {

// KL < 0: no pattern (dense or packed); otherwise KL sub- and KU
// superdiagonals. Symmetric: symmetric (real) or Hermitian (complex).
template <class H, OrvaneNet::MatrixType T, int KL, int KU, bool Symmetric>
struct KindCase {
  using Handle = H;
  using Element = ElementOf<H>;
  static constexpr OrvaneNet::MatrixType kType = T;
  static constexpr bool kSymmetric = Symmetric;
  static constexpr bool kComplex = !std::is_same_v<H, OrvaneNet::Matrix>;
  static constexpr bool kBanded = KL >= 0;

  static bool InPattern(int i, int j) { return KL < 0 || (i - j <= KL && j - i <= KU); }

  static H Make(int n) {
    using MT = OrvaneNet::MatrixType;
    switch (static_cast<int>(T) % 6) {
      case static_cast<int>(MT::DoubleGeneralBand):
        return H(n, n, KL, KU);
      case static_cast<int>(MT::DoubleGeneralTridiagonal):
        return H(n, n, 3);
      case static_cast<int>(MT::DoubleSymmetricBand):
        return H(n, n, T, KL, KU);
      default:
        return H(n, n, T);
    }
  }
};

using MT = OrvaneNet::MatrixType;
using OrvaneNet::ComplexMatrix;
using OrvaneNet::Matrix;

using RealGeneral = KindCase<Matrix, MT::DoubleGeneral, -1, -1, false>;
using RealBand = KindCase<Matrix, MT::DoubleGeneralBand, 2, 1, false>;
using RealTridiagonal = KindCase<Matrix, MT::DoubleGeneralTridiagonal, 1, 1, false>;
using RealSymmetric = KindCase<Matrix, MT::DoubleSymmetric, -1, -1, true>;
using RealSymmetricBand = KindCase<Matrix, MT::DoubleSymmetricBand, 2, 2, true>;
using RealSymmetricTridiagonal = KindCase<Matrix, MT::DoubleSymmetricTridiagonal, 1, 1, true>;
using ComplexGeneral = KindCase<ComplexMatrix, MT::ComplexGeneral, -1, -1, false>;
using ComplexBand = KindCase<ComplexMatrix, MT::ComplexGeneralBand, 2, 1, false>;
using ComplexTridiagonal = KindCase<ComplexMatrix, MT::ComplexGeneralTridiagonal, 1, 1, false>;
using ComplexHermitian = KindCase<ComplexMatrix, MT::ComplexHermitian, -1, -1, true>;
using ComplexHermitianBand = KindCase<ComplexMatrix, MT::ComplexHermitianBand, 2, 2, true>;
using ComplexHermitianTridiagonal =
    KindCase<ComplexMatrix, MT::ComplexHermitianTridiagonal, 1, 1, true>;

using AllKinds =
    ::testing::Types<RealGeneral, RealBand, RealTridiagonal, RealSymmetric, RealSymmetricBand,
                     RealSymmetricTridiagonal, ComplexGeneral, ComplexBand, ComplexTridiagonal,
                     ComplexHermitian, ComplexHermitianBand, ComplexHermitianTridiagonal>;

// An n x n matrix the kind holds exactly, as a row-major array: random
// entries in the pattern, zero outside, mirrored (conjugated) for the
// symmetric kinds with a real diagonal; `shift` added to the diagonal makes
// it diagonally dominant (positive definite for the symmetric kinds).
template <class K>
std::vector<typename K::Element> KindValues(int n, std::mt19937& rng, double shift = 0.0) {
  using E = typename K::Element;
  std::vector<E> a(static_cast<std::size_t>(n) * n);
  auto at = [&](int i, int j) -> E& { return a[static_cast<std::size_t>(i) * n + j]; };
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (!K::InPattern(i, j) || (K::kSymmetric && i > j)) continue;
      // Real and positive on the diagonal.
      const E v = i == j ? E(shift + Abs(RandomValue<E>(rng))) : RandomValue<E>(rng);
      at(i, j) = v;
      if (K::kSymmetric && i != j) at(j, i) = Conj(v);
    }
  }
  return a;
}

inline double RealPart(double v) { return v; }
inline double RealPart(OrvaneNet::Complex v) { return v.get_Real(); }

// Bits compared, except that any NaN matches any NaN.
inline bool SameBits(double x, double y) {
  if (x != x) return y != y;
  return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
}
inline bool SameBits(OrvaneNet::Complex x, OrvaneNet::Complex y) {
  return SameBits(x.get_Real(), y.get_Real()) && SameBits(x.get_Imag(), y.get_Imag());
}

// A(i, j) of a row-major or column-major array of an m x n matrix.
template <class E>
const E& At(const std::vector<E>& a, int i, int j, int m, int n, OrvaneNet::Layout layout) {
  return a[layout == OrvaneNet::Layout::RowMajor ? static_cast<std::size_t>(i) * n + j
                                                 : i + static_cast<std::size_t>(j) * m];
}

// The same matrix in the other layout.
template <class E>
std::vector<E> Relaid(const std::vector<E>& a, int m, int n, OrvaneNet::Layout from) {
  const OrvaneNet::Layout to = from == OrvaneNet::Layout::RowMajor ? OrvaneNet::Layout::ColumnMajor
                                                                   : OrvaneNet::Layout::RowMajor;
  std::vector<E> out(a.size());
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j)
      out[to == OrvaneNet::Layout::RowMajor ? static_cast<std::size_t>(i) * n + j
                                            : i + static_cast<std::size_t>(j) * m] = At(a, i, j, m, n, from);
  return out;
}

}  // namespace orvane_test
