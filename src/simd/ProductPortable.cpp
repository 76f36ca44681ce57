// The blocked product with SSE2 vectors, which every x86-64 processor has
// (and with GCC's generic vectors elsewhere).
namespace OrvaneNet::detail::product {
namespace {
typedef double Vec __attribute__((vector_size(16)));
struct RealConfig {
  static constexpr int MV = 2, NR = 4, MC = 128, KC = 256, NC = 2048;
};
struct ComplexConfig {
  static constexpr int MV = 2, NR = 4, MC = 64, KC = 256, NC = 1024;
};
}  // namespace
}  // namespace OrvaneNet::detail::product

#include "simd/ProductBlocked.inc"
#include "simd/ProductKernels.h"

namespace OrvaneNet::detail::product {

bool RealPortable(int m, int n, int k, const double* a, long long lda, const double* b,
                  long long ldb, double* c, long long ldc) {
  return Blocked<RealScheme<RealConfig>, RealConfig>(m, n, k, a, lda, b, ldb, c, ldc);
}

bool ComplexPortable(int m, int n, int k, const double* a, long long lda, const double* b,
                     long long ldb, double* c, long long ldc) {
  return Blocked<ComplexScheme<ComplexConfig>, ComplexConfig>(m, n, k, a, lda, b, ldb, c, ldc);
}

}  // namespace OrvaneNet::detail::product
