// `orvane ... --distributed` under mpirun prints what the plain command
// prints: the same lines, every number within one unit of the last printed
// decimal; eigenvectors up to the sign of each column (the two engines use
// different eigen algorithms, and an eigenvector's sign is arbitrary).
// Errors: the same line on standard error once, the same exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class DistributedTool : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() /
            ("orvane-distributed-" + std::to_string(::getpid()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string Path(const std::string& name) const { return (m_dir / name).string(); }

  // A file of random rows, printed exactly; symmetric when asked.
  std::string WriteRandom(const std::string& name, int rows, int cols, unsigned seed, bool symmetric = false,
                          double diagonal = 0) const {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<std::vector<double>> a(rows, std::vector<double>(cols));
    for (auto& row : a) {
      for (double& v : row) v = dist(rng);
    }
    for (int i = 0; i < rows; ++i) {
      a[i][i < cols ? i : 0] += i < cols ? diagonal : 0;
      for (int j = 0; symmetric && j < i; ++j) a[i][j] = a[j][i];
    }
    std::ofstream out(Path(name));
    out.precision(17);
    for (const auto& row : a) {
      out << '[';
      for (int j = 0; j < cols; ++j) out << (j ? "," : "") << row[j];
      out << "]\n";
    }
    return Path(name);
  }

  Outcome Orvane(const std::string& args, const std::string& mpirun = "") const {
    const std::string out = Path("stdout.txt"), err = Path("stderr.txt");
    const std::string command = mpirun + " " ORVANE_TOOL_PATH " " + args + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
  }
  Outcome Mpi(int np, const std::string& args) const {
    std::string launcher = ORVANE_MPIEXEC " -n " + std::to_string(np) + " --mca mpi_yield_when_idle 1";
    if (np > 2) launcher += " --oversubscribe";
    return Orvane(args, launcher);
  }

 private:
  fs::path m_dir;
};

// The lines of a printout: titles kept as text, rows as their numbers.
struct Printed {
  std::vector<std::string> titles;
  std::vector<std::vector<double>> rows;
};

Printed Parse(const std::string& text) {
  Printed p;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() != '[') {
      p.titles.push_back(line);
      p.rows.emplace_back();
      continue;
    }
    std::vector<double> row;
    std::string body = line.substr(1, line.size() - 2);
    std::istringstream cells(body);
    for (std::string cell; std::getline(cells, cell, ',');) row.push_back(std::stod(cell));
    p.rows.push_back(row);
  }
  return p;
}

// One unit of the fourth printed decimal, and a little for the printing.
constexpr double kPrintedUnit = 1.0001e-4;

// Equal within printed rounding; in the section titled signFreeTitle (if
// any), each column may also be the negative of the other's.
void ExpectSamePrintout(const std::string& plain, const std::string& distributed,
                        const std::string& signFreeTitle = "") {
  const Printed a = Parse(plain), b = Parse(distributed);
  ASSERT_EQ(a.titles, b.titles) << distributed;
  ASSERT_EQ(a.rows.size(), b.rows.size()) << distributed;
  std::vector<double> columnSign;
  bool signFree = false;
  for (std::size_t r = 0; r < a.rows.size(); ++r) {
    if (a.rows[r].empty()) {  // a title line
      const std::size_t t = static_cast<std::size_t>(std::count_if(a.rows.begin(), a.rows.begin() + r + 1,
                                                                   [](const auto& row) { return row.empty(); }));
      signFree = !signFreeTitle.empty() && a.titles[t - 1] == signFreeTitle;
      columnSign.clear();
      continue;
    }
    ASSERT_EQ(a.rows[r].size(), b.rows[r].size()) << "line " << r;
    columnSign.resize(a.rows[r].size(), 0.0);
    for (std::size_t c = 0; c < a.rows[r].size(); ++c) {
      double x = a.rows[r][c], y = b.rows[r][c];
      if (signFree) {
        // The first clearly nonzero element of a column fixes its sign.
        if (columnSign[c] == 0.0 && std::abs(x) > 10 * kPrintedUnit) columnSign[c] = (x * y < 0) ? -1.0 : 1.0;
        if (columnSign[c] != 0.0) y *= columnSign[c];
        else x = std::abs(x), y = std::abs(y);
      }
      EXPECT_NEAR(x, y, kPrintedUnit) << "line " << r << ", column " << c << "\n" << plain << "\n" << distributed;
    }
  }
}

