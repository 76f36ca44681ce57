#pragma once

#include <complex>
#include <span>
#include <vector>

#include "OrvaneNet/Complex.h"

namespace OrvaneNet {

/// Discrete Fourier transform of exactly N = dat.size() points, without the
/// zero fill of FFT (which transforms the next power of two): 1000 samples
/// give 1000 bins, as in FFTW, NumPy or SciPy. Stateless: every member is
/// static.
///
/// Sign convention (that of FFT, the opposite of NumPy's):
///   Forward:  X_k = sum_j x_j e^(+2 pi i j k / N), unscaled; this is
///             N * numpy.fft.ifft(x);
///   Backward: x_k = (1/N) sum_j X_j e^(-2 pi i j k / N); this is
///             numpy.fft.fft(X) / N, and Backward(Forward(x)) gives x back.
///
/// Methods, all O(N log N):
///   - N a power of two: FFT's own transform, so the result is bit for bit
///     that of FFT::Forward / FFT::Backward;
///   - N = 2^a 3^b 5^c otherwise: a mixed-radix (2, 3, 4, 5) transform;
///   - any other N (primes included): Bluestein's chirp-z algorithm, a
///     cyclic convolution of length M, the smallest 2^a 3^b 5^c >= 2N - 1
///     with a >= 2, by mixed-radix transforms.
/// The error is of the order of eps log2(N) times the 2-norm of x (relative
/// to the result's 2-norm), for every method.
///
/// The twiddle factors (and for Bluestein the chirp and the kernel's
/// transform) of a length are made on its first use and kept in one
/// process-wide cache for later calls: at most 64 MiB in all, the least
/// recently used lengths dropped first; a length whose tables alone need
/// more (a 2^a 3^b 5^c length beyond about 4 million, any other beyond about
/// 800 000) has them made for each call. The cache is thread-safe, and a
/// result never depends on it: the same input gives the same bits in every
/// call, from every thread, cached or not, on every instruction set. Each
/// thread also keeps its last work array (N complex values, Bluestein 3M)
/// for its next call when it holds at most 32 MiB. A call allocates its
/// result, raises OrvaneException for more than 2^29 points ("The DFT input
/// must not have more than 2^29 points.", before any allocation) and
/// std::bad_alloc if memory runs out. N = 0 gives an empty result. The input
/// is never changed.
class DFT {
 public:
  /// Static members only.
  DFT() = delete;

  /// X_k = sum_j x_j e^(+2 pi i j k / N), k = 0 .. N-1.
  static std::vector<Complex> Forward(const std::vector<Complex>& dat);
  /// x_k = (1/N) sum_j X_j e^(-2 pi i j k / N), k = 0 .. N-1.
  static std::vector<Complex> Backward(const std::vector<Complex>& dat);

  /// Forward of std::complex<double> data (a std::vector, std::array, C
  /// array or span of them), with the same values as the Complex overload.
  /// (A template only so that a braced list such as Forward({}) or
  /// Forward({Complex(1, 0)}) calls the std::vector<Complex> overload; call
  /// it like any function.)
  template <class = void>
  static std::vector<std::complex<double>> Forward(std::span<const std::complex<double>> dat) {
    return ComputeSpan(dat, false);
  }
  /// Backward of std::complex<double> data; see the Forward overload above.
  template <class = void>
  static std::vector<std::complex<double>> Backward(std::span<const std::complex<double>> dat) {
    return ComputeSpan(dat, true);
  }

  /// Bins 0 .. N/2 (N/2 + 1 values, integer division) of Forward of the
  /// real sequence dat; the other bins are their complex conjugates,
  /// X_(N-k) = conj(X_k). For even N the N real values are transformed as
  /// N/2 complex points (x_2j + i x_2j+1) and the bins unpicked from that
  /// transform, at about half the cost of the complex one; the values equal
  /// Forward's within rounding, not bit for bit. Odd N costs a complex
  /// transform. Same rules as Forward otherwise.
  static std::vector<std::complex<double>> ForwardReal(std::span<const double> dat);

 private:
  static std::vector<std::complex<double>> ComputeSpan(std::span<const std::complex<double>> dat,
                                                       bool backward);
};

}  // namespace OrvaneNet
