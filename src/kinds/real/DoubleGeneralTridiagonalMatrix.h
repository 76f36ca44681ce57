#pragma once

#include "kinds/TridiagonalBase.h"

namespace OrvaneNet {

// A square real matrix with nonzeros on the main diagonal and the first sub-
// and superdiagonal only, stored as the arrays dl, d, du of LAPACK's dgttrf,
// plus du2 and ipiv for the factors. Factorize, Solve and the one-call solve
// never examine info: a singular matrix gives non-finite solutions.
// Right-hand sides must be DoubleGeneralMatrix ("Matrix b must be general
// matrix." otherwise) with RowNum rows.
class DoubleGeneralTridiagonalMatrix final
    : public detail::GeneralTridiagonalBase<DoubleGeneralTridiagonalMatrix, double> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleGeneralTridiagonal;

  // Zeros of order rownum; unequal or negative counts raise OrvaneException.
  DoubleGeneralTridiagonalMatrix(int rownum, int colnum) : GeneralTridiagonalBase(rownum, colnum) {}
};

}  // namespace OrvaneNet
