#pragma once

#include "kinds/TridiagonalBase.h"

namespace OrvaneNet {

// The complex twin of DoubleGeneralTridiagonalMatrix (zgttrf, zgttrs). A
// right-hand side that is not a ComplexGeneralMatrix raises BadKindCast.
class ComplexGeneralTridiagonalMatrix final
    : public detail::GeneralTridiagonalBase<ComplexGeneralTridiagonalMatrix,
                                            lapack::doublecomplex> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexGeneralTridiagonal;

  ComplexGeneralTridiagonalMatrix(int rownum, int colnum)
      : GeneralTridiagonalBase(rownum, colnum) {}
};

}  // namespace OrvaneNet
