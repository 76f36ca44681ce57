// FFT::Forward and FFT::Backward next to FFTW on the same data in the same
// run. Both sides are timed from a std::vector<Complex> in to a new
// std::vector<Complex> out: FFTW's time includes the copy (with zero fill)
// into its input array, the transform, and building the result vector (with
// the division by N for Backward). Plans are made once, outside the timing.
// Run with --benchmark_repetitions=N: the ratio table at the end uses medians.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "OrvaneNet/FFT.h"
#include "simd/FftKernels.h"

using OrvaneNet::Complex;
using OrvaneNet::FFT;

namespace {

std::vector<Complex> RandomInput(std::size_t count) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> dist(-1, 1);
  std::vector<Complex> v(count);
  for (auto& c : v) {
    const double re = dist(rng);
    c = Complex(re, dist(rng));
  }
  return v;
}

std::size_t FilledUp(std::size_t count) {
  std::size_t big = 1;
  while (big < count) big *= 2;
  return big;
}

template <bool kForward>
void Library(benchmark::State& state) {
  const auto x = RandomInput(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto y = kForward ? FFT::Forward(x) : FFT::Backward(x);
    benchmark::DoNotOptimize(y.data());
  }
}

// The same through one instruction-set path (skipped where the CPU lacks it).
template <bool kForward, OrvaneNet::detail::FftPath kPath>
void LibraryPath(benchmark::State& state) {
  if (!OrvaneNet::detail::Supported(kPath)) {
    state.SkipWithError("path not supported by this CPU");
    return;
  }
  const auto x = RandomInput(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto y = OrvaneNet::detail::FftCompute(x.data(), x.size(), kForward ? 1 : -1, kPath);
    benchmark::DoNotOptimize(y.data());
  }
}

template <bool kForward, unsigned kFlags>
void Fftw(benchmark::State& state) {
  const auto x = RandomInput(static_cast<std::size_t>(state.range(0)));
  const std::size_t big = FilledUp(x.size());
  auto* in = fftw_alloc_complex(big);
  auto* out = fftw_alloc_complex(big);
  // The library's Forward has the positive exponent: FFTW's "backward".
  fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(big), in, out,
                                    kForward ? FFTW_BACKWARD : FFTW_FORWARD, kFlags);
  const double scale = 1.0 / static_cast<double>(big);
  for (auto _ : state) {
    std::memcpy(in, x.data(), x.size() * sizeof(Complex));
    std::memset(in + x.size(), 0, (big - x.size()) * sizeof(fftw_complex));
    fftw_execute(plan);
    std::vector<Complex> y;
    if (kForward) {
      const auto* first = reinterpret_cast<const Complex*>(out);
      y.assign(first, first + big);
    } else {
      y.resize(big);
      for (std::size_t p = 0; p < big; ++p) y[p] = Complex(out[p][0] * scale, out[p][1] * scale);
    }
    benchmark::DoNotOptimize(y.data());
  }
  fftw_destroy_plan(plan);
  fftw_free(in);
  fftw_free(out);
}

// Prints library / FFTW ratios of the median (or, without repetitions, the
// single) CPU times after the usual console output.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      m_times[run.run_name.function_name][run.run_name.args] = run.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nlibrary time / FFTW time (medians when repeated)\n");
    std::printf("%-26s %10s %12s %12s\n", "", "N", "ESTIMATE", "MEASURE");
    for (const char* dir : {"Forward", "Backward"}) {
      for (const char* lib : {"/Library", "/LibraryAvx2", "/LibraryPortable"}) {
        const auto it = m_times.find(std::string(dir) + lib);
        if (it == m_times.end()) continue;
        for (const auto& [args, t] : it->second) {
          const double e = m_times[std::string(dir) + "/FftwEstimate"][args];
          const double m = m_times[std::string(dir) + "/FftwMeasure"][args];
          std::printf("%-26s %10s %12.2f %12.2f\n", (std::string(dir) + lib).c_str(), args.c_str(),
                      e > 0 ? t / e : 0.0, m > 0 ? t / m : 0.0);
        }
      }
    }
  }

 private:
  std::map<std::string, std::map<std::string, double>> m_times;
};

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1 << 10, 1 << 16, 1 << 20, 1000, 100000}) b->Arg(n);
  b->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(Library<true>)->Name("Forward/Library")->Apply(Sizes);
BENCHMARK(Fftw<true, FFTW_ESTIMATE>)->Name("Forward/FftwEstimate")->Apply(Sizes);
BENCHMARK(Fftw<true, FFTW_MEASURE>)->Name("Forward/FftwMeasure")->Apply(Sizes);
BENCHMARK(Library<false>)->Name("Backward/Library")->Apply(Sizes);
BENCHMARK(LibraryPath<true, OrvaneNet::detail::FftPath::Avx2>)
    ->Name("Forward/LibraryAvx2")
    ->Apply(Sizes);
BENCHMARK(LibraryPath<true, OrvaneNet::detail::FftPath::Portable>)
    ->Name("Forward/LibraryPortable")
    ->Apply(Sizes);
BENCHMARK(Fftw<false, FFTW_ESTIMATE>)->Name("Backward/FftwEstimate")->Apply(Sizes);
BENCHMARK(Fftw<false, FFTW_MEASURE>)->Name("Backward/FftwMeasure")->Apply(Sizes);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
