// The model behind the stateful tests. Each pool entry (the matrix a seed
// creates, and its clones) carries:
//   a      the matrix the entry stands for (the logical matrix),
//   reads  what every element read must return, exactly,
//   flag   what IsFactorized must read,
//   state  Plain (reads = a), Factored (reads = the factors the library
//          produced for a) or Inverse (Inv() done: reads = a = the inverse).
// A write to a factorized matrix changes one element of its factors: the
// model then takes the factors as read for a and applies the write, which is
// the documented contract. Numbers are checked against Eigen computed on a:
// solutions by backward and forward error (the latter scaled by the condition
// number), factors by reconstruction, inverses, products, file round trips.
#include "stateful/Harness.h"

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/OrvaneException.h>
#include <unistd.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <typeinfo>
#include <vector>

namespace orvane_stateful {
namespace {

using OrvaneNet::ComplexMatrix;
using OrvaneNet::LinearEquation;
using OrvaneNet::Matrix;
using OrvaneNet::MatrixFormatter;
using OrvaneNet::MatrixType;
using OrvaneNet::OrvaneException;

constexpr double kEps = std::numeric_limits<double>::epsilon();
// Beyond this condition number a system counts as singular: its solution and
// inverse are not compared, and exact-singularity errors may or may not come.
constexpr double kSingularCondition = 1e12;

// ---------------------------------------------------------------- messages
// The library's texts, written out here byte for byte.
const std::string kSolveNotSquare = "Matrix size m != n is not supported.";
const std::string kInvNotSquare = "The matrix must be square for this operation.";
const std::string kRhsNotGeneral = "Matrix b must be general matrix.";
const std::string kZptsv =
    "The routine for solving linear equation (zptsv) may not work. Please factorize first then "
    "solve.";
const std::string kSingularD =
    "The factorization has been completed, but D is exactly singular. Division by 0 will occur "
    "if you use D for solving a system of linear equations.";
const std::string kSingularDNoSolution =
    "The factorization has been completed, but D is exactly singular, so the solution could not "
    "be computed.";
const std::string kSingularInversion =
    "The matrix is exactly singular (the *-th diagonal element of U is zero), so its inverse "
    "could not be computed.";
const std::string kAlias = "A result matrix must be a different object from the input matrices.";
const std::string kProductShape =
    "Column size of left matrix must be equal to row size of right matrix.";
const std::string kNotTridiagonal = "The specified element doesn't fit to tridiagonal matrix.";
const std::string kHermitianTridiagonalDiagonal =
    "Hermitian tridiagonal indefinite matrix is not supported by LAPACK. Please use "
    "Matrix::ComplexHermitian.";
const std::string kHermitianDiagonal = "A diagonal element of a Hermitian matrix must be real.";
const std::string kSymmetricNotPd =
    "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
    "supported by LAPACK. Please use Matrix::DoubleSymmetrix.";
const std::string kHermitianTridiagonalNotPd =
    "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
    "supported by LAPACK. Please use Matrix::ComplexHermitian.";
const std::string kHermitianBandNotPd =
    "This matrix is not positive definite. Hermitian band indefinite matrix is not supported by "
    "LAPACK. Please use Matrix::ComplexHermitian.";
const std::string kBandInversion = "Inversion of banded matrix is not supported by LAPACK.";
const std::string kTridiagonalInversion =
    "Inversion of tridiagonal matrix is not supported by LAPACK.";
const std::string kComplexBandInversion =
    "Inversion for gengeral band matrix is not supported by lapack.";
const std::string kComplexTridiagonalInversion =
    "Inversion for gengeral tridiagonal matrix is not supported by lapack.";

std::string RangeMessage(int i, int j) {
  return "(" + std::to_string(i) + ", " + std::to_string(j) + ") is out of range.";
}

// ------------------------------------------------------------- sequences
enum class Base {
  General,
  GeneralBand,
  GeneralTridiagonal,
  Symmetric,
  SymmetricBand,
  SymmetricTridiagonal
};

const char* const kKindNames[12] = {
    "DoubleGeneral",    "DoubleGeneralBand",    "DoubleGeneralTridiagonal",
    "DoubleSymmetric",  "DoubleSymmetricBand",  "DoubleSymmetricTridiagonal",
    "ComplexGeneral",   "ComplexGeneralBand",   "ComplexGeneralTridiagonal",
    "ComplexHermitian", "ComplexHermitianBand", "ComplexHermitianTridiagonal"};

// rows x cols; kl and ku for the band kinds (equal for the symmetric band);
// form picks among the constructors that make the kind.
struct Shape {
  int rows = 0, cols = 0, kl = 0, ku = 0, form = 0;
};

enum class Code {
  Fill,
  Write,
  WriteOutside,
  OutOfRange,
  Factorize,
  Solve,
  SolveWrongRows,
  SolveWrongKind,
  SolveSelf,
  Inv,
  Clone,
  Product,
  Scale,
  SaveLoad,
  RowCol
};

// All the randomness of one step, drawn when the sequence is generated; the
// step maps it onto the shape when it runs, so any subsequence still runs.
struct Op {
  Code code;
  std::uint32_t target, u1, u2, u3;
  double v1, v2;
  std::uint64_t sub;
};

struct Sequence {
  std::uint64_t seed = 0;
  int kind = 0;
  Shape shape;
  std::vector<Op> ops;
};

int RandomOrder(std::mt19937_64& rng) {
  const int r = static_cast<int>(rng() % 100);
  if (r < 4) return 0;
  if (r < 12) return 1;
  if (r < 40) return 2 + static_cast<int>(rng() % 3);
  if (r < 80) return 5 + static_cast<int>(rng() % 8);
  return 13 + static_cast<int>(rng() % 28);
}

int RandomBandCount(std::mt19937_64& rng, int n) {
  const int r = static_cast<int>(rng() % 10);
  if (r < 7) return static_cast<int>(rng() % 4);
  return static_cast<int>(rng() % static_cast<std::uint64_t>(n + 2));
}

Code RandomCode(std::mt19937_64& rng, Base base, bool complex) {
  // Weights in per mille; the Hermitian tridiagonal kind solves only after
  // Factorize, so it factorizes more often.
  const bool hermTri = complex && base == Base::SymmetricTridiagonal;
  const std::pair<Code, int> table[] = {{Code::Fill, 70},
                                        {Code::Write, 180},
                                        {Code::WriteOutside, 50},
                                        {Code::OutOfRange, 15},
                                        {Code::Factorize, hermTri ? 200 : 100},
                                        {Code::Solve, 200},
                                        {Code::SolveWrongRows, 15},
                                        {Code::SolveWrongKind, 15},
                                        {Code::SolveSelf, 15},
                                        {Code::Inv, 80},
                                        {Code::Clone, 50},
                                        {Code::Product, 50},
                                        {Code::Scale, 25},
                                        {Code::SaveLoad, 40},
                                        {Code::RowCol, 30}};
  int total = 0;
  for (auto& [code, w] : table) total += w;
  int r = static_cast<int>(rng() % static_cast<std::uint64_t>(total));
  for (auto& [code, w] : table) {
    if (r < w) return code;
    r -= w;
  }
  return Code::Write;
}

Sequence Generate(std::uint64_t seed, int steps) {
  std::mt19937_64 rng(seed);
  Sequence s;
  s.seed = seed;
  s.kind = KindOfSeed(seed);
  const Base base = static_cast<Base>(s.kind % 6);
  const int n = RandomOrder(rng);
  s.shape.rows = s.shape.cols = n;
  s.shape.form = static_cast<int>(rng() % 3);
  if (base == Base::General && rng() % 4 == 0) s.shape.cols = RandomOrder(rng);
  if (base == Base::GeneralBand) {
    s.shape.kl = RandomBandCount(rng, n);
    s.shape.ku = s.shape.form == 2 ? s.shape.kl : RandomBandCount(rng, n);
  } else if (base == Base::SymmetricBand) {
    s.shape.kl = s.shape.ku = RandomBandCount(rng, n);
  }
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int k = 0; k < steps; ++k) {
    Op op{};
    // Most sequences start from a filled matrix.
    op.code = k == 0 && rng() % 10 != 0 ? Code::Fill : RandomCode(rng, base, s.kind >= 6);
    op.target = static_cast<std::uint32_t>(rng());
    op.u1 = static_cast<std::uint32_t>(rng());
    op.u2 = static_cast<std::uint32_t>(rng());
    op.u3 = static_cast<std::uint32_t>(rng());
    const double scale = rng() % 4 == 0 ? 4.0 : 1.0;
    op.v1 = scale * unit(rng);
    op.v2 = scale * unit(rng);
    op.sub = rng();
    s.ops.push_back(op);
  }
  return s;
}

// ----------------------------------------------------------- the checks
struct Mismatch {
  std::string label;
  std::string detail;
};

[[noreturn]] void Fail(const std::string& label, const std::string& detail) {
  throw Mismatch{label, detail};
}

std::string Num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}
std::string Num(std::complex<double> v) { return "(" + Num(v.real()) + ", " + Num(v.imag()) + ")"; }

