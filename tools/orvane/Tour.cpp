// The tour that `orvane` without arguments prints: each capability of the
// library on small built-in data, with the command that does the same on files.
#include <OrvaneNet/Bessel.h>
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/OrvaneNet.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

#include <unistd.h>

#include "Commands.h"

namespace orvane {
namespace {

using namespace OrvaneNet;

// The library ends rows with CR LF; on the terminal each row is indented.
std::string Indented(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += "    " + line + '\n';
  }
  return out;
}

void Heading(const char* title, const char* command) {
  std::cout << '\n' << title << "\n  $ orvane " << command << '\n';
}

Matrix Dense(int rows, int cols, std::initializer_list<double> rowMajor) {
  Matrix m(rows, cols);
  auto it = rowMajor.begin();
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) m(i, j) = *it++;
  }
  return m;
}

void TourSolve() {
  Heading("Linear equations: a dense general 3 x 3 system", "solve A.txt b.txt");
  Matrix a = Dense(3, 3, {4, -2, 1, -2, 4, -2, 1, -2, 4});
  Matrix b = Dense(3, 1, {11, -16, 17});
  std::cout << "  A =\n" << Indented(a.ToString()) << "  b =\n" << Indented(b.ToString());
  LinearEquation::Solve(a, b);
  std::cout << "  x =\n" << Indented(b.ToString());

  Heading("The same kinds of system in structured storage", "solve A.txt b.txt --kind tridiagonal");
  Matrix t(4, 4, 3);  // a band width of 3: general tridiagonal
  Matrix sb(4, 4, MatrixType::DoubleSymmetricBand, 1, 1);
  for (int i = 0; i < 4; ++i) {
    t(i, i) = 2.0;
    sb(i, i) = 2.0;
    if (i + 1 < 4) {
      t(i, i + 1) = -1.0;
      t(i + 1, i) = -1.0;
      sb(i, i + 1) = -1.0;
    }
  }
  Matrix rhs = Dense(4, 1, {1, 0, 0, 1});
  Matrix rhs2 = rhs.Clone();
  LinearEquation::Solve(t, rhs);
  LinearEquation::Solve(sb, rhs2);
  std::cout << "  tridiagonal (2 on the diagonal, -1 beside it), b = (1, 0, 0, 1), x^T =\n"
            << Indented(Dense(1, 4, {rhs(0, 0), rhs(1, 0), rhs(2, 0), rhs(3, 0)}).ToString(4))
            << "  the same as a symmetric positive definite band (--kind symmetric-band --kl 1):\n"
            << Indented(Dense(1, 4, {rhs2(0, 0), rhs2(1, 0), rhs2(2, 0), rhs2(3, 0)}).ToString(4));

  Heading("A complex Hermitian system", "solve A.txt b.txt --kind hermitian");
  ComplexMatrix h(2, 2, MatrixType::ComplexHermitian);
  h(0, 0) = Complex(2, 0);
  h(0, 1) = Complex(0, 1);  // (1, 0) is its conjugate, -i
  h(1, 1) = Complex(3, 0);
  ComplexMatrix hb(2, 1);
  hb(0, 0) = Complex(1, 1);
  hb(1, 0) = Complex(2, 0);
  std::cout << "  A =\n" << Indented(h.ToString(1));
  LinearEquation::Solve(h, hb);
  std::cout << "  x =\n" << Indented(hb.ToString());
}

void TourInverseEigenSvd() {
  Heading("Inverse", "inv A.txt");
  Matrix a = Dense(2, 2, {4, 7, 2, 6});
  std::cout << "  A =\n" << Indented(a.ToString(1)) << "  A^-1 =\n" << Indented(a.Inv().ToString());

  Heading("Symmetric eigenproblem", "eig A.txt --vectors");
  Matrix s(2, 2, MatrixType::DoubleSymmetric);
  s(0, 0) = 2;
  s(0, 1) = 1;
  s(1, 1) = 2;
  std::vector<double> values;
  Matrix vectors;
  Eigenproblem::Solve(s, values, vectors);
  std::cout << "  A = [2,1] [1,2]: eigenvalues " << values[0] << " and " << values[1] << "\n  eigenvectors =\n"
            << Indented(vectors.ToString());

  Heading("General eigenproblem", "eig A.txt --general --vectors");
  Matrix r = Dense(2, 2, {0, -1, 1, 0});
  ComplexMatrix rotationValues;
  GeneralEigenproblem::Solve(r, rotationValues);
  std::cout << "  A = [0,-1] [1,0], a quarter turn: eigenvalues " << rotationValues.get_Item(0, 0).ToString(1)
            << " and " << rotationValues.get_Item(1, 0).ToString(1) << '\n';

  Heading("Singular value decomposition", "svd A.txt");
  Matrix d = Dense(3, 2, {3, 0, 0, -4, 0, 0});
  Matrix sigma, u, vt;
  SingularValueDecomposition::Decompose(d, sigma, u, vt);
  std::cout << "  A = [3,0] [0,-4] [0,0]: singular values " << sigma(0, 0) << " and " << sigma(1, 1) << '\n';
}

