// What the plug-in keeps in a glTF file's "extras" so that a tree written and read again is the
// same tree: the engine's own values that glTF has no field for. The reader takes them only where
// they agree with what glTF says (a file edited elsewhere is read by its glTF fields).
#pragma once

// The object under "extras" of nodes, materials and meshes.
#define GLTF_EXTRAS_KEY "trvx"

// Node: the motion as the engine keeps it, and the switch.
#define GLTF_EXTRAS_TRANSLATE "translate"
#define GLTF_EXTRAS_ROTATE "rotate"
#define GLTF_EXTRAS_SCALE "scale"
#define GLTF_EXTRAS_TRANSFORM_ORDER "transformOrder"
#define GLTF_EXTRAS_ROTATION_ORDER "rotationOrder"
#define GLTF_EXTRAS_ON "on"
#define GLTF_EXTRAS_RANGE "range"
// Material: the colours glTF has no place for, the attribute bits, the stage's words.
#define GLTF_EXTRAS_SPECULAR "specular"
#define GLTF_EXTRAS_DULLNESS "dullness"
#define GLTF_EXTRAS_AMBIENT "ambient"
#define GLTF_EXTRAS_ATTRIBUTES "attributes"
#define GLTF_EXTRAS_BLEND "blend"
#define GLTF_EXTRAS_FILTER "filter"
// Mesh: a line-mode layer's point size.
#define GLTF_EXTRAS_POINT_SIZE "pointSize"
