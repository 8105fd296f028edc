# The viewer's portable arithmetic, built natively with sanitizers; and the benchmark's.
set(viewer_dir ${TRVX_SOURCE_ROOT}/apps/viewer)
host_test(viewer_native_tests
  ${viewer_dir}/view_math.cpp ${viewer_dir}/flight.cpp ${viewer_dir}/sun.cpp ${viewer_dir}/camera_math.cpp
  ${viewer_dir}/panel_layout.cpp ${viewer_dir}/press_ledger.cpp
  ${viewer_dir}/tests/native/shell_native_tests.cpp ${viewer_dir}/tests/native/flight_native_tests.cpp
  ${viewer_dir}/tests/native/camera_native_tests.cpp)
target_include_directories(viewer_native_tests PRIVATE ${viewer_dir})
include(${viewer_dir}/bench/host.cmake)
