// Tridiagonal solves through the kinds next to the raw LAPACK calls on the
// same data. Each iteration times both, in alternating order, in process CPU
// time (PairedTiming.h), so that load from other processes hits them alike;
// both copy their inputs (diagonals and right-hand side) from pristine arrays
// inside the timed part. Counters: raw_ms and lib_ms per solve (medians),
// ratio = lib / raw.
//
// The general one-call solve of the library is gttrf + gttrs (it must leave
// factors and pivots for later solves), so its ratio against dgtsv measures
// that choice; GeneralFactorizeSolve compares the same routines on both sides.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PairedTiming.h"
#include "kinds/StorageAccess.h"
#include "kinds/real/DoubleGeneralMatrix.h"
#include "kinds/real/DoubleGeneralTridiagonalMatrix.h"
#include "kinds/real/DoubleSymmetricTridiagonalMatrix.h"
#include "lapack/fortran.h"

using namespace OrvaneNet;
using OrvaneNet::detail::StorageAccess;

namespace {

std::vector<double> RandomData(std::size_t count, unsigned seed, double lo, double hi) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(lo, hi);
  std::vector<double> v(count);
  for (auto& x : v) x = dist(rng);
  return v;
}

// Diagonally dominant (general) or positive definite (symmetric) data.
struct Data {
  explicit Data(int n)
      : d(RandomData(n, 1, 4.0, 6.0)),
        dl(RandomData(n - 1, 2, -1.0, 1.0)),
        du(RandomData(n - 1, 3, -1.0, 1.0)),
        b(RandomData(n, 4, -1.0, 1.0)) {}
  std::vector<double> d, dl, du, b;
};

void GeneralOneCall(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nrhs = 1;
  const Data data(n);
  std::vector<double> d(n), dl(n - 1), du(n - 1), b(n);
  DoubleGeneralTridiagonalMatrix a(n, n);
  DoubleGeneralMatrix x(n, 1);
  bench::RunPaired(
      state,
      [&] {
        std::copy_n(data.d.data(), n, d.data());
        std::copy_n(data.dl.data(), n - 1, dl.data());
        std::copy_n(data.du.data(), n - 1, du.data());
        std::copy_n(data.b.data(), n, b.data());
        int info = 0;
        dgtsv_(&n, &nrhs, dl.data(), d.data(), du.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
      },
      [&] {
        const auto [adl, ad, adu] = StorageAccess::Diagonals(a);
        std::copy_n(data.d.data(), n, ad.data());
        std::copy_n(data.dl.data(), n - 1, adl.data());
        std::copy_n(data.du.data(), n - 1, adu.data());
        std::copy_n(data.b.data(), n, x.View().data());
        a.SolveWithSimpleDriver(x);
        benchmark::DoNotOptimize(x.View().data());
      });
}

void GeneralFactorizeSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nrhs = 1;
  const Data data(n);
  std::vector<double> d(n), dl(n - 1), du(n - 1), du2(n - 2), b(n);
  std::vector<int> ipiv(n);
  DoubleGeneralTridiagonalMatrix a(n, n);
  DoubleGeneralMatrix x(n, 1);
  bench::RunPaired(
      state,
      [&] {
        std::copy_n(data.d.data(), n, d.data());
        std::copy_n(data.dl.data(), n - 1, dl.data());
        std::copy_n(data.du.data(), n - 1, du.data());
        std::copy_n(data.b.data(), n, b.data());
        const char trans = 'N';
        int info = 0;
        dgttrf_(&n, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(), &info);
        dgttrs_(&trans, &n, &nrhs, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(),
                b.data(), &n, &info, 1);
        benchmark::DoNotOptimize(b.data());
      },
      [&] {
        const auto [adl, ad, adu] = StorageAccess::Diagonals(a);
        std::copy_n(data.d.data(), n, ad.data());
        std::copy_n(data.dl.data(), n - 1, adl.data());
        std::copy_n(data.du.data(), n - 1, adu.data());
        std::copy_n(data.b.data(), n, x.View().data());
        a.Factorize();
        a.Solve(x);
        benchmark::DoNotOptimize(x.View().data());
      });
}

void SymmetricOneCall(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nrhs = 1;
  const Data data(n);
  std::vector<double> d(n), e(n - 1), b(n);
  DoubleSymmetricTridiagonalMatrix a(n, n);
  DoubleGeneralMatrix x(n, 1);
  bench::RunPaired(
      state,
      [&] {
        std::copy_n(data.d.data(), n, d.data());
        std::copy_n(data.du.data(), n - 1, e.data());
        std::copy_n(data.b.data(), n, b.data());
        int info = 0;
        dptsv_(&n, &nrhs, d.data(), e.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
      },
      [&] {
        const auto [ad, ae] = StorageAccess::Diagonals(a);
        std::copy_n(data.d.data(), n, ad.data());
        std::copy_n(data.du.data(), n - 1, ae.data());
        std::copy_n(data.b.data(), n, x.View().data());
        a.SolveWithSimpleDriver(x);
        benchmark::DoNotOptimize(x.View().data());
      });
}

// Factorize alone: the library keeps d and e aside so that a failed
// factorization can put the matrix back; this row shows what that costs
// against the bare dpttrf.
void SymmetricFactorize(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Data data(n);
  std::vector<double> d(n), e(n - 1);
  DoubleSymmetricTridiagonalMatrix a(n, n);
  bench::RunPaired(
      state,
      [&] {
        std::copy_n(data.d.data(), n, d.data());
        std::copy_n(data.du.data(), n - 1, e.data());
        int info = 0;
        dpttrf_(&n, d.data(), e.data(), &info);
        benchmark::DoNotOptimize(d.data());
      },
      [&] {
        const auto [ad, ae] = StorageAccess::Diagonals(a);
        std::copy_n(data.d.data(), n, ad.data());
        std::copy_n(data.du.data(), n - 1, ae.data());
        a.Factorize();
        benchmark::DoNotOptimize(ad.data());
      });
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(100'000)->Arg(1'000'000)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(GeneralOneCall)->Apply(Sizes);
BENCHMARK(GeneralFactorizeSolve)->Apply(Sizes);
BENCHMARK(SymmetricOneCall)->Apply(Sizes);
BENCHMARK(SymmetricFactorize)->Apply(Sizes);
BENCHMARK_MAIN();
