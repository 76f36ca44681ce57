// The stateful differential test in the suite: a fixed set of seeds for each
// of the twelve kinds (see Harness.h). scripts/stateful.sh runs fresh seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "stateful/Budget.h"
#include "stateful/Harness.h"

namespace {

class Stateful : public testing::TestWithParam<int> {};

TEST_P(Stateful, EveryStepMatchesTheDenseReference) {
  const int sequences = orvane_stateful::SuiteSequencesPerKind();
  for (int k = 0; k < sequences; ++k) {
    const std::uint64_t seed =
        12u * static_cast<std::uint64_t>(k) + static_cast<std::uint64_t>(GetParam());
    const auto finding = orvane_stateful::RunSeed(seed, orvane_stateful::kSteps);
    ASSERT_FALSE(finding) << finding->report;
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, Stateful, testing::Range(0, 12),
                         [](const testing::TestParamInfo<int>& info) {
                           return orvane_stateful::KindName(info.param);
                         });

}  // namespace
