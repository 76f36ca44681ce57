// Compiled with -fno-math-errno (CMakeLists.txt): sqrt of a sum of squares
// can set no errno, and without the flag the compiler keeps a scalar call
// per element for it.
#include "kinds/OneNorm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace OrvaneNet::detail {
namespace {

using Cplx = std::complex<double>;

// |v| without scaling: exact enough unless re^2 + im^2 leaves the double range.
struct FastAbs {
  double operator()(double v) const { return std::fabs(v); }
  double operator()(Cplx v) const { return std::sqrt(v.real() * v.real() + v.imag() * v.imag()); }
};
struct SafeAbs {
  double operator()(double v) const { return std::fabs(v); }
  double operator()(Cplx v) const { return std::abs(v); }
};

// The larger of r and s, or NaN when s is NaN.
double MaxOrNan(double r, double s) { return (s > r || std::isnan(s)) ? s : r; }

// sum |x[i * stride]|, i < count, in four independent partial sums.
template <class T, class Abs>
double AbsSum(const T* x, std::int64_t count, Abs abs, std::int64_t stride = 1) {
  double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  std::int64_t i = 0;
  for (; i + 4 <= count; i += 4) {
    s0 += abs(x[i * stride]);
    s1 += abs(x[(i + 1) * stride]);
    s2 += abs(x[(i + 2) * stride]);
    s3 += abs(x[(i + 3) * stride]);
  }
  for (; i < count; ++i) s0 += abs(x[i * stride]);
  return (s0 + s1) + (s2 + s3);
}

// sum |x[i]|, adding each |x[i]| to rows[i] as well: the column of an upper
// triangle whose mirror is a row. Two loops, so that each vectorizes.
template <class T, class Abs>
double AbsSumIntoRows(const T* x, std::int64_t count, double* rows, Abs abs) {
  for (std::int64_t i = 0; i < count; ++i) rows[i] += abs(x[i]);
  return AbsSum(x, count, abs);
}

double DiagonalAbs(double v) { return std::fabs(v); }
double DiagonalAbs(Cplx v) { return std::fabs(v.real()); }

// Runs norm(FastAbs) and, for complex data whose result shows a square may
// have overflowed or underflowed, norm(SafeAbs) instead.
template <class T, class Norm>
double Checked(Norm norm) {
  const double fast = norm(FastAbs{});
  if constexpr (std::is_same_v<T, double>) {
    return fast;
  } else {
    const bool inRange = fast >= 0x1p-400 && fast <= 0x1p400;
    return inRange || std::isnan(fast) ? fast : norm(SafeAbs{});
  }
}

template <class T>
double DenseImpl(const T* a, int m, int n, int lda) {
  if (m == 0 || n == 0) return 0.0;  // a may be null
  return Checked<T>([&](auto abs) {
    double r = 0;
    for (int j = 0; j < n; ++j) r = MaxOrNan(r, AbsSum(a + static_cast<std::int64_t>(j) * lda, m, abs));
    return r;
  });
}

template <class T>
double GeneralBandImpl(const T* ab, int n, int kl, int ku, int ldab) {
  return Checked<T>([&](auto abs) {
    double r = 0;
    for (int j = 0; j < n; ++j) {
      const int first = std::max(0, j - ku), last = std::min(n - 1, j + kl);
      const T* column = ab + static_cast<std::int64_t>(ldab) * j + kl + ku - j;
      r = MaxOrNan(r, AbsSum(column + first, last - first + 1, abs));
    }
    return r;
  });
}

// Column j's sum is its stored part down to the diagonal plus the stored
// part of row j right of it (the mirror of the column below the diagonal),
// read with stride ldab - 1: no pass over a sums array, whose updates from
// successive columns would wait on each other.
template <class T>
double SymmetricBandImpl(const T* ab, int n, int kd, int ldab) {
  return Checked<T>([&](auto abs) {
    double r = 0;
    for (int j = 0; j < n; ++j) {
      const int first = std::max(0, j - kd), last = std::min(n - 1, j + kd);
      const T* column = ab + static_cast<std::int64_t>(ldab) * j + kd - j;
      // (j, j + 1) is the first entry of row j right of the diagonal.
      const double right =
          last == j ? 0.0 : AbsSum(column + (static_cast<std::int64_t>(ldab) + j - 1), last - j, abs, ldab - 1);
      r = MaxOrNan(r, AbsSum(column + first, j - first, abs) + DiagonalAbs(column[j]) + right);
    }
    return r;
  });
}

// Long columns: each column's sum, its entries added to the sums of the
// rows above as well (their mirrors), in loops that vectorize.
template <class T>
double PackedImpl(const T* ap, int n) {
  return Checked<T>([&](auto abs) {
    std::vector<double> sums(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
      const T* column = ap + static_cast<std::int64_t>(j) * (j + 1) / 2;
      sums[j] += AbsSumIntoRows(column, j, sums.data(), abs) + DiagonalAbs(column[j]);
    }
    double r = 0;
    for (double s : sums) r = MaxOrNan(r, s);
    return r;
  });
}

// The largest column sum of a tridiagonal matrix of order n >= 2: first
// (column 0), middle(j) for 0 < j < n - 1, last (column n - 1). The middle
// maximum is taken without a NaN test, so that it vectorizes; a NaN shows in
// the running total instead.
template <class Middle>
double ThreeDiagonalMax(int n, double first, Middle middle, double last) {
  double r = 0, total = first + last;
  for (int j = 1; j + 1 < n; ++j) {
    const double s = middle(j);
    r = s > r ? s : r;
    total += s;
  }
  return std::isnan(total) ? total : MaxOrNan(MaxOrNan(r, first), last);
}

template <class T>
double TridiagonalImpl(const T* dl, const T* d, const T* du, int n) {
  if (n <= 1) return n == 0 ? 0.0 : SafeAbs{}(d[0]);
  return Checked<T>([&](auto abs) {
    return ThreeDiagonalMax(
        n, abs(d[0]) + abs(dl[0]), [&](int j) { return abs(du[j - 1]) + abs(d[j]) + abs(dl[j]); },
        abs(du[n - 2]) + abs(d[n - 1]));
  });
}

template <class T>
double HermitianTridiagonalImpl(const double* d, const T* e, int n) {
  if (n <= 1) return n == 0 ? 0.0 : std::fabs(d[0]);
  return Checked<T>([&](auto abs) {
    return ThreeDiagonalMax(
        n, std::fabs(d[0]) + abs(e[0]), [&](int j) { return abs(e[j - 1]) + std::fabs(d[j]) + abs(e[j]); },
        abs(e[n - 2]) + std::fabs(d[n - 1]));
  });
}

}  // namespace

