// The parameter of the tests that run a hand-vectorised kernel on each
// instruction set: every set is a test of its own, skipped by name where
// this machine cannot run it, so no path passes without having run.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "simd/InstructionSet.h"

namespace OrvaneNet::detail {
// The name in gtest's output instead of the enum's bytes.
inline void PrintTo(InstructionSet set, std::ostream* os) { *os << Name(set); }
}  // namespace OrvaneNet::detail

namespace orvane_test {

// One instruction set, or nullopt for the library's own choice.
using SimdPath = std::optional<OrvaneNet::detail::InstructionSet>;

// Every set, after the library's own choice if `withDispatch`.
inline std::vector<SimdPath> SimdPaths(bool withDispatch) {
  std::vector<SimdPath> paths;
  if (withDispatch) paths.emplace_back();
  for (auto set : OrvaneNet::detail::kInstructionSets) paths.emplace_back(set);
  return paths;
}

inline std::string SimdPathName(const ::testing::TestParamInfo<SimdPath>& info) {
  return info.param ? OrvaneNet::detail::Name(*info.param) : "dispatch";
}

class SimdPathTest : public ::testing::TestWithParam<SimdPath> {
 protected:
  void SetUp() override {
    if (GetParam() && !OrvaneNet::detail::Supported(*GetParam()))
      GTEST_SKIP() << OrvaneNet::detail::Name(*GetParam())
                   << " path: not in this build or not run by this processor";
  }
};

}  // namespace orvane_test
