// The orvane tool driven as a user drives it: files in a temporary folder,
// the binary run through the shell, exit statuses, standard output and the
// single error line compared with what the library itself computes.
#include <OrvaneNet/Bessel.h>
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/OrvaneNet.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "TestUtil.h"

using namespace OrvaneNet;

namespace {

#ifdef ORVANE_TOOL_PATH
constexpr const char* kTool = ORVANE_TOOL_PATH;
#else
constexpr const char* kTool = nullptr;
#endif

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// 15 printed digits (--digits 0): agreement to a few units in the 14th digit
// of values of order 1.
constexpr double kPrinted = 1e-13;

MatrixFormatter Exact() {
  MatrixFormatter f;
  f.set_NumberOfDigit(0);
  return f;
}

template <class Mat>
void ExpectNear(const Mat& tool, const Mat& library) {
  ASSERT_EQ(tool.get_RowNum(), library.get_RowNum());
  ASSERT_EQ(tool.get_ColNum(), library.get_ColNum());
  EXPECT_LE(orvane_test::MaxDifference(tool, library), kPrinted);
}

class OrvaneTool : public ::testing::Test {
 protected:
  using Args = std::vector<std::string>;

  void SetUp() override {
    if (kTool == nullptr) GTEST_SKIP() << "the orvane tool is not built (ORVANE_BUILD_TOOLS=OFF)";
  }

  std::string Path(const std::string& name) const { return m_folder.Path(name); }
  void Write(const std::string& name, const std::string& text) const {
    m_folder.Write(name, text);
  }
  std::string Read(const std::string& name) const { return m_folder.Read(Path(name)); }

  // Runs the tool in the temporary folder; every argument single-quoted.
  Outcome Run(const Args& args) const {
    std::string cmd = "cd '" + m_folder.Dir().string() + "' && '" + kTool + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " >stdout.txt 2>stderr.txt";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read("stdout.txt"), Read("stderr.txt")};
  }
  // Succeeds and prints `out`, nothing on standard error.
  void ExpectPrints(const Args& args, const std::string& out) const {
    const Outcome r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << args[0];
    EXPECT_EQ(r.out, out) << args[0];
  }
  void RunQuietly(const Args& args) const { ExpectPrints(args, ""); }
  void ExpectHelpSays(const std::string& command, const std::string& text) const {
    const std::string help = Run({command, "--help"}).out;
    EXPECT_NE(help.find(text), std::string::npos) << help;
  }

  template <class Mat>
  void ExpectSolveMatchesTheLibrary(const std::string& a, const std::string& b,
                                    const Args& kindOptions) const {
    Write("A.txt", a);
    Write("B.txt", b);
    Args args{"solve", "A.txt", "B.txt", "--digits", "0", "-o", "X.txt"};
    args.insert(args.end(), kindOptions.begin(), kindOptions.end());
    RunQuietly(args);
    Mat library = Mat::Load(Path("A.txt")), x = Mat::Load(Path("B.txt"));
    LinearEquation::Solve(library, x);
    ExpectNear(Mat::Load(Path("X.txt")), x);
  }

  orvane_test::TempFolder m_folder;
};

// The row [x0,x1,...] of complex values with `digits` decimals.
std::string Row(const std::vector<Complex>& x, int digits) {
  std::string row = "[";
  for (const Complex& v : x) row += (row.size() > 1 ? "," : "") + v.ToString(digits);
  return row + "]\r\n";
}

// A symmetric matrix of the kind holding the elements of a square one.
Matrix AsKind(const Matrix& a, MatrixType kind) {
  Matrix k(a.get_RowNum(), a.get_RowNum(), kind);
  k.SetValues(a.ToVector(Layout::RowMajor), Layout::RowMajor);
  return k;
}

// ---- each command against the library ----

