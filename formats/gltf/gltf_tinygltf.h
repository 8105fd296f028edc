// The glTF library as the plug-in uses it: no file system of its own (files are read through the
// caller), no image decoding while parsing (images are checked and decoded on demand), JSON by the
// same library the rest of the kit uses.
#pragma once

#define TINYGLTF_NO_FS
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include <tiny_gltf.h>
