// The public handles: construction tables, checked access, Inv, Clone,
// products, row and column copies, disposal and moves.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/OrvaneException.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "TestUtil.h"

using namespace OrvaneNet;

namespace {

struct KindCase {
  const char* name;
  std::function<Matrix()> make;
  MatrixType type;
};

}  // namespace

TEST(MatrixConstruction, EachArgumentFormSelectsItsKind) {
  using MT = MatrixType;
  EXPECT_EQ(Matrix().get_RowNum(), 0);
  const std::pair<MT, MT> cases[] = {
      {Matrix().get_Type(), MT::DoubleGeneral},
      {Matrix(2, 3).get_Type(), MT::DoubleGeneral},
      {Matrix(3, 3, MT::DoubleGeneral).get_Type(), MT::DoubleGeneral},
      {Matrix(3, 3, MT::DoubleGeneralTridiagonal).get_Type(), MT::DoubleGeneralTridiagonal},
      {Matrix(3, 3, MT::DoubleSymmetric).get_Type(), MT::DoubleSymmetric},
      {Matrix(3, 3, MT::DoubleSymmetricTridiagonal).get_Type(), MT::DoubleSymmetricTridiagonal},
      {Matrix(3, 3, 3).get_Type(), MT::DoubleGeneralTridiagonal},
      {Matrix(5, 5, 5).get_Type(), MT::DoubleGeneralBand},
      {Matrix(4, 4, 1).get_Type(), MT::DoubleGeneralBand},
      {Matrix(4, 4, 1, 2).get_Type(), MT::DoubleGeneralBand},
      {Matrix(4, 4, MT::DoubleSymmetricBand, 1, 1).get_Type(), MT::DoubleSymmetricBand},
      {Matrix(4, 4, MT::DoubleGeneralBand, 2, 1).get_Type(), MT::DoubleGeneralBand},
      {ComplexMatrix().get_Type(), MT::ComplexGeneral},
      {ComplexMatrix(2, 3).get_Type(), MT::ComplexGeneral},
      {ComplexMatrix(3, 3, MT::ComplexHermitian).get_Type(), MT::ComplexHermitian},
      {ComplexMatrix(3, 3, MT::ComplexHermitianTridiagonal).get_Type(), MT::ComplexHermitianTridiagonal},
      {ComplexMatrix(3, 3, MT::ComplexGeneralTridiagonal).get_Type(), MT::ComplexGeneralTridiagonal},
      {ComplexMatrix(3, 3, 3).get_Type(), MT::ComplexGeneralTridiagonal},
      {ComplexMatrix(5, 5, 5).get_Type(), MT::ComplexGeneralBand},
      {ComplexMatrix(5, 5, 2, 1).get_Type(), MT::ComplexGeneralBand},
      {ComplexMatrix(3, 3, MT::ComplexHermitianBand, 1, 1).get_Type(), MT::ComplexHermitianBand},
      {ComplexMatrix(3, 3, MT::ComplexGeneralBand, 1, 1).get_Type(), MT::ComplexGeneralBand},
  };
  for (std::size_t k = 0; k < std::size(cases); ++k) EXPECT_EQ(cases[k].first, cases[k].second) << k;
}

TEST(MatrixConstruction, RefusedForms) {
  const char* notYet = "Not yet implemented.";
  const char* even = "Please specify both super and sub diagonals.";
  EXPECT_THROW_MSG(Matrix(3, 3, MatrixType::DoubleGeneralBand), OrvaneException, notYet);
  EXPECT_THROW_MSG(Matrix(3, 3, MatrixType::DoubleSymmetricBand), OrvaneException, notYet);
  EXPECT_THROW_MSG(Matrix(3, 3, MatrixType::ComplexGeneral), OrvaneException, notYet);
  EXPECT_THROW_MSG(Matrix(3, 3, MatrixType::DoubleGeneral, 1, 1), OrvaneException, notYet);
  EXPECT_THROW_MSG(Matrix(4, 4, 4), OrvaneException, even);
  EXPECT_THROW_MSG(Matrix(4, 4, 0), OrvaneException, even);
  EXPECT_THROW_MSG(Matrix(4, 4, -2), OrvaneException, even);
  EXPECT_THROW_MSG(Matrix(3, 4, MatrixType::DoubleSymmetric), OrvaneException,
                   "Number of rows and columns must be equal for symmetric matrix.");
  EXPECT_THROW(Matrix(4, 4, -1), OrvaneException);  // negative band counts
  EXPECT_THROW(Matrix(-1, 2), OrvaneException);
}

