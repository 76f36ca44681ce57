// The pieces every storage template's SetValues and GetValues are made of:
// element conversions, zero fills and checks, the cache-blocked transposing
// copy, and the symmetric / Hermitian input check. Each kind copies straight
// between the caller's flat array and its own storage with these; none goes
// through a dense intermediate or a per-element virtual call.
//
// The caller's array of an m x n matrix is seen column by column as its
// "image" M': for ColumnMajor M' = A (m x n), for RowMajor M' = A^T (n x m),
// both column-major. A line of the image is one column of M' (a column of A,
// or a row of A) and is contiguous in the array.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/Layout.h"

namespace OrvaneNet::detail {

// Tiles of the blocked loops: two 32 x 32 tiles of complex numbers (32 KB)
// stay in the first-level cache.
inline constexpr int kCopyTile = 32;

// The public element T (double, Complex or std::complex<double>) of a stored
// value, and back; bit for bit, as get_Item and set_Item convert.
template <class T>
T ElementFrom(double v) noexcept {
  return v;
}
template <class T>
T ElementFrom(const std::complex<double>& v) noexcept {
  return T(v);
}
inline double StorageFrom(double v) noexcept { return v; }
inline std::complex<double> StorageFrom(Complex v) noexcept { return v.ToStdComplex(); }
inline std::complex<double> StorageFrom(const std::complex<double>& v) noexcept { return v; }

inline double ConjOf(double v) noexcept { return v; }
inline Complex ConjOf(Complex v) noexcept { return {v.get_Real(), -v.get_Imag()}; }
inline std::complex<double> ConjOf(const std::complex<double>& v) noexcept { return std::conj(v); }

inline double RealOf(double v) noexcept { return v; }
inline double RealOf(Complex v) noexcept { return v.get_Real(); }
inline double RealOf(const std::complex<double>& v) noexcept { return v.real(); }
inline double ImagOf(double) noexcept { return 0.0; }
inline double ImagOf(Complex v) noexcept { return v.get_Imag(); }
inline double ImagOf(const std::complex<double>& v) noexcept { return v.imag(); }

// Zero of either sign in every part; NaN is not zero.
template <class T>
bool IsZero(const T& v) noexcept {
  return RealOf(v) == 0.0 && ImagOf(v) == 0.0;
}

inline bool IsRowMajor(Layout layout) noexcept { return layout == Layout::RowMajor; }

// Offset of A(i, j) in the caller's array of a rows x cols matrix.
inline std::int64_t FlatIndex(int i, int j, int rows, int cols, bool rowMajor) noexcept {
  return rowMajor ? static_cast<std::int64_t>(i) * cols + j : i + static_cast<std::int64_t>(j) * rows;
}

template <class T>
void FillZero(T* p, std::int64_t count) noexcept {
  std::fill(p, p + std::max<std::int64_t>(count, 0), T{});
}

template <class T>
bool AllZero(const T* p, std::int64_t count) noexcept {
  bool nonzero = false;
  for (std::int64_t k = 0; k < count; ++k) nonzero |= !IsZero(p[k]);
  return !nonzero;
}

// dst[k] = convert(src[k]) for count elements.
template <class T, class S>
void CopyConverted(const S* src, std::int64_t count, T* dst) noexcept {
  if constexpr (std::is_same_v<T, S>) {
    std::copy(src, src + std::max<std::int64_t>(count, 0), dst);
  } else if constexpr (std::is_same_v<S, double> || std::is_same_v<T, double>) {
    for (std::int64_t k = 0; k < count; ++k) dst[k] = src[k];
  } else if constexpr (std::is_same_v<S, std::complex<double>>) {
    for (std::int64_t k = 0; k < count; ++k) dst[k] = ElementFrom<T>(src[k]);
  } else {
    for (std::int64_t k = 0; k < count; ++k) dst[k] = StorageFrom(src[k]);
  }
}

template <class T, class S>
T Converted(const S& v) noexcept {
  if constexpr (std::is_same_v<T, S>) {
    return v;
  } else if constexpr (std::is_same_v<T, std::complex<double>>) {
    return StorageFrom(v);
  } else {
    return ElementFrom<T>(v);
  }
}

// The transposing copy, tile by tile: src is column-major rows x cols
// (element (i, j) at src[i + j * rows]), dst receives its transpose,
// column-major cols x rows (dst[j + i * cols] = src(i, j)).
template <class T, class S>
void TransposeConverted(const S* src, int rows, int cols, T* dst) noexcept {
  for (int ib = 0; ib < rows; ib += kCopyTile) {
    const int ie = std::min(rows, ib + kCopyTile);
    for (int jb = 0; jb < cols; jb += kCopyTile) {
      const int je = std::min(cols, jb + kCopyTile);
      for (int i = ib; i < ie; ++i) {
        T* out = dst + static_cast<std::int64_t>(i) * cols;
        const S* in = src + i;
        for (int j = jb; j < je; ++j) out[j] = Converted<T>(in[static_cast<std::int64_t>(j) * rows]);
      }
    }
  }
}

// Fills the strict lower triangle of the n x n column-major a with the
// mirrors (conjugates) of the strict upper one, tile by tile.
template <class T>
void MirrorUpperToLower(T* a, int n) noexcept {
  const std::int64_t ld = n;
  for (int jb = 0; jb < n; jb += kCopyTile) {
    const int je = std::min(n, jb + kCopyTile);
    for (int ib = jb; ib < n; ib += kCopyTile) {
      const int ie = std::min(n, ib + kCopyTile);
      for (int j = jb; j < je; ++j) {
        T* column = a + j * ld;
        for (int i = std::max(ib, j + 1); i < ie; ++i) column[i] = ConjOf(a[j + i * ld]);
      }
    }
  }
}

// The caller's n x n array of a tridiagonal matrix: zero but for
// diagonal(i), upper(i) at (i, i + 1) and lower(i) at (i + 1, i).
template <class T, class Diagonal, class Upper, class Lower>
void ReadTridiagonal(T* out, int n, bool rowMajor, Diagonal diagonal, Upper upper, Lower lower) {
  FillZero(out, static_cast<std::int64_t>(n) * n);
  for (int i = 0; i < n; ++i) {
    out[FlatIndex(i, i, n, n, rowMajor)] = ElementFrom<T>(diagonal(i));
    if (i + 1 == n) break;
    out[FlatIndex(i, i + 1, n, n, rowMajor)] = ElementFrom<T>(upper(i));
    out[FlatIndex(i + 1, i, n, n, rowMajor)] = ElementFrom<T>(lower(i));
  }
}

// Raises the size message of SetValues, GetValues or FromValues unless count
// equals rows * cols.
void RequireValueCount(const char* operation, std::size_t count, int rows, int cols);

// ---- Symmetric and Hermitian input ----

// What a symmetric or Hermitian kind accepts: pairs (i, j), (j, i) inside the
// band that agree to within 100 eps max|a| (Hermitian: a(j, i) against
// conj(a(i, j)), and diagonal imaginary parts as small), exact zeros outside
// the band. max|a| is the largest magnitude among the finite elements; a
// non-finite element must be matched exactly (NaN by NaN). k is the band's
// half-width (n - 1 for the packed kinds); `kind` names the kind in the
// out-of-band message ("symmetric band matrix with 2 off-diagonals on each
// side").
struct SymmetricRule {
  int n;
  int k;
  bool hermitian;
  std::string kind;
};

// 100 eps max|a|, eps = 2^-52.
inline double SymmetryTolerance(double maxMagnitude) noexcept { return 100.0 * 0x1p-52 * maxMagnitude; }

inline bool SameOrBothNaN(double x, double y) noexcept { return x == y || (x != x && y != y); }

// a(i, j) = x and a(j, i) = y agree by the rule.
inline bool PairAgrees(double x, double y, double tol) noexcept {
  return SameOrBothNaN(x, y) || std::fabs(x - y) <= tol;
}
template <class T>
bool PairAgrees(const T& x, const T& y, double tol) noexcept {
  const double dr = RealOf(x) - RealOf(y), di = ImagOf(x) + ImagOf(y);
  if (SameOrBothNaN(RealOf(x), RealOf(y)) && SameOrBothNaN(ImagOf(x), -ImagOf(y))) return true;
  return std::hypot(dr, di) <= tol;
}

// Scans the input element by element in row-major order and raises the
// refusal for the first element that breaks the rule; returns when none does
// (the quick pass also stops at pairs of equal infinities, which agree).
// Defined in BulkCopy.cpp for each element type.
template <class T>
void RaiseFirstSymmetricFault(const T* in, bool rowMajor, const SymmetricRule& rule, double tol);

// What one pass over a symmetric input gathers: max|a| over the finite
// elements, the largest pair difference |a(i, j) - conj(a(j, i))|, the
// largest diagonal imaginary part, and whether anything is non-finite in a
// pair or nonzero outside the band (for the exact scan to judge).
struct SymmetryScan {
  double maxAbs = 0.0;
  double maxDiff = 0.0;
  double maxDiagImag = 0.0;
  bool suspect = false;

