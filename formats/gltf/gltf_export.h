// Writing the neutral tree as glTF 2.0: a .gltf text file with its .bin buffer and images beside
// it, or one .glb file. Portable code.
#pragma once

#include "gltf_scene.h"

struct ExportFile {
    std::string name;            // file name without folder (UTF-8)
    std::vector<uint8_t> bytes;
};

// The files for `fileName` (name and extension, no folder): the model first, then its buffer and
// images (.gltf) or nothing else (.glb). False with `error` set when the tree cannot be written.
// Textures that cannot be written are named in `skipped`.
bool gltf_export(const SceneTree &tree, const std::string &fileName, bool binary, std::vector<ExportFile> *files,
                 std::vector<std::string> *skipped, std::string *error);
