// The glTF plug-in's writer half: a layer and its subtree read from the engine's records into the
// neutral tree, with the texture files of stage 0, and written as .gltf (+ .bin and images) or .glb.
#include "gltf_local_win32.h"

#include "gltf_export.h"

#include <string.h>

#include <map>
#include <new>
#include <vector>

namespace {

const int kPropertyTransparency = 23;
const int kPropertyPointSize = 41;

bool read_engine_file(tagTRVX *ctx, const std::wstring &path, std::vector<uint8_t> *bytes)
{
    int size = 0;
    uint8_t *data = static_cast<uint8_t *>(TRVX_ReadFile(ctx, path.c_str(), &size, 1));
    if (!data)
        return false;
    bytes->assign(data, data + size);
    TRVX_FreeMemory(ctx, data);
    return true;
}

class Reader {
public:
    Reader(tagTRVX *ctx, SceneTree *tree) : ctx_(ctx), tree_(tree) {}
    int layer(TRVXLAYER l);

private:
    int image(int slot);

    tagTRVX *ctx_;
    SceneTree *tree_;
    std::map<int, int> images_; // texture slot -> tree image
};

int Reader::image(int slot)
{
    auto found = images_.find(slot);
    if (found != images_.end())
        return found->second;
    const tagTRVXTEXTURE *t = reinterpret_cast<const tagTRVXTEXTURE *>(TRVX_GetInformation(ctx_, 1000 + slot));
    int index = -1;
    if (t) {
        SceneImage img;
        const std::wstring stem = std::wstring(t->folder) + t->name;
        img.name = gltf_utf8((std::wstring(t->name) + t->extension).c_str());
        img.colourKey = t->options != 0;
        if (read_engine_file(ctx_, stem + t->extension, &img.bytes)) {
            if (!img.colourKey && _wcsicmp(t->extension, L".bmp") == 0)
                read_engine_file(ctx_, stem + L"_alpha" + t->extension, &img.mask);
            index = (int)tree_->images.size();
            tree_->images.push_back(std::move(img));
        }
    }
    images_[slot] = index;
    return index;
}

int Reader::layer(TRVXLAYER l)
{
    SceneLayer s;
    s.name = gltf_utf8(l->name);
    s.on = (l->switchFlags & TRVX_SWITCH_ON) != 0;
    const TRVXVECTOR *motion[3] = {&l->translate, &l->rotate, &l->scale};
    float *out[3] = {s.translate, s.rotate, s.scale};
    for (int k = 0; k < 3; ++k)
        out[k][0] = motion[k]->x, out[k][1] = motion[k]->y, out[k][2] = motion[k]->z;
    s.transformOrder = l->transformOrder;
    s.rotationOrder = l->rotationOrder ? l->rotationOrder : kSceneOrderDefault;
    s.nearLimit = l->nearLimit;
    s.farLimit = l->farLimit;
    s.hasMaterial = true;
    s.material.diffuse = l->diffuse;
    s.material.specular = l->specular;
    s.material.dullness = l->dullness;
    s.material.ambient = l->ambient;
    s.material.emissive = l->emissive;
    s.material.transparency = (uint32_t)TRVXL_EXT_Function(ctx_, l, kPropertyTransparency, 0, 0);
    s.material.attributes = l->attributes;
    if (l->vertexCount > 0 && l->mode != 0) {
        s.mode = l->mode;
        if (l->mode == TRVX_MODE_LINES) {
            const float *size = reinterpret_cast<const float *>(TRVXL_EXT_Function(ctx_, l, kPropertyPointSize, 0, 0));
            s.pointSize = size ? *size : 0.0f;
        }
        const tagTRVXSTAGE &stage = l->stages[0];
        if (stage.blend != 0 && stage.texture > 0) {
            s.stage.image = image(stage.texture);
            s.stage.blend = stage.blend;
            s.stage.addressing = stage.addressing;
            s.stage.filter = stage.filter;
            const tagTRVXTEXTURE *t = reinterpret_cast<const tagTRVXTEXTURE *>(TRVX_GetInformation(ctx_, 1000 + stage.texture));
            s.stage.option = t && t->options ? 1 : 0;
        }
        s.vertices.resize((size_t)l->vertexCount);
        for (int i = 0; i < l->vertexCount; ++i) {
            memcpy(&s.vertices[(size_t)i], &l->vertices[i], sizeof(SceneVertex));
        }
        s.indices.resize((size_t)l->faceCount * 3);
        if (l->faceCount > 0)
            memcpy(s.indices.data(), l->faces, s.indices.size() * sizeof(uint16_t));
    }
    const int me = (int)tree_->layers.size();
    tree_->layers.push_back(std::move(s));
    for (int i = 0; i < l->childCount; ++i) {
        const int child = layer(l->children[i]);
        tree_->layers[(size_t)me].children.push_back(child);
    }
    return me;
}

} // namespace

DWORD_PTR gltf_write_file(tagTRVX *ctx, TRVXLAYER layer, const wchar_t *fileName)
{
    gltf_set_message(std::wstring());
    if (!ctx || !layer || !fileName)
        return 0;
    const wchar_t *dot = wcsrchr(fileName, L'.');
    const bool binary = dot && _wcsicmp(dot, L".glb") == 0;
    try {
        SceneTree tree;
        Reader reader(ctx, &tree);
        tree.roots.push_back(reader.layer(layer));
        TRVX_SetGage(ctx, 50);
        std::vector<ExportFile> files;
        std::vector<std::string> skipped;
        std::string error;
        if (!gltf_export(tree, gltf_utf8(fileName), binary, &files, &skipped, &error)) {
            gltf_set_message(std::wstring(fileName) + L": " + gltf_wide(error) + L".");
            return 0;
        }
        for (size_t i = 0; i < files.size(); ++i) {
            const ExportFile &f = files[i];
            if (!TRVX_WriteFile(ctx, gltf_wide(f.name).c_str(), f.bytes.data(), (int)f.bytes.size())) {
                gltf_set_message(gltf_wide(f.name) + L": the file cannot be written.");
                return 0;
            }
            TRVX_SetGage(ctx, (DWORD)(50 + (i + 1) * 50 / files.size()));
        }
        if (!skipped.empty()) {
            std::wstring text = L"Textures that could not be written:";
            for (const std::string &name : skipped)
                text += L" " + gltf_wide(name);
            gltf_set_message(text + L".");
        }
    } catch (const std::bad_alloc &) {
        gltf_set_message(std::wstring(fileName) + L": not enough memory to write the file.");
        return 0;
    }
    return 1;
}
