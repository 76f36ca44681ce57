// Overloads of the packed symmetric / Hermitian routines on the element type,
// so that DoubleSymmetricMatrix and ComplexHermitianMatrix share one
// implementation (kinds/PackedBase.h).
//
// The overloads carry the Hermitian names (hptrf, hpevd, ...): for real data
// the symmetric routines (dsptrf, dspevd, ...) are the Hermitian ones, while
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

// Rectangular Full Packed (RFP) storage: the n(n+1)/2 entries of the packed
// triangle rearranged into one rectangle, on which the Cholesky factorization
// and inversion run blocked. transr 'N' (both fields).
inline void tpttf(const char* transr, const char* uplo, const int* n, const double* ap,
                  double* arf, int* info) {
  dtpttf_(transr, uplo, n, ap, arf, info, 1, 1);
}
inline void tpttf(const char* transr, const char* uplo, const int* n, const doublecomplex* ap,
                  doublecomplex* arf, int* info) {
  ztpttf_(transr, uplo, n, ap, arf, info, 1, 1);
}

inline void tfttp(const char* transr, const char* uplo, const int* n, const double* arf,
                  double* ap, int* info) {
  dtfttp_(transr, uplo, n, arf, ap, info, 1, 1);
}
inline void tfttp(const char* transr, const char* uplo, const int* n, const doublecomplex* arf,
                  doublecomplex* ap, int* info) {
  ztfttp_(transr, uplo, n, arf, ap, info, 1, 1);
}

inline void pftrf(const char* transr, const char* uplo, const int* n, double* a, int* info) {
  dpftrf_(transr, uplo, n, a, info, 1, 1);
}
inline void pftrf(const char* transr, const char* uplo, const int* n, doublecomplex* a,
                  int* info) {
  zpftrf_(transr, uplo, n, a, info, 1, 1);
}

inline void pftri(const char* transr, const char* uplo, const int* n, double* a, int* info) {
  dpftri_(transr, uplo, n, a, info, 1, 1);
}
inline void pftri(const char* transr, const char* uplo, const int* n, doublecomplex* a,
                  int* info) {
  zpftri_(transr, uplo, n, a, info, 1, 1);
}

// Divide-and-conquer eigenproblems on the packed triangle, and on a full
// n x n array (upper triangle read, eigenvectors returned in place). The real
// routines have no rwork; the pair keeps one call shape for both. Work
// lengths come from a workspace query (kinds/Workspace.h).
inline void hpevd(const char* jobz, const char* uplo, const int* n, double* ap, double* w,
                  double* z, const int* ldz, double* work, const int* lwork, double* /*rwork*/,
                  const int* /*lrwork*/, int* iwork, const int* liwork, int* info) {
  dspevd_(jobz, uplo, n, ap, w, z, ldz, work, lwork, iwork, liwork, info, 1, 1);
}
inline void hpevd(const char* jobz, const char* uplo, const int* n, doublecomplex* ap, double* w,
                  doublecomplex* z, const int* ldz, doublecomplex* work, const int* lwork,
                  double* rwork, const int* lrwork, int* iwork, const int* liwork, int* info) {
  zhpevd_(jobz, uplo, n, ap, w, z, ldz, work, lwork, rwork, lrwork, iwork, liwork, info, 1, 1);
}

inline void hpgvd(const int* itype, const char* jobz, const char* uplo, const int* n, double* ap,
                  double* bp, double* w, double* z, const int* ldz, double* work,
                  const int* lwork, double* /*rwork*/, const int* /*lrwork*/, int* iwork,
                  const int* liwork, int* info) {
  dspgvd_(itype, jobz, uplo, n, ap, bp, w, z, ldz, work, lwork, iwork, liwork, info, 1, 1);
}
inline void hpgvd(const int* itype, const char* jobz, const char* uplo, const int* n,
                  doublecomplex* ap, doublecomplex* bp, double* w, doublecomplex* z,
                  const int* ldz, doublecomplex* work, const int* lwork, double* rwork,
                  const int* lrwork, int* iwork, const int* liwork, int* info) {
  zhpgvd_(itype, jobz, uplo, n, ap, bp, w, z, ldz, work, lwork, rwork, lrwork, iwork, liwork,
          info, 1, 1);
}

inline void heevd(const char* jobz, const char* uplo, const int* n, double* a, const int* lda,
                  double* w, double* work, const int* lwork, double* /*rwork*/,
                  const int* /*lrwork*/, int* iwork, const int* liwork, int* info) {
  dsyevd_(jobz, uplo, n, a, lda, w, work, lwork, iwork, liwork, info, 1, 1);
}
inline void heevd(const char* jobz, const char* uplo, const int* n, doublecomplex* a,
                  const int* lda, double* w, doublecomplex* work, const int* lwork,
                  double* rwork, const int* lrwork, int* iwork, const int* liwork, int* info) {
  zheevd_(jobz, uplo, n, a, lda, w, work, lwork, rwork, lrwork, iwork, liwork, info, 1, 1);
}

inline void hegvd(const int* itype, const char* jobz, const char* uplo, const int* n, double* a,
                  const int* lda, double* b, const int* ldb, double* w, double* work,
                  const int* lwork, double* /*rwork*/, const int* /*lrwork*/, int* iwork,
                  const int* liwork, int* info) {
  dsygvd_(itype, jobz, uplo, n, a, lda, b, ldb, w, work, lwork, iwork, liwork, info, 1, 1);
}
inline void hegvd(const int* itype, const char* jobz, const char* uplo, const int* n,
                  doublecomplex* a, const int* lda, doublecomplex* b, const int* ldb, double* w,
                  doublecomplex* work, const int* lwork, double* rwork, const int* lrwork,
                  int* iwork, const int* liwork, int* info) {
  zhegvd_(itype, jobz, uplo, n, a, lda, b, ldb, w, work, lwork, rwork, lrwork, iwork, liwork,
          info, 1, 1);
}

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
