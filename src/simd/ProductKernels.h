// Entry points of the blocked product kernels, one pair per instruction set,
// each pair in the file of its set (ProductPortable.cpp, ProductAvx2.cpp,
// ProductAvx512.cpp; the vector sets in x86-64 builds only, see
// InstructionSet.h).
// Complex matrices are passed as interleaved (real, imaginary) doubles.
// Preconditions: m, n, k > 0. They return false only when the packing
// buffers could not be allocated.
#pragma once

namespace OrvaneNet::detail::product {

bool RealPortable(int m, int n, int k, const double* a, const double* b, double* c);
bool ComplexPortable(int m, int n, int k, const double* a, const double* b, double* c);

bool RealAvx2(int m, int n, int k, const double* a, const double* b, double* c);
bool ComplexAvx2(int m, int n, int k, const double* a, const double* b, double* c);

bool RealAvx512(int m, int n, int k, const double* a, const double* b, double* c);
bool ComplexAvx512(int m, int n, int k, const double* a, const double* b, double* c);

}  // namespace OrvaneNet::detail::product
