# The product and the FFT give the same bits whatever OPENBLAS_NUM_THREADS or
# ORVANE_NUM_THREADS says: a helper prints hashes of their results and
# CompareThreads.cmake runs it with two thread counts.
add_executable(orvane_thread_hashes ${CMAKE_CURRENT_LIST_DIR}/ThreadHashes.cpp)
target_include_directories(orvane_thread_hashes PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(orvane_thread_hashes PRIVATE OrvaneNet::OrvaneNet OrvaneNet_lapack)
target_compile_options(orvane_thread_hashes PRIVATE ${ORVANE_WARNINGS})

add_test(NAME ResultsIndependentOfBlasThreads
         COMMAND ${CMAKE_COMMAND} -DHELPER=$<TARGET_FILE:orvane_thread_hashes>
                 -P ${CMAKE_CURRENT_LIST_DIR}/CompareThreads.cmake)
set_tests_properties(ResultsIndependentOfBlasThreads PROPERTIES
                     ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# One product thread against three (the LAPACK-backed results on one OpenBLAS
# thread, so they must agree too, but they are only reported).
add_test(NAME ResultsIndependentOfProductThreads
         COMMAND ${CMAKE_COMMAND} -DHELPER=$<TARGET_FILE:orvane_thread_hashes>
                 -DVARIABLE=ORVANE_NUM_THREADS -DVALUE1=1 -DVALUE2=3
                 -P ${CMAKE_CURRENT_LIST_DIR}/CompareThreads.cmake)
set_tests_properties(ResultsIndependentOfProductThreads PROPERTIES
                     ENVIRONMENT "OPENBLAS_NUM_THREADS=1;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
