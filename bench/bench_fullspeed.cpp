// The LAPACK-bound paths of the packed and dense kinds, through the public
// API, against the full-storage limit (the fastest LAPACK driver for the same
// work on a full n x n array) and against Eigen on the same data:
//
//   packed SPD / HPD solve     LinearEquation::Solve  vs dposv / zposv   vs Eigen LLT
//   eigenproblem (+ vectors)   Eigenproblem::Solve    vs dsyevd / zheevd vs SelfAdjointEigenSolver
//   SVD, all vectors           SingularValueDecomposition::Decompose
//                                                     vs dgesdd / zgesdd vs BDCSVD
//
// Each iteration runs the three sides once, rotating which goes first, each
// after restoring its inputs untimed, in process CPU time (one OpenBLAS
// thread). Counters (medians over the iterations of one repetition):
// lib_ms, raw_ms, ratio = lib / raw (the figure bench-report.py tabulates),
// eigen_ms and eigen_ratio = Eigen / raw; min_ratio and eigen_min_ratio, the
// same from each side's fastest call, which a loaded machine disturbs least.
//
// The Fresh cases run each side once per process: every iteration starts
// three child processes of this program (`--fresh`), one per side, each
// preparing its inputs, timing its one call, and printing the time. That is
// what a program that solves once pays, page faults of first use included.
//
// Eigen is a benchmark-only dependency, compiled here with -march=native, as
// a user comparing with it would.
#include <benchmark/benchmark.h>

#include <Eigen/Cholesky>
#include <Eigen/Dense>
#include <Eigen/Eigenvalues>
#include <Eigen/SVD>
#include <algorithm>
#include <array>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "OrvaneNet/OrvaneNet.h"
#include "PairedTiming.h"
#include "RandomData.h"
#include "lapack/Dense.h"
#include "lapack/Packed.h"  // the raw routines, through their thin overloads

#include <unistd.h>

namespace {

using Z = std::complex<double>;
using OrvaneNet::Complex;
using OrvaneNet::ComplexMatrix;
using OrvaneNet::Matrix;
using OrvaneNet::MatrixType;

std::size_t Size(int m, int n) { return static_cast<std::size_t>(m) * static_cast<std::size_t>(n); }

// What differs between the real and the complex field.
template <class T>
struct Field;
template <>
struct Field<double> {
  using Handle = Matrix;
  using Element = double;
  using EigenMatrix = Eigen::MatrixXd;
  static constexpr MatrixType kGeneral = MatrixType::DoubleGeneral;
  static constexpr MatrixType kPacked = MatrixType::DoubleSymmetric;
  static Element ToElement(double v) { return v; }
  static void Posv(const int* n, const int* nrhs, double* a, double* b, int* info) {
    const char uplo = 'U';
    dposv_(&uplo, n, nrhs, a, n, b, n, info, 1);
  }
};
template <>
struct Field<Z> {
  using Handle = ComplexMatrix;
  using Element = Complex;
  using EigenMatrix = Eigen::MatrixXcd;
  static constexpr MatrixType kGeneral = MatrixType::ComplexGeneral;
  static constexpr MatrixType kPacked = MatrixType::ComplexHermitian;
  static Element ToElement(Z v) { return Complex(v); }
  static void Posv(const int* n, const int* nrhs, Z* a, Z* b, int* info) {
    const char uplo = 'U';
    zposv_(&uplo, n, nrhs, a, n, b, n, info, 1);
  }
};

// A Hermitian positive definite (or, shift 0, indefinite) matrix: the
// Hermitian part of random data plus shift I, full column-major.
template <class T>
std::vector<T> Hermitian(int n, double shift, unsigned seed) {
  const auto r = bench::RandomData<T>(Size(n, n), seed);
  std::vector<T> a(Size(n, n));
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) {
      const T v = i == j ? T(std::real(r[i + Size(n, j)]) + shift) : r[i + Size(n, j)];
      a[i + Size(n, j)] = v;
      if constexpr (std::is_same_v<T, double>) {
        a[j + Size(n, i)] = v;
      } else {
        a[j + Size(n, i)] = std::conj(v);
      }
    }
  return a;
}

