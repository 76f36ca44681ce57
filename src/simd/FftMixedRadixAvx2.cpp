// The mixed-radix passes on 256-bit AVX registers, called only when the CPU
// has AVX2. The instruction set is chosen here rather than by a build flag;
// no fused multiply-add is enabled (-ffp-contract=off keeps the AVX-512 file
// free of them too), so the results are those of the portable passes.
#if defined(ORVANE_FFT_X86_PATHS)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif
#define ORVANE_MIXED_WIDTH 4
#define ORVANE_MIXED_NAME Avx2
#include "simd/FftMixedRadix.inc"
#if defined(__clang__)
#pragma clang attribute pop
#endif
#endif
