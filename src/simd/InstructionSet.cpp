#include "simd/InstructionSet.h"

namespace OrvaneNet::detail {

bool Supported(InstructionSet set) {
#if defined(ORVANE_X86_KERNELS)
  __builtin_cpu_init();
  switch (set) {
    case InstructionSet::Avx512:
      return __builtin_cpu_supports("avx512f");
    case InstructionSet::Avx2:
      return __builtin_cpu_supports("avx2");
    case InstructionSet::Portable:
      return true;
  }
  return false;
#else
  return set == InstructionSet::Portable;
#endif
}

InstructionSet Best() {
  static const InstructionSet best = Supported(InstructionSet::Avx512) ? InstructionSet::Avx512
                                     : Supported(InstructionSet::Avx2) ? InstructionSet::Avx2
                                                                       : InstructionSet::Portable;
  return best;
}

const char* Name(InstructionSet set) {
  switch (set) {
    case InstructionSet::Portable:
      return "portable";
    case InstructionSet::Avx2:
      return "avx2";
    case InstructionSet::Avx512:
      return "avx512";
  }
  return "?";
}

}  // namespace OrvaneNet::detail
