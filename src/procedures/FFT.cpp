#include "OrvaneNet/FFT.h"

#include <cstdint>
#include <type_traits>

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "simd/FftKernels.h"
#include "simd/FftTransforms.h"

namespace OrvaneNet {

namespace detail {

// The result vector's own storage is the work array: 2N doubles, point p at
// [2p], [2p + 1].
static_assert(sizeof(Complex) == 2 * sizeof(double) && std::is_standard_layout_v<Complex>);

namespace {

// The filled-up length N must keep 2N a 32-bit count of doubles.
constexpr std::size_t kMaxPoints = std::size_t{1} << 29;

#if defined(ORVANE_FFT_X86_PATHS)
bool Supported(FftPath path) {
  switch (path) {
    case FftPath::Portable:
      return true;
    case FftPath::Avx2:
      return __builtin_cpu_supports("avx2");
    case FftPath::Avx512:
      return __builtin_cpu_supports("avx512f");
  }
  return false;
}
#else
bool Supported(FftPath path) { return path == FftPath::Portable; }
#endif

FftPath Best() {
  static const FftPath best = Supported(FftPath::Avx512) ? FftPath::Avx512
                              : Supported(FftPath::Avx2) ? FftPath::Avx2
                                                         : FftPath::Portable;
  return best;
}

}  // namespace

std::vector<FftPath> FftPathsAvailable() {
  std::vector<FftPath> paths;
  for (FftPath p : {FftPath::Portable, FftPath::Avx2, FftPath::Avx512})
    if (Supported(p)) paths.push_back(p);
  return paths;
}

const char* FftPathName(FftPath path) {
  switch (path) {
    case FftPath::Portable:
      return "portable";
    case FftPath::Avx2:
      return "avx2";
    case FftPath::Avx512:
      return "avx512";
  }
  return "?";
}

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path) {
  return FftCompute(dat, count, isgn, path, fft::DefaultChunk());
}

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path,
                                std::int64_t chunkPoints) {
  if (count > kMaxPoints) throw OrvaneException(msg::FftTooLong);
  if (!Supported(path)) path = FftPath::Portable;
  if (chunkPoints < 8 || (chunkPoints & (chunkPoints - 1)) != 0) chunkPoints = fft::DefaultChunk();
  std::int64_t big = 1;
  while (static_cast<std::size_t>(big) < count) big *= 2;
  std::vector<Complex> result(static_cast<std::size_t>(big));
  std::vector<double> scratch(static_cast<std::size_t>(fft::ScratchDoubles(big, chunkPoints)));
  const auto* x = reinterpret_cast<const double*>(dat);
  auto* a = reinterpret_cast<double*>(result.data());
  const auto n = static_cast<std::int64_t>(count);
  const bool backward = isgn == -1;
  switch (path) {
#if defined(ORVANE_FFT_X86_PATHS)
    case FftPath::Avx512:
      fft::TransformAvx512(x, n, big, backward, a, scratch.data(), chunkPoints);
      break;
    case FftPath::Avx2:
      fft::TransformAvx2(x, n, big, backward, a, scratch.data(), chunkPoints);
      break;
#endif
    default:
      fft::TransformPortable(x, n, big, backward, a, scratch.data(), chunkPoints);
      break;
  }
  return result;
}

std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn) {
  return FftCompute(dat, count, isgn, Best());
}

}  // namespace detail

std::vector<Complex> FFT::Forward(const std::vector<Complex>& dat) {
  return detail::FftCompute(dat.data(), dat.size(), 1);
}

std::vector<Complex> FFT::Backward(const std::vector<Complex>& dat) {
  return detail::FftCompute(dat.data(), dat.size(), -1);
}

}  // namespace OrvaneNet
