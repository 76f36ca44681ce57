#pragma once

#include <vector>

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

// Eigenvalues (ascending, always real) and eigenvectors (column j belongs to
// value j) of real symmetric and complex Hermitian matrices, for A x = l x
// and A x = l B x with B positive definite. The out-parameters are assigned
// before LAPACK runs. a's storage is destroyed, and in the generalized
// problem b's receives B's Cholesky factor; keep a Clone() if needed.
// Raises "Only double symmetric matrix is supported for this method." /
// "Only complex hermitian matrix is supported for this method." for other
// kinds (a tested first), OrvaneException for a b of another order, and the
// LAPACK messages on failure.
class Eigenproblem {
 public:
  Eigenproblem() = delete;

  static void Solve(Matrix& a, std::vector<double>& resultValues);
  static void Solve(Matrix& a, std::vector<double>& resultValues, Matrix& resultVectors);
  static void Solve(Matrix& a, Matrix& b, std::vector<double>& resultValues);
  static void Solve(Matrix& a, Matrix& b, std::vector<double>& resultValues,
                    Matrix& resultVectors);
  static void Solve(ComplexMatrix& a, std::vector<double>& resultValues);
  static void Solve(ComplexMatrix& a, std::vector<double>& resultValues,
                    ComplexMatrix& resultVectors);
  static void Solve(ComplexMatrix& a, ComplexMatrix& b, std::vector<double>& resultValues);
  static void Solve(ComplexMatrix& a, ComplexMatrix& b, std::vector<double>& resultValues,
                    ComplexMatrix& resultVectors);
};

}  // namespace OrvaneNet
