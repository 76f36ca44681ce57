#include "core/LargeBlock.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace OrvaneNet::detail {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSlack = std::size_t{4} << 10;
// From here on a block is kept when freed, in 64 KiB steps.
constexpr std::size_t kKeptFrom = std::size_t{256} << 10;
constexpr std::size_t kStep = std::size_t{64} << 10;

// The bytes actually allocated for an array of `bytes`: slack from 64 KiB
// on; huge-page blocks in 2 MiB units, kept ones in 64 KiB steps (so that
// arrays of nearly the same size share them).
std::size_t BlockSize(std::size_t bytes) {
  if (bytes >= kHugePage) return (bytes + kSlack + kHugePage - 1) / kHugePage * kHugePage;
  if (bytes >= kKeptFrom) return (bytes + kSlack + kStep - 1) / kStep * kStep;
  return bytes >= kSlack * 16 ? bytes + kSlack : bytes;
}

// Freed blocks of 256 KiB or more wait here for the next array of the same
// block size. Without them a loop that makes and drops a 2000 x 2000 result
// gets fresh pages from the kernel each time, and their zeroing by the
// kernel (about 2 ms for 32 MB) costs as much as the loop's own work; the
// copy a symmetric tridiagonal factorization keeps aside cost five times the
// factorization that way at n = 100000, where glibc had trimmed its heap.
// Like malloc's heap, at most 64 MiB stay allocated; the oldest block goes
// first. AddressSanitizer builds keep nothing, so a use after free stays
// visible.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kKeptBytes = 0;
#else
constexpr std::size_t kKeptBytes = std::size_t{64} << 20;
#endif

class Shelf {
 public:
  // A kept block of `whole` bytes, the most recently kept first (its pages
  // may still be in cache), or nullptr.
  void* Take(std::size_t whole) {
    const std::lock_guard lock(m_mutex);
    for (std::size_t k = m_count; k-- > 0;) {
      if (m_kept[k].whole != whole) continue;
      void* p = m_kept[k].p;
      Remove(k);
      return p;
    }
    return nullptr;
  }

  // Keeps the block, freeing the oldest ones if it needs their room; false
  // (the caller frees it) when it is larger than the whole shelf.
  bool Keep(void* p, std::size_t whole) {
    if (whole > kKeptBytes) return false;
    std::array<void*, kSlots> evicted{};
    std::size_t count = 0;
    {
      const std::lock_guard lock(m_mutex);
      while (m_count == kSlots || m_bytes + whole > kKeptBytes) {
        evicted[count++] = m_kept[0].p;
        Remove(0);
      }
      m_kept[m_count++] = {p, whole};
      m_bytes += whole;
    }
    for (std::size_t k = 0; k < count; ++k) std::free(evicted[k]);
    return true;
  }

 private:
  static constexpr std::size_t kSlots = 8;
  struct Kept {
    void* p = nullptr;
    std::size_t whole = 0;
  };

  void Remove(std::size_t k) {
    m_bytes -= m_kept[k].whole;
    std::copy(m_kept.begin() + static_cast<std::ptrdiff_t>(k + 1),
              m_kept.begin() + static_cast<std::ptrdiff_t>(m_count),
              m_kept.begin() + static_cast<std::ptrdiff_t>(k));
    --m_count;
  }

  std::mutex m_mutex;
  std::array<Kept, kSlots> m_kept{};
  std::size_t m_count = 0;
  std::size_t m_bytes = 0;
};

// Never destroyed: an array in a static object may be freed after main.
Shelf& TheShelf() {
  static Shelf* const shelf = new Shelf;
  return *shelf;
}

}  // namespace

void* AllocateBlock(std::uint64_t count, std::size_t size, bool zeroed) {
  if (count == 0) return nullptr;
  if (count > (SIZE_MAX - kHugePage - kSlack) / size) throw std::bad_alloc();
  const std::size_t bytes = static_cast<std::size_t>(count) * size;
  const std::size_t whole = BlockSize(bytes);
  void* p = bytes >= kKeptFrom ? TheShelf().Take(whole) : nullptr;
  if (p == nullptr && bytes >= kHugePage) {
    if (::posix_memalign(&p, kHugePage, whole) != 0) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Advice only: a refusal leaves ordinary pages.
    (void)::madvise(p, whole, MADV_HUGEPAGE);
#endif
  } else if (p == nullptr) {
    p = std::malloc(whole);
    if (p == nullptr) throw std::bad_alloc();
  }
  if (zeroed) std::memset(p, 0, bytes);
  return p;
}

void ReleaseBlock(void* p, std::size_t bytes) noexcept {
  if (p == nullptr) return;
  if (bytes >= kKeptFrom && TheShelf().Keep(p, BlockSize(bytes))) return;
  std::free(p);
}

}  // namespace OrvaneNet::detail
