// Large arrays: a freed block comes back for the next array of its size, and
// an array asked for zeroed is zeroed even then.
#include <algorithm>

#include "TestUtil.h"
#include "core/NativeArray.h"

namespace {

using OrvaneNet::detail::NativeArray;

TEST(LargeBlock, AFreedBlockIsReusedAndZeroedOnRequest) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer build: freed blocks are not kept";
#endif
  // 320 KiB (malloc's) and 4 MiB (huge pages) of doubles.
  for (const std::int64_t n : {std::int64_t{40} << 10, std::int64_t{1} << 19}) {
    const double* first = nullptr;
    {
      auto a = NativeArray<double>::Uninitialized(n);
      std::fill_n(a.data(), n, 7.0);
      first = a.data();
    }
    const NativeArray<double> b(n - 1);  // same block size
    EXPECT_EQ(b.data(), first);
    EXPECT_EQ(std::count(b.data(), b.data() + b.size(), 0.0), b.size());
    // Arrays alive at once get blocks of their own.
    const NativeArray<double> c(n);
    EXPECT_NE(c.data(), b.data());
  }
}

}  // namespace
