// The raw arrays of the structured kinds, for code that fills or reads them
// in bulk past the kinds' element routes: the benchmarks copy their inputs
// into preallocated storage with them, a test inspects a band. Every storage
// base names this struct its one friend for that purpose. (The dense general
// kinds need none: their DenseView is public.)
#pragma once

#include <cstddef>
#include <span>

#include "core/NativeArray.h"

namespace OrvaneNet::detail {

struct StorageAccess {
  // LAPACK's ab of a band kind (its leading dimension times the order).
  template <class Kind>
  static auto Band(Kind& a) noexcept {
    return Span(a.ab);
  }
  // LAPACK's ap of a packed kind, n(n+1)/2 entries.
  template <class Kind>
  static auto Packed(Kind& a) noexcept {
    return Span(a.ap);
  }
  // The diagonals of a tridiagonal kind: d (n entries), dl and du of a
  // general one, e of a symmetric or Hermitian one (n - 1 each, none for 0).
  template <class Kind>
  static auto Diagonal(Kind& a) noexcept {
    return Span(a.d);
  }
  template <class Kind>
  static auto Subdiagonal(Kind& a) noexcept {
    return Span(a.dl);
  }
  template <class Kind>
  static auto Superdiagonal(Kind& a) noexcept {
    return Span(a.du);
  }
  template <class Kind>
  static auto OffDiagonal(Kind& a) noexcept {
    return Span(a.e);
  }

 private:
  template <class T>
  static std::span<T> Span(NativeArray<T>& a) noexcept {
    return {a.data(), static_cast<std::size_t>(a.size())};
  }
  template <class T>
  static std::span<const T> Span(const NativeArray<T>& a) noexcept {
    return {a.data(), static_cast<std::size_t>(a.size())};
  }
};

}  // namespace OrvaneNet::detail
