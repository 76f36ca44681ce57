// The tridiagonal kinds, real and complex, share these two implementations:
// GeneralTridiagonalBase (three diagonals, LU with partial pivoting) and
// HermitianTridiagonalBase (real diagonal and one off-diagonal, positive
// definite L*D*L^H). Right-hand sides are the dense general twin of the
// element type (KindBase's Rhs), handed to LAPACK through its view.
//
// Storage of order n = 4 (zero-based, each diagonal in its own array):
//
//   general                          symmetric / Hermitian
//   | d0  du0              |         | d0    e0               |
//   | dl0 d1  du1          |         | e0'   d1    e1         |
//   |     dl1 d2  du2      |         |       e1'   d2    e2   |
//   |         dl2 d3       |         |             e2'   d3   |
//
// d has n entries, dl, du and e n - 1, du2 n - 2 (never fewer than 0, so
// orders 0 and 1 allocate nothing off the diagonal). e' is e for the real
// kind and conj(e) for the Hermitian kind, whose diagonal d is real.
#pragma once

#include <algorithm>
#include <complex>
#include <cstdint>
#include <string>

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
#include "lapack/Tridiagonal.h"

namespace OrvaneNet::detail {

// A diagonal entry of a symmetric or Hermitian matrix is real; the Hermitian
// kind refuses a value with an imaginary part rather than dropping it.
inline double RealDiagonal(double v) noexcept { return v; }
inline double RealDiagonal(Complex v) {
  if (v.get_Imag() != 0.0) throw OrvaneException(msg::HermitianTridiagonalComplexDiagonal);
  return v.get_Real();
}

// Validates the shape before any allocation and returns the order.
inline int TridiagonalOrder(int rownum, int colnum, const char* notSquareMessage) {
  if (rownum != colnum) throw OrvaneException(notSquareMessage);
  RequireNonNegative(rownum, colnum);
  return rownum;
}

// Entries of the diagonal `offset` steps away from the main one.
inline std::int64_t DiagonalLength(int n, int offset) noexcept {
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(n) - offset);
}

template <class T>
bool OnlyThreeDiagonals(const T* in, int n) noexcept;

template <class Derived, class Scalar>
class GeneralTridiagonalBase : public KindBase<Derived, Scalar> {
  ORVANE_KIND_STATE(Derived, Scalar);

 public:
  static constexpr const char* kInversionMessage =
      ByField(msg::TridiagonalInversion, msg::ComplexTridiagonalInversion);

  Element get_Item(int i, int j) const override {
    if (i == j) return ToElement(d[i]);
    if (j == i + 1) return ToElement(du[i]);
    if (i == j + 1) return ToElement(dl[j]);
    return ToElement(Scalar(0));
  }

  // Off the three diagonals only a zero (of either sign) is accepted, and it
  // changes nothing, not even the factorization flag.
  void set_Item(int i, int j, Element value) override {
    const Scalar v = ToStorage(value);
    if (i == j) {
      d[i] = v;
    } else if (j == i + 1) {
      du[i] = v;
    } else if (i == j + 1) {
      dl[j] = v;
    } else {
      if (v == Scalar(0)) return;  // a NaN is not zero and is refused
      throw OrvaneException(msg::NotTridiagonalElement);
    }
    m_isFactorized = false;
  }

  void Invert() override { throw OrvaneException(kInversionMessage); }

  void Factorize() override {
    const int n = m_rownum;
    int info = 0;
    RecordNorm();
    lapack::gttrf(&n, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(), &info);
    m_isFactorized = true;  // info > 0 (a zero on U's diagonal) is accepted
  }

  void Solve(IMatrix& b) override { SolveWithFactors(TestedRhsView(b)); }

  // Factorizes with gttrf and solves with gttrs instead of calling gtsv: the
  // solution is the same, but gtsv keeps neither multipliers nor pivots, and
  // a later Solve (chosen because IsFactorized is true) needs both. For an
  // exactly singular matrix gttrs on the completed factors makes the
  // solution non-finite where gtsv would return b untouched.
  void SolveWithSimpleDriver(IMatrix& b) override {
    const auto B = TestedRhsView(b);
    GeneralTridiagonalBase::Factorize();
    SolveWithFactors(B);
  }

  void Dispose() noexcept override {
    d.Release();
    dl.Release();
    du.Release();
    du2.Release();
    ipiv.Release();
  }

 protected:
  GeneralTridiagonalBase(int rownum, int colnum)
      : KindState(TridiagonalOrder(rownum, colnum, msg::GeneralNotSquare), colnum),
        d(DiagonalLength(m_rownum, 0)),
        dl(DiagonalLength(m_rownum, 1)),
        du(DiagonalLength(m_rownum, 1)),
        du2(DiagonalLength(m_rownum, 2)),
        ipiv(IdentityPivots(m_rownum)) {}
  GeneralTridiagonalBase(const GeneralTridiagonalBase&) = default;

 private:
  friend StorageAccess;

