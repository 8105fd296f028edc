// Direct3D 9 driver: the plug-in entry point, driver start and end with the capability report, view
// ports (the first one makes the device), clearing, presenting, scene begin and end, 3D and 2D set-up.
#include "vdr_d3d9.h"

#include <math.h>
#include <stdlib.h>
#include <algorithm>

D3D9DRIVER g_d3d9;

static const float kPi = 3.1415927f;
static const float kDefaultLens = 50.0f; // 17.5 / 0.35: the field of view of a lens value of 0

template <class T> static void release(T *&object)
{
    if (object) {
        object->Release();
        object = 0;
    }
}

void d3d9_publish(tagTRVX *ctx)
{
    const DWORD_PTR objects[D3D9_SLOT_COUNT] = {
        (DWORD_PTR)g_d3d9.d3d, (DWORD_PTR)g_d3d9.device, (DWORD_PTR)g_d3d9.input,
        (DWORD_PTR)g_d3d9.keyboard, (DWORD_PTR)g_d3d9.mouse};
    for (size_t i = 0; i < D3D9_SLOT_COUNT; ++i)
        ctx->driverPrivate[i] = objects[i];
}

// --- Capability report ---------------------------------------------------------------------------

static void record_modes(tagTRVXGRAPHICS *caps)
{
    struct Mode { int w, h, rate; };
    Mode modes[TRVX_GRAPHICS_MODES];
    UINT available = g_d3d9.d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8);
    int count = 0;
    for (UINT i = 0; i < available && count < TRVX_GRAPHICS_MODES; ++i) {
        D3DDISPLAYMODE m;
        if (SUCCEEDED(g_d3d9.d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &m)))
            modes[count++] = {(int)m.Width, (int)m.Height, (int)m.RefreshRate};
    }
    std::stable_sort(modes, modes + count, [](const Mode &a, const Mode &b) {
        if (a.w != b.w)
            return a.w < b.w;
        if (a.h != b.h)
            return a.h < b.h;
        return a.rate < b.rate;
    });
    memset(caps->modes, 0, sizeof caps->modes);
    for (int i = 0; i < count; ++i) {
        caps->modes[i][0] = modes[i].w;
        caps->modes[i][1] = modes[i].h;
        caps->modes[i][2] = modes[i].rate;
    }
}

static void record_depth_formats(tagTRVXGRAPHICS *caps)
{
    static const tagTRVXDEPTHFORMAT candidates[TRVX_GRAPHICS_DEPTH_FORMATS] = {
        {24, 8, D3DFMT_D24S8}, {24, 4, D3DFMT_D24X4S4}, {24, 0, D3DFMT_D24X8}, {16, 0, D3DFMT_D16}, {15, 1, D3DFMT_D15S1}};
    memset(caps->depthFormats, 0, sizeof caps->depthFormats);
    int n = 0;
    for (const tagTRVXDEPTHFORMAT &c : candidates)
        if (SUCCEEDED(g_d3d9.d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                     D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, (D3DFORMAT)c.format)))
            caps->depthFormats[n++] = c;
}

static void record_antialias(tagTRVXGRAPHICS *caps)
{
    memset(caps->antialiasLevels, 0, sizeof caps->antialiasLevels);
    int n = 0;
    caps->antialiasLevels[n++] = 1;
    // The list has room for 15 counts; a sixteenth (all of 2 to 16) would run into the next field.
    for (int count = 2; count <= 16 && n < TRVX_GRAPHICS_LEVELS; ++count)
        if (SUCCEEDED(g_d3d9.d3d->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                             FALSE, (D3DMULTISAMPLE_TYPE)count, NULL)))
            caps->antialiasLevels[n++] = count;
}

static UINT report_adapter(tagTRVX *ctx)
{
    UINT card = ctx->systemInfo.card;
    return card < g_d3d9.d3d->GetAdapterCount() ? card : D3DADAPTER_DEFAULT;
}

