// The models also as glTF 2.0 (.gltf with .bin and PNG textures, and .glb), for the tests that read
// them through the glTF plug-in beside the text models. They go to the "gltf_models" folder beside
// the content tree, which the product package does not stage.
#pragma once
#include "tvm.h"

namespace content {

// Writes gltf_models/<name>/<name>.gltf (+ .bin, textures) and <name>.glb from the layer tree whose
// text model and textures were written to `folder` (a content path ending in a backslash).
void writeGltfCopies(const Layer& top, const std::string& folder, const std::string& name);

} // namespace content
