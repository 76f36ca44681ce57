#include "kinds/real/DoubleGeneralMatrix.h"

#include "kinds/Workspace.h"

namespace OrvaneNet {

void DoubleGeneralMatrix::SolveLeastSquare(char trans, IMatrix& b) {
  auto& rhs = dynamic_cast<DoubleGeneralMatrix&>(b);
  const int m = m_rownum, n = m_colnum;
  // dgels addresses b with leading dimension max(m, n): any other row count
  // would misalign the columns or run past the array.
  detail::RequireRows(rhs, std::max(m, n));
  const auto B = rhs.View();
  const int nrhs = B.cols(), lda = Ld(), ldb = B.ld();
  auto dgels = [&](double* work, const int* lwork, int* info) {
    dgels_(&trans, &m, &n, &nrhs, dat.data(), &lda, B.data(), &ldb, work, lwork, info, 1);
  };
  const int info = detail::RunWithWorkspace<double>(
      std::min(m, n) + std::max(std::max(1, m), std::max(n, nrhs)), dgels);
  Overwritten();      // dat holds QR or LQ details, not LU factors
  rhs.Overwritten();  // b holds X (or, after a failure, dgels's work): no factors
  detail::CheckInfo(info, msg::LeastSquareRank);
}

}  // namespace OrvaneNet
