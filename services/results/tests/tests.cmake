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

# The store and the running server, against SQLite here and against a PostgreSQL server of its own
# (with_postgres.sh starts and stops it) in the second run.
host_test(results_service_tests
  ${RESULTS_TESTS}/service/test_database.cpp ${RESULTS_TESTS}/service/server_process.cpp
  ${RESULTS_TESTS}/service/store_tests.cpp ${RESULTS_TESTS}/service/http_tests.cpp
  ${RESULTS_TESTS}/unit/viewer_address.cpp
  ${RESULTS_VIEWER_DIR}/bench_address.cpp ${RESULTS_VIEWER_DIR}/bench_result.cpp ${RESULTS_VIEWER_DIR}/bench_stats.cpp)
target_include_directories(results_service_tests PRIVATE ${RESULTS_TESTS}/unit ${RESULTS_TESTS}/service)
target_link_libraries(results_service_tests PRIVATE results_lib_checked)
target_compile_definitions(results_service_tests PRIVATE RESULTS_SERVER_PATH="$<TARGET_FILE:results-server-checked>")
add_dependencies(results_service_tests results-server-checked)
add_test(NAME results_service_postgres
  COMMAND ${RESULTS_TESTS}/with_postgres.sh $<TARGET_FILE:results_service_tests> --gtest_color=no)
set_tests_properties(results_service_postgres PROPERTIES LABELS native TIMEOUT 600)

# The pages in headless Chromium (Selenium and chromium-driver from Debian, so Debian's Python);
# the screenshots stay in build*/host/results_browser/.
add_test(NAME results_browser
  COMMAND /usr/bin/python3 ${RESULTS_TESTS}/browser_test.py $<TARGET_FILE:results-server> ${CMAKE_BINARY_DIR}/results_browser)
set_tests_properties(results_browser PROPERTIES LABELS native TIMEOUT 300)

# Reads back the escapes the benchmark writes under Wine (the Windows build's results_eucjp_contract).
add_executable(results_eucjp_check ${RESULTS_TESTS}/eucjp/eucjp_check.cpp)
target_link_libraries(results_eucjp_check PRIVATE results_lib)
set_target_properties(results_eucjp_check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