TEST_F(DistributedTool, SolveEqualsThePlainCommandOnEveryGrid) {
  const std::string a = WriteRandom("A.txt", 9, 9, 1), b = WriteRandom("B.txt", 9, 2, 2);
  const Outcome plain = Orvane("solve " + a + " " + b + " --digits 6");
  ASSERT_EQ(plain.status, 0) << plain.err;
  const Outcome two = Mpi(2, "solve " + a + " " + b + " --digits 6 --distributed");
  ASSERT_EQ(two.status, 0) << two.err;
  EXPECT_EQ(two.err, "");
  ExpectSamePrintout(plain.out, two.out);
  const Outcome four = Mpi(4, "solve " + a + " " + b + " --digits 6 --distributed --grid 4x1 --block 3");
  ASSERT_EQ(four.status, 0) << four.err;
  ExpectSamePrintout(plain.out, four.out);
}

TEST_F(DistributedTool, SymmetricSolveTakesDefiniteAndIndefiniteMatrices) {
  for (const double shift : {20.0, 0.0}) {  // positive definite, then (almost surely) indefinite
    const std::string a = WriteRandom("S.txt", 8, 8, 3, true, shift), b = WriteRandom("B.txt", 8, 1, 4);
    const Outcome plain = Orvane("solve " + a + " " + b + " --kind symmetric");
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Outcome dist = Mpi(2, "solve " + a + " " + b + " --kind symmetric --distributed --block 3");
    ASSERT_EQ(dist.status, 0) << dist.err;
    ExpectSamePrintout(plain.out, dist.out);
  }
}

TEST_F(DistributedTool, EigAndSvdEqualThePlainCommand) {
  const std::string s = WriteRandom("S.txt", 7, 7, 5, true), g = WriteRandom("G.txt", 6, 6, 6);
  const Outcome plainEig = Orvane("eig " + s + " --vectors");
  const Outcome distEig = Mpi(2, "eig " + s + " --vectors --distributed --block 2");
  ASSERT_EQ(distEig.status, 0) << distEig.err;
  ExpectSamePrintout(plainEig.out, distEig.out, "eigenvectors (column j belongs to eigenvalue j):");
  const Outcome plainSvd = Orvane("svd " + g);
  const Outcome distSvd = Mpi(2, "svd " + g + " --distributed --grid 2x1 --block 1");
  ASSERT_EQ(distSvd.status, 0) << distSvd.err;
  // Left and right vectors change sign together; compare U up to column
  // signs and the values exactly.
  ExpectSamePrintout(plainSvd.out, distSvd.out, "U (left singular vectors in columns):");
}

TEST_F(DistributedTool, FailuresPrintThePlainLineOnceWithTheSameStatus) {
  std::ofstream(Path("Z.txt")) << "[1,2,3]\n[2,4,6]\n[1,1,1]\n";
  std::ofstream(Path("b.txt")) << "[1]\n[2]\n[3]\n";
  const std::string args = "solve " + Path("Z.txt") + " " + Path("b.txt");
  const Outcome plain = Orvane(args);
  const Outcome dist = Mpi(2, args + " --distributed");
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(dist.status, plain.status);
  EXPECT_NE(dist.err.find(plain.err), std::string::npos) << dist.err;
  // Printed by rank 0 alone.
  EXPECT_EQ(dist.err.find(plain.err), dist.err.rfind(plain.err)) << dist.err;

  const Outcome grid = Mpi(2, args + " --distributed --grid 3x3");
  EXPECT_EQ(grid.status, 2);
  EXPECT_NE(grid.err.find("orvane solve: --grid: The process grid 3 x 3 needs 9 processes, but the communicator "
                          "has 2.\n"),
            std::string::npos)
      << grid.err;
  const Outcome missing = Mpi(2, "eig " + Path("nothing.txt") + " --distributed");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("orvane eig: " + Path("nothing.txt")), std::string::npos) << missing.err;
}

}  // namespace
