// The bad-input catalogue: one table over every public entry point, each row a
// call with an input that is wrong, empty, tiny, huge or non-finite, and the
// way the call must end (an exception of a given type, with its exact
// message where the library writes one, or a normal return). Rows with NaN
// or infinity must end at all: a watchdog fails the row instead of letting a
// LAPACK loop hang the suite. Every row also checks that nothing reaches
// standard output.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <OrvaneNet/Bessel.h>
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/OrvaneNet.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <mutex>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>
#include <typeinfo>

#include "StdoutCapture.h"
#include "TestUtil.h"

using namespace OrvaneNet;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// ---- how a row must end ----

struct Expect {
  const char* what;                          // for failure messages
  bool (*accepts)(const std::exception* e);  // e == nullptr: the call returned
};

template <class E>
bool IsA(const std::exception* e) {
  return e && dynamic_cast<const E*>(e);
}

const Expect kOrvane{"OrvaneException", IsA<OrvaneException>};
const Expect kBadAlloc{"std::bad_alloc", IsA<std::bad_alloc>};
const Expect kBadAllocOrOrvane{"std::bad_alloc or OrvaneException", [](const std::exception* e) {
                                 return IsA<std::bad_alloc>(e) || IsA<OrvaneException>(e);
                               }};
const Expect kBadCast{"std::bad_cast", IsA<std::bad_cast>};
const Expect kInvalidArgument{"std::invalid_argument", IsA<std::invalid_argument>};
const Expect kOutOfRange{"std::out_of_range", IsA<std::out_of_range>};
const Expect kSystemError{"std::system_error", IsA<std::system_error>};
const Expect kReturns{"a normal return", [](const std::exception* e) { return e == nullptr; }};
// Non-finite input: any orderly end will do, a result or an exception.
const Expect kEnds{"a return or a std::exception", [](const std::exception*) { return true; }};

struct Row {
  std::string name;
  std::function<void()> call;
  Expect expect;
  std::string message;  // the exact what(), or empty when any text will do
};

std::ostream& operator<<(std::ostream& os, const Row& row) { return os << row.name; }

// ---- inputs ----

const std::string kOutOfRangeSuffix = ") is out of range.";
std::string Range(int i, int j) {
  return "(" + std::to_string(i) + ", " + std::to_string(j) + kOutOfRangeSuffix;
}

const char* const kDisposed = "This matrix has been disposed or moved from and can no longer be used.";

// A folder of this process for the file rows, removed after the suite.
const std::filesystem::path& Scratch() {
  static const std::filesystem::path dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-catalogue-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return std::filesystem::path(pattern);
  }();
  return dir;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
  const std::string path = (Scratch() / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

template <class H>
using Elem = std::conditional_t<std::is_same_v<H, Matrix>, double, Complex>;

template <class H>
Elem<H> Value(double v) {
  return Elem<H>(v);
}
template <>
Complex Value<ComplexMatrix>(double v) {
  return Complex(v, 0.0);
}

// One maker per kind: a square matrix of order n, diagonal 4 and 1 next to
// it (inside every kind's pattern, positive definite).
template <class H>
struct KindMaker {
  std::string name;
  std::function<H(int)> make;
  bool general;        // dense, band or tridiagonal general
  bool dense;          // the dense general kind
  bool symmetric;      // packed symmetric or Hermitian
  bool invertible;     // Inv is supported
  const char* notPositiveDefinite;  // message of a failed Cholesky, or nullptr
};

std::vector<KindMaker<Matrix>> Kinds(const Matrix*) {
  using MT = MatrixType;
  const char* symTri =
      "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
      "supported by LAPACK. Please use Matrix::DoubleSymmetrix.";
  return {
      {"DoubleGeneral", [](int n) { return Matrix(n, n); }, true, true, false, true, nullptr},
      {"DoubleGeneralBand", [](int n) { return Matrix(n, n, 1, 1); }, true, false, false, false,
       nullptr},
      {"DoubleGeneralTridiagonal", [](int n) { return Matrix(n, n, 3); }, true, false, false, false,
       nullptr},
      {"DoubleSymmetric", [](int n) { return Matrix(n, n, MT::DoubleSymmetric); }, false, false,
       true, true, nullptr},
      {"DoubleSymmetricBand", [](int n) { return Matrix(n, n, MT::DoubleSymmetricBand, 1, 1); },
       false, false, false, false, symTri},
      {"DoubleSymmetricTridiagonal",
       [](int n) { return Matrix(n, n, MT::DoubleSymmetricTridiagonal); }, false, false, false,
       false, symTri},
  };
}

std::vector<KindMaker<ComplexMatrix>> Kinds(const ComplexMatrix*) {
  using MT = MatrixType;
  return {
      {"ComplexGeneral", [](int n) { return ComplexMatrix(n, n); }, true, true, false, true,
       nullptr},
      {"ComplexGeneralBand", [](int n) { return ComplexMatrix(n, n, 1, 1); }, true, false, false,
       false, nullptr},
      {"ComplexGeneralTridiagonal", [](int n) { return ComplexMatrix(n, n, 3); }, true, false,
       false, false, nullptr},
      {"ComplexHermitian", [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitian); }, false,
       false, true, true, nullptr},
      {"ComplexHermitianBand",
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitianBand, 1, 1); }, false, false,
       false, false,
       "This matrix is not positive definite. Hermitian band indefinite matrix is not supported by "
       "LAPACK. Please use Matrix::ComplexHermitian."},
      {"ComplexHermitianTridiagonal",
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitianTridiagonal); }, false, false,
       false, false,
       "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
       "supported by LAPACK. Please use Matrix::ComplexHermitian."},
  };
}

template <class H>
H Filled(const KindMaker<H>& k, int n, double diagonal = 4.0) {
  H m = k.make(n);
  for (int i = 0; i < n; ++i) {
    m.set_Item(i, i, Value<H>(diagonal));
    if (i + 1 < n) {
      m.set_Item(i, i + 1, Value<H>(1.0));
      m.set_Item(i + 1, i, Value<H>(1.0));
    }
  }
  return m;
}

template <class H>
H Dense(int rows, int cols, double v) {
  H m(rows, cols);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m.set_Item(i, j, Value<H>(v));
  return m;
}

template <class H>
H Disposed() {
  H m(2, 2);
  m.Dispose();
  return m;
}

template <class H>
H MovedFrom() {
  H m(2, 2);
  H other(std::move(m));
  return m;  // the moved-from handle itself
}

// ---- the procedures, real and complex, under one name ----

struct Solvers {
  const char* name;
  void (*factorizeReal)(Matrix&);
  void (*factorizeComplex)(ComplexMatrix&);
  void (*solveReal)(Matrix&, Matrix&);
  void (*solveComplex)(ComplexMatrix&, ComplexMatrix&);
  void Factorize(Matrix& a) const { factorizeReal(a); }
  void Factorize(ComplexMatrix& a) const { factorizeComplex(a); }
  void Solve(Matrix& a, Matrix& b) const { solveReal(a, b); }
  void Solve(ComplexMatrix& a, ComplexMatrix& b) const { solveComplex(a, b); }
};

const Solvers kSolvers[] = {
    {"LinearEquation", &LinearEquation::Factorize, &LinearEquation::Factorize,
     &LinearEquation::Solve, &LinearEquation::Solve},
    {"LUFactorization", &LUFactorization::Factorize, &LUFactorization::Factorize,
     &LUFactorization::Solve, &LUFactorization::Solve},
};

