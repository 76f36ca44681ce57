#pragma once

#include <memory>

#include "OrvaneNet/Matrix.h"

namespace OrvaneNet {

// The former stateful interface for real symmetric eigenproblems. It keeps
// the results of the last solve and LAPACK's raw info, and raises nothing for
// numerical failures: read get_Info() (0 success; i > 0 that many elements did
// not converge; in GeneralizedSolve n + i: B's leading minor i is not
// positive definite).
class [[deprecated("This class is deprecated. Please use Eigenproblem class instead.")]]
EigenvalueProblem {
 public:
  EigenvalueProblem() = default;

  // Raises "Only double symmetric matrix is supported for this method." for
  // other kinds, keeping the previous results.
  void Solve(Matrix& a);
  void GeneralizedSolve(Matrix& a, Matrix& b);

  // n x 1 and n x n dense matrices of the last solve; nullptr before the first.
  // Results read earlier stay valid after a later solve.
  std::shared_ptr<Matrix> get_EigenValue() const { return m_eigenValue; }
  std::shared_ptr<Matrix> get_EigenVector() const { return m_eigenVector; }
  int get_Info() const { return m_info; }

 private:
  std::shared_ptr<Matrix> m_eigenValue;
  std::shared_ptr<Matrix> m_eigenVector;
  int m_info = 0;
};

}  // namespace OrvaneNet
