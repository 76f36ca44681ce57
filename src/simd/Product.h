// Dense matrix products behind the handles' operator*. Every element of the
// result is bit-identical to the plain loop
//   s = 0.0; for p = 0 .. k-1 in order: s = s + A(i,p) * B(p,j)
// (multiply, then add, never fused), for any shape and any values, signed
// zeros, infinities and NaNs included; only the speed comes from a packed,
// cache-blocked kernel. Column-major storage, leading dimensions equal to the
// row counts.
#pragma once

#include <complex>

#include "simd/InstructionSet.h"

namespace OrvaneNet::detail {

// C (m x n) = A (m x k) * B (k x n); C is overwritten. Dimensions must not be
// negative; a zero dimension is allowed (k = 0 gives C = +0.0 everywhere).
// Large products split C among ProductThreads() threads, each element
// computed whole by one of them, so the bits do not depend on the split.
void MultiplyReal(int m, int n, int k, const double* a, const double* b, double* c);

// The same with complex elements; each term is std::complex<double>'s own
// product (GCC's NaN recovery included) and the sum adds the real and the
// imaginary parts separately.
void MultiplyComplex(int m, int n, int k, const std::complex<double>* a,
                     const std::complex<double>* b, std::complex<double>* c);
// The same with at most `maxThreads` threads instead of ProductThreads().
void MultiplyReal(int m, int n, int k, const double* a, const double* b, double* c,
                  int maxThreads);
void MultiplyComplex(int m, int n, int k, const std::complex<double>* a,
                     const std::complex<double>* b, std::complex<double>* c, int maxThreads);

// The products on one instruction set, always through the blocked kernel,
// even for shapes where MultiplyReal/MultiplyComplex would take the plain
// loop, so that tests can check every set against the plain loop on a machine
// that would otherwise always pick the fastest. `set` must be Supported. C is
// split among `threads` threads (fewer if C has fewer column or row blocks),
// whatever the size of the product.
void MultiplyRealOn(InstructionSet set, int m, int n, int k, const double* a, const double* b,
                    double* c, int threads = 1);
void MultiplyComplexOn(InstructionSet set, int m, int n, int k, const std::complex<double>* a,
                       const std::complex<double>* b, std::complex<double>* c, int threads = 1);

// The most threads a product uses: ORVANE_NUM_THREADS if it holds a whole
// number from 1 to kMaxProductThreads, else the number of processors. Read at
// the first call, then kept.
int ProductThreads();
inline constexpr int kMaxProductThreads = 256;
// That rule for a given value of the variable (null when it is not set) and
// processor count (0 when unknown, taken as 1).
int ThreadCountFrom(const char* setting, unsigned processors);

}  // namespace OrvaneNet::detail
