#pragma once

#include <vector>

#include "kinds/PackedBase.h"

namespace OrvaneNet {

// The Hermitian kind: the upper triangle packed by columns (an element below
// the diagonal reads as the conjugate of its mirror), Cholesky with a
// Bunch-Kaufman fallback, and the Hermitian eigenproblems. Right-hand sides
// and eigenvectors are ComplexGeneralMatrix objects.
class ComplexHermitianMatrix final
    : public detail::PackedBase<ComplexHermitianMatrix, lapack::doublecomplex> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexHermitian;

  // n x n zeros. Throws OrvaneException when rownum != colnum, when the
  // order is negative or when it is too large for LAPACK's packed indexing.
  ComplexHermitianMatrix(int rownum, int colnum) : PackedBase(rownum, colnum) {}

  // Real eigenvalues ascending into values[0..n-1] (at least n entries);
  // with vectors (n x n ComplexGeneralMatrix) the orthonormal eigenvector of
  // values[k] into column k. Destroys this matrix's contents, clears IsFactorized.
  void SolveHermitianEigenproblem(std::vector<double>& values) { SolveEigenImpl(values, nullptr); }
  void SolveHermitianEigenproblem(std::vector<double>& values, IMatrix& vectors) {
    SolveEigenImpl(values, &vectors);
  }

  // A x = lambda B x for this A and the positive definite b (a
  // ComplexHermitianMatrix of the same order); eigenvectors normalized to
  // Z^H B Z = I. Destroys this matrix's contents and leaves B's Cholesky
  // factor in b.
  void SolveGeneralizedHermitianDefiniteEigenproblem(IMatrix& b, std::vector<double>& values) {
    SolveGeneralizedEigenImpl(b, values, nullptr);
  }
  void SolveGeneralizedHermitianDefiniteEigenproblem(IMatrix& b, std::vector<double>& values,
                                                     IMatrix& vectors) {
    SolveGeneralizedEigenImpl(b, values, &vectors);
  }
};

}  // namespace OrvaneNet
