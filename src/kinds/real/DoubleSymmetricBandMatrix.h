#pragma once

#include "kinds/BandBase.h"
#include "kinds/real/DoubleGeneralMatrix.h"

namespace OrvaneNet {

// A symmetric positive definite real band matrix of half-width ku, its upper
// band kept in LAPACK's layout (uplo 'U') and solved by band Cholesky
// (dpbtrf/dpbtrs/dpbsv). Writes outside the band are ignored.
class DoubleSymmetricBandMatrix final
    : public detail::SymmetricBandBase<DoubleSymmetricBandMatrix, double, IDoubleMatrix,
                                       DoubleGeneralMatrix> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleSymmetricBand;
  static constexpr const char* kInversionMessage = msg::BandInversion;
  // This kind shares the symmetric tridiagonal kind's wording.
  static constexpr const char* kNotPositiveDefiniteMessage =
      msg::SymmetricTridiagonalNotPositiveDefinite;

  // A zero band of order rownum. rownum != colnum or subnum != supernum, and
  // negative counts, raise OrvaneException before anything is allocated.
  DoubleSymmetricBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : SymmetricBandBase(rownum, colnum, subnum, supernum) {}
  DoubleSymmetricBandMatrix(const DoubleSymmetricBandMatrix&) = default;
};

}  // namespace OrvaneNet