TEST(ComplexMatrixConstruction, RefusedForms) {
  const char* notYet = "Not yet implemented.";
  EXPECT_THROW_MSG(ComplexMatrix(3, 3, MatrixType::DoubleGeneral), OrvaneException, notYet);
  EXPECT_THROW_MSG(ComplexMatrix(3, 3, MatrixType::ComplexHermitianBand), OrvaneException, notYet);
  EXPECT_THROW_MSG(ComplexMatrix(3, 3, MatrixType::ComplexGeneralBand), OrvaneException, notYet);
  EXPECT_THROW_MSG(ComplexMatrix(3, 3, MatrixType::ComplexHermitian, 1, 1), OrvaneException, notYet);
  EXPECT_THROW_MSG(ComplexMatrix(4, 4, 2), OrvaneException,
                   "Please specify both super and sub diagonals.");
}

TEST(MatrixAccess, IndexerAndProxyCheckEveryIndex) {
  Matrix m(2, 3);
  m(0, 1) = 2.5;
  m.set_Item(1, 2, -1.0);
  const Matrix& cm = m;
  EXPECT_EQ(cm(0, 1), 2.5);
  double v = m(1, 2);
  EXPECT_EQ(v, -1.0);
  m(0, 0) = m(0, 1);
  EXPECT_EQ(m.get_Item(0, 0), 2.5);
  EXPECT_THROW_MSG(m(2, 0) = 1.0, OrvaneException, "(2, 0) is out of range.");
  EXPECT_THROW_MSG((void)cm(0, 3), OrvaneException, "(0, 3) is out of range.");
  EXPECT_THROW_MSG(m.get_Item(-1, 0), OrvaneException, "(-1, 0) is out of range.");

  ComplexMatrix c(1, 1);
  c(0, 0) = Complex(1, 2);
  Complex read = c(0, 0);
  read.set_Real(9);  // a copy: the matrix keeps its element
  EXPECT_EQ(c.get_Item(0, 0), Complex(1, 2));
}

TEST(MatrixAccess, DisposedAndMovedFromHandlesRaise) {
  const char* gone = "This matrix has been disposed or moved from and can no longer be used.";
  Matrix a(2, 2);
  a.Dispose();
  a.Dispose();
  EXPECT_THROW_MSG(a.get_Item(0, 0), OrvaneException, gone);
  EXPECT_THROW_MSG(a.get_RowNum(), OrvaneException, gone);
  EXPECT_THROW_MSG(a.Inv(), OrvaneException, gone);
  Matrix b(2, 2);
  b(1, 1) = 4.0;
  Matrix c(std::move(b));
  EXPECT_EQ(c(1, 1), 4.0);
  EXPECT_THROW_MSG(b.get_ColNum(), OrvaneException, gone);  // NOLINT(bugprone-use-after-move)
  Matrix d;
  d = std::move(c);
  EXPECT_EQ(d(1, 1), 4.0);
  EXPECT_THROW_MSG(Matrix::RowVector(c, 0), OrvaneException, gone);  // NOLINT
  ComplexMatrix z(1, 1);
  z.Dispose();
  EXPECT_THROW_MSG(z.ToString(), OrvaneException, gone);
}

TEST(MatrixInv, DenseInvertsInPlaceAndReturnsTheSameHandle) {
  auto a = orvane_test::FromRows<Matrix>({{4, 7}, {2, 6}});
  Matrix& b = a.Inv();
  EXPECT_EQ(&b, &a);
  EXPECT_TRUE(a.get_IsFactorized());
  orvane_test::ExpectEntriesNear(a, {{0.6, -0.7}, {-0.2, 0.4}}, 1e-15);
}

