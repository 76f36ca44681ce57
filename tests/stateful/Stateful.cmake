# The stateful differential test: its model in an object library shared by
# the suite's test binary (fixed seeds) and orvane_stateful (fresh seeds, run
# by scripts/stateful.sh). Eigen is its reference and a test-only dependency.
find_package(Eigen3 3.3 REQUIRED NO_MODULE)

add_library(orvane_stateful_harness OBJECT ${CMAKE_CURRENT_LIST_DIR}/Harness.cpp)
target_include_directories(orvane_stateful_harness PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvane_stateful_harness PRIVATE OrvaneNet::OrvaneNet Eigen3::Eigen)
target_compile_options(orvane_stateful_harness PRIVATE ${ORVANE_WARNINGS})

# The harness objects only, not its link items: linking the object library
# would append the library again after the LAPACK backend, whose xerbla_
# would then win over the library's.
target_sources(orvane_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StatefulTest.cpp
                                    $<TARGET_OBJECTS:orvane_stateful_harness>)

add_executable(orvane_stateful ${CMAKE_CURRENT_LIST_DIR}/StatefulMain.cpp
                               $<TARGET_OBJECTS:orvane_stateful_harness>)
target_include_directories(orvane_stateful PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvane_stateful PRIVATE OrvaneNet::OrvaneNet)
target_compile_options(orvane_stateful PRIVATE ${ORVANE_WARNINGS})
