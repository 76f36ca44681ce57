#include "Commands.h"

#include <OrvaneNet/Bessel.h>
#include <OrvaneNet/DFT.h>
#include <OrvaneNet/Eigenproblem.h>
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/GeneralEigenproblem.h>
#include <OrvaneNet/LeastSquare.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/OrvaneException.h>
#include <OrvaneNet/PolynomialFitting.h>
#include <OrvaneNet/SingularValueDecomposition.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <limits>

#include "Distributed.h"
#include "Kinds.h"
#include "MatrixIo.h"

namespace orvane {
namespace {

using OrvaneNet::OrvaneException;

void RequireArgs(const Options& o, std::size_t min, std::size_t max, const char* usage) {
  if (o.positional.size() < min || o.positional.size() > max) {
    BadInput(std::string(o.positional.size() < min ? "missing arguments" : "too many arguments") +
             "; usage: orvane " + usage);
  }
}

template <class Mat>
void RequireSquare(const Mat& m, const std::string& path) {
  if (m.get_RowNum() != m.get_ColNum()) {
    BadInput(path + ": wrong shape: " + ShapeText(m) + ", a square matrix is needed");
  }
}

template <class Mat>
void RequireRows(const Mat& m, int rows, const std::string& path, const std::string& other) {
  if (m.get_RowNum() != rows) {
    BadInput(path + ": wrong shape: " + ShapeText(m) + ", " + std::to_string(rows) + " rows are needed to match " +
             other);
  }
}

// One result of a command with several: printed under its title, or saved
// as PREFIX-name.txt with --output PREFIX.
template <class Mat>
void EmitSection(const char* title, const char* name, const Mat& m, const Options& o, const MatrixFormatter& f) {
  if (const auto prefix = o.Value("--output")) {
    SaveMatrix(m, f, *prefix + "-" + name + ".txt");
  } else {
    std::cout << title << ":\n" << m.ToString(f);
  }
}

Matrix ColumnOf(const std::vector<double>& values) {
  Matrix m(static_cast<int>(values.size()), 1);
  for (std::size_t i = 0; i < values.size(); ++i) m(static_cast<int>(i), 0) = values[i];
  return m;
}

// ---- solve ----

// The general kinds do not report a singular matrix, and a consistent
// singular system may even solve to finite numbers (the reference BLAS skips
// 0/0). A factorized matrix reads as its factors, and U's diagonal sits on
// the diagonal for the dense, band and tridiagonal storage alike; LAPACK
// calls the matrix singular when one of those is exactly zero.
template <class Mat>
void RequireRegularFactor(const Mat& factorized, const KindSpec& kind, const std::string& path) {
  if (IsSymmetricFamily(kind.structure)) return;  // these raise by themselves
  for (int i = 0; i < factorized.get_RowNum(); ++i) {
    if (factorized.get_Item(i, i) == ElementOf<Mat>{}) {
      NumericalFailure(path + ": singular matrix (element (" + std::to_string(i) + ", " + std::to_string(i) +
                       ") of the LU factor U is zero)");
    }
  }
}

// Why the kind could not factorize A: a positive definite kind met a matrix
// that is not, any other kind an exactly singular one.
[[noreturn]] void FactorizationFailure(const std::string& path, const KindSpec& kind, const OrvaneException& e) {
  if (NeedsPositiveDefinite(kind.structure)) {
    NumericalFailure(path + ": not positive definite; the " + Describe(kind) +
                     " kind needs a positive definite matrix (--kind symmetric also takes indefinite ones)");
  }
  NumericalFailure(path + ": singular matrix (" + e.what() + ")");
}

// A result computed from a matrix this close to singular may have no correct
// digit: one line on standard error (after the result, which stays as it is),
// unless --quiet.
void WarnIfSingularToWorkingPrecision(double rcond, const std::string& path, const char* command,
                                      const Options& o) {
  if (o.Has("--quiet") || !(rcond < std::numeric_limits<double>::epsilon())) return;
  char digits[32];
  const auto r = std::to_chars(digits, digits + sizeof digits, rcond, std::chars_format::scientific, 1);
  std::cerr << "orvane " << command << ": warning: " << path
            << " is singular to working precision (reciprocal condition " << std::string(digits, r.ptr)
            << "); the result may be meaningless\n";
}

template <class Mat>
void SolveWith(const Options& o, const KindSpec& kind) {
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  const std::string& pb = o.positional[1];
  const Mat a = LoadMatrix<Mat>(pa, f);
  RequireSquare(a, pa);
  Mat b = LoadMatrix<Mat>(pb, f);
  RequireRows(b, a.get_RowNum(), pb, pa);
  Mat ak = IntoKind(a, kind, pa);
  double rcond = 1;
  try {
    // Factorizing first lets every kind solve, the Hermitian tridiagonal one included.
    OrvaneNet::LinearEquation::Factorize(ak);
    RequireRegularFactor(ak, kind, pa);
    rcond = OrvaneNet::LinearEquation::ReciprocalCondition(ak);  // from the factors just made
    OrvaneNet::LinearEquation::Solve(ak, b);
  } catch (const OrvaneException& e) {
    FactorizationFailure(pa, kind, e);
  }
  if (!AllFinite(b)) NumericalFailure(pa + ": singular matrix (the solution is not finite)");
  Emit(b, o, f);
  WarnIfSingularToWorkingPrecision(rcond, pa, "solve", o);
}

void RunSolve(const Options& o) {
  RequireArgs(o, 2, 2, "solve A B [--kind K] [--kl N --ku N] [--complex]");
  const KindSpec kind = ParseKind(o);
  kind.complex ? SolveWith<ComplexMatrix>(o, kind) : SolveWith<Matrix>(o, kind);
}

// ---- inv ----

template <class Mat>
void InvWith(const Options& o, const KindSpec& kind) {
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  const Mat a = LoadMatrix<Mat>(pa, f);
  RequireSquare(a, pa);
  Mat ak = IntoKind(a, kind, pa);
  double rcond = 1;
  try {
    // Inv() would factorize too; first, so that the estimate uses the factors.
    OrvaneNet::LinearEquation::Factorize(ak);
    rcond = OrvaneNet::LinearEquation::ReciprocalCondition(ak);
    ak.Inv();
  } catch (const OrvaneException& e) {
    NumericalFailure(pa + ": singular matrix (" + e.what() + ")");
  }
  if (!AllFinite(ak)) NumericalFailure(pa + ": singular matrix (the inverse is not finite)");
  Emit(ak, o, f);
  WarnIfSingularToWorkingPrecision(rcond, pa, "inv", o);
}

void RunInv(const Options& o) {
  RequireArgs(o, 1, 1, "inv A [--kind general|symmetric] [--complex]");
  const KindSpec kind = ParseKind(o);
  if (kind.structure != Structure::General && kind.structure != Structure::Symmetric) {
    BadInput("the library inverts only the general and symmetric (Hermitian) kinds, not " + Describe(kind));
  }
  kind.complex ? InvWith<ComplexMatrix>(o, kind) : InvWith<Matrix>(o, kind);
}

// ---- cond and det ----

// A square A loaded into the chosen kind. The figures span many orders of
// magnitude: without --digits they print in the general form (3.2E-18).
template <class Mat>
Mat LoadSquareIntoKind(const Options& o, const KindSpec& kind, MatrixFormatter& f) {
  if (!o.Has("--digits")) f.set_NumberOfDigit(0);
  const std::string& pa = o.positional[0];
  const Mat a = LoadMatrix<Mat>(pa, f);
  RequireSquare(a, pa);
  return IntoKind(a, kind, pa);
}

template <class Mat>
void CondWith(const Options& o, const KindSpec& kind) {
  MatrixFormatter f = FormatterFrom(o);
  Mat ak = LoadSquareIntoKind<Mat>(o, kind, f);
  Matrix out(1, 1);
  try {
    out(0, 0) = OrvaneNet::LinearEquation::ReciprocalCondition(ak);
  } catch (const OrvaneException& e) {
    FactorizationFailure(o.positional[0], kind, e);
  }
  Emit(out, o, f);
}

void RunCond(const Options& o) {
  RequireArgs(o, 1, 1, "cond A [--kind K] [--kl N --ku N] [--complex]");
  const KindSpec kind = ParseKind(o);
  kind.complex ? CondWith<ComplexMatrix>(o, kind) : CondWith<Matrix>(o, kind);
}

template <class Mat>
void DetWith(const Options& o, const KindSpec& kind) {
  constexpr bool complex = std::is_same_v<Mat, ComplexMatrix>;
  MatrixFormatter f = FormatterFrom(o);
  Mat ak = LoadSquareIntoKind<Mat>(o, kind, f);
  Matrix logAbs(1, 1);
  Mat value(1, 1);
  try {
    if (o.Has("--log")) {
      ElementOf<Mat> phase{};
      logAbs(0, 0) = OrvaneNet::LinearEquation::LogDeterminant(ak, phase);
      value(0, 0) = phase;
    } else {
      value(0, 0) = OrvaneNet::LinearEquation::Determinant(ak);
    }
  } catch (const OrvaneException& e) {
    FactorizationFailure(o.positional[0], kind, e);
  }
  if (!o.Has("--log")) return Emit(value, o, f);
  EmitSection("log |det A|", "log", logAbs, o, f);
  EmitSection(complex ? "phase (det A = phase * exp(log |det A|))" : "sign (det A = sign * exp(log |det A|))",
              complex ? "phase" : "sign", value, o, f);
}

void RunDet(const Options& o) {
  RequireArgs(o, 1, 1, "det A [--kind K] [--kl N --ku N] [--complex] [--log]");
  const KindSpec kind = ParseKind(o);
  kind.complex ? DetWith<ComplexMatrix>(o, kind) : DetWith<Matrix>(o, kind);
}

// ---- eig ----

template <class Mat>
void EigWith(const Options& o) {
  const MatrixFormatter f = FormatterFrom(o);
  const bool complex = std::is_same_v<Mat, ComplexMatrix>;
  const KindSpec kind{Structure::Symmetric, complex};
  const std::string& pa = o.positional[0];
  const Mat a = LoadMatrix<Mat>(pa, f);
  RequireSquare(a, pa);
  const int n = a.get_RowNum();
  Mat ak = IntoKind(a, kind, pa);
  const bool withVectors = o.Has("--vectors");
  std::vector<double> values;
  Mat vectors;
  try {
    if (o.positional.size() == 2) {
      const std::string& pb = o.positional[1];
      const Mat b = LoadMatrix<Mat>(pb, f);
      RequireSquare(b, pb);
      RequireRows(b, n, pb, pa);
      Mat bk = IntoKind(b, kind, pb);
      // LAPACK reports an indefinite B like a convergence failure; a Cholesky
      // factorization of a full-width band copy tells the two apart.
      Mat probe = IntoKind(b, KindSpec{Structure::SymmetricBand, complex, n - 1, n - 1}, pb);
      try {
        OrvaneNet::LinearEquation::Factorize(probe);
      } catch (const OrvaneException&) {
        NumericalFailure(pb + ": not positive definite; the generalized problem needs a positive definite B");
      }
      withVectors ? OrvaneNet::Eigenproblem::Solve(ak, bk, values, vectors)
                  : OrvaneNet::Eigenproblem::Solve(ak, bk, values);
    } else {
      withVectors ? OrvaneNet::Eigenproblem::Solve(ak, values, vectors) : OrvaneNet::Eigenproblem::Solve(ak, values);
    }
  } catch (const OrvaneException& e) {
    NumericalFailure(pa + ": the eigenvalue computation failed (" + e.what() + ")");
  }
  EmitSection("eigenvalues (ascending)", "values", ColumnOf(values), o, f);
  if (withVectors) EmitSection("eigenvectors (column j belongs to eigenvalue j)", "vectors", vectors, o, f);
}

// Any square A: complex eigenvalues, right eigenvectors.
template <class Mat>
void GeneralEigWith(const Options& o) {
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  Mat a = LoadMatrix<Mat>(pa, f);
  RequireSquare(a, pa);
  const bool withVectors = o.Has("--vectors");
  ComplexMatrix values, vectors;
  try {
    withVectors ? OrvaneNet::GeneralEigenproblem::Solve(a, values, vectors)
                : OrvaneNet::GeneralEigenproblem::Solve(a, values);
  } catch (const OrvaneException& e) {
    NumericalFailure(pa + ": the eigenvalue computation failed (" + e.what() + ")");
  }
  EmitSection("eigenvalues (LAPACK's order, conjugate pairs together)", "values", values, o, f);
  if (withVectors) {
    EmitSection("eigenvectors (column j belongs to eigenvalue j, unit norm)", "vectors", vectors, o, f);
  }
}

void RunEig(const Options& o) {
  if (o.Has("--general")) {
    RequireArgs(o, 1, 1, "eig A --general [--vectors] [--complex]");
    return o.Has("--complex") ? GeneralEigWith<ComplexMatrix>(o) : GeneralEigWith<Matrix>(o);
  }
  RequireArgs(o, 1, 2, "eig A [B] [--vectors] [--complex]");
  o.Has("--complex") ? EigWith<ComplexMatrix>(o) : EigWith<Matrix>(o);
}

// ---- svd ----

template <class Mat>
void SvdWith(const Options& o) {
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  Mat a = LoadMatrix<Mat>(pa, f);
  Mat s, u, vt;
  try {
    OrvaneNet::SingularValueDecomposition::Decompose(a, s, u, vt);
  } catch (const OrvaneException& e) {
    NumericalFailure(pa + ": the singular value decomposition failed (" + e.what() + ")");
  }
  const int k = std::min(s.get_RowNum(), s.get_ColNum());
  Matrix sigma(k, 1);
  for (int i = 0; i < k; ++i) {
    if constexpr (std::is_same_v<Mat, Matrix>) {
      sigma(i, 0) = s.get_Item(i, i);
    } else {
      sigma(i, 0) = s.get_Item(i, i).get_Real();
    }
  }
  EmitSection("singular values (descending)", "sigma", sigma, o, f);
  EmitSection("U (left singular vectors in columns)", "U", u, o, f);
  EmitSection("VT (right singular vectors in rows)", "VT", vt, o, f);
}

void RunSvd(const Options& o) {
  RequireArgs(o, 1, 1, "svd A [--complex]");
  o.Has("--complex") ? SvdWith<ComplexMatrix>(o) : SvdWith<Matrix>(o);
}

// ---- lstsq ----

void RunLstsq(const Options& o) {
  RequireArgs(o, 2, 2, "lstsq A B");
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& pa = o.positional[0];
  const std::string& pb = o.positional[1];
  Matrix a = LoadMatrix<Matrix>(pa, f);
  const Matrix b = LoadMatrix<Matrix>(pb, f);
  RequireRows(b, a.get_RowNum(), pb, pa);
  const int m = a.get_RowNum(), n = a.get_ColNum(), nrhs = b.get_ColNum();
  // The solver wants max(m, n) rows: the right-hand sides on top.
  Matrix work(std::max(m, n), nrhs);
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < nrhs; ++j) work(i, j) = b(i, j);
  }
  try {
    OrvaneNet::LeastSquare::Solve(a, work);
  } catch (const OrvaneException& e) {
    NumericalFailure(pa + ": rank-deficient matrix (" + e.what() + ")");
  }
  Matrix x(n, nrhs);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < nrhs; ++j) x(i, j) = work(i, j);
  }
  if (!AllFinite(x)) NumericalFailure(pa + ": the least-squares solution is not finite");
  Emit(x, o, f);
}