// What an operation threw.
struct Thrown {
  enum Kind { None, Orvane, BadCast, Other } kind = None;
  std::string what;
};

template <class F>
Thrown Capture(F&& f) {
  try {
    f();
    return {};
  } catch (const OrvaneException& e) {
    return {Thrown::Orvane, e.what()};
  } catch (const std::bad_cast& e) {
    return {Thrown::BadCast, e.what()};
  } catch (const std::exception& e) {
    return {Thrown::Other, e.what()};
  }
}

std::string Describe(const Thrown& t) {
  switch (t.kind) {
    case Thrown::None:
      return "no exception";
    case Thrown::Orvane:
      return "OrvaneException \"" + t.what + "\"";
    case Thrown::BadCast:
      return "std::bad_cast";
    case Thrown::Other:
      return "other exception \"" + t.what + "\"";
  }
  return "";
}

// `pattern` is the text itself, or holds one '*' standing for any text.
bool Matches(const std::string& text, const std::string& pattern) {
  const auto star = pattern.find('*');
  if (star == std::string::npos) return text == pattern;
  const std::string head = pattern.substr(0, star), tail = pattern.substr(star + 1);
  return text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void ExpectNone(const Thrown& t) {
  if (t.kind != Thrown::None) Fail("outcome", "expected success, got " + Describe(t));
}

void ExpectOrvane(const Thrown& t, const std::string& pattern) {
  if (t.kind != Thrown::Orvane || !Matches(t.what, pattern)) {
    Fail("outcome", "expected OrvaneException \"" + pattern + "\", got " + Describe(t));
  }
}

void ExpectBadCast(const Thrown& t) {
  if (t.kind != Thrown::BadCast) Fail("outcome", "expected std::bad_cast, got " + Describe(t));
}

// ------------------------------------------------------- field and model
template <class S>
using Mat = Eigen::Matrix<S, Eigen::Dynamic, Eigen::Dynamic>;

template <bool IsComplex>
struct Field;

template <>
struct Field<false> {
  using Handle = Matrix;
  using S = double;
  static S Get(const Handle& h, int i, int j) { return h.get_Item(i, j); }
  static void Set(Handle& h, int i, int j, S v) { h.set_Item(i, j, v); }
  static S Value(double re, double) { return re; }
  static double Imag(S) { return 0.0; }
};

template <>
struct Field<true> {
  using Handle = ComplexMatrix;
  using S = std::complex<double>;
  static S Get(const Handle& h, int i, int j) { return h.get_Item(i, j).ToStdComplex(); }
  static void Set(Handle& h, int i, int j, S v) { h.set_Item(i, j, OrvaneNet::Complex(v)); }
  static S Value(double re, double im) { return {re, im}; }
  static double Imag(S v) { return v.imag(); }
};

inline double Conj(double v) { return v; }
inline std::complex<double> Conj(std::complex<double> v) { return std::conj(v); }

template <class S>
bool Same(S x, S y) {
  auto same = [](double p, double q) { return p == q || (std::isnan(p) && std::isnan(q)); };
  return same(std::real(x), std::real(y)) && same(std::imag(x), std::imag(y));
}

template <class S>
double MaxAbs(const Mat<S>& m) {
  return m.size() == 0 ? 0.0 : m.cwiseAbs().maxCoeff();
}

// The 1-norm condition number; infinite for a singular or non-finite matrix.
template <class S>
double Condition(const Mat<S>& a) {
  if (a.rows() == 0) return 1.0;
  if (!a.allFinite()) return std::numeric_limits<double>::infinity();
  Eigen::FullPivLU<Mat<S>> lu(a);
  if (!lu.isInvertible()) return std::numeric_limits<double>::infinity();
  const Mat<S> inv = lu.inverse();
  const double c =
      a.cwiseAbs().colwise().sum().maxCoeff() * inv.cwiseAbs().colwise().sum().maxCoeff();
  return std::isfinite(c) ? c : std::numeric_limits<double>::infinity();
}

// +1: clearly positive definite, -1: clearly not, 0: too close to tell
// (a Cholesky factorization may go either way).
template <class S>
int Definiteness(const Mat<S>& a) {
  const int n = static_cast<int>(a.rows());
  if (n == 0) return 1;
  if (!a.allFinite()) return 0;
  Eigen::SelfAdjointEigenSolver<Mat<S>> es(a, Eigen::EigenvaluesOnly);
  const auto& w = es.eigenvalues();
  const double margin = 1e3 * n * kEps * w.cwiseAbs().maxCoeff();
  if (w.minCoeff() > margin) return 1;
  if (w.minCoeff() < -margin) return -1;
  return 0;
}

enum class State { Plain, Factored, Inverse };

const char* StateName(State s) {
  return s == State::Plain ? "plain" : s == State::Factored ? "factored" : "holds its inverse";
}

template <bool IsComplex>
struct Entry {
  using F = Field<IsComplex>;
  typename F::Handle h;
  Mat<typename F::S> a, reads;
  bool flag = false;
  State state = State::Plain;
};

// What a factorization is expected to do.
struct Prediction {
  enum Outcome { Success, Failure, Either } outcome = Success;
  std::string message;
};

std::string TempFile() {
  return (std::filesystem::temp_directory_path() /
          ("orvane_stateful_" + std::to_string(::getpid()) + ".txt"))
      .string();
}

// --------------------------------------------------------------- runner
template <bool IsComplex>
class Runner {
  using F = Field<IsComplex>;
  using S = typename F::S;
  using M = Mat<S>;
  using H = typename F::Handle;
  using E = Entry<IsComplex>;

 public:
  Runner(const Sequence& seq, std::vector<std::string>* log, long long* operations)
      : m_seq(seq), m_base(static_cast<Base>(seq.kind % 6)), m_log(log), m_operations(operations) {}

  // Throws Mismatch, its detail naming the step.
  void Run() {
    const Shape& s = m_seq.shape;
    m_pool.push_back(E{Make(), M::Zero(s.rows, s.cols), M::Zero(s.rows, s.cols)});
    CheckAll("construction");
    for (std::size_t k = 0; k < m_seq.ops.size(); ++k) {
      m_line.clear();
      try {
        Apply(m_seq.ops[k]);
        CheckAll("after the step");
      } catch (Mismatch& m) {
        Log();
        m.detail = "step " + std::to_string(k) + ": " + m.detail;
        throw;
      }
      Log();
      if (m_operations) ++*m_operations;
    }
  }

 private:
  // ------------------------------------------------------------ shape
  int Rows() const { return m_seq.shape.rows; }
  int Cols() const { return m_seq.shape.cols; }
  bool Hermitian() const { return m_base >= Base::Symmetric; }
  bool GeneralStructured() const {
    return m_base == Base::GeneralBand || m_base == Base::GeneralTridiagonal;
  }
  bool PositiveDefiniteOnly() const {
    return m_base == Base::SymmetricBand || m_base == Base::SymmetricTridiagonal;
  }
  bool Invertible() const { return m_base == Base::General || m_base == Base::Symmetric; }
  bool ComplexHermitianTridiagonal() const {
    return IsComplex && m_base == Base::SymmetricTridiagonal;
  }
  MatrixType Type() const { return static_cast<MatrixType>(m_seq.kind); }

  bool InPattern(int i, int j) const {
    const Shape& s = m_seq.shape;
    switch (m_base) {
      case Base::General:
      case Base::Symmetric:
        return true;
      case Base::GeneralBand:
        return j - i <= s.ku && i - j <= s.kl;
      case Base::SymmetricBand:
        return std::abs(i - j) <= s.ku;
      case Base::GeneralTridiagonal:
      case Base::SymmetricTridiagonal:
        return std::abs(i - j) <= 1;
    }
    return false;
  }

  H Make() const {
    const Shape& s = m_seq.shape;
    const int n = s.rows;
    switch (m_base) {
      case Base::General:
        return s.form == 0 ? H(s.rows, s.cols) : H(s.rows, s.cols, Type());
      case Base::GeneralBand:
        if (s.form == 2 && s.kl == s.ku && s.kl != 1) return H(n, n, 2 * s.kl + 1);
        return s.form == 1 ? H(n, n, Type(), s.kl, s.ku) : H(n, n, s.kl, s.ku);
      case Base::GeneralTridiagonal:
        return s.form == 0 ? H(n, n, 3) : H(n, n, Type());
      case Base::SymmetricBand:
        return H(n, n, Type(), s.ku, s.ku);
      case Base::Symmetric:
      case Base::SymmetricTridiagonal:
        return H(n, n, Type());
    }
    return H();
  }

  std::string NotPositiveDefiniteMessage() const {
    if (!IsComplex) return kSymmetricNotPd;
    return m_base == Base::SymmetricBand ? kHermitianBandNotPd : kHermitianTridiagonalNotPd;
  }

  std::string InversionMessage() const {
    if (m_base == Base::GeneralBand) return IsComplex ? kComplexBandInversion : kBandInversion;
    if (m_base == Base::GeneralTridiagonal) {
      return IsComplex ? kComplexTridiagonalInversion : kTridiagonalInversion;
    }
    return m_base == Base::SymmetricBand ? kBandInversion : kTridiagonalInversion;
  }

  // ---------------------------------------------------------- helpers
  void Note(const std::string& text) { m_line += text; }
  void Log() {
    if (m_log) m_log->push_back(m_line);
  }

  static M ReadAll(const H& h) {
    M m(h.get_RowNum(), h.get_ColNum());
    for (int j = 0; j < m.cols(); ++j)
      for (int i = 0; i < m.rows(); ++i) m(i, j) = F::Get(h, i, j);
    return m;
  }

  static H ToHandle(const M& m) {
    H h(static_cast<int>(m.rows()), static_cast<int>(m.cols()));
    for (int j = 0; j < m.cols(); ++j)
      for (int i = 0; i < m.rows(); ++i) F::Set(h, i, j, m(i, j));
    return h;
  }

  static M Random(int rows, int cols, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    M m(rows, cols);
    for (int j = 0; j < cols; ++j)
      for (int i = 0; i < rows; ++i) {
        const double re = unit(rng);
        m(i, j) = F::Value(re, unit(rng));
      }
    return m;
  }

  static void ExpectEqual(const M& got, const M& want, const std::string& what) {
    if (got.rows() != want.rows() || got.cols() != want.cols()) {
      Fail(what, "shape " + std::to_string(got.rows()) + " x " + std::to_string(got.cols()) +
                     ", expected " + std::to_string(want.rows()) + " x " +
                     std::to_string(want.cols()));
    }
    for (int j = 0; j < got.cols(); ++j)
      for (int i = 0; i < got.rows(); ++i)
        if (!Same(got(i, j), want(i, j))) {
          Fail(what, "element (" + std::to_string(i) + ", " + std::to_string(j) + ") reads " +
                         Num(got(i, j)) + ", expected " + Num(want(i, j)));
        }
  }

  void CheckAll(const char* when) {
    for (std::size_t k = 0; k < m_pool.size(); ++k) {
      const E& e = m_pool[k];
      const std::string who = "a" + std::to_string(k) + " " + when;
      if (e.h.get_Type() != Type() || e.h.get_RowNum() != Rows() || e.h.get_ColNum() != Cols()) {
        Fail("shape", who + ": type or shape changed");
      }
      if (e.h.get_IsFactorized() != e.flag) {
        Fail("flag", who + ": IsFactorized reads " + (e.flag ? "false" : "true") +
                         ", model: " + StateName(e.state));
      }
      ExpectEqual(ReadAll(e.h), e.reads, "reads of " + who + " (" + StateName(e.state) + ")");
    }
  }

  E& Target(const Op& op) {
    const std::size_t k = op.target % m_pool.size();
    Note("a" + std::to_string(k) + ".");
    return m_pool[k];
  }

  // ------------------------------------------------------ predictions
  Prediction PredictFactorization(const M& a, bool driver) const {
    if (a.rows() == 0 || m_base == Base::General || GeneralStructured()) return {};
    if (m_base == Base::Symmetric) {
      if (Condition<S>(a) > kSingularCondition) {
        return {Prediction::Either, driver ? kSingularDNoSolution : kSingularD};
      }
      return {};
    }
    const int d = Definiteness<S>(a);
    return {d > 0   ? Prediction::Success
            : d < 0 ? Prediction::Failure
                    : Prediction::Either,
            NotPositiveDefiniteMessage()};
  }

  // After a factorization that threw: checks the exception against p and
  // puts the entry back to its matrix. Returns false, or true when the
  // factorization succeeded.
  bool Factorized(E& e, const Thrown& t, const Prediction& p) {
    if (t.kind == Thrown::None) {
      if (p.outcome == Prediction::Failure)
        Fail("outcome", "succeeded, expected \"" + p.message + "\"");
      return true;
    }
    if (p.outcome == Prediction::Success) Fail("outcome", "expected success, got " + Describe(t));
    ExpectOrvane(t, p.message);
    Note(" [refused: not factorizable]");
    e.flag = false;
    e.state = State::Plain;
    e.reads = e.a;
    return false;
  }

  // The entry now holds the factors of e.a: record them and check them.
  void SetFactored(E& e) {
    e.flag = true;
    e.state = State::Factored;
    e.reads = ReadAll(e.h);
    CheckFactors(e.a, e.reads);
  }

  void CheckFactors(const M& a, const M& f) const {
    if (!a.allFinite()) return;  // a solution of a singular system, solved into a matrix
    switch (m_base) {
      case Base::General:
        return CheckLu(a, f);
      case Base::Symmetric:
        if (Definiteness<S>(a) > 0) CheckCholesky(a, f);
        return;
      case Base::SymmetricBand:
        return CheckCholesky(a, f);
      case Base::SymmetricTridiagonal:
        return CheckLdl(a, f);
      default:
        return;
    }
  }

  // P A = L U: every row of L U is a different row of A, to rounding.
  static void CheckLu(const M& a, const M& f) {
    const int m = static_cast<int>(a.rows()), n = static_cast<int>(a.cols()), k = std::min(m, n);
    if (k == 0) return;
    M l = M::Identity(m, k), u = M::Zero(k, n);
    for (int j = 0; j < k; ++j)
      for (int i = j + 1; i < m; ++i) l(i, j) = f(i, j);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i <= std::min(j, k - 1); ++i) u(i, j) = f(i, j);
    const M lu = l * u;
    const Eigen::MatrixXd bound = l.cwiseAbs() * u.cwiseAbs();
    const double tol = 100.0 * k * kEps * bound.maxCoeff() + 1e-300;
    std::vector<bool> used(static_cast<std::size_t>(m), false);
    for (int r = 0; r < m; ++r) {
      int match = -1;
      for (int s = 0; s < m && match < 0; ++s)
        if (!used[s] && (lu.row(r) - a.row(s)).cwiseAbs().maxCoeff() <= tol) match = s;
      if (match < 0) {
        Fail("factors",
             "row " + std::to_string(r) + " of L*U from the stored factors is no row of A");
      }
      used[match] = true;
    }
  }

  // A = U^H U with U the stored upper triangle.
  static void CheckCholesky(const M& a, const M& f) {
    const int n = static_cast<int>(a.rows());
    if (n == 0) return;
    const M u = f.template triangularView<Eigen::Upper>();
    const double err = MaxAbs<S>(M(u.adjoint() * u - a));
    const double tol = 100.0 * n * kEps * (u.cwiseAbs().transpose() * u.cwiseAbs()).maxCoeff();
    if (!(err <= tol)) Fail("factors", "U^H U differs from A by " + Num(err) + " > " + Num(tol));
  }

  // A = U^H D U with D the stored diagonal and U unit upper bidiagonal.
  static void CheckLdl(const M& a, const M& f) {
    const int n = static_cast<int>(a.rows());
    if (n == 0) return;
    M u = M::Identity(n, n), d = M::Zero(n, n);
    for (int i = 0; i < n; ++i) {
      d(i, i) = f(i, i);
      if (i + 1 < n) u(i, i + 1) = f(i, i + 1);
    }
    const double err = MaxAbs<S>(M(u.adjoint() * d * u - a));
    const double tol =
        100.0 * n * kEps * (u.cwiseAbs().transpose() * d.cwiseAbs() * u.cwiseAbs()).maxCoeff();
    if (!(err <= tol)) Fail("factors", "U^H D U differs from A by " + Num(err) + " > " + Num(tol));
  }

  // x solves a x = b: backward error always, forward error against Eigen
  // scaled by the condition number.
  static void CheckSolution(const M& a, const M& b, const M& x) {
    if (x.rows() != b.rows() || x.cols() != b.cols()) Fail("solution", "shape changed");
    const int n = static_cast<int>(a.rows());
    if (n == 0 || b.cols() == 0 || !b.allFinite()) return;
    const double cond = Condition<S>(a);
    if (!(cond < kSingularCondition)) return;
    if (!x.allFinite()) Fail("solution", "not finite, condition number " + Num(cond));
    const double normA = a.cwiseAbs().rowwise().sum().maxCoeff();
    const double residual = MaxAbs<S>(M(a * x - b));
    const double rtol = 100.0 * n * kEps * (normA * MaxAbs<S>(x) + MaxAbs<S>(b));
    if (!(residual <= rtol)) {
      Fail("solution",
           "residual " + Num(residual) + " > " + Num(rtol) + " (condition " + Num(cond) + ")");
    }
    const M ref = a.fullPivLu().solve(b);
    const double err = MaxAbs<S>(M(x - ref));
    const double ftol = 100.0 * n * kEps * cond * MaxAbs<S>(ref) + 1e-300;
    if (!(err <= ftol)) {
      Fail("solution", "differs from the reference by " + Num(err) + " > " + Num(ftol) +
                           " (condition " + Num(cond) + ")");
    }
  }

  static void CheckInverse(const M& a, const M& x) {
    const int n = static_cast<int>(a.rows());
    if (n == 0) return;
    const double cond = Condition<S>(a);
    if (!(cond < kSingularCondition)) return;
    if (!x.allFinite()) Fail("inverse", "not finite, condition number " + Num(cond));
    const M ref = a.fullPivLu().inverse();
    const double err = MaxAbs<S>(M(x - ref));
    const double tol = 100.0 * n * kEps * cond * MaxAbs<S>(ref);
    if (!(err <= tol)) {
      Fail("inverse", "differs from the reference by " + Num(err) + " > " + Num(tol) +
                          " (condition " + Num(cond) + ")");
    }
  }

  // ------------------------------------------------------- operations
  void Apply(const Op& op) {
    switch (op.code) {
      case Code::Fill:
        return Fill(op);
      case Code::Write:
        return WriteInside(op);
      case Code::WriteOutside:
        return WriteOutside(op);
      case Code::OutOfRange:
        return OutOfRange(op);
      case Code::Factorize:
        return Factorize(op);
      case Code::Solve:
        return Solve(op);
      case Code::SolveWrongRows:
        return SolveWrongRows(op);
      case Code::SolveWrongKind:
        return SolveWrongKind(op);
      case Code::SolveSelf:
        return SolveSelf(op);
      case Code::Inv:
        return Inv(op);
      case Code::Clone:
        return Clone(op);
      case Code::Product:
        return Product(op);
      case Code::Scale:
        return Scale(op);
      case Code::SaveLoad:
        return SaveLoad(op);
      case Code::RowCol:
        return RowCol(op);
    }
  }

  // One element write through the handle, in the library and the model.
  void WriteElement(E& e, int i, int j, S v) {
    const Thrown t = Capture([&] { F::Set(e.h, i, j, v); });
    if (IsComplex && Hermitian() && i == j && F::Imag(v) != 0.0) {
      ExpectOrvane(t, m_base == Base::SymmetricTridiagonal ? kHermitianTridiagonalDiagonal
                                                           : kHermitianDiagonal);
      return;
    }
    if (!InPattern(i, j)) {
      if (!GeneralStructured() || v == S(0)) return ExpectNone(t);  // ignored
      ExpectOrvane(
          t, m_base == Base::GeneralTridiagonal
                 ? kNotTridiagonal
                 : "Value *doesn't fit to (" + std::to_string(i) + ", " + std::to_string(j) + ")");
      return;
    }
    ExpectNone(t);
    if (e.state == State::Factored) e.a = e.reads;  // the write changes the factors
    e.a(i, j) = v;
    if (Hermitian()) e.a(j, i) = Conj(v);
    e.reads = e.a;
    e.flag = false;
    e.state = State::Plain;
  }

  // Every element of the pattern (the symmetric kinds: one triangle).
  void Fill(const Op& op) {
    E& e = Target(op);
    std::mt19937_64 rng(op.sub);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const int style = static_cast<int>(op.u1 % 8);
    const bool upper = op.u3 % 2 == 0;
    const int n = Rows();
    int width = n;
    if (m_base == Base::GeneralBand) width = m_seq.shape.kl + m_seq.shape.ku + 1;
    if (m_base == Base::SymmetricBand) width = 2 * m_seq.shape.ku + 1;
    if (m_base == Base::GeneralTridiagonal || m_base == Base::SymmetricTridiagonal) width = 3;
    // Mostly diagonally dominant (positive definite for the symmetric kinds);
    // style 7 has a zero row and column.
    const bool dominant =
        m_base == Base::General ? style < 2 || style == 7 : style < 5 || style == 7;
    const double shift = dominant ? width + 1.0 : 0.0;
    const int zero =
        style == 7 && n > 0 ? static_cast<int>(op.u2 % static_cast<std::uint32_t>(n)) : -1;
    Note("Fill(style " + std::to_string(style) + (upper ? ", upper" : ", lower") + ", sub-seed " +
         std::to_string(op.sub) + ")");
    for (int j = 0; j < Cols(); ++j)
      for (int i = 0; i < Rows(); ++i) {
        if (!InPattern(i, j) || (Hermitian() && (upper ? i > j : i < j))) continue;
        const double re = unit(rng);
        S v = F::Value(re, unit(rng));
        if (i == j) v = (Hermitian() ? S(re) : v) + S(shift);
        if (i == zero || j == zero) v = S(0);
        WriteElement(e, i, j, v);
      }
  }

  S OpValue(const Op& op, bool diagonal) const {
    S v = F::Value(op.v1, op.v2);
    if (op.u3 % 5 == 1) v = S(0);
    if (diagonal && op.u3 % 5 == 2) v = S(std::fabs(op.v1) * 3 + Rows());
    // A Hermitian diagonal element is real; now and then one is not (and is refused).
    if (diagonal && Hermitian() && op.u3 % 8 != 0) v = S(std::real(v));
    return v;
  }

  void WriteInside(const Op& op) {
    E& e = Target(op);
    if (Rows() == 0 || Cols() == 0) return Note("write (no element)");
    const Shape& s = m_seq.shape;
    int i = static_cast<int>(op.u1 % static_cast<std::uint32_t>(Rows()));
    int j = static_cast<int>(op.u2 % static_cast<std::uint32_t>(Cols()));
    if (m_base != Base::General && m_base != Base::Symmetric) {
      const int below = m_base == Base::GeneralBand     ? s.kl
                        : m_base == Base::SymmetricBand ? s.ku
                                                        : 1;
      const int above = m_base == Base::GeneralBand || m_base == Base::SymmetricBand ? s.ku : 1;
      const int offset =
          static_cast<int>(op.u2 % static_cast<std::uint32_t>(below + above + 1)) - below;
      j = std::clamp(i + offset, 0, Rows() - 1);
    }
    const S v = OpValue(op, i == j);
    Note("(" + std::to_string(i) + ", " + std::to_string(j) + ") = " + Num(v));
    WriteElement(e, i, j, v);
  }

  void WriteOutside(const Op& op) {
    if (m_base == Base::General || m_base == Base::Symmetric) return OutOfRange(op);
    E& e = Target(op);
    std::vector<std::pair<int, int>> outside;
    for (int j = 0; j < Cols(); ++j)
      for (int i = 0; i < Rows(); ++i)
        if (!InPattern(i, j)) outside.emplace_back(i, j);
    if (outside.empty()) return Note("write outside (every element is inside)");
    const auto [i, j] = outside[op.u2 % outside.size()];
    const S v = op.u3 % 2 == 0 ? S(0) : F::Value(op.v1 == 0 ? 0.5 : op.v1, op.v2);
    Note("(" + std::to_string(i) + ", " + std::to_string(j) + ") = " + Num(v) +
         " outside the pattern");
    WriteElement(e, i, j, v);
  }

  void OutOfRange(const Op& op) {
    E& e = Target(op);
    int i = static_cast<int>(op.u1 % static_cast<std::uint32_t>(Rows() + 2)) - 1;
    int j = static_cast<int>(op.u2 % static_cast<std::uint32_t>(Cols() + 2)) - 1;
    if (i >= 0 && i < Rows() && j >= 0 && j < Cols()) (op.u3 % 2 ? i : j) = -1;
    const bool write = op.u3 % 4 < 2;
    Note(std::string(write ? "set_Item" : "get_Item") + "(" + std::to_string(i) + ", " +
         std::to_string(j) + ") out of range");
    const Thrown t = Capture([&] {
      if (write) {
        F::Set(e.h, i, j, S(1));
      } else {
        (void)F::Get(e.h, i, j);
      }
    });
    ExpectOrvane(t, RangeMessage(i, j));
  }

  void Factorize(const Op& op) {
    E& e = Target(op);
    Note("Factorize");
    const Thrown t = Capture([&] { LinearEquation::Factorize(e.h); });
    if (e.flag && e.state == State::Factored) return ExpectNone(t);  // already factorized
    if (Factorized(e, t, PredictFactorization(e.a, false))) SetFactored(e);
  }

  int RhsCount(const Op& op) const {
    const int r = static_cast<int>(op.u1 % 10);
    if (r < 2) return 0;
    if (r < 7) return 1;
    return 2 + static_cast<int>(op.u2 % 4);
  }

  void Solve(const Op& op) {
    E& e = Target(op);
    if (m_base == Base::General && m_pool.size() > 1 && op.u3 % 4 == 0) return SolveInto(e, op);
    std::mt19937_64 rng(op.sub);
    const int k = RhsCount(op);
    const M bm = Random(Rows(), k, rng);
    H b = ToHandle(bm);
    Note("Solve(b " + std::to_string(Rows()) + " x " + std::to_string(k) + ")");
    const Thrown t = Capture([&] { LinearEquation::Solve(e.h, b); });
    if (Rows() != Cols()) {
      ExpectOrvane(t, kSolveNotSquare);
      return ExpectEqual(ReadAll(b), bm, "b after a refused solve");
    }
    if (e.flag && e.state == State::Factored) {
      ExpectNone(t);
      return CheckSolution(e.a, bm, ReadAll(b));
    }
    if (ComplexHermitianTridiagonal()) {
      ExpectOrvane(t, kZptsv);
      return ExpectEqual(ReadAll(b), bm, "b after a refused solve");
    }
    Note(" (one call)");
    if (Factorized(e, t, PredictFactorization(e.a, true))) {
      CheckSolution(e.a, bm, ReadAll(b));
      SetFactored(e);
    } else {
      ExpectEqual(ReadAll(b), bm, "b after a failed solve");
    }
  }

  // The dense kinds also solve into another entry of the pool, which then
  // holds the solution as a plain matrix (whatever it held before).
  void SolveInto(E& e, const Op& op) {
    const std::size_t k = (op.target % m_pool.size() + 1) % m_pool.size();
    E& b = m_pool[k];
    Note("Solve(b = a" + std::to_string(k) + ")");
    const M bm = b.reads;
    const Thrown t = Capture([&] { LinearEquation::Solve(e.h, b.h); });
    if (Rows() != Cols()) return ExpectOrvane(t, kSolveNotSquare);
    ExpectNone(t);
    const M x = ReadAll(b.h);
    CheckSolution(e.a, bm, x);
    if (!(e.flag && e.state == State::Factored)) SetFactored(e);
    b.a = b.reads = x;
    b.flag = false;
    b.state = State::Plain;
  }

  // Refusals that come before anything is touched (nothing changes).
  void ExpectRefusal(E& e, const Thrown& t, const std::function<void()>& otherwise) {
    if (Rows() != Cols()) return ExpectOrvane(t, kSolveNotSquare);
    if (ComplexHermitianTridiagonal() && !e.flag) return ExpectOrvane(t, kZptsv);
    otherwise();
  }

  void SolveWrongRows(const Op& op) {
    E& e = Target(op);
    const int rows = Rows() > 0 && op.u1 % 2 ? Rows() - 1 : Rows() + 1;
    H b(rows, 1);
    Note("Solve(b " + std::to_string(rows) + " x 1: wrong row count)");
    const Thrown t = Capture([&] { LinearEquation::Solve(e.h, b); });
    ExpectRefusal(e, t, [&] {
      ExpectOrvane(t, "Matrix b must have " + std::to_string(Rows()) + " rows, not " +
                          std::to_string(rows) + ".");
    });
  }

  void SolveWrongKind(const Op& op) {
    E& e = Target(op);
    H b(Rows(), Rows(), 3);
    Note("Solve(b: a tridiagonal matrix)");
    const Thrown t = Capture([&] { LinearEquation::Solve(e.h, b); });
    ExpectRefusal(e, t, [&] {
      if (!IsComplex && m_base == Base::GeneralTridiagonal) return ExpectOrvane(t, kRhsNotGeneral);
      ExpectBadCast(t);
    });
  }

  void SolveSelf(const Op& op) {
    E& e = Target(op);
    Note("Solve(a, a)");
    const Thrown t = Capture([&] { LinearEquation::Solve(e.h, e.h); });
    ExpectOrvane(t, kAlias);
  }

  void Inv(const Op& op) {
    E& e = Target(op);
    Note("Inv()");
    const Thrown t = Capture([&] { e.h.Inv(); });
    if (Rows() != Cols()) return ExpectOrvane(t, kInvNotSquare);
    if (!Invertible()) {
      if (e.flag) return ExpectOrvane(t, InversionMessage());
      const Prediction p = PredictFactorization(e.a, false);
      if (t.kind == Thrown::Orvane && t.what == InversionMessage() &&
          p.outcome != Prediction::Failure) {
        return SetFactored(e);  // factorized, then refused
      }
      if (Factorized(e, t, p))
        Fail("outcome", "Inv() of a " + std::string(kKindNames[m_seq.kind]) + " returned");
      return;
    }
    const bool factorizes = !e.flag || e.state == State::Inverse;
    const Prediction p = factorizes ? PredictFactorization(e.a, false) : Prediction{};
    const bool singular = Condition<S>(e.a) > kSingularCondition;
    if (t.kind == Thrown::None) {
      if (p.outcome == Prediction::Failure)
        Fail("outcome", "Inv() succeeded, expected \"" + p.message + "\"");
      const M x = ReadAll(e.h);
      CheckInverse(e.a, x);
      e.a = e.reads = x;
      e.flag = true;
      e.state = State::Inverse;
      return;
    }
    if (m_base == Base::General) {
      if (!singular) Fail("outcome", "expected success, got " + Describe(t));
      ExpectOrvane(t, kSingularInversion);
      return SetFactored(e);  // the factors stay
    }
    Factorized(e, t, p);
  }

  void Clone(const Op& op) {
    E& e = Target(op);
    Note("Clone()");
    E copy{e.h.Clone(), e.a, e.reads, e.flag, e.state};
    if (m_pool.size() < 3) {
      m_pool.push_back(std::move(copy));
      Note(" -> a" + std::to_string(m_pool.size() - 1));
    } else {
      const std::size_t k = (op.target % m_pool.size() + 1) % m_pool.size();
      m_pool[k] = std::move(copy);
      Note(" -> a" + std::to_string(k));
    }
  }

  // c = l * r to rounding: |c - l r| <= gamma |l| |r| elementwise.
  static void CheckProduct(const M& l, const M& r, const H& c) {
    const M got = ReadAll(c);
    if (got.rows() != l.rows() || got.cols() != r.cols()) Fail("product", "wrong shape");
    const M ref = l * r;
    const Eigen::MatrixXd bound = l.cwiseAbs() * r.cwiseAbs();
    const double gamma = 4.0 * (static_cast<double>(l.cols()) + 2) * kEps;
    for (int j = 0; j < ref.cols(); ++j)
      for (int i = 0; i < ref.rows(); ++i)
        if (std::isfinite(bound(i, j)) &&
            !(std::abs(got(i, j) - ref(i, j)) <= gamma * bound(i, j))) {
          Fail("product", "element (" + std::to_string(i) + ", " + std::to_string(j) + ") is " +
                              Num(got(i, j)) + ", expected " + Num(ref(i, j)));
        }
  }

  void Product(const Op& op) {
    E& e = Target(op);
    std::mt19937_64 rng(op.sub);
    const int p = static_cast<int>(op.u2 % 4);
    std::optional<H> c;
    switch (op.u1 % 4) {
      case 0: {
        const M r = Random(Cols(), p, rng);
        Note("a * dense " + std::to_string(Cols()) + " x " + std::to_string(p));
        const H rh = ToHandle(r);
        ExpectNone(Capture([&] { c.emplace(e.h * rh); }));
        return CheckProduct(e.reads, r, *c);
      }
      case 1: {
        const M l = Random(p, Rows(), rng);
        Note("dense " + std::to_string(p) + " x " + std::to_string(Rows()) + " * a");
        const H lh = ToHandle(l);
        ExpectNone(Capture([&] { c.emplace(lh * e.h); }));
        return CheckProduct(l, e.reads, *c);
      }
      case 2: {
        const std::size_t k = op.u3 % m_pool.size();
        const E& other = m_pool[k];
        Note("a * a" + std::to_string(k));
        const Thrown t = Capture([&] { c.emplace(e.h * other.h); });
        if (Cols() != Rows()) return ExpectOrvane(t, kProductShape);
        ExpectNone(t);
        return CheckProduct(e.reads, other.reads, *c);
      }
      default: {
        const H rh(Cols() + 1, 1);
        Note("a * dense " + std::to_string(Cols() + 1) + " x 1 (shapes differ)");
        ExpectOrvane(Capture([&] { c.emplace(e.h * rh); }), kProductShape);
      }
    }
  }

  void Scale(const Op& op) {
    E& e = Target(op);
    std::optional<H> c;
    M want;
    if (IsComplex && op.u1 % 2) {
      const std::complex<double> s(op.v1, op.v2);
      Note("complex " + Num(s) + " * a");
      if constexpr (IsComplex) {
        c.emplace(OrvaneNet::Complex(s) * e.h);
        want = (s * e.reads.array()).matrix();
      }
    } else {
      Note(Num(op.v1) + " * a");
      c.emplace(op.v1 * e.h);
      want = (S(op.v1) * e.reads.array()).matrix();
    }
    const M got = ReadAll(*c);
    if (got.rows() != want.rows() || got.cols() != want.cols()) Fail("scale", "wrong shape");
    for (int j = 0; j < got.cols(); ++j)
      for (int i = 0; i < got.rows(); ++i)
        if (std::isfinite(std::abs(want(i, j))) &&
            !(std::abs(got(i, j) - want(i, j)) <= 4 * kEps * std::abs(want(i, j)))) {
          Fail("scale", "element (" + std::to_string(i) + ", " + std::to_string(j) + ") is " +
                            Num(got(i, j)) + ", expected " + Num(want(i, j)));
        }
  }

  // Settings whose markers and separators share no character (the element
  // and complex value separators may be the same string, as by default).
  static MatrixFormatter RandomFormatter(std::mt19937_64& rng) {
    static const std::pair<const char*, const char*> lines[] = {
        {"[", "]"}, {"{", "}"}, {"<<", ">>"}, {"|", "|"}, {"#", "&"}};
    static const char* const separators[] = {",", ";", " ", ", ", "\t", " ; ", "|"};
    static const std::pair<const char*, const char*> complexes[] = {
        {"(", ")"}, {"<", ">"}, {"{", "}"}};
    static const char* const valueSeparators[] = {",", ";", " ", "/"};
    static const int digits[] = {0, 1, 2, 4, 6, 9, 13, 17, 20, -1};
    auto pick = [&](const auto& table) { return table[rng() % std::size(table)]; };
    for (;;) {
      const auto line = pick(lines);
      const std::string sep = pick(separators);
      const auto cplx = pick(complexes);
      const std::string vsep = pick(valueSeparators);
      const std::string groups[] = {std::string(line.first) + line.second, sep,
                                    IsComplex ? std::string(cplx.first) + cplx.second : "",
                                    IsComplex && vsep != sep ? vsep : ""};
      bool disjoint = true;
      for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
          if (groups[a].find_first_of(groups[b]) != std::string::npos) disjoint = false;
      if (!disjoint) continue;
      MatrixFormatter f;
      f.set_LineBeginsWith(line.first);
      f.set_LineEndsWith(line.second);
      f.set_ElementSeparatedBy(sep);
      f.set_ComplexBeginsWith(cplx.first);
      f.set_ComplexEndsWith(cplx.second);
      f.set_ComplexValueSepratedBy(vsep);
      f.set_NumberOfDigit(pick(digits));
      return f;
    }
  }

  // Both number forms keep 15 significant digits; the fixed form then
  // rounds to its decimals.
  // NaN and the infinities print as words and come back as they were.
  static bool Close(double have, double want, int digits) {
    if (!std::isfinite(want)) return have == want || (std::isnan(have) && std::isnan(want));
    return std::fabs(have - want) <= TextTolerance(digits, want);
  }

  static double TextTolerance(int digits, double v) {
    const double significant = 6e-15 * std::fabs(v) + 1e-300;
    return digits <= 0 ? significant : significant + 0.51 * std::pow(10.0, -digits);
  }

  static std::string Settings(const MatrixFormatter& f) {
    std::string text = ", '" + f.get_LineBeginsWith() + "' '" + f.get_ElementSeparatedBy() + "' '" +
                       f.get_LineEndsWith() + "'";
    if (IsComplex) {
      text += ", '" + f.get_ComplexBeginsWith() + "' '" + f.get_ComplexValueSepratedBy() + "' '" +
              f.get_ComplexEndsWith() + "'";
    }
    return text;
  }

  void SaveLoad(const Op& op) {
    E& e = Target(op);
    std::mt19937_64 rng(op.sub);
    const bool custom = op.u1 % 3 != 0;
    const MatrixFormatter f = custom ? RandomFormatter(rng) : MatrixFormatter();
    const int digits = custom ? f.get_NumberOfDigit() : static_cast<int>(op.u2 % 8);
    Note("Save/Load(" + std::to_string(digits) + " digits" + (custom ? Settings(f) : "") + ")");
    const std::string path = TempFile();
    ExpectNone(Capture([&] {
      if (custom) {
        H::Save(e.h, f, path);
      } else {
        H::Save(e.h, digits, path);
      }
    }));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    MatrixFormatter shown = f;
    shown.set_NumberOfDigit(digits);
    if (text.str() != e.h.ToString(shown) + "\r\n")
      Fail("save", "the file is not ToString and an empty line");
    std::optional<H> loaded;
    ExpectNone(Capture([&] { loaded.emplace(custom ? H::Load(path, f) : H::Load(path)); }));
    std::filesystem::remove(path);
    const M got = ReadAll(*loaded);
    const int rows = Rows() == 0 ? 0 : Rows(), cols = Rows() == 0 ? 0 : Cols();
    if (loaded->get_Type() != static_cast<MatrixType>(IsComplex ? 6 : 0) || got.rows() != rows ||
        got.cols() != cols) {
      Fail("load", "loaded " + std::to_string(got.rows()) + " x " + std::to_string(got.cols()) +
                       ", expected a dense " + std::to_string(rows) + " x " + std::to_string(cols));
    }
    for (int j = 0; j < cols; ++j)
      for (int i = 0; i < rows; ++i) {
        const S want = e.reads(i, j), have = got(i, j);
        if (!(Close(std::real(have), std::real(want), digits) &&
              Close(std::imag(have), std::imag(want), digits))) {
          Fail("load", "element (" + std::to_string(i) + ", " + std::to_string(j) + ") loads as " +
                           Num(have) + ", saved " + Num(want));
        }
      }
  }

  void RowCol(const Op& op) {
    E& e = Target(op);
    const bool row = op.u1 % 2 == 0;
    const int dim = row ? Rows() : Cols();
    const int index = static_cast<int>(op.u2 % static_cast<std::uint32_t>(dim + 2)) - 1;
    const bool valid = index >= 0 && index < dim;
    Note(std::string(row ? "RowVector(" : "ColVector(") + std::to_string(index) + ")");
    std::optional<H> v;
    const Thrown t =
        Capture([&] { v.emplace(row ? H::RowVector(e.h, index) : H::ColVector(e.h, index)); });
    if (!valid) return ExpectOrvane(t, row ? RangeMessage(index, 0) : RangeMessage(0, index));
    ExpectNone(t);
    const M want = row ? M(e.reads.row(index)) : M(e.reads.col(index));
    ExpectEqual(ReadAll(*v), want, "vector");
  }

  const Sequence& m_seq;
  Base m_base;
  std::vector<std::string>* m_log;
  long long* m_operations;
  std::vector<E> m_pool;
  std::string m_line;
};

