// The radix-4 transform, vectorized and cache-blocked, on one array of 2N
// doubles (point p at a[2p], a[2p + 1]). Included only by the per-instruction-
// set files (FftPortable.cpp, FftAvx2.cpp, FftAvx512.cpp), each of which first
// defines two vector types:
//   Vec  - W complex points per register (W = 1, 2 or 4);
//   Vec1 - one complex point per register;
// each with Load, Store, Add, Sub, Mul, Swap (re <-> im per point), Xor
// (sign masks), Blend (real parts of one, imaginary parts of another), Dup
// (x in every slot), Pair (re, im in every point), Zero, DupRe and DupIm
// (a point's real or imaginary part in both its slots), and LoadLanes /
// StoreLanes (one point per lane from W places, eight registers to W blocks).
//
// Every output value is computed by the same floating-point operations, in
// the same order per value, as the plain butterfly-by-butterfly algorithm; the
// speed comes only from doing many independent butterflies at once, from the
// order in which blocks are visited, and from fusing the bit reversal, the
// conjugation and the scaling into the passes. In particular:
//  - a - b and a + (-b) are the same IEEE operation; (-a) * b = -(a * b);
//    the multiplication by 1/N (N a power of two) equals the division by N.
//    But -(a - b) is not b - a, nor -(a + b) the sum (-a) + (-b), when the
//    result is zero (the sign of the zero differs), so every difference is
//    taken in the published order and no conjugation is moved across a sum;
//  - no multiply-add is ever fused (the build uses -ffp-contract=off, and the
//    generated code is checked for FMA instructions).
//
// Everything here has internal linkage: each instruction set gets its own
// copy, so no inline function compiled for AVX-512 can be picked by the
// linker for a caller on another path. For the same reason nothing from the
// C++ standard library is used here.
#pragma once

#include <math.h>
#include <stdint.h>

