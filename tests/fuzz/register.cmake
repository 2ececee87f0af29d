# Included by the native build: one test per fuzz target, running the target built in the
# fuzz configuration for a bounded time on a scratch copy of its seed corpus, so that a run
# never writes into the repository. Inputs kept in the corpus (regression cases among
# them) are all run first, on every test run.
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
set(FUZZ_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/fuzz" CACHE PATH "the fuzz configuration's folder")
set(FUZZ_SECONDS 10 CACHE STRING "seconds each fuzz target runs in a test run")

foreach(name ${FUZZ_TARGETS})
  add_test(NAME fuzz_${name}
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-fuzzer.sh
                   ${FUZZ_BUILD_DIR}/tests/fuzz/${name}_fuzzer
                   ${CMAKE_CURRENT_LIST_DIR}/corpus/${name}
                   ${CMAKE_BINARY_DIR}/fuzz-scratch/${name}
                   ${FUZZ_SECONDS})
  math(EXPR limit "${FUZZ_SECONDS} + 120")
  set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT ${limit})
endforeach()
