// Dispatch of the dense products to the blocked kernel of the widest
// instruction set the processor runs, and the plain loop that defines them.
#include "simd/Product.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "kinds/DenseView.h"
#include "simd/ProductKernels.h"

namespace OrvaneNet::detail {
namespace {

using Index = std::int64_t;

// Below this many terms packing costs more than it saves.
constexpr Index kPlainLoopTerms = 4096;

// C(i, j) by the defining loop.
template <class T>
T PlainElement(const ConstDenseView<T>& A, const ConstDenseView<T>& B, int i, int j) {
  T s = T(0.0);
  for (int p = 0; p < A.cols(); ++p) s = s + A(i, p) * B(p, j);
  return s;
}

template <class T>
void PlainProduct(int m, int n, int k, const T* a, const T* b, T* c) {
  const ConstDenseView<T> A(a, m, k, m), B(b, k, n, k);
  const DenseView<T> C(c, m, n, m);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) C(i, j) = PlainElement(A, B, i, j);
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
void RecomputeNonFinite(int m, int n, int k, const T* a, const T* b, T* c) {
  const ConstDenseView<T> A(a, m, k, m), B(b, k, n, k);
  const DenseView<T> C(c, m, n, m);
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

using Kernel = bool (*)(int, int, int, const double*, const double*, double*);

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

// The product through `kernel`, which sees complex values as interleaved
// doubles (std::complex guarantees that layout).
template <class T>
void Blocked(Kernel kernel, int m, int n, int k, const T* a, const T* b, T* c) {
  if (m <= 0 || n <= 0) return;
  if (k <= 0) {
    for (Index e = 0; e < static_cast<Index>(m) * n; ++e) c[e] = T(0.0);
    return;
  }
  if (!kernel(m, n, k, reinterpret_cast<const double*>(a), reinterpret_cast<const double*>(b),
              reinterpret_cast<double*>(c)))
    throw std::bad_alloc();
  RecomputeNonFinite(m, n, k, a, b, c);
}

template <class T>
void Multiply(Kernel kernel, int m, int n, int k, const T* a, const T* b, T* c) {
  if (static_cast<Index>(m) * n * k <= kPlainLoopTerms)
    PlainProduct(m, n, k, a, b, c);
  else
    Blocked(kernel, m, n, k, a, b, c);
}

}  // namespace

void MultiplyReal(int m, int n, int k, const double* a, const double* b, double* c) {
  Multiply(KernelsFor(Best()).real, m, n, k, a, b, c);
}

void MultiplyComplex(int m, int n, int k, const std::complex<double>* a,
                     const std::complex<double>* b, std::complex<double>* c) {
  Multiply(KernelsFor(Best()).complex, m, n, k, a, b, c);
}

void MultiplyRealOn(InstructionSet set, int m, int n, int k, const double* a, const double* b,
                    double* c) {
  Blocked(KernelsFor(set).real, m, n, k, a, b, c);
}

void MultiplyComplexOn(InstructionSet set, int m, int n, int k, const std::complex<double>* a,
                       const std::complex<double>* b, std::complex<double>* c) {
  Blocked(KernelsFor(set).complex, m, n, k, a, b, c);
}

}  // namespace OrvaneNet::detail
