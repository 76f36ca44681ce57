#pragma once

#include <vector>

#include "OrvaneNet/Polynomial.h"

namespace OrvaneNet {

/// Least-squares polynomial fitting.
class PolynomialFitting {
 public:
  /// Static members only.
  PolynomialFitting() = delete;

  /// The least-squares polynomial of degree `dimension` through (x[i], y[i]),
  /// written about the mean of x (its Offset). Needs dimension >= 0,
  /// x.size() >= dimension + 1 and y.size() >= x.size() (OrvaneException
  /// otherwise); raises the rank message when the abscissas cannot determine
  /// the polynomial (e.g. all equal with dimension >= 1).
  static Polynomial Fit(const std::vector<double>& x, const std::vector<double>& y, int dimension);
};

}  // namespace OrvaneNet
