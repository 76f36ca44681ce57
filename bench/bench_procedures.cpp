// The procedures through the public API only (handles, LinearEquation,
// Eigenproblem, ...) next to the raw LAPACK calls a caller would make on the
// same data, in the same run (PairedTiming.h: alternating, process CPU time,
// counters lib_ms / raw_ms / ratio).
//
// What is timed: the procedure call alone. Filling a handle element by
// element is slow next to a plain copy, so each handle input is prepared once
// by set_Item and restored by Clone() before every call, outside the timed
// span; the raw side restores its arrays by a copy, also untimed. Whatever
// the procedure itself allocates (result handles, the fallback copy of a
// packed matrix, the work arrays) is part of its time. The raw calls use the
// workspace LAPACK asks for (lwork = -1 query, made once).
//
// Element access: ns per get_Item / set_Item / operator() over a whole
// matrix, column by column, next to the same loop over a plain array.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <random>
#include <vector>

#include "OrvaneNet/Bessel.h"
#include "OrvaneNet/OrvaneNet.h"
#include "PairedTiming.h"
#include "RandomData.h"
#include "lapack/fortran.h"  // the raw routines; otherwise only the public API

using OrvaneNet::Complex;
using OrvaneNet::ComplexMatrix;
using OrvaneNet::Matrix;
using OrvaneNet::MatrixType;

namespace {

using Z = std::complex<double>;
using bench::RandomData;

std::size_t Size(int m, int n) { return static_cast<std::size_t>(m) * static_cast<std::size_t>(n); }

// A handle holding the column-major array a (m x n), written through set_Item.
Matrix ToHandle(const std::vector<double>& a, int m, int n) {
  Matrix h(m, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) h.set_Item(i, j, a[i + Size(m, j)]);
  return h;
}

int QueriedWork(double query) { return static_cast<int>(query) + 1; }

// LinearEquation::Solve on a fresh dense general matrix (dgesv inside).
void Solve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nrhs = 1;
  const auto a0 = RandomData(Size(n, n), 1), b0 = RandomData(Size(n, 1), 2);
  const Matrix ha0 = ToHandle(a0, n, n), hb0 = ToHandle(b0, n, 1);
  std::vector<double> a(a0.size()), b(b0.size());
  std::vector<int> ipiv(n);
  Matrix ha, hb;
  bench::RunPaired(
      state, [&] { a = a0, b = b0; },
      [&] {
        int info = 0;
        dgesv_(&n, &nrhs, a.data(), &n, ipiv.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
      },
      [&] { ha = ha0.Clone(), hb = hb0.Clone(); },
      [&] { OrvaneNet::LinearEquation::Solve(ha, hb); });
  if (hb.get_Item(n - 1, 0) != b[n - 1]) state.SkipWithError("library and dgesv disagree");
}

// The same for a complex dense general matrix (zgesv inside).
void ComplexSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nrhs = 1;
  const auto re = RandomData(Size(n, n + 1), 1), im = RandomData(Size(n, n + 1), 2);
  std::vector<Z> a0(Size(n, n)), b0(Size(n, 1));
  ComplexMatrix ha0(n, n), hb0(n, 1);
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i < n; ++i) {
      const std::size_t k = i + Size(n, j);
      (j < n ? a0[k] : b0[i]) = Z(re[k], im[k]);
      (j < n ? ha0 : hb0).set_Item(i, j < n ? j : 0, Complex(re[k], im[k]));
    }
  std::vector<Z> a(a0.size()), b(b0.size());
  std::vector<int> ipiv(n);
  ComplexMatrix ha, hb;
  bench::RunPaired(
      state, [&] { a = a0, b = b0; },
      [&] {
        int info = 0;
        zgesv_(&n, &nrhs, a.data(), &n, ipiv.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
      },
      [&] { ha = ha0.Clone(), hb = hb0.Clone(); },
      [&] { OrvaneNet::LinearEquation::Solve(ha, hb); });
  if (hb.get_Item(n - 1, 0).ToStdComplex() != b[n - 1]) {
    state.SkipWithError("library and zgesv disagree");
  }
}

