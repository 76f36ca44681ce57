// What MatrixNorm and LinearEquation's condition and determinant members ask
// of every kind, next to the interfaces of core/Interfaces.h (which keep the
// documented slot order): the norm of the stored elements, the reciprocal
// condition estimate and the determinant from the stored factors.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <type_traits>

#include "OrvaneNet/MatrixNorm.h"
#include "OrvaneNet/OrvaneException.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "core/NativeArray.h"

namespace OrvaneNet::detail {

// LAPACK's letter for the norm routines' NORM argument.
inline char NormLetter(NormType type) {
  switch (type) {
    case NormType::One:
      return '1';
    case NormType::Infinity:
      return 'I';
    case NormType::Frobenius:
      return 'F';
    case NormType::MaxAbs:
      return 'M';
  }
  throw OrvaneException(msg::UnknownNormType);
}

// LAPACK's ?con routines return 0 for a NaN norm, which would read as
// "exactly singular"; a matrix holding a NaN has no condition number.
inline double ReciprocalConditionOf(double anorm, double rcond) noexcept {
  return std::isnan(anorm) ? anorm : rcond;
}

// A product of many factors (a determinant) kept as mantissa * 2^exponent,
// the mantissa brought back to magnitude [0.5, 1) (of its larger part, for
// complex) after each factor by exact power-of-two scaling. No partial product
// overflows or underflows, and in the double range the value equals the
// plainly accumulated product bit for bit. T is double or std::complex<double>.
template <class T>
class ScaledProduct {
 public:
  // An exactly zero factor (LAPACK's exactly singular pivot) makes the
  // product exactly zero, whatever follows: a backend may leave non-finite
  // entries after such a pivot.
  void Multiply(T factor) {
    if (m_mantissa == T(0)) return;
    m_mantissa *= factor;
    int e = 0;
    if constexpr (std::is_same_v<T, double>) {
      if (!std::isfinite(m_mantissa) || m_mantissa == 0.0) return;
      m_mantissa = std::frexp(m_mantissa, &e);
    } else {
      const double big = std::max(std::fabs(m_mantissa.real()), std::fabs(m_mantissa.imag()));
      if (!std::isfinite(big) || big == 0.0) return;
      std::frexp(big, &e);
      m_mantissa = T(std::ldexp(m_mantissa.real(), -e), std::ldexp(m_mantissa.imag(), -e));
    }
    m_exponent += e;
  }
  // A row interchange of an LU factorization.
  void Negate() noexcept { m_mantissa = -m_mantissa; }

  // The product itself: infinite or 0 once beyond the double range; an
  // exact zero is +0 whatever the interchanges did to its sign.
  T Value() const {
    if (m_mantissa == T(0)) return T(0);
    // Beyond +-2^4096 ldexp gives infinity or 0 whatever the mantissa.
    const int e = static_cast<int>(std::clamp<std::int64_t>(m_exponent, -4096, 4096));
    if constexpr (std::is_same_v<T, double>) {
      return std::ldexp(m_mantissa, e);
    } else {
      return T(std::ldexp(m_mantissa.real(), e), std::ldexp(m_mantissa.imag(), e));
    }
  }
  // log |product|: -infinity for 0.
  double LogAbs() const {
    return std::log(std::abs(m_mantissa)) + static_cast<double>(m_exponent) * std::log(2.0);
  }
  // product / |product|: the sign (real) or a unit complex number; 0 for 0.
  T Phase() const {
    if (m_mantissa == T(0)) return T(0);
    if constexpr (std::is_same_v<T, double>) {
      return std::isnan(m_mantissa) ? m_mantissa : std::copysign(1.0, m_mantissa);
    } else {
      return m_mantissa / std::abs(m_mantissa);
    }
  }

 private:
  T m_mantissa{1.0};
  std::int64_t m_exponent = 0;
};

// Runs a ?con routine of order n: call(work, iwork, rwork, &rcond, &info)
// with work arrays large enough for every one of them (4n entries of the
// element type, n integers, 2n doubles; each routine takes the ones it has).
// Returns the estimate, NaN for a NaN norm.
template <class Scalar, class Call>
double EstimateReciprocalCondition(int n, double anorm, Call&& call) {
  const int size = std::max(1, n);
  NativeArray<Scalar> work(4 * static_cast<std::int64_t>(size));
  NativeArray<int> iwork(size);
  NativeArray<double> rwork(2 * static_cast<std::int64_t>(size));
  double rcond = 0;
  int info = 0;
  call(work.data(), iwork.data(), rwork.data(), &rcond, &info);
  CheckIllegal(info);
  return ReciprocalConditionOf(anorm, rcond);
}

// det A of an LU factorization of order n: U's diagonal u(i), negated once
// per row interchange (LAPACK's 1-based ipiv[i] != i + 1).
template <class Scalar, class Diagonal>
ScaledProduct<Scalar> LuDeterminant(int n, const int* ipiv, Diagonal u) {
  ScaledProduct<Scalar> det;
  for (int i = 0; i < n; ++i) {
    det.Multiply(u(i));
    if (ipiv[i] != i + 1) det.Negate();
  }
  return det;
}

// Scalar: the kind's LAPACK element, double or std::complex<double>. Every
// kind implements this next to its field's interface (kinds/KindBase.h).
template <class Scalar>
class IMatrixMeasures {
 public:
  virtual ~IMatrixMeasures() = default;
  // The norm of the stored elements through the storage's LAPACK routine.
  // Raises when the storage holds factors (an inverse after Invert is fine).
  virtual double Norm(NormType type) const = 0;
  // Factorizes unless factors are held (a held inverse is factorized again),
  // then LAPACK's ?con with the 1-norm recorded before that factorization.
  virtual double ReciprocalCondition() = 0;
  // det A from the factors, factorizing first in the same way.
  virtual ScaledProduct<Scalar> Determinant() = 0;
};

}  // namespace OrvaneNet::detail