// ---- fit ----

void RunFit(const Options& o) {
  RequireArgs(o, 2, 2, "fit X Y --degree D [--at LIST]");
  const MatrixFormatter f = FormatterFrom(o);
  const auto degreeText = o.Value("--degree");
  if (!degreeText) BadInput("--degree D is required");
  const int degree = ParseInt(*degreeText, "--degree");
  if (degree < 0) BadInput("--degree must not be negative");
  std::vector<double> at;
  for (const std::string& list : o.Values("--at")) {
    for (double v : ParseDoubleList(list, "--at value")) at.push_back(v);
  }
  const std::string& px = o.positional[0];
  const std::string& py = o.positional[1];
  const std::vector<double> x = VectorOf(LoadMatrix<Matrix>(px, f), px);
  const std::vector<double> y = VectorOf(LoadMatrix<Matrix>(py, f), py);
  if (y.size() != x.size()) {
    BadInput(py + ": " + std::to_string(y.size()) + " values, but " + px + " holds " + std::to_string(x.size()));
  }
  if (x.size() <= static_cast<std::size_t>(degree)) {
    BadInput(px + ": " + std::to_string(x.size()) + " points cannot determine a polynomial of degree " +
             std::to_string(degree));
  }
  std::vector<double> coefficients;
  std::vector<double> values;
  try {
    const OrvaneNet::Polynomial p = OrvaneNet::PolynomialFitting::Fit(x, y, degree);
    coefficients = p.get_Coeffcients();
    for (double v : at) values.push_back(p.Value(v));
  } catch (const OrvaneException& e) {
    NumericalFailure(px + ": these abscissas cannot determine a polynomial of degree " + std::to_string(degree) +
                     " (" + e.what() + ")");
  }
  Matrix c(1, static_cast<int>(coefficients.size()));
  for (std::size_t k = 0; k < coefficients.size(); ++k) c(0, static_cast<int>(k)) = coefficients[k];
  if (!AllFinite(c)) NumericalFailure(px + ": the fitted coefficients are not finite");
  EmitSection("coefficients (c0 + c1 x + c2 x^2 + ...)", "coefficients", c, o, f);
  if (!at.empty()) {
    Matrix table(static_cast<int>(at.size()), 2);
    for (std::size_t k = 0; k < at.size(); ++k) {
      table(static_cast<int>(k), 0) = at[k];
      table(static_cast<int>(k), 1) = values[k];
    }
    EmitSection("values (x, p(x))", "values", table, o, f);
  }
}