TEST(MatrixInv, SymmetricAndHermitian) {
  Matrix s(2, 2, MatrixType::DoubleSymmetric);
  s(0, 0) = 4;
  s(0, 1) = 2;
  s(1, 1) = 3;
  s.Inv();
  orvane_test::ExpectEntriesNear(s, {{0.375, -0.25}, {-0.25, 0.5}}, 1e-15);

  ComplexMatrix h(2, 2, MatrixType::ComplexHermitian);
  h(0, 0) = Complex(2, 0);
  h(0, 1) = Complex(0, 1);
  h(1, 1) = Complex(2, 0);
  ComplexMatrix original = h.Clone();
  h.Inv();
  // h^-1 * h = I, read through the handles.
  orvane_test::ExpectEntriesNear(h * original, {{1, 0}, {0, 1}}, 1e-15);
}

TEST(MatrixInv, BandKindsRaiseAfterFactorizing) {
  Matrix t(3, 3, 3);
  for (int i = 0; i < 3; ++i) t(i, i) = 2.0;
  EXPECT_THROW_MSG(t.Inv(), OrvaneException,
                   "Inversion of tridiagonal matrix is not supported by LAPACK.");
  EXPECT_TRUE(t.get_IsFactorized());
  ComplexMatrix b(4, 4, 1, 1);
  for (int i = 0; i < 4; ++i) b(i, i) = Complex(2, 0);
  EXPECT_THROW_MSG(b.Inv(), OrvaneException,
                   "Inversion for gengeral band matrix is not supported by lapack.");
}

TEST(MatrixClone, IsDeepAndKeepsFactorsAndKind) {
  Matrix a(2, 2, MatrixType::DoubleSymmetric);
  a(0, 0) = 2;
  a(1, 1) = 2;
  a(0, 1) = 1;
  a.Inv();  // factorized route stays recorded
  Matrix c = a.Clone();
  EXPECT_EQ(c.get_Type(), MatrixType::DoubleSymmetric);
  EXPECT_TRUE(c.get_IsFactorized());
  c(0, 0) = 100;
  EXPECT_FALSE(c.get_IsFactorized());
  EXPECT_TRUE(a.get_IsFactorized());
  EXPECT_NE(a(0, 0), 100.0);
}

TEST(MatrixProduct, DenseResultHoldsTheFillOfStructuredOperands) {
  Matrix t(3, 3, 3);
  for (int i = 0; i < 3; ++i) {
    t(i, i) = 2;
    if (i + 1 < 3) {
      t(i, i + 1) = 1;
      t(i + 1, i) = 1;
    }
  }
  Matrix p = t * t;
  EXPECT_EQ(p.get_Type(), MatrixType::DoubleGeneral);
  EXPECT_EQ(p(0, 2), 1.0);  // the second diagonal appears
  EXPECT_EQ(p(2, 0), 1.0);
  EXPECT_EQ(p(1, 1), 6.0);

  Matrix s(2, 2, MatrixType::DoubleSymmetric);
  s(0, 1) = 3;
  s(0, 0) = 1;
  Matrix g(2, 3);
  g(0, 0) = 1;
  g(1, 2) = 2;
  Matrix sg = s * g;
  EXPECT_EQ(sg.get_RowNum(), 2);
  EXPECT_EQ(sg.get_ColNum(), 3);
  EXPECT_EQ(sg(1, 0), 3.0);  // the mirror (1, 0) of (0, 1)
  EXPECT_EQ(sg(0, 2), 6.0);
  EXPECT_THROW_MSG(g * g, OrvaneException,
                   "Column size of left matrix must be equal to row size of right matrix.");
}

