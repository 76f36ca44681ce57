// FFT and DFT: agreement with long double sums and the round trip; the bits
// of the loop-by-loop transform in FftReference.h through FFT and on each
// instruction set; DFT equal to FFT at powers of two; the real-input bins;
// the same bits on every path and thread; the twiddle and plan caches.
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <thread>
#include <type_traits>
#include <vector>

#include "FftReference.h"
#include "OrvaneNet/DFT.h"
#include "OrvaneNet/FFT.h"
#include "OrvaneNet/OrvaneException.h"
#include "SimdPaths.h"
#include "TestUtil.h"
#include "procedures/DftPlan.h"
#include "simd/FftKernels.h"
#include "simd/FftTransforms.h"
#include "simd/FftTwiddles.h"

using orvane_test::Eps;
using namespace OrvaneNet;
using namespace OrvaneNet::detail;

namespace {

using CVec = std::vector<Complex>;
using SVec = std::vector<std::complex<double>>;
using LongComplex = std::complex<long double>;

// Braced lists keep calling the std::vector<Complex> overloads.
static_assert(std::is_same_v<decltype(FFT::Forward({})), CVec>);
static_assert(std::is_same_v<decltype(FFT::Forward({Complex(1, 0)})), CVec>);
static_assert(std::is_same_v<decltype(FFT::Backward({Complex(1, 0), Complex(2, 0)})), CVec>);
static_assert(std::is_same_v<decltype(DFT::Forward({})), CVec>);
static_assert(std::is_same_v<decltype(DFT::Forward({Complex(1, 0)})), CVec>);
static_assert(std::is_same_v<decltype(FFT::Forward(SVec{})), SVec>);
static_assert(std::is_same_v<decltype(DFT::Backward(SVec{})), SVec>);

// FFT, against the long double sums: relative error within this many eps
// per radix-2 pass; Backward(Forward(x)) within twice that of x (|x| < 1).
constexpr double kTransformEpsPerPass = 4;
constexpr double kRoundTripEpsPerPass = 8;
// DFT: every bin within kErrorMultiple * eps * log2(N) * ||x||_2 of the
// exact sum (Backward: of the exact sum / N, against ||x||_2 / N).
constexpr double kErrorMultiple = 2;

CVec Random(std::size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  CVec v(count);
  for (auto& c : v) c = orvane_test::RandomValue<Complex>(rng);
  return v;
}

SVec Std(const CVec& v) {
  SVec s(v.size());
  for (std::size_t k = 0; k < v.size(); ++k) s[k] = v[k].ToStdComplex();
  return s;
}

template <class A, class B>
bool SameBits(const A& a, const B& b) {
  static_assert(sizeof(a[0]) == sizeof(b[0]));
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
}

std::complex<double> Z(const Complex& c) { return c.ToStdComplex(); }
std::complex<double> Z(const std::complex<double>& c) { return c; }

// max |a_k - b_k| over the first `count` elements.
template <class A, class B>
double MaxDifference(const A& a, const B& b, std::size_t count) {
  double worst = 0;
  for (std::size_t k = 0; k < count; ++k) worst = std::max(worst, std::abs(Z(a[k]) - Z(b[k])));
  return worst;
}

double Norm2(const CVec& x) {
  double s = 0;
  for (const Complex& c : x) s += std::norm(Z(c));
  return std::sqrt(s);
}

// The radix-2 passes of a transform of n points (at least one).
double Log2(std::size_t n) { return std::max(1.0, std::log2(static_cast<double>(n))); }

// Valgrind computes long double in double precision, with sines and cosines
// good to a few units in the last place only: the reference sums (and the
// DFT's twiddles, made in long double) lose that much. The DFT's tolerances
// grow by kCoarseLongDouble there; the sums over tens of thousands of terms
// are skipped.
bool LongDoubleIsExtended() {
  volatile long double one = 1, small = 1e-17L;
  return one + small != one;
}
constexpr double kCoarseLongDouble = 8;
double Slack() { return LongDoubleIsExtended() ? 1.0 : kCoarseLongDouble; }

struct Errors {
  double worst;     // max |got_k - sum_k|
  double relative;  // ||got - sums|| / ||sums||
};

// got over the given bins (all for none) against sum_j x_j e^(sign 2 pi i j k
// / N) (divided by N for sign -1) in long double, N = got.size() (x filled up
// with zeros).
Errors ErrorsOf(const CVec& x, const CVec& got, int sign, const std::vector<std::size_t>& bins) {
  const std::size_t n = got.size();
  std::vector<LongComplex> root(n);
  for (std::size_t t = 0; t < n; ++t) {
    const long double a = 2 * std::numbers::pi_v<long double> * static_cast<long double>(t) / n;
    root[t] = {std::cos(a), sign * std::sin(a)};
  }
  long double worst = 0, num = 0, den = 0;
  for (std::size_t q = 0; q < (bins.empty() ? n : bins.size()); ++q) {
    const std::size_t k = bins.empty() ? q : bins[q];
    LongComplex s = 0;
    for (std::size_t j = 0; j < x.size(); ++j)
      s += LongComplex(x[j].get_Real(), x[j].get_Imag()) * root[(j * k) % n];
    if (sign < 0) s /= static_cast<long double>(n);
    const LongComplex e = LongComplex(got[k].get_Real(), got[k].get_Imag()) - s;
    worst = std::max(worst, std::abs(e));
    num += std::norm(e);
    den += std::norm(s);
  }
  return {static_cast<double>(worst), static_cast<double>(std::sqrt(num / den))};
}

// DFT of n random points within its bound on the bins, both overloads the
// same bits, and Backward undoing Forward.
void ExpectDftAgreesWithTheSums(std::size_t n, const std::vector<std::size_t>& bins) {
  const CVec x = Random(n, static_cast<unsigned>(n));
  const CVec forward = DFT::Forward(x), backward = DFT::Backward(x);
  ASSERT_EQ(forward.size(), n);
  ASSERT_EQ(backward.size(), n);
  EXPECT_TRUE(SameBits(DFT::Forward(Std(x)), forward)) << n;
  EXPECT_TRUE(SameBits(DFT::Backward(Std(x)), backward)) << n;
  const double bound = Slack() * kErrorMultiple * Eps() * Log2(n) * Norm2(x);
  EXPECT_LE(ErrorsOf(x, forward, +1, bins).worst, bound) << n << " points, Forward";
  EXPECT_LE(ErrorsOf(x, backward, -1, bins).worst, bound / static_cast<double>(n))
      << n << " points, Backward";
  EXPECT_LE(MaxDifference(DFT::Backward(forward), x, n),
            2 * kErrorMultiple * Eps() * Log2(n) * Norm2(x) / std::sqrt(static_cast<double>(n)))
      << n;
}

TEST(FFT, MoreThanTwoToThe29PointsAreRejectedBeforeAnyWork) {
  // The length check comes before the data is read, so no real array is needed.
  const std::size_t tooMany = (std::size_t{1} << 29) + 1;
  const Complex dummy;
  EXPECT_THROW_MSG(FftCompute(&dummy, tooMany, -1), OrvaneException,
                   "The FFT input must not have more than 2^29 points.");
  const std::complex<double> stdDummy;
  const std::span<const std::complex<double>> huge(&stdDummy, tooMany);
  const char* message = "The DFT input must not have more than 2^29 points.";
  EXPECT_THROW_MSG(DFT::Forward(huge), OrvaneException, message);
  EXPECT_THROW_MSG(DFT::Backward(huge), OrvaneException, message);
  const double real = 0;
  EXPECT_THROW_MSG(DFT::ForwardReal(std::span<const double>(&real, tooMany + 1)), OrvaneException,
                   message);
}

// Powers of two, 2^a 3^b 5^c (the DFT's mixed radix) and the rest (its
// Bluestein, primes and composites); FFT fills them up to a power of two.
class Lengths : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Lengths, AgreeWithLongDoubleSumsAndRoundTrip) {
  const std::size_t n = GetParam(), big = std::bit_ceil(n);
  ExpectDftAgreesWithTheSums(n, {});
  const CVec x = Random(n, static_cast<unsigned>(n));
  const double tol = kTransformEpsPerPass * Eps() * Log2(big);
  const CVec fx = FFT::Forward(x);
  ASSERT_EQ(fx.size(), big);
  EXPECT_LT(ErrorsOf(x, fx, +1, {}).relative, tol);
  EXPECT_LT(ErrorsOf(x, FFT::Backward(x), -1, {}).relative, tol);
  CVec padded = x;  // the fill zeros come back too
  padded.resize(big);
  EXPECT_LE(MaxDifference(FFT::Backward(fx), padded, big),
            kRoundTripEpsPerPass * Eps() * Log2(big));
}

