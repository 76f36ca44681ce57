// The product kernels on each instruction-set path next to single-threaded
// dgemm / zgemm on the same data. Every iteration times both, one after the
// other, so machine noise hits the two alike; the reported time is the
// kernel's, the counters give the kernel's and BLAS's mean times (lib_ms,
// raw_ms) and the ratio kernel / BLAS.
// Times are this thread's CPU time (both run single-threaded in it), which
// leaves out the time other processes hold the core on a shared machine.
// Run with --benchmark_repetitions=N and read the medians.
//
// The threaded cases (Product2Threads*, ProductDispatch) are paired
// (bench/PairedTiming.h) in wall time, which is what threads shorten:
//   Product2Threads         the best kernel on 2 threads vs the same on 1
//   Product2ThreadsVsBlas   the same 2 threads vs dgemm / zgemm on 2 threads
//   ProductDispatch         MultiplyReal as the handles call it, allowed 2
//                           threads vs held to 1: the sizes below the
//                           threshold must not pay for the threads.
#include <benchmark/benchmark.h>
#include <time.h>

#include <complex>
#include <cstddef>
#include <random>
#include <vector>

#include "PairedTiming.h"
#include "RandomData.h"
#include "lapack/fortran.h"
#include "simd/Product.h"

// OpenBLAS only; absent with the reference BLAS, which is single-threaded.
extern "C" void openblas_set_num_threads(int) __attribute__((weak));