std::optional<Mismatch> Execute(const Sequence& s, std::vector<std::string>* log,
                                long long* operations) {
  try {
    if (s.kind >= 6) {
      Runner<true>(s, log, operations).Run();
    } else {
      Runner<false>(s, log, operations).Run();
    }
  } catch (const Mismatch& m) {
    return m;
  } catch (const std::exception& e) {
    return Mismatch{"escape", std::string("an exception escaped the harness: ") + e.what()};
  }
  return std::nullopt;
}

// Shortest failing sequence with the same kind of mismatch: whole runs of
// steps are dropped while it still fails (halves first, then smaller runs),
// then smaller orders and band widths are tried.
Sequence Shrink(Sequence s, const std::string& label) {
  int budget = 4000;
  auto fails = [&](const Sequence& t) {
    if (budget-- <= 0) return false;
    const auto m = Execute(t, nullptr, nullptr);
    return m && m->label == label;
  };
  auto dropSteps = [&] {
    for (std::size_t chunk = std::max<std::size_t>(1, s.ops.size() / 2); chunk >= 1; chunk /= 2) {
      for (std::size_t start = 0; start < s.ops.size();) {
        Sequence t = s;
        t.ops.erase(
            t.ops.begin() + static_cast<std::ptrdiff_t>(start),
            t.ops.begin() + static_cast<std::ptrdiff_t>(std::min(start + chunk, t.ops.size())));
        if (fails(t)) {
          s = std::move(t);
        } else {
          start += chunk;
        }
      }
      if (chunk == 1) break;
    }
  };
  dropSteps();
  auto tryShape = [&](auto change) {
    Sequence t = s;
    change(t.shape);
    if (fails(t)) s = std::move(t);
  };
  const bool square = s.kind % 6 != 0 || s.shape.rows == s.shape.cols;
  for (int n = 0; n < s.shape.rows; ++n) {
    const int before = s.shape.rows;
    tryShape([&](Shape& sh) {
      sh.rows = n;
      if (square) sh.cols = n;
    });
    if (s.shape.rows != before) break;
  }
  for (int n = 0; n < s.shape.cols && !square; ++n) {
    const int before = s.shape.cols;
    tryShape([&](Shape& sh) { sh.cols = n; });
    if (s.shape.cols != before) break;
  }
  for (int k = 0; k < std::max(s.shape.kl, s.shape.ku); ++k) {
    tryShape([&](Shape& sh) {
      if (s.kind % 6 == 4 || sh.form == 2) {
        sh.kl = sh.ku = k;
      } else {
        sh.kl = std::min(sh.kl, k);
        sh.ku = std::min(sh.ku, k);
      }
    });
  }
  dropSteps();
  return s;
}

