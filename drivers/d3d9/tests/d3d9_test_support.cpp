// Test bench of the Direct3D 9 driver (see d3d9_test_support.h).
#include "d3d9_test_support.h"

#include <math.h>
#include <string.h>

namespace d3d9test {

static LRESULT CALLBACK window_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

HWND make_window(int width, int height)
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = window_proc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = L"D3D9TEST";
        atom = RegisterClassW(&wc);
    }
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND w = CreateWindowW(L"D3D9TEST", L"vdr_d3d9 test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, r.right - r.left,
                           r.bottom - r.top, NULL, NULL, GetModuleHandleW(NULL), NULL);
    SetForegroundWindow(w);
    pump_messages(50);
    return w;
}

void pump_messages(int milliseconds)
{
    DWORD end = GetTickCount() + (DWORD)milliseconds;
    do {
        MSG m;
        while (PeekMessageW(&m, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (milliseconds)
            Sleep(5);
    } while ((int)(end - GetTickCount()) > 0);
}

TRVXINTERFACE_PROC driver_entry()
{
    static HMODULE module = LoadLibraryW(L"vdr_d3d9.dll");
    return module ? (TRVXINTERFACE_PROC)(void *)GetProcAddress(module, TRVXINTERFACE_EXPORT_NAME) : 0;
}

static const wchar_t kRotationOrders[16][4] = {L"ZXY", L"ZYX", L"YXZ", L"YZX", L"XYZ", L"XZY", L"ZX", L"ZY",
                                               L"YX",  L"YZ",  L"XY",  L"XZ",  L"Z",   L"Y",   L"X",  L""};
static const wchar_t kTransformOrders[16][4] = {L"SRT", L"STR", L"RST", L"RTS", L"TSR", L"TRS", L"SR", L"ST",
                                                L"RS",  L"RT",  L"TS",  L"TR",  L"S",   L"R",   L"T",  L""};

bool Bench::start(int w, int h)
{
    call = driver_entry();
    if (!call)
        return false;
    width = w;
    height = h;
    window = make_window(w, h);
    ctx = (tagTRVX *)calloc(1, sizeof(tagTRVX));
    ctx->version = 1000;
    ctx->window = window;
    ctx->windowed = 1;
    viewPorts.assign(4, tagTRVXVIEWPORT{});
    textures.assign(16, tagTRVXTEXTURE{});
    fonts.assign(4, tagTRVXFONT{});
    ctx->viewPortCount = (int32_t)viewPorts.size();
    ctx->viewPorts = viewPorts.data();
    ctx->textureCount = (int32_t)textures.size();
    ctx->textures = textures.data();
    ctx->fontCount = (int32_t)fonts.size();
    ctx->fonts = fonts.data();
    memcpy(ctx->rotationOrders, kRotationOrders, sizeof kRotationOrders);
    memcpy(ctx->transformOrders, kTransformOrders, sizeof kTransformOrders);
    reset();
    if (!cmd(TRVXCMD_DRIVER_START, 1))
        return false;
    RECT r = {0, 0, w, h};
    return cmd(TRVXCMD_VIEWPORT_OPEN, 0, (DWORD_PTR)&r, 1) != 0;
}

void Bench::reset()
{
    for (tagTRVXFONT &f : fonts) {
        if (f.object)
            cmd(TRVXCMD_FONT_DELETE, (DWORD_PTR)&f);
        f = tagTRVXFONT{};
    }
    for (int i = 1; i < (int)textures.size(); ++i) {
        if (textures[i].object)
            cmd(TRVXCMD_TEXTURE_RELEASE, (DWORD_PTR)i);
        textures[i] = tagTRVXTEXTURE{};
    }
    for (int i = 1; i < (int)viewPorts.size(); ++i)
        if (viewPorts[i].open)
            cmd(TRVXCMD_VIEWPORT_CLOSE, (DWORD_PTR)i);
    memset(ctx->lights, 0, sizeof ctx->lights);
    ctx->fogStart = ctx->fogEnd = 0;
    ctx->fogColour = 0;
    memset(&ctx->camera, 0, sizeof ctx->camera);
    ctx->camera.eye = {0, 0, -10, 0};
    ctx->camera.up = {0, 1, 0, 0};
}

void Bench::stop()
{
    if (!ctx)
        return;
    reset();
    cmd(TRVXCMD_VIEWPORT_CLOSE, 0);
    cmd(TRVXCMD_DRIVER_END);
    free(ctx);
    ctx = 0;
    DestroyWindow(window);
    pump_messages();
}

std::vector<uint32_t> read_back_buffer(IDirect3DDevice9 *d)
{
    std::vector<uint32_t> pixels;
    IDirect3DSurface9 *target = 0, *copy = 0;
    if (FAILED(d->GetRenderTarget(0, &target)))
        return pixels;
    D3DSURFACE_DESC desc;
    target->GetDesc(&desc);
    if (SUCCEEDED(d->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy, NULL)) &&
        SUCCEEDED(d->GetRenderTargetData(target, copy))) {
        D3DLOCKED_RECT lr;
        if (SUCCEEDED(copy->LockRect(&lr, NULL, D3DLOCK_READONLY))) {
            pixels.resize((size_t)desc.Width * desc.Height);
            for (UINT y = 0; y < desc.Height; ++y)
                for (UINT x = 0; x < desc.Width; ++x)
                    pixels[(size_t)y * desc.Width + x] = ((uint32_t *)((uint8_t *)lr.pBits + y * lr.Pitch))[x] & 0xFFFFFF;
            copy->UnlockRect();
        }
    }
    if (copy)
        copy->Release();
    target->Release();
    return pixels;
}

DWORD_PTR Bench::load_texture(int index, const std::wstring &path, int options)
{
    tagTRVXTEXTURE &t = textures[index];
    memset(&t, 0, sizeof t);
    size_t slash = path.find_last_of(L"\\/"), dot = path.find_last_of(L'.');
    wcsncpy(t.folder, path.substr(0, slash + 1).c_str(), 127);
    wcsncpy(t.name, path.substr(slash + 1, dot - slash - 1).c_str(), 63);
    wcsncpy(t.extension, path.substr(dot).c_str(), 7);
    t.options = options;
    DWORD_PTR ok = cmd(TRVXCMD_TEXTURE_LOAD, (DWORD_PTR)index);
    t.useCount = ok ? 1 : 0;
    return ok;
}

Layer::Layer()
{
    record.switchFlags = TRVX_SWITCH_ON;
    record.scale = {1, 1, 1, 0};
    record.transformOrder = record.rotationOrder = 1;
    record.diffuse = record.ambient = 0xFFFFFF;
    record.transformBlock = &transform;
    record.materialBlock = material;
    record.mode = TRVX_MODE_SOLID;
}

void Layer::set_geometry(const std::vector<tagTRVXVERTEX> &v, const std::vector<tagTRVXFACE> &f)
{
    vertices = v;
    faces = f;
    record.vertexCount = (int32_t)vertices.size();
    record.vertices = vertices.empty() ? 0 : vertices.data();
    record.faceCount = (int32_t)faces.size();
    record.faces = faces.empty() ? 0 : faces.data();
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (const tagTRVXVERTEX &p : vertices) {
        const float c[3] = {p.position.x, p.position.y, p.position.z};
        for (int k = 0; k < 3; ++k) {
            lo[k] = fminf(lo[k], c[k]);
            hi[k] = fmaxf(hi[k], c[k]);
        }
    }
    for (int k = 0; k < 3 && !vertices.empty(); ++k) {
        record.localHalf[k] = (hi[k] - lo[k]) / 2;
        record.localCentre[k] = (hi[k] + lo[k]) / 2;
    }
}

void Layer::prepare(Bench &b)
{
    b.cmd(TRVXCMD_LAYER_LOCAL, (DWORD_PTR)&record);
    b.cmd(TRVXCMD_LAYER_WORLD, (DWORD_PTR)&record, 0);
    b.cmd(TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)&record, (DWORD_PTR)material);
}

