// Replays the fuzz corpus and every input that once failed a fuzz target
// (fuzz/corpus, fuzz/regressions) through the targets' own code, so each
// build configuration checks them, not only the clang fuzz build.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "../fuzz/FuzzInput.h"
#include "TestUtil.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFuzzDir = fs::path(__FILE__).parent_path().parent_path() / "fuzz";

std::vector<fs::path> Inputs(const std::string& target) {
  std::vector<fs::path> files;
  for (const char* dir : {"corpus", "regressions"}) {
    const fs::path folder = kFuzzDir / dir / target;
    if (!fs::is_directory(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
        files.push_back(entry.path());
      }
    }
  }
  return files;
}

template <class H>
void Replay(const std::string& target) {
  const std::vector<fs::path> files = Inputs(target);
  ASSERT_FALSE(files.empty()) << "no fuzz inputs under " << kFuzzDir;
  orvane_fuzz::ScratchFile scratch(("test-" + target).c_str());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    orvane_fuzz::LoadOne<H>(scratch, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                            bytes.size());
  }
}

}  // namespace

TEST(FuzzRegression, RealLoadInputs) { Replay<OrvaneNet::Matrix>("real"); }
TEST(FuzzRegression, ComplexLoadInputs) { Replay<OrvaneNet::ComplexMatrix>("complex"); }
