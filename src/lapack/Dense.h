// Overloads of the dense general routines on the element type, so that the
// real and complex dense kinds share one implementation.
#pragma once

#include <algorithm>
#include <cstdint>

#include "lapack/fortran.h"

namespace OrvaneNet::lapack {

inline void getrf(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info) {
  dgetrf_(m, n, a, lda, ipiv, info);
}
inline void getrf(const int* m, const int* n, doublecomplex* a, const int* lda, int* ipiv,
                  int* info) {
  zgetrf_(m, n, a, lda, ipiv, info);
}

inline void getrs(const char* trans, const int* n, const int* nrhs, const double* a,
                  const int* lda, const int* ipiv, double* b, const int* ldb, int* info) {
  dgetrs_(trans, n, nrhs, a, lda, ipiv, b, ldb, info, 1);
}
inline void getrs(const char* trans, const int* n, const int* nrhs, const doublecomplex* a,
                  const int* lda, const int* ipiv, doublecomplex* b, const int* ldb, int* info) {
  zgetrs_(trans, n, nrhs, a, lda, ipiv, b, ldb, info, 1);
}

inline void gesv(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
                 const int* ldb, int* info) {
  dgesv_(n, nrhs, a, lda, ipiv, b, ldb, info);
}
inline void gesv(const int* n, const int* nrhs, doublecomplex* a, const int* lda, int* ipiv,
                 doublecomplex* b, const int* ldb, int* info) {
  zgesv_(n, nrhs, a, lda, ipiv, b, ldb, info);
}

inline void getri(const int* n, double* a, const int* lda, const int* ipiv, double* work,
                  const int* lwork, int* info) {
  dgetri_(n, a, lda, ipiv, work, lwork, info);
}
inline void getri(const int* n, doublecomplex* a, const int* lda, const int* ipiv,
                  doublecomplex* work, const int* lwork, int* info) {
  zgetri_(n, a, lda, ipiv, work, lwork, info);
}

}  // namespace OrvaneNet::lapack


namespace OrvaneNet::lapack {

// The SVD by divide and conquer (jobz 'A': all of U and V^H). The real
// routine has no rwork; the argument keeps one call shape for both. iwork:
// 8 min(m, n) entries; rwork: SvdRworkSize.
inline void gesdd(const char* jobz, const int* m, const int* n, double* a, const int* lda,
                  double* s, double* u, const int* ldu, double* vt, const int* ldvt, double* work,
                  const int* lwork, double* /*rwork*/, int* iwork, int* info) {
  dgesdd_(jobz, m, n, a, lda, s, u, ldu, vt, ldvt, work, lwork, iwork, info, 1);
}
inline void gesdd(const char* jobz, const int* m, const int* n, doublecomplex* a, const int* lda,
                  double* s, doublecomplex* u, const int* ldu, doublecomplex* vt,
                  const int* ldvt, doublecomplex* work, const int* lwork, double* rwork,
                  int* iwork, int* info) {
  zgesdd_(jobz, m, n, a, lda, s, u, ldu, vt, ldvt, work, lwork, rwork, iwork, info, 1);
}

// gesdd's documented minimum lwork with jobz 'A', and the complex routine's
// rwork length (none for the real one), for mn = min(m, n), mx = max(m, n).
// 64-bit: the squares pass int for orders above about 23000.
inline std::int64_t SvdWorkSize(double, std::int64_t mn, std::int64_t mx) {
  return 4 * mn * mn + 6 * mn + mx;
}
inline std::int64_t SvdWorkSize(doublecomplex, std::int64_t mn, std::int64_t mx) {
  return mn * mn + 2 * mn + mx;
}
inline std::int64_t SvdRworkSize(double, std::int64_t, std::int64_t) { return 0; }
inline std::int64_t SvdRworkSize(doublecomplex, std::int64_t mn, std::int64_t mx) {
  return std::max(5 * mn * mn + 5 * mn, 2 * mx * mn + 2 * mn * mn + mn);
}

}  // namespace OrvaneNet::lapack

namespace OrvaneNet::lapack {

// Right eigenvectors only (jobvl 'N'). The real routine returns the
// eigenvalues as separate real and imaginary parts, the complex one as one
// complex array and needs rwork.
inline void geev(const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
                 double* vr, const int* ldvr, double* work, const int* lwork, int* info) {
  const char jobvl = 'N';
  const int ldvl = 1;
  dgeev_(&jobvl, jobvr, n, a, lda, wr, wi, nullptr, &ldvl, vr, ldvr, work, lwork, info, 1, 1);
}
inline void geev(const char* jobvr, const int* n, doublecomplex* a, const int* lda,
                 doublecomplex* w, doublecomplex* vr, const int* ldvr, doublecomplex* work,
                 const int* lwork, double* rwork, int* info) {
  const char jobvl = 'N';
  const int ldvl = 1;
  zgeev_(&jobvl, jobvr, n, a, lda, w, nullptr, &ldvl, vr, ldvr, work, lwork, rwork, info, 1, 1);
}

}  // namespace OrvaneNet::lapack

// Norms and the condition estimate. norm: '1' (one), 'I' (infinity), 'F'
// (Frobenius), 'M' (largest magnitude); lange's work needs m entries for 'I'.
// gecon's work: 4n entries (real) or 2n (complex); iwork n (real only);
// rwork 2n (complex only). The unused one keeps one call shape for both.
namespace OrvaneNet::lapack {

inline double lange(const char* norm, const int* m, const int* n, const double* a,
                    const int* lda, double* work) {
  return dlange_(norm, m, n, a, lda, work, 1);
}
inline double lange(const char* norm, const int* m, const int* n, const doublecomplex* a,
                    const int* lda, double* work) {
  return zlange_(norm, m, n, a, lda, work, 1);
}

inline void gecon(const char* norm, const int* n, const double* a, const int* lda,
                  const double* anorm, double* rcond, double* work, int* iwork,
                  double* /*rwork*/, int* info) {
  dgecon_(norm, n, a, lda, anorm, rcond, work, iwork, info, 1);
}
inline void gecon(const char* norm, const int* n, const doublecomplex* a, const int* lda,
                  const double* anorm, double* rcond, doublecomplex* work, int* /*iwork*/,
                  double* rwork, int* info) {
  zgecon_(norm, n, a, lda, anorm, rcond, work, rwork, info, 1);
}

}  // namespace OrvaneNet::lapack