namespace {

using Index = int64_t;

// The two constants of the algorithm. They cannot be called M_PI_2 and
// WR5000 as in the published algorithm: <math.h> defines M_PI_2 as a macro.
// kHalfPi is pi/2 to double precision; kWr5000 = cos(pi/4) folds at compile
// time (correctly rounded), exactly as cos(kHalfPi * 0.5) computes it.
constexpr double kHalfPi = 1.5707963267948966;
const double kWr5000 = __builtin_cos(kHalfPi * 0.5);

// Points per chunk for the passes that run chunk by chunk (1 MiB, the size
// of a typical L2 cache; measured best among 2^14 .. 2^17), points of the
// column buffer (32 KiB, L1) and the most passes done together over columns.
constexpr Index kChunkPoints = Index{1} << 16;
constexpr Index kColumnPoints = 2048;
constexpr int kMaxColumnPasses = 4;
// The scratch of the column passes (Engine::ScratchDoubles) holds the column
// buffer and this many twiddle sets: a group of q passes has 4^q rows, and
// pass p of it needs one set per block of 8 * 4^p rows (at least one).
constexpr Index kColumnTwiddleSets = 64;
constexpr Index kMaxColumnRows = Index{1} << 2 * kMaxColumnPasses;
constexpr Index TwiddleSetsOfGroup(int q) {
  Index sets = 0;
  for (int p = 0; p < q; ++p) {
    const Index blocks = (Index{1} << 2 * (q - p)) / 8;
    sets += blocks > 0 ? blocks : 1;
  }
  return sets;
}
static_assert(TwiddleSetsOfGroup(kMaxColumnPasses) <= kColumnTwiddleSets,
              "the scratch must hold the twiddle sets of kMaxColumnPasses column passes");
// How far ahead (in points) the first pass prefetches its input streams.
constexpr Index kPrefetchPoints = 32;

inline void SinCos(double theta, double* s, double* c) {
#if defined(__GLIBC__)
  // glibc's sincos runs the very code of its sin and cos: the same bits.
  ::sincos(theta, s, c);
#else
  *s = ::sin(theta);
  *c = ::cos(theta);
#endif
}

// The lowest `bits` bits of v in reverse order.
inline Index Reverse(Index v, int bits) {
  if (bits == 0) return 0;
  uint64_t x = static_cast<uint64_t>(v);
  x = ((x >> 1) & 0x5555555555555555ull) | ((x & 0x5555555555555555ull) << 1);
  x = ((x >> 2) & 0x3333333333333333ull) | ((x & 0x3333333333333333ull) << 2);
  x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((x & 0x0F0F0F0F0F0F0F0Full) << 4);
  x = __builtin_bswap64(x);
  return static_cast<Index>(x >> (64 - bits));
}

inline int Log2(Index v) { return __builtin_ctzll(static_cast<uint64_t>(v)); }

// The twiddle factors of one block: (w1, w2, w3), the turned w1', w3', and
// i*w2 for the turned butterfly's third output. A block's reversed counter
// kr is always a multiple of 8, and w1 = e^(i kr ew), ew = kHalfPi / n, is
// the only factor that takes a sincos: the table of a length (FftTwiddles.h)
// holds it at [2 kr/8], [2 kr/8 + 1], and Derive makes the others.
struct Twiddles {
  double w1r, w1i, w2r, w2i, w3r, w3i, t1r, t1i, t3r, t3i;
};

// w1 of the block with reversed counter kr, as the table holds it.
inline void FirstFactor(Index kr, double ew, double* w1r, double* w1i) {
  SinCos(static_cast<double>(kr) * ew, w1i, w1r);
}

// Every factor of a block from its w1. Butterflies::Derived does the same
// operations a register of blocks at a time.
inline Twiddles Derive(double w1r, double w1i) {
  Twiddles w;
  w.w1r = w1r;
  w.w1i = w1i;
  double t = w.w1i * 2.0;
  w.w2r = 1.0 - t * w.w1i;
  w.w2i = t * w.w1r;
  t = w.w2i * 2.0;
  w.w3r = w.w1r - t * w.w1i;
  w.w3i = t * w.w1r - w.w1i;
  w.t1r = (w.w1r - w.w1i) * kWr5000;
  w.t1i = (w.w1i + w.w1r) * kWr5000;
  t = w.w2r * 2.0;
  w.t3r = w.t1r - t * w.t1i;
  w.t3i = t * w.t1r - w.t1i;
  return w;
}

enum Kind { kPlain, kEighthTurn, kTwiddled, kTwiddledTurned };

template <class V>
struct Butterflies {
  using T = typename V::T;

  // A factor (wr, wi) as the two registers that CMul needs.
  struct Factor {
    T re;   // wr in every slot
    T sim;  // (-wi, wi) in every point
  };
  struct Set {
    Factor w1, w2, w3, t1, t3, iw2;
  };

  static Factor MakeFactor(double wr, double wi) { return {V::Dup(wr), V::Pair(-wi, wi)}; }
  static Set Broadcast(const Twiddles& w) {
    return {MakeFactor(w.w1r, w.w1i), MakeFactor(w.w2r, w.w2i), MakeFactor(w.w3r, w.w3i),
            MakeFactor(w.t1r, w.t1i), MakeFactor(w.t3r, w.t3i), MakeFactor(-w.w2i, w.w2r)};
  }

  // The sets of W blocks at once, point i of w1 being (w1r, w1i) of block i
  // (lane i of every factor): Derive's operations in Derive's order, lane by
  // lane, so the very bits of Broadcast(Derive(w1r, w1i)) in each lane.
  static Set Derived(T w1) {
    const T r = V::DupRe(w1), i = V::DupIm(w1), two = V::Dup(2.0);
    T t = V::Mul(i, two);
    const T w2r = V::Sub(V::Dup(1.0), V::Mul(t, i));
    const T w2i = V::Mul(t, r);
    t = V::Mul(w2i, two);
    const T w3r = V::Sub(r, V::Mul(t, i));
    const T w3i = V::Sub(V::Mul(t, r), i);
    const T c = V::Dup(kWr5000);
    const T t1r = V::Mul(V::Sub(r, i), c);
    const T t1i = V::Mul(V::Add(i, r), c);
    t = V::Mul(w2r, two);
    const T t3r = V::Sub(t1r, V::Mul(t, t1i));
    const T t3i = V::Sub(V::Mul(t, t1r), t1i);
    const T sign = V::Pair(-0.0, 0.0);
    auto factor = [&](T re, T im) { return Factor{re, V::Xor(im, sign)}; };
    return {
        factor(r, i),     factor(w2r, w2i),
        factor(w3r, w3i), factor(t1r, t1i),
        factor(t3r, t3i), {V::Xor(w2i, V::Dup(-0.0)), V::Xor(w2r, sign)}};  // i*w2 = (-w2i, w2r)
  }