std::string Prefix(const Matrix*) { return "Real"; }
std::string Prefix(const ComplexMatrix*) { return "Complex"; }

// ---- rows ----

using Rows = std::vector<Row>;

void Add(Rows& rows, std::string name, std::function<void()> call, Expect expect,
         std::string message = {}) {
  rows.push_back({std::move(name), std::move(call), expect, std::move(message)});
}

template <class H>
void ConstructorRows(Rows& rows) {
  using MT = MatrixType;
  const std::string p = Prefix(static_cast<H*>(nullptr));
  const bool real = std::is_same_v<H, Matrix>;
  const MT general = real ? MT::DoubleGeneral : MT::ComplexGeneral;
  const MT symmetric = real ? MT::DoubleSymmetric : MT::ComplexHermitian;
  const MT symTri = real ? MT::DoubleSymmetricTridiagonal : MT::ComplexHermitianTridiagonal;
  const MT genBand = real ? MT::DoubleGeneralBand : MT::ComplexGeneralBand;
  const MT symBand = real ? MT::DoubleSymmetricBand : MT::ComplexHermitianBand;
  const MT foreign = real ? MT::ComplexGeneral : MT::DoubleGeneral;
  const char* negative = "Matrix dimensions must not be negative.";
  const char* negativeBand = "Numbers of sub- and superdiagonals must not be negative.";
  const char* notYet = "Not yet implemented.";
  const char* even = "Please specify both super and sub diagonals.";
  const char* symNotSquare = "Number of rows and columns must be equal for symmetric matrix.";
  const char* genNotSquare =
      "Number of rows and columns must be equal for general band and tridiagonal matrices.";

  Add(rows, p + "_NegativeRows", [] { H(-1, 3); }, kOrvane, negative);
  Add(rows, p + "_NegativeColumns", [] { H(3, -1); }, kOrvane, negative);
  Add(rows, p + "_MinimumIntRows", [] { H(INT_MIN, 0); }, kOrvane, negative);
  Add(rows, p + "_NegativeOrderOfType", [general] { H(-2, -2, general); }, kOrvane, negative);
  Add(rows, p + "_NegativeOrderSymmetric", [symmetric] { H(-2, -2, symmetric); }, kOrvane,
      negative);
  Add(rows, p + "_NegativeOrderSymmetricTridiagonal", [symTri] { H(-2, -2, symTri); }, kOrvane,
      negative);
  Add(rows, p + "_NegativeOrderTridiagonal", [] { H(-2, -2, 3); }, kOrvane, negative);
  Add(rows, p + "_NegativeOrderBand", [] { H(-2, -2, 1, 1); }, kOrvane, negative);
  Add(rows, p + "_NegativeOrderSymmetricBand", [symBand] { H(-2, -2, symBand, 1, 1); }, kOrvane,
      negative);
  Add(rows, p + "_NegativeBandWidth", [] { H(3, 3, -1); }, kOrvane, negativeBand);
  Add(rows, p + "_NegativeSubdiagonals", [] { H(3, 3, -1, 0); }, kOrvane, negativeBand);
  Add(rows, p + "_NegativeSuperdiagonals", [] { H(3, 3, 0, -1); }, kOrvane, negativeBand);
  Add(rows, p + "_NegativeSymmetricBand", [symBand] { H(3, 3, symBand, -1, -1); }, kOrvane,
      negativeBand);
  Add(rows, p + "_EvenBandWidth", [] { H(3, 3, 2); }, kOrvane, even);
  Add(rows, p + "_ZeroBandWidth", [] { H(3, 3, 0); }, kOrvane, even);
  Add(rows, p + "_BandTypeWithoutWidths", [genBand] { H(3, 3, genBand); }, kOrvane, notYet);
  Add(rows, p + "_ForeignType", [foreign] { H(3, 3, foreign); }, kOrvane, notYet);
  Add(rows, p + "_TypeBelowRange", [] { H(3, 3, static_cast<MT>(-1)); }, kOrvane, notYet);
  Add(rows, p + "_TypeAboveRange", [] { H(3, 3, static_cast<MT>(12)); }, kOrvane, notYet);
  Add(rows, p + "_GeneralTypeWithWidths", [general] { H(3, 3, general, 1, 1); }, kOrvane, notYet);
  Add(rows, p + "_SymmetricNotSquare", [symmetric] { H(3, 4, symmetric); }, kOrvane, symNotSquare);
  Add(rows, p + "_SymmetricTridiagonalNotSquare", [symTri] { H(3, 4, symTri); }, kOrvane,
      symNotSquare);
  Add(rows, p + "_SymmetricBandUnequalWidths", [symBand] { H(3, 3, symBand, 1, 2); }, kOrvane,
      symNotSquare);
  Add(rows, p + "_TridiagonalNotSquare", [] { H(3, 4, 3); }, kOrvane, genNotSquare);
  Add(rows, p + "_BandNotSquare", [] { H(3, 4, 1, 1); }, kOrvane, genNotSquare);
  // Sizes whose byte count does not fit in memory addresses at all: refused
  // before any allocation.
  Add(rows, p + "_MaximumIntSquare", [] { H(INT_MAX, INT_MAX); }, kBadAlloc);
  Add(rows, p + "_PackedOrderTooLarge", [symmetric] { H(46341, 46341, symmetric); }, kOrvane,
      "The order of a packed symmetric or Hermitian matrix must not exceed 46340.");
  Add(rows, p + "_BandTooWide", [] { H(INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX / 2); }, kOrvane,
      "Numbers of sub- and superdiagonals are too large for LAPACK's band storage.");
  Add(rows, p + "_SymmetricBandTooWide", [symBand] { H(INT_MAX, INT_MAX, symBand, INT_MAX, INT_MAX); },
      kOrvane, "Numbers of sub- and superdiagonals are too large for LAPACK's band storage.");
  // 70000 x 70000 needs 39 GB (real) or 78 GB (complex): the allocator's
  // refusal must come out as std::bad_alloc. AddressSanitizer's operator new
  // aborts instead of throwing, and a machine with that much memory would
  // simply build the matrix, so the row checks only where it means something.
  Add(rows, p + "_SeventyThousandSquared",
      [] {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "AddressSanitizer's operator new aborts on exhaustion";
#endif
        struct sysinfo info {};
        ::sysinfo(&info);
        const double memory = (static_cast<double>(info.totalram) + static_cast<double>(info.totalswap)) *
                              info.mem_unit;
        if (memory >= 70000.0 * 70000.0 * sizeof(Elem<H>)) GTEST_SKIP() << "it fits in memory";
        H(70000, 70000);
      },
      kBadAllocOrOrvane);
  // Empty and one-element shapes are ordinary matrices.
  Add(rows, p + "_ZeroByZero", [] {
        H m;
        EXPECT_EQ(m.get_RowNum(), 0);
        H(0, 5);
        H(5, 0);
        H(0, 0, 3);
        H(0, 0, 1, 1);
      }, kReturns);
  Add(rows, p + "_OneByOneOfEveryKind", [] {
        for (const auto& k : Kinds(static_cast<H*>(nullptr))) Filled(k, 1);
      }, kReturns);
}

// Runs every call; each must end, by returning or by a std::exception.
// Rows over NaN and infinity use it, so that one call raising does not
// leave the others untried.
void EachEnds(std::initializer_list<std::function<void()>> calls) {
  for (const auto& call : calls) {
    try {
      call();
    } catch (const std::exception&) {
    }
  }
}

