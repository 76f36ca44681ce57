// The library-internal route from a handle to its kind object (the handles'
// GetInternalMatrix is private; this struct is their one friend).
#pragma once

#include <memory>
#include <utility>

#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Matrix.h"
#include "core/Interfaces.h"

namespace OrvaneNet::detail {

struct HandleAccess {
  static IDoubleMatrix& Kind(const Matrix& m) { return m.GetInternalMatrix(); }
  static IComplexMatrix& Kind(const ComplexMatrix& m) { return m.GetInternalMatrix(); }
  static Matrix Wrap(std::unique_ptr<IDoubleMatrix> kind) { return Matrix(std::move(kind)); }
  static ComplexMatrix Wrap(std::unique_ptr<IComplexMatrix> kind) {
    return ComplexMatrix(std::move(kind));
  }
};

}  // namespace OrvaneNet::detail
