// Overloads of the band routines on the element type, so that the real and
// complex band kinds share one implementation. Character arguments are one
// byte long (the hidden length is 1).
#pragma once

#include "lapack/fortran.h"

namespace OrvaneNet::lapack {

// General band LU with partial pivoting.
inline void gbtrf(const int* m, const int* n, const int* kl, const int* ku, double* ab,
                  const int* ldab, int* ipiv, int* info) {
  dgbtrf_(m, n, kl, ku, ab, ldab, ipiv, info);
}
inline void gbtrf(const int* m, const int* n, const int* kl, const int* ku, doublecomplex* ab,
                  const int* ldab, int* ipiv, int* info) {
  zgbtrf_(m, n, kl, ku, ab, ldab, ipiv, info);
}

inline void gbtrs(const char* trans, const int* n, const int* kl, const int* ku, const int* nrhs,
                  const double* ab, const int* ldab, const int* ipiv, double* b, const int* ldb,
                  int* info) {
  dgbtrs_(trans, n, kl, ku, nrhs, ab, ldab, ipiv, b, ldb, info, 1);
}
inline void gbtrs(const char* trans, const int* n, const int* kl, const int* ku, const int* nrhs,
                  const doublecomplex* ab, const int* ldab, const int* ipiv, doublecomplex* b,
                  const int* ldb, int* info) {
  zgbtrs_(trans, n, kl, ku, nrhs, ab, ldab, ipiv, b, ldb, info, 1);
}

inline void gbsv(const int* n, const int* kl, const int* ku, const int* nrhs, double* ab,
                 const int* ldab, int* ipiv, double* b, const int* ldb, int* info) {
  dgbsv_(n, kl, ku, nrhs, ab, ldab, ipiv, b, ldb, info);
}
inline void gbsv(const int* n, const int* kl, const int* ku, const int* nrhs, doublecomplex* ab,
                 const int* ldab, int* ipiv, doublecomplex* b, const int* ldb, int* info) {
  zgbsv_(n, kl, ku, nrhs, ab, ldab, ipiv, b, ldb, info);
}

// Symmetric / Hermitian positive definite band Cholesky.
inline void pbtrf(const char* uplo, const int* n, const int* kd, double* ab, const int* ldab,
                  int* info) {
  dpbtrf_(uplo, n, kd, ab, ldab, info, 1);
}
inline void pbtrf(const char* uplo, const int* n, const int* kd, doublecomplex* ab,
                  const int* ldab, int* info) {
  zpbtrf_(uplo, n, kd, ab, ldab, info, 1);
}

inline void pbtrs(const char* uplo, const int* n, const int* kd, const int* nrhs, const double* ab,
                  const int* ldab, double* b, const int* ldb, int* info) {
  dpbtrs_(uplo, n, kd, nrhs, ab, ldab, b, ldb, info, 1);
}
inline void pbtrs(const char* uplo, const int* n, const int* kd, const int* nrhs,
                  const doublecomplex* ab, const int* ldab, doublecomplex* b, const int* ldb,
                  int* info) {
  zpbtrs_(uplo, n, kd, nrhs, ab, ldab, b, ldb, info, 1);
}

inline void pbsv(const char* uplo, const int* n, const int* kd, const int* nrhs, double* ab,
                 const int* ldab, double* b, const int* ldb, int* info) {
  dpbsv_(uplo, n, kd, nrhs, ab, ldab, b, ldb, info, 1);
}
inline void pbsv(const char* uplo, const int* n, const int* kd, const int* nrhs,
                 doublecomplex* ab, const int* ldab, doublecomplex* b, const int* ldb,
                 int* info) {
  zpbsv_(uplo, n, kd, nrhs, ab, ldab, b, ldb, info, 1);
}

}  // namespace OrvaneNet::lapack

// Norms and condition estimates. norm: '1', 'I', 'F' or 'M'; work n entries.
// langb reads the band rows only: ab points at the first superdiagonal row
// (past gbtrf's kl fill-in rows), with the factorization's ldab. The
// symmetric band norm takes the Hermitian name (zlanhb; dlansb for real).
// gbcon's work: 3n (real) or 2n (complex) entries, pbcon's 3n or 2n; iwork n
// (real only), rwork n (complex only).
namespace OrvaneNet::lapack {

inline double langb(const char* norm, const int* n, const int* kl, const int* ku,
                    const double* ab, const int* ldab, double* work) {
  return dlangb_(norm, n, kl, ku, ab, ldab, work, 1);
}
inline double langb(const char* norm, const int* n, const int* kl, const int* ku,
                    const doublecomplex* ab, const int* ldab, double* work) {
  return zlangb_(norm, n, kl, ku, ab, ldab, work, 1);
}

inline double lanhb(const char* norm, const char* uplo, const int* n, const int* k,
                    const double* ab, const int* ldab, double* work) {
  return dlansb_(norm, uplo, n, k, ab, ldab, work, 1, 1);
}
inline double lanhb(const char* norm, const char* uplo, const int* n, const int* k,
                    const doublecomplex* ab, const int* ldab, double* work) {
  return zlanhb_(norm, uplo, n, k, ab, ldab, work, 1, 1);
}

inline void gbcon(const char* norm, const int* n, const int* kl, const int* ku, const double* ab,
                  const int* ldab, const int* ipiv, const double* anorm, double* rcond,
                  double* work, int* iwork, double* /*rwork*/, int* info) {
  dgbcon_(norm, n, kl, ku, ab, ldab, ipiv, anorm, rcond, work, iwork, info, 1);
}
inline void gbcon(const char* norm, const int* n, const int* kl, const int* ku,
                  const doublecomplex* ab, const int* ldab, const int* ipiv, const double* anorm,
                  double* rcond, doublecomplex* work, int* /*iwork*/, double* rwork, int* info) {
  zgbcon_(norm, n, kl, ku, ab, ldab, ipiv, anorm, rcond, work, rwork, info, 1);
}

inline void pbcon(const char* uplo, const int* n, const int* kd, const double* ab,
                  const int* ldab, const double* anorm, double* rcond, double* work, int* iwork,
                  double* /*rwork*/, int* info) {
  dpbcon_(uplo, n, kd, ab, ldab, anorm, rcond, work, iwork, info, 1);
}
inline void pbcon(const char* uplo, const int* n, const int* kd, const doublecomplex* ab,
                  const int* ldab, const double* anorm, double* rcond, doublecomplex* work,
                  int* /*iwork*/, double* rwork, int* info) {
  zpbcon_(uplo, n, kd, ab, ldab, anorm, rcond, work, rwork, info, 1);
}

}  // namespace OrvaneNet::lapack
