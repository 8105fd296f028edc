// Shared inside the glTF reader: the parsed document and the steps that turn it into layers.
#pragma once

#include "gltf_import.h"
#include "gltf_tinygltf.h"

// Parses the bytes (GLB container checked first) into `model`. False with `error` set.
bool gltf_load(const uint8_t *bytes, size_t size, const ImportReadFile &readFile, tinygltf::Model *model,
               std::string *error);

// The texture coordinates a material's base colour texture uses: the set, and the affine map of
// its KHR_texture_transform (u' = m[0] . (u, v, 1), v' = m[1] . (u, v, 1)).
struct UvMapping {
    int set = 0;
    double m[2][3] = {{1, 0, 0}, {0, 1, 0}};
};

// One mesh primitive as geometry of `layer` (which may get further pieces in `extra` when it needs
// more than 65535 vertices, or when the layer already has geometry). `mirrored` is true when the
// node's world transform mirrors (its front faces are then clockwise in the file). False with
// `error` set when the primitive breaks the file's rules; a primitive the engine cannot draw is
// left out with a note in `tree`.
bool gltf_primitive(const tinygltf::Model &model, const tinygltf::Primitive &primitive, bool mirrored,
                    const UvMapping &uv, SceneTree *tree, std::vector<SceneLayer> *pieces, std::string *error);
