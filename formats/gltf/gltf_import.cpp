// A glTF document into the neutral tree: the default scene's node hierarchy, each node's motion in
// the engine's frame, its mesh primitives as geometry with their materials and base colour
// textures; what the engine cannot show is noted once and skipped.
#include "gltf_extras.h"
#include "gltf_frame.h"
#include "gltf_image.h"
#include "gltf_import_local.h"

#include <math.h>
#include <string.h>

#include <map>
#include <new>

namespace {

// Extensions a file may require: those whose meaning the reader carries out.
const char *const kSupportedRequired[] = {"KHR_mesh_quantization", "KHR_texture_transform"};
const size_t kMaxDepth = 512;                // nodes deeper than this are refused, not recursed into
const size_t kMaxVertices = 16u * 1024 * 1024; // vertices the whole file may make
const double kMotionTolerance = 1e-4;        // extras agree with the glTF transform within this

bool fail(std::string *error, const std::string &text)
{
    *error = text;
    return false;
}

std::string counted(size_t n, const char *what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

const tinygltf::Value *extras_of(const tinygltf::Value &extras)
{
    if (!extras.IsObject() || !extras.Has(GLTF_EXTRAS_KEY))
        return nullptr;
    const tinygltf::Value &v = extras.Get(GLTF_EXTRAS_KEY);
    return v.IsObject() ? &v : nullptr;
}

bool extras_number(const tinygltf::Value *extras, const char *key, double *out)
{
    if (!extras || !extras->Has(key) || !extras->Get(key).IsNumber())
        return false;
    *out = extras->Get(key).GetNumberAsDouble();
    return isfinite(*out);
}

bool extras_vector(const tinygltf::Value *extras, const char *key, float out[3])
{
    if (!extras || !extras->Has(key))
        return false;
    const tinygltf::Value &v = extras->Get(key);
    if (!v.IsArray() || v.ArrayLen() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!v.Get(i).IsNumber() || !isfinite(v.Get(i).GetNumberAsDouble()))
            return false;
        out[i] = (float)v.Get(i).GetNumberAsDouble();
    }
    return true;
}

bool same_matrix(const FrameMatrix &a, const FrameMatrix &b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (fabs(a.m[i][j] - b.m[i][j]) > kMotionTolerance * (1 + fabs(b.m[i][j])))
                return false;
    return true;
}

// The engine's own motion from the extras, when it gives the same matrix as the glTF fields.
void adopt_motion(const tinygltf::Value *extras, SceneLayer *layer)
{
    SceneLayer kept = *layer;
    double order;
    if (!extras_vector(extras, GLTF_EXTRAS_TRANSLATE, kept.translate) ||
        !extras_vector(extras, GLTF_EXTRAS_ROTATE, kept.rotate) || !extras_vector(extras, GLTF_EXTRAS_SCALE, kept.scale))
        return;
    if (extras_number(extras, GLTF_EXTRAS_TRANSFORM_ORDER, &order) && order >= 1 && order <= 16)
        kept.transformOrder = (int)order;
    if (extras_number(extras, GLTF_EXTRAS_ROTATION_ORDER, &order) && order >= 1 && order <= 16)
        kept.rotationOrder = (int)order;
    if (same_matrix(frame_layer_matrix(kept), frame_layer_matrix(*layer)))
        *layer = kept;
}

double number_or(const tinygltf::Value &object, const char *key, int index, double otherwise)
{
    if (!object.Has(key))
        return otherwise;
    const tinygltf::Value &field = object.Get(key);
    if (index >= 0 && (!field.IsArray() || (size_t)index >= field.ArrayLen()))
        return otherwise;
    const tinygltf::Value &v = index < 0 ? field : field.Get(index);
    return v.IsNumber() ? v.GetNumberAsDouble() : otherwise;
}

// KHR_texture_transform: translation x rotation x scale of the coordinates, and its own set.
bool texture_transform(const tinygltf::Value &t, UvMapping *uv)
{
    if (!t.IsObject())
        return true;
    const double ox = number_or(t, "offset", 0, 0), oy = number_or(t, "offset", 1, 0);
    const double sx = number_or(t, "scale", 0, 1), sy = number_or(t, "scale", 1, 1);
    const double r = number_or(t, "rotation", -1, 0);
    const double set = number_or(t, "texCoord", -1, uv->set);
    for (double v : {ox, oy, sx, sy, r, set})
        if (!isfinite(v))
            return false;
    uv->set = set >= 0 && set < 16 ? (int)set : uv->set;
    const double c = cos(r), s = sin(r);
    uv->m[0][0] = c * sx, uv->m[0][1] = s * sy, uv->m[0][2] = ox;
    uv->m[1][0] = -s * sx, uv->m[1][1] = c * sy, uv->m[1][2] = oy;
    return true;
}

// Scales a layer's vertices: positions by s, normals by its inverse and normalised again.
void scale_vertices(SceneLayer *layer, const float s[3])
{
    for (SceneVertex &v : layer->vertices) {
        float length = 0;
        for (int k = 0; k < 3; ++k) {
            v.position[k] *= s[k];
            v.normal[k] /= s[k];
            length += v.normal[k] * v.normal[k];
        }
        length = sqrtf(length);
        if (length > 0)
            for (int k = 0; k < 3; ++k)
                v.normal[k] /= length;
    }
}

class Importer {
public:
    Importer(const tinygltf::Model &model, const ImportReadFile &readFile, const ImportProgress &progress,
             SceneTree *tree)
        : model_(model), readFile_(readFile), progress_(progress), tree_(tree), visited_(model.nodes.size(), false)
    {
    }
    bool run(std::string *error);

private:
    bool node(int index, int parent, bool mirrored, size_t depth, std::string *error);
    bool motion(const tinygltf::Node &n, SceneLayer *layer, bool *mirrors, std::string *error);
    bool mesh(int index, bool mirrored, SceneLayer *layer, int layerIndex, std::string *error);
    bool material(int index, SceneMaterial *m, SceneStage *stage, UvMapping *uv, std::string *error);
    bool image(int textureIndex, ImageAlpha how, bool rewrite, float cutoff, int *result, std::string *error);
    void notes();
    void bake_scale(int layer);

