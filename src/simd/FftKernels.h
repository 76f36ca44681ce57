// The transform behind FFT::Forward and FFT::Backward, with the choice of
// instruction set exposed so that the tests can run every path this machine
// supports against the loop-by-loop reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "OrvaneNet/Complex.h"

namespace OrvaneNet::detail {

enum class FftPath { Portable, Avx2, Avx512 };

// The paths the running CPU can execute, the portable one first.
std::vector<FftPath> FftPathsAvailable();
const char* FftPathName(FftPath path);

// The transform of dat[0 .. count-1] filled up with zeros to the next power
// of two; isgn 1 is Forward, -1 Backward (divided by the filled-up length).
// Throws OrvaneException for count > 2^29 before dat is read or anything is
// allocated. The first form picks the best path available.
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn);
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path);
// The same with the cache chunk of `chunkPoints` points (a power of two >= 8)
// instead of the tuned one: small chunks take small transforms through the
// column passes that otherwise only very long ones reach.
std::vector<Complex> FftCompute(const Complex* dat, std::size_t count, int isgn, FftPath path,
                                std::int64_t chunkPoints);

}  // namespace OrvaneNet::detail
