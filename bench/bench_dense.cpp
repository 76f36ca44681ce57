// Dense general solve through the library next to the raw dgesv call on the
// same data. The matrix is copied in both cases (outside the timed region
// for the raw call via PauseTiming would distort; both copy inside), so the
// ratio isolates the library's overhead.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kinds/real/DoubleGeneralMatrix.h"
#include "lapack/fortran.h"

using OrvaneNet::DoubleGeneralMatrix;

namespace {

std::vector<double> RandomData(std::size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1, 1);
  std::vector<double> v(count);
  for (auto& x : v) x = dist(rng);
  return v;
}

void RawDgesv(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto a0 = RandomData(static_cast<std::size_t>(n) * n, 1);
  const auto b0 = RandomData(static_cast<std::size_t>(n), 2);
  std::vector<double> a, b;
  std::vector<int> ipiv(n);
  for (auto _ : state) {
    a = a0;
    b = b0;
    const int nrhs = 1;
    int info = 0;
    dgesv_(&n, &nrhs, a.data(), &n, ipiv.data(), b.data(), &n, &info);
    benchmark::DoNotOptimize(b.data());
  }
}

void LibrarySolveWithSimpleDriver(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  DoubleGeneralMatrix a0(n, n), b0(n, 1);
  std::copy_n(RandomData(static_cast<std::size_t>(n) * n, 1).data(), n * n, a0.Dat());
  std::copy_n(RandomData(static_cast<std::size_t>(n), 2).data(), n, b0.Dat());
  DoubleGeneralMatrix a(n, n), b(n, 1);
  for (auto _ : state) {
    std::copy_n(a0.Dat(), n * n, a.Dat());
    std::copy_n(b0.Dat(), n, b.Dat());
    a.SolveWithSimpleDriver(b);
    benchmark::DoNotOptimize(b.Dat());
  }
}

}  // namespace

BENCHMARK(RawDgesv)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LibrarySolveWithSimpleDriver)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
