#pragma once

#include "kinds/BandBase.h"

namespace OrvaneNet {

// A square real matrix with kl subdiagonals and ku superdiagonals, kept in
// LAPACK's general band layout and solved by band LU (dgbtrf/dgbtrs/dgbsv).
// LAPACK's info is not examined: a singular matrix yields non-finite solutions.
class DoubleGeneralBandMatrix final
    : public detail::GeneralBandBase<DoubleGeneralBandMatrix, double> {
 public:
  static constexpr MatrixType kType = MatrixType::DoubleGeneralBand;

  // A zero band of order rownum. Negative counts, and rownum != colnum,
  // raise OrvaneException before anything is allocated.
  DoubleGeneralBandMatrix(int rownum, int colnum, int subnum, int supernum)
      : GeneralBandBase(rownum, colnum, subnum, supernum) {}
};

}  // namespace OrvaneNet
