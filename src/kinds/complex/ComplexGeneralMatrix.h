#pragma once

#include "kinds/DenseGeneralBase.h"

namespace OrvaneNet {

// The complex twin of DoubleGeneralMatrix, and the carrier of every complex
// right-hand side and result.
class ComplexGeneralMatrix final
    : public detail::DenseGeneralBase<ComplexGeneralMatrix, lapack::doublecomplex> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexGeneral;

  ComplexGeneralMatrix(int rownum, int colnum) : DenseGeneralBase(rownum, colnum) {}
  ComplexGeneralMatrix(int rownum, int colnum, detail::ForOverwrite tag)
      : DenseGeneralBase(rownum, colnum, tag) {}

  // A = U S V^H: the min(m, n) singular values (as real + 0i) onto the
  // diagonal of smat, U into the m x m umat, V^H into the n x n vtmat.
  // Destroys this matrix's contents.
  void SolveSVD(IComplexMatrix& smat, IComplexMatrix& umat, IComplexMatrix& vtmat) {
    SolveSVDImpl(smat, umat, vtmat);
  }
};

}  // namespace OrvaneNet
