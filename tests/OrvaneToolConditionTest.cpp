// The orvane tool's cond and det commands, and the warning solve and inv
// give for a matrix singular to working precision: run as a user runs them,
// their output compared with what the library computes.
#include <OrvaneNet/OrvaneNet.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
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

class OrvaneToolCondition : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kTool == nullptr) GTEST_SKIP() << "the orvane tool is not built (ORVANE_BUILD_TOOLS=OFF)";
    char pattern[] = "/tmp/orvane-cond-XXXXXX";
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
  // The single number of a 1 x 1 result printed in the general form.
  static double Number(const std::string& out) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(out, m, std::regex(R"(\[([^\]]*)\]\r\n)"))) << out;
    return std::stod(m[1]);
  }

  std::string m_dir;
};

// 1 + 2^-52 prints as 1.0000000000000002: det A = 2^-52 exactly on every
// backend, 1-norm condition near 1.8e16.
constexpr const char* kNearlySingular = "[1,1]\n[1,1.0000000000000002]\n";
constexpr const char* kWarning =
    R"(orvane (solve|inv): warning: A\.txt is singular to working precision \(reciprocal condition )"
    R"(\d\.\de-\d\d\); the result may be meaningless\n)";

TEST_F(OrvaneToolCondition, SolveAndInvWarnOnceAndKeepTheirOutput) {
  Write("A.txt", kNearlySingular);
  Write("b.txt", "[1]\n[2]\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"solve", "A.txt", "b.txt"}, {"inv", "A.txt"},
        {"solve", "A.txt", "b.txt", "--kind", "band", "--kl", "1", "--ku", "1"}}) {
    const Outcome loud = Run(args);
    EXPECT_EQ(loud.status, 0) << loud.err;
    EXPECT_TRUE(std::regex_match(loud.err, std::regex(kWarning))) << loud.err;
    std::vector<std::string> quietArgs = args;
    quietArgs.push_back("--quiet");
    const Outcome quiet = Run(quietArgs);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, loud.out);
    EXPECT_NE(loud.out, "");
  }
  // The value in the line is the library's estimate, to two digits.
  Matrix a = Matrix::Load(Path("A.txt"));
  char text[16];
  std::snprintf(text, sizeof text, "%.1e", LinearEquation::ReciprocalCondition(a));
  EXPECT_NE(Run({"inv", "A.txt"}).err.find(std::string("(reciprocal condition ") + text + ")"), std::string::npos);
}

TEST_F(OrvaneToolCondition, AWellConditionedSystemGivesNoWarning) {
  Write("A.txt", "[4,-1,0]\n[-1,4,-1]\n[0,-1,4]\n");
  Write("b.txt", "[3]\n[2]\n[3]\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"solve", "A.txt", "b.txt"}, {"inv", "A.txt"},
        {"solve", "A.txt", "b.txt", "--kind", "symmetric-tridiagonal"}, {"inv", "A.txt", "--kind", "symmetric"}}) {
    const Outcome r = Run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "") << args[0];
  }
}

// An exactly zero pivot stays a numerical failure, with no warning besides.
TEST_F(OrvaneToolCondition, ExactlySingularStaysAFailure) {
  Write("A.txt", "[1,2]\n[2,4]\n");
  Write("b.txt", "[1]\n[2]\n");
  const Outcome r = Run({"solve", "A.txt", "b.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "orvane solve: A.txt: singular matrix (element (1, 1) of the LU factor U is zero)\n");
}

TEST_F(OrvaneToolCondition, CondPrintsTheLibrarysEstimate) {
  Write("A.txt", "[4,1,0]\n[1,3,-1]\n[0,-1,2]\n");
  Write("C.txt", "[(4,0),(1,-1)]\n[(1,1),(3,0)]\n");
  const std::pair<std::vector<std::string>, MatrixType> rows[] = {
      {{"cond", "A.txt"}, MatrixType::DoubleGeneral},
      {{"cond", "A.txt", "--kind", "symmetric-tridiagonal"}, MatrixType::DoubleSymmetricTridiagonal},
      {{"cond", "C.txt", "--kind", "hermitian"}, MatrixType::ComplexHermitian},
  };
  for (const auto& [args, type] : rows) {
    const Outcome r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    double expected = 0;
    if (type == MatrixType::ComplexHermitian) {
      const ComplexMatrix dense = ComplexMatrix::Load(Path(args[1]));
      ComplexMatrix a(2, 2, type);
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) a(i, j) = dense(i, j);
      expected = LinearEquation::ReciprocalCondition(a);
    } else {
      const Matrix dense = Matrix::Load(Path(args[1]));
      Matrix a = type == MatrixType::DoubleGeneral ? dense.Clone() : Matrix(3, 3, type);
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
          if (dense(i, j) != 0.0) a(i, j) = dense(i, j);
      expected = LinearEquation::ReciprocalCondition(a);
    }
    EXPECT_NEAR(Number(r.out), expected, 1e-14 * expected) << args.back();
  }
  Write("S.txt", "[1,2]\n[2,4]\n");
  EXPECT_EQ(Run({"cond", "S.txt"}).out, "[0]\r\n");
}

TEST_F(OrvaneToolCondition, DetPrintsTheDeterminantOrItsLogarithm) {
  Write("A.txt", "[0,2,1]\n[2,0,3]\n[1,3,0]\n");  // det 12, a zero diagonal: 2 x 2 pivots
  EXPECT_NEAR(Number(Run({"det", "A.txt"}).out), 12.0, 1e-13);
  EXPECT_NEAR(Number(Run({"det", "A.txt", "--kind", "symmetric"}).out), 12.0, 1e-13);
  Write("N.txt", "[-2,1]\n[1,-3]\n");  // det 5
  const Outcome log = Run({"det", "N.txt", "--kind", "symmetric", "--log", "--digits", "4"});
  EXPECT_EQ(log.out, "log |det A|:\n[1.6094]\r\nsign (det A = sign * exp(log |det A|)):\n[1.0000]\r\n");
  Write("C.txt", "[(0,1),(0,0)]\n[(0,0),(2,0)]\n");  // det 2i
  const Outcome phase = Run({"det", "C.txt", "--complex", "--log", "-o", "p"});
  EXPECT_EQ(phase.status, 0) << phase.err;
  EXPECT_NEAR(Matrix::Load(Path("p-log.txt"))(0, 0), std::log(2.0), 1e-14);
  const Complex unit = ComplexMatrix::Load(Path("p-phase.txt"))(0, 0);
  EXPECT_NEAR(unit.get_Real(), 0.0, 1e-15);
  EXPECT_NEAR(unit.get_Imag(), 1.0, 1e-15);
  Write("S.txt", "[1,2]\n[2,4]\n");
  EXPECT_EQ(Run({"det", "S.txt", "--log"}).out,
            "log |det A|:\n[-Infinity]\r\nsign (det A = sign * exp(log |det A|)):\n[0]\r\n");
}

TEST_F(OrvaneToolCondition, APositiveDefiniteKindRefusesAnIndefiniteMatrix) {
  Write("A.txt", "[1,2]\n[2,1]\n");
  for (const char* command : {"cond", "det"}) {
    const Outcome r = Run({command, "A.txt", "--kind", "symmetric-band", "--kl", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("orvane ") + command +
                         ": A.txt: not positive definite; the symmetric band (kl=ku=1) kind needs a positive "
                         "definite matrix (--kind symmetric also takes indefinite ones)\n");
  }
}

}  // namespace
