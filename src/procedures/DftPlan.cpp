#include "procedures/DftPlan.h"

#include <cmath>
#include <numbers>

namespace OrvaneNet::detail {

namespace dft {

// ---- roots of unity ----

// A root e^(2 pi i t / n) is found from u = 8t (mod 8n) by the symmetries of
// the octants, so that the angle computed lies in [0, pi/4] and the roots on
// the axes come out exact; that angle's root is the product of a coarse and
// a fine table entry over the denominator 8n.
UnitRoots::UnitRoots(std::uint64_t n) : m_n(n) {
  m_block = 1;
  while (m_block * m_block <= n) ++m_block;
  const long double quarterPi = std::numbers::pi_v<long double> / 4;
  auto root = [&](std::uint64_t u) {  // e^(i (pi/4) u/n), u <= about n + block
    const long double angle = quarterPi * static_cast<long double>(u) / static_cast<long double>(n);
    return std::complex<long double>(std::cos(angle), std::sin(angle));
  };
  m_fine.resize(m_block);
  for (std::uint64_t u = 0; u < m_block; ++u) m_fine[u] = root(u);
  m_coarse.resize(n / m_block + 1);
  for (std::uint64_t u = 0; u < m_coarse.size(); ++u) m_coarse[u] = root(u * m_block);
}

std::complex<double> UnitRoots::operator()(std::uint64_t t) const {
  std::uint64_t u = 8 * (t % m_n);
  const std::uint64_t n = m_n;
  bool negateSin = false, negateCos = false, swap = false;
  if (u > 4 * n) u = 8 * n - u, negateSin = true;  // angle -> 2 pi - angle
  if (u > 2 * n) u = 4 * n - u, negateCos = true;  // angle -> pi - angle
  if (u > n) u = 2 * n - u, swap = true;           // angle -> pi/2 - angle
  const std::complex<long double> a = m_coarse[u / m_block], b = m_fine[u % m_block];
  long double c = a.real() * b.real() - a.imag() * b.imag();
  long double s = a.real() * b.imag() + a.imag() * b.real();
  if (swap) std::swap(c, s);
  if (negateCos) c = -c;
  if (negateSin) s = -s;
  return {static_cast<double>(c), static_cast<double>(s)};
}

bool IsSmooth(std::int64_t n) {
  if (n < 1) return false;
  for (std::int64_t p : {2, 3, 5})
    while (n % p == 0) n /= p;
  return n == 1;
}

// ---- the mixed-radix plan ----

namespace {

// Radix-4 passes first, one radix-2 pass if the power of two is odd, then
// the threes and the fives: the strides of the later passes are then whole
// multiples of the register width wherever the length allows.
std::vector<int> Radices(std::int64_t n) {
  std::vector<int> radices;
  int twos = 0;
  while (n % 2 == 0) n /= 2, ++twos;
  for (; twos >= 2; twos -= 2) radices.push_back(4);
  if (twos == 1) radices.push_back(2);
  while (n % 3 == 0) n /= 3, radices.push_back(3);
  while (n % 5 == 0) n /= 5, radices.push_back(5);
  return radices;
}

}  // namespace

MixedPlan::MixedPlan(std::int64_t length) : n(length) {
  const std::vector<int> radices = Radices(n);
  // The table's size first, so that the pointers into it stay valid.
  std::size_t doubles = 0;
  std::int64_t s = 1;
  for (int r : radices) {
    const std::int64_t m = n / (s * r);
    if (m > 1) doubles += static_cast<std::size_t>((r - 1) * 2 * m);
    s *= r;
  }
  twiddles.resize(doubles);
  const UnitRoots roots(static_cast<std::uint64_t>(n));
  double* at = twiddles.data();
  s = 1;
  for (int r : radices) {
    mixed::Pass pass;
    pass.radix = r;
    pass.stride = s;
    pass.blocks = n / (s * r);
    const std::int64_t m = pass.blocks;
    if (m > 1) {
      pass.tw = at;
      for (int j = 1; j < r; ++j, at += 2 * m) {
        for (std::int64_t p = 0; p < m; ++p) {
          const std::complex<double> w = roots(static_cast<std::uint64_t>(s * p * j));
          at[p] = w.real();
          at[m + p] = w.imag();
        }
      }
    }
    passes.push_back(pass);
    s *= r;
  }
}

void MixedPlan::Run(const mixed::Io& io) const {
  RunPasses(passes.data(), static_cast<int>(passes.size()), n, io);
}

// ---- Bluestein ----

std::int64_t ConvolutionLength(std::int64_t n) {
  const std::int64_t target = 2 * n - 1;
  std::int64_t best = 0;
  for (std::int64_t p5 = 1; best == 0 || p5 < best; p5 *= 5) {
    for (std::int64_t p35 = p5; best == 0 || p35 < best; p35 *= 3) {
      std::int64_t m = 4 * p35;
      while (m < target) m *= 2;
      if (best == 0 || m < best) best = m;
    }
  }
  return best;
}

BluesteinPlan::BluesteinPlan(std::int64_t length)
    : n(length), inner(ConvolutionLength(length)), chirp(static_cast<std::size_t>(length)) {
  const std::int64_t m = inner.n;
  // j^2 mod 2n in integers keeps the angle exact for every j.
  const UnitRoots roots(2 * static_cast<std::uint64_t>(n));
  const auto twoN = 2 * static_cast<std::uint64_t>(n);
  for (std::int64_t j = 0; j < n; ++j) {
    const auto uj = static_cast<std::uint64_t>(j);
    chirp[static_cast<std::size_t>(j)] = roots((uj * uj) % twoN);
  }
  // conj(w_t) for t = -(n-1) .. n-1, cyclically in m points, transformed.
  std::vector<double> b(static_cast<std::size_t>(2 * m), 0.0), scratch(b.size());
  double* re = b.data();
  double* im = re + m;
  for (std::int64_t t = 0; t < n; ++t) {
    const std::complex<double> w = std::conj(chirp[static_cast<std::size_t>(t)]);
    re[t] = w.real(), im[t] = w.imag();
    if (t > 0) re[m - t] = w.real(), im[m - t] = w.imag();
  }
  kernel.resize(static_cast<std::size_t>(2 * m));
  mixed::Io io;
  io.inRe = re, io.inIm = im;
  io.outRe = kernel.data(), io.outIm = kernel.data() + m;
  io.scratch = scratch.data();
  io.scale = 1.0 / static_cast<double>(m);
  inner.Run(io);
}

std::size_t Plan::Bytes() const {
  return (mixed ? mixed->Bytes() : 0) + (bluestein ? bluestein->Bytes() : 0) +
         realTwiddles.size() * sizeof(double) + sizeof(Plan);
}

// ---- the cache ----

std::shared_ptr<const Plan> PlanCache::Find(const Key& key) {
  const auto it = m_index.find(key);
  if (it == m_index.end()) return nullptr;
  m_order.splice(m_order.begin(), m_order, it->second);
  return it->second->second;
}

std::shared_ptr<const Plan> PlanCache::Get(std::int64_t n, bool real, const Make& make) {
  const Key key{n, real};
  {
    std::lock_guard lock(m_mutex);
    if (auto hit = Find(key)) return hit;
  }
  std::shared_ptr<const Plan> plan = make();
  const std::size_t bytes = plan->Bytes();
  std::lock_guard lock(m_mutex);
  if (auto hit = Find(key)) return hit;
  if (bytes > m_capacity) return plan;
  m_order.push_front({key, plan});
  m_index[key] = m_order.begin();
  m_bytes += bytes;
  while (m_bytes > m_capacity) {
    m_bytes -= m_order.back().second->Bytes();
    m_index.erase(m_order.back().first);
    m_order.pop_back();
  }
  return plan;
}

std::size_t PlanCache::Count() {
  std::lock_guard lock(m_mutex);
  return m_order.size();
}

std::size_t PlanCache::Bytes() {
  std::lock_guard lock(m_mutex);
  return m_bytes;
}

PlanCache& ProcessCache() {
  static PlanCache cache(kCacheBytes);
  return cache;
}

std::shared_ptr<const Plan> ComplexPlan(std::int64_t n) {
  return ProcessCache().Get(n, false, [n] {
    auto plan = std::make_shared<Plan>();
    if (IsSmooth(n)) {
      plan->kind = Plan::Kind::Mixed;
      plan->mixed = std::make_unique<MixedPlan>(n);
    } else {
      plan->kind = Plan::Kind::Bluestein;
      plan->bluestein = std::make_unique<BluesteinPlan>(n);
    }
    return std::shared_ptr<const Plan>(std::move(plan));
  });
}

std::shared_ptr<const Plan> RealPlan(std::int64_t n) {
  return ProcessCache().Get(n, true, [n] {
    auto plan = std::make_shared<Plan>();
    plan->kind = Plan::Kind::RealTwiddles;
    const UnitRoots roots(static_cast<std::uint64_t>(n));
    plan->realTwiddles.resize(static_cast<std::size_t>(2 * (n / 2 + 1)));
    for (std::int64_t k = 0; k <= n / 2; ++k) {
      const std::complex<double> w = roots(static_cast<std::uint64_t>(k));
      plan->realTwiddles[static_cast<std::size_t>(2 * k)] = w.real();
      plan->realTwiddles[static_cast<std::size_t>(2 * k + 1)] = w.imag();
    }
    return std::shared_ptr<const Plan>(std::move(plan));
  });
}

// ---- work arrays ----

namespace {

struct ThreadWork {
  std::vector<double> array;
  bool inUse = false;
};

ThreadWork& ThisThread() {
  thread_local ThreadWork work;
  return work;
}

}  // namespace

WorkArray::WorkArray(std::size_t doubles) {
  ThreadWork& mine = ThisThread();
  if (!mine.inUse && doubles * sizeof(double) <= kKeptWorkBytes) {
    if (mine.array.size() < doubles) {
      mine.array = std::vector<double>();  // the old block goes before the new one comes
      mine.array.resize(doubles);
    }
    mine.inUse = true;
    m_leased = true;
    m_data = mine.array.data();
  } else {
    m_own.resize(doubles);
    m_data = m_own.data();
  }
}

WorkArray::~WorkArray() {
  if (m_leased) ThisThread().inUse = false;
}

// ---- instruction sets ----

namespace {

struct Kernels {
  void (*run)(const mixed::Pass*, int, std::int64_t, const mixed::Io&);
  void (*bins)(const double*, const double*, std::int64_t, double*);
};

Kernels KernelsFor(InstructionSet set) {
  if (!Supported(set)) set = InstructionSet::Portable;
  switch (set) {
#if defined(ORVANE_X86_KERNELS)
    case InstructionSet::Avx512:
      return {mixed::RunAvx512, mixed::RealBinsAvx512};
    case InstructionSet::Avx2:
      return {mixed::RunAvx2, mixed::RealBinsAvx2};
#endif
    default:
      return {mixed::RunPortable, mixed::RealBinsPortable};
  }
}

const Kernels& BestKernels() {
  static const Kernels best = KernelsFor(Best());
  return best;
}

}  // namespace

void RunPasses(const mixed::Pass* passes, int count, std::int64_t n, const mixed::Io& io) {
  BestKernels().run(passes, count, n, io);
}
void RunPasses(InstructionSet set, const mixed::Pass* passes, int count, std::int64_t n,
               const mixed::Io& io) {
  KernelsFor(set).run(passes, count, n, io);
}
void RealBins(const double* z, const double* twiddle, std::int64_t n, double* out) {
  BestKernels().bins(z, twiddle, n, out);
}
void RealBins(InstructionSet set, const double* z, const double* twiddle, std::int64_t n,
              double* out) {
  KernelsFor(set).bins(z, twiddle, n, out);
}

}  // namespace dft
}  // namespace OrvaneNet::detail
