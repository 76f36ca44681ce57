#pragma once

#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Least-squares solutions of real linear systems (LAPACK dgels).
class LeastSquare {
 public:
  /// Static members only.
  LeastSquare() = delete;

  /// Least-squares (m >= n) or minimum-norm (m < n) solution of a X = b for
  /// an m x n dense general a. b must be dense general with max(m, n) rows
  /// (the first m hold the right-hand sides); afterwards its first n rows hold
  /// X, and for m > n rows n..m-1 the residual components. a is overwritten
  /// by its QR/LQ factorization and no longer reads as factorized.
  /// Raises "Only double general matrix is supported." for other kinds and the
  /// rank message when a does not have full rank.
  static void Solve(Matrix& a, Matrix& b);
};

}  // namespace OrvaneNet
