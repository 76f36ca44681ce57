#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// Solves A X = B for every matrix kind. The factors stay in A (which is then
/// factorized), so later right-hand sides reuse them.
///
/// After a factorization A's storage holds the factors, not the matrix: its
/// elements read as factor entries. Writing an element of A changes that
/// entry of the factors and clears IsFactorized, so the next Solve
/// factorizes the factors with the new value among them: not the original
/// matrix with one element changed. To keep the original, factorize and
/// solve a Clone():
///
///     Matrix lu = a.Clone();
///     LinearEquation::Solve(lu, b);   // a keeps its elements
///
/// A failed factorization (the messages below) leaves A's elements and
/// IsFactorized as they were.
class LinearEquation {
 public:
  /// Static members only.
  LinearEquation() = delete;

  /// Factorizes a in place unless it already holds factors (a matrix that
  /// holds its inverse after Inv() is factorized). The symmetric, Hermitian
  /// and positive definite kinds raise their LAPACK messages, a unchanged.
  static void Factorize(Matrix& a);
  /// The same for a complex matrix.
  static void Factorize(ComplexMatrix& a);

  /// Overwrites b with X. b must be another matrix than a ("A result matrix
  /// must be a different object from the input matrices."); a must be square
  /// ("Matrix size m != n is not supported."); b must be a dense general
  /// matrix of the same number field (std::bad_cast otherwise; the real
  /// general tridiagonal kind raises "Matrix b must be general matrix.")
  /// with as many rows as a (OrvaneException). These refusals change nothing.
  /// With a factorized a the stored factors are used; otherwise the one-call
  /// driver factorizes a in place and solves (also when b has no columns).
  static void Solve(Matrix& a, Matrix& b);
  /// The same for complex matrices. The Hermitian tridiagonal kind solves
  /// only after Factorize (otherwise it raises its zptsv message).
  static void Solve(ComplexMatrix& a, ComplexMatrix& b);
};

}  // namespace OrvaneNet
