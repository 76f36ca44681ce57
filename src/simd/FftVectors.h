// Register types for FftEngine.h, one set per instruction set. Only the
// instruction-set file that selects a set (by defining the macro) compiles it.
#pragma once

#include "simd/FftEngine.h"

#if defined(ORVANE_FFT_SSE2) || defined(ORVANE_FFT_AVX2) || defined(ORVANE_FFT_AVX512)
#include <immintrin.h>
#endif

namespace {

#if defined(ORVANE_FFT_SSE2) || defined(ORVANE_FFT_AVX2) || defined(ORVANE_FFT_AVX512)
// One complex point in an SSE register (VEX-encoded when AVX is on).
struct Vec128 {
  using T = __m128d;
  static constexpr Index W = 1;
  static T Load(const double* p) { return _mm_loadu_pd(p); }
  static void Store(double* p, T v) { _mm_storeu_pd(p, v); }
  static T Add(T a, T b) { return _mm_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm_mul_pd(a, b); }
  static T Swap(T a) { return _mm_shuffle_pd(a, a, 1); }
  static T Xor(T a, T m) { return _mm_xor_pd(a, m); }
  static T Blend(T re, T im) { return _mm_move_sd(im, re); }
  static T Dup(double x) { return _mm_set1_pd(x); }
  static T Pair(double re, double im) { return _mm_setr_pd(re, im); }
  static T Zero() { return _mm_setzero_pd(); }
  // Lane-wise forms (one lane = one point here): re (im) in both slots of the
  // point; the point at p[0]; the eight registers p[t] as point t of the
  // block at outs[0].
  static T DupRe(T a) { return _mm_unpacklo_pd(a, a); }
  static T DupIm(T a) { return _mm_unpackhi_pd(a, a); }
  static T LoadLanes(const double* const* p) { return Load(p[0]); }
  static void StoreLanes(double* const* outs, const T* p) {
    for (int t = 0; t < 8; ++t) Store(outs[0] + 2 * t, p[t]);
  }
};
#else
// One complex point as two doubles, for targets without x86 vectors.
struct Vec128 {
  struct T {
    double re, im;
  };
  static constexpr Index W = 1;
  static T Load(const double* p) { return {p[0], p[1]}; }
  static void Store(double* p, T v) { p[0] = v.re, p[1] = v.im; }
  static T Add(T a, T b) { return {a.re + b.re, a.im + b.im}; }
  static T Sub(T a, T b) { return {a.re - b.re, a.im - b.im}; }
  static T Mul(T a, T b) { return {a.re * b.re, a.im * b.im}; }
  static T Swap(T a) { return {a.im, a.re}; }
  // Only sign masks (+-0.0) are ever passed: flip where the mask is -0.0.
  static T Xor(T a, T m) {
    return {__builtin_signbit(m.re) ? -a.re : a.re, __builtin_signbit(m.im) ? -a.im : a.im};
  }
  static T Blend(T re, T im) { return {re.re, im.im}; }
  static T Dup(double x) { return {x, x}; }
  static T Pair(double re, double im) { return {re, im}; }
  static T Zero() { return {0.0, 0.0}; }
  static T DupRe(T a) { return {a.re, a.re}; }
  static T DupIm(T a) { return {a.im, a.im}; }
  static T LoadLanes(const double* const* p) { return Load(p[0]); }
  static void StoreLanes(double* const* outs, const T* p) {
    for (int t = 0; t < 8; ++t) Store(outs[0] + 2 * t, p[t]);
  }
};
#endif

#if defined(ORVANE_FFT_AVX2)
// Two complex points per AVX register.
struct Vec256 {
  using T = __m256d;
  static constexpr Index W = 2;
  static T Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, T v) { _mm256_storeu_pd(p, v); }
  static T Add(T a, T b) { return _mm256_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm256_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm256_mul_pd(a, b); }
  static T Swap(T a) { return _mm256_permute_pd(a, 0x5); }
  static T Xor(T a, T m) { return _mm256_xor_pd(a, m); }
  static T Blend(T re, T im) { return _mm256_blend_pd(re, im, 0xA); }
  static T Dup(double x) { return _mm256_set1_pd(x); }
  static T Pair(double re, double im) { return _mm256_setr_pd(re, im, re, im); }
  static T Zero() { return _mm256_setzero_pd(); }
  // Lane i = point i: re (im) in both slots of each point; lane i from p[i];
  // register t holds point t of the blocks at outs[0] (lane 0) and outs[1]
  // (lane 1).
  static T DupRe(T a) { return _mm256_movedup_pd(a); }
  static T DupIm(T a) { return _mm256_permute_pd(a, 0xF); }
  static T LoadLanes(const double* const* p) {
    return _mm256_set_m128d(_mm_loadu_pd(p[1]), _mm_loadu_pd(p[0]));
  }
  static void StoreLanes(double* const* outs, const T* p) {
    for (int t = 0; t < 8; t += 2) {
      Store(outs[0] + 2 * t, _mm256_permute2f128_pd(p[t], p[t + 1], 0x20));
      Store(outs[1] + 2 * t, _mm256_permute2f128_pd(p[t], p[t + 1], 0x31));
    }
  }
};
#endif