static tagTRVXVERTEX vertex(float x, float y, float z, float nx, float ny, float nz, float u = 0, float v = 0)
{
    tagTRVXVERTEX r = {};
    r.position = {x, y, z, 1};
    r.normal = {nx, ny, nz, 0};
    for (int s = 0; s < 4; ++s) {
        r.u[s] = u;
        r.v[s] = v;
    }
    return r;
}

void make_box(Layer &layer, float size)
{
    const float h = size / 2;
    // For each face: normal, then two axes spanning it so that the corners wind clockwise seen
    // from outside (Direct3D's front faces under counter-clockwise culling).
    const float n[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    std::vector<tagTRVXVERTEX> v;
    std::vector<tagTRVXFACE> f;
    for (int i = 0; i < 6; ++i) {
        float c[3] = {n[i][0] * h, n[i][1] * h, n[i][2] * h};
        float a[3], bb[3]; // a = up-ish, b = right-ish seen from outside
        if (n[i][1] != 0) {
            a[0] = 0; a[1] = 0; a[2] = n[i][1] > 0 ? 1.f : -1.f;
            bb[0] = 1; bb[1] = 0; bb[2] = 0;
        } else {
            a[0] = 0; a[1] = 1; a[2] = 0;
            // right = up x normal (left-handed view from outside)
            bb[0] = -n[i][2]; bb[1] = 0; bb[2] = n[i][0];
        }
        uint16_t base = (uint16_t)v.size();
        const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}}; // (right, up)
        for (auto &k : corners)
            v.push_back(vertex(c[0] + (bb[0] * k[0] + a[0] * k[1]) * h, c[1] + (bb[1] * k[0] + a[1] * k[1]) * h,
                               c[2] + (bb[2] * k[0] + a[2] * k[1]) * h, n[i][0], n[i][1], n[i][2]));
        f.push_back({{base, (uint16_t)(base + 1), (uint16_t)(base + 2)}});
        f.push_back({{base, (uint16_t)(base + 2), (uint16_t)(base + 3)}});
    }
    layer.set_geometry(v, f);
}

