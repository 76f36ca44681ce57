// Overloads of the packed symmetric / Hermitian routines on the element type,
// so that DoubleSymmetricMatrix and ComplexHermitianMatrix share one
// implementation (kinds/PackedBase.h).
//
// The overloads carry the Hermitian names (hptrf, hpev, ...): for real data
// the symmetric routines (dsptrf, dspev, ...) are the Hermitian ones, while
// the complex *symmetric* routines (zsptrf, ...) would be wrong for a
// Hermitian matrix. uplo and jobz are single characters; the hidden Fortran
// length arguments are supplied here.
#pragma once

#include "lapack/fortran.h"

namespace OrvaneNet::lapack {

// Cholesky route: A = U^H U.
inline void pptrf(const char* uplo, const int* n, double* ap, int* info) {
  dpptrf_(uplo, n, ap, info, 1);
}
inline void pptrf(const char* uplo, const int* n, doublecomplex* ap, int* info) {
  zpptrf_(uplo, n, ap, info, 1);
}

inline void pptrs(const char* uplo, const int* n, const int* nrhs, const double* ap, double* b,
                  const int* ldb, int* info) {
  dpptrs_(uplo, n, nrhs, ap, b, ldb, info, 1);
}
inline void pptrs(const char* uplo, const int* n, const int* nrhs, const doublecomplex* ap,
                  doublecomplex* b, const int* ldb, int* info) {
  zpptrs_(uplo, n, nrhs, ap, b, ldb, info, 1);
}

inline void ppsv(const char* uplo, const int* n, const int* nrhs, double* ap, double* b,
                 const int* ldb, int* info) {
  dppsv_(uplo, n, nrhs, ap, b, ldb, info, 1);
}
inline void ppsv(const char* uplo, const int* n, const int* nrhs, doublecomplex* ap,
                 doublecomplex* b, const int* ldb, int* info) {
  zppsv_(uplo, n, nrhs, ap, b, ldb, info, 1);
}

inline void pptri(const char* uplo, const int* n, double* ap, int* info) {
  dpptri_(uplo, n, ap, info, 1);
}
inline void pptri(const char* uplo, const int* n, doublecomplex* ap, int* info) {
  zpptri_(uplo, n, ap, info, 1);
}

// Bunch-Kaufman route: A = U D U^H, pivots 1-based (negative pairs mark 2x2
// blocks of D).
inline void hptrf(const char* uplo, const int* n, double* ap, int* ipiv, int* info) {
  dsptrf_(uplo, n, ap, ipiv, info, 1);
}
inline void hptrf(const char* uplo, const int* n, doublecomplex* ap, int* ipiv, int* info) {
  zhptrf_(uplo, n, ap, ipiv, info, 1);
}

inline void hptrs(const char* uplo, const int* n, const int* nrhs, const double* ap,
                  const int* ipiv, double* b, const int* ldb, int* info) {
  dsptrs_(uplo, n, nrhs, ap, ipiv, b, ldb, info, 1);
}
inline void hptrs(const char* uplo, const int* n, const int* nrhs, const doublecomplex* ap,
                  const int* ipiv, doublecomplex* b, const int* ldb, int* info) {
  zhptrs_(uplo, n, nrhs, ap, ipiv, b, ldb, info, 1);
}

inline void hpsv(const char* uplo, const int* n, const int* nrhs, double* ap, int* ipiv,
                 double* b, const int* ldb, int* info) {
  dspsv_(uplo, n, nrhs, ap, ipiv, b, ldb, info, 1);
}
inline void hpsv(const char* uplo, const int* n, const int* nrhs, doublecomplex* ap, int* ipiv,
                 doublecomplex* b, const int* ldb, int* info) {
  zhpsv_(uplo, n, nrhs, ap, ipiv, b, ldb, info, 1);
}

// work: n entries.
inline void hptri(const char* uplo, const int* n, double* ap, const int* ipiv, double* work,
                  int* info) {
  dsptri_(uplo, n, ap, ipiv, work, info, 1);
}
inline void hptri(const char* uplo, const int* n, doublecomplex* ap, const int* ipiv,
                  doublecomplex* work, int* info) {
  zhptri_(uplo, n, ap, ipiv, work, info, 1);
}

// Eigenproblems. The real routines have no rwork; the argument keeps one call
// shape for both. Work sizes: see EigenWorkSize / EigenRworkSize.
inline void hpev(const char* jobz, const char* uplo, const int* n, double* ap, double* w,
                 double* z, const int* ldz, double* work, double* /*rwork*/, int* info) {
  dspev_(jobz, uplo, n, ap, w, z, ldz, work, info, 1, 1);
}
inline void hpev(const char* jobz, const char* uplo, const int* n, doublecomplex* ap, double* w,
                 doublecomplex* z, const int* ldz, doublecomplex* work, double* rwork,
                 int* info) {
  zhpev_(jobz, uplo, n, ap, w, z, ldz, work, rwork, info, 1, 1);
}

inline void hpgv(const int* itype, const char* jobz, const char* uplo, const int* n, double* ap,
                 double* bp, double* w, double* z, const int* ldz, double* work,
                 double* /*rwork*/, int* info) {
  dspgv_(itype, jobz, uplo, n, ap, bp, w, z, ldz, work, info, 1, 1);
}
inline void hpgv(const int* itype, const char* jobz, const char* uplo, const int* n,
                 doublecomplex* ap, doublecomplex* bp, double* w, doublecomplex* z,
                 const int* ldz, doublecomplex* work, double* rwork, int* info) {
  zhpgv_(itype, jobz, uplo, n, ap, bp, w, z, ldz, work, rwork, info, 1, 1);
}

// Work array lengths of hpev / hpgv for order n >= 1: 3n doubles for the
// real routines; 2n-1 complex plus 3n-2 real values for the complex ones.
inline int EigenWorkSize(double, int n) { return 3 * n; }
inline int EigenWorkSize(doublecomplex, int n) { return 2 * n - 1; }
inline int EigenRworkSize(double, int) { return 0; }
inline int EigenRworkSize(doublecomplex, int n) { return 3 * n - 2; }

}  // namespace OrvaneNet::lapack