// A handle of the given type holding the column-major array a (its upper
// triangle, for a packed type).
template <class T>
typename Field<T>::Handle ToHandle(const std::vector<T>& a, int m, int n, MatrixType type) {
  typename Field<T>::Handle h(m, n, type);
  const bool packed = type == Field<T>::kPacked;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < (packed ? j + 1 : m); ++i) h.set_Item(i, j, Field<T>::ToElement(a[i + Size(m, j)]));
  return h;
}

template <class T>
typename Field<T>::EigenMatrix ToEigen(const std::vector<T>& a, int m, int n) {
  return Eigen::Map<const typename Field<T>::EigenMatrix>(a.data(), m, n);
}

// One side of a comparison: restores its inputs (untimed), then runs.
struct Side {
  std::function<void()> setup, run;
  std::vector<double> cpu;
};

void MinRatios(benchmark::State& state, const std::vector<double>& lib,
               const std::vector<double>& raw, const std::vector<double>& eigen) {
  if (lib.empty()) return;
  const double r = *std::min_element(raw.begin(), raw.end());
  state.counters["min_ratio"] = *std::min_element(lib.begin(), lib.end()) / r;
  state.counters["eigen_min_ratio"] = *std::min_element(eigen.begin(), eigen.end()) / r;
}

void RunSides(benchmark::State& state, Side& lib, Side& raw, Side& eigen) {
  std::array<Side*, 3> order{&lib, &raw, &eigen};
  for (auto _ : state) {
    double libTime = 0;
    for (Side* s : order) {
      s->setup();
      const double t0 = bench::CpuSeconds();
      s->run();
      const double t = bench::CpuSeconds() - t0;
      s->cpu.push_back(t);
      if (s == &lib) libTime = t;
    }
    std::rotate(order.begin(), order.begin() + 1, order.end());
    state.SetIterationTime(libTime);
  }
  const double l = bench::Median(lib.cpu), r = bench::Median(raw.cpu), e = bench::Median(eigen.cpu);
  state.counters["lib_ms"] = l * 1e3;
  state.counters["raw_ms"] = r * 1e3;
  state.counters["ratio"] = r > 0 ? l / r : 0.0;
  state.counters["eigen_ms"] = e * 1e3;
  state.counters["eigen_ratio"] = r > 0 ? e / r : 0.0;
  MinRatios(state, lib.cpu, raw.cpu, eigen.cpu);
}

// ---- the three kinds of work, each side set up the same way in-process and
// in a fresh process ----

// Packed HPD solve, one right-hand side. `which`: 0 library, 1 raw, 2 Eigen.
template <class T>
Side SolveSide(int n, int which) {
  using F = Field<T>;
  auto a0 = std::make_shared<std::vector<T>>(Hermitian<T>(n, n, 3));
  auto b0 = std::make_shared<std::vector<T>>(bench::RandomData<T>(Size(n, 1), 2));
  Side s;
  if (which == 0) {
    auto h0 = std::make_shared<typename F::Handle>(ToHandle(*a0, n, n, F::kPacked));
    auto hb0 = std::make_shared<typename F::Handle>(ToHandle(*b0, n, 1, F::kGeneral));
    auto h = std::make_shared<typename F::Handle>(), hb = std::make_shared<typename F::Handle>();
    s.setup = [=] { *h = h0->Clone(), *hb = hb0->Clone(); };
    s.run = [=] { OrvaneNet::LinearEquation::Solve(*h, *hb); };
  } else if (which == 1) {
    auto a = std::make_shared<std::vector<T>>(), b = std::make_shared<std::vector<T>>();
    s.setup = [=] { *a = *a0, *b = *b0; };
    s.run = [=] {
      const int nrhs = 1;
      int info = 0;
      F::Posv(&n, &nrhs, a->data(), b->data(), &info);
      benchmark::DoNotOptimize(b->data());
    };
  } else {
    auto ea0 = std::make_shared<typename F::EigenMatrix>(ToEigen(*a0, n, n));
    auto eb0 = std::make_shared<typename F::EigenMatrix>(ToEigen(*b0, n, 1));
    auto llt = std::make_shared<Eigen::LLT<typename F::EigenMatrix, Eigen::Upper>>(n);
    auto x = std::make_shared<typename F::EigenMatrix>(n, 1);
    s.setup = [] {};
    s.run = [=] {
      llt->compute(*ea0);
      *x = llt->solve(*eb0);
      benchmark::DoNotOptimize(x->data());
    };
  }
  return s;
}