static void record_device_caps(tagTRVX *ctx, tagTRVXGRAPHICS *caps)
{
    D3DCAPS9 dc;
    if (FAILED(g_d3d9.d3d->GetDeviceCaps(report_adapter(ctx), D3DDEVTYPE_HAL, &dc)))
        return;
    caps->textureStages = (int32_t)dc.MaxTextureBlendStages;
    caps->maxTextureWidth = (int32_t)dc.MaxTextureWidth;
    caps->maxTextureHeight = (int32_t)dc.MaxTextureHeight;
    caps->lights = (int32_t)dc.MaxActiveLights;
    caps->streams = (int32_t)dc.MaxStreams;
    caps->mipmap = (dc.TextureCaps & D3DPTEXTURECAPS_MIPMAP) ? 1 : 0;
    memset(caps->anisotropyLevels, 0, sizeof caps->anisotropyLevels);
    int n = 0;
    for (DWORD level = 1; level <= dc.MaxAnisotropy && n < TRVX_GRAPHICS_LEVELS; level *= 2)
        caps->anisotropyLevels[n++] = (int32_t)level;
}

// --- Start and end -------------------------------------------------------------------------------

static void driver_end(tagTRVX *ctx)
{
    d3d9_input_end();
    release(g_d3d9.device);
    release(g_d3d9.d3d);
    if (ctx)
        d3d9_publish(ctx);
    g_d3d9.owner = 0;
}

static DWORD_PTR driver_start(tagTRVX *ctx, DWORD_PTR windowed)
{
    // One device per process. A start that finds the objects of an earlier one (an engine start
    // that failed after this command sends no driver end) releases them first.
    if (g_d3d9.owner)
        driver_end(NULL);
    g_d3d9.d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!g_d3d9.d3d)
        return 0;
    trvx_profile_mark("d3d9.direct3d");
    g_d3d9.owner = ctx;
    if (!d3d9_input_start(ctx, windowed != 0)) {
        driver_end(ctx);
        return 0;
    }
    trvx_profile_mark("d3d9.input");
    tagTRVXGRAPHICS *caps = caps_of(ctx);
    record_modes(caps);
    record_depth_formats(caps);
    record_antialias(caps);
    record_device_caps(ctx, caps);
    trvx_profile_mark("d3d9.caps");
    d3d9_record_diagnostics(ctx, report_adapter(ctx), caps);
    trvx_profile_mark("d3d9.diagnostics");
    d3d9_publish(ctx);
    return 1;
}

// --- View ports ------------------------------------------------------------------------------------