// ---- fft ----

void RunFft(const Options& o) {
  RequireArgs(o, 1, 1, "fft FILE [--inverse] [--exact]");
  const MatrixFormatter f = FormatterFrom(o);
  const std::string& path = o.positional[0];
  std::vector<Complex> data;
  bool row = false;
  if (std::ifstream(path) && !HoldsComplexElements(path, f)) {
    const Matrix m = LoadMatrix<Matrix>(path, f);
    for (double v : VectorOf(m, path)) data.emplace_back(v, 0.0);
    row = m.get_RowNum() == 1 && m.get_ColNum() > 1;
  } else {
    const ComplexMatrix m = LoadMatrix<ComplexMatrix>(path, f);
    data = VectorOf(m, path);
    row = m.get_RowNum() == 1 && m.get_ColNum() > 1;
  }
  std::vector<Complex> result;
  try {
    const bool inverse = o.Has("--inverse");
    if (o.Has("--exact")) {
      result = inverse ? OrvaneNet::DFT::Backward(data) : OrvaneNet::DFT::Forward(data);
    } else {
      result = inverse ? OrvaneNet::FFT::Backward(data) : OrvaneNet::FFT::Forward(data);
    }
  } catch (const OrvaneException& e) {
    BadInput(path + ": " + e.what());
  }
  const int n = static_cast<int>(result.size());
  ComplexMatrix out(row ? 1 : n, row ? n : 1);
  for (int k = 0; k < n; ++k) out(row ? 0 : k, row ? k : 0) = result[static_cast<std::size_t>(k)];
  Emit(out, o, f);
}

