// Compiles the library's LAPACK declarations next to Debian's lapack.h: any
// difference in an argument's type or constness, or a missing hidden length,
// makes two conflicting declarations of one C function and fails the build.
#include <complex>
#include <type_traits>

#include "lapack/fortran.h"

#define lapack_complex_float std::complex<float>
#define lapack_complex_double std::complex<double>
#include <lapack.h>

// The macros above were the ones lapack.h used.
static_assert(std::is_same_v<lapack_complex_double, std::complex<double>>);