  // i*v = (-v_i, v_r).
  static T TimesI(T v) { return V::Xor(V::Swap(v), V::Pair(-0.0, 0.0)); }
  static T Conj(T v) { return V::Xor(v, V::Pair(0.0, -0.0)); }
  // (wr*vr - wi*vi, wr*vi + wi*vr), the products in that order.
  static T CMul(const Factor& w, T v) { return V::Add(V::Mul(w.re, v), V::Mul(w.sim, V::Swap(v))); }

  // One radix-4 butterfly of kind K on four registers, in place.
  template <Kind K>
  static void Run(T& a0, T& a1, T& a2, T& a3, const Set* w) {
    const T x0 = V::Add(a0, a1), x1 = V::Sub(a0, a1);
    const T x2 = V::Add(a2, a3), x3 = V::Sub(a2, a3);
    a0 = V::Add(x0, x2);
    const T d = V::Sub(x0, x2);
    const T ix3 = TimesI(x3);
    const T y = V::Add(x1, ix3);  // (x1r - x3i, x1i + x3r)
    const T z = V::Sub(x1, ix3);  // (x1r + x3i, x1i - x3r)
    if constexpr (K == kPlain) {
      a1 = y, a2 = d, a3 = z;
    } else if constexpr (K == kEighthTurn) {
      const T c = V::Dup(kWr5000);
      a2 = V::Swap(V::Blend(d, V::Sub(x2, x0)));  // (x2i - x0i, x0r - x2r)
      a1 = V::Mul(c, V::Add(y, TimesI(y)));       // c (yr - yi, yi + yr)
      const T q = V::Add(x3, TimesI(x1));         // (u, v) = (x3r - x1i, x3i + x1r)
      a3 = V::Mul(c, V::Add(q, TimesI(q)));       // c (u - v, u + v)
    } else if constexpr (K == kTwiddled) {
      a1 = CMul(w->w1, y), a2 = CMul(w->w2, d), a3 = CMul(w->w3, z);
    } else {
      a1 = CMul(w->t1, y), a2 = CMul(w->iw2, d), a3 = CMul(w->t3, z);
    }
  }

  // The butterfly at four points of the array.
  template <Kind K>
  static void At(double* p0, double* p1, double* p2, double* p3, const Set* w) {
    T a0 = V::Load(p0), a1 = V::Load(p1), a2 = V::Load(p2), a3 = V::Load(p3);
    Run<K>(a0, a1, a2, a3, w);
    V::Store(p0, a0), V::Store(p1, a1), V::Store(p2, a2), V::Store(p3, a3);
  }

