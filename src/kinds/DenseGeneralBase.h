// The dense general kinds, real and complex, share this implementation:
// an m x n column-major array `dat` (leading dimension max(1, m), reached
// through View()) and the LU pivots `ipiv` (LAPACK's 1-based rows).
//
// LAPACK's info is not examined on the LU paths except where the result would
// otherwise be silently wrong: a one-call solve of an exactly singular matrix
// finishes with getrs on the completed factors (so the solution is
// non-finite rather than the untouched right-hand side), and an inversion of
// an exactly singular matrix raises instead of handing back the factors.
//
// After Invert the storage holds the inverse as a plain matrix while
// IsFactorized keeps reading true (callers rely on that). m_holdsInverse
// records it, so that a later Solve or Invert factorizes that matrix first
// instead of taking the inverse for LU factors.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <typeinfo>

#include "OrvaneNet/OrvaneException.h"
#include "core/Interfaces.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "core/NativeArray.h"
#include "kinds/DenseView.h"
#include "kinds/ElementConversion.h"
#include "kinds/KindBase.h"
#include "kinds/OneNorm.h"
#include "lapack/Dense.h"
#include "kinds/Workspace.h"

namespace OrvaneNet::detail {

// Derived is the kind itself, its own Rhs.
template <class Derived, class Scalar>
class DenseGeneralBase : public KindBase<Derived, Scalar> {
  ORVANE_KIND_STATE(Derived, Scalar);

 public:
  Element get_Item(int i, int j) const override { return ToElement(View()(i, j)); }
  void set_Item(int i, int j, Element value) override {
    View()(i, j) = ToStorage(value);
    m_isFactorized = false;
    m_holdsInverse = false;
  }

  void Factorize() override {
    const int m = m_rownum, n = m_colnum, lda = Ld();
    int info = 0;
    RecordNorm();
    lapack::getrf(&m, &n, dat.data(), &lda, ipiv.data(), &info);
    m_isFactorized = true;  // info > 0 (singular U) is accepted
    m_holdsInverse = false;
  }

  void Solve(IMatrix& b) override {
    if (m_holdsInverse) return SolveWithSimpleDriver(b);
    Rhs& rhs = RhsOf(b);
    RequireSquare();
    RequireRows(rhs, m_rownum);
    const char trans = 'N';
    const int n = m_rownum, nrhs = rhs.m_colnum, lda = Ld(), ldb = rhs.Ld();
    int info = 0;
    lapack::getrs(&trans, &n, &nrhs, dat.data(), &lda, ipiv.data(), rhs.dat.data(), &ldb, &info);
  }

  void SolveWithSimpleDriver(IMatrix& b) override {
    Rhs& rhs = RhsOf(b);
    RequireSquare();
    RequireRows(rhs, m_rownum);
    // OpenBLAS's gesv returns at once when there is no right-hand side; the
    // factors a later Solve relies on must be there all the same.
    if (rhs.m_colnum == 0) return Factorize();
    const int n = m_rownum, nrhs = rhs.m_colnum, lda = Ld(), ldb = rhs.Ld();
    int info = 0;
    RecordNorm();
    lapack::gesv(&n, &nrhs, dat.data(), &lda, ipiv.data(), rhs.dat.data(), &ldb, &info);
    m_isFactorized = true;
    m_holdsInverse = false;
    if (info > 0) {
      // gesv leaves b untouched when U is singular; the factors are complete,
      // so finishing the solve makes the singularity show in the solution.
      const char trans = 'N';
      lapack::getrs(&trans, &n, &nrhs, dat.data(), &lda, ipiv.data(), rhs.dat.data(), &ldb,
                    &info);
    }
  }

  void Invert() override {
    RequireSquare();
    if (m_holdsInverse) Factorize();
    const int n = m_rownum, lda = Ld();
    auto getri = [&](Scalar* work, const int* lwork, int* info) {
      lapack::getri(&n, dat.data(), &lda, ipiv.data(), work, lwork, info);
    };
    const int info = RunWithWorkspace<Scalar>(std::max(1, n), getri);
    // getri declines a singular U and leaves the factors in place.
    if (info > 0) throw OrvaneException(FillPlaceholders(msg::SingularInversion, info));
    m_holdsInverse = true;
  }

  void Dispose() noexcept override {
    dat.Release();
    ipiv.Release();
  }

  // The elements, column-major with leading dimension max(1, RowNum): how
  // the other kinds hand a right-hand side or result to LAPACK, and the only
  // way code outside the kinds reaches the array.
  DenseView<Scalar> View() noexcept { return {dat.data(), m_rownum, m_colnum, Ld()}; }
  ConstDenseView<Scalar> View() const noexcept { return {dat.data(), m_rownum, m_colnum, Ld()}; }

 protected:
  DenseGeneralBase(int rownum, int colnum)
      : KindState((RequireNonNegative(rownum, colnum), rownum), colnum) {
    dat = NativeArray<Scalar>(static_cast<std::int64_t>(rownum) * colnum);
    ipiv = IdentityPivots(rownum);
  }
  DenseGeneralBase(const DenseGeneralBase&) = default;
  // Storage left uninitialized, for a new matrix that is filled in full at once.
  DenseGeneralBase(int rownum, int colnum, ForOverwrite)
      : KindState((RequireNonNegative(rownum, colnum), rownum), colnum) {
    dat = NativeArray<Scalar>::Uninitialized(static_cast<std::int64_t>(rownum) * colnum);
    ipiv = IdentityPivots(rownum);
  }

  // LAPACK's lda for this array.
  int Ld() const noexcept { return std::max(1, m_rownum); }

  void RequireSquare() const {
    if (m_rownum != m_colnum) throw OrvaneException(msg::NotSquare);
  }

