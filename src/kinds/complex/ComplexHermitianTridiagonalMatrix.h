#pragma once

#include "kinds/TridiagonalBase.h"

namespace OrvaneNet {

// A Hermitian positive definite tridiagonal matrix: real diagonal d and
// superdiagonal e (the subdiagonal reads and writes as its conjugate),
// factorized as U^H*D*U by zpttrf and solved by zpttrs with uplo 'U'. A
// diagonal value with an imaginary part is refused; writes outside the three
// diagonals are ignored. There is no one-call solve: SolveWithSimpleDriver
// always raises, so callers factorize first.
class ComplexHermitianTridiagonalMatrix final
    : public detail::HermitianTridiagonalBase<ComplexHermitianTridiagonalMatrix,
                                              lapack::doublecomplex, IComplexMatrix> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexHermitianTridiagonal;
  static constexpr const char* kNotPositiveDefiniteMessage =
      msg::HermitianTridiagonalNotPositiveDefinite;

  // Zeros of order rownum; unequal or negative counts raise OrvaneException.
  ComplexHermitianTridiagonalMatrix(int rownum, int colnum)
      : HermitianTridiagonalBase(rownum, colnum) {}
  ComplexHermitianTridiagonalMatrix(const ComplexHermitianTridiagonalMatrix&) = default;

  std::unique_ptr<IComplexMatrix> Clone() const override {
    return std::make_unique<ComplexHermitianTridiagonalMatrix>(*this);
  }
};

}  // namespace OrvaneNet