// Eigenvalues (and eigenvectors) of a Hermitian matrix.
template <class T>
Side EigenSide(int n, bool vectors, int which) {
  using F = Field<T>;
  auto a0 = std::make_shared<std::vector<T>>(Hermitian<T>(n, 0.0, 4));
  Side s;
  if (which == 0) {
    auto h0 = std::make_shared<typename F::Handle>(ToHandle(*a0, n, n, F::kPacked));
    auto h = std::make_shared<typename F::Handle>(), v = std::make_shared<typename F::Handle>();
    auto w = std::make_shared<std::vector<double>>();
    s.setup = [=] { *h = h0->Clone(); };
    s.run = [=] {
      if (vectors) {
        OrvaneNet::Eigenproblem::Solve(*h, *w, *v);
      } else {
        OrvaneNet::Eigenproblem::Solve(*h, *w);
      }
    };
  } else if (which == 1) {
    const char jobz = vectors ? 'V' : 'N', uplo = 'U';
    auto a = std::make_shared<std::vector<T>>(*a0);
    auto w = std::make_shared<std::vector<double>>(n);
    // The workspace LAPACK asks for, allocated once (untimed), as a caller
    // solving many problems would.
    int lwork = -1, lrwork = -1, liwork = -1, info = 0, iworkSize = 0;
    T workSize{};
    double rworkSize = 0;
    OrvaneNet::lapack::heevd(&jobz, &uplo, &n, a->data(), &n, w->data(), &workSize, &lwork,
                             &rworkSize, &lrwork, &iworkSize, &liwork, &info);
    auto work = std::make_shared<std::vector<T>>(static_cast<std::size_t>(std::real(workSize)));
    auto rwork = std::make_shared<std::vector<double>>(std::max(1, static_cast<int>(rworkSize)));
    auto iwork = std::make_shared<std::vector<int>>(std::max(1, iworkSize));
    s.setup = [=] { *a = *a0; };
    s.run = [=] {
      const int lw = static_cast<int>(work->size()), lrw = static_cast<int>(rwork->size()),
                liw = static_cast<int>(iwork->size());
      int status = 0;
      OrvaneNet::lapack::heevd(&jobz, &uplo, &n, a->data(), &n, w->data(), work->data(), &lw,
                               rwork->data(), &lrw, iwork->data(), &liw, &status);
      benchmark::DoNotOptimize(a->data());
    };
  } else {
    auto ea0 = std::make_shared<typename F::EigenMatrix>(ToEigen(*a0, n, n));
    auto solver = std::make_shared<Eigen::SelfAdjointEigenSolver<typename F::EigenMatrix>>(n);
    s.setup = [] {};
    s.run = [=] {
      solver->compute(*ea0, vectors ? Eigen::ComputeEigenvectors : Eigen::EigenvaluesOnly);
      benchmark::DoNotOptimize(solver->eigenvalues().data());
    };
  }
  return s;
}

