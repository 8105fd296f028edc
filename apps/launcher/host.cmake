# The launcher's portable parts, built natively with sanitizers.
set(launcher_dir ${TRVX_SOURCE_ROOT}/apps/launcher)
host_test(launcher_native_tests
  ${launcher_dir}/logo_timeline.cpp ${launcher_dir}/directx_requirement.cpp
  ${launcher_dir}/tests/native/launcher_native_tests.cpp)
target_include_directories(launcher_native_tests PRIVATE ${launcher_dir})

# Reads the launcher test's screenshots (tests/launcher_test.sh).
find_package(PNG REQUIRED)
add_executable(launcher-shot-stats ${launcher_dir}/tests/native/shot_stats.cpp)
target_link_libraries(launcher-shot-stats PRIVATE PNG::PNG)
set_target_properties(launcher-shot-stats PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
