#pragma once

#include "kinds/TridiagonalBase.h"

namespace OrvaneNet {

// The complex twin of DoubleGeneralTridiagonalMatrix (zgttrf, zgttrs). A
// right-hand side that is not a ComplexGeneralMatrix fails the down-cast
// (std::bad_cast).
class ComplexGeneralTridiagonalMatrix final
    : public detail::GeneralTridiagonalBase<ComplexGeneralTridiagonalMatrix,
                                            lapack::doublecomplex, IComplexMatrix> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexGeneralTridiagonal;
  static constexpr const char* kInversionMessage = msg::ComplexTridiagonalInversion;
  static constexpr bool kTestsRhsType = false;

  // Zeros of order rownum; unequal or negative counts raise OrvaneException.
  ComplexGeneralTridiagonalMatrix(int rownum, int colnum)
      : GeneralTridiagonalBase(rownum, colnum) {}
  ComplexGeneralTridiagonalMatrix(const ComplexGeneralTridiagonalMatrix&) = default;

  std::unique_ptr<IComplexMatrix> Clone() const override {
    return std::make_unique<ComplexGeneralTridiagonalMatrix>(*this);
  }
};

}  // namespace OrvaneNet
