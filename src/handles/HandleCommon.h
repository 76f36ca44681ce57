// What the real and complex handles share: choosing the kind from the
// constructor arguments, products, scalar multiples, row and column copies.
// Traits name the handle's kinds and element type (see Matrix.cpp and
// ComplexMatrix.cpp).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "core/LapackStatus.h"
#include "core/Messages.h"
#include "core/NativeArray.h"
#include "core/Validator.h"
#include "handles/HandleAccess.h"
#include "kinds/BulkCopy.h"
#include "kinds/DenseView.h"
#include "kinds/ElementConversion.h"
#include "text/MatrixFile.h"

namespace OrvaneNet::detail {

template <class T>
std::unique_ptr<typename T::Interface> MakeKind(int rownum, int colnum, MatrixType type) {
  if (type == T::General::kType) return std::make_unique<typename T::General>(rownum, colnum);
  if (type == T::GeneralTridiagonal::kType)
    return std::make_unique<typename T::GeneralTridiagonal>(rownum, colnum);
  if (type == T::Symmetric::kType) return std::make_unique<typename T::Symmetric>(rownum, colnum);
  if (type == T::SymmetricTridiagonal::kType)
    return std::make_unique<typename T::SymmetricTridiagonal>(rownum, colnum);
  throw OrvaneException(msg::NotYetImplemented);
}

template <class T>
std::unique_ptr<typename T::Interface> MakeKindByWidth(int rownum, int colnum, int bandWidth) {
  // 3 is tested before oddness: it always means the tridiagonal kind.
  if (bandWidth == 3) return std::make_unique<typename T::GeneralTridiagonal>(rownum, colnum);
  if (bandWidth % 2 == 0) throw OrvaneException(msg::BandWidthEven);
  const int k = (bandWidth - 1) / 2;  // a negative width gives a negative k, which the kind refuses
  return std::make_unique<typename T::GeneralBand>(rownum, colnum, k, k);
}

template <class T>
std::unique_ptr<typename T::Interface> MakeBandKind(int rownum, int colnum, MatrixType type,
                                                    int subnum, int supernum) {
  if (type == T::SymmetricBand::kType)
    return std::make_unique<typename T::SymmetricBand>(rownum, colnum, subnum, supernum);
  if (type == T::GeneralBand::kType)
    return std::make_unique<typename T::GeneralBand>(rownum, colnum, subnum, supernum);
  throw OrvaneException(msg::NotYetImplemented);
}

// The operand's elements as a dense view: of the dense kind's own array, or
// of a dense copy read through the kind (zeros outside a pattern, factors
// when factorized), which gives the same values the indexer would.
template <class T>
class DenseOperand {
 public:
  explicit DenseOperand(const typename T::Interface& kind) : m_view(DenseOf(kind, m_copy)) {}
  DenseOperand(const DenseOperand&) = delete;  // the view may point into m_copy
  DenseOperand& operator=(const DenseOperand&) = delete;
  ConstDenseView<typename T::Storage> View() const { return m_view; }

 private:
  static ConstDenseView<typename T::Storage> DenseOf(const typename T::Interface& kind,
                                                     std::optional<typename T::General>& copy) {
    if (auto* dense = dynamic_cast<const typename T::General*>(&kind)) return dense->View();
    copy.emplace(kind.get_RowNum(), kind.get_ColNum(), ForOverwrite{});
    const auto view = copy->View();
    kind.GetValues(std::span(view.data(), static_cast<std::size_t>(view.rows()) * view.cols()),
                   Layout::ColumnMajor);
    return std::as_const(*copy).View();
  }

