// A dense column-major array seen as a matrix: element (i, j) at
// data[i + j*ld]. This is the one place that offset is written; the dense
// general kinds hand out their storage only as such a view, and every other
// column-major array in the library (parsed text, product operands) is read
// and written through one too.
#pragma once

#include <cstdint>
#include <type_traits>

namespace OrvaneNet::detail {

// T is the element type, const-qualified for a read-only view. The view does
// not own the array and checks no index; ld >= rows is the caller's promise
// (LAPACK's own: the dense kinds give max(1, rows)).
template <class T>
class DenseView {
 public:
  DenseView(T* data, int rows, int cols, int ld) noexcept
      : m_data(data), m_rows(rows), m_cols(cols), m_ld(ld) {}

  // A view of mutable elements reads as a view of const ones.
  template <class U>
    requires std::is_same_v<const U, T>
  DenseView(const DenseView<U>& other) noexcept
      : DenseView(other.data(), other.rows(), other.cols(), other.ld()) {}

  T* data() const noexcept { return m_data; }
  int rows() const noexcept { return m_rows; }
  int cols() const noexcept { return m_cols; }
  int ld() const noexcept { return m_ld; }

  // 64-bit offset, so that no shape the kinds accept can wrap.
  T& operator()(int i, int j) const noexcept {
    return m_data[i + static_cast<std::int64_t>(j) * m_ld];
  }

 private:
  T* m_data;
  int m_rows;
  int m_cols;
  int m_ld;
};

template <class T>
using ConstDenseView = DenseView<const T>;

// out(i, j) = f(in(i, j)) for every element of the (equally shaped) views,
// column by column.
template <class In, class Out, class F>
void TransformElements(const DenseView<In>& in, const DenseView<Out>& out, F f) {
  for (int j = 0; j < in.cols(); ++j)
    for (int i = 0; i < in.rows(); ++i) out(i, j) = f(in(i, j));
}

}  // namespace OrvaneNet::detail
