// The scene of a run and what changes it: the loading bar and its frames, the sky cylinder and its
// colours, the airport's rebuild walk, the sun, the fade layer and the drawn cursor's two shapes.
#include "scene.h"

#include <math.h>
#include <string.h>

#include "layers.h"
#include "platform.h"
#include "viewer_state.h"

Scene g_scene;

namespace {

const float kSkyRadius = 18000, kSkyHeight = 2000;
const int kSkyColumns = 16, kSkyRings = 4;

void draw_loading_frame(TRVXCONTEXT ctx, const wchar_t *caption)
{
    Scene &s = g_scene;
    if (s.loadBarModel)
        TRVXL_CalcLayer(ctx, s.loadBarModel);
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_BEGIN, 0);
    if (s.loadBarModel)
        TRVX_RenderingEx(ctx, 0, s.loadBarModel, TRVX_STEP_COLLECT, 0);
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_SETUP_2D, 0);
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_FRONT, 0);
    RECT text = {-128, 40, 128, 20};
    TRVX_DisplayFont(ctx, 0, g_run.font, caption, 32, &text, 0xFFFFFF);
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_END, 0);
    TRVX_FlipViewPort(ctx, 0);
}

// Each loading frame costs a whole present; a file of many layers would otherwise spend more time
// showing its progress than reading. The bar still moves 20 times a second and shows its end.
const double kLoadingFrameMs = 50;
double g_lastLoadingFrameMs = -kLoadingFrameMs;

} // namespace

void WINAPI loading_bar(TRVXCONTEXT ctx, const wchar_t *caption, DWORD percent)
{
    Vec3 scale = {percent / 100.0f, 1, 1};
    move_layer(g_scene.loadBar, nullptr, nullptr, &scale);
    double now = now_ms();
    if (percent < 100 && now - g_lastLoadingFrameMs < kLoadingFrameMs && now >= g_lastLoadingFrameMs)
        return;
    g_lastLoadingFrameMs = now;
    draw_loading_frame(ctx, caption);
}

namespace {

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
    TRVXL_EXT_Function(ctx, layer, TRVX_EXT_NAME, (DWORD_PTR)name, 0);
    if (name[0] != L'@')
        return TRVX_WALK_CONTINUE;
    for (const wchar_t *pair = name + 1; pair[0] && pair[0] != L'_' && pair[1]; pair += 2) {
        if (pair[0] == L'N' && pair[1] == L'2') {
            for (int stage = 3; stage >= 1; --stage)
                TRVXL_TextureLayer(ctx, layer, stage, nullptr);
            TRVXL_ModeLayer(ctx, layer, TRVX_MODE_TEXTURED + 1);
        } else if (pair[0] == L'N' && pair[1] == L'4') {
            TRVXL_TextureLayer(ctx, layer, 3, nullptr);
            TRVXL_ModeLayer(ctx, layer, TRVX_MODE_TEXTURED + 3);
        }
    }
    return TRVX_WALK_CONTINUE;
}

} // namespace

TRVXLAYER build_sky_cylinder(TRVXLAYER parent)
{
    TRVXCONTEXT ctx = g_run.ctx;
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
    TRVXL_EXT_RecallFunction(ctx, layer, TRVX_EXT_NO_FOG, 1, 0, 0);
    return layer;
}

void create_fade_layer()
{
    TRVXCONTEXT ctx = g_run.ctx;
    Scene &s = g_scene;
    float parameters[4] = {4.0f, 2.0f, (float)g_run.view.width, (float)g_run.view.height};
    s.fade = s.sceneRoot ? TRVXL_CreateModel(ctx, s.sceneRoot, parameters) : nullptr;
    if (s.fade)
        TRVXL_EXT_RecallFunction(ctx, s.fade, TRVX_EXT_OVERLAY, 1, 0, 0);
    set_fade(0, 255, 0);
}

void rebuild_airport()
{
    TRVXCONTEXT ctx = g_run.ctx;
    Scene &s = g_scene;
    if (!s.airport)
        return;
    TRVX_OpenGage(ctx, L"情景の再構築中...", loading_bar);
    RebuildProgress progress = {0, 0};
    TRVXL_CountLayer(ctx, s.airport, &progress.total, nullptr, nullptr, 1);
    TRVX_CallBackLayer(ctx, s.airport, rebuild_layer, &progress, TRVX_WALK_PREORDER);
    TRVX_CloseGage(ctx);
}

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
    TRVX_SetLight(g_run.ctx, 0, &s.ambient);
    TRVX_SetLight(g_run.ctx, 1, &s.sun);
}

void colour_sky()
{
    Scene &s = g_scene;
    if (!s.skyCylinder)
        return;
    TRVXCONTEXT ctx = g_run.ctx;
    tagTRVXVERTEX *vertices = (tagTRVXVERTEX *)TRVXL_EXT_Function(ctx, s.skyCylinder, TRVX_EXT_VERTICES, 0, 0);
    int count = (int)TRVXL_EXT_Function(ctx, s.skyCylinder, TRVX_EXT_VERTEX_COUNT, 0, 0);
    if (!vertices || count != kSkyColumns * kSkyRings)
        return;
    tagTRVXVERTEX copy[kSkyColumns * kSkyRings];
    memcpy(copy, vertices, sizeof copy);
    for (int i = 0; i < count; ++i) {
        int ring = i / kSkyColumns;
        copy[i].colour = ring == 0 ? s.skyTop : ring == 1 ? s.skyMiddle : s.skyHorizon;
    }
    TRVXL_SetVertex(ctx, s.skyCylinder, count, copy);
    TRVXL_ModeLayer(ctx, s.skyCylinder, TRVX_MODE_VERTEX_COLOUR);
}
