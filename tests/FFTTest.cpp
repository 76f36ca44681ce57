// FFT: the worked small cases, agreement with the direct sums, the round trip,
// the untouched input, and bit-for-bit agreement with the loop-by-loop
// transform in FftReference.h.
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "FftReference.h"
#include "OrvaneNet/FFT.h"
#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "procedures/FftKernels.h"

using orvane_test::Eps;
using OrvaneNet::Complex;
using OrvaneNet::FFT;

namespace {

using CVec = std::vector<Complex>;

CVec Random(std::size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  CVec v(count);
  for (auto& c : v) c = orvane_test::RandomValue<Complex>(rng);
  return v;
}

void ExpectClose(const CVec& got, const CVec& want, double tol = 1e-15) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_NEAR(got[k].get_Real(), want[k].get_Real(), tol) << "k = " << k;
    EXPECT_NEAR(got[k].get_Imag(), want[k].get_Imag(), tol) << "k = " << k;
  }
}

bool SameBits(const CVec& a, const CVec& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Complex)) == 0;
}

// sum_j x_j e^(sign 2 pi i j k / N) in long double, N = the filled-up length,
// divided by N for the negative sign.
std::vector<std::complex<long double>> DirectSum(const CVec& x, std::size_t big, int sign) {
  std::vector<std::complex<long double>> root(big);
  for (std::size_t m = 0; m < big; ++m) {
    const long double t = 2 * std::numbers::pi_v<long double> * m / big;
    root[m] = {std::cos(t), sign * std::sin(t)};
  }
  std::vector<std::complex<long double>> out(big);
  for (std::size_t k = 0; k < big; ++k) {
    std::complex<long double> s = 0;
    for (std::size_t j = 0; j < x.size(); ++j)
      s += std::complex<long double>(x[j].get_Real(), x[j].get_Imag()) * root[j * k % big];
    out[k] = sign < 0 ? s / static_cast<long double>(big) : s;
  }
  return out;
}

// ||got - want||_2 / ||want||_2.
double RelativeError(const CVec& got, const std::vector<std::complex<long double>>& want) {
  long double num = 0, den = 0;
  for (std::size_t k = 0; k < got.size(); ++k) {
    num += std::norm(std::complex<long double>(got[k].get_Real(), got[k].get_Imag()) - want[k]);
    den += std::norm(want[k]);
  }
  return static_cast<double>(std::sqrt(num / den));
}

std::size_t FilledUp(std::size_t count) {
  std::size_t big = 1;
  while (big < count) big *= 2;
  return big;
}

TEST(FFT, WorkedSmallCases) {
  const CVec x{{1, 0}, {2, 0}, {3, 0}};
  const CVec fx = FFT::Forward(x);
  ExpectClose(fx, {{6, 0}, {-2, 2}, {2, 0}, {-2, -2}});
  ExpectClose(FFT::Backward(fx), {{1, 0}, {2, 0}, {3, 0}, {0, 0}});

  const CVec shift{{0, 0}, {1, 0}, {0, 0}, {0, 0}};
  ExpectClose(FFT::Forward(shift), {{1, 0}, {0, 1}, {-1, 0}, {0, -1}});
  ExpectClose(FFT::Backward(shift), {{0.25, 0}, {0, -0.25}, {-0.25, 0}, {0, 0.25}});

  const CVec three(3, Complex(1, 0));
  ExpectClose(FFT::Forward(three), {{3, 0}, {0, 1}, {1, 0}, {0, -1}});
  ExpectClose(FFT::Backward(three), {{0.75, 0}, {0, -0.25}, {0.25, 0}, {0, 0.25}});

  ExpectClose(FFT::Forward(CVec(8, Complex(1, 0))), {{8, 0}, {}, {}, {}, {}, {}, {}, {}});
  CVec impulse(8);
  impulse[0] = Complex(1, 0);
  ExpectClose(FFT::Forward(impulse), CVec(8, Complex(1, 0)));
  ExpectClose(FFT::Backward(impulse), CVec(8, Complex(0.125, 0)));
}

