#include "OrvaneNet/FFT.h"

#include "simd/FftKernels.h"

namespace OrvaneNet {

std::vector<Complex> FFT::Forward(const std::vector<Complex>& dat) {
  return detail::FftCompute(dat.data(), dat.size(), 1);
}

std::vector<Complex> FFT::Backward(const std::vector<Complex>& dat) {
  return detail::FftCompute(dat.data(), dat.size(), -1);
}

}  // namespace OrvaneNet
