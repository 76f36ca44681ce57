#include "OrvaneNet/Polynomial.h"

#include <cmath>
#include <utility>

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"

namespace OrvaneNet {

Polynomial::Polynomial(std::shared_ptr<std::vector<double>> coef, double offset)
    : m_coef(std::move(coef)), m_offset(offset) {
  if (!m_coef) throw OrvaneException(msg::NullCoefficients);
}

Polynomial::Polynomial(std::vector<double> coef, double offset)
    : m_coef(std::make_shared<std::vector<double>>(std::move(coef))), m_offset(offset) {}

double Polynomial::Value(double x) const {
  const std::vector<double>& c = *m_coef;
  double s = 0.0;
  // Each power afresh and added in ascending order: the documented rounding.
  for (std::size_t i = 0; i < c.size(); ++i) {
    s = std::pow(x - m_offset, static_cast<double>(i)) * c[i] + s;
  }
  return s;
}

std::vector<double> Polynomial::get_Coeffcients() const {
  const std::vector<double>& c = *m_coef;
  // The expansion starts at degree 1; a constant (or nothing) is already in
  // plain powers of x.
  if (c.size() < 2) return c;
  std::vector<double> d(c.size(), 0.0);
  ConvertCoefficients(static_cast<int>(c.size()) - 1, m_offset, c, d);
  return d;
}

// Accumulates the expansion of c[0..n] about `offset` into d, degree 1 first,
// and returns the row of signed binomial coefficients of degree n:
// element j = (-1)^(n-j) C(n, j). Each degree builds on the row of the one
// below; a loop rather than a recursion on the degree, so that a long
// polynomial cannot overflow the stack.
std::vector<double> Polynomial::ConvertCoefficients(int dimension, double offset,
                                                    const std::vector<double>& origcoefs,
                                                    std::vector<double>& modcoefs) const {
  modcoefs[0] = origcoefs[0] - origcoefs[1] * offset;
  modcoefs[1] = origcoefs[1];
  std::vector<double> r = {-1.0, 1.0};
  for (int n = 2; n <= dimension; ++n) {
    const std::vector<double> p = std::move(r);
    r.assign(static_cast<std::size_t>(n) + 1, 0.0);
    r[n] = 1.0;
    double s = -1.0;
    for (int j = n - 1; j >= 1; --j) {
      r[j] = (std::fabs(p[j]) + std::fabs(p[j - 1])) * s;
      s = -s;
    }
    r[0] = s;
    double q = 1.0;
    for (int j = n; j >= 0; --j) {
      modcoefs[j] = r[j] * origcoefs[n] * q + modcoefs[j];
      q = q * offset;
    }
  }
  return r;
}

}  // namespace OrvaneNet
