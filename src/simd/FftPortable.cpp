// The transform for any CPU: SSE2 on x86-64 (always present there), plain
// doubles elsewhere.
#if defined(ORVANE_X86_KERNELS)
#define ORVANE_FFT_SSE2
#endif
#include "simd/FftTransforms.h"
#include "simd/FftVectors.h"

namespace OrvaneNet::detail::fft {

std::int64_t DefaultChunk() { return kChunkPoints; }

std::int64_t ScratchDoubles(std::int64_t big, std::int64_t chunk) {
  return Engine<Vec128, Vec128>::ScratchDoubles(big, chunk);
}

void TransformPortable(const double* x, std::int64_t count, std::int64_t big, bool backward,
                       double* a, double* scratch, std::int64_t chunk) {
  Engine<Vec128, Vec128>(x, count, big, backward, a, scratch, chunk).Run();
}

}  // namespace OrvaneNet::detail::fft
