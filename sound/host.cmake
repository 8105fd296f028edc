# sonra's portable parts on the build machine: unit tests with sanitizers and the file-format fuzzers.
set(SONRA_DIR ${TRVX_SOURCE_ROOT}/sound)

host_test(sonra_portable_test
  ${SONRA_DIR}/tests/host_math_test.cpp ${SONRA_DIR}/tests/host_riff_test.cpp
  ${SONRA_DIR}/tests/host_stream_test.cpp ${SONRA_DIR}/tests/assets.cpp
  ${SONRA_DIR}/snd_math.cpp ${SONRA_DIR}/snd_riff.cpp ${SONRA_DIR}/snd_stream.cpp)
target_include_directories(sonra_portable_test PRIVATE ${SONRA_DIR})

host_fuzzer(sonra_wave_fuzzer ${SONRA_DIR}/fuzz/wave_fuzzer.cpp ${SONRA_DIR}/snd_riff.cpp)
target_include_directories(sonra_wave_fuzzer PRIVATE ${SONRA_DIR})
host_fuzzer(sonra_vfs_fuzzer ${SONRA_DIR}/fuzz/vfs_fuzzer.cpp ${SONRA_DIR}/snd_riff.cpp)
target_include_directories(sonra_vfs_fuzzer PRIVATE ${SONRA_DIR})
