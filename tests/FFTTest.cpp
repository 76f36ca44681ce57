// FFT: agreement with long double sums, the round trip, bit-for-bit
// agreement with the loop-by-loop transform in FftReference.h through the
// public class and on each instruction set, and the twiddle cache: the same
// bits without it, its bound, and many threads at once.
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "FftReference.h"
#include "OrvaneNet/FFT.h"
#include "OrvaneNet/OrvaneException.h"
#include "SimdPaths.h"
#include "TestUtil.h"
#include "simd/FftKernels.h"
#include "simd/FftTransforms.h"
#include "simd/FftTwiddles.h"

using orvane_test::Eps;
using OrvaneNet::Complex;
using OrvaneNet::FFT;
using namespace OrvaneNet::detail;

namespace {

using CVec = std::vector<Complex>;
using LongComplex = std::complex<long double>;

// Error bounds in eps per radix-2 pass: the transform against the long
// double sums (relative), and Backward(Forward(x)) against x (absolute,
// |x| < 1).
constexpr double kTransformEpsPerPass = 4;
constexpr double kRoundTripEpsPerPass = 8;

// The radix-2 passes of a transform of `big` points (at least one).
double Passes(std::size_t big) { return std::max(1.0, std::log2(static_cast<double>(big))); }

CVec Random(std::size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  CVec v(count);
  for (auto& c : v) c = orvane_test::RandomValue<Complex>(rng);
  return v;
}

void ExpectClose(const CVec& got, const CVec& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_NEAR(got[k].get_Real(), want[k].get_Real(), tol) << "k = " << k;
    EXPECT_NEAR(got[k].get_Imag(), want[k].get_Imag(), tol) << "k = " << k;
  }
}

bool SameBits(const CVec& a, const CVec& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Complex)) == 0;
}

LongComplex Long(Complex c) { return {c.get_Real(), c.get_Imag()}; }

// ||got - want|| / ||want|| over the given bins, want being
// sum_j x_j e^(sign 2 pi i j k / N) in long double (divided by N for sign -1).
double RelativeError(const CVec& x, const CVec& got, int sign,
                     const std::vector<std::size_t>& bins) {
  const std::size_t big = got.size();
  std::vector<LongComplex> root(big);
  for (std::size_t m = 0; m < big; ++m) {
    const long double t = 2 * std::numbers::pi_v<long double> * m / big;
    root[m] = {std::cos(t), sign * std::sin(t)};
  }
  long double num = 0, den = 0;
  for (std::size_t k : bins) {
    LongComplex s = 0;
    for (std::size_t j = 0; j < x.size(); ++j) s += Long(x[j]) * root[j * k % big];
    if (sign < 0) s /= static_cast<long double>(big);
    num += std::norm(Long(got[k]) - s);
    den += std::norm(s);
  }
  return static_cast<double>(std::sqrt(num / den));
}

TEST(FFT, MoreThanTwoToThe29PointsAreRejectedBeforeAnyWork) {
  // The length check comes before the data is read, so no real array is needed.
  const Complex dummy;
  EXPECT_THROW_MSG(FftCompute(&dummy, (std::size_t{1} << 29) + 1, -1), OrvaneNet::OrvaneException,
                   "The FFT input must not have more than 2^29 points.");
}

class FftSizes : public ::testing::TestWithParam<std::size_t> {};

// Both directions within a few eps per pass of the long double sums, and
// Backward undoing Forward with the fill zeros kept.
TEST_P(FftSizes, AgreesWithTheDirectSumsAndRoundTrips) {
  const std::size_t count = GetParam(), big = std::bit_ceil(count);
  const CVec x = Random(count, static_cast<unsigned>(count));
  std::vector<std::size_t> bins(big);
  std::iota(bins.begin(), bins.end(), 0);
  const double tol = kTransformEpsPerPass * Eps() * Passes(big);
  const CVec fx = FFT::Forward(x);
  ASSERT_EQ(fx.size(), big);
  EXPECT_LT(RelativeError(x, fx, +1, bins), tol);
  EXPECT_LT(RelativeError(x, FFT::Backward(x), -1, bins), tol);
  CVec padded = x;
  padded.resize(big);
  ExpectClose(FFT::Backward(fx), padded, kRoundTripEpsPerPass * Eps() * Passes(big));
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwoAndOthers, FftSizes,
                         ::testing::Values(2, 4, 8, 16, 64, 256, 1024, 3, 5, 100, 1000));

