// The exact-length transform of DFT for lengths 2^a 3^b 5^c: a Stockham
// (self-sorting) decimation-in-frequency transform with radix-2, 3, 4 and 5
// passes and twiddle tables made once per length (src/procedures/DftPlan.cpp).
// Plain pointers only: the passes run in one file per instruction set
// (FftMixedRadix*.cpp), chosen at run time.
//
// Every output value is computed by the same floating-point operations, in
// the same order, on every instruction set: the vector widths only change how
// many independent butterflies run at once. So a length gives the same bits
// on every path, in every call and thread.
#pragma once

#include <cstdint>

namespace OrvaneNet::detail::mixed {

// One pass on n points (see FftMixedRadix.inc): radix r, stride s (points),
// m = n / (s r) blocks. Butterfly c = q + s p (q < s, p < m) reads points
// c + k n/r (k < r) and writes output j (j < r) times w^(p j), w = e^(2 pi i/(n/s)),
// to point q + s (r p + j).
struct Pass {
  int radix = 0;
  std::int64_t stride = 0;
  std::int64_t blocks = 0;
  // Twiddles w^(p j) for j = 1 .. r-1, p < m: row j-1 at tw + (j-1) * 2m,
  // m real parts then m imaginary parts. No table (nullptr) when m = 1:
  // every twiddle is 1 and no product is formed.
  const double* tw = nullptr;
};

// Where a transform reads and writes. Interleaved (re, im per point) data
// goes through `*Aos`; split data (all real parts, then all imaginary parts
// elsewhere) through `*Re`/`*Im`. The input is only read; `scratch` holds 2n
// doubles; the output (2n doubles, interleaved or split) doubles as the
// second work buffer, so it must not overlap the input or the scratch.
struct Io {
  const double* inAos = nullptr;  // interleaved input, or nullptr for split
  const double* inRe = nullptr;
  const double* inIm = nullptr;
  double* outAos = nullptr;       // interleaved output, or nullptr for split
  double* outRe = nullptr;
  double* outIm = nullptr;
  double* scratch = nullptr;
  bool conjugateIn = false;   // negate the imaginary parts as they are read
  bool conjugateOut = false;  // negate the imaginary parts as they are written
  double scale = 1.0;         // multiply every output by it (not when 1)
};

// The transform with the positive exponent, sum_j x_j e^(+2 pi i j k / n),
// by `count` passes (count >= 1, the product of the radices being n).
void RunPortable(const Pass* passes, int count, std::int64_t n, const Io& io);
void RunAvx2(const Pass* passes, int count, std::int64_t n, const Io& io);
void RunAvx512(const Pass* passes, int count, std::int64_t n, const Io& io);

// The bins 0 .. n of the transform of 2n real points from z, the transform
// of the n complex points (x_2j, x_2j+1), interleaved: X_k = E_k + t_k O_k
// with E_k = (z_k + conj z_(n-k)) / 2, O_k = (z_k - conj z_(n-k)) / 2i
// (z_n = z_0) and t_k = e^(+2 pi i k / 2n), given as n + 1 interleaved values
// in `twiddle`. Writes n + 1 interleaved values to out.
void RealBinsPortable(const double* z, const double* twiddle, std::int64_t n, double* out);
void RealBinsAvx2(const double* z, const double* twiddle, std::int64_t n, double* out);
void RealBinsAvx512(const double* z, const double* twiddle, std::int64_t n, double* out);

}  // namespace OrvaneNet::detail::mixed
