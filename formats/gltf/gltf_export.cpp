// The neutral tree as a glTF 2.0 document: one node per layer, one mesh per layer with geometry,
// one material per distinct look, the engine's own values kept in extras; the JSON and the GLB
// container are written here, through the JSON library the glTF library brings.
#include "gltf_export.h"

#include "gltf_extras.h"
#include "gltf_frame.h"
#include "gltf_image.h"

#include <math.h>
#include <string.h>

#include <map>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

const int kArrayBuffer = 34962, kElementArrayBuffer = 34963;
const int kFloat = 5126, kUnsignedShort = 5123;
const int kModePoints = 0, kModeLineStrip = 3;
const int kWrap[3] = {10497, 33648, 33071}; // by SceneAddressing
const int kNearest = 9728, kLinear = 9729, kLinearMipmapLinear = 9987;
const uint32_t kGlbMagic = 0x46546C67, kChunkJson = 0x4E4F534A, kChunkBin = 0x004E4942;

class Exporter {
public:
    Exporter(const SceneTree &tree, std::vector<std::string> *skipped) : tree_(tree), skipped_(skipped) {}
    Json document(const std::string &binName, bool binary);
    std::vector<uint8_t> &bin() { return bin_; }
    std::vector<ExportFile> &imageFiles() { return imageFiles_; }

private:
    int node(int index, bool mirrored);
    int mesh(const SceneLayer &layer, bool mirrored);
    int material(const SceneLayer &layer);
    int texture(const SceneLayer &layer, bool *alpha);
    int view(const void *data, size_t size, int target);
    int accessor(int view, int componentType, size_t count, const char *type);

    const SceneTree &tree_;
    std::vector<std::string> *skipped_;
    bool binary_ = false;
    Json nodes_ = Json::array(), meshes_ = Json::array(), materials_ = Json::array(), accessors_ = Json::array(),
         views_ = Json::array(), textures_ = Json::array(), samplers_ = Json::array(), images_ = Json::array();
    std::map<std::string, int> materialIndex_, samplerIndex_;
    std::map<int, int> imageIndex_;       // tree image -> glTF image (-1: cannot be written)
    std::map<int, bool> imageAlpha_;
    std::map<std::string, int> fileNames_; // image files written, to keep names apart
    std::vector<uint8_t> bin_;
    std::vector<ExportFile> imageFiles_;
};

// An image name as a relative URI: everything but unreserved characters percent-encoded.
std::string uri_of(const std::string &name)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if (isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~')
            out += (char)c;
        else
            out += '%', out += kHex[c >> 4], out += kHex[c & 15];
    }
    return out;
}

