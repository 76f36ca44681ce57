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
//
// Freed large blocks are kept for reuse, as malloc keeps its heap
// (LargeBlock.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace OrvaneNet::detail {

// `count` entries of `size` bytes, zeroed when asked, released with
// ReleaseBlock(p, count * size). Throws std::bad_alloc; count 0 gives
// nullptr.
void* AllocateBlock(std::uint64_t count, std::size_t size, bool zeroed);
void ReleaseBlock(void* p, std::size_t bytes) noexcept;

// The deleter of a block of `bytes` bytes.
struct FreeBlock {
  std::size_t bytes = 0;
  void operator()(void* p) const noexcept { ReleaseBlock(p, bytes); }
};

}  // namespace OrvaneNet::detail
