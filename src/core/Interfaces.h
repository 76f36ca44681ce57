// The interfaces every matrix kind implements. Slot order follows the
// library's documented vocabulary: shape and state, the linear-equation
// operations, then element access and cloning.
#pragma once

#include <memory>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/MatrixType.h"

namespace OrvaneNet {

class IMatrix {
 public:
  virtual ~IMatrix() = default;
  virtual int get_RowNum() const = 0;
  virtual int get_ColNum() const = 0;
  virtual MatrixType get_Type() const = 0;
  // Whether the storage holds factors that Solve and Invert may use.
  virtual bool get_IsFactorized() const = 0;
  // Whether the storage holds the inverse that Invert made (IsFactorized
  // then reads true, but there are no factors). Only the invertible kinds
  // ever do.
  virtual bool HoldsInverse() const { return false; }
};

// Preconditions kept by every caller in the library: Solve and Invert only
// when get_IsFactorized() is true; b is the kind's dense general twin.
class ILinearEquation {
 public:
  virtual ~ILinearEquation() = default;
  virtual void Factorize() = 0;
  virtual void Invert() = 0;
  virtual void Solve(IMatrix& b) = 0;
  virtual void SolveWithSimpleDriver(IMatrix& b) = 0;
};

class IDoubleMatrix : public IMatrix, public ILinearEquation {
 public:
  // Indices are not checked here; the handles check them first.
  virtual double get_Item(int i, int j) const = 0;
  virtual void set_Item(int i, int j, double value) = 0;
  virtual std::unique_ptr<IDoubleMatrix> Clone() const = 0;
  // Releases the storage early; a second call releases nothing.
  virtual void Dispose() noexcept = 0;
};

class IComplexMatrix : public IMatrix, public ILinearEquation {
 public:
  virtual Complex get_Item(int i, int j) const = 0;
  virtual void set_Item(int i, int j, Complex value) = 0;
  virtual std::unique_ptr<IComplexMatrix> Clone() const = 0;
  virtual void Dispose() noexcept = 0;
};

}  // namespace OrvaneNet
