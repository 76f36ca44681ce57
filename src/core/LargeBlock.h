// Memory for large arrays: element storage and LAPACK scratch.
//
// A large block comes fresh from the kernel, and the first touch of each
// 4 KiB page is a page fault, which on a virtual machine costs about 8 us:
// zeroing three 1000 x 1000 results of an SVD (24 MB) took 46 ms that way,
// as long as a seventh of the decomposition. A block of 2 MiB or more is
// therefore aligned to, and sized in, 2 MiB units marked for transparent
// huge pages, each then one fault (the same zeroing: 2.3 ms). The rounding
// costs less than 2 MiB per block, under 5% from 40 MB on. Where the kernel
// has no huge page to give, it uses small pages silently.
//
// Every block of 64 KiB or more also has 4 KiB of slack after its end: multithreaded OpenBLAS
// 0.3.21 (zgemv_n's Haswell kernel, inside zgebd2) reads up to some 3 KB
// past the last column of a matrix, which faults when the block ends a
// mapping of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace OrvaneNet::detail {

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;
inline constexpr std::size_t kSlack = std::size_t{4} << 10;

// `count` entries of `size` bytes, zeroed when asked, released with
// std::free. Throws std::bad_alloc; count 0 gives nullptr.
inline void* AllocateBlock(std::uint64_t count, std::size_t size, bool zeroed) {
  if (count == 0) return nullptr;
  if (count > (SIZE_MAX - kHugePage - kSlack) / size) throw std::bad_alloc();
  const std::size_t bytes = static_cast<std::size_t>(count) * size;
  void* p = nullptr;
  if (bytes >= kHugePage) {
    const std::size_t whole = (bytes + kSlack + kHugePage - 1) / kHugePage * kHugePage;
    if (::posix_memalign(&p, kHugePage, whole) != 0) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Advice only: a refusal leaves ordinary pages.
    (void)::madvise(p, whole, MADV_HUGEPAGE);
#endif
  } else {
    p = std::malloc(bytes >= kSlack * 16 ? bytes + kSlack : bytes);
    if (p == nullptr) throw std::bad_alloc();
  }
  if (zeroed) std::memset(p, 0, bytes);
  return p;
}

struct FreeBlock {
  void operator()(void* p) const noexcept { std::free(p); }
};

}  // namespace OrvaneNet::detail