void make_quad(Layer &layer, float x0, float y0, float x1, float y1)
{
    // Seen from -z (the 2D view), top-left, top-right, bottom-right, bottom-left wind clockwise.
    std::vector<tagTRVXVERTEX> v = {vertex(x0, y1, 0, 0, 0, -1, 0, 0), vertex(x1, y1, 0, 0, 0, -1, 1, 0),
                                    vertex(x1, y0, 0, 0, 0, -1, 1, 1), vertex(x0, y0, 0, 0, 0, -1, 0, 1)};
    layer.set_geometry(v, {{{0, 1, 2}}, {{0, 2, 3}}});
    layer.record.attributes |= TRVX_ATTR_OVERLAY;
}

void write_bitmap(const std::wstring &path, int width, int height, const std::vector<uint32_t> &pixels)
{
    int row = (width * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + (size_t)row * height, 0);
    auto put32 = [&](size_t at, uint32_t v) { memcpy(&file[at], &v, 4); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, (uint32_t)file.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)width);
    put32(22, (uint32_t)height);
    file[26] = 1;
    file[28] = 24;
    put32(34, (uint32_t)row * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[(size_t)(height - 1 - y) * width + x];
            uint8_t *d = &file[54 + (size_t)y * row + x * 3];
            d[0] = p & 0xFF;
            d[1] = (p >> 8) & 0xFF;
            d[2] = (p >> 16) & 0xFF;
        }
    FILE *f = _wfopen(path.c_str(), L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(file.data(), 1, file.size(), f);
    fclose(f);
}

std::wstring temp_path(const wchar_t *name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

int colour_distance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int x = (int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF);
        d = x < 0 ? (-x > d ? -x : d) : (x > d ? x : d);
    }
    return d;
}

// --- Message boxes ---------------------------------------------------------------------------------

static MessageBoxCatcher *g_catcher;
static HHOOK g_hook;

static LRESULT CALLBACK cbt_hook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && g_catcher) {
        HWND box = (HWND)wp;
        wchar_t className[32], caption[256], text[1024] = L"";
        GetClassNameW(box, className, 32);
        if (lstrcmpW(className, L"#32770") == 0) {
            GetWindowTextW(box, caption, 256);
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            g_catcher->captions.push_back(caption);
            g_catcher->texts.push_back(text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

MessageBoxCatcher::MessageBoxCatcher()
{
    g_catcher = this;
    g_hook = SetWindowsHookExW(WH_CBT, cbt_hook, NULL, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    UnhookWindowsHookEx(g_hook);
    g_catcher = 0;
}

} // namespace d3d9test
