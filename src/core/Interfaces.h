// The interfaces every matrix kind implements. Slot order follows the
// library's documented vocabulary: shape and state, the linear-equation
// operations, then element access and cloning.
#pragma once

#include <complex>
#include <memory>
#include <span>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/Layout.h"
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

  // Every element at once, in the layout given, straight from or into the
  // kind's own storage. GetValues writes what get_Item reads; SetValues
  // checks the size and the whole input against the kind before it writes
  // anything (OrvaneException, nothing changed), then clears IsFactorized.
  // The span must hold exactly RowNum * ColNum elements.
  virtual void GetValues(std::span<double> out, Layout layout) const = 0;
  virtual void SetValues(std::span<const double> values, Layout layout) = 0;
};

class IComplexMatrix : public IMatrix, public ILinearEquation {
 public:
  virtual Complex get_Item(int i, int j) const = 0;
  virtual void set_Item(int i, int j, Complex value) = 0;
  virtual std::unique_ptr<IComplexMatrix> Clone() const = 0;
  virtual void Dispose() noexcept = 0;

  // As IDoubleMatrix's, for either complex element type.
  virtual void GetValues(std::span<Complex> out, Layout layout) const = 0;
  virtual void GetValues(std::span<std::complex<double>> out, Layout layout) const = 0;
  virtual void SetValues(std::span<const Complex> values, Layout layout) = 0;
  virtual void SetValues(std::span<const std::complex<double>> values, Layout layout) = 0;
};

}  // namespace OrvaneNet
