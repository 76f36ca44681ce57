// The orvane tool driven as a user drives it: files in a temporary folder,
// the binary run through the shell, exit statuses, standard output and the
// single error line compared with what the library itself computes.
#include <OrvaneNet/Bessel.h>
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/OrvaneNet.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <fstream>
#include <sstream>

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

class OrvaneTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kTool == nullptr) GTEST_SKIP() << "the orvane tool is not built (ORVANE_BUILD_EXAMPLES=OFF)";
    char pattern[] = "/tmp/orvane-tool-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
  }

  std::string Path(const std::string& name) const { return m_dir + "/" + name; }
  void Write(const std::string& name, const std::string& text) const { std::ofstream(Path(name)) << text; }
  std::string Read(const std::string& name) const {
    std::stringstream s;
    s << std::ifstream(Path(name)).rdbuf();
    return s.str();
  }

  // Runs the tool in the temporary folder; every argument single-quoted.
  Outcome Run(const std::vector<std::string>& args) const {
    std::string cmd = "cd '" + m_dir + "' && '" + kTool + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " >stdout.txt 2>stderr.txt";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read("stdout.txt"), Read("stderr.txt")};
  }

  // Expects failure with `status` and exactly one line `line` on stderr.
  void ExpectFailure(const std::vector<std::string>& args, int status, const std::string& line) const {
    const Outcome r = Run(args);
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_EQ(r.err, line + "\n");
    EXPECT_EQ(r.out, "");
  }

  std::string m_dir;
};

MatrixFormatter Exact() {
  MatrixFormatter f;
  f.set_NumberOfDigit(0);  // 15 significant digits
  return f;
}

template <class Mat>
double MaxDifference(const Mat& a, const Mat& b) {
  EXPECT_EQ(a.get_RowNum(), b.get_RowNum());
  EXPECT_EQ(a.get_ColNum(), b.get_ColNum());
  double d = 0;
  for (int i = 0; i < std::min(a.get_RowNum(), b.get_RowNum()); ++i) {
    for (int j = 0; j < std::min(a.get_ColNum(), b.get_ColNum()); ++j) {
      d = std::max(d, std::abs(Complex(a(i, j) - b(i, j)).ToStdComplex()));
    }
  }
  return d;
}

// 15 printed digits: agreement to a few units in the 14th digit of values of order 1.
constexpr double kPrinted = 1e-13;

// ---- solve over every kind ----

struct KindCase {
  const char* name;
  std::vector<std::string> options;
  int kl, ku;  // the pattern: |i - j| bounds below and above
  bool symmetric;
  bool complex;
  std::function<Matrix(int)> makeReal;
  std::function<ComplexMatrix(int)> makeComplex;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

std::vector<KindCase> SolveKinds() {
  using MT = MatrixType;
  return {
      {"General", {}, 9, 9, false, false, [](int n) { return Matrix(n, n); }, nullptr},
      {"Band", {"--kind", "band", "--kl", "1", "--ku", "2"}, 1, 2, false, false,
       [](int n) { return Matrix(n, n, 1, 2); }, nullptr},
      {"Tridiagonal", {"--kind", "tridiagonal"}, 1, 1, false, false, [](int n) { return Matrix(n, n, 3); }, nullptr},
      {"Symmetric", {"--kind", "symmetric"}, 9, 9, true, false,
       [](int n) { return Matrix(n, n, MT::DoubleSymmetric); }, nullptr},
      {"SymmetricBand", {"--kind", "symmetric-band", "--kl", "2"}, 2, 2, true, false,
       [](int n) { return Matrix(n, n, MT::DoubleSymmetricBand, 2, 2); }, nullptr},
      {"SymmetricTridiagonal", {"--kind", "symmetric-tridiagonal"}, 1, 1, true, false,
       [](int n) { return Matrix(n, n, MT::DoubleSymmetricTridiagonal); }, nullptr},
      {"ComplexGeneral", {"--complex"}, 9, 9, false, true, nullptr, [](int n) { return ComplexMatrix(n, n); }},
      {"ComplexBand", {"--complex", "--kind", "band", "--kl", "2", "--ku", "1"}, 2, 1, false, true, nullptr,
       [](int n) { return ComplexMatrix(n, n, 2, 1); }},
      {"ComplexTridiagonal", {"--complex", "--kind", "tridiagonal"}, 1, 1, false, true, nullptr,
       [](int n) { return ComplexMatrix(n, n, 3); }},
      {"Hermitian", {"--kind", "hermitian"}, 9, 9, true, true, nullptr,
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitian); }},
      {"HermitianBand", {"--complex", "--kind", "symmetric-band", "--kl", "1"}, 1, 1, true, true, nullptr,
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitianBand, 1, 1); }},
      {"HermitianTridiagonal", {"--kind", "hermitian-tridiagonal"}, 1, 1, true, true, nullptr,
       [](int n) { return ComplexMatrix(n, n, MT::ComplexHermitianTridiagonal); }},
  };
}

