// The raw arrays of the structured kinds, for code that fills or reads them
// in bulk past the kinds' element routes: the benchmarks copy their inputs
// into preallocated storage with them, a test inspects a band. Every storage
// base names this struct its one friend for that purpose. (The dense general
// kinds need none: their DenseView is public.)
#pragma once

#include <cstddef>
#include <span>
#include <tuple>

#include "core/NativeArray.h"

namespace OrvaneNet::detail {

template <class Derived, class Scalar>
class GeneralTridiagonalBase;
template <class Derived, class Scalar>
class HermitianTridiagonalBase;

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
  // The diagonals of a tridiagonal kind in LAPACK's argument order: dl, d, du
  // of a general one, d, e of a symmetric or Hermitian one (d has n entries,
  // the others n - 1, none for order 0).
  template <class Derived, class Scalar>
  static auto Diagonals(GeneralTridiagonalBase<Derived, Scalar>& a) noexcept {
    return std::tuple{Span(a.dl), Span(a.d), Span(a.du)};
  }
  template <class Derived, class Scalar>
  static auto Diagonals(HermitianTridiagonalBase<Derived, Scalar>& a) noexcept {
    return std::tuple{Span(a.d), Span(a.e)};
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
