#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include "OrvaneNet/EigenvalueProblem.h"

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/real/DoubleSymmetricMatrix.h"

namespace OrvaneNet {
namespace {

DoubleSymmetricMatrix& Symmetric(const Matrix& m) {
  auto& kind = detail::HandleAccess::Kind(m);
  if (kind.get_Type() != MatrixType::DoubleSymmetric) {
    throw OrvaneException(msg::OnlyDoubleSymmetric);
  }
  return static_cast<DoubleSymmetricMatrix&>(kind);
}

}  // namespace

// LAPACK's info is handed back through get_Info(), never raised.
void EigenvalueProblem::Solve(Matrix& a) {
  auto& ka = Symmetric(a);
  const int n = ka.get_RowNum();
  m_eigenValue = std::make_shared<Matrix>(n, 1);
  m_eigenVector = std::make_shared<Matrix>(n, n);
  ka.SPEV(detail::HandleAccess::Kind(*m_eigenValue), detail::HandleAccess::Kind(*m_eigenVector),
          m_info);
}

void EigenvalueProblem::GeneralizedSolve(Matrix& a, Matrix& b) {
  auto& ka = Symmetric(a);
  auto& kb = Symmetric(b);
  const int n = ka.get_RowNum();
  m_eigenValue = std::make_shared<Matrix>(n, 1);
  m_eigenVector = std::make_shared<Matrix>(n, n);
  ka.SPGV(kb, detail::HandleAccess::Kind(*m_eigenValue),
          detail::HandleAccess::Kind(*m_eigenVector), m_info);
}

}  // namespace OrvaneNet