  // The last pass, radix 4. Backward conjugates as it goes, in the published
  // order of operations, and scales by 1/N.
  static void Last4(T& a0, T& a1, T& a2, T& a3, bool backward, T scale) {
    if (!backward) return Run<kPlain>(a0, a1, a2, a3, nullptr);
    const T c0 = Conj(a0), c1 = Conj(a1);
    const T x0 = V::Add(c0, c1);  // (a0r + a1r, -a0i - a1i)
    const T x1 = V::Sub(c0, c1);  // (a0r - a1r, -a0i + a1i)
    const T x2 = V::Add(a2, a3), x3 = V::Sub(a2, a3);
    const T cx2 = Conj(x2), sx3 = V::Swap(x3);
    a0 = V::Mul(V::Add(x0, cx2), scale);  // (x0r + x2r, x0i - x2i)
    a2 = V::Mul(V::Sub(x0, cx2), scale);  // (x0r - x2r, x0i + x2i)
    a1 = V::Mul(V::Sub(x1, sx3), scale);  // (x1r - x3i, x1i - x3r)
    a3 = V::Mul(V::Add(x1, sx3), scale);  // (x1r + x3i, x1i + x3r)
  }
  // The last pass, radix 2.
  static void Last2(T& a0, T& a1, bool backward, T scale) {
    if (!backward) {
      const T x0 = V::Add(a0, a1);
      a1 = V::Sub(a0, a1);
      a0 = x0;
      return;
    }
    const T c0 = Conj(a0), c1 = Conj(a1);
    a0 = V::Mul(V::Add(c0, c1), scale);  // (a0r + a1r, -a0i - a1i)
    a1 = V::Mul(V::Sub(c0, c1), scale);  // (a0r - a1r, -a0i + a1i)
  }
};

template <class V, class V1>
class Engine {
  using T = typename V::T;
  using T1 = typename V1::T;
  using BF = Butterflies<V>;
  using BF1 = Butterflies<V1>;
  static constexpr Index W = V::W;
  static_assert(kColumnPoints / kMaxColumnRows >= W,
                "a strip of the column buffer must be at least one register wide");

 public:
  // x: count input points; a: 2 * big doubles, the result (any content);
  // scratch: ScratchDoubles(big, chunk) doubles. chunk: a power of two >= 8, the
  // chunk size (kChunkPoints; the tests make it small to reach the column
  // passes at small sizes). twiddles: w1 of every block (big/8 pairs, see
  // Twiddles), or null to compute each where it is needed.
  Engine(const double* x, Index count, Index big, bool backward, double* a, double* scratch,
         Index chunk, const double* twiddles)
      : m_x(x),
        m_count(count),
        m_n(big),
        m_logN(Log2(big)),
        m_backward(backward),
        m_a(a),
        m_chunk(chunk),
        m_scratch(scratch),
        m_twiddles(twiddles),
        m_ew(kHalfPi / static_cast<double>(2 * big)),
        m_scale(1.0 / static_cast<double>(big)) {}

  static Index ScratchDoubles(Index big, Index chunk) {
    if (big <= chunk) return 0;
    return 2 * kColumnPoints +
           kColumnTwiddleSets * static_cast<Index>(sizeof(Twiddles) / sizeof(double));
  }

  void Run() {
    if (m_n == 1) return One();
    if (m_n == 2) return Two();
    if (m_n == 4) return Four();
    Index s = ChunkPhase();
    if (m_n > m_chunk) ColumnPhase(s);
  }

 private:
  // Input point p: zero past the end; conjugated for Backward (the filled-up
  // zeros too, which makes their imaginary parts -0.0).
  template <bool kChecked>
  T1 Input(Index p) const {
    T1 v = (!kChecked || p < m_count) ? V1::Load(m_x + 2 * p) : V1::Zero();
    return m_backward ? BF1::Conj(v) : v;
  }
  T1 Scale1(T1 v) const { return m_backward ? V1::Mul(v, V1::Dup(m_scale)) : v; }

  // w1 of the block with reversed counter 8c: in the table, or computed into
  // `own` (two doubles).
  const double* FirstFactorOf(Index c, double* own) const {
    if (m_twiddles != nullptr) return m_twiddles + 2 * c;
    FirstFactor(8 * c, m_ew, own, own + 1);
    return own;
  }
  Twiddles TwiddlesOf(Index kr) const {
    double own[2];
    const double* w1 = FirstFactorOf(kr / 8, own);
    return Derive(w1[0], w1[1]);
  }

