# The engine's portable parts, built natively with sanitizers and fuzzed.
set(engine_dir ${TRVX_SOURCE_ROOT}/engine)
host_test(number_text_native_tests ${engine_dir}/number_text.cpp ${engine_dir}/tests/native/number_text_native_tests.cpp)
target_include_directories(number_text_native_tests PRIVATE ${engine_dir})
host_fuzzer(number_text_fuzzer ${engine_dir}/number_text.cpp ${engine_dir}/fuzz/number_text_fuzzer.cpp)
target_include_directories(number_text_fuzzer PRIVATE ${engine_dir})