template <class H>
void KindRows(Rows& rows, const KindMaker<H>& k) {
  const std::string p = k.name;
  // Indices at -1 and at the size. The handle checks every kind alike; the
  // dense kinds take the other access paths as well.
  Add(rows, p + "_GetItemRowMinusOne", [k] { Filled(k, 3).get_Item(-1, 0); }, kOrvane, Range(-1, 0));
  Add(rows, p + "_GetItemColumnAtSize", [k] { Filled(k, 3).get_Item(0, 3); }, kOrvane,
      Range(0, 3));
  Add(rows, p + "_SetItemAtSize", [k] { Filled(k, 3).set_Item(3, 3, Value<H>(1)); }, kOrvane,
      Range(3, 3));
  Add(rows, p + "_SetItemMinusOne", [k] { Filled(k, 3).set_Item(-1, -1, Value<H>(1)); }, kOrvane,
      Range(-1, -1));
  Add(rows, p + "_RowVectorAtSize", [k] { H::RowVector(Filled(k, 3), 3); }, kOrvane, Range(3, 0));
  Add(rows, p + "_ColVectorMinusOne", [k] { H::ColVector(Filled(k, 3), -1); }, kOrvane,
      Range(0, -1));
  if (k.dense) {
    Add(rows, p + "_GetItemColumnMinusOne", [k] { Filled(k, 3).get_Item(0, -1); }, kOrvane,
        Range(0, -1));
    Add(rows, p + "_GetItemRowAtSize", [k] { Filled(k, 3).get_Item(3, 0); }, kOrvane, Range(3, 0));
    Add(rows, p + "_GetItemMinimumInt", [k] { Filled(k, 3).get_Item(INT_MIN, INT_MAX); }, kOrvane,
        Range(INT_MIN, INT_MAX));
    Add(rows, p + "_ProxyWriteAtSize", [k] { H m = Filled(k, 3); m(0, 3) = Value<H>(1); }, kOrvane,
        Range(0, 3));
    Add(rows, p + "_ConstReadAtMinusOne", [k] { const H m = Filled(k, 3); (void)m(-1, 2); },
        kOrvane, Range(-1, 2));
    Add(rows, p + "_EmptyGetItem", [k] { k.make(0).get_Item(0, 0); }, kOrvane, Range(0, 0));
    Add(rows, p + "_RowVectorMinusOne", [k] { H::RowVector(Filled(k, 3), -1); }, kOrvane,
        Range(-1, 0));
    Add(rows, p + "_ColVectorAtSize", [k] { H::ColVector(Filled(k, 3), 3); }, kOrvane, Range(0, 3));
  }
  Add(rows, p + "_ProductShapes", [k] { Filled(k, 3) * H(2, 2); }, kOrvane,
      "Column size of left matrix must be equal to row size of right matrix.");
  Add(rows, p + "_NaNInsidePattern", [k] {
        H m = Filled(k, 3);
        m.set_Item(1, 1, Value<H>(kNaN));
        (void)m.ToString();
        (void)(m * m);
        (void)(2.0 * m);
      }, kReturns);
  Add(rows, p + "_EmptyOperations", [k] {
        H m = k.make(0);
        EXPECT_EQ(m.ToString(), "");
        (void)m.Clone();
        (void)(m * m);
        (void)(2.0 * m);
        (void)(k.make(1) * H(1, 0));
      }, kReturns);

  // Inversion.
  if (k.invertible) {
    Add(rows, p + "_InvZeroOrder", [k] { k.make(0).Inv(); }, kReturns);
    Add(rows, p + "_InvNonFinite", [k] {
          EachEnds({[k] { Filled(k, 3, kNaN).Inv(); }, [k] { Filled(k, 3, kInf).Inv(); }});
        }, kReturns);
  } else {
    Add(rows, p + "_Inv", [k] { Filled(k, 3).Inv(); }, kOrvane);
    Add(rows, p + "_InvZeroOrder", [k] { k.make(0).Inv(); }, kOrvane);
  }
  if (k.dense) {
    Add(rows, p + "_InvNotSquare", [] { H(2, 3).Inv(); }, kOrvane,
        "The matrix must be square for this operation.");
    Add(rows, p + "_InvSingular", [k] { k.make(2).Inv(); }, kOrvane,
        "The matrix is exactly singular (the 1-th diagonal element of U is zero), so its inverse "
        "could not be computed.");
  }

  // Linear equations. LUFactorization only forwards to LinearEquation, so
  // it takes the right-hand-side rows alone.
  const bool realTridiagonal = k.name == "DoubleGeneralTridiagonal";
  const Expect wrongKind = realTridiagonal ? kOrvane : kBadCast;
  const std::string wrongKindMessage = realTridiagonal ? "Matrix b must be general matrix." : "";
  // The Hermitian tridiagonal kind refuses the one-call driver outright.
  const bool noDriver = k.name == "ComplexHermitianTridiagonal";
  const char* zptsv =
      "The routine for solving linear equation (zptsv) may not work. Please factorize first then "
      "solve.";
  for (const Solvers& s : kSolvers) {
    const std::string q = std::string(s.name) + "_" + p;
    const bool full = &s == &kSolvers[0];
    auto driverRow = [&](std::string name, std::function<void()> call, Expect e, std::string m) {
      if (noDriver) {
        Add(rows, q + "_" + name, std::move(call), kOrvane, zptsv);
      } else {
        Add(rows, q + "_" + name, std::move(call), e, std::move(m));
      }
    };
    driverRow("SolveRhsTooFewRows", [k, s] { H a = Filled(k, 3); H b(2, 1); s.Solve(a, b); },
              kOrvane, "Matrix b must have 3 rows, not 2.");
    Add(rows, q + "_FactoredSolveRhsOfWrongKind",
        [k, s] { H a = Filled(k, 3); s.Factorize(a); H b(3, 3, 3); s.Solve(a, b); }, wrongKind,
        wrongKindMessage);
    if (!full) continue;
    driverRow("SolveRhsOfWrongKind", [k, s] { H a = Filled(k, 3); H b(3, 3, 3); s.Solve(a, b); },
              wrongKind, wrongKindMessage);
    driverRow("SolveZeroOrder", [k, s] { H a = k.make(0); H b(0, 2); s.Solve(a, b); }, kReturns, "");
    driverRow("SolveNoRightHandSides", [k, s] { H a = Filled(k, 3); H b(3, 0); s.Solve(a, b); },
              kReturns, "");
    Add(rows, q + "_FactoredSolveRhsTooFewRows",
        [k, s] { H a = Filled(k, 3); s.Factorize(a); H b(2, 1); s.Solve(a, b); }, kOrvane,
        "Matrix b must have 3 rows, not 2.");
    Add(rows, q + "_FactorizeZeroOrder", [k, s] { H a = k.make(0); s.Factorize(a); }, kReturns);
    // NaN or infinity in A or b, through the driver and through the factors.
    Add(rows, q + "_NonFinite", [k, s] {
          for (double v : {kNaN, kInf, -kInf}) {
            EachEnds({[&] { H a = Filled(k, 3, v); H b = Dense<H>(3, 1, 1); s.Solve(a, b); },
                      [&] { H a = Filled(k, 3, v); s.Factorize(a); },
                      [&] {
                        H a = Filled(k, 3, v);
                        H b = Dense<H>(3, 1, 1);
                        s.Factorize(a);
                        s.Solve(a, b);
                      },
                      [&] { H a = Filled(k, 3); H b = Dense<H>(3, 2, v); s.Solve(a, b); }});
          }
        }, kReturns);
    // A zero 1 x 1 matrix: general kinds factorize it (the solution is not
    // finite), the others report it.
    const char* singular =
        "The factorization has been completed, but D is exactly singular. Division by 0 will occur "
        "if you use D for solving a system of linear equations.";
    Add(rows, q + "_FactorizeOneByOneZero", [k, s] { H a = k.make(1); s.Factorize(a); },
        k.general ? kReturns : kOrvane,
        k.general ? "" : (k.symmetric ? singular : k.notPositiveDefinite));
  }

  // Procedures that take only some kinds.
  if (!k.symmetric) {
    if constexpr (std::is_same_v<H, Matrix>) {
      Add(rows, p + "_Eigenproblem", [k] { H a = Filled(k, 2); std::vector<double> w; Eigenproblem::Solve(a, w); },
          kOrvane, "Only double symmetric matrix is supported for this method.");
      Add(rows, p + "_EigenvalueProblem", [k] { H a = Filled(k, 2); EigenvalueProblem e; e.Solve(a); },
          kOrvane, "Only double symmetric matrix is supported for this method.");
    } else {
      Add(rows, p + "_Eigenproblem", [k] { H a = Filled(k, 2); std::vector<double> w; Eigenproblem::Solve(a, w); },
          kOrvane, "Only complex hermitian matrix is supported for this method.");
    }
  }
  if (!k.dense) {
    Add(rows, p + "_SingularValueDecomposition",
        [k] { H a = Filled(k, 2); H s, u, vt; SingularValueDecomposition::Decompose(a, s, u, vt); },
        kOrvane, "Only general matrix is supported.");
    if constexpr (std::is_same_v<H, Matrix>) {
      Add(rows, p + "_LeastSquareA", [k] { H a = Filled(k, 2); H b(2, 1); LeastSquare::Solve(a, b); },
          kOrvane, "Only double general matrix is supported.");
      Add(rows, p + "_LeastSquareB", [k] { H a(2, 2); H b = Filled(k, 2); LeastSquare::Solve(a, b); },
          kOrvane, "Only double general matrix is supported.");
    }
  }
}

