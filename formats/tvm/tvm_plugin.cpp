// The text model plug-in's entry point and its reader half on Windows: the format lists, the
// engine builder behind the portable reader, and the syntax error message.
#include "tvm_local.h"
#include "plugin/trvx_module.h"

#include <stdio.h>

#include <new>

// Read and write formats alike: the format's name, its extensions, an empty entry.
static const wchar_t kFormats[4][TRVX_FORMAT_ENTRY_CHARS] = {L"TVM", L".tvm", L".tvp", L""};

namespace {

// The reader's view of the engine: every layer is built through the engine's exports, except the
// few fields that the engine has no function for.
class EngineBuilder : public TvmBuilder {
public:
    explicit EngineBuilder(tagTRVX *ctx) : ctx_(ctx) {}

    void *create_layer(void *parent, const tvm_char *name) override
    {
        return TRVXL_CreateLayer(ctx_, layer(parent), tvm_wide(name));
    }
    void switch_layer(void *l, bool on) override { TRVXL_SwitchLayer(ctx_, layer(l), on ? 1 : 0); }
    void set_property(void *l, int property, uintptr_t value) override
    {
        TRVXL_EXT_RecallFunction(ctx_, layer(l), property, value, 0, 1);
    }
    void move_layer(void *l, const TvmVector *translate, const TvmVector *rotate, const TvmVector *scale,
                    int rotationOrder) override
    {
        TRVXL_MoveLayer(ctx_, layer(l), vector(translate), vector(rotate), vector(scale), 0, rotationOrder);
    }
    void set_range(void *l, float nearLimit, float farLimit) override
    {
        layer(l)->nearLimit = nearLimit;
        layer(l)->farLimit = farLimit;
    }
    void set_transform_order(void *l, int order) override
    {
        layer(l)->transformOrder = order;
        layer(l)->moved = 1;
    }
    int read_texture(const tvm_char *fileName, int option) override
    {
        return TRVX_ReadTexture(ctx_, tvm_wide(fileName), 0, 0, option);
    }
    void set_stage(void *l, int stage, const TvmStage *record) override
    {
        TRVXL_TextureLayer(ctx_, layer(l), stage, reinterpret_cast<const tagTRVXSTAGE *>(record));
    }
    void set_geometry(void *l, const TvmFace *faces, int faceCount, const TvmVertex *vertices, int vertexCount,
                      uint32_t mode) override
    {
        TRVXLAYER target = layer(l);
        if (faceCount > 0)
            TRVXL_SetFace(ctx_, target, faceCount, reinterpret_cast<const tagTRVXFACE *>(faces));
        TRVXL_SetVertex(ctx_, target, vertexCount, reinterpret_cast<const tagTRVXVERTEX *>(vertices));
        if (target->childCount == 0) {
            TRVXL_ModeLayer(ctx_, target, mode);
            return;
        }
        // The children were read before their parent's body ended and carry modes of their own,
        // which TRVXL_ModeLayer would overwrite: the mode goes to this layer alone.
        target->mode = mode;
        if (mode & TRVX_MODE_BUFFERED)
            TRVXL_EXT_RecallFunction(ctx_, target, 201, 0, 0, 0);
    }
    void progress(int percent) override { TRVX_SetGage(ctx_, (DWORD)percent); }

private:
    static TRVXLAYER layer(void *l) { return static_cast<TRVXLAYER>(l); }
    static const TRVXVECTOR *vector(const TvmVector *v) { return reinterpret_cast<const TRVXVECTOR *>(v); }

    tagTRVX *ctx_;
};

const tvm_char *engine_real(float *out, const tvm_char *text)
{
    return tvm_text(TRVX_StringToReal(out, tvm_wide(text)));
}

} // namespace

DWORD_PTR tvm_read_file(tagTRVX *ctx, TRVXLAYER parent, const wchar_t *fileName)
{
    if (!ctx || !fileName)
        return 0;
    int size = 0;
    char *bytes = static_cast<char *>(TRVX_ReadFile(ctx, fileName, &size, 1));
    if (!bytes)
        return 0;
    wchar_t *wide = TRVX_ChangeToUnicode(ctx, bytes);
    TRVX_FreeMemory(ctx, bytes);
    if (!wide)
        return 0;
    tvm_char *text = reinterpret_cast<tvm_char *>(wide);
    TvmSyntax syntax;
    void *result = nullptr;
    if (!tvm_syntax_pass(text, &syntax)) {
        wchar_t message[64];
        swprintf(message, 64, L"File Syntax Error. (line%d)", syntax.line);
        MessageBoxW(ctx->window, message, fileName, MB_OK | MB_ICONWARNING);
    } else {
        try {
            EngineBuilder builder(ctx);
            result = tvm_read_text(&builder, parent, text, syntax.length, syntax.braces, engine_real);
        } catch (const std::bad_alloc &) {
            result = nullptr;
        }
    }
    TRVX_FreeMemory(ctx, wide);
    return reinterpret_cast<DWORD_PTR>(result);
}

// The plug-in's only export, bound by the engine under its decorated name.
extern "C" DWORD_PTR WINAPI tvm_interface(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3,
                                          DWORD_PTR p4)
{
    switch (command) {
    case TRVXCMD_READ_FORMATS:
    case TRVXCMD_WRITE_FORMATS:
        return reinterpret_cast<DWORD_PTR>(&kFormats[0][0]);
    case TRVXCMD_READ_FILE:
        return tvm_read_file(ctx, reinterpret_cast<TRVXLAYER>(p1), reinterpret_cast<const wchar_t *>(p2));
    case TRVXCMD_WRITE_FILE:
        return tvm_write_file(ctx, reinterpret_cast<TRVXLAYER>(p1), reinterpret_cast<const wchar_t *>(p2));
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
