// Element-wise arithmetic and transposes over operands of every kind: each
// result element must be, bit for bit, the one operation on the elements
// get_Item reads (factors too, for a factorized operand), special values
// included; and the new overloads must leave every existing call meaning
// what it meant.
#include <OrvaneNet/BadKindCast.h>
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/FFT.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/OrvaneException.h>

#include <functional>
#include <limits>

#include "KindCases.h"

using namespace OrvaneNet;
using namespace orvane_test;

// Operands of unevaluated expressions, never defined.
Matrix& R();
ComplexMatrix& C();

namespace {

// The overloads a caller writes today still resolve as before.
template <class A, class B>
concept Multipliable = requires(const A& a, const B& b) { a * b; };
static_assert(std::is_same_v<decltype(2.0 * R()), Matrix>);
static_assert(std::is_same_v<decltype(R() * 2.0), Matrix>);
static_assert(std::is_same_v<decltype(R() * 2), Matrix>);
static_assert(std::is_same_v<decltype(R() * R()), Matrix>);
static_assert(std::is_same_v<decltype(Complex(1, 2) * C()), ComplexMatrix>);
static_assert(std::is_same_v<decltype(C() * Complex(1, 2)), ComplexMatrix>);
static_assert(std::is_same_v<decltype(2.0 * C()), ComplexMatrix>);
static_assert(std::is_same_v<decltype(C() / 2.0), ComplexMatrix>);
static_assert(std::is_same_v<decltype(Complex(1, 2) * 2.0), Complex>);
static_assert(!Multipliable<Matrix, ComplexMatrix>);
static_assert(std::is_same_v<decltype(FFT::Forward({})), std::vector<Complex>>);
static_assert(std::is_same_v<decltype(FFT::Forward({Complex(1, 0)})), std::vector<Complex>>);

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

template <class K>
class Arithmetic : public ::testing::Test {};
TYPED_TEST_SUITE(Arithmetic, AllKinds);

// A matrix of kind K holding random values with special ones mixed in:
// signed zeros, a subnormal, infinities and a NaN (paired as the kind needs).
template <class K>
typename K::Handle Operand(int n, std::mt19937& rng, bool factorize) {
  using E = typename K::Element;
  auto a = KindValues<K>(n, rng, factorize ? n + 1.0 : 0.0);
  if (!factorize && n >= 4) {
    const double specials[] = {-0.0, 0x1p-1070, kInf, -kInf, kNaN};
    int k = 0;
    for (int i = 0; i + 1 < n && k < 5; ++i) {
      const E v = E(specials[k++]);
      a[static_cast<std::size_t>(i) * n + i + 1] = v;  // the superdiagonal is in every pattern
      if (K::kSymmetric) a[static_cast<std::size_t>(i + 1) * n + i] = Conj(v);
    }
  }
  auto h = K::Make(n);
  h.SetValues(a, Layout::RowMajor);
  if (factorize) LinearEquation::Factorize(h);
  return h;
}

// Every kind of the same field as K, filled by Operand.
template <class K>
auto Partners() {
  using H = typename K::Handle;
  return []<int... Form>(std::integer_sequence<int, Form...>) {
    return std::vector<std::function<H(int, std::mt19937&, bool)>>{Operand<KindCase<H, Form>>...};
  }(std::make_integer_sequence<int, 6>());
}

double Negated(double v) { return -v; }
Complex Negated(Complex v) { return Complex(-v.get_Real(), -v.get_Imag()); }

template <class H>
void ExpectDenseGeneral(const H& r, int rows, int cols) {
  EXPECT_EQ(r.get_Type(), (std::is_same_v<H, Matrix> ? MT::DoubleGeneral : MT::ComplexGeneral));
  EXPECT_FALSE(r.get_IsFactorized());
  ASSERT_EQ(r.get_RowNum(), rows);
  ASSERT_EQ(r.get_ColNum(), cols);
}

// r(i, j) is f(i, j) bit for bit, for every element.
template <class H, class F>
void ExpectElements(const H& r, F f) {
  for (int i = 0; i < r.get_RowNum(); ++i)
    for (int j = 0; j < r.get_ColNum(); ++j)
      ASSERT_TRUE(SameBits(r.get_Item(i, j), f(i, j))) << i << "," << j;
}

// Sums and differences with every kind of the field, negation, scalars and
// transposes. Order 6 and up holds all five special values.
TYPED_TEST(Arithmetic, ResultsAreElementExact) {
  std::mt19937 rng(21);
  for (int n : {0, 1, 6, 40}) {
    for (bool factorize : {false, true}) {
      const auto a = Operand<TypeParam>(n, rng, factorize);
      for (const auto& partner : Partners<TypeParam>()) {
        const auto b = partner(n, rng, !factorize);
        const auto sum = a + b, difference = a - b, reversed = b - a;
        ExpectDenseGeneral(sum, n, n);
        ExpectElements(sum, [&](int i, int j) { return a.get_Item(i, j) + b.get_Item(i, j); });
        ExpectElements(difference,
                       [&](int i, int j) { return a.get_Item(i, j) - b.get_Item(i, j); });
        ExpectElements(reversed, [&](int i, int j) { return b.get_Item(i, j) - a.get_Item(i, j); });
      }
      const auto twice = a + a;
      ExpectElements(twice, [&](int i, int j) { return a.get_Item(i, j) + a.get_Item(i, j); });
      const auto negated = -a;
      ExpectDenseGeneral(negated, n, n);
      ExpectElements(negated, [&](int i, int j) { return Negated(a.get_Item(i, j)); });
      for (double s : {2.5, -0.0, 3.0, kInf}) {
        ExpectElements(a * s, [&](int i, int j) { return a.get_Item(i, j) * s; });
        ExpectElements(a / s, [&](int i, int j) { return a.get_Item(i, j) / s; });
        ExpectElements(s * a, [&](int i, int j) { return s * a.get_Item(i, j); });
      }
      const auto t = TypeParam::Handle::Transpose(a);
      ExpectDenseGeneral(t, n, n);
      ExpectElements(t, [&](int i, int j) { return a.get_Item(j, i); });
      if constexpr (TypeParam::kComplex) {
        for (Complex s : {Complex(0.5, -2), Complex(0, 1), Complex(kInf, 0)}) {
          ExpectElements(a * s, [&](int i, int j) { return a.get_Item(i, j) * s; });
          ExpectElements(a / s, [&](int i, int j) { return a.get_Item(i, j) / s; });
        }
        const auto h = ComplexMatrix::ConjugateTranspose(a);
        ExpectDenseGeneral(h, n, n);
        ExpectElements(h, [&](int i, int j) { return Complex::Conj(a.get_Item(j, i)); });
      }
    }
  }
}

TEST(ArithmeticShapes, RectangularOperandsAndMismatches) {
  std::mt19937 rng(24);
  std::vector<double> v(6);
  for (double& x : v) x = RandomValue<double>(rng);
  const Matrix a = Matrix::FromValues(2, 3, v, Layout::RowMajor);
  const Matrix t = Matrix::Transpose(a);
  ExpectDenseGeneral(t, 3, 2);
  ExpectElements(t, [&](int i, int j) { return a.get_Item(j, i); });
  EXPECT_THROW_MSG(a + t, OrvaneException,
                   "The matrices must have the same shape: 2 x 3 and 3 x 2.");
  EXPECT_THROW_MSG(a - Matrix(2, 2), OrvaneException,
                   "The matrices must have the same shape: 2 x 3 and 2 x 2.");
  const ComplexMatrix c(3, 3, MT::ComplexHermitian);
  EXPECT_THROW_MSG(c + ComplexMatrix(3, 1), OrvaneException,
                   "The matrices must have the same shape: 3 x 3 and 3 x 1.");
  Matrix gone(2, 3);
  gone.Dispose();
  EXPECT_THROW_MSG(a + gone, OrvaneException,
                   "This matrix has been disposed or moved from and can no longer be used.");
  EXPECT_THROW_MSG(Matrix::Transpose(gone), OrvaneException,
                   "This matrix has been disposed or moved from and can no longer be used.");
}

// A wrong-kind right-hand side raises a BadKindCast that says what it is;
// catching std::bad_cast still works.
TEST(ArithmeticShapes, WrongKindRightHandSidesSayWhatTheyAre) {
  Matrix a{{4, 1}, {1, 3}};
  Matrix band(2, 2, MT::DoubleSymmetricBand, 1, 1);
  const std::string message =
      "The right-hand side must be a dense general matrix; it is a DoubleSymmetricBand matrix.";
  EXPECT_THROW_MSG(LinearEquation::Solve(a, band), BadKindCast, message);
  try {
    LinearEquation::Factorize(a);
    LinearEquation::Solve(a, band);
    ADD_FAILURE() << "no exception";
  } catch (const std::bad_cast& e) {
    EXPECT_EQ(e.what(), message);
    const auto* kind = dynamic_cast<const BadKindCast*>(&e);
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->get_Expected(), MT::DoubleGeneral);
    EXPECT_EQ(kind->get_Given(), MT::DoubleSymmetricBand);
  }
  ComplexMatrix t = Filled(ComplexMatrix(2, 2, 3)), b(2, 2, MT::ComplexHermitian);
  EXPECT_THROW_MSG(LinearEquation::Solve(t, b), BadKindCast,
                   "The right-hand side must be a dense general matrix; it is a ComplexHermitian "
                   "matrix.");
}

}  // namespace