// The rows of LinearEquation and LUFactorization that do not depend on A's kind.
template <class H>
void SolverRows(Rows& rows) {
  const std::string p = Prefix(static_cast<H*>(nullptr));
  for (const Solvers& s : kSolvers) {
    const std::string q = std::string(s.name) + "_" + p;
    Add(rows, q + "_SolveNotSquare", [s] { H a(3, 2); H b(3, 1); s.Solve(a, b); }, kOrvane,
        "Matrix size m != n is not supported.");
    Add(rows, q + "_SolveRhsTooManyRows", [s] { H a = Dense<H>(3, 3, 1); H b(4, 1); s.Solve(a, b); },
        kOrvane, "Matrix b must have 3 rows, not 4.");
    Add(rows, q + "_SolveDisposedA", [s] { H a = Disposed<H>(); H b(2, 1); s.Solve(a, b); },
        kOrvane, kDisposed);
    Add(rows, q + "_SolveDisposedB", [s] { H a = Dense<H>(2, 2, 1); H b = Disposed<H>(); s.Solve(a, b); },
        kOrvane, kDisposed);
    Add(rows, q + "_FactorizeMovedFrom", [s] { H a = MovedFrom<H>(); s.Factorize(a); }, kOrvane,
        kDisposed);
    Add(rows, q + "_SolveBIsA", [s] { H a = Dense<H>(2, 2, 1); s.Solve(a, a); }, kEnds);
  }
}

// Every public member of a handle after Dispose() and after a move.
template <class H>
void DisposedRows(Rows& rows) {
  const std::string p = Prefix(static_cast<H*>(nullptr));
  struct Use {
    const char* name;
    void (*use)(H&);
  };
  const Use uses[] = {
      {"GetItem", [](H& m) { (void)m.get_Item(0, 0); }},
      {"SetItem", [](H& m) { m.set_Item(0, 0, Value<H>(1)); }},
      {"Proxy", [](H& m) { m(0, 0) = Value<H>(1); }},
      {"Type", [](H& m) { (void)m.get_Type(); }},
      {"RowNum", [](H& m) { (void)m.get_RowNum(); }},
      {"ColNum", [](H& m) { (void)m.get_ColNum(); }},
      {"IsFactorized", [](H& m) { (void)m.get_IsFactorized(); }},
      {"Inv", [](H& m) { m.Inv(); }},
      {"Clone", [](H& m) { (void)m.Clone(); }},
      {"ToString", [](H& m) { (void)m.ToString(); }},
      {"ToStringDigits", [](H& m) { (void)m.ToString(2); }},
      {"ToStringFormatter", [](H& m) { (void)m.ToString(MatrixFormatter()); }},
      {"Stream", [](H& m) { std::ostringstream os; os << m; }},
      {"ProductLeft", [](H& m) { (void)(m * H(2, 2)); }},
      {"ProductRight", [](H& m) { (void)(H(2, 2) * m); }},
      {"ScalarProduct", [](H& m) { (void)(2.0 * m); }},
      {"ElementProduct", [](H& m) { (void)(Value<H>(2.0) * m); }},
      {"RowVector", [](H& m) { (void)H::RowVector(m, 0); }},
      {"ColVector", [](H& m) { (void)H::ColVector(m, 0); }},
      {"Save", [](H& m) { H::Save(m, (Scratch() / "disposed.txt").string()); }},
      {"SVD", [](H& m) { H s, u, vt; SingularValueDecomposition::Decompose(m, s, u, vt); }},
      {"Eigenproblem", [](H& m) { std::vector<double> w; Eigenproblem::Solve(m, w); }},
  };
  // A moved-from handle is in the disposed handle's state; a few uses show it.
  const std::set<std::string> movedFrom = {"GetItem", "Clone", "ToString", "ProductRight", "Save"};
  for (const Use& u : uses) {
    Add(rows, p + "_Disposed_" + u.name, [u] { H m = Disposed<H>(); u.use(m); }, kOrvane, kDisposed);
    if (movedFrom.count(u.name)) {
      Add(rows, p + "_MovedFrom_" + u.name, [u] { H m = MovedFrom<H>(); u.use(m); }, kOrvane,
          kDisposed);
    }
  }
  Add(rows, p + "_DisposeTwice", [] { H m(2, 2); m.Dispose(); m.Dispose(); }, kReturns);
  Add(rows, p + "_AssignOverDisposed", [] { H m = Disposed<H>(); m = H(1, 1); m.set_Item(0, 0, Value<H>(2)); },
      kReturns);
  if constexpr (std::is_same_v<H, Matrix>) {
    Add(rows, "Real_Disposed_LeastSquare", [] { H a = Disposed<H>(); H b(2, 1); LeastSquare::Solve(a, b); },
        kOrvane, kDisposed);
    Add(rows, "Real_Disposed_EigenvalueProblem", [] { H a = Disposed<H>(); EigenvalueProblem e; e.Solve(a); },
        kOrvane, kDisposed);
  }
}

