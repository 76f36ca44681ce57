// GeneralEigenproblem::Solve next to the bare dgeev / zgeev call on the same
// matrix in the same run (bench/PairedTiming.h, process CPU time). The raw
// call uses the workspace the routine asks for, queried and allocated once
// outside the timing, and its own arrays (real eigenvector columns for
// dgeev). The library side is the public call as a user makes it: it
// allocates its result handles and work array, queries the workspace, and
// spreads dgeev's real vector columns into complex ones. Both inputs are
// restored outside the timing.
#include <benchmark/benchmark.h>

#include <complex>
#include <vector>

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/GeneralEigenproblem.h"
#include "OrvaneNet/Matrix.h"
#include "PairedTiming.h"
#include "RandomData.h"
#include "lapack/fortran.h"

using OrvaneNet::ComplexMatrix;
using OrvaneNet::GeneralEigenproblem;
using OrvaneNet::Matrix;

namespace {

using Z = std::complex<double>;

template <class Handle, class T>
Handle ToHandle(const std::vector<T>& a, int n) {
  Handle h(n, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) h.set_Item(i, j, a[static_cast<std::size_t>(i + j * n)]);
  return h;
}

int QueriedWork(double query) { return static_cast<int>(query) + 1; }

void RealGeneralEigen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool vectors = state.range(1) != 0;
  const auto a0 = bench::RandomData<double>(static_cast<std::size_t>(n) * n, 7);
  const Matrix ha0 = ToHandle<Matrix>(a0, n);
  std::vector<double> a(a0), wr(n), wi(n), vr(vectors ? a0.size() : 1);
  const char jobvl = 'N', jobvr = vectors ? 'V' : 'N';
  const int ldvr = vectors ? n : 1;
  int lwork = -1, info = 0;
  double query = 0;
  dgeev_(&jobvl, &jobvr, &n, a.data(), &n, wr.data(), wi.data(), nullptr, &n, vr.data(), &ldvr,
         &query, &lwork, &info, 1, 1);
  lwork = QueriedWork(query);
  std::vector<double> work(static_cast<std::size_t>(lwork));
  Matrix ha;
  ComplexMatrix values, vecs;
  bench::RunPaired(
      state, [&] { a = a0; },
      [&] {
        int rinfo = 0;
        dgeev_(&jobvl, &jobvr, &n, a.data(), &n, wr.data(), wi.data(), nullptr, &n, vr.data(),
               &ldvr, work.data(), &lwork, &rinfo, 1, 1);
        benchmark::DoNotOptimize(wr.data());
      },
      [&] { ha = ha0.Clone(); },
      [&] {
        vectors ? GeneralEigenproblem::Solve(ha, values, vecs) : GeneralEigenproblem::Solve(ha, values);
      });
}

void ComplexGeneralEigen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool vectors = state.range(1) != 0;
  const auto a0 = bench::RandomData<Z>(static_cast<std::size_t>(n) * n, 8);
  const ComplexMatrix ha0 = ToHandle<ComplexMatrix>(a0, n);
  std::vector<Z> a(a0), w(n), vr(vectors ? a0.size() : 1);
  std::vector<double> rwork(2 * static_cast<std::size_t>(n));
  const char jobvl = 'N', jobvr = vectors ? 'V' : 'N';
  const int ldvr = vectors ? n : 1;
  int lwork = -1, info = 0;
  Z query = 0;
  zgeev_(&jobvl, &jobvr, &n, a.data(), &n, w.data(), nullptr, &n, vr.data(), &ldvr, &query, &lwork,
         rwork.data(), &info, 1, 1);
  lwork = QueriedWork(query.real());
  std::vector<Z> work(static_cast<std::size_t>(lwork));
  ComplexMatrix ha, values, vecs;
  bench::RunPaired(
      state, [&] { a = a0; },
      [&] {
        int rinfo = 0;
        zgeev_(&jobvl, &jobvr, &n, a.data(), &n, w.data(), nullptr, &n, vr.data(), &ldvr,
               work.data(), &lwork, rwork.data(), &rinfo, 1, 1);
        benchmark::DoNotOptimize(w.data());
      },
      [&] { ha = ha0.Clone(); },
      [&] {
        vectors ? GeneralEigenproblem::Solve(ha, values, vecs) : GeneralEigenproblem::Solve(ha, values);
      });
}

void Ms(benchmark::internal::Benchmark* b) { b->UseManualTime()->Unit(benchmark::kMillisecond); }

}  // namespace

BENCHMARK(RealGeneralEigen)->ArgNames({"n", "vectors"})->Args({500, 0})->Args({500, 1})->Apply(Ms);
BENCHMARK(ComplexGeneralEigen)->ArgNames({"n", "vectors"})->Args({250, 0})->Args({250, 1})->Apply(Ms);
BENCHMARK_MAIN();
