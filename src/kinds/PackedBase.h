// The packed symmetric (real) and Hermitian (complex) kinds share this
// implementation. Only the upper triangle is stored, packed column by column
// (LAPACK's uplo 'U'):
//
//     column:  0    1    2    3
//            [ 0    1    3    6 ]     element (i, j), i <= j,
//            [      2    4    7 ]     at ap[i + j(j+1)/2]
//            [           5    8 ]
//            [                9 ]
//
// An element below the diagonal is the mirror of (j, i): the same value for
// real data, its complex conjugate for Hermitian data. A Hermitian diagonal
// entry is real: a value with an imaginary part is refused (LAPACK's
// Hermitian routines would read only its real part).
//
// Factorization tries Cholesky (A = U^H U) first and falls back to
// Bunch-Kaufman (A = U D U^H with pivots) when LAPACK reports that A is not
// positive definite; m_isPositiveDefinite records which factors ap holds so
// that Solve and Invert call the matching routines.
#pragma once

#include <algorithm>
#include <complex>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "core/Interfaces.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "core/NativeArray.h"
#include "kinds/ElementConversion.h"
#include "kinds/KindBase.h"
#include "kinds/OneNorm.h"
#include "kinds/StorageAccess.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"
#include "lapack/Packed.h"

namespace OrvaneNet::detail {

// Offset of (i, j), i <= j, in the packed upper triangle; 64-bit so that no
// order the constructor accepts can wrap.
inline std::int64_t PackedIndex(int i, int j) noexcept {
  return i + static_cast<std::int64_t>(j) * (j + 1) / 2;
}

// Derived: the kind; Scalar: the LAPACK element.
template <class Derived, class Scalar>
class PackedBase : public KindBase<Derived, Scalar> {
  ORVANE_KIND_STATE(Derived, Scalar);

 public:
  Element get_Item(int i, int j) const override {
    return i <= j ? ToElement(ap[PackedIndex(i, j)]) : ToElement(Mirror(ap[PackedIndex(j, i)]));
  }
  // Storing clears IsFactorized; the route flag stays as it is.
  void set_Item(int i, int j, Element value) override {
    if (i == j) RequireRealDiagonal(value);
    if (i <= j) {
      ap[PackedIndex(i, j)] = ToStorage(value);
    } else {
      ap[PackedIndex(j, i)] = Mirror(ToStorage(value));
    }
    m_isFactorized = false;
    m_holdsInverse = false;
  }

  // Cholesky, or Bunch-Kaufman when A is not positive definite. Throws the
  // singular-D message when D has an exact zero; ap then holds the matrix as
  // it was and IsFactorized is false.
  void Factorize() override {
    const char uplo = 'U';
    const int n = m_rownum;
    EitherRoute([&](int* info) { lapack::pptrf(&uplo, &n, ap.data(), info); },
                [&](int* info) { lapack::hptrf(&uplo, &n, ap.data(), ipiv.data(), info); },
                msg::SingularD);
  }

  // b (the dense general twin, n rows) is overwritten by the solution, using
  // the factors of the route in force.
  void Solve(IMatrix& b) override {
    // After Invert ap holds the inverse itself, not factors.
    if (m_holdsInverse) return SolveWithSimpleDriver(b);
    const auto B = RhsView(b);
    const char uplo = 'U';
    const int n = m_rownum, nrhs = B.cols(), ldb = B.ld();
    int info = 0;
    if (m_isPositiveDefinite) {
      lapack::pptrs(&uplo, &n, &nrhs, ap.data(), B.data(), &ldb, &info);
    } else {
      lapack::hptrs(&uplo, &n, &nrhs, ap.data(), ipiv.data(), B.data(), &ldb, &info);
    }
    CheckIllegal(info);
  }

  // Factorizes (Cholesky, else Bunch-Kaufman) and solves in one driver call.
  // When D is exactly singular, throws with b unchanged and IsFactorized false.
  void SolveWithSimpleDriver(IMatrix& b) override {
    const auto B = RhsView(b);
    const char uplo = 'U';
    const int n = m_rownum, nrhs = B.cols(), ldb = B.ld();
    // ppsv stops before touching b when the Cholesky factorization fails.
    EitherRoute(
        [&](int* info) { lapack::ppsv(&uplo, &n, &nrhs, ap.data(), B.data(), &ldb, info); },
        [&](int* info) {
          lapack::hpsv(&uplo, &n, &nrhs, ap.data(), ipiv.data(), B.data(), &ldb, info);
        },
        msg::SingularDNoSolution);
  }

  // Replaces the factors by the upper triangle of the inverse. IsFactorized
  // keeps reading true; m_holdsInverse records that ap holds a plain matrix,
  // so a later Solve or Invert factorizes it first rather than taking the
  // inverse for factors.
  void Invert() override {
    if (m_holdsInverse) Factorize();
    const char uplo = 'U';
    const int n = m_rownum;
    int info = 0;
    if (m_isPositiveDefinite) {
      lapack::pptri(&uplo, &n, ap.data(), &info);
    } else {
      NativeArray<Scalar> work(std::max(1, n));
      lapack::hptri(&uplo, &n, ap.data(), ipiv.data(), work.data(), &info);
    }
    CheckInfo(info, msg::CholeskyInversion);
    m_holdsInverse = true;
  }