// The SVD with all singular vectors of an m x n matrix.
template <class T>
Side SvdSide(int m, int n, int which) {
  using F = Field<T>;
  auto a0 = std::make_shared<std::vector<T>>(bench::RandomData<T>(Size(m, n), 5));
  Side s;
  if (which == 0) {
    auto h0 = std::make_shared<typename F::Handle>(ToHandle(*a0, m, n, F::kGeneral));
    auto h = std::make_shared<typename F::Handle>();
    auto sigma = std::make_shared<typename F::Handle>(), u = std::make_shared<typename F::Handle>(),
         vt = std::make_shared<typename F::Handle>();
    s.setup = [=] { *h = h0->Clone(); };
    s.run = [=] { OrvaneNet::SingularValueDecomposition::Decompose(*h, *sigma, *u, *vt); };
  } else if (which == 1) {
    const char jobz = 'A';
    const int k = std::min(m, n), mx = std::max(m, n);
    auto a = std::make_shared<std::vector<T>>(*a0);
    auto sv = std::make_shared<std::vector<double>>(k);
    auto u = std::make_shared<std::vector<T>>(Size(m, m)), vt = std::make_shared<std::vector<T>>(Size(n, n));
    auto rwork = std::make_shared<std::vector<double>>(std::max<std::int64_t>(
        1, OrvaneNet::lapack::SvdRworkSize(T{}, k, mx)));
    auto iwork = std::make_shared<std::vector<int>>(Size(8, k));
    int lwork = -1, info = 0;
    T workSize{};
    OrvaneNet::lapack::gesdd(&jobz, &m, &n, a->data(), &m, sv->data(), u->data(), &m, vt->data(), &n,
                             &workSize, &lwork, rwork->data(), iwork->data(), &info);
    auto work = std::make_shared<std::vector<T>>(static_cast<std::size_t>(std::real(workSize)));
    s.setup = [=] { *a = *a0; };
    s.run = [=] {
      const int lw = static_cast<int>(work->size());
      int status = 0;
      OrvaneNet::lapack::gesdd(&jobz, &m, &n, a->data(), &m, sv->data(), u->data(), &m,
                               vt->data(), &n, work->data(), &lw, rwork->data(), iwork->data(),
                               &status);
      benchmark::DoNotOptimize(vt->data());
    };
  } else {
    auto ea0 = std::make_shared<typename F::EigenMatrix>(ToEigen(*a0, m, n));
    auto svd = std::make_shared<Eigen::BDCSVD<typename F::EigenMatrix>>(
        m, n, Eigen::ComputeFullU | Eigen::ComputeFullV);
    s.setup = [] {};
    s.run = [=] {
      svd->compute(*ea0, Eigen::ComputeFullU | Eigen::ComputeFullV);
      benchmark::DoNotOptimize(svd->singularValues().data());
    };
  }
  return s;
}

template <class T>
void SolveCase(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Side lib = SolveSide<T>(n, 0), raw = SolveSide<T>(n, 1), eigen = SolveSide<T>(n, 2);
  RunSides(state, lib, raw, eigen);
}

template <class T>
void EigenCase(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool vectors = state.range(1) != 0;
  Side lib = EigenSide<T>(n, vectors, 0), raw = EigenSide<T>(n, vectors, 1),
       eigen = EigenSide<T>(n, vectors, 2);
  RunSides(state, lib, raw, eigen);
}

template <class T>
void SvdCase(benchmark::State& state) {
  const int m = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
  Side lib = SvdSide<T>(m, n, 0), raw = SvdSide<T>(m, n, 1), eigen = SvdSide<T>(m, n, 2);
  RunSides(state, lib, raw, eigen);
}

// ---- once per process ----

std::string g_self;  // this program, for the child processes

// In the child: prepares one side of the packed solve, warms OpenBLAS up on
// a small unrelated system (every side alike), times the one call and prints
// its CPU milliseconds.
int FreshChild(bool complex, int n, int which) {
  Side s = complex ? SolveSide<Z>(n, which) : SolveSide<double>(n, which);
  std::vector<double> warm = Hermitian<double>(64, 64, 9), rhs(64, 1.0);
  const int wn = 64, nrhs = 1;
  int info = 0;
  Field<double>::Posv(&wn, &nrhs, warm.data(), rhs.data(), &info);
  s.setup();
  const double t0 = bench::CpuSeconds();
  s.run();
  std::printf("%.6f\n", (bench::CpuSeconds() - t0) * 1e3);
  return 0;
}

