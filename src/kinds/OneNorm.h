// The 1-norm every factorization records before LAPACK overwrites the
// elements (ReciprocalCondition's anorm, core/Measures.h), for each storage.
//
// These equal LAPACK's ?lan* '1' to rounding, but are written out: those
// routines test every element for NaN through an external function and take
// complex magnitudes with a hypot-like scaling, which added 5% to a dense
// LU at n = 1000 (30% for complex) and more to the O(n) tridiagonal
// factorizations. Here the sums run in independent blocks the compiler
// vectorizes, and complex magnitudes are sqrt(re^2 + im^2); when the result
// shows that a square may have overflowed or underflowed (a norm beyond
// 2^400 or below 2^-400), it is summed again with std::abs. A NaN element
// gives NaN. The Hermitian storages count the real part of the diagonal,
// as LAPACK reads it.
#pragma once

#include <complex>

namespace OrvaneNet::detail {

// Column-major m x n, leading dimension lda.
double OneNormDense(const double* a, int m, int n, int lda);
double OneNormDense(const std::complex<double>* a, int m, int n, int lda);

// LAPACK's general band layout of order n, element (i, j) at
// ab[kl + ku + i - j + j*ldab] (ab as gbtrf takes it, fill-in rows first).
double OneNormGeneralBand(const double* ab, int n, int kl, int ku, int ldab);
double OneNormGeneralBand(const std::complex<double>* ab, int n, int kl, int ku, int ldab);

// The upper band of a symmetric (Hermitian) band matrix, uplo 'U': element
// (i, j), i <= j, at ab[kd + i - j + j*ldab].
double OneNormSymmetricBand(const double* ab, int n, int kd, int ldab);
double OneNormSymmetricBand(const std::complex<double>* ab, int n, int kd, int ldab);

// The packed upper triangle, element (i, j), i <= j, at ap[i + j(j+1)/2].
double OneNormPacked(const double* ap, int n);
double OneNormPacked(const std::complex<double>* ap, int n);

// dl, d, du of a general tridiagonal matrix of order n.
double OneNormTridiagonal(const double* dl, const double* d, const double* du, int n);
double OneNormTridiagonal(const std::complex<double>* dl, const std::complex<double>* d,
                          const std::complex<double>* du, int n);

// The real diagonal d and the off-diagonal e of a symmetric (Hermitian)
// tridiagonal matrix of order n.
double OneNormHermitianTridiagonal(const double* d, const double* e, int n);
double OneNormHermitianTridiagonal(const double* d, const std::complex<double>* e, int n);

}  // namespace OrvaneNet::detail
