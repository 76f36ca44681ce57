#include "Distributed.h"

#include <algorithm>
#include <iostream>

#include "Cli.h"

namespace orvane {

bool WantsDistributed(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), "--distributed") != args.end();
}

namespace {

bool HasDistributedMode(const Command& command) {
  const std::string name = command.name;
  return name == "solve" || name == "eig" || name == "svd";
}

}  // namespace

void PrintDistributedHelp(std::ostream& os, const Command& command) {
  if (!HasDistributedMode(command)) return;
  os << "\nUnder mpirun (an orvane built with -DORVANE_WITH_MPI=ON):\n"
        "  --distributed  read the files on rank 0, distribute them block-cyclically and\n"
        "                 compute with ScaLAPACK; rank 0 prints what the command prints\n"
        "                 without it (real matrices; solve: --kind general or symmetric,\n"
        "                 the latter positive definite first; eig: no B; svd: square A)\n"
        "  --grid PxQ     the process grid, P * Q = the number of processes (default:\n"
        "                 as square as possible)\n"
        "  --block NB     the block size of the distribution (default 64)\n";
}

}  // namespace orvane

#ifndef ORVANE_WITH_MPI

namespace orvane {

int RunDistributed(const Command& command, const std::vector<std::string>&) {
  std::cerr << "orvane " << command.name
            << ": --distributed needs MPI, and this orvane was built without MPI (configure with "
               "-DORVANE_WITH_MPI=ON)\n";
  return kBadInput;
}

}  // namespace orvane

#else

#include <OrvaneNet/Distributed.h>
#include <OrvaneNet/OrvaneException.h>
#include <mpi.h>

#include <new>
#include <optional>
#include <utility>

#include "Kinds.h"
#include "MatrixIo.h"

