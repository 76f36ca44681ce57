// Declarations of the BLACS and ScaLAPACK routines the distributed library
// calls. Debian's ScaLAPACK ships no header, so they are written here from
// ScaLAPACK's own documentation (the argument lists of its Fortran sources).
//
// Conventions (gfortran, as for LAPACK in lapack/fortran.h):
//  - every Fortran argument by address, `const` where ScaLAPACK only reads it;
//  - integers are 32-bit (`int`);
//  - one hidden `std::size_t` length per character argument, appended after
//    the visible arguments in the order of the character arguments;
//  - IA, JA (IB, JB, ...) are 1-based global indices of the submatrix: the
//    library always passes 1, the whole matrix;
//  - DESCx is the 9-integer array descriptor of a block-cyclic matrix:
//    DTYPE (1 = dense), CTXT (BLACS context), M, N, MB, NB (row and column
//    block sizes), RSRC, CSRC (process row and column owning the first block),
//    LLD (leading dimension of the local array, at least max(1, local rows)).
// The C interface of the BLACS (Cblacs_*) takes its arguments by value.
#pragma once

#include <mpi.h>

#include <cstddef>

namespace OrvaneNet::scalapack {
// Length of an array descriptor.
inline constexpr int kDescriptorLength = 9;
}  // namespace OrvaneNet::scalapack

extern "C" {
// BLACS: a system context from an MPI communicator, and grids over it.
int Csys2blacs_handle(MPI_Comm comm);
void Cfree_blacs_system_handle(int systemContext);
// context in: the system context; out: the grid's context. order "Row" numbers
// the processes row by row.
void Cblacs_gridinit(int* context, const char* order, int nprow, int npcol);
void Cblacs_gridinfo(int context, int* nprow, int* npcol, int* myrow, int* mycol);
void Cblacs_gridexit(int context);

// Number of rows (columns) of a global dimension n in blocks of nb that
// process iproc of nprocs holds, the first block being on isrcproc.
int numroc_(const int* n, const int* nb, const int* iproc, const int* isrcproc, const int* nprocs);
void descinit_(int* desc, const int* m, const int* n, const int* mb, const int* nb, const int* irsrc,
               const int* icsrc, const int* ictxt, const int* lld, int* info);

// LU with partial pivoting: ipiv is local, LOCr(M) + MB entries.
void pdgetrf_(const int* m, const int* n, double* a, const int* ia, const int* ja, const int* desca, int* ipiv,
              int* info);
void pdgetrs_(const char* trans, const int* n, const int* nrhs, const double* a, const int* ia, const int* ja,
              const int* desca, const int* ipiv, double* b, const int* ib, const int* jb, const int* descb,
              int* info, std::size_t trans_len);
void pdgesv_(const int* n, const int* nrhs, double* a, const int* ia, const int* ja, const int* desca, int* ipiv,
             double* b, const int* ib, const int* jb, const int* descb, int* info);

// Cholesky of a symmetric positive definite matrix.
void pdpotrf_(const char* uplo, const int* n, double* a, const int* ia, const int* ja, const int* desca, int* info,
              std::size_t uplo_len);
void pdpotrs_(const char* uplo, const int* n, const int* nrhs, const double* a, const int* ia, const int* ja,
              const int* desca, double* b, const int* ib, const int* jb, const int* descb, int* info,
              std::size_t uplo_len);
void pdposv_(const char* uplo, const int* n, const int* nrhs, double* a, const int* ia, const int* ja,
             const int* desca, double* b, const int* ib, const int* jb, const int* descb, int* info,
             std::size_t uplo_len);

// Symmetric eigenproblem by divide and conquer: jobz must be 'V'; w (n
// values, ascending) is replicated on every process; lwork = liwork = -1
// queries the workspace sizes into work[0] and iwork[0].
void pdsyevd_(const char* jobz, const char* uplo, const int* n, double* a, const int* ia, const int* ja,
              const int* desca, double* w, double* z, const int* iz, const int* jz, const int* descz, double* work,
              const int* lwork, int* iwork, const int* liwork, int* info, std::size_t jobz_len,
              std::size_t uplo_len);

// SVD: with jobu = jobvt = 'V', U is M x min(M, N) and VT min(M, N) x N; s
// is replicated; lwork = -1 queries the workspace size into work[0]. info =
// min(M, N) + 1 reports that the processes computed different singular
// values (a heterogeneous machine).
void pdgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* ia,
              const int* ja, const int* desca, double* s, double* u, const int* iu, const int* ju, const int* descu,
              double* vt, const int* ivt, const int* jvt, const int* descvt, double* work, const int* lwork,
              int* info, std::size_t jobu_len, std::size_t jobvt_len);
}
