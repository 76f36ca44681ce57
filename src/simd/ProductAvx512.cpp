// The blocked product with 512-bit AVX-512F vectors. Compiled with -mavx512f
// (cmake/Simd.cmake); the library-wide -ffp-contract=off keeps the multiplies
// and adds separate (the LibraryHasNoFusedMultiplyAdd test checks).
#if defined(ORVANE_X86_KERNELS)
namespace OrvaneNet::detail::product {
namespace {
typedef double Vec __attribute__((vector_size(64)));
struct RealConfig {
  static constexpr int MV = 3, NR = 8, MC = 192, KC = 256, NC = 2048;
};
struct ComplexConfig {
  static constexpr int MV = 3, NR = 8, MC = 96, KC = 256, NC = 1024;
};
}  // namespace
}  // namespace OrvaneNet::detail::product

#include "simd/ProductBlocked.inc"
#include "simd/ProductKernels.h"

namespace OrvaneNet::detail::product {

bool RealAvx512(int m, int n, int k, const double* a, long long lda, const double* b, long long ldb,
                double* c, long long ldc) {
  return Blocked<RealScheme<RealConfig>, RealConfig>(m, n, k, a, lda, b, ldb, c, ldc);
}

bool ComplexAvx512(int m, int n, int k, const double* a, long long lda, const double* b,
                   long long ldb, double* c, long long ldc) {
  return Blocked<ComplexScheme<ComplexConfig>, ComplexConfig>(m, n, k, a, lda, b, ldb, c, ldc);
}

}  // namespace OrvaneNet::detail::product
#endif
