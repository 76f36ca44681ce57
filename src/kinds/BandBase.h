// The band kinds, real and complex, share these two implementations:
//
//  GeneralBandBase    LU with partial pivoting (gbtrf/gbtrs/gbsv) on LAPACK's
//                     general band layout, kl extra rows kept for fill-in.
//  SymmetricBandBase  Cholesky (pbtrf/pbtrs/pbsv, uplo 'U') on the upper half
//                     of a symmetric (real) or Hermitian (complex) band.
//
// Both keep only the band, in the layout LAPACK factorizes in place, so no
// operation copies or converts the matrix. Offsets are formed in 64-bit
// arithmetic; LAPACK's pivots stay 1-based.
#pragma once

#include <algorithm>
#include <complex>
#include <cstdint>
#include <string>
#include <typeinfo>

#include "OrvaneNet/OrvaneException.h"
#include "core/Interfaces.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "core/NativeArray.h"
#include "core/NumberText.h"
#include "kinds/ElementConversion.h"
#include "kinds/KindBase.h"
#include "kinds/OneNorm.h"
#include "kinds/StorageAccess.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"
#include "lapack/Band.h"

namespace OrvaneNet::detail {

// Checks the shape of a general band matrix (non-negative, square, non-negative
// band counts) and returns its leading dimension 2*kl + ku + 1.
int GeneralBandLeadingDimension(int rownum, int colnum, int subnum, int supernum);
// Checks the shape of a symmetric or Hermitian band matrix (square, equal band
// counts, non-negative) and returns its leading dimension ku + 1.
int SymmetricBandLeadingDimension(int rownum, int colnum, int subnum, int supernum);
// "Value " + valueText + "doesn't fit to (" + i + ", " + j + ")".
[[noreturn]] void ThrowOutOfBand(const std::string& valueText, int i, int j);

// The value's text in the out-of-band message: the general number form for
// real values, Complex's default "(re,im)" form for complex ones.
inline std::string OutOfBandText(double v) { return FormatGeneral(v); }
inline std::string OutOfBandText(Complex v) { return v.ToString(); }

// General band, n = 5, kl = 1, ku = 2, ldab = 2*kl + ku + 1 = 5. Element
// (i, j) sits in row kl + ku + i - j of column j:
//
//   row 0    .    .    .    +    +     fill-in of U during factorization
//   row 1    .    .   a02  a13  a24    second superdiagonal
//   row 2    .   a01  a12  a23  a34    first superdiagonal
//   row 3   a00  a11  a22  a33  a44    diagonal (row kl + ku)
//   row 4   a10  a21  a32  a43   .     subdiagonal
//
template <class Derived, class Scalar>
class GeneralBandBase : public KindBase<Derived, Scalar> {
  ORVANE_KIND_STATE(Derived, Scalar);

 public:
  static constexpr const char* kInversionMessage =
      ByField(msg::BandInversion, msg::ComplexBandInversion);

  bool InBand(int i, int j) const noexcept { return j - i <= m_ku && i - j <= m_kl; }

  // Offset of (i, j) in ab; only meaningful inside the band.
  std::int64_t Index(int i, int j) const noexcept {
    return static_cast<std::int64_t>(m_ldab - 1) * j + m_kl + m_ku + i;
  }

  // Inside the band the stored entry (a factor entry once factorized); 0 outside.
  Element get_Item(int i, int j) const override {
    return InBand(i, j) ? ToElement(ab[Index(i, j)]) : Element{};
  }

  // Inside the band: stores and clears IsFactorized. Outside: a zero (either
  // sign) is ignored, anything else (NaN included) throws and changes nothing.
  void set_Item(int i, int j, Element value) override {
    if (InBand(i, j)) {
      ab[Index(i, j)] = ToStorage(value);
      m_isFactorized = false;
    } else if (!(value == Element{})) {
      ThrowOutOfBand(OutOfBandText(value), i, j);
    }
  }

  void Invert() override { throw OrvaneException(kInversionMessage); }