// A diagonally dominant Hermitian tridiagonal A fits every kind.
TEST_F(OrvaneTool, SolveMatchesTheLibrary) {
  const std::string real = "[4,0.3,0]\n[0.3,5,-1.7]\n[0,-1.7,6]\n";
  const std::string rhs = "[1,-2]\n[0.5,3]\n[2,0.25]\n";
  const std::string complex =
      "[(4,0),(0.3,-1),(0,0)]\n[(0.3,1),(5,0),(-1.7,0.2)]\n[(0,0),(-1.7,-0.2),(6,0)]\n";
  const std::string complexRhs = "[(1,2)]\n[(0,-1)]\n[(3,0.5)]\n";
  ExpectSolveMatchesTheLibrary<Matrix>(real, rhs, {"--kind", "band", "--kl", "1", "--ku", "2"});
  ExpectSolveMatchesTheLibrary<Matrix>(real, rhs, {"--kind", "symmetric-tridiagonal"});
  ExpectSolveMatchesTheLibrary<ComplexMatrix>(complex, complexRhs,
                                              {"--kind", "hermitian-tridiagonal"});
  ExpectSolveMatchesTheLibrary<ComplexMatrix>(
      complex, complexRhs, {"--complex", "--kind", "symmetric-band", "--ku", "1"});
}

// Commands that print: what the library prints for the same work.
TEST_F(OrvaneTool, PrintsWhatTheLibraryPrints) {
  Write("A.txt", "[4;7]\n[2;6]\n");
  Write("real.txt", "[1,2,3]\n");
  Write("x.txt", "[0]\n[1]\n[2]\n[3]\n");
  Write("y.txt", "[1,3,5,7]\n");
  MatrixFormatter semicolon;
  semicolon.set_NumberOfDigit(2);
  semicolon.set_ElementSeparatedBy(";");
  Matrix bessel{{0.5, Bessel::Y(-1, 0.5)}, {2, Bessel::Y(-1, 2)}};
  ExpectPrints({"inv", "A.txt", "--digits", "2", "--format", "separator=;"},
               Matrix::Load(Path("A.txt"), semicolon).Inv().ToString(semicolon));
  // A real row, filled up with zeros to 4 points: the result is a row too.
  ExpectPrints({"fft", "real.txt", "--inverse", "--digits", "2"},
               Row(FFT::Backward({Complex(1, 0), Complex(2, 0), Complex(3, 0)}), 2));
  ExpectPrints({"bessel", "y", "-1", "0.5", "2", "--digits", "0"}, bessel.ToString(Exact()));
  ExpectPrints({"fit", "x.txt", "y.txt", "--degree", "1", "--at", "10,0.5"},
               "coefficients (c0 + c1 x + c2 x^2 + ...):\n[1.0000,2.0000]\r\n"
               "values (x, p(x)):\n[10.0000,21.0000]\r\n[0.5000,2.0000]\r\n");
}

TEST_F(OrvaneTool, GeneralizedEigenproblemMatchesTheLibrary) {
  Write("A.txt", "[4,1,0.5]\n[1,3,-1]\n[0.5,-1,2]\n");
  Write("B.txt", "[2,0.5,0]\n[0.5,2,0.5]\n[0,0.5,2]\n");
  RunQuietly({"eig", "A.txt", "B.txt", "--vectors", "--digits", "0", "-o", "e"});
  Matrix a = AsKind(Matrix::Load(Path("A.txt")), MatrixType::DoubleSymmetric), vectors;
  Matrix b = AsKind(Matrix::Load(Path("B.txt")), MatrixType::DoubleSymmetric);
  std::vector<double> values;
  Eigenproblem::Solve(a, b, values, vectors);
  const Matrix column = Matrix::FromValues(3, 1, values, Layout::RowMajor);
  ExpectNear(Matrix::Load(Path("e-values.txt")), column);
  ExpectNear(Matrix::Load(Path("e-vectors.txt")), vectors);
}

