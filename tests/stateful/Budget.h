// How much of the stateful test the suite runs. About 30 s of the twelve
// kinds together in an optimized build; the sanitizer build runs a quarter
// of that, a run under valgrind a fiftieth, so that every configuration of
// scripts/test.sh stays within its time. ORVANE_STATEFUL_SEQUENCES (per kind)
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
  int sequences = 120;
#if defined(__SANITIZE_ADDRESS__)
  sequences /= 4;
#endif
#if defined(RUNNING_ON_VALGRIND)
  if (RUNNING_ON_VALGRIND) sequences /= 50;
#endif
  return sequences;
}

}  // namespace orvane_stateful
