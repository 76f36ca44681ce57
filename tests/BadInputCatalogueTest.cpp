// The bad-input catalogue: one table over every public entry point, each row a
// call with an input that is wrong, empty, tiny, huge or non-finite, and the
// way the call must end (an exception of a given type, with its exact message
// where the library writes one, or a normal return). A watchdog fails a row
// that does not end (a LAPACK loop on NaN) instead of letting it hang the
// suite, and no row may write to standard output.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/OrvaneNet.h>
#include <pthread.h>
#include <sys/sysinfo.h>

#include <climits>
#include <functional>
#include <future>
#include <sstream>
#include <thread>
#include <typeinfo>

#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::KindType;
using orvane_test::MakeKind;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// How a row must end.
struct Expect {
  const char* what;                          // for failure messages
  bool (*accepts)(const std::exception* e);  // e == nullptr: the call returned
};

template <class... E>
constexpr Expect Raises(const char* what) {
  return {what, [](const std::exception* e) { return ((dynamic_cast<const E*>(e) != nullptr) || ...); }};
}

const Expect kOrvane = Raises<OrvaneException>("OrvaneException");
const Expect kBadAlloc = Raises<std::bad_alloc>("std::bad_alloc");
const Expect kBadAllocOrOrvane = Raises<std::bad_alloc, OrvaneException>("std::bad_alloc or OrvaneException");
const Expect kBadCast = Raises<std::bad_cast>("std::bad_cast");
const Expect kInvalidArgument = Raises<std::invalid_argument>("std::invalid_argument");
const Expect kSystemError = Raises<std::system_error>("std::system_error");
const Expect kReturns{"a normal return", [](const std::exception* e) { return e == nullptr; }};
const Expect kOrvaneOrReturns{"an OrvaneException or a normal return", [](const std::exception* e) {
                                return e == nullptr || dynamic_cast<const OrvaneException*>(e) != nullptr;
                              }};

struct Row {
  std::string name;
  std::function<void()> call;
  Expect expect;
  std::string message;  // the exact what(), or empty when any text will do
};

std::ostream& operator<<(std::ostream& os, const Row& row) { return os << row.name; }

std::vector<Row> g_rows;

void Add(std::string name, std::function<void()> call, Expect expect = kReturns, std::string message = {}) {
  g_rows.push_back({std::move(name), std::move(call), expect, std::move(message)});
}

// ---- inputs ----

std::string Range(int i, int j) { return "(" + std::to_string(i) + ", " + std::to_string(j) + ") is out of range."; }

const char* const kDisposed = "This matrix has been disposed or moved from and can no longer be used.";
const char* const kAlias = "A result matrix must be a different object from the input matrices.";

// The folder of the file rows, removed at exit.
const orvane_test::TempFolder& Scratch() {
  static const orvane_test::TempFolder folder;
  return folder;
}

template <class H>
using E = orvane_test::ElementOf<H>;
template <class H>
constexpr bool kReal = std::is_same_v<H, Matrix>;

const char* const kKindNames[] = {
    "DoubleGeneral",   "DoubleGeneralBand",   "DoubleGeneralTridiagonal",   "DoubleSymmetric",
    "DoubleSymmetricBand", "DoubleSymmetricTridiagonal", "ComplexGeneral", "ComplexGeneralBand",
    "ComplexGeneralTridiagonal", "ComplexHermitian", "ComplexHermitianBand", "ComplexHermitianTridiagonal"};

// The tridiagonal pattern (see orvane_test::Filled): positive definite for a
// positive diagonal of 2 or more.
template <class H>
H Filled(int form, int n, double diagonal = 2.0) {
  return orvane_test::Filled(MakeKind<H>(form, n), diagonal);
}

template <class H>
H Dense(int rows, int cols, double v) {
  H m(rows, cols);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m.set_Item(i, j, E<H>(v));
  return m;
}

// A handle after Dispose(), or after its matrix was moved out.
template <class H>
H Dead(bool moved = false) {
  H m(2, 2);
  if (moved) {
    H other(std::move(m));
  } else {
    m.Dispose();
  }
  return m;
}

// NaN in, no finite answer out.
template <class M>
void ExpectNaNOut(const M& result) {
  EXPECT_FALSE(orvane_test::AllFinite(result)) << "a finite result from NaN input";
}
void ExpectNaNOut(const std::vector<double>& result) {
  EXPECT_FALSE(std::all_of(result.begin(), result.end(), [](double v) { return std::isfinite(v); }));
}

// ---- rows ----

