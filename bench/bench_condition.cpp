// The condition estimate and the norm it needs, next to the raw LAPACK
// calls on the same data (PairedTiming.h: alternating, process CPU time).
//
//  ReciprocalCondition          LinearEquation::ReciprocalCondition on a
//                               factorized handle against ?gecon given the
//                               norm: the O(n^2) call must not refactorize
//                               nor take the norm again.
//  ComplexDenseFactorize        the complex kind's Factorize, which takes the
//                               1-norm (zlange) first, against zgetrf alone.
//                               (The real twin is bench_dense's DenseFactorize.)
//  LangeBeforeGetrf             no library call: ?lange('1') then ?getrf
//  ComplexLangeBeforeGetrf      against ?getrf alone, what the factorizations
//                               would pay had they taken the 1-norm through
//                               LAPACK's ?lange (kinds/OneNorm.h).
#include <benchmark/benchmark.h>

#include <OrvaneNet/LinearEquation.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "PairedTiming.h"
#include "RandomData.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "lapack/Dense.h"

using OrvaneNet::ComplexGeneralMatrix;

namespace {

std::size_t Square(int n) { return static_cast<std::size_t>(n) * static_cast<std::size_t>(n); }

template <class T, class Handle>
void ReciprocalConditionCase(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto a0 = bench::RandomData<T>(Square(n), 1);
  // The raw side: factors and the norm, made once.
  std::vector<T> a(a0);
  std::vector<int> ipiv(n);
  const char norm = '1';
  std::vector<double> none;
  const double anorm = OrvaneNet::lapack::lange(&norm, &n, &n, a.data(), &n, none.data());
  int info = 0;
  OrvaneNet::lapack::getrf(&n, &n, a.data(), &n, ipiv.data(), &info);
  // The library side: a handle filled once (untimed) and factorized by the
  // first estimate; every later call reuses the factors.
  Handle h(n, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) h(i, j) = a0[static_cast<std::size_t>(j) * n + i];
  const double first = OrvaneNet::LinearEquation::ReciprocalCondition(h);
  double rcond = 0;
  std::vector<T> work(4 * static_cast<std::size_t>(n));
  std::vector<int> iwork(n);
  std::vector<double> rwork(2 * static_cast<std::size_t>(n));
  bench::RunPaired(
      state,
      [&] {
        int rinfo = 0;
        OrvaneNet::lapack::gecon(&norm, &n, a.data(), &n, &anorm, &rcond, work.data(), iwork.data(),
                                 rwork.data(), &rinfo);
        benchmark::DoNotOptimize(rcond);
      },
      [&] { benchmark::DoNotOptimize(OrvaneNet::LinearEquation::ReciprocalCondition(h)); });
  // The library sums the norm in another order: the last bits may differ.
  if (std::abs(rcond - first) > 1e-12 * first) state.SkipWithError("library and gecon disagree");
}

void ReciprocalCondition(benchmark::State& state) {
  ReciprocalConditionCase<double, OrvaneNet::Matrix>(state);
}
void ComplexReciprocalCondition(benchmark::State& state) {
  ReciprocalConditionCase<std::complex<double>, OrvaneNet::ComplexMatrix>(state);
}

void ComplexDenseFactorize(benchmark::State& state) {
  using T = std::complex<double>;
  const int n = static_cast<int>(state.range(0));
  const auto a0 = bench::RandomData<T>(Square(n), 1);
  std::vector<T> a(a0.size());
  std::vector<int> ipiv(n);
  ComplexGeneralMatrix ka(n, n);
  bench::RunPaired(
      state, [&] { std::copy(a0.begin(), a0.end(), a.begin()); },
      [&] {
        int info = 0;
        zgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
        benchmark::DoNotOptimize(a.data());
      },
      [&] { std::copy(a0.begin(), a0.end(), ka.View().data()); },
      [&] {
        ka.Factorize();
        benchmark::DoNotOptimize(ka.View().data());
      });
}

template <class T>
void LangeBeforeGetrfCase(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto a0 = bench::RandomData<T>(Square(n), 1);
  std::vector<T> a(a0.size());
  std::vector<int> ipiv(n);
  const char norm = '1';
  std::vector<double> none;
  auto getrf = [&] {
    int info = 0;
    OrvaneNet::lapack::getrf(&n, &n, a.data(), &n, ipiv.data(), &info);
    benchmark::DoNotOptimize(a.data());
  };
  auto fill = [&] { std::copy(a0.begin(), a0.end(), a.begin()); };
  bench::RunPaired(state, fill, getrf, fill, [&] {
    benchmark::DoNotOptimize(OrvaneNet::lapack::lange(&norm, &n, &n, a.data(), &n, none.data()));
    getrf();
  });
}

void LangeBeforeGetrf(benchmark::State& state) { LangeBeforeGetrfCase<double>(state); }
void ComplexLangeBeforeGetrf(benchmark::State& state) {
  LangeBeforeGetrfCase<std::complex<double>>(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(250)->Arg(500)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(ReciprocalCondition)->Apply(Sizes);
BENCHMARK(ComplexReciprocalCondition)->Apply(Sizes);
BENCHMARK(ComplexDenseFactorize)->Apply(Sizes);
BENCHMARK(LangeBeforeGetrf)->Apply(Sizes);
BENCHMARK(ComplexLangeBeforeGetrf)->Apply(Sizes);
BENCHMARK_MAIN();
