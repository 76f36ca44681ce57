// The transform of each instruction set (FftPortable.cpp, FftAvx2.cpp,
// FftAvx512.cpp). Plain pointers only: these functions sit behind the
// dispatch in FftKernels.cpp.
#pragma once

#include <cstdint>

namespace OrvaneNet::detail::fft {

// x: count points (2 * count doubles), a: 2 * big doubles receiving the
// result, scratch: ScratchDoubles(big, chunk) doubles. big is a power of two
// >= count; chunk (a power of two >= 8) the points of a cache-sized chunk,
// normally DefaultChunk(); twiddles: the table FillTwiddles makes for big, or
// null (then each factor is computed where it is needed, with the same bits).
std::int64_t DefaultChunk();
std::int64_t ScratchDoubles(std::int64_t big, std::int64_t chunk);
void TransformPortable(const double* x, std::int64_t count, std::int64_t big, bool backward,
                       double* a, double* scratch, std::int64_t chunk, const double* twiddles);
void TransformAvx2(const double* x, std::int64_t count, std::int64_t big, bool backward, double* a,
                   double* scratch, std::int64_t chunk, const double* twiddles);
void TransformAvx512(const double* x, std::int64_t count, std::int64_t big, bool backward,
                     double* a, double* scratch, std::int64_t chunk, const double* twiddles);

// The twiddle table of big points (a power of two >= 8): TwiddleDoubles(big)
// doubles, the first factor of every block of the transform, by the sincos
// calls the transform makes without a table. The same for every instruction
// set.
std::int64_t TwiddleDoubles(std::int64_t big);
void FillTwiddles(std::int64_t big, double* table);

}  // namespace OrvaneNet::detail::fft