double OneNormDense(const double* a, int m, int n, int lda) { return DenseImpl(a, m, n, lda); }
double OneNormDense(const Cplx* a, int m, int n, int lda) { return DenseImpl(a, m, n, lda); }

double OneNormGeneralBand(const double* ab, int n, int kl, int ku, int ldab) {
  return GeneralBandImpl(ab, n, kl, ku, ldab);
}
double OneNormGeneralBand(const Cplx* ab, int n, int kl, int ku, int ldab) {
  return GeneralBandImpl(ab, n, kl, ku, ldab);
}

double OneNormSymmetricBand(const double* ab, int n, int kd, int ldab) {
  return SymmetricBandImpl(ab, n, kd, ldab);
}
double OneNormSymmetricBand(const Cplx* ab, int n, int kd, int ldab) {
  return SymmetricBandImpl(ab, n, kd, ldab);
}

double OneNormPacked(const double* ap, int n) { return PackedImpl(ap, n); }
double OneNormPacked(const Cplx* ap, int n) { return PackedImpl(ap, n); }

double OneNormTridiagonal(const double* dl, const double* d, const double* du, int n) {
  return TridiagonalImpl(dl, d, du, n);
}
double OneNormTridiagonal(const Cplx* dl, const Cplx* d, const Cplx* du, int n) {
  return TridiagonalImpl(dl, d, du, n);
}

double OneNormHermitianTridiagonal(const double* d, const double* e, int n) {
  return HermitianTridiagonalImpl(d, e, n);
}
double OneNormHermitianTridiagonal(const double* d, const Cplx* e, int n) {
  return HermitianTridiagonalImpl(d, e, n);
}

}  // namespace OrvaneNet::detail
