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

# trvx_wine_test(name SOURCES ... [LIBS ...] [BESIDE target ...]): a GoogleTest program that runs in
# a folder of its own, bin/tests/<name>/, with copies of the BESIDE targets (DLLs, plug-ins) next to
# it. The engine loads the plug-ins it finds beside itself, so each test folder chooses its driver.
# The copies follow their DLLs: a rebuilt plug-in is copied again even when the test is not relinked.
function(trvx_wine_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;BESIDE" ${ARGN})
  set(dir ${TRVX_OUT}/tests/${name})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE gtest gtest_main ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
  set(copies)
  foreach(dll ${T_BESIDE})
    set(copy ${dir}/${dll}${CMAKE_SHARED_LIBRARY_SUFFIX})
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${dll}> ${copy}
      DEPENDS ${dll} $<TARGET_FILE:${dll}>)
    list(APPEND copies ${copy})
  endforeach()
  if(copies)
    add_custom_target(${name}_beside ALL DEPENDS ${copies})
    add_dependencies(${name} ${name}_beside)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${dir})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# Test fixtures that are plug-ins (a recording driver, a test format) must never lie beside the
# shipping engine in bin/, where the engine would load them: they are built into fixtures/.
function(trvx_test_fixture target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fixtures)
endfunction()