template <class H>
void ConstructorRows(const std::string& p) {
  const MatrixType symmetric = KindType<H>(3), symBand = KindType<H>(4);
  const char *negative = "Matrix dimensions must not be negative.", *notYet = "Not yet implemented.";
  const char* negativeBand = "Numbers of sub- and superdiagonals must not be negative.";
  const char* symNotSquare = "Number of rows and columns must be equal for symmetric matrix.";
  const char* genNotSquare = "Number of rows and columns must be equal for general band and tridiagonal matrices.";
  const char* tooWide = "Numbers of sub- and superdiagonals are too large for LAPACK's band storage.";
  Add(p + "NegativeRows", [] { H(INT_MIN, 3); }, kOrvane, negative);
  Add(p + "NegativeColumns", [] { H(3, -1); }, kOrvane, negative);
  Add(p + "NegativeBandWidth", [] { H(3, 3, -1); }, kOrvane, negativeBand);
  Add(p + "NegativeSubdiagonals", [] { H(3, 3, -1, 0); }, kOrvane, negativeBand);
  Add(p + "NegativeSuperdiagonals", [] { H(3, 3, 0, -1); }, kOrvane, negativeBand);
  Add(p + "NegativeSymmetricBand", [=] { H(3, 3, symBand, -1, -1); }, kOrvane, negativeBand);
  Add(p + "EvenBandWidth", [] { H(3, 3, 2); }, kOrvane, "Please specify both super and sub diagonals.");
  Add(p + "BandTypeWithoutWidths", [] { H(3, 3, KindType<H>(1)); }, kOrvane, notYet);
  Add(p + "ForeignType", [] { H(3, 3, KindType<H>(kReal<H> ? 6 : -6)); }, kOrvane, notYet);
  Add(p + "TypeOutOfRange", [] { H(3, 3, static_cast<MatrixType>(-1)); }, kOrvane, notYet);
  Add(p + "GeneralTypeWithWidths", [] { H(3, 3, KindType<H>(0), 1, 1); }, kOrvane, notYet);
  Add(p + "SymmetricNotSquare", [=] { H(3, 4, symmetric); }, kOrvane, symNotSquare);
  Add(p + "SymmetricBandUnequalWidths", [=] { H(3, 3, symBand, 1, 2); }, kOrvane, symNotSquare);
  Add(p + "TridiagonalNotSquare", [] { H(3, 4, 3); }, kOrvane, genNotSquare);
  Add(p + "BandNotSquare", [] { H(3, 4, 1, 1); }, kOrvane, genNotSquare);
  // Sizes whose byte count does not fit in memory addresses at all: refused before any allocation.
  Add(p + "MaximumIntSquare", [] { H(INT_MAX, INT_MAX); }, kBadAlloc);
  Add(p + "PackedOrderTooLarge", [=] { H(46341, 46341, symmetric); }, kOrvane,
      "The order of a packed symmetric or Hermitian matrix must not exceed 46340.");
  Add(p + "BandTooWide", [] { H(INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX / 2); }, kOrvane, tooWide);
  Add(p + "SymmetricBandTooWide", [=] { H(INT_MAX, INT_MAX, symBand, INT_MAX, INT_MAX); }, kOrvane, tooWide);
  // 70000 x 70000 needs 39 GB (real) or 78 GB (complex): the allocator's
  // refusal must come out as std::bad_alloc. AddressSanitizer's operator new
  // aborts instead of throwing, and a machine with that much memory would
  // simply build the matrix, so the row checks only where it means something.
  Add(p + "SeventyThousandSquared", [] {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "AddressSanitizer's operator new aborts on exhaustion";
#endif
        struct sysinfo info {};
        ::sysinfo(&info);
        const double memory = (1.0 * info.totalram + 1.0 * info.totalswap) * info.mem_unit;
        if (memory >= 70000.0 * 70000.0 * sizeof(E<H>)) GTEST_SKIP() << "it fits in memory";
        H(70000, 70000);
      }, kBadAllocOrOrvane);
  Add(p + "EmptyShapes", [] {
        EXPECT_EQ(H().get_RowNum(), 0);
        EXPECT_EQ(H(0, 5).get_ColNum(), 5);
        EXPECT_EQ(H(5, 0).get_RowNum(), 5);
      });
}

// Out-of-range indices of a 3 x 3 matrix through every access route. The
// handle checks them before its kind is reached, so the dense kind stands for
// all. RowVector and ColVector take only the index they use.
template <class H>
void IndexRows(const std::string& p) {
  const struct {
    const char* name;
    int i, j;
  } indices[] = {{"RowMinusOne", -1, 0}, {"ColumnMinusOne", 0, -1}, {"RowAtSize", 3, 0},
                 {"ColumnAtSize", 0, 3}, {"Extremes", INT_MIN, INT_MAX}};
  const struct {
    const char* name;
    char only;  // 'i' or 'j': the route takes that index alone
    void (*use)(int, int);
  } routes[] = {
      {"GetItem", 0, [](int i, int j) { (void)H(3, 3).get_Item(i, j); }},
      {"SetItem", 0, [](int i, int j) { H(3, 3).set_Item(i, j, E<H>(1)); }},
      {"ProxyWrite", 0, [](int i, int j) { H m(3, 3); m(i, j) = E<H>(1); }},
      {"ConstRead", 0, [](int i, int j) { const H m(3, 3); (void)m(i, j); }},
      {"RowVector", 'i', [](int i, int) { (void)H::RowVector(H(3, 3), i); }},
      {"ColVector", 'j', [](int, int j) { (void)H::ColVector(H(3, 3), j); }},
  };
  for (const auto& x : indices)
    for (const auto& r : routes) {
      if ((r.only == 'i' && x.j != 0) || (r.only == 'j' && x.i != 0)) continue;
      Add(p + r.name + x.name, [use = r.use, x] { use(x.i, x.j); }, kOrvane, Range(x.i, x.j));
    }
  Add(p + "ProductShapes", [] { H(3, 3) * H(2, 2); }, kOrvane,
      "Column size of left matrix must be equal to row size of right matrix.");
}