  std::optional<typename T::General> m_copy;
  ConstDenseView<typename T::Storage> m_view;
};

// The elements of a handle that holds the dense general kind (a new result).
template <class T>
DenseView<typename T::Storage> DenseResult(typename T::Handle& h) {
  return static_cast<typename T::General&>(HandleAccess::Kind(h)).View();
}

template <class T>
typename T::Handle Product(const typename T::Handle& lhs, const typename T::Handle& rhs) {
  const auto& a = HandleAccess::Kind(lhs);
  const auto& b = HandleAccess::Kind(rhs);
  if (a.get_ColNum() != b.get_RowNum()) throw OrvaneException(msg::ProductShape);
  typename T::Handle result(a.get_RowNum(), b.get_ColNum());
  const DenseOperand<T> da(a), db(b);
  // The product's arrays have leading dimension = rows, as the views do
  // wherever they have rows.
  T::Multiply(a.get_RowNum(), b.get_ColNum(), a.get_ColNum(), da.View().data(), db.View().data(),
              DenseResult<T>(result).data());
  return result;
}

// ---- Data in and out, element-wise arithmetic ----

// A new rows x cols dense general handle whose elements the caller writes
// in full at once (they are not zeroed first).
template <class T>
typename T::Handle NewDense(int rows, int cols) {
  return HandleAccess::Wrap(std::make_unique<typename T::General>(rows, cols, ForOverwrite{}));
}

inline std::size_t ElementCount(const IMatrix& m) {
  return static_cast<std::size_t>(m.get_RowNum()) * static_cast<std::size_t>(m.get_ColNum());
}

// The elements of a new dense general handle, column-major, contiguous.
template <class T>
typename T::Storage* ResultValues(typename T::Handle& h) {
  return DenseResult<T>(h).data();
}

// The operand's elements column-major and contiguous, as get_Item reads
// them: the dense kind's own array, or GetValues of any other kind written
// into `buffer` (ElementCount entries).
template <class T>
const typename T::Storage* ColumnMajorValues(const typename T::Interface& kind,
                                             typename T::Storage* buffer) {
  if (kind.get_Type() == T::General::kType) {
    return static_cast<const typename T::General&>(kind).View().data();
  }
  kind.GetValues(std::span(buffer, ElementCount(kind)), Layout::ColumnMajor);
  return buffer;
}

template <class T, class E>
typename T::Handle FromRows(std::initializer_list<std::initializer_list<E>> rows) {
  if (rows.size() == 0) return typename T::Handle();
  const std::size_t cols = rows.begin()->size();
  std::size_t index = 0;
  for (const auto& row : rows) {
    if (row.size() != cols) {
      throw OrvaneException(msg::RaggedRows + std::to_string(cols) + " values, row " +
                            std::to_string(index) + " has " + std::to_string(row.size()) + ".");
    }
    ++index;
  }
  const int m = static_cast<int>(rows.size()), n = static_cast<int>(cols);
  auto result = NewDense<T>(m, n);
  const DenseView<typename T::Storage> out = DenseResult<T>(result);
  int i = 0;
  for (const auto& row : rows) {
    int j = 0;
    for (const E& v : row) out(i, j++) = ToStorage(v);
    ++i;
  }
  return result;
}

template <class T, class E>
typename T::Handle FromValues(int rownum, int colnum, std::span<const E> values, Layout layout) {
  RequireNonNegative(rownum, colnum);
  RequireValueCount("FromValues", values.size(), rownum, colnum);
  auto kind = std::make_unique<typename T::General>(rownum, colnum, ForOverwrite{});
  kind->WriteValues(values.data(), IsRowMajor(layout));
  return HandleAccess::Wrap(std::move(kind));
}

template <class E, class Handle>
std::vector<E> ToVector(const Handle& h, Layout layout) {
  const auto& kind = HandleAccess::Kind(h);
  std::vector<E> out(ElementCount(kind));
  kind.GetValues(std::span<E>(out), layout);
  return out;
}

inline void RequireSameShape(const IMatrix& a, const IMatrix& b) {
  if (a.get_RowNum() == b.get_RowNum() && a.get_ColNum() == b.get_ColNum()) return;
  throw OrvaneException(msg::ShapesDiffer + std::to_string(a.get_RowNum()) + " x " +
                        std::to_string(a.get_ColNum()) + " and " + std::to_string(b.get_RowNum()) +
                        " x " + std::to_string(b.get_ColNum()) + ".");
}

// result(i, j) = op(lhs(i, j), rhs(i, j)) in a new dense general handle.
// A structured operand is read with GetValues into the result itself when
// it can be, so only two structured operands need a second array.
template <class T, class Op>
typename T::Handle Combine(const typename T::Handle& lhs, const typename T::Handle& rhs, Op op) {
  using S = typename T::Storage;
  const auto& a = HandleAccess::Kind(lhs);
  const auto& b = HandleAccess::Kind(rhs);
  RequireSameShape(a, b);
  auto result = NewDense<T>(a.get_RowNum(), a.get_ColNum());
  S* out = ResultValues<T>(result);
  const std::size_t count = ElementCount(a);
  NativeArray<S> spare;
  const S* pa = ColumnMajorValues<T>(a, out);
  S* bufferB = out;
  if (pa == out && b.get_Type() != T::General::kType) {
    spare = NativeArray<S>::Uninitialized(static_cast<std::int64_t>(count));
    bufferB = spare.data();
  }
  const S* pb = ColumnMajorValues<T>(b, bufferB);
  for (std::size_t k = 0; k < count; ++k) out[k] = op(pa[k], pb[k]);
  return result;
}

// Every element of rhs mapped through f, into a new dense general handle.
template <class T, class F>
typename T::Handle MapElements(const typename T::Handle& rhs, F f) {
  const auto& b = HandleAccess::Kind(rhs);
  auto result = NewDense<T>(b.get_RowNum(), b.get_ColNum());
  typename T::Storage* out = ResultValues<T>(result);
  const typename T::Storage* in = ColumnMajorValues<T>(b, out);
  const std::size_t count = ElementCount(b);
  for (std::size_t k = 0; k < count; ++k) out[k] = f(in[k]);
  return result;
}

// The transpose: the row-major values of m are the column-major ones of m^T.
template <class T>
typename T::Handle Transposed(const typename T::Handle& m) {
  const auto& a = HandleAccess::Kind(m);
  auto result = NewDense<T>(a.get_ColNum(), a.get_RowNum());
  a.GetValues(std::span(ResultValues<T>(result), ElementCount(a)), Layout::RowMajor);
  return result;
}

// Inv(): a shape that cannot be inverted is refused before the
// factorization overwrites the matrix.
template <class Kind>
void InvertKind(Kind& kind) {
  if (kind.get_RowNum() != kind.get_ColNum()) throw OrvaneException(msg::NotSquare);
  if (!kind.get_IsFactorized()) kind.Factorize();
  kind.Invert();
}

// The index of a row or column is checked by itself, so that a matrix
// without columns (rows) still refuses a row (column) it does not have; the
// message names the index with 0 for the other one.
inline void CheckVectorIndex(int index, int count, bool row) {
  if (index < 0 || index >= count) {
    const std::string i = std::to_string(row ? index : 0), j = std::to_string(row ? 0 : index);
    throw OrvaneException("(" + i + msg::IndexSeparator + j + msg::RangeSuffix);
  }
}

template <class T>
typename T::Handle RowVector(const typename T::Handle& mat, int rownum) {
  const auto& a = HandleAccess::Kind(mat);
  CheckVectorIndex(rownum, a.get_RowNum(), true);
  typename T::Handle result(1, a.get_ColNum());
  auto& r = HandleAccess::Kind(result);
  for (int j = 0; j < a.get_ColNum(); ++j) r.set_Item(0, j, a.get_Item(rownum, j));
  return result;
}

template <class T>
typename T::Handle ColVector(const typename T::Handle& mat, int colnum) {
  const auto& a = HandleAccess::Kind(mat);
  CheckVectorIndex(colnum, a.get_ColNum(), false);
  typename T::Handle result(a.get_RowNum(), 1);
  auto& r = HandleAccess::Kind(result);
  for (int i = 0; i < a.get_RowNum(); ++i) r.set_Item(i, 0, a.get_Item(i, colnum));
  return result;
}

template <class T>
typename T::Handle LoadHandle(const std::string& loadFile, const MatrixFormatter& format) {
  // Parsed completely before any matrix exists, so a bad file creates none.
  const auto text = LoadMatrixFile<typename T::Element>(loadFile, format);
  typename T::Handle result(text.rowNum, text.colNum);
  const ConstDenseView<typename T::Element> in(text.values.data(), text.rowNum, text.colNum,
                                               text.rowNum);
  TransformElements(in, DenseResult<T>(result), [](auto v) { return ToStorage(v); });
  return result;
}

inline MatrixFormatter FormatterWithDigits(int numDigit) {
  MatrixFormatter format;
  format.set_NumberOfDigit(numDigit);
  return format;
}

}  // namespace OrvaneNet::detail