// A few bins of a transform long enough for the column passes. (Left out of
// the valgrind run, which computes long double in double precision.)
TEST(FFT, LargeTransformAgreesOnSampleBins) {
  const std::size_t big = std::size_t{1} << 20;
  const CVec x = Random(big, 5);
  const std::vector<std::size_t> bins{0, 1, 12345, big / 2, big - 3};
  const double tol = kTransformEpsPerPass * Eps() * Passes(big);
  EXPECT_LT(RelativeError(x, FFT::Forward(x), +1, bins), tol);
  EXPECT_LT(RelativeError(x, FFT::Backward(x), -1, bins), tol);
}

// Forward and Backward on one path: through FFT itself, or on one
// instruction set.
class FftPaths : public orvane_test::SimdPathTest {
 protected:
  // Bit for bit the reference, with the cache chunk given (on an instruction
  // set only) or the tuned one for 0.
  void ExpectReferenceBits(const CVec& x, std::int64_t chunk = 0) {
    const orvane_test::SimdPath& path = GetParam();
    for (int sign : {1, -1}) {
      const CVec got = !path   ? (sign > 0 ? FFT::Forward(x) : FFT::Backward(x))
                       : chunk ? FftCompute(x.data(), x.size(), sign, *path, chunk)
                               : FftCompute(x.data(), x.size(), sign, *path);
      EXPECT_TRUE(SameBits(got, fft_reference::Compute(x, sign)))
          << x.size() << " points, sign " << sign << ", chunk " << chunk;
    }
  }
};

TEST_P(FftPaths, BitIdenticalToTheLoopByLoopTransform) {
  ExpectReferenceBits({});
  for (std::size_t count = 1; count <= 4096; count = count < 16 ? count + 1 : count * 2)
    ExpectReferenceBits(Random(count, static_cast<unsigned>(count) + 100));
  for (std::size_t count : {100u, 1000u, 100000u, 1u << 16, 1u << 17, 1u << 20})
    ExpectReferenceBits(Random(count, static_cast<unsigned>(count)));
  // Special values travel the same way through both.
  CVec special = Random(64, 3);
  special[5] = Complex(-0.0, 0.0);
  special[9] = Complex(1e-310, -1e308);
  ExpectReferenceBits(special);
}

// The column passes (normally reached only beyond 2^16 points) with small
// chunks, so that several groups of them, radix-4 and radix-2 endings, and
// strips narrower than a register row are all compared bit for bit. FFT
// itself has no chunk: instruction sets only.
class FftColumnPasses : public FftPaths {};

TEST_P(FftColumnPasses, BitIdenticalWithSmallChunks) {
  const std::size_t counts[] = {9, 16, 33, 64, 100, 128, 256, 512, 1000, 2048, 4096, 8192, 16384};
  for (std::int64_t chunk : {8, 16, 32, 64, 256})
    for (std::size_t count : counts)
      ExpectReferenceBits(Random(count, static_cast<unsigned>(count + chunk)), chunk);
}

// Every factor computed where it is needed, as for lengths beyond the cached
// ones, gives the bits of the cached tables: on each set, through the chunk
// phase and the column passes.
class FftWithoutCache : public FftPaths {};

TEST_P(FftWithoutCache, SameBitsAsWithTheTables) {
  const FftPath path = *GetParam();
  fft::TwiddleCache cache(fft::kTwiddleCacheBytes);
  for (std::int64_t chunk : {std::int64_t{16}, fft::DefaultChunk()})
    for (std::size_t count : {16u, 17u, 1000u, 4096u, 1u << 17})
      for (int sign : {1, -1}) {
        const CVec x = Random(count, static_cast<unsigned>(count));
        EXPECT_TRUE(SameBits(FftCompute(x.data(), count, sign, path, chunk, nullptr),
                             FftCompute(x.data(), count, sign, path, chunk, &cache)))
            << count << " points, sign " << sign << ", chunk " << chunk;
      }
}

INSTANTIATE_TEST_SUITE_P(OnEachPath, FftPaths, ::testing::ValuesIn(orvane_test::SimdPaths(true)),
                         orvane_test::SimdPathName);
INSTANTIATE_TEST_SUITE_P(OnEachPath, FftColumnPasses,
                         ::testing::ValuesIn(orvane_test::SimdPaths(false)),
                         orvane_test::SimdPathName);
INSTANTIATE_TEST_SUITE_P(OnEachPath, FftWithoutCache,
                         ::testing::ValuesIn(orvane_test::SimdPaths(false)),
                         orvane_test::SimdPathName);

// A table takes 2 bytes per point.
constexpr std::size_t TableBytes(std::int64_t big) { return 2 * static_cast<std::size_t>(big); }

