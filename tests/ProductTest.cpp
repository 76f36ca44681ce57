// The dense product kernels against the plain loop, bit for bit, on every
// instruction-set path this processor runs.
#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "TestUtil.h"
#include "simd/Product.h"

using namespace OrvaneNet::detail;

namespace {

using Cplx = std::complex<double>;

// The defining loop: per element, from 0.0, terms in increasing p.
template <class T>
std::vector<T> PlainProduct(int m, int n, int k, const std::vector<T>& a, const std::vector<T>& b) {
  std::vector<T> c(static_cast<std::size_t>(m) * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) {
      T s = T(0.0);
      for (int p = 0; p < k; ++p)
        s = s + a[i + static_cast<std::size_t>(p) * m] * b[p + static_cast<std::size_t>(j) * k];
      c[i + static_cast<std::size_t>(j) * m] = s;
    }
  return c;
}

// path == nullptr: the default dispatch.
void Multiply(const double* a, const double* b, double* c, int m, int n, int k, const ProductPath* path) {
  path ? MultiplyRealOn(*path, m, n, k, a, b, c) : MultiplyReal(m, n, k, a, b, c);
}
void Multiply(const Cplx* a, const Cplx* b, Cplx* c, int m, int n, int k, const ProductPath* path) {
  path ? MultiplyComplexOn(*path, m, n, k, a, b, c) : MultiplyComplex(m, n, k, a, b, c);
}

// Equal bits, except that two NaNs match whatever their sign and payload:
// those depend on which operand the compiler happened to put first, so even
// two builds of the plain loop (say -O1 and -O2) disagree on them.
bool SameBits(double x, double y) {
  return std::memcmp(&x, &y, sizeof x) == 0 || (std::isnan(x) && std::isnan(y));
}
bool SameBits(const Cplx& x, const Cplx& y) {
  return SameBits(x.real(), y.real()) && SameBits(x.imag(), y.imag());
}

// The product on the default dispatch and on every supported path, each
// compared with the plain loop bit for bit. C starts with a stray pattern to
// catch elements that are never written.
template <class T>
void ExpectPlainLoopResult(int m, int n, int k, const std::vector<T>& a, const std::vector<T>& b) {
  const std::vector<T> expected = PlainProduct(m, n, k, a, b);
  std::vector<ProductPath> paths;
  for (ProductPath p : {ProductPath::Generic, ProductPath::Avx2, ProductPath::Avx512})
    if (ProductPathSupported(p)) paths.push_back(p);
  for (std::size_t run = 0; run <= paths.size(); ++run) {
    const ProductPath* path = run < paths.size() ? &paths[run] : nullptr;
    std::vector<T> c(expected.size());
    if (!c.empty()) std::memset(static_cast<void*>(c.data()), 0x7f, c.size() * sizeof(T));
    Multiply(a.data(), b.data(), c.data(), m, n, k, path);
    for (std::size_t e = 0; e < c.size(); ++e)
      if (!SameBits(c[e], expected[e])) {
        ADD_FAILURE() << "path " << (path ? static_cast<int>(*path) : -1) << ", " << m << " x "
                      << k << " times " << k << " x " << n << ": element (" << e % m << ", "
                      << e / m << ") is " << c[e] << ", the plain loop gives " << expected[e];
        break;
      }
  }
}

// Entries uniform in [-1, 1), or drawn from `set` so that exact
// cancellations, signed zeros, infinities, NaNs and overflow occur often.
template <class T>
std::vector<T> Values(std::size_t count, std::mt19937& rng, const std::vector<double>& set = {}) {
  std::uniform_int_distribution<std::size_t> pick(0, set.empty() ? 0 : set.size() - 1);
  auto one = [&] { return set.empty() ? orvane_test::RandomValue<double>(rng) : set[pick(rng)]; };
  std::vector<T> v(count);
  for (auto& x : v) {
    if constexpr (std::is_same_v<T, double>) {
      x = one();
    } else {
      const double re = one();
      x = T(re, one());
    }
  }
  return v;
}

template <class T>
class ProductTest : public ::testing::Test {};
using ElementTypes = ::testing::Types<double, Cplx>;
TYPED_TEST_SUITE(ProductTest, ElementTypes);

// Every combination of awkward dimensions, then shapes that cross the cache
// blocks: many rows with few columns, more columns than one B panel holds,
// more terms than one k-block.
TYPED_TEST(ProductTest, AwkwardShapesAndBlockBoundaries) {
  std::mt19937 rng(7);
  std::vector<std::array<int, 3>> shapes{{4096, 64, 64}, {3, 2100, 300}, {200, 13, 530}};
  const int dims[] = {0, 1, 7, 33, 257};
  for (int m : dims)
    for (int n : dims)
      for (int k : dims) shapes.push_back({m, n, k});
  for (auto [m, n, k] : shapes) {
    const auto a = Values<TypeParam>(static_cast<std::size_t>(m) * k, rng);
    ExpectPlainLoopResult(m, n, k, a, Values<TypeParam>(static_cast<std::size_t>(k) * n, rng));
  }
}

// Exact cancellation (the sum starts at +0.0, so -0.0 terms alone give +0.0)
// and, with std::complex's NaN recovery, infinities, NaNs and overflow.
TYPED_TEST(ProductTest, SignedZerosInfinitiesNaNsAndOverflow) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(5);
  const std::vector<std::vector<double>> sets{{0.0, -0.0, 1.0, -1.0, -0.0},
                                              {0.0, -0.0, 1.0, -2.5, inf, -inf, nan, 1e308, -1e308}};
  for (const auto& set : sets)
    for (int k : {1, 4, 40, 300}) {
      const int m = 29, n = 11;
      const auto a = Values<TypeParam>(static_cast<std::size_t>(m) * k, rng, set);
      ExpectPlainLoopResult(m, n, k, a, Values<TypeParam>(static_cast<std::size_t>(k) * n, rng, set));
    }
}

// std::complex's product turns (inf, inf) * (1, 0) into (inf, inf) where the
// textbook formula gives (NaN, NaN); the kernels must not lose that.
TEST(ProductComplexTest, InfinityRecoveryOfTheComplexProduct) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Cplx> a{Cplx(inf, inf), Cplx(1.0, 0.0)}, b{Cplx(1.0, 0.0), Cplx(2.0, 0.0)};
  const Cplx plain = PlainProduct(1, 1, 2, a, b)[0];
  ASSERT_TRUE(std::isinf(plain.real()) && std::isinf(plain.imag())) << plain;
  ExpectPlainLoopResult(1, 1, 2, a, b);
}

}  // namespace