template <class H>
void FileRows(Rows& rows) {
  const std::string p = Prefix(static_cast<H*>(nullptr));
  const bool real = std::is_same_v<H, Matrix>;
  const std::string good = real ? "[1,2]" : "[(1,2),(3,4)]";
  const std::string tag = real ? "real" : "complex";

  Add(rows, p + "_LoadMissingFile", [] { H::Load((Scratch() / "missing.txt").string()); },
      kSystemError);
  Add(rows, p + "_LoadDirectory", [] { H::Load(Scratch().string()); }, kSystemError);
  Add(rows, p + "_LoadEmptyPath", [] { H::Load(""); }, kSystemError);
  Add(rows, p + "_LoadEmptyFile", [tag] {
        H m = H::Load(WriteFile("empty-" + tag, ""));
        EXPECT_EQ(m.get_RowNum(), 0);
        EXPECT_EQ(m.get_ColNum(), 0);
      }, kReturns);
  Add(rows, p + "_LoadBlankLines", [tag] {
        EXPECT_EQ(H::Load(WriteFile("blank-" + tag, " \r\n\t\n\r")).get_RowNum(), 0);
      }, kReturns);
  Add(rows, p + "_LoadBinary", [tag] {
        H::Load(WriteFile("binary-" + tag, std::string("\x7f" "ELF\x02\x01\x01\0\0\x89\xff[", 12)));
      }, kInvalidArgument);
  Add(rows, p + "_LoadUtf8Bom", [tag, good] {
        H m = H::Load(WriteFile("bom-" + tag, "\xEF\xBB\xBF" + good + "\r\n"));
        EXPECT_EQ(m.get_RowNum(), 1);
        EXPECT_EQ(m.get_ColNum(), 2);
      }, kReturns);
  Add(rows, p + "_LoadCarriageReturnsOnly", [tag, good] {
        H m = H::Load(WriteFile("cr-" + tag, good + "\r" + good + "\r\r" + good));
        EXPECT_EQ(m.get_RowNum(), 3);
        EXPECT_EQ(m.get_ColNum(), 2);
      }, kReturns);
  Add(rows, p + "_LoadNumberOutOfRange", [tag, real] {
        H::Load(WriteFile("range-" + tag, real ? "[1e999]" : "[(1e999,0)]"));
      }, kOutOfRange,
      real ? "Value was either too large or too small for a Double: \"1e999\""
           : "Value was either too large or too small for a Double: \"1e999\"");
  Add(rows, p + "_LoadMalformedNumber", [tag, real] {
        H::Load(WriteFile("malformed-" + tag, real ? "[1;2]" : "[(1;2,3)]"));
      }, kInvalidArgument,
      real ? "Input string was not in a correct format: \"1;2\""
           : "Input string was not in a correct format: \"1;2\"");
  Add(rows, p + "_LoadEmptyLineBeginsWith", [tag, good] {
        MatrixFormatter f;
        f.set_LineBeginsWith("");
        H::Load(WriteFile("nobegin-" + tag, good), f);
      }, kInvalidArgument, "The formatter's LineBeginsWith must not be empty for parsing.");
  Add(rows, p + "_LoadEmptyLineEndsWith", [tag, good] {
        MatrixFormatter f;
        f.set_LineEndsWith("");
        H::Load(WriteFile("noend-" + tag, good), f);
      }, kInvalidArgument, "The formatter's LineEndsWith must not be empty for parsing.");
  if constexpr (std::is_same_v<H, ComplexMatrix>) {
    Add(rows, "Complex_LoadEmptyElementSeparatedBy", [good] {
          MatrixFormatter f;
          f.set_ElementSeparatedBy("");
          H::Load(WriteFile("nosep-complex", good), f);
        }, kInvalidArgument, "The formatter's ElementSeparatedBy must not be empty for parsing.");
    Add(rows, "Complex_LoadEmptyComplexBeginsWith", [good] {
          MatrixFormatter f;
          f.set_ComplexBeginsWith("");
          H::Load(WriteFile("nocbegin-complex", good), f);
        }, kInvalidArgument, "The formatter's ComplexBeginsWith must not be empty for parsing.");
    Add(rows, "Complex_LoadEmptyComplexValueSepratedBy", [good] {
          MatrixFormatter f;
          f.set_ComplexValueSepratedBy("");
          H::Load(WriteFile("nocsep-complex", good), f);
        }, kInvalidArgument, "The formatter's ComplexValueSepratedBy must not be empty for parsing.");
    Add(rows, "Complex_LoadWithoutImaginaryPart", [] { H::Load(WriteFile("noimag-complex", "[(1)]")); },
        kOutOfRange, "A complex element needs a real and an imaginary part: \"(1\"");
    Add(rows, "Complex_LoadBlankAfterComma", [] { H::Load(WriteFile("blank-comma-complex", "[(1, 2)]")); },
        kInvalidArgument, "Input string was not in a correct format: \"\"");
  } else {
    Add(rows, "Real_LoadEmptyElementSeparatedBy", [] {
          MatrixFormatter f;
          f.set_ElementSeparatedBy("");
          EXPECT_EQ(H::Load(WriteFile("nosep-real", "[1 2\t3]"), f).get_ColNum(), 3);
        }, kReturns);
  }

  // Save: the folder must exist; a failed Save leaves the previous file.
  Add(rows, p + "_SaveIntoMissingFolder", [] { H::Save(H(1, 1), (Scratch() / "no-folder" / "m.txt").string()); },
      kSystemError);
  Add(rows, p + "_SaveEmptyPath", [] { H::Save(H(1, 1), ""); }, kSystemError);
  Add(rows, p + "_SaveOntoDirectory", [tag] {
        const auto dir = Scratch() / ("dir-" + tag);
        std::filesystem::create_directory(dir);
        struct Check {
          std::filesystem::path dir;
          ~Check() { EXPECT_TRUE(std::filesystem::is_directory(dir)); }
        } check{dir};
        H::Save(H(1, 1), dir.string());
      }, kSystemError);
  Add(rows, p + "_SaveBelowARegularFile", [tag] {
        const std::string file = WriteFile("regular-" + tag, "keep");
        struct Check {
          std::string file;
          ~Check() { EXPECT_EQ(ReadFile(file), "keep"); }
        } check{file};
        H::Save(H(1, 1), file + "/m.txt");
      }, kSystemError);
  Add(rows, p + "_SaveDisposedOverExistingFile", [tag] {
        const std::string file = WriteFile("previous-" + tag, "keep");
        struct Check {
          std::string file;
          ~Check() { EXPECT_EQ(ReadFile(file), "keep"); }
        } check{file};
        H::Save(Disposed<H>(), 2, file);
      }, kOrvane, kDisposed);
  Add(rows, p + "_SaveEmptyMatrixAndOddFormatter", [tag] {
        MatrixFormatter f;
        f.set_LineBeginsWith("");
        f.set_LineEndsWith("");
        f.set_ElementSeparatedBy("");
        f.set_ComplexBeginsWith("");
        f.set_ComplexEndsWith("");
        f.set_ComplexValueSepratedBy("");
        f.set_NumberOfDigit(INT_MIN);
        H::Save(H(0, 0), f, (Scratch() / ("empty-save-" + tag)).string());
        H::Save(Dense<H>(2, 2, kNaN), f, (Scratch() / ("nan-save-" + tag)).string());
      }, kReturns);
}

// The eight Eigenproblem overloads, each as (a, b or null, values, vectors or null).
template <class H>
struct EigenOverload {
  std::string name;
  bool generalized;
  bool vectors;
};

