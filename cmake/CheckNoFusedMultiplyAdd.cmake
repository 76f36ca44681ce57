# Fails when BINARY contains a fused multiply-add instruction (run by ctest).
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${BINARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${BINARY}")
endif()
string(REGEX MATCHALL "[^\n]*\tvfn?m(add|sub)[^\n]*" fused "${listing}")
if(fused)
  list(LENGTH fused count)
  list(GET fused 0 first)
  message(FATAL_ERROR "${count} fused multiply-add instructions in ${BINARY}, e.g.\n${first}")
endif()
message(STATUS "No fused multiply-add in ${BINARY}")
