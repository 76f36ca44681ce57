#include "OrvaneNet/DFT.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <type_traits>

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "procedures/DftPlan.h"
#include "simd/FftKernels.h"

namespace OrvaneNet {
namespace {

using detail::dft::Plan;

static_assert(sizeof(Complex) == 2 * sizeof(double) && std::is_standard_layout_v<Complex>);
static_assert(sizeof(std::complex<double>) == 2 * sizeof(double));

constexpr std::size_t kMaxPoints = std::size_t{1} << 29;

void RequireLength(std::size_t n) {
  if (n > kMaxPoints) throw OrvaneException(msg::DftTooLong);
}

bool PowerOfTwo(std::size_t n) { return n != 0 && (n & (n - 1)) == 0; }

// Bluestein (DftPlan.h): a_j = x_j w_j zero-filled to m points, its
// transform times the kernel's (which carries the 1/m), transformed back as
// the conjugate of the transform of the conjugate, and X_k = w_k conv_k.
void RunBluestein(const detail::dft::BluesteinPlan& plan, const double* x, bool backward,
                  double* out) {
  const std::int64_t n = plan.n, m = plan.inner.n;
  const detail::dft::WorkArray work(static_cast<std::size_t>(6 * m));
  double* uRe = work.data();
  double* uIm = uRe + m;
  double* vRe = uIm + m;
  double* vIm = vRe + m;
  double* scratch = vIm + m;
  const double sign = backward ? -1.0 : 1.0;  // Backward: conj(F+(conj x)) / n
  for (std::int64_t j = 0; j < n; ++j) {
    const std::complex<double> w = plan.chirp[static_cast<std::size_t>(j)];
    const double xr = x[2 * j], xi = sign * x[2 * j + 1];
    uRe[j] = xr * w.real() - xi * w.imag();
    uIm[j] = xr * w.imag() + xi * w.real();
  }
  std::fill(uRe + n, uRe + m, 0.0);
  std::fill(uIm + n, uIm + m, 0.0);
  detail::mixed::Io io;
  io.inRe = uRe, io.inIm = uIm, io.outRe = vRe, io.outIm = vIm, io.scratch = scratch;
  plan.inner.Run(io);
  // conj(V K), K the kernel's transform, into u.
  const double* kRe = plan.kernel.data();
  const double* kIm = kRe + m;
  for (std::int64_t t = 0; t < m; ++t) {
    uRe[t] = vRe[t] * kRe[t] - vIm[t] * kIm[t];
    uIm[t] = -(vRe[t] * kIm[t] + vIm[t] * kRe[t]);
  }
  plan.inner.Run(io);
  // X_k = w_k conj(V_k).
  const double scale = backward ? 1.0 / static_cast<double>(n) : 1.0;
  for (std::int64_t k = 0; k < n; ++k) {
    const std::complex<double> w = plan.chirp[static_cast<std::size_t>(k)];
    const double cr = vRe[k], ci = -vIm[k];
    const double xr = cr * w.real() - ci * w.imag();
    const double xi = cr * w.imag() + ci * w.real();
    out[2 * k] = xr * scale;
    out[2 * k + 1] = sign * xi * scale;
  }
}

// The transform of n > 0 points that are not a power of two, interleaved in
// and out. `scratch` (2n doubles) may be given; Bluestein brings its own.
void Transform(const double* x, std::int64_t n, bool backward, double* out,
               double* scratch = nullptr) {
  const std::shared_ptr<const Plan> plan = detail::dft::ComplexPlan(n);
  if (plan->kind == Plan::Kind::Bluestein) return RunBluestein(*plan->bluestein, x, backward, out);
  std::optional<detail::dft::WorkArray> work;
  if (!scratch) scratch = work.emplace(static_cast<std::size_t>(2 * n)).data();
  detail::mixed::Io io;
  io.inAos = x, io.outAos = out, io.scratch = scratch;
  io.conjugateIn = io.conjugateOut = backward;
  io.scale = backward ? 1.0 / static_cast<double>(n) : 1.0;
  plan->mixed->Run(io);
}

// Forward or Backward into a new vector of T (Complex or std::complex).
template <class T>
std::vector<T> Compute(const T* dat, std::size_t n, bool backward) {
  RequireLength(n);
  std::vector<T> out;
  if (n == 0) return out;
  if (PowerOfTwo(n)) {
    std::vector<Complex> fft =
        detail::FftCompute(reinterpret_cast<const Complex*>(dat), n, backward ? -1 : 1);
    if constexpr (std::is_same_v<T, Complex>) {
      return fft;
    } else {
      out.resize(n);
      std::transform(fft.begin(), fft.end(), out.begin(), [](Complex c) { return c.ToStdComplex(); });
      return out;
    }
  }
  out.resize(n);
  Transform(reinterpret_cast<const double*>(dat), static_cast<std::int64_t>(n), backward,
            reinterpret_cast<double*>(out.data()));
  return out;
}

}  // namespace

std::vector<Complex> DFT::Forward(const std::vector<Complex>& dat) {
  return Compute(dat.data(), dat.size(), false);
}

std::vector<Complex> DFT::Backward(const std::vector<Complex>& dat) {
  return Compute(dat.data(), dat.size(), true);
}

std::vector<std::complex<double>> DFT::ComputeSpan(std::span<const std::complex<double>> dat,
                                                   bool backward) {
  return Compute(dat.data(), dat.size(), backward);
}

std::vector<std::complex<double>> DFT::ForwardReal(std::span<const double> dat) {
  const std::size_t n = dat.size();
  RequireLength(n);
  std::vector<std::complex<double>> out;
  if (n == 0) return out;
  if (n % 2 != 0) {
    std::vector<std::complex<double>> full(n);
    std::transform(dat.begin(), dat.end(), full.begin(), [](double v) { return std::complex<double>(v); });
    out = Compute(full.data(), n, false);
    out.resize(n / 2 + 1);
    return out;
  }
  // The n real values, read as n/2 interleaved complex points, transformed.
  // (The half-length transform and its scratch in one work array.)
  const std::size_t half = n / 2;
  std::vector<Complex> fft;
  std::optional<detail::dft::WorkArray> work;
  const double* z;
  if (PowerOfTwo(half)) {
    fft = detail::FftCompute(reinterpret_cast<const Complex*>(dat.data()), half, 1);
    z = reinterpret_cast<const double*>(fft.data());
  } else {
    double* buffer = work.emplace(4 * half).data();
    Transform(dat.data(), static_cast<std::int64_t>(half), false, buffer, buffer + 2 * half);
    z = buffer;
  }
  const std::shared_ptr<const Plan> plan = detail::dft::RealPlan(static_cast<std::int64_t>(n));
  out.resize(half + 1);
  detail::dft::RealBins(z, plan->realTwiddles.data(), static_cast<std::int64_t>(half),
                        reinterpret_cast<double*>(out.data()));
  return out;
}

}  // namespace OrvaneNet
