#include "OrvaneNet/SingularValueDecomposition.h"

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

namespace OrvaneNet {
namespace {

template <class Kind, class Handle>
void DecomposeKind(Handle& a, Handle& sigma, Handle& u, Handle& vt) {
  // Assigning a result would destroy an input that is the same object.
  if (&sigma == &a || &u == &a || &vt == &a || &sigma == &u || &sigma == &vt || &u == &vt) {
    throw OrvaneException(msg::ResultAliasesInput);
  }
  auto& kind = detail::HandleAccess::Kind(a);
  if (kind.get_Type() != Kind::kType) throw OrvaneException(msg::OnlyGeneral);
  const int m = kind.get_RowNum(), n = kind.get_ColNum();
  // Each result is assigned as soon as it exists, before LAPACK runs.
  sigma = Handle(m, n);
  u = Handle(m, m);
  vt = Handle(n, n);
  static_cast<Kind&>(kind).SolveSVD(detail::HandleAccess::Kind(sigma), detail::HandleAccess::Kind(u),
                                    detail::HandleAccess::Kind(vt));
}

}  // namespace

void SingularValueDecomposition::Decompose(Matrix& a, Matrix& resultSigma, Matrix& resultU,
                                           Matrix& resultVT) {
  DecomposeKind<DoubleGeneralMatrix>(a, resultSigma, resultU, resultVT);
}

void SingularValueDecomposition::Decompose(ComplexMatrix& a, ComplexMatrix& resultSigma,
                                           ComplexMatrix& resultU, ComplexMatrix& resultVT) {
  DecomposeKind<ComplexGeneralMatrix>(a, resultSigma, resultU, resultVT);
}

}  // namespace OrvaneNet
