// The distributed procedures: every check is made on metadata that all
// processes share (shapes, block size, grid), so it raises everywhere alike
// before ScaLAPACK runs; ScaLAPACK's info is agreed on before it is examined.
#include <algorithm>
#include <cmath>
#include <limits>

#include "OrvaneNet/Distributed.h"
#include "OrvaneNet/OrvaneException.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "distributed/Collective.h"
#include "distributed/DistributedMessages.h"
#include "distributed/GridState.h"
#include "lapack/fortran.h"

namespace OrvaneNet {
namespace {

using State = DistributedMatrix::State;
constexpr int kOne = 1;

void RequireSameLayout(const State& a, const State& b) {
  if (a.grid != b.grid || a.block != b.block) throw OrvaneException(msg::GridsDiffer);
}

void RequireRowsOf(const State& b, int rows) {
  if (b.rows != rows) {
    throw OrvaneException("Matrix b must have " + std::to_string(rows) + " rows, not " + std::to_string(b.rows) +
                          ".");
  }
}

// info = 0: returns; < 0: the illegal-parameter message; > 0: positiveMessage.
void CheckAgreedInfo(const State& s, int info, const char* positiveMessage) {
  detail::CheckInfo(detail::AgreeOnInfo(s.grid->comm, info), positiveMessage);
}

// A local work array of at least `count` elements, allocated collectively.
template <class T>
std::vector<T> Workspace(const State& s, double count) {
  std::vector<T> out;
  detail::Collectively(s.grid->comm, [&] { out.resize(static_cast<std::size_t>(std::max(1.0, std::ceil(count)))); });
  return out;
}

// The largest of every process's workspace query. ScaLAPACK 2.2's queries
// size each process's array by its own share, but the divide and conquer
// merge (pdlaed3) receives broadcasts of other processes' size into it: a
// process with a small or empty share overruns its array.
double LargestOverProcesses(const State& s, double count) {
  MPI_Allreduce(MPI_IN_PLACE, &count, 1, MPI_DOUBLE, MPI_MAX, s.grid->comm);
  return count;
}

void RequireSingular(const State& a) {
  if (a.singularPivot > 0) throw OrvaneException(detail::FillPlaceholders(msg::SingularU, a.singularPivot));
}

// On a 1 x 1 grid the local array is the whole matrix in LAPACK's layout and
// the pivots mean the same in both libraries: LAPACK's recursive LU runs
// there, faster than ScaLAPACK's blocked one over PBLAS (same factors up to
// rounding).
bool OneProcess(const State& s) { return s.grid->rows * s.grid->cols == 1; }

void FactorizeLU(State& a) {
  std::vector<int> ipiv = Workspace<int>(a, a.localRows + a.block);
  int info = 0;
  if (a.rows > 0 && a.cols > 0) {
    if (OneProcess(a)) {
      const int lda = a.Lld();
      dgetrf_(&a.rows, &a.cols, a.local.data(), &lda, ipiv.data(), &info);
    } else {
      pdgetrf_(&a.rows, &a.cols, a.local.data(), &kOne, &kOne, a.desc.data(), ipiv.data(), &info);
    }
  }
  info = detail::AgreeOnInfo(a.grid->comm, info);
  a.ipiv = std::move(ipiv);
  a.factors = Factors::LU;
  a.singularPivot = info > 0 ? info : 0;
  if (info < 0) {
    a.factors = Factors::None;
    detail::CheckInfo(info, msg::SingularU);
  }
  RequireSingular(a);
}

// Solves with the stored factors of a.
void SolveWithFactors(State& a, State& b) {
  int info = 0;
  if (a.factors == Factors::LU) {
    RequireSingular(a);
    const char trans = 'N';
    if (OneProcess(a)) {
      const int lda = a.Lld(), ldb = b.Lld();
      dgetrs_(&trans, &a.rows, &b.cols, a.local.data(), &lda, a.ipiv.data(), b.local.data(), &ldb, &info, 1);
    } else {
      pdgetrs_(&trans, &a.rows, &b.cols, a.local.data(), &kOne, &kOne, a.desc.data(), a.ipiv.data(), b.local.data(),
               &kOne, &kOne, b.desc.data(), &info, 1);
    }
  } else {
    const char uplo = 'U';
    pdpotrs_(&uplo, &a.rows, &b.cols, a.local.data(), &kOne, &kOne, a.desc.data(), b.local.data(), &kOne, &kOne,
             b.desc.data(), &info, 1);
  }
  CheckAgreedInfo(a, info, msg::IllegalParameter);
}

// The shape checks of both solves; false when there is nothing to compute.
bool PrepareSolve(const State& a, State& b) {
  if (a.rows != a.cols) throw OrvaneException(msg::SolveNotSquare);
  RequireRowsOf(b, a.rows);
  RequireSameLayout(a, b);
  return a.rows > 0 && b.cols > 0;
}

void RequireDistinct(const DistributedMatrix& a, const DistributedMatrix& r1, const DistributedMatrix* r2 = nullptr) {
  if (&a == &r1 || (r2 != nullptr && (&a == r2 || &r1 == r2))) throw OrvaneException(msg::ResultAliasesInput);
}

}  // namespace

void DistributedLinearEquation::Factorize(DistributedMatrix& a) {
  State& s = DistributedAccess::Of(a);
  if (s.factors == Factors::None) FactorizeLU(s);
}

void DistributedLinearEquation::Solve(DistributedMatrix& a, DistributedMatrix& b) {
  State& sa = DistributedAccess::Of(a);
  State& sb = DistributedAccess::Of(b);
  const bool work = PrepareSolve(sa, sb);
  if (sa.factors != Factors::None) {
    if (work) SolveWithFactors(sa, sb);
  } else if (!work) {
    if (sa.rows == 0) sa.factors = Factors::LU;
    else FactorizeLU(sa);
  } else {
    std::vector<int> ipiv = Workspace<int>(sa, sa.localRows + sa.block);
    int info = 0;
    if (OneProcess(sa)) {
      const int lda = sa.Lld(), ldb = sb.Lld();
      dgesv_(&sa.rows, &sb.cols, sa.local.data(), &lda, ipiv.data(), sb.local.data(), &ldb, &info);
    } else {
      pdgesv_(&sa.rows, &sb.cols, sa.local.data(), &kOne, &kOne, sa.desc.data(), ipiv.data(), sb.local.data(), &kOne,
              &kOne, sb.desc.data(), &info);
    }
    info = detail::AgreeOnInfo(sa.grid->comm, info);
    if (info < 0) detail::CheckInfo(info, msg::SingularU);
    sa.ipiv = std::move(ipiv);
    sa.factors = Factors::LU;
    sa.singularPivot = info;
    RequireSingular(sa);
  }
  sb.factors = Factors::None;
}

void DistributedLinearEquation::FactorizePositiveDefinite(DistributedMatrix& a) {
  State& s = DistributedAccess::Of(a);
  if (s.factors != Factors::None) return;
  if (s.rows != s.cols) throw OrvaneException(msg::NotSquare);
  int info = 0;
  const char uplo = 'U';
  if (s.rows > 0) pdpotrf_(&uplo, &s.rows, s.local.data(), &kOne, &kOne, s.desc.data(), &info, 1);
  CheckAgreedInfo(s, info, msg::NotPositiveDefinite);
  s.factors = Factors::Cholesky;
}

void DistributedLinearEquation::SolvePositiveDefinite(DistributedMatrix& a, DistributedMatrix& b) {
  State& sa = DistributedAccess::Of(a);
  State& sb = DistributedAccess::Of(b);
  const bool work = PrepareSolve(sa, sb);
  if (sa.factors != Factors::None || !work) {
    if (sa.factors == Factors::None) FactorizePositiveDefinite(a);
    if (work) SolveWithFactors(sa, sb);
  } else {
    int info = 0;
    const char uplo = 'U';
    pdposv_(&uplo, &sa.rows, &sb.cols, sa.local.data(), &kOne, &kOne, sa.desc.data(), sb.local.data(), &kOne, &kOne,
            sb.desc.data(), &info, 1);
    CheckAgreedInfo(sa, info, msg::NotPositiveDefinite);
    sa.factors = Factors::Cholesky;
  }
  sb.factors = Factors::None;
}

namespace {

void SymmetricEigen(DistributedMatrix& a, std::vector<double>& values, DistributedMatrix& vectors) {
  State& s = DistributedAccess::Of(a);
  const int n = s.rows;
  values.assign(static_cast<std::size_t>(n), 0.0);
  State& z = DistributedAccess::Of(vectors);
  s.factors = Factors::None;  // a's contents are destroyed from here on
  if (n == 0) return;
  const char jobz = 'V', uplo = 'U';
  int info = 0, lwork = -1, liwork = -1, iworkSize = 0;
  double workSize = 0;
  pdsyevd_(&jobz, &uplo, &n, s.local.data(), &kOne, &kOne, s.desc.data(), values.data(), z.local.data(), &kOne,
           &kOne, z.desc.data(), &workSize, &lwork, &iworkSize, &liwork, &info, 1, 1);
  CheckAgreedInfo(s, info, msg::EigenNoConvergence);
  // ScaLAPACK 2.2's query undercounts the back transformation (pdormtr) when
  // the order is small against the block size; pdormtr then refuses its
  // workspace, and pdsyevd returns info = 0 with eigenvectors of the
  // tridiagonal matrix. pdormtr's own requirement, on top of the 3n
  // doubles pdsyevd keeps before it, closes the gap.
  const double nb = s.block;
  const double ormtr = std::max(nb * (nb - 1) / 2, static_cast<double>(z.localRows + z.localCols) * nb) + nb * nb;
  std::vector<double> work = Workspace<double>(s, LargestOverProcesses(s, std::max(workSize, 3.0 * n + ormtr)));
  std::vector<int> iwork = Workspace<int>(s, LargestOverProcesses(s, iworkSize));
  lwork = static_cast<int>(work.size());
  liwork = static_cast<int>(iwork.size());
  pdsyevd_(&jobz, &uplo, &n, s.local.data(), &kOne, &kOne, s.desc.data(), values.data(), z.local.data(), &kOne,
           &kOne, z.desc.data(), work.data(), &lwork, iwork.data(), &liwork, &info, 1, 1);
  CheckAgreedInfo(s, info, msg::EigenNoConvergence);
}

// pdgesvd computes the singular values of the bidiagonal form on every
// process and reports a difference in any bit as a heterogeneous machine
// (info = k + 1). OpenBLAS's vector kernels round differently with the
// alignment of their arrays, so identical processes differ in the last bits
// now and then. Values within kSpreadFactor * k * eps * sigma_max of each
// other are one result: every process takes the first process's values.
constexpr double kSpreadFactor = 4;

bool SameWithinRounding(const State& s, std::vector<double>& sigma) {
  std::vector<double> low = sigma, high = sigma;
  MPI_Allreduce(MPI_IN_PLACE, low.data(), static_cast<int>(low.size()), MPI_DOUBLE, MPI_MIN, s.grid->comm);
  MPI_Allreduce(MPI_IN_PLACE, high.data(), static_cast<int>(high.size()), MPI_DOUBLE, MPI_MAX, s.grid->comm);
  double spread = 0;
  for (std::size_t i = 0; i < sigma.size(); ++i) spread = std::max(spread, high[i] - low[i]);
  const double bound = kSpreadFactor * static_cast<double>(sigma.size()) * std::numeric_limits<double>::epsilon() * high[0];
  if (!(spread <= bound)) return false;
  MPI_Bcast(sigma.data(), static_cast<int>(sigma.size()), MPI_DOUBLE, 0, s.grid->comm);
  return true;
}

void Svd(DistributedMatrix& a, std::vector<double>& sigma, DistributedMatrix* u, DistributedMatrix* vt) {
  State& s = DistributedAccess::Of(a);
  const int m = s.rows, n = s.cols, k = std::min(m, n);
  sigma.assign(static_cast<std::size_t>(k), 0.0);
  s.factors = Factors::None;
  if (k == 0) return;
  // Without vectors ScaLAPACK does not touch U and VT, but still reads their
  // descriptors: a's stands in for both.
  const char job = u != nullptr ? 'V' : 'N';
  State& su = u != nullptr ? DistributedAccess::Of(*u) : s;
  State& svt = vt != nullptr ? DistributedAccess::Of(*vt) : s;
  int info = 0, lwork = -1;
  double workSize = 0;
  pdgesvd_(&job, &job, &m, &n, s.local.data(), &kOne, &kOne, s.desc.data(), sigma.data(), su.local.data(), &kOne,
           &kOne, su.desc.data(), svt.local.data(), &kOne, &kOne, svt.desc.data(), &workSize, &lwork, &info, 1, 1);
  CheckAgreedInfo(s, info, msg::SvdNoConvergence);
  std::vector<double> work = Workspace<double>(s, LargestOverProcesses(s, workSize));
  lwork = static_cast<int>(work.size());
  pdgesvd_(&job, &job, &m, &n, s.local.data(), &kOne, &kOne, s.desc.data(), sigma.data(), su.local.data(), &kOne,
           &kOne, su.desc.data(), svt.local.data(), &kOne, &kOne, svt.desc.data(), work.data(), &lwork, &info, 1, 1);
  info = detail::AgreeOnInfo(s.grid->comm, info);
  if (info == k + 1 && SameWithinRounding(s, sigma)) info = 0;
  if (info == k + 1) throw OrvaneException(msg::SvdHeterogeneous);
  detail::CheckInfo(info, msg::SvdNoConvergence);
}

}  // namespace

void DistributedEigenproblem::Solve(DistributedMatrix& a, std::vector<double>& resultValues) {
  const State& s = DistributedAccess::Of(a);
  if (s.rows != s.cols) throw OrvaneException(msg::NotSquare);
  DistributedMatrix scratch(a.get_Grid(), s.rows, s.cols, s.block);
  SymmetricEigen(a, resultValues, scratch);
}

void DistributedEigenproblem::Solve(DistributedMatrix& a, std::vector<double>& resultValues,
                                    DistributedMatrix& resultVectors) {
  const State& s = DistributedAccess::Of(a);
  if (s.rows != s.cols) throw OrvaneException(msg::NotSquare);
  RequireDistinct(a, resultVectors);
  resultVectors = DistributedMatrix(a.get_Grid(), s.rows, s.cols, s.block);
  SymmetricEigen(a, resultValues, resultVectors);
}

void DistributedSingularValueDecomposition::Decompose(DistributedMatrix& a, std::vector<double>& resultSigma) {
  Svd(a, resultSigma, nullptr, nullptr);
}

void DistributedSingularValueDecomposition::Decompose(DistributedMatrix& a, std::vector<double>& resultSigma,
                                                      DistributedMatrix& resultU, DistributedMatrix& resultVT) {
  const State& s = DistributedAccess::Of(a);
  RequireDistinct(a, resultU, &resultVT);
  const int k = std::min(s.rows, s.cols);
  resultU = DistributedMatrix(a.get_Grid(), s.rows, k, s.block);
  resultVT = DistributedMatrix(a.get_Grid(), k, s.cols, s.block);
  Svd(a, resultSigma, &resultU, &resultVT);
}

}  // namespace OrvaneNet
