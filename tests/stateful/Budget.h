// How much of the stateful test the suite runs: the same fixed seeds in every
// configuration of scripts/test.sh, each configuration within about 30 s of
// CPU for the twelve kinds together. 1200 sequences per kind take about 20 s
// in an optimized build; the sanitizer build runs a quarter of them, a run
// under valgrind (scripts/memcheck.sh, whose whole run has a time budget) a
// hundredth, about 12 s there. ORVANE_STATEFUL_SEQUENCES (per kind)
// overrides it.
#pragma once

#include <cstdlib>

#if defined(__has_include)
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif
#endif

namespace orvane_stateful {

// Operations per sequence.
inline constexpr int kSteps = 40;

inline int SuiteSequencesPerKind() {
  if (const char* s = std::getenv("ORVANE_STATEFUL_SEQUENCES")) return std::atoi(s);
  int sequences = 1200;
#if defined(__SANITIZE_ADDRESS__)
  sequences /= 4;
#endif
#if defined(RUNNING_ON_VALGRIND)
  if (RUNNING_ON_VALGRIND) sequences /= 100;
#endif
  return sequences;
}

}  // namespace orvane_stateful
