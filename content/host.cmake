# Content generator (native): writes the models, pictures, sounds and settings beside the
# programs on every build. Included by host/CMakeLists.txt.
find_package(Freetype REQUIRED)
set(CONTENT_DIR ${TRVX_SOURCE_ROOT}/content)

add_library(trvx_content_lib STATIC
  ${CONTENT_DIR}/gen/out.cpp ${CONTENT_DIR}/gen/image.cpp ${CONTENT_DIR}/gen/text.cpp
  ${CONTENT_DIR}/gen/geom.cpp ${CONTENT_DIR}/gen/mesh.cpp ${CONTENT_DIR}/gen/tvm.cpp
  ${CONTENT_DIR}/gen/wave.cpp ${CONTENT_DIR}/gen/aircraft.cpp ${CONTENT_DIR}/gen/airport.cpp
  ${CONTENT_DIR}/gen/overlays.cpp ${CONTENT_DIR}/gen/logo.cpp ${CONTENT_DIR}/gen/sounds.cpp
  ${CONTENT_DIR}/gen/config.cpp ${CONTENT_DIR}/gen/gltf_copy.cpp)
target_include_directories(trvx_content_lib PUBLIC ${CONTENT_DIR}/gen)
# The models are also written as glTF by the glTF plug-in's portable writer (formats/gltf/host.cmake).
target_link_libraries(trvx_content_lib PUBLIC Freetype::Freetype gltf_core_host)
target_compile_options(trvx_content_lib PRIVATE -O2)

add_executable(trvx-content ${CONTENT_DIR}/gen/main.cpp)
target_link_libraries(trvx-content PRIVATE trvx_content_lib)
set_target_properties(trvx-content PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Model reader for the checks and the preview renderer (a software rasteriser writing PNG).
find_package(PNG REQUIRED)
add_library(trvx_content_check STATIC ${CONTENT_DIR}/tests/tvm_check.cpp ${CONTENT_DIR}/tests/raster.cpp)
target_include_directories(trvx_content_check PUBLIC ${CONTENT_DIR}/tests ${CONTENT_DIR}/gen)
target_link_libraries(trvx_content_check PUBLIC trvx_content_lib PNG::PNG)

add_executable(trvx-content-view ${CONTENT_DIR}/tests/view_main.cpp)
target_link_libraries(trvx-content-view PRIVATE trvx_content_check)
set_target_properties(trvx-content-view PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

host_test(content_test ${CONTENT_DIR}/tests/content_test.cpp ${CONTENT_DIR}/tests/tvm_check.cpp
  ${CONTENT_DIR}/tests/raster.cpp)
target_include_directories(content_test PRIVATE ${CONTENT_DIR}/tests ${CONTENT_DIR}/gen)
target_link_libraries(content_test PRIVATE trvx_content_lib PNG::PNG)