TEST(FFT, EmptyAndSinglePoint) {
  EXPECT_TRUE(SameBits(FFT::Forward({}), CVec{Complex(0, 0)}));
  EXPECT_TRUE(SameBits(FFT::Backward({}), CVec{Complex(0, 0)}));
  const CVec one{Complex(-1.5, 2.25)};
  EXPECT_TRUE(SameBits(FFT::Forward(one), one));
  EXPECT_TRUE(SameBits(FFT::Backward(one), one));
}

TEST(FFT, InputIsNotChanged) {
  for (std::size_t count : {3u, 64u, 1000u, 4096u}) {
    const CVec x = Random(count, 7);
    CVec arg = x;
    (void)FFT::Forward(arg);
    EXPECT_TRUE(SameBits(arg, x));
    (void)FFT::Backward(arg);
    EXPECT_TRUE(SameBits(arg, x));
  }
}

TEST(FFT, MoreThanTwoToThe29PointsAreRejectedBeforeAnyWork) {
  // The length check comes before the data is read, so no real array is needed.
  const Complex dummy;
  const std::size_t tooMany = (std::size_t{1} << 29) + 1;
  EXPECT_THROW_MSG(OrvaneNet::detail::FftCompute(&dummy, tooMany, 1), OrvaneNet::OrvaneException,
                   "The FFT input must not have more than 2^29 points.");
  EXPECT_THROW_MSG(OrvaneNet::detail::FftCompute(&dummy, tooMany, -1), OrvaneNet::OrvaneException,
                   "The FFT input must not have more than 2^29 points.");
}

class FftSizes : public ::testing::TestWithParam<std::size_t> {};

// Error of either direction against the direct sum, relative to its norm,
// within a few eps per pass.
TEST_P(FftSizes, AgreesWithTheDirectSums) {
  const std::size_t count = GetParam();
  const std::size_t big = FilledUp(count);
  const CVec x = Random(count, static_cast<unsigned>(count));
  const double bound = 4 * Eps() * std::max(1.0, std::log2(static_cast<double>(big)));
  const CVec fx = FFT::Forward(x);
  ASSERT_EQ(fx.size(), big);
  EXPECT_LT(RelativeError(fx, DirectSum(x, big, +1)), bound);
  const CVec bx = FFT::Backward(x);
  ASSERT_EQ(bx.size(), big);
  EXPECT_LT(RelativeError(bx, DirectSum(x, big, -1)), bound);
}

TEST_P(FftSizes, BackwardUndoesForwardAndKeepsTheFillZeros) {
  const std::size_t count = GetParam();
  const std::size_t big = FilledUp(count);
  const CVec x = Random(count, 11);
  const CVec back = FFT::Backward(FFT::Forward(x));
  ASSERT_EQ(back.size(), big);
  const double tol = 8 * Eps() * std::max(1.0, std::log2(static_cast<double>(big)));
  for (std::size_t p = 0; p < big; ++p) {
    const Complex want = p < count ? x[p] : Complex();
    EXPECT_NEAR(back[p].get_Real(), want.get_Real(), tol) << p;
    EXPECT_NEAR(back[p].get_Imag(), want.get_Imag(), tol) << p;
  }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwoAndOthers, FftSizes,
                         ::testing::Values(2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 3, 5, 100,
                                           1000));

// A few bins of a 2^20-point transform against long double sums.
TEST(FFT, LargeTransformAgreesOnSampleBins) {
  const std::size_t big = std::size_t{1} << 20;
  const CVec x = Random(big, 5);
  const CVec fx = FFT::Forward(x);
  const CVec bx = FFT::Backward(x);
  long double norm = 0;
  for (const Complex& c : x)
    norm += std::norm(std::complex<long double>(c.get_Real(), c.get_Imag()));
  const long double scale = std::sqrt(norm);  // the typical size of one forward bin
  for (std::size_t k : {std::size_t{0}, std::size_t{1}, std::size_t{12345}, big / 2, big - 3}) {
    for (int sign : {+1, -1}) {
      std::complex<long double> s = 0;
      for (std::size_t j = 0; j < big; ++j) {
        const long double t = 2 * std::numbers::pi_v<long double> * ((j * k) % big) / big;
        s += std::complex<long double>(x[j].get_Real(), x[j].get_Imag()) *
             std::complex<long double>(std::cos(t), sign * std::sin(t));
      }
      const Complex got = sign > 0 ? fx[k] : bx[k];
      const long double want_scale = sign > 0 ? 1.0L : 1.0L / big;
      const double err = static_cast<double>(
          std::abs(std::complex<long double>(got.get_Real(), got.get_Imag()) - s * want_scale) /
          (scale * want_scale));
      EXPECT_LT(err, 4 * Eps() * 20) << "k = " << k << " sign " << sign;
    }
  }
}

