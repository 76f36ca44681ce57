// Helpers shared by the test files: exact exception checks, a pinned
// comma-decimal locale, a temporary folder, tolerances, seeded random
// matrices, handles of every kind, and residuals.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <locale>
#include <random>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

// Checks the exception type and its what() byte for byte.
#define EXPECT_THROW_MSG(statement, exception_type, expected_message)            \
  do {                                                                           \
    try {                                                                        \
      statement;                                                                 \
      ADD_FAILURE() << "no exception from: " #statement;                         \
    } catch (const exception_type& e) {                                          \
      EXPECT_EQ(std::string(e.what()), std::string(expected_message));           \
    } catch (const std::exception& e) {                                          \
      ADD_FAILURE() << "wrong exception type from: " #statement << ": " << e.what(); \
    }                                                                            \
  } while (0)

namespace orvane_test {

// Decimal comma and '.' for grouping, installed as the global C++ locale for
// the lifetime of the object.
struct CommaNumpunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

class CommaLocale {
 public:
  CommaLocale() : m_saved(std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct))) {}
  ~CommaLocale() { std::locale::global(m_saved); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

 private:
  std::locale m_saved;
};

// A fresh folder below the temporary folder, removed with its contents at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Dir() const { return m_dir; }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  // Writes the file `name` in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path m_dir;
};

inline double Eps() { return std::numeric_limits<double>::epsilon(); }

// Residual, OrthonormalityError and EigenResidual measure in units of n eps
// times the problem's scale, where a backward-stable result is of order 1;
// the margin leaves room for the backend's blocking.
constexpr double kResidualTol = 50;
// The generalized eigenproblems go through B's Cholesky factor as well.
constexpr double kGeneralizedTol = 2 * kResidualTol;
// Small worked examples: exact but for a few roundings of values of order 1.
constexpr double kFewRoundings = 16 * std::numeric_limits<double>::epsilon();

// Uniform values in [-1, 1), real or complex, from a fixed seed.
template <class T>
T RandomValue(std::mt19937& rng) {
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  if constexpr (std::is_same_v<T, double>) {
    return dist(rng);
  } else {
    const double re = dist(rng);
    return T(re, dist(rng));
  }
}

inline double Abs(double v) { return std::fabs(v); }
inline double Abs(OrvaneNet::Complex v) { return std::abs(v.ToStdComplex()); }
inline OrvaneNet::Complex Conj(OrvaneNet::Complex v) { return OrvaneNet::Complex::Conj(v); }
inline double Conj(double v) { return v; }

// The element type a kind reads and writes (double or Complex).
template <class M>
using ElementOf = std::remove_cvref_t<decltype(std::declval<const M&>().get_Item(0, 0))>;

// The rows written into a (any kind); the symmetric kinds see each pair twice.
template <class M>
M Fill(M a, std::initializer_list<std::initializer_list<double>> rows) {
  int i = 0;
  for (auto& row : rows) {
    int j = 0;
    for (double v : row) a.set_Item(i, j++, ElementOf<M>(v));
    ++i;
  }
  return a;
}

// A matrix M(m, n) (the kinds that take their order alone) filled from rows.
template <class M>
M FromRows(std::initializer_list<std::initializer_list<double>> rows, int cols = -1) {
  const int m = static_cast<int>(rows.size());
  return Fill(M(m, cols >= 0 ? cols : m == 0 ? 0 : static_cast<int>(rows.begin()->size())), rows);
}

// An m x n dense matrix of random entries, `shift` added to the diagonal.
template <class M>
M RandomDense(int m, int n, std::mt19937& rng, double shift = 0.0) {
  M a(m, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i)
      a.set_Item(i, j, RandomValue<ElementOf<M>>(rng) + ElementOf<M>(i == j ? shift : 0.0));
  return a;
}

// The largest f(i, j) over the entries of a (0 when it has none); NaN when
// one of them is NaN, so that no comparison with it passes.
template <class A, class F>
double MaxOver(const A& a, F f) {
  double r = 0;
  for (int i = 0; i < a.get_RowNum(); ++i)
    for (int j = 0; j < a.get_ColNum(); ++j) {
      const double v = f(i, j);
      if (std::isnan(v) || v > r) r = v;
    }
  return r;
}

template <class A>
double MaxAbs(const A& a) {
  return MaxOver(a, [&](int i, int j) { return Abs(a.get_Item(i, j)); });
}