TEST(MatrixProduct, ScalarMultiplesAreDenseGeneral) {
  Matrix s(3, 3, MatrixType::DoubleSymmetric);
  s(0, 2) = 1.5;
  s(1, 1) = -2;
  Matrix d = 2.0 * s;
  EXPECT_EQ(d.get_Type(), MatrixType::DoubleGeneral);
  EXPECT_EQ(d(2, 0), 3.0);
  EXPECT_EQ(d(0, 2), 3.0);
  EXPECT_EQ(d(1, 1), -4.0);

  ComplexMatrix m(1, 2);
  m(0, 0) = Complex(1, 2);
  m(0, 1) = Complex(-3, 0.5);
  ComplexMatrix r = Complex(0, 1) * m;
  EXPECT_EQ(r(0, 0), Complex(-2, 1));
  EXPECT_EQ(r(0, 1), Complex(-0.5, -3));
  ComplexMatrix two = 2.0 * m;
  EXPECT_EQ(two(0, 1), Complex(-6, 1));
  ComplexMatrix i1(1, 1), i2(1, 1);
  i1(0, 0) = Complex(0, 1);
  i2(0, 0) = Complex(0, 1);
  EXPECT_EQ((i1 * i2)(0, 0), Complex(-1, 0));
}

TEST(MatrixVectors, RowAndColumnCopies) {
  Matrix m(3, 4);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) m(i, j) = 10 * i + j;
  Matrix r = Matrix::RowVector(m, 1);
  EXPECT_EQ(r.get_RowNum(), 1);
  EXPECT_EQ(r.get_ColNum(), 4);
  EXPECT_EQ(r(0, 3), 13.0);
  Matrix c = Matrix::ColVector(m, 0);
  EXPECT_EQ(c.get_RowNum(), 3);
  EXPECT_EQ(c(2, 0), 20.0);
  c(2, 0) = -1;
  EXPECT_EQ(m(2, 0), 20.0);
  EXPECT_THROW_MSG(Matrix::RowVector(m, 3), OrvaneException, "(3, 0) is out of range.");
  EXPECT_THROW_MSG(Matrix::ColVector(m, 4), OrvaneException, "(0, 4) is out of range.");
  ComplexMatrix z(2, 2, MatrixType::ComplexHermitian);
  z(0, 1) = Complex(1, 2);
  EXPECT_EQ(ComplexMatrix::ColVector(z, 0)(1, 0), Complex(1, -2));
}

// ---- text and files through the handles ----

namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("orvane_handle_" + std::to_string(::getpid()) + "_" + name))
      .string();
}

}  // namespace

TEST(MatrixText, ToStringForms) {
  Matrix m(1, 2);
  m(0, 0) = 1;
  m(0, 1) = -0.5;
  EXPECT_EQ(m.ToString(), "[1.0000,-0.5000]\r\n");
  EXPECT_EQ(m.ToString(0), "[1,-0.5]\r\n");
  std::ostringstream os;
  os << m;
  EXPECT_EQ(os.str(), m.ToString());
  ComplexMatrix c(1, 2);
  c(0, 0) = Complex(1, -2);
  c(0, 1) = Complex(0.5, 0);
  EXPECT_EQ(c.ToString(), "[(1.0000,-2.0000),(0.5000,0.0000)]\r\n");
  MatrixFormatter f;
  f.set_LineBeginsWith("");
  f.set_LineEndsWith("");
  f.set_ElementSeparatedBy(" ");
  f.set_NumberOfDigit(1);
  EXPECT_EQ(m.ToString(f), "1.0 -0.5\r\n");
  EXPECT_EQ(Matrix(0, 3).ToString(), "");
  EXPECT_EQ(Matrix(2, 0).ToString(), "[]\r\n[]\r\n");
}

TEST(MatrixText, SaveLoadRoundTripsEveryRealKind) {
  const std::vector<std::function<Matrix()>> makers = {
      [] { return Matrix(3, 3); },
      [] { return Matrix(3, 3, 1, 1); },
      [] { return Matrix(3, 3, 3); },
      [] { return Matrix(3, 3, MatrixType::DoubleSymmetric); },
      [] { return Matrix(3, 3, MatrixType::DoubleSymmetricBand, 1, 1); },
      [] { return Matrix(3, 3, MatrixType::DoubleSymmetricTridiagonal); }};
  const std::string path = TempPath("real.txt");
  for (const auto& make : makers) {
    Matrix m = make();
    for (int i = 0; i < 3; ++i) {
      m(i, i) = 1.25 + i;
      if (i + 1 < 3) {
        m(i, i + 1) = -0.5;
        m(i + 1, i) = -0.5;
      }
    }
    Matrix::Save(m, path);
    Matrix back = Matrix::Load(path);
    EXPECT_EQ(back.get_Type(), MatrixType::DoubleGeneral);
    orvane_test::ExpectSameEntries(back, m);
  }
  std::filesystem::remove(path);
}

