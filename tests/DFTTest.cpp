// DFT: the exact-length transform against long double sums (all three
// methods), FFT's bits at powers of two, the real-input bins, the same bits on
// every instruction-set path and thread, and the bounded plan cache.
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <thread>
#include <type_traits>
#include <vector>

#include "OrvaneNet/DFT.h"
#include "OrvaneNet/FFT.h"
#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "procedures/DftPlan.h"

using orvane_test::Eps;
using namespace OrvaneNet;
using namespace OrvaneNet::detail;

namespace {

using CVec = std::vector<Complex>;
using SVec = std::vector<std::complex<double>>;
using LongComplex = std::complex<long double>;

// Every bin within kErrorMultiple * eps * log2(N) * ||x||_2 of the exact
// sum (Backward: of the exact sum / N, against ||x||_2 / N).
constexpr double kErrorMultiple = 2;

// Braced lists keep calling the std::vector<Complex> overloads.
static_assert(std::is_same_v<decltype(FFT::Forward({})), CVec>);
static_assert(std::is_same_v<decltype(FFT::Forward({Complex(1, 0)})), CVec>);
static_assert(std::is_same_v<decltype(FFT::Backward({Complex(1, 0), Complex(2, 0)})), CVec>);
static_assert(std::is_same_v<decltype(DFT::Forward({})), CVec>);
static_assert(std::is_same_v<decltype(DFT::Forward({Complex(1, 0)})), CVec>);
static_assert(std::is_same_v<decltype(FFT::Forward(SVec{})), SVec>);
static_assert(std::is_same_v<decltype(DFT::Backward(SVec{})), SVec>);

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

double Norm2(const CVec& x) {
  double s = 0;
  for (const Complex& c : x) s += std::norm(c.ToStdComplex());
  return std::sqrt(s);
}

// Valgrind computes long double in double precision, with sines and cosines
// good to a few units in the last place only: the reference sums (and the
// library's twiddles, made in long double) lose that much. Their tolerances
// grow by kCoarseLongDouble there; the sums over tens of thousands of terms
// are skipped.
bool LongDoubleIsExtended() {
  volatile long double one = 1, small = 1e-17L;
  return one + small != one;
}
constexpr double kCoarseLongDouble = 8;
double Slack() { return LongDoubleIsExtended() ? 1.0 : kCoarseLongDouble; }

double Log2(std::size_t n) { return std::max(1.0, std::log2(static_cast<double>(n))); }

// max over the bins of |got_k - sum_j x_j e^(sign 2 pi i j k / N) (/ N for
// sign -1)|, the sums in long double.
double MaxError(const CVec& x, const CVec& got, int sign, const std::vector<std::size_t>& bins) {
  const std::size_t n = x.size();
  std::vector<LongComplex> root(n);
  for (std::size_t t = 0; t < n; ++t) {
    const long double a = 2 * std::numbers::pi_v<long double> * static_cast<long double>(t) / n;
    root[t] = {std::cos(a), sign * std::sin(a)};
  }
  long double worst = 0;
  for (std::size_t k : bins) {
    LongComplex s = 0;
    for (std::size_t j = 0; j < n; ++j) {
      s += LongComplex(x[j].get_Real(), x[j].get_Imag()) * root[(j * k) % n];
    }
    if (sign < 0) s /= static_cast<long double>(n);
    worst = std::max(worst, std::abs(LongComplex(got[k].get_Real(), got[k].get_Imag()) - s));
  }
  return static_cast<double>(worst);
}

std::vector<std::size_t> AllBins(std::size_t n) {
  std::vector<std::size_t> bins(n);
  for (std::size_t k = 0; k < n; ++k) bins[k] = k;
  return bins;
}

void ExpectAgreesWithTheSums(std::size_t n, const std::vector<std::size_t>& bins) {
  const CVec x = Random(n, static_cast<unsigned>(n));
  const CVec forward = DFT::Forward(x), backward = DFT::Backward(x);
  ASSERT_EQ(forward.size(), n);
  ASSERT_EQ(backward.size(), n);
  // The std::complex overloads give the same bits.
  EXPECT_TRUE(SameBits(DFT::Forward(Std(x)), forward)) << n;
  EXPECT_TRUE(SameBits(DFT::Backward(Std(x)), backward)) << n;
  const double bound = Slack() * kErrorMultiple * Eps() * Log2(n) * Norm2(x);
  EXPECT_LE(MaxError(x, forward, +1, bins), bound) << n << " points, Forward";
  EXPECT_LE(MaxError(x, backward, -1, bins), bound / static_cast<double>(n)) << n << " points, Backward";
  // Backward undoes Forward.
  const CVec back = DFT::Backward(forward);
  double worst = 0;
  for (std::size_t j = 0; j < n; ++j) worst = std::max(worst, std::abs((back[j] - x[j]).ToStdComplex()));
  EXPECT_LE(worst, 2 * kErrorMultiple * Eps() * Log2(n) * Norm2(x) / std::sqrt(static_cast<double>(n))) << n;
}

// Powers of two (FFT's passes), 2^a 3^b 5^c (mixed radix), the rest
// (Bluestein, primes and composites).
class DftLengths : public ::testing::TestWithParam<std::size_t> {};

TEST_P(DftLengths, AgreesWithLongDoubleSumsAndRoundTrips) {
  ExpectAgreesWithTheSums(GetParam(), AllBins(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Exact, DftLengths,
                         ::testing::Values(1, 2, 3, 5, 7, 12, 64, 100, 1000, 1001, 1009, 1024));

// Long transforms on sample bins: the O(N^2) sums of every bin would take
// minutes.
TEST(DFT, LongTransformsAgreeOnSampleBins) {
  if (!LongDoubleIsExtended()) GTEST_SKIP() << "long double has only double precision here";
  for (std::size_t n : {65537u, 54000u, 101101u}) {
    ExpectAgreesWithTheSums(n, {0, 1, 2, 7, n / 3, n / 2, n - 1});
  }
}

TEST(DFT, EmptyInputGivesAnEmptyResult) {
  EXPECT_TRUE(DFT::Forward(CVec{}).empty());
  EXPECT_TRUE(DFT::Backward(CVec{}).empty());
  EXPECT_TRUE(DFT::Forward(SVec{}).empty());
  EXPECT_TRUE(DFT::Backward(SVec{}).empty());
  EXPECT_TRUE(DFT::ForwardReal(std::vector<double>{}).empty());
  EXPECT_TRUE(DFT::Forward({}).empty());
}

TEST(DFT, PowersOfTwoAreTheFftBitForBit) {
  for (std::size_t n = 1; n <= (1u << 16); n *= 2) {
    if (n > 4096 && n < (1u << 16)) continue;
    const CVec x = Random(n, static_cast<unsigned>(n) + 7);
    EXPECT_TRUE(SameBits(DFT::Forward(x), FFT::Forward(x))) << n;
    EXPECT_TRUE(SameBits(DFT::Backward(x), FFT::Backward(x))) << n;
    EXPECT_TRUE(SameBits(DFT::Forward(Std(x)), FFT::Forward(x))) << n;
    EXPECT_TRUE(SameBits(DFT::Backward(Std(x)), FFT::Backward(x))) << n;
  }
}

// FFT's span overloads: the same filled-up transform.
TEST(DFT, FftSpanOverloadsGiveTheBitsOfTheVectorOverloads) {
  for (std::size_t n : {0u, 3u, 1000u}) {
    const CVec x = Random(n, 4);
    EXPECT_TRUE(SameBits(FFT::Forward(Std(x)), FFT::Forward(x))) << n;
    EXPECT_TRUE(SameBits(FFT::Backward(Std(x)), FFT::Backward(x))) << n;
  }
  const std::complex<double> array[3] = {{1, 2}, {3, 4}, {5, 6}};
  EXPECT_EQ(DFT::Forward(array).size(), 3u);
  EXPECT_EQ(FFT::Forward(array).size(), 4u);
}

TEST(DFT, RealInputBinsAreTheComplexTransformsBins) {
  for (std::size_t n : {1u, 2u, 3u, 4u, 6u, 10u, 16u, 1000u, 1009u, 1024u, 2018u, 2u * 3 * 5 * 7 * 11}) {
    std::vector<double> x(n);
    CVec complex(n);
    std::mt19937 rng(static_cast<unsigned>(n));
    for (std::size_t j = 0; j < n; ++j) complex[j] = Complex(x[j] = orvane_test::RandomValue<double>(rng), 0.0);
    const SVec bins = DFT::ForwardReal(x);
    const CVec full = DFT::Forward(complex);
    ASSERT_EQ(bins.size(), n / 2 + 1) << n;
    double worst = 0;
    for (std::size_t k = 0; k <= n / 2; ++k) worst = std::max(worst, std::abs(bins[k] - full[k].ToStdComplex()));
    EXPECT_LE(worst, 2 * kErrorMultiple * Eps() * Log2(n) * Norm2(complex)) << n;
  }
}

TEST(DFT, MoreThanTwoToThe29PointsAreRejectedBeforeAnyWork) {
  // The length check comes before the data is read, so no real array is needed.
  const std::complex<double> dummy;
  const std::span<const std::complex<double>> huge(&dummy, (std::size_t{1} << 29) + 1);
  const char* message = "The DFT input must not have more than 2^29 points.";
  EXPECT_THROW_MSG(DFT::Forward(huge), OrvaneException, message);
  EXPECT_THROW_MSG(DFT::Backward(huge), OrvaneException, message);
  const double real = 0;
  EXPECT_THROW_MSG(DFT::ForwardReal(std::span<const double>(&real, (std::size_t{1} << 29) + 2)),
                   OrvaneException, message);
}

// ---- the same bits everywhere ----

TEST(DFT, EveryInstructionSetPathGivesTheSameBits) {
  for (std::int64_t n : {6, 12, 45, 100, 1000, 2 * 3 * 3 * 5 * 5 * 4, 3 * 125 * 8 * 9}) {
    const dft::MixedPlan plan(n);
    const CVec x = Random(static_cast<std::size_t>(n), 9);
    std::vector<double> want[2], got(static_cast<std::size_t>(2 * n)), scratch(got.size());
    for (InstructionSet set : kInstructionSets) {
      if (!Supported(set)) continue;
      for (bool backward : {false, true}) {
        mixed::Io io;
        io.inAos = reinterpret_cast<const double*>(x.data());
        io.outAos = got.data();
        io.scratch = scratch.data();
        io.conjugateIn = io.conjugateOut = backward;
        io.scale = backward ? 1.0 / static_cast<double>(n) : 1.0;
        dft::RunPasses(set, plan.passes.data(), static_cast<int>(plan.passes.size()), n, io);
        std::vector<double>& first = want[backward];
        if (first.empty()) first = got;
        EXPECT_EQ(std::memcmp(got.data(), first.data(), got.size() * 8), 0)
            << n << " points, " << Name(set) << (backward ? ", backward" : ", forward");
      }
    }
    // The real-input bins from the transform just made, on every path.
    std::vector<double> twiddle(static_cast<std::size_t>(2 * n + 2)), bins(twiddle.size()), first;
    const dft::UnitRoots roots(static_cast<std::uint64_t>(2 * n));
    for (std::int64_t k = 0; k <= n; ++k) {
      twiddle[static_cast<std::size_t>(2 * k)] = roots(static_cast<std::uint64_t>(k)).real();
      twiddle[static_cast<std::size_t>(2 * k + 1)] = roots(static_cast<std::uint64_t>(k)).imag();
    }
    for (InstructionSet set : kInstructionSets) {
      if (!Supported(set)) continue;
      dft::RealBins(set, want[0].data(), twiddle.data(), n, bins.data());
      if (first.empty()) first = bins;
      EXPECT_EQ(std::memcmp(bins.data(), first.data(), bins.size() * 8), 0) << n << " " << Name(set);
    }
  }
}

// Threads racing to make the plans of new lengths get the bits of a later
// call on the cached plans.
TEST(DFT, ThreadsAndRepeatedCallsGiveTheSameBits) {
  const std::vector<std::size_t> lengths{1875, 1013, 2430, 3 * 1013};
  std::vector<CVec> inputs;
  for (std::size_t n : lengths) inputs.push_back(Random(n, static_cast<unsigned>(n)));
  std::vector<std::vector<CVec>> results(4);
  std::vector<std::thread> threads;
  for (auto& mine : results) {
    threads.emplace_back([&inputs, &mine] {
      for (const CVec& x : inputs) mine.push_back(DFT::Forward(x));
    });
  }
  for (auto& t : threads) t.join();
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    const CVec again = DFT::Forward(inputs[i]);
    for (const auto& mine : results) EXPECT_TRUE(SameBits(mine[i], again)) << lengths[i];
  }
}

// ---- plans ----

TEST(DftPlan, CacheKeepsItsCapacityDroppingTheLeastRecentlyUsed) {
  auto makerOf = [](std::size_t doubles, int& made) {
    return [doubles, &made] {
      ++made;
      auto plan = std::make_shared<dft::Plan>();
      plan->realTwiddles.resize(doubles);
      return std::shared_ptr<const dft::Plan>(std::move(plan));
    };
  };
  const std::size_t one = dft::Plan{}.Bytes() + 1000 * sizeof(double);
  dft::PlanCache cache(2 * one + one / 2);
  int made = 0;
  cache.Get(1, false, makerOf(1000, made));
  cache.Get(2, false, makerOf(1000, made));
  cache.Get(1, false, makerOf(1000, made));  // a hit: 1 is now the most recent
  EXPECT_EQ(made, 2);
  cache.Get(3, false, makerOf(1000, made));  // drops 2
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_EQ(cache.Bytes(), 2 * one);
  cache.Get(1, false, makerOf(1000, made));
  EXPECT_EQ(made, 3);
  cache.Get(2, false, makerOf(1000, made));
  EXPECT_EQ(made, 4);
  // The same length of the other kind is another plan.
  cache.Get(2, true, makerOf(1000, made));
  EXPECT_EQ(made, 5);
  // Too large to keep: handed out, the cache unchanged.
  const auto big = cache.Get(9, false, makerOf(4000, made));
  EXPECT_EQ(big->realTwiddles.size(), 4000u);
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_LE(dft::ProcessCache().Bytes(), dft::kCacheBytes);
}

TEST(DftPlan, RootsOfUnityAreAccurateAndExactOnTheAxes) {
  const double tolerance = Slack() * Eps();
  for (std::uint64_t n : {7u, 1000u, 131074u}) {
    const dft::UnitRoots roots(n);
    for (std::uint64_t t = 0; t < n; t += 1 + n / 500) {
      const long double a = 2 * std::numbers::pi_v<long double> * t / n;
      EXPECT_LE(std::abs(LongComplex(roots(t)) - LongComplex(std::cos(a), std::sin(a))), tolerance) << n << " " << t;
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
