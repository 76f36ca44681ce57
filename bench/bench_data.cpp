// Data in and out at once (SetValues, GetValues, FromValues) and element-wise
// arithmetic, each paired in the same run with the plainest loop doing the
// same copy (PairedTiming.h: alternating, CPU time):
//
//   column-major dense     std::memcpy (FromValues: a new array + memcpy)
//   row-major dense        a cache-blocked transposing copy (32 x 32 tiles)
//   band, packed           a plain loop over the stored elements, writing
//                          every element of the dense side (Get) or copying
//                          the stored ones (Set); Set is also paired with a
//                          loop that reads the whole input as SetValues does
//                          (copies the stored part, tests the rest)
//   arithmetic             a new array and one plain loop
//   element loops          the per-element set_Item / get_Item loop against
//                          SetValues / GetValues (ratio = how many times
//                          slower the element loop is)
//
// Outputs go to preallocated arrays unless the case allocates by nature
// (FromValues, arithmetic: both sides allocate, and free outside the timing).
// Freed blocks are kept in the heap (mallopt below), as in a long-running
// program: otherwise every 32 MB result is a fresh mapping whose first touch
// (about 100 ms on the benchmark machine) swamps the copy being measured.
#include <benchmark/benchmark.h>

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "PairedTiming.h"
#include "RandomData.h"
#include "kinds/StorageAccess.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"

using namespace OrvaneNet;
using OrvaneNet::detail::StorageAccess;

namespace {

const bool kHeapKept = [] {
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);  // glibc's largest
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  return true;
}();

constexpr int kTile = 32;

Layout LayoutOf(const benchmark::State& state) {
  return state.range(1) == 0 ? Layout::RowMajor : Layout::ColumnMajor;
}

std::unique_ptr<double[]> NewArray(std::size_t count) { return std::make_unique_for_overwrite<double[]>(count); }

// dst (cols x rows, column-major) = transpose of src (rows x cols, column-major).
void BlockedTranspose(const double* src, int rows, int cols, double* dst) {
  for (int ib = 0; ib < rows; ib += kTile)
    for (int jb = 0; jb < cols; jb += kTile)
      for (int i = ib; i < std::min(rows, ib + kTile); ++i)
        for (int j = jb; j < std::min(cols, jb + kTile); ++j)
          dst[j + static_cast<std::size_t>(i) * cols] = src[i + static_cast<std::size_t>(j) * rows];
}

// The dense copy the layout needs: memcpy, or the blocked transpose of the
// n x n array.
void RawCopy(const double* src, int n, double* dst, Layout layout) {
  if (layout == Layout::ColumnMajor) {
    std::memcpy(dst, src, sizeof(double) * static_cast<std::size_t>(n) * n);
  } else {
    BlockedTranspose(src, n, n, dst);
  }
}

// ---- dense general ----

void DenseSet(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Layout layout = LayoutOf(state);
  const auto values = bench::RandomData(static_cast<std::size_t>(n) * n, 1);
  Matrix m(n, n);
  auto raw = NewArray(values.size());
  bench::RunPaired(
      state, [&] { RawCopy(values.data(), n, raw.get(), layout); },
      [&] { m.SetValues(values, layout); });
  if (m.get_Item(n - 1, 0) != values[layout == Layout::RowMajor ? std::size_t(n - 1) * n : n - 1])
    state.SkipWithError("wrong element");
}

void DenseGet(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Layout layout = LayoutOf(state);
  const auto values = bench::RandomData(static_cast<std::size_t>(n) * n, 2);
  const Matrix m = Matrix::FromValues(n, n, values, Layout::ColumnMajor);
  std::vector<double> out(values.size());
  auto raw = NewArray(values.size());
  bench::RunPaired(
      state, [&] { RawCopy(values.data(), n, raw.get(), layout); },
      [&] { m.GetValues(out, layout); });
  if (out[1] != raw[1]) state.SkipWithError("library and loop disagree");
}

void DenseFromValues(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Layout layout = LayoutOf(state);
  const auto values = bench::RandomData(static_cast<std::size_t>(n) * n, 3);
  std::optional<Matrix> made;
  std::unique_ptr<double[]> raw;
  bench::RunPaired(
      state, [&] { raw.reset(); },
      [&] {
        raw = NewArray(values.size());
        RawCopy(values.data(), n, raw.get(), layout);
      },
      [&] { made.reset(); }, [&] { made.emplace(Matrix::FromValues(n, n, values, layout)); });
}

