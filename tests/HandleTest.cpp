// The public handles over every kind: the kind each constructor form makes,
// products, scalar multiples, row and column copies and files read through
// the kind; linear equations and Inv; the text overloads. Bad input is in
// BadInputCatalogueTest.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <OrvaneNet/LUFactorization.h>
#include <OrvaneNet/LinearEquation.h>

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

// Every constructor form, end to end: the kind it selects. Structured operands are read through
// their kind: products, multiples, copies and files hold what the indexer
// shows, the mirrors and zeros included. LinearEquation and the deprecated
// LUFactorization take the kind's route: the one-call driver (the Hermitian
// tridiagonal kind refuses it: factorized first), then the stored factors,
// which a second Factorize must leave alone. After Inv the matrix reads as
// its inverse and still reports IsFactorized; a later Solve and a second Inv
// must treat it as that plain matrix, not take the inverse for factors.
TYPED_TEST(HandleKinds, EveryKindEndToEnd) {
  using H = TypeParam;
  using E = ElementOf<H>;
  const TempFolder folder;
  const std::string path = folder.Path("kinds.txt");
  const E scale = Element<E>(0.5, -2.0);
  std::mt19937 rng(42);
  EXPECT_EQ(H().get_Type(), KindType<H>(0));
  for (const auto& row : KindRows<H>()) {
    SCOPED_TRACE(static_cast<int>(row.type));
    const H a = Filled(row.make(5));
    EXPECT_EQ(a.get_Type(), row.type);
    H dense(5, 5);
    for (int i = 0; i < 5; ++i)
      for (int j = 0; j < 5; ++j) dense(i, j) = a.get_Item(i, j);
    ExpectSameEntries(a * a, dense * dense);
    ExpectSameEntries(scale * a, scale * dense);
    ExpectSameEntries(2.0 * a, 2.0 * dense);
    ExpectSameEntries(H::RowVector(a, 1), H::RowVector(dense, 1));
    const H c = H::ColVector(a, 2);
    ExpectSameEntries(c, H::ColVector(dense, 2));
    EXPECT_EQ((scale * a).get_Type(), H().get_Type());
    H::Save(a, 2, path);
    const H back = H::Load(path);
    EXPECT_EQ(back.get_Type(), H().get_Type());
    ExpectSameEntries(back, dense);

    for (const bool lu : {false, true}) {
      auto factorize = [lu](H& m) { lu ? LUFactorization::Factorize(m) : LinearEquation::Factorize(m); };
      auto solve = [lu](H& m, H& b) { lu ? LUFactorization::Solve(m, b) : LinearEquation::Solve(m, b); };
      const H b = RandomDense<H>(5, 2, rng), b2 = RandomDense<H>(5, 3, rng);
      H m = a.Clone(), x = b.Clone(), x2 = b2.Clone();
      if (row.type == MatrixType::ComplexHermitianTridiagonal) factorize(m);
      solve(m, x);
      EXPECT_TRUE(m.get_IsFactorized());
      EXPECT_LT(Residual(a, x, b), kResidualTol);
      factorize(m);
      solve(m, x2);
      EXPECT_LT(Residual(a, x2, b2), kResidualTol);
    }

    if (row.type != KindType<H>(0) && row.type != KindType<H>(3)) continue;  // the kinds that invert
    H m = a.Clone(), x = c.Clone();
    EXPECT_EQ(&m.Inv(), &m);
    EXPECT_TRUE(m.get_IsFactorized());
    const H inverse = m.Clone();
    EXPECT_LT(Residual(a, inverse, Identity<H>(5)), kResidualTol);
    LinearEquation::Solve(m, x);  // x = A c
    EXPECT_LT(Residual(inverse, x, c), kResidualTol);
    m.Inv();
    EXPECT_LT(Residual(inverse, m, Identity<H>(5)), kResidualTol);
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