void TourFitting() {
  Heading("Least squares: the line through four points", "lstsq A.txt b.txt");
  Matrix a = Dense(4, 2, {1, 0, 1, 1, 1, 2, 1, 3});
  Matrix b = Dense(4, 1, {1.1, 2.9, 5.2, 6.8});
  LeastSquare::Solve(a, b);
  std::cout << "  y = c0 + c1 x through (0, 1.1) (1, 2.9) (2, 5.2) (3, 6.8): c0 = " << b(0, 0)
            << ", c1 = " << b(1, 0) << '\n';

  Heading("Polynomial fit", "fit x.txt y.txt --degree 2 --at 4");
  const std::vector<double> x{0, 1, 2, 3}, y{1, 2, 5, 10};
  const Polynomial p = PolynomialFitting::Fit(x, y, 2);
  const std::vector<double> c = p.get_Coeffcients();
  std::cout << "  through (0, 1) (1, 2) (2, 5) (3, 10): p(x) = " << std::round(c[0] * 1e9) / 1e9 << " + "
            << std::round(c[1] * 1e9) / 1e9 << " x + " << std::round(c[2] * 1e9) / 1e9 << " x^2, p(4) = "
            << std::round(p.Value(4) * 1e9) / 1e9 << '\n';
}

void TourTransforms() {
  Heading("Fast Fourier transform", "fft data.txt");
  const std::vector<Complex> data{Complex(1, 0), Complex(2, 0), Complex(3, 0)};
  const std::vector<Complex> forward = FFT::Forward(data);
  std::cout << "  Forward(1, 2, 3), filled up to 4 points:";
  for (const Complex& v : forward) std::cout << ' ' << v.ToString(1);
  std::cout << "\n  Backward of that:";
  for (const Complex& v : FFT::Backward(forward)) std::cout << ' ' << v.ToString(1);
  std::cout << '\n';

  Heading("Exact-length discrete Fourier transform", "fft data.txt --exact");
  std::cout << "  Forward(1, 2, 3), 3 points:";
  for (const Complex& v : DFT::Forward(data)) std::cout << ' ' << v.ToString(3);
  std::cout << '\n';

  Heading("Bessel functions", "bessel j 0 2.404825557695773");
  std::cout << "  J0(2.404825557695773) = " << Bessel::J(0, 2.404825557695773)
            << " (the first zero), Y0(1) = " << Bessel::Y(0, 1.0) << '\n';
}

void TourTextFormat() {
  Heading("The matrix text format", "inv A.txt --digits 0 --format 'separator=; '");
  Matrix m = Dense(2, 3, {1, 2.5, -3, 0.125, 1e20, 0});
  std::cout << "  default (4 decimals):\n" << Indented(m.ToString());
  MatrixFormatter f;
  f.set_NumberOfDigit(0);
  f.set_ElementSeparatedBy("; ");
  f.set_LineBeginsWith("| ");
  f.set_LineEndsWith(" |");
  std::cout << "  --digits 0 --format 'separator=; ' --format 'line-begin=| ' --format 'line-end= |':\n"
            << Indented(m.ToString(f));
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("orvane-tour-" + std::to_string(::getpid()) + ".txt");
  Matrix::Save(m, f, file.string());
  const Matrix back = Matrix::Load(file.string(), f);
  std::filesystem::remove(file);
  std::cout << "  saved and loaded again: " << back.get_RowNum() << " x " << back.get_ColNum()
            << ", element (1, 1) = " << back(1, 1) << '\n';
}

}  // namespace

void RunTour() {
  std::cout << "OrvaneNet: a tour of the library on built-in data.\n"
               "Each step names the orvane command that does the same on matrix text files;\n"
               "orvane --help lists them all.\n";
  TourSolve();
  TourInverseEigenSvd();
  TourFitting();
  TourTransforms();
  TourTextFormat();
  std::cout << "\nErrors are exceptions: OrvaneException for what the library detects, e.g.\n";
  try {
    Matrix a(2, 3), b(2, 1);
    LinearEquation::Solve(a, b);
  } catch (const OrvaneException& e) {
    std::cout << "  solving with a 2 x 3 matrix: \"" << e.what() << "\"\n";
  }
}

}  // namespace orvane
