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

template <class K>
class DataInOut : public ::testing::Test {};
TYPED_TEST_SUITE(DataInOut, AllKinds);

// Every element of h equals A(i, j) of the array, and GetValues gives the
// array back in both layouts, as get_Item reads.
template <class H, class E>
void ExpectHolds(const H& h, const std::vector<E>& a, Layout layout) {
  const int n = h.get_RowNum();
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      ASSERT_TRUE(SameBits(h.get_Item(i, j), At(a, i, j, n, n, layout)))
          << "(" << i << ", " << j << "): " << h.get_Item(i, j) << " != " << At(a, i, j, n, n, layout);
  for (Layout out : kLayouts) {
    std::vector<E> got(a.size());
    h.GetValues(std::span<E>(got), out);
    EXPECT_EQ(got, out == layout ? a : Relaid(a, n, n, layout));
    EXPECT_EQ(h.ToVector(out), got);
  }
}

TYPED_TEST(DataInOut, SetThenGetRoundTripsInBothLayouts) {
  std::mt19937 rng(11);
  for (int n : kOrders) {
    for (Layout layout : kLayouts) {
      auto h = TypeParam::Make(n);
      const auto a = KindValues<TypeParam>(n, rng);
      h.SetValues(layout == Layout::RowMajor ? a : Relaid(a, n, n, Layout::RowMajor), layout);
      ExpectHolds(h, a, Layout::RowMajor);
      if constexpr (TypeParam::kComplex) {
        // The std::complex<double> overloads give and take the same bits.
        std::vector<std::complex<double>> s(a.size());
        h.GetValues(std::span<std::complex<double>>(s), layout);
        auto g = TypeParam::Make(n);
        g.SetValues(std::span<const std::complex<double>>(s), layout);
        ExpectHolds(g, a, Layout::RowMajor);
      }
    }
  }
}