  bool HoldsInverse() const override { return m_holdsInverse; }

  // An eigen driver has destroyed ap (or left B's Cholesky factor in it):
  // whatever factors or inverse it held are gone.
  void Overwritten() noexcept {
    m_isFactorized = false;
    m_holdsInverse = false;
  }

  void Dispose() noexcept override {
    ap.Release();
    ipiv.Release();
  }

 protected:
  // Square orders only; the equality test comes first, as the fixed message
  // names it, then the library's own limits.
  PackedBase(int rownum, int colnum)
      : KindState(CheckedOrder(rownum, colnum), colnum),
        ap(PackedIndex(0, rownum)),
        ipiv(IdentityPivots(rownum)) {}
  PackedBase(const PackedBase&) = default;

  // Eigenvalues ascending into values[0..n-1] and, when vectors is given,
  // the orthonormal eigenvectors into its columns. Destroys ap.
  void SolveEigenImpl(std::vector<double>& values, IMatrix* vectors) {
    RequireEigenvalueRoom(static_cast<std::int64_t>(values.size()), "Array values");
    Scalar* z = vectors == nullptr ? nullptr : VectorsDat(*vectors);
    CheckInfo(Hpev(values.data(), z), msg::EigenNoConvergence);
  }

  // A x = lambda B x with B positive definite; vectors normalized to
  // Z^H B Z = I. Destroys ap and leaves B's Cholesky factor in b.
  void SolveGeneralizedEigenImpl(IMatrix& b, std::vector<double>& values, IMatrix* vectors) {
    Derived& bmat = dynamic_cast<Derived&>(b);
    RequireEigenvalueRoom(static_cast<std::int64_t>(values.size()), "Array values");
    Scalar* z = vectors == nullptr ? nullptr : VectorsDat(*vectors);
    CheckInfo(Hpgv(bmat, values.data(), z), msg::GeneralizedEigenNoConvergence);
  }

  // jobz 'V' when z is given, 'N' otherwise; returns LAPACK's info. No LAPACK
  // call for order 0, whose work sizes would not be positive.
  int Hpev(double* w, Scalar* z) {
    const int n = m_rownum;
    if (n == 0) return 0;
    const char jobz = z == nullptr ? 'N' : 'V', uplo = 'U';
    const int ldz = n;
    Scalar unusedZ{};
    NativeArray<Scalar> work(lapack::EigenWorkSize(Scalar{}, n));
    NativeArray<double> rwork(lapack::EigenRworkSize(Scalar{}, n));
    int info = 0;
    lapack::hpev(&jobz, &uplo, &n, ap.data(), w, z == nullptr ? &unusedZ : z, &ldz, work.data(),
                 rwork.data(), &info);
    Overwritten();
    return info;
  }

  int Hpgv(Derived& b, double* w, Scalar* z) {
    const int n = m_rownum;
    RequireShape(b, n, n, "Matrix b");
    if (n == 0) return 0;
    // The same object as A and B would be overwritten twice over in one call.
    NativeArray<Scalar> ownB;
    Scalar* bp = b.ap.data();
    if (&b == this) {
      ownB = NativeArray<Scalar>(ap);
      bp = ownB.data();
    }
    const int itype = 1, ldz = n;
    const char jobz = z == nullptr ? 'N' : 'V', uplo = 'U';
    Scalar unusedZ{};
    NativeArray<Scalar> work(lapack::EigenWorkSize(Scalar{}, n));
    NativeArray<double> rwork(lapack::EigenRworkSize(Scalar{}, n));
    int info = 0;
    lapack::hpgv(&itype, &jobz, &uplo, &n, ap.data(), bp, w, z == nullptr ? &unusedZ : z, &ldz,
                 work.data(), rwork.data(), &info);
    Overwritten();
    b.Overwritten();
    return info;
  }

  // Runs the Cholesky routine, and when A turns out not to be positive
  // definite puts the elements back (a failed attempt leaves a partial factor)
  // and runs the Bunch-Kaufman one. When that fails too (D exactly singular)
  // the elements are put back again: a failed factorization leaves the
  // matrix as it was. The copy is filled directly (no zeroing first).
  template <class Cholesky, class Indefinite>
  void EitherRoute(Cholesky&& cholesky, Indefinite&& indefinite, const char* singularMessage) {
    RecordNorm();
    m_isFactorized = false;
    m_holdsInverse = false;
    const std::vector<Scalar> saved(ap.data(), ap.data() + ap.size());
    int info = 0;
    cholesky(&info);
    CheckIllegal(info);
    m_isPositiveDefinite = info == 0;
    if (!m_isPositiveDefinite) {
      std::copy(saved.begin(), saved.end(), ap.data());
      indefinite(&info);
      if (info != 0) std::copy(saved.begin(), saved.end(), ap.data());
      CheckInfo(info, singularMessage);
    }
    m_isFactorized = true;
  }

