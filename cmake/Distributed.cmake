# OrvaneNet::Distributed: dense solves, eigenproblems and the SVD of matrices
# distributed block-cyclically over MPI processes, computed by ScaLAPACK.
# A library of its own so that the core never links MPI; its public header
# (OrvaneNet/Distributed.h) includes <mpi.h> and is not part of OrvaneNet.h.

find_package(MPI REQUIRED COMPONENTS CXX)
# Debian ships no usable CMake package for ScaLAPACK (its imported location
# points outside the multiarch folder), so the library is found by name; the
# Open MPI build first, as MPI::MPI_CXX is Open MPI's on Debian.
find_library(ORVANE_SCALAPACK_LIBRARY NAMES scalapack-openmpi scalapack REQUIRED)
message(STATUS "OrvaneNet distributed: ScaLAPACK ${ORVANE_SCALAPACK_LIBRARY}")

file(GLOB ORVANE_DISTRIBUTED_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/distributed/*.cpp)
add_library(OrvaneNet_Distributed ${ORVANE_DISTRIBUTED_SOURCES})
add_library(OrvaneNet::Distributed ALIAS OrvaneNet_Distributed)
target_include_directories(OrvaneNet_Distributed
  PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include> $<INSTALL_INTERFACE:include>
  PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_features(OrvaneNet_Distributed PUBLIC cxx_std_20)
target_compile_options(OrvaneNet_Distributed PRIVATE ${ORVANE_WARNINGS})
target_link_libraries(OrvaneNet_Distributed PUBLIC OrvaneNet MPI::MPI_CXX
                      PRIVATE ${ORVANE_SCALAPACK_LIBRARY} OrvaneNet_lapack)
set_target_properties(OrvaneNet_Distributed PROPERTIES
  OUTPUT_NAME orvanenet-distributed
  EXPORT_NAME Distributed
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  POSITION_INDEPENDENT_CODE ON)