// Norms and condition estimates. norm: '1', 'I', 'F' or 'M'; lanhp's work n
// entries (dlansp for real data). ppcon's work: 3n (real) or 2n (complex)
// entries, rwork n (complex only); hpcon (dspcon for real data) 2n entries;
// iwork n (real only).
namespace OrvaneNet::lapack {

inline double lanhp(const char* norm, const char* uplo, const int* n, const double* ap,
                    double* work) {
  return dlansp_(norm, uplo, n, ap, work, 1, 1);
}
inline double lanhp(const char* norm, const char* uplo, const int* n, const doublecomplex* ap,
                    double* work) {
  return zlanhp_(norm, uplo, n, ap, work, 1, 1);
}

inline void ppcon(const char* uplo, const int* n, const double* ap, const double* anorm,
                  double* rcond, double* work, int* iwork, double* /*rwork*/, int* info) {
  dppcon_(uplo, n, ap, anorm, rcond, work, iwork, info, 1);
}
inline void ppcon(const char* uplo, const int* n, const doublecomplex* ap, const double* anorm,
                  double* rcond, doublecomplex* work, int* /*iwork*/, double* rwork, int* info) {
  zppcon_(uplo, n, ap, anorm, rcond, work, rwork, info, 1);
}

inline void hpcon(const char* uplo, const int* n, const double* ap, const int* ipiv,
                  const double* anorm, double* rcond, double* work, int* iwork, int* info) {
  dspcon_(uplo, n, ap, ipiv, anorm, rcond, work, iwork, info, 1);
}
inline void hpcon(const char* uplo, const int* n, const doublecomplex* ap, const int* ipiv,
                  const double* anorm, double* rcond, doublecomplex* work, int* /*iwork*/,
                  int* info) {
  zhpcon_(uplo, n, ap, ipiv, anorm, rcond, work, info, 1);
}

}  // namespace OrvaneNet::lapack
