// The mixed-radix passes on 256-bit AVX registers; compiled with -mavx2 (see
// cmake/Simd.cmake) and only called when the CPU has AVX2.
#if defined(ORVANE_X86_KERNELS)
#define ORVANE_MIXED_WIDTH 4
#define ORVANE_MIXED_NAME Avx2
#include "simd/FftMixedRadix.inc"
#endif
