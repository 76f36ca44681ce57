// The owned, zero-initialized native array behind every kind's storage.
// Counts are 64-bit so that products of two int dimensions never wrap.
// Large arrays get huge pages (core/LargeBlock.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

#include "core/LargeBlock.h"

namespace OrvaneNet::detail {

// Asks for storage that the caller overwrites in full right away, so it is
// not zeroed first.
struct ForOverwrite {};

template <class T>
class NativeArray {
  // Zeroed bytes are the value-initialized elements.
  static_assert(std::is_trivially_copyable_v<T>, "numbers and pivots only");

 public:
  NativeArray() = default;
  // `count` entries, each value-initialized (0.0, 0 + 0i, 0). A negative
  // count is a programming error of the caller; it allocates nothing.
  explicit NativeArray(std::int64_t count) : NativeArray(count, true) {}
  // `count` entries the caller (or LAPACK, as work space) writes before
  // reading any: no zeroing pass.
  static NativeArray Uninitialized(std::int64_t count) { return NativeArray(count, false); }
  NativeArray(const NativeArray& orig) : NativeArray(orig.m_count, false) {
    if (m_count > 0) std::copy_n(orig.m_data.get(), m_count, m_data.get());
  }
  NativeArray& operator=(const NativeArray& orig) {
    if (this != &orig) *this = NativeArray(orig);
    return *this;
  }
  NativeArray(NativeArray&&) noexcept = default;
  NativeArray& operator=(NativeArray&&) noexcept = default;

  T* data() noexcept { return m_data.get(); }
  const T* data() const noexcept { return m_data.get(); }
  std::int64_t size() const noexcept { return m_count; }
  T& operator[](std::int64_t k) noexcept { return m_data.get()[k]; }
  const T& operator[](std::int64_t k) const noexcept { return m_data.get()[k]; }

  // Frees the storage; idempotent.
  void Release() noexcept {
    m_data.reset();
    m_count = 0;
  }

 private:
  NativeArray(std::int64_t count, bool zeroed) : m_count(count > 0 ? count : 0) {
    m_data = std::unique_ptr<T, FreeBlock>(
        static_cast<T*>(AllocateBlock(static_cast<std::uint64_t>(m_count), sizeof(T), zeroed)),
        FreeBlock{static_cast<std::size_t>(m_count) * sizeof(T)});
  }

  std::unique_ptr<T, FreeBlock> m_data;
  std::int64_t m_count = 0;
};

// Pivots for a factorization that has not run yet: the identity permutation
// (LAPACK's 1-based rows), so no routine ever reads an unset pivot.
inline NativeArray<int> IdentityPivots(int n) {
  NativeArray<int> ipiv(n);
  for (int k = 0; k < n; ++k) ipiv[k] = k + 1;
  return ipiv;
}

}  // namespace OrvaneNet::detail
