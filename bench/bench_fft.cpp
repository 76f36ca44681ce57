// FFT::Forward and FFT::Backward paired with FFTW on the same data in the
// same run (bench/PairedTiming.h: each iteration times both, alternating
// which goes first; process CPU time). Both sides go from a
// std::vector<Complex> in to a new std::vector<Complex> out: FFTW's time
// includes the copy (with zero fill) into its input array, the transform,
// and building the result vector (with the division by N for Backward).
// Plans are made once, outside the timing, FFTW_ESTIMATE and FFTW_MEASURE.
// Short transforms run many times per timed span, so that the clock's own
// cost (a system call) does not weigh on the ratio; the counters are per
// transform. The first call of each length is made before the timing, so the
// library's twiddle table is made outside it, as FFTW's plan is.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "OrvaneNet/FFT.h"
#include "PairedTiming.h"
#include "RandomData.h"
#include "simd/FftKernels.h"
#include "simd/FftTransforms.h"

using OrvaneNet::Complex;
using OrvaneNet::FFT;
using OrvaneNet::detail::FftPath;

namespace {

std::vector<Complex> RandomInput(std::size_t count) {
  const auto values = bench::RandomData<std::complex<double>>(count, 42);
  std::vector<Complex> v(count);
  for (std::size_t p = 0; p < count; ++p) v[p] = Complex(values[p].real(), values[p].imag());
  return v;
}

std::size_t FilledUp(std::size_t count) {
  std::size_t big = 1;
  while (big < count) big *= 2;
  return big;
}

// One FFTW plan of the filled-up length, with its arrays.
class FftwSide {
 public:
  FftwSide(std::size_t count, bool forward, unsigned flags)
      : m_count(count),
        m_big(FilledUp(count)),
        m_forward(forward),
        m_in(fftw_alloc_complex(m_big)),
        m_out(fftw_alloc_complex(m_big)),
        // The library's Forward has the positive exponent: FFTW's "backward".
        m_plan(fftw_plan_dft_1d(static_cast<int>(m_big), m_in, m_out,
                                forward ? FFTW_BACKWARD : FFTW_FORWARD, flags)) {}
  FftwSide(const FftwSide&) = delete;
  FftwSide& operator=(const FftwSide&) = delete;
  ~FftwSide() {
    fftw_destroy_plan(m_plan);
    fftw_free(m_in);
    fftw_free(m_out);
  }

  std::vector<Complex> Run(const std::vector<Complex>& x) {
    std::memcpy(m_in, x.data(), m_count * sizeof(Complex));
    std::memset(m_in + m_count, 0, (m_big - m_count) * sizeof(fftw_complex));
    fftw_execute(m_plan);
    std::vector<Complex> y;
    if (m_forward) {
      const auto* first = reinterpret_cast<const Complex*>(m_out);
      y.assign(first, first + m_big);
    } else {
      const double scale = 1.0 / static_cast<double>(m_big);
      y.resize(m_big);
      for (std::size_t p = 0; p < m_big; ++p)
        y[p] = Complex(m_out[p][0] * scale, m_out[p][1] * scale);
    }
    return y;
  }

 private:
  std::size_t m_count, m_big;
  bool m_forward;
  fftw_complex* m_in;
  fftw_complex* m_out;
  fftw_plan m_plan;
};

// How the library side runs: through FFT itself, on one instruction set, or
// on the best one without the twiddle cache (every factor computed per call).
struct Variant {
  FftPath path;
  bool viaFft, cached;
};
constexpr Variant kFft{FftPath::Portable, true, true};
constexpr Variant kAvx2{FftPath::Avx2, false, true};
constexpr Variant kPortable{FftPath::Portable, false, true};

std::vector<Complex> Library(const std::vector<Complex>& x, bool forward, const Variant& v) {
  if (v.viaFft) return forward ? FFT::Forward(x) : FFT::Backward(x);
  const int sign = forward ? 1 : -1;
  if (v.cached) return OrvaneNet::detail::FftCompute(x.data(), x.size(), sign, v.path);
  return OrvaneNet::detail::FftCompute(x.data(), x.size(), sign, OrvaneNet::detail::Best(),
                                       OrvaneNet::detail::fft::DefaultChunk(), nullptr);
}

// Argument: the number of input points.
void Paired(benchmark::State& state, bool forward, unsigned flags, Variant path) {
  if (!path.viaFft && path.cached && !OrvaneNet::detail::Supported(path.path)) {
    state.SkipWithError("path not supported by this CPU");
    return;
  }
  const auto x = RandomInput(static_cast<std::size_t>(state.range(0)));
  FftwSide fftw(x.size(), forward, flags);
  // About 64 Ki points per timed span.
  const int batch = static_cast<int>(std::max<std::size_t>(1, 65536 / FilledUp(x.size())));
  benchmark::DoNotOptimize(Library(x, forward, path).data());
  bench::RunPaired(
      state,
      [&] {
        for (int r = 0; r < batch; ++r) benchmark::DoNotOptimize(fftw.Run(x).data());
      },
      [&] {
        for (int r = 0; r < batch; ++r) benchmark::DoNotOptimize(Library(x, forward, path).data());
      });
  for (const char* counter : {"raw_ms", "lib_ms", "raw_wall_ms", "lib_wall_ms"})
    state.counters[counter] = state.counters[counter] / batch;
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1 << 10, 1000, 1 << 16, 1 << 20, 100000}) b->Arg(n);
  b->ArgName("N")->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK_CAPTURE(Paired, Estimate, true, FFTW_ESTIMATE, kFft)
    ->Name("FFT Forward/ESTIMATE")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(Paired, Measure, true, FFTW_MEASURE, kFft)
    ->Name("FFT Forward/MEASURE")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(Paired, Estimate, false, FFTW_ESTIMATE, kFft)
    ->Name("FFT Backward/ESTIMATE")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(Paired, Measure, false, FFTW_MEASURE, kFft)
    ->Name("FFT Backward/MEASURE")
    ->Apply(Sizes);
// The narrower instruction-set paths, which the dispatch skips on this
// processor, and the widest without the twiddle cache.
BENCHMARK_CAPTURE(Paired, Avx2, true, FFTW_ESTIMATE, kAvx2)
    ->Name("FFT Forward avx2/ESTIMATE")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(Paired, Portable, true, FFTW_ESTIMATE, kPortable)
    ->Name("FFT Forward portable/ESTIMATE")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(Paired, Uncached, true, FFTW_ESTIMATE, Variant{FftPath::Portable, false, false})
    ->Name("FFT Forward uncached/ESTIMATE")
    ->Apply(Sizes);

BENCHMARK_MAIN();
