#include "OrvaneNet/LinearEquation.h"

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

namespace OrvaneNet {
namespace {

// A matrix that holds its inverse (after Inv()) reads as factorized but
// holds no factors: it is factorized like any other matrix.
template <class Kind>
void FactorizeKind(Kind& a) {
  if (!a.get_IsFactorized() || a.HoldsInverse()) a.Factorize();
}

// The kinds check b's kind and row count before LAPACK runs. b as a itself
// would be overwritten twice over in one call.
template <class Kind>
void SolveKind(Kind& a, IMatrix& b) {
  if (static_cast<IMatrix*>(&a) == &b) throw OrvaneException(msg::ResultAliasesInput);
  if (a.get_RowNum() != a.get_ColNum()) throw OrvaneException(msg::SolveNotSquare);
  if (a.get_IsFactorized()) {
    a.Solve(b);
  } else {
    a.SolveWithSimpleDriver(b);
  }
}

// b now holds X, a plain matrix, whatever it held before: a b that was
// factorized (or held an inverse) must not pass X off as factors.
template <class General, class Kind>
void SolveAndMark(Kind& a, IMatrix& b) {
  SolveKind(a, b);
  if (auto* g = dynamic_cast<General*>(&b)) g->Overwritten();
}

}  // namespace

void LinearEquation::Factorize(Matrix& a) { FactorizeKind(detail::HandleAccess::Kind(a)); }
void LinearEquation::Factorize(ComplexMatrix& a) { FactorizeKind(detail::HandleAccess::Kind(a)); }

void LinearEquation::Solve(Matrix& a, Matrix& b) {
  SolveAndMark<DoubleGeneralMatrix>(detail::HandleAccess::Kind(a), detail::HandleAccess::Kind(b));
}
void LinearEquation::Solve(ComplexMatrix& a, ComplexMatrix& b) {
  SolveAndMark<ComplexGeneralMatrix>(detail::HandleAccess::Kind(a),
                                     detail::HandleAccess::Kind(b));
}

}  // namespace OrvaneNet
