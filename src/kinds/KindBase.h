// What every kind shares: shape and factorization state, Clone(), and the
// types that follow from the storage element (the interface, the public
// element type, the dense general twin carrying right-hand sides).
#pragma once

#include <memory>
#include <type_traits>

#include "OrvaneNet/BadKindCast.h"
#include "core/Interfaces.h"
#include "core/LapackStatus.h"
#include "core/Measures.h"
#include "core/Messages.h"
#include "kinds/BulkCopy.h"
#include "kinds/DenseView.h"
#include "kinds/ElementConversion.h"

namespace OrvaneNet {
class DoubleGeneralMatrix;
class ComplexGeneralMatrix;
}  // namespace OrvaneNet

namespace OrvaneNet::detail {

template <class Scalar>
struct FieldOf;
template <>
struct FieldOf<double> {
  using Interface = IDoubleMatrix;
  using General = DoubleGeneralMatrix;
};
template <>
struct FieldOf<lapack::doublecomplex> {
  using Interface = IComplexMatrix;
  using General = ComplexGeneralMatrix;
};

// The interface's bulk copies, checked for size here and handed to the
// storage template's ReadValues / WriteValues (templates over the caller's
// element type): one virtual call per copy, none per element.
template <class Derived, class Interface>
class BulkCopyBase : public Interface {
 protected:
  template <class T>
  void Read(std::span<T> out, Layout layout) const {
    RequireValueCount("GetValues", out.size(), this->get_RowNum(), this->get_ColNum());
    static_cast<const Derived&>(*this).ReadValues(out.data(), IsRowMajor(layout));
  }
  template <class T>
  void Write(std::span<const T> values, Layout layout) {
    RequireValueCount("SetValues", values.size(), this->get_RowNum(), this->get_ColNum());
    static_cast<Derived&>(*this).WriteValues(values.data(), IsRowMajor(layout));
  }
};

template <class Derived, class Interface>
class BulkCopyLayer;

template <class Derived>
class BulkCopyLayer<Derived, IDoubleMatrix> : public BulkCopyBase<Derived, IDoubleMatrix> {
 public:
  void GetValues(std::span<double> out, Layout layout) const final { this->Read(out, layout); }
  void SetValues(std::span<const double> values, Layout layout) final {
    this->Write(values, layout);
  }
};

template <class Derived>
class BulkCopyLayer<Derived, IComplexMatrix> : public BulkCopyBase<Derived, IComplexMatrix> {
 public:
  void GetValues(std::span<Complex> out, Layout layout) const final { this->Read(out, layout); }
  void GetValues(std::span<std::complex<double>> out, Layout layout) const final {
    this->Read(out, layout);
  }
  void SetValues(std::span<const Complex> values, Layout layout) final {
    this->Write(values, layout);
  }
  void SetValues(std::span<const std::complex<double>> values, Layout layout) final {
    this->Write(values, layout);
  }
};

// Derived is the kind (it provides kType and a public copy constructor);
// Scalar the element LAPACK sees, double or doublecomplex.
template <class Derived, class Scalar>
class KindBase : public BulkCopyLayer<Derived, typename FieldOf<Scalar>::Interface>,
                 public IMatrixMeasures<Scalar> {
 public:
  using Interface = typename FieldOf<Scalar>::Interface;
  using Element = decltype(ToElement(Scalar{}));
  // The dense general kind of the same field: the type of every right-hand
  // side, result and eigenvector matrix a kind hands to LAPACK.
  using Rhs = typename FieldOf<Scalar>::General;

  int get_RowNum() const override { return m_rownum; }
  int get_ColNum() const override { return m_colnum; }
  MatrixType get_Type() const override { return Derived::kType; }
  bool get_IsFactorized() const override { return m_isFactorized; }

  // The norm of the stored elements; held factors have none (a held inverse
  // does).
  double Norm(NormType type) const final {
    if (m_isFactorized && !m_holdsInverse) throw OrvaneException(msg::NormOfFactors);
    return ElementNorm(NormLetter(type));
  }

  bool HoldsInverse() const override { return m_holdsInverse; }

  // Another operation has written a plain matrix into the storage (a
  // solution), or a driver has destroyed it (SVD, least squares, an eigen
  // driver): the factors or the inverse it held are gone.
  void Overwritten() noexcept {
    m_isFactorized = false;
    m_holdsInverse = false;
  }

  // Carries the elements or factors, pivots and flags.
  std::unique_ptr<Interface> Clone() const override {
    return std::make_unique<Derived>(static_cast<const Derived&>(*this));
  }

 protected:
  KindBase(int rownum, int colnum) noexcept : m_rownum(rownum), m_colnum(colnum) {}
  KindBase(const KindBase&) = default;

  // b as the dense general twin; any other kind raises BadKindCast (a
  // std::bad_cast) naming what b is.
  static Rhs& RhsOf(IMatrix& b) {
    if (auto* rhs = dynamic_cast<Rhs*>(&b)) return *rhs;
    throw BadKindCast(msg::RightHandSide, Rhs::kType, b.get_Type());
  }

  // b, which must be the dense general twin with RowNum rows, as LAPACK's B
  // (nrhs = cols(), ldb = ld()). A wrong type raises BadKindCast before the
  // rows are checked.
  DenseView<Scalar> RhsView(IMatrix& b) const {
    Rhs& rhs = RhsOf(b);
    RequireRows(rhs, m_rownum);
    return rhs.View();
  }

  // The norm ('1', 'I', 'F' or 'M') of the stored elements, through the
  // storage's LAPACK routine.
  virtual double ElementNorm(char norm) const = 0;

  static constexpr bool kComplex = !std::is_same_v<Scalar, double>;
  // The real kind's text or the complex kind's.
  static constexpr const char* ByField(const char* real, const char* complex) noexcept {
    return kComplex ? complex : real;
  }

  int m_rownum;
  int m_colnum;
  bool m_isFactorized = false;
  // Invert() left the inverse in the storage, as a plain matrix, while
  // IsFactorized keeps reading true (only the kinds that invert set it).
  bool m_holdsInverse = false;
};

// The names above, with their access, in a class template that derives
// from KindBase; the class's own declarations follow a new access specifier.
#define ORVANE_KIND_STATE(Derived, Scalar)     \
 public:                                       \
  using KindState = KindBase<Derived, Scalar>; \
  using typename KindState::Interface;         \
  using typename KindState::Element;           \
  using typename KindState::Rhs;               \
  using KindState::Overwritten;                \
                                               \
 protected:                                    \
  using KindState::kComplex;                   \
  using KindState::ByField;                    \
  using KindState::RhsView;                    \
  using KindState::RhsOf;                      \
  using KindState::m_rownum;                   \
  using KindState::m_colnum;                   \
  using KindState::m_isFactorized;             \
  using KindState::m_holdsInverse

}  // namespace OrvaneNet::detail
