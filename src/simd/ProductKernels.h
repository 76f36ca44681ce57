// Entry points of the blocked product kernels, one set per instruction set.
// Each set lives in its own translation unit compiled for that instruction
// set (cmake/ProductFlags.cmake) and is only called after a runtime check.
// Complex matrices are passed as interleaved (real, imaginary) doubles.
// Preconditions: m, n, k > 0. They return false only when the packing
// buffers could not be allocated.
#pragma once

namespace OrvaneNet::detail::product {

bool RealGeneric(int m, int n, int k, const double* a, const double* b, double* c);
bool ComplexGeneric(int m, int n, int k, const double* a, const double* b, double* c);

bool RealAvx2(int m, int n, int k, const double* a, const double* b, double* c);
bool ComplexAvx2(int m, int n, int k, const double* a, const double* b, double* c);

bool RealAvx512(int m, int n, int k, const double* a, const double* b, double* c);
bool ComplexAvx512(int m, int n, int k, const double* a, const double* b, double* c);

}  // namespace OrvaneNet::detail::product
