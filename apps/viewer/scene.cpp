// Loading a run's scene: the loading bar, sky cylinder and clouds, aircraft, airport and its
// rebuild walk, fade layer, cursors, panels, and the sun, sky colours and fog of the viewer's date.
#include "scene.h"

#include <math.h>
#include <wchar.h>

#include "camera.h"
#include "layers.h"
#include "panels.h"
#include "parts.h"
#include "viewer.h"

Scene g_scene;

namespace {

const float kSkyRadius = 18000, kSkyHeight = 2000;
const int kSkyColumns = 16, kSkyRings = 4;

void draw_loading_frame(TRVXCONTEXT ctx, const wchar_t *caption)
{
    Scene &s = g_scene;
    if (s.loadBarModel)
        TRVXL_CalcLayer(ctx, s.loadBarModel);
    TRVX_RenderingEx(ctx, 0, nullptr, 1, 0);
    if (s.loadBarModel)
        TRVX_RenderingEx(ctx, 0, s.loadBarModel, 3, 0);
    TRVX_RenderingEx(ctx, 0, nullptr, 20, 0);
    TRVX_RenderingEx(ctx, 0, nullptr, 21, 0);
    RECT text = {-128, 40, 128, 20};
    TRVX_DisplayFont(ctx, 0, g_viewer.font, caption, 32, &text, 0xFFFFFF);
    TRVX_RenderingEx(ctx, 0, nullptr, 2, 0);
    TRVX_FlipViewPort(ctx, 0);
}

void WINAPI loading_bar(TRVXCONTEXT ctx, const wchar_t *caption, DWORD percent)
{
    Vec3 scale = {percent / 100.0f, 1, 1};
    move_layer(g_scene.loadBar, nullptr, nullptr, &scale);
    draw_loading_frame(ctx, caption);
}

struct RebuildProgress {
    int done, total;
};

// "@" names carry pairs of letters up to the first "_": N2 drops texture stages 1 to 3, N4 stage 3.
DWORD WINAPI rebuild_layer(TRVXCONTEXT ctx, TRVXLAYER layer, void *data)
{
    RebuildProgress &progress = *(RebuildProgress *)data;
    ++progress.done;
    TRVX_SetGage(ctx, (DWORD)(progress.done * 100 / (progress.total > 0 ? progress.total : 1)));
    wchar_t name[33] = {};
    TRVXL_EXT_Function(ctx, layer, 202, (DWORD_PTR)name, 0);
    if (name[0] != L'@')
        return TRVX_WALK_CONTINUE;
    for (const wchar_t *pair = name + 1; pair[0] && pair[0] != L'_' && pair[1]; pair += 2) {
        if (pair[0] == L'N' && pair[1] == L'2') {
            for (int stage = 3; stage >= 1; --stage)
                TRVXL_TextureLayer(ctx, layer, stage, nullptr);
            TRVXL_ModeLayer(ctx, layer, 0x80340001);
        } else if (pair[0] == L'N' && pair[1] == L'4') {
            TRVXL_TextureLayer(ctx, layer, 3, nullptr);
            TRVXL_ModeLayer(ctx, layer, 0x80340003);
        }
    }
    return TRVX_WALK_CONTINUE;
}

TRVXLAYER build_sky_cylinder(TRVXCONTEXT ctx, TRVXLAYER parent)
{
    TRVXLAYER layer = TRVXL_CreateLayer(ctx, parent, L"BLU_SKY");
    if (!layer)
        return nullptr;
    static const float ringHeight[kSkyRings] = {1.0f, 0.6f, 0.3f, -0.5f};
    tagTRVXVERTEX vertices[kSkyColumns * kSkyRings] = {};
    for (int r = 0; r < kSkyRings; ++r)
        for (int k = 0; k < kSkyColumns; ++k) {
            float theta = k * 2 * 3.14159265f / kSkyColumns;
            tagTRVXVERTEX &v = vertices[r * kSkyColumns + k];
            v.position = {kSkyRadius * sinf(theta), ringHeight[r] * kSkyHeight, kSkyRadius * cosf(theta), 0};
            v.normal = {-sinf(theta), 0, -cosf(theta), 0};
        }
    tagTRVXFACE faces[(kSkyRings - 1) * kSkyColumns * 2];
    int n = 0;
    for (int r = 0; r < kSkyRings - 1; ++r)
        for (int k = 0; k < kSkyColumns; ++k) {
            int k2 = (k + 1) % kSkyColumns;
            uint16_t a = (uint16_t)(16 * r + k), b = (uint16_t)(16 * r + k2);
            uint16_t c = (uint16_t)(16 * (r + 1) + k2), d = (uint16_t)(16 * (r + 1) + k);
            faces[n++] = {{a, b, c}};
            faces[n++] = {{a, c, d}};
        }
    TRVXL_SetVertex(ctx, layer, kSkyColumns * kSkyRings, vertices);
    TRVXL_SetFace(ctx, layer, n, faces);
    TRVXL_EXT_RecallFunction(ctx, layer, 22, 1, 0, 0);
    return layer;
}

void create_fade_layer(TRVXCONTEXT ctx)
{
    Scene &s = g_scene;
    float parameters[4] = {4.0f, 2.0f, (float)g_viewer.view.width, (float)g_viewer.view.height};
    s.fade = s.sceneRoot ? TRVXL_CreateModel(ctx, s.sceneRoot, parameters) : nullptr;
    if (s.fade)
        TRVXL_EXT_RecallFunction(ctx, s.fade, 26, 1, 0, 0);
    set_fade(0, 255, 0);
}

// Opens the gauge with `caption`, reads `file` under `parent`, closes the gauge.
TRVXLAYER read_with_bar(TRVXCONTEXT ctx, TRVXLAYER parent, const wchar_t *file, const wchar_t *caption)
{
    if (!parent)
        return nullptr;
    TRVX_OpenGage(ctx, caption, loading_bar);
    TRVXLAYER layer = TRVXL_ReadLayer(ctx, parent, file);
    TRVX_CloseGage(ctx);
    return layer;
}

} // namespace

