#include "OrvaneNet/PolynomialFitting.h"

#include <climits>
#include <cmath>

#include "OrvaneNet/LeastSquare.h"
#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/real/DoubleGeneralMatrix.h"

namespace OrvaneNet {

Polynomial PolynomialFitting::Fit(const std::vector<double>& x, const std::vector<double>& y,
                                  int dimension) {
  if (dimension < 0) throw OrvaneException(msg::FitNegativeDimension);
  // Fewer points than coefficients would not fit the solution into B, and a
  // short y would be read past its end.
  if (x.size() < static_cast<std::size_t>(dimension) + 1 || y.size() < x.size() ||
      x.size() > static_cast<std::size_t>(INT_MAX)) {
    throw OrvaneException(msg::FitTooFewPoints);
  }
  const int n = static_cast<int>(x.size());
  const int cols = dimension + 1;
  Matrix a(n, cols), b(n, 1);

  double mean = 0.0;
  for (double xi : x) mean += xi;
  mean /= static_cast<double>(n);

  // Filled straight into the dense arrays: the same values the indexer
  // would store, without a range check per element.
  const auto va = static_cast<DoubleGeneralMatrix&>(detail::HandleAccess::Kind(a)).View();
  const auto vb = static_cast<DoubleGeneralMatrix&>(detail::HandleAccess::Kind(b)).View();
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < cols; ++j) va(i, j) = std::pow(x[i] - mean, static_cast<double>(j));
    vb(i, 0) = y[i];
  }
  LeastSquare::Solve(a, b);

  std::vector<double> coef(vb.data(), vb.data() + cols);
  return Polynomial(std::move(coef), mean);
}

}  // namespace OrvaneNet
