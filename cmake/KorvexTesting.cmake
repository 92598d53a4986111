# GoogleTest from Debian's sources, built once per tree; test binaries are
# registered one ctest entry per binary so that a Wine run starts one process
# per binary, not one per test case.
if(KORVEX_TESTS AND NOT KORVEX_FUZZ)
  enable_testing()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(NOT TARGET gtest)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
endif()

# korvex_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds a GoogleTest binary and registers it with ctest. Under the Windows
# tree ctest runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
function(korvex_add_test name)
  if(NOT KORVEX_TESTS OR KORVEX_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