template <class H>
void KindRows(int form) {
  const std::string p = std::string(kKindNames[static_cast<int>(KindType<H>(form))]) + "_";
  Add(p + "NegativeOrder", [=] { MakeKind<H>(form, -2); }, kOrvane, "Matrix dimensions must not be negative.");
  Add(p + "EmptyOperations", [=] {
        const H empty = MakeKind<H>(form, 0);
        EXPECT_EQ(empty.ToString(), "");
        EXPECT_EQ((empty.Clone() * empty).get_RowNum(), 0);
        EXPECT_EQ((2.0 * empty).get_ColNum(), 0);
        EXPECT_EQ((MakeKind<H>(form, 1) * H(1, 0)).get_ColNum(), 0);
      });

  const bool invertible = form % 3 == 0;
  if (!invertible) Add(p + "Inv", [=] { Filled<H>(form, 3).Inv(); }, kOrvane);
  if (invertible) Add(p + "InvNaN", [=] { H a = Filled<H>(form, 3, kNaN); a.Inv(); ExpectNaNOut(a); });
  if (form == 0) {
    // (SoundBehaviourTest has Inv of a non-square matrix.)
    Add(p + "InvSingular", [] { H(2, 2).Inv(); }, kOrvane,
        "The matrix is exactly singular (the 1-th diagonal element of U is zero), so its inverse could not be "
        "computed.");
  }

  // Linear equations (KindsTest has orders 0 and 1 and singular matrices). A
  // right-hand side of a banded kind fails its cast, but the real
  // tridiagonal kind names the fault.
  const bool realTridiagonal = kReal<H> && form == 2;
  const Expect wrongKind = realTridiagonal ? kOrvane : kBadCast;
  const std::string wrongKindMessage = realTridiagonal ? "Matrix b must be general matrix." : "";
  const std::string q = "LinearEquation_" + p;
  auto factorize = [](H& a) { LinearEquation::Factorize(a); };
  auto solve = [](H& a, H& b) { LinearEquation::Solve(a, b); };
  Add(q + "FactoredSolveRhsOfWrongKind", [=] { H a = Filled<H>(form, 3), b(3, 3, 3); factorize(a); solve(a, b); },
      wrongKind, wrongKindMessage);
  // The Hermitian tridiagonal kind refuses the one-call driver outright.
  const bool driver = kReal<H> || form != 5;
  if (!driver) {
    Add(q + "Solve", [=] { H a = Filled<H>(form, 3), b(3, 1); solve(a, b); }, kOrvane,
        "The routine for solving linear equation (zptsv) may not work. Please factorize first then solve.");
  } else {
    Add(q + "SolveRhsTooFewRows", [=] { H a = Filled<H>(form, 3), b(2, 1); solve(a, b); }, kOrvane,
        "Matrix b must have 3 rows, not 2.");
    Add(q + "SolveRhsOfWrongKind", [=] { H a = Filled<H>(form, 3), b(3, 3, 3); solve(a, b); },
        wrongKind, wrongKindMessage);
    Add(q + "SolveNoRightHandSides", [=] { H a = Filled<H>(form, 3), b(3, 0); solve(a, b); });
  }
  Add(q + "FactoredSolveRhsTooFewRows", [=] { H a = Filled<H>(form, 3), b(2, 1); factorize(a); solve(a, b); },
      kOrvane, "Matrix b must have 3 rows, not 2.");
  // NaN in A or in b, through the factors and through the driver.
  Add(q + "NaN", [=] {
        for (const bool factorFirst : {true, false}) {
          if (!factorFirst && !driver) continue;
          for (const auto& [inA, inB] : {std::pair{kNaN, 1.0}, {4.0, kNaN}}) {
            H a = Filled<H>(form, 3, inA), b = Dense<H>(3, 1, inB);
            if (factorFirst) factorize(a);
            solve(a, b);
            ExpectNaNOut(b);
          }
        }
      });

  // Procedures that take only the general kind (the eigen ones, only the
  // symmetric: EigenRows, with the one type test every other kind fails too).
  if (form == 0) return;
  Add(p + "SingularValueDecomposition",
      [=] { H a = Filled<H>(form, 2), s, u, vt; SingularValueDecomposition::Decompose(a, s, u, vt); }, kOrvane,
      "Only general matrix is supported.");
  if constexpr (kReal<H>) {
    Add(p + "LeastSquareA", [=] { H a = Filled<H>(form, 2), b(2, 1); LeastSquare::Solve(a, b); }, kOrvane,
        "Only double general matrix is supported.");
    Add(p + "LeastSquareB", [=] { H a(2, 2), b = Filled<H>(form, 2); LeastSquare::Solve(a, b); }, kOrvane,
        "Only double general matrix is supported.");
  }
}