  // One or two points: no permutation, no conjugation.
  void One() { V1::Store(m_a, Scale1(m_count > 0 ? V1::Load(m_x) : V1::Zero())); }
  void Two() {
    const T1 x0 = m_count > 0 ? V1::Load(m_x) : V1::Zero();
    const T1 x1 = m_count > 1 ? V1::Load(m_x + 2) : V1::Zero();
    V1::Store(m_a, Scale1(V1::Add(x0, x1)));
    V1::Store(m_a + 2, Scale1(V1::Sub(x0, x1)));
  }
  void Four() {
    T1 a0 = Input<true>(0), a1 = Input<true>(2), a2 = Input<true>(1), a3 = Input<true>(3);
    BF1::Last4(a0, a1, a2, a3, m_backward, V1::Dup(m_scale));
    V1::Store(m_a, a0), V1::Store(m_a + 2, a1), V1::Store(m_a + 4, a2), V1::Store(m_a + 6, a3);
  }

  // The first pass (blocks of eight points, butterfly stride one point) of
  // block b, whose points come in bit-reversed order from the input points
  // c + {0, 4, 2, 6, 1, 5, 3, 7} * N/8, c = rev(b). Its reversed counter is 8c.
  template <bool kChecked>
  void FirstBlock(Index c, Index b) {
    const Index n8 = m_n / 8;
    T1 p0 = Input<kChecked>(c), p1 = Input<kChecked>(c + 4 * n8);
    T1 p2 = Input<kChecked>(c + 2 * n8), p3 = Input<kChecked>(c + 6 * n8);
    T1 p4 = Input<kChecked>(c + n8), p5 = Input<kChecked>(c + 5 * n8);
    T1 p6 = Input<kChecked>(c + 3 * n8), p7 = Input<kChecked>(c + 7 * n8);
    if (b == 0) {
      BF1::template Run<kPlain>(p0, p1, p2, p3, nullptr);
      BF1::template Run<kEighthTurn>(p4, p5, p6, p7, nullptr);
    } else {
      double own[2];
      const typename BF1::Set w = BF1::Derived(V1::Load(FirstFactorOf(c, own)));
      BF1::template Run<kTwiddled>(p0, p1, p2, p3, &w);
      BF1::template Run<kTwiddledTurned>(p4, p5, p6, p7, &w);
    }
    double* out = m_a + 16 * b;
    V1::Store(out, p0), V1::Store(out + 2, p1), V1::Store(out + 4, p2), V1::Store(out + 6, p3);
    V1::Store(out + 8, p4), V1::Store(out + 10, p5), V1::Store(out + 12, p6);
    V1::Store(out + 14, p7);
  }

