// LAPACK's error handler, replaced so that an illegal argument returns a
// negative info to the library instead of ending the process. The symbol
// interposes on the one inside the LAPACK library, which calls it through
// the dynamic linker.
#include <cstdio>

#include "lapack/fortran.h"

extern "C" void xerbla_(const char* srname, const int* info, std::size_t srname_len) {
  // Fortran passes the name blank-padded without a terminator; OpenBLAS's own
  // routines count a trailing NUL in the length.
  std::size_t n = srname_len;
  while (n > 0 && (srname[n - 1] == ' ' || srname[n - 1] == '\0')) --n;
  std::printf("** On entry to %6.*s, parameter number %2i had an illegal value\n",
              static_cast<int>(n), srname, *info);
  std::fflush(stdout);
}