// The rows of LinearEquation that do not depend on A's kind. LUFactorization
// only forwards to LinearEquation: one row for each of its calls.
template <class H>
void SolverRows(const std::string& p) {
  const std::string q = "LinearEquation_" + p;
  Add(q + "SolveNotSquare", [] { H a(3, 2), b(3, 1); LinearEquation::Solve(a, b); }, kOrvane,
      "Matrix size m != n is not supported.");
  Add(q + "SolveRhsTooManyRows", [] { H a = Dense<H>(3, 3, 1), b(4, 1); LinearEquation::Solve(a, b); }, kOrvane,
      "Matrix b must have 3 rows, not 4.");
  Add(q + "SolveDisposedA", [] { H a = Dead<H>(), b(2, 1); LinearEquation::Solve(a, b); }, kOrvane, kDisposed);
  Add(q + "SolveDisposedB", [] { H a = Dense<H>(2, 2, 1), b = Dead<H>(); LinearEquation::Solve(a, b); }, kOrvane,
      kDisposed);
  Add(q + "FactorizeMovedFrom", [] { H a = Dead<H>(true); LinearEquation::Factorize(a); }, kOrvane, kDisposed);
  Add("LUFactorization_" + p + "SolveNotSquare", [] { H a(3, 2), b(3, 1); LUFactorization::Solve(a, b); }, kOrvane,
      "Matrix size m != n is not supported.");
  Add("LUFactorization_" + p + "FactorizeDisposed", [] { H a = Dead<H>(); LUFactorization::Factorize(a); }, kOrvane,
      kDisposed);
}

// Every public member of a handle after Dispose() and after a move.
template <class H>
void DisposedRows(const std::string& p) {
  const std::pair<const char*, void (*)(H&)> uses[] = {
      {"GetItem", [](H& m) { (void)m.get_Item(0, 0); }},
      {"SetItem", [](H& m) { m.set_Item(0, 0, E<H>(1)); }},
      {"Proxy", [](H& m) { m(0, 0) = E<H>(1); }},
      {"Type", [](H& m) { (void)m.get_Type(); }},
      {"RowNum", [](H& m) { (void)m.get_RowNum(); }},
      {"ColNum", [](H& m) { (void)m.get_ColNum(); }},
      {"IsFactorized", [](H& m) { (void)m.get_IsFactorized(); }},
      {"Inv", [](H& m) { m.Inv(); }},
      {"Clone", [](H& m) { (void)m.Clone(); }},
      {"ToString", [](H& m) { (void)m.ToString(); }},
      {"ToStringDigits", [](H& m) { (void)m.ToString(2); }},
      {"ToStringFormatter", [](H& m) { (void)m.ToString(MatrixFormatter()); }},
      {"Stream", [](H& m) { std::ostringstream() << m; }},
      {"ProductLeft", [](H& m) { (void)(m * H(2, 2)); }},
      {"ProductRight", [](H& m) { (void)(H(2, 2) * m); }},
      {"ScalarProduct", [](H& m) { (void)(2.0 * m); }},
      {"ElementProduct", [](H& m) { (void)(E<H>(2.0) * m); }},
      {"RowVector", [](H& m) { (void)H::RowVector(m, 0); }},
      {"ColVector", [](H& m) { (void)H::ColVector(m, 0); }},
      {"Save", [](H& m) { H::Save(m, Scratch().Path("disposed.txt")); }},
      {"SVD", [](H& m) { H s, u, vt; SingularValueDecomposition::Decompose(m, s, u, vt); }},
  };
  // A moved-from handle is in the disposed handle's state (see FactorizeMovedFrom).
  for (const auto& [name, use] : uses) {
    Add(p + "Disposed_" + name, [use = use] { H m = Dead<H>(); use(m); }, kOrvane, kDisposed);
  }
  Add(p + "DisposeTwice", [] { H m(2, 2); m.Dispose(); m.Dispose(); });
  Add(p + "AssignOverDisposed", [] {
        H m = Dead<H>();
        m = H(1, 1);
        m.set_Item(0, 0, E<H>(2));
        EXPECT_EQ(m.get_Item(0, 0), E<H>(2));
      });
}