  // LU in place; info > 0 (an exactly zero pivot of U) is accepted: the
  // factors are complete and solutions show the singularity as non-finite.
  void Factorize() override {
    const int m = m_rownum, n = m_colnum, kl = m_kl, ku = m_ku, ldab = m_ldab;
    int info = 0;
    RecordNorm();
    lapack::gbtrf(&m, &n, &kl, &ku, ab.data(), &ldab, ipiv.data(), &info);
    m_isFactorized = true;
  }

  // Overwrites b (n rows) with the solution from the stored factors.
  void Solve(IMatrix& b) override {
    const auto B = RhsView(b);
    const char trans = 'N';
    const int n = m_rownum, kl = m_kl, ku = m_ku, nrhs = B.cols(), ldab = m_ldab, ldb = B.ld();
    int info = 0;
    lapack::gbtrs(&trans, &n, &kl, &ku, &nrhs, ab.data(), &ldab, ipiv.data(), B.data(), &ldb,
                  &info);  // info < 0 cannot arise from these arguments
  }

  // Factorizes in place and overwrites b with the solution.
  void SolveWithSimpleDriver(IMatrix& b) override {
    const auto B = RhsView(b);
    const int n = m_rownum, kl = m_kl, ku = m_ku, nrhs = B.cols(), ldab = m_ldab, ldb = B.ld();
    int info = 0;
    RecordNorm();
    lapack::gbsv(&n, &kl, &ku, &nrhs, ab.data(), &ldab, ipiv.data(), B.data(), &ldb, &info);
    m_isFactorized = true;
    if (info > 0) {
      // gbsv leaves b untouched when U is singular; the factors are complete,
      // so finishing the solve makes the singularity show in the solution.
      const char trans = 'N';
      lapack::gbtrs(&trans, &n, &kl, &ku, &nrhs, ab.data(), &ldab, ipiv.data(), B.data(), &ldb,
                    &info);
    }
  }

  void Dispose() noexcept override {
    ipiv.Release();
    ab.Release();
  }

 protected:
  GeneralBandBase(int rownum, int colnum, int subnum, int supernum)
      : KindState(rownum, colnum),
        m_ldab(GeneralBandLeadingDimension(rownum, colnum, subnum, supernum)),
        m_ku(supernum),
        m_kl(subnum) {
    ipiv = IdentityPivots(rownum);
    ab = NativeArray<Scalar>(static_cast<std::int64_t>(m_ldab) * rownum);
  }
  GeneralBandBase(const GeneralBandBase&) = default;

 private:
  friend StorageAccess;

  // m_ldab first: it is computed by the shape check, before anything is stored.
  int m_ldab;
  NativeArray<int> ipiv;
  NativeArray<Scalar> ab;
  int m_ku;
  int m_kl;

  // ---- Every element at once (the interface's GetValues and SetValues) ----
  // Line by line through the caller's array: zeros, the band segment (a
  // contiguous run of ab for a column, a strided one for a row), zeros.
  // Positions [lo, hi] of line L hold the band.
  void BandSpan(int L, bool rowMajor, int& lo, int& hi) const noexcept {
    lo = std::max(0, L - (rowMajor ? m_kl : m_ku));
    hi = std::min(m_rownum - 1, L + (rowMajor ? m_ku : m_kl));
  }
  // ab's entry for position p of line L, and the step to the next position.
  std::int64_t LineIndex(int L, int p, bool rowMajor) const noexcept {
    return rowMajor ? Index(L, p) : Index(p, L);
  }

