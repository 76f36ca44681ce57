// Handles used from several threads at once, each thread with its own
// matrices: every thread gets the bytes that one thread alone gets. Each
// round runs the threaded product (whose own threads nest inside these), the
// FFT and its twiddle cache, the LAPACK-backed kinds and large results made
// and dropped. Run under ThreadSanitizer by scripts/tsan.sh.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "OrvaneNet/OrvaneNet.h"
#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::RandomDense;

namespace {

// FNV-style, a double's bits at a time: each step is a bijection of the
// running hash, so one value that differs changes the result.
struct Hash {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  void Add(double x) { h = (h ^ std::bit_cast<std::uint64_t>(x)) * 0x100000001b3ULL; }
  void Add(Complex z) {
    Add(z.get_Real());
    Add(z.get_Imag());
  }
  template <class Values>
  void AddAll(const Values& values) {
    for (const auto& v : values) Add(v);
  }
};

// The work of one thread, from its seed, as a hash of every result.
std::uint64_t Work(unsigned seed) {
  std::mt19937 rng(seed);
  Hash hash;
  // A real product on the calling thread, a complex one large enough (4.5
  // million terms) to be split among threads itself.
  const int n = 104;
  const Matrix a = RandomDense<Matrix>(n, n, rng, n), b = RandomDense<Matrix>(n, n, rng);
  const ComplexMatrix c = RandomDense<ComplexMatrix>(n, n, rng);
  const ComplexMatrix d = RandomDense<ComplexMatrix>(n, n, rng);
  hash.AddAll((a * b).ToVector(Layout::ColumnMajor));
  hash.AddAll((c * d).ToVector(Layout::ColumnMajor));

  // Solve and invert (dense, LAPACK), a symmetric eigenproblem (packed).
  Matrix x = b.Clone(), f = a.Clone(), inverse = a.Clone();
  LinearEquation::Solve(f, x);
  hash.AddAll(x.ToVector(Layout::ColumnMajor));
  inverse.Inv();
  hash.AddAll(inverse.ToVector(Layout::ColumnMajor));
  Matrix s(40, 40, MatrixType::DoubleSymmetric);
  for (int j = 0; j < 40; ++j)
    for (int i = 0; i <= j; ++i) s.set_Item(i, j, orvane_test::RandomValue<double>(rng));
  std::vector<double> values;
  Eigenproblem::Solve(s, values);
  hash.AddAll(values);

  // A band solve.
  Matrix band(200, 200, 2, 3), rhs = RandomDense<Matrix>(200, 1, rng);
  for (int i = 0; i < 200; ++i)
    for (int j = std::max(0, i - 2); j <= std::min(199, i + 3); ++j)
      band.set_Item(i, j, orvane_test::RandomValue<double>(rng) + (i == j ? 8 : 0));
  LinearEquation::Solve(band, rhs);
  hash.AddAll(rhs.ToVector(Layout::ColumnMajor));

  // Results of 320 KB and 2.9 MB made and dropped: the blocks the library
  // keeps for reuse pass from thread to thread.
  for (int m : {200, 600}) {
    const Matrix p = RandomDense<Matrix>(m, m, rng), q = RandomDense<Matrix>(m, m, rng);
    hash.AddAll((p + q).ToVector(Layout::ColumnMajor));
    hash.AddAll(Matrix::Transpose(-p).ToVector(Layout::ColumnMajor));
  }

  // The FFT at lengths other threads are transforming too.
  for (std::size_t count : {64u, 1000u, 1u << 13}) {
    std::vector<Complex> z(count);
    for (auto& v : z) v = orvane_test::RandomValue<Complex>(rng);
    hash.AddAll(FFT::Forward(z));
    hash.AddAll(FFT::Backward(z));
  }
  return hash.h;
}

TEST(ThreadSafety, HandlesOnSeveralThreadsGiveTheBytesOfOne) {
  constexpr std::size_t kThreads = 4;
  auto seed = [](std::size_t t) { return static_cast<unsigned>(100 + t % 3); };
  std::vector<std::uint64_t> alone(kThreads), together(kThreads);
  for (std::size_t t = 0; t < kThreads; ++t) alone[t] = Work(seed(t));
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&together, &seed, t] { together[t] = Work(seed(t)); });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(together, alone);
}

}  // namespace
