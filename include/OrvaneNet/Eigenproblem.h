#pragma once

#include <vector>

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Eigenvalues (ascending, always real) and eigenvectors (column j belongs to
/// value j) of real symmetric and complex Hermitian matrices, for A x = l x
/// and A x = l B x with B positive definite. The out-parameters are assigned
/// before LAPACK runs. a's storage is destroyed, and in the generalized
/// problem b's receives B's Cholesky factor; neither then reads as
/// factorized (a later Solve factorizes what they hold). Keep a Clone() if
/// needed.
/// Raises "Only double symmetric matrix is supported for this method." /
/// "Only complex hermitian matrix is supported for this method." for other
/// kinds (a tested first), OrvaneException for a b of another order, and the
/// LAPACK messages on failure.
class Eigenproblem {
 public:
  /// Static members only.
  Eigenproblem() = delete;

  /// Eigenvalues of the DoubleSymmetric a (LAPACK dspev).
  static void Solve(Matrix& a, std::vector<double>& resultValues);
  /// Eigenvalues and orthonormal eigenvectors (a new n x n dense matrix) of
  /// the DoubleSymmetric a.
  static void Solve(Matrix& a, std::vector<double>& resultValues, Matrix& resultVectors);
  /// Eigenvalues of A x = l B x, a and b DoubleSymmetric, B positive
  /// definite (LAPACK dspgv); b is overwritten by its Cholesky factor.
  static void Solve(Matrix& a, Matrix& b, std::vector<double>& resultValues);
  /// Eigenvalues and eigenvectors of A x = l B x, normalized so that
  /// Z^T B Z = I.
  static void Solve(Matrix& a, Matrix& b, std::vector<double>& resultValues,
                    Matrix& resultVectors);
  /// Eigenvalues of the ComplexHermitian a (LAPACK zhpev).
  static void Solve(ComplexMatrix& a, std::vector<double>& resultValues);
  /// Eigenvalues and unitary eigenvectors of the ComplexHermitian a.
  static void Solve(ComplexMatrix& a, std::vector<double>& resultValues,
                    ComplexMatrix& resultVectors);
  /// Eigenvalues of A x = l B x, a and b ComplexHermitian, B positive
  /// definite (LAPACK zhpgv); b is overwritten by its Cholesky factor.
  static void Solve(ComplexMatrix& a, ComplexMatrix& b, std::vector<double>& resultValues);
  /// Eigenvalues and eigenvectors of A x = l B x, normalized so that
  /// Z^H B Z = I.
  static void Solve(ComplexMatrix& a, ComplexMatrix& b, std::vector<double>& resultValues,
                    ComplexMatrix& resultVectors);
};

}  // namespace OrvaneNet