 public:
  template <class T>
  void ReadValues(T* out, bool rowMajor) const {
    const int n = m_rownum;
    const std::int64_t step = rowMajor ? m_ldab - 1 : 1;
    for (int L = 0; L < n; ++L) {
      T* line = out + static_cast<std::int64_t>(L) * n;
      int lo, hi;
      BandSpan(L, rowMajor, lo, hi);
      FillZero(line, lo);
      const Scalar* band = ab.data() + LineIndex(L, lo, rowMajor);
      for (int p = lo; p <= hi; ++p) line[p] = ElementFrom<T>(band[(p - lo) * step]);
      FillZero(line + hi + 1, n - hi - 1);
    }
  }
  // A nonzero outside the band raises the kind's own message for the first
  // one in row-major order, before anything is written.
  template <class T>
  void WriteValues(const T* in, bool rowMajor) {
    const int n = m_rownum;
    bool clean = true;
    for (int L = 0; L < n; ++L) {
      const T* line = in + static_cast<std::int64_t>(L) * n;
      int lo, hi;
      BandSpan(L, rowMajor, lo, hi);
      clean &= AllZero(line, lo) && AllZero(line + hi + 1, n - hi - 1);
    }
    if (!clean) {
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          const T& v = in[FlatIndex(i, j, n, n, rowMajor)];
          if (!InBand(i, j) && !IsZero(v)) ThrowOutOfBand(OutOfBandText(Converted<Element>(v)), i, j);
        }
      }
    }
    const std::int64_t step = rowMajor ? m_ldab - 1 : 1;
    for (int L = 0; L < n; ++L) {
      const T* line = in + static_cast<std::int64_t>(L) * n;
      int lo, hi;
      BandSpan(L, rowMajor, lo, hi);
      Scalar* band = ab.data() + LineIndex(L, lo, rowMajor);
      for (int p = lo; p <= hi; ++p) band[(p - lo) * step] = Converted<Scalar>(line[p]);
    }
    m_isFactorized = false;
  }

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
 public:
  double ReciprocalCondition() override {
    if (!m_isFactorized) GeneralBandBase::Factorize();
    const char norm = '1';
    const int n = m_rownum, kl = m_kl, ku = m_ku, ldab = m_ldab;
    return EstimateReciprocalCondition<Scalar>(n, m_anorm, [&](auto work, auto iwork, auto rwork,
                                                               double* rcond, int* info) {
      lapack::gbcon(&norm, &n, &kl, &ku, ab.data(), &ldab, ipiv.data(), &m_anorm, rcond, work,
                    iwork, rwork, info);
    });
  }

  // U's diagonal stays in row kl + ku, where the elements' diagonal was.
  ScaledProduct<Scalar> Determinant() override {
    if (!m_isFactorized) GeneralBandBase::Factorize();
    return LuDeterminant<Scalar>(m_rownum, ipiv.data(), [&](int i) { return ab[Index(i, i)]; });
  }

 private:
  // Called right before every factorization: ReciprocalCondition needs the
  // 1-norm of the matrix whose factors ab will hold.
  void RecordNorm() { m_anorm = OneNormGeneralBand(ab.data(), m_rownum, m_kl, m_ku, m_ldab); }

  // langb reads the band from its first superdiagonal row, past the kl
  // fill-in rows, with the same ldab.
  double ElementNorm(char norm) const override {
    if (m_rownum == 0) return 0.0;  // ab holds nothing to point into
    const int n = m_rownum, kl = m_kl, ku = m_ku, ldab = m_ldab;
    NativeArray<double> work(norm == 'I' ? n : 0);
    return lapack::langb(&norm, &n, &kl, &ku, ab.data() + kl, &ldab, work.data());
  }

  double m_anorm = 0;  // of the matrix whose factors ab holds
};

// Symmetric / Hermitian band, n = 4, kd = 2, ldab = kd + 1 = 3. Element
// (i, j), i <= j, sits in row kd + i - j of column j, at kd*(j + 1) + i:
//
//   row 0    .    .   a02  a13     second superdiagonal
//   row 1    .   a01  a12  a23     first superdiagonal
//   row 2   a00  a11  a22  a33     diagonal (row kd)
//
// (i, j) with i > j is the stored (j, i), conjugated for a Hermitian matrix.
template <class Derived, class Scalar>
class SymmetricBandBase : public KindBase<Derived, Scalar> {
  ORVANE_KIND_STATE(Derived, Scalar);