  // The n x n dense general matrix receiving eigenvectors (ldz = n).
  Scalar* VectorsDat(IMatrix& vectors) const {
    Rhs& v = dynamic_cast<Rhs&>(vectors);
    RequireShape(v, m_rownum, m_rownum, "Matrix vectors");
    return v.View().data();
  }

  void RequireEigenvalueRoom(std::int64_t entries, const char* what) const {
    if (entries < m_rownum) {
      throw OrvaneException(what + FillPlaceholders(msg::TooFewEigenvalueEntries, m_rownum));
    }
  }

  friend StorageAccess;

  NativeArray<Scalar> ap;
  // Identity pivots until the first Bunch-Kaufman factorization, which always
  // fills all n: the indefinite routines never read an unset entry.
  NativeArray<int> ipiv;
  bool m_isPositiveDefinite = true;
  bool m_holdsInverse = false;

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
 public:
  double Norm(NormType type) const override {
    if (m_isFactorized && !m_holdsInverse) throw OrvaneException(msg::NormOfFactors);
    return ElementNorm(NormLetter(type));
  }

  double ReciprocalCondition() override {
    // Exactly singular D; a NaN element (which ?sptrf / ?hptrf report the same way) gives NaN.
    if (!FactorizeForMeasures()) return ReciprocalConditionOf(m_anorm, 0.0);
    const char uplo = 'U';
    const int n = m_rownum;
    return EstimateReciprocalCondition<Scalar>(n, m_anorm, [&](auto work, auto iwork, auto rwork,
                                                               double* rcond, int* info) {
      if (m_isPositiveDefinite) {
        lapack::ppcon(&uplo, &n, ap.data(), &m_anorm, rcond, work, iwork, rwork, info);
      } else {
        lapack::hpcon(&uplo, &n, ap.data(), ipiv.data(), &m_anorm, rcond, work, iwork, info);
      }
    });
  }

  // Cholesky: the squared diagonal of U. Bunch-Kaufman: det D, since U is a
  // product of unit triangular matrices and interchanges that appear twice
  // (U D U^H); D's 2 x 2 blocks [a b; b' c] (rows k and k + 1, marked by
  // negative pivots) contribute a c - |b|^2 = t^2 ((a/t)(c/t) - 1), t = |b|,
  // formed as LAPACK's ?sptri forms it. Diagonal entries of the Hermitian
  // factors are real.
  ScaledProduct<Scalar> Determinant() override {
    ScaledProduct<Scalar> det;
    if (!FactorizeForMeasures()) {
      det.Multiply(Scalar(0));
      return det;
    }
    const int n = m_rownum;
    for (int k = 0; k < n; ++k) {
      const double a = std::real(ap[PackedIndex(k, k)]);
      if (m_isPositiveDefinite) {
        det.Multiply(Scalar(a));
        det.Multiply(Scalar(a));
      } else if (ipiv[k] > 0) {
        det.Multiply(Scalar(a));
      } else {
        const double c = std::real(ap[PackedIndex(k + 1, k + 1)]);
        const double t = std::abs(ap[PackedIndex(k, k + 1)]);
        if (t == 0.0) {
          det.Multiply(Scalar(a * c));
        } else {
          det.Multiply(Scalar(t));
          det.Multiply(Scalar(t));
          det.Multiply(Scalar((a / t) * (c / t) - 1.0));
        }
        ++k;
      }
    }
    return det;
  }

 protected:
  // Called right before every factorization: ReciprocalCondition needs the
  // 1-norm of the matrix whose factors ap will hold.
  void RecordNorm() { m_anorm = OneNormPacked(ap.data(), m_rownum); }

  double ElementNorm(char norm) const {
    const char uplo = 'U';
    const int n = m_rownum;
    NativeArray<double> work(n);
    return lapack::lanhp(&norm, &uplo, &n, ap.data(), work.data());
  }

  // False when Bunch-Kaufman finds D exactly singular: Factorize raises then
  // (the only fault it raises for a matrix of a valid order), and the
  // measures report the singularity as 0. A held inverse is factorized again.
  bool FactorizeForMeasures() {
    if (m_isFactorized && !m_holdsInverse) return true;
    try {
      PackedBase::Factorize();
    } catch (const OrvaneException&) {
      return false;
    }
    return true;
  }

  double m_anorm = 0;  // of the matrix whose factors ap holds

 private:
  static int CheckedOrder(int rownum, int colnum) {
    if (rownum != colnum) throw OrvaneException(msg::SymmetricNotSquare);
    RequireNonNegative(rownum, colnum);
    // LAPACK's packed routines form offsets such as n(n-1)/2 and n(n+1)/2
    // in 32-bit integers, products included.
    if (static_cast<std::int64_t>(rownum) * (rownum + 1) > INT32_MAX) {
      throw OrvaneException(msg::PackedOrderTooLarge);
    }
    return rownum;
  }
};

}  // namespace OrvaneNet::detail