template <class H>
void FileRows(const std::string& p) {
  auto load = [p](const std::string& file, const std::string& bytes, const MatrixFormatter& f = {}) {
    return H::Load(Scratch().Write(p + file, bytes), f);
  };
  Add(p + "LoadMissingFile", [] { H::Load(Scratch().Path("missing.txt")); }, kSystemError);
  Add(p + "LoadDirectory", [] { H::Load(Scratch().Dir().string()); }, kSystemError);
  Add(p + "LoadEmptyFile", [=] { EXPECT_EQ(load("empty", "").get_RowNum(), 0); });
  const std::string good = kReal<H> ? "[1,2]" : "[(1,2),(3,4)]";
  Add(p + "LoadUtf8Bom", [=] { EXPECT_EQ(load("bom", "\xEF\xBB\xBF" + good + "\r\n").get_ColNum(), 2); });
  Add(p + "LoadCarriageReturnsOnly", [=] { EXPECT_EQ(load("cr", good + "\r" + good + "\r\r" + good).get_RowNum(), 3); });
  Add(p + "LoadBinary", [=] { load("binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\x89\xff[", 12)); },
      kInvalidArgument);
  // Number syntax belongs to TextFormatTest; here only a formatter parsing
  // cannot use.
  Add(p + "LoadEmptyLineBeginsWith", [=] {
        MatrixFormatter f;
        f.set_LineBeginsWith("");
        load("setting", "[1]", f);
      }, kInvalidArgument, "The formatter's LineBeginsWith must not be empty for parsing.");

  // Save: the folder must exist, and a failed Save leaves what was there.
  Add(p + "SaveIntoMissingFolder", [] { H::Save(H(1, 1), Scratch().Path("no-folder/m.txt")); },
      kSystemError);
  Add(p + "SaveEmptyPath", [] { H::Save(H(1, 1), ""); }, kSystemError);
  Add(p + "SaveOntoDirectory", [] { H::Save(H(1, 1), Scratch().Dir().string()); }, kSystemError);
  Add(p + "SaveBelowARegularFile", [p] {
        const std::string file = Scratch().Write(p + "regular", "keep");
        EXPECT_THROW(H::Save(H(1, 1), file + "/m.txt"), std::system_error);
        EXPECT_EQ(Scratch().Read(file), "keep");
      });
  Add(p + "SaveDisposedOverExistingFile", [p] {
        const std::string file = Scratch().Write(p + "previous", "keep");
        EXPECT_THROW_MSG(H::Save(Dead<H>(), 2, file), OrvaneException, kDisposed);
        EXPECT_EQ(Scratch().Read(file), "keep");
      });
  // Empty, odd and extreme formatter settings: the file holds the text and one more line end.
  Add(p + "OddFormatter", [p] {
        MatrixFormatter f;
        f.set_LineBeginsWith(std::string(1, '\0'));
        f.set_ElementSeparatedBy("");
        f.set_ComplexValueSepratedBy("e");
        const std::string file = Scratch().Path(p + "odd");
        for (int digits : {INT_MIN, -1, 0, 99, 100, 400}) {
          f.set_NumberOfDigit(digits);
          for (const H& m : {Dense<H>(2, 2, -1e300), Dense<H>(2, 2, 5e-324), Dense<H>(2, 2, kNaN), H(0, 0)}) {
            H::Save(m, f, file);
            EXPECT_EQ(Scratch().Read(file), m.ToString(f) + "\r\n");
          }
        }
      });
}

// One of the four Eigenproblem overloads: with or without b, with or without vectors.
template <class H>
std::vector<double> SolveEigen(bool generalized, bool vectors, H& a, H& b, H& v) {
  std::vector<double> w{1, 2, 3};
  if (generalized && vectors) Eigenproblem::Solve(a, b, w, v);
  if (generalized && !vectors) Eigenproblem::Solve(a, b, w);
  if (!generalized && vectors) Eigenproblem::Solve(a, w, v);
  if (!generalized && !vectors) Eigenproblem::Solve(a, w);
  EXPECT_EQ(static_cast<int>(w.size()), a.get_RowNum());
  return w;
}