TEST_F(OrvaneTool, SvdOfAComplexMatrixMatchesTheLibrary) {
  Write("A.txt", "[(1,2),(0,-1)]\n[(3,0),(1,1)]\n[(0,0),(2,-2)]\n");
  RunQuietly({"svd", "A.txt", "--complex", "--digits", "0", "-o", "s"});
  ComplexMatrix a = ComplexMatrix::Load(Path("A.txt")), sigma, u, vt;
  SingularValueDecomposition::Decompose(a, sigma, u, vt);
  const Matrix values = Matrix::Load(Path("s-sigma.txt"));
  for (int k = 0; k < 2; ++k) EXPECT_NEAR(values(k, 0), sigma(k, k).get_Real(), kPrinted);
  ExpectNear(ComplexMatrix::Load(Path("s-U.txt")), u);
  ExpectNear(ComplexMatrix::Load(Path("s-VT.txt")), vt);
}

TEST_F(OrvaneTool, LeastSquaresOfAnUnderdeterminedSystemMatchesTheLibrary) {
  Write("A.txt", "[1,1,0]\n[0,1,1]\n");
  Write("B.txt", "[2]\n[2]\n");
  RunQuietly({"lstsq", "A.txt", "B.txt", "--digits", "0", "-o", "X.txt"});
  Matrix a = Matrix::Load(Path("A.txt")), b{{2}, {2}, {0}};
  LeastSquare::Solve(a, b);  // the solution fills the first 3 rows
  ExpectNear(Matrix::Load(Path("X.txt")), b);
}

TEST_F(OrvaneTool, GeneralEigenproblemMatchesTheLibrary) {
  Write("A.txt", "[1,2,0]\n[-3,1,0.5]\n[0,1,4]\n");  // a conjugate pair and a real value
  Write("C.txt", "[(1,1),(2,0)]\n[(0,-1),(3,0.5)]\n");
  RunQuietly({"eig", "A.txt", "--general", "--vectors", "--digits", "0", "-o", "e"});
  Matrix a = Matrix::Load(Path("A.txt"));
  ComplexMatrix values, vectors, complexValues;
  GeneralEigenproblem::Solve(a, values, vectors);
  ExpectNear(ComplexMatrix::Load(Path("e-values.txt")), values);
  ExpectNear(ComplexMatrix::Load(Path("e-vectors.txt")), vectors);
  ComplexMatrix c = ComplexMatrix::Load(Path("C.txt"));
  GeneralEigenproblem::Solve(c, complexValues);
  ExpectPrints({"eig", "C.txt", "--general", "--complex", "--digits", "0"},
               "eigenvalues (LAPACK's order, conjugate pairs together):\n" +
                   complexValues.ToString(Exact()));
  ExpectHelpSays("eig", "--general");
}

TEST_F(OrvaneTool, ExactTransformKeepsTheLengthAndTheOrientation) {
  Write("row.txt", "[1,2,3]\n");
  Write("column.txt", "[(1,0.5)]\n[(0,-1)]\n[(2,0)]\n[(0.25,0)]\n[(-1,3)]\n");
  ExpectPrints({"fft", "row.txt", "--exact", "--inverse", "--digits", "2"},
               Row(DFT::Backward({Complex(1, 0), Complex(2, 0), Complex(3, 0)}), 2));
  RunQuietly({"fft", "column.txt", "--exact", "--digits", "0", "-o", "X.txt"});
  const std::vector<Complex> column =
      ComplexMatrix::Load(Path("column.txt")).ToVector(Layout::ColumnMajor);
  ExpectNear(ComplexMatrix::Load(Path("X.txt")),
             ComplexMatrix::FromValues(5, 1, DFT::Forward(column), Layout::ColumnMajor));
  ExpectHelpSays("fft", "--exact");
}

TEST_F(OrvaneTool, WithoutArgumentsTheTourRuns) {
  const Outcome r = Run({});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // The 3 x 3 solve.
  EXPECT_NE(r.out.find("[1.0000]\n    [-2.0000]\n    [3.0000]"), std::string::npos);
}

// ---- bad input (status 2) and numerical failures (status 1): one line ----

