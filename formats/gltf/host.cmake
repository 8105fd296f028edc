# Native side of the glTF plug-in: its portable reader and writer as a library (the content
# generator writes the models as glTF with it), unit tests with sanitizers, and the fuzzer.
set(GLTF_DIR ${TRVX_SOURCE_ROOT}/formats/gltf)
include(${GLTF_DIR}/thirdparty.cmake)
set(GLTF_PORTABLE ${GLTF_DIR}/gltf_scene.cpp ${GLTF_DIR}/gltf_frame.cpp ${GLTF_DIR}/gltf_image.cpp
    ${GLTF_DIR}/gltf_load.cpp ${GLTF_DIR}/gltf_geometry.cpp ${GLTF_DIR}/gltf_import.cpp ${GLTF_DIR}/gltf_export.cpp
    ${GLTF_DIR}/gltf_tinygltf.cpp)

add_library(gltf_core_host STATIC ${GLTF_PORTABLE})
target_include_directories(gltf_core_host PUBLIC ${GLTF_DIR})
target_include_directories(gltf_core_host SYSTEM PUBLIC ${GLTF_THIRDPARTY} ${GLTF_THIRDPARTY}/stb)
target_compile_options(gltf_core_host PRIVATE -O2)

host_test(gltf_native_tests ${GLTF_PORTABLE} ${GLTF_DIR}/tests/gltf_native_tests.cpp
          ${GLTF_DIR}/tests/gltf_bad_input_tests.cpp ${GLTF_DIR}/tests/gltf_test_files.cpp)
target_include_directories(gltf_native_tests PRIVATE ${GLTF_DIR} ${GLTF_DIR}/tests)
target_include_directories(gltf_native_tests SYSTEM PRIVATE ${GLTF_THIRDPARTY} ${GLTF_THIRDPARTY}/stb)

host_fuzzer(gltf_fuzz ${GLTF_PORTABLE} ${GLTF_DIR}/fuzz/gltf_fuzz.cpp)
target_include_directories(gltf_fuzz PRIVATE ${GLTF_DIR})
target_include_directories(gltf_fuzz SYSTEM PRIVATE ${GLTF_THIRDPARTY} ${GLTF_THIRDPARTY}/stb)
