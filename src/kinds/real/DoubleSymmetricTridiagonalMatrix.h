#pragma once

#include "kinds/TridiagonalBase.h"

namespace OrvaneNet {

// A symmetric positive definite tridiagonal real matrix: diagonal d and
// off-diagonal e, factorized as L*D*L^T by dpttrf (one-call solve: dptsv).
// An indefinite matrix raises the not-positive-definite message and leaves
// the arrays as they were and IsFactorized false. Writes outside the three
// diagonals are ignored. Right-hand sides are DoubleGeneralMatrix.
class DoubleSymmetricTridiagonalMatrix final
    : public detail::HermitianTridiagonalBase<DoubleSymmetricTridiagonalMatrix, double> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleSymmetricTridiagonal;

  // Zeros of order rownum; unequal or negative counts raise OrvaneException.
  DoubleSymmetricTridiagonalMatrix(int rownum, int colnum)
      : HermitianTridiagonalBase(rownum, colnum) {}
};

}  // namespace OrvaneNet
