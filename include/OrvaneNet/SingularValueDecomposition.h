#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Singular value decomposition of dense general matrices (LAPACK dgesvd,
/// zgesvd) with all left and right singular vectors.
class SingularValueDecomposition {
 public:
  /// Static members only.
  SingularValueDecomposition() = delete;

  /// A = U S V^T (V^H for complex) for a dense general m x n a: resultSigma
  /// m x n with the singular values descending on its diagonal (imaginary
  /// parts 0), resultU m x m, resultVT n x n, all new dense general matrices
  /// assigned before LAPACK runs. a's contents are destroyed and it no longer
  /// reads as factorized. Raises "Only general matrix is supported." for other kinds and
  /// "bidiagonal form B did not converge to zero." on failure.
  static void Decompose(Matrix& a, Matrix& resultSigma, Matrix& resultU, Matrix& resultVT);
  /// The same for a complex a: A = U S V^H, the singular values real.
  static void Decompose(ComplexMatrix& a, ComplexMatrix& resultSigma, ComplexMatrix& resultU,
                        ComplexMatrix& resultVT);
};

}  // namespace OrvaneNet
