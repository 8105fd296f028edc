// The glTF plug-in's entry point and its reader half on Windows: the format lists, the file read
// through the engine, the checked tree built into layers through the engine's exports, and the
// message a program asks for afterwards. The plug-in shows no message boxes: a program started
// for a script must never wait for a click.
#include "gltf_local_win32.h"

#include "gltf_image.h"
#include "gltf_import.h"
#include "gltf_plugin.h"
#include "plugin/trvx_module.h"

#include <string.h>

#include <new>
#include <vector>

// Read and write formats alike: the format's name, its extensions, an empty entry.
static const wchar_t kFormats[4][TRVX_FORMAT_ENTRY_CHARS] = {L"GLTF", L".gltf", L".glb", L""};

namespace {

const int kReadShare = 50;          // percent of the gauge for parsing and checking; the rest is building
const wchar_t kCacheFolder[] = L"trvx_gltf\\";
const int kTextureOptionAlphaTest = 1; // the driver tests the alpha of textures loaded so

bool read_beside(tagTRVX *ctx, const std::string &name, std::vector<uint8_t> *bytes)
{
    std::wstring path = gltf_wide(name);
    for (wchar_t &c : path)
        if (c == L'/')
            c = L'\\';
    int size = 0;
    uint8_t *data = static_cast<uint8_t *>(TRVX_ReadFile(ctx, path.c_str(), &size, 1));
    if (!data)
        return false;
    bytes->assign(data, data + size);
    TRVX_FreeMemory(ctx, data);
    return true;
}

// An embedded image as a file the driver can load, named by its bytes in the user's temporary
// folder: the engine loads textures again from their files after a device reset, so the file stays.
std::wstring cache_image(tagTRVX *ctx, const SceneImage &image)
{
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH)
        return std::wstring();
    std::wstring folder = std::wstring(temp) + kCacheFolder;
    CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t name[32];
    const unsigned long long hash = image_hash(image.bytes.data(), image.bytes.size());
    swprintf(name, 32, L"%016llx%ls", hash, image.mimeType == "image/png" ? L".png" : L".jpg");
    const std::wstring path = folder + name;
    int size = 0;
    TRVX_ReadFile(ctx, path.c_str(), &size, 0);
    if ((size_t)size != image.bytes.size() &&
        !TRVX_WriteFile(ctx, path.c_str(), image.bytes.data(), (int)image.bytes.size()))
        return std::wstring();
    return path;
}

class Builder {
public:
    Builder(tagTRVX *ctx, const SceneTree &tree) : ctx_(ctx), tree_(tree), slots_(tree.images.size(), -1) {}
    TRVXLAYER layer(int index, TRVXLAYER parent);

private:
    int texture(int image, int option);
    void geometry(TRVXLAYER target, const SceneLayer &l);

    tagTRVX *ctx_;
    const SceneTree &tree_;
    std::vector<int> slots_; // texture slot per image, -1 not loaded yet, 0 failed
    size_t built_ = 0;
};

int Builder::texture(int image, int option)
{
    int &slot = slots_[(size_t)image];
    if (slot >= 0)
        return slot;
    const SceneImage &img = tree_.images[(size_t)image];
    std::wstring path;
    if (!img.file.empty()) {
        path = gltf_wide(img.file);
        for (wchar_t &c : path)
            if (c == L'/')
                c = L'\\';
    } else {
        path = cache_image(ctx_, img);
    }
    slot = path.empty() ? 0 : TRVX_ReadTexture(ctx_, path.c_str(), 0, 0, option ? kTextureOptionAlphaTest : 0);
    return slot;
}

void Builder::geometry(TRVXLAYER target, const SceneLayer &l)
{
    if (!l.indices.empty())
        TRVXL_SetFace(ctx_, target, (int)(l.indices.size() / 3), reinterpret_cast<const tagTRVXFACE *>(l.indices.data()));
    TRVXL_SetVertex(ctx_, target, (int)l.vertices.size(), reinterpret_cast<const tagTRVXVERTEX *>(l.vertices.data()));
    uint32_t mode = l.mode;
    if (l.mode == kSceneModeLines) {
        float size = l.pointSize;
        TRVXL_EXT_RecallFunction(ctx_, target, 41, reinterpret_cast<DWORD_PTR>(&size), 0, 0);
    }
    if (l.stage.image >= 0) {
        tagTRVXSTAGE stage = {};
        stage.blend = l.stage.blend;
        const int slot = texture(l.stage.image, l.stage.option);
        if (slot > 0) {
            stage.owner = target;
            stage.texture = slot;
            stage.addressing = l.stage.addressing;
            stage.filter = l.stage.filter;
            TRVXL_TextureLayer(ctx_, target, 0, &stage);
        } else if (mode == kSceneModeTextured1) {
            mode = kSceneModeSolid;
        }
    }
    // Before the children exist: the engine sets a mode on a layer and all below it.
    TRVXL_ModeLayer(ctx_, target, mode);
}

