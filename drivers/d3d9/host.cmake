# The driver's portable bitmap path, built natively with sanitizers and fuzzed.
set(d3d9_dir ${TRVX_SOURCE_ROOT}/drivers/d3d9)
host_test(d3d9_bitmap_native_tests ${d3d9_dir}/d3d9_bitmap.cpp ${d3d9_dir}/tests/d3d9_bitmap_test.cpp)
target_include_directories(d3d9_bitmap_native_tests PRIVATE ${d3d9_dir})
host_test(d3d9_texture_cache_native_tests ${d3d9_dir}/d3d9_texture_cache.cpp
          ${d3d9_dir}/tests/d3d9_texture_cache_test.cpp)
target_include_directories(d3d9_texture_cache_native_tests PRIVATE ${d3d9_dir})
host_fuzzer(bitmap_fuzzer ${d3d9_dir}/d3d9_bitmap.cpp ${d3d9_dir}/d3d9_texture_cache.cpp
            ${d3d9_dir}/fuzz/bitmap_fuzzer.cpp)
target_include_directories(bitmap_fuzzer PRIVATE ${d3d9_dir})