void rebuild_airport()
{
    TRVXCONTEXT ctx = g_viewer.ctx;
    Scene &s = g_scene;
    if (!s.airport)
        return;
    TRVX_OpenGage(ctx, L"情景の再構築中...", loading_bar);
    RebuildProgress progress = {0, 0};
    TRVXL_CountLayer(ctx, s.airport, &progress.total, nullptr, nullptr, 1);
    TRVX_CallBackLayer(ctx, s.airport, rebuild_layer, &progress, (DWORD)-0x2FFFE);
    TRVX_CloseGage(ctx);
}

namespace {

void load_cursors(TRVXCONTEXT ctx)
{
    Scene &s = g_scene;
    s.controlMaster = s.sceneRoot ? TRVXL_CreateLayer(ctx, s.sceneRoot, L"ControlMaster") : nullptr;
    s.cursorGroup = s.controlMaster ? TRVXL_CreateLayer(ctx, s.controlMaster, L"Cursor") : nullptr;
    s.arrow = s.cursorGroup ? TRVXL_ReadLayer(ctx, s.cursorGroup, L"cursor\\allow.tvm") : nullptr;
    s.hand = s.cursorGroup ? TRVXL_ReadLayer(ctx, s.cursorGroup, L"cursor\\hand.tvm") : nullptr;
    switch_layer(s.arrow, false);
    switch_layer(s.hand, false);
}

// In a window the pointer starts at the middle of the window's top edge, in the caption.
void place_mouse()
{
    if (!g_viewer.windowed)
        return;
    RECT r;
    GetWindowRect(g_viewer.window, &r);
    SetCursorPos((r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYCAPTION) / 2);
}

} // namespace

void set_fade(float depth, int transparency, uint32_t colour)
{
    TRVXLAYER fade = g_scene.fade;
    Vec3 at = {0, 0, depth};
    move_layer(fade, &at, nullptr);
    set_transparency(fade, transparency);
    set_emissive(fade, colour);
}

void show_cursor_for(int driveMode)
{
    switch_layer(g_scene.arrow, driveMode != 2);
    switch_layer(g_scene.hand, driveMode == 2);
}