RECT d3d9_viewport_rect(const tagTRVX *ctx, int index)
{
    const tagTRVXVIEWPORT &vp = ctx->viewPorts[index];
    RECT r = {std::max(0, vp.clipX), std::max(0, vp.clipY), std::min(vp.width, vp.clipX + vp.clipWidth),
              std::min(vp.height, vp.clipY + vp.clipHeight)};
    if (index > 0) {
        // View ports above 0 share view port 0's back buffer and cannot reach past it.
        const tagTRVXVIEWPORT &first = ctx->viewPorts[0];
        OffsetRect(&r, vp.x, vp.y);
        r.left = std::max(0L, r.left);
        r.top = std::max(0L, r.top);
        r.right = std::min((LONG)first.width, r.right);
        r.bottom = std::min((LONG)first.height, r.bottom);
    }
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

static int viewport_ok(const tagTRVX *ctx, DWORD_PTR index)
{
    return g_d3d9.device && ctx->viewPorts && index < (DWORD_PTR)std::max(0, ctx->viewPortCount) &&
           ctx->viewPorts[index].open;
}

int d3d9_set_viewport(tagTRVX *ctx, int index)
{
    if (!viewport_ok(ctx, (DWORD_PTR)index))
        return 0;
    RECT r = d3d9_viewport_rect(ctx, index);
    D3DVIEWPORT9 vp = {(DWORD)r.left, (DWORD)r.top, (DWORD)(r.right - r.left), (DWORD)(r.bottom - r.top), 0.0f, 1.0f};
    return SUCCEEDED(g_d3d9.device->SetViewport(&vp));
}

// Finds `wanted` in a zero-ended level list of at most 15 entries; 0 when it is not there.
static int find_level(const int32_t *levels, int32_t wanted)
{
    for (int i = 0; i < TRVX_GRAPHICS_LEVELS && levels[i]; ++i)
        if (levels[i] == wanted)
            return wanted;
    return 0;
}

static int create_device(tagTRVX *ctx, const RECT *rect)
{
    tagTRVXGRAPHICS *caps = caps_of(ctx);
    D3D9VIEWPORTDATA *data = (D3D9VIEWPORTDATA *)ctx->viewPorts[0].driver;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
    if (ctx->windowed) {
        D3DDISPLAYMODE desktop;
        if (SUCCEEDED(g_d3d9.d3d->GetAdapterDisplayMode(report_adapter(ctx), &desktop)))
            format = desktop.Format;
    }
    data->backBufferFormat = format;
    caps->currentDepth = caps->depthFormats[0];
    g_d3d9.depthFormat = caps->depthFormats[0].format ? (D3DFORMAT)caps->depthFormats[0].format : D3DFMT_D16;
    caps->currentMode[0] = rect->right - rect->left;
    caps->currentMode[1] = rect->bottom - rect->top;
    caps->currentMode[2] = 0;

    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = (UINT)(rect->right - rect->left);
    pp.BackBufferHeight = (UINT)(rect->bottom - rect->top);
    pp.BackBufferFormat = format;
    pp.BackBufferCount = 1;
    pp.Windowed = ctx->windowed ? TRUE : FALSE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = g_d3d9.depthFormat;
    pp.PresentationInterval = ctx->windowed ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
    int samples = find_level(caps->antialiasLevels, caps->antialias);
    pp.MultiSampleType = samples > 1 ? (D3DMULTISAMPLE_TYPE)samples : D3DMULTISAMPLE_NONE;
    // A window is presented by rectangles, and a scene begun without clearing keeps the last
    // picture: both need a copying swap chain. Multisampling and full screen discard.
    pp.SwapEffect = ctx->windowed && samples <= 1 ? D3DSWAPEFFECT_COPY : D3DSWAPEFFECT_DISCARD;

    struct Attempt { D3DDEVTYPE type; DWORD flags; };
    static const Attempt attempts[3] = {{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
                                        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                                        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
    int made = -1;
    for (int i = 0; i < 3 && made < 0; ++i) {
        D3DPRESENT_PARAMETERS tried = pp;
        if (SUCCEEDED(g_d3d9.d3d->CreateDevice(report_adapter(ctx), attempts[i].type, ctx->window, attempts[i].flags,
                                               &tried, &g_d3d9.device)))
            made = i;
    }
    if (made < 0)
        return 0;
    g_d3d9.discarding = pp.SwapEffect == D3DSWAPEFFECT_DISCARD;
    g_d3d9.presentation = pp;
    g_d3d9.lost = 0;
    if (made == 2)
        MessageBoxW(ctx->window, L"SoftWareMode", L"TRV X", MB_OK | MB_ICONWARNING);
    g_d3d9.device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    d3d9_reset_cache();
    return 1;
}

// The antialiasing and anisotropy levels chosen in the report, which a new or reset device forgets.
static void put_device_levels(tagTRVX *ctx)
{
    tagTRVXGRAPHICS *caps = caps_of(ctx);
    g_d3d9.device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS,
                                  find_level(caps->antialiasLevels, caps->antialias) > 1 ? TRUE : FALSE);
    int anisotropy = find_level(caps->anisotropyLevels, caps->anisotropy);
    for (DWORD s = 0; s < D3D9_STAGES; ++s)
        g_d3d9.device->SetSamplerState(s, D3DSAMP_MAXANISOTROPY, anisotropy ? (DWORD)anisotropy : 1);
}

// A full-screen device is lost while its window is away (Alt+Tab) and frames present nothing. Once
// the window is back the device can be reset: buffers and textures live in the managed pool and
// survive it; the fonts' device objects are made again and the states put back.
static int device_restored(tagTRVX *ctx)
{
    HRESULT state = g_d3d9.device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST)
        return 0;
    if (state == D3DERR_DEVICENOTRESET) {
        d3d9_fonts_release(ctx);
        D3DPRESENT_PARAMETERS pp = g_d3d9.presentation;
        if (FAILED(g_d3d9.device->Reset(&pp)))
            return 0;
        put_device_levels(ctx);
        d3d9_reset_cache();
        d3d9_fonts_restore(ctx);
    }
    g_d3d9.lost = 0;
    return 1;
}

static DWORD_PTR viewport_open(tagTRVX *ctx, DWORD_PTR index, const RECT *rect, DWORD_PTR windowed)
{
    if (!g_d3d9.d3d || !rect || !ctx->viewPorts || index >= (DWORD_PTR)std::max(0, ctx->viewPortCount))
        return 0;
    if (rect->right <= rect->left || rect->bottom <= rect->top)
        return 0;
    if (index == 0) {
        if (g_d3d9.device) // reopened without a close: the old device goes first
            release(g_d3d9.device);
        ctx->windowed = (uint32_t)windowed;
        if (!create_device(ctx, rect)) {
            d3d9_publish(ctx);
            return 0;
        }
        trvx_profile_mark("d3d9.device");
        d3d9_publish(ctx);
        d3d9_fonts_restore(ctx);
    } else if (!g_d3d9.device) {
        return 0;
    }
    put_device_levels(ctx);

    tagTRVXVIEWPORT &vp = ctx->viewPorts[index];
    vp.x = rect->left;
    vp.y = rect->top;
    vp.width = rect->right - rect->left;
    vp.height = rect->bottom - rect->top;
    vp.clipX = vp.clipY = 0;
    vp.clipWidth = vp.width;
    vp.clipHeight = vp.height;
    vp.open = 1;
    // Drivers that count video memory into the texture memory would make this negative.
    tagTRVXGRAPHICS *caps = caps_of(ctx);
    caps->extraTextureMB = std::max(0, (int32_t)(g_d3d9.device->GetAvailableTextureMem() >> 20) - caps->videoMemoryMB);
    return 1;
}

static DWORD_PTR viewport_close(tagTRVX *ctx, DWORD_PTR index)
{
    if (!ctx->viewPorts || index >= (DWORD_PTR)std::max(0, ctx->viewPortCount))
        return 1;
    ctx->viewPorts[index].open = 0;
    if (index == 0 && g_d3d9.device) {
        d3d9_fonts_release(ctx);
        release(g_d3d9.device);
        d3d9_publish(ctx);
    }
    return 1;
}

static DWORD_PTR viewport_flip(tagTRVX *ctx, DWORD_PTR index, HWND target, const RECT *destination)
{
    if (!viewport_ok(ctx, index))
        return 0;
    HRESULT presented;
    if (!ctx->windowed) {
        if (index != 0)
            return 1;
        presented = g_d3d9.device->Present(NULL, NULL, NULL, NULL);
    } else {
        RECT source = d3d9_viewport_rect(ctx, (int)index);
        RECT dest = destination ? *destination : source;
        OffsetRect(&dest, ctx->viewPorts[0].x, ctx->viewPorts[0].y);
        // Rectangles need a copying swap chain; a discarding one sends the whole buffer to the window.
        presented = g_d3d9.discarding ? g_d3d9.device->Present(NULL, NULL, target, NULL)
                                      : g_d3d9.device->Present(&source, &dest, target, NULL);
    }
    if (presented == D3DERR_DEVICELOST)
        g_d3d9.lost = 1;
    return SUCCEEDED(presented);
}

static DWORD_PTR viewport_clear(tagTRVX *ctx, DWORD_PTR index, DWORD flags, uint32_t colour)
{
    if (!d3d9_set_viewport(ctx, (int)index))
        return 0;
    return SUCCEEDED(g_d3d9.device->Clear(0, NULL, flags, d3d9_opaque(colour), 1.0f, 0));
}

// --- Frame ---------------------------------------------------------------------------------------------

static DWORD_PTR scene_begin(tagTRVX *ctx, DWORD_PTR index, uint32_t background)
{
    if (!viewport_ok(ctx, index) || (g_d3d9.lost && !device_restored(ctx)))
        return 0;
    IDirect3DDevice9 *d = g_d3d9.device;
    d->BeginScene();
    d3d9_set_viewport(ctx, (int)index);
    g_d3d9.viewPort = (int)index;
    const tagTRVXVIEWPORT &vp = ctx->viewPorts[index];
    g_d3d9.aspect = ctx->camera.aspect != 0.0f ? ctx->camera.aspect
                  : vp.clipHeight > 0          ? (float)vp.clipWidth / (float)vp.clipHeight
                                               : 1.0f;
    d3d9_reset_cache(); // also puts the stage, blend and fixed states of a fresh scene on the device
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    DWORD clear = background == 0xFFFFFFFFu ? D3DCLEAR_ZBUFFER : D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
    d->Clear(0, NULL, clear, d3d9_opaque(background), 1.0f, 0);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    return 1;
}

static DWORD_PTR scene_end(tagTRVX *ctx)
{
    if (!g_d3d9.device)
        return 0;
    for (DWORD s = 0; s < D3D9_STAGES; ++s) {
        g_d3d9.device->SetTexture(s, NULL);
        g_d3d9.cache.stages[s].texture = 0;
    }
    g_d3d9.device->EndScene();
    return 1;
}

static D3DCOLORVALUE colour_value(uint32_t bgr)
{
    D3DCOLORVALUE c = {0, 0, 0, 0};
    if (bgr) {
        c.r = (float)(bgr & 0xFF) / 255.0f;
        c.g = (float)((bgr >> 8) & 0xFF) / 255.0f;
        c.b = (float)((bgr >> 16) & 0xFF) / 255.0f;
    }
    return c;
}

static D3DVECTOR unit(const TRVXVECTOR &v)
{
    float length = sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length <= 0.0f)
        return {0.0f, 0.0f, 1.0f};
    return {v.x / length, v.y / length, v.z / length};
}