  // The first pass of W blocks at once, one per lane: lane i takes its
  // points from around c_i = c0 + i*laneStride (so the block's reversed
  // counter is 8 c_i; none is block 0) and writes them to outs[i]. `ahead`
  // is the prefetch distance in points along the input streams.
  template <bool kChecked>
  void FirstLanes(Index c0, Index laneStride, Index ahead, double* const* outs) {
    static constexpr Index kOrder[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    static constexpr double kZeros[2] = {0.0, 0.0};
    const Index n8 = m_n / 8;
    T p[8];
    if (!kChecked && laneStride == 1) {
      for (int t = 0; t < 8; ++t) {
        const double* from = m_x + 2 * (c0 + kOrder[t] * n8);
        __builtin_prefetch(from + 2 * ahead);
        p[t] = V::Load(from);
      }
    } else {
      for (int t = 0; t < 8; ++t) {
        const double* from[W];
        for (Index i = 0; i < W; ++i) {
          const Index q = c0 + i * laneStride + kOrder[t] * n8;
          from[i] = (!kChecked || q < m_count) ? m_x + 2 * q : kZeros;
        }
        p[t] = V::LoadLanes(from);
      }
    }
    if (m_backward)
      for (int t = 0; t < 8; ++t) p[t] = BF::Conj(p[t]);
    T w1;
    if (m_twiddles != nullptr && laneStride == 1) {
      w1 = V::Load(m_twiddles + 2 * c0);
    } else {
      double own[2 * W];
      const double* from[W];
      for (Index i = 0; i < W; ++i) from[i] = FirstFactorOf(c0 + i * laneStride, own + 2 * i);
      w1 = V::LoadLanes(from);
    }
    const typename BF::Set set = BF::Derived(w1);
    BF::template Run<kTwiddled>(p[0], p[1], p[2], p[3], &set);
    BF::template Run<kTwiddledTurned>(p[4], p[5], p[6], p[7], &set);
    V::StoreLanes(outs, p);
  }

  // l/2 = s points apart, the butterflies of the group of 4s points at g.
  template <Kind K>
  void Group(Index g, Index s, const typename BF::Set* w) {
    double* p = m_a + 2 * g;
    const Index st = 2 * s;
    for (Index t = 0; t < 2 * s; t += 2 * W)
      BF::template At<K>(p + t, p + t + st, p + t + 2 * st, p + t + 3 * st, w);
  }

  // One middle pass with stride s over the whole blocks in [first, last).
  void MiddlePass(Index first, Index last, Index s) {
    for (Index blk = first; blk < last; blk += 8 * s) {
      const Index index = blk / (8 * s);
      if (index == 0) {
        Group<kPlain>(blk, s, nullptr);
        Group<kEighthTurn>(blk + 4 * s, s, nullptr);
      } else {
        const typename BF::Set w = BF::Broadcast(TwiddlesOf(Reverse(index, m_logN)));
        Group<kTwiddled>(blk, s, &w);
        Group<kTwiddledTurned>(blk + 4 * s, s, &w);
      }
    }
  }

  // The last pass over the whole array (radix 4 if 4s = N, else radix 2).
  void LastPass(Index s) { LastPassOn(m_a, 2 * s, 4 * s == m_n); }

  // The last pass on rows of 2*stride doubles: four (radix 4) or two rows.
  void LastPassOn(double* p, Index stride, bool radix4) {
    const T scale = V::Dup(m_scale);
    const Index st = stride;
    for (Index t = 0; t < st; t += 2 * W) {
      if (radix4) {
        T a0 = V::Load(p + t), a1 = V::Load(p + t + st);
        T a2 = V::Load(p + t + 2 * st), a3 = V::Load(p + t + 3 * st);
        BF::Last4(a0, a1, a2, a3, m_backward, scale);
        V::Store(p + t, a0), V::Store(p + t + st, a1);
        V::Store(p + t + 2 * st, a2), V::Store(p + t + 3 * st, a3);
      } else {
        T a0 = V::Load(p + t), a1 = V::Load(p + t + st);
        BF::Last2(a0, a1, m_backward, scale);
        V::Store(p + t, a0), V::Store(p + t + st, a1);
      }
    }
  }

  // Bit reversal, conjugation, the first pass and every middle pass whose
  // blocks fit in a chunk, chunk by chunk; with everything in one chunk, the
  // last pass too. Chunks are visited in the order that reads the input
  // sequentially. Returns the stride of the first pass not done.
  Index ChunkPhase() {
    // Beyond one chunk, W chunks at a time take their first pass together,
    // lane i in chunk g0 + i: their inputs are then W adjacent points, whole
    // cache lines, read once. Half-size chunks measured best for this (the W
    // of them then fill 1 or 2 MiB).
    Index chunk = m_n < m_chunk ? m_n : m_chunk;
    Index together = 1;
    if (m_n > m_chunk && W > 1 && m_chunk / 2 >= 8) chunk = m_chunk / 2, together = W;
    const Index blocks = chunk / 8, chunks = m_n / chunk;
    const int logBlocks = Log2(blocks), logChunks = Log2(chunks);
    Index s = 4;
    for (Index g0 = 0; g0 < chunks; g0 += together) {
      if (together > 1) {
        FirstPassAcross(g0, chunks, blocks, logChunks, logBlocks);
      } else {
        FirstPassWithin(g0, chunks, blocks, logChunks, logBlocks);
      }
      for (Index g = g0; g < g0 + together; ++g) {
        const Index h = Reverse(g, logChunks);
        for (s = 4; 8 * s <= chunk && 4 * s < m_n; s *= 4)
          MiddlePass(h * chunk, (h + 1) * chunk, s);
      }
    }
    if (m_n <= m_chunk) LastPass(s);
    return s;
  }

  // Whether the first-pass blocks around c' <= c (c' + {0 .. 7} * N/8) reach
  // past the input points: only those take the checked loads, which fill up
  // with zeros.
  bool PastTheInput(Index c) const { return c + 7 * (m_n / 8) >= m_count; }

  // Block b of chunk h (in bit-reversed chunk order g) holds input points
  // around c = g + j*chunks with b = h*blocks + rev(j).
  void FirstScalar(Index g, Index j, Index chunks, Index blocks, int logChunks, int logBlocks) {
    const Index c = g + j * chunks, b = Reverse(g, logChunks) * blocks + Reverse(j, logBlocks);
    if (PastTheInput(c)) {
      FirstBlock<true>(c, b);
    } else {
      FirstBlock<false>(c, b);
    }
  }

  // The first pass of chunk g, lanes over W consecutive j.
  void FirstPassWithin(Index g, Index chunks, Index blocks, int logChunks, int logBlocks) {
    const Index h = Reverse(g, logChunks);
    const Index step = blocks % W == 0 ? W : 1;
    for (Index j = 0; j < blocks; j += step) {
      if (step == 1 || (g == 0 && j == 0)) {  // block 0 has other butterflies
        for (Index i = j; i < j + step; ++i)
          FirstScalar(g, i, chunks, blocks, logChunks, logBlocks);
        continue;
      }
      double* outs[W];
      for (Index i = 0; i < W; ++i) outs[i] = m_a + 16 * (h * blocks + Reverse(j + i, logBlocks));
      if (PastTheInput(g + (j + W - 1) * chunks)) {
        FirstLanes<true>(g + j * chunks, chunks, kPrefetchPoints, outs);
      } else {
        FirstLanes<false>(g + j * chunks, chunks, kPrefetchPoints, outs);
      }
    }
  }

  // The first pass of chunks g0 .. g0 + W-1, lane i in chunk g0 + i.
  void FirstPassAcross(Index g0, Index chunks, Index blocks, int logChunks, int logBlocks) {
    double* base[W];
    for (Index i = 0; i < W; ++i) base[i] = m_a + 16 * Reverse(g0 + i, logChunks) * blocks;
    for (Index j = 0; j < blocks; ++j) {
      if (g0 == 0 && j == 0) {  // block 0 has other butterflies
        for (Index i = 0; i < W; ++i) FirstScalar(g0 + i, j, chunks, blocks, logChunks, logBlocks);
        continue;
      }
      double* outs[W];
      const Index rj = 16 * Reverse(j, logBlocks);
      for (Index i = 0; i < W; ++i) outs[i] = base[i] + rj;
      if (PastTheInput(g0 + j * chunks + W - 1)) {
        FirstLanes<true>(g0 + j * chunks, 1, 4 * chunks, outs);
      } else {
        FirstLanes<false>(g0 + j * chunks, 1, 4 * chunks, outs);
      }
    }
  }

  // The remaining passes, from stride s on, a few at a time: for each
  // column of points j0 + r*s0 (r = 0 .. rows-1) those passes only combine
  // points of the same column, so a narrow strip of columns is copied to a
  // small buffer, transformed there by all the group's passes, and copied back.
  void ColumnPhase(Index s) {
    int total = 0;
    for (Index t = s; 2 * t <= m_n; t *= 4) ++total;  // middle passes and the last one
    const int groups = (total + kMaxColumnPasses - 1) / kMaxColumnPasses;
    for (int gi = 0; gi < groups; ++gi) {
      const int q = total / groups + (gi < total % groups ? 1 : 0);
      ColumnGroup(s, q);
      for (int k = 0; k < q; ++k) s *= 4;
    }
  }

  void ColumnGroup(Index s0, int q) {
    Index sLast = s0;
    for (int k = 1; k < q; ++k) sLast *= 4;
    const bool final = 4 * sLast >= m_n;
    const Index span = final ? m_n : 4 * sLast;
    const Index rows = span / s0;
    Index width = kColumnPoints / rows;
    if (width > s0) width = s0;
    double* buf = m_scratch;
    Twiddles* cache = reinterpret_cast<Twiddles*>(m_scratch + 2 * kColumnPoints);
    Twiddles* cacheOf[kMaxColumnPasses];
    Index cachedFirst[kMaxColumnPasses];
    {
      Index offset = 0, sp = s0;
      for (int p = 0; p < q; ++p, sp *= 4) {
        cacheOf[p] = cache + offset;
        cachedFirst[p] = -1;
        const Index nb = span / (8 * sp);
        offset += nb > 0 ? nb : 1;
      }
    }
    for (Index base = 0; base < m_n; base += span) {
      // The twiddle factors of every block of this span, once per block.
      Index sp = s0;
      for (int p = 0; p < q; ++p, sp *= 4) {
        if (final && p == q - 1) break;
        const Index firstBlock = base / (8 * sp);
        if (firstBlock == cachedFirst[p]) continue;
        cachedFirst[p] = firstBlock;
        const Index nb = span / (8 * sp) > 0 ? span / (8 * sp) : 1;
        for (Index k = 0; k < nb; ++k)
          if (firstBlock + k > 0) cacheOf[p][k] = TwiddlesOf(Reverse(firstBlock + k, m_logN));
      }
      for (Index j0 = 0; j0 < s0; j0 += width) {
        double* col = m_a + 2 * (base + j0);
        for (Index r = 0; r < rows; ++r)
          for (Index t = 0; t < 2 * width; t += 2 * W)
            V::Store(buf + 2 * r * width + t, V::Load(col + 2 * r * s0 + t));
        sp = s0;
        for (int p = 0; p < q; ++p, sp *= 4) {
          const Index sr = sp / s0;  // stride in rows
          if (final && p == q - 1) {
            // Every row of a strip is a run of `width` points, rows are
            // contiguous: the last pass sees them as one run per row group.
            LastPassOn(buf, 2 * sr * width, rows == 4 * sr);
            break;
          }
          const Index firstBlock = base / (8 * sp);
          for (Index g0 = 0; g0 < rows; g0 += 4 * sr) {
            const Index group = (base + g0 * s0) / (4 * sp);
            const Index block = group / 2;
            const bool second = (group & 1) != 0;
            double* p0 = buf + 2 * g0 * width;
            if (block == 0) {
              if (second) {
                ColumnGroupButterflies<kEighthTurn>(p0, width, sr, nullptr);
              } else {
                ColumnGroupButterflies<kPlain>(p0, width, sr, nullptr);
              }
            } else {
              const typename BF::Set w = BF::Broadcast(cacheOf[p][block - firstBlock]);
              if (second) {
                ColumnGroupButterflies<kTwiddledTurned>(p0, width, sr, &w);
              } else {
                ColumnGroupButterflies<kTwiddled>(p0, width, sr, &w);
              }
            }
          }
        }
        for (Index r = 0; r < rows; ++r)
          for (Index t = 0; t < 2 * width; t += 2 * W)
            V::Store(col + 2 * r * s0 + t, V::Load(buf + 2 * r * width + t));
      }
    }
  }

  template <Kind K>
  void ColumnGroupButterflies(double* p, Index width, Index sr, const typename BF::Set* w) {
    const Index st = 2 * sr * width;
    for (Index r = 0; r < sr; ++r) {
      double* row = p + 2 * r * width;
      for (Index t = 0; t < 2 * width; t += 2 * W)
        BF::template At<K>(row + t, row + t + st, row + t + 2 * st, row + t + 3 * st, w);
    }
  }

  const double* m_x;
  Index m_count;
  Index m_n;
  int m_logN;
  bool m_backward;
  double* m_a;
  Index m_chunk;
  double* m_scratch;
  const double* m_twiddles;
  double m_ew;
  double m_scale;
};

}  // namespace