// Matrix::Inv on a fresh dense general matrix: getrf + getri.
void Inverse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto a0 = RandomData(Size(n, n), 1);
  const Matrix ha0 = ToHandle(a0, n, n);
  std::vector<double> a(a0.size());
  std::vector<int> ipiv(n);
  int lwork = -1, info = 0;
  double query = 0;
  a = a0;
  dgetri_(&n, a.data(), &n, ipiv.data(), &query, &lwork, &info);
  lwork = QueriedWork(query);
  std::vector<double> work(static_cast<std::size_t>(lwork));
  Matrix ha;
  bench::RunPaired(
      state, [&] { a = a0; },
      [&] {
        int rinfo = 0;
        dgetrf_(&n, &n, a.data(), &n, ipiv.data(), &rinfo);
        dgetri_(&n, a.data(), &n, ipiv.data(), work.data(), &lwork, &rinfo);
        benchmark::DoNotOptimize(a.data());
      },
      [&] { ha = ha0.Clone(); }, [&] { ha.Inv(); });
}

// A symmetric positive definite matrix (symmetric part + n I): the packed
// upper triangle and the handle of kind DoubleSymmetric.
struct Spd {
  std::vector<double> packed;
  Matrix handle;
  explicit Spd(int n) : handle(n, n, MatrixType::DoubleSymmetric) {
    const auto r = RandomData(Size(n, n), 3);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i <= j; ++i) {
        const double v = r[i + Size(n, j)] + (i == j ? n : 0.0);
        packed.push_back(v);
        handle.set_Item(i, j, v);
      }
  }
};

// LinearEquation::Solve on a packed symmetric positive definite matrix
// against dppsv (the library factorizes through RFP storage, blocked, so its
// last bits may differ).
void PackedSpdSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nrhs = 1;
  const Spd spd(n);
  const auto b0 = RandomData(Size(n, 1), 2);
  const Matrix hb0 = ToHandle(b0, n, 1);
  std::vector<double> ap, b;
  const char uplo = 'U';
  Matrix ha, hb;
  bench::RunPaired(
      state, [&] { ap = spd.packed, b = b0; },
      [&] {
        int info = 0;
        dppsv_(&uplo, &n, &nrhs, ap.data(), b.data(), &n, &info, 1);
        benchmark::DoNotOptimize(b.data());
      },
      [&] { ha = spd.handle.Clone(), hb = hb0.Clone(); },
      [&] { OrvaneNet::LinearEquation::Solve(ha, hb); });
  if (std::fabs(hb.get_Item(n - 1, 0) - b[n - 1]) > 1e-8 * std::fabs(b[n - 1])) {
    state.SkipWithError("library and dppsv disagree");
  }
}

// Eigenproblem::Solve with vectors on a packed symmetric matrix against
// dspev, the QR iteration the library used before divide and conquer.
void SymmetricEigen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Spd spd(n);
  std::vector<double> ap, w(n), z(Size(n, n)), work(Size(3, n));
  const char jobz = 'V', uplo = 'U';
  Matrix ha, vectors;
  std::vector<double> values;
  bench::RunPaired(
      state, [&] { ap = spd.packed; },
      [&] {
        int info = 0;
        dspev_(&jobz, &uplo, &n, ap.data(), w.data(), z.data(), &n, work.data(), &info, 1, 1);
        benchmark::DoNotOptimize(z.data());
      },
      [&] { ha = spd.handle.Clone(); },
      [&] { OrvaneNet::Eigenproblem::Solve(ha, values, vectors); });
  if (std::fabs(values[n - 1] - w[n - 1]) > 1e-10 * std::fabs(w[n - 1])) {
    state.SkipWithError("library and dspev disagree");
  }
}

// SingularValueDecomposition::Decompose (all of U and V^T) against dgesvd
// with jobu = jobvt = 'A', the routine the library used before gesdd.
void Svd(benchmark::State& state) {
  const int m = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
  const auto a0 = RandomData(Size(m, n), 4);
  const Matrix ha0 = ToHandle(a0, m, n);
  std::vector<double> a(a0), s(std::min(m, n)), u(Size(m, m)), vt(Size(n, n));
  const char job = 'A';
  int lwork = -1, info = 0;
  double query = 0;
  dgesvd_(&job, &job, &m, &n, a.data(), &m, s.data(), u.data(), &m, vt.data(), &n, &query, &lwork,
          &info, 1, 1);
  lwork = QueriedWork(query);
  std::vector<double> work(static_cast<std::size_t>(lwork));
  Matrix ha, hs, hu, hvt;
  bench::RunPaired(
      state, [&] { a = a0; },
      [&] {
        int rinfo = 0;
        dgesvd_(&job, &job, &m, &n, a.data(), &m, s.data(), u.data(), &m, vt.data(), &n,
                work.data(), &lwork, &rinfo, 1, 1);
        benchmark::DoNotOptimize(vt.data());
      },
      [&] { ha = ha0.Clone(); },
      [&] { OrvaneNet::SingularValueDecomposition::Decompose(ha, hs, hu, hvt); });
}