// The per-element loop a caller would write for the same data, in the
// layout's natural order, against the one call.
void ElementLoop(benchmark::State& state, bool write) {
  const int n = static_cast<int>(state.range(0));
  const Layout layout = LayoutOf(state);
  const bool rowMajor = layout == Layout::RowMajor;
  auto values = bench::RandomData(static_cast<std::size_t>(n) * n, 4);
  Matrix m = Matrix::FromValues(n, n, values, Layout::ColumnMajor);
  auto at = [&](int outer, int inner) -> double& {
    return values[static_cast<std::size_t>(outer) * n + inner];
  };
  bench::RunPaired(
      state,
      [&] { write ? m.SetValues(values, layout) : m.GetValues(values, layout); },
      [&] {
        for (int o = 0; o < n; ++o) {
          for (int k = 0; k < n; ++k) {
            const int i = rowMajor ? o : k, j = rowMajor ? k : o;
            if (write) {
              m.set_Item(i, j, at(o, k));
            } else {
              at(o, k) = m.get_Item(i, j);
            }
          }
        }
        benchmark::DoNotOptimize(values.data());
      });
}
void SetItemLoopVsSetValues(benchmark::State& state) { ElementLoop(state, true); }
void GetItemLoopVsGetValues(benchmark::State& state) { ElementLoop(state, false); }

// ---- band and packed ----

struct BandData {
  int n, k;
  std::vector<double> dense;  // row-major and column-major alike: symmetric
};

// A symmetric n x n matrix with half-bandwidth k (k = n - 1: full), zero
// outside the band; fits the general band kind (kl = ku = k) too.
BandData SymmetricBandValues(int n, int k) {
  BandData d{n, k, std::vector<double>(static_cast<std::size_t>(n) * n, 0.0)};
  const auto r = bench::RandomData(static_cast<std::size_t>(n) * n, 5);
  for (int j = 0; j < n; ++j)
    for (int i = std::max(0, j - k); i <= j; ++i) {
      const double v = r[i + static_cast<std::size_t>(j) * n];
      d.dense[i + static_cast<std::size_t>(j) * n] = v;
      d.dense[j + static_cast<std::size_t>(i) * n] = v;
    }
  return d;
}

// For each stored entry (i, j) of the kind, in storage order: f(i, j, index).
template <class F>
void ForEachGeneralBand(int n, int kl, int ku, F f) {
  const std::int64_t ldab = 2 * kl + ku + 1;
  for (int j = 0; j < n; ++j)
    for (int i = std::max(0, j - ku); i <= std::min(n - 1, j + kl); ++i) f(i, j, (ldab - 1) * j + kl + ku + i);
}
template <class F>
void ForEachSymmetricBand(int n, int k, F f) {
  for (int j = 0; j < n; ++j)
    for (int i = std::max(0, j - k); i <= j; ++i) f(i, j, static_cast<std::int64_t>(k) * (j + 1) + i);
}
template <class F>
void ForEachPacked(int n, F f) {
  std::int64_t p = 0;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) f(i, j, p++);
}

std::size_t At(int i, int j, int n, Layout layout) {
  return layout == Layout::RowMajor ? static_cast<std::size_t>(i) * n + j : i + static_cast<std::size_t>(j) * n;
}

enum class Structured { GeneralBand, SymmetricBand, Packed };

