// Engine context and lifecycle: TRVX_Start builds a context on its own private heap, loads the
// graphics driver and the format plug-ins that lie beside the engine, and opens view port 0;
// TRVX_End takes it all down again in the reverse order.
#include "layer_local.h"
#include "render_local.h"
#include "trvx_profile_win32.h"

#include <string.h>
#include <wchar.h>

namespace {

const SIZE_T kInitialHeapSize = 0x10000;
const int kInitialTextureSlots = 10;

// Loads a listed plug-in and binds its entry point; a library without the entry is unloaded again.
bool load_plugin(tagTRVXFILE *plugin)
{
    wchar_t path[MAX_PATH];
    if (wcslen(plugin->folder) + wcslen(plugin->name) + wcslen(plugin->extension) >= MAX_PATH)
        return false;
    wcscpy(path, plugin->folder);
    wcscat(path, plugin->name);
    wcscat(path, plugin->extension);
    HMODULE module = LoadLibraryW(path);
    if (!module)
        return false;
    TRVXINTERFACE_PROC entry = (TRVXINTERFACE_PROC)(void *)GetProcAddress(module, TRVXINTERFACE_EXPORT_NAME);
    if (!entry) {
        FreeLibrary(module);
        return false;
    }
    plugin->module = module;
    plugin->entry = entry;
    return true;
}

void unload_plugins(tagTRVX *ctx, tagTRVXFILE *&table, int32_t &count)
{
    for (int i = 0; i < count; ++i)
        if (table[i].module)
            FreeLibrary(table[i].module);
    TRVX_FreeMemory(ctx, table);
    table = nullptr;
    count = 0;
}

void read_settings(tagTRVX *ctx, DWORD flags)
{
    swprintf(ctx->iniPath, ARRAYSIZE(ctx->iniPath), L"%ls\\trvx.ini", ctx->folder);
    tagTRVXSYSINFO &info = ctx->systemInfo;
    info.card = GetPrivateProfileIntW(L"VIDEO", L"card", 0, ctx->iniPath);
    info.graphics.antialias = (int32_t)GetPrivateProfileIntW(L"VIDEO", L"antialias", 1, ctx->iniPath);
    info.graphics.anisotropy = (int32_t)GetPrivateProfileIntW(L"VIDEO", L"anisotropy", 1, ctx->iniPath);
    if ((flags >> 8) & 0xFF)
        info.graphics.antialias = (int32_t)((flags >> 8) & 0xFF);
    if ((flags >> 16) & 0xFF)
        info.graphics.anisotropy = (int32_t)((flags >> 16) & 0xFF);
}

void load_format_plugins(tagTRVX *ctx)
{
    int count = 0;
    ctx->formats = TRVX_SearchFile(ctx, ctx->folder, L"trvx_*", L".dll", &count);
    ctx->formatCount = count;
    for (int i = 0; i < count; ++i) {
        tagTRVXFILE *plugin = &ctx->formats[i];
        if (!load_plugin(plugin))
            continue;
        plugin->readFormats = (const wchar_t *)plugin->entry(TRVXCMD_READ_FORMATS, ctx, 0, 0, 0, 0);
        plugin->writeFormats = (const wchar_t *)plugin->entry(TRVXCMD_WRITE_FORMATS, ctx, 0, 0, 0, 0);
    }
}

// Everything a failed start made: the driver is told to end when it had started.
TRVXCONTEXT fail_start(tagTRVX *ctx, bool driverStarted)
{
    if (driverStarted)
        driver_command(ctx, TRVXCMD_DRIVER_END);
    unload_plugins(ctx, ctx->drivers, ctx->driverCount);
    HANDLE heap = ctx->heap;
    HeapFree(heap, 0, ctx);
    HeapDestroy(heap);
    return nullptr;
}

} // namespace

HMODULE engine_module()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)&engine_module, &module);
    return module;
}

DWORD_PTR driver_command(tagTRVX *ctx, int command, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4)
{
    if (!ctx->drivers || ctx->driverIndex >= ctx->driverCount)
        return 0;
    TRVXINTERFACE_PROC entry = ctx->drivers[ctx->driverIndex].entry;
    return entry ? entry(command, ctx, p1, p2, p3, p4) : 0;
}

bool copy_text(wchar_t *dst, size_t capacity, const wchar_t *text)
{
    size_t length = wcslen(text);
    bool fits = length < capacity;
    if (!fits)
        length = capacity - 1;
    wmemcpy(dst, text, length);
    dst[length] = 0;
    return fits;
}

void reset_frame_average(tagTRVX *ctx)
{
    TRVX_SampleCounter(ctx, -1);
}

