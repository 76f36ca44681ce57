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

std::int64_t TwiddleDoubles(std::int64_t big) { return big / 4; }

void FillTwiddles(std::int64_t big, double* table) {
  const double ew = kHalfPi / static_cast<double>(2 * big);
  for (Index c = 0; c < big / 8; ++c) FirstFactor(8 * c, ew, table + 2 * c, table + 2 * c + 1);
}

void TransformPortable(const double* x, std::int64_t count, std::int64_t big, bool backward,
                       double* a, double* scratch, std::int64_t chunk, const double* twiddles) {
  Engine<Vec128, Vec128>(x, count, big, backward, a, scratch, chunk, twiddles).Run();
}

}  // namespace OrvaneNet::detail::fft
