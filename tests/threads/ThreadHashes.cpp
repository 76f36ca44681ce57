// Prints a hash of the bits of results computed through the public API, one
// line each: "<class> <case> <hash>". CompareThreads.cmake runs this program
// with OPENBLAS_NUM_THREADS=1 and =2 and compares the lines:
//   exact  the product and the FFT, which must not change by a single bit
//   lapack results that go through LAPACK/BLAS, reported only: OpenBLAS may
//          split its work differently with more threads
//   env    what OpenBLAS says about its threads (expected to differ)
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "OrvaneNet/FFT.h"
#include "OrvaneNet/OrvaneNet.h"

// OpenBLAS only; absent with the reference BLAS.
extern "C" int openblas_get_num_threads() __attribute__((weak));

using namespace OrvaneNet;

namespace {

// FNV-1a over the bytes of the values.
class Hash {
 public:
  void Add(double x) {
    unsigned char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof x);
    for (unsigned char b : bytes) m_h = (m_h ^ b) * 0x100000001b3ULL;
  }
  void Add(Complex z) {
    Add(z.get_Real());
    Add(z.get_Imag());
  }
  std::uint64_t Value() const { return m_h; }

 private:
  std::uint64_t m_h = 0xcbf29ce484222325ULL;
};

void Print(const char* cls, const std::string& name, const Hash& h) {
  std::printf("%s %s %016llx\n", cls, name.c_str(), static_cast<unsigned long long>(h.Value()));
}

std::string Shape(int m, int n, int k) {
  return std::to_string(m) + "x" + std::to_string(n) + "x" + std::to_string(k);
}

std::mt19937 rng(12345);
double Uniform() { return std::uniform_real_distribution<double>(-1, 1)(rng); }

Matrix RandomReal(int m, int n) {
  Matrix a(m, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) a.set_Item(i, j, Uniform());
  return a;
}

ComplexMatrix RandomComplex(int m, int n) {
  ComplexMatrix a(m, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) {
      const double re = Uniform();
      a.set_Item(i, j, Complex(re, Uniform()));
    }
  return a;
}

template <class M>
Hash HashOf(const M& a) {
  Hash h;
  for (int j = 0; j < a.get_ColNum(); ++j)
    for (int i = 0; i < a.get_RowNum(); ++i) h.Add(a.get_Item(i, j));
  return h;
}

void Products() {
  const int shapes[][3] = {{300, 300, 300}, {517, 65, 131}, {1, 1000, 7}, {64, 64, 2000}};
  for (const auto& s : shapes) {
    const Matrix a = RandomReal(s[0], s[2]), b = RandomReal(s[2], s[1]);
    Print("exact", "product-real-" + Shape(s[0], s[1], s[2]), HashOf(a * b));
    const ComplexMatrix c = RandomComplex(s[0], s[2]), d = RandomComplex(s[2], s[1]);
    Print("exact", "product-complex-" + Shape(s[0], s[1], s[2]), HashOf(c * d));
  }
}

void Transforms() {
  for (int n : {1000, 4096, 100000, 1 << 20}) {
    std::vector<Complex> x(static_cast<std::size_t>(n));
    for (auto& z : x) {
      const double re = Uniform();
      z = Complex(re, Uniform());
    }
    Hash f, b;
    for (const Complex& z : FFT::Forward(x)) f.Add(z);
    for (const Complex& z : FFT::Backward(x)) b.Add(z);
    Print("exact", "fft-forward-" + std::to_string(n), f);
    Print("exact", "fft-backward-" + std::to_string(n), b);
  }
}

void LapackBound() {
  {
    const int n = 800;
    Matrix a = RandomReal(n, n), b = RandomReal(n, 2);
    LinearEquation::Solve(a, b);
    Print("lapack", "solve-" + std::to_string(n), HashOf(b));
  }
  {
    Matrix a = RandomReal(300, 200), s, u, vt;
    SingularValueDecomposition::Decompose(a, s, u, vt);
    Print("lapack", "svd-300x200-sigma", HashOf(s));
  }
  {
    const int n = 300;
    Matrix a(n, n, MatrixType::DoubleSymmetric);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i <= j; ++i) a.set_Item(i, j, Uniform());
    std::vector<double> values;
    Eigenproblem::Solve(a, values);
    Hash h;
    for (double v : values) h.Add(v);
    Print("lapack", "eigenvalues-" + std::to_string(n), h);
  }
  {
    Matrix a = RandomReal(2000, 200), b = RandomReal(2000, 1);
    LeastSquare::Solve(a, b);
    Print("lapack", "least-squares-2000x200", HashOf(b));
  }
}

}  // namespace

int main() {
  std::printf("env openblas-threads %d\n",
              openblas_get_num_threads ? openblas_get_num_threads() : 1);
  Products();
  Transforms();
  LapackBound();
  return 0;
}
