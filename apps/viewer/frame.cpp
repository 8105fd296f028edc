// Drawing one frame of the scene: the part sequences, the evaluation, the lights that follow lamp
// layers, the render steps, the overlay text, and the present.
#include "frame.h"

#include "parts.h"
#include "platform.h"
#include "scene.h"
#include "viewer_state.h"

namespace {

const DWORD kSingleLine = 32, kSingleLineCentred = 33; // text formats of TRVX_DisplayFont
const DWORD kNoticeColour = 0x4040FF;

void draw_overlay_texts(TRVXCONTEXT ctx)
{
    ViewerRun &run = g_run;
    if (run.overlayText[0])
        TRVX_DisplayFont(ctx, 0, run.overlayFont, run.overlayText, kSingleLine, &run.overlayRect, run.overlayColour);
    if (run.notice[0] && now_ms() < run.noticeUntil) {
        RECT r = {-run.view.width / 2, -run.view.height / 2 + 70, run.view.width / 2, -run.view.height / 2 + 50};
        TRVX_DisplayFont(ctx, 0, run.font, run.notice, kSingleLineCentred, &r, kNoticeColour);
    }
}

} // namespace

bool draw_frame(bool overlays)
{
    TRVXCONTEXT ctx = g_run.ctx;
    Scene &s = g_scene;
    step_part_sequences(g_run.clock);
    if (s.sceneRoot)
        TRVXL_CalcLayer(ctx, s.sceneRoot);
    follow_bound_lights();

    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_BEGIN, s.skyTop);
    if (s.sceneRoot) {
        TRVX_RenderingEx(ctx, 0, s.sceneRoot, TRVX_STEP_COLLECT, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_SETUP_3D, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_OPAQUE, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_SORTED, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_POINTS, 0);
        if (overlays) {
            draw_overlay_texts(ctx);
            TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_SETUP_2D, 0);
            TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_FRONT, 0);
        }
    }
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_END, 0);
    return TRVX_FlipViewPort(ctx, 0) != 0;
}

void show_message(const wchar_t *text)
{
    TRVXCONTEXT ctx = g_run.ctx;
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_BEGIN, 0);
    RECT r = {-128, 10, 128, -10};
    TRVX_DisplayFont(ctx, 0, g_run.font, text, kSingleLineCentred, &r, 0xFFFFFF);
    TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_END, 0);
    TRVX_FlipViewPort(ctx, 0);
}
