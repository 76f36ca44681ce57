#pragma once

#include <complex>
#include <span>
#include <vector>

#include "OrvaneNet/Complex.h"

namespace OrvaneNet {

/// Discrete Fourier transform of any length by a radix-4 transform on the
/// length filled up with zeros to the next power of two N. Stateless: every
/// member is static.
class FFT {
 public:
  FFT() = default;

  /// X_k = sum_j x_j e^(+2 pi i j k / N) for k = 0 .. N-1, unscaled, where x is
  /// dat followed by N - dat.size() zeros (N = 1 for an empty dat). dat is not
  /// changed. Throws OrvaneException for more than 2^29 points (before any
  /// allocation), std::bad_alloc if memory runs out.
  static std::vector<Complex> Forward(const std::vector<Complex>& dat);

  /// X_k = (1/N) sum_j x_j e^(-2 pi i j k / N), so that Backward(Forward(x))
  /// returns x followed by the zeros that filled it up. Same rules as Forward.
  static std::vector<Complex> Backward(const std::vector<Complex>& dat);

  /// Forward of std::complex<double> data (a std::vector, std::array, C
  /// array or span of them), with the same result values.
  ///
  /// (A template only so that a braced list such as Forward({}) or
  /// Forward({Complex(1, 0)}) keeps calling the std::vector<Complex>
  /// overload: overload resolution prefers the non-template where the two
  /// conversions are equally good. Call it like any function.)
  template <class = void>
  static std::vector<std::complex<double>> Forward(std::span<const std::complex<double>> dat) {
    return ComputeSpan(dat, 1);
  }
  /// Backward of std::complex<double> data; see the Forward overload above.
  template <class = void>
  static std::vector<std::complex<double>> Backward(std::span<const std::complex<double>> dat) {
    return ComputeSpan(dat, -1);
  }

 private:
  static std::vector<std::complex<double>> ComputeSpan(std::span<const std::complex<double>> dat,
                                                       int isgn);
};

}  // namespace OrvaneNet
