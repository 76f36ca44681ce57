#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Solves A X = B for every matrix kind. The factors stay in A (which is then
/// factorized), so later right-hand sides reuse them; writing an element of
/// A makes the next Solve factorize again.
class LinearEquation {
 public:
  /// Static members only.
  LinearEquation() = delete;

  /// Factorizes a in place unless it is already factorized. The symmetric,
  /// Hermitian and positive definite kinds raise their LAPACK messages.
  static void Factorize(Matrix& a);
  /// The same for a complex matrix.
  static void Factorize(ComplexMatrix& a);

  /// Overwrites b with X. a must be square ("Matrix size m != n is not
  /// supported."); b must be a dense general matrix of the same number field
  /// (BadKindCast, a std::bad_cast, otherwise; the real general tridiagonal
  /// kind raises OrvaneException "Matrix b must be general matrix.") with as
  /// many rows as a (OrvaneException).
  /// With a factorized a the stored factors are used; otherwise the one-call
  /// driver factorizes a in place and solves.
  static void Solve(Matrix& a, Matrix& b);
  /// The same for complex matrices. The Hermitian tridiagonal kind solves
  /// only after Factorize (otherwise it raises its zptsv message).
  static void Solve(ComplexMatrix& a, ComplexMatrix& b);
};

}  // namespace OrvaneNet