template <class H>
void SolveEigen(const EigenOverload<H>& o, H& a, H* b, std::vector<double>& w, H* v) {
  if (o.generalized && o.vectors) Eigenproblem::Solve(a, *b, w, *v);
  if (o.generalized && !o.vectors) Eigenproblem::Solve(a, *b, w);
  if (!o.generalized && o.vectors) Eigenproblem::Solve(a, w, *v);
  if (!o.generalized && !o.vectors) Eigenproblem::Solve(a, w);
}

template <class H>
void EigenRows(Rows& rows) {
  const bool real = std::is_same_v<H, Matrix>;
  const std::string p = Prefix(static_cast<H*>(nullptr));
  const auto sym = Kinds(static_cast<H*>(nullptr))[3];  // the packed symmetric / Hermitian kind
  const char* wrongKind = real ? "Only double symmetric matrix is supported for this method."
                               : "Only complex hermitian matrix is supported for this method.";
  const std::vector<EigenOverload<H>> overloads = {
      {"Values", false, false}, {"Vectors", false, true},
      {"GeneralizedValues", true, false}, {"GeneralizedVectors", true, true}};
  for (const auto& o : overloads) {
    const std::string q = p + "_Eigenproblem" + o.name;
    auto run = [o, sym](int n, double diagonal, double bDiagonal) {
      H a = Filled(sym, n, diagonal);
      H b = Filled(sym, n, bDiagonal);
      H v;
      std::vector<double> w{1, 2, 3};
      SolveEigen(o, a, &b, w, &v);
      EXPECT_EQ(w.size(), static_cast<std::size_t>(n));
    };
    Add(rows, q + "_ZeroOrder", [run] { run(0, 4, 4); }, kReturns);
    Add(rows, q + "_OneByOne", [run] { run(1, 4, 4); }, kReturns);
    Add(rows, q + "_NonFinite", [run, o] {
          for (double v : {kNaN, kInf, -kInf}) {
            EachEnds({[&] { run(3, v, 4); }});
            if (o.generalized) EachEnds({[&] { run(3, 4, v); }});
          }
        }, kReturns);
    Add(rows, q + "_GeneralA", [o] {
          H a(2, 2), b(2, 2), v;
          std::vector<double> w;
          SolveEigen(o, a, &b, w, &v);
        }, kOrvane, wrongKind);
    Add(rows, q + "_DisposedA", [o] {
          H a = Disposed<H>(), b(2, 2), v;
          std::vector<double> w;
          SolveEigen(o, a, &b, w, &v);
        }, kOrvane, kDisposed);
    if (o.vectors) {
      Add(rows, q + "_VectorsAreA", [o, sym] {
            H a = Filled(sym, 2), b = Filled(sym, 2);
            std::vector<double> w;
            SolveEigen(o, a, &b, w, &a);
          }, kOrvane, "A result matrix must be a different object from the input matrices.");
    }
    if (o.generalized) {
      Add(rows, q + "_GeneralB", [o, sym] {
            H a = Filled(sym, 2), b(2, 2), v;
            std::vector<double> w;
            SolveEigen(o, a, &b, w, &v);
          }, kOrvane, wrongKind);
      Add(rows, q + "_BOfOtherOrder", [o, sym] {
            H a = Filled(sym, 3), b = Filled(sym, 2), v;
            std::vector<double> w;
            SolveEigen(o, a, &b, w, &v);
          }, kOrvane, "Matrix b must be 3 x 3, not 2 x 2.");
      Add(rows, q + "_BNotPositiveDefinite", [run] { run(3, 4, -4); }, kOrvane,
          "off-diagonal elements of an intermediate tridiagonal did not converge to zero");
      if (o.vectors) {
        Add(rows, q + "_VectorsAreB", [o, sym] {
              H a = Filled(sym, 2), b = Filled(sym, 2);
              std::vector<double> w;
              SolveEigen(o, a, &b, w, &b);
            }, kOrvane, "A result matrix must be a different object from the input matrices.");
      }
    }
  }

  if constexpr (std::is_same_v<H, Matrix>) {
    const char* symOnly = "Only double symmetric matrix is supported for this method.";
    Add(rows, "EigenvalueProblem_SolveZeroOrder", [sym] {
          H a = sym.make(0);
          EigenvalueProblem e;
          e.Solve(a);
          EXPECT_EQ(e.get_EigenValue()->get_RowNum(), 0);
        }, kReturns);
    Add(rows, "EigenvalueProblem_SolveOneByOne", [sym] { H a = Filled(sym, 1); EigenvalueProblem().Solve(a); },
        kReturns);
    Add(rows, "EigenvalueProblem_SolveNaN", [sym] { H a = Filled(sym, 3, kNaN); EigenvalueProblem().Solve(a); },
        kReturns);
    Add(rows, "EigenvalueProblem_GeneralizedSolveNaN", [sym] {
          H a = Filled(sym, 3, kNaN), b = Filled(sym, 3);
          EigenvalueProblem().GeneralizedSolve(a, b);
        }, kReturns);
    Add(rows, "EigenvalueProblem_GeneralizedSolveNotPositiveDefinite", [sym] {
          H a = Filled(sym, 3), b = Filled(sym, 3, -4);
          EigenvalueProblem e;
          e.GeneralizedSolve(a, b);
          EXPECT_GT(e.get_Info(), 3);
        }, kReturns);
    Add(rows, "EigenvalueProblem_GeneralizedSolveGeneralA", [sym] {
          H a(2, 2), b = Filled(sym, 2);
          EigenvalueProblem().GeneralizedSolve(a, b);
        }, kOrvane, symOnly);
    Add(rows, "EigenvalueProblem_GeneralizedSolveGeneralB", [sym] {
          H a = Filled(sym, 2), b(2, 2);
          EigenvalueProblem().GeneralizedSolve(a, b);
        }, kOrvane, symOnly);
    Add(rows, "EigenvalueProblem_GeneralizedSolveBOfOtherOrder", [sym] {
          H a = Filled(sym, 3), b = Filled(sym, 2);
          EigenvalueProblem().GeneralizedSolve(a, b);
        }, kOrvane, "Matrix b must be 3 x 3, not 2 x 2.");
    Add(rows, "EigenvalueProblem_GeneralizedSolveDisposedB", [sym] {
          H a = Filled(sym, 2), b = Disposed<H>();
          EigenvalueProblem().GeneralizedSolve(a, b);
        }, kOrvane, kDisposed);
  }
}

