// Declarations of the Fortran LAPACK routines the library calls.
//
// Conventions of the reference (gfortran) calling interface:
//  - every argument by address, `const` where LAPACK only reads it;
//  - integers are 32-bit (`int`);
//  - one hidden `std::size_t` length per character argument, appended after
//    the visible arguments in the order of the character arguments;
//  - matrices column-major; pivots 1-based.
// A wrong prototype corrupts memory silently: tests/LapackPrototypeTest.cpp
// compiles these declarations against Debian's lapack.h, which rejects any
// difference.
#pragma once

#include <complex>
#include <cstddef>

namespace OrvaneNet::lapack {
// The storage element of the complex kinds: two doubles, real part first.
using doublecomplex = std::complex<double>;
}  // namespace OrvaneNet::lapack

static_assert(sizeof(int) == 4, "LAPACK integers are 32-bit");
static_assert(sizeof(OrvaneNet::lapack::doublecomplex) == 2 * sizeof(double));

extern "C" {
using OrvaneNet::lapack::doublecomplex;

// Dense general, real
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetrs_(const char* trans, const int* n, const int* nrhs, const double* a, const int* lda, const int* ipiv, double* b, const int* ldb, int* info, std::size_t trans_len);
void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b, const int* ldb, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork, int* info);
void dgels_(const char* trans, const int* m, const int* n, const int* nrhs, double* a, const int* lda, double* b, const int* ldb, double* work, const int* lwork, int* info, std::size_t trans_len);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* lda, double* s, double* u, const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* info, std::size_t jobu_len, std::size_t jobvt_len);

// General tridiagonal, real
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgttrs_(const char* trans, const int* n, const int* nrhs, const double* dl, const double* d, const double* du, const double* du2, const int* ipiv, double* b, const int* ldb, int* info, std::size_t trans_len);
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb, int* info);

// General band, real
void dgbtrf_(const int* m, const int* n, const int* kl, const int* ku, double* ab, const int* ldab, int* ipiv, int* info);
void dgbtrs_(const char* trans, const int* n, const int* kl, const int* ku, const int* nrhs, const double* ab, const int* ldab, const int* ipiv, double* b, const int* ldb, int* info, std::size_t trans_len);
void dgbsv_(const int* n, const int* kl, const int* ku, const int* nrhs, double* ab, const int* ldab, int* ipiv, double* b, const int* ldb, int* info);

// Packed symmetric, real: Cholesky route
void dpptrf_(const char* uplo, const int* n, double* ap, int* info, std::size_t uplo_len);
void dpptrs_(const char* uplo, const int* n, const int* nrhs, const double* ap, double* b, const int* ldb, int* info, std::size_t uplo_len);
void dppsv_(const char* uplo, const int* n, const int* nrhs, double* ap, double* b, const int* ldb, int* info, std::size_t uplo_len);
void dpptri_(const char* uplo, const int* n, double* ap, int* info, std::size_t uplo_len);

// Packed symmetric, real: Bunch-Kaufman route
void dsptrf_(const char* uplo, const int* n, double* ap, int* ipiv, int* info, std::size_t uplo_len);
void dsptrs_(const char* uplo, const int* n, const int* nrhs, const double* ap, const int* ipiv, double* b, const int* ldb, int* info, std::size_t uplo_len);
void dspsv_(const char* uplo, const int* n, const int* nrhs, double* ap, int* ipiv, double* b, const int* ldb, int* info, std::size_t uplo_len);
void dsptri_(const char* uplo, const int* n, double* ap, const int* ipiv, double* work, int* info, std::size_t uplo_len);

// Packed symmetric, real: eigenproblems
void dspev_(const char* jobz, const char* uplo, const int* n, double* ap, double* w, double* z, const int* ldz, double* work, int* info, std::size_t jobz_len, std::size_t uplo_len);
void dspgv_(const int* itype, const char* jobz, const char* uplo, const int* n, double* ap, double* bp, double* w, double* z, const int* ldz, double* work, int* info, std::size_t jobz_len, std::size_t uplo_len);

