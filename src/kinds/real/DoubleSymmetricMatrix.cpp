#include "kinds/real/DoubleSymmetricMatrix.h"

namespace OrvaneNet {

double* DoubleSymmetricMatrix::EigenvalueDat(IMatrix& eigenValue) const {
  auto& w = dynamic_cast<DoubleGeneralMatrix&>(eigenValue);
  RequireEigenvalueRoom(static_cast<std::int64_t>(w.get_RowNum()) * w.get_ColNum(),
                        "Matrix eigenValue");
  return w.View().data();
}

void DoubleSymmetricMatrix::SPEV(IMatrix& eigenValue, IMatrix& eigenVector, int& info) {
  double* w = EigenvalueDat(eigenValue);
  double* z = VectorsDat(eigenVector);
  info = RunEigen(w, z);
}

void DoubleSymmetricMatrix::SPGV(IMatrix& b, IMatrix& eigenValue, IMatrix& eigenVector,
                                 int& info) {
  auto& bmat = dynamic_cast<DoubleSymmetricMatrix&>(b);
  double* w = EigenvalueDat(eigenValue);
  double* z = VectorsDat(eigenVector);
  info = RunGeneralizedEigen(bmat, w, z);
}

}  // namespace OrvaneNet