static void set_lights(tagTRVX *ctx)
{
    IDirect3DDevice9 *d = g_d3d9.device;
    for (int i = 0; i < D3D9_LIGHTS; ++i) {
        const tagTRVXLIGHT &l = ctx->lights[i + 1];
        D3DLIGHT9 light = {};
        light.Diffuse = colour_value(l.diffuse);
        light.Specular = colour_value(l.specular);
        light.Ambient = colour_value(l.ambient);
        switch (l.kind) {
        case TRVX_LIGHT_DIRECTIONAL:
            light.Type = D3DLIGHT_DIRECTIONAL;
            light.Direction = unit(l.direction);
            break;
        case TRVX_LIGHT_POINT:
        case TRVX_LIGHT_SPOT:
            light.Type = l.kind == TRVX_LIGHT_POINT ? D3DLIGHT_POINT : D3DLIGHT_SPOT;
            light.Position = {l.position.x, l.position.y, l.position.z};
            light.Range = l.range;
            light.Attenuation2 = l.range != 0.0f ? 1.0f / l.range : 0.0f;
            if (l.kind == TRVX_LIGHT_SPOT) {
                light.Direction = unit(l.direction);
                light.Phi = l.cone * kPi / 180.0f;
                light.Theta = 0.7f * light.Phi;
                light.Falloff = 1.0f;
            }
            break;
        default:
            light.Type = (D3DLIGHTTYPE)0; // off, or a kind with no device light
            break;
        }
        DWORD on = light.Type ? TRUE : FALSE;
        if (on)
            d->SetLight((DWORD)i, &light);
        if (g_d3d9.cache.lightEnabled[i] != on) {
            d->LightEnable((DWORD)i, on);
            g_d3d9.cache.lightEnabled[i] = on;
        }
    }
}

