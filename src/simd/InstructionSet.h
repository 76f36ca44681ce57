// The instruction sets the hand-vectorised kernels (the product, the FFT) are
// built for. Each kernel has one file per set, compiled for that set by
// orvane_compile_for (cmake/Simd.cmake), and is called only where Supported.
#pragma once

namespace OrvaneNet::detail {

// Slowest first. Portable is SSE2 on x86-64 (every such processor has it) and
// plain code elsewhere; the others exist only in x86-64 builds.
enum class InstructionSet { Portable, Avx2, Avx512 };
inline constexpr InstructionSet kInstructionSets[] = {InstructionSet::Portable,
                                                      InstructionSet::Avx2, InstructionSet::Avx512};

// Whether this build has the set and this processor (and its operating
// system) runs it.
bool Supported(InstructionSet set);
// The widest supported set.
InstructionSet Best();
// "portable", "avx2", "avx512".
const char* Name(InstructionSet set);

}  // namespace OrvaneNet::detail