// LeastSquare::Solve (m >= n, one right-hand side) against dgels.
void LeastSquares(benchmark::State& state) {
  const int m = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1)), nrhs = 1;
  const auto a0 = RandomData(Size(m, n), 5), b0 = RandomData(Size(m, 1), 6);
  const Matrix ha0 = ToHandle(a0, m, n), hb0 = ToHandle(b0, m, 1);
  std::vector<double> a(a0), b(b0);
  const char trans = 'N';
  int lwork = -1, info = 0;
  double query = 0;
  dgels_(&trans, &m, &n, &nrhs, a.data(), &m, b.data(), &m, &query, &lwork, &info, 1);
  lwork = QueriedWork(query);
  std::vector<double> work(static_cast<std::size_t>(lwork));
  Matrix ha, hb;
  bench::RunPaired(
      state, [&] { a = a0, b = b0; },
      [&] {
        int rinfo = 0;
        dgels_(&trans, &m, &n, &nrhs, a.data(), &m, b.data(), &m, work.data(), &lwork, &rinfo, 1);
        benchmark::DoNotOptimize(b.data());
      },
      [&] { ha = ha0.Clone(), hb = hb0.Clone(); }, [&] { OrvaneNet::LeastSquare::Solve(ha, hb); });
}

// PolynomialFitting::Fit against the same fit written out: the mean, the
// same powers into a preallocated array, dgels. The raw side's building of
// the matrix is timed too (it is part of the work).
void PolynomialFit(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0)), degree = static_cast<int>(state.range(1));
  const int cols = degree + 1, nrhs = 1;
  const auto x = RandomData(Size(points, 1), 7);
  std::vector<double> y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) y[i] = 1 - 2 * x[i] + 0.5 * x[i] * x[i];
  std::vector<double> a(Size(points, cols)), b(x.size());
  const char trans = 'N';
  int lwork = -1, info = 0;
  double query = 0;
  dgels_(&trans, &points, &cols, &nrhs, a.data(), &points, b.data(), &points, &query, &lwork, &info,
         1);
  lwork = QueriedWork(query);
  std::vector<double> work(static_cast<std::size_t>(lwork));
  double c0 = 0;
  bench::RunPaired(
      state,
      [&] {
        double mean = 0;
        for (double xi : x) mean += xi;
        mean /= points;
        for (int i = 0; i < points; ++i) {
          for (int j = 0; j < cols; ++j) a[i + Size(points, j)] = std::pow(x[i] - mean, j);
          b[i] = y[i];
        }
        int rinfo = 0;
        dgels_(&trans, &points, &cols, &nrhs, a.data(), &points, b.data(), &points, work.data(),
               &lwork, &rinfo, 1);
        benchmark::DoNotOptimize(b.data());
      },
      [&] {
        const auto p = OrvaneNet::PolynomialFitting::Fit(x, y, degree);
        c0 = (*p.get_Coefs())[0];
      });
  // The workspaces differ, so the blocking and the last bits may too.
  if (std::fabs(c0 - b[0]) > 1e-9 * std::fabs(b[0])) {
    state.SkipWithError("library and dgels disagree");
  }
}

// Bessel::J / Bessel::Y over 10000 points against the C library's jn / yn
// (which the class forwards to: the ratio is the call's own cost).
template <bool kJ>
void BesselCase(benchmark::State& state) {
  const int order = static_cast<int>(state.range(0));
  std::vector<double> x = RandomData(10000, 8);
  for (auto& v : x) v = 50 * (v + 1.0) + 1e-3;
  double sum = 0;
  bench::RunPaired(
      state,
      [&] {
        double s = 0;
        for (double v : x) s += kJ ? ::jn(order, v) : ::yn(order, v);
        sum = s;
        benchmark::ClobberMemory();
      },
      [&] {
        double s = 0;
        for (double v : x)
          s += kJ ? OrvaneNet::Bessel::J(order, v) : OrvaneNet::Bessel::Y(order, v);
        sum = s;
        benchmark::ClobberMemory();
      });
  benchmark::DoNotOptimize(sum);
}
void BesselJ(benchmark::State& s) { BesselCase<true>(s); }
void BesselY(benchmark::State& s) { BesselCase<false>(s); }

// Element access: one pass over an n x n matrix, column by column. Reads are
// summed as plain doubles on both sides (Complex's operator+ is a call).
enum class Op { kGet, kSet, kProxyRead, kProxyWrite };

double Value(double x) { return x; }
double Value(Complex x) { return x.get_Real() + x.get_Imag(); }

