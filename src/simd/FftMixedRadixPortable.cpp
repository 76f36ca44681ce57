// The mixed-radix passes for any CPU: pairs of doubles (SSE2 on x86-64).
#define ORVANE_MIXED_WIDTH 2
#define ORVANE_MIXED_NAME Portable
#include "simd/FftMixedRadix.inc"
