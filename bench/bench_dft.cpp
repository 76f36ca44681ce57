// DFT next to FFTW on the same data in the same run (bench/PairedTiming.h:
// each iteration runs both once, alternating which goes first, in process
// CPU time). Both sides go from the caller's vector to a new result vector:
// FFTW's time includes the copy into its input array, the transform of an
// FFTW_ESTIMATE plan and building the result vector. The FFTW plan and the
// library's plan for the length (its first call) are made before the timing.
//
//   DftForward/N      DFT::Forward of N complex points vs a c2c plan (FFTW's
//                     sign +1, the library's Forward);
//   DftForwardReal/N  DFT::ForwardReal of N real points vs an r2c plan (the
//                     conjugate bins: the r2c output is not conjugated,
//                     which would only add to FFTW's time).
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <complex>
#include <cstring>
#include <vector>

#include "OrvaneNet/DFT.h"
#include "PairedTiming.h"
#include "RandomData.h"

using OrvaneNet::Complex;
using OrvaneNet::DFT;

namespace {

void DftForward(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const auto data = bench::RandomData<std::complex<double>>(n, 1);
  const std::vector<Complex> x(data.begin(), data.end());
  fftw_complex* in = fftw_alloc_complex(n);
  fftw_complex* out = fftw_alloc_complex(n);
  fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(n), in, out, FFTW_BACKWARD, FFTW_ESTIMATE);
  benchmark::DoNotOptimize(DFT::Forward(x).data());
  bench::RunPaired(
      state,
      [&] {
        std::memcpy(in, x.data(), n * sizeof(Complex));
        fftw_execute(plan);
        const auto* first = reinterpret_cast<const Complex*>(out);
        std::vector<Complex> y(first, first + n);
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        std::vector<Complex> y = DFT::Forward(x);
        benchmark::DoNotOptimize(y.data());
      });
  fftw_destroy_plan(plan);
  fftw_free(in);
  fftw_free(out);
}

void DftForwardReal(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const auto x = bench::RandomData<double>(n, 2);
  double* in = fftw_alloc_real(n);
  fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
  benchmark::DoNotOptimize(DFT::ForwardReal(x).data());
  bench::RunPaired(
      state,
      [&] {
        std::memcpy(in, x.data(), n * sizeof(double));
        fftw_execute(plan);
        const auto* first = reinterpret_cast<const std::complex<double>*>(out);
        std::vector<std::complex<double>> y(first, first + n / 2 + 1);
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        std::vector<std::complex<double>> y = DFT::ForwardReal(x);
        benchmark::DoNotOptimize(y.data());
      });
  fftw_destroy_plan(plan);
  fftw_free(in);
  fftw_free(out);
}

void Us(benchmark::internal::Benchmark* b) { b->UseManualTime()->Unit(benchmark::kMicrosecond); }

}  // namespace

BENCHMARK(DftForward)->ArgName("N")->Arg(1000)->Arg(1009)->Arg(100000)->Arg(65537)->Apply(Us);
BENCHMARK(DftForwardReal)->ArgName("N")->Arg(1 << 16)->Arg(1000000)->Apply(Us);
BENCHMARK_MAIN();
