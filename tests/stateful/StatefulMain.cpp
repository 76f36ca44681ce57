// orvane_stateful: fresh seeds of the stateful differential test, for as long
// as asked (scripts/stateful.sh).
//
//   orvane_stateful --seconds N     fresh random seeds for N seconds
//   orvane_stateful --seed S        one seed, every step printed
//
// Prints every finding (seed and shortest failing sequence) and a summary
// each minute; exits 1 when anything was found.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "stateful/Budget.h"
#include "stateful/Harness.h"

int main(int argc, char** argv) {
  using Clock = std::chrono::steady_clock;
  long long seconds = 60;
  for (int k = 1; k + 1 < argc; k += 2) {
    if (std::strcmp(argv[k], "--seed") == 0) {
      const std::uint64_t seed = std::strtoull(argv[k + 1], nullptr, 10);
      std::fputs(orvane_stateful::DescribeSeed(seed, orvane_stateful::kSteps).c_str(), stdout);
      const auto finding = orvane_stateful::RunSeed(seed, orvane_stateful::kSteps);
      if (finding) std::fputs(finding->report.c_str(), stdout);
      return finding ? 1 : 0;
    }
    if (std::strcmp(argv[k], "--seconds") == 0) seconds = std::atoll(argv[k + 1]);
  }
  std::random_device device;
  std::mt19937_64 seeds((static_cast<std::uint64_t>(device()) << 32) ^ device() ^
                        static_cast<std::uint64_t>(Clock::now().time_since_epoch().count()));
  const auto start = Clock::now(), end = start + std::chrono::seconds(seconds);
  auto lastReport = start;
  long long sequences = 0, operations = 0, findings = 0;
  auto summary = [&] {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    std::printf("%lld s: %lld sequences, %lld operations, %lld findings\n",
                static_cast<long long>(elapsed), sequences, operations, findings);
    std::fflush(stdout);
  };
  while (Clock::now() < end) {
    // Below 2^53, so that the seed prints and parses back exactly anywhere.
    const std::uint64_t seed = seeds() >> 11;
    if (const auto finding = orvane_stateful::RunSeed(seed, orvane_stateful::kSteps, &operations)) {
      ++findings;
      std::fputs(finding->report.c_str(), stdout);
    }
    ++sequences;
    if (Clock::now() - lastReport >= std::chrono::minutes(1)) {
      lastReport = Clock::now();
      summary();
    }
  }
  summary();
  return findings == 0 ? 0 : 1;
}
