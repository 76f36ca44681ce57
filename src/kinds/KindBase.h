// Shape and factorization state, reported the same way by every kind.
#pragma once

#include "core/Interfaces.h"

namespace OrvaneNet::detail {

// Derived provides kType; Interface is IDoubleMatrix or IComplexMatrix.
template <class Derived, class Interface>
class KindBase : public Interface {
 public:
  int get_RowNum() const override { return m_rownum; }
  int get_ColNum() const override { return m_colnum; }
  MatrixType get_Type() const override { return Derived::kType; }
  bool get_IsFactorized() const override { return m_isFactorized; }

 protected:
  KindBase(int rownum, int colnum) noexcept : m_rownum(rownum), m_colnum(colnum) {}
  KindBase(const KindBase&) = default;

  int m_rownum;
  int m_colnum;
  bool m_isFactorized = false;
};

// The members above, named in a class template that derives from KindBase.
#define ORVANE_KIND_STATE(Derived, Interface)     \
  using KindState = KindBase<Derived, Interface>; \
  using KindState::m_rownum;                      \
  using KindState::m_colnum;                      \
  using KindState::m_isFactorized

}  // namespace OrvaneNet::detail
