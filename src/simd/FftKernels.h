// The transform behind FFT::Forward and FFT::Backward, with the choice of
// instruction set exposed so that the tests can run every set this machine
// supports against the loop-by-loop reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "OrvaneNet/Complex.h"
#include "simd/FftTwiddles.h"
#include "simd/InstructionSet.h"

namespace OrvaneNet::detail {

// The FFT's name for the instruction set it runs on.
using FftPath = InstructionSet;

// The transform of dat[0 .. count-1] filled up with zeros to the next power
// of two; isgn 1 is Forward, -1 Backward (divided by the filled-up length).
// Throws OrvaneException for count > 2^29 before dat is read or anything is
// allocated. The first form picks the best path available; a path that is
// not Supported runs as Portable.
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn);
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path);
// The same with the cache chunk of `chunkPoints` points (a power of two >= 8)
// instead of the tuned one: small chunks take small transforms through the
// column passes that otherwise only very long ones reach.
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path,
                                std::int64_t chunkPoints);
// The same with the twiddle tables from `twiddles` instead of the process's
// cache, or with none for null (every factor computed as the transform goes,
// as for lengths beyond the cached ones); the bits are the same.
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path,
                                std::int64_t chunkPoints, fft::TwiddleCache* twiddles);

}  // namespace OrvaneNet::detail