TEST_F(OrvaneTool, FailuresAreOneLineAndTheirStatus) {
  const std::pair<const char*, const char*> files[] = {
      {"A.txt", "[4,1]\n[1,3]\n"},          {"b.txt", "[1]\n[2]\n"},
      {"bad.txt", "[1,2]\n\n[3,4;5]\n"},    {"big.txt", "[1,2]\r\n[3,1e999]\r\n"},
      {"rect.txt", "[1,2,3]\n[4,5,6]\n"},   {"b3.txt", "[1]\n[2]\n[3]\n"},
      {"wide.txt", "[4,1,1]\n[1,4,1]\n[1,1,4]\n"}, {"asym.txt", "[4,1]\n[2,3]\n"},
      {"c.txt", "[(1,2),(3)]\n"},            {"empty.txt", "\n\n"},
      {"nan.txt", "[1,NaN]\n[0,1]\n"},       {"sing.txt", "[1,2]\n[2,4]\n"},
      {"indef.txt", "[1,2]\n[2,1]\n"},       {"I.txt", "[1,0]\n[0,1]\n"},
      {"x.txt", "[5,5,5,5]\n"},              {"y.txt", "[1,2,3,4]\n"},
      {"cs.txt", "[(1,1),(2,2)]\n[(2,0),(4,0)]\n"}, {"cb.txt", "[(1,0)]\n[(0,1)]\n"},
      {"c2.txt", "[(1,2),(3,4)]\n[(5,6),3]\n"},
  };
  for (const auto& [name, text] : files) Write(name, text);
  // The line of a parse error is the library's: right in UTF-16 files, and
  // not an earlier line that merely holds the same text (c2.txt).
  std::string wide = "\xFF\xFE";
  for (char ch : std::string("[1,2]\r\n\r\n[3,x]\r\n")) wide += std::string{ch, '\0'};
  Write("wide16.txt", wide);
  const char* singular = "singular matrix (element (1, 1) of the LU factor U is zero)";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string line;
  } rows[] = {
      {{"solve", "bad.txt", "b.txt"}, 2, "orvane solve: bad.txt: malformed number \"4;5\" at line 3"},
      {{"solve", "big.txt", "b.txt"}, 2, "orvane solve: big.txt: number out of range \"1e999\" at line 2"},
      {{"fft", "c.txt"}, 2, "orvane fft: c.txt: complex element without an imaginary part \"(3\" at line 1"},
      {{"fft", "c2.txt"}, 2, "orvane fft: c2.txt: complex element without an imaginary part \"3\" at line 2"},
      {{"inv", "wide16.txt"}, 2, "orvane inv: wide16.txt: malformed number \"x\" at line 3"},
      {{"solve", "missing.txt", "b.txt"}, 2,
       "orvane solve: missing.txt: cannot read the file: No such file or directory"},
      {{"solve", "rect.txt", "b.txt"}, 2, "orvane solve: rect.txt: wrong shape: 2 x 3, a square matrix is needed"},
      {{"solve", "A.txt", "b3.txt"}, 2,
       "orvane solve: b3.txt: wrong shape: 3 x 1, 2 rows are needed to match A.txt"},
      {{"solve", "empty.txt", "b.txt"}, 2, "orvane solve: empty.txt: holds no matrix (0 x 0)"},
      {{"inv", "nan.txt"}, 2, "orvane inv: nan.txt: element (0, 1) is nan; only finite numbers are accepted"},
      {{"solve", "wide.txt", "b3.txt", "--kind", "tridiagonal"}, 2,
       "orvane solve: wide.txt: element (0, 2) = 1 does not fit a general tridiagonal matrix "
       "(The specified element doesn't fit to tridiagonal matrix.)"},
      {{"solve", "wide.txt", "b3.txt", "--kind", "band", "--kl", "2", "--ku", "1"}, 2,
       "orvane solve: wide.txt: element (0, 2) = 1 does not fit a general band (kl=2, ku=1) matrix "
       "(Value 1doesn't fit to (0, 2))"},
      {{"solve", "wide.txt", "b3.txt", "--kind", "symmetric-band", "--kl", "1"}, 2,
       "orvane solve: wide.txt: The values do not fit a symmetric band matrix with 1 off-diagonal on each "
       "side: element (0, 2) = 1 is not zero."},
      {{"eig", "asym.txt"}, 2,
       "orvane eig: asym.txt: The values are not symmetric: element (0, 1) = 1 but element (1, 0) = 2 (a pair "
       "may differ by at most 100 eps max|a| = 8.881784197001252e-14)."},
      {{"solve", "A.txt", "b.txt", "--complex"}, 2,
       "orvane solve: A.txt: holds no complex element such as (1,-2); real matrices need no --complex"},
      {{"solve", "A.txt"}, 2,
       "orvane solve: missing arguments; usage: orvane solve A B [--kind K] [--kl N --ku N] [--complex]"},
      {{"solve", "A.txt", "b.txt", "--kind", "band"}, 2, "orvane solve: --kind band needs --kl N and --ku N"},
      {{"inv", "A.txt", "--kind", "tridiagonal"}, 2,
       "orvane inv: the library inverts only the general and symmetric (Hermitian) kinds, not general tridiagonal"},
      {{"svd", "A.txt", "--vectors"}, 2, "orvane svd: unknown option --vectors (see orvane svd --help)"},
      {{"fit", "b.txt", "b.txt", "--degree", "2"}, 2,
       "orvane fit: b.txt: 2 points cannot determine a polynomial of degree 2"},
      {{"inv", "A.txt", "--digits", "many"}, 2, "orvane inv: --digits 'many' is not an integer"},
      {{"frobnicate"}, 2, "orvane: unknown command 'frobnicate' (orvane --help lists them)"},
      {{"eig", "A.txt", "A.txt", "--general"}, 2,
       "orvane eig: too many arguments; usage: orvane eig A --general [--vectors] [--complex]"},
      {{"eig", "rect.txt", "--general"}, 2, "orvane eig: rect.txt: wrong shape: 2 x 3, a square matrix is needed"},
      {{"fft", "A.txt", "--exact"}, 2, "orvane fft: A.txt: wrong shape: 2 x 2, one row or one column is needed"},
      // Consistent, so a backend may well produce finite numbers: still singular.
      {{"solve", "sing.txt", "b.txt"}, 1, std::string("orvane solve: sing.txt: ") + singular},
      {{"solve", "sing.txt", "b.txt", "--kind", "tridiagonal"}, 1, std::string("orvane solve: sing.txt: ") + singular},
      {{"solve", "cs.txt", "cb.txt", "--complex", "--kind", "band", "--kl", "1", "--ku", "1"}, 1,
       std::string("orvane solve: cs.txt: ") + singular},
      {{"solve", "indef.txt", "b.txt", "--kind", "symmetric-tridiagonal"}, 1,
       "orvane solve: indef.txt: not positive definite; the symmetric tridiagonal kind needs a positive "
       "definite matrix (--kind symmetric also takes indefinite ones)"},
      {{"cond", "indef.txt", "--kind", "symmetric-band", "--kl", "1"}, 1,
       "orvane cond: indef.txt: not positive definite; the symmetric band (kl=ku=1) kind needs a positive "
       "definite matrix (--kind symmetric also takes indefinite ones)"},
      {{"det", "indef.txt", "--kind", "symmetric-band", "--kl", "1"}, 1,
       "orvane det: indef.txt: not positive definite; the symmetric band (kl=ku=1) kind needs a positive "
       "definite matrix (--kind symmetric also takes indefinite ones)"},
      {{"eig", "I.txt", "indef.txt"}, 1,
       "orvane eig: indef.txt: not positive definite; the generalized problem needs a positive definite B"},
      {{"inv", "sing.txt"}, 1,
       "orvane inv: sing.txt: singular matrix (The matrix is exactly singular (the 2-th diagonal element "
       "of U is zero), so its inverse could not be computed.)"},
      {{"fit", "x.txt", "y.txt", "--degree", "1"}, 1,
       "orvane fit: x.txt: these abscissas cannot determine a polynomial of degree 1 (the 2-th diagonal "
       "element of the triangular factor of A is zero, so that A does not have full rank; the least "
       "squares solution could not be computed.)"},
  };
  for (const auto& row : rows) {
    const Outcome r = Run(row.args);
    EXPECT_EQ(r.status, row.status) << row.line;
    EXPECT_EQ(r.err, row.line + "\n");
    EXPECT_EQ(r.out, "");
  }
  // An indefinite but regular symmetric matrix is fine for the packed kind.
  EXPECT_EQ(Run({"solve", "indef.txt", "b.txt", "--kind", "symmetric"}).status, 0);
}