  // The real kind names a wrong right-hand side with its own message; the
  // complex kind raises RhsView's BadKindCast.
  DenseView<Scalar> TestedRhsView(IMatrix& b) const {
    if constexpr (!kComplex) {
      if (b.get_Type() != Rhs::kType) throw OrvaneException(msg::RhsNotGeneral);
    }
    return RhsView(b);
  }

  void SolveWithFactors(const DenseView<Scalar>& B) {
    const char trans = 'N';
    const int n = m_rownum, nrhs = B.cols(), ldb = B.ld();
    int info = 0;
    lapack::gttrs(&trans, &n, &nrhs, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(),
                  B.data(), &ldb, &info);
    // info is not examined: every argument was checked above.
  }

  NativeArray<Scalar> d;
  NativeArray<Scalar> dl;
  NativeArray<Scalar> du;
  NativeArray<Scalar> du2;  // zeros and identity pivots until the first gttrf
  NativeArray<int> ipiv;

  // ---- Every element at once (the interface's GetValues and SetValues) ----
  // The caller's array is zero but for the three diagonals. Writing refuses
  // a nonzero anywhere else (the kind's own message) before it writes.
 public:
  template <class T>
  void ReadValues(T* out, bool rowMajor) const {
    ReadTridiagonal(
        out, m_rownum, rowMajor, [&](int i) { return d[i]; }, [&](int i) { return du[i]; },
        [&](int i) { return dl[i]; });
  }
  template <class T>
  void WriteValues(const T* in, bool rowMajor) {
    const int n = m_rownum;
    if (!OnlyThreeDiagonals(in, n)) throw OrvaneException(msg::NotTridiagonalElement);
    for (int i = 0; i < n; ++i) {
      d[i] = Converted<Scalar>(in[FlatIndex(i, i, n, n, rowMajor)]);
      if (i + 1 == n) break;
      du[i] = Converted<Scalar>(in[FlatIndex(i, i + 1, n, n, rowMajor)]);
      dl[i] = Converted<Scalar>(in[FlatIndex(i + 1, i, n, n, rowMajor)]);
    }
    m_isFactorized = false;
  }

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
 public:
  double ReciprocalCondition() override {
    if (!m_isFactorized) GeneralTridiagonalBase::Factorize();
    const char norm = '1';
    const int n = m_rownum;
    return EstimateReciprocalCondition<Scalar>(n, m_anorm, [&](auto work, auto iwork, auto,
                                                               double* rcond, int* info) {
      lapack::gtcon(&norm, &n, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(), &m_anorm,
                    rcond, work, iwork, info);
    });
  }

  // U's diagonal is d.
  ScaledProduct<Scalar> Determinant() override {
    if (!m_isFactorized) GeneralTridiagonalBase::Factorize();
    return LuDeterminant<Scalar>(m_rownum, ipiv.data(), [&](int i) { return d[i]; });
  }

 private:
  // Called right before every factorization: ReciprocalCondition needs the
  // 1-norm of the matrix whose factors the diagonals will hold.
  void RecordNorm() { m_anorm = OneNormTridiagonal(dl.data(), d.data(), du.data(), m_rownum); }

  double ElementNorm(char norm) const override {
    const int n = m_rownum;
    return lapack::langt(&norm, &n, dl.data(), d.data(), du.data());
  }

  double m_anorm = 0;  // of the matrix whose factors the diagonals hold
};

// Whether the n x n array (either layout: the pattern is symmetric) is zero
// off its three middle diagonals.
template <class T>
bool OnlyThreeDiagonals(const T* in, int n) noexcept {
  bool clean = true;
  for (int L = 0; L < n; ++L) {
    const T* line = in + static_cast<std::int64_t>(L) * n;
    clean &= AllZero(line, L - 1) && AllZero(line + L + 2, n - L - 2);
  }
  return clean;
}

// Scalar is the element type of the off-diagonal e; the diagonal d is real.
template <class Derived, class Scalar>
class HermitianTridiagonalBase : public KindBase<Derived, Scalar> {
  ORVANE_KIND_STATE(Derived, Scalar);

 public:
  static constexpr const char* kInversionMessage = msg::TridiagonalInversion;
  static constexpr const char* kNotPositiveDefiniteMessage = ByField(
      msg::SymmetricTridiagonalNotPositiveDefinite, msg::HermitianTridiagonalNotPositiveDefinite);

  // Below the diagonal reads the (conjugated) mirror of e.
  Element get_Item(int i, int j) const override {
    if (i == j) return ToElement(Scalar(d[i]));
    if (j == i + 1) return ToElement(e[i]);
    if (i == j + 1) return ToElement(Mirror(e[j]));
    return ToElement(Scalar(0));
  }

  // Writes outside the three diagonals are ignored whatever the value.
  void set_Item(int i, int j, Element value) override {
    if (i == j) {
      d[i] = RealDiagonal(value);
    } else if (j == i + 1) {
      e[i] = ToStorage(value);
    } else if (i == j + 1) {
      e[j] = Mirror(ToStorage(value));
    } else {
      return;
    }
    m_isFactorized = false;
  }

  void Invert() override { throw OrvaneException(kInversionMessage); }

