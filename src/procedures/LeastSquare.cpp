#include "OrvaneNet/LeastSquare.h"

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/real/DoubleGeneralMatrix.h"

namespace OrvaneNet {

void LeastSquare::Solve(Matrix& a, Matrix& b) {
  // dgels would overwrite the one array as A's factors and as X at once.
  if (&a == &b) throw OrvaneException(msg::ResultAliasesInput);
  auto& ka = detail::HandleAccess::Kind(a);
  if (ka.get_Type() != MatrixType::DoubleGeneral) throw OrvaneException(msg::OnlyDoubleGeneral);
  auto& kb = detail::HandleAccess::Kind(b);
  if (kb.get_Type() != MatrixType::DoubleGeneral) throw OrvaneException(msg::OnlyDoubleGeneral);
  static_cast<DoubleGeneralMatrix&>(ka).SolveLeastSquare('N', kb);
}

}  // namespace OrvaneNet
