// Handles used from several threads at once, each thread with its own
// matrices: every thread gets the bytes that one thread alone gets. Each
// round runs the threaded product (whose own threads nest inside these), the
// FFT and its twiddle cache, and the LAPACK-backed kinds. Run under
// ThreadSanitizer by scripts/tsan.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "OrvaneNet/OrvaneNet.h"

using namespace OrvaneNet;

namespace {

// FNV-1a over the bytes of the values.
struct Hash {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  void Add(double x) {
    unsigned char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof x);
    for (unsigned char b : bytes) h = (h ^ b) * 0x100000001b3ULL;
  }
  void Add(Complex z) {
    Add(z.get_Real());
    Add(z.get_Imag());
  }
  template <class M>
  void AddEntries(const M& a) {
    for (int j = 0; j < a.get_ColNum(); ++j)
      for (int i = 0; i < a.get_RowNum(); ++i) Add(a.get_Item(i, j));
  }
};

// The work of one thread, from its seed, as a hash of every result.
std::uint64_t Work(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1, 1);
  Hash hash;

  // A real product on the calling thread, a complex one large enough (4.5
  // million terms) to be split among threads itself.
  const int n = 104;
  Matrix a(n, n), b(n, n);
  ComplexMatrix c(n, n), d(n, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      a.set_Item(i, j, dist(rng) + (i == j ? n : 0));
      b.set_Item(i, j, dist(rng));
      const double re = dist(rng);
      c.set_Item(i, j, Complex(re, dist(rng)));
      d.set_Item(i, j, Complex(dist(rng), re));
    }
  hash.AddEntries(a * b);
  hash.AddEntries(c * d);

  // Solve and invert (dense, LAPACK), a symmetric eigenproblem (packed).
  Matrix x = b.Clone();
  Matrix f = a.Clone();
  LinearEquation::Solve(f, x);
  hash.AddEntries(x);
  Matrix inverse = a.Clone();
  inverse.Inv();
  hash.AddEntries(inverse);
  Matrix s(40, 40, MatrixType::DoubleSymmetric);
  for (int j = 0; j < 40; ++j)
    for (int i = 0; i <= j; ++i) s.set_Item(i, j, dist(rng));
  std::vector<double> values;
  Eigenproblem::Solve(s, values);
  for (double v : values) hash.Add(v);

  // A band solve.
  Matrix band(200, 200, 2, 3);
  Matrix rhs(200, 1);
  for (int i = 0; i < 200; ++i) {
    for (int j = std::max(0, i - 2); j <= std::min(199, i + 3); ++j)
      band.set_Item(i, j, dist(rng) + (i == j ? 8 : 0));
    rhs.set_Item(i, 0, dist(rng));
  }
  LinearEquation::Solve(band, rhs);
  hash.AddEntries(rhs);

  // The FFT at lengths other threads are transforming too.
  for (std::size_t count : {64u, 1000u, 1u << 13}) {
    std::vector<Complex> z(count);
    for (auto& v : z) {
      const double re = dist(rng);
      v = Complex(re, dist(rng));
    }
    for (const Complex& v : FFT::Forward(z)) hash.Add(v);
    for (const Complex& v : FFT::Backward(z)) hash.Add(v);
  }
  return hash.h;
}

TEST(ThreadSafety, HandlesOnSeveralThreadsGiveTheBytesOfOne) {
  constexpr int kThreads = 4;
  std::vector<std::uint64_t> alone(kThreads), together(kThreads);
  for (int t = 0; t < kThreads; ++t) alone[static_cast<std::size_t>(t)] = Work(100 + t % 3);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back(
        [&together, t] { together[static_cast<std::size_t>(t)] = Work(100 + t % 3); });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(together[static_cast<std::size_t>(t)], alone[static_cast<std::size_t>(t)])
        << "thread " << t;
}

}  // namespace
