// Band solves through the kinds next to the raw LAPACK driver on the same
// data. Each iteration runs both, alternately, on fresh copies of the same
// inputs (copied the same way into preallocated storage, inside the timed
// region), so drift on a shared machine hits both alike. Each variant is timed
// in process CPU time, which other processes on the shared cores disturb far
// less than wall time (PairedTiming.h). Counters: the median raw and library
// CPU times per solve and their ratio (library / raw).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "PairedTiming.h"
#include "kinds/StorageAccess.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"
#include "lapack/fortran.h"

using OrvaneNet::DoubleGeneralBandMatrix;
using OrvaneNet::DoubleGeneralMatrix;
using OrvaneNet::DoubleSymmetricBandMatrix;

namespace {

// The band array the kind owns, written directly so that both loops copy the
// same bytes the same way.
using OrvaneNet::detail::StorageAccess;

// Diagonally dominant general band matrix in LAPACK layout (the kl fill-in
// rows zero), and a right-hand side.
void GeneralBandSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), kl = static_cast<int>(state.range(1)), ku = kl;
  DoubleGeneralBandMatrix a0(n, n, kl, ku);
  DoubleGeneralMatrix b0(n, 1);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> dist(-1, 1);
  for (int j = 0; j < n; ++j) {
    for (int i = std::max(0, j - ku); i <= std::min(n - 1, j + kl); ++i)
      a0.set_Item(i, j, dist(rng) + (i == j ? kl + ku + 1.0 : 0.0));
    b0.set_Item(j, 0, dist(rng));
  }
  const std::int64_t size = static_cast<std::int64_t>(StorageAccess::Band(a0).size());
  const int ldab = 2 * kl + ku + 1, nrhs = 1;

  std::vector<double> ab(size), b(n);
  std::vector<int> ipiv(n);
  DoubleGeneralBandMatrix a(n, n, kl, ku);
  DoubleGeneralMatrix x(n, 1);
  auto runRaw = [&] {
    std::copy_n(StorageAccess::Band(a0).data(), size, ab.data());
    std::copy_n(b0.View().data(), n, b.data());
    int info = 0;
    dgbsv_(&n, &kl, &ku, &nrhs, ab.data(), &ldab, ipiv.data(), b.data(), &n, &info);
    benchmark::DoNotOptimize(b.data());
  };
  auto runLib = [&] {
    std::copy_n(StorageAccess::Band(a0).data(), size, StorageAccess::Band(a).data());
    std::copy_n(b0.View().data(), n, x.View().data());
    a.SolveWithSimpleDriver(x);
    benchmark::DoNotOptimize(x.View().data());
  };
  bench::RunPaired(state, runRaw, runLib);
  if (x.get_Item(n - 1, 0) != b[n - 1]) state.SkipWithError("library and dgbsv disagree");
}

// Symmetric positive definite band matrix, upper band (kd + 1 rows).
void SymmetricBandSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), kd = static_cast<int>(state.range(1));
  DoubleSymmetricBandMatrix a0(n, n, kd, kd);
  DoubleGeneralMatrix b0(n, 1);
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> dist(-1, 1);
  for (int j = 0; j < n; ++j) {
    for (int i = std::max(0, j - kd); i <= j; ++i)
      a0.set_Item(i, j, i == j ? 2.0 * kd + 1 : dist(rng));
    b0.set_Item(j, 0, dist(rng));
  }
  const std::int64_t size = static_cast<std::int64_t>(StorageAccess::Band(a0).size());
  const char uplo = 'U';
  const int ldab = kd + 1, nrhs = 1;

  std::vector<double> ab(size), b(n);
  DoubleSymmetricBandMatrix a(n, n, kd, kd);
  DoubleGeneralMatrix x(n, 1);
  auto runRaw = [&] {
    std::copy_n(StorageAccess::Band(a0).data(), size, ab.data());
    std::copy_n(b0.View().data(), n, b.data());
    int info = 0;
    dpbsv_(&uplo, &n, &kd, &nrhs, ab.data(), &ldab, b.data(), &n, &info, 1);
    benchmark::DoNotOptimize(b.data());
  };
  auto runLib = [&] {
    std::copy_n(StorageAccess::Band(a0).data(), size, StorageAccess::Band(a).data());
    std::copy_n(b0.View().data(), n, x.View().data());
    a.SolveWithSimpleDriver(x);
    benchmark::DoNotOptimize(x.View().data());
  };
  bench::RunPaired(state, runRaw, runLib);
  if (x.get_Item(n - 1, 0) != b[n - 1]) state.SkipWithError("library and dpbsv disagree");
}

// Factorize alone: the library keeps a copy of the band aside so that a
// failed Cholesky can put the matrix back; this row shows what that costs
// against the bare dpbtrf.
void SymmetricBandFactorize(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), kd = static_cast<int>(state.range(1));
  DoubleSymmetricBandMatrix a0(n, n, kd, kd);
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> dist(-1, 1);
  for (int j = 0; j < n; ++j)
    for (int i = std::max(0, j - kd); i <= j; ++i)
      a0.set_Item(i, j, i == j ? 2.0 * kd + 1 : dist(rng));
  const std::int64_t size = static_cast<std::int64_t>(StorageAccess::Band(a0).size());
  const char uplo = 'U';
  const int ldab = kd + 1;
  std::vector<double> ab(size);
  DoubleSymmetricBandMatrix a(n, n, kd, kd);
  auto runRaw = [&] {
    std::copy_n(StorageAccess::Band(a0).data(), size, ab.data());
    int info = 0;
    dpbtrf_(&uplo, &n, &kd, ab.data(), &ldab, &info, 1);
    benchmark::DoNotOptimize(ab.data());
  };
  auto runLib = [&] {
    std::copy_n(StorageAccess::Band(a0).data(), size, StorageAccess::Band(a).data());
    a.Factorize();
    benchmark::DoNotOptimize(StorageAccess::Band(a).data());
  };
  bench::RunPaired(state, runRaw, runLib);
  if (StorageAccess::Band(a)[size - 1] != ab[size - 1]) state.SkipWithError("library and dpbtrf disagree");
}

void Shapes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "k"})->Args({20000, 4})->Args({200000, 4})->Args({20000, 32});
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(GeneralBandSolve)->Apply(Shapes);
BENCHMARK(SymmetricBandSolve)->Apply(Shapes);
BENCHMARK(SymmetricBandFactorize)->Apply(Shapes);
BENCHMARK_MAIN();
