// The blocked product with 256-bit AVX2 vectors. Compiled with -mavx2 and
// -mno-fma (cmake/Simd.cmake), so no fused multiply-add exists.
#if defined(ORVANE_X86_KERNELS)
namespace OrvaneNet::detail::product {
namespace {
typedef double Vec __attribute__((vector_size(32)));
struct RealConfig {
  static constexpr int MV = 3, NR = 4, MC = 96, KC = 256, NC = 2048;
};
struct ComplexConfig {
  static constexpr int MV = 2, NR = 4, MC = 64, KC = 256, NC = 1024;
};
}  // namespace
}  // namespace OrvaneNet::detail::product

#include "simd/ProductBlocked.inc"
#include "simd/ProductKernels.h"

namespace OrvaneNet::detail::product {

bool RealAvx2(int m, int n, int k, const double* a, long long lda, const double* b, long long ldb,
              double* c, long long ldc) {
  return Blocked<RealScheme<RealConfig>, RealConfig>(m, n, k, a, lda, b, ldb, c, ldc);
}

bool ComplexAvx2(int m, int n, int k, const double* a, long long lda, const double* b,
                 long long ldb, double* c, long long ldc) {
  return Blocked<ComplexScheme<ComplexConfig>, ComplexConfig>(m, n, k, a, lda, b, ldb, c, ldc);
}

}  // namespace OrvaneNet::detail::product
#endif