// A well-conditioned (for the symmetric kinds positive definite) matrix of
// the case's pattern, written into both a dense and a kind handle.
template <class Mat>
void Fill(const KindCase& c, Mat& dense, Mat& kind) {
  const int n = dense.get_RowNum();
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (j - i > c.ku || i - j > c.kl || (c.symmetric && i > j)) continue;
      Complex v(std::sin(1.0 + 7 * i + 3 * j), c.complex && i != j ? std::cos(2.0 + i - j) : 0.0);
      if (i == j) v = v + 2.0 * n;
      if constexpr (std::is_same_v<Mat, Matrix>) {
        dense(i, j) = v.get_Real();
        if (c.symmetric) dense(j, i) = v.get_Real();
      } else {
        dense(i, j) = v;
        if (c.symmetric) dense(j, i) = Complex::Conj(v);
      }
    }
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) kind(i, j) = dense(i, j);
  }
}

class OrvaneToolSolve : public OrvaneTool, public ::testing::WithParamInterface<KindCase> {
 protected:
  template <class Mat>
  void Check(Mat dense, Mat kind) {
    const KindCase& c = GetParam();
    const int n = dense.get_RowNum();
    Fill(c, dense, kind);
    Mat b(n, 2);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < 2; ++j) b(i, j) = dense(i, j) * 0.5 + 1.0;
    }
    Mat::Save(dense, Exact(), Path("A.txt"));
    Mat::Save(b, Exact(), Path("B.txt"));
    std::vector<std::string> args{"solve", "A.txt", "B.txt", "--digits", "0", "-o", "X.txt"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    LinearEquation::Factorize(kind);
    LinearEquation::Solve(kind, b);
    EXPECT_LE(MaxDifference(Mat::Load(Path("X.txt")), b), kPrinted);
  }
};

TEST_P(OrvaneToolSolve, MatchesTheLibrary) {
  const KindCase& c = GetParam();
  constexpr int n = 6;
  c.complex ? Check(ComplexMatrix(n, n), c.makeComplex(n)) : Check(Matrix(n, n), c.makeReal(n));
}