// Get: the plain loop zeroes the dense output, then writes every stored
// element (and its mirror, for the symmetric kinds) into place.
template <Structured S>
void StructuredGet(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), k = S == Structured::Packed ? n - 1 : static_cast<int>(state.range(2));
  const Layout layout = LayoutOf(state);
  const BandData d = SymmetricBandValues(n, k);
  std::unique_ptr<IDoubleMatrix> kind;
  std::vector<double> stored;
  auto each = [&](auto f) {
    if constexpr (S == Structured::GeneralBand) ForEachGeneralBand(n, k, k, f);
    if constexpr (S == Structured::SymmetricBand) ForEachSymmetricBand(n, k, f);
    if constexpr (S == Structured::Packed) ForEachPacked(n, f);
  };
  if constexpr (S == Structured::GeneralBand) {
    auto a = std::make_unique<DoubleGeneralBandMatrix>(n, n, k, k);
    a->SetValues(d.dense, Layout::ColumnMajor);
    const auto ab = StorageAccess::Band(*a);
    stored.assign(ab.begin(), ab.end());
    kind = std::move(a);
  } else if constexpr (S == Structured::SymmetricBand) {
    auto a = std::make_unique<DoubleSymmetricBandMatrix>(n, n, k, k);
    a->SetValues(d.dense, Layout::ColumnMajor);
    const auto ab = StorageAccess::Band(*a);
    stored.assign(ab.begin(), ab.end());
    kind = std::move(a);
  } else {
    auto a = std::make_unique<DoubleSymmetricMatrix>(n, n);
    a->SetValues(d.dense, Layout::ColumnMajor);
    const auto ap = StorageAccess::Packed(*a);
    stored.assign(ap.begin(), ap.end());
    kind = std::move(a);
  }
  std::vector<double> out(d.dense.size()), raw(d.dense.size());
  bench::RunPaired(
      state,
      [&] {
        std::fill(raw.begin(), raw.end(), 0.0);
        each([&](int i, int j, std::int64_t p) {
          const double v = stored[static_cast<std::size_t>(p)];
          raw[At(i, j, n, layout)] = v;
          if (S != Structured::GeneralBand) raw[At(j, i, n, layout)] = v;
        });
        benchmark::DoNotOptimize(raw.data());
      },
      [&] { kind->GetValues(out, layout); });
  if (out != raw) state.SkipWithError("library and loop disagree");
}

// Set: `checking` pairs the library with a loop over the whole dense input
// (stored elements copied, the others tested: zero outside a band, equal
// to the mirror for the symmetric kinds); otherwise with a loop over the
// stored elements only.
template <Structured S>
void StructuredSet(benchmark::State& state, bool checking) {
  const int n = static_cast<int>(state.range(0)), k = S == Structured::Packed ? n - 1 : static_cast<int>(state.range(2));
  const Layout layout = LayoutOf(state);
  const BandData d = SymmetricBandValues(n, k);
  std::unique_ptr<IDoubleMatrix> kind;
  std::size_t storedCount = 0;
  if constexpr (S == Structured::GeneralBand) {
    kind = std::make_unique<DoubleGeneralBandMatrix>(n, n, k, k);
    storedCount = StorageAccess::Band(static_cast<DoubleGeneralBandMatrix&>(*kind)).size();
  } else if constexpr (S == Structured::SymmetricBand) {
    kind = std::make_unique<DoubleSymmetricBandMatrix>(n, n, k, k);
    storedCount = StorageAccess::Band(static_cast<DoubleSymmetricBandMatrix&>(*kind)).size();
  } else {
    kind = std::make_unique<DoubleSymmetricMatrix>(n, n);
    storedCount = StorageAccess::Packed(static_cast<DoubleSymmetricMatrix&>(*kind)).size();
  }
  std::vector<double> raw(storedCount);
  const double* in = d.dense.data();
  auto copyStored = [&] {
    auto store = [&](int i, int j, std::int64_t p) { raw[static_cast<std::size_t>(p)] = in[At(i, j, n, layout)]; };
    if constexpr (S == Structured::GeneralBand) ForEachGeneralBand(n, k, k, store);
    if constexpr (S == Structured::SymmetricBand) ForEachSymmetricBand(n, k, store);
    if constexpr (S == Structured::Packed) ForEachPacked(n, store);
  };
  auto checkRest = [&] {
    bool bad = false;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        const double v = in[At(i, j, n, layout)];
        if (std::abs(i - j) > k) {
          bad |= v != 0.0;
        } else if (S != Structured::GeneralBand && i > j) {
          bad |= v != in[At(j, i, n, layout)];
        }
      }
    return bad;
  };
  bench::RunPaired(
      state,
      [&] {
        if (checking && checkRest()) state.SkipWithError("unexpected input");
        copyStored();
        benchmark::DoNotOptimize(raw.data());
      },
      [&] { kind->SetValues(d.dense, layout); });
}

