// Prints a hash of the bits of results computed through the public API, one
// line each: "exact <case> <hash>" for the product and the FFT, which must not
// change by a single bit, then "lapack <case> <hash>" for results computed by
// LAPACK/BLAS, reported only; first "env openblas-threads <n>" and "env
// product-threads <n>". CompareThreads.cmake runs this program with two
// values of OPENBLAS_NUM_THREADS or ORVANE_NUM_THREADS and compares the lines.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "OrvaneNet/FFT.h"
#include "OrvaneNet/OrvaneNet.h"
#include "simd/Product.h"

// OpenBLAS only; absent with the reference BLAS.
extern "C" int openblas_get_num_threads() __attribute__((weak));

using namespace OrvaneNet;

namespace {

std::mt19937 rng(12345);
double Uniform() { return std::uniform_real_distribution<double>(-1, 1)(rng); }
Complex UniformComplex() {
  const double re = Uniform();
  return Complex(re, Uniform());
}

// FNV-style, a double's bits at a time.
void Add(std::uint64_t& h, double x) {
  h = (h ^ std::bit_cast<std::uint64_t>(x)) * 0x100000001b3ULL;
}
void Add(std::uint64_t& h, Complex z) {
  Add(h, z.get_Real());
  Add(h, z.get_Imag());
}

template <class Values>
void Print(const std::string& name, const Values& values, const char* cls = "exact") {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const auto& v : values) Add(h, v);
  std::printf("%s %s %016llx\n", cls, name.c_str(), static_cast<unsigned long long>(h));
}

template <class M>
M Random(int m, int n) {
  M a(m, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) {
      if constexpr (std::is_same_v<M, Matrix>) {
        a.set_Item(i, j, Uniform());
      } else {
        a.set_Item(i, j, UniformComplex());
      }
    }
  return a;
}

}  // namespace

int main() {
  const int openblas = openblas_get_num_threads ? openblas_get_num_threads() : 1;
  std::printf("env openblas-threads %d\n", openblas);
  std::printf("env product-threads %d\n", detail::ProductThreads());
  const int shapes[][3] = {{300, 300, 300}, {517, 65, 131}, {1, 1000, 7}, {64, 64, 2000}};
  for (auto [m, n, k] : shapes) {
    const std::string shape = std::to_string(m) + "x" + std::to_string(n) + "x" + std::to_string(k);
    const Matrix a = Random<Matrix>(m, k), b = Random<Matrix>(k, n);
    Print("product-real-" + shape, (a * b).ToVector(Layout::ColumnMajor));
    const ComplexMatrix c = Random<ComplexMatrix>(m, k), d = Random<ComplexMatrix>(k, n);
    Print("product-complex-" + shape, (c * d).ToVector(Layout::ColumnMajor));
  }
  for (int n : {1000, 4096, 100000, 1 << 20}) {
    std::vector<Complex> x(static_cast<std::size_t>(n));
    for (auto& z : x) z = UniformComplex();
    Print("fft-forward-" + std::to_string(n), FFT::Forward(x));
    Print("fft-backward-" + std::to_string(n), FFT::Backward(x));
  }
  // Through OpenBLAS: reported only, it may split its work differently.
  Matrix a = Random<Matrix>(800, 800), b = Random<Matrix>(800, 2);
  LinearEquation::Solve(a, b);
  Print("solve-800", b.ToVector(Layout::ColumnMajor), "lapack");
  Matrix c = Random<Matrix>(300, 200), s, u, vt;
  SingularValueDecomposition::Decompose(c, s, u, vt);
  Print("svd-300x200-sigma", s.ToVector(Layout::ColumnMajor), "lapack");
  Matrix e(300, 300, MatrixType::DoubleSymmetric);
  for (int j = 0; j < 300; ++j)
    for (int i = 0; i <= j; ++i) e.set_Item(i, j, Uniform());
  std::vector<double> values;
  Eigenproblem::Solve(e, values);
  Print("eigenvalues-300", values, "lapack");
  Matrix l = Random<Matrix>(2000, 200), r = Random<Matrix>(2000, 1);
  LeastSquare::Solve(l, r);
  Print("least-squares-2000x200", r.ToVector(Layout::ColumnMajor), "lapack");
  return 0;
}