template <class H>
void EigenRows(const std::string& p) {
  const char* wrongKind = kReal<H> ? "Only double symmetric matrix is supported for this method."
                                   : "Only complex hermitian matrix is supported for this method.";
  for (const bool gen : {false, true}) {
    for (const bool vec : {false, true}) {
      const std::string q = p + "Eigenproblem" + (gen ? "Generalized" : "") + (vec ? "Vectors_" : "Values_");
      auto run = [=](H a, H b) { H v; return SolveEigen(gen, vec, a, b, v); };
      Add(q + "OrderZeroAndOne", [=] { for (int n : {0, 1}) run(Filled<H>(3, n), Filled<H>(3, n)); });
      // LAPACK may report the NaN as a failure to converge.
      Add(q + "NaNInA", [=] { ExpectNaNOut(run(Filled<H>(3, 3, kNaN), Filled<H>(3, 3))); }, kOrvaneOrReturns);
      if (gen) Add(q + "NaNInB", [=] { ExpectNaNOut(run(Filled<H>(3, 3), Filled<H>(3, 3, kNaN))); }, kOrvaneOrReturns);
      Add(q + "GeneralA", [=] { run(H(2, 2), H(2, 2)); }, kOrvane, wrongKind);
      Add(q + "DisposedA", [=] { run(Dead<H>(), H(2, 2)); }, kOrvane, kDisposed);
      if (vec) {
        Add(q + "VectorsAreA", [=] { H a = Filled<H>(3, 2), b = Filled<H>(3, 2); SolveEigen(gen, vec, a, b, a); },
            kOrvane, kAlias);
      }
      if (!gen) continue;
      Add(q + "GeneralB", [=] { run(Filled<H>(3, 2), H(2, 2)); }, kOrvane, wrongKind);
      Add(q + "BOfOtherOrder", [=] { run(Filled<H>(3, 3), Filled<H>(3, 2)); }, kOrvane,
          "Matrix b must be 3 x 3, not 2 x 2.");
      Add(q + "BNotPositiveDefinite", [=] { run(Filled<H>(3, 3), Filled<H>(3, 3, -4)); }, kOrvane,
          "off-diagonal elements of an intermediate tridiagonal did not converge to zero");
      if (vec) {
        Add(q + "VectorsAreB", [=] { H a = Filled<H>(3, 2), b = Filled<H>(3, 2); SolveEigen(gen, vec, a, b, b); },
            kOrvane, kAlias);
      }
    }
  }

  const std::string s = p + "SingularValueDecomposition_";
  auto svd = [](int m, int n, double v) {
    H a = Dense<H>(m, n, v), sigma, u, vt;
    SingularValueDecomposition::Decompose(a, sigma, u, vt);
    EXPECT_EQ(sigma.get_RowNum(), m);
    EXPECT_EQ(u.get_RowNum(), m);
    EXPECT_EQ(vt.get_RowNum(), n);
    return sigma;
  };
  Add(s + "EmptyAndOneByOne", [svd] {
        for (auto [m, n] : {std::pair{0, 0}, {0, 3}, {3, 0}, {1, 1}}) svd(m, n, -2);
      });
  Add(s + "NaN", [svd] { ExpectNaNOut(svd(3, 2, kNaN)); });
  // One infinity: the convergence message (gesdd and gesvd once iterated
  // forever on a 3 x 3 matrix holding one); one NaN: NaN values and vectors,
  // as gesvd returned them. Either way NaN singular values.
  for (const auto& [bad, name] : {std::pair{kNaN, "NaN"}, {kInf, "Inf"}, {-kInf, "MinusInf"}}) {
    for (const auto& [m, n] : {std::pair{3, 3}, {2, 3}, {40, 30}}) {
      Add(s + "One" + name + "In" + std::to_string(m) + "x" + std::to_string(n), [=] {
            std::mt19937 rng(1);
            H a = orvane_test::RandomDense<H>(m, n, rng), sigma, u, vt;
            a(m - 1, 1) = E<H>(bad);
            if (std::isnan(bad)) {
              SingularValueDecomposition::Decompose(a, sigma, u, vt);
              EXPECT_TRUE(std::isnan(orvane_test::Abs(u.get_Item(0, 0))));
              EXPECT_TRUE(std::isnan(orvane_test::Abs(vt.get_Item(0, 0))));
            } else {
              EXPECT_THROW_MSG(SingularValueDecomposition::Decompose(a, sigma, u, vt),
                               OrvaneException, "bidiagonal form B did not converge to zero.");
            }
            for (int i = 0; i < std::min(m, n); ++i) {
              EXPECT_TRUE(std::isnan(orvane_test::Abs(sigma.get_Item(i, i))));
            }
          });
    }
  }
  Add(s + "SigmaIsA", [] { H a(2, 2), u, vt; SingularValueDecomposition::Decompose(a, a, u, vt); }, kOrvane, kAlias);
  Add(s + "UIsVT", [] { H a(2, 2), sigma, u; SingularValueDecomposition::Decompose(a, sigma, u, u); }, kOrvane, kAlias);
  Add(s + "DeadResults", [] {
        H a(2, 2), sigma = Dead<H>(), u = Dead<H>(), vt = Dead<H>(true);
        SingularValueDecomposition::Decompose(a, sigma, u, vt);
        EXPECT_EQ(sigma.get_RowNum() + u.get_RowNum() + vt.get_ColNum(), 6);
      });
}

void RealProcedureRows() {
  using H = Matrix;
  const char* symOnly = "Only double symmetric matrix is supported for this method.";
  auto solve = [](H a) { EigenvalueProblem p; p.Solve(a); return p; };
  auto generalized = [](H a, H b) { EigenvalueProblem p; p.GeneralizedSolve(a, b); return p; };
  // NaN: LAPACK's info is handed back, or the values show it.
  auto nanOut = [](const EigenvalueProblem& p) { EXPECT_TRUE(p.get_Info() != 0 || !orvane_test::AllFinite(*p.get_EigenValue())); };
  Add("EigenvalueProblem_SolveOrderZeroAndOne", [=] {
        for (int n : {0, 1}) EXPECT_EQ(solve(Filled<H>(3, n)).get_EigenValue()->get_RowNum(), n);
      });
  Add("EigenvalueProblem_SolveNaN", [=] { nanOut(solve(Filled<H>(3, 3, kNaN))); });
  Add("EigenvalueProblem_SolveDisposed", [=] { solve(Dead<H>()); }, kOrvane, kDisposed);
  Add("EigenvalueProblem_GeneralizedSolveNaN", [=] { nanOut(generalized(Filled<H>(3, 3, kNaN), Filled<H>(3, 3))); });
  Add("EigenvalueProblem_GeneralizedSolveGeneralA", [=] { generalized(H(2, 2), Filled<H>(3, 2)); }, kOrvane, symOnly);
  Add("EigenvalueProblem_GeneralizedSolveGeneralB", [=] { generalized(Filled<H>(3, 2), H(2, 2)); }, kOrvane, symOnly);
  Add("EigenvalueProblem_GeneralizedSolveBOfOtherOrder", [=] { generalized(Filled<H>(3, 3), Filled<H>(3, 2)); },
      kOrvane, "Matrix b must be 3 x 3, not 2 x 2.");
  Add("EigenvalueProblem_GeneralizedSolveDisposedB", [=] { generalized(Filled<H>(3, 2), Dead<H>()); }, kOrvane,
      kDisposed);

  // A is m x n of ones but for the given entries, b is bm x bn of ones.
  auto lstsq = [](int m, int n, int bm, int bn, std::vector<std::tuple<int, int, double>> entries = {}) {
    return [=] {
      H a = Dense<H>(m, n, 1), b = Dense<H>(bm, bn, 1);
      for (const auto& [i, j, v] : entries) a.set_Item(i, j, v);
      LeastSquare::Solve(a, b);
      // dgels answers an all-zero A with a zero solution before factorizing.
      if (m == 1 && a(0, 0) == 0.0) {
        EXPECT_EQ(b(0, 0), 0.0);
      }
    };
  };
  Add("LeastSquare_TallRhsTooShort", lstsq(4, 2, 3, 1), kOrvane, "Matrix b must have 4 rows, not 3.");
  Add("LeastSquare_WideRhsTooShort", lstsq(2, 4, 2, 1), kOrvane, "Matrix b must have 4 rows, not 2.");
  Add("LeastSquare_ZeroByZero", lstsq(0, 0, 0, 1));
  Add("LeastSquare_NoRightHandSides", lstsq(3, 2, 3, 0));
  Add("LeastSquare_OneByOneZero", lstsq(1, 1, 1, 1, {{0, 0, 0.0}}));
  Add("LeastSquare_ZeroColumn", lstsq(2, 2, 2, 1, {{0, 1, 0.0}, {1, 1, 0.0}}), kOrvane,
      "the 2-th diagonal element of the triangular factor of A is zero, so that A does not have full rank; the least "
      "squares solution could not be computed.");
  Add("LeastSquare_NaN", [] {
        H a = Dense<H>(3, 2, 1), b = Dense<H>(3, 1, 1);
        a(1, 0) = kNaN;
        LeastSquare::Solve(a, b);
        ExpectNaNOut(b);
      });
  Add("LeastSquare_DisposedB", [] { H a(2, 2), b = Dead<H>(); LeastSquare::Solve(a, b); }, kOrvane, kDisposed);
  Add("LeastSquare_RhsOfWrongKind", [] { H a(3, 3), b(3, 3, 3); LeastSquare::Solve(a, b); }, kOrvane,
      "Only double general matrix is supported.");
}

