// For tests typed over the two packed kinds: random Hermitian data and the
// eigen operations of both kinds under one name.
#pragma once

#include <random>
#include <vector>

#include "TestUtil.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"

namespace orvane_test {

// Random Hermitian with a real diagonal, `shift` added to it.
template <class M>
M RandomHermitian(int n, std::mt19937& rng, double shift) {
  using E = ElementOf<M>;
  M a(n, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i)
      a.set_Item(i, j, i == j ? E(RandomValue<double>(rng) + shift) : RandomValue<E>(rng));
  return a;
}

// The eigen operations; v == nullptr: values only.
inline void Eigen(OrvaneNet::DoubleSymmetricMatrix& a, std::vector<double>& w, OrvaneNet::IMatrix* v) {
  v ? a.SolveSymmetricEigenproblem(w, *v) : a.SolveSymmetricEigenproblem(w);
}
inline void Eigen(OrvaneNet::ComplexHermitianMatrix& a, std::vector<double>& w, OrvaneNet::IMatrix* v) {
  v ? a.SolveHermitianEigenproblem(w, *v) : a.SolveHermitianEigenproblem(w);
}
inline void Generalized(OrvaneNet::DoubleSymmetricMatrix& a, OrvaneNet::IMatrix& b,
                        std::vector<double>& w, OrvaneNet::IMatrix* v) {
  v ? a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w, *v)
    : a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w);
}
inline void Generalized(OrvaneNet::ComplexHermitianMatrix& a, OrvaneNet::IMatrix& b,
                        std::vector<double>& w, OrvaneNet::IMatrix* v) {
  v ? a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w, *v)
    : a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w);
}

}  // namespace orvane_test
