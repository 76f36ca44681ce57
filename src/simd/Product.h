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
void MultiplyReal(int m, int n, int k, const double* a, const double* b, double* c);

// The same with complex elements; each term is std::complex<double>'s own
// product (GCC's NaN recovery included) and the sum adds the real and the
// imaginary parts separately.
void MultiplyComplex(int m, int n, int k, const std::complex<double>* a,
                     const std::complex<double>* b, std::complex<double>* c);

// The products on one instruction set, always through the blocked kernel,
// even for shapes where MultiplyReal/MultiplyComplex would take the plain
// loop, so that tests can check every set against the plain loop on a machine
// that would otherwise always pick the fastest. `set` must be Supported.
void MultiplyRealOn(InstructionSet set, int m, int n, int k, const double* a, const double* b,
                    double* c);
void MultiplyComplexOn(InstructionSet set, int m, int n, int k, const std::complex<double>* a,
                       const std::complex<double>* b, std::complex<double>* c);

}  // namespace OrvaneNet::detail