  // Not positive definite: throws, the flag is cleared and d and e hold the
  // matrix as it was.
  void Factorize() override {
    const int n = m_rownum;
    FactorizeOrRestore([&](int* info) { lapack::pttrf(&n, d.data(), e.data(), info); });
  }

  // e is the superdiagonal of U in A = U^H * D * U, hence uplo 'U'.
  void Solve(IMatrix& b) override {
    const auto B = RhsView(b);
    const char uplo = 'U';
    const int n = m_rownum, nrhs = B.cols(), ldb = B.ld();
    int info = 0;
    lapack::pttrs(&uplo, &n, &nrhs, d.data(), e.data(), B.data(), &ldb, &info);
    CheckIllegal(info);  // pttrs reports no positive info
  }

  // The real kind solves with ptsv, which leaves the same factors as
  // Factorize; the Hermitian kind offers no one-call solve.
  void SolveWithSimpleDriver(IMatrix& b) override {
    if constexpr (!kComplex) {
      const auto B = RhsView(b);
      const int n = m_rownum, nrhs = B.cols(), ldb = B.ld();
      FactorizeOrRestore([&](int* info) {
        lapack::ptsv(&n, &nrhs, d.data(), e.data(), B.data(), &ldb, info);
      });
    } else {
      (void)b;
      throw OrvaneException(msg::ZptsvUnsupported);
    }
  }

  void Dispose() noexcept override {
    d.Release();
    e.Release();
  }

 protected:
  HermitianTridiagonalBase(int rownum, int colnum)
      : KindState(TridiagonalOrder(rownum, colnum, msg::SymmetricNotSquare), colnum),
        d(DiagonalLength(m_rownum, 0)),
        e(DiagonalLength(m_rownum, 1)) {}
  HermitianTridiagonalBase(const HermitianTridiagonalBase&) = default;

 private:
  friend StorageAccess;

  // Runs a factorizing routine with the diagonals kept aside: when it fails
  // (pttrf stops with d and e partly factored) they are put back, the flag
  // is cleared and the failure raised.
  template <class Call>
  void FactorizeOrRestore(Call&& call) {
    RecordNorm();
    NativeArray<double> savedD(d);
    NativeArray<Scalar> savedE(e);
    int info = 0;
    call(&info);
    m_isFactorized = info == 0;
    if (info != 0) {
      d = std::move(savedD);
      e = std::move(savedE);
      CheckInfo(info, kNotPositiveDefiniteMessage);
    }
  }

  NativeArray<double> d;
  NativeArray<Scalar> e;

  // ---- Every element at once (the interface's GetValues and SetValues) ----
  // Writing checks the whole input by the symmetric rule (zero off the
  // three diagonals), then keeps the superdiagonal and the real diagonal.
 public:
  template <class T>
  void ReadValues(T* out, bool rowMajor) const {
    ReadTridiagonal(
        out, m_rownum, rowMajor, [&](int i) { return Scalar(d[i]); }, [&](int i) { return e[i]; },
        [&](int i) { return Mirror(e[i]); });
  }
  template <class T>
  void WriteValues(const T* in, bool rowMajor) {
    const int n = m_rownum;
    CheckSymmetricInput(in, rowMajor,
                        SymmetricRule{n, 1, kComplex,
                                      std::string(ByField("symmetric", "Hermitian")) +
                                          " tridiagonal matrix"});
    for (int i = 0; i < n; ++i) {
      d[i] = RealOf(in[FlatIndex(i, i, n, n, rowMajor)]);
      if (i + 1 < n) e[i] = Converted<Scalar>(in[FlatIndex(i, i + 1, n, n, rowMajor)]);
    }
    m_isFactorized = false;
  }

  // ---- norm, condition estimate and determinant (core/Measures.h) ----
 public:
  // ptcon computes |A^-1|_1 exactly from the L D L^H factors.
  double ReciprocalCondition() override {
    if (!m_isFactorized) HermitianTridiagonalBase::Factorize();
    const int n = m_rownum;
    return EstimateReciprocalCondition<Scalar>(n, m_anorm, [&](auto, auto, double* rwork,
                                                               double* rcond, int* info) {
      lapack::ptcon(&n, d.data(), e.data(), &m_anorm, rcond, rwork, info);
    });
  }

  // The diagonal of D; the unit triangular factors contribute 1.
  ScaledProduct<Scalar> Determinant() override {
    if (!m_isFactorized) HermitianTridiagonalBase::Factorize();
    ScaledProduct<Scalar> det;
    for (int i = 0; i < m_rownum; ++i) det.Multiply(Scalar(d[i]));
    return det;
  }

 private:
  // Called right before every factorization: ReciprocalCondition needs the
  // 1-norm of the matrix whose factors d and e will hold.
  void RecordNorm() { m_anorm = OneNormHermitianTridiagonal(d.data(), e.data(), m_rownum); }

  double ElementNorm(char norm) const override {
    const int n = m_rownum;
    return lapack::lanht(&norm, &n, d.data(), e.data());
  }

  double m_anorm = 0;  // of the matrix whose factors d and e hold
};

}  // namespace OrvaneNet::detail