// Symmetric positive definite tridiagonal, real
void dpttrf_(const int* n, double* d, double* e, int* info);
void dpttrs_(const int* n, const int* nrhs, const double* d, const double* e, double* b, const int* ldb, int* info);
void dptsv_(const int* n, const int* nrhs, double* d, double* e, double* b, const int* ldb, int* info);

// Symmetric positive definite band, real
void dpbtrf_(const char* uplo, const int* n, const int* kd, double* ab, const int* ldab, int* info, std::size_t uplo_len);
void dpbtrs_(const char* uplo, const int* n, const int* kd, const int* nrhs, const double* ab, const int* ldab, double* b, const int* ldb, int* info, std::size_t uplo_len);
void dpbsv_(const char* uplo, const int* n, const int* kd, const int* nrhs, double* ab, const int* ldab, double* b, const int* ldb, int* info, std::size_t uplo_len);

// Dense general, complex
void zgetrf_(const int* m, const int* n, doublecomplex* a, const int* lda, int* ipiv, int* info);
void zgetrs_(const char* trans, const int* n, const int* nrhs, const doublecomplex* a, const int* lda, const int* ipiv, doublecomplex* b, const int* ldb, int* info, std::size_t trans_len);
void zgesv_(const int* n, const int* nrhs, doublecomplex* a, const int* lda, int* ipiv, doublecomplex* b, const int* ldb, int* info);
void zgetri_(const int* n, doublecomplex* a, const int* lda, const int* ipiv, doublecomplex* work, const int* lwork, int* info);
void zgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, doublecomplex* a, const int* lda, double* s, doublecomplex* u, const int* ldu, doublecomplex* vt, const int* ldvt, doublecomplex* work, const int* lwork, double* rwork, int* info, std::size_t jobu_len, std::size_t jobvt_len);

// General tridiagonal, complex
void zgttrf_(const int* n, doublecomplex* dl, doublecomplex* d, doublecomplex* du, doublecomplex* du2, int* ipiv, int* info);
void zgttrs_(const char* trans, const int* n, const int* nrhs, const doublecomplex* dl, const doublecomplex* d, const doublecomplex* du, const doublecomplex* du2, const int* ipiv, doublecomplex* b, const int* ldb, int* info, std::size_t trans_len);
void zgtsv_(const int* n, const int* nrhs, doublecomplex* dl, doublecomplex* d, doublecomplex* du, doublecomplex* b, const int* ldb, int* info);

// General band, complex
void zgbtrf_(const int* m, const int* n, const int* kl, const int* ku, doublecomplex* ab, const int* ldab, int* ipiv, int* info);
void zgbtrs_(const char* trans, const int* n, const int* kl, const int* ku, const int* nrhs, const doublecomplex* ab, const int* ldab, const int* ipiv, doublecomplex* b, const int* ldb, int* info, std::size_t trans_len);
void zgbsv_(const int* n, const int* kl, const int* ku, const int* nrhs, doublecomplex* ab, const int* ldab, int* ipiv, doublecomplex* b, const int* ldb, int* info);