// ---- symmetric to within rounding, and exact text ----

// A matrix symmetric only to the last digit, as published collections hold
// them, is accepted by every symmetric kind: the upper triangle is used.
TEST_F(OrvaneTool, NearlySymmetricInputIsAcceptedAndItsUpperTriangleUsed) {
  Write("A.txt", "[4,0.1,0.3]\n[0.10000000000000002,3,-1]\n[0.3,-0.9999999999999999,2]\n");
  Write("U.txt", "[4,0.1,0.3]\n[0.1,3,-1]\n[0.3,-1,2]\n");
  Write("b.txt", "[1]\n[2]\n[3]\n");
  RunQuietly({"eig", "A.txt", "--vectors", "--digits", "exact", "-o", "a"});
  RunQuietly({"eig", "U.txt", "--vectors", "--digits", "exact", "-o", "u"});
  EXPECT_EQ(Read("a-values.txt"), Read("u-values.txt"));
  EXPECT_EQ(Read("a-vectors.txt"), Read("u-vectors.txt"));
  const Outcome u = Run({"solve", "U.txt", "b.txt", "--kind", "symmetric", "--digits", "exact"});
  ExpectPrints({"solve", "A.txt", "b.txt", "--kind", "symmetric", "--digits", "exact"}, u.out);
  // A full matrix does not fit the tridiagonal kind, symmetric or not.
  EXPECT_EQ(Run({"solve", "A.txt", "b.txt", "--kind", "symmetric-tridiagonal"}).status, 2);
  // Complex: conj(a(i, j)) to within rounding.
  Write("H.txt", "[(2,0),(1,0.5)]\n[(1.0000000000000002,-0.5),(3,0)]\n");
  EXPECT_EQ(Run({"eig", "H.txt", "--complex"}).status, 0);
}

