// Faults that only sequences of operations showed (found by the stateful test
// in tests/stateful): each operation either does its whole work or leaves
// everything as it was, and never reports a state it does not hold.
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/LinearEquation.h>
#include <OrvaneNet/Matrix.h>

#include <functional>
#include <string>

#include "TestUtil.h"

using namespace OrvaneNet;
using orvane_test::ElementOf;

namespace {

// The twelve kinds, each as an order-n zero matrix of the handle H.
template <class H>
struct KindRow {
  const char* name;
  std::function<H(int)> make;
};

template <class H>
MatrixType Kind(MatrixType real) {
  return static_cast<MatrixType>(static_cast<int>(real) + (std::is_same_v<H, Matrix> ? 0 : 6));
}

template <class H>
std::vector<KindRow<H>> Kinds() {
  using MT = MatrixType;
  return {
      {"general", [](int n) { return H(n, n); }},
      {"band", [](int n) { return H(n, n, 1, 1); }},
      {"tridiagonal", [](int n) { return H(n, n, 3); }},
      {"symmetric", [](int n) { return H(n, n, Kind<H>(MT::DoubleSymmetric)); }},
      {"symmetric band", [](int n) { return H(n, n, Kind<H>(MT::DoubleSymmetricBand), 1, 1); }},
      {"symmetric tridiagonal",
       [](int n) { return H(n, n, Kind<H>(MT::DoubleSymmetricTridiagonal)); }},
  };
}

// Writes the rows (the symmetric kinds see each pair twice, same value).
template <class H>
H Filled(H a, std::initializer_list<std::initializer_list<double>> rows) {
  int i = 0;
  for (auto& row : rows) {
    int j = 0;
    for (double v : row) a(i, j++) = ElementOf<H>(v);
    ++i;
  }
  return a;
}

template <class H>
H Column(std::initializer_list<double> values) {
  H b(static_cast<int>(values.size()), 1);
  int i = 0;
  for (double v : values) b(i++, 0) = ElementOf<H>(v);
  return b;
}

bool IsComplexHermitianTridiagonal(const Matrix&) { return false; }
bool IsComplexHermitianTridiagonal(const ComplexMatrix& a) {
  return a.get_Type() == MatrixType::ComplexHermitianTridiagonal;
}

template <class H>
class SoundBehaviour : public testing::Test {};
using Handles = testing::Types<Matrix, ComplexMatrix>;
TYPED_TEST_SUITE(SoundBehaviour, Handles);

// A one-call solve with no right-hand side still factorizes: the next Solve
// uses true factors. (OpenBLAS's ?gesv returns at once for nrhs = 0.)
TYPED_TEST(SoundBehaviour, SolveWithoutColumnsFactorizes) {
  using H = TypeParam;
  for (const auto& kind : Kinds<H>()) {
    SCOPED_TRACE(kind.name);
    H a = Filled(kind.make(2), {{4, 2}, {2, 4}});
    if (a.get_Type() == Kind<H>(MatrixType::DoubleGeneral)) a = Filled(kind.make(2), {{4, 2}, {3, 4}});
    if (IsComplexHermitianTridiagonal(a)) continue;  // refuses every one-call solve
    const double b1 = a(1, 0) == ElementOf<H>(3) ? 7 : 6;
    H none(2, 0);
    LinearEquation::Solve(a, none);
    EXPECT_TRUE(a.get_IsFactorized());
    H b = Column<H>({6, b1});
    LinearEquation::Solve(a, b);
    orvane_test::ExpectEntriesNear(b, {{1}, {1}}, 8 * orvane_test::Eps());
  }
}

}  // namespace