// Runs f on a thread with a 256 KiB stack, the size some platforms give threads by default.
void OnSmallStack(std::function<void()> f) {
  pthread_attr_t attr;
  ASSERT_EQ(::pthread_attr_init(&attr), 0);
  ASSERT_EQ(::pthread_attr_setstacksize(&attr, 256 * 1024), 0);
  pthread_t thread;
  auto run = [](void* g) -> void* {
    (*static_cast<std::function<void()>*>(g))();
    return nullptr;
  };
  const int created = ::pthread_create(&thread, &attr, run, &f);
  ::pthread_attr_destroy(&attr);
  ASSERT_EQ(created, 0);
  ::pthread_join(thread, nullptr);
}

void ScalarRows() {
  Add("Polynomial_NullCoefficients", [] { Polynomial(std::shared_ptr<std::vector<double>>()); }, kOrvane,
      "The coefficient array must not be null.");
  Add("Polynomial_EmptyAndOneCoefficient", [] {
        EXPECT_EQ(Polynomial(std::vector<double>{}, 2.0).Value(3.0), 0.0);
        EXPECT_EQ(Polynomial(std::vector<double>{5.0}, 2.0).get_Coeffcients(), std::vector<double>{5.0});
      });
  Add("Polynomial_NonFinite", [] {
        EXPECT_TRUE(std::isnan(Polynomial(std::vector<double>{kNaN, kInf, -kInf}, kNaN).Value(kInf)));
      });
  // The expansion once recursed once per degree: a few thousand coefficients overflowed a small stack.
  Add("Polynomial_LongExpansionOnSmallStack", [] {
        OnSmallStack([] {
          EXPECT_EQ(Polynomial(std::vector<double>(5000, 0.0), 0.5).get_Coeffcients().size(), 5000u);
        });
      });
  auto fit = [](std::vector<double> x, std::vector<double> y, int dimension) {
    return [=] { PolynomialFitting::Fit(x, y, dimension); };
  };
  const char* tooFew = "The fit needs at least dimension + 1 points and as many y values as x values.";
  Add("PolynomialFitting_NegativeDimension", fit({1, 2}, {1, 2}, INT_MIN), kOrvane,
      "The dimension of the fit must not be negative.");
  Add("PolynomialFitting_Empty", fit({}, {}, 0), kOrvane, tooFew);
  Add("PolynomialFitting_ShortY", fit({1, 2, 3}, {1, 2}, 1), kOrvane, tooFew);
  Add("PolynomialFitting_MaximumIntDimension", fit({1, 2}, {1, 2}, INT_MAX), kOrvane, tooFew);
  Add("PolynomialFitting_OnePoint", [] { EXPECT_EQ(PolynomialFitting::Fit({3}, {7}, 0).Value(10), 7.0); });
  Add("PolynomialFitting_EqualX", fit({5, 5, 5, 5}, {1, 2, 3, 4}, 2), kOrvane,
      "the 2-th diagonal element of the triangular factor of A is zero, so that A does not have full rank; the least "
      "squares solution could not be computed.");
  Add("PolynomialFitting_NaN", [] { ExpectNaNOut(PolynomialFitting::Fit({0, kNaN, 2}, {1, 2, 3}, 1).get_Coeffcients()); });

  Add("FFT_EmptyAndOneElement", [] {
        EXPECT_EQ(FFT::Forward({}).size(), 1u);
        EXPECT_EQ(FFT::Backward({Complex(2, 3)}).size(), 1u);
      });
  // Every bin sums every point: one NaN reaches them all.
  Add("FFT_NaN", [] {
        for (const auto& x : {std::vector<Complex>{Complex(kNaN, 0), Complex(1, 2), Complex(3, 4)},
                              std::vector<Complex>(1000, Complex(kInf, kNaN))})
          for (const Complex& z : FFT::Forward(x)) EXPECT_TRUE(std::isnan(z.get_Real()) || std::isnan(z.get_Imag()));
      });
}

