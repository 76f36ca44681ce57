#pragma once

#include "kinds/BandBase.h"
#include "kinds/complex/ComplexGeneralMatrix.h"

namespace OrvaneNet {

// A square complex matrix with kl subdiagonals and ku superdiagonals, kept in
// LAPACK's general band layout and solved by band LU (zgbtrf/zgbtrs/zgbsv).
// LAPACK's info is not examined: a singular matrix yields non-finite solutions.
class ComplexGeneralBandMatrix final
    : public detail::GeneralBandBase<ComplexGeneralBandMatrix, lapack::doublecomplex,
                                     IComplexMatrix, ComplexGeneralMatrix> {
 public:
  static constexpr MatrixType kType = MatrixType::ComplexGeneralBand;
  static constexpr const char* kInversionMessage = msg::ComplexBandInversion;

  // A zero band of order rownum. Negative counts, and rownum != colnum,
  // raise OrvaneException before anything is allocated.
  ComplexGeneralBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : GeneralBandBase(rownum, colnum, subnum, supernum) {}
  ComplexGeneralBandMatrix(const ComplexGeneralBandMatrix&) = default;
};

}  // namespace OrvaneNet
