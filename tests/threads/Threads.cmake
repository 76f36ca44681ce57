# The product and the FFT give the same bits whatever OPENBLAS_NUM_THREADS
# says: a helper prints hashes of their results and CompareThreads.cmake runs
# it with one and with two threads.
add_executable(orvane_thread_hashes ${CMAKE_CURRENT_LIST_DIR}/ThreadHashes.cpp)
target_link_libraries(orvane_thread_hashes PRIVATE OrvaneNet::OrvaneNet OrvaneNet_lapack)
target_compile_options(orvane_thread_hashes PRIVATE ${ORVANE_WARNINGS})

add_test(NAME ResultsIndependentOfBlasThreads
         COMMAND ${CMAKE_COMMAND} -DHELPER=$<TARGET_FILE:orvane_thread_hashes>
                 -P ${CMAKE_CURRENT_LIST_DIR}/CompareThreads.cmake)
set_tests_properties(ResultsIndependentOfBlasThreads PROPERTIES
                     ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
