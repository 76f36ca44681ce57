// The transform of each instruction set (FftPortable.cpp, FftAvx2.cpp,
// FftAvx512.cpp). Plain pointers only: these functions sit behind the
// dispatch in FFT.cpp.
#pragma once

#include <cstdint>

namespace OrvaneNet::detail::fft {

// x: count points (2 * count doubles), a: 2 * big doubles receiving the
// result, scratch: ScratchDoubles(big) doubles. big is a power of two >= count.
std::int64_t ScratchDoubles(std::int64_t big);
void TransformPortable(const double* x, std::int64_t count, std::int64_t big, bool backward,
                       double* a, double* scratch);
void TransformAvx2(const double* x, std::int64_t count, std::int64_t big, bool backward,
                   double* a, double* scratch);
void TransformAvx512(const double* x, std::int64_t count, std::int64_t big, bool backward,
                     double* a, double* scratch);

}  // namespace OrvaneNet::detail::fft