// A factorized matrix reads out its stored factors, element for element as
// get_Item does; SetValues then holds the new elements, not factorized.
TYPED_TEST(DataInOut, FactorizedMatricesReadOutTheirFactors) {
  std::mt19937 rng(13);
  for (int n : {1, 4, 37}) {
    auto h = TypeParam::Make(n);
    const auto a = KindValues<TypeParam>(n, rng, n + 1.0);
    h.SetValues(a, Layout::RowMajor);
    LinearEquation::Factorize(h);
    ASSERT_TRUE(h.get_IsFactorized());
    for (Layout layout : kLayouts) {
      const auto factors = h.ToVector(layout);
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) ASSERT_TRUE(SameBits(At(factors, i, j, n, n, layout), h.get_Item(i, j)));
    }
    if (TypeParam::kType == MT::DoubleGeneral || TypeParam::kType == MT::DoubleSymmetric ||
        TypeParam::kType == MT::ComplexGeneral || TypeParam::kType == MT::ComplexHermitian) {
      h.Inv();  // the storage now holds the inverse, and reads as it
      const auto inverse = h.ToVector(Layout::ColumnMajor);
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) ASSERT_TRUE(SameBits(At(inverse, i, j, n, n, Layout::ColumnMajor), h.get_Item(i, j)));
    }
    h.SetValues(a, Layout::RowMajor);
    EXPECT_FALSE(h.get_IsFactorized());
    ExpectHolds(h, a, Layout::RowMajor);
    // And the matrix is usable again: it factorizes and solves.
    using H = typename TypeParam::Handle;
    H b(n, 1);
    for (int i = 0; i < n; ++i) b.set_Item(i, 0, ElementOf<H>(1.0));
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
  h.SetValues(Relaid(a, n, n, Layout::RowMajor), Layout::ColumnMajor);
  LinearEquation::Factorize(h);
  const auto before = h.ToVector(Layout::RowMajor);

  std::vector<std::vector<E>> refused;
  refused.push_back(std::vector<E>(a.begin(), a.end() - 1));  // one value short
  std::vector<E> longer = a;
  longer.push_back(E(1.0));
  refused.push_back(longer);
  if (TypeParam::kBanded) {
    std::vector<E> outside = a;
    outside[n - 1] = E(0.5);  // (0, n - 1), outside every band here
    refused.push_back(outside);
  }
  if (TypeParam::kSymmetric) {
    std::vector<E> asymmetric = a;
    asymmetric[1 * n + 0] = asymmetric[1 * n + 0] + E(1e-3);  // (1, 0) against (0, 1)
    refused.push_back(asymmetric);
  }
  if constexpr (TypeParam::kComplex) {
    if (TypeParam::kSymmetric) {
      std::vector<E> imaginaryDiagonal = a;
      imaginaryDiagonal[2 * n + 2] = imaginaryDiagonal[2 * n + 2] + E(Complex(0.0, 1e-3));
      refused.push_back(imaginaryDiagonal);
    }
  }
  for (const auto& values : refused) {
    for (Layout layout : kLayouts) {
      const bool sizeOk = values.size() == a.size();
      EXPECT_THROW(h.SetValues(layout == Layout::RowMajor || !sizeOk ? values : Relaid(values, n, n, Layout::RowMajor), layout),
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
using SymmetricKinds = ::testing::Types<RealSymmetric, RealSymmetricBand, RealSymmetricTridiagonal, ComplexHermitian,
                                        ComplexHermitianBand, ComplexHermitianTridiagonal>;
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
  auto offset = [](double by) {
    if constexpr (TypeParam::kComplex) {
      return E(Complex(by * 0.6, by * 0.8));  // magnitude `by`
    } else {
      return E(by);
    }
  };
  auto h = TypeParam::Make(n);
  auto set = [&](const std::vector<E>& v, Layout layout) {
    h.SetValues(layout == Layout::RowMajor ? v : Relaid(v, n, n, Layout::RowMajor), layout);
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
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  a[0 * n + 1] = a[1 * n + 0] = E(inf);
  a[1 * n + 2] = a[2 * n + 1] = E(nan);
  if (!TypeParam::kBanded) a[33 * n + 1] = a[1 * n + 33] = E(-inf);
  set(a, Layout::ColumnMajor);
  EXPECT_TRUE(SameBits(h.get_Item(1, 0), Conj(E(inf))));
  EXPECT_TRUE(std::isnan(RealPart(h.get_Item(2, 1))));
  a[1 * n + 0] = E(1e300);  // an infinite max|a| would let this through
  EXPECT_THROW(set(a, Layout::RowMajor), OrvaneException);
  a[1 * n + 0] = E(inf);
  a[2 * n + 1] = E(0.5);
  EXPECT_THROW(set(a, Layout::RowMajor), OrvaneException);
}

// ---- The messages ----

std::vector<double> Rows(std::initializer_list<std::initializer_list<double>> rows) {
  std::vector<double> out;
  for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
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
// layout of the input.
TEST(DataInOutMessages, SymmetricRefusalsNameTheFirstOffendingElement) {
  const auto values = Rows({{1, 0, 1}, {0, 3, 5}, {2, 7, 3}});  // (0, 2)/(2, 0) and (1, 2)/(2, 1)
  for (Layout layout : kLayouts) {
    Matrix a(3, 3, MT::DoubleSymmetric);
    EXPECT_THROW_MSG(a.SetValues(layout == Layout::RowMajor ? values : Relaid(values, 3, 3, Layout::RowMajor), layout),
                     OrvaneException,
                     "The values are not symmetric: element (0, 2) = 1 but element (2, 0) = 2 (a pair may "
                     "differ by at most 100 eps max|a| = 1.5543122344752192e-13).");
  }
  Matrix band(3, 3, MT::DoubleSymmetricBand, 1, 1);
  EXPECT_THROW_MSG(band.SetValues(Rows({{1, 0, 0}, {0, 3, 5}, {0.5, 5, 3}}), Layout::RowMajor), OrvaneException,
                   "The values do not fit a symmetric band matrix with 1 off-diagonal on each side: "
                   "element (2, 0) = 0.5 is not zero.");
  Matrix tri(4, 4, MT::DoubleSymmetricTridiagonal);
  EXPECT_THROW_MSG(tri.SetValues(Relaid(Rows({{1, 0, 0, 0}, {0, 1, 0, -0.25}, {0, 0, 1, 0}, {0, 0, 0, 1}}), 4, 4,
                                        Layout::RowMajor),
                                 Layout::ColumnMajor),
                   OrvaneException,
                   "The values do not fit a symmetric tridiagonal matrix: element (1, 3) = -0.25 is not zero.");
  Matrix wide(5, 5, MT::DoubleSymmetricBand, 2, 2);
  EXPECT_THROW_MSG(wide.SetValues(std::vector<double>(25, 1.0), Layout::RowMajor), OrvaneException,
                   "The values do not fit a symmetric band matrix with 2 off-diagonals on each side: "
                   "element (0, 3) = 1 is not zero.");
}

TEST(DataInOutMessages, HermitianRefusalsNameTheFirstOffendingElement) {
  const Complex z(0, 0), one(1, 0);
  ComplexMatrix h(2, 2, MT::ComplexHermitian);
  const std::vector<Complex> notConjugate{one, Complex(1, 2), Complex(1, 2), one};
  EXPECT_THROW_MSG(h.SetValues(notConjugate, Layout::RowMajor), OrvaneException,
                   "The values are not Hermitian: element (0, 1) = (1,2) but element (1, 0) = (1,2) (element "
                   "(j, i) must be the conjugate of element (i, j) to within 100 eps max|a| = "
                   "4.965068306494546e-14).");
  const std::vector<Complex> complexDiagonal{one, z, z, Complex(2, 0.5)};
  EXPECT_THROW_MSG(h.SetValues(complexDiagonal, Layout::ColumnMajor), OrvaneException,
                   "The values are not Hermitian: diagonal element (1, 1) = (2,0.5) is not real (its imaginary "
                   "part may be at most 100 eps max|a| = 4.5775667985222375e-14).");
  ComplexMatrix band(3, 3, MT::ComplexHermitianBand, 1, 1);
  const std::vector<Complex> outside{one, z, Complex(0, -1), z, one, z, z, z, one};
  EXPECT_THROW_MSG(band.SetValues(outside, Layout::RowMajor), OrvaneException,
                   "The values do not fit a Hermitian band matrix with 1 off-diagonal on each side: element "
                   "(0, 2) = (0,-1) is not zero.");
}

// The general band and tridiagonal kinds raise their own out-of-pattern
// messages, for the first such element in row-major order.
TEST(DataInOutMessages, GeneralKindsRaiseTheirOwnOutOfPatternMessages) {
  Matrix band(4, 4, 1, 0);
  auto values = Rows({{1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 1}});
  values[2 * 4 + 0] = 7;  // (2, 0)
  values[1 * 4 + 3] = 8;  // (1, 3), earlier in row-major order
  for (Layout layout : kLayouts) {
    EXPECT_THROW_MSG(band.SetValues(layout == Layout::RowMajor ? values : Relaid(values, 4, 4, Layout::RowMajor), layout),
                     OrvaneException, "Value 8doesn't fit to (1, 3)");
  }
  ComplexMatrix complexBand(3, 3, 0, 1);
  std::vector<Complex> c(9);
  c[2 * 3 + 1] = Complex(0.5, -1);
  EXPECT_THROW_MSG(complexBand.SetValues(c, Layout::RowMajor), OrvaneException,
                   "Value (0.5000,-1.0000)doesn't fit to (2, 1)");
  Matrix tri(3, 3, 3);
  EXPECT_THROW_MSG(tri.SetValues(Rows({{1, 0, 2}, {0, 1, 0}, {0, 0, 1}}), Layout::RowMajor), OrvaneException,
                   "The specified element doesn't fit to tridiagonal matrix.");
  // Zeros of either sign are no fault; a NaN is.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  tri.SetValues(Rows({{1, 0, -0.0}, {0, 1, 0}, {-0.0, 0, 1}}), Layout::RowMajor);
  EXPECT_THROW(tri.SetValues(Rows({{1, 0, nan}, {0, 1, 0}, {0, 0, 1}}), Layout::RowMajor), OrvaneException);
}

// ---- Construction from data ----

TEST(DataInOutConstruction, InitializerListsBuildDenseMatricesRowByRow) {
  const Matrix a{{1, 2, 3}, {4, 5, 6}};
  EXPECT_EQ(a.get_Type(), MT::DoubleGeneral);
  EXPECT_EQ(a.ToVector(Layout::RowMajor), (std::vector<double>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(a.ToVector(Layout::ColumnMajor), (std::vector<double>{1, 4, 2, 5, 3, 6}));
  const Matrix row = {{0.5, -1}};
  EXPECT_EQ(row.get_RowNum(), 1);
  EXPECT_EQ(row.get_ColNum(), 2);
  const Matrix empty{};
  EXPECT_EQ(empty.get_RowNum(), 0);
  const Matrix noColumns{{}, {}};
  EXPECT_EQ(noColumns.get_RowNum(), 2);
  EXPECT_EQ(noColumns.get_ColNum(), 0);
  const Matrix shape{2, 3};  // still rows and columns, not a list
  EXPECT_EQ(shape.get_ColNum(), 3);
  EXPECT_THROW_MSG((Matrix{{1, 2, 3}, {4, 5}}), OrvaneException,
                   "The rows of the initializer list must have equal lengths: row 0 has 3 values, row 1 has 2.");

  const ComplexMatrix c{{Complex(1, 2), Complex(3, 4)}, {Complex(5, 6), Complex(7, 8)}};
  EXPECT_EQ(c.get_Type(), MT::ComplexGeneral);
  EXPECT_EQ(c.get_Item(1, 0), Complex(5, 6));
  EXPECT_EQ(c.get_Item(0, 1), Complex(3, 4));
  EXPECT_THROW_MSG((ComplexMatrix{{Complex(1, 2)}, {}}), OrvaneException,
                   "The rows of the initializer list must have equal lengths: row 0 has 1 values, row 1 has 0.");
}

TEST(DataInOutConstruction, FromValuesReadsEitherLayout) {
  const std::vector<double> rowMajor{1, 2, 3, 4, 5, 6};
  const Matrix a = Matrix::FromValues(2, 3, rowMajor, Layout::RowMajor);
  const Matrix b = Matrix::FromValues(2, 3, Relaid(rowMajor, 2, 3, Layout::RowMajor), Layout::ColumnMajor);
  for (const Matrix* m : {&a, &b}) {
    EXPECT_EQ(m->get_Type(), MT::DoubleGeneral);
    EXPECT_FALSE(m->get_IsFactorized());
    EXPECT_EQ(m->get_Item(1, 0), 4);
    EXPECT_EQ(m->get_Item(0, 2), 3);
  }
  // Rectangular shapes around the tiles, through GetValues again.
  std::mt19937 rng(17);
  for (auto [m, n] : std::vector<std::pair<int, int>>{{0, 5}, {5, 0}, {1, 40}, {40, 1}, {33, 65}, {70, 31}}) {
    std::vector<double> v(static_cast<std::size_t>(m) * n);
    for (double& x : v) x = RandomValue<double>(rng);
    for (Layout layout : kLayouts) {
      const Matrix f = Matrix::FromValues(m, n, v, layout);
      EXPECT_EQ(f.ToVector(layout), v);
      EXPECT_EQ(Matrix::Transpose(f).ToVector(layout == Layout::RowMajor ? Layout::ColumnMajor : Layout::RowMajor), v);
    }
  }
  const double c[2][2] = {{1, 2}, {3, 4}};  // a C array, row by row
  EXPECT_EQ(Matrix::FromValues(2, 2, std::span<const double>(&c[0][0], 4), Layout::RowMajor).get_Item(1, 0), 3);

  const std::vector<std::complex<double>> s{{1, 2}, {3, 4}};
  const ComplexMatrix z = ComplexMatrix::FromValues(1, 2, s, Layout::RowMajor);
  EXPECT_EQ(z.get_Item(0, 1), Complex(3, 4));
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
  EXPECT_THROW(h(0, 0) = std::complex<double>(1, 1), OrvaneException);  // the kind's own check still runs
}

}  // namespace
