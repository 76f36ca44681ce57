# Fails if a file of the LAPACK layer (SOURCE/src/lapack) includes one of the
# library's own headers outside that folder: the layer stands on LAPACK alone.
file(GLOB files ${SOURCE}/src/lapack/*)
foreach(f IN LISTS files)
  file(STRINGS ${f} includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    if(NOT line MATCHES "^#include \"lapack/")
      message(FATAL_ERROR "${f}: ${line}")
    endif()
  endforeach()
endforeach()
