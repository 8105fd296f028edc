// The glTF plug-in's neutral tree: layers as the engine keeps them (names, motion, material, one
// texture stage, triangles in the engine's frame), between a glTF document and the engine's
// records. Portable code: no Windows headers, no glTF library types.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The engine's limits and words that the conversion must keep.
const size_t kSceneMaxVertices = 65535;      // 16-bit face indices
const size_t kSceneNameChars = 31;           // layer names are cut there
const int kSceneOrderDefault = 1;            // "ZXY" rotation order and "SRT" transform order
const uint32_t kSceneModeSolid = 0x80140000u;
const uint32_t kSceneModeTextured1 = 0x80340001u;
const uint32_t kSceneModeLines = 0x80010000u;
const uint32_t kSceneBlendNormalShade = 0x8101u; // texture x lit colour, alpha texture x diffuse
const uint32_t kSceneFilterMipmapLinear = 0x201u;
const uint32_t kSceneFilterPoint = 0x100u;
const uint16_t kSceneAttrBothSides = 0x0001u;

// Texture addressing of a stage (u and v alike).
enum SceneAddressing { SCENE_REPEAT = 0, SCENE_MIRROR = 1, SCENE_CLAMP = 2 };

// Laid out as the engine's vertex record (position, normal, u and v of four sets, a colour), so that
// the plug-in hands whole arrays to the engine; the reader fills x, y, z and the first set.
struct SceneVertex {
    float position[4];
    float normal[4];
    float u[4];
    float v[4];
    uint32_t colour;
};

// An image as the engine's texture slot names it, or as encoded bytes.
struct SceneImage {
    std::string file;            // reading: a file beside the model (UTF-8, relative); empty when embedded
    std::string mimeType;        // "image/png", "image/jpeg"
    std::vector<uint8_t> bytes;  // encoded image, when embedded (or to embed)
    std::string name;            // file name without folder, for writing beside a .gltf
    // Writing a bitmap: its "_alpha" mask bitmap (may be empty) or, with colourKey, black as transparent.
    std::vector<uint8_t> mask;
    bool colourKey = false;
};

struct SceneStage {
    int image = -1;              // index into SceneTree::images, -1 = no texture
    uint32_t blend = kSceneBlendNormalShade;
    uint32_t addressing = SCENE_REPEAT;
    uint32_t filter = kSceneFilterMipmapLinear;
    int option = 0;              // nonzero: alpha tested (the texture's alpha at its cut-off)
};

struct SceneMaterial {
    uint32_t diffuse = 0xFFFFFF; // 0x00BBGGRR
    uint32_t specular = 0;
    float dullness = 0;
    uint32_t ambient = 0xFFFFFF;
    uint32_t emissive = 0;
    uint32_t transparency = 0;   // 0 opaque ... 255 invisible
    uint16_t attributes = 0;     // the layer's attribute bits
    enum Alpha { ALPHA_OPAQUE, ALPHA_MASK, ALPHA_BLEND } alpha = ALPHA_OPAQUE;
    float cutoff = 0.5f;         // MASK: alpha below it is not drawn
};

struct SceneLayer {
    std::string name;            // UTF-8
    bool on = true;
    float translate[3] = {0, 0, 0};
    float rotate[3] = {0, 0, 0}; // degrees about x, y, z
    float scale[3] = {1, 1, 1};
    int transformOrder = kSceneOrderDefault;
    int rotationOrder = kSceneOrderDefault;
    float nearLimit = 0, farLimit = 0; // drawn only from the first distance on and below the second (0: no limit)
    uint32_t mode = 0;           // 0: no geometry
    float pointSize = 0;         // line mode: >= 0 points, < 0 a line strip
    SceneMaterial material;
    bool hasMaterial = false;    // false: the engine's defaults stay
    SceneStage stage;            // stage 0; used when stage.image >= 0
    bool normalsGiven = true;
    std::vector<SceneVertex> vertices;
    std::vector<uint16_t> indices; // three per triangle, front faces clockwise as the engine culls
    std::vector<int> children;   // indices into SceneTree::layers
};

// A whole file: layers[roots[i]] are the top layers in order.
struct SceneTree {
    std::vector<SceneLayer> layers;
    std::vector<int> roots;
    std::vector<SceneImage> images;
    // Parts of the file that the engine cannot show, each named once ("3 skins", ...).
    std::vector<std::string> skipped;
};

// Records one kind of skipped content: a repeat of the same kind is not listed twice.
void scene_note_skipped(SceneTree *tree, const std::string &what);
// "skins, cameras and 2 animations were skipped" style text, empty when nothing was skipped.
std::string scene_skipped_text(const SceneTree &tree);
