# Native side of the model viewer: its orbit camera.
set(VIEW_DIR ${TRVX_SOURCE_ROOT}/samples/view)
host_test(view_orbit_tests ${VIEW_DIR}/view_orbit.cpp ${VIEW_DIR}/tests/view_orbit_tests.cpp)
target_include_directories(view_orbit_tests PRIVATE ${VIEW_DIR})