namespace orvane {
namespace {

using OrvaneNet::DistributedEigenproblem;
using OrvaneNet::DistributedLinearEquation;
using OrvaneNet::DistributedMatrix;
using OrvaneNet::DistributedSingularValueDecomposition;
using OrvaneNet::OrvaneException;
using OrvaneNet::ProcessGrid;

constexpr int kRoot = 0;

int WorldRank() {
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  return rank;
}

bool OnRoot() { return WorldRank() == kRoot; }

// MPI for the lifetime of the command.
class MpiSession {
 public:
  MpiSession() { MPI_Init(nullptr, nullptr); }
  ~MpiSession() { MPI_Finalize(); }
  MpiSession(const MpiSession&) = delete;
  MpiSession& operator=(const MpiSession&) = delete;
};

// The exit status and error line of what step raises, as main() reports
// it; {0, ""} when it raises nothing.
template <class Step>
std::pair<int, std::string> Caught(Step&& step) {
  try {
    step();
  } catch (const Failure& f) {
    return {f.status(), f.what()};
  } catch (const std::bad_alloc&) {
    return {kNumericalFailure, "out of memory"};
  } catch (const std::exception& e) {
    return {kNumericalFailure, e.what()};
  }
  return {0, std::string()};
}

// Runs step on rank 0 only (reading files, checking them, printing); a
// failure there becomes the same Failure on every rank, so that no rank waits
// for a root that gave up.
template <class Step>
void OnRootForAll(Step&& step) {
  auto [status, message] = OnRoot() ? Caught(step) : std::pair<int, std::string>{0, std::string()};
  int header[2] = {status, static_cast<int>(message.size())};
  MPI_Bcast(header, 2, MPI_INT, kRoot, MPI_COMM_WORLD);
  if (header[0] == 0) return;
  message.resize(static_cast<std::size_t>(header[1]));
  MPI_Bcast(message.data(), header[1], MPI_CHAR, kRoot, MPI_COMM_WORLD);
  throw Failure(header[0], message);
}

// The same checks and messages as the command without --distributed.
void RequireSquare(const Matrix& m, const std::string& path) {
  if (m.get_RowNum() != m.get_ColNum()) {
    BadInput(path + ": wrong shape: " + ShapeText(m) + ", a square matrix is needed");
  }
}

Matrix ColumnOf(const std::vector<double>& values) {
  Matrix m(static_cast<int>(values.size()), 1);
  for (std::size_t i = 0; i < values.size(); ++i) m(static_cast<int>(i), 0) = values[i];
  return m;
}

template <class Mat>
void EmitSection(const char* title, const char* name, const Mat& m, const Options& o, const MatrixFormatter& f) {
  if (const auto prefix = o.Value("--output")) {
    SaveMatrix(m, f, *prefix + "-" + name + ".txt");
  } else {
    std::cout << title << ":\n" << m.ToString(f);
  }
}

// --grid PxQ (or the squarest grid) and --block NB.
struct GridLayout {
  std::optional<ProcessGrid> grid;
  int block = DistributedMatrix::DefaultBlockSize;
};

GridLayout LayoutFrom(const Options& o) {
  GridLayout out;
  if (const auto block = o.Value("--block")) {
    out.block = ParseInt(*block, "--block");
    if (out.block < 1) BadInput("--block must be at least 1");
  }
  try {
    if (const auto grid = o.Value("--grid")) {
      const std::size_t x = grid->find('x');
      if (x == std::string::npos) BadInput("--grid needs PxQ, such as 2x2, not '" + *grid + "'");
      const int rows = ParseInt(grid->substr(0, x), "--grid rows");
      const int cols = ParseInt(grid->substr(x + 1), "--grid columns");
      out.grid.emplace(MPI_COMM_WORLD, rows, cols);
    } else {
      out.grid.emplace(MPI_COMM_WORLD);
    }
  } catch (const OrvaneException& e) {
    BadInput("--grid: " + std::string(e.what()));
  }
  return out;
}

DistributedMatrix Distribute(const GridLayout& layout, const Matrix& onRoot) {
  return DistributedMatrix::Scatter(*layout.grid, onRoot, kRoot, layout.block);
}

// ---- solve ----

// The plain command reports the first exact zero on U's diagonal.
void ReportSingular(const DistributedMatrix& factors, const std::string& path, const OrvaneException& e) {
  const Matrix lu = factors.Gather(kRoot);
  OnRootForAll([&] {
    for (int i = 0; i < std::min(lu.get_RowNum(), lu.get_ColNum()); ++i) {
      if (lu.get_Item(i, i) == 0.0) {
        NumericalFailure(path + ": singular matrix (element (" + std::to_string(i) + ", " + std::to_string(i) +
                         ") of the LU factor U is zero)");
      }
    }
    NumericalFailure(path + ": singular matrix (" + e.what() + ")");
  });
}

void RunSolve(const Options& o, const GridLayout& layout) {
  const KindSpec kind = ParseKind(o);
  if (kind.complex) BadInput("--distributed works on real matrices only");
  if (kind.structure != Structure::General && kind.structure != Structure::Symmetric) {
    BadInput("--distributed solves with --kind general or symmetric only, not " + Describe(kind));
  }
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  const std::string& pb = o.positional[1];
  Matrix a, b;
  OnRootForAll([&] {
    const Matrix dense = LoadMatrix<Matrix>(pa, f);
    RequireSquare(dense, pa);
    b = LoadMatrix<Matrix>(pb, f);
    if (b.get_RowNum() != dense.get_RowNum()) {
      BadInput(pb + ": wrong shape: " + ShapeText(b) + ", " + std::to_string(dense.get_RowNum()) +
               " rows are needed to match " + pa);
    }
    // The symmetric kind checks symmetry as the plain command does, and
    // reads its upper triangle.
    a = IntoKind(dense, kind, pa);
  });
  DistributedMatrix da = Distribute(layout, a);
  DistributedMatrix db = Distribute(layout, b);
  bool general = kind.structure == Structure::General;
  if (!general) {
    // Cholesky first; an indefinite matrix falls back to LU, as the symmetric
    // kind falls back to Bunch-Kaufman.
    try {
      DistributedLinearEquation::SolvePositiveDefinite(da, db);
    } catch (const OrvaneException&) {
      da = Distribute(layout, a);
      general = true;
    }
  }
  if (general) {
    try {
      DistributedLinearEquation::Solve(da, db);
    } catch (const OrvaneException& e) {
      ReportSingular(da, pa, e);
    }
  }
  const Matrix x = db.Gather(kRoot);
  OnRootForAll([&] {
    if (!AllFinite(x)) NumericalFailure(pa + ": singular matrix (the solution is not finite)");
    Emit(x, o, f);
  });
}

// ---- eig ----

void RunEig(const Options& o, const GridLayout& layout) {
  if (o.Has("--complex")) BadInput("--distributed works on real matrices only");
  if (o.positional.size() != 1) BadInput("--distributed solves the standard problem A x = l x only (no B)");
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  Matrix a;
  OnRootForAll([&] {
    const Matrix dense = LoadMatrix<Matrix>(pa, f);
    RequireSquare(dense, pa);
    a = IntoKind(dense, KindSpec{Structure::Symmetric, false}, pa);
  });
  DistributedMatrix da = Distribute(layout, a);
  a = Matrix();
  const bool withVectors = o.Has("--vectors");
  std::vector<double> values;
  DistributedMatrix vectors(*layout.grid, 0, 0, layout.block);
  try {
    withVectors ? DistributedEigenproblem::Solve(da, values, vectors) : DistributedEigenproblem::Solve(da, values);
  } catch (const OrvaneException& e) {
    throw Failure(kNumericalFailure, pa + ": the eigenvalue computation failed (" + e.what() + ")");
  }
  const Matrix v = vectors.Gather(kRoot);
  OnRootForAll([&] {
    EmitSection("eigenvalues (ascending)", "values", ColumnOf(values), o, f);
    if (withVectors) EmitSection("eigenvectors (column j belongs to eigenvalue j)", "vectors", v, o, f);
  });
}

// ---- svd ----

void RunSvd(const Options& o, const GridLayout& layout) {
  if (o.Has("--complex")) BadInput("--distributed works on real matrices only");
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  Matrix a;
  OnRootForAll([&] {
    a = LoadMatrix<Matrix>(pa, f);
    if (a.get_RowNum() != a.get_ColNum()) {
      BadInput(pa + ": wrong shape: " + ShapeText(a) +
               "; --distributed decomposes square matrices only (ScaLAPACK gives the thin factors, not the full U "
               "and VT)");
    }
  });
  DistributedMatrix da = Distribute(layout, a);
  a = Matrix();
  std::vector<double> sigma;
  DistributedMatrix u(*layout.grid, 0, 0, layout.block), vt(*layout.grid, 0, 0, layout.block);
  try {
    DistributedSingularValueDecomposition::Decompose(da, sigma, u, vt);
  } catch (const OrvaneException& e) {
    throw Failure(kNumericalFailure, pa + ": the singular value decomposition failed (" + e.what() + ")");
  }
  const Matrix uu = u.Gather(kRoot), vv = vt.Gather(kRoot);
  OnRootForAll([&] {
    EmitSection("singular values (descending)", "sigma", ColumnOf(sigma), o, f);
    EmitSection("U (left singular vectors in columns)", "U", uu, o, f);
    EmitSection("VT (right singular vectors in rows)", "VT", vv, o, f);
  });
}

constexpr OptionSpec kDistributedOptions[] = {{"--distributed", false}, {"--grid", true}, {"--block", true}};

void Run(const Command& command, const std::vector<std::string>& args) {
  std::vector<OptionSpec> specs(command.options.begin(), command.options.end());
  specs.insert(specs.end(), std::begin(kDistributedOptions), std::end(kDistributedOptions));
  const Options o = ParseOptions(args, specs, command.name);
  if (o.Has("--help")) {
    if (OnRoot()) PrintHelp(std::cout, command);
    return;
  }
  if (!HasDistributedMode(command)) BadInput("--distributed works with solve, eig and svd only");
  const std::string name = command.name;
  const std::size_t wanted = name == "solve" ? 2 : 1;
  if (o.positional.size() < wanted || (name != "eig" && o.positional.size() > wanted)) {
    BadInput(std::string(o.positional.size() < wanted ? "missing arguments" : "too many arguments") +
             "; usage: orvane " + command.synopsis + " --distributed");
  }
  const GridLayout layout = LayoutFrom(o);
  if (name == "solve") {
    RunSolve(o, layout);
  } else if (name == "eig") {
    RunEig(o, layout);
  } else {
    RunSvd(o, layout);
  }
}

}  // namespace

int RunDistributed(const Command& command, const std::vector<std::string>& args) {
  const MpiSession mpi;
  // Every rank parses the same words and sees the same collective results,
  // so every rank fails alike; rank 0 alone prints.
  const auto [status, message] = Caught([&] {
    Run(command, args);
    std::cout.flush();
    if (OnRoot() && !std::cout) BadInput("cannot write to standard output");
  });
  if (status != 0 && OnRoot()) std::cerr << "orvane " << command.name << ": " << message << '\n';
  return status;
}

}  // namespace orvane

#endif
