// `orvane ... --distributed` under mpirun prints what the plain command
// prints: the same lines, every number within one unit of the last printed
// decimal; eigenvectors up to the sign of each column (the two engines use
// different eigen algorithms, and an eigenvector's sign is arbitrary).
// Errors: the same line on standard error once, the same exit status.
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/MatrixFormatter.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

using OrvaneNet::Matrix;

struct Outcome {
  int status;
  std::string out, err;
};

class DistributedTool : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return m_folder.Path(name); }
  std::string Write(const std::string& name, const std::string& text) const {
    return m_folder.Write(name, text);
  }

  // A file of random rows, printed exactly, `shift` added to the diagonal;
  // symmetric when asked.
  std::string WriteRandom(const std::string& name, int rows, int cols, unsigned seed,
                          bool symmetric = false, double shift = 0) const {
    std::mt19937 rng(seed);
    Matrix a = orvane_test::RandomDense<Matrix>(rows, cols, rng, shift);
    if (symmetric) a = (a + Matrix::Transpose(a)) * 0.5;
    OrvaneNet::MatrixFormatter exact;
    exact.set_RoundTrip(true);
    return Write(name, a.ToString(exact));
  }

  Outcome Orvane(const std::string& args, const std::string& mpirun = "") const {
    const std::string out = Path("stdout.txt"), err = Path("stderr.txt");
    const std::string command = mpirun + " " ORVANE_TOOL_PATH " " + args + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, m_folder.Read(out), m_folder.Read(err)};
  }
  Outcome Mpi(int np, const std::string& args) const {
    std::string launcher =
        ORVANE_MPIEXEC " -n " + std::to_string(np) + " --mca mpi_yield_when_idle 1";
    if (np > 2) launcher += " --oversubscribe";
    return Orvane(args, launcher);
  }

 private:
  orvane_test::TempFolder m_folder;
};

// A line of a printout: a title, or (title "[") a row of numbers.
struct Line {
  std::string title;
  std::vector<double> numbers;
};

std::vector<Line> Parse(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() != '[') {
      lines.push_back({line, {}});
      continue;
    }
    lines.push_back({"[", {}});
    std::istringstream cells(line.substr(1, line.size() - 2));
    for (std::string cell; std::getline(cells, cell, ',');)
      lines.back().numbers.push_back(std::stod(cell));
  }
  return lines;
}

// One unit of the fourth printed decimal, and a little for the printing.
constexpr double kPrintedUnit = 1.0001e-4;

// Equal within printed rounding; in the section titled signFreeTitle (if
// any), each column may also be the negative of the other's.
void ExpectSamePrintout(const std::string& plain, const std::string& distributed,
                        const std::string& signFreeTitle) {
  const std::vector<Line> a = Parse(plain), b = Parse(distributed);
  ASSERT_EQ(a.size(), b.size()) << distributed;
  std::vector<double> columnSign;
  bool signFree = false;
  for (std::size_t r = 0; r < a.size(); ++r) {
    ASSERT_EQ(a[r].title, b[r].title) << distributed;
    if (a[r].title != "[") {
      signFree = !signFreeTitle.empty() && a[r].title == signFreeTitle;
      columnSign.clear();
      continue;
    }
    ASSERT_EQ(a[r].numbers.size(), b[r].numbers.size()) << "line " << r;
    columnSign.resize(a[r].numbers.size(), 0.0);
    for (std::size_t c = 0; c < a[r].numbers.size(); ++c) {
      double x = a[r].numbers[c], y = b[r].numbers[c];
      if (signFree) {
        // The first clearly nonzero element of a column fixes its sign.
        if (columnSign[c] == 0.0 && std::abs(x) > 10 * kPrintedUnit)
          columnSign[c] = (x * y < 0) ? -1.0 : 1.0;
        if (columnSign[c] != 0.0) y *= columnSign[c];
        else x = std::abs(x), y = std::abs(y);
      }
      EXPECT_NEAR(x, y, kPrintedUnit) << "line " << r << ", column " << c << "\n"
                                      << plain << "\n"
                                      << distributed;
    }
  }
}

// Each command plain, then under mpirun with --distributed and the options.
TEST_F(DistributedTool, CommandsEqualThePlainOnes) {
  const std::string a = WriteRandom("A.txt", 9, 9, 1), b = WriteRandom("B.txt", 9, 2, 2);
  const std::string definite = WriteRandom("P.txt", 8, 8, 3, true, 20.0);
  const std::string indefinite = WriteRandom("S.txt", 8, 8, 3, true);  // almost surely
  const std::string b8 = WriteRandom("b8.txt", 8, 1, 4);
  const std::string s = WriteRandom("S7.txt", 7, 7, 5, true), g = WriteRandom("G.txt", 6, 6, 6);
  const struct {
    std::string args;
    int np;
    std::string options, signFreeTitle;
  } cases[] = {
      {"solve " + a + " " + b + " --digits 6", 2, "", ""},
      {"solve " + a + " " + b + " --digits 6", 4, "--grid 4x1 --block 3", ""},
      {"solve " + definite + " " + b8 + " --kind symmetric", 2, "--block 3", ""},
      {"solve " + indefinite + " " + b8 + " --kind symmetric", 2, "--block 3", ""},
      {"eig " + s + " --vectors", 2, "--block 2",
       "eigenvectors (column j belongs to eigenvalue j):"},
      // Left and right vectors change sign together; compare U up to column
      // signs and the values exactly.
      {"svd " + g, 2, "--grid 2x1 --block 1", "U (left singular vectors in columns):"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + c.options + " on " + std::to_string(c.np));
    const Outcome plain = Orvane(c.args);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Outcome dist = Mpi(c.np, c.args + " --distributed " + c.options);
    ASSERT_EQ(dist.status, 0) << dist.err;
    EXPECT_EQ(dist.err, "");
    ExpectSamePrintout(plain.out, dist.out, c.signFreeTitle);
  }
}

TEST_F(DistributedTool, FailuresPrintThePlainLineOnceWithTheSameStatus) {
  const std::string args = "solve " + Write("Z.txt", "[1,2,3]\n[2,4,6]\n[1,1,1]\n") + " " +
                           Write("b.txt", "[1]\n[2]\n[3]\n");
  const Outcome plain = Orvane(args);
  const Outcome dist = Mpi(2, args + " --distributed");
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(dist.status, plain.status);
  EXPECT_NE(dist.err.find(plain.err), std::string::npos) << dist.err;
  // Printed by rank 0 alone.
  EXPECT_EQ(dist.err.find(plain.err), dist.err.rfind(plain.err)) << dist.err;
  const Outcome grid = Mpi(2, args + " --distributed --grid 3x3");
  EXPECT_EQ(grid.status, 2);
  EXPECT_NE(grid.err.find("orvane solve: --grid: The process grid 3 x 3 needs 9 processes, but "
                          "the communicator has 2.\n"),
            std::string::npos)
      << grid.err;
  const Outcome missing = Mpi(2, "eig " + Path("nothing.txt") + " --distributed");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("orvane eig: " + Path("nothing.txt")), std::string::npos)
      << missing.err;
}

}  // namespace
