// What the exact-length transform of one length needs besides the data:
// the passes and twiddles of the mixed-radix transform, Bluestein's chirp and
// kernel spectrum, the twiddles that turn a half-length complex transform
// into the bins of a real one. Made once per length and kept in a bounded
// cache shared by all threads.
#pragma once

#include <complex>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "simd/FftMixedRadix.h"
#include "simd/InstructionSet.h"

namespace OrvaneNet::detail::dft {

// e^(2 pi i t / n) for any t, correctly rounded but for the last bit or so:
// the product, in long double, of two roots from tables of about sqrt(n)
// entries each, themselves computed in long double.
class UnitRoots {
 public:
  explicit UnitRoots(std::uint64_t n);
  std::complex<double> operator()(std::uint64_t t) const;

 private:
  std::uint64_t m_n, m_block;
  std::vector<std::complex<long double>> m_coarse, m_fine;
};

// Whether n is a product of 2, 3 and 5 only (n >= 1).
bool IsSmooth(std::int64_t n);

// The mixed-radix transform of a smooth length.
struct MixedPlan {
  std::int64_t n = 0;
  std::vector<mixed::Pass> passes;
  std::vector<double> twiddles;  // the passes point into it

  explicit MixedPlan(std::int64_t length);
  MixedPlan(const MixedPlan&) = delete;
  MixedPlan& operator=(const MixedPlan&) = delete;
  std::size_t Bytes() const { return twiddles.size() * sizeof(double); }
  // sum_j x_j e^(+2 pi i j k / n) with the placement and conjugations of io.
  void Run(const mixed::Io& io) const;
};

// Bluestein's chirp-z transform for any other length n, with X_k =
// w_k sum_j (x_j w_j) conj(w_(k-j)), w_j = e^(+i pi j^2 / n): a cyclic
// convolution of length m >= 2n - 1, m smooth, done with two mixed-radix
// transforms.
struct BluesteinPlan {
  std::int64_t n = 0;
  MixedPlan inner;
  std::vector<std::complex<double>> chirp;  // w_j, j < n
  std::vector<double> kernel;  // the transform of conj(w) laid out cyclically, / m; split

  explicit BluesteinPlan(std::int64_t length);
  std::size_t Bytes() const {
    return inner.Bytes() + chirp.size() * sizeof(chirp[0]) + kernel.size() * sizeof(double);
  }
};

// The length m of Bluestein's convolution for length n: the smallest
// 2^a 3^b 5^c >= 2n - 1 with a >= 2.
std::int64_t ConvolutionLength(std::int64_t n);

// Everything one length needs, by kind.
struct Plan {
  enum class Kind { Mixed, Bluestein, RealTwiddles };
  Kind kind = Kind::Mixed;
  std::unique_ptr<MixedPlan> mixed;
  std::unique_ptr<BluesteinPlan> bluestein;
  std::vector<double> realTwiddles;  // e^(+2 pi i k / n), k = 0 .. n/2, interleaved
  std::size_t Bytes() const;
};

// Plans by length and kind, thread-safe, at most `capacity` bytes of them
// (Plan::Bytes), the least recently used dropped first; a plan larger than
// the capacity is handed out without being kept.
class PlanCache {
 public:
  using Make = std::function<std::shared_ptr<const Plan>()>;
  explicit PlanCache(std::size_t capacity) : m_capacity(capacity) {}
  // The plan stored for (n, real), or make()'s, stored. make() runs outside
  // the lock: two threads may make the same plan, the first one stored wins
  // (plans of one key are identical).
  std::shared_ptr<const Plan> Get(std::int64_t n, bool real, const Make& make);
  std::size_t Count();
  std::size_t Bytes();

 private:
  using Key = std::pair<std::int64_t, bool>;
  using Entry = std::pair<Key, std::shared_ptr<const Plan>>;
  std::shared_ptr<const Plan> Find(const Key& key);

  std::size_t m_capacity;
  std::mutex m_mutex;
  std::list<Entry> m_order;  // most recently used first
  std::map<Key, std::list<Entry>::iterator> m_index;
  std::size_t m_bytes = 0;
};

// The plan of a complex transform of the length (Mixed for smooth lengths,
// else Bluestein), or the real-input twiddles of an even length, from the
// process-wide cache of kCacheBytes. Plans are immutable and their contents
// depend on the length alone.
inline constexpr std::size_t kCacheBytes = std::size_t{64} << 20;
std::shared_ptr<const Plan> ComplexPlan(std::int64_t n);
std::shared_ptr<const Plan> RealPlan(std::int64_t n);
PlanCache& ProcessCache();

// A work array of the calling thread, kept for its next transform as long
// as it holds at most kKeptWorkBytes: fresh large blocks come from the
// kernel page by page (glibc returns freed ones above its trim threshold),
// which costs more than a transform of that size. Contents undefined.
inline constexpr std::size_t kKeptWorkBytes = std::size_t{32} << 20;
class WorkArray {
 public:
  explicit WorkArray(std::size_t doubles);
  ~WorkArray();
  WorkArray(const WorkArray&) = delete;
  WorkArray& operator=(const WorkArray&) = delete;
  double* data() const { return m_data; }

 private:
  double* m_data = nullptr;
  std::vector<double> m_own;  // when the thread's array is in use or too large
  bool m_leased = false;
};

// The mixed-radix passes and the real-input bins (FftMixedRadix.h) on the
// widest instruction set the CPU runs, or on the set given (the portable one
// where it is not Supported): every set gives the same bits.
void RunPasses(const mixed::Pass* passes, int count, std::int64_t n, const mixed::Io& io);
void RunPasses(InstructionSet set, const mixed::Pass* passes, int count, std::int64_t n,
               const mixed::Io& io);
void RealBins(const double* z, const double* twiddle, std::int64_t n, double* out);
void RealBins(InstructionSet set, const double* z, const double* twiddle, std::int64_t n,
              double* out);

}  // namespace OrvaneNet::detail::dft