 public:
  static constexpr const char* kInversionMessage = msg::BandInversion;
  // The real kind shares the symmetric tridiagonal kind's wording.
  static constexpr const char* kNotPositiveDefiniteMessage =
      ByField(msg::SymmetricTridiagonalNotPositiveDefinite, msg::HermitianBandNotPositiveDefinite);

  // Offset of (i, j), i <= j and j - i <= ku, in ab.
  std::int64_t Index(int i, int j) const noexcept {
    return static_cast<std::int64_t>(m_ku) * (j + 1) + i;
  }

  // The stored entry (or its mirror) inside the band, 0 outside.
  Element get_Item(int i, int j) const override {
    if (i <= j) return j - i <= m_ku ? ToElement(ab[Index(i, j)]) : Element{};
    return i - j <= m_ku ? ToElement(Mirror(ab[Index(j, i)])) : Element{};
  }

  // Inside the band: stores (the mirror for i > j) and clears IsFactorized.
  // Outside the band any value is ignored.
  void set_Item(int i, int j, Element value) override {
    if (i == j) RequireRealDiagonal(value);
    if (i <= j) {
      if (j - i > m_ku) return;
      ab[Index(i, j)] = ToStorage(value);
    } else {
      if (i - j > m_ku) return;
      ab[Index(j, i)] = Mirror(ToStorage(value));
    }
    m_isFactorized = false;
  }

  void Invert() override { throw OrvaneException(kInversionMessage); }

  // Cholesky A = U^H U in place. Not positive definite: throws, and the
  // flag and the elements stay as they were.
  void Factorize() override {
    const char uplo = 'U';
    const int n = m_rownum, kd = m_ku, ldab = m_ku + 1;
    FactorizeOrRestore([&](int* info) { lapack::pbtrf(&uplo, &n, &kd, ab.data(), &ldab, info); });
  }

  // Overwrites b (n rows) with the solution from the stored factor.
  void Solve(IMatrix& b) override {
    const auto B = RhsView(b);
    const char uplo = 'U';
    const int n = m_rownum, kd = m_ku, ldab = m_ku + 1, nrhs = B.cols(), ldb = B.ld();
    int info = 0;
    lapack::pbtrs(&uplo, &n, &kd, &nrhs, ab.data(), &ldab, B.data(), &ldb, &info);
    CheckIllegal(info);  // pbtrs reports no info > 0
  }

  // Factorizes and solves in one call. Not positive definite: throws, and b,
  // the flag and the elements stay as they were (pbsv stops before b).
  void SolveWithSimpleDriver(IMatrix& b) override {
    const auto B = RhsView(b);
    const char uplo = 'U';
    const int n = m_rownum, kd = m_ku, ldab = m_ku + 1, nrhs = B.cols(), ldb = B.ld();
    FactorizeOrRestore([&](int* info) {
      lapack::pbsv(&uplo, &n, &kd, &nrhs, ab.data(), &ldab, B.data(), &ldb, info);
    });
  }

  void Dispose() noexcept override { ab.Release(); }

 protected:
  SymmetricBandBase(int rownum, int colnum, int subnum, int supernum)
      : KindState(rownum, colnum),
        ab(static_cast<std::int64_t>(
               SymmetricBandLeadingDimension(rownum, colnum, subnum, supernum)) *
           rownum),
        m_ku(supernum) {}
  SymmetricBandBase(const SymmetricBandBase&) = default;

 private:
  friend StorageAccess;

  // Runs a factorizing routine on a copy kept aside: when it fails (pbtrf
  // stops with a partial factor in place) the band is put back and the
  // failure raised, so the matrix is never left half factorized.
  template <class Call>
  void FactorizeOrRestore(Call&& call) {
    RecordNorm();
    NativeArray<Scalar> saved(ab);
    int info = 0;
    call(&info);
    if (info != 0) {
      ab = std::move(saved);
      CheckInfo(info, kNotPositiveDefiniteMessage);
    }
    m_isFactorized = true;
  }

  NativeArray<Scalar> ab;
  int m_ku;  // = kd; the shape check made subnum equal to it