namespace {

using OrvaneNet::detail::InstructionSet;
using Cplx = std::complex<double>;

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void Gemm(int m, int n, int k, const double* a, const double* b, double* c) {
  const double one = 1.0, zero = 0.0;
  dgemm_("N", "N", &m, &n, &k, &one, a, &m, b, &k, &zero, c, &m, 1, 1);
}
void Gemm(int m, int n, int k, const Cplx* a, const Cplx* b, Cplx* c) {
  const Cplx one = 1.0, zero = 0.0;
  zgemm_("N", "N", &m, &n, &k, &one, a, &m, b, &k, &zero, c, &m, 1, 1);
}

void Kernel(InstructionSet set, int m, int n, int k, const double* a, const double* b, double* c) {
  OrvaneNet::detail::MultiplyRealOn(set, m, n, k, a, b, c);
}
void Kernel(InstructionSet set, int m, int n, int k, const Cplx* a, const Cplx* b, Cplx* c) {
  OrvaneNet::detail::MultiplyComplexOn(set, m, n, k, a, b, c);
}

// Arguments: m, n, k.
template <class T>
void Product(benchmark::State& state, InstructionSet set) {
  if (!OrvaneNet::detail::Supported(set)) {
    state.SkipWithError("instruction set not supported here");
    return;
  }
  if (openblas_set_num_threads) openblas_set_num_threads(1);
  const int m = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  const int k = static_cast<int>(state.range(2));
  const auto a = bench::RandomData<T>(static_cast<std::size_t>(m) * k, 1);
  const auto b = bench::RandomData<T>(static_cast<std::size_t>(k) * n, 2);
  std::vector<T> c(static_cast<std::size_t>(m) * n), cBlas(c.size());
  double kernelSeconds = 0, blasSeconds = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    Kernel(set, m, n, k, a.data(), b.data(), c.data());
    benchmark::DoNotOptimize(c.data());
    const double t1 = ThreadSeconds();
    Gemm(m, n, k, a.data(), b.data(), cBlas.data());
    benchmark::DoNotOptimize(cBlas.data());
    const double t2 = ThreadSeconds();
    const double kernel = t1 - t0;
    kernelSeconds += kernel;
    blasSeconds += t2 - t1;
    state.SetIterationTime(kernel);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["lib_ms"] = 1e3 * kernelSeconds / iterations;
  state.counters["raw_ms"] = 1e3 * blasSeconds / iterations;
  state.counters["ratio"] = kernelSeconds / blasSeconds;
  const double flops = (std::is_same_v<T, double> ? 2.0 : 8.0) * m * n * k;
  state.counters["GFlops"] = flops * iterations / kernelSeconds * 1e-9;
}

void Shapes(benchmark::internal::Benchmark* b) {
  for (int n : {256, 512, 1024}) b->Args({n, n, n});
  b->Args({4096, 64, 64});
  b->ArgNames({"m", "n", "k"})->UseManualTime()->Unit(benchmark::kMillisecond);
}

void Real(benchmark::State& state, InstructionSet set) { Product<double>(state, set); }
void Complex(benchmark::State& state, InstructionSet set) { Product<Cplx>(state, set); }

void Threaded(int threads, int n, const double* a, const double* b, double* c) {
  OrvaneNet::detail::MultiplyRealOn(OrvaneNet::detail::Best(), n, n, n, a, b, c, threads);
}
void Threaded(int threads, int n, const Cplx* a, const Cplx* b, Cplx* c) {
  OrvaneNet::detail::MultiplyComplexOn(OrvaneNet::detail::Best(), n, n, n, a, b, c, threads);
}

// Argument: n (square matrices). vsBlas: against dgemm / zgemm on 2 threads
// instead of the library on 1.
template <class T>
void TwoThreads(benchmark::State& state, bool vsBlas) {
  const int n = static_cast<int>(state.range(0));
  const auto a = bench::RandomData<T>(static_cast<std::size_t>(n) * n, 1);
  const auto b = bench::RandomData<T>(static_cast<std::size_t>(n) * n, 2);
  std::vector<T> c(a.size()), raw(a.size());
  if (openblas_set_num_threads) openblas_set_num_threads(2);
  bench::RunPaired(
      state,
      [&] {
        if (vsBlas) {
          Gemm(n, n, n, a.data(), b.data(), raw.data());
        } else {
          Threaded(1, n, a.data(), b.data(), raw.data());
        }
        benchmark::DoNotOptimize(raw.data());
      },
      [&] {
        Threaded(2, n, a.data(), b.data(), c.data());
        benchmark::DoNotOptimize(c.data());
      },
      bench::Clock::kWall);
  if (openblas_set_num_threads) openblas_set_num_threads(1);
}

void TwoThreadsReal(benchmark::State& state, bool vsBlas) { TwoThreads<double>(state, vsBlas); }
void TwoThreadsComplex(benchmark::State& state, bool vsBlas) { TwoThreads<Cplx>(state, vsBlas); }

// Argument: n (square). MultiplyReal allowed 2 threads vs held to 1.
void Dispatch(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto a = bench::RandomData<double>(static_cast<std::size_t>(n) * n, 1);
  const auto b = bench::RandomData<double>(static_cast<std::size_t>(n) * n, 2);
  std::vector<double> c(a.size()), raw(a.size());
  bench::RunPaired(
      state,
      [&] {
        OrvaneNet::detail::MultiplyReal(n, n, n, a.data(), b.data(), raw.data(), 1);
        benchmark::DoNotOptimize(raw.data());
      },
      [&] {
        OrvaneNet::detail::MultiplyReal(n, n, n, a.data(), b.data(), c.data(), 2);
        benchmark::DoNotOptimize(c.data());
      },
      bench::Clock::kWall);
}

void ThreadShapes(benchmark::internal::Benchmark* b) {
  for (int n : {96, 128, 192, 256, 512, 1024}) b->Arg(n);
  b->ArgName("n")->UseManualTime()->Unit(benchmark::kMillisecond);
}
void SmallShapes(benchmark::internal::Benchmark* b) {
  for (int n : {16, 32, 64, 80, 96, 112, 128, 160, 192}) b->Arg(n);
  b->ArgName("n")->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK_CAPTURE(Real, avx512, InstructionSet::Avx512)->Apply(Shapes);
BENCHMARK_CAPTURE(Real, avx2, InstructionSet::Avx2)->Apply(Shapes);
BENCHMARK_CAPTURE(Real, generic, InstructionSet::Portable)->Apply(Shapes);
BENCHMARK_CAPTURE(Complex, avx512, InstructionSet::Avx512)->Apply(Shapes);
BENCHMARK_CAPTURE(Complex, avx2, InstructionSet::Avx2)->Apply(Shapes);
BENCHMARK_CAPTURE(Complex, generic, InstructionSet::Portable)->Apply(Shapes);
BENCHMARK_CAPTURE(TwoThreadsReal, real, false)->Name("Product2Threads/real")->Apply(ThreadShapes);
BENCHMARK_CAPTURE(TwoThreadsComplex, complex, false)
    ->Name("Product2Threads/complex")
    ->Apply(ThreadShapes);
BENCHMARK_CAPTURE(TwoThreadsReal, real, true)
    ->Name("Product2ThreadsVsBlas/real")
    ->Apply(ThreadShapes);
BENCHMARK_CAPTURE(TwoThreadsComplex, complex, true)
    ->Name("Product2ThreadsVsBlas/complex")
    ->Apply(ThreadShapes);
BENCHMARK(Dispatch)->Name("ProductDispatch/real")->Apply(SmallShapes);
BENCHMARK_MAIN();
