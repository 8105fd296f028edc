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

// A string of the file's bytes in UTF-16, as TRVX_ChangeToUnicode converts the whole file.
size_t widen_ansi(tvm_char *out, const char *bytes, size_t count)
{
    return (size_t)MultiByteToWideChar(CP_ACP, 0, bytes, (int)count, reinterpret_cast<wchar_t *>(out), (int)count);
}

// True when the lexer may read the file's bytes directly. In a single-byte code page and in UTF-8 no
// byte of the format's ASCII syntax is ever part of another character, so strings converted one by
// one come out as the whole file's conversion would give them. In a double-byte code page the
// second byte of a character may be '[', ']', '{' or '}': such files are widened first.
bool bytes_lexable(const char *bytes, int size)
{
    CPINFO info;
    if (GetACP() == CP_UTF8 || (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1))
        return true;
    return tvm_is_ascii(bytes, (size_t)size);
}

// The file's bytes are checked as they stand; widened text is compacted by the syntax pass.
bool check_syntax(char *text, size_t length, TvmSyntax *syntax) { return tvm_check_syntax(text, length, syntax); }
bool check_syntax(tvm_char *text, size_t, TvmSyntax *syntax) { return tvm_syntax_pass(text, syntax); }

void *read_records(TvmBuilder *builder, void *parent, const char *text, const TvmSyntax &syntax)
{
    return tvm_read_text(builder, parent, text, syntax.length, syntax.braces, widen_ansi);
}

void *read_records(TvmBuilder *builder, void *parent, const tvm_char *text, const TvmSyntax &syntax)
{
    return tvm_read_text(builder, parent, text, syntax.length, syntax.braces);
}

// The syntax check and the records of the file's text (`length` characters and a 0); a syntax
// error is reported in a warning box that names its line.
template <class Char>
void *read_text(tagTRVX *ctx, TRVXLAYER parent, const wchar_t *fileName, Char *text, size_t length)
{
    TvmSyntax syntax;
    if (!check_syntax(text, length, &syntax)) {
        wchar_t message[64];
        swprintf(message, 64, L"File Syntax Error. (line%d)", syntax.line);
        MessageBoxW(ctx->window, message, fileName, MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    try {
        EngineBuilder builder(ctx);
        return read_records(&builder, parent, text, syntax);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
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
    void *result = nullptr;
    if (bytes_lexable(bytes, size)) {
        result = read_text(ctx, parent, fileName, bytes, (size_t)size);
    } else {
        wchar_t *wide = TRVX_ChangeToUnicode(ctx, bytes);
        if (wide)
            result = read_text(ctx, parent, fileName, reinterpret_cast<tvm_char *>(wide), wcslen(wide));
        TRVX_FreeMemory(ctx, wide);
    }
    TRVX_FreeMemory(ctx, bytes);
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
