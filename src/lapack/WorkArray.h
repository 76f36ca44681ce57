// Scratch arrays handed to LAPACK for the length of one call: work arrays,
// the Rectangular Full Packed copy of a packed triangle, a full-storage copy.
//
// Why not std::vector: a large block comes fresh from the kernel, and the
// first touch of each 4 KiB page is a page fault, which on a virtual machine
// costs about 12 us. A 1000 x 1000 packed triangle (4 MB) then takes 12 ms
// just to be touched, as long as the blocked Cholesky factorization that
// uses it. A block of 256 KiB or more is therefore aligned to, and sized in,
// 2 MiB units and marked for transparent huge pages, so that each 2 MiB is
// one fault. (Where the kernel has no huge page to give, it falls back to
// small pages silently; no worse than before.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace OrvaneNet::lapack {

template <class T>
class WorkArray {
  static_assert(std::is_trivially_copyable_v<T>, "LAPACK element types only");

 public:
  WorkArray() = default;
  // `count` zeroed entries (none for count <= 0).
  explicit WorkArray(std::int64_t count) : WorkArray(count, true) {}
  // `count` entries the caller overwrites completely before reading any.
  static WorkArray Uninitialized(std::int64_t count) { return WorkArray(count, false); }

  T* data() noexcept { return m_data.get(); }
  const T* data() const noexcept { return m_data.get(); }
  std::int64_t size() const noexcept { return m_count; }
  T& operator[](std::int64_t k) noexcept { return m_data.get()[k]; }
  const T& operator[](std::int64_t k) const noexcept { return m_data.get()[k]; }

 private:
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  static constexpr std::size_t kHugeFrom = std::size_t{256} << 10;

  struct Free {
    void operator()(T* p) const noexcept { std::free(p); }
  };

  WorkArray(std::int64_t count, bool zeroed) : m_count(count > 0 ? count : 0) {
    if (m_count == 0) return;
    if (static_cast<std::uint64_t>(m_count) > (SIZE_MAX - kHugePage) / sizeof(T)) {
      throw std::bad_alloc();
    }
    std::size_t bytes = static_cast<std::size_t>(m_count) * sizeof(T);
    void* p = nullptr;
    if (bytes >= kHugeFrom) {
      bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
      p = std::aligned_alloc(kHugePage, bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
      // Advice only: a refusal leaves ordinary pages.
      if (p != nullptr) (void)::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    } else {
      p = std::aligned_alloc(alignof(std::max_align_t),
                             (bytes + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                 alignof(std::max_align_t));
    }
    if (p == nullptr) throw std::bad_alloc();
    if (zeroed) std::memset(p, 0, bytes);
    m_data.reset(static_cast<T*>(p));
  }

  std::unique_ptr<T, Free> m_data;
  std::int64_t m_count = 0;
};

}  // namespace OrvaneNet::lapack