#if defined(ORVANE_FFT_AVX512)
// Four complex points per AVX-512 register (AVX-512F instructions only).
struct Vec512 {
  using T = __m512d;
  static constexpr Index W = 4;
  static T Load(const double* p) { return _mm512_loadu_pd(p); }
  static void Store(double* p, T v) { _mm512_storeu_pd(p, v); }
  static T Add(T a, T b) { return _mm512_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm512_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm512_mul_pd(a, b); }
  // The masked form: the plain one trips a false maybe-uninitialized in GCC 12.
  static T Swap(T a) { return _mm512_mask_permute_pd(a, 0xFF, a, 0x55); }
  static T Xor(T a, T m) {
    return _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a), _mm512_castpd_si512(m)));
  }
  static T Blend(T re, T im) { return _mm512_mask_blend_pd(0xAA, re, im); }
  static T Dup(double x) { return _mm512_set1_pd(x); }
  static T Pair(double re, double im) { return _mm512_setr_pd(re, im, re, im, re, im, re, im); }
  static T Zero() { return _mm512_setzero_pd(); }
  // Lane i = point i: re (im) in both slots of each point (masked forms, as
  // Swap); lane i from p[i]; register t holds point t of the blocks at
  // outs[0 .. 3], one per lane.
  static T DupRe(T a) { return _mm512_mask_movedup_pd(a, 0xFF, a); }
  static T DupIm(T a) { return _mm512_mask_permute_pd(a, 0xFF, a, 0xFF); }
  static T LoadLanes(const double* const* p) {
    const __m256d lo = _mm256_set_m128d(_mm_loadu_pd(p[1]), _mm_loadu_pd(p[0]));
    const __m256d hi = _mm256_set_m128d(_mm_loadu_pd(p[3]), _mm_loadu_pd(p[2]));
    const T wide = _mm512_castpd256_pd512(lo);
    return _mm512_mask_insertf64x4(wide, 0xFF, wide, hi, 1);
  }
  static void StoreLanes(double* const* outs, const T* p) {
    for (int half = 0; half < 8; half += 4) {
      T a = p[half], b = p[half + 1], c = p[half + 2], d = p[half + 3];
      Transpose(a, b, c, d);
      Store(outs[0] + 2 * half, a), Store(outs[1] + 2 * half, b);
      Store(outs[2] + 2 * half, c), Store(outs[3] + 2 * half, d);
    }
  }
  // 4 x 4 transpose of complex points (128-bit lanes).
  static void Transpose(T& a, T& b, T& c, T& d) {
    const T t0 = Shuffle<0x44>(a, b), t1 = Shuffle<0xEE>(a, b);
    const T t2 = Shuffle<0x44>(c, d), t3 = Shuffle<0xEE>(c, d);
    a = Shuffle<0x88>(t0, t2), b = Shuffle<0xDD>(t0, t2);
    c = Shuffle<0x88>(t1, t3), d = Shuffle<0xDD>(t1, t3);
  }
  template <int kImm>
  static T Shuffle(T a, T b) {
    return _mm512_mask_shuffle_f64x2(a, 0xFF, a, b, kImm);
  }
};
#endif

}  // namespace
