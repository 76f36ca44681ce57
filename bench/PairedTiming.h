// Paired timing shared by the benchmarks: every iteration runs the library's
// variant and its raw counterpart (bare LAPACK/BLAS call, plain loop) once
// each, alternating which goes first, so that drift on a shared machine and
// cache warmth hit both alike. Each side may restore its inputs first; that
// restoring is never timed.
//
// Both process CPU time and wall time are taken. CPU time is the figure that
// counts with one BLAS thread: other processes holding a core barely touch
// it. With several BLAS threads CPU time adds the threads up, so wall time is
// reported as well.
//
// Counters (medians over this run's iterations; with --benchmark_repetitions
// the JSON median aggregate is the median of those):
//   lib_ms, raw_ms            CPU milliseconds per call (wall with kWall)
//   ratio                     lib_ms / raw_ms
//   lib_wall_ms, raw_wall_ms  wall milliseconds per call
// The benchmark's own time is the library's (manual time): register the
// cases with ->UseManualTime().
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace bench {

enum class Clock { kCpu, kWall };

inline double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

struct Times {
  std::vector<double> cpu, wall;
};

// setupX() restores X's inputs (untimed); runX() is the timed work.
template <class RawSetup, class Raw, class LibSetup, class Lib>
void RunPaired(benchmark::State& state, RawSetup setupRaw, Raw runRaw, LibSetup setupLib,
               Lib runLib, Clock primary = Clock::kCpu) {
  Times raw, lib;
  bool rawFirst = true;
  for (auto _ : state) {
    double libIteration = 0;
    for (int k = 0; k < 2; ++k) {
      const bool doRaw = (k == 0) == rawFirst;
      doRaw ? setupRaw() : setupLib();
      const double c0 = CpuSeconds(), w0 = WallSeconds();
      doRaw ? runRaw() : runLib();
      const double w1 = WallSeconds(), c1 = CpuSeconds();
      Times& t = doRaw ? raw : lib;
      t.cpu.push_back(c1 - c0);
      t.wall.push_back(w1 - w0);
      if (!doRaw) libIteration = primary == Clock::kCpu ? c1 - c0 : w1 - w0;
    }
    rawFirst = !rawFirst;
    state.SetIterationTime(libIteration);
  }
  const double r = Median(primary == Clock::kCpu ? raw.cpu : raw.wall);
  const double l = Median(primary == Clock::kCpu ? lib.cpu : lib.wall);
  state.counters["raw_ms"] = r * 1e3;
  state.counters["lib_ms"] = l * 1e3;
  state.counters["ratio"] = r > 0 ? l / r : 0.0;
  state.counters["raw_wall_ms"] = Median(raw.wall) * 1e3;
  state.counters["lib_wall_ms"] = Median(lib.wall) * 1e3;
}

// Without untimed setup (the work restores its own inputs, or needs none).
template <class Raw, class Lib>
void RunPaired(benchmark::State& state, Raw runRaw, Lib runLib, Clock primary = Clock::kCpu) {
  RunPaired(
      state, [] {}, runRaw, [] {}, runLib, primary);
}

}  // namespace bench
