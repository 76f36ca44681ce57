#pragma once

#include "kinds/BandBase.h"

namespace OrvaneNet {

// A symmetric positive definite real band matrix of half-width ku, its upper
// band kept in LAPACK's layout (uplo 'U') and solved by band Cholesky
// (dpbtrf/dpbtrs/dpbsv). Writes outside the band are ignored.
class DoubleSymmetricBandMatrix final
    : public detail::SymmetricBandBase<DoubleSymmetricBandMatrix, double> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleSymmetricBand;

  // A zero band of order rownum. rownum != colnum or subnum != supernum, and
  // negative counts, raise OrvaneException before anything is allocated.
  DoubleSymmetricBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : SymmetricBandBase(rownum, colnum, subnum, supernum) {}
};

}  // namespace OrvaneNet
