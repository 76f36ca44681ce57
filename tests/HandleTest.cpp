// The public handles over every kind: the kind each constructor form makes,
// products, scalar multiples, row and column copies and files read through
// the kind; Inv; the text overloads. Bad input is in BadInputCatalogueTest.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>

#include <functional>
#include <sstream>

#include "TestUtil.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

template <class H>
struct KindRow {
  std::function<H(int)> make;
  MatrixType type;
};

template <class H>
std::vector<KindRow<H>> KindRows() {
  const MatrixType general = KindType<H>(0), band = KindType<H>(1), tri = KindType<H>(2), sym = KindType<H>(3),
                   symBand = KindType<H>(4), symTri = KindType<H>(5);
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

template <class H>
class HandleKinds : public ::testing::Test {};
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
  const TempFolder folder;
  const std::string path = folder.Path("kinds.txt");
  const E scale = Element<E>(0.5, -2.0);
  for (const auto& row : KindRows<H>()) {
    const H a = Filled(row.make(5));
    H dense(5, 5);
    for (int i = 0; i < 5; ++i)
      for (int j = 0; j < 5; ++j) dense(i, j) = a.get_Item(i, j);
    ExpectSameEntries(a * a, dense * dense);
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
    ExpectSameEntries(back, dense);
  }
}

// After Inv the matrix reads as its inverse and still reports IsFactorized;
// a second Inv and a later Solve must treat it as that plain matrix, not take
// the inverse for factors.
TYPED_TEST(HandleKinds, InverseIsAPlainMatrixAfterwards) {
  using H = TypeParam;
  const auto rows = KindRows<H>();
  for (const auto& row : {rows[0], rows[3]}) {  // the kinds that invert: dense and packed
    const H a = Filled(row.make(4)), b = H::ColVector(a, 1);
    H m = a.Clone();
    EXPECT_EQ(&m.Inv(), &m);
    EXPECT_TRUE(m.get_IsFactorized());
    const H inverse = m.Clone();
    EXPECT_LT(Residual(a, inverse, Identity<H>(4)), kResidualTol);
    H x = b.Clone();
    LinearEquation::Solve(m, x);  // x = A b
    EXPECT_LT(Residual(inverse, x, b), kResidualTol);
    m.Inv();
    EXPECT_LT(Residual(inverse, m, Identity<H>(4)), kResidualTol);
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
  const auto m = FromRows<Matrix>({{1, -0.5}});
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