std::string stem_of(const std::string &name)
{
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int Exporter::view(const void *data, size_t size, int target)
{
    while (bin_.size() % 4)
        bin_.push_back(0);
    Json v;
    v["buffer"] = 0;
    v["byteOffset"] = bin_.size();
    v["byteLength"] = size;
    if (target)
        v["target"] = target;
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    bin_.insert(bin_.end(), bytes, bytes + size);
    views_.push_back(v);
    return (int)views_.size() - 1;
}

int Exporter::accessor(int viewIndex, int componentType, size_t count, const char *type)
{
    Json a;
    a["bufferView"] = viewIndex;
    a["componentType"] = componentType;
    a["count"] = count;
    a["type"] = type;
    accessors_.push_back(a);
    return (int)accessors_.size() - 1;
}

int Exporter::texture(const SceneLayer &layer, bool *alpha)
{
    const int source = layer.stage.image;
    auto found = imageIndex_.find(source);
    if (found == imageIndex_.end()) {
        const SceneImage &img = tree_.images[(size_t)source];
        std::string mime = image_mime(img.bytes.data(), img.bytes.size());
        std::vector<uint8_t> bytes;
        bool hasAlpha = false;
        if (mime == "image/bmp" && image_bitmap_to_png(img.bytes, img.mask, img.colourKey, &bytes)) {
            mime = "image/png";
            hasAlpha = img.colourKey || !img.mask.empty();
        } else if ((mime == "image/png" || mime == "image/jpeg") && image_check(img.bytes.data(), img.bytes.size(), &hasAlpha)) {
            bytes = img.bytes;
        } else {
            skipped_->push_back(img.name.empty() ? std::string("a texture") : img.name);
            imageIndex_[source] = -1;
            return -1;
        }
        Json image;
        std::string name = stem_of(img.name.empty() ? "texture" : img.name);
        if (!name.empty())
            image["name"] = name;
        if (binary_) {
            image["bufferView"] = view(bytes.data(), bytes.size(), 0);
            image["mimeType"] = mime;
        } else {
            std::string file = name + (mime == "image/png" ? ".png" : ".jpg");
            int &uses = fileNames_[file];
            if (uses++ > 0)
                file = name + "_" + std::to_string(uses) + (mime == "image/png" ? ".png" : ".jpg");
            image["uri"] = uri_of(file);
            imageFiles_.push_back({file, std::move(bytes)});
        }
        images_.push_back(image);
        imageIndex_[source] = (int)images_.size() - 1;
        imageAlpha_[source] = hasAlpha;
        found = imageIndex_.find(source);
    }
    if (found->second < 0)
        return -1;
    *alpha = imageAlpha_[source];
    Json sampler;
    sampler["magFilter"] = layer.stage.filter == kSceneFilterPoint ? kNearest : kLinear;
    sampler["minFilter"] = layer.stage.filter == kSceneFilterPoint ? kNearest : kLinearMipmapLinear;
    const uint32_t wrap = layer.stage.addressing < 3 ? layer.stage.addressing : (uint32_t)SCENE_REPEAT;
    sampler["wrapS"] = sampler["wrapT"] = kWrap[wrap];
    const std::string key = sampler.dump();
    if (!samplerIndex_.count(key)) {
        samplerIndex_[key] = (int)samplers_.size();
        samplers_.push_back(sampler);
    }
    Json t;
    t["sampler"] = samplerIndex_[key];
    t["source"] = found->second;
    const std::string textureKey = t.dump();
    for (size_t i = 0; i < textures_.size(); ++i)
        if (textures_[i].dump() == textureKey)
            return (int)i;
    textures_.push_back(t);
    return (int)textures_.size() - 1;
}

int Exporter::material(const SceneLayer &layer)
{
    const SceneMaterial &m = layer.material;
    Json mat, pbr;
    double rgb[3];
    frame_colour_to_linear(m.diffuse, rgb);
    pbr["baseColorFactor"] = {rgb[0], rgb[1], rgb[2], frame_alpha_from_transparency(m.transparency)};
    pbr["metallicFactor"] = 0.0;
    pbr["roughnessFactor"] = 1.0;
    bool alpha = false;
    const int texture = layer.stage.image >= 0 ? this->texture(layer, &alpha) : -1;
    if (texture >= 0)
        pbr["baseColorTexture"] = {{"index", texture}};
    mat["pbrMetallicRoughness"] = pbr;
    if (m.emissive) {
        frame_colour_to_linear(m.emissive, rgb);
        mat["emissiveFactor"] = {rgb[0], rgb[1], rgb[2]};
    }
    if (texture >= 0 && layer.stage.option) {
        mat["alphaMode"] = "MASK";
        mat["alphaCutoff"] = m.cutoff;
    } else if (m.transparency > 0 || (texture >= 0 && alpha)) {
        mat["alphaMode"] = "BLEND";
    }
    if (m.attributes & kSceneAttrBothSides)
        mat["doubleSided"] = true;
    Json extras;
    if (m.specular)
        extras[GLTF_EXTRAS_SPECULAR] = m.specular;
    if (m.dullness != 0)
        extras[GLTF_EXTRAS_DULLNESS] = m.dullness;
    if (m.ambient != m.diffuse)
        extras[GLTF_EXTRAS_AMBIENT] = m.ambient;
    if (m.attributes & ~kSceneAttrBothSides)
        extras[GLTF_EXTRAS_ATTRIBUTES] = m.attributes;
    if (texture >= 0 && layer.stage.blend != kSceneBlendNormalShade)
        extras[GLTF_EXTRAS_BLEND] = layer.stage.blend;
    if (texture >= 0 && layer.stage.filter != kSceneFilterMipmapLinear && layer.stage.filter != kSceneFilterPoint)
        extras[GLTF_EXTRAS_FILTER] = layer.stage.filter;
    if (!extras.empty())
        mat["extras"][GLTF_EXTRAS_KEY] = extras;
    const std::string key = mat.dump();
    auto found = materialIndex_.find(key);
    if (found != materialIndex_.end())
        return found->second;
    materials_.push_back(mat);
    return materialIndex_[key] = (int)materials_.size() - 1;
}

int Exporter::mesh(const SceneLayer &layer, bool mirrored)
{
    const size_t n = layer.vertices.size();
    const bool lines = layer.mode == kSceneModeLines || layer.indices.empty();
    std::vector<float> positions(n * 3), normals(n * 3), uvs(n * 2);
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (size_t i = 0; i < n; ++i) {
        const SceneVertex &v = layer.vertices[i];
        frame_mirror(v.position, &positions[i * 3]);
        float normal[3];
        frame_mirror(v.normal, normal);
        const float length = sqrtf(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        for (int c = 0; c < 3; ++c) {
            lo[c] = fminf(lo[c], positions[i * 3 + c]);
            hi[c] = fmaxf(hi[c], positions[i * 3 + c]);
            // glTF asks for unit normals: a zero normal (never lit right anyway) points up.
            normals[i * 3 + c] = length > 0 ? normal[c] / length : (c == 1 ? 1.0f : 0.0f);
        }
        uvs[i * 2] = v.u[0];
        uvs[i * 2 + 1] = v.v[0];
    }
    Json attributes;
    const int position = accessor(view(positions.data(), positions.size() * 4, kArrayBuffer), kFloat, n, "VEC3");
    accessors_[(size_t)position]["min"] = {lo[0], lo[1], lo[2]};
    accessors_[(size_t)position]["max"] = {hi[0], hi[1], hi[2]};
    attributes["POSITION"] = position;
    Json primitive;
    if (!lines) {
        attributes["NORMAL"] = accessor(view(normals.data(), normals.size() * 4, kArrayBuffer), kFloat, n, "VEC3");
        std::vector<uint16_t> indices(layer.indices.size());
        // The frames' mirror reverses the corner order, except below a mirroring layer, whose front
        // faces glTF takes as clockwise.
        const int second = mirrored ? 1 : 2, third = mirrored ? 2 : 1;
        for (size_t i = 0; i + 2 < indices.size(); i += 3) {
            indices[i] = layer.indices[i];
            indices[i + 1] = layer.indices[i + second];
            indices[i + 2] = layer.indices[i + third];
        }
        primitive["indices"] =
            accessor(view(indices.data(), indices.size() * 2, kElementArrayBuffer), kUnsignedShort, indices.size(), "SCALAR");
    }
    if (layer.stage.image >= 0)
        attributes["TEXCOORD_0"] = accessor(view(uvs.data(), uvs.size() * 4, kArrayBuffer), kFloat, n, "VEC2");
    primitive["attributes"] = attributes;
    if (lines)
        primitive["mode"] = layer.pointSize < 0 ? kModeLineStrip : kModePoints;
    primitive["material"] = material(layer);
    Json mesh;
    mesh["name"] = layer.name;
    mesh["primitives"] = Json::array({primitive});
    if (lines)
        mesh["extras"][GLTF_EXTRAS_KEY][GLTF_EXTRAS_POINT_SIZE] = layer.pointSize;
    meshes_.push_back(mesh);
    return (int)meshes_.size() - 1;
}

int Exporter::node(int index, bool mirrored)
{
    const SceneLayer &layer = tree_.layers[(size_t)index];
    mirrored = mirrored != (layer.scale[0] * layer.scale[1] * layer.scale[2] < 0);
    Json n;
    n["name"] = layer.name;
    double t[3], r[4], s[3], m[16];
    if (frame_to_gltf(layer, t, r, s, m)) {
        if (t[0] != 0 || t[1] != 0 || t[2] != 0)
            n["translation"] = {t[0], t[1], t[2]};
        if (r[0] != 0 || r[1] != 0 || r[2] != 0)
            n["rotation"] = {r[0], r[1], r[2], r[3]};
        if (s[0] != 1 || s[1] != 1 || s[2] != 1)
            n["scale"] = {s[0], s[1], s[2]};
    } else {
        n["matrix"] = Json::array();
        for (double v : m)
            n["matrix"].push_back(v);
    }
    // Every node carries the engine's motion: it also marks the file as one the engine wrote.
    const bool range = layer.nearLimit != 0 || layer.farLimit != 0;
    {
        Json extras;
        extras[GLTF_EXTRAS_TRANSLATE] = {layer.translate[0], layer.translate[1], layer.translate[2]};
        extras[GLTF_EXTRAS_ROTATE] = {layer.rotate[0], layer.rotate[1], layer.rotate[2]};
        extras[GLTF_EXTRAS_SCALE] = {layer.scale[0], layer.scale[1], layer.scale[2]};
        extras[GLTF_EXTRAS_TRANSFORM_ORDER] = layer.transformOrder;
        extras[GLTF_EXTRAS_ROTATION_ORDER] = layer.rotationOrder;
        if (!layer.on)
            extras[GLTF_EXTRAS_ON] = 0;
        if (range)
            extras[GLTF_EXTRAS_RANGE] = {layer.nearLimit, layer.farLimit};
        n["extras"][GLTF_EXTRAS_KEY] = extras;
    }
    if (layer.mode != 0 && !layer.vertices.empty())
        n["mesh"] = mesh(layer, mirrored);
    const int me = (int)nodes_.size();
    nodes_.push_back(n);
    Json children = Json::array();
    for (int child : layer.children)
        children.push_back(node(child, mirrored));
    if (!children.empty())
        nodes_[(size_t)me]["children"] = children;
    return me;
}

Json Exporter::document(const std::string &binName, bool binary)
{
    binary_ = binary;
    Json roots = Json::array();
    for (int root : tree_.roots)
        roots.push_back(node(root, false));
    Json doc;
    doc["asset"] = {{"version", "2.0"}, {"generator", "Tarvex glTF plug-in"}};
    doc["scene"] = 0;
    doc["scenes"] = Json::array({Json{{"nodes", roots}}});
    doc["nodes"] = nodes_;
    const std::pair<const char *, const Json *> parts[] = {
        {"meshes", &meshes_},   {"materials", &materials_}, {"textures", &textures_},   {"samplers", &samplers_},
        {"images", &images_},   {"accessors", &accessors_}, {"bufferViews", &views_}};
    for (const auto &part : parts)
        if (!part.second->empty())
            doc[part.first] = *part.second;
    while (bin_.size() % 4)
        bin_.push_back(0);
    if (!bin_.empty()) {
        Json buffer;
        buffer["byteLength"] = bin_.size();
        if (!binary)
            buffer["uri"] = uri_of(binName);
        doc["buffers"] = Json::array({buffer});
    }
    return doc;
}

void put_u32(std::vector<uint8_t> *out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back((uint8_t)(v >> (8 * i)));
}

} // namespace

bool gltf_export(const SceneTree &tree, const std::string &fileName, bool binary, std::vector<ExportFile> *files,
                 std::vector<std::string> *skipped, std::string *error)
{
    files->clear();
    const std::string binName = stem_of(fileName) + ".bin";
    Exporter exporter(tree, skipped);
    std::string json;
    try {
        json = exporter.document(binName, binary).dump(binary ? -1 : 1, '\t');
    } catch (const std::exception &e) { // names that are not UTF-8
        *error = e.what();
        return false;
    }
    const std::vector<uint8_t> &bin = exporter.bin();
    ExportFile model{fileName, {}};
    if (!binary) {
        model.bytes.assign(json.begin(), json.end());
        files->push_back(std::move(model));
        if (!bin.empty())
            files->push_back({binName, bin});
        for (ExportFile &f : exporter.imageFiles())
            files->push_back(std::move(f));
        return true;
    }
    while (json.size() % 4)
        json += ' ';
    const size_t total = 12 + 8 + json.size() + (bin.empty() ? 0 : 8 + bin.size());
    if (total > UINT32_MAX) {
        *error = "the model is larger than a GLB file can hold (4 GB)";
        return false;
    }
    std::vector<uint8_t> &out = model.bytes;
    out.reserve(total);
    put_u32(&out, kGlbMagic);
    put_u32(&out, 2);
    put_u32(&out, (uint32_t)total);
    put_u32(&out, (uint32_t)json.size());
    put_u32(&out, kChunkJson);
    out.insert(out.end(), json.begin(), json.end());
    if (!bin.empty()) {
        put_u32(&out, (uint32_t)bin.size());
        put_u32(&out, kChunkBin);
        out.insert(out.end(), bin.begin(), bin.end());
    }
    files->push_back(std::move(model));
    return true;
}
