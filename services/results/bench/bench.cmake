# results-bench: submissions per second and their latency against a real results-server, then the
# leaderboard's answer time over a database filled to a million runs. Included by host.cmake.
add_executable(results-bench ${RESULTS_DIR}/bench/results_bench.cpp ${RESULTS_DIR}/bench/load.cpp
  ${RESULTS_DIR}/bench/runs.cpp
  ${RESULTS_VIEWER_DIR}/bench_result.cpp ${RESULTS_VIEWER_DIR}/bench_stats.cpp ${RESULTS_VIEWER_DIR}/bench_address.cpp)
target_link_libraries(results-bench PRIVATE results_lib)
target_compile_options(results-bench PRIVATE -O2)
target_compile_definitions(results-bench PRIVATE RESULTS_SERVER_PATH="$<TARGET_FILE:results-server>")
add_dependencies(results-bench results-server)
set_target_properties(results-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
