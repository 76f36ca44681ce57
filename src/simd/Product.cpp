// Dispatch of the dense products to the blocked kernel of the widest
// instruction set the processor runs, on one or more threads, and the plain
// loop that defines them.
#include "simd/Product.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "kinds/DenseView.h"
#include "simd/ProductKernels.h"

namespace OrvaneNet::detail {
namespace {

using Index = std::int64_t;

// Below this many terms packing costs more than it saves.
constexpr Index kPlainLoopTerms = 4096;
// Each thread needs this much work (terms; a complex term counts four), so
// products below twice this stay on the calling thread: starting and joining
// a thread costs tens of microseconds, about what 2^21 terms take on one
// core (bench_product's ProductDispatch cases; bench/RESULTS.md).
constexpr Index kTermsPerThread = Index{1} << 21;
// Threads take C in blocks of whole columns (a multiple of every kernel's
// tile width) or whole rows (of every kernel's tile height).
constexpr int kColumnGranule = 8;
constexpr int kRowGranule = 24;

// The part of the matrices one call of a kernel sees: C (m x n) = A (m x k)
// * B (k x n), whole matrices or blocks of them.
template <class T>
struct Operands {
  ConstDenseView<T> a, b;
  DenseView<T> c;
};

template <class T>
Operands<T> Whole(int m, int n, int k, const T* a, const T* b, T* c) {
  return {ConstDenseView<T>(a, m, k, m), ConstDenseView<T>(b, k, n, k), DenseView<T>(c, m, n, m)};
}

// C(i, j) by the defining loop.
template <class T>
T PlainElement(const ConstDenseView<T>& A, const ConstDenseView<T>& B, int i, int j) {
  T s = T(0.0);
  for (int p = 0; p < A.cols(); ++p) s = s + A(i, p) * B(p, j);
  return s;
}

template <class T>
void PlainProduct(const Operands<T>& x) {
  for (int j = 0; j < x.c.cols(); ++j)
    for (int i = 0; i < x.c.rows(); ++i) x.c(i, j) = PlainElement(x.a, x.b, i, j);
}

bool IsFinite(double x) { return std::isfinite(x); }
bool IsFinite(const std::complex<double>& x) {
  return std::isfinite(x.real()) && std::isfinite(x.imag());
}

// The kernels agree with the plain loop bit for bit when all operands of an
// element are finite: then every NaN that arises is the processor's default
// NaN, so it does not matter which operand a NaN is taken from, and a
// complex product never has both parts NaN, the one case where
// std::complex's product recovers infinities (GCC's __muldc3). Elements with
// a non-finite value in their row of A or column of B are recomputed here.
template <class T>
void RecomputeNonFinite(const Operands<T>& x) {
  const ConstDenseView<T>&A = x.a, &B = x.b;
  const DenseView<T>& C = x.c;
  const int m = C.rows(), n = C.cols(), k = A.cols();
  std::vector<char> badRow(static_cast<std::size_t>(m), 0);
  std::vector<char> badCol(static_cast<std::size_t>(n), 0);
  bool any = false;
  for (int p = 0; p < k; ++p)
    for (int i = 0; i < m; ++i)
      if (!IsFinite(A(i, p))) badRow[i] = any = true;
  for (int j = 0; j < n; ++j)
    for (int p = 0; p < k; ++p)
      if (!IsFinite(B(p, j))) badCol[j] = any = true;
  if (!any) return;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i)
      if (badRow[i] || badCol[j]) C(i, j) = PlainElement(A, B, i, j);
}

using Kernel = bool (*)(int, int, int, const double*, long long, const double*, long long, double*,
                        long long);

struct Kernels {
  Kernel real, complex;
};

// Only x86-64 builds have the vector sets (see InstructionSet.h).
Kernels KernelsFor(InstructionSet set) {
#if defined(ORVANE_X86_KERNELS)
  if (set == InstructionSet::Avx512) return {product::RealAvx512, product::ComplexAvx512};
  if (set == InstructionSet::Avx2) return {product::RealAvx2, product::ComplexAvx2};
#endif
  (void)set;
  return {product::RealPortable, product::ComplexPortable};
}

// One thread's share of the product through `kernel`, which sees complex
// values as interleaved doubles (std::complex guarantees that layout).
template <class T>
void BlockedPart(Kernel kernel, const Operands<T>& x) {
  if (!kernel(x.c.rows(), x.c.cols(), x.a.cols(), reinterpret_cast<const double*>(x.a.data()),
              x.a.ld(), reinterpret_cast<const double*>(x.b.data()), x.b.ld(),
              reinterpret_cast<double*>(x.c.data()), x.c.ld()))
    throw std::bad_alloc();
  RecomputeNonFinite(x);
}

// Cuts `extent` into `parts` runs of whole granules, as even as can be;
// returns where run p starts (p = parts: the end).
int RunStart(int extent, int granule, int parts, int p) {
  const Index units = (extent + granule - 1) / granule;
  const Index start = (units / parts * p + std::min<Index>(p, units % parts)) * granule;
  return static_cast<int>(std::min<Index>(start, extent));
}

// The largest run when `extent` is cut that way.
Index LargestRun(int extent, int granule, int parts) {
  return RunStart(extent, granule, parts, 1) - RunStart(extent, granule, parts, 0);
}

// C split among up to `threads` threads: by columns or by rows, whichever
// leaves the largest part smaller (columns when equal), and never more parts
// than the chosen side has granules. Part 0 runs on the calling thread, which
// joins the others before it returns or throws; a thread that cannot be
// started leaves its part to the calling thread.
template <class T>
void Split(Kernel kernel, const Operands<T>& x, int threads) {
  const int m = x.c.rows(), n = x.c.cols(), k = x.a.cols();
  const int byCols = std::min(threads, (n + kColumnGranule - 1) / kColumnGranule);
  const int byRows = std::min(threads, (m + kRowGranule - 1) / kRowGranule);
  const bool columns =
      LargestRun(n, kColumnGranule, byCols) * m <= LargestRun(m, kRowGranule, byRows) * n;
  const int parts = columns ? byCols : byRows;
  auto part = [&](int p) {
    if (columns) {
      const int j0 = RunStart(n, kColumnGranule, parts, p);
      const int cols = RunStart(n, kColumnGranule, parts, p + 1) - j0;
      BlockedPart(kernel, Operands<T>{x.a, ConstDenseView<T>(&x.b(0, j0), k, cols, x.b.ld()),
                                      DenseView<T>(&x.c(0, j0), m, cols, x.c.ld())});
    } else {
      const int i0 = RunStart(m, kRowGranule, parts, p);
      const int rows = RunStart(m, kRowGranule, parts, p + 1) - i0;
      BlockedPart(kernel, Operands<T>{ConstDenseView<T>(&x.a(i0, 0), rows, k, x.a.ld()), x.b,
                                      DenseView<T>(&x.c(i0, 0), rows, n, x.c.ld())});
    }
  };
  if (parts <= 1) return part(0);

  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(parts));
  auto guarded = [&](int p) {
    try {
      part(p);
    } catch (...) {
      errors[static_cast<std::size_t>(p)] = std::current_exception();
    }
  };
  // Allocated before any thread starts; a part whose thread stays empty runs
  // on the calling thread.
  std::vector<std::thread> workers(static_cast<std::size_t>(parts));
  for (int p = 1; p < parts; ++p) {
    try {
      workers[static_cast<std::size_t>(p)] = std::thread(guarded, p);
    } catch (...) {  // std::system_error or std::bad_alloc: no thread for it
    }
  }
  for (int p = 0; p < parts; ++p)
    if (!workers[static_cast<std::size_t>(p)].joinable()) guarded(p);
  for (std::thread& w : workers)
    if (w.joinable()) w.join();
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

template <class T>
void Blocked(Kernel kernel, int m, int n, int k, const T* a, const T* b, T* c, int threads) {
  if (m <= 0 || n <= 0) return;
  if (k <= 0) {
    for (Index e = 0; e < static_cast<Index>(m) * n; ++e) c[e] = T(0.0);
    return;
  }
  Split(kernel, Whole(m, n, k, a, b, c), threads < 1 ? 1 : threads);
}

template <class T>
void Multiply(Kernel kernel, int m, int n, int k, const T* a, const T* b, T* c, int maxThreads) {
  const Index terms = static_cast<Index>(m) * n * k;
  if (terms <= kPlainLoopTerms) return PlainProduct(Whole(m, n, k, a, b, c));
  const Index work = std::is_same_v<T, double> ? terms : 4 * terms;
  const Index wanted = work / kTermsPerThread;
  const int threads = wanted <= 1 ? 1 : static_cast<int>(std::min<Index>(wanted, maxThreads));
  Blocked(kernel, m, n, k, a, b, c, threads);
}

}  // namespace