  // ---- Every element at once (the interface's GetValues and SetValues) ----
  // Line by line through the caller's array. Of line L, positions [L - ku, L]
  // come from column L of ab (contiguous), positions (L, L + ku] from row L
  // (stride ku); a column of A takes the first as stored and mirrors the
  // second, a row of A the other way round. Writing checks the whole input
  // by the symmetric rule first, then keeps the upper band.
 public:
  template <class T>
  void ReadValues(T* out, bool rowMajor) const {
    const int n = m_rownum, k = m_ku;
    for (int L = 0; L < n; ++L) {
      T* line = out + static_cast<std::int64_t>(L) * n;
      const int lo = std::max(0, L - k), hi = std::min(n - 1, L + k);
      FillZero(line, lo);
      const Scalar* column = ab.data() + Index(lo, L);
      if (rowMajor) {
        for (int p = lo; p < L; ++p) line[p] = ElementFrom<T>(Mirror(column[p - lo]));
        line[L] = ElementFrom<T>(column[L - lo]);
      } else {
        CopyConverted(column, L - lo + 1, line + lo);
      }
      for (int p = L + 1; p <= hi; ++p) {
        const Scalar v = ab[Index(L, p)];
        line[p] = ElementFrom<T>(rowMajor ? v : Mirror(v));
      }
      FillZero(line + hi + 1, n - hi - 1);
    }
  }
  template <class T>
  void WriteValues(const T* in, bool rowMajor) {
    const int n = m_rownum, k = m_ku;
    CheckSymmetricInput(in, rowMajor,
                        SymmetricRule{n, k, kComplex,
                                      std::string(ByField("symmetric", "Hermitian")) +
                                          " band matrix with " + std::to_string(k) +
                                          (k == 1 ? " off-diagonal" : " off-diagonals") +
                                          " on each side"});
    for (int j = 0; j < n; ++j) {
      const int lo = std::max(0, j - k);
      Scalar* column = ab.data() + Index(lo, j);
      if (rowMajor) {
        for (int i = lo; i <= j; ++i) column[i - lo] = Converted<Scalar>(in[j + static_cast<std::int64_t>(i) * n]);
      } else {
        CopyConverted(in + lo + static_cast<std::int64_t>(j) * n, j - lo + 1, column);
      }
      if constexpr (kComplex) column[j - lo] = Scalar(column[j - lo].real());
    }
    m_isFactorized = false;
  }

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
 public:
  double ReciprocalCondition() override {
    if (!m_isFactorized) SymmetricBandBase::Factorize();
    const char uplo = 'U';
    const int n = m_rownum, kd = m_ku, ldab = m_ku + 1;
    return EstimateReciprocalCondition<Scalar>(n, m_anorm, [&](auto work, auto iwork, auto rwork,
                                                               double* rcond, int* info) {
      lapack::pbcon(&uplo, &n, &kd, ab.data(), &ldab, &m_anorm, rcond, work, iwork, rwork, info);
    });
  }

  // The squared (real) diagonal of the Cholesky factor U.
  ScaledProduct<Scalar> Determinant() override {
    if (!m_isFactorized) SymmetricBandBase::Factorize();
    ScaledProduct<Scalar> det;
    for (int j = 0; j < m_rownum; ++j) {
      const Scalar u(std::real(ab[Index(j, j)]));
      det.Multiply(u);
      det.Multiply(u);
    }
    return det;
  }

 private:
  // Called right before every factorization: ReciprocalCondition needs the
  // 1-norm of the matrix whose factor ab will hold.
  void RecordNorm() { m_anorm = OneNormSymmetricBand(ab.data(), m_rownum, m_ku, m_ku + 1); }

  // The upper band, as the factorization reads it (uplo 'U').
  double ElementNorm(char norm) const override {
    const char uplo = 'U';
    const int n = m_rownum, k = m_ku, ldab = m_ku + 1;
    NativeArray<double> work(n);
    return lapack::lanhb(&norm, &uplo, &n, &k, ab.data(), &ldab, work.data());
  }

  double m_anorm = 0;  // of the matrix whose factor ab holds
};

}  // namespace OrvaneNet::detail