  static constexpr double kMax = 1.7976931348623157e308;

  void Magnitude(double v) noexcept {
    const double a = std::fabs(v);
    maxAbs = std::max(maxAbs, a <= kMax ? a : 0.0);
  }
  template <class T>
  void Magnitude(const T& v) noexcept {
    // |v|^2 first; the rare overflowing or tiny values get hypot.
    const double re = RealOf(v), im = ImagOf(v);
    const double sq = re * re + im * im;
    if (sq <= kMax && sq >= 0x1p-900) {
      maxAbs = std::max(maxAbs, std::sqrt(sq));
    } else if (std::isfinite(re) && std::isfinite(im)) {
      maxAbs = std::max(maxAbs, std::hypot(re, im));
    }
  }
  // x = a(i, j), y = a(j, i) (either way round: the rule is symmetric).
  void Pair(double x, double y) noexcept {
    Magnitude(x);
    Magnitude(y);
    const double d = std::fabs(x - y);
    suspect |= !(d <= kMax);  // inf - inf, NaN: the exact scan decides
    maxDiff = std::max(maxDiff, d <= kMax ? d : 0.0);
  }
  // Complex: max(|dr|, |di|) sqrt(2) bounds |dr + i di| from above without
  // hypot's cost; a bound over the tolerance sends the input to the exact
  // scan, which decides with the true modulus.
  template <class T>
  void Pair(const T& x, const T& y) noexcept {
    Magnitude(x);
    Magnitude(y);
    const double dr = RealOf(x) - RealOf(y), di = ImagOf(x) + ImagOf(y);
    const double d = std::max(std::fabs(dr), std::fabs(di)) * 1.4142135623730951;
    suspect |= !(d <= kMax);
    maxDiff = std::max(maxDiff, d <= kMax ? d : 0.0);
  }
  // count pairs x[c] = a(i, j), y[c] = a(j, i). Real pairs in one tight
  // loop: a finite difference means both elements are finite, so the line
  // needs no per-element tests unless one difference is not finite (then
  // it is taken again pair by pair).
  void Pairs(const double* x, const double* y, int count) noexcept {
    double mx = 0.0, md = 0.0;
    bool nonFinite = false;
    for (int c = 0; c < count; ++c) {
      const double d = std::fabs(x[c] - y[c]);
      nonFinite |= !(d <= kMax);
      md = std::max(md, d);
      mx = std::max(mx, std::max(std::fabs(x[c]), std::fabs(y[c])));
    }
    if (nonFinite) {
      for (int c = 0; c < count; ++c) Pair(x[c], y[c]);
      return;
    }
    maxAbs = std::max(maxAbs, mx);
    maxDiff = std::max(maxDiff, md);
  }
  template <class T>
  void Pairs(const T* x, const T* y, int count) noexcept {
    for (int c = 0; c < count; ++c) Pair(x[c], y[c]);
  }
  template <class T>
  void Diagonal(const T& v, bool hermitian) noexcept {
    Magnitude(v);
    if (!hermitian) return;
    const double im = std::fabs(ImagOf(v));
    suspect |= !(im <= kMax);
    maxDiagImag = std::max(maxDiagImag, im <= kMax ? im : 0.0);
  }
  template <class T>
  void Zero(const T* p, std::int64_t count) noexcept {
    suspect |= !AllZero(p, count);
  }
};

// A narrow band, line by line through the image: zeros outside the band,
// and each pair within it met once, from the line of its column-side
// element (the mirror lies in one of the next k lines, still cached).
template <class T>
void ScanBandLines(const T* in, const SymmetricRule& rule, SymmetryScan& scan) {
  const int n = rule.n, k = rule.k;
  const std::int64_t ld = n;
  for (int L = 0; L < n; ++L) {
    const T* line = in + L * ld;
    const int lo = std::max(0, L - k), hi = std::min(n - 1, L + k);
    scan.Zero(line, lo);
    scan.Zero(line + hi + 1, n - hi - 1);
    scan.Diagonal(line[L], rule.hermitian);
    for (int p = L + 1; p <= hi; ++p) scan.Pair(line[p], in[L + p * ld]);
  }
}

// A wide band or the full triangle, tile pair by tile pair. An off-diagonal
// tile wholly inside the band has its mirror tile copied transposed into a
// cached buffer first, so that both sides of every pair are then read line
// by line; the diagonal tiles and those across the band's edge go element
// by element.
template <class T>
void ScanTiles(const T* in, const SymmetricRule& rule, SymmetryScan& scan) {
  const int n = rule.n, k = rule.k;
  const std::int64_t ld = n;
  std::vector<T> mirror(static_cast<std::size_t>(kCopyTile) * kCopyTile);
  for (int jb = 0; jb < n; jb += kCopyTile) {
    const int je = std::min(n, jb + kCopyTile);
    for (int ib = 0; ib <= jb; ib += kCopyTile) {
      const int ie = std::min(n, ib + kCopyTile);
      if (jb - (ie - 1) > k) {
        // Both tiles lie wholly outside the band.
        for (int j = jb; j < je; ++j) scan.Zero(in + ib + j * ld, ie - ib);
        for (int i = ib; i < ie; ++i) scan.Zero(in + jb + i * ld, je - jb);
        continue;
      }
      if (ib != jb && (je - 1) - ib <= k) {
        T* buffer = mirror.data();
        for (int i = ib; i < ie; ++i) {
          const T* row = in + jb + i * ld;  // image(j, i) for j = jb..je-1
          for (int j = 0; j < je - jb; ++j) buffer[j * kCopyTile + (i - ib)] = row[j];
        }
        for (int j = jb; j < je; ++j) scan.Pairs(in + ib + j * ld, buffer + (j - jb) * kCopyTile, ie - ib);
        continue;
      }
      for (int j = jb; j < je; ++j) {
        const T* x = in + j * ld;  // x[i] = image(i, j); image(j, i) = in[j + i ld]
        for (int i = ib; i < (ib == jb ? j : ie); ++i) {
          if (j - i > k) {
            scan.Zero(x + i, 1);
            scan.Zero(in + j + i * ld, 1);
          } else {
            scan.Pair(x[i], in[j + i * ld]);
          }
        }
        if (ib == jb) scan.Diagonal(x[j], rule.hermitian);
      }
    }
  }
}

// Checks the n x n input by the rule; raises OrvaneException or returns.
// One pass over the whole input gathers what SymmetryScan holds; only when
// that finds a candidate fault does the exact element-by-element scan in
// row-major order run (it raises for the first real fault, and returns when
// the candidates were pairs of equal infinities or NaNs).
template <class T>
void CheckSymmetricInput(const T* in, bool rowMajor, const SymmetricRule& rule) {
  SymmetryScan scan;
  if (rule.k < kCopyTile) {
    ScanBandLines(in, rule, scan);
  } else {
    ScanTiles(in, rule, scan);
  }
  const double tol = SymmetryTolerance(scan.maxAbs);
  if (scan.suspect || scan.maxDiff > tol || scan.maxDiagImag > tol) {
    RaiseFirstSymmetricFault(in, rowMajor, rule, tol);
  }
}

}  // namespace OrvaneNet::detail