static DWORD_PTR set_3d(tagTRVX *ctx)
{
    IDirect3DDevice9 *d = g_d3d9.device;
    if (!d)
        return 0;
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    d->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    d->SetRenderState(D3DRS_AMBIENT, d3d9_opaque(ctx->lights[0].diffuse));
    set_lights(ctx);

    g_d3d9.fogFrame = !(ctx->fogStart == 0.0f && ctx->fogEnd == 0.0f);
    if (g_d3d9.fogFrame) {
        d->SetRenderState(D3DRS_FOGCOLOR, d3d9_opaque(ctx->fogColour));
        d->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
        d->SetRenderState(D3DRS_FOGSTART, d3d9_float_bits(ctx->fogStart));
        d->SetRenderState(D3DRS_FOGEND, d3d9_float_bits(ctx->fogEnd));
    }
    d->SetRenderState(D3DRS_FOGENABLE, g_d3d9.fogFrame ? TRUE : FALSE);
    g_d3d9.cache.fog = g_d3d9.fogFrame ? TRUE : FALSE;

    const tagTRVXCAMERA &cam = ctx->camera;
    D3DXVECTOR3 eye(cam.eye.x, cam.eye.y, cam.eye.z), at(cam.target.x, cam.target.y, cam.target.z),
        up(cam.up.x, cam.up.y, cam.up.z);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    d->SetTransform(D3DTS_VIEW, &view);
    float lens = cam.lens != 0.0f ? cam.lens : kDefaultLens;
    D3DXMatrixPerspectiveFovLH(&projection, 2.0f * atanf(17.5f / lens), g_d3d9.aspect,
                               cam.nearZ != 0.0f ? cam.nearZ : 1.0f, cam.farZ != 0.0f ? cam.farZ : 100000.0f);
    d->SetTransform(D3DTS_PROJECTION, &projection);

    float scale = lens / 35.0f;
    d->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE, d3d9_float_bits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_A, d3d9_float_bits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_B, d3d9_float_bits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_C, d3d9_float_bits(1.0f / (scale * scale)));
    g_d3d9.cache.pointSize = d3d9_float_bits(0.0f);
    return 1;
}

