// Compiles the library's LAPACK declarations next to Debian's lapack.h: any
// difference in an argument's type or constness, or a missing hidden length,
// makes two conflicting declarations of one C function and fails the build.
#include <complex>

#include "lapack/fortran.h"

#define lapack_complex_float std::complex<float>
#define lapack_complex_double std::complex<double>
#include <lapack.h>

#include <gtest/gtest.h>

TEST(LapackPrototypes, MatchTheReferenceHeader) {
  // The check is the successful compilation of this file; make sure the
  // macros above were the ones lapack.h used.
  static_assert(std::is_same_v<lapack_complex_double, std::complex<double>>);
  void (*f)(const int*, const int*, double*, const int*, int*, int*) = &dgetrf_;
  EXPECT_NE(f, nullptr);
}
