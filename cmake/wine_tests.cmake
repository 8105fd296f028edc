# GoogleTest from Debian's sources, cross-built; each test program is one CTest test because a
# Wine process start costs about a second.
option(TRVX_TESTS "Build the test programs" ON)
enable_testing()
if(NOT TRVX_TESTS)
  function(trvx_wine_test name)
  endfunction()
  return()
endif()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

# trvx_wine_test(name SOURCES... [LIBS ...]): a GoogleTest program run in the output folder.
function(trvx_wine_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE gtest gtest_main ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${TRVX_OUT})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
