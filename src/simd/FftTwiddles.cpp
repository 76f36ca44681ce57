#include "simd/FftTwiddles.h"

#include <pthread.h>

#include <bit>
#include <new>

#include "simd/FftTransforms.h"

namespace OrvaneNet::detail::fft {

TwiddleTable::TwiddleTable(std::int64_t big)
    : m_values(static_cast<std::size_t>(TwiddleDoubles(big))) {
  FillTwiddles(big, m_values.data());
}

int TwiddleCache::SlotOf(std::int64_t big) {
  return std::countr_zero(static_cast<std::uint64_t>(big));
}

std::shared_ptr<const TwiddleTable> TwiddleCache::Get(std::int64_t big) {
  if (big < kMinPoints || big > kMaxPoints) return nullptr;
  Slot& slot = m_slots[SlotOf(big)];
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (slot.table) {
      Touch(slot);
      return slot.table;
    }
  }
  // Made outside the lock: other lengths go on meanwhile.
  std::shared_ptr<const TwiddleTable> made;
  try {
    made = std::make_shared<const TwiddleTable>(big);
  } catch (const std::bad_alloc&) {
    return nullptr;  // the transform computes its factors itself
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  if (slot.table) {
    Touch(slot);
    return slot.table;
  }
  if (made->Bytes() > m_capBytes) return made;
  while (m_bytes + made->Bytes() > m_capBytes) {
    Slot* oldest = nullptr;
    for (Slot& s : m_slots)
      if (s.table && (oldest == nullptr || s.lastUse < oldest->lastUse)) oldest = &s;
    m_bytes -= oldest->table->Bytes();
    oldest->table.reset();
  }
  slot.table = made;
  m_bytes += made->Bytes();
  Touch(slot);
  return made;
}

bool TwiddleCache::Holds(std::int64_t big) const {
  if (big < kMinPoints || big > kMaxPoints) return false;
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_slots[SlotOf(big)].table != nullptr;
}

std::size_t TwiddleCache::Bytes() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bytes;
}

namespace {

// Set once, before the fork handlers that read it are registered.
TwiddleCache* g_processTwiddles = nullptr;

TwiddleCache* MakeProcessTwiddles() {
  g_processTwiddles = new TwiddleCache(kTwiddleCacheBytes);
  pthread_atfork([] { g_processTwiddles->Lock(); }, [] { g_processTwiddles->Unlock(); },
                 [] { g_processTwiddles->Unlock(); });
  return g_processTwiddles;
}

}  // namespace

TwiddleCache& ProcessTwiddles() {
  static TwiddleCache* const cache = MakeProcessTwiddles();
  return *cache;
}

}  // namespace OrvaneNet::detail::fft