TEST(MatrixText, SaveLoadWithCustomFormatterAndCommaLocale) {
  orvane_test::CommaLocale comma;
  MatrixFormatter f;
  f.set_LineBeginsWith("{");
  f.set_LineEndsWith("}");
  f.set_ElementSeparatedBy(";");
  f.set_ComplexBeginsWith("<");
  f.set_ComplexEndsWith(">");
  f.set_ComplexValueSepratedBy("|");
  f.set_NumberOfDigit(0);
  ComplexMatrix c(2, 2, MatrixType::ComplexHermitian);
  c(0, 0) = Complex(2.5, 0);
  c(0, 1) = Complex(1.0 / 3.0, -1e-7);
  c(1, 1) = Complex(-4, 0);
  const std::string path = TempPath("complex.txt");
  ComplexMatrix::Save(c, f, path);
  ComplexMatrix back = ComplexMatrix::Load(path, f);
  EXPECT_EQ(back.get_Type(), MatrixType::ComplexGeneral);
  EXPECT_EQ(back(1, 0), Complex(0.333333333333333, 1e-7));
  EXPECT_EQ(back(0, 0), Complex(2.5, 0));
  Matrix r(1, 2);
  r(0, 0) = 1234.5;
  r(0, 1) = -2;
  // The default "," separator meets the decimal comma: each number splits in
  // two, as the format prescribes. A ";" separator keeps them whole.
  Matrix::Save(r, 2, path);
  EXPECT_EQ(Matrix::Load(path).get_ColNum(), 4);
  MatrixFormatter semicolon;
  semicolon.set_ElementSeparatedBy(";");
  Matrix::Save(r, semicolon, path);
  Matrix rb = Matrix::Load(path, semicolon);
  ASSERT_EQ(rb.get_ColNum(), 2);
  EXPECT_EQ(rb(0, 0), 1234.5);
  EXPECT_EQ(rb(0, 1), -2.0);
  std::filesystem::remove(path);
}


// After Inv the matrix reads as its inverse and still reports IsFactorized;
// a second Inv and a later Solve must treat it as that plain matrix, not take
// the inverse for factors.
template <class H, class E>
void InverseIsAPlainMatrixAfterwards(H a) {
  const int n = a.get_RowNum();
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) {
      const double v = i == j ? 4.0 + i : 1.0 / (1 + i + j);
      a(i, j) = E(v);
      a(j, i) = E(v);
    }
  H original = a.Clone();
  a.Inv();
  EXPECT_TRUE(a.get_IsFactorized());
  // Solve with the inverse as the matrix: x = A b.
  H b(n, 1);
  for (int i = 0; i < n; ++i) b(i, 0) = E(1.0 + i);
  H x = b.Clone();
  LinearEquation::Solve(a, x);
  const H ab = original * b;
  EXPECT_LE(orvane_test::MaxDifference(x, ab), 1e-12);
  // Inverting again gives the original back.
  H twice = original.Clone();
  twice.Inv();
  twice.Inv();
  EXPECT_LE(orvane_test::MaxDifference(twice, original), 1e-12);
}

TEST(MatrixInv, InverseIsAPlainMatrixAfterwards) {
  InverseIsAPlainMatrixAfterwards<Matrix, double>(Matrix(4, 4));
  InverseIsAPlainMatrixAfterwards<Matrix, double>(Matrix(4, 4, MatrixType::DoubleSymmetric));
  InverseIsAPlainMatrixAfterwards<ComplexMatrix, Complex>(ComplexMatrix(4, 4));
  InverseIsAPlainMatrixAfterwards<ComplexMatrix, Complex>(
      ComplexMatrix(4, 4, MatrixType::ComplexHermitian));
}
