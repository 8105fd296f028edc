# The benchmark's portable parts (flow, shots, score, texts, result address, statistics, result
# files, options, the service's answers), built natively with sanitizers. Included from the viewer's
# host.cmake.
set(BENCH_DIR ${TRVX_SOURCE_ROOT}/apps/viewer/bench)
set(BENCH_PORTABLE_SOURCES
  ${BENCH_DIR}/bench_text.cpp ${BENCH_DIR}/bench_modes.cpp ${BENCH_DIR}/bench_pcinfo.cpp
  ${BENCH_DIR}/bench_score.cpp ${BENCH_DIR}/bench_address.cpp ${BENCH_DIR}/bench_stats.cpp
  ${BENCH_DIR}/bench_result.cpp ${BENCH_DIR}/bench_options.cpp ${BENCH_DIR}/bench_flow.cpp
  ${BENCH_DIR}/bench_shots.cpp ${BENCH_DIR}/bench_submit.cpp)

host_test(bench_portable_test ${BENCH_DIR}/tests/bench_portable_test.cpp ${BENCH_DIR}/tests/bench_flow_test.cpp
  ${BENCH_PORTABLE_SOURCES})
target_include_directories(bench_portable_test PRIVATE ${BENCH_DIR})