INSTANTIATE_TEST_SUITE_P(FftAndDft, Lengths,
                         ::testing::Values(1, 2, 3, 4, 5, 7, 8, 12, 16, 64, 100, 256, 1000, 1001,
                                           1009, 1024));

// A few bins of a transform long enough for the column passes. (Left out of
// the valgrind run, which computes long double in double precision.)
TEST(FFT, LargeTransformAgreesOnSampleBins) {
  const std::size_t big = std::size_t{1} << 20;
  const CVec x = Random(big, 5);
  const std::vector<std::size_t> bins{0, 1, 12345, big / 2, big - 3};
  const double tol = kTransformEpsPerPass * Eps() * Log2(big);
  EXPECT_LT(ErrorsOf(x, FFT::Forward(x), +1, bins).relative, tol);
  EXPECT_LT(ErrorsOf(x, FFT::Backward(x), -1, bins).relative, tol);
}

// The O(N^2) sums of every bin would take minutes.
TEST(DFT, LongTransformsAgreeOnSampleBins) {
  if (!LongDoubleIsExtended()) GTEST_SKIP() << "long double has only double precision here";
  for (std::size_t n : {65537u, 54000u, 101101u})
    ExpectDftAgreesWithTheSums(n, {0, 1, 2, 7, n / 3, n / 2, n - 1});
}

