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

// The bytes actually mapped for a huge-page block of `bytes`.
std::size_t HugeBlockSize(std::size_t bytes) {
  return (bytes + kSlack + kHugePage - 1) / kHugePage * kHugePage;
}

// Freed huge-page blocks wait here for the next array of the same mapped
// size. Without them a loop that makes and drops a 2000 x 2000 result gets
// fresh pages from the kernel each time, and their zeroing by the kernel
// (about 2 ms for 32 MB) costs as much as the loop's own work, where
// malloc would have handed back the block it just freed. Like malloc's
// heap, at most 64 MiB stay mapped. AddressSanitizer builds keep nothing, so
// a use after free stays visible.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kKeptBytes = 0;
#else
constexpr std::size_t kKeptBytes = std::size_t{64} << 20;
#endif

// The most recently kept block of a size is taken first, while its pages
// may still be in cache.
class Shelf {
 public:
  // A kept block of `whole` bytes, or nullptr.
  void* Take(std::size_t whole) {
    const std::lock_guard lock(m_mutex);
    for (std::size_t k = m_count; k-- > 0;) {
      if (m_kept[k].whole != whole) continue;
      void* p = m_kept[k].p;
      std::copy(m_kept.begin() + static_cast<std::ptrdiff_t>(k + 1),
                m_kept.begin() + static_cast<std::ptrdiff_t>(m_count),
                m_kept.begin() + static_cast<std::ptrdiff_t>(k));
      --m_count;
      m_bytes -= whole;
      return p;
    }
    return nullptr;
  }
  // Keeps the block if there is room; false leaves it to the caller.
  bool Keep(void* p, std::size_t whole) {
    const std::lock_guard lock(m_mutex);
    if (m_count == m_kept.size() || m_bytes + whole > kKeptBytes) return false;
    m_kept[m_count++] = {p, whole};
    m_bytes += whole;
    return true;
  }

 private:
  struct Kept {
    void* p = nullptr;
    std::size_t whole = 0;
  };
  std::mutex m_mutex;
  std::array<Kept, 4> m_kept{};
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
  void* p = nullptr;
  if (bytes >= kHugePage) {
    const std::size_t whole = HugeBlockSize(bytes);
    p = TheShelf().Take(whole);
    if (p == nullptr) {
      if (::posix_memalign(&p, kHugePage, whole) != 0) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
      // Advice only: a refusal leaves ordinary pages.
      (void)::madvise(p, whole, MADV_HUGEPAGE);
#endif
    }
  } else {
    p = std::malloc(bytes >= kSlack * 16 ? bytes + kSlack : bytes);
    if (p == nullptr) throw std::bad_alloc();
  }
  if (zeroed) std::memset(p, 0, bytes);
  return p;
}

void ReleaseBlock(void* p, std::size_t bytes) noexcept {
  if (p == nullptr) return;
  if (bytes >= kHugePage && TheShelf().Keep(p, HugeBlockSize(bytes))) return;
  std::free(p);
}

}  // namespace OrvaneNet::detail