// The shipped transform agrees bit for bit with the loop-by-loop one, on every
// dispatch path this machine can run.
TEST(FFT, BitIdenticalToTheLoopByLoopTransform) {
  std::vector<CVec> inputs = {{},
                              {Complex(1, 0), Complex(2, 0), Complex(3, 0)},
                              {Complex(0, 0), Complex(1, 0), Complex(0, 0), Complex(0, 0)},
                              CVec(3, Complex(1, 0)),
                              CVec(8, Complex(1, 0))};
  for (std::size_t count = 1; count <= 4096; count = count < 16 ? count + 1 : count * 2)
    inputs.push_back(Random(count, static_cast<unsigned>(count) + 100));
  for (std::size_t count : {100u, 1000u, 100000u, 1u << 10, 1u << 16, 1u << 17, 1u << 20})
    inputs.push_back(Random(count, static_cast<unsigned>(count)));
  // Special values travel the same way through both.
  CVec special = Random(64, 3);
  special[5] = Complex(-0.0, 0.0);
  special[9] = Complex(1e-310, -1e308);
  inputs.push_back(special);

  for (const CVec& x : inputs) {
    const CVec wantF = fft_reference::Compute(x, 1);
    const CVec wantB = fft_reference::Compute(x, -1);
    for (auto path : OrvaneNet::detail::FftPathsAvailable()) {
      EXPECT_TRUE(SameBits(OrvaneNet::detail::FftCompute(x.data(), x.size(), 1, path), wantF))
          << "Forward, " << x.size() << " points, path " << OrvaneNet::detail::FftPathName(path);
      EXPECT_TRUE(SameBits(OrvaneNet::detail::FftCompute(x.data(), x.size(), -1, path), wantB))
          << "Backward, " << x.size() << " points, path " << OrvaneNet::detail::FftPathName(path);
    }
    EXPECT_TRUE(SameBits(FFT::Forward(x), wantF)) << x.size();
    EXPECT_TRUE(SameBits(FFT::Backward(x), wantB)) << x.size();
  }
}

// The column passes (normally reached only beyond 2^16 points) with small
// chunks, so that several groups of them, radix-4 and radix-2 endings, and
// strips narrower than a register row are all compared bit for bit.
TEST(FFT, ColumnPassesBitIdenticalWithSmallChunks) {
  for (std::int64_t chunk : {8, 16, 32, 64, 256}) {
    for (std::size_t count :
         {9u, 16u, 33u, 64u, 100u, 128u, 256u, 512u, 1000u, 2048u, 4096u, 8192u, 16384u}) {
      const CVec x = Random(count, static_cast<unsigned>(count + chunk));
      const CVec wantF = fft_reference::Compute(x, 1);
      const CVec wantB = fft_reference::Compute(x, -1);
      for (auto path : OrvaneNet::detail::FftPathsAvailable()) {
        const char* name = OrvaneNet::detail::FftPathName(path);
        EXPECT_TRUE(SameBits(OrvaneNet::detail::FftCompute(x.data(), count, 1, path, chunk), wantF))
            << "Forward, " << count << " points, chunk " << chunk << ", path " << name;
        EXPECT_TRUE(
            SameBits(OrvaneNet::detail::FftCompute(x.data(), count, -1, path, chunk), wantB))
            << "Backward, " << count << " points, chunk " << chunk << ", path " << name;
      }
    }
  }
}

}  // namespace