double RunChild(bool complex, int n, int which) {
  const std::string command = "'" + g_self + "' --fresh " + (complex ? "complex " : "real ") +
                              std::to_string(n) + " " + std::to_string(which);
  FILE* out = ::popen(command.c_str(), "r");
  double ms = -1;
  if (out == nullptr || std::fscanf(out, "%lf", &ms) != 1) ms = -1;
  if (out != nullptr) ::pclose(out);
  return ms;
}

template <class T>
void FreshSolveCase(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool complex = !std::is_same_v<T, double>;
  std::vector<double> times[3];
  int first = 0;
  for (auto _ : state) {
    double libTime = 0;
    for (int k = 0; k < 3; ++k) {
      const int which = (first + k) % 3;
      const double ms = RunChild(complex, n, which);
      if (ms < 0) {
        state.SkipWithError("a child process failed");
        return;
      }
      times[which].push_back(ms / 1e3);
      if (which == 0) libTime = ms / 1e3;
    }
    first = (first + 1) % 3;
    state.SetIterationTime(libTime);
  }
  const double l = bench::Median(times[0]), r = bench::Median(times[1]), e = bench::Median(times[2]);
  state.counters["lib_ms"] = l * 1e3;
  state.counters["raw_ms"] = r * 1e3;
  state.counters["ratio"] = l / r;
  state.counters["eigen_ms"] = e * 1e3;
  state.counters["eigen_ratio"] = e / r;
  MinRatios(state, times[0], times[1], times[2]);
}

void Ms(benchmark::internal::Benchmark* b) { b->UseManualTime()->Unit(benchmark::kMillisecond); }

}  // namespace

BENCHMARK(SolveCase<double>)->Name("PackedSpdSolveVsFull")->ArgName("n")->Arg(1000)->Arg(2000)->Apply(Ms);
BENCHMARK(SolveCase<Z>)->Name("PackedHpdSolveVsFull")->ArgName("n")->Arg(1000)->Arg(2000)->Apply(Ms);
BENCHMARK(FreshSolveCase<double>)
    ->Name("PackedSpdSolveFresh")
    ->ArgName("n")
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(5)
    ->Apply(Ms);
BENCHMARK(FreshSolveCase<Z>)
    ->Name("PackedHpdSolveFresh")
    ->ArgName("n")
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(5)
    ->Apply(Ms);
BENCHMARK(EigenCase<double>)
    ->Name("SymmetricEigenVsFull")
    ->ArgNames({"n", "vectors"})
    ->Args({1000, 1})
    ->Args({1000, 0})
    ->Apply(Ms);
BENCHMARK(EigenCase<Z>)
    ->Name("HermitianEigenVsFull")
    ->ArgNames({"n", "vectors"})
    ->Args({1000, 1})
    ->Args({1000, 0})
    ->Apply(Ms);
BENCHMARK(SvdCase<double>)->Name("SvdVsGesdd")->ArgNames({"m", "n"})->Args({1000, 1000})->Apply(Ms);
BENCHMARK(SvdCase<Z>)->Name("ComplexSvdVsGesdd")->ArgNames({"m", "n"})->Args({1000, 1000})->Apply(Ms);

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--fresh") == 0) {
    return FreshChild(std::strcmp(argv[2], "complex") == 0, std::atoi(argv[3]), std::atoi(argv[4]));
  }
  char path[4096];
  const auto len = ::readlink("/proc/self/exe", path, sizeof path - 1);
  g_self = len > 0 ? std::string(path, static_cast<std::size_t>(len)) : std::string(argv[0]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
