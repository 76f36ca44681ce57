#pragma once

#include "kinds/BandBase.h"
#include "kinds/complex/ComplexGeneralMatrix.h"

namespace OrvaneNet {

// A Hermitian positive definite band matrix of half-width kd, its upper band
// kept in LAPACK's layout (uplo 'U') and solved by band Cholesky
// (zpbtrf/zpbtrs/zpbsv). An element below the diagonal is the conjugate of
// its stored mirror; a diagonal element with an imaginary part is refused;
// writes outside the band are ignored.
class ComplexHermitianBandMatrix final
    : public detail::SymmetricBandBase<ComplexHermitianBandMatrix, lapack::doublecomplex,
                                       IComplexMatrix, ComplexGeneralMatrix> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexHermitianBand;
  static constexpr const char* kInversionMessage = msg::BandInversion;
  static constexpr const char* kNotPositiveDefiniteMessage =
      msg::HermitianBandNotPositiveDefinite;

  // A zero band of order rownum. rownum != colnum or subnum != supernum, and
  // negative counts, raise OrvaneException before anything is allocated.
  ComplexHermitianBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : SymmetricBandBase(rownum, colnum, subnum, supernum) {}
  ComplexHermitianBandMatrix(const ComplexHermitianBandMatrix&) = default;
};

}  // namespace OrvaneNet
