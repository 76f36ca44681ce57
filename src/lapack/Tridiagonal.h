// Overloads of the tridiagonal routines on the element type, so that the
// real and complex tridiagonal kinds share one implementation.
#pragma once

#include "lapack/fortran.h"

namespace OrvaneNet::lapack {

// General tridiagonal: LU with partial pivoting (gttrf), solve with its
// factors (gttrs), and the one-call driver (gtsv).
inline void gttrf(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv,
                  int* info) {
  dgttrf_(n, dl, d, du, du2, ipiv, info);
}
inline void gttrf(const int* n, doublecomplex* dl, doublecomplex* d, doublecomplex* du,
                  doublecomplex* du2, int* ipiv, int* info) {
  zgttrf_(n, dl, d, du, du2, ipiv, info);
}

inline void gttrs(const char* trans, const int* n, const int* nrhs, const double* dl,
                  const double* d, const double* du, const double* du2, const int* ipiv,
                  double* b, const int* ldb, int* info) {
  dgttrs_(trans, n, nrhs, dl, d, du, du2, ipiv, b, ldb, info, 1);
}
inline void gttrs(const char* trans, const int* n, const int* nrhs, const doublecomplex* dl,
                  const doublecomplex* d, const doublecomplex* du, const doublecomplex* du2,
                  const int* ipiv, doublecomplex* b, const int* ldb, int* info) {
  zgttrs_(trans, n, nrhs, dl, d, du, du2, ipiv, b, ldb, info, 1);
}

inline void gtsv(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b,
                 const int* ldb, int* info) {
  dgtsv_(n, nrhs, dl, d, du, b, ldb, info);
}
inline void gtsv(const int* n, const int* nrhs, doublecomplex* dl, doublecomplex* d,
                 doublecomplex* du, doublecomplex* b, const int* ldb, int* info) {
  zgtsv_(n, nrhs, dl, d, du, b, ldb, info);
}

// Positive definite tridiagonal: the diagonal d is real for both element
// types; e is the off-diagonal (real, or complex for the Hermitian case).
inline void pttrf(const int* n, double* d, double* e, int* info) { dpttrf_(n, d, e, info); }
inline void pttrf(const int* n, double* d, doublecomplex* e, int* info) {
  zpttrf_(n, d, e, info);
}

// The real routine has no uplo (for a real matrix both readings coincide);
// the argument keeps one call shape for both.
inline void pttrs(const char* /*uplo*/, const int* n, const int* nrhs, const double* d,
                  const double* e, double* b, const int* ldb, int* info) {
  dpttrs_(n, nrhs, d, e, b, ldb, info);
}
inline void pttrs(const char* uplo, const int* n, const int* nrhs, const double* d,
                  const doublecomplex* e, doublecomplex* b, const int* ldb, int* info) {
  zpttrs_(uplo, n, nrhs, d, e, b, ldb, info, 1);
}

// Real only: the Hermitian kind offers no one-call solve.
inline void ptsv(const int* n, const int* nrhs, double* d, double* e, double* b, const int* ldb,
                 int* info) {
  dptsv_(n, nrhs, d, e, b, ldb, info);
}

}  // namespace OrvaneNet::lapack

// Norms and condition estimates. norm: '1', 'I', 'F' or 'M'. The symmetric
// and Hermitian norm takes the Hermitian name (zlanht; dlanst for real). gtcon's
// work: 2n entries, iwork n (real only); ptcon's work n entries (rwork of the
// complex routine).
namespace OrvaneNet::lapack {

inline double langt(const char* norm, const int* n, const double* dl, const double* d,
                    const double* du) {
  return dlangt_(norm, n, dl, d, du, 1);
}
inline double langt(const char* norm, const int* n, const doublecomplex* dl,
                    const doublecomplex* d, const doublecomplex* du) {
  return zlangt_(norm, n, dl, d, du, 1);
}

inline double lanht(const char* norm, const int* n, const double* d, const double* e) {
  return dlanst_(norm, n, d, e, 1);
}
inline double lanht(const char* norm, const int* n, const double* d, const doublecomplex* e) {
  return zlanht_(norm, n, d, e, 1);
}

inline void gtcon(const char* norm, const int* n, const double* dl, const double* d,
                  const double* du, const double* du2, const int* ipiv, const double* anorm,
                  double* rcond, double* work, int* iwork, int* info) {
  dgtcon_(norm, n, dl, d, du, du2, ipiv, anorm, rcond, work, iwork, info, 1);
}
inline void gtcon(const char* norm, const int* n, const doublecomplex* dl, const doublecomplex* d,
                  const doublecomplex* du, const doublecomplex* du2, const int* ipiv,
                  const double* anorm, double* rcond, doublecomplex* work, int* /*iwork*/,
                  int* info) {
  zgtcon_(norm, n, dl, d, du, du2, ipiv, anorm, rcond, work, info, 1);
}

inline void ptcon(const int* n, const double* d, const double* e, const double* anorm,
                  double* rcond, double* work, int* info) {
  dptcon_(n, d, e, anorm, rcond, work, info);
}
inline void ptcon(const int* n, const double* d, const doublecomplex* e, const double* anorm,
                  double* rcond, double* rwork, int* info) {
  zptcon_(n, d, e, anorm, rcond, rwork, info);
}

}  // namespace OrvaneNet::lapack
