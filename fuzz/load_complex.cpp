// libFuzzer target: ComplexMatrix::Load on arbitrary bytes and formatter
// settings (see FuzzInput.h for the encoding).
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvane_fuzz::ScratchFile file("complex");
  orvane_fuzz::LoadOne<OrvaneNet::ComplexMatrix>(file, data, size);
  return 0;
}
