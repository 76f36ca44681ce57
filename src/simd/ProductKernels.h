// Entry points of the blocked product kernels, one pair per instruction set,
// each pair in the file of its set (ProductPortable.cpp, ProductAvx2.cpp,
// ProductAvx512.cpp; the vector sets in x86-64 builds only, see
// InstructionSet.h).
// Complex matrices are passed as interleaved (real, imaginary) doubles; the
// leading dimensions (lda >= m, ldb >= k, ldc >= m) count elements, so that
// a thread can take a block of rows or columns of C.
// Preconditions: m, n, k > 0. They return false only when the packing
// buffers could not be allocated.
#pragma once

namespace OrvaneNet::detail::product {

bool RealPortable(int m, int n, int k, const double* a, long long lda, const double* b,
                  long long ldb, double* c, long long ldc);
bool ComplexPortable(int m, int n, int k, const double* a, long long lda, const double* b,
                     long long ldb, double* c, long long ldc);

bool RealAvx2(int m, int n, int k, const double* a, long long lda, const double* b, long long ldb,
              double* c, long long ldc);
bool ComplexAvx2(int m, int n, int k, const double* a, long long lda, const double* b,
                 long long ldb, double* c, long long ldc);

bool RealAvx512(int m, int n, int k, const double* a, long long lda, const double* b, long long ldb,
                double* c, long long ldc);
bool ComplexAvx512(int m, int n, int k, const double* a, long long lda, const double* b,
                   long long ldb, double* c, long long ldc);

}  // namespace OrvaneNet::detail::product
