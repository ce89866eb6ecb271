# hashmere_add_test(NAME SOURCES... LIBS ...): one GoogleTest executable, registered with CTest.
function(hashmere_add_test name)
  if(NOT HASHMERE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options GTest::gtest_main GTest::gtest)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Tests find their fixtures beside their sources.
  target_compile_definitions(${name} PRIVATE HASHMERE_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# hashmere_add_fuzzer(NAME CORPUS DIR SOURCES... LIBS ...): a libFuzzer target when
# fuzzing is on; CORPUS is the committed seed folder that project.sh starts it from.
function(hashmere_add_fuzzer name)
  if(NOT HASHMERE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz_corpus/${name} "${ARG_CORPUS}")
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