static DWORD_PTR set_2d(tagTRVX *ctx, DWORD_PTR index)
{
    if (!viewport_ok(ctx, index))
        return 0;
    IDirect3DDevice9 *d = g_d3d9.device;
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d->SetRenderState(D3DRS_FOGENABLE, FALSE);
    g_d3d9.cache.fog = FALSE;
    g_d3d9.fogFrame = 0;
    D3DXMATRIX identity, projection;
    D3DXMatrixIdentity(&identity);
    d->SetTransform(D3DTS_VIEW, &identity);
    const tagTRVXVIEWPORT &vp = ctx->viewPorts[index];
    D3DXMatrixOrthoLH(&projection, (float)vp.clipWidth, (float)vp.clipHeight, -1.0f, 2.0f);
    d->SetTransform(D3DTS_PROJECTION, &projection);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    return 1;
}

// --- Entry point -----------------------------------------------------------------------------------------

// The plug-in entry: the command's result, 0 for commands this driver does not handle.
extern "C" DWORD_PTR WINAPI vdr_d3d9_interface(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3,
                                               DWORD_PTR p4)
{
    if (!ctx)
        return 0;
    switch (command) {
    case TRVXCMD_QUERY_SIZE:
        return p1 == TRVX_QUERY_TRANSFORM_BLOCK ? sizeof(TRVXTRANSFORM)
             : p1 == TRVX_QUERY_MATERIAL_BLOCK  ? sizeof(D3DMATERIAL9)
                                                : 0;
    case TRVXCMD_DRIVER_START:
        return driver_start(ctx, p1);
    case TRVXCMD_DRIVER_END:
        if (g_d3d9.owner == ctx)
            driver_end(ctx);
        return 0;
    case TRVXCMD_VIEWPORT_OPEN:
        return viewport_open(ctx, p1, (const RECT *)p2, p3);
    case TRVXCMD_VIEWPORT_CLOSE:
        return viewport_close(ctx, p1);
    case TRVXCMD_VIEWPORT_FLIP:
        return viewport_flip(ctx, p1, (HWND)p2, (const RECT *)p3);
    case TRVXCMD_VIEWPORT_CLEAR:
        return viewport_clear(ctx, p1, D3DCLEAR_TARGET, (uint32_t)p2);
    case TRVXCMD_ZBUFFER_CLEAR:
        return viewport_clear(ctx, p1, D3DCLEAR_ZBUFFER, 0);
    case TRVXCMD_SCENE_BEGIN:
        return scene_begin(ctx, p1, (uint32_t)p2);
    case TRVXCMD_SCENE_END:
        return scene_end(ctx);
    case TRVXCMD_SET_3D:
        return set_3d(ctx);
    case TRVXCMD_SET_2D:
        return set_2d(ctx, p1);
    case TRVXCMD_LAYER_LOCAL:
    case TRVXCMD_LAYER_WORLD:
    case TRVXCMD_LAYER_BAKE:
    case TRVXCMD_LAYER_MATERIAL:
    case TRVXCMD_LAYER_BUILD:
    case TRVXCMD_LAYER_FACES_DROP:
    case TRVXCMD_LAYER_VERTICES_DROP:
    case TRVXCMD_LAYER_DRAW:
        return d3d9_layer_command(command, ctx, p1, p2);
    case TRVXCMD_TEXTURE_LOAD:
    case TRVXCMD_TEXTURE_RELEASE:
    case TRVXCMD_TEXTURE_CREATE:
    case TRVXCMD_TEXTURE_COPY:
        return d3d9_texture_command(command, ctx, p1, p2, p3, p4);
    case TRVXCMD_FONT_CREATE:
    case TRVXCMD_FONT_DELETE:
    case TRVXCMD_FONT_DRAW:
        return d3d9_font_command(command, ctx, p1, p2, p3);
    case TRVXCMD_INPUT_READ:
        return d3d9_input_read(ctx, p1, (tagTRVXINPUT *)p2);
    default:
        return 0;
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_d3d9.module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        trvx_module_detach(reserved);
    }
    return TRUE;
}
