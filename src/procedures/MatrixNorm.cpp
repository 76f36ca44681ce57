#include "OrvaneNet/MatrixNorm.h"

#include "core/Measures.h"
#include "handles/HandleAccess.h"

namespace OrvaneNet {
namespace {

// Every kind implements the measures next to its interface.
template <class Scalar, class Kind>
double NormOf(const Kind& kind, NormType type) {
  return dynamic_cast<const detail::IMatrixMeasures<Scalar>&>(kind).Norm(type);
}

}  // namespace

double MatrixNorm::Compute(const Matrix& a, NormType type) {
  return NormOf<double>(detail::HandleAccess::Kind(a), type);
}
double MatrixNorm::Compute(const ComplexMatrix& a, NormType type) {
  return NormOf<std::complex<double>>(detail::HandleAccess::Kind(a), type);
}

}  // namespace OrvaneNet
