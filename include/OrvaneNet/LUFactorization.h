#pragma once

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

// The former name of LinearEquation, with identical behaviour.
class [[deprecated("This class is deprecated. Please use LinearEquation class instead.")]]
LUFactorization {
 public:
  LUFactorization() = default;
  static void Factorize(Matrix& a);
  static void Factorize(ComplexMatrix& a);
  static void Solve(Matrix& a, Matrix& b);
  static void Solve(ComplexMatrix& a, ComplexMatrix& b);
};

}  // namespace OrvaneNet