// --digits exact writes the shortest text that loads back bit for bit.
TEST_F(OrvaneTool, ExactDigitsRoundTripTheResult) {
  Write("A.txt", "[3,1,0.2]\n[1,5,-0.7]\n[0.2,-0.7,4]\n");
  RunQuietly({"inv", "A.txt", "--digits", "exact", "-o", "X.txt"});
  Matrix a = Matrix::Load(Path("A.txt"));
  a.Inv();
  const Matrix x = Matrix::Load(Path("X.txt"));
  EXPECT_EQ(x.ToVector(Layout::RowMajor), a.ToVector(Layout::RowMajor));
  MatrixFormatter exact;
  exact.set_RoundTrip(true);
  EXPECT_EQ(Read("X.txt"), a.ToString(exact) + "\r\n");
  ExpectHelpSays("inv",
                 "0 prints the general form with up\n                        to 15 significant digits");
  ExpectHelpSays("inv", "--digits exact");
  EXPECT_EQ(Run({"inv", "A.txt", "--digits", "100"}).err,
            "orvane inv: --digits must lie in 0..99 (0 selects the general form with up to 15 "
            "significant digits) or be 'exact'\n");
}

// ---- the condition estimate and the determinant ----

// The single number of a 1 x 1 result printed in the general form.
double Number(const std::string& out) {
  const bool framed =
      out.size() > 4 && out.front() == '[' && out.compare(out.size() - 3, 3, "]\r\n") == 0;
  EXPECT_TRUE(framed) << out;
  return framed ? std::stod(out.substr(1, out.size() - 4)) : 0.0;
}

