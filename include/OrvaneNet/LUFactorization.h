#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// The former name of LinearEquation, with identical behaviour.
class [[deprecated("This class is deprecated. Please use LinearEquation class instead.")]]
LUFactorization {
 public:
  /// An object without state; the members are static.
  LUFactorization() = default;
  /// LinearEquation::Factorize(a).
  static void Factorize(Matrix& a);
  /// LinearEquation::Factorize(a).
  static void Factorize(ComplexMatrix& a);
  /// LinearEquation::Solve(a, b).
  static void Solve(Matrix& a, Matrix& b);
  /// LinearEquation::Solve(a, b).
  static void Solve(ComplexMatrix& a, ComplexMatrix& b);
};

}  // namespace OrvaneNet
