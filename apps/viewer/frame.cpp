// The viewer's frame loop, drawing one frame, the photo, and waiting while input is thrown away.
#include <wchar.h>

#include "camera.h"
#include "commands.h"
#include "input.h"
#include "panels.h"
#include "parts.h"
#include "scene.h"
#include "viewer.h"

namespace {

void take_photo()
{
    Viewer &v = g_viewer;
    TRVXCONTEXT ctx = v.ctx;
    wait_ms(200);
    draw_frame(false);
    draw_frame(false);
    HBITMAP bitmap = TRVX_CaptureViewPort(ctx, 0);
    set_fade(0, 200, 0xFFFFFF);
    draw_frame(true);
    if (bitmap) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t folder[MAX_PATH], name[32], path[MAX_PATH + 32];
        photo_file_name({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, name, 32);
        if (writable_folder(L"photo", folder, MAX_PATH)) {
            swprintf(path, MAX_PATH + 32, L"%ls%ls", folder, name);
            TRVX_WriteBitmap(ctx, path, bitmap);
        }
        DeleteObject(bitmap);
    }
    set_fade(0, 255, 0);
    set_button_state(kPlayPanel, kPhotoButton, kIdle);
    forget_hover();
    v.photoRequested = 0;
}

} // namespace

DWORD draw_frame(bool overlays)
{
    Viewer &v = g_viewer;
    TRVXCONTEXT ctx = v.ctx;
    Scene &s = g_scene;
    step_part_sequences(v.clock);
    if (s.sceneRoot)
        TRVXL_CalcLayer(ctx, s.sceneRoot);
    follow_bound_lights();

    TRVX_RenderingEx(ctx, 0, nullptr, 1, s.skyTop);
    if (s.sceneRoot) {
        TRVX_RenderingEx(ctx, 0, s.sceneRoot, 3, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, 10, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, 11, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, 12, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, 23, 0);
        if (overlays) {
            if (v.overlayText[0])
                TRVX_DisplayFont(ctx, 0, v.overlayFont, v.overlayText, 32, &v.overlayRect, v.overlayColour);
            TRVX_RenderingEx(ctx, 0, nullptr, 20, 0);
            TRVX_RenderingEx(ctx, 0, nullptr, 21, 0);
        }
    }
    TRVX_RenderingEx(ctx, 0, nullptr, 2, 0);
    TRVX_FlipViewPort(ctx, 0);
    DWORD ms = TRVX_EndCounter(ctx);
    TRVX_SampleCounter(ctx, (int)ms);
    return ms;
}

void wait_ms(DWORD ms)
{
    TRVXCONTEXT ctx = g_viewer.ctx;
    TRVX_StartCounter(ctx);
    while (TRVX_EndCounter(ctx) < ms) {
        TRVX_DeviceInput(ctx, 3);
        while (TRVX_DeviceInputBuffer(ctx))
            TRVX_SystemTask(ctx);
        Sleep(1);
    }
    forget_noted_presses();
}

void show_message(const wchar_t *text)
{
    TRVXCONTEXT ctx = g_viewer.ctx;
    TRVX_RenderingEx(ctx, 0, nullptr, 1, 0);
    RECT r = {-128, 10, 128, -10};
    TRVX_DisplayFont(ctx, 0, g_viewer.font, text, 33, &r, 0xFFFFFF);
    TRVX_RenderingEx(ctx, 0, nullptr, 2, 0);
    TRVX_FlipViewPort(ctx, 0);
}

void run_viewer_frames()
{
    Viewer &v = g_viewer;
    InputState &in = g_input;
    TRVXCONTEXT ctx = v.ctx;
    v.clock = 0;
    v.speedFactor = 1;
    v.frameTime = 0;
    v.photoRequested = 0;
    v.release = DeferredRelease{};
    select_camera_set(0);
    while (!v.quitRequested) {
        TRVX_StartCounter(ctx);
        poll_input();
        float h = 0, vert = 0, z = (float)in.wheel;
        if (in.held != kHeldNone) {
            step_held_state(&h, &vert, &z);
        } else {
            update_hover();
            while (int code = next_input_event()) {
                handle_command(code);
                if (v.quitRequested)
                    break;
            }
            if (v.quitRequested)
                break;
            if (in.held != kHeldNone)
                step_held_state(&h, &vert, &z);
        }
        update_cursor();
        place_aircraft(v.clock, g_currentCamera);
        update_camera(in.cameraMode, h, vert, z);
        run_due_release();
        turn_propellers(v.frameTime);
        draw_frame(true);
        v.frameTime = TRVX_EndCounter(ctx);
        if (v.photoRequested)
            take_photo();
        v.clock += (uint32_t)v.speedFactor * v.frameTime;
    }
}
