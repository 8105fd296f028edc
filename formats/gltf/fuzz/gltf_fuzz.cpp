// Fuzzer of the glTF reader: any bytes as a .gltf or .glb file, with one file "a.bin" beside it.
// A file that is read must convert to valid engine geometry and write back out.
#include "gltf_export.h"
#include "gltf_import.h"

#include <stdlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<uint8_t> beside(data, data + (size < 64 ? size : 64));
    ImportReadFile read = [&beside](const std::string &name, std::vector<uint8_t> *bytes) {
        if (name != "a.bin")
            return false;
        *bytes = beside;
        return true;
    };
    SceneTree tree;
    std::string error;
    if (!gltf_import(data, size, read, nullptr, &tree, &error)) {
        if (error.empty() || !tree.layers.empty())
            abort();
        return 0;
    }
    for (const SceneLayer &layer : tree.layers) {
        if (layer.vertices.size() > kSceneMaxVertices || layer.indices.size() % 3)
            abort();
        for (uint16_t i : layer.indices)
            if (i >= layer.vertices.size())
                abort();
        for (int child : layer.children)
            if (child <= 0 || (size_t)child >= tree.layers.size())
                abort();
        if (layer.stage.image >= (int)tree.images.size())
            abort();
    }
    std::vector<ExportFile> files;
    std::vector<std::string> skipped;
    gltf_export(tree, "out.glb", true, &files, &skipped, &error);
    return 0;
}
