// Loading a run's scene in its order: the loading bar first, then the sky cylinder and clouds, the
// aircraft and its parts, the airport and its rebuild walk (skipped once the user asked to quit),
// the fade layer, the camera sets, the cursors; for the viewer the date's sun, sky and fog, and the
// panels. A file that cannot be read leaves its handle 0 and the loading goes on.
#include "scene_load.h"

#include <wchar.h>

#include "camera.h"
#include "frame.h"
#include "input.h"
#include "layers.h"
#include "panels.h"
#include "parts.h"
#include "scene.h"
#include "viewer_state.h"
#include "trvx_profile_win32.h"

namespace {

const uint32_t kBuiltSkyTop = 0xFF0000, kBuiltSkyMiddle = 0x00FF00, kBuiltSkyHorizon = 0x0000FF;
const uint32_t kViewerSkyTop = 0x90511A, kViewerSkyMiddle = 0xA37F94;
const float kViewerFogStart = 1000, kViewerFogEnd = 12000;

// Opens the gauge with `caption`, reads `file` under `parent`, closes the gauge.
TRVXLAYER read_with_bar(TRVXLAYER parent, const wchar_t *file, const wchar_t *caption)
{
    if (!parent)
        return nullptr;
    TRVXCONTEXT ctx = g_run.ctx;
    TRVX_OpenGage(ctx, caption, loading_bar);
    TRVXLAYER layer = TRVXL_ReadLayer(ctx, parent, file);
    TRVX_CloseGage(ctx);
    return layer;
}

TRVXLAYER create_under(TRVXLAYER parent, const wchar_t *name)
{
    return parent ? TRVXL_CreateLayer(g_run.ctx, parent, name) : nullptr;
}

TRVXLAYER read_under(TRVXLAYER parent, const wchar_t *file)
{
    return parent ? TRVXL_ReadLayer(g_run.ctx, parent, file) : nullptr;
}

void load_cursors()
{
    Scene &s = g_scene;
    s.controlMaster = create_under(s.sceneRoot, L"ControlMaster");
    s.cursorGroup = create_under(s.controlMaster, L"Cursor");
    s.arrow = read_under(s.cursorGroup, L"cursor\\allow.tvm");
    s.hand = read_under(s.cursorGroup, L"cursor\\hand.tvm");
    switch_layer(s.arrow, false);
    switch_layer(s.hand, false);
}

void load_aircraft()
{
    Scene &s = g_scene;
    s.aircraftGroup = create_under(s.sceneRoot, L"HX-21");
    wchar_t file[600];
    swprintf(file, ARRAYSIZE(file), L"plane\\%ls\\%ls.tvm", g_process.aircraft, g_process.aircraft);
    s.aircraft = read_with_bar(s.aircraftGroup, file, L"航空機の読み込み中...");
    Vec3 modelAt = {0, -2, 0}, modelTurn = {0, 180, 0};
    move_layer(s.aircraft, &modelAt, &modelTurn);
    find_parts();
}

void load_airport()
{
    Scene &s = g_scene;
    s.map = create_under(s.sceneRoot, L"Map");
    if (!g_process.quitRequested)
        s.airport = read_with_bar(s.map, L"port\\rjbh\\rjbh.tvm", L"情景の読み込み中...");
    if (!g_process.quitRequested)
        rebuild_airport();
}

} // namespace

void load_scene()
{
    TRVXCONTEXT ctx = g_run.ctx;
    Scene &s = g_scene;
    s = Scene{};
    s.root = TRVXL_SearchLayer(ctx, nullptr, nullptr);
    s.loadBarModel = read_under(s.root, L"etc\\load_bar\\load_bar.tvm");
    s.loadBar = find_layer(s.loadBarModel, L"load_bar");

    s.sceneRoot = create_under(s.root, L"Scene");
    s.sky = create_under(s.sceneRoot, L"SKY");
    s.lastTime = -1;
    s.ambient.kind = TRVX_LIGHT_AMBIENT;
    s.sun.kind = TRVX_LIGHT_DIRECTIONAL;
    s.skyCylinder = s.sky ? build_sky_cylinder(s.sky) : nullptr;
    s.skyTop = kBuiltSkyTop;
    s.skyMiddle = kBuiltSkyMiddle;
    s.skyHorizon = kBuiltSkyHorizon;
    colour_sky();
    s.clouds = read_under(s.sky, L"etc\\clouds\\landclouds.tvm");
    trvx_profile_mark("viewer.sky");

    load_aircraft();
    trvx_profile_mark("viewer.aircraft");
    load_airport();
    trvx_profile_mark("viewer.airport");

    show_message(L"リソースの登録中...");
    create_fade_layer();
    init_camera_sets();
    load_cursors();
    g_input = InputState{};
    trvx_profile_mark("viewer.resources");
}

void dress_for_viewer()
{
    Scene &s = g_scene;
    set_sun_time(kViewerTime);
    s.skyTop = kViewerSkyTop;
    s.skyMiddle = kViewerSkyMiddle;
    s.skyHorizon = s.sun.diffuse;
    colour_sky();
    TRVX_SetFog(g_run.ctx, kViewerFogStart, kViewerFogEnd, s.skyHorizon);
    load_panels();
    trvx_profile_mark("viewer.panels");
}
