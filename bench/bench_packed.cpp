// The packed symmetric kind next to the raw packed LAPACK routines on the
// same data, and next to the full-storage routines, so that both the kind's
// overhead (its fallback copy included) and the price of packed storage are
// visible.
//
// Each iteration runs the kind, the raw packed call and the full-storage call
// (and, for the solve, the raw call with the fallback copy) back to back on
// freshly copied inputs (restored outside the timed span for every variant),
// alternating whether the kind or the raw call goes first, each in process
// CPU time. The reported time is the kind's; the counters give the kind's
// and the raw times (lib_ms, raw_ms: means) and the ratios:
//   ratio     - DoubleSymmetricMatrix against dppsv / dspev (target <= 1.03)
//   kind/full - against dposv / dsyevd on the full n x n array
//   kind/(raw+copy) - solve only: against dppsv preceded by the copy of the
//               packed array that the Cholesky-first design must keep
// The machine is shared: run with --benchmark_repetitions and read medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <vector>

#include "PairedTiming.h"
#include "kinds/StorageAccess.h"
#include "kinds/real/DoubleSymmetricMatrix.h"
#include "lapack/fortran.h"

using OrvaneNet::DoubleGeneralMatrix;
using OrvaneNet::DoubleSymmetricMatrix;
using OrvaneNet::detail::StorageAccess;

namespace {

// A random symmetric positive definite matrix (symmetric part + n I), packed
// upper and full column-major.
struct Problem {
  int n;
  std::vector<double> packed, full, rhs;

  explicit Problem(int order) : n(order) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(-1, 1);
    full.assign(static_cast<std::size_t>(n) * n, 0.0);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i <= j; ++i) {
        const double v = dist(rng) + (i == j ? n : 0.0);
        full[i + static_cast<std::size_t>(j) * n] = v;
        full[j + static_cast<std::size_t>(i) * n] = v;
        packed.push_back(v);
      }
    rhs.resize(n);
    for (auto& x : rhs) x = dist(rng);
  }
};

template <class F>
double Seconds(F&& f) {
  const double t0 = bench::CpuSeconds();
  f();
  return bench::CpuSeconds() - t0;
}

// Runs the variants per iteration, each timing only its own call after
// restoring its inputs. `rawCopy` (optional) is the raw call preceded by the
// copy the kind keeps for its fallback, which separates the price of that
// copy from the kind's own overhead.
template <class Kind, class Raw, class Full, class RawCopy>
void Compare(benchmark::State& state, Kind kind, Raw raw, Full full, RawCopy rawCopy) {
  double tKind = 0, tRaw = 0, tFull = 0, tRawCopy = 0;
  // Kept across repetitions: the large cases run one iteration each.
  static long iteration = 0;
  for (auto _ : state) {
    double k = 0;
    if (iteration++ % 2 == 0) {
      k = kind();
      tRaw += raw();
    } else {
      tRaw += raw();
      k = kind();
    }
    tRawCopy += rawCopy();
    tFull += full();
    tKind += k;
    state.SetIterationTime(k);
  }
  const double its = static_cast<double>(state.iterations());
  state.counters["lib_ms"] = 1e3 * tKind / its;
  state.counters["raw_ms"] = 1e3 * tRaw / its;
  state.counters["full_ms"] = 1e3 * tFull / its;
  state.counters["ratio"] = tKind / tRaw;
  state.counters["kind/full"] = tKind / tFull;
  if (tRawCopy > 0) state.counters["kind/(raw+copy)"] = tKind / tRawCopy;
}

void PackedCholeskySolve(benchmark::State& state) {
  const Problem p(static_cast<int>(state.range(0)));
  const int n = p.n, nrhs = 1, ld = n;
  const char uplo = 'U';
  DoubleSymmetricMatrix a(n, n);
  DoubleGeneralMatrix b(n, 1);
  std::vector<double> ap, full, rhs;
  auto kind = [&] {
    std::copy(p.packed.begin(), p.packed.end(), StorageAccess::Packed(a).data());
    std::copy(p.rhs.begin(), p.rhs.end(), b.View().data());
    return Seconds([&] { a.SolveWithSimpleDriver(b); });
  };
  auto raw = [&] {
    ap = p.packed;
    rhs = p.rhs;
    return Seconds([&] {
      int info = 0;
      dppsv_(&uplo, &n, &nrhs, ap.data(), rhs.data(), &ld, &info, 1);
    });
  };
  auto fullStorage = [&] {
    full = p.full;
    rhs = p.rhs;
    return Seconds([&] {
      int info = 0;
      dposv_(&uplo, &n, &nrhs, full.data(), &ld, rhs.data(), &ld, &info, 1);
    });
  };
  auto rawWithCopy = [&] {
    ap = p.packed;
    rhs = p.rhs;
    return Seconds([&] {
      const std::vector<double> saved(ap.begin(), ap.end());
      benchmark::DoNotOptimize(saved.data());
      int info = 0;
      dppsv_(&uplo, &n, &nrhs, ap.data(), rhs.data(), &ld, &info, 1);
    });
  };
  Compare(state, kind, raw, fullStorage, rawWithCopy);
}

// range(1): 1 with eigenvectors, 0 eigenvalues only.
void PackedEigenproblem(benchmark::State& state) {
  const Problem p(static_cast<int>(state.range(0)));
  const bool vectors = state.range(1) != 0;
  const int n = p.n, ld = n;
  const char jobz = vectors ? 'V' : 'N', uplo = 'U';
  DoubleSymmetricMatrix a(n, n);
  DoubleGeneralMatrix z(n, n);
  std::vector<double> values(n), ap, full, w(n), zr(static_cast<std::size_t>(n) * n), work(3 * n);
  // dsyevd's workspace, sized by a query outside the timed region.
  int lwork = -1, liwork = -1, info = 0, iworkSize = 0;
  double workSize = 0;
  full = p.full;
  dsyevd_(&jobz, &uplo, &n, full.data(), &ld, w.data(), &workSize, &lwork, &iworkSize, &liwork,
          &info, 1, 1);
  lwork = static_cast<int>(workSize);
  liwork = iworkSize;
  std::vector<double> dwork(lwork);
  std::vector<int> iwork(liwork);

  auto kind = [&] {
    std::copy(p.packed.begin(), p.packed.end(), StorageAccess::Packed(a).data());
    return Seconds([&] {
      if (vectors) {
        a.SolveSymmetricEigenproblem(values, z);
      } else {
        a.SolveSymmetricEigenproblem(values);
      }
    });
  };
  auto raw = [&] {
    ap = p.packed;
    return Seconds([&] {
      int rinfo = 0;
      dspev_(&jobz, &uplo, &n, ap.data(), w.data(), zr.data(), &ld, work.data(), &rinfo, 1, 1);
    });
  };
  auto fullStorage = [&] {
    full = p.full;
    return Seconds([&] {
      int rinfo = 0;
      dsyevd_(&jobz, &uplo, &n, full.data(), &ld, w.data(), dwork.data(), &lwork, iwork.data(),
              &liwork, &rinfo, 1, 1);
    });
  };
  Compare(state, kind, raw, fullStorage, [] { return 0.0; });
}

}  // namespace

BENCHMARK(PackedCholeskySolve)
    ->ArgName("n")
    ->Arg(500)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PackedEigenproblem)
    ->ArgNames({"n", "vectors"})
    ->Args({500, 0})
    ->Args({500, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