TRVXLAYER Builder::layer(int index, TRVXLAYER parent)
{
    const SceneLayer &l = tree_.layers[(size_t)index];
    TRVXLAYER target = TRVXL_CreateLayer(ctx_, parent, gltf_wide(l.name).c_str());
    if (!target)
        return nullptr;
    TRVXVECTOR t = {l.translate[0], l.translate[1], l.translate[2], 0};
    TRVXVECTOR r = {l.rotate[0], l.rotate[1], l.rotate[2], 0};
    TRVXVECTOR s = {l.scale[0], l.scale[1], l.scale[2], 0};
    TRVXL_MoveLayer(ctx_, target, &t, &r, &s, l.transformOrder, l.rotationOrder);
    if (!l.on)
        TRVXL_SwitchLayer(ctx_, target, 0);
    // The engine has no function for the range: it is written into the record, as text models do.
    target->nearLimit = l.nearLimit;
    target->farLimit = l.farLimit;
    if (l.hasMaterial) {
        const SceneMaterial &m = l.material;
        struct {
            uint32_t diffuse, specular;
            float dullness;
            uint32_t ambient, emissive;
        } words = {m.diffuse, m.specular, m.dullness, m.ambient, m.emissive};
        static_assert(sizeof words == 20, "the engine's five material words");
        TRVXL_EXT_RecallFunction(ctx_, target, 43, reinterpret_cast<DWORD_PTR>(&words), 0, 0);
        if (m.transparency)
            TRVXL_EXT_RecallFunction(ctx_, target, 23, m.transparency, 0, 0);
        static const struct { uint16_t bit; int property; } kAttributes[] = {
            {TRVX_ATTR_BOTH_SIDES, 21}, {TRVX_ATTR_NO_FOG, 22}, {TRVX_ATTR_NO_ZWRITE, 24},
            {TRVX_ATTR_WIREFRAME, 25},  {TRVX_ATTR_OVERLAY, 26}};
        for (const auto &a : kAttributes)
            if (m.attributes & a.bit)
                TRVXL_EXT_RecallFunction(ctx_, target, a.property, 1, 0, 0);
    }
    if (l.mode != 0 && !l.vertices.empty())
        geometry(target, l);
    TRVX_SetGage(ctx_, (DWORD)(kReadShare + ++built_ * (100 - kReadShare) / tree_.layers.size()));
    for (int child : l.children)
        layer(child, target);
    return target;
}

} // namespace

DWORD_PTR gltf_read_file(tagTRVX *ctx, TRVXLAYER parent, const wchar_t *fileName)
{
    gltf_set_message(std::wstring());
    if (!ctx || !fileName)
        return 0;
    int size = 0;
    uint8_t *bytes = static_cast<uint8_t *>(TRVX_ReadFile(ctx, fileName, &size, 1));
    if (!bytes) {
        gltf_set_message(std::wstring(fileName) + L": the file cannot be read.");
        return 0;
    }
    TRVXLAYER top = nullptr;
    try {
        SceneTree tree;
        std::string error;
        const ImportReadFile readFile = [ctx](const std::string &name, std::vector<uint8_t> *out) {
            return read_beside(ctx, name, out);
        };
        const ImportProgress progress = [ctx](int percent) { TRVX_SetGage(ctx, (DWORD)(percent * kReadShare / 100)); };
        const bool ok = gltf_import(bytes, (size_t)size, readFile, progress, &tree, &error);
        TRVX_FreeMemory(ctx, bytes);
        bytes = nullptr;
        if (!ok) {
            gltf_set_message(std::wstring(fileName) + L": " + gltf_wide(error) + L".");
            return 0;
        }
        if (tree.roots.empty()) {
            gltf_set_message(std::wstring(fileName) + L": the file's scene holds nothing to show.");
            return 0;
        }
        Builder builder(ctx, tree);
        for (int root : tree.roots)
            top = builder.layer(root, parent);
        gltf_set_message(gltf_wide(scene_skipped_text(tree)));
    } catch (const std::bad_alloc &) {
        TRVX_FreeMemory(ctx, bytes);
        gltf_set_message(std::wstring(fileName) + L": not enough memory to read the file.");
        return 0;
    }
    return reinterpret_cast<DWORD_PTR>(top);
}

// The plug-in's only export, bound by the engine under its decorated name.
extern "C" DWORD_PTR WINAPI gltf_interface(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3,
                                           DWORD_PTR p4)
{
    switch (command) {
    case TRVXCMD_READ_FORMATS:
    case TRVXCMD_WRITE_FORMATS:
        return reinterpret_cast<DWORD_PTR>(&kFormats[0][0]);
    case TRVXCMD_READ_FILE:
        return gltf_read_file(ctx, reinterpret_cast<TRVXLAYER>(p1), reinterpret_cast<const wchar_t *>(p2));
    case TRVXCMD_WRITE_FILE:
        return gltf_write_file(ctx, reinterpret_cast<TRVXLAYER>(p1), reinterpret_cast<const wchar_t *>(p2));
    case TRVXCMD_FORMAT_MESSAGE: {
        const std::wstring &message = gltf_message();
        wchar_t *out = reinterpret_cast<wchar_t *>(p1);
        if (!out || p2 == 0)
            return message.size();
        const size_t n = message.size() < p2 - 1 ? message.size() : (size_t)p2 - 1;
        wmemcpy(out, message.data(), n);
        out[n] = 0;
        return message.size();
    }
    default:
        return 0;
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    else if (reason == DLL_PROCESS_DETACH)
        trvx_module_detach(reserved);
    return TRUE;
}
