# The service's tests, labelled native so that they run once whichever Windows build is tested.
# Included by services/results/host.cmake.
set(RESULTS_TESTS ${RESULTS_DIR}/tests)

# Unit tests of the portable reading, checking and ranking, against the viewer's own address and
# result-file code (bench_address.cpp, bench_result.cpp), with sanitizers.
host_test(results_unit_tests
  ${RESULTS_TESTS}/unit/viewer_address.cpp ${RESULTS_TESTS}/unit/address_tests.cpp
  ${RESULTS_TESTS}/unit/json_tests.cpp ${RESULTS_TESTS}/unit/listing_tests.cpp
  ${RESULTS_VIEWER_DIR}/bench_address.cpp ${RESULTS_VIEWER_DIR}/bench_result.cpp ${RESULTS_VIEWER_DIR}/bench_stats.cpp)
target_include_directories(results_unit_tests PRIVATE ${RESULTS_TESTS}/unit)
target_link_libraries(results_unit_tests PRIVATE results_lib_checked)
