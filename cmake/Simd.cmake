# The hand-vectorised kernels (src/simd/): one file per kernel and instruction
# set, compiled for that set and called only after the runtime check in
# InstructionSet.cpp, so the library itself runs on any x86-64. No fused
# multiply-add on any path (with the library's -ffp-contract=off): results
# must not depend on the path. LibraryHasNoFusedMultiplyAdd holds the whole
# library to that; the rest of it is built for baseline x86-64, which has none.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(ORVANE_X86_KERNELS ON)
  # Tells InstructionSet.cpp that the Avx2 and Avx512 files were built for their sets.
  target_compile_definitions(OrvaneNet PRIVATE ORVANE_X86_KERNELS)
endif()

# Compiles src/simd/<file> for <set> (Portable, Avx2 or Avx512, as in InstructionSet.h).
function(orvane_compile_for file set)
  if(set STREQUAL "Avx2")
    set(flags -mavx2)
  elseif(set STREQUAL "Avx512")
    set(flags -mavx512f)
  elseif(NOT set STREQUAL "Portable")
    message(FATAL_ERROR "orvane_compile_for: unknown instruction set ${set}")
  endif()
  # Last, so that it also overrides an -march in the user's flags. Not for
  # AVX-512: clang counts FMA as part of AVX-512F and would drop the set
  # with it; there -ffp-contract=off alone keeps the kernel free of fused
  # operations, and LibraryHasNoFusedMultiplyAdd checks it.
  if(NOT set STREQUAL "Avx512")
    list(APPEND flags -mno-fma)
  endif()
  if(ORVANE_X86_KERNELS)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/src/simd/${file}
                                PROPERTIES COMPILE_OPTIONS "${flags}")
  endif()
endfunction()

foreach(kernel Product Fft FftMixedRadix)
  foreach(set Portable Avx2 Avx512)
    orvane_compile_for(${kernel}${set}.cpp ${set})
  endforeach()
endforeach()

find_program(ORVANE_OBJDUMP NAMES objdump)
if(ORVANE_X86_KERNELS AND ORVANE_BUILD_TESTS AND ORVANE_OBJDUMP)
  add_test(NAME LibraryHasNoFusedMultiplyAdd
           COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${ORVANE_OBJDUMP} -DBINARY=$<TARGET_FILE:OrvaneNet>
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoFusedMultiplyAdd.cmake)
endif()
