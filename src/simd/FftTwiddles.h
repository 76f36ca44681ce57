// The FFT's twiddle tables, one per transform length, kept between calls: a
// transform of N points takes about N/6 sincos calls, which at N = 1024 cost
// more than all its butterflies. A table holds only the factor that needs a
// sincos (w1 of each block, 2 bytes per point); the engine derives the others
// by the same few multiplications as without a table, so the results are the
// same bits with or without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace OrvaneNet::detail::fft {

// The table of one length (FillTwiddles), never changed once made: shared by
// every transform of that length running at the time, and kept alive by
// them when the cache lets it go.
class TwiddleTable {
 public:
  // big: a power of two >= 8. Throws std::bad_alloc.
  explicit TwiddleTable(std::int64_t big);
  const double* Data() const { return m_values.data(); }
  std::size_t Bytes() const { return m_values.size() * sizeof(double); }

 private:
  std::vector<double> m_values;
};

// Tables of the lengths 2^4 .. 2^22 (shorter transforms have no twiddled
// block worth a table; longer ones compute their factors as they go, where
// the sincos calls are a few percent of the work), at most `capBytes` of
// them: a new table first evicts the least recently used ones. Safe to use
// from any number of threads; two threads asking at once for a length not
// held may both compute it (the one kept is the first stored).
class TwiddleCache {
 public:
  static constexpr std::int64_t kMinPoints = 16;
  static constexpr std::int64_t kMaxPoints = std::int64_t{1} << 22;

  explicit TwiddleCache(std::size_t capBytes) : m_capBytes(capBytes) {}
  TwiddleCache(const TwiddleCache&) = delete;
  TwiddleCache& operator=(const TwiddleCache&) = delete;

  // The table for `big` points (a power of two), made if not held: null for
  // lengths outside the range above or if its memory could not be had. A
  // table larger than the cap is made for the caller but not kept.
  std::shared_ptr<const TwiddleTable> Get(std::int64_t big);

  // Whether the table of `big` points is held; the bytes of all held.
  bool Holds(std::int64_t big) const;
  std::size_t Bytes() const;

  // Holds the lock across fork (see ProcessTwiddles).
  void Lock() { m_mutex.lock(); }
  void Unlock() { m_mutex.unlock(); }

 private:
  static constexpr int kSlots = 23;  // slot b: 2^b points
  struct Slot {
    std::shared_ptr<const TwiddleTable> table;
    std::uint64_t lastUse = 0;
  };
  static int SlotOf(std::int64_t big);
  void Touch(Slot& slot) { slot.lastUse = ++m_clock; }

  mutable std::mutex m_mutex;
  Slot m_slots[kSlots];
  std::uint64_t m_clock = 0;
  std::size_t m_bytes = 0;
  const std::size_t m_capBytes;
};

// The cap of the process's cache: every length up to 2^21 at once (8 MiB
// less 32 bytes together), or the table of 2^22 points alone.
constexpr std::size_t kTwiddleCacheBytes = std::size_t{8} << 20;

// The cache FftCompute uses. Made at the first call and never destroyed, so
// that transforms run from static destructors still find it; its lock is held
// across fork(), so a child never inherits it locked.
TwiddleCache& ProcessTwiddles();

}  // namespace OrvaneNet::detail::fft