    const tinygltf::Model &model_;
    const ImportReadFile &readFile_;
    const ImportProgress &progress_;
    SceneTree *tree_;
    std::vector<bool> visited_;
    std::map<std::pair<int, int>, int> images_; // (glTF image, alpha rewrite) -> tree image
    size_t nodesDone_ = 0;
    size_t vertices_ = 0;
};

bool Importer::run(std::string *error)
{
    for (const std::string &ext : model_.extensionsRequired) {
        bool known = false;
        for (const char *supported : kSupportedRequired)
            known = known || ext == supported;
        if (!known)
            return fail(error, "the file needs the extension " + ext + ", which the plug-in does not read");
    }
    std::vector<int> roots;
    if (!model_.scenes.empty()) {
        size_t scene = model_.defaultScene >= 0 ? (size_t)model_.defaultScene : 0;
        if (scene >= model_.scenes.size())
            return fail(error, "the default scene does not exist");
        roots = model_.scenes[scene].nodes;
        if (model_.scenes.size() > 1)
            scene_note_skipped(tree_, counted(model_.scenes.size() - 1, "other scene"));
    } else { // no scene: every node that is nobody's child
        std::vector<bool> child(model_.nodes.size(), false);
        for (const tinygltf::Node &n : model_.nodes)
            for (int c : n.children)
                if (c >= 0 && (size_t)c < child.size())
                    child[(size_t)c] = true;
        for (size_t i = 0; i < child.size(); ++i)
            if (!child[i])
                roots.push_back((int)i);
    }
    for (int root : roots)
        if (!node(root, -1, false, 0, error))
            return false;
    notes();
    return true;
}

bool Importer::node(int index, int parent, bool mirrored, size_t depth, std::string *error)
{
    if (index < 0 || (size_t)index >= model_.nodes.size())
        return fail(error, "node " + std::to_string(index) + " does not exist");
    if (visited_[(size_t)index])
        return fail(error, "node " + std::to_string(index) + " is reached twice: the node graph has a cycle or a shared child");
    if (depth > kMaxDepth)
        return fail(error, "the node hierarchy is deeper than " + std::to_string(kMaxDepth));
    visited_[(size_t)index] = true;
    const tinygltf::Node &n = model_.nodes[(size_t)index];
    SceneLayer layer;
    layer.name = n.name;
    if (layer.name.empty() && n.mesh >= 0 && (size_t)n.mesh < model_.meshes.size())
        layer.name = model_.meshes[(size_t)n.mesh].name;
    if (layer.name.empty())
        layer.name = "Node" + std::to_string(index);
    bool mirrors = false;
    if (!motion(n, &layer, &mirrors, error))
        return false;
    mirrored = mirrored != mirrors;
    if (n.skin >= 0)
        scene_note_skipped(tree_, "skins");
    if (n.camera >= 0)
        scene_note_skipped(tree_, "cameras");
    if (n.extensions.count("KHR_lights_punctual"))
        scene_note_skipped(tree_, "lights");

    const int me = (int)tree_->layers.size();
    tree_->layers.push_back(layer);
    if (parent < 0)
        tree_->roots.push_back(me);
    else
        tree_->layers[(size_t)parent].children.push_back(me);
    if (n.mesh >= 0 && !mesh(n.mesh, mirrored, &layer, me, error))
        return false;
    // The engine's driver lights with normals scaled by the layer's world scale: a file's scaled
    // leaf node (quantised meshes carry their dequantising scale so) gets the scale in its vertices.
    // Files the plug-in wrote keep their motion as it was (the engine draws those alike).
    if (n.mesh >= 0 && n.children.empty() && !extras_of(n.extras))
        bake_scale(me);
    if (progress_ && !model_.nodes.empty())
        progress_((int)(++nodesDone_ * 100 / model_.nodes.size()));
    for (int child : n.children)
        if (!node(child, me, mirrored, depth + 1, error))
            return false;
    return true;
}

bool Importer::motion(const tinygltf::Node &n, SceneLayer *layer, bool *mirrors, std::string *error)
{
    if (n.matrix.size() == 16) {
        double m[16];
        for (int i = 0; i < 16; ++i) {
            m[i] = n.matrix[(size_t)i];
            if (!isfinite(m[i]))
                return fail(error, "node " + layer->name + " has a matrix that is not finite");
        }
        if (!frame_from_gltf_matrix(m, layer))
            return fail(error, "node " + layer->name + " has a matrix that is not a translation, rotation and scale");
    } else {
        double t[3] = {0, 0, 0}, r[4] = {0, 0, 0, 1}, s[3] = {1, 1, 1};
        if ((!n.translation.empty() && n.translation.size() != 3) || (!n.rotation.empty() && n.rotation.size() != 4) ||
            (!n.scale.empty() && n.scale.size() != 3))
            return fail(error, "node " + layer->name + " has a transform of the wrong size");
        for (size_t i = 0; i < n.translation.size(); ++i)
            t[i] = n.translation[i];
        for (size_t i = 0; i < n.rotation.size(); ++i)
            r[i] = n.rotation[i];
        for (size_t i = 0; i < n.scale.size(); ++i)
            s[i] = n.scale[i];
        for (double v : {t[0], t[1], t[2], r[0], r[1], r[2], r[3], s[0], s[1], s[2]})
            if (!isfinite(v))
                return fail(error, "node " + layer->name + " has a transform that is not finite");
        frame_from_gltf_trs(t, r, s, layer);
    }
    *mirrors = layer->scale[0] * layer->scale[1] * layer->scale[2] < 0;
    const tinygltf::Value *extras = extras_of(n.extras);
    adopt_motion(extras, layer);
    double on;
    if (extras_number(extras, GLTF_EXTRAS_ON, &on))
        layer->on = on != 0;
    if (extras && extras->Has(GLTF_EXTRAS_RANGE)) {
        const tinygltf::Value &r = extras->Get(GLTF_EXTRAS_RANGE);
        if (r.IsArray() && r.ArrayLen() == 2 && r.Get(0).IsNumber() && r.Get(1).IsNumber()) {
            layer->nearLimit = (float)r.Get(0).GetNumberAsDouble();
            layer->farLimit = (float)r.Get(1).GetNumberAsDouble();
        }
    }
    return true;
}

bool Importer::mesh(int index, bool mirrored, SceneLayer *layer, int layerIndex, std::string *error)
{
    if ((size_t)index >= model_.meshes.size())
        return fail(error, "mesh " + std::to_string(index) + " does not exist");
    const tinygltf::Mesh &m = model_.meshes[(size_t)index];
    std::vector<SceneLayer> pieces;
    for (const tinygltf::Primitive &p : m.primitives) {
        SceneMaterial mat;
        SceneStage stage;
        UvMapping uv;
        if (p.material >= 0 && !material(p.material, &mat, &stage, &uv, error))
            return false;
        const size_t first = pieces.size();
        if (!gltf_primitive(model_, p, mirrored, uv, tree_, &pieces, error))
            return false;
        double pointSize;
        for (size_t i = first; i < pieces.size(); ++i) {
            SceneLayer &piece = pieces[i];
            vertices_ += piece.vertices.size();
            if (vertices_ > kMaxVertices)
                return fail(error, "the file makes more than " + std::to_string(kMaxVertices) + " vertices");
            piece.hasMaterial = p.material >= 0;
            piece.material = mat;
            piece.stage = stage;
            if (piece.mode == 0)
                piece.mode = stage.image >= 0 ? kSceneModeTextured1 : kSceneModeSolid;
            else if (extras_number(extras_of(m.extras), GLTF_EXTRAS_POINT_SIZE, &pointSize))
                piece.pointSize = (float)pointSize;
        }
    }
    if (pieces.size() == 1) {
        SceneLayer &own = tree_->layers[(size_t)layerIndex];
        SceneLayer &piece = pieces[0];
        own.mode = piece.mode, own.pointSize = piece.pointSize, own.normalsGiven = piece.normalsGiven;
        own.material = piece.material, own.hasMaterial = piece.hasMaterial, own.stage = piece.stage;
        own.vertices.swap(piece.vertices);
        own.indices.swap(piece.indices);
        return true;
    }
    // Several pieces become child layers of the node, ahead of its own children.
    const std::string base = m.name.empty() ? layer->name : m.name;
    for (size_t i = 0; i < pieces.size(); ++i) {
        pieces[i].name = base + "." + std::to_string(i + 1);
        tree_->layers[(size_t)layerIndex].children.push_back((int)tree_->layers.size());
        tree_->layers.push_back(std::move(pieces[i]));
    }
    return true;
}

bool Importer::material(int index, SceneMaterial *m, SceneStage *stage, UvMapping *uv, std::string *error)
{
    if ((size_t)index >= model_.materials.size())
        return fail(error, "material " + std::to_string(index) + " does not exist");
    const tinygltf::Material &mat = model_.materials[(size_t)index];
    const tinygltf::PbrMetallicRoughness &pbr = mat.pbrMetallicRoughness;
    double rgb[3] = {1, 1, 1}, alpha = 1;
    if (pbr.baseColorFactor.size() == 4) {
        for (int i = 0; i < 3; ++i)
            rgb[i] = pbr.baseColorFactor[(size_t)i];
        alpha = pbr.baseColorFactor[3];
    }
    m->diffuse = m->ambient = frame_colour_from_linear(rgb);
    if (mat.emissiveFactor.size() == 3) {
        const double e[3] = {mat.emissiveFactor[0], mat.emissiveFactor[1], mat.emissiveFactor[2]};
        m->emissive = frame_colour_from_linear(e);
    }
    if (mat.doubleSided)
        m->attributes |= kSceneAttrBothSides;
    m->cutoff = (float)mat.alphaCutoff;
    if (mat.alphaMode == "BLEND") {
        m->alpha = SceneMaterial::ALPHA_BLEND;
        m->transparency = frame_transparency_from_alpha(alpha);
    } else if (mat.alphaMode == "MASK") {
        m->alpha = SceneMaterial::ALPHA_MASK;
        m->transparency = alpha < mat.alphaCutoff ? 255 : 0;
    }
    const tinygltf::Value *extras = extras_of(mat.extras);
    double v;
    if (extras_number(extras, GLTF_EXTRAS_SPECULAR, &v))
        m->specular = (uint32_t)v;
    if (extras_number(extras, GLTF_EXTRAS_DULLNESS, &v))
        m->dullness = (float)v;
    if (extras_number(extras, GLTF_EXTRAS_AMBIENT, &v))
        m->ambient = (uint32_t)v;
    if (extras_number(extras, GLTF_EXTRAS_ATTRIBUTES, &v))
        m->attributes = (uint16_t)(((uint32_t)v & ~(uint32_t)kSceneAttrBothSides) | m->attributes);
    if (extras_number(extras, GLTF_EXTRAS_BLEND, &v))
        stage->blend = (uint32_t)v;
    if (extras_number(extras, GLTF_EXTRAS_FILTER, &v))
        stage->filter = (uint32_t)v;

    const tinygltf::TextureInfo &base = pbr.baseColorTexture;
    if (base.index < 0)
        return true;
    uv->set = base.texCoord;
    auto transform = base.extensions.find("KHR_texture_transform");
    if (transform != base.extensions.end() && !texture_transform(transform->second, uv))
        return fail(error, "material " + std::to_string(index) + " has a texture transform that is not finite");
    const bool mask = m->alpha == SceneMaterial::ALPHA_MASK;
    if (mask)
        stage->option = 1;
    if (!image(base.index, mask ? IMAGE_ALPHA_CUT : IMAGE_ALPHA_DROP, m->alpha != SceneMaterial::ALPHA_BLEND, m->cutoff,
               &stage->image, error))
        return false;
    const tinygltf::Texture &t = model_.textures[(size_t)base.index];
    if (t.sampler < 0 || (size_t)t.sampler >= model_.samplers.size())
        return true;
    const tinygltf::Sampler &s = model_.samplers[(size_t)t.sampler];
    stage->addressing = s.wrapS == TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT ? SCENE_MIRROR
                        : s.wrapS == TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE  ? SCENE_CLAMP
                                                                           : SCENE_REPEAT;
    if (s.wrapT != s.wrapS)
        scene_note_skipped(tree_, "a second wrap mode across v");
    if (s.magFilter == TINYGLTF_TEXTURE_FILTER_NEAREST)
        stage->filter = kSceneFilterPoint;
    return true;
}

bool Importer::image(int textureIndex, ImageAlpha how, bool rewrite, float cutoff, int *result, std::string *error)
{
    *result = -1;
    if (textureIndex < 0 || (size_t)textureIndex >= model_.textures.size())
        return fail(error, "texture " + std::to_string(textureIndex) + " does not exist");
    const int source = model_.textures[(size_t)textureIndex].source;
    if (source < 0) {
        scene_note_skipped(tree_, "textures in formats other than PNG and JPEG");
        return true;
    }
    if ((size_t)source >= model_.images.size())
        return fail(error, "image " + std::to_string(source) + " does not exist");
    const tinygltf::Image &img = model_.images[(size_t)source];
    SceneImage out;
    out.name = img.name;
    bool embedded = true;
    if (img.bufferView >= 0) {
        if ((size_t)img.bufferView >= model_.bufferViews.size())
            return fail(error, "image " + std::to_string(source) + " names a buffer view that does not exist");
        const tinygltf::BufferView &bv = model_.bufferViews[(size_t)img.bufferView];
        if (bv.buffer < 0 || (size_t)bv.buffer >= model_.buffers.size())
            return fail(error, "image " + std::to_string(source) + " names a buffer that does not exist");
        const std::vector<unsigned char> &data = model_.buffers[(size_t)bv.buffer].data;
        uint64_t end;
        if (__builtin_add_overflow((uint64_t)bv.byteOffset, (uint64_t)bv.byteLength, &end) || end > data.size())
            return fail(error, "image " + std::to_string(source) + " lies past the end of its buffer");
        out.bytes.assign(data.begin() + (ptrdiff_t)bv.byteOffset, data.begin() + (ptrdiff_t)end);
    } else if (!img.image.empty()) {
        out.bytes = img.image;
    } else {
        embedded = false;
        const std::string name = gltf_uri_decode(img.uri);
        if (!gltf_uri_inside(name))
            return fail(error, "the file names " + name + ", which lies outside the model's folder");
        out.file = name;
        if (!readFile_(name, &out.bytes)) {
            scene_note_skipped(tree_, "missing texture files");
            return true;
        }
    }
    out.mimeType = image_mime(out.bytes.data(), out.bytes.size());
    bool alpha = false;
    if ((out.mimeType != "image/png" && out.mimeType != "image/jpeg") ||
        !image_check(out.bytes.data(), out.bytes.size(), &alpha)) {
        if (embedded)
            return fail(error, "image " + std::to_string(source) + " does not decode as PNG or JPEG");
        scene_note_skipped(tree_, "textures that do not decode as PNG or JPEG");
        return true;
    }
    rewrite = rewrite && (how == IMAGE_ALPHA_CUT || alpha);
    const std::pair<int, int> key(source, rewrite ? (int)how : -1);
    auto found = images_.find(key);
    if (found != images_.end()) {
        *result = found->second;
        return true;
    }
    if (rewrite) {
        std::vector<uint8_t> png;
        if (!image_rewrite_alpha(out.bytes.data(), out.bytes.size(), how, cutoff, &png))
            return fail(error, "image " + std::to_string(source) + " does not decode");
        if (png != out.bytes) {
            out.bytes.swap(png);
            out.mimeType = "image/png";
            out.file.clear();
        }
    }
    if (!out.file.empty())
        out.bytes.clear(); // the engine loads the file itself
    *result = images_[key] = (int)tree_->images.size();
    tree_->images.push_back(std::move(out));
    return true;
}

// A leaf node's scale into its geometry: its own vertices and those of the pieces of its mesh (its only
// child layers), which have no motion of their own.
void Importer::bake_scale(int index)
{
    float s[3];
    memcpy(s, tree_->layers[(size_t)index].scale, sizeof s);
    if ((s[0] == 1 && s[1] == 1 && s[2] == 1) || s[0] == 0 || s[1] == 0 || s[2] == 0)
        return;
    scale_vertices(&tree_->layers[(size_t)index], s);
    for (int piece : tree_->layers[(size_t)index].children)
        scale_vertices(&tree_->layers[(size_t)piece], s);
    float *own = tree_->layers[(size_t)index].scale;
    own[0] = own[1] = own[2] = 1;
}

void Importer::notes()
{
    if (!model_.animations.empty())
        scene_note_skipped(tree_, counted(model_.animations.size(), "animation"));
    for (const std::string &ext : model_.extensionsUsed)
        if (ext != "KHR_mesh_quantization" && ext != "KHR_texture_transform" && ext != "KHR_lights_punctual" &&
            ext.compare(0, 14, "KHR_materials_") != 0)
            scene_note_skipped(tree_, "the extension " + ext);
}

} // namespace

bool gltf_import(const uint8_t *bytes, size_t size, const ImportReadFile &readFile, const ImportProgress &progress,
                 SceneTree *tree, std::string *error)
{
    *tree = SceneTree();
    try {
        tinygltf::Model model;
        if (!gltf_load(bytes, size, readFile, &model, error))
            return false;
        Importer importer(model, readFile, progress, tree);
        if (importer.run(error))
            return true;
    } catch (const std::bad_alloc &) {
        *error = "the file needs more memory than there is";
    }
    *tree = SceneTree();
    return false;
}
