// The orvane tool's general eigenproblem (eig --general) and exact-length
// transform (fft --exact), run through the shell as a user runs them and
// compared with what the library computes.
#include <OrvaneNet/OrvaneNet.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
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

// 15 printed digits (--digits 0): a few units in the 14th digit of values of
// order 1.
constexpr double kPrinted = 1e-13;

struct Outcome {
  int status;
  std::string out, err;
};

// (Named OrvaneTool... so that the valgrind run, which does not follow the
// tool's child processes, leaves it out with the other tool tests.)
class OrvaneToolGeneralEigDft : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kTool == nullptr) GTEST_SKIP() << "the orvane tool is not built (ORVANE_BUILD_TOOLS=OFF)";
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
  Outcome Run(const std::vector<std::string>& args) const {
    std::string cmd = "cd '" + m_dir + "' && '" + kTool + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " >stdout.txt 2>stderr.txt";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read("stdout.txt"), Read("stderr.txt")};
  }

  std::string m_dir;
};

void ExpectNear(const ComplexMatrix& tool, const ComplexMatrix& library) {
  ASSERT_EQ(tool.get_RowNum(), library.get_RowNum());
  ASSERT_EQ(tool.get_ColNum(), library.get_ColNum());
  EXPECT_LE(orvane_test::MaxDifference(tool, library), kPrinted);
}

TEST_F(OrvaneToolGeneralEigDft, GeneralEigenproblemMatchesTheLibrary) {
  // Real, with a conjugate pair; and complex.
  Write("A.txt", "[1,2,0]\n[-3,1,0.5]\n[0,1,4]\n");
  Write("C.txt", "[(1,1),(2,0)]\n[(0,-1),(3,0.5)]\n");
  const Outcome r = Run({"eig", "A.txt", "--general", "--vectors", "--digits", "0", "-o", "e"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  Matrix a = Matrix::Load(Path("A.txt"));
  ComplexMatrix values, vectors;
  GeneralEigenproblem::Solve(a, values, vectors);
  ExpectNear(ComplexMatrix::Load(Path("e-values.txt")), values);
  ExpectNear(ComplexMatrix::Load(Path("e-vectors.txt")), vectors);

  MatrixFormatter two;
  two.set_NumberOfDigit(2);
  ComplexMatrix c = ComplexMatrix::Load(Path("C.txt")), complexValues;
  GeneralEigenproblem::Solve(c, complexValues);
  const Outcome printed = Run({"eig", "C.txt", "--general", "--complex", "--digits", "2"});
  EXPECT_EQ(printed.status, 0) << printed.err;
  EXPECT_EQ(printed.out,
            "eigenvalues (LAPACK's order, conjugate pairs together):\n" + complexValues.ToString(two));
}

TEST_F(OrvaneToolGeneralEigDft, ExactTransformKeepsTheLengthAndTheOrientation) {
  Write("row.txt", "[1,2,3]\n");
  Write("column.txt", "[(1,0.5)]\n[(0,-1)]\n[(2,0)]\n[(0.25,0)]\n[(-1,3)]\n");
  MatrixFormatter two;
  two.set_NumberOfDigit(2);
  const std::vector<Complex> inverse = DFT::Backward({Complex(1, 0), Complex(2, 0), Complex(3, 0)});
  const Outcome row = Run({"fft", "row.txt", "--exact", "--inverse", "--digits", "2"});
  EXPECT_EQ(row.status, 0) << row.err;
  EXPECT_EQ(row.out, "[" + inverse[0].ToString(2) + "," + inverse[1].ToString(2) + "," +
                         inverse[2].ToString(2) + "]\r\n");

  const Outcome column = Run({"fft", "column.txt", "--exact", "--digits", "0", "-o", "X.txt"});
  ASSERT_EQ(column.status, 0) << column.err;
  const ComplexMatrix x = ComplexMatrix::Load(Path("column.txt"));
  std::vector<Complex> data;
  for (int i = 0; i < 5; ++i) data.push_back(x.get_Item(i, 0));
  const std::vector<Complex> forward = DFT::Forward(data);
  ComplexMatrix want(5, 1);
  for (int i = 0; i < 5; ++i) want(i, 0) = forward[static_cast<std::size_t>(i)];
  ExpectNear(ComplexMatrix::Load(Path("X.txt")), want);
}

TEST_F(OrvaneToolGeneralEigDft, FailuresAndHelp) {
  Write("A.txt", "[1,2]\n[3,4]\n");
  Write("rect.txt", "[1,2,3]\n[4,5,6]\n");
  const struct {
    std::vector<std::string> args;
    std::string line;
  } rows[] = {
      {{"eig", "A.txt", "A.txt", "--general"},
       "orvane eig: too many arguments; usage: orvane eig A --general [--vectors] [--complex]"},
      {{"eig", "rect.txt", "--general"}, "orvane eig: rect.txt: wrong shape: 2 x 3, a square matrix is needed"},
      {{"fft", "A.txt", "--exact"}, "orvane fft: A.txt: wrong shape: 2 x 2, one row or one column is needed"},
  };
  for (const auto& row : rows) {
    const Outcome r = Run(row.args);
    EXPECT_EQ(r.status, 2) << row.line;
    EXPECT_EQ(r.err, row.line + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_NE(Run({"eig", "--help"}).out.find("--general"), std::string::npos);
  EXPECT_NE(Run({"fft", "--help"}).out.find("--exact"), std::string::npos);
}

}  // namespace
