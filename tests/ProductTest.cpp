// The dense product kernels against the plain loop, bit for bit, on every
// instruction-set path this processor runs.
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "TestUtil.h"
#include "handles/Product.h"

using OrvaneNet::detail::MultiplyComplex;
using OrvaneNet::detail::MultiplyComplexOn;
using OrvaneNet::detail::MultiplyReal;
using OrvaneNet::detail::MultiplyRealOn;
using OrvaneNet::detail::ProductPath;
using OrvaneNet::detail::ProductPathSupported;

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

void Multiply(const double* a, const double* b, double* c, int m, int n, int k, const ProductPath* path) {
  if (path) MultiplyRealOn(*path, m, n, k, a, b, c);
  else MultiplyReal(m, n, k, a, b, c);
}
void Multiply(const Cplx* a, const Cplx* b, Cplx* c, int m, int n, int k, const ProductPath* path) {
  if (path) MultiplyComplexOn(*path, m, n, k, a, b, c);
  else MultiplyComplex(m, n, k, a, b, c);
}

const char* Name(const ProductPath* path) {
  if (!path) return "default dispatch";
  switch (*path) {
    case ProductPath::Avx512: return "AVX-512";
    case ProductPath::Avx2: return "AVX2";
    default: return "generic";
  }
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

// Runs the product on the default dispatch and on every supported path and
// compares each result with the plain loop bit for bit. C starts with a
// stray pattern to catch elements that are never written.
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
        ADD_FAILURE() << Name(path) << ", " << m << " x " << k << " times " << k << " x " << n
                      << ": element (" << e % m << ", " << e / m << ") is " << c[e]
                      << ", the plain loop gives " << expected[e];
        break;
      }
  }
}

template <class T>
std::vector<T> Random(std::size_t count, std::mt19937& rng) {
  std::vector<T> v(count);
  for (auto& x : v) x = orvane_test::RandomValue<T>(rng);
  return v;
}

// Values drawn from a small set, so that exact cancellations, signed zeros
// and (for the special set) infinities, NaNs and overflow occur often.
template <class T>
std::vector<T> FromSet(std::size_t count, const std::vector<double>& set, std::mt19937& rng) {
  std::uniform_int_distribution<std::size_t> pick(0, set.size() - 1);
  std::vector<T> v(count);
  for (auto& x : v) {
    if constexpr (std::is_same_v<T, double>) {
      x = set[pick(rng)];
    } else {
      const double re = set[pick(rng)];
      x = T(re, set[pick(rng)]);
    }
  }
  return v;
}

template <class T>
class ProductTest : public ::testing::Test {};
using ElementTypes = ::testing::Types<double, Cplx>;
TYPED_TEST_SUITE(ProductTest, ElementTypes);

TYPED_TEST(ProductTest, AllShapesFromAwkwardDimensions) {
  std::mt19937 rng(7);
  const int dims[] = {0, 1, 7, 33, 257};
  for (int m : dims)
    for (int n : dims)
      for (int k : dims) {
        const auto a = Random<TypeParam>(static_cast<std::size_t>(m) * k, rng);
        const auto b = Random<TypeParam>(static_cast<std::size_t>(k) * n, rng);
        ExpectPlainLoopResult(m, n, k, a, b);
      }
}

// Shapes that cross every cache block boundary: many rows with few columns,
// more columns than one B panel holds, more terms than one k-block.
TYPED_TEST(ProductTest, TallSkinnyAndBlockBoundaries) {
  std::mt19937 rng(11);
  struct Shape { int m, n, k; };
  for (Shape s : {Shape{4096, 64, 64}, Shape{3, 2100, 300}, Shape{200, 13, 530}}) {
    const auto a = Random<TypeParam>(static_cast<std::size_t>(s.m) * s.k, rng);
    const auto b = Random<TypeParam>(static_cast<std::size_t>(s.k) * s.n, rng);
    ExpectPlainLoopResult(s.m, s.n, s.k, a, b);
  }
}

// Exact cancellation to zero: the sum starts at +0.0, so -0.0 terms alone
// give +0.0, and 1 - 1 gives +0.0.
TYPED_TEST(ProductTest, SignedZeros) {
  std::mt19937 rng(3);
  const std::vector<double> set = {0.0, -0.0, 1.0, -1.0, -0.0};
  for (int k : {1, 2, 5, 40, 300}) {
    const int m = 29, n = 11;
    const auto a = FromSet<TypeParam>(static_cast<std::size_t>(m) * k, set, rng);
    const auto b = FromSet<TypeParam>(static_cast<std::size_t>(k) * n, set, rng);
    ExpectPlainLoopResult(m, n, k, a, b);
  }
}

// Infinities, NaNs and finite values whose products overflow: every element
// still equals std::complex's product and sum (NaN recovery included), or the
// real ones, bit for bit.
TYPED_TEST(ProductTest, InfinitiesNaNsAndOverflow) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(5);
  // Sparse specials among random values: most rows and columns stay finite.
  for (int k : {3, 37, 260}) {
    const int m = 41, n = 19;
    auto a = Random<TypeParam>(static_cast<std::size_t>(m) * k, rng);
    auto b = Random<TypeParam>(static_cast<std::size_t>(k) * n, rng);
    a[5 + 2 * m] = TypeParam(inf);
    a[17] = TypeParam(nan);
    b[1 + 4 * k] = TypeParam(-inf);
    b[k * 9] = TypeParam(1e308);
    a[30 + m] = TypeParam(1e308);
    ExpectPlainLoopResult(m, n, k, a, b);
  }
  // Dense specials.
  const std::vector<double> set = {0.0, -0.0, 1.0, -2.5, inf, -inf, nan, 1e308, -1e308};
  for (int k : {1, 4, 33}) {
    const int m = 27, n = 9;
    const auto a = FromSet<TypeParam>(static_cast<std::size_t>(m) * k, set, rng);
    const auto b = FromSet<TypeParam>(static_cast<std::size_t>(k) * n, set, rng);
    ExpectPlainLoopResult(m, n, k, a, b);
  }
}

// std::complex's product turns (inf, inf) * (1, 0) into (inf, inf) where the
// textbook formula gives (NaN, NaN); the kernels must not lose that.
TEST(ProductComplexTest, InfinityRecoveryOfTheComplexProduct) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Cplx> a = {Cplx(inf, inf), Cplx(1.0, 0.0)};
  const std::vector<Cplx> b = {Cplx(1.0, 0.0), Cplx(2.0, 0.0)};
  ExpectPlainLoopResult(1, 1, 2, a, b);
  for (ProductPath p : {ProductPath::Generic, ProductPath::Avx2, ProductPath::Avx512}) {
    if (!ProductPathSupported(p)) continue;
    Cplx c;
    MultiplyComplexOn(p, 1, 1, 2, a.data(), b.data(), &c);
    EXPECT_TRUE(std::isinf(c.real()) && std::isinf(c.imag())) << c;
  }
}

TEST(ProductPathTest, GenericPathAlwaysRuns) { EXPECT_TRUE(ProductPathSupported(ProductPath::Generic)); }

}  // namespace