// ---- bessel ----

void RunBessel(const Options& o) {
  RequireArgs(o, 3, static_cast<std::size_t>(-1), "bessel j|y ORDER X...");
  const std::string& which = o.positional[0];
  if (which != "j" && which != "y") BadInput("the first argument is j or y, not '" + which + "'");
  const int order = ParseInt(o.positional[1], "ORDER");
  const std::size_t count = o.positional.size() - 2;
  Matrix table(static_cast<int>(count), 2);
  for (std::size_t k = 0; k < count; ++k) {
    const double x = ParseDouble(o.positional[k + 2], "X");
    table(static_cast<int>(k), 0) = x;
    table(static_cast<int>(k), 1) = which == "j" ? OrvaneNet::Bessel::J(order, x) : OrvaneNet::Bessel::Y(order, x);
  }
  Emit(table, o, FormatterFrom(o));
}

// ---- the table ----

constexpr OptionSpec kKindOptions[] = {{"--kind", true}, {"--kl", true}, {"--ku", true}, {"--complex", false}};
constexpr OptionSpec kWarningKindOptions[] = {
    {"--kind", true}, {"--kl", true}, {"--ku", true}, {"--complex", false}, {"--quiet", false}};
constexpr OptionSpec kDetOptions[] = {
    {"--kind", true}, {"--kl", true}, {"--ku", true}, {"--complex", false}, {"--log", false}};