TEST(FftTwiddleCache, KeepsTheRecentlyUsedWithinItsCap) {
  fft::TwiddleCache cache(TableBytes(1024) + TableBytes(2048) + TableBytes(512));
  ASSERT_NE(cache.Get(1024), nullptr);
  const auto evicted = cache.Get(2048);
  ASSERT_NE(evicted, nullptr);
  ASSERT_NE(cache.Get(1024), nullptr);  // now 2048 is the least recently used
  ASSERT_NE(cache.Get(512), nullptr);   // fills the cap exactly
  EXPECT_EQ(cache.Bytes(), TableBytes(1024) + TableBytes(2048) + TableBytes(512));
  ASSERT_NE(cache.Get(256), nullptr);
  EXPECT_FALSE(cache.Holds(2048));
  EXPECT_TRUE(cache.Holds(1024) && cache.Holds(512) && cache.Holds(256));
  EXPECT_EQ(cache.Bytes(), TableBytes(1024) + TableBytes(512) + TableBytes(256));
  // A table let go stays whole for whoever still holds it.
  const fft::TwiddleTable fresh(2048);
  ASSERT_EQ(evicted->Bytes(), fresh.Bytes());
  EXPECT_EQ(std::memcmp(evicted->Data(), fresh.Data(), fresh.Bytes()), 0);
  // Larger than the whole cap: made for the caller, nothing evicted for it.
  const auto big = cache.Get(8192);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->Bytes(), TableBytes(8192));
  EXPECT_FALSE(cache.Holds(8192));
  EXPECT_TRUE(cache.Holds(1024) && cache.Holds(512) && cache.Holds(256));
}

TEST(FftTwiddleCache, OnlyTheCachedLengths) {
  fft::TwiddleCache cache(std::size_t{64} << 20);
  for (std::int64_t big : {1, 2, 4, 8}) EXPECT_EQ(cache.Get(big), nullptr) << big;
  EXPECT_NE(cache.Get(16), nullptr);
  EXPECT_EQ(cache.Get(std::int64_t{1} << 23), nullptr);  // computed as the transform goes
  EXPECT_EQ(cache.Bytes(), TableBytes(16));
  // The process's cache holds every length up to 2^21 at once.
  std::size_t all = 0;
  for (std::int64_t big = fft::TwiddleCache::kMinPoints; big <= std::int64_t{1} << 21; big *= 2)
    all += TableBytes(big);
  EXPECT_LE(all, fft::kTwiddleCacheBytes);
  EXPECT_GT(all + TableBytes(std::int64_t{1} << 22), fft::kTwiddleCacheBytes);
}

// Threads transforming lengths in different orders at once, through the
// process's cache and through a small one that keeps evicting tables other
// threads are using, get the bytes of one thread without any cache.
TEST(FftTwiddleCache, ManyThreadsOfMixedLengthsGiveTheSingleThreadedBytes) {
  const std::vector<std::size_t> counts{16, 100, 1000, 1024, 4096, 5000, 1 << 15};
  std::vector<CVec> inputs, forward, backward;
  for (std::size_t count : counts) {
    inputs.push_back(Random(count, static_cast<unsigned>(count) + 7));
    const FftPath best = Best();
    const std::int64_t chunk = fft::DefaultChunk();
    forward.push_back(FftCompute(inputs.back().data(), count, 1, best, chunk, nullptr));
    backward.push_back(FftCompute(inputs.back().data(), count, -1, best, chunk, nullptr));
  }
  fft::TwiddleCache small(TableBytes(4096));
  constexpr int kThreads = 8;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 2; ++round)
        for (std::size_t q = 0; q < counts.size(); ++q) {
          const std::size_t i = (q * 3 + static_cast<std::size_t>(t)) % counts.size();
          const CVec& x = inputs[i];
          const bool own = (t + round) % 2 == 0;
          const CVec f =
              own ? FftCompute(x.data(), x.size(), 1, Best(), fft::DefaultChunk(), &small)
                  : FFT::Forward(x);
          const CVec b =
              own ? FftCompute(x.data(), x.size(), -1, Best(), fft::DefaultChunk(), &small)
                  : FFT::Backward(x);
          mismatches[static_cast<std::size_t>(t)] +=
              !SameBits(f, forward[i]) + !SameBits(b, backward[i]);
        }
    });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(mismatches[static_cast<std::size_t>(t)], 0) << "thread " << t;
  EXPECT_LE(small.Bytes(), TableBytes(4096));
}

}  // namespace
