#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

class SingularValueDecomposition {
 public:
  SingularValueDecomposition() = delete;

  // A = U S V^T (V^H for complex) for a dense general m x n a: resultSigma
  // m x n with the singular values descending on its diagonal (imaginary
  // parts 0), resultU m x m, resultVT n x n, all new dense general matrices
  // assigned before LAPACK runs. a's contents are destroyed; IsFactorized is
  // unchanged. Raises "Only general matrix is supported." for other kinds and
  // "bidiagonal form B did not converge to zero." on failure.
  static void Decompose(Matrix& a, Matrix& resultSigma, Matrix& resultU, Matrix& resultVT);
  static void Decompose(ComplexMatrix& a, ComplexMatrix& resultSigma, ComplexMatrix& resultU,
                        ComplexMatrix& resultVT);
};

}  // namespace OrvaneNet
