#pragma once

#include "kinds/DenseGeneralBase.h"

namespace OrvaneNet {

// The dense general complex kind, and the carrier of every complex
// right-hand side and result: other kinds pass Dat() straight to LAPACK.
class ComplexGeneralMatrix final
    : public detail::DenseGeneralBase<ComplexGeneralMatrix, lapack::doublecomplex,
                                      IComplexMatrix> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexGeneral;

  // rownum x colnum zeros; negative counts raise OrvaneException.
  ComplexGeneralMatrix(int rownum, int colnum) : DenseGeneralBase(rownum, colnum) {}
  ComplexGeneralMatrix(const ComplexGeneralMatrix&) = default;

  std::unique_ptr<IComplexMatrix> Clone() const override {
    return std::make_unique<ComplexGeneralMatrix>(*this);
  }

  // A = U S V^H: the min(m, n) singular values (as real + 0i) onto the
  // diagonal of smat, U into the m x m umat, V^H into the n x n vtmat.
  // Destroys this matrix's contents.
  void SolveSVD(IComplexMatrix& smat, IComplexMatrix& umat, IComplexMatrix& vtmat) {
    SolveSVDImpl(smat, umat, vtmat);
  }

 private:
  template <class, class, class>
  friend class detail::DenseGeneralBase;
};

}  // namespace OrvaneNet
