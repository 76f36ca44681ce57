# Defines the interface target OrvaneNet_lapack for the chosen backend.
#
# OpenBLAS: libopenblas itself, so the backend does not depend on which
# alternative the system has selected for liblapack.so.3.
# Reference: Debian's reference liblapack.so.3 and libblas.so.3 from their
# lapack/ and blas/ folders. Their soname is the generic one that the
# alternatives system may point at OpenBLAS, so every binary also carries a
# run path to those folders, which makes the loader pick the reference ones.

add_library(OrvaneNet_lapack INTERFACE)

if(ORVANE_LAPACK STREQUAL "OpenBLAS")
  find_library(ORVANE_OPENBLAS_LIBRARY NAMES openblas
               PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/openblas-pthread REQUIRED)
  target_link_libraries(OrvaneNet_lapack INTERFACE ${ORVANE_OPENBLAS_LIBRARY})
  set(ORVANE_LAPACK_PC_LIBS "-lopenblas")
elseif(ORVANE_LAPACK STREQUAL "Reference")
  set(_arch_dir /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})
  find_library(ORVANE_REF_LAPACK_LIBRARY NAMES liblapack.so.3 lapack
               PATHS ${_arch_dir}/lapack NO_DEFAULT_PATH REQUIRED)
  find_library(ORVANE_REF_BLAS_LIBRARY NAMES libblas.so.3 blas
               PATHS ${_arch_dir}/blas NO_DEFAULT_PATH REQUIRED)
  # BLAS must be a direct dependency even where no BLAS symbol is called
  # directly: otherwise the reference LAPACK's own libblas.so.3 dependency is
  # resolved without our run path, through the system alternative.
  target_link_libraries(OrvaneNet_lapack INTERFACE "-Wl,--push-state,--no-as-needed"
                        ${ORVANE_REF_LAPACK_LIBRARY} ${ORVANE_REF_BLAS_LIBRARY} "-Wl,--pop-state")
  list(APPEND CMAKE_BUILD_RPATH ${_arch_dir}/lapack ${_arch_dir}/blas)
  list(APPEND CMAKE_INSTALL_RPATH ${_arch_dir}/lapack ${_arch_dir}/blas)
  set(ORVANE_LAPACK_PC_LIBS "-llapack -lblas")
else()
  message(FATAL_ERROR "ORVANE_LAPACK must be OpenBLAS or Reference, not '${ORVANE_LAPACK}'")
endif()
message(STATUS "OrvaneNet LAPACK backend: ${ORVANE_LAPACK}")
