# Instruction sets of the product kernels. Each kernel file is compiled for
# its own instruction set and only called after a runtime check, so the
# library itself still runs on any x86-64. AVX2 goes without -mfma, so no
# fused multiply-add can appear there at all; AVX-512F brings its own FMA
# instructions, which -ffp-contract=off and explicit vector code keep out.
# The test below holds both to it: it disassembles the library and fails on
# any fused multiply-add (the rest of the library is built for baseline
# x86-64, which has none).
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/simd/ProductAvx2.cpp
    PROPERTIES COMPILE_OPTIONS "-mavx2;-mno-fma")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/simd/ProductAvx512.cpp
    PROPERTIES COMPILE_OPTIONS "-mavx512f")
  find_program(ORVANE_OBJDUMP NAMES objdump)
  if(ORVANE_BUILD_TESTS AND ORVANE_OBJDUMP)
    add_test(NAME ProductHasNoFusedMultiplyAdd
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${ORVANE_OBJDUMP} -DBINARY=$<TARGET_FILE:OrvaneNet>
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoFusedMultiplyAdd.cmake)
  endif()
endif()
