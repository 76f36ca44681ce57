#include "OrvaneNet/GeneralEigenproblem.h"

#include <algorithm>
#include <complex>
#include <cstdint>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"
#include "lapack/Dense.h"
#include "kinds/Workspace.h"

namespace OrvaneNet {
namespace {

using lapack::doublecomplex;

// Assigning a result would destroy an input, or the other result, that is
// the same object.
void RequireDistinct(const void* a, const ComplexMatrix& values, const ComplexMatrix* vectors) {
  if (&values == a || vectors == a || vectors == &values) {
    throw OrvaneException(msg::ResultAliasesInput);
  }
}

template <class Kind, class Handle>
Kind& SquareDenseGeneral(const Handle& a) {
  auto& kind = detail::HandleAccess::Kind(a);
  if (kind.get_Type() != Kind::kType) throw OrvaneException(msg::OnlyGeneral);
  if (kind.get_RowNum() != kind.get_ColNum()) throw OrvaneException(msg::SolveNotSquare);
  return static_cast<Kind&>(kind);
}

doublecomplex* Storage(const ComplexMatrix& m) {
  return static_cast<ComplexGeneralMatrix&>(detail::HandleAccess::Kind(m)).View().data();
}

// The results exist before LAPACK runs, as documented. A result's old
// storage goes first: the new one, as large when the call is repeated, then
// reuses those pages instead of asking the kernel for fresh ones.
int AssignResults(int n, ComplexMatrix& values, ComplexMatrix* vectors) {
  values.Dispose();
  values = ComplexMatrix(n, 1);
  if (vectors) {
    vectors->Dispose();
    *vectors = ComplexMatrix(n, n);
  }
  return n;
}

// After a failure: the values that converged (from `first` on) stay, the
// rest and the vectors (LAPACK's Schur vectors, not eigenvectors) are zeros.
void ThrowNoConvergence(int info, int n, ComplexMatrix& values, ComplexMatrix* vectors) {
  std::fill_n(Storage(values), std::min(info, n), doublecomplex{});
  if (vectors) *vectors = ComplexMatrix(n, n);
  detail::CheckInfo(info, msg::GeneralEigenNoConvergence);
}

// dgeev leaves the eigenvectors as n x n real columns at the start of the
// complex result's storage (leading dimension n): a real eigenvalue's vector
// in its column, a pair's (positive imaginary part first) as real part and
// imaginary part in two columns. Spreads them out into complex columns in
// place, from the last block to the first: complex column j starts at
// double 2nj, at or beyond where its real sources start (nj), so every block
// still to be spread lies below the one being written.
void ExpandRealVectors(int n, const std::vector<double>& wi, doublecomplex* vectors) {
  auto* real = reinterpret_cast<double*>(vectors);
  const std::int64_t rows = n;
  std::vector<std::int64_t> starts;
  for (std::int64_t j = 0; j < rows; j += (wi[static_cast<std::size_t>(j)] != 0.0 && j + 1 < rows) ? 2 : 1) {
    starts.push_back(j);
  }
  std::vector<double> source(static_cast<std::size_t>(2 * rows));
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    const std::int64_t j = *it;
    const bool pair = wi[static_cast<std::size_t>(j)] != 0.0 && j + 1 < rows;
    const std::int64_t width = pair ? 2 : 1;
    std::copy_n(real + j * rows, width * rows, source.begin());
    doublecomplex* out = vectors + j * rows;
    for (std::int64_t i = 0; i < rows; ++i) {
      const double re = source[static_cast<std::size_t>(i)];
      const double im = pair ? source[static_cast<std::size_t>(rows + i)] : 0.0;
      out[i] = doublecomplex(re, im);
      if (pair) out[rows + i] = doublecomplex(re, -im);
    }
  }
}

void SolveReal(Matrix& a, ComplexMatrix& values, ComplexMatrix* vectors) {
  RequireDistinct(&a, values, vectors);
  DoubleGeneralMatrix& kind = SquareDenseGeneral<DoubleGeneralMatrix>(a);
  const int n = AssignResults(kind.get_RowNum(), values, vectors);
  if (n == 0) return;
  const char jobvr = vectors ? 'V' : 'N';
  const int lda = n, ldvr = vectors ? n : 1;
  std::vector<double> wr(static_cast<std::size_t>(n)), wi(wr.size());
  double* vr = vectors ? reinterpret_cast<double*>(Storage(*vectors)) : nullptr;
  auto geev = [&](double* work, const int* lwork, int* info) {
    lapack::geev(&jobvr, &n, kind.View().data(), &lda, wr.data(), wi.data(), vr, &ldvr, work, lwork, info);
  };
  const int info = detail::RunWithWorkspace<double>(std::max(1, (vectors ? 4 : 3) * n), geev);
  doublecomplex* w = Storage(values);
  for (int k = std::clamp(info, 0, n); k < n; ++k) {
    w[k] = doublecomplex(wr[static_cast<std::size_t>(k)], wi[static_cast<std::size_t>(k)]);
  }
  if (info != 0) ThrowNoConvergence(info, n, values, vectors);
  if (vectors) ExpandRealVectors(n, wi, Storage(*vectors));
}

void SolveComplex(ComplexMatrix& a, ComplexMatrix& values, ComplexMatrix* vectors) {
  RequireDistinct(&a, values, vectors);
  ComplexGeneralMatrix& kind = SquareDenseGeneral<ComplexGeneralMatrix>(a);
  const int n = AssignResults(kind.get_RowNum(), values, vectors);
  if (n == 0) return;
  const char jobvr = vectors ? 'V' : 'N';
  const int lda = n, ldvr = vectors ? n : 1;
  std::vector<double> rwork(static_cast<std::size_t>(2 * n));
  doublecomplex* vr = vectors ? Storage(*vectors) : nullptr;
  doublecomplex* w = Storage(values);
  auto geev = [&](doublecomplex* work, const int* lwork, int* info) {
    lapack::geev(&jobvr, &n, kind.View().data(), &lda, w, vr, &ldvr, work, lwork, rwork.data(), info);
  };
  const int info = detail::RunWithWorkspace<doublecomplex>(std::max(1, 2 * n), geev);
  if (info != 0) ThrowNoConvergence(info, n, values, vectors);
}

}  // namespace

void GeneralEigenproblem::Solve(Matrix& a, ComplexMatrix& resultValues) {
  SolveReal(a, resultValues, nullptr);
}
void GeneralEigenproblem::Solve(Matrix& a, ComplexMatrix& resultValues,
                                ComplexMatrix& resultVectors) {
  SolveReal(a, resultValues, &resultVectors);
}
void GeneralEigenproblem::Solve(ComplexMatrix& a, ComplexMatrix& resultValues) {
  SolveComplex(a, resultValues, nullptr);
}
void GeneralEigenproblem::Solve(ComplexMatrix& a, ComplexMatrix& resultValues,
                                ComplexMatrix& resultVectors) {
  SolveComplex(a, resultValues, &resultVectors);
}

}  // namespace OrvaneNet
