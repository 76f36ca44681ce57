#pragma once

#include <memory>
#include <vector>

namespace OrvaneNet {

/// A real polynomial in powers of (x - offset): coefficient k multiplies
/// (x - offset)^k. The coefficient array is shared with whoever handed it in
/// or read it through get_Coefs(): changes to it are seen by later calls.
class Polynomial {
 public:
  /// Shares coef (which must not be null: OrvaneException).
  Polynomial(std::shared_ptr<std::vector<double>> coef, double offset = 0.0);
  /// Takes coef into a new shared array.
  Polynomial(std::vector<double> coef, double offset = 0.0);

  /// The very array the polynomial uses.
  std::shared_ptr<std::vector<double>> get_Coefs() const { return m_coef; }
  /// A new array with the same polynomial in plain powers of x.
  std::vector<double> get_Coeffcients() const;
  /// The point x0 about which the polynomial is written.
  double get_Offset() const { return m_offset; }
  /// Sum of pow(x - offset, k) * coef[k], k ascending (no Horner scheme).
  double Value(double x) const;

 private:
  std::vector<double> ConvertCoefficients(int dimension, double offset,
                                          const std::vector<double>& origcoefs,
                                          std::vector<double>& modcoefs) const;

  std::shared_ptr<std::vector<double>> m_coef;
  double m_offset;
};

}  // namespace OrvaneNet