template <class H>
void SvdRows(Rows& rows) {
  const std::string p = Prefix(static_cast<H*>(nullptr)) + "_SingularValueDecomposition";
  auto run = [](int m, int n, double v) {
    H a = Dense<H>(m, n, v), s, u, vt;
    SingularValueDecomposition::Decompose(a, s, u, vt);
    EXPECT_EQ(s.get_RowNum(), m);
    EXPECT_EQ(u.get_RowNum(), m);
    EXPECT_EQ(vt.get_RowNum(), n);
  };
  Add(rows, p + "_ZeroByZero", [run] { run(0, 0, 1); }, kReturns);
  Add(rows, p + "_ZeroByThree", [run] { run(0, 3, 1); }, kReturns);
  Add(rows, p + "_ThreeByZero", [run] { run(3, 0, 1); }, kReturns);
  Add(rows, p + "_OneByOne", [run] { run(1, 1, -2); }, kReturns);
  Add(rows, p + "_NonFinite", [run] {
        EachEnds({[&] { run(3, 2, kNaN); }, [&] { run(2, 3, kInf); }, [&] { run(2, 2, -kInf); }});
      }, kReturns);
  const char* alias = "A result matrix must be a different object from the input matrices.";
  Add(rows, p + "_SigmaIsA", [] { H a(2, 2), u, vt; SingularValueDecomposition::Decompose(a, a, u, vt); },
      kOrvane, alias);
  Add(rows, p + "_UIsVT", [] { H a(2, 2), s, u; SingularValueDecomposition::Decompose(a, s, u, u); },
      kOrvane, alias);
  Add(rows, p + "_DisposedResults", [] {
        H a(2, 2), s = Disposed<H>(), u = Disposed<H>(), vt = MovedFrom<H>();
        SingularValueDecomposition::Decompose(a, s, u, vt);
      }, kReturns);
}

void LeastSquareRows(Rows& rows) {
  using H = Matrix;
  Add(rows, "LeastSquare_TallRhsTooShort", [] { H a = Dense<H>(4, 2, 1), b(3, 1); LeastSquare::Solve(a, b); },
      kOrvane, "Matrix b must have 4 rows, not 3.");
  Add(rows, "LeastSquare_WideRhsTooShort", [] { H a = Dense<H>(2, 4, 1), b(2, 1); LeastSquare::Solve(a, b); },
      kOrvane, "Matrix b must have 4 rows, not 2.");
  Add(rows, "LeastSquare_ZeroByZero", [] { H a, b(0, 1); LeastSquare::Solve(a, b); }, kReturns);
  Add(rows, "LeastSquare_NoRightHandSides", [] { H a = Dense<H>(3, 2, 1), b(3, 0); LeastSquare::Solve(a, b); },
      kReturns);
  // dgels answers an all-zero A with a zero solution before factorizing.
  Add(rows, "LeastSquare_OneByOneZero", [] {
        H a(1, 1), b = Dense<H>(1, 1, 1);
        LeastSquare::Solve(a, b);
        EXPECT_EQ(b(0, 0), 0.0);
      }, kReturns);
  Add(rows, "LeastSquare_ZeroColumn", [] { H a = Dense<H>(2, 2, 1), b = Dense<H>(2, 1, 1);
        a.set_Item(0, 1, 0.0);
        a.set_Item(1, 1, 0.0);
        LeastSquare::Solve(a, b); },
      kOrvane,
      "the 2-th diagonal element of the triangular factor of A is zero, so that A does not have "
      "full rank; the least squares solution could not be computed.");
  Add(rows, "LeastSquare_NaN", [] {
        H a = Dense<H>(3, 2, 1), b = Dense<H>(3, 1, 1);
        a.set_Item(1, 1, kNaN);
        LeastSquare::Solve(a, b);
      }, kEnds);
  Add(rows, "LeastSquare_Infinity", [] {
        H a = Dense<H>(2, 3, 1), b = Dense<H>(3, 1, 1);
        a.set_Item(0, 0, kInf);
        LeastSquare::Solve(a, b);
      }, kEnds);
  Add(rows, "LeastSquare_RhsOfWrongKind", [] { H a(3, 3), b(3, 3, 3); LeastSquare::Solve(a, b); },
      kOrvane, "Only double general matrix is supported.");
  Add(rows, "LeastSquare_DisposedB", [] { H a(2, 2), b = Disposed<H>(); LeastSquare::Solve(a, b); },
      kOrvane, kDisposed);
}

// Runs f on a thread with a 256 KiB stack (the size some platforms give
// threads by default) and passes its exception on.
void OnSmallStack(const std::function<void()>& f) {
  struct Job {
    const std::function<void()>* f;
    std::exception_ptr error;
  } job{&f, nullptr};
  pthread_attr_t attr;
  ASSERT_EQ(::pthread_attr_init(&attr), 0);
  ASSERT_EQ(::pthread_attr_setstacksize(&attr, 256 * 1024), 0);
  pthread_t thread;
  const int created = ::pthread_create(
      &thread, &attr,
      [](void* arg) -> void* {
        auto* j = static_cast<Job*>(arg);
        try {
          (*j->f)();
        } catch (...) {
          j->error = std::current_exception();
        }
        return nullptr;
      },
      &job);
  ::pthread_attr_destroy(&attr);
  ASSERT_EQ(created, 0);
  ::pthread_join(thread, nullptr);
  if (job.error) std::rethrow_exception(job.error);
}

void PolynomialRows(Rows& rows) {
  Add(rows, "Polynomial_NullCoefficients", [] { Polynomial(std::shared_ptr<std::vector<double>>()); },
      kOrvane, "The coefficient array must not be null.");
  Add(rows, "Polynomial_Empty", [] {
        const Polynomial p(std::vector<double>{}, 2.0);
        EXPECT_EQ(p.Value(3.0), 0.0);
        EXPECT_TRUE(p.get_Coeffcients().empty());
      }, kReturns);
  Add(rows, "Polynomial_OneCoefficient", [] {
        const Polynomial p(std::vector<double>{5.0}, 2.0);
        EXPECT_EQ(p.get_Coeffcients(), std::vector<double>{5.0});
      }, kReturns);
  Add(rows, "Polynomial_NonFinite", [] {
        const Polynomial p(std::vector<double>{kNaN, kInf, -kInf}, kNaN);
        (void)p.Value(kInf);
        (void)p.get_Coeffcients();
      }, kReturns);
  // The expansion once recursed once per degree: a few thousand
  // coefficients overflowed a small stack.
  Add(rows, "Polynomial_LongExpansionOnSmallStack", [] {
        OnSmallStack([] {
          const Polynomial p(std::vector<double>(5000, 0.0), 0.5);
          EXPECT_EQ(p.get_Coeffcients().size(), 5000u);
        });
      }, kReturns);
  Add(rows, "PolynomialFitting_NegativeDimension", [] { PolynomialFitting::Fit({1, 2}, {1, 2}, -1); },
      kOrvane, "The dimension of the fit must not be negative.");
  Add(rows, "PolynomialFitting_MinimumIntDimension",
      [] { PolynomialFitting::Fit({1, 2}, {1, 2}, INT_MIN); }, kOrvane,
      "The dimension of the fit must not be negative.");
  const char* tooFew = "The fit needs at least dimension + 1 points and as many y values as x values.";
  Add(rows, "PolynomialFitting_Empty", [] { PolynomialFitting::Fit({}, {}, 0); }, kOrvane, tooFew);
  Add(rows, "PolynomialFitting_TooFewPoints", [] { PolynomialFitting::Fit({1, 2}, {1, 2}, 2); },
      kOrvane, tooFew);
  Add(rows, "PolynomialFitting_ShortY", [] { PolynomialFitting::Fit({1, 2, 3}, {1, 2}, 1); }, kOrvane,
      tooFew);
  Add(rows, "PolynomialFitting_MaximumIntDimension",
      [] { PolynomialFitting::Fit({1, 2}, {1, 2}, INT_MAX); }, kOrvane, tooFew);
  Add(rows, "PolynomialFitting_OnePoint", [] {
        EXPECT_EQ(PolynomialFitting::Fit({3}, {7}, 0).Value(10), 7.0);
      }, kReturns);
  Add(rows, "PolynomialFitting_EqualX", [] { PolynomialFitting::Fit({5, 5, 5, 5}, {1, 2, 3, 4}, 2); },
      kOrvane,
      "the 2-th diagonal element of the triangular factor of A is zero, so that A does not have "
      "full rank; the least squares solution could not be computed.");
  Add(rows, "PolynomialFitting_NaN", [] { PolynomialFitting::Fit({0, kNaN, 2}, {1, 2, 3}, 1); }, kEnds);
  Add(rows, "PolynomialFitting_Infinity", [] { PolynomialFitting::Fit({0, 1, 2}, {1, kInf, 3}, 2); },
      kEnds);
}

