# InstalledConsumer: installs the built library into a temporary prefix and
# builds, links and runs a tiny consumer against it twice, once through
# find_package(OrvaneNet CONFIG) and once through pkg-config. A sanitized
# library needs a sanitized program, so the consumer gets the same flags.
set(_orvane_consumer_flags "")
if(ORVANE_SANITIZE)
  set(_orvane_consumer_flags "-fsanitize=address,undefined")
endif()
add_test(NAME InstalledConsumer
         COMMAND ${CMAKE_COMMAND}
                 -DBUILD_DIR=${PROJECT_BINARY_DIR}
                 -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}
                 -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/consumer
                 -DCXX=${CMAKE_CXX_COMPILER}
                 -DGENERATOR=${CMAKE_GENERATOR}
                 -DFLAGS=${_orvane_consumer_flags}
                 -DCONFIG=$<CONFIG>
                 -DDISTRIBUTED=${ORVANE_WITH_MPI}
                 -P ${CMAKE_CURRENT_LIST_DIR}/RunConsumer.cmake)
set_tests_properties(InstalledConsumer PROPERTIES ENVIRONMENT "${ORVANE_TEST_ENV}" TIMEOUT 240)
