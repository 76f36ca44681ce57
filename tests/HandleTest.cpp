// The public handles over every kind: the kind each constructor form makes,
// products, scalar multiples, row and column copies and files read through
// the kind; Inv; the text overloads. Bad input is in BadInputCatalogueTest.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "TestUtil.h"

using namespace OrvaneNet;
using MT = MatrixType;
using orvane_test::ElementOf;

namespace {

template <class H>
struct KindRow {
  std::function<H(int)> make;
  MatrixType type;
};

// The complex kinds follow the real ones in the same order.
template <class H>
MatrixType Kind(MatrixType real) {
  return static_cast<MatrixType>(static_cast<int>(real) + (std::is_same_v<H, Matrix> ? 0 : 6));
}

template <class H>
std::vector<KindRow<H>> KindRows() {
  const MT general = Kind<H>(MT::DoubleGeneral), band = Kind<H>(MT::DoubleGeneralBand),
           tri = Kind<H>(MT::DoubleGeneralTridiagonal), sym = Kind<H>(MT::DoubleSymmetric),
           symBand = Kind<H>(MT::DoubleSymmetricBand), symTri = Kind<H>(MT::DoubleSymmetricTridiagonal);
  return {
      {[](int n) { return H(n, n); }, general},
      {[=](int n) { return H(n, n, general); }, general},
      {[=](int n) { return H(n, n, tri); }, tri},
      {[=](int n) { return H(n, n, sym); }, sym},
      {[=](int n) { return H(n, n, symTri); }, symTri},
      {[](int n) { return H(n, n, 3); }, tri},
      {[](int n) { return H(n, n, 5); }, band},
      {[](int n) { return H(n, n, 1, 2); }, band},
      {[=](int n) { return H(n, n, band, 2, 1); }, band},
      {[=](int n) { return H(n, n, symBand, 1, 1); }, symBand},
  };
}

template <class E>
E Element(double re, double im) {
  if constexpr (std::is_same_v<E, double>) {
    return re;
  } else {
    return E(re, im);
  }
}

// A diagonally dominant tridiagonal matrix written through the element
// proxy, its values exact in two decimals. The general kinds keep it as
// written; in the symmetric ones the later write below the diagonal wins.
template <class H>
H Filled(H a) {
  using E = ElementOf<H>;
  for (int i = 0; i < a.get_RowNum(); ++i) {
    a(i, i) = Element<E>(2.0 + i, 0.0);
    if (i + 1 == a.get_RowNum()) continue;
    a(i, i + 1) = Element<E>(0.5 + 0.25 * i, -0.75);
    a(i + 1, i) = Element<E>(-0.5 - 0.25 * i, 0.5);
  }
  return a;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("orvane_handle_" + std::to_string(::getpid()) + "_" + name))
      .string();
}

template <class H>
class HandleKinds : public ::testing::Test {};
using Handles = ::testing::Types<Matrix, ComplexMatrix>;
TYPED_TEST_SUITE(HandleKinds, Handles);

}  // namespace

TYPED_TEST(HandleKinds, EachConstructorFormSelectsItsKind) {
  const auto rows = KindRows<TypeParam>();
  EXPECT_EQ(TypeParam().get_Type(), rows[0].type);
  for (const auto& row : rows) EXPECT_EQ(row.make(3).get_Type(), row.type);
}

// Structured operands are read through their kind: products, multiples and
// copies hold what the indexer shows, the mirrors and zeros included.
TYPED_TEST(HandleKinds, ProductsCopiesAndFilesReadThroughTheKind) {
  using H = TypeParam;
  using E = ElementOf<H>;
  const std::string path = TempPath("kinds.txt");
  const E scale = Element<E>(0.5, -2.0);
  for (const auto& row : KindRows<H>()) {
    const H a = Filled(row.make(5));
    H dense(5, 5);
    for (int i = 0; i < 5; ++i)
      for (int j = 0; j < 5; ++j) dense(i, j) = a.get_Item(i, j);
    orvane_test::ExpectSameEntries(a * a, dense * dense);
    const H scaled = scale * a, doubled = 2.0 * a, r = H::RowVector(a, 1), c = H::ColVector(a, 2);
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(scaled.get_Item(i, j), scale * a.get_Item(i, j));
        EXPECT_EQ(doubled.get_Item(i, j), 2.0 * a.get_Item(i, j));
      }
      EXPECT_EQ(r.get_Item(0, i), a.get_Item(1, i));
      EXPECT_EQ(c.get_Item(i, 0), a.get_Item(i, 2));
    }
    EXPECT_EQ(scaled.get_Type(), H().get_Type());
    H::Save(a, 2, path);
    const H back = H::Load(path);
    EXPECT_EQ(back.get_Type(), H().get_Type());
    orvane_test::ExpectSameEntries(back, dense);
  }
  std::filesystem::remove(path);
}

// After Inv the matrix reads as its inverse and still reports IsFactorized;
// a second Inv and a later Solve must treat it as that plain matrix, not take
// the inverse for factors.
TYPED_TEST(HandleKinds, InverseIsAPlainMatrixAfterwards) {
  using H = TypeParam;
  const auto rows = KindRows<H>();
  for (const auto& row : {rows[0], rows[3]}) {  // the kinds that invert: dense and packed
    H a = Filled(row.make(4)), inverse = Filled(row.make(4));
    const H original = a.Clone();
    EXPECT_EQ(&inverse.Inv(), &inverse);
    EXPECT_TRUE(inverse.get_IsFactorized());
    H x = H::ColVector(original, 1);
    LinearEquation::Solve(inverse, x);  // x = A b
    EXPECT_LE(orvane_test::MaxDifference(x, original * H::ColVector(original, 1)), 1e-12);
    a.Inv();
    a.Inv();
    EXPECT_LE(orvane_test::MaxDifference(a, original), 1e-12);
  }
}

TEST(HandleAccess, ProxyToProxyCopiesTheValue) {
  Matrix m(2, 3);
  m(0, 1) = 2.5;
  m(1, 2) = m(0, 1);
  m(0, 1) = 1.0;
  const Matrix& cm = m;
  EXPECT_EQ(cm(1, 2), 2.5);
}

TEST(HandleText, ToStringOverloadsAndStreams) {
  const auto m = orvane_test::FromRows<Matrix>({{1, -0.5}});
  EXPECT_EQ(m.ToString(0), "[1,-0.5]\r\n");
  MatrixFormatter f;
  f.set_ElementSeparatedBy(" ");
  EXPECT_EQ(m.ToString(f), "[1.0000 -0.5000]\r\n");
  ComplexMatrix c(1, 1);
  c(0, 0) = Complex(1, -2);
  EXPECT_EQ(c.ToString(1), "[(1.0,-2.0)]\r\n");
  std::ostringstream os;
  os << m << c;
  EXPECT_EQ(os.str(), "[1.0000,-0.5000]\r\n[(1.0000,-2.0000)]\r\n");
}
