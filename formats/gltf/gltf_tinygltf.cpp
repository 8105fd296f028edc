// The glTF library's implementation, compiled once. Its writer half, unused here, still needs
// <fstream>, which the library includes only along with its own file system.
#include <fstream>

#define TINYGLTF_IMPLEMENTATION
#include "gltf_tinygltf.h"
