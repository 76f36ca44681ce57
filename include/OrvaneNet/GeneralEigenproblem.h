#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Eigenvalues and right eigenvectors (A v = l v) of square dense general
/// matrices, real (LAPACK dgeev) or complex (zgeev), for any matrix, not
/// only symmetric or Hermitian ones: the eigenvalues are complex in general.
///
/// - a must be dense general ("Only general matrix is supported.") and
///   square ("Matrix size m != n is not supported."). Its contents are
///   destroyed (the routine reduces it in place, as the SVD does); its
///   IsFactorized flag is unchanged. Keep a Clone() if you need A.
/// - resultValues is assigned a new n x 1 dense complex matrix holding the
///   eigenvalues in LAPACK's order (not sorted; a real matrix's complex
///   conjugate pairs come next to each other, positive imaginary part first).
/// - resultVectors is assigned a new n x n dense complex matrix whose column
///   k is the right eigenvector of eigenvalue k, of unit 2-norm with its
///   largest component real (LAPACK's normalization). For a real matrix a
///   conjugate pair of eigenvalues gets the conjugate pair of vectors
///   v and conj(v), both written out as complex columns.
/// - A result that is the same object as a, or as the other result, is
///   refused with "A result matrix must be a different object from the input
///   matrices." before anything is touched. The results are assigned before
///   LAPACK runs; if the QR algorithm does not converge, OrvaneException is
///   raised, resultValues then holds the eigenvalues that converged (from the
///   index the message names on, zeros before it) and resultVectors zeros.
class GeneralEigenproblem {
 public:
  /// Static members only.
  GeneralEigenproblem() = delete;

  /// Eigenvalues of the real dense general a.
  static void Solve(Matrix& a, ComplexMatrix& resultValues);
  /// Eigenvalues and right eigenvectors of the real dense general a.
  static void Solve(Matrix& a, ComplexMatrix& resultValues, ComplexMatrix& resultVectors);
  /// Eigenvalues of the complex dense general a.
  static void Solve(ComplexMatrix& a, ComplexMatrix& resultValues);
  /// Eigenvalues and right eigenvectors of the complex dense general a.
  static void Solve(ComplexMatrix& a, ComplexMatrix& resultValues, ComplexMatrix& resultVectors);
};

}  // namespace OrvaneNet
