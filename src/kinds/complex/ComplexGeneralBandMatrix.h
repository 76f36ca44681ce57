#pragma once

#include "kinds/BandBase.h"

namespace OrvaneNet {

// The complex twin of DoubleGeneralBandMatrix (zgbtrf/zgbtrs/zgbsv).
class ComplexGeneralBandMatrix final
    : public detail::GeneralBandBase<ComplexGeneralBandMatrix, lapack::doublecomplex> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexGeneralBand;

  ComplexGeneralBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : GeneralBandBase(rownum, colnum, subnum, supernum) {}
};

}  // namespace OrvaneNet