void GeneralBandGet(benchmark::State& s) { StructuredGet<Structured::GeneralBand>(s); }
void SymmetricBandGet(benchmark::State& s) { StructuredGet<Structured::SymmetricBand>(s); }
void PackedGet(benchmark::State& s) { StructuredGet<Structured::Packed>(s); }
void GeneralBandSet(benchmark::State& s) { StructuredSet<Structured::GeneralBand>(s, false); }
void SymmetricBandSet(benchmark::State& s) { StructuredSet<Structured::SymmetricBand>(s, false); }
void PackedSet(benchmark::State& s) { StructuredSet<Structured::Packed>(s, false); }
void GeneralBandSetChecked(benchmark::State& s) { StructuredSet<Structured::GeneralBand>(s, true); }
void SymmetricBandSetChecked(benchmark::State& s) { StructuredSet<Structured::SymmetricBand>(s, true); }
void PackedSetChecked(benchmark::State& s) { StructuredSet<Structured::Packed>(s, true); }

// ---- element-wise arithmetic ----

enum class Op { Sum, Scale, Negate, Transpose };

template <Op O>
void Arithmetic(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::size_t count = static_cast<std::size_t>(n) * n;
  const auto va = bench::RandomData(count, 6), vb = bench::RandomData(count, 7);
  const Matrix a = Matrix::FromValues(n, n, va, Layout::ColumnMajor);
  const Matrix b = Matrix::FromValues(n, n, vb, Layout::ColumnMajor);
  std::optional<Matrix> result;
  std::unique_ptr<double[]> raw;
  bench::RunPaired(
      state, [&] { raw.reset(); },
      [&] {
        raw = NewArray(count);
        double* c = raw.get();
        if constexpr (O == Op::Sum) {
          for (std::size_t k = 0; k < count; ++k) c[k] = va[k] + vb[k];
        } else if constexpr (O == Op::Scale) {
          for (std::size_t k = 0; k < count; ++k) c[k] = va[k] * 2.5;
        } else if constexpr (O == Op::Negate) {
          for (std::size_t k = 0; k < count; ++k) c[k] = -va[k];
        } else {
          BlockedTranspose(va.data(), n, n, c);
        }
        benchmark::DoNotOptimize(c);
      },
      [&] { result.reset(); },
      [&] {
        if constexpr (O == Op::Sum) {
          result.emplace(a + b);
        } else if constexpr (O == Op::Scale) {
          result.emplace(a * 2.5);
        } else if constexpr (O == Op::Negate) {
          result.emplace(-a);
        } else {
          result.emplace(Matrix::Transpose(a));
        }
      });
}
void MatrixSum(benchmark::State& s) { Arithmetic<Op::Sum>(s); }
void MatrixScale(benchmark::State& s) { Arithmetic<Op::Scale>(s); }
void MatrixNegate(benchmark::State& s) { Arithmetic<Op::Negate>(s); }
void MatrixTranspose(benchmark::State& s) { Arithmetic<Op::Transpose>(s); }

void DenseCases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "colmajor"})->Args({2000, 0})->Args({2000, 1});
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}
void StructuredCases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "colmajor", "k"})->Args({2000, 0, 8})->Args({2000, 1, 8});
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}
void PackedCases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "colmajor"})->Args({2000, 0})->Args({2000, 1});
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}
void ArithmeticCases(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(DenseSet)->Apply(DenseCases);
BENCHMARK(DenseGet)->Apply(DenseCases);
BENCHMARK(DenseFromValues)->Apply(DenseCases);
BENCHMARK(SetItemLoopVsSetValues)->Apply(DenseCases);
BENCHMARK(GetItemLoopVsGetValues)->Apply(DenseCases);
BENCHMARK(GeneralBandGet)->Apply(StructuredCases);
BENCHMARK(GeneralBandSet)->Apply(StructuredCases);
BENCHMARK(GeneralBandSetChecked)->Apply(StructuredCases);
BENCHMARK(SymmetricBandGet)->Apply(StructuredCases);
BENCHMARK(SymmetricBandSet)->Apply(StructuredCases);
BENCHMARK(SymmetricBandSetChecked)->Apply(StructuredCases);
BENCHMARK(PackedGet)->Apply(PackedCases);
BENCHMARK(PackedSet)->Apply(PackedCases);
BENCHMARK(PackedSetChecked)->Apply(PackedCases);
BENCHMARK(MatrixSum)->Apply(ArithmeticCases);
BENCHMARK(MatrixScale)->Apply(ArithmeticCases);
BENCHMARK(MatrixNegate)->Apply(ArithmeticCases);
BENCHMARK(MatrixTranspose)->Apply(ArithmeticCases);
BENCHMARK_MAIN();
