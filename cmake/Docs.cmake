# `docs`: HTML API documentation of the public headers with Doxygen, only
# when Doxygen is installed (Debian: doxygen). Not part of the tests.
find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  set(ORVANE_DOCS_DIR ${PROJECT_BINARY_DIR}/docs)
  configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
  add_custom_target(docs
    COMMAND ${DOXYGEN_EXECUTABLE} ${PROJECT_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "API documentation in ${ORVANE_DOCS_DIR}/html"
    VERBATIM)
endif()
