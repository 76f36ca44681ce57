// Dispatch of the FFT to the transform of an instruction set.
#include "simd/FftKernels.h"

#include <type_traits>

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "simd/FftTransforms.h"

namespace OrvaneNet::detail {

// The result vector's own storage is the work array: 2N doubles, point p at
// [2p], [2p + 1].
static_assert(sizeof(Complex) == 2 * sizeof(double) && std::is_standard_layout_v<Complex>);

namespace {

// The filled-up length N must keep 2N a 32-bit count of doubles.
constexpr std::size_t kMaxPoints = std::size_t{1} << 29;

using Transform = void (*)(const double*, std::int64_t, std::int64_t, bool, double*, double*,
                           std::int64_t, const double*);

// Only x86-64 builds have the vector sets (see InstructionSet.h).
Transform TransformOn(FftPath path) {
#if defined(ORVANE_X86_KERNELS)
  if (path == FftPath::Avx512) return fft::TransformAvx512;
  if (path == FftPath::Avx2) return fft::TransformAvx2;
#endif
  (void)path;
  return fft::TransformPortable;
}

}  // namespace

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn) {
  return FftCompute(dat, count, isgn, Best());
}

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path) {
  return FftCompute(dat, count, isgn, path, fft::DefaultChunk());
}

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path,
                                std::int64_t chunkPoints) {
  return FftCompute(dat, count, isgn, path, chunkPoints, &fft::ProcessTwiddles());
}

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path,
                                std::int64_t chunkPoints, fft::TwiddleCache* twiddles) {
  if (count > kMaxPoints) throw OrvaneException(msg::FftTooLong);
  if (!Supported(path)) path = FftPath::Portable;
  if (chunkPoints < 8 || (chunkPoints & (chunkPoints - 1)) != 0) chunkPoints = fft::DefaultChunk();
  std::int64_t big = 1;
  while (static_cast<std::size_t>(big) < count) big *= 2;
  std::vector<Complex> result(static_cast<std::size_t>(big));
  std::vector<double> scratch(static_cast<std::size_t>(fft::ScratchDoubles(big, chunkPoints)));
  const std::shared_ptr<const fft::TwiddleTable> table =
      twiddles != nullptr ? twiddles->Get(big) : nullptr;
  TransformOn(path)(reinterpret_cast<const double*>(dat), static_cast<std::int64_t>(count), big,
                    isgn == -1, reinterpret_cast<double*>(result.data()), scratch.data(),
                    chunkPoints, table ? table->Data() : nullptr);
  return result;
}

}  // namespace OrvaneNet::detail