  // A = U * S * V^H with all singular vectors, by divide and conquer
  // (gesdd). The singular values go onto the diagonal of smat (through its
  // own element writes) before info is examined, so a convergence failure
  // still leaves them there.
  template <class SMatrix>
  void SolveSVDImpl(SMatrix& smat, IMatrix& umat, IMatrix& vtmat) {
    Rhs& u = dynamic_cast<Rhs&>(umat);
    Rhs& vt = dynamic_cast<Rhs&>(vtmat);
    const int m = m_rownum, n = m_colnum, k = std::min(m, n);
    RequireShape(u, m, m, "Matrix U");
    RequireShape(vt, n, n, "Matrix VT");
    if (smat.get_RowNum() < k || smat.get_ColNum() < k) {
      RequireShape(smat, m, n, "Matrix S");
    }
    if (k == 0) {
      // Nothing to decompose: any orthonormal bases do; take the identities.
      for (int i = 0; i < m; ++i) u.View()(i, i) = Scalar(1);
      for (int i = 0; i < n; ++i) vt.View()(i, i) = Scalar(1);
      return;
    }
    // Values gesdd does not write read NaN.
    NativeArray<double> s(k);
    std::fill_n(s.data(), k, std::numeric_limits<double>::quiet_NaN());
    // gesdd refuses a NaN as an illegal 4th argument, and it can iterate
    // forever on an infinity (so could gesvd), so neither reaches it. A NaN
    // gives what gesvd gave: NaN singular values and vectors, no exception;
    // an infinity (without NaN) is a decomposition that does not converge.
    const auto isNaN = [](const Scalar& v) { return std::isnan(std::abs(v)); };
    const auto isFinite = [](const Scalar& v) { return std::isfinite(std::abs(v)); };
    int info = 1;
    if (std::any_of(dat.data(), dat.data() + dat.size(), isNaN)) {
      info = 0;
      std::fill_n(u.dat.data(), u.dat.size(), Scalar(std::numeric_limits<double>::quiet_NaN()));
      std::fill_n(vt.dat.data(), vt.dat.size(), Scalar(std::numeric_limits<double>::quiet_NaN()));
    } else if (std::all_of(dat.data(), dat.data() + dat.size(), isFinite)) {
      const char jobz = 'A';
      const int lda = Ld(), ldu = u.Ld(), ldvt = vt.Ld();
      const std::int64_t mn = k, mx = std::max(m, n);
      auto rwork = WorkArray<double>::Uninitialized(lapack::SvdRworkSize(Scalar{}, mn, mx));
      auto iwork = WorkArray<int>::Uninitialized(8 * mn);
      auto gesdd = [&](Scalar* work, const int* lwork, int* status) {
        lapack::gesdd(&jobz, &m, &n, dat.data(), &lda, s.data(), u.dat.data(), &ldu,
                      vt.dat.data(), &ldvt, work, lwork, rwork.data(), iwork.data(), status);
      };
      const auto minimum = std::min<std::int64_t>(lapack::SvdWorkSize(Scalar{}, mn, mx), INT_MAX);
      info = RunWithWorkspace<Scalar>(static_cast<int>(minimum), gesdd);
      Overwritten();
    }
    for (int i = 0; i < k; ++i) smat.set_Item(i, i, ToElement(Scalar(s[i])));
    CheckInfo(info, msg::SvdNoConvergence);
  }

  NativeArray<Scalar> dat;
  NativeArray<int> ipiv;

  // ---- Every element at once (the interface's GetValues and SetValues) ----
  // The array is contiguous (ld = RowNum whenever there is an element):
  // column-major is one straight copy, row-major the blocked transpose.
 public:
  template <class T>
  void ReadValues(T* out, bool rowMajor) const {
    if (rowMajor) {
      TransposeConverted(dat.data(), m_rownum, m_colnum, out);
    } else {
      CopyConverted(dat.data(), dat.size(), out);
    }
  }
  template <class T>
  void WriteValues(const T* in, bool rowMajor) {
    if (rowMajor) {
      TransposeConverted(in, m_colnum, m_rownum, dat.data());
    } else {
      CopyConverted(in, dat.size(), dat.data());
    }
    m_isFactorized = false;
    m_holdsInverse = false;
  }

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
  double ReciprocalCondition() override {
    RequireSquare();
    FactorizeForMeasures();
    const char norm = '1';
    const int n = m_rownum, lda = Ld();
    return EstimateReciprocalCondition<Scalar>(n, m_anorm, [&](auto work, auto iwork, auto rwork,
                                                               double* rcond, int* info) {
      lapack::gecon(&norm, &n, dat.data(), &lda, &m_anorm, rcond, work, iwork, rwork, info);
    });
  }

  ScaledProduct<Scalar> Determinant() override {
    RequireSquare();
    FactorizeForMeasures();
    const auto A = View();
    return LuDeterminant<Scalar>(m_rownum, ipiv.data(), [&](int i) { return A(i, i); });
  }

 protected:
  // Called right before every factorization: ReciprocalCondition needs the
  // 1-norm of the matrix whose factors dat will hold.
  void RecordNorm() { m_anorm = OneNormDense(dat.data(), m_rownum, m_colnum, Ld()); }

 private:
  double ElementNorm(char norm) const override {
    const int m = m_rownum, n = m_colnum, lda = Ld();
    NativeArray<double> work(norm == 'I' ? m : 0);
    return lapack::lange(&norm, &m, &n, dat.data(), &lda, work.data());
  }

  // A held inverse is a plain matrix, not factors.
  void FactorizeForMeasures() {
    if (!m_isFactorized || m_holdsInverse) DenseGeneralBase::Factorize();
  }

  double m_anorm = 0;  // of the matrix whose factors dat holds
};

}  // namespace OrvaneNet::detail