void set_sun_time(int minutes)
{
    Scene &s = g_scene;
    s.time = minutes;
    if (s.time != s.lastTime) {
        SunLight sun = sun_at(minutes);
        s.sunPosition = sun.position;
        s.sun.direction = {sun.direction.x, sun.direction.y, sun.direction.z, 0};
        s.sun.diffuse = sun.diffuse;
        s.sun.specular = sun.specular;
        s.sun.ambient = sun.ambient;
        s.ambient.diffuse = sun.nightAmbient;
        s.lastTime = s.time;
    }
    TRVX_SetLight(g_viewer.ctx, 0, &s.ambient);
    TRVX_SetLight(g_viewer.ctx, 1, &s.sun);
}

void colour_sky()
{
    Scene &s = g_scene;
    if (!s.skyCylinder)
        return;
    TRVXCONTEXT ctx = g_viewer.ctx;
    tagTRVXVERTEX *vertices = (tagTRVXVERTEX *)TRVXL_EXT_Function(ctx, s.skyCylinder, 206, 0, 0);
    int count = (int)TRVXL_EXT_Function(ctx, s.skyCylinder, 102, 0, 0);
    if (!vertices || count != kSkyColumns * kSkyRings)
        return;
    tagTRVXVERTEX copy[kSkyColumns * kSkyRings];
    memcpy(copy, vertices, sizeof copy);
    for (int i = 0; i < count; ++i) {
        int ring = i / kSkyColumns;
        copy[i].colour = ring == 0 ? s.skyTop : ring == 1 ? s.skyMiddle : s.skyHorizon;
    }
    TRVXL_SetVertex(ctx, s.skyCylinder, count, copy);
    TRVXL_ModeLayer(ctx, s.skyCylinder, 0x80160000);
}

void load_scene()
{
    Viewer &v = g_viewer;
    TRVXCONTEXT ctx = v.ctx;
    Scene &s = g_scene;
    s = Scene{};

    s.root = TRVXL_SearchLayer(ctx, nullptr, nullptr);
    s.loadBarModel = s.root ? TRVXL_ReadLayer(ctx, s.root, L"etc\\load_bar\\load_bar.tvm") : nullptr;
    s.loadBar = find_layer(s.loadBarModel, L"load_bar");

    s.sceneRoot = TRVXL_CreateLayer(ctx, s.root, L"Scene");
    s.sky = s.sceneRoot ? TRVXL_CreateLayer(ctx, s.sceneRoot, L"SKY") : nullptr;

    s.lastTime = -1;
    s.ambient.kind = TRVX_LIGHT_AMBIENT;
    s.sun.kind = TRVX_LIGHT_DIRECTIONAL;
    s.skyCylinder = s.sky ? build_sky_cylinder(ctx, s.sky) : nullptr;
    s.skyTop = 0xFF0000;
    s.skyMiddle = 0x00FF00;
    s.skyHorizon = 0x0000FF;
    colour_sky();
    s.clouds = s.sky ? TRVXL_ReadLayer(ctx, s.sky, L"etc\\clouds\\landclouds.tvm") : nullptr;

    s.aircraftGroup = s.sceneRoot ? TRVXL_CreateLayer(ctx, s.sceneRoot, L"HX-21") : nullptr;
    wchar_t file[600];
    swprintf(file, 600, L"plane\\%ls\\%ls.tvm", v.aircraft, v.aircraft);
    s.aircraft = read_with_bar(ctx, s.aircraftGroup, file, L"航空機の読み込み中...");
    Vec3 modelAt = {0, -2, 0}, modelTurn = {0, 180, 0};
    move_layer(s.aircraft, &modelAt, &modelTurn);
    find_parts();

    s.map = s.sceneRoot ? TRVXL_CreateLayer(ctx, s.sceneRoot, L"Map") : nullptr;
    if (!v.quitRequested)
        s.airport = read_with_bar(ctx, s.map, L"port\\rjbh\\rjbh.tvm", L"情景の読み込み中...");
    if (!v.quitRequested)
        rebuild_airport();

    show_message(L"リソースの登録中...");
    create_fade_layer(ctx);
    init_camera_sets();
    load_cursors(ctx);
    place_mouse();

    if (v.runMode == kRunViewer) {
        set_sun_time(kViewerTime);
        s.skyTop = 0x90511A;
        s.skyMiddle = 0xA37F94;
        s.skyHorizon = s.sun.diffuse;
        colour_sky();
        TRVX_SetFog(ctx, 1000, 12000, s.skyHorizon);
        load_panels();
    }
}
