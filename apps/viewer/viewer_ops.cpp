// The operations the benchmark uses, carried out on the viewer's state.
#include "viewer_ops.h"

#include <string.h>

#include "camera.h"
#include "engine_commands.h"
#include "frame.h"
#include "input.h"
#include "layers.h"
#include "panels.h"
#include "parts.h"
#include "scene.h"
#include "sonra.h"
#include "user_folder.h"
#include "viewer_state.h"

namespace viewer {

namespace {

TimedChannel &timed(Channel channel)
{
    PartChannels &c = g_channels;
    switch (channel) {
    case Channel::Gear: return c.gear;
    case Channel::Flaps: return c.flaps;
    case Channel::LandingLights: return c.landingLights;
    default: return c.door;
    }
}

} // namespace

HWND window() { return g_process.window; }
const wchar_t *program_folder() { return g_process.programFolder; }
bool quit_requested() { return g_process.quitRequested != 0; }
void request_quit() { g_process.quitRequested = 1; }

bool writable_folder(const wchar_t *leaf, wchar_t *out, int units) { return ::writable_folder(leaf, out, units); }

bool probe_pc(tagTRVXSYSINFO *pc, bool *hardware3DSound)
{
    g_display = DisplayRequest{};
    g_run = ViewerRun{};
    if (!start_engine())
        return false;
    memcpy(pc, (const void *)TRVX_GetInformation(g_run.ctx, TRVX_INFO_SYSTEM), sizeof *pc);
    tagSNRCAPS caps = {};
    *hardware3DSound = SNR2_GetCaps(&caps) && caps.hardware3D == 1;
    end_engine();
    return true;
}

int view_width() { return g_run.view.width; }
int view_height() { return g_run.view.height; }

TRVXLAYER read_scene_model(const wchar_t *file)
{
    return g_scene.sceneRoot ? TRVXL_ReadLayer(g_run.ctx, g_scene.sceneRoot, file) : nullptr;
}

TRVXLAYER find_layer(TRVXLAYER in, const wchar_t *name) { return ::find_layer(in, name); }
TRVXLAYER aircraft_part(const wchar_t *name) { return ::aircraft_part(name); }
void switch_layer(TRVXLAYER layer, bool on) { ::switch_layer(layer, on); }
void place_layer(TRVXLAYER layer, Vec3 at) { move_layer(layer, &at, nullptr); }
void turn_layer(TRVXLAYER layer, Vec3 angles) { move_layer(layer, nullptr, &angles); }

void start_channel(Channel channel, int64_t start, int direction)
{
    TimedChannel &c = timed(channel);
    timed_start(c, start, direction ? direction : c.direction);
}

bool channel_running(Channel channel) { return timed(channel).running; }

void start_beacons(int64_t start)
{
    PeriodicChannel &b = g_channels.beacons;
    if (!b.running) {
        b.start = start;
        b.stopFlag = 0;
    }
}

void stop_beacons()
{
    g_channels.beacons.start = -1;
    g_channels.beacons.stopFlag = -1;
}

void place_camera(const ShotCamera &shot)
{
    g_currentCamera = shot.set;
    CameraSet &c = g_cameraSets[shot.set];
    c.camera.lens = shot.lens;
    memcpy(c.a, shot.a, sizeof c.a);
}

int camera_type(int set) { return g_cameraSets[set].type; }
void show_parts_for_camera(int cameraType) { ::show_parts_for_camera(cameraType); }
void set_sun_time(int minutes) { ::set_sun_time(minutes); }

void tilt_sun(float dz)
{
    g_scene.sun.direction.z += dz;
    TRVX_SetLight(g_run.ctx, 1, &g_scene.sun);
}

void set_sky_colours(uint32_t top, uint32_t middle, uint32_t horizon)
{
    g_scene.skyTop = top;
    g_scene.skyMiddle = middle;
    g_scene.skyHorizon = horizon;
    colour_sky();
}

void set_fog(float start, float end, uint32_t colour) { TRVX_SetFog(g_run.ctx, start, end, colour); }
void set_fade(float depth, int transparency, uint32_t colour) { ::set_fade(depth, transparency, colour); }

void set_overlay_line(const char *text, const RECT &rect, int font, uint32_t colour)
{
    ViewerRun &run = g_run;
    size_t n = 0;
    for (; text[n] && n + 1 < ARRAYSIZE(run.overlayText); ++n)
        run.overlayText[n] = (wchar_t)(unsigned char)text[n];
    run.overlayText[n] = 0;
    run.overlayRect = rect;
    run.overlayFont = font;
    run.overlayColour = colour;
}

TestInput read_input()
{
    InputState &in = g_input;
    poll_input();
    TestInput got = {};
    while (int code = next_input_event()) {
        if (code == kKeyEscape)
            got.escape = true;
        else if (code == kMouseLeft && in.mouseInView)
            got.leftPressInView = true;
    }
    got.leftHeld = held(kMouseLeft);
    got.dx = in.dx;
    got.dy = in.dy;
    return got;
}

void reset_pointer(int x, int y)
{
    g_input.held = kHeldNone;
    g_input.x = x;
    g_input.y = y;
    g_run.ctx->inputState.axes[0] = x;
    g_run.ctx->inputState.axes[1] = y;
}

void update_pointer(PointerLook look)
{
    if (look == PointerLook::Hand) {
        g_input.driveMode = 2;
    } else if (look == PointerLook::ArrowAfterDrag) {
        release_pointer_clip();
        g_input.driveMode = 1;
    }
    update_cursor();
}

bool draw_test_frame(double clock, double propellerMs)
{
    g_run.clock = clock;
    place_aircraft(clock, g_currentCamera);
    update_camera(0, 0, 0, 0);
    turn_propellers(propellerMs);
    return draw_frame(true);
}

} // namespace viewer
