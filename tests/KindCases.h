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

// Form as MakeKind numbers it (0 general, 1 band, 2 tridiagonal, 3 to 5 the
// same but symmetric or Hermitian). The general band has 2 sub- and 1
// superdiagonal, the symmetric band 2 on each side.
template <class H, int Form>
struct KindCase {
  using Handle = H;
  using Element = ElementOf<H>;
  static constexpr bool kComplex = !std::is_same_v<H, OrvaneNet::Matrix>;
  static constexpr auto kType = static_cast<OrvaneNet::MatrixType>(Form + (kComplex ? 6 : 0));
  static constexpr bool kSymmetric = Form >= 3;
  static constexpr bool kBanded = Form % 3 != 0;
  static constexpr int kSub = Form % 3 == 1 ? 2 : 1;
  static constexpr int kSuper = Form == 4 ? 2 : 1;

  static bool InPattern(int i, int j) { return !kBanded || (i - j <= kSub && j - i <= kSuper); }
  static H Make(int n) { return MakeKind<H>(Form, n, kSub, kSuper); }
};

using OrvaneNet::ComplexMatrix;
using OrvaneNet::Matrix;
using MT = OrvaneNet::MatrixType;

using AllKinds = ::testing::Types<KindCase<Matrix, 0>, KindCase<Matrix, 1>, KindCase<Matrix, 2>,
                                  KindCase<Matrix, 3>, KindCase<Matrix, 4>, KindCase<Matrix, 5>,
                                  KindCase<ComplexMatrix, 0>, KindCase<ComplexMatrix, 1>,
                                  KindCase<ComplexMatrix, 2>, KindCase<ComplexMatrix, 3>,
                                  KindCase<ComplexMatrix, 4>, KindCase<ComplexMatrix, 5>>;

// An n x n matrix the kind holds exactly, as a row-major array: random
// entries in the pattern, zero outside, mirrored (conjugated) for the
// symmetric kinds with a real diagonal; `shift` added to the diagonal makes
// it diagonally dominant (positive definite for the symmetric kinds).
template <class K>
std::vector<typename K::Element> KindValues(int n, std::mt19937& rng, double shift = 0.0) {
  using E = typename K::Element;
  std::vector<E> a(static_cast<std::size_t>(n) * n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (!K::InPattern(i, j) || (K::kSymmetric && i > j)) continue;
      // Real and positive on the diagonal.
      const E v = i == j ? E(shift + Abs(RandomValue<E>(rng))) : RandomValue<E>(rng);
      a[static_cast<std::size_t>(i) * n + j] = v;
      if (K::kSymmetric && i != j) a[static_cast<std::size_t>(j) * n + i] = Conj(v);
    }
  }
  return a;
}

// Bits compared, except that any NaN matches any NaN.
inline bool SameBits(double x, double y) {
  if (x != x) return y != y;
  return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
}
inline bool SameBits(OrvaneNet::Complex x, OrvaneNet::Complex y) {
  return SameBits(x.get_Real(), y.get_Real()) && SameBits(x.get_Imag(), y.get_Imag());
}

// Where A(i, j) of an m x n matrix sits in an array of the layout.
inline std::size_t Index(int i, int j, int m, int n, OrvaneNet::Layout layout) {
  return layout == OrvaneNet::Layout::RowMajor ? static_cast<std::size_t>(i) * n + j
                                               : i + static_cast<std::size_t>(j) * m;
}

// The row-major array of an m x n matrix, laid out in `layout`.
template <class E>
std::vector<E> InLayout(const std::vector<E>& rowMajor, int m, int n, OrvaneNet::Layout layout) {
  std::vector<E> out(rowMajor.size());
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j)
      out[Index(i, j, m, n, layout)] = rowMajor[Index(i, j, m, n, OrvaneNet::Layout::RowMajor)];
  return out;
}

}  // namespace orvane_test
