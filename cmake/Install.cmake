include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The public headers are C++20: consumers, installed or add_subdirectory ones,
# compile them in that mode too.
target_compile_features(OrvaneNet PUBLIC cxx_std_20)

install(TARGETS OrvaneNet EXPORT OrvaneNetTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Only the public headers; src/ stays internal. Distributed.h only with the
# library it declares.
set(_orvane_header_excludes)
if(NOT TARGET OrvaneNet_Distributed)
  set(_orvane_header_excludes PATTERN Distributed.h EXCLUDE)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/OrvaneNet
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${_orvane_header_excludes})

set(ORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvaneNet)
install(EXPORT OrvaneNetTargets NAMESPACE OrvaneNet:: DESTINATION ${ORVANE_CMAKE_DIR})
# A static OrvaneNet needs its backend at the consumer's link step.
if(NOT BUILD_SHARED_LIBS)
  install(TARGETS OrvaneNet_lapack EXPORT OrvaneNetTargets)
endif()
# The Distributed component has an export set of its own, loaded only when a
# consumer asks for it, so that find_package(OrvaneNet) never needs MPI.
if(TARGET OrvaneNet_Distributed)
  install(TARGETS OrvaneNet_Distributed EXPORT OrvaneNetDistributedTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(EXPORT OrvaneNetDistributedTargets NAMESPACE OrvaneNet:: DESTINATION ${ORVANE_CMAKE_DIR})
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/OrvaneNetConfig.cmake.in
  ${PROJECT_BINARY_DIR}/OrvaneNetConfig.cmake INSTALL_DESTINATION ${ORVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvaneNetConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvaneNetConfig.cmake
              ${PROJECT_BINARY_DIR}/OrvaneNetConfigVersion.cmake
        DESTINATION ${ORVANE_CMAKE_DIR})

# The .pc file finds its prefix from its own folder, so `cmake --install
# --prefix DIR` into any folder gives a working file.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(ORVANE_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH _pc_up "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
  string(REGEX REPLACE "/$" "" _pc_up "${_pc_up}")
  set(ORVANE_PC_PREFIX "\${pcfiledir}/${_pc_up}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/orvanenet.pc.in ${PROJECT_BINARY_DIR}/orvanenet.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvanenet.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The API documentation target sits with the other deliverables.
if(ORVANE_TOP_LEVEL)
  include(${CMAKE_CURRENT_LIST_DIR}/Docs.cmake)
endif()