// The new context, or null: no driver beside the engine, or the driver refused to start or to
// open view port 0.
TRVXCONTEXT WINAPI TRVX_Start(HWND window, const RECT *view, DWORD flags)
{
    trvx_profile_mark("engine.begin");
    HANDLE heap = HeapCreate(0, kInitialHeapSize, 0);
    if (!heap)
        return nullptr;
    tagTRVX *ctx = (tagTRVX *)HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(tagTRVX));
    if (!ctx) {
        HeapDestroy(heap);
        return nullptr;
    }
    ctx->heap = heap;
    ctx->windowed = flags & 0xFF;
    reset_frame_average(ctx);
    ctx->version = 1000;
    ctx->window = window;

    wchar_t modulePath[MAX_PATH];
    DWORD length = GetModuleFileNameW(engine_module(), modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !TRVX_ChangePathName(ctx, modulePath, ctx->folder, nullptr, nullptr))
        return fail_start(ctx, false);
    SetCurrentDirectoryW(ctx->folder);

    int driverCount = 0;
    ctx->drivers = TRVX_SearchFile(ctx, ctx->folder, L"vdr_*", L".dll", &driverCount);
    ctx->driverCount = driverCount;
    ctx->driverIndex = 0;
    if (driverCount == 0 || !load_plugin(&ctx->drivers[0]))
        return fail_start(ctx, false);
    trvx_profile_mark("engine.driver_loaded");

    read_settings(ctx, flags);
    if (!driver_command(ctx, TRVXCMD_DRIVER_START, ctx->windowed))
        return fail_start(ctx, false);

    trvx_profile_mark("engine.driver_started");
    ctx->viewPortCount = 1;
    system_info_fill(ctx);
    trvx_profile_mark("engine.system_info");

    ctx->viewPorts = (tagTRVXVIEWPORT *)TRVX_AllocMemory(ctx, sizeof(tagTRVXVIEWPORT));
    ctx->windowed = flags & 0xFF;
    if (!ctx->viewPorts || !driver_command(ctx, TRVXCMD_VIEWPORT_OPEN, 0, (DWORD_PTR)view, ctx->windowed)) {
        TRVX_FreeMemory(ctx, ctx->viewPorts);
        ctx->viewPorts = nullptr;
        ctx->viewPortCount = 0;
        return fail_start(ctx, true);
    }
    driver_command(ctx, TRVXCMD_VIEWPORT_CLEAR, 0, 0);
    driver_command(ctx, TRVXCMD_VIEWPORT_FLIP, 0);
    driver_command(ctx, TRVXCMD_VIEWPORT_CLEAR, 0, 0);
    trvx_profile_mark("engine.view_port");

    ctx->rootLayer = TRVXL_CreateLayer(ctx, nullptr, L"MasterLayer");
    load_format_plugins(ctx);
    trvx_profile_mark("engine.format_plugins");

    ctx->textures = (tagTRVXTEXTURE *)TRVX_AllocMemory(ctx, kInitialTextureSlots * sizeof(tagTRVXTEXTURE));
    ctx->textureCount = ctx->textures ? kInitialTextureSlots : 0;
    TRVX_CreateFont(ctx, 0, 0, 700, 0, 0, 16, L"Times New Roman");
    TRVX_CreateFont(ctx, 0, 0, 700, 0, 0, 32, L"MS Sans Serif");
    TRVX_CreateFont(ctx, 0, 0, 400, 0, 0, 48, L"Courier New");

    memcpy(ctx->rotationOrders, kRotationOrders, sizeof ctx->rotationOrders);
    memcpy(ctx->transformOrders, kTransformOrders, sizeof ctx->transformOrders);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ctx->counterFrequency = frequency.QuadPart;
    draw_lists_create(ctx);
    trvx_profile_mark("engine.started");
    return ctx;
}

// Nonzero when the context's heap could be destroyed; the context is gone either way.
BOOL WINAPI TRVX_End(TRVXCONTEXT ctx)
{
    if (!ctx)
        return FALSE;
    services_end(ctx);
    draw_lists_free(ctx);

    for (int i = ctx->viewPortCount - 1; i >= 0; --i)
        TRVX_ViewPort(ctx, i, nullptr);
    TRVX_FreeMemory(ctx, ctx->viewPorts);
    ctx->viewPorts = nullptr;
    ctx->viewPortCount = 0;

    top_layers_free(ctx);
    ctx->rootLayer = nullptr;
    reset_frame_average(ctx);
    unload_plugins(ctx, ctx->formats, ctx->formatCount);

    for (int i = 0; i < ctx->textureCount; ++i)
        if (ctx->textures[i].useCount > 0)
            driver_command(ctx, TRVXCMD_TEXTURE_RELEASE, i, 0);
    TRVX_FreeMemory(ctx, ctx->textures);
    ctx->textures = nullptr;
    ctx->textureCount = 0;

    for (int i = 0; i < ctx->fontCount; ++i) {
        if (ctx->fonts[i].faceName[0]) {
            driver_command(ctx, TRVXCMD_FONT_DELETE, (DWORD_PTR)&ctx->fonts[i]);
            memset(&ctx->fonts[i], 0, sizeof ctx->fonts[i]);
        }
    }
    TRVX_FreeMemory(ctx, ctx->fonts);
    ctx->fonts = nullptr;
    ctx->fontCount = 0;

    driver_command(ctx, TRVXCMD_DRIVER_END);
    unload_plugins(ctx, ctx->drivers, ctx->driverCount);

    HANDLE heap = ctx->heap;
    HeapFree(heap, 0, ctx);
    return HeapDestroy(heap);
}

// Returns 0 after dispatching every message waiting in the calling thread's queue.
int WINAPI TRVX_SystemTask(TRVXCONTEXT ctx)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// The message box result.
int WINAPI TRVX_Error(TRVXCONTEXT ctx, const wchar_t *text)
{
    return MessageBoxW(ctx ? ctx->window : nullptr, text ? text : L"", L"Tarvex3D", MB_OK | MB_ICONWARNING);
}
