// Data in and out at once: SetValues, GetValues, ToVector, FromValues and
// the initializer-list constructors, over all twelve kinds and both layouts;
// the checks SetValues makes before it writes, and the state it leaves.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/OrvaneException.h>

#include <complex>
#include <limits>
#include <span>

#include "KindCases.h"

using namespace OrvaneNet;
using namespace orvane_test;

namespace {

constexpr Layout kLayouts[] = {Layout::RowMajor, Layout::ColumnMajor};
// Sizes around the copy tiles (32) as well as the small ones.
constexpr int kOrders[] = {0, 1, 2, 3, 5, 8, 33, 70};
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

template <class K>
class DataInOut : public ::testing::Test {};
TYPED_TEST_SUITE(DataInOut, AllKinds);

// Every element of h equals A(i, j) of the row-major array, and GetValues
// and ToVector give the array back in both layouts.
template <class H, class E>
void ExpectHolds(const H& h, const std::vector<E>& a) {
  const int n = h.get_RowNum();
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      ASSERT_TRUE(SameBits(h.get_Item(i, j), a[Index(i, j, n, n, Layout::RowMajor)]))
          << "(" << i << ", " << j << "): " << h.get_Item(i, j);
  for (Layout out : kLayouts) {
    std::vector<E> got(a.size());
    h.GetValues(std::span<E>(got), out);
    EXPECT_EQ(got, InLayout(a, n, n, out));
    EXPECT_EQ(h.ToVector(out), got);
  }
}

TYPED_TEST(DataInOut, SetThenGetRoundTripsInBothLayouts) {
  std::mt19937 rng(11);
  for (int n : kOrders) {
    for (Layout layout : kLayouts) {
      auto h = TypeParam::Make(n);
      const auto a = KindValues<TypeParam>(n, rng);
      h.SetValues(InLayout(a, n, n, layout), layout);
      ExpectHolds(h, a);
      if constexpr (TypeParam::kComplex) {
        // The std::complex<double> overloads give and take the same bits.
        std::vector<std::complex<double>> s(a.size());
        h.GetValues(std::span<std::complex<double>>(s), layout);
        auto g = TypeParam::Make(n);
        g.SetValues(std::span<const std::complex<double>>(s), layout);
        ExpectHolds(g, a);
      }
    }
  }
}

// A factorized matrix reads out its stored factors (an inverted one its
// inverse), element for element as get_Item does; SetValues then holds the
// new elements, not factorized.
TYPED_TEST(DataInOut, FactorizedMatricesReadOutTheirFactors) {
  using H = typename TypeParam::Handle;
  std::mt19937 rng(13);
  for (int n : {1, 4, 37}) {
    auto h = TypeParam::Make(n);
    const auto a = KindValues<TypeParam>(n, rng, n + 1.0);
    h.SetValues(a, Layout::RowMajor);
    auto expectReadsAsItems = [&] {
      for (Layout layout : kLayouts) {
        const auto stored = h.ToVector(layout);
        for (int i = 0; i < n; ++i)
          for (int j = 0; j < n; ++j)
            ASSERT_TRUE(SameBits(stored[Index(i, j, n, n, layout)], h.get_Item(i, j)));
      }
    };
    LinearEquation::Factorize(h);
    ASSERT_TRUE(h.get_IsFactorized());
    expectReadsAsItems();
    if (!TypeParam::kBanded) {  // the kinds that invert
      h.Inv();
      expectReadsAsItems();
    }
    h.SetValues(a, Layout::RowMajor);
    EXPECT_FALSE(h.get_IsFactorized());
    ExpectHolds(h, a);
    // And the matrix is usable again: it factorizes and solves.
    const H b = RandomDense<H>(n, 1, rng);
    H x = b.Clone();
    LinearEquation::Factorize(h);
    LinearEquation::Solve(h, x);
    auto original = TypeParam::Make(n);
    original.SetValues(a, Layout::RowMajor);
    EXPECT_LT(Residual(original, x, b), 16.0);
  }
}

// Each refusal raises OrvaneException and leaves the elements (here: the
// factors) and IsFactorized as they were.
TYPED_TEST(DataInOut, RefusalsLeaveTheMatrixUntouched) {
  using E = typename TypeParam::Element;
  std::mt19937 rng(14);
  const int n = 6;
  auto h = TypeParam::Make(n);
  const auto a = KindValues<TypeParam>(n, rng, n + 1.0);
  h.SetValues(InLayout(a, n, n, Layout::ColumnMajor), Layout::ColumnMajor);
  LinearEquation::Factorize(h);
  const auto before = h.ToVector(Layout::RowMajor);
  auto changed = [&](int k, E by) {
    auto v = a;
    v[static_cast<std::size_t>(k)] = v[static_cast<std::size_t>(k)] + by;
    return v;
  };
  // One value short, one too many.
  std::vector<std::vector<E>> refused{std::vector<E>(a.begin(), a.end() - 1), a};
  refused[1].push_back(E(1.0));
  if (TypeParam::kBanded) refused.push_back(changed(n - 1, E(0.5)));  // (0, n - 1), outside
  if (TypeParam::kSymmetric) refused.push_back(changed(n, E(1e-3)));  // (1, 0) against (0, 1)
  if (TypeParam::kSymmetric && TypeParam::kComplex)
    refused.push_back(changed(2 * n + 2, Element<E>(0.0, 1e-3)));  // an imaginary diagonal
  for (const auto& values : refused) {
    for (Layout layout : kLayouts) {
      const bool sizeOk = values.size() == a.size();
      EXPECT_THROW(h.SetValues(sizeOk ? InLayout(values, n, n, layout) : values, layout),
                   OrvaneException);
      EXPECT_TRUE(h.get_IsFactorized());
      EXPECT_EQ(h.ToVector(Layout::RowMajor), before);
    }
  }
  std::vector<E> room(before.size() + 1);
  EXPECT_THROW(h.GetValues(std::span<E>(room), Layout::RowMajor), OrvaneException);
}

template <class K>
class SymmetricInput : public ::testing::Test {};
using SymmetricKinds = ::testing::Types<KindCase<Matrix, 3>, KindCase<Matrix, 4>,
                                        KindCase<Matrix, 5>, KindCase<ComplexMatrix, 3>,
                                        KindCase<ComplexMatrix, 4>, KindCase<ComplexMatrix, 5>>;
TYPED_TEST_SUITE(SymmetricInput, SymmetricKinds);

// Accepted to within rounding: pairs within 100 eps max|a| (eps = 2^-52),
// the upper triangle kept; a larger difference is refused. A NaN or an
// infinity must be matched exactly and does not widen the bound.
TYPED_TEST(SymmetricInput, AcceptedToWithinRoundingUpperTriangleKept) {
  using E = typename TypeParam::Element;
  std::mt19937 rng(15);
  const int n = 40;
  auto a = KindValues<TypeParam>(n, rng);
  a[0] = E(4.0);  // max|a| = 4: every other element is at most sqrt(2)
  const double tol = 100 * 0x1p-52 * 4.0;
  // An offset of magnitude `by`.
  auto offset = [](double by) {
    return TypeParam::kComplex ? Element<E>(by * 0.6, by * 0.8) : E(by);
  };
  auto h = TypeParam::Make(n);
  auto set = [&](const std::vector<E>& v, Layout layout) {
    h.SetValues(InLayout(v, n, n, layout), layout);
  };
  // (i, j) against (j, i): in a diagonal tile of the scan, and (packed
  // kinds) in an off-diagonal one.
  std::vector<std::pair<int, int>> pairs{{4, 3}};
  if (!TypeParam::kBanded) pairs.emplace_back(35, 2);
  for (auto [i, j] : pairs) {
    for (Layout layout : kLayouts) {
      std::vector<E> v = a;
      v[i * n + j] = v[i * n + j] + offset(0.5 * tol);
      set(v, layout);
      EXPECT_TRUE(SameBits(h.get_Item(j, i), a[j * n + i]));
      EXPECT_TRUE(SameBits(h.get_Item(i, j), Conj(a[j * n + i])));
      v[i * n + j] = a[i * n + j] + offset(2 * tol);
      EXPECT_THROW(set(v, layout), OrvaneException);
    }
  }
  if constexpr (TypeParam::kComplex) {
    // The diagonal's imaginary part: dropped within the bound, refused beyond it.
    std::vector<E> v = a;
    v[5 * n + 5] = Complex(v[5 * n + 5].get_Real(), 0.5 * tol);
    set(v, Layout::RowMajor);
    EXPECT_TRUE(SameBits(h.get_Item(5, 5), Complex(a[5 * n + 5].get_Real(), 0.0)));
    v[5 * n + 5] = Complex(v[5 * n + 5].get_Real(), 2 * tol);
    EXPECT_THROW(set(v, Layout::RowMajor), OrvaneException);
  }
  a[0 * n + 1] = a[1 * n + 0] = E(kInf);
  a[1 * n + 2] = a[2 * n + 1] = E(kNaN);
  if (!TypeParam::kBanded) a[33 * n + 1] = a[1 * n + 33] = E(-kInf);
  set(a, Layout::ColumnMajor);
  EXPECT_TRUE(SameBits(h.get_Item(1, 0), Conj(E(kInf))));
  EXPECT_TRUE(std::isnan(Abs(h.get_Item(2, 1))));
  a[1 * n + 0] = E(1e300);  // an infinite max|a| would let this through
  EXPECT_THROW(set(a, Layout::RowMajor), OrvaneException);
  a[1 * n + 0] = E(kInf);
  a[2 * n + 1] = E(0.5);
  EXPECT_THROW(set(a, Layout::RowMajor), OrvaneException);
}

// ---- The messages ----

std::vector<double> Rows(std::initializer_list<std::initializer_list<double>> rows) {
  std::vector<double> out;
  for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

// SetValues of the row-major values, given in either layout, raises the message.
template <class H, class E>
void ExpectRefused(H h, const std::vector<E>& values, const std::string& message) {
  const int n = h.get_RowNum();
  for (Layout layout : kLayouts)
    EXPECT_THROW_MSG(h.SetValues(InLayout(values, n, n, layout), layout), OrvaneException, message);
}

TEST(DataInOutMessages, DisposedOrMovedFromHandlesRaise) {
  Matrix a(2, 2);
  const Matrix moved = std::move(a);
  ComplexMatrix c(2, 2, MT::ComplexHermitian);
  c.Dispose();
  std::vector<double> values(4);
  std::vector<Complex> complexValues(4);
  const char* message = "This matrix has been disposed or moved from and can no longer be used.";
  EXPECT_THROW_MSG(a.SetValues(values, Layout::RowMajor), OrvaneException, message);
  EXPECT_THROW_MSG(a.GetValues(values, Layout::RowMajor), OrvaneException, message);
  EXPECT_THROW_MSG(a.ToVector(Layout::RowMajor), OrvaneException, message);
  EXPECT_THROW_MSG(c.SetValues(complexValues, Layout::ColumnMajor), OrvaneException, message);
  EXPECT_THROW_MSG(c.ToVector(Layout::ColumnMajor), OrvaneException, message);
}

TEST(DataInOutMessages, SizesAreCheckedFirst) {
  Matrix a(3, 3, MT::DoubleSymmetric);
  std::vector<double> eight(8), ten(10);
  EXPECT_THROW_MSG(a.SetValues(eight, Layout::RowMajor), OrvaneException,
                   "SetValues needs 9 values for a 3 x 3 matrix, not 8.");
  EXPECT_THROW_MSG(a.GetValues(ten, Layout::RowMajor), OrvaneException,
                   "GetValues needs room for 9 values for a 3 x 3 matrix, not 10.");
  EXPECT_THROW_MSG(Matrix::FromValues(2, 3, eight, Layout::ColumnMajor), OrvaneException,
                   "FromValues needs 6 values for a 2 x 3 matrix, not 8.");
  EXPECT_THROW_MSG(Matrix::FromValues(-1, 3, eight, Layout::ColumnMajor), OrvaneException,
                   "Matrix dimensions must not be negative.");
}

// The first offending element in row-major order is named, whatever the
// layout of the input; the general band and tridiagonal kinds raise their
// own out-of-pattern messages.
TEST(DataInOutMessages, RefusalsNameTheFirstOffendingElement) {
  // (0, 2)/(2, 0) and (1, 2)/(2, 1) differ.
  ExpectRefused(Matrix(3, 3, MT::DoubleSymmetric), Rows({{1, 0, 1}, {0, 3, 5}, {2, 7, 3}}),
                "The values are not symmetric: element (0, 2) = 1 but element (2, 0) = 2 (a pair "
                "may differ by at most 100 eps max|a| = 1.5543122344752192e-13).");
  ExpectRefused(Matrix(3, 3, MT::DoubleSymmetricBand, 1, 1),
                Rows({{1, 0, 0}, {0, 3, 5}, {0.5, 5, 3}}),
                "The values do not fit a symmetric band matrix with 1 off-diagonal on each side: "
                "element (2, 0) = 0.5 is not zero.");
  ExpectRefused(Matrix(4, 4, MT::DoubleSymmetricTridiagonal),
                Rows({{1, 0, 0, 0}, {0, 1, 0, -0.25}, {0, 0, 1, 0}, {0, 0, 0, 1}}),
                "The values do not fit a symmetric tridiagonal matrix: element (1, 3) = -0.25 is "
                "not zero.");
  ExpectRefused(Matrix(5, 5, MT::DoubleSymmetricBand, 2, 2), std::vector<double>(25, 1.0),
                "The values do not fit a symmetric band matrix with 2 off-diagonals on each side: "
                "element (0, 3) = 1 is not zero.");
  const Complex z(0, 0), one(1, 0);
  ExpectRefused(ComplexMatrix(2, 2, MT::ComplexHermitian),
                std::vector<Complex>{one, Complex(1, 2), Complex(1, 2), one},
                "The values are not Hermitian: element (0, 1) = (1,2) but element (1, 0) = (1,2) "
                "(element (j, i) must be the conjugate of element (i, j) to within 100 eps max|a| "
                "= 4.965068306494546e-14).");
  ExpectRefused(ComplexMatrix(2, 2, MT::ComplexHermitian),
                std::vector<Complex>{one, z, z, Complex(2, 0.5)},
                "The values are not Hermitian: diagonal element (1, 1) = (2,0.5) is not real (its "
                "imaginary part may be at most 100 eps max|a| = 4.5775667985222375e-14).");
  ExpectRefused(ComplexMatrix(3, 3, MT::ComplexHermitianBand, 1, 1),
                std::vector<Complex>{one, z, Complex(0, -1), z, one, z, z, z, one},
                "The values do not fit a Hermitian band matrix with 1 off-diagonal on each side: "
                "element (0, 2) = (0,-1) is not zero.");
  // (1, 3) comes before (2, 0) in row-major order.
  ExpectRefused(Matrix(4, 4, 1, 0), Rows({{1, 0, 0, 0}, {1, 1, 0, 8}, {7, 1, 1, 0}, {0, 0, 1, 1}}),
                "Value 8doesn't fit to (1, 3)");
  std::vector<Complex> c(9);
  c[2 * 3 + 1] = Complex(0.5, -1);
  ExpectRefused(ComplexMatrix(3, 3, 0, 1), c, "Value (0.5000,-1.0000)doesn't fit to (2, 1)");
  ExpectRefused(Matrix(3, 3, 3), Rows({{1, 0, 2}, {0, 1, 0}, {0, 0, 1}}),
                "The specified element doesn't fit to tridiagonal matrix.");
  // Zeros of either sign are no fault; a NaN is.
  Matrix tri(3, 3, 3);
  tri.SetValues(Rows({{1, 0, -0.0}, {0, 1, 0}, {-0.0, 0, 1}}), Layout::RowMajor);
  EXPECT_THROW(tri.SetValues(Rows({{1, 0, kNaN}, {0, 1, 0}, {0, 0, 1}}), Layout::RowMajor),
               OrvaneException);
}

// ---- Construction from data ----

TEST(DataInOutConstruction, InitializerListsBuildDenseMatricesRowByRow) {
  const Matrix a{{1, 2, 3}, {4, 5, 6}};
  EXPECT_EQ(a.get_Type(), MT::DoubleGeneral);
  EXPECT_EQ(a.ToVector(Layout::RowMajor), (std::vector<double>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(a.ToVector(Layout::ColumnMajor), (std::vector<double>{1, 4, 2, 5, 3, 6}));
  const Matrix row = {{0.5, -1}}, empty{}, noColumns{{}, {}};
  const Matrix shape{2, 3};  // still rows and columns, not a list
  const std::pair<const Matrix*, std::pair<int, int>> shapes[] = {
      {&row, {1, 2}}, {&empty, {0, 0}}, {&noColumns, {2, 0}}, {&shape, {2, 3}}};
  for (const auto& [m, rowsAndCols] : shapes)
    EXPECT_EQ(std::pair(m->get_RowNum(), m->get_ColNum()), rowsAndCols);
  EXPECT_THROW_MSG((Matrix{{1, 2, 3}, {4, 5}}), OrvaneException,
                   "The rows of the initializer list must have equal lengths: row 0 has 3 values, "
                   "row 1 has 2.");
  const ComplexMatrix c{{Complex(1, 2), Complex(3, 4)}, {Complex(5, 6), Complex(7, 8)}};
  EXPECT_EQ(c.get_Type(), MT::ComplexGeneral);
  EXPECT_EQ(c.get_Item(1, 0), Complex(5, 6));
  EXPECT_EQ(c.get_Item(0, 1), Complex(3, 4));
  EXPECT_THROW_MSG((ComplexMatrix{{Complex(1, 2)}, {}}), OrvaneException,
                   "The rows of the initializer list must have equal lengths: row 0 has 1 values, "
                   "row 1 has 0.");
}

TEST(DataInOutConstruction, FromValuesReadsEitherLayout) {
  const std::vector<double> rowMajor{1, 2, 3, 4, 5, 6};
  for (Layout layout : kLayouts) {
    const Matrix m = Matrix::FromValues(2, 3, InLayout(rowMajor, 2, 3, layout), layout);
    EXPECT_EQ(m.get_Type(), MT::DoubleGeneral);
    EXPECT_FALSE(m.get_IsFactorized());
    EXPECT_EQ(m.get_Item(1, 0), 4);
    EXPECT_EQ(m.get_Item(0, 2), 3);
  }
  // Rectangular shapes around the tiles, through GetValues again.
  std::mt19937 rng(17);
  for (auto [m, n] : {std::pair{0, 5}, {5, 0}, {1, 40}, {40, 1}, {33, 65}, {70, 31}}) {
    std::vector<double> v(static_cast<std::size_t>(m) * n);
    for (double& x : v) x = RandomValue<double>(rng);
    for (Layout layout : kLayouts) {
      const Matrix f = Matrix::FromValues(m, n, v, layout);
      EXPECT_EQ(f.ToVector(layout), v);
      const Layout other = layout == Layout::RowMajor ? Layout::ColumnMajor : Layout::RowMajor;
      EXPECT_EQ(Matrix::Transpose(f).ToVector(other), v);
    }
  }
  const double c[2][2] = {{1, 2}, {3, 4}};  // a C array, row by row
  const std::span<const double> flat(&c[0][0], 4);
  EXPECT_EQ(Matrix::FromValues(2, 2, flat, Layout::RowMajor).get_Item(1, 0), 3);
  const std::vector<std::complex<double>> s{{1, 2}, {3, 4}};
  EXPECT_EQ(ComplexMatrix::FromValues(1, 2, s, Layout::RowMajor).get_Item(0, 1), Complex(3, 4));
  const std::vector<Complex> cs{Complex(1, 2), Complex(3, 4)};
  EXPECT_EQ(ComplexMatrix::FromValues(2, 1, cs, Layout::ColumnMajor).get_Item(1, 0), Complex(3, 4));
}

// The complex element proxy takes a double and a std::complex<double>; a
// braced pair still means a Complex.
TEST(DataInOutConstruction, ComplexProxyTakesRealAndStdComplexValues) {
  ComplexMatrix m(2, 2);
  m(0, 0) = 4.0;
  m(0, 1) = std::complex<double>(1, -2);
  m(1, 0) = {3, 4};
  m(1, 1) = 2;
  EXPECT_TRUE(SameBits(m.get_Item(0, 0), Complex(4, 0)));
  EXPECT_EQ(m.get_Item(0, 1), Complex(1, -2));
  EXPECT_EQ(m.get_Item(1, 0), Complex(3, 4));
  EXPECT_EQ(m.get_Item(1, 1), Complex(2, 0));
  ComplexMatrix h(2, 2, MT::ComplexHermitianTridiagonal);
  // The kind's own check still runs.
  EXPECT_THROW(h(0, 0) = std::complex<double>(1, 1), OrvaneException);
}

}  // namespace