template <class A>
double MaxDifference(const A& x, const A& y) {
  return MaxOver(x, [&](int i, int j) { return Abs(x.get_Item(i, j) - y.get_Item(i, j)); });
}

template <class A>
bool AllFinite(const A& x) {
  return std::isfinite(MaxAbs(x));
}

template <class A>
void ExpectSameEntries(const A& x, const A& y) {
  ASSERT_EQ(x.get_RowNum(), y.get_RowNum());
  ASSERT_EQ(x.get_ColNum(), y.get_ColNum());
  EXPECT_EQ(MaxDifference(x, y), 0.0);
}

// Every entry of x within tol of the given rows.
template <class A>
void ExpectEntriesNear(const A& x, std::initializer_list<std::initializer_list<double>> rows, double tol) {
  const A y = FromRows<A>(rows, x.get_ColNum());
  ASSERT_EQ(x.get_RowNum(), y.get_RowNum());
  EXPECT_LE(MaxDifference(x, y), tol);
}

// (A X)(i, c) through the element interface of both operands.
template <class A, class X>
ElementOf<X> ProductAt(const A& a, const X& x, int i, int c) {
  ElementOf<X> s(0.0);
  for (int k = 0; k < a.get_ColNum(); ++k) s = s + a.get_Item(i, k) * x.get_Item(k, c);
  return s;
}

// Any matrix's elements, read once, column-major as std::complex: the
// measures below then read no element per product term (which at order 200
// would take minutes).
struct Snapshot {
  int m = 0, n = 0;
  std::vector<std::complex<double>> v;

  Snapshot() = default;
  Snapshot(int rows, int cols) : m(rows), n(cols), v(static_cast<std::size_t>(rows) * cols) {}
  template <class A>
  explicit Snapshot(const A& a) : Snapshot(a.get_RowNum(), a.get_ColNum()) {
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < m; ++i) (*this)(i, j) = ToStd(a.get_Item(i, j));
  }
  static std::complex<double> ToStd(double x) { return x; }
  static std::complex<double> ToStd(OrvaneNet::Complex x) { return x.ToStdComplex(); }
  std::complex<double>& operator()(int i, int j) { return v[i + static_cast<std::size_t>(j) * m]; }
  std::complex<double> operator()(int i, int j) const {
    return v[i + static_cast<std::size_t>(j) * m];
  }
  // The largest modulus; NaN when an element is NaN.
  double MaxAbs() const {
    double r = 0;
    for (const auto& x : v)
      if (std::isnan(std::abs(x)) || std::abs(x) > r) r = std::abs(x);
    return r;
  }
  // This times y, or this^H times y.
  Snapshot Times(const Snapshot& y, bool adjoint = false) const {
    Snapshot p(adjoint ? n : m, y.n);
    for (int j = 0; j < y.n; ++j)
      for (int k = 0; k < y.m; ++k)
        for (int i = 0; i < p.m; ++i)
          p(i, j) += (adjoint ? std::conj((*this)(k, i)) : (*this)(i, k)) * y(k, j);
    return p;
  }
};

// max|A X - B| / (max|A| max|X| n eps): of order 1 for a backward-stable solve.
// A must hold the matrix itself (not its factors).
template <class A, class X>
double Residual(const A& a0, const X& x0, const X& b0) {
  const Snapshot a(a0), x(x0), b(b0), ax = a.Times(x);
  double r = 0;
  for (std::size_t k = 0; k < b.v.size(); ++k) r = std::max(r, std::abs(ax.v[k] - b.v[k]));
  return r / (std::max(a.MaxAbs() * x.MaxAbs(), 1e-300) * std::max(1, a.n) * Eps());
}

// The element of type E (double or Complex) nearest to re + i im.
template <class E>
E Element(double re, double im) {
  if constexpr (std::is_same_v<E, double>) {
    return re;
  } else {
    return E(re, im);
  }
}

// The two handles, for typed tests.
using Handles = ::testing::Types<OrvaneNet::Matrix, OrvaneNet::ComplexMatrix>;

// The six kinds of a handle H by form: 0 general, 1 band, 2 tridiagonal, 3 to
// 5 the same but symmetric (real) or Hermitian (complex). The complex kinds
// follow the real ones in MatrixType.
template <class H>
OrvaneNet::MatrixType KindType(int form) {
  return static_cast<OrvaneNet::MatrixType>(form + (std::is_same_v<ElementOf<H>, double> ? 0 : 6));
}