void ScalarRows(Rows& rows) {
  Add(rows, "FFT_Empty", [] {
        EXPECT_EQ(FFT::Forward({}).size(), 1u);
        EXPECT_EQ(FFT::Backward({}).size(), 1u);
      }, kReturns);
  Add(rows, "FFT_OneElement", [] { EXPECT_EQ(FFT::Forward({Complex(2, 3)}).size(), 1u); }, kReturns);
  Add(rows, "FFT_NonFinite", [] {
        const std::vector<Complex> x = {Complex(kNaN, 0), Complex(kInf, -kInf), Complex(1, 2)};
        (void)FFT::Forward(x);
        (void)FFT::Backward(x);
        (void)FFT::Forward(std::vector<Complex>(1000, Complex(kInf, kNaN)));
      }, kReturns);
  Add(rows, "Bessel_NonFinite", [] {
        for (int order : {0, 1, 2, -1, -2, 7, 1000, -1000, INT_MAX, INT_MIN}) {
          for (double x : {kNaN, kInf, -kInf, 0.0, -0.0, 1e300}) {
            (void)Bessel::J(order, x);
            (void)Bessel::Y(order, x);
          }
        }
        // The C library's jn and yn recur over the order: a huge order with a
        // moderate x costs seconds, so those stay out of the table.
        for (int order : {0, 1, 2, -1, -2, 7, 1000, -1000}) {
          (void)Bessel::J(order, -1.0);
          (void)Bessel::Y(order, -1.0);
        }
      }, kReturns);
  Add(rows, "Complex_NonFinite", [] {
        const Complex nan(kNaN, kInf), zero;
        (void)Complex::Pow(zero, Complex(-1, 0));
        (void)Complex::Pow(nan, 2.0);
        (void)Complex::Pow(0.0, nan);
        (void)Complex::Log(zero);
        (void)Complex::Log10(zero);
        (void)Complex::Sqrt(nan);
        (void)Complex::Tan(Complex(0, 1e308));
        (void)Complex::Tanh(Complex(1e308, 0));
        for (auto f : {&Complex::Conj, &Complex::Sqrt, &Complex::Exp, &Complex::Log,
                       &Complex::Log10, &Complex::Sin, &Complex::Sinh, &Complex::Cos,
                       &Complex::Cosh, &Complex::Tan, &Complex::Tanh}) {
          (void)f(nan);
          (void)f(zero);
          (void)f(Complex(-kInf, kInf));
        }
        (void)Complex::Norm(nan);
        (void)nan.ToStdComplex();
        (void)nan.ToString();
        (void)(Complex(1, 1) / zero);
        (void)(1.0 / zero);
        (void)nan.ToString(nullptr, nullptr, nullptr, INT_MIN);
        (void)nan.ToString(1000);
        std::ostringstream os;
        os << nan;
      }, kReturns);
  Add(rows, "MatrixFormatter_ExtremeSettings", [] {
        MatrixFormatter f;
        f.set_LineBeginsWith(std::string(1, '\0'));
        f.set_LineEndsWith("");
        f.set_ElementSeparatedBy("0");
        f.set_ComplexBeginsWith("-");
        f.set_ComplexEndsWith("+");
        f.set_ComplexValueSepratedBy("e");
        for (int digits : {INT_MIN, -1, 0, 1, 99, 100, 400}) {
          f.set_NumberOfDigit(digits);
          (void)Dense<Matrix>(2, 2, -1e300).ToString(f);
          (void)Dense<ComplexMatrix>(2, 2, 5e-324).ToString(f);
        }
      }, kReturns);
}

Rows AllRows() {
  Rows rows;
  ConstructorRows<Matrix>(rows);
  ConstructorRows<ComplexMatrix>(rows);
  for (const auto& k : Kinds(static_cast<Matrix*>(nullptr))) KindRows(rows, k);
  for (const auto& k : Kinds(static_cast<ComplexMatrix*>(nullptr))) KindRows(rows, k);
  SolverRows<Matrix>(rows);
  SolverRows<ComplexMatrix>(rows);
  DisposedRows<Matrix>(rows);
  DisposedRows<ComplexMatrix>(rows);
  FileRows<Matrix>(rows);
  FileRows<ComplexMatrix>(rows);
  EigenRows<Matrix>(rows);
  EigenRows<ComplexMatrix>(rows);
  SvdRows<Matrix>(rows);
  SvdRows<ComplexMatrix>(rows);
  LeastSquareRows(rows);
  PolynomialRows(rows);
  ScalarRows(rows);
  return rows;
}

// Ends the process if a row runs longer than the limit: a hang in LAPACK
// cannot be interrupted from inside, and a failed row beats a stuck suite.
class Watchdog {
 public:
  Watchdog(std::string name, std::chrono::seconds limit)
      : m_thread([this, name = std::move(name), limit] {
          std::unique_lock<std::mutex> lock(m_mutex);
          if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
            std::fprintf(stderr, "Row %s did not end within %lld s\n", name.c_str(),
                         static_cast<long long>(limit.count()));
            std::_Exit(3);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_thread;
};

class BadInputCatalogue : public testing::TestWithParam<Row> {
 protected:
  static void TearDownTestSuite() {
    std::error_code ignored;
    std::filesystem::remove_all(Scratch(), ignored);
  }
};

TEST_P(BadInputCatalogue, EndsAsListed) {
  const Row& row = GetParam();
  Watchdog watchdog(row.name, std::chrono::seconds(120));
  // Nothing of the library may reach standard output but LAPACK's own
  // illegal-argument line, and the library keeps LAPACK from printing that.
  std::exception_ptr raised;
  std::string printed;
  {
    orvane_test::StdoutCapture capture;
    try {
      row.call();
    } catch (...) {
      raised = std::current_exception();
    }
    printed = capture.Text();
  }
  // gtest reports skips and failures inside the call on standard output too.
  if (IsSkipped() || HasFailure()) {
    std::cout << printed;
    if (IsSkipped()) return;
  } else {
    EXPECT_EQ(printed, "") << "written to standard output";
  }

  if (!raised) {
    EXPECT_TRUE(row.expect.accepts(nullptr)) << "returned normally, expected " << row.expect.what;
    return;
  }
  try {
    std::rethrow_exception(raised);
  } catch (const std::exception& e) {
    EXPECT_TRUE(row.expect.accepts(&e))
        << "raised " << typeid(e).name() << " (\"" << e.what() << "\"), expected " << row.expect.what;
    if (!row.message.empty()) {
      EXPECT_EQ(std::string(e.what()), row.message);
    }
  } catch (...) {
    ADD_FAILURE() << "raised something that is not a std::exception, expected " << row.expect.what;
  }
}

INSTANTIATE_TEST_SUITE_P(PublicApi, BadInputCatalogue, testing::ValuesIn(AllRows()),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
