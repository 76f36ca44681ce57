#pragma once

#include <memory>

#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

/// The former stateful interface for real symmetric eigenproblems. It keeps
/// the results of the last solve and LAPACK's raw info, and raises nothing for
/// numerical failures: read get_Info() (0 success; i > 0 that many elements did
/// not converge; in GeneralizedSolve n + i: B's leading minor i is not
/// positive definite).
class [[deprecated("This class is deprecated. Please use Eigenproblem class instead.")]]
EigenvalueProblem {
 public:
  /// No results yet: get_Info() is 0, the result matrices nullptr.
  EigenvalueProblem() = default;

  /// A x = l x for a DoubleSymmetric a (LAPACK dspev, values and vectors);
  /// a is overwritten. Raises "Only double symmetric matrix is supported for
  /// this method." for other kinds, keeping the previous results.
  void Solve(Matrix& a);
  /// A x = l B x for DoubleSymmetric a and b (LAPACK dspgv); the same type
  /// message for either. a and b are overwritten.
  void GeneralizedSolve(Matrix& a, Matrix& b);

  /// The eigenvalues of the last solve as an n x 1 dense matrix (the vectors
  /// are n x n); nullptr before the first. Results read earlier stay valid
  /// after a later solve.
  std::shared_ptr<Matrix> get_EigenValue() const { return m_eigenValue; }
  /// The eigenvectors of the last solve, one per column.
  std::shared_ptr<Matrix> get_EigenVector() const { return m_eigenVector; }
  /// LAPACK's info of the last solve, unchanged.
  int get_Info() const { return m_info; }

 private:
  std::shared_ptr<Matrix> m_eigenValue;
  std::shared_ptr<Matrix> m_eigenVector;
  int m_info = 0;
};

}  // namespace OrvaneNet
