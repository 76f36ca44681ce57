// Replays the fuzz corpus and every input that once failed a fuzz target
// (fuzz/corpus, fuzz/regressions) through the targets' own code, so each
// build configuration checks them, not only the clang fuzz build.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../fuzz/FuzzInput.h"
#include "TestUtil.h"

namespace {

namespace fs = std::filesystem;

template <class H>
void Replay(const std::string& target) {
  const fs::path fuzz = fs::path(__FILE__).parent_path().parent_path() / "fuzz";
  orvane_fuzz::ScratchFile scratch(("test-" + target).c_str());
  int replayed = 0;
  for (const char* dir : {"corpus", "regressions"}) {
    if (!fs::is_directory(fuzz / dir / target)) continue;
    for (const auto& entry : fs::directory_iterator(fuzz / dir / target)) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      SCOPED_TRACE(entry.path().string());
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      orvane_fuzz::LoadOne<H>(scratch, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0) << "no fuzz inputs under " << fuzz;
}

}  // namespace

TEST(FuzzRegression, RealLoadInputs) { Replay<OrvaneNet::Matrix>("real"); }
TEST(FuzzRegression, ComplexLoadInputs) { Replay<OrvaneNet::ComplexMatrix>("complex"); }