// 1 + 2^-52 prints as 1.0000000000000002: det A = 2^-52 exactly on every
// backend, condition near 1.8e16. solve and inv warn once, after output that
// --quiet leaves unchanged; a well-conditioned system gives no warning (an
// exactly zero pivot stays a failure: the failure table above).
TEST_F(OrvaneTool, SolveAndInvWarnWhenSingularToWorkingPrecision) {
  Write("A.txt", "[1,1]\n[1,1.0000000000000002]\n");
  Write("b.txt", "[1]\n[2]\n");
  Write("W.txt", "[4,-1,0]\n[-1,4,-1]\n[0,-1,4]\n");
  Write("w.txt", "[3]\n[2]\n[3]\n");
  Matrix a = Matrix::Load(Path("A.txt"));
  char rcond[16];
  std::snprintf(rcond, sizeof rcond, "%.1e", LinearEquation::ReciprocalCondition(a));
  for (Args args : {Args{"solve", "A.txt", "b.txt"}, Args{"inv", "A.txt"},
                    Args{"solve", "A.txt", "b.txt", "--kind", "band", "--kl", "1", "--ku", "1"}}) {
    const Outcome loud = Run(args);
    EXPECT_EQ(loud.status, 0) << loud.err;
    EXPECT_EQ(loud.err, "orvane " + args[0] +
                            ": warning: A.txt is singular to working precision (reciprocal "
                            "condition " +
                            rcond + "); the result may be meaningless\n");
    EXPECT_NE(loud.out, "");
    args.push_back("--quiet");
    ExpectPrints(args, loud.out);
  }
  for (const Args& args :
       {Args{"solve", "W.txt", "w.txt"}, Args{"inv", "W.txt", "--kind", "symmetric"},
        Args{"solve", "W.txt", "w.txt", "--kind", "symmetric-tridiagonal"}}) {
    const Outcome r = Run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "") << args[0];
  }
}

// cond prints the library's estimate for the kind; det the determinant or,
// with --log, log |det A| and its sign (phase: a second file with -o).
TEST_F(OrvaneTool, CondAndDetMatchTheLibrary) {
  Write("A.txt", "[4,1,0]\n[1,3,-1]\n[0,-1,2]\n");
  Matrix general = Matrix::Load(Path("A.txt"));
  Matrix tridiagonal = AsKind(general, MatrixType::DoubleSymmetricTridiagonal);
  const double rcond = LinearEquation::ReciprocalCondition(general);
  EXPECT_NEAR(Number(Run({"cond", "A.txt"}).out), rcond, 1e-14 * rcond);
  EXPECT_NEAR(Number(Run({"cond", "A.txt", "--kind", "symmetric-tridiagonal"}).out),
              LinearEquation::ReciprocalCondition(tridiagonal), 1e-14 * rcond);

  Write("Z.txt", "[0,2,1]\n[2,0,3]\n[1,3,0]\n");  // det 12, a zero diagonal: 2 x 2 pivots
  EXPECT_NEAR(Number(Run({"det", "Z.txt"}).out), 12.0, kPrinted * 12);
  EXPECT_NEAR(Number(Run({"det", "Z.txt", "--kind", "symmetric"}).out), 12.0, kPrinted * 12);
  Write("N.txt", "[-2,1]\n[1,-3]\n");  // det 5
  ExpectPrints({"det", "N.txt", "--kind", "symmetric", "--log", "--digits", "4"},
               "log |det A|:\n[1.6094]\r\nsign (det A = sign * exp(log |det A|)):\n[1.0000]\r\n");
  Write("C.txt", "[(0,1),(0,0)]\n[(0,0),(2,0)]\n");  // det 2i
  RunQuietly({"det", "C.txt", "--complex", "--log", "-o", "p"});
  EXPECT_NEAR(Matrix::Load(Path("p-log.txt"))(0, 0), std::log(2.0), kPrinted);
  EXPECT_LE(orvane_test::Abs(ComplexMatrix::Load(Path("p-phase.txt"))(0, 0) - Complex(0, 1)),
            kPrinted);

  Write("S.txt", "[1,2]\n[2,4]\n");
  ExpectPrints({"cond", "S.txt"}, "[0]\r\n");
  ExpectPrints({"det", "S.txt", "--log"},
               "log |det A|:\n[-Infinity]\r\nsign (det A = sign * exp(log |det A|)):\n[0]\r\n");
}

}  // namespace
