// Conversions between the public element types (double, Complex) and the
// storage element handed to LAPACK (double, doublecomplex).
#pragma once

#include "OrvaneNet/Complex.h"
#include "lapack/fortran.h"

namespace OrvaneNet::detail {

inline double ToStorage(double v) noexcept { return v; }
inline lapack::doublecomplex ToStorage(Complex v) noexcept { return v.ToStdComplex(); }
inline double ToElement(double v) noexcept { return v; }
inline Complex ToElement(lapack::doublecomplex v) noexcept { return Complex(v); }

}  // namespace OrvaneNet::detail
