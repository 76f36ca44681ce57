// FFT on std::complex<double> data: the same transform as the Complex
// overloads (FftCompute reads both as interleaved doubles).
#include <type_traits>

#include "OrvaneNet/FFT.h"
#include "simd/FftKernels.h"

namespace OrvaneNet {

static_assert(sizeof(std::complex<double>) == sizeof(Complex) &&
              std::is_standard_layout_v<Complex>);

std::vector<std::complex<double>> FFT::ComputeSpan(std::span<const std::complex<double>> dat,
                                                   int isgn) {
  const std::vector<Complex> result =
      detail::FftCompute(reinterpret_cast<const Complex*>(dat.data()), dat.size(), isgn);
  std::vector<std::complex<double>> out(result.size());
  for (std::size_t k = 0; k < result.size(); ++k) out[k] = result[k].ToStdComplex();
  return out;
}

}  // namespace OrvaneNet
