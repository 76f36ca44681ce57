// The mixed-radix passes on 512-bit AVX-512 registers; compiled with
// -mavx512f (see cmake/Simd.cmake) and only called when the CPU has AVX-512F.
#if defined(ORVANE_X86_KERNELS)
#define ORVANE_MIXED_WIDTH 8
#define ORVANE_MIXED_NAME Avx512
#include "simd/FftMixedRadix.inc"
#endif