std::string ShapeText(const Sequence& s) {
  std::string text = std::to_string(s.shape.rows) + " x " + std::to_string(s.shape.cols);
  if (s.kind % 6 == 1 || s.kind % 6 == 4) {
    text += ", kl " + std::to_string(s.shape.kl) + ", ku " + std::to_string(s.shape.ku);
  }
  return text + ", constructor form " + std::to_string(s.shape.form);
}

std::string Listing(const Sequence& s, const std::vector<std::string>& log) {
  std::string text = std::string(kKindNames[s.kind]) + " " + ShapeText(s) + ":\n";
  for (std::size_t k = 0; k < log.size(); ++k)
    text += "  " + std::to_string(k) + ": " + log[k] + "\n";
  return text;
}

}  // namespace

int KindOfSeed(std::uint64_t seed) { return static_cast<int>(seed % 12); }

std::optional<Finding> RunSeed(std::uint64_t seed, int steps, long long* operations) {
  const Sequence s = Generate(seed, steps);
  const auto first = Execute(s, nullptr, operations);
  if (!first) return std::nullopt;
  const Sequence shortest = Shrink(s, first->label);
  std::vector<std::string> log;
  const auto last = Execute(shortest, &log, nullptr);
  const Mismatch& m = last ? *last : *first;
  std::string report =
      "Stateful mismatch, seed " + std::to_string(seed) + " [" + m.label + "]: " + m.detail +
      "\nShortest failing sequence (" + std::to_string(shortest.ops.size()) + " of " +
      std::to_string(s.ops.size()) + " steps), " + Listing(shortest, log) +
      "Replay the whole sequence: scripts/stateful.sh --seed " + std::to_string(seed) + "\n";
  return Finding{seed, report};
}

std::string DescribeSeed(std::uint64_t seed, int steps) {
  const Sequence s = Generate(seed, steps);
  std::vector<std::string> log;
  const auto m = Execute(s, &log, nullptr);
  std::string text = Listing(s, log);
  text += m ? "mismatch [" + m->label + "]: " + m->detail + "\n" : "no mismatch\n";
  return text;
}

}  // namespace orvane_stateful
