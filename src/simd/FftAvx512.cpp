// The transform with 512-bit AVX-512F registers; compiled with -mavx512f (see
// cmake/Simd.cmake) and only called when the CPU has AVX-512F.
#if defined(ORVANE_X86_KERNELS)
#define ORVANE_FFT_AVX512
#include "simd/FftTransforms.h"
#include "simd/FftVectors.h"

namespace OrvaneNet::detail::fft {

void TransformAvx512(const double* x, std::int64_t count, std::int64_t big, bool backward,
                     double* a, double* scratch, std::int64_t chunk, const double* twiddles) {
  Engine<Vec512, Vec128>(x, count, big, backward, a, scratch, chunk, twiddles).Run();
}

}  // namespace OrvaneNet::detail::fft
#endif
