#include "OrvaneNet/Eigenproblem.h"

#include "OrvaneNet/OrvaneException.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "handles/HandleAccess.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"

namespace OrvaneNet {
namespace {

// The real and complex kinds name their eigen operations differently.
struct RealEigen {
  using Kind = DoubleSymmetricMatrix;
  static constexpr const char* message = msg::OnlyDoubleSymmetric;
  static void Standard(Kind& a, std::vector<double>& w) { a.SolveSymmetricEigenproblem(w); }
  static void Standard(Kind& a, std::vector<double>& w, IMatrix& z) {
    a.SolveSymmetricEigenproblem(w, z);
  }
  static void Generalized(Kind& a, IMatrix& b, std::vector<double>& w) {
    a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w);
  }
  static void Generalized(Kind& a, IMatrix& b, std::vector<double>& w, IMatrix& z) {
    a.SolveGeneralizedSymmetricDefiniteEigenproblem(b, w, z);
  }
};

struct ComplexEigen {
  using Kind = ComplexHermitianMatrix;
  static constexpr const char* message = msg::OnlyComplexHermitian;
  static void Standard(Kind& a, std::vector<double>& w) { a.SolveHermitianEigenproblem(w); }
  static void Standard(Kind& a, std::vector<double>& w, IMatrix& z) {
    a.SolveHermitianEigenproblem(w, z);
  }
  static void Generalized(Kind& a, IMatrix& b, std::vector<double>& w) {
    a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w);
  }
  static void Generalized(Kind& a, IMatrix& b, std::vector<double>& w, IMatrix& z) {
    a.SolveGeneralizedHermitianDefiniteEigenproblem(b, w, z);
  }
};

template <class E, class Handle>
typename E::Kind& Checked(const Handle& h) {
  auto& kind = detail::HandleAccess::Kind(h);
  if (kind.get_Type() != E::Kind::kType) throw OrvaneException(E::message);
  return static_cast<typename E::Kind&>(kind);
}

// Assigning the result handle would destroy an input that is the same object.
template <class Handle>
void RequireDistinct(const Handle* vectors, const Handle& a, const Handle* b) {
  if (vectors && (vectors == &a || vectors == b)) throw OrvaneException(msg::ResultAliasesInput);
}

// The out-parameters are assigned before LAPACK runs, as documented, so after
// a LAPACK failure they hold what LAPACK wrote.
template <class E, class Handle>
void SolveEigen(Handle& a, Handle* b, std::vector<double>& values, Handle* vectors) {
  RequireDistinct(vectors, a, b);
  auto& ka = Checked<E>(a);
  typename E::Kind* kb = b ? &Checked<E>(*b) : nullptr;
  const int n = ka.get_RowNum();
  // A b of another order is refused before the out-parameters are replaced.
  if (kb) detail::RequireShape(*kb, n, n, "Matrix b");
  values = std::vector<double>(static_cast<std::size_t>(n), 0.0);
  if (vectors) *vectors = Handle(n, n);
  if (kb) {
    if (vectors) {
      E::Generalized(ka, *kb, values, detail::HandleAccess::Kind(*vectors));
    } else {
      E::Generalized(ka, *kb, values);
    }
  } else if (vectors) {
    E::Standard(ka, values, detail::HandleAccess::Kind(*vectors));
  } else {
    E::Standard(ka, values);
  }
}

}  // namespace

void Eigenproblem::Solve(Matrix& a, std::vector<double>& resultValues) {
  SolveEigen<RealEigen, Matrix>(a, nullptr, resultValues, nullptr);
}
void Eigenproblem::Solve(Matrix& a, std::vector<double>& resultValues, Matrix& resultVectors) {
  SolveEigen<RealEigen, Matrix>(a, nullptr, resultValues, &resultVectors);
}
void Eigenproblem::Solve(Matrix& a, Matrix& b, std::vector<double>& resultValues) {
  SolveEigen<RealEigen, Matrix>(a, &b, resultValues, nullptr);
}
void Eigenproblem::Solve(Matrix& a, Matrix& b, std::vector<double>& resultValues,
                         Matrix& resultVectors) {
  SolveEigen<RealEigen, Matrix>(a, &b, resultValues, &resultVectors);
}
void Eigenproblem::Solve(ComplexMatrix& a, std::vector<double>& resultValues) {
  SolveEigen<ComplexEigen, ComplexMatrix>(a, nullptr, resultValues, nullptr);
}
void Eigenproblem::Solve(ComplexMatrix& a, std::vector<double>& resultValues,
                         ComplexMatrix& resultVectors) {
  SolveEigen<ComplexEigen, ComplexMatrix>(a, nullptr, resultValues, &resultVectors);
}
void Eigenproblem::Solve(ComplexMatrix& a, ComplexMatrix& b, std::vector<double>& resultValues) {
  SolveEigen<ComplexEigen, ComplexMatrix>(a, &b, resultValues, nullptr);
}
void Eigenproblem::Solve(ComplexMatrix& a, ComplexMatrix& b, std::vector<double>& resultValues,
                         ComplexMatrix& resultVectors) {
  SolveEigen<ComplexEigen, ComplexMatrix>(a, &b, resultValues, &resultVectors);
}

}  // namespace OrvaneNet
