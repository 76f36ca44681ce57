include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS OrvaneNet EXPORT OrvaneNetTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Only the public headers; src/ stays internal.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/OrvaneNet
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(ORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvaneNet)
install(EXPORT OrvaneNetTargets NAMESPACE OrvaneNet:: DESTINATION ${ORVANE_CMAKE_DIR})
# A static OrvaneNet needs its backend at the consumer's link step.
if(NOT BUILD_SHARED_LIBS)
  install(TARGETS OrvaneNet_lapack EXPORT OrvaneNetTargets)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/OrvaneNetConfig.cmake.in
  ${PROJECT_BINARY_DIR}/OrvaneNetConfig.cmake INSTALL_DESTINATION ${ORVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvaneNetConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvaneNetConfig.cmake
              ${PROJECT_BINARY_DIR}/OrvaneNetConfigVersion.cmake
        DESTINATION ${ORVANE_CMAKE_DIR})

configure_file(${PROJECT_SOURCE_DIR}/cmake/orvanenet.pc.in ${PROJECT_BINARY_DIR}/orvanenet.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvanenet.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