INSTANTIATE_TEST_SUITE_P(Kinds, OrvaneToolSolve, ::testing::ValuesIn(SolveKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the other commands against the library ----

TEST_F(OrvaneTool, PrintsWhatTheLibraryPrintsWithTheChosenFormat) {
  Write("A.txt", "[4;7]\n[2;6]\n");
  const Outcome r = Run({"inv", "A.txt", "--digits", "2", "--format", "separator=;"});
  ASSERT_EQ(r.status, 0) << r.err;
  Matrix a(2, 2);
  a(0, 0) = 4, a(0, 1) = 7, a(1, 0) = 2, a(1, 1) = 6;
  MatrixFormatter f;
  f.set_NumberOfDigit(2);
  f.set_ElementSeparatedBy(";");
  EXPECT_EQ(r.out, a.Inv().ToString(f));
  EXPECT_EQ(r.out, "[0.60;-0.70]\r\n[-0.20;0.40]\r\n");
}

TEST_F(OrvaneTool, EigenproblemsMatchTheLibrary) {
  Write("A.txt", "[4,1,0.5]\n[1,3,-1]\n[0.5,-1,2]\n");
  Write("B.txt", "[2,0.5,0]\n[0.5,2,0.5]\n[0,0.5,2]\n");
  ASSERT_EQ(Run({"eig", "A.txt", "B.txt", "--vectors", "--digits", "0", "-o", "e"}).status, 0);
  Matrix a = Matrix::Load(Path("A.txt")), b = Matrix::Load(Path("B.txt"));
  Matrix as(3, 3, MatrixType::DoubleSymmetric), bs(3, 3, MatrixType::DoubleSymmetric);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) as(i, j) = a(i, j), bs(i, j) = b(i, j);
  }
  std::vector<double> values;
  Matrix vectors;
  Eigenproblem::Solve(as, bs, values, vectors);
  const Matrix toolValues = Matrix::Load(Path("e-values.txt"));
  ASSERT_EQ(toolValues.get_RowNum(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(toolValues(i, 0), values[static_cast<std::size_t>(i)], kPrinted);
  EXPECT_LE(MaxDifference(Matrix::Load(Path("e-vectors.txt")), vectors), kPrinted);
}

TEST_F(OrvaneTool, SvdOfAComplexMatrixMatchesTheLibrary) {
  Write("A.txt", "[(1,2),(0,-1)]\n[(3,0),(1,1)]\n[(0,0),(2,-2)]\n");
  ASSERT_EQ(Run({"svd", "A.txt", "--complex", "--digits", "0", "-o", "s"}).status, 0);
  ComplexMatrix a = ComplexMatrix::Load(Path("A.txt")), sigma, u, vt;
  SingularValueDecomposition::Decompose(a, sigma, u, vt);
  const Matrix values = Matrix::Load(Path("s-sigma.txt"));
  for (int k = 0; k < 2; ++k) EXPECT_NEAR(values(k, 0), sigma(k, k).get_Real(), kPrinted);
  EXPECT_LE(MaxDifference(ComplexMatrix::Load(Path("s-U.txt")), u), kPrinted);
  EXPECT_LE(MaxDifference(ComplexMatrix::Load(Path("s-VT.txt")), vt), kPrinted);
}

TEST_F(OrvaneTool, LeastSquaresOfAnUnderdeterminedSystemIsTheMinimumNormSolution) {
  Write("A.txt", "[1,1,0]\n[0,1,1]\n");
  Write("B.txt", "[2]\n[2]\n");
  const Outcome r = Run({"lstsq", "A.txt", "B.txt", "--digits", "0", "-o", "X.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  Matrix a = Matrix::Load(Path("A.txt")), b(3, 1);
  b(0, 0) = 2.0;
  b(1, 0) = 2.0;
  LeastSquare::Solve(a, b);
  const Matrix x = Matrix::Load(Path("X.txt"));
  EXPECT_LE(MaxDifference(x, b), kPrinted);
  EXPECT_NEAR(x(0, 0), 2.0 / 3, kPrinted);
  EXPECT_NEAR(x(1, 0), 4.0 / 3, kPrinted);
  EXPECT_NEAR(x(2, 0), 2.0 / 3, kPrinted);
}

TEST_F(OrvaneTool, FitPrintsPlainPowerCoefficientsAndValues) {
  Write("x.txt", "[0]\n[1]\n[2]\n[3]\n");
  Write("y.txt", "[1,3,5,7]\n");
  const Outcome r = Run({"fit", "x.txt", "y.txt", "--degree", "1", "--at", "10,0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "coefficients (c0 + c1 x + c2 x^2 + ...):\n[1.0000,2.0000]\r\n"
            "values (x, p(x)):\n[10.0000,21.0000]\r\n[0.5000,2.0000]\r\n");
}

TEST_F(OrvaneTool, FftOfRealAndComplexFilesMatchesTheLibrary) {
  Write("real.txt", "[1,2,3]\n");
  Outcome r = Run({"fft", "real.txt", "--digits", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "[(6.0,0.0),(-2.0,2.0),(2.0,0.0),(-2.0,-2.0)]\r\n");
  Write("c.txt", "[(0.5,1)]\n[(2,-1)]\n[(0,3)]\n[(1,1)]\n[(-1,0)]\n");
  r = Run({"fft", "c.txt", "--inverse", "--digits", "0", "-o", "out.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  const ComplexMatrix in = ComplexMatrix::Load(Path("c.txt"));
  std::vector<Complex> data;
  for (int i = 0; i < 5; ++i) data.push_back(in(i, 0));
  const std::vector<Complex> expected = FFT::Backward(data);
  const ComplexMatrix got = ComplexMatrix::Load(Path("out.txt"));
  ASSERT_EQ(got.get_RowNum(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_LE(std::abs((got(i, 0) - expected[static_cast<std::size_t>(i)]).ToStdComplex()), kPrinted);
  }
}

TEST_F(OrvaneTool, BesselTablesHoldTheLibrarysValues) {
  const Outcome r = Run({"bessel", "y", "-1", "0.5", "2", "--digits", "0"});
  ASSERT_EQ(r.status, 0) << r.err;
  MatrixFormatter f = Exact();
  Matrix t(2, 2);
  t(0, 0) = 0.5, t(0, 1) = Bessel::Y(-1, 0.5), t(1, 0) = 2, t(1, 1) = Bessel::Y(-1, 2);
  EXPECT_EQ(r.out, t.ToString(f));
}

// ---- usage, tour and help ----

TEST_F(OrvaneTool, WithoutArgumentsTheTourShowsEveryCommand) {
  const Outcome r = Run({});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* cmd : {"solve", "inv", "eig", "svd", "lstsq", "fit", "fft", "bessel"}) {
    EXPECT_NE(r.out.find(std::string("$ orvane ") + cmd), std::string::npos) << cmd;
  }
  EXPECT_NE(r.out.find("[1.0000]\n    [-2.0000]\n    [3.0000]"), std::string::npos);  // the 3 x 3 solve
}

TEST_F(OrvaneTool, HelpDescribesEveryOption) {
  const Outcome top = Run({"--help"});
  EXPECT_EQ(top.status, 0);
  const std::map<std::string, std::vector<std::string>> options{
      {"solve", {"--kind", "--kl", "--ku", "--complex", "-o"}}, {"inv", {"--kind", "--complex"}},
      {"eig", {"--vectors", "--complex", "-o PREFIX"}},          {"svd", {"--complex"}},
      {"lstsq", {"-o FILE"}},                                    {"fit", {"--degree", "--at"}},
      {"fft", {"--inverse"}},                                    {"bessel", {"-o FILE"}}};
  for (const auto& [cmd, opts] : options) {
    EXPECT_NE(top.out.find("\n  " + cmd + " "), std::string::npos) << cmd;
    const Outcome r = Run({cmd, "--help"});
    EXPECT_EQ(r.status, 0) << cmd;
    for (const std::string& o : opts) EXPECT_NE(r.out.find("  " + o), std::string::npos) << cmd << ' ' << o;
    for (const char* common : {"--digits N", "--format KEY=VALUE", "-o, --output"}) {
      EXPECT_NE(r.out.find(common), std::string::npos) << cmd << ' ' << common;
    }
  }
}

// ---- bad input and numerical failures ----

TEST_F(OrvaneTool, BadInputIsOneLineAndStatusTwo) {
  Write("A.txt", "[4,1]\n[1,3]\n");
  Write("b.txt", "[1]\n[2]\n");
  Write("bad.txt", "[1,2]\n\n[3,4;5]\n");
  Write("big.txt", "[1,2]\r\n[3,1e999]\r\n");
  Write("rect.txt", "[1,2,3]\n[4,5,6]\n");
  Write("b3.txt", "[1]\n[2]\n[3]\n");
  Write("wide.txt", "[4,1,1]\n[1,4,1]\n[1,1,4]\n");
  Write("asym.txt", "[4,1]\n[2,3]\n");
  Write("c.txt", "[(1,2),(3)]\n");
  Write("empty.txt", "\n\n");
  Write("nan.txt", "[1,NaN]\n[0,1]\n");
  ExpectFailure({"solve", "bad.txt", "b.txt"}, 2, "orvane solve: bad.txt: malformed number \"4;5\" at line 3");
  ExpectFailure({"solve", "big.txt", "b.txt"}, 2, "orvane solve: big.txt: number out of range \"1e999\" at line 2");
  ExpectFailure({"fft", "c.txt"}, 2,
                "orvane fft: c.txt: complex element without an imaginary part \"(3\" at line 1");
  ExpectFailure({"solve", "missing.txt", "b.txt"}, 2,
                "orvane solve: missing.txt: cannot read the file: No such file or directory");
  ExpectFailure({"solve", "rect.txt", "b.txt"}, 2,
                "orvane solve: rect.txt: wrong shape: 2 x 3, a square matrix is needed");
  ExpectFailure({"solve", "A.txt", "b3.txt"}, 2,
                "orvane solve: b3.txt: wrong shape: 3 x 1, 2 rows are needed to match A.txt");
  ExpectFailure({"solve", "empty.txt", "b.txt"}, 2, "orvane solve: empty.txt: holds no matrix (0 x 0)");
  ExpectFailure({"inv", "nan.txt"}, 2,
                "orvane inv: nan.txt: element (0, 1) is nan; only finite numbers are accepted");
  ExpectFailure({"solve", "wide.txt", "b3.txt", "--kind", "tridiagonal"}, 2,
                "orvane solve: wide.txt: element (0, 2) = 1 does not fit a general tridiagonal matrix "
                "(The specified element doesn't fit to tridiagonal matrix.)");
  ExpectFailure({"solve", "wide.txt", "b3.txt", "--kind", "band", "--kl", "2", "--ku", "1"}, 2,
                "orvane solve: wide.txt: element (0, 2) = 1 does not fit a general band (kl=2, ku=1) matrix "
                "(Value 1doesn't fit to (0, 2))");
  ExpectFailure({"solve", "wide.txt", "b3.txt", "--kind", "symmetric-band", "--kl", "1"}, 2,
                "orvane solve: wide.txt: element (0, 2) = 1 lies outside a symmetric band (kl=ku=1) matrix");
  ExpectFailure({"eig", "asym.txt"}, 2,
                "orvane eig: asym.txt: not symmetric: element (1, 0) = 2 but element (0, 1) = 1");
  ExpectFailure({"solve", "A.txt", "b.txt", "--complex"}, 2,
                "orvane solve: A.txt: holds no complex element such as (1,-2); real matrices need no --complex");
  ExpectFailure({"solve", "A.txt"}, 2,
                "orvane solve: missing arguments; usage: orvane solve A B [--kind K] [--kl N --ku N] [--complex]");
  ExpectFailure({"solve", "A.txt", "b.txt", "--kind", "band"}, 2, "orvane solve: --kind band needs --kl N and --ku N");
  ExpectFailure({"inv", "A.txt", "--kind", "tridiagonal"}, 2,
                "orvane inv: the library inverts only the general and symmetric (Hermitian) kinds, not general "
                "tridiagonal");
  ExpectFailure({"svd", "A.txt", "--vectors"}, 2, "orvane svd: unknown option --vectors (see orvane svd --help)");
  ExpectFailure({"fit", "b.txt", "b.txt", "--degree", "2"}, 2,
                "orvane fit: b.txt: 2 points cannot determine a polynomial of degree 2");
  ExpectFailure({"bessel", "j", "x", "1"}, 2, "orvane bessel: ORDER 'x' is not an integer");
  ExpectFailure({"inv", "A.txt", "--digits", "many"}, 2, "orvane inv: --digits 'many' is not an integer");
  ExpectFailure({"frobnicate"}, 2, "orvane: unknown command 'frobnicate' (orvane --help lists them)");
}

TEST_F(OrvaneTool, NumericalFailureIsOneLineAndStatusOne) {
  Write("sing.txt", "[1,2]\n[2,4]\n");
  Write("b.txt", "[1]\n[2]\n");
  Write("indef.txt", "[1,2]\n[2,1]\n");
  Write("I.txt", "[1,0]\n[0,1]\n");
  Write("x.txt", "[5,5,5,5]\n");
  Write("y.txt", "[1,2,3,4]\n");
  // Consistent, so a backend may well produce finite numbers: still singular.
  for (const char* kind : {"general", "tridiagonal"}) {
    ExpectFailure({"solve", "sing.txt", "b.txt", "--kind", kind}, 1,
                  "orvane solve: sing.txt: singular matrix (element (1, 1) of the LU factor U is zero)");
  }
  Write("c.txt", "[(1,1),(2,2)]\n[(2,0),(4,0)]\n");
  Write("cb.txt", "[(1,0)]\n[(0,1)]\n");
  ExpectFailure({"solve", "c.txt", "cb.txt", "--complex", "--kind", "band", "--kl", "1", "--ku", "1"}, 1,
                "orvane solve: c.txt: singular matrix (element (1, 1) of the LU factor U is zero)");
  ExpectFailure({"solve", "indef.txt", "b.txt", "--kind", "symmetric-tridiagonal"}, 1,
                "orvane solve: indef.txt: not positive definite; the symmetric tridiagonal kind needs a positive "
                "definite matrix (--kind symmetric also takes indefinite ones)");
  ExpectFailure({"eig", "I.txt", "indef.txt"}, 1,
                "orvane eig: indef.txt: not positive definite; the generalized problem needs a positive definite B");
  ExpectFailure({"inv", "sing.txt"}, 1,
                "orvane inv: sing.txt: singular matrix (The matrix is exactly singular (the 2-th diagonal element "
                "of U is zero), so its inverse could not be computed.)");
  ExpectFailure({"fit", "x.txt", "y.txt", "--degree", "1"}, 1,
                "orvane fit: x.txt: these abscissas cannot determine a polynomial of degree 1 (the 2-th diagonal "
                "element of the triangular factor of A is zero, so that A does not have full rank; the least "
                "squares solution could not be computed.)");
  // An indefinite but regular symmetric matrix is fine for the packed kind.
  EXPECT_EQ(Run({"solve", "indef.txt", "b.txt", "--kind", "symmetric"}).status, 0);
}

}  // namespace