// Norms, condition estimates and determinants: every kind, empty, 1 x 1
// zero, non-finite, disposed. (MeasuresTest has the factorized and the
// rectangular ones.)
template <class H>
void MeasureRows(const std::string& p) {
  const std::string q = "Measures_" + p;
  auto all = [](H& a) {
    E<H> phase{};
    for (NormType type : {NormType::One, NormType::Infinity, NormType::Frobenius, NormType::MaxAbs}) {
      (void)MatrixNorm::Compute(a, type);
    }
    (void)LinearEquation::ReciprocalCondition(a);
    (void)LinearEquation::Determinant(a);
    (void)LinearEquation::LogDeterminant(a, phase);
  };
  for (int form = 0; form < 6; ++form) {
    const std::string k = q + kKindNames[form + (kReal<H> ? 0 : 6)] + "_";
    Add(k + "ZeroOrder", [=] {
          H a = MakeKind<H>(form, 0), b = a.Clone();
          all(a);
          EXPECT_EQ(LinearEquation::ReciprocalCondition(b), 1.0);  // the empty product
        });
    // Singular: 0 from the general and packed kinds; the positive definite ones cannot factorize it.
    Add(k + "OneByOneZero", [=] {
          H a = MakeKind<H>(form, 1);
          EXPECT_EQ(LinearEquation::ReciprocalCondition(a), 0.0);
        }, form < 4 ? kReturns : kOrvane);
    // A NaN has no condition number; the positive definite kinds may refuse
    // a non-finite diagonal as not positive definite.
    Add(k + "NaN", [=] {
          H a = Filled<H>(form, 3, kNaN), b = a.Clone();
          all(a);
          EXPECT_TRUE(std::isnan(LinearEquation::ReciprocalCondition(b)));
        }, form < 4 ? kReturns : kOrvaneOrReturns);
    for (double v : {kInf, -kInf}) {
      Add(k + (v > 0 ? "Inf" : "MinusInf"), [=] { H a = Filled<H>(form, 3, v); all(a); },
          form < 4 ? kReturns : kOrvaneOrReturns);
    }
  }
  Add(q + "UnknownNormType", [] { (void)MatrixNorm::Compute(H(2, 2), static_cast<NormType>(7)); }, kOrvane,
      "Unknown norm type.");
  Add(q + "Disposed", [=] { H m = Dead<H>(); all(m); }, kOrvane, kDisposed);
}

template <class H>
void RowsOf(const std::string& p) {
  ConstructorRows<H>(p);
  IndexRows<H>(p);
  for (int form = 0; form < 6; ++form) KindRows<H>(form);
  SolverRows<H>(p);
  DisposedRows<H>(p);
  FileRows<H>(p);
  EigenRows<H>(p);
  MeasureRows<H>(p);
}

std::vector<Row> AllRows() {
  RowsOf<Matrix>("Real_");
  RowsOf<ComplexMatrix>("Complex_");
  RealProcedureRows();
  ScalarRows();
  return std::move(g_rows);
}

class BadInputCatalogue : public testing::TestWithParam<Row> {};

TEST_P(BadInputCatalogue, EndsAsListed) {
  const Row& row = GetParam();
  // A hang inside LAPACK cannot be interrupted: a failed run beats a stuck suite.
  std::promise<void> ended;
  std::thread watchdog([&row, done = ended.get_future()] {
    if (done.wait_for(std::chrono::seconds(120)) == std::future_status::ready) return;
    std::fprintf(stderr, "Row %s did not end within 120 s\n", row.name.c_str());
    std::_Exit(3);
  });
  bool accepted = false;
  std::string outcome = "returned normally", what;
  testing::internal::CaptureStdout();
  try {
    row.call();
    accepted = row.expect.accepts(nullptr);
  } catch (const std::exception& e) {
    accepted = row.expect.accepts(&e);
    what = e.what();
    outcome = std::string("raised ") + typeid(e).name() + " (\"" + what + "\")";
  } catch (...) {
    outcome = "raised something that is not a std::exception";
  }
  const std::string printed = testing::internal::GetCapturedStdout();
  ended.set_value();
  watchdog.join();
  // gtest reports skips and failures inside the call on standard output too.
  if (IsSkipped() || HasFailure()) std::cout << printed;
  if (IsSkipped()) return;
  EXPECT_TRUE(HasFailure() || printed.empty()) << "written to standard output:\n" << printed;
  EXPECT_TRUE(accepted) << outcome << ", expected " << row.expect.what;
  if (!row.message.empty()) {
    EXPECT_EQ(what, row.message);
  }
}

INSTANTIATE_TEST_SUITE_P(PublicApi, BadInputCatalogue, testing::ValuesIn(AllRows()),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
