# The benchmark's portable parts (score, texts, result address, statistics, result files, options),
# built natively with sanitizers. Included from host/CMakeLists.txt.
set(BENCH_DIR ${TRVX_SOURCE_ROOT}/apps/viewer)
set(BENCH_PORTABLE_SOURCES
  ${BENCH_DIR}/bench_text.cpp ${BENCH_DIR}/bench_modes.cpp ${BENCH_DIR}/bench_pcinfo.cpp
  ${BENCH_DIR}/bench_score.cpp ${BENCH_DIR}/bench_address.cpp ${BENCH_DIR}/bench_stats.cpp
  ${BENCH_DIR}/bench_result.cpp ${BENCH_DIR}/bench_options.cpp)

host_test(bench_portable_test ${BENCH_DIR}/tests/bench_portable_test.cpp ${BENCH_PORTABLE_SOURCES})
target_include_directories(bench_portable_test PRIVATE ${BENCH_DIR})
