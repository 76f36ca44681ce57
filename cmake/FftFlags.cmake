# The FFT's vector paths: each instruction set in its own file, compiled for
# that set and chosen at run time (src/procedures/FFT.cpp), so the library
# itself runs on any x86-64 CPU. FMA stays off (the library's -ffp-contract=off
# covers the rest): results must not depend on the path.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/simd/FftAvx2.cpp
                              PROPERTIES COMPILE_OPTIONS "-mavx2;-mno-fma")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/simd/FftAvx512.cpp
                              PROPERTIES COMPILE_OPTIONS "-mavx512f;-mno-fma")
  target_compile_definitions(OrvaneNet PRIVATE ORVANE_FFT_X86_PATHS)
endif()