// Packed Hermitian: Cholesky route
void zpptrf_(const char* uplo, const int* n, doublecomplex* ap, int* info, std::size_t uplo_len);
void zpptrs_(const char* uplo, const int* n, const int* nrhs, const doublecomplex* ap, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
void zppsv_(const char* uplo, const int* n, const int* nrhs, doublecomplex* ap, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
void zpptri_(const char* uplo, const int* n, doublecomplex* ap, int* info, std::size_t uplo_len);

// Packed Hermitian: Bunch-Kaufman route
void zhptrf_(const char* uplo, const int* n, doublecomplex* ap, int* ipiv, int* info, std::size_t uplo_len);
void zhptrs_(const char* uplo, const int* n, const int* nrhs, const doublecomplex* ap, const int* ipiv, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
void zhpsv_(const char* uplo, const int* n, const int* nrhs, doublecomplex* ap, int* ipiv, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
void zhptri_(const char* uplo, const int* n, doublecomplex* ap, const int* ipiv, doublecomplex* work, int* info, std::size_t uplo_len);

// Packed Hermitian: eigenproblems
void zhpev_(const char* jobz, const char* uplo, const int* n, doublecomplex* ap, double* w, doublecomplex* z, const int* ldz, doublecomplex* work, double* rwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void zhpgv_(const int* itype, const char* jobz, const char* uplo, const int* n, doublecomplex* ap, doublecomplex* bp, double* w, doublecomplex* z, const int* ldz, doublecomplex* work, double* rwork, int* info, std::size_t jobz_len, std::size_t uplo_len);

// Hermitian positive definite tridiagonal
void zpttrf_(const int* n, double* d, doublecomplex* e, int* info);
void zpttrs_(const char* uplo, const int* n, const int* nrhs, const double* d, const doublecomplex* e, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);

// Hermitian positive definite band
void zpbtrf_(const char* uplo, const int* n, const int* kd, doublecomplex* ab, const int* ldab, int* info, std::size_t uplo_len);
void zpbtrs_(const char* uplo, const int* n, const int* kd, const int* nrhs, const doublecomplex* ab, const int* ldab, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
void zpbsv_(const char* uplo, const int* n, const int* kd, const int* nrhs, doublecomplex* ab, const int* ldab, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
// General (non-symmetric) eigenproblems
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi, double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info, std::size_t jobvl_len, std::size_t jobvr_len);
void zgeev_(const char* jobvl, const char* jobvr, const int* n, doublecomplex* a, const int* lda, doublecomplex* w, doublecomplex* vl, const int* ldvl, doublecomplex* vr, const int* ldvr, doublecomplex* work, const int* lwork, double* rwork, int* info, std::size_t jobvl_len, std::size_t jobvr_len);

// The library's own error handler (src/lapack/xerbla.cpp): prints LAPACK's
// illegal-argument line and returns, so the routine hands back info < 0.
void xerbla_(const char* srname, const int* info, std::size_t srname_len);

// Not called by the library: the full-storage and BLAS yardsticks the
// benchmarks time it against. (LapackPrototypeTest checks the LAPACK ones;
// lapack.h declares no BLAS routine.)
void dposv_(const char* uplo, const int* n, const int* nrhs, double* a, const int* lda, double* b, const int* ldb, int* info, std::size_t uplo_len);
void zposv_(const char* uplo, const int* n, const int* nrhs, doublecomplex* a, const int* lda, doublecomplex* b, const int* ldb, int* info, std::size_t uplo_len);
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k, const double* alpha, const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c, const int* ldc, std::size_t transa_len, std::size_t transb_len);
void zgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k, const doublecomplex* alpha, const doublecomplex* a, const int* lda, const doublecomplex* b, const int* ldb, const doublecomplex* beta, doublecomplex* c, const int* ldc, std::size_t transa_len, std::size_t transb_len);
}  // extern "C"

// Norms, condition estimates: the norm routine of each storage (a function
// returning the norm; work only for the norms that need it) and the
// reciprocal condition estimate from the stored factors. norm and uplo are
// single characters.
extern "C" {
using OrvaneNet::lapack::doublecomplex;

double dlange_(const char* norm, const int* m, const int* n, const double* a, const int* lda, double* work, std::size_t norm_len);
double zlange_(const char* norm, const int* m, const int* n, const doublecomplex* a, const int* lda, double* work, std::size_t norm_len);
double dlangb_(const char* norm, const int* n, const int* kl, const int* ku, const double* ab, const int* ldab, double* work, std::size_t norm_len);
double zlangb_(const char* norm, const int* n, const int* kl, const int* ku, const doublecomplex* ab, const int* ldab, double* work, std::size_t norm_len);
double dlangt_(const char* norm, const int* n, const double* dl, const double* d, const double* du, std::size_t norm_len);
double zlangt_(const char* norm, const int* n, const doublecomplex* dl, const doublecomplex* d, const doublecomplex* du, std::size_t norm_len);
double dlansp_(const char* norm, const char* uplo, const int* n, const double* ap, double* work, std::size_t norm_len, std::size_t uplo_len);
double zlanhp_(const char* norm, const char* uplo, const int* n, const doublecomplex* ap, double* work, std::size_t norm_len, std::size_t uplo_len);
double dlansb_(const char* norm, const char* uplo, const int* n, const int* k, const double* ab, const int* ldab, double* work, std::size_t norm_len, std::size_t uplo_len);
double zlanhb_(const char* norm, const char* uplo, const int* n, const int* k, const doublecomplex* ab, const int* ldab, double* work, std::size_t norm_len, std::size_t uplo_len);
double dlanst_(const char* norm, const int* n, const double* d, const double* e, std::size_t norm_len);
double zlanht_(const char* norm, const int* n, const double* d, const doublecomplex* e, std::size_t norm_len);

void dgecon_(const char* norm, const int* n, const double* a, const int* lda, const double* anorm, double* rcond, double* work, int* iwork, int* info, std::size_t norm_len);
void zgecon_(const char* norm, const int* n, const doublecomplex* a, const int* lda, const double* anorm, double* rcond, doublecomplex* work, double* rwork, int* info, std::size_t norm_len);
void dgbcon_(const char* norm, const int* n, const int* kl, const int* ku, const double* ab, const int* ldab, const int* ipiv, const double* anorm, double* rcond, double* work, int* iwork, int* info, std::size_t norm_len);
void zgbcon_(const char* norm, const int* n, const int* kl, const int* ku, const doublecomplex* ab, const int* ldab, const int* ipiv, const double* anorm, double* rcond, doublecomplex* work, double* rwork, int* info, std::size_t norm_len);
void dgtcon_(const char* norm, const int* n, const double* dl, const double* d, const double* du, const double* du2, const int* ipiv, const double* anorm, double* rcond, double* work, int* iwork, int* info, std::size_t norm_len);
void zgtcon_(const char* norm, const int* n, const doublecomplex* dl, const doublecomplex* d, const doublecomplex* du, const doublecomplex* du2, const int* ipiv, const double* anorm, double* rcond, doublecomplex* work, int* info, std::size_t norm_len);
void dppcon_(const char* uplo, const int* n, const double* ap, const double* anorm, double* rcond, double* work, int* iwork, int* info, std::size_t uplo_len);
void zppcon_(const char* uplo, const int* n, const doublecomplex* ap, const double* anorm, double* rcond, doublecomplex* work, double* rwork, int* info, std::size_t uplo_len);
void dspcon_(const char* uplo, const int* n, const double* ap, const int* ipiv, const double* anorm, double* rcond, double* work, int* iwork, int* info, std::size_t uplo_len);
void zhpcon_(const char* uplo, const int* n, const doublecomplex* ap, const int* ipiv, const double* anorm, double* rcond, doublecomplex* work, int* info, std::size_t uplo_len);
void dpbcon_(const char* uplo, const int* n, const int* kd, const double* ab, const int* ldab, const double* anorm, double* rcond, double* work, int* iwork, int* info, std::size_t uplo_len);
void zpbcon_(const char* uplo, const int* n, const int* kd, const doublecomplex* ab, const int* ldab, const double* anorm, double* rcond, doublecomplex* work, double* rwork, int* info, std::size_t uplo_len);
void dptcon_(const int* n, const double* d, const double* e, const double* anorm, double* rcond, double* work, int* info);
void zptcon_(const int* n, const double* d, const doublecomplex* e, const double* anorm, double* rcond, double* rwork, int* info);
}  // extern "C"

// The blocked and divide-and-conquer routines of the packed, Hermitian and
// dense kinds' fast paths: Cholesky through Rectangular Full Packed storage,
// eigenproblems by divide and conquer (packed, or full storage when the
// eigenvectors' n x n array is there anyway), the SVD by divide and conquer.
extern "C" {
using OrvaneNet::lapack::doublecomplex;

// Rectangular Full Packed: conversions and the Cholesky factorization, real
void dtpttf_(const char* transr, const char* uplo, const int* n, const double* ap, double* arf, int* info, std::size_t transr_len, std::size_t uplo_len);
void dtfttp_(const char* transr, const char* uplo, const int* n, const double* arf, double* ap, int* info, std::size_t transr_len, std::size_t uplo_len);
void dpftrf_(const char* transr, const char* uplo, const int* n, double* a, int* info, std::size_t transr_len, std::size_t uplo_len);
void dpftri_(const char* transr, const char* uplo, const int* n, double* a, int* info, std::size_t transr_len, std::size_t uplo_len);

// Rectangular Full Packed, complex
void ztpttf_(const char* transr, const char* uplo, const int* n, const doublecomplex* ap, doublecomplex* arf, int* info, std::size_t transr_len, std::size_t uplo_len);
void ztfttp_(const char* transr, const char* uplo, const int* n, const doublecomplex* arf, doublecomplex* ap, int* info, std::size_t transr_len, std::size_t uplo_len);
void zpftrf_(const char* transr, const char* uplo, const int* n, doublecomplex* a, int* info, std::size_t transr_len, std::size_t uplo_len);
void zpftri_(const char* transr, const char* uplo, const int* n, doublecomplex* a, int* info, std::size_t transr_len, std::size_t uplo_len);

// Divide-and-conquer eigenproblems, real: packed, then full storage
void dspevd_(const char* jobz, const char* uplo, const int* n, double* ap, double* w, double* z, const int* ldz, double* work, const int* lwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void dspgvd_(const int* itype, const char* jobz, const char* uplo, const int* n, double* ap, double* bp, double* w, double* z, const int* ldz, double* work, const int* lwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void dsyevd_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* w, double* work, const int* lwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void dsygvd_(const int* itype, const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* b, const int* ldb, double* w, double* work, const int* lwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);

// Divide-and-conquer eigenproblems, Hermitian: packed, then full storage
void zhpevd_(const char* jobz, const char* uplo, const int* n, doublecomplex* ap, double* w, doublecomplex* z, const int* ldz, doublecomplex* work, const int* lwork, double* rwork, const int* lrwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void zhpgvd_(const int* itype, const char* jobz, const char* uplo, const int* n, doublecomplex* ap, doublecomplex* bp, double* w, doublecomplex* z, const int* ldz, doublecomplex* work, const int* lwork, double* rwork, const int* lrwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void zheevd_(const char* jobz, const char* uplo, const int* n, doublecomplex* a, const int* lda, double* w, doublecomplex* work, const int* lwork, double* rwork, const int* lrwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);
void zhegvd_(const int* itype, const char* jobz, const char* uplo, const int* n, doublecomplex* a, const int* lda, doublecomplex* b, const int* ldb, double* w, doublecomplex* work, const int* lwork, double* rwork, const int* lrwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len, std::size_t uplo_len);

// Divide-and-conquer SVD
void dgesdd_(const char* jobz, const int* m, const int* n, double* a, const int* lda, double* s, double* u, const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* iwork, int* info, std::size_t jobz_len);
void zgesdd_(const char* jobz, const int* m, const int* n, doublecomplex* a, const int* lda, double* s, doublecomplex* u, const int* ldu, doublecomplex* vt, const int* ldvt, doublecomplex* work, const int* lwork, double* rwork, int* iwork, int* info, std::size_t jobz_len);
}  // extern "C"
