#pragma once

#include <vector>

#include "kinds/PackedBase.h"

namespace OrvaneNet {

// The real symmetric kind: the upper triangle packed by columns, Cholesky
// with a Bunch-Kaufman fallback, and the symmetric eigenproblems. Right-hand
// sides and results are DoubleGeneralMatrix objects.
class DoubleSymmetricMatrix final : public detail::PackedBase<DoubleSymmetricMatrix, double> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleSymmetric;

  // n x n zeros. Throws OrvaneException when rownum != colnum, when the
  // order is negative or when it is too large for LAPACK's packed indexing.
  DoubleSymmetricMatrix(int rownum, int colnum) : PackedBase(rownum, colnum) {}

  // Eigenvalues ascending into values[0..n-1] (values needs at least n
  // entries); with vectors (n x n DoubleGeneralMatrix) the orthonormal
  // eigenvector of values[k] into column k. Destroys this matrix's contents
  // and clears IsFactorized.
  void SolveSymmetricEigenproblem(std::vector<double>& values) {
    SolveEigenImpl(values, nullptr);
  }
  void SolveSymmetricEigenproblem(std::vector<double>& values, IMatrix& vectors) {
    SolveEigenImpl(values, &vectors);
  }

  // A x = lambda B x for this A and the positive definite b (a
  // DoubleSymmetricMatrix of the same order); eigenvectors normalized to
  // Z^T B Z = I. Destroys this matrix's contents and leaves B's Cholesky
  // factor in b.
  void SolveGeneralizedSymmetricDefiniteEigenproblem(IMatrix& b, std::vector<double>& values) {
    SolveGeneralizedEigenImpl(b, values, nullptr);
  }
  void SolveGeneralizedSymmetricDefiniteEigenproblem(IMatrix& b, std::vector<double>& values,
                                                     IMatrix& vectors) {
    SolveGeneralizedEigenImpl(b, values, &vectors);
  }

  // Eigenvalues into eigenValue (a DoubleGeneralMatrix with at least n
  // entries) and eigenvectors into eigenVector (n x n). LAPACK's status is
  // handed back in info instead of being raised: 0 success, < 0 illegal
  // argument, > 0 convergence failure. Shapes are still checked (and raise).
  void SPEV(IMatrix& eigenValue, IMatrix& eigenVector, int& info);
  // The same for A x = lambda B x; info > n means B is not positive definite.
  void SPGV(IMatrix& b, IMatrix& eigenValue, IMatrix& eigenVector, int& info);

 private:
  double* EigenvalueDat(IMatrix& eigenValue) const;
};

}  // namespace OrvaneNet
