// The deprecated twin forwards to LinearEquation, so the two cannot drift.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include "OrvaneNet/LUFactorization.h"

#include "OrvaneNet/LinearEquation.h"

namespace OrvaneNet {

void LUFactorization::Factorize(Matrix& a) { LinearEquation::Factorize(a); }
void LUFactorization::Factorize(ComplexMatrix& a) { LinearEquation::Factorize(a); }
void LUFactorization::Solve(Matrix& a, Matrix& b) { LinearEquation::Solve(a, b); }
void LUFactorization::Solve(ComplexMatrix& a, ComplexMatrix& b) { LinearEquation::Solve(a, b); }

}  // namespace OrvaneNet
