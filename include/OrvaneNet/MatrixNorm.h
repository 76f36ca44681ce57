#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Which matrix norm MatrixNorm::Compute takes (LAPACK's ?lange letters in
/// brackets).
enum class NormType {
  One,        ///< the largest column sum of |a(i, j)| ('1')
  Infinity,   ///< the largest row sum of |a(i, j)| ('I')
  Frobenius,  ///< the square root of the sum of |a(i, j)|^2 ('F')
  MaxAbs      ///< the largest |a(i, j)| ('M'; not a consistent matrix norm)
};

/// Matrix norms of every kind, computed by LAPACK's norm routine for the
/// kind's own storage (?lange, ?langb, ?langt, ?lansp / ?lanhp, ?lansb /
/// ?lanhb, ?lanst / ?lanht) without a dense copy.
class MatrixNorm {
 public:
  /// Static members only.
  MatrixNorm() = delete;

  /// The norm of a's elements; 0 for an empty matrix, NaN when an element
  /// is NaN. A factorized matrix holds its factors instead of its elements
  /// and raises OrvaneException; after Inv() the storage holds the inverse,
  /// and its norm is computed. The symmetric and Hermitian kinds read the
  /// upper triangle (band) and its mirror, as get_Item does; the Hermitian
  /// kinds count only the real part of a diagonal element, which is all
  /// their LAPACK routines read. A disposed or moved-from handle raises.
  static double Compute(const Matrix& a, NormType type);
  /// The same for a complex matrix.
  static double Compute(const ComplexMatrix& a, NormType type);
};

}  // namespace OrvaneNet
