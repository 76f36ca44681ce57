// The dense product kernels against the fixed order of terms, bit for bit,
// through the library's own dispatch and on each instruction set.
#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>
#include <type_traits>
#include <vector>

#include "SimdPaths.h"
#include "TestUtil.h"
#include "simd/Product.h"

using namespace OrvaneNet::detail;
using orvane_test::SimdPath;

namespace {

using Cplx = std::complex<double>;

// The defining order (per element s = 0.0, then s = s + A(i,p) * B(p,j) for
// p = 0 .. k-1) reached another way than the library's loop: C starts at
// +0.0 and takes one rank-one update A(:,p) B(p,:) per p, so each element
// still sees its terms one at a time in increasing p.
template <class T>
std::vector<T> RankOneUpdates(int m, int n, int k, const std::vector<T>& a,
                              const std::vector<T>& b) {
  std::vector<T> c(static_cast<std::size_t>(m) * n, T(0.0));
  for (int p = 0; p < k; ++p)
    for (int j = 0; j < n; ++j) {
      const T bpj = b[p + static_cast<std::size_t>(j) * k];
      const T* ap = a.data() + static_cast<std::size_t>(p) * m;
      T* cj = c.data() + static_cast<std::size_t>(j) * m;
      for (int i = 0; i < m; ++i) cj[i] = cj[i] + ap[i] * bpj;
    }
  return c;
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

// A (m x k) and B (k x n) of entries uniform in [-1, 1), or drawn from `set`
// so that exact cancellations, signed zeros, infinities, NaNs and overflow
// occur often.
template <class T>
std::pair<std::vector<T>, std::vector<T>> Operands(int m, int n, int k, std::mt19937& rng,
                                                   const std::vector<double>& set = {}) {
  std::uniform_int_distribution<std::size_t> pick(0, set.empty() ? 0 : set.size() - 1);
  auto one = [&] { return set.empty() ? orvane_test::RandomValue<double>(rng) : set[pick(rng)]; };
  std::vector<T> a(static_cast<std::size_t>(m) * k), b(static_cast<std::size_t>(k) * n);
  for (std::vector<T>* v : {&a, &b})
    for (auto& x : *v) {
      const double re = one();
      if constexpr (std::is_same_v<T, double>) {
        x = re;
      } else {
        x = T(re, one());
      }
    }
  return {a, b};
}

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Real and complex products on one path.
class Product : public orvane_test::SimdPathTest {
 protected:
  // The product on this path with `threads` threads, or through the dispatch
  // (which picks its own thread count). C starts with a stray pattern to
  // catch elements that are never written.
  template <class T>
  std::vector<T> Compute(int m, int n, int k, const std::vector<T>& a, const std::vector<T>& b,
                         int threads) {
    std::vector<T> c(static_cast<std::size_t>(m) * n);
    if (!c.empty()) std::memset(static_cast<void*>(c.data()), 0x7f, c.size() * sizeof(T));
    const SimdPath& path = GetParam();
    if constexpr (std::is_same_v<T, double>) {
      path ? MultiplyRealOn(*path, m, n, k, a.data(), b.data(), c.data(), threads)
           : MultiplyReal(m, n, k, a.data(), b.data(), c.data());
    } else {
      path ? MultiplyComplexOn(*path, m, n, k, a.data(), b.data(), c.data(), threads)
           : MultiplyComplex(m, n, k, a.data(), b.data(), c.data());
    }
    return c;
  }

  // The product on this path compared bit for bit with the defining order.
  template <class T>
  void ExpectPlainLoopResult(int m, int n, int k, const std::vector<T>& a, const std::vector<T>& b,
                             int threads = 1) {
    const std::vector<T> expected = RankOneUpdates(m, n, k, a, b);
    const std::vector<T> c = Compute(m, n, k, a, b, threads);
    for (std::size_t e = 0; e < c.size(); ++e)
      if (!SameBits(c[e], expected[e])) {
        ADD_FAILURE() << m << " x " << k << " times " << k << " x " << n << " on " << threads
                      << " threads: element (" << e % m << ", " << e / m << ") is " << c[e]
                      << ", the plain loop gives " << expected[e];
        break;
      }
  }

  // Every combination of awkward dimensions; shapes that cross the cache
  // blocks: many rows with few columns, more columns than one B panel holds,
  // more terms than one k-block; then exact cancellation (the sum starts at
  // +0.0, so -0.0 terms alone give +0.0) and, with std::complex's NaN
  // recovery, infinities, NaNs and overflow.
  template <class T>
  void PlainLoopCases() {
    std::mt19937 rng(7);
    const std::vector<std::vector<double>> sets{
        {0.0, -0.0, 1.0, -1.0, -0.0}, {0.0, -0.0, 1.0, -2.5, kInf, -kInf, kNaN, 1e308, -1e308}};
    std::vector<std::tuple<int, int, int, const std::vector<double>*>> cases{
        {4096, 64, 64, nullptr}, {3, 2100, 300, nullptr}, {200, 13, 530, nullptr}};
    const int dims[] = {0, 1, 7, 33, 257};
    for (int m : dims)
      for (int n : dims)
        for (int k : dims) cases.emplace_back(m, n, k, nullptr);
    for (const auto& set : sets)
      for (int k : {1, 4, 40, 300}) cases.emplace_back(29, 11, k, &set);
    for (auto [m, n, k, set] : cases) {
      const auto [a, b] = Operands<T>(m, n, k, rng, set ? *set : std::vector<double>{});
      ExpectPlainLoopResult(m, n, k, a, b);
    }
  }
};

TEST_P(Product, PlainLoopBitsForAwkwardShapesAndSpecialValues) {
  PlainLoopCases<double>();
  PlainLoopCases<Cplx>();
}

// std::complex's product turns (inf, inf) * (1, 0) into (inf, inf) where the
// textbook formula gives (NaN, NaN); the kernels must not lose that.
TEST_P(Product, InfinityRecoveryOfTheComplexProduct) {
  const std::vector<Cplx> a{Cplx(kInf, kInf), Cplx(1.0, 0.0)}, b{Cplx(1.0, 0.0), Cplx(2.0, 0.0)};
  const Cplx plain = RankOneUpdates(1, 1, 2, a, b)[0];
  ASSERT_TRUE(std::isinf(plain.real()) && std::isinf(plain.imag())) << plain;
  ExpectPlainLoopResult(1, 1, 2, a, b);
}

INSTANTIATE_TEST_SUITE_P(OnEachPath, Product, ::testing::ValuesIn(orvane_test::SimdPaths(true)),
                         orvane_test::SimdPathName);

// C split among threads: by columns, by rows, into parts of unequal size, and
// more threads than column blocks. Every count gives the bytes of one thread
// (NaNs included, which the single-thread comparison with the plain loop
// cannot pin down), and those bytes are the plain loop's.
class ProductThreads : public Product {
 protected:
  // Uneven shapes, each read both as m x k x n and as m x n x k; then whole
  // rows of A and columns of B of infinities and NaNs, in the parts of
  // different threads (by columns in a 257 x 1031 C, by rows in a 1000 x 3
  // one): the elements they touch are recomputed by the plain loop, each by
  // the thread that owns it.
  template <class T>
  void ThreadCases() {
    std::mt19937 rng(11);
    std::vector<std::tuple<int, int, int, bool>> cases{{257, 1031, 33, true}, {1000, 3, 40, true}};
    const std::array<int, 3> uneven[] = {{1, 1000, 1}, {1000, 1, 1000}, {257, 33, 1031}};
    for (auto [x, y, z] : uneven) {
      cases.emplace_back(x, z, y, false);
      cases.emplace_back(x, y, z, false);
    }
    for (auto [m, n, k, nonFinite] : cases) {
      auto [a, b] = Operands<T>(m, n, k, rng);
      for (int p = 0; nonFinite && p < k; ++p) {
        a[0 + static_cast<std::size_t>(p) * m] = T(kInf);
        a[(m / 2) + static_cast<std::size_t>(p) * m] = T(p % 2 ? kNaN : -kInf);
        a[(m - 1) + static_cast<std::size_t>(p) * m] = T(p % 3 ? 1e308 : kNaN);
        b[p + static_cast<std::size_t>(n - 1) * k] = T(-kInf);
      }
      if (nonFinite) {
        b[k / 2] = T(kNaN);
        if constexpr (!std::is_same_v<T, double>) a[1] = T(kInf, kInf);  // std::complex's recovery
      }
      const std::vector<T> one = Compute(m, n, k, a, b, 1);
      for (int threads : {2, 3, 7}) {
        const std::vector<T> c = Compute(m, n, k, a, b, threads);
        EXPECT_EQ(std::memcmp(c.data(), one.data(), c.size() * sizeof(T)), 0)
            << m << " x " << k << " times " << k << " x " << n << " on " << threads << " threads";
      }
      ExpectPlainLoopResult(m, n, k, a, b, 7);
    }
  }
};

TEST_P(ProductThreads, SameBytesOnEveryThreadCount) {
  ThreadCases<double>();
  ThreadCases<Cplx>();
}

INSTANTIATE_TEST_SUITE_P(OnEachPath, ProductThreads,
                         ::testing::ValuesIn(orvane_test::SimdPaths(false)),
                         orvane_test::SimdPathName);

// ORVANE_NUM_THREADS: a whole number from 1 to 256, else the processor count.
TEST(ProductThreadCount, FromTheVariableOrTheProcessors) {
  EXPECT_EQ(ThreadCountFrom(nullptr, 6), 6);
  EXPECT_EQ(ThreadCountFrom("3", 6), 3);
  EXPECT_EQ(ThreadCountFrom("1", 6), 1);
  EXPECT_EQ(ThreadCountFrom("256", 2), 256);
  for (const char* ignored : {"", "0", "-2", "257", "abc", "4x", " 4", "2.5", "99999999999"})
    EXPECT_EQ(ThreadCountFrom(ignored, 6), 6) << '"' << ignored << '"';
  EXPECT_EQ(ThreadCountFrom(nullptr, 0), 1);
  EXPECT_EQ(ThreadCountFrom("x", 1000), 256);
}

}  // namespace
