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
  /// matrix of the same number field (BadKindCast, a std::bad_cast,
  /// otherwise; the real general tridiagonal kind raises "Matrix b must be
  /// general matrix.") with as many rows as a (OrvaneException). These
  /// refusals change nothing.
  /// With a factorized a the stored factors are used; otherwise the one-call
  /// driver factorizes a in place and solves (also when b has no columns).
  static void Solve(Matrix& a, Matrix& b);
  /// The same for complex matrices. The Hermitian tridiagonal kind solves
  /// only after Factorize (otherwise it raises its zptsv message).
  static void Solve(ComplexMatrix& a, ComplexMatrix& b);

  // ---- condition and determinant, from the factors a keeps ----
  // Each factorizes a in place first unless it already holds factors, the
  // way Solve does (a matrix holding its inverse after Inv() is factorized
  // again, so the figures are then those of the inverse). The 1-norm of A is
  // taken before every factorization and kept with the factors (Clone copies
  // it), so calls on a factorized matrix cost O(n^2) (the condition estimate)
  // or O(n) (the determinant) and never factorize again. a must be square
  // ("Matrix size m != n is not supported."). The positive definite kinds
  // (symmetric and Hermitian band and tridiagonal) raise their
  // not-positive-definite message for a matrix they cannot factorize,
  // singular ones included.

  /// The reciprocal of the 1-norm condition number, 1 / (|A|_1 |A^-1|_1),
  /// with |A^-1|_1 estimated by LAPACK's routine for the kind (?gecon, ?gbcon,
  /// ?gtcon, ?ppcon / ?spcon / ?hpcon, ?pbcon; ?ptcon computes it exactly).
  /// In [0, 1]: 0 for an exactly singular matrix, 1 for order 0, NaN when an
  /// element of A is NaN. Below machine epsilon (about 2.2e-16) a solution
  /// may have no correct digit.
  static double ReciprocalCondition(Matrix& a);
  /// The same for a complex matrix.
  static double ReciprocalCondition(ComplexMatrix& a);

  /// det A from the factors: the LU diagonal with the sign of the row
  /// interchanges (general, band, tridiagonal), the squared Cholesky diagonal,
  /// the LDL^T diagonal, or the 1 x 1 and 2 x 2 blocks of Bunch-Kaufman
  /// (symmetric and Hermitian packed). Exactly singular gives 0, order 0
  /// gives 1. May overflow to infinity or underflow to 0 where
  /// LogDeterminant stays finite.
  static double Determinant(Matrix& a);
  /// The same for a complex matrix (real for the Hermitian kinds).
  static Complex Determinant(ComplexMatrix& a);

  /// log |det A|, with sign set to -1, 0 or +1 so that det A = sign *
  /// exp(result); finite whenever det A is nonzero and finite in exact
  /// arithmetic, however large or small. Exactly singular: -infinity and
  /// sign 0.
  static double LogDeterminant(Matrix& a, double& sign);
  /// The same for a complex matrix: det A = phase * exp(result) with
  /// |phase| = 1, or phase 0 when A is exactly singular.
  static double LogDeterminant(ComplexMatrix& a, Complex& phase);
};

}  // namespace OrvaneNet
