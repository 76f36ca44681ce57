#include "kinds/BandBase.h"

#include <climits>

namespace OrvaneNet::detail {
namespace {

// LAPACK takes the leading dimension as a 32-bit integer.
int FitLeadingDimension(std::int64_t ldab) {
  if (ldab > INT_MAX) throw OrvaneException(msg::BandTooWide);
  return static_cast<int>(ldab);
}

}  // namespace

int GeneralBandLeadingDimension(int rownum, int colnum, int subnum, int supernum) {
  RequireNonNegative(rownum, colnum);
  if (subnum < 0 || supernum < 0) throw OrvaneException(msg::NegativeBandCount);
  // The storage holds rownum columns while LAPACK is given colnum: only a
  // square shape keeps both inside ab.
  if (rownum != colnum) throw OrvaneException(msg::GeneralNotSquare);
  return FitLeadingDimension(2 * static_cast<std::int64_t>(subnum) + supernum + 1);
}

int SymmetricBandLeadingDimension(int rownum, int colnum, int subnum, int supernum) {
  if (rownum != colnum || subnum != supernum) throw OrvaneException(msg::SymmetricNotSquare);
  RequireNonNegative(rownum, colnum);
  if (supernum < 0) throw OrvaneException(msg::NegativeBandCount);
  return FitLeadingDimension(static_cast<std::int64_t>(supernum) + 1);
}

void ThrowOutOfBand(const std::string& valueText, int i, int j) {
  throw OrvaneException(msg::BandValuePrefix + valueText + msg::BandValueMiddle +
                        std::to_string(i) + msg::IndexSeparator + std::to_string(j) +
                        msg::BandValueSuffix);
}

}  // namespace OrvaneNet::detail
