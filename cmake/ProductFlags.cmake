# Instruction sets of the product kernels. Each kernel file is compiled for
# its own instruction set and only called after a runtime check, so the
# library itself still runs on any x86-64. AVX2 goes without -mfma so that
# no fused multiply-add can appear; AVX-512F implies FMA in GCC, there
# -ffp-contract=off and explicit vector code keep multiply and add apart.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/handles/ProductAvx2.cpp
    PROPERTIES COMPILE_OPTIONS "-mavx2;-mno-fma")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/handles/ProductAvx512.cpp
    PROPERTIES COMPILE_OPTIONS "-mavx512f;-mno-fma")
endif()
