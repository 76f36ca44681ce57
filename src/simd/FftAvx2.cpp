// The transform with 256-bit AVX registers; compiled with -mavx2 (see
// cmake/Simd.cmake) and only called when the CPU has AVX2.
#if defined(ORVANE_X86_KERNELS)
#define ORVANE_FFT_AVX2
#include "simd/FftTransforms.h"
#include "simd/FftVectors.h"

namespace OrvaneNet::detail::fft {

void TransformAvx2(const double* x, std::int64_t count, std::int64_t big, bool backward, double* a,
                   double* scratch, std::int64_t chunk, const double* twiddles) {
  Engine<Vec256, Vec128>(x, count, big, backward, a, scratch, chunk, twiddles).Run();
}

}  // namespace OrvaneNet::detail::fft
#endif
