// The mixed-radix passes on 512-bit AVX-512 registers, called only when the
// CPU has AVX-512F; see FftMixedRadixAvx2.cpp.
#if defined(ORVANE_FFT_X86_PATHS)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC target("avx512f")
#endif
#define ORVANE_MIXED_WIDTH 8
#define ORVANE_MIXED_NAME Avx512
#include "simd/FftMixedRadix.inc"
#if defined(__clang__)
#pragma clang attribute pop
#endif
#endif