TEST(DFT, EmptyInputGivesAnEmptyResult) {
  EXPECT_TRUE(DFT::Forward(CVec{}).empty());
  EXPECT_TRUE(DFT::Backward(CVec{}).empty());
  EXPECT_TRUE(DFT::Forward(SVec{}).empty());
  EXPECT_TRUE(DFT::Backward(SVec{}).empty());
  EXPECT_TRUE(DFT::ForwardReal(std::vector<double>{}).empty());
}

// DFT at powers of two is FFT bit for bit, and FFT's span overloads give the
// filled-up transform of its vector ones.
TEST(DFT, PowersOfTwoAreTheFftBitForBit) {
  std::vector<std::size_t> lengths{0, 3, 1000, 1u << 16};
  for (std::size_t n = 1; n <= 4096; n *= 2) lengths.push_back(n);
  for (std::size_t n : lengths) {
    const CVec x = Random(n, static_cast<unsigned>(n) + 7);
    const CVec forward = FFT::Forward(x), backward = FFT::Backward(x);
    EXPECT_TRUE(SameBits(FFT::Forward(Std(x)), forward)) << n;
    EXPECT_TRUE(SameBits(FFT::Backward(Std(x)), backward)) << n;
    if (!std::has_single_bit(n)) continue;
    EXPECT_TRUE(SameBits(DFT::Forward(x), forward)) << n;
    EXPECT_TRUE(SameBits(DFT::Backward(x), backward)) << n;
  }
  const std::complex<double> array[3] = {{1, 2}, {3, 4}, {5, 6}};
  EXPECT_EQ(DFT::Forward(array).size(), 3u);
  EXPECT_EQ(FFT::Forward(array).size(), 4u);
}