constexpr OptionSpec kEigOptions[] = {{"--vectors", false}, {"--complex", false}, {"--general", false}};
constexpr OptionSpec kComplexOnly[] = {{"--complex", false}};
constexpr OptionSpec kFitOptions[] = {{"--degree", true}, {"--at", true}};
constexpr OptionSpec kFftOptions[] = {{"--inverse", false}, {"--exact", false}};

constexpr Command kCommands[] = {
    {"solve", "solve A B [--kind K] [--kl N --ku N] [--complex] [--quiet]",
     "solve A X = B; A copied into the chosen matrix kind",
     "  --kind K      the kind A is loaded into: general (default), band, tridiagonal,\n"
     "                symmetric, symmetric-band, symmetric-tridiagonal; with --complex\n"
     "                these are the complex twins (hermitian, hermitian-band and\n"
     "                hermitian-tridiagonal name the Hermitian ones and imply --complex)\n"
     "  --kl N        subdiagonals of the band kind; for symmetric-band the\n"
     "                off-diagonals on each side\n"
     "  --ku N        superdiagonals of the band kind\n"
     "  --complex     A and B hold complex elements such as (1,-2)\n"
     "  --quiet       no warning when A is singular to working precision\n"
     "  -o FILE       save X to FILE instead of printing it\n"
     "A nonzero outside the kind's pattern, or an asymmetric A for a symmetric kind\n"
     "(pairs may differ by 100 eps max|a|; the upper triangle is kept), is bad input.\n"
     "B holds one right-hand side per column. The symmetric-band and\n"
     "symmetric-tridiagonal kinds need A positive definite. An exactly singular A is a\n"
     "numerical failure; when A's reciprocal condition estimate (see orvane cond) is\n"
     "below machine epsilon, X is printed and one warning line goes to standard error.\n",
     kWarningKindOptions, RunSolve},
    {"inv", "inv A [--kind general|symmetric] [--complex] [--quiet]", "the inverse of A",
     "  --kind K      general (default) or symmetric (hermitian with --complex);\n"
     "                the library inverts no band or tridiagonal kind\n"
     "  --complex     A holds complex elements\n"
     "  --quiet       no warning when A is singular to working precision\n"
     "  -o FILE       save the inverse to FILE instead of printing it\n"
     "As with solve, a nearly singular A gives one warning line on standard error.\n",
     kWarningKindOptions, RunInv},
    {"cond", "cond A [--kind K] [--kl N --ku N] [--complex]",
     "reciprocal 1-norm condition estimate of A, from its factors",
     "  --kind K      the kind A is loaded into, as for solve (--kl, --ku, --complex too)\n"
     "  -o FILE       save the estimate to FILE instead of printing it\n"
     "Prints 1 / (|A|_1 |inv(A)|_1) as a 1 x 1 matrix, LAPACK's estimate for the kind:\n"
     "0 for an exactly singular A, about 1e-16 or less where solutions lose every\n"
     "digit. Without --digits the number prints in the general form (3.2E-18).\n",
     kKindOptions, RunCond},
    {"det", "det A [--kind K] [--kl N --ku N] [--complex] [--log]", "determinant of A, from its factors",
     "  --kind K      the kind A is loaded into, as for solve (--kl, --ku, --complex too)\n"
     "  --log         print log |det A| and the sign (the phase with --complex) instead:\n"
     "                finite where det A itself overflows or underflows\n"
     "  -o FILE       save det A to FILE; with --log, -o PREFIX saves PREFIX-log.txt and\n"
     "                PREFIX-sign.txt (PREFIX-phase.txt) instead of printing\n"
     "Without --digits the numbers print in the general form (1.5E+300). An exactly\n"
     "singular A has determinant 0 (log -Infinity, sign 0).\n",
     kDetOptions, RunDet},
    {"eig", "eig A [B] [--vectors] [--complex] [--general]",
     "eigenvalues (and vectors) of symmetric A, or of A x = l B x, or of any square A",
     "  --vectors     print the eigenvectors too, one per column\n"
     "  --complex     A (and B) are complex Hermitian matrices; the values stay real\n"
     "  --general     A is any square matrix (no B): complex eigenvalues in LAPACK's\n"
     "                order, conjugate pairs together; --vectors gives the right\n"
     "                eigenvectors (unit norm, largest component real); with --complex\n"
     "                A is any complex square matrix\n"
     "  -o PREFIX     save PREFIX-values.txt (and PREFIX-vectors.txt) instead of printing\n"
     "Without --general A (and B) must be symmetric (Hermitian) to within rounding:\n"
     "a pair may differ by 100 eps max|a|, and the upper triangle is used. B must be\n"
     "positive definite.\n",
     kEigOptions, RunEig},
    {"svd", "svd A [--complex]", "singular values and vectors of a general m x n A",
     "  --complex     A holds complex elements\n"
     "  -o PREFIX     save PREFIX-sigma.txt, PREFIX-U.txt and PREFIX-VT.txt instead of printing\n",
     kComplexOnly, RunSvd},
    {"lstsq", "lstsq A B", "least-squares (or minimum-norm) solution of A X = B",
     "  -o FILE       save X to FILE instead of printing it\n"
     "A is m x n with full rank, B is m x k; X is n x k. Real matrices only.\n",
     {}, RunLstsq},
    {"fit", "fit X Y --degree D [--at LIST]", "least-squares polynomial through the points (x, y)",
     "  --degree D    the polynomial's degree (required, 0 or more)\n"
     "  --at LIST     comma-separated abscissas where the fit is evaluated; repeatable\n"
     "  -o PREFIX     save PREFIX-coefficients.txt (and PREFIX-values.txt) instead of printing\n"
     "X and Y hold one row or one column of numbers each, of equal length, at least\n"
     "D + 1. The coefficients are printed constant first, in plain powers of x.\n",
     kFitOptions, RunFit},
    {"fft", "fft FILE [--inverse] [--exact]", "discrete Fourier transform of a vector",
     "  --inverse     the backward transform, divided by the length\n"
     "  --exact       the transform of exactly N points, N the length of FILE (DFT)\n"
     "  -o FILE       save the transform to FILE instead of printing it\n"
     "FILE holds one row or one column, of complex elements such as (1,-2) or of real\n"
     "numbers; without --exact it is filled up with zeros to the next power of two\n"
     "(FFT). The result keeps the orientation. The forward transform uses the\n"
     "exponent +2 pi i jk/N (N times numpy.fft.ifft).\n",
     kFftOptions, RunFft},
    {"bessel", "bessel j|y ORDER X...", "Bessel functions J or Y of integer order",
     "  -o FILE       save the table to FILE instead of printing it\n"
     "Prints one row (x, J_ORDER(x)) or (x, Y_ORDER(x)) per X.\n",
     {}, RunBessel},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

const Command* FindCommand(const std::string& name) {
  for (const Command& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

namespace {
constexpr const char* kCommonHelp =
    "Options of every command:\n"
    "  --digits N            decimals printed (default 4); 0 prints the general form with up\n"
    "                        to 15 significant digits (0.1, 1E+20)\n"
    "  --digits exact        the shortest text that reads back to the very same number\n"
    "                        (0.1, 5e-324): files saved so load again bit for bit\n"
    "  --format KEY=VALUE    text format of files read and written; repeatable. Keys:\n"
    "                        line-begin ([), line-end (]), separator (,), complex-begin ((),\n"
    "                        complex-end ()), complex-separator (,)\n"
    "  -o, --output FILE     write the result with Matrix::Save instead of printing it\n"
    "  -h, --help            describe the command\n";
}

void PrintOverview(std::ostream& os) {
  os << "orvane: linear algebra on matrix text files, with the OrvaneNet library\n\n"
        "Usage: orvane                  a short tour on built-in data\n"
        "       orvane COMMAND ARGS...  one of the commands below\n"
        "       orvane COMMAND --help   the options of one command\n\n"
        "Commands:\n";
  for (const Command& c : kCommands) {
    std::string left = "  " + std::string(c.synopsis);
    os << left << "\n      " << c.summary << '\n';
  }
  os << '\n'
     << kCommonHelp
     << "\nFiles are in the library's matrix text format: one row per line, [1.5,-2] by\n"
        "default, complex elements as (re,im). Errors are one line on standard error;\n"
        "exit status 2 means bad usage or input, 1 a numerical failure.\n";
}

void PrintHelp(std::ostream& os, const Command& c) {
  os << "Usage: orvane " << c.synopsis << "\n\n" << c.summary << ".\n\n" << c.help << '\n' << kCommonHelp;
  PrintDistributedHelp(os, c);
}

}  // namespace orvane