// An n x n handle of the kind; kl and ku are the band kinds' widths.
template <class H>
H MakeKind(int form, int n, int kl = 1, int ku = 1) {
  return form % 3 == 1 ? H(n, n, KindType<H>(form), kl, ku) : H(n, n, KindType<H>(form));
}

// An n x n internal kind M (src/kinds); kl and ku are the band kinds' widths.
template <class M>
M MakeOrder(int n, int kl = 1, int ku = 1) {
  if constexpr (static_cast<int>(M::kType) % 3 == 1) {
    return M(n, n, kl, ku);
  } else {
    return M(n, n);
  }
}

// The tridiagonal pattern, which every kind holds, written through the
// element proxy: diagonal + i on the diagonal and next to it values exact in
// two decimals, complex for the complex kinds and different above and below,
// so that the general kinds hold an asymmetric matrix. In the symmetric kinds
// the later write, below the diagonal, wins. Diagonally dominant for a
// diagonal of 2 or more.
template <class H>
H Filled(H a, double diagonal = 2.0) {
  using E = ElementOf<H>;
  for (int i = 0; i < a.get_RowNum(); ++i) {
    a(i, i) = E(diagonal + i);
    if (i + 1 == a.get_RowNum()) continue;
    a(i, i + 1) = Element<E>(0.5 + 0.25 * i, -0.75);
    a(i + 1, i) = Element<E>(-0.5 - 0.25 * i, 0.5);
  }
  return a;
}

// What the positive definite kinds (form 4 band, 5 tridiagonal) say of a
// matrix that is not.
template <class H>
std::string NotPositiveDefinite(int form) {
  if (std::is_same_v<ElementOf<H>, double>) {
    return "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is "
           "not supported by LAPACK. Please use Matrix::DoubleSymmetrix.";
  }
  return std::string("This matrix is not positive definite. Hermitian ") +
         (form == 4 ? "band" : "tridiagonal") +
         " indefinite matrix is not supported by LAPACK. Please use Matrix::ComplexHermitian.";
}

template <class M>
M Identity(int n) {
  M a(n, n);
  for (int i = 0; i < n; ++i) a.set_Item(i, i, ElementOf<M>(1.0));
  return a;
}

// `factored` holds the factors of `a` (a kind with Invert). Inverts it and
// checks A A^-1 = I, then that the stored inverse is used as a plain matrix:
// a Solve multiplies by it and a second Invert gives A back.
template <class K, class X>
void ExpectInvertThenReuse(K& factored, const K& a, const X& rhs, double tolerance) {
  const int n = a.get_RowNum();
  factored.Invert();
  EXPECT_TRUE(factored.get_IsFactorized());
  const K inverse(factored);
  EXPECT_LT(Residual(a, inverse, Identity<K>(n)), tolerance);
  X z(rhs);
  factored.Solve(z);  // inverse * z = rhs
  EXPECT_LT(Residual(inverse, z, rhs), tolerance);
  K again(inverse);
  again.Invert();
  EXPECT_LT(Residual(inverse, again, Identity<K>(n)), tolerance);
}

// max|Z^H B Z - I| / (n eps); B = nullptr for the identity.
template <class G, class M>
double OrthonormalityError(const G& z0, const M* b) {
  const Snapshot z(z0), zbz = z.Times(b == nullptr ? z : Snapshot(*b).Times(z), true);
  double r = 0;
  for (int i = 0; i < z.n; ++i)
    for (int j = 0; j < z.n; ++j) r = std::max(r, std::abs(zbz(i, j) - (i == j ? 1.0 : 0.0)));
  return r / (std::max(1, z.n) * Eps());
}

// max|A z_k - w_k B z_k| / ((max|A| + |w_k| max|B|) max|Z| n eps); B = nullptr for I.
template <class M, class G>
double EigenResidual(const M& a0, const M* b0, const std::vector<double>& w, const G& z0) {
  const Snapshot a(a0), z(z0), b = b0 == nullptr ? Snapshot() : Snapshot(*b0);
  const Snapshot az = a.Times(z), bz = b0 == nullptr ? z : b.Times(z);
  const double normA = a.MaxAbs(), normB = b0 == nullptr ? 1.0 : b.MaxAbs(), normZ = z.MaxAbs();
  double r = 0;
  for (int k = 0; k < a.n; ++k)
    for (int i = 0; i < a.n; ++i)
      r = std::max(r, std::abs(az(i, k) - bz(i, k) * w[k]) /
                          ((normA + std::fabs(w[k]) * normB) * normZ));
  return r / (std::max(1, a.n) * Eps());
}

}  // namespace orvane_test