TEST(DFT, RealInputBinsAreTheComplexTransformsBins) {
  for (std::size_t n : {1u, 2u, 3u, 4u, 6u, 10u, 16u, 1000u, 1009u, 1024u, 2018u, 2310u}) {
    std::vector<double> x(n);
    CVec complex(n);
    std::mt19937 rng(static_cast<unsigned>(n));
    for (std::size_t j = 0; j < n; ++j)
      complex[j] = Complex(x[j] = orvane_test::RandomValue<double>(rng), 0.0);
    const SVec bins = DFT::ForwardReal(x);
    ASSERT_EQ(bins.size(), n / 2 + 1) << n;
    EXPECT_LE(MaxDifference(bins, DFT::Forward(complex), n / 2 + 1),
              2 * kErrorMultiple * Eps() * Log2(n) * Norm2(complex))
        << n;
  }
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

// The same on each instruction set, where FFT itself has no say.
class OnEachSet : public FftPaths {};

// The column passes (normally reached only beyond 2^16 points) with small
// chunks, so that several groups of them, radix-4 and radix-2 endings, and
// strips narrower than a register row are all compared bit for bit.
TEST_P(OnEachSet, FftColumnPassesBitIdenticalWithSmallChunks) {
  const std::size_t counts[] = {9, 16, 33, 64, 100, 128, 256, 512, 1000, 2048, 4096, 8192, 16384};
  for (std::int64_t chunk : {8, 16, 32, 64, 256})
    for (std::size_t count : counts)
      ExpectReferenceBits(Random(count, static_cast<unsigned>(count + chunk)), chunk);
}

// Every factor computed where it is needed, as for lengths beyond the cached
// ones, gives the bits of the cached tables, through the chunk phase and the
// column passes.
TEST_P(OnEachSet, FftWithoutCacheSameBitsAsWithTheTables) {
  fft::TwiddleCache cache(fft::kTwiddleCacheBytes);
  for (std::int64_t chunk : {std::int64_t{16}, fft::DefaultChunk()})
    for (std::size_t count : {16u, 17u, 1000u, 4096u, 1u << 17})
      for (int sign : {1, -1}) {
        const CVec x = Random(count, static_cast<unsigned>(count));
        EXPECT_TRUE(SameBits(FftCompute(x.data(), count, sign, *GetParam(), chunk, nullptr),
                             FftCompute(x.data(), count, sign, *GetParam(), chunk, &cache)))
            << count << " points, sign " << sign << ", chunk " << chunk;
      }
}

// The DFT's passes and its real-input bins (from the portable forward
// transform) give the portable path's bits.
TEST_P(OnEachSet, DftPassesAndRealBinsGiveThePortableBits) {
  for (std::int64_t n : {6, 12, 45, 100, 1000, 2 * 3 * 3 * 5 * 5 * 4, 3 * 125 * 8 * 9}) {
    const std::size_t size = static_cast<std::size_t>(2 * n);
    const dft::MixedPlan plan(n);
    const CVec x = Random(static_cast<std::size_t>(n), 9);
    auto passes = [&](InstructionSet set, bool backward) {
      std::vector<double> out(size), scratch(size);
      const mixed::Io io{.inAos = reinterpret_cast<const double*>(x.data()),
                         .outAos = out.data(),
                         .scratch = scratch.data(),
                         .conjugateIn = backward,
                         .conjugateOut = backward,
                         .scale = backward ? 1.0 / static_cast<double>(n) : 1.0};
      dft::RunPasses(set, plan.passes.data(), static_cast<int>(plan.passes.size()), n, io);
      return out;
    };
    for (bool backward : {false, true}) {
      const auto portable = passes(InstructionSet::Portable, backward);
      EXPECT_TRUE(SameBits(passes(*GetParam(), backward), portable))
          << n << " points" << (backward ? ", backward" : ", forward");
    }
    std::vector<double> twiddle(size + 2);
    const dft::UnitRoots roots(static_cast<std::uint64_t>(2 * n));
    for (std::size_t k = 0; k <= static_cast<std::size_t>(n); ++k) {
      twiddle[2 * k] = roots(k).real();
      twiddle[2 * k + 1] = roots(k).imag();
    }
    const std::vector<double> z = passes(InstructionSet::Portable, false);
    auto bins = [&](InstructionSet set) {
      std::vector<double> out(size + 2);
      dft::RealBins(set, z.data(), twiddle.data(), n, out.data());
      return out;
    };
    EXPECT_TRUE(SameBits(bins(*GetParam()), bins(InstructionSet::Portable))) << n << " points";
  }
}

INSTANTIATE_TEST_SUITE_P(OnEachPath, FftPaths, ::testing::ValuesIn(orvane_test::SimdPaths(true)),
                         orvane_test::SimdPathName);
INSTANTIATE_TEST_SUITE_P(OnEachPath, OnEachSet, ::testing::ValuesIn(orvane_test::SimdPaths(false)),
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
// threads are using, get the bytes of one thread without any cache. Racing
// first to make the DFT's plans of new lengths, they get the bits of a later
// call on the cached plans.
TEST(FftTwiddleCache, ManyThreadsOfMixedLengthsGiveTheSingleThreadedBytes) {
  const std::vector<std::size_t> counts{16, 100, 1000, 1024, 4096, 5000, 1 << 15};
  std::vector<CVec> dftInputs;
  for (std::size_t n : {1875, 1013, 2430, 3 * 1013}) dftInputs.push_back(Random(n, n));
  fft::TwiddleCache small(TableBytes(4096));
  // On the best path with the cache given, or through FFT and the process's cache.
  auto transform = [&](const CVec& x, int sign, fft::TwiddleCache* cache, bool own) {
    if (own) return FftCompute(x.data(), x.size(), sign, Best(), fft::DefaultChunk(), cache);
    return sign > 0 ? FFT::Forward(x) : FFT::Backward(x);
  };
  std::vector<CVec> inputs, forward, backward;
  for (std::size_t count : counts) {
    inputs.push_back(Random(count, static_cast<unsigned>(count) + 7));
    forward.push_back(transform(inputs.back(), 1, nullptr, true));
    backward.push_back(transform(inputs.back(), -1, nullptr, true));
  }
  constexpr int kThreads = 8;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::vector<CVec>> dft(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (const CVec& x : dftInputs) dft[static_cast<std::size_t>(t)].push_back(DFT::Forward(x));
      for (int round = 0; round < 2; ++round)
        for (std::size_t q = 0; q < counts.size(); ++q) {
          const std::size_t i = (q * 3 + static_cast<std::size_t>(t)) % counts.size();
          const bool own = (t + round) % 2 == 0;
          mismatches[static_cast<std::size_t>(t)] +=
              !SameBits(transform(inputs[i], 1, &small, own), forward[i]) +
              !SameBits(transform(inputs[i], -1, &small, own), backward[i]);
        }
    });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(mismatches[static_cast<std::size_t>(t)], 0) << "thread " << t;
  for (std::size_t i = 0; i < dftInputs.size(); ++i)
    for (const auto& mine : dft) EXPECT_TRUE(SameBits(mine[i], DFT::Forward(dftInputs[i]))) << i;
  EXPECT_LE(small.Bytes(), TableBytes(4096));
}

TEST(DftPlan, CacheKeepsItsCapacityDroppingTheLeastRecentlyUsed) {
  const std::size_t one = dft::Plan{}.Bytes() + 1000 * sizeof(double);
  dft::PlanCache cache(2 * one + one / 2);
  int made = 0;
  // The plan of n points (real or complex), made of `doubles` twiddles on a miss.
  auto get = [&](std::int64_t n, bool real = false, std::size_t doubles = 1000) {
    return cache.Get(n, real, [&] {
      ++made;
      auto plan = std::make_shared<dft::Plan>();
      plan->realTwiddles.resize(doubles);
      return std::shared_ptr<const dft::Plan>(std::move(plan));
    });
  };
  get(1);
  get(2);
  get(1);  // a hit: 1 is now the most recent
  EXPECT_EQ(made, 2);
  get(3);  // drops 2
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_EQ(cache.Bytes(), 2 * one);
  get(1);
  EXPECT_EQ(made, 3);
  get(2);
  EXPECT_EQ(made, 4);
  get(2, true);  // the same length of the other kind is another plan
  EXPECT_EQ(made, 5);
  // Too large to keep: handed out, the cache unchanged.
  EXPECT_EQ(get(9, false, 4000)->realTwiddles.size(), 4000u);
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_LE(dft::ProcessCache().Bytes(), dft::kCacheBytes);
}

TEST(DftPlan, RootsOfUnityAreAccurateAndExactOnTheAxes) {
  const double tolerance = Slack() * Eps();
  for (std::uint64_t n : {7u, 1000u, 131074u}) {
    const dft::UnitRoots roots(n);
    for (std::uint64_t t = 0; t < n; t += 1 + n / 500) {
      const long double a = 2 * std::numbers::pi_v<long double> * t / n;
      EXPECT_LE(std::abs(LongComplex(roots(t)) - LongComplex(std::cos(a), std::sin(a))), tolerance)
          << n << " " << t;
    }
    if (n % 4 == 0) {
      EXPECT_EQ(roots(n / 4), std::complex<double>(0, 1));
      EXPECT_EQ(roots(n / 2), std::complex<double>(-1, 0));
      EXPECT_EQ(roots(3 * n / 4), std::complex<double>(0, -1));
    }
    EXPECT_EQ(roots(0), std::complex<double>(1, 0));
  }
}

TEST(DftPlan, ConvolutionLengthIsTheSmallestSmoothMultipleOfFour) {
  for (std::int64_t n = 1; n < 300; ++n) {
    const std::int64_t m = dft::ConvolutionLength(n);
    EXPECT_TRUE(dft::IsSmooth(m) && m % 4 == 0 && m >= 2 * n - 1) << n;
    for (std::int64_t smaller = 2 * n - 1; smaller < m; ++smaller)
      EXPECT_FALSE(dft::IsSmooth(smaller) && smaller % 4 == 0) << n << " " << smaller;
  }
}

}  // namespace
