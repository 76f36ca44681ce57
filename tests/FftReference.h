// The transform written out loop by loop, one butterfly at a time, exactly in
// the order of the published algorithm: the yardstick that the library's
// vectorized, pass-fused transform must match bit for bit.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "OrvaneNet/Complex.h"

namespace fft_reference {

using Index = std::int64_t;

inline constexpr double kHalfPi = 1.5707963267948966;
inline const double kWr5000 = std::cos(kHalfPi * 0.5);

struct Twiddles {
  double w1r, w1i, w2r, w2i, w3r, w3i;  // (w1, w2, w3)
  double t1r, t1i, t3r, t3i;            // the turned w1', w3'
};

// The bit-reversed counter: kr ^= i, while i > kr { i /= 2; kr ^= i; }, i
// starting at the value of its top bit.
inline void AdvanceReversed(Index i, Index& kr) {
  kr ^= i;
  while (i > kr) {
    i >>= 1;
    kr ^= i;
  }
}

// t = w1i 2.0, w2r = 1.0 - t w1i, ... as the published algorithm has them.
inline Twiddles MakeTwiddles(Index kr, Index n) {
  const double theta = static_cast<double>(kr) * (kHalfPi / static_cast<double>(n));
  const double w1r = std::cos(theta), w1i = std::sin(theta);
  const double w2r = 1.0 - w1i * 2.0 * w1i, w2i = w1i * 2.0 * w1r;
  const double t1r = (w1r - w1i) * kWr5000, t1i = (w1i + w1r) * kWr5000;
  return {w1r, w1i, w2r, w2i, w1r - w2i * 2.0 * w1i, w2i * 2.0 * w1r - w1i,
          t1r, t1i, t1r - w2r * 2.0 * t1i, w2r * 2.0 * t1r - t1i};
}

enum class Kind { Plain, EighthTurn, Twiddled, TwiddledTurned };

inline void Butterfly(double* a, Index j, Index l, Kind kind, const Twiddles& w) {
  const Index j1 = j + l, j2 = j1 + l, j3 = j2 + l;
  const double x0r = a[j] + a[j1], x0i = a[j + 1] + a[j1 + 1];
  const double x1r = a[j] - a[j1], x1i = a[j + 1] - a[j1 + 1];
  const double x2r = a[j2] + a[j3], x2i = a[j2 + 1] + a[j3 + 1];
  const double x3r = a[j2] - a[j3], x3i = a[j2 + 1] - a[j3 + 1];
  a[j] = x0r + x2r;
  a[j + 1] = x0i + x2i;
  const double dr = x0r - x2r, di = x0i - x2i;
  const double yr = x1r - x3i, yi = x1i + x3r;
  const double zr = x1r + x3i, zi = x1i - x3r;
  const double c = kWr5000;
  switch (kind) {
    case Kind::Plain:
      a[j2] = dr, a[j2 + 1] = di;
      a[j1] = yr, a[j1 + 1] = yi;
      a[j3] = zr, a[j3 + 1] = zi;
      break;
    case Kind::EighthTurn: {
      a[j2] = x2i - x0i, a[j2 + 1] = x0r - x2r;
      a[j1] = c * (yr - yi), a[j1 + 1] = c * (yi + yr);
      const double u = x3r - x1i, v = x3i + x1r;
      a[j3] = c * (u - v), a[j3 + 1] = c * (u + v);
      break;
    }
    case Kind::Twiddled:
      a[j2] = w.w2r * dr - w.w2i * di, a[j2 + 1] = w.w2r * di + w.w2i * dr;
      a[j1] = w.w1r * yr - w.w1i * yi, a[j1 + 1] = w.w1r * yi + w.w1i * yr;
      a[j3] = w.w3r * zr - w.w3i * zi, a[j3 + 1] = w.w3r * zi + w.w3i * zr;
      break;
    case Kind::TwiddledTurned:
      a[j2] = -w.w2i * dr - w.w2r * di, a[j2 + 1] = w.w2r * dr - w.w2i * di;
      a[j1] = w.t1r * yr - w.t1i * yi, a[j1 + 1] = w.t1r * yi + w.t1i * yr;
      a[j3] = w.t3r * zr - w.t3i * zi, a[j3 + 1] = w.t3r * zi + w.t3i * zr;
      break;
  }
}

inline void BitReverse(Index n, double* a, bool conjugate) {
  Index k = 0;  // position of the reversed partner of point j/2
  for (Index j = 0; j < n; j += 2) {
    if (j < k) {
      std::swap(a[j], a[k]);
      std::swap(a[j + 1], a[k + 1]);
    }
    if (conjugate) a[j + 1] = -a[j + 1];
    AdvanceReversed(n >> 1, k);
  }
}

inline void Cftmdl(Index n, Index l, double* a) {
  const Index m = 4 * l, m2 = 2 * m;
  const Twiddles none{};
  for (Index j = 0; j < l; j += 2) Butterfly(a, j, l, Kind::Plain, none);
  for (Index j = m; j < m + l; j += 2) Butterfly(a, j, l, Kind::EighthTurn, none);
  Index kr = 0;
  for (Index k = m2; k < n; k += m2) {
    AdvanceReversed(n >> 2, kr);
    const Twiddles w = MakeTwiddles(kr, n);
    for (Index j = k; j < k + l; j += 2) Butterfly(a, j, l, Kind::Twiddled, w);
    for (Index j = k + m; j < k + m + l; j += 2) Butterfly(a, j, l, Kind::TwiddledTurned, w);
  }
}

// The radix-4 passes but the last (the first of them is the published
// cft1st, which is cftmdl with l = 2).
inline Index FirstPasses(Index n, double* a) {
  Index l = 2;
  while (4 * l < n) {
    Cftmdl(n, l, a);
    l *= 4;
  }
  return l;
}

// The last pass: radix 4 where the earlier passes leave four groups, else
// radix 2. Backward (the published cftbsub) conjugates as it goes: each
// imaginary part negated where it is read or combined.
inline void LastPass(Index n, double* a, bool conjugate) {
  const Index l = FirstPasses(n, a);
  const auto s = [conjugate](double v) { return conjugate ? -v : v; };
  for (Index j = 0; j < l; j += 2) {
    const Index j1 = j + l, j2 = j1 + l, j3 = j2 + l;
    const double x0r = a[j] + a[j1], x0i = s(a[j + 1]) + s(a[j1 + 1]);
    const double x1r = a[j] - a[j1], x1i = s(a[j + 1]) - s(a[j1 + 1]);
    if (4 * l != n) {
      a[j] = x0r, a[j + 1] = x0i;
      a[j1] = x1r, a[j1 + 1] = x1i;
      continue;
    }
    const double x2r = a[j2] + a[j3], x2i = a[j2 + 1] + a[j3 + 1];
    const double x3r = a[j2] - a[j3], x3i = a[j2 + 1] - a[j3 + 1];
    a[j] = x0r + x2r, a[j + 1] = x0i + s(x2i);
    a[j2] = x0r - x2r, a[j2 + 1] = x0i - s(x2i);
    a[j1] = x1r - x3i, a[j1 + 1] = x1i + s(x3r);
    a[j3] = x1r + x3i, a[j3 + 1] = x1i - s(x3r);
  }
}

inline void Cdft(Index n, int isgn, double* a) {
  if (n > 4) BitReverse(n, a, isgn < 0);
  if (n >= 4) LastPass(n, a, n > 4 && isgn < 0);  // two points: the same transform both ways
}

// Forward (isgn 1) or Backward (-1, divided by the length) of dat filled up
// with zeros to a power of two, as FFT has them.
inline std::vector<OrvaneNet::Complex> Compute(const std::vector<OrvaneNet::Complex>& dat,
                                               int isgn) {
  static_assert(sizeof(OrvaneNet::Complex) == 2 * sizeof(double));
  const std::size_t big = std::bit_ceil(dat.size());
  std::vector<double> a(2 * big, 0.0);
  if (!dat.empty()) std::memcpy(a.data(), dat.data(), dat.size() * sizeof(OrvaneNet::Complex));
  Cdft(static_cast<Index>(2 * big), isgn, a.data());
  if (isgn == -1) {
    for (double& v : a) v /= static_cast<double>(big);
  }
  std::vector<OrvaneNet::Complex> out(big);
  std::memcpy(static_cast<void*>(out.data()), a.data(), 2 * big * sizeof(double));
  return out;
}

}  // namespace fft_reference
