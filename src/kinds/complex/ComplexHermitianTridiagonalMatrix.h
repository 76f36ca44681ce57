#pragma once

#include "kinds/TridiagonalBase.h"

namespace OrvaneNet {

// The Hermitian twin of DoubleSymmetricTridiagonalMatrix: real diagonal d and
// superdiagonal e (the subdiagonal reads and writes as its conjugate),
// factorized as U^H*D*U by zpttrf and solved by zpttrs with uplo 'U'. A
// diagonal value with an imaginary part is refused. There is no one-call
// solve: SolveWithSimpleDriver always raises, so callers factorize first.
class ComplexHermitianTridiagonalMatrix final
    : public detail::HermitianTridiagonalBase<ComplexHermitianTridiagonalMatrix,
                                              lapack::doublecomplex> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexHermitianTridiagonal;

  ComplexHermitianTridiagonalMatrix(int rownum, int colnum)
      : HermitianTridiagonalBase(rownum, colnum) {}
};

}  // namespace OrvaneNet