void MultiplyReal(int m, int n, int k, const double* a, const double* b, double* c) {
  MultiplyReal(m, n, k, a, b, c, ProductThreads());
}

void MultiplyComplex(int m, int n, int k, const std::complex<double>* a,
                     const std::complex<double>* b, std::complex<double>* c) {
  MultiplyComplex(m, n, k, a, b, c, ProductThreads());
}

void MultiplyReal(int m, int n, int k, const double* a, const double* b, double* c,
                  int maxThreads) {
  Multiply(KernelsFor(Best()).real, m, n, k, a, b, c, maxThreads);
}

void MultiplyComplex(int m, int n, int k, const std::complex<double>* a,
                     const std::complex<double>* b, std::complex<double>* c, int maxThreads) {
  Multiply(KernelsFor(Best()).complex, m, n, k, a, b, c, maxThreads);
}

void MultiplyRealOn(InstructionSet set, int m, int n, int k, const double* a, const double* b,
                    double* c, int threads) {
  Blocked(KernelsFor(set).real, m, n, k, a, b, c, threads);
}

void MultiplyComplexOn(InstructionSet set, int m, int n, int k, const std::complex<double>* a,
                       const std::complex<double>* b, std::complex<double>* c, int threads) {
  Blocked(KernelsFor(set).complex, m, n, k, a, b, c, threads);
}

int ThreadCountFrom(const char* setting, unsigned processors) {
  if (setting != nullptr) {
    const char* end = setting + std::strlen(setting);
    int value = 0;
    const auto [rest, error] = std::from_chars(setting, end, value);
    if (error == std::errc() && rest == end && rest != setting && value >= 1 &&
        value <= kMaxProductThreads)
      return value;
  }
  if (processors == 0) return 1;
  return static_cast<int>(std::min<unsigned>(processors, kMaxProductThreads));
}

int ProductThreads() {
  static const int threads =
      ThreadCountFrom(std::getenv("ORVANE_NUM_THREADS"), std::thread::hardware_concurrency());
  return threads;
}

}  // namespace OrvaneNet::detail