template <class Handle, class T>
void ElementAccess(benchmark::State& state, Op access) {
  const int n = static_cast<int>(state.range(0));
  Handle h(n, n);
  std::vector<T> raw(Size(n, n));
  const T v = T(0.5);
  double sum = 0;
  auto runLib = [&] {
    double s = 0;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) switch (access) {
          case Op::kGet:
            s += Value(h.get_Item(i, j));
            break;
          case Op::kSet:
            h.set_Item(i, j, v);
            break;
          case Op::kProxyRead:
            s += Value(static_cast<T>(h(i, j)));
            break;
          case Op::kProxyWrite:
            h(i, j) = v;
            break;
        }
    sum = s;
    benchmark::ClobberMemory();
  };
  const bool reads = access == Op::kGet || access == Op::kProxyRead;
  auto runRaw = [&] {
    double s = 0;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        if (reads) {
          s += Value(raw[i + Size(n, j)]);
        } else {
          raw[i + Size(n, j)] = v;
        }
      }
    sum = s;
    benchmark::ClobberMemory();
  };
  bench::RunPaired(state, runRaw, runLib);
  benchmark::DoNotOptimize(sum);
  const double elements = static_cast<double>(Size(n, n));
  state.counters["lib_ns_per_element"] = state.counters["lib_ms"] * 1e6 / elements;
  state.counters["raw_ns_per_element"] = state.counters["raw_ms"] * 1e6 / elements;
}

void Real_Get(benchmark::State& s) { ElementAccess<Matrix, double>(s, Op::kGet); }
void Real_Set(benchmark::State& s) { ElementAccess<Matrix, double>(s, Op::kSet); }
void Real_ProxyRead(benchmark::State& s) { ElementAccess<Matrix, double>(s, Op::kProxyRead); }
void Real_ProxyWrite(benchmark::State& s) { ElementAccess<Matrix, double>(s, Op::kProxyWrite); }
void Complex_Get(benchmark::State& s) { ElementAccess<ComplexMatrix, Complex>(s, Op::kGet); }
void Complex_Set(benchmark::State& s) { ElementAccess<ComplexMatrix, Complex>(s, Op::kSet); }
void Complex_ProxyRead(benchmark::State& s) {
  ElementAccess<ComplexMatrix, Complex>(s, Op::kProxyRead);
}
void Complex_ProxyWrite(benchmark::State& s) {
  ElementAccess<ComplexMatrix, Complex>(s, Op::kProxyWrite);
}

void Ms(benchmark::internal::Benchmark* b) { b->UseManualTime()->Unit(benchmark::kMillisecond); }
void Orders(benchmark::internal::Benchmark* b, int small, int large) {
  Ms(b->ArgName("n")->Arg(small)->Arg(large));
}
void Large(benchmark::internal::Benchmark* b) { Orders(b, 500, 1000); }
void Medium(benchmark::internal::Benchmark* b) { Orders(b, 250, 500); }
void Access(benchmark::internal::Benchmark* b) { Orders(b, 100, 1000); }

}  // namespace

BENCHMARK(Solve)->Apply(Large);
BENCHMARK(ComplexSolve)->Apply(Medium);
BENCHMARK(Inverse)->Apply(Large);
BENCHMARK(PackedSpdSolve)->Apply(Large);
BENCHMARK(SymmetricEigen)->Apply(Medium);
BENCHMARK(Svd)->ArgNames({"m", "n"})->Args({250, 250})->Args({500, 500})->Apply(Ms);
BENCHMARK(LeastSquares)->ArgNames({"m", "n"})->Args({1000, 100})->Args({2000, 200})->Apply(Ms);
BENCHMARK(PolynomialFit)
    ->ArgNames({"points", "degree"})
    ->Args({10000, 5})
    ->Args({100000, 5})
    ->Apply(Ms);
BENCHMARK(BesselJ)->ArgName("order")->Arg(0)->Arg(5)->Apply(Ms);
BENCHMARK(BesselY)->ArgName("order")->Arg(0)->Arg(5)->Apply(Ms);
BENCHMARK(Real_Get)->Apply(Access);
BENCHMARK(Real_Set)->Apply(Access);
BENCHMARK(Real_ProxyRead)->Apply(Access);
BENCHMARK(Real_ProxyWrite)->Apply(Access);
BENCHMARK(Complex_Get)->Apply(Access);
BENCHMARK(Complex_Set)->Apply(Access);
BENCHMARK(Complex_ProxyRead)->Apply(Access);
BENCHMARK(Complex_ProxyWrite)->Apply(Access);
BENCHMARK_MAIN();
