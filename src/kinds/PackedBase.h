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
// that Solve and Invert call the matching routines. The Cholesky attempt
// runs on a Rectangular Full Packed copy of the triangle, where LAPACK's
// factorization is blocked (pptrf on ap works column by column, at a third
// of the speed); the factor is copied back into ap in the packed layout, and
// a failed attempt leaves ap as it was for the fallback.
#pragma once

#include <algorithm>
#include <cmath>
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
#include "kinds/Workspace.h"

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
    EitherRoute([&](int* info) { *info = RfpCholesky(); },
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
    // As ppsv would: b is touched only once the Cholesky factor is in ap.
    EitherRoute(
        [&](int* info) {
          *info = RfpCholesky();
          if (*info == 0) lapack::pptrs(&uplo, &n, &nrhs, ap.data(), B.data(), &ldb, info);
        },
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
      info = RfpInverse();
    } else {
      NativeArray<Scalar> work(std::max(1, n));
      lapack::hptri(&uplo, &n, ap.data(), ipiv.data(), work.data(), &info);
    }
    CheckInfo(info, msg::CholeskyInversion);
    m_holdsInverse = true;
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
  // the orthonormal eigenvectors into its columns. May destroy ap.
  void SolveEigenImpl(std::vector<double>& values, IMatrix* vectors) {
    RequireEigenvalueRoom(static_cast<std::int64_t>(values.size()), "Array values");
    Scalar* z = vectors == nullptr ? nullptr : VectorsDat(*vectors);
    CheckInfo(RunEigen(values.data(), z), msg::EigenNoConvergence);
  }

  // A x = lambda B x with B positive definite; vectors normalized to
  // Z^H B Z = I. May destroy ap; leaves B's Cholesky factor in b.
  void SolveGeneralizedEigenImpl(IMatrix& b, std::vector<double>& values, IMatrix* vectors) {
    Derived& bmat = dynamic_cast<Derived&>(b);
    RequireEigenvalueRoom(static_cast<std::int64_t>(values.size()), "Array values");
    Scalar* z = vectors == nullptr ? nullptr : VectorsDat(*vectors);
    CheckInfo(RunGeneralizedEigen(bmat, values.data(), z), msg::GeneralizedEigenNoConvergence);
  }

  // Divide and conquer; jobz 'V' when z (n x n, ldz = n) is given, 'N'
  // otherwise. Returns LAPACK's info, in the meanings of the QR drivers
  // (hpev) this replaces: > 0 a convergence failure. (With eigenvectors and
  // n > 25 LAPACK's positive info encodes the failing submatrix instead of
  // counting unconverged elements.) No LAPACK call for order 0.
  //
  // Values only: on the packed triangle (hpevd), so memory stays the packed
  // array plus O(n). With eigenvectors: the triangle unpacked into z itself,
  // which heevd overwrites with the eigenvectors; the full-storage reduction
  // and back-transformation are blocked (hpevd's are not), twice as fast,
  // and the n x n array is the result's anyway. ap is then left as it was.
  int RunEigen(double* w, Scalar* z) {
    const int n = m_rownum;
    if (n == 0) return 0;
    const char uplo = 'U';
    int info = 0;
    if (z == nullptr) {
      const char jobz = 'N';
      const int ldz = n;
      Scalar unusedZ{};
      info = RunWithWorkspaces<Scalar>(
          [&](Scalar* work, const int* lwork, double* rwork, const int* lrwork, int* iwork,
              const int* liwork, int* status) {
            lapack::hpevd(&jobz, &uplo, &n, ap.data(), w, &unusedZ, &ldz, work, lwork, rwork,
                          lrwork, iwork, liwork, status);
          });
      Overwritten();
    } else {
      const char jobz = 'V';
      const int lda = n;
      Unpack(ap.data(), z);
      info = RunWithWorkspaces<Scalar>(
          [&](Scalar* work, const int* lwork, double* rwork, const int* lrwork, int* iwork,
              const int* liwork, int* status) {
            lapack::heevd(&jobz, &uplo, &n, z, &lda, w, work, lwork, rwork, lrwork, iwork,
                          liwork, status);
          });
    }
    return NoConvergenceOnNaN(info, w);
  }

  // The same for A x = lambda B x (itype 1); info > n: B is not positive
  // definite (its leading minor of order info - n). On the packed triangles
  // without eigenvectors (hpgvd, which leaves B's factor in b.ap); with them,
  // A unpacked into z and B into a full scratch array for hegvd, whose
  // factor of B is then packed into b.ap. A B found not positive definite
  // there keeps its elements.
  int RunGeneralizedEigen(Derived& b, double* w, Scalar* z) {
    const int n = m_rownum;
    RequireShape(b, n, n, "Matrix b");
    if (n == 0) return 0;
    const int itype = 1;
    const char uplo = 'U';
    int info = 0;
    if (z == nullptr) {
      // The same object as A and B would be overwritten twice over in one call.
      NativeArray<Scalar> ownB;
      Scalar* bp = b.ap.data();
      if (&b == this) {
        ownB = NativeArray<Scalar>(ap);
        bp = ownB.data();
      }
      const char jobz = 'N';
      const int ldz = n;
      Scalar unusedZ{};
      info = RunWithWorkspaces<Scalar>(
          [&](Scalar* work, const int* lwork, double* rwork, const int* lrwork, int* iwork,
              const int* liwork, int* status) {
            lapack::hpgvd(&itype, &jobz, &uplo, &n, ap.data(), bp, w, &unusedZ, &ldz, work,
                          lwork, rwork, lrwork, iwork, liwork, status);
          });
      Overwritten();
      b.Overwritten();
    } else {
      const char jobz = 'V';
      const int lda = n, ldb = n;
      WorkArray<Scalar> full(static_cast<std::int64_t>(n) * n);
      // Both unpacked before the call: A and B may be the same object.
      Unpack(ap.data(), z);
      Unpack(b.ap.data(), full.data());
      info = RunWithWorkspaces<Scalar>(
          [&](Scalar* work, const int* lwork, double* rwork, const int* lrwork, int* iwork,
              const int* liwork, int* status) {
            lapack::hegvd(&itype, &jobz, &uplo, &n, z, &lda, full.data(), &ldb, w, work, lwork,
                          rwork, lrwork, iwork, liwork, status);
          });
      if (info >= 0 && info <= n) {
        Pack(full.data(), b.ap.data());
        b.Overwritten();
      }
    }
    return NoConvergenceOnNaN(info, w);
  }

  // Divide and conquer, unlike the QR iteration, does not notice a NaN in
  // its input: it returns NaN eigenvalues with info 0. Such a result is
  // reported as the QR drivers reported it, as a convergence failure (info:
  // the number of eigenvalues lost), never as a success.
  int NoConvergenceOnNaN(int info, const double* w) const {
    if (info != 0) return info;
    return static_cast<int>(std::count_if(w, w + m_rownum, [](double v) { return std::isnan(v); }));
  }

  // The packed upper triangle into the upper triangle of an n x n array
  // (leading dimension n), and back; the strict lower triangle is neither
  // written nor read (the 'U' routines ignore it).
  void Unpack(const Scalar* packed, Scalar* full) const {
    const std::int64_t n = m_rownum;
    for (std::int64_t j = 0; j < n; ++j) {
      std::copy_n(packed + j * (j + 1) / 2, j + 1, full + j * n);
    }
  }
  void Pack(const Scalar* full, Scalar* packed) const {
    const std::int64_t n = m_rownum;
    for (std::int64_t j = 0; j < n; ++j) {
      std::copy_n(full + j * n, j + 1, packed + j * (j + 1) / 2);
    }
  }

  // Cholesky of ap through Rectangular Full Packed storage: the triangle
  // converted (tpttf), factorized blocked (pftrf), and the factor converted
  // back into ap (tfttp), where it is exactly what pptrf leaves (within
  // rounding) for pptrs, pftri, hptrs and element reads. Returns pftrf's
  // info (> 0: not positive definite, as pptrf's); ap is written only on
  // success, so the RFP array is also the copy the fallback needs.
  //
  // pftrf stops at a NaN pivot, pptrf does not (it tests only for <= 0) and
  // leaves a factor of NaN. Non-finite input keeps pptrf's outcome: the
  // reference sptrf, which the fallback would run instead, indexes outside ap
  // when a NaN defeats its pivot search.
  int RfpCholesky() {
    const int info = ThroughRfp(
        [](const char* transr, const char* uplo, const int* n, Scalar* arf, int* status) {
          lapack::pftrf(transr, uplo, n, arf, status);
        });
    if (info <= 0 || std::all_of(ap.data(), ap.data() + ap.size(),
                                 [](const Scalar& v) { return std::isfinite(std::abs(v)); })) {
      return info;
    }
    const NativeArray<Scalar> original(ap);
    const char uplo = 'U';
    const int n = m_rownum;
    int pinfo = 0;
    lapack::pptrf(&uplo, &n, ap.data(), &pinfo);
    if (pinfo > 0) std::copy_n(original.data(), original.size(), ap.data());
    return pinfo;
  }

  // The inverse from the Cholesky factor in ap, the same way (pftri: twice
  // as fast as pptri at n = 1000). Returns pftri's info (> 0: a zero on the
  // factor's diagonal, as pptri's); ap is written only on success.
  int RfpInverse() { return ThroughRfp([](const char* transr, const char* uplo, const int* n,
                                          Scalar* arf, int* info) {
    lapack::pftri(transr, uplo, n, arf, info);
  }); }

  template <class Routine>
  int ThroughRfp(Routine&& routine) {
    const char transr = 'N', uplo = 'U';
    const int n = m_rownum;
    if (n == 0) return 0;
    // Slack after the end at every size: OpenBLAS's zlauum (inside zpftri)
    // reads past the end of a small RFP array too.
    constexpr std::int64_t kSlackElements = 4096 / sizeof(Scalar);
    auto arf = WorkArray<Scalar>::Uninitialized(ap.size() + kSlackElements);
    int info = 0;
    lapack::tpttf(&transr, &uplo, &n, ap.data(), arf.data(), &info);
    if (info == 0) routine(&transr, &uplo, &n, arf.data(), &info);
    if (info == 0) lapack::tfttp(&transr, &uplo, &n, arf.data(), ap.data(), &info);
    return info;
  }

  // Runs the Cholesky attempt, which leaves ap as it was when A turns out not
  // to be positive definite, and then the Bunch-Kaufman routine on it. When
  // that fails too (D exactly singular) the elements are put back: a failed
  // factorization leaves the matrix as it was. Only this route pays for a
  // copy, filled directly (no zeroing first).
  template <class Cholesky, class Indefinite>
  void EitherRoute(Cholesky&& cholesky, Indefinite&& indefinite, const char* singularMessage) {
    RecordNorm();
    m_isFactorized = false;
    m_holdsInverse = false;
    int info = 0;
    cholesky(&info);
    CheckIllegal(info);
    m_isPositiveDefinite = info == 0;
    if (!m_isPositiveDefinite) {
      const std::vector<Scalar> saved(ap.data(), ap.data() + ap.size());
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

  // ---- Every element at once (the interface's GetValues and SetValues) ----
  // Reading fills the half of each line of the caller's array that a packed
  // column gives contiguously, then mirrors it across the diagonal tile by
  // tile. Writing checks the whole input by the symmetric rule first, then
  // keeps the upper triangle (and the real part of a Hermitian diagonal).
 public:
  template <class T>
  void ReadValues(T* out, bool rowMajor) const {
    const int n = m_rownum;
    for (int j = 0; j < n; ++j) {
      const Scalar* column = ap.data() + PackedIndex(0, j);
      T* line = out + static_cast<std::int64_t>(j) * n;
      if (rowMajor) {
        // Row j left of the diagonal: the mirrors of column j's entries.
        for (int i = 0; i < j; ++i) line[i] = ElementFrom<T>(Mirror(column[i]));
        line[j] = ElementFrom<T>(column[j]);
      } else {
        CopyConverted(column, j + 1, line);
      }
    }
    MirrorUpperToLower(out, n);
  }
  template <class T>
  void WriteValues(const T* in, bool rowMajor) {
    const int n = m_rownum;
    CheckSymmetricInput(in, rowMajor, SymmetricRule{n, std::max(n - 1, 0), kComplex, {}});
    const std::int64_t ld = n;
    if (rowMajor) {
      // a(i, j) = in[j + i n]: tile by tile, so that the rows read stay cached.
      for (int jb = 0; jb < n; jb += kCopyTile) {
        const int je = std::min(n, jb + kCopyTile);
        for (int ib = 0; ib <= jb; ib += kCopyTile) {
          for (int j = jb; j < je; ++j) {
            Scalar* column = ap.data() + PackedIndex(0, j);
            const int ie = std::min(j + 1, ib + kCopyTile);
            for (int i = ib; i < ie; ++i) column[i] = Converted<Scalar>(in[j + i * ld]);
          }
        }
      }
    } else {
      for (int j = 0; j < n; ++j) CopyConverted(in + j * ld, j + 1, ap.data() + PackedIndex(0, j));
    }
    if constexpr (kComplex) {
      for (int i = 0; i < n; ++i) ap[PackedIndex(i, i)] = Scalar(ap[PackedIndex(i, i)].real());
    }
    m_isFactorized = false;
    m_holdsInverse = false;
  }

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
 public:
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

  double ElementNorm(char norm) const override {
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
