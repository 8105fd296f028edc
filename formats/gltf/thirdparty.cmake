# The glTF library and the image and JSON libraries it uses are header-only: a folder of links
# to their headers goes on the compilers' include path, never the build machine's /usr/include
# (the Windows cross compilers must not see Linux headers).
set(GLTF_THIRDPARTY ${CMAKE_BINARY_DIR}/gltf_thirdparty)
file(MAKE_DIRECTORY ${GLTF_THIRDPARTY})
foreach(link tiny_gltf.h stb nlohmann)
  if(NOT EXISTS ${GLTF_THIRDPARTY}/${link})
    file(CREATE_LINK /usr/include/${link} ${GLTF_THIRDPARTY}/${link} SYMBOLIC)
  endif()
endforeach()
