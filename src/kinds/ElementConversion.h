// Conversions between the public element types (double, Complex) and the
// storage element handed to LAPACK (double, doublecomplex).
#pragma once

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "lapack/fortran.h"

namespace OrvaneNet::detail {

inline double ToStorage(double v) noexcept { return v; }
inline lapack::doublecomplex ToStorage(Complex v) noexcept { return v.ToStdComplex(); }
inline double ToElement(double v) noexcept { return v; }
inline Complex ToElement(lapack::doublecomplex v) noexcept { return Complex(v); }

// The stored value of a mirrored element (j, i) of a symmetric or Hermitian
// matrix: itself for real, the conjugate for complex.
inline double Mirror(double v) noexcept { return v; }
inline lapack::doublecomplex Mirror(lapack::doublecomplex v) noexcept { return std::conj(v); }

// A diagonal element of a Hermitian matrix is real: LAPACK reads only the
// real part, so a stored imaginary part would make reads and products use
// another matrix than the solvers. Refused before anything is stored.
inline void RequireRealDiagonal(double) noexcept {}
inline void RequireRealDiagonal(Complex v) {
  if (v.get_Imag() != 0.0) throw OrvaneException(msg::HermitianComplexDiagonal);
}

}  // namespace OrvaneNet::detail
