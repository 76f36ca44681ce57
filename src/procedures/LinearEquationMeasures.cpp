// LinearEquation's condition estimate and determinants: the kinds compute
// them from their factors (core/Measures.h); here the square check and the
// conversion to the public number types.
#include <complex>

#include "OrvaneNet/LinearEquation.h"
#include "OrvaneNet/OrvaneException.h"
#include "core/Measures.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"

namespace OrvaneNet {
namespace {

// The kind behind a square handle. Scalar: the kind's LAPACK element.
template <class Scalar, class Handle>
detail::IMatrixMeasures<Scalar>& SquareKind(Handle& a) {
  auto& kind = detail::HandleAccess::Kind(a);
  if (kind.get_RowNum() != kind.get_ColNum()) throw OrvaneException(msg::SolveNotSquare);
  return dynamic_cast<detail::IMatrixMeasures<Scalar>&>(kind);
}

using Real = double;
using Cplx = std::complex<double>;

}  // namespace

double LinearEquation::ReciprocalCondition(Matrix& a) {
  return SquareKind<Real>(a).ReciprocalCondition();
}
double LinearEquation::ReciprocalCondition(ComplexMatrix& a) {
  return SquareKind<Cplx>(a).ReciprocalCondition();
}

double LinearEquation::Determinant(Matrix& a) { return SquareKind<Real>(a).Determinant().Value(); }
Complex LinearEquation::Determinant(ComplexMatrix& a) {
  return SquareKind<Cplx>(a).Determinant().Value();
}

double LinearEquation::LogDeterminant(Matrix& a, double& sign) {
  const auto det = SquareKind<Real>(a).Determinant();
  sign = det.Phase();
  return det.LogAbs();
}
double LinearEquation::LogDeterminant(ComplexMatrix& a, Complex& phase) {
  const auto det = SquareKind<Cplx>(a).Determinant();
  phase = det.Phase();
  return det.LogAbs();
}

}  // namespace OrvaneNet
