// Stateful differential testing of the matrix kinds: a seed generates a random
// sequence of public operations on one matrix kind (and its clones), every
// step runs against the library and against a dense model whose numbers come
// from Eigen, and the two must agree after every step. A mismatch is shrunk
// to the shortest sequence that still shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvane_stateful {

// The MatrixType value (0..11) a seed exercises.
int KindOfSeed(std::uint64_t seed);

// The name of the MatrixType value, e.g. "DoubleGeneralBand".
const char* KindName(int kind);

// A mismatch: the seed and a readable report with the shortest failing
// sequence found.
struct Finding {
  std::uint64_t seed;
  std::string report;
};

// Runs the sequence of `steps` operations that `seed` generates. Returns the
// shrunk finding on a mismatch, nothing otherwise. `operations`, when given,
// is increased by the number of operations run (shrinking not counted).
std::optional<Finding> RunSeed(std::uint64_t seed, int steps, long long* operations = nullptr);

// The steps of the sequence of `seed`, one readable line each, as run.
std::string DescribeSeed(std::uint64_t seed, int steps);

}  // namespace orvane_stateful
