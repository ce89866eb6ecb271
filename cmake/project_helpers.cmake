# hashmere_add_test(NAME [GUI] SOURCES... LIBS ...): one GoogleTest executable, registered with CTest.
# GUI tests link gui_test_main (the toolkit started offscreen) instead of gtest_main and run
# headless with QT_QPA_PLATFORM=offscreen.
function(hashmere_add_test name)
  if(NOT HASHMERE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options gui_test_main GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options GTest::gtest_main GTest::gtest)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Tests find their fixtures beside their sources.
  target_compile_definitions(${name} PRIVATE HASHMERE_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/testdata"
    HASHMERE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # A test that hangs (an unanswered window, a lost event) fails after five
  # minutes instead of holding up the whole run.
  if(ARG_GUI)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# hashmere_embed_files(TARGET NAME FUNCTION QUALIFIED_NAME BASE DIR FILES...): a static library
# that carries FILES in the executable. QUALIFIED_NAME (for example artwork::hashmereFile) is
# generated with the signature of toolkit/embedded.h: the file by its path relative to BASE, or
# nullptr. The files are read at build time; nothing renders or converts them.
function(hashmere_embed_files)
  cmake_parse_arguments(ARG "" "TARGET;FUNCTION;BASE" "FILES" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_embedded.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DFUNCTION=${ARG_FUNCTION} -DBASE=${ARG_BASE}
            "-DFILES=${ARG_FILES}" -P ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${ARG_FILES} ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    COMMENT "Embedding ${ARG_TARGET}"
    VERBATIM)
  add_library(${ARG_TARGET} STATIC ${out})
  target_link_libraries(${ARG_TARGET} PUBLIC project_options)
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
