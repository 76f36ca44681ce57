#pragma once

#include "kinds/BandBase.h"

namespace OrvaneNet {

// The Hermitian twin of DoubleSymmetricBandMatrix (zpbtrf/zpbtrs/zpbsv): an
// element below the diagonal is the conjugate of its stored mirror;
// a diagonal element with an imaginary part is refused.
class ComplexHermitianBandMatrix final
    : public detail::SymmetricBandBase<ComplexHermitianBandMatrix, lapack::doublecomplex> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexHermitianBand;

  ComplexHermitianBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : SymmetricBandBase(rownum, colnum, subnum, supernum) {}
};

}  // namespace OrvaneNet
