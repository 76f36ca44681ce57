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
#include <limits>
#include <random>
#include <sstream>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace orvane_stateful {
namespace {

using OrvaneNet::LinearEquation;
using OrvaneNet::MatrixFormatter;
using OrvaneNet::MatrixType;

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

std::string Pos(int i, int j) { return "(" + std::to_string(i) + ", " + std::to_string(j) + ")"; }
std::string RangeMessage(int i, int j) { return Pos(i, j) + " is out of range."; }
std::string Dims(long r, long c) { return std::to_string(r) + " x " + std::to_string(c); }

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

// The operations, in the order of the weights in RandomCode and of Runner's table.
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
  // Weights in per mille, in the order of Code; the Hermitian tridiagonal
  // kind solves only after Factorize, so it factorizes more often.
  const bool hermTri = complex && base == Base::SymmetricTridiagonal;
  const int weights[] = {70, 180, 50, 15, hermTri ? 200 : 100, 200, 15, 15, 15, 80, 50,
                         50, 25,  40, 30};
  int total = 0;
  for (int w : weights) total += w;
  int r = static_cast<int>(rng() % static_cast<std::uint64_t>(total));
  int code = 0;
  while (r >= weights[code]) r -= weights[code++];
  return static_cast<Code>(code);
}

Sequence Generate(std::uint64_t seed, int steps) {
  std::mt19937_64 rng(seed);
  Sequence s;
  s.kind = KindOfSeed(seed);
  const Base base = static_cast<Base>(s.kind % 6);
  const int n = RandomOrder(rng);
  s.shape.rows = s.shape.cols = n;
  s.shape.form = static_cast<int>(rng() % 3);
  if (base == Base::General && rng() % 4 == 0) s.shape.cols = RandomOrder(rng);
  if (base == Base::GeneralBand || base == Base::SymmetricBand) {
    s.shape.kl = s.shape.ku = RandomBandCount(rng, n);
    if (base == Base::GeneralBand && s.shape.form != 2) s.shape.ku = RandomBandCount(rng, n);
  }
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  auto u = [&] { return static_cast<std::uint32_t>(rng()); };
  for (int k = 0; k < steps; ++k) {
    // Most sequences start from a filled matrix.
    const Code code = k == 0 && rng() % 10 != 0 ? Code::Fill : RandomCode(rng, base, s.kind >= 6);
    // The braces draw in order.
    Op op{code, u(), u(), u(), u(), 0.0, 0.0, 0};
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

// What an operation threw, as text: kSuccess, OrvaneException "its message",
// std::bad_cast or other exception "its message".
const std::string kSuccess = "no exception";

std::string Refusal(const std::string& message) { return "OrvaneException \"" + message + "\""; }

template <class F>
std::string Capture(F&& f) {
  try {
    f();
  } catch (const OrvaneNet::OrvaneException& e) {
    return Refusal(e.what());
  } catch (const std::bad_cast&) {
    return "std::bad_cast";
  } catch (const std::exception& e) {
    return "other exception \"" + std::string(e.what()) + "\"";
  }
  return kSuccess;
}

// `pattern` is the text itself, or holds one '*' standing for any text.
bool Matches(const std::string& text, const std::string& pattern) {
  const auto star = pattern.find('*');
  if (star == std::string::npos) return text == pattern;
  const std::string head = pattern.substr(0, star), tail = pattern.substr(star + 1);
  return text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void Expect(const std::string& got, const std::string& want = kSuccess) {
  if (!Matches(got, want)) Fail("outcome", "expected " + want + ", got " + got);
}

// ------------------------------------------------------------- the model
double Std(double v) { return v; }
std::complex<double> Std(OrvaneNet::Complex v) { return v.ToStdComplex(); }

enum class State { Plain, Factored, Inverse };

const char* StateName(State s) {
  return s == State::Plain ? "plain" : s == State::Factored ? "factored" : "holds its inverse";
}

// What a factorization is expected to do.
struct Prediction {
  enum Outcome { Failure = -1, Either, Success } outcome = Success;
  std::string message;
};

// --------------------------------------------------------------- runner
template <bool IsComplex>
class Runner {
  using S = std::conditional_t<IsComplex, std::complex<double>, double>;
  using M = Eigen::Matrix<S, Eigen::Dynamic, Eigen::Dynamic>;
  using H = std::conditional_t<IsComplex, OrvaneNet::ComplexMatrix, OrvaneNet::Matrix>;
  struct E {
    H h;
    M a, reads;
    bool flag = false;
    State state = State::Plain;
  };

 public:
  Runner(const Sequence& seq, std::vector<std::string>* log, long long* operations)
      : m_seq(seq), m_base(static_cast<Base>(seq.kind % 6)), m_log(log), m_operations(operations) {}

  // Throws Mismatch, its detail naming the step.
  void Run() {
    static constexpr void (Runner::*kRun[])(const Op&) = {
        &Runner::Fill,         &Runner::WriteInside, &Runner::WriteOutside, &Runner::OutOfRange,
        &Runner::Factorize,    &Runner::Solve,       &Runner::SolveRefused, &Runner::SolveRefused,
        &Runner::SolveRefused, &Runner::Inv,         &Runner::Clone,        &Runner::Product,
        &Runner::Scale,        &Runner::SaveLoad,    &Runner::RowCol};
    m_pool.push_back(E{Make(), M::Zero(Rows(), Cols()), M::Zero(Rows(), Cols())});
    CheckAll("construction");
    for (std::size_t k = 0; k < m_seq.ops.size(); ++k) {
      if (m_log) m_log->emplace_back();
      try {
        (this->*kRun[static_cast<int>(m_seq.ops[k].code)])(m_seq.ops[k]);
        CheckAll("after the step");
      } catch (Mismatch& m) {
        m.detail = "step " + std::to_string(k) + ": " + m.detail;
        throw;
      }
      if (m_operations) ++*m_operations;
    }
  }

 private:
  // ------------------------------------------------------------ shape
  int Rows() const { return m_seq.shape.rows; }
  int Cols() const { return m_seq.shape.cols; }
  bool Hermitian() const { return m_base >= Base::Symmetric; }
  bool Dense() const { return m_base == Base::General || m_base == Base::Symmetric; }
  bool GeneralStructured() const { return !Dense() && !Hermitian(); }
  bool Banded() const { return m_base == Base::GeneralBand || m_base == Base::SymmetricBand; }
  bool ComplexHermitianTridiagonal() const {
    return IsComplex && m_base == Base::SymmetricTridiagonal;
  }
  MatrixType Type() const { return static_cast<MatrixType>(m_seq.kind); }
  // The diagonals stored below and above the main one (the dense kinds: all).
  int Below() const { return Dense() ? Rows() : Banded() ? m_seq.shape.kl : 1; }
  int Above() const { return Dense() ? Cols() : Banded() ? m_seq.shape.ku : 1; }
  bool InPattern(int i, int j) const { return i - j <= Below() && j - i <= Above(); }

  H Make() const {
    const int n = Rows(), kl = m_seq.shape.kl, ku = m_seq.shape.ku, form = m_seq.shape.form;
    if (m_base == Base::General) return form == 0 ? H(n, Cols()) : H(n, Cols(), Type());
    if (m_base == Base::GeneralTridiagonal) return form == 0 ? H(n, n, 3) : H(n, n, Type());
    if (m_base == Base::SymmetricBand) return H(n, n, Type(), ku, ku);
    if (m_base != Base::GeneralBand) return H(n, n, Type());
    if (form == 2 && kl == ku && kl != 1) return H(n, n, 2 * kl + 1);
    return form == 1 ? H(n, n, Type(), kl, ku) : H(n, n, kl, ku);
  }

  std::string NotPositiveDefiniteMessage() const {
    if (!IsComplex) return kSymmetricNotPd;
    return m_base == Base::SymmetricBand ? kHermitianBandNotPd : kHermitianTridiagonalNotPd;
  }

  std::string InversionMessage() const {
    if (IsComplex && GeneralStructured()) {
      return Banded() ? kComplexBandInversion : kComplexTridiagonalInversion;
    }
    return Banded() ? kBandInversion : kTridiagonalInversion;
  }

  // ---------------------------------------------------------- helpers
  void Note(const std::string& text) {
    if (m_log) m_log->back() += text;
  }

  static int Pick(std::uint32_t u, int n) {
    return static_cast<int>(u % static_cast<std::uint32_t>(n));
  }

  static S Value(double re, double im) {
    if constexpr (IsComplex) return {re, im};
    return S(re);
  }

  static bool Same(S x, S y) {
    auto same = [](double p, double q) { return p == q || (std::isnan(p) && std::isnan(q)); };
    return same(std::real(x), std::real(y)) && same(std::imag(x), std::imag(y));
  }

  static double MaxAbs(const M& m) { return m.size() == 0 ? 0.0 : m.cwiseAbs().maxCoeff(); }

  // The 1-norm condition number; infinite for a singular or non-finite matrix.
  static double Condition(const M& a) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    if (a.rows() == 0) return 1.0;
    if (!a.allFinite()) return inf;
    Eigen::FullPivLU<M> lu(a);
    if (!lu.isInvertible()) return inf;
    const double c = a.cwiseAbs().colwise().sum().maxCoeff() *
                     M(lu.inverse()).cwiseAbs().colwise().sum().maxCoeff();
    return std::isfinite(c) ? c : inf;
  }

  // +1: clearly positive definite, -1: clearly not, 0: too close to tell
  // (a Cholesky factorization may go either way).
  static int Definiteness(const M& a) {
    const int n = static_cast<int>(a.rows());
    if (n == 0) return 1;
    if (!a.allFinite()) return 0;
    Eigen::SelfAdjointEigenSolver<M> es(a, Eigen::EigenvaluesOnly);
    const auto& w = es.eigenvalues();
    const double margin = 1e3 * n * kEps * w.cwiseAbs().maxCoeff();
    return w.minCoeff() > margin ? 1 : w.minCoeff() < -margin ? -1 : 0;
  }

  static M ReadAll(const H& h) {
    return M::NullaryExpr(h.get_RowNum(), h.get_ColNum(),
                          [&](int i, int j) { return Std(h.get_Item(i, j)); });
  }

  static H ToHandle(const M& m) {
    H h(static_cast<int>(m.rows()), static_cast<int>(m.cols()));
    for (int j = 0; j < m.cols(); ++j)
      for (int i = 0; i < m.rows(); ++i) h.set_Item(i, j, m(i, j));
    return h;
  }

  static M Random(int rows, int cols, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    M m(rows, cols);
    for (int j = 0; j < cols; ++j)
      for (int i = 0; i < rows; ++i) {
        const double re = unit(rng);
        m(i, j) = Value(re, unit(rng));
      }
    return m;
  }

  // got has the shape of want, and ok(i, j) holds for each element.
  template <class Ok>
  static void ExpectEach(const M& got, const M& want, const std::string& what, Ok ok) {
    if (got.rows() != want.rows() || got.cols() != want.cols()) {
      Fail(what, "shape " + Dims(got.rows(), got.cols()) + ", expected " +
                     Dims(want.rows(), want.cols()));
    }
    for (int j = 0; j < got.cols(); ++j)
      for (int i = 0; i < got.rows(); ++i)
        if (!ok(i, j)) {
          Fail(what, "element " + Pos(i, j) + " reads " + Num(got(i, j)) + ", expected " +
                         Num(want(i, j)));
        }
  }

  static void ExpectEqual(const M& got, const M& want, const std::string& what) {
    ExpectEach(got, want, what, [&](int i, int j) { return Same(got(i, j), want(i, j)); });
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

  // The entry after the target, for operations between two entries.
  std::size_t Next(const Op& op) const { return (op.target % m_pool.size() + 1) % m_pool.size(); }

  static bool Ready(const E& e) { return e.flag && e.state == State::Factored; }

  // The entry now stands for a and reads it (its inverse stays flagged).
  static void Become(E& e, const M& a, State state) {
    e.a = e.reads = a;
    e.flag = state != State::Plain;
    e.state = state;
  }

  // ------------------------------------------------------ predictions
  Prediction PredictFactorization(const M& a, bool driver) const {
    if (a.rows() == 0 || !Hermitian()) return {};
    if (m_base != Base::Symmetric) {
      return {static_cast<Prediction::Outcome>(Definiteness(a)), NotPositiveDefiniteMessage()};
    }
    if (!(Condition(a) > kSingularCondition)) return {};
    return {Prediction::Either, driver ? kSingularDNoSolution : kSingularD};
  }

  // After a factorization: checks what it threw against p and, when it
  // threw, puts the entry back to its matrix. True when it succeeded.
  bool Factorized(E& e, const std::string& t, const Prediction& p) {
    if (p.outcome == Prediction::Success || (p.outcome == Prediction::Either && t == kSuccess)) {
      Expect(t);
      return true;
    }
    Expect(t, Refusal(p.message));
    Note(" [refused: not factorizable]");
    Become(e, e.a, State::Plain);
    return false;
  }

  // The entry now holds the factors of e.a: record them and check them.
  void SetFactored(E& e) {
    e.flag = true;
    e.state = State::Factored;
    e.reads = ReadAll(e.h);
    CheckFactors(e.a, e.reads);
  }

  // LU for the general kind; U^H D U (D = I: Cholesky) for the symmetric
  // kinds, but for the indefinite dense one, whose factors are not checked.
  void CheckFactors(const M& a, const M& f) const {
    if (!a.allFinite() || a.size() == 0) return;  // a singular solution solved into a matrix
    if (m_base == Base::General) return CheckLu(a, f);
    if (GeneralStructured() || (m_base == Base::Symmetric && Definiteness(a) <= 0)) return;
    const int n = static_cast<int>(a.rows());
    M u = f.template triangularView<Eigen::Upper>(), d = M::Identity(n, n);
    if (m_base == Base::SymmetricTridiagonal) {  // U unit upper bidiagonal
      u = M::Identity(n, n);
      u.diagonal(1) = f.diagonal(1);
      d = f.diagonal().asDiagonal();
    }
    const double err = MaxAbs(M(u.adjoint() * d * u - a));
    const double tol =
        100.0 * n * kEps * (u.cwiseAbs().transpose() * d.cwiseAbs() * u.cwiseAbs()).maxCoeff();
    if (!(err <= tol)) Fail("factors", "U^H D U differs from A by " + Num(err) + " > " + Num(tol));
  }

  // P A = L U: every row of L U is a different row of A, to rounding.
  static void CheckLu(const M& a, const M& f) {
    const int m = static_cast<int>(a.rows()), k = static_cast<int>(std::min(a.rows(), a.cols()));
    const M l = f.leftCols(k).template triangularView<Eigen::UnitLower>();
    const M u = f.topRows(k).template triangularView<Eigen::Upper>();
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

  // x solves a x = b: the forward error against Eigen scaled by the
  // condition number and, for a solve (not an inverse), the backward error.
  static void CheckSolution(const M& a, const M& b, const M& x, const std::string& what) {
    if (x.rows() != b.rows() || x.cols() != b.cols()) Fail(what, "shape changed");
    const int n = static_cast<int>(a.rows());
    if (n == 0 || b.cols() == 0 || !b.allFinite()) return;
    const double cond = Condition(a);
    if (!(cond < kSingularCondition)) return;
    if (!x.allFinite()) Fail(what, "not finite, condition number " + Num(cond));
    const std::string condition = " (condition " + Num(cond) + ")";
    const double normA = a.cwiseAbs().rowwise().sum().maxCoeff();
    const double residual = MaxAbs(M(a * x - b));
    const double rtol = 100.0 * n * kEps * (normA * MaxAbs(x) + MaxAbs(b));
    if (what == "solution" && !(residual <= rtol)) {
      Fail(what, "residual " + Num(residual) + " > " + Num(rtol) + condition);
    }
    const M ref = a.fullPivLu().solve(b);
    const double err = MaxAbs(M(x - ref));
    const double ftol = 100.0 * n * kEps * cond * MaxAbs(ref) + 1e-300;
    if (!(err <= ftol)) {
      Fail(what, "differs from the reference by " + Num(err) + " > " + Num(ftol) + condition);
    }
  }

  // ------------------------------------------------------- operations
  // One element write through the handle, in the library and the model.
  void WriteElement(E& e, int i, int j, S v) {
    const std::string t = Capture([&] { e.h.set_Item(i, j, v); });
    if (Hermitian() && i == j && std::imag(v) != 0.0) {
      return Expect(t, Refusal(m_base == Base::SymmetricTridiagonal ? kHermitianTridiagonalDiagonal
                                                                    : kHermitianDiagonal));
    }
    if (!InPattern(i, j)) {
      if (!GeneralStructured() || v == S(0)) return Expect(t);  // ignored
      return Expect(
          t, Refusal(m_base == Base::GeneralTridiagonal ? kNotTridiagonal
                                                        : "Value *doesn't fit to " + Pos(i, j)));
    }
    Expect(t);
    if (e.state == State::Factored) e.a = e.reads;  // the write changes the factors
    e.a(i, j) = v;
    if (Hermitian()) e.a(j, i) = Eigen::numext::conj(v);
    Become(e, e.a, State::Plain);
  }

  // Every element of the pattern (the symmetric kinds: one triangle).
  void Fill(const Op& op) {
    E& e = Target(op);
    std::mt19937_64 rng(op.sub);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const int style = static_cast<int>(op.u1 % 8), n = Rows();
    const bool upper = op.u3 % 2 == 0;
    // Mostly diagonally dominant (positive definite for the symmetric kinds);
    // style 7 has a zero row and column.
    const bool dominant =
        m_base == Base::General ? style < 2 || style == 7 : style < 5 || style == 7;
    const double shift = dominant ? (Dense() ? n : Below() + Above() + 1) + 1.0 : 0.0;
    const int zero = style == 7 && n > 0 ? Pick(op.u2, n) : -1;
    Note("Fill(style " + std::to_string(style) + (upper ? ", upper" : ", lower") + ", sub-seed " +
         std::to_string(op.sub) + ")");
    for (int j = 0; j < Cols(); ++j)
      for (int i = 0; i < Rows(); ++i) {
        if (!InPattern(i, j) || (Hermitian() && (upper ? i > j : i < j))) continue;
        const double re = unit(rng);
        S v = Value(re, unit(rng));
        if (i == j) v = (Hermitian() ? S(re) : v) + S(shift);
        if (i == zero || j == zero) v = S(0);
        WriteElement(e, i, j, v);
      }
  }

  S OpValue(const Op& op, bool diagonal) const {
    S v = Value(op.v1, op.v2);
    if (op.u3 % 5 == 1) v = S(0);
    if (diagonal && op.u3 % 5 == 2) v = S(std::fabs(op.v1) * 3 + Rows());
    // A Hermitian diagonal element is real; now and then one is not (and is refused).
    if (diagonal && Hermitian() && op.u3 % 8 != 0) v = S(std::real(v));
    return v;
  }

  void WriteInside(const Op& op) {
    E& e = Target(op);
    if (Rows() == 0 || Cols() == 0) return Note("write (no element)");
    const int i = Pick(op.u1, Rows());
    int j = Pick(op.u2, Cols());
    if (!Dense()) j = std::clamp(i + Pick(op.u2, Below() + Above() + 1) - Below(), 0, Rows() - 1);
    const S v = OpValue(op, i == j);
    Note(Pos(i, j) + " = " + Num(v));
    WriteElement(e, i, j, v);
  }

  void WriteOutside(const Op& op) {
    if (Dense()) return OutOfRange(op);
    E& e = Target(op);
    std::vector<std::pair<int, int>> outside;
    for (int j = 0; j < Cols(); ++j)
      for (int i = 0; i < Rows(); ++i)
        if (!InPattern(i, j)) outside.emplace_back(i, j);
    if (outside.empty()) return Note("write outside (every element is inside)");
    const auto [i, j] = outside[op.u2 % outside.size()];
    const S v = op.u3 % 2 == 0 ? S(0) : Value(op.v1 == 0 ? 0.5 : op.v1, op.v2);
    Note(Pos(i, j) + " = " + Num(v) + " outside the pattern");
    WriteElement(e, i, j, v);
  }

  void OutOfRange(const Op& op) {
    E& e = Target(op);
    int i = Pick(op.u1, Rows() + 2) - 1, j = Pick(op.u2, Cols() + 2) - 1;
    if (i >= 0 && i < Rows() && j >= 0 && j < Cols()) (op.u3 % 2 ? i : j) = -1;
    const bool write = op.u3 % 4 < 2;
    Note(std::string(write ? "set_Item" : "get_Item") + Pos(i, j) + " out of range");
    const std::string t =
        Capture([&] { write ? e.h.set_Item(i, j, S(1)) : void(e.h.get_Item(i, j)); });
    Expect(t, Refusal(RangeMessage(i, j)));
  }

  void Factorize(const Op& op) {
    E& e = Target(op);
    Note("Factorize");
    const std::string t = Capture([&] { LinearEquation::Factorize(e.h); });
    if (Ready(e)) return Expect(t);  // already factorized
    if (Factorized(e, t, PredictFactorization(e.a, false))) SetFactored(e);
  }

  // b is random, or for the general kind now and then another entry of the
  // pool, which then holds the solution as a plain matrix.
  void Solve(const Op& op) {
    E& e = Target(op);
    const bool into = m_base == Base::General && m_pool.size() > 1 && op.u3 % 4 == 0;
    const int r = static_cast<int>(op.u1 % 10), k = r < 2 ? 0 : r < 7 ? 1 : 2 + Pick(op.u2, 4);
    std::mt19937_64 rng(op.sub);
    const M bm = into ? m_pool[Next(op)].reads : Random(Rows(), k, rng);
    H random = ToHandle(bm);
    H& b = into ? m_pool[Next(op)].h : random;
    Note(into ? "Solve(b = a" + std::to_string(Next(op)) + ")"
              : "Solve(b " + Dims(Rows(), k) + ")");
    const std::string t = Capture([&] { LinearEquation::Solve(e.h, b); });
    const bool ready = Ready(e);
    if (Rows() != Cols() || (!ready && ComplexHermitianTridiagonal())) {
      Expect(t, Refusal(Rows() != Cols() ? kSolveNotSquare : kZptsv));
      return ExpectEqual(ReadAll(b), bm, "b after a refused solve");
    }
    if (ready) Expect(t);
    if (!ready) Note(" (one call)");
    if (!ready && !Factorized(e, t, PredictFactorization(e.a, true))) {
      return ExpectEqual(ReadAll(b), bm, "b after a failed solve");
    }
    const M x = ReadAll(b);
    CheckSolution(e.a, bm, x, "solution");
    if (!ready) SetFactored(e);
    if (into) Become(m_pool[Next(op)], x, State::Plain);
  }

  // Solves refused before anything is touched: b the matrix itself, or
  // with the wrong number of rows, or not general.
  void SolveRefused(const Op& op) {
    E& e = Target(op);
    const bool self = op.code == Code::SolveSelf, rows = op.code == Code::SolveWrongRows;
    const int n = Rows() > 0 && op.u1 % 2 ? Rows() - 1 : Rows() + 1;
    H b = rows ? H(n, 1) : H(Rows(), Rows(), 3);
    Note(self   ? "Solve(a, a)"
         : rows ? "Solve(b " + Dims(n, 1) + ": wrong row count)"
                : "Solve(b: a tridiagonal matrix)");
    const std::string t = Capture([&] { LinearEquation::Solve(e.h, self ? e.h : b); });
    if (self) return Expect(t, Refusal(kAlias));
    if (Rows() != Cols()) return Expect(t, Refusal(kSolveNotSquare));
    if (ComplexHermitianTridiagonal() && !e.flag) return Expect(t, Refusal(kZptsv));
    if (rows) {
      return Expect(t, Refusal("Matrix b must have " + std::to_string(Rows()) + " rows, not " +
                               std::to_string(n) + "."));
    }
    const bool realTridiagonal = !IsComplex && m_base == Base::GeneralTridiagonal;
    Expect(t, realTridiagonal ? Refusal(kRhsNotGeneral) : "std::bad_cast");
  }

  void Inv(const Op& op) {
    E& e = Target(op);
    Note("Inv()");
    const std::string t = Capture([&] { e.h.Inv(); });
    if (Rows() != Cols()) return Expect(t, Refusal(kInvNotSquare));
    if (!Dense() && e.flag) return Expect(t, Refusal(InversionMessage()));
    const Prediction p = Ready(e) ? Prediction{} : PredictFactorization(e.a, false);
    if (!Dense() && t == Refusal(InversionMessage()) && p.outcome != Prediction::Failure) {
      return SetFactored(e);  // factorized, then refused
    }
    if (m_base == Base::General && t != kSuccess && Condition(e.a) > kSingularCondition) {
      Expect(t, Refusal(kSingularInversion));
      return SetFactored(e);  // the factors stay
    }
    if (!Factorized(e, t, p)) return;
    if (!Dense())
      Fail("outcome", "Inv() of a " + std::string(kKindNames[m_seq.kind]) + " returned");
    const M x = ReadAll(e.h);
    CheckSolution(e.a, M::Identity(Rows(), Rows()), x, "inverse");
    Become(e, x, State::Inverse);
  }

  void Clone(const Op& op) {
    E& e = Target(op);
    E copy{e.h.Clone(), e.a, e.reads, e.flag, e.state};
    const std::size_t k = m_pool.size() < 3 ? m_pool.size() : Next(op);
    if (k == m_pool.size()) m_pool.emplace_back();
    m_pool[k] = std::move(copy);
    Note("Clone() -> a" + std::to_string(k));
  }

  // a * dense, dense * a, a * an entry of the pool, or a * dense of the wrong
  // shape; the result to rounding: |c - l r| <= gamma |l| |r| elementwise.
  void Product(const Op& op) {
    E& e = Target(op);
    std::mt19937_64 rng(op.sub);
    const int form = static_cast<int>(op.u1 % 4), p = Pick(op.u2, 4);
    const std::size_t k = op.u3 % m_pool.size();
    const bool left = form == 1;  // the dense factor on the left
    const M dense = left        ? Random(p, Rows(), rng)
                    : form == 3 ? M::Zero(Cols() + 1, 1)
                                : Random(Cols(), p, rng);
    const H dh = ToHandle(dense);
    const M& l = left ? dense : e.reads;
    const M& r = left ? e.reads : form == 2 ? m_pool[k].reads : dense;
    const std::string name =
        form == 2 ? "a" + std::to_string(k) : "dense " + Dims(dense.rows(), dense.cols());
    Note(left ? name + " * a" : "a * " + name + (form == 3 ? " (shapes differ)" : ""));
    std::optional<H> c;
    const std::string t =
        Capture([&] { c.emplace(left ? dh * e.h : e.h * (form == 2 ? m_pool[k].h : dh)); });
    if (l.cols() != r.rows()) return Expect(t, Refusal(kProductShape));
    Expect(t);
    const M got = ReadAll(*c), ref = l * r;
    const Eigen::MatrixXd bound = l.cwiseAbs() * r.cwiseAbs();
    const double gamma = 4.0 * (static_cast<double>(l.cols()) + 2) * kEps;
    ExpectEach(got, ref, "product", [&](int i, int j) {
      return !std::isfinite(bound(i, j)) || std::abs(got(i, j) - ref(i, j)) <= gamma * bound(i, j);
    });
  }

  void Scale(const Op& op) {
    E& e = Target(op);
    const bool complex = IsComplex && op.u1 % 2;
    const S s = complex ? Value(op.v1, op.v2) : S(op.v1);
    Note((complex ? "complex " + Num(s) : Num(op.v1)) + " * a");
    std::optional<H> c;
    if constexpr (IsComplex) {
      if (complex) c.emplace(OrvaneNet::Complex(s) * e.h);
    }
    if (!c) c.emplace(op.v1 * e.h);
    const M got = ReadAll(*c), want = (s * e.reads.array()).matrix();
    ExpectEach(got, want, "scale", [&](int i, int j) {
      const double w = std::abs(want(i, j));
      return !std::isfinite(w) || std::abs(got(i, j) - want(i, j)) <= 4 * kEps * w;
    });
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
    if (!std::isfinite(want)) return Same(have, want);
    const double decimals = digits <= 0 ? 0.0 : 0.51 * std::pow(10.0, -digits);
    return std::fabs(have - want) <= 6e-15 * std::fabs(want) + 1e-300 + decimals;
  }

  static std::string Settings(const MatrixFormatter& f) {
    const std::string parts[] = {f.get_LineBeginsWith(),         f.get_ElementSeparatedBy(),
                                 f.get_LineEndsWith(),           f.get_ComplexBeginsWith(),
                                 f.get_ComplexValueSepratedBy(), f.get_ComplexEndsWith()};
    std::string text;
    for (int k = 0; k < (IsComplex ? 6 : 3); ++k) text += (k % 3 ? " '" : ", '") + parts[k] + "'";
    return text;
  }

  void SaveLoad(const Op& op) {
    E& e = Target(op);
    std::mt19937_64 rng(op.sub);
    const bool custom = op.u1 % 3 != 0;
    const MatrixFormatter f = custom ? RandomFormatter(rng) : MatrixFormatter();
    const int digits = custom ? f.get_NumberOfDigit() : static_cast<int>(op.u2 % 8);
    Note("Save/Load(" + std::to_string(digits) + " digits" + (custom ? Settings(f) : "") + ")");
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("orvane_stateful_" + std::to_string(::getpid()) + ".txt"))
                                 .string();
    Expect(Capture([&] { custom ? H::Save(e.h, f, path) : H::Save(e.h, digits, path); }));
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    MatrixFormatter shown = f;
    shown.set_NumberOfDigit(digits);
    if (text.str() != e.h.ToString(shown) + "\r\n")
      Fail("save", "the file is not ToString and an empty line");
    std::optional<H> loaded;
    Expect(Capture([&] { loaded.emplace(custom ? H::Load(path, f) : H::Load(path)); }));
    std::filesystem::remove(path);
    if (loaded->get_Type() != static_cast<MatrixType>(IsComplex ? 6 : 0))
      Fail("load", "the loaded matrix is not a dense one");
    // A matrix without rows loads as 0 x 0.
    const M got = ReadAll(*loaded), want = Rows() == 0 ? M() : e.reads;
    ExpectEach(got, want, "load", [&](int i, int j) {
      return Close(std::real(got(i, j)), std::real(want(i, j)), digits) &&
             Close(std::imag(got(i, j)), std::imag(want(i, j)), digits);
    });
  }

  void RowCol(const Op& op) {
    E& e = Target(op);
    const bool row = op.u1 % 2 == 0;
    const int index = Pick(op.u2, (row ? Rows() : Cols()) + 2) - 1;
    Note(std::string(row ? "RowVector(" : "ColVector(") + std::to_string(index) + ")");
    std::optional<H> v;
    const std::string t =
        Capture([&] { v.emplace(row ? H::RowVector(e.h, index) : H::ColVector(e.h, index)); });
    if (index < 0 || index >= (row ? Rows() : Cols())) {
      return Expect(t, Refusal(row ? RangeMessage(index, 0) : RangeMessage(0, index)));
    }
    Expect(t);
    ExpectEqual(ReadAll(*v), row ? M(e.reads.row(index)) : M(e.reads.col(index)), "vector");
  }

  const Sequence& m_seq;
  Base m_base;
  std::vector<std::string>* m_log;
  long long* m_operations;
  std::vector<E> m_pool;
};

std::optional<Mismatch> Execute(const Sequence& s, std::vector<std::string>* log,
                                long long* operations) {
  try {
    s.kind >= 6 ? Runner<true>(s, log, operations).Run() : Runner<false>(s, log, operations).Run();
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
    }
  };
  dropSteps();
  // A smaller shape, kept when it still fails; each loop ends at its first
  // success, which lowers its bound. The kinds whose kl and ku are equal
  // keep them so.
  const bool square = s.kind % 6 != 0 || s.shape.rows == s.shape.cols;
  const Shape& sh = s.shape;
  auto tryShape = [&](int rows, int cols, int kl, int ku) {
    Sequence t = s;
    t.shape = {rows, square ? rows : cols, kl, ku, sh.form};
    if (fails(t)) s = std::move(t);
  };
  for (int n = 0; n < sh.rows; ++n) tryShape(n, sh.cols, sh.kl, sh.ku);
  for (int n = 0; n < sh.cols && !square; ++n) tryShape(sh.rows, n, sh.kl, sh.ku);
  for (int k = 0; k < std::max(sh.kl, sh.ku); ++k)
    tryShape(sh.rows, sh.cols, std::min(sh.kl, k), std::min(sh.ku, k));
  dropSteps();
  return s;
}

std::string Listing(const Sequence& s, const std::vector<std::string>& log) {
  std::string text = std::string(kKindNames[s.kind]) + " " + Dims(s.shape.rows, s.shape.cols);
  if (s.kind % 6 == 1 || s.kind % 6 == 4) {
    text += ", kl " + std::to_string(s.shape.kl) + ", ku " + std::to_string(s.shape.ku);
  }
  text += ", constructor form " + std::to_string(s.shape.form) + ":\n";
  for (std::size_t k = 0; k < log.size(); ++k)
    text += "  " + std::to_string(k) + ": " + log[k] + "\n";
  return text;
}

}  // namespace

int KindOfSeed(std::uint64_t seed) { return static_cast<int>(seed % 12); }

const char* KindName(int kind) { return kKindNames[kind]; }

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
  return Listing(s, log) +
         (m ? "mismatch [" + m->label + "]: " + m->detail + "\n" : "no mismatch\n");
}

}  // namespace orvane_stateful
