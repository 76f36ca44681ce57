#pragma once

#include "kinds/DenseGeneralBase.h"

namespace OrvaneNet {

// The dense general real kind, and the carrier of every real right-hand side
// and result: other kinds hand its View() straight to LAPACK.
class DoubleGeneralMatrix final : public detail::DenseGeneralBase<DoubleGeneralMatrix, double> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleGeneral;

  // rownum x colnum zeros; negative counts raise OrvaneException.
  DoubleGeneralMatrix(int rownum, int colnum) : DenseGeneralBase(rownum, colnum) {}
  // rownum x colnum left uninitialized, for a caller that fills every element.
  DoubleGeneralMatrix(int rownum, int colnum, detail::ForOverwrite tag)
      : DenseGeneralBase(rownum, colnum, tag) {}

  // Least-squares (m >= n) or minimum-norm (m < n) solution of op(A) X = B
  // with dgels. b must have max(m, n) rows; its first n rows receive X and,
  // when m > n, rows n..m-1 the residual components. Destroys this matrix's
  // contents and clears IsFactorized.
  void SolveLeastSquare(char trans, IMatrix& b);

  // A = U S V^T: the min(m, n) singular values onto the diagonal of smat
  // (any real kind, at least that size), U into the m x m umat and V^T into
  // the n x n vtmat (both dense general). Destroys this matrix's contents.
  void SolveSVD(IDoubleMatrix& smat, IDoubleMatrix& umat, IDoubleMatrix& vtmat) {
    SolveSVDImpl(smat, umat, vtmat);
  }
};

}  // namespace OrvaneNet
