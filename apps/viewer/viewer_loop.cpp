// The viewer's frame loop as states of one pass: a dialog when one is open, a photo after the frame
// that asked for it, else one frame of flight with the user's input.
#include "viewer_loop.h"

#include "camera.h"
#include "commands.h"
#include "dialogs.h"
#include "frame.h"
#include "input.h"
#include "panels.h"
#include "parts.h"
#include "photo.h"
#include "platform.h"
#include "viewer_state.h"

namespace {

// The simulation clock steps after the photo that a frame asked for, as it would have had the
// photo been taken inside that frame.
bool g_clockStepPending;

bool quitting()
{
    return g_process.quitRequested != 0;
}

void step_clock()
{
    g_run.clock += g_run.speedFactor * g_run.frameMs;
    g_clockStepPending = false;
}

// Hands the queued events to the command table; false when one of them ended the frame (quit, or a
// dialog that takes over the next passes).
bool handle_events()
{
    while (int code = next_input_event()) {
        handle_command(code);
        if (quitting() || dialog_open())
            return false;
    }
    return true;
}

void fly()
{
    double start = now_ms();
    InputState &in = g_input;
    poll_input();
    float h = 0, v = 0, z = (float)in.wheel;
    if (in.held != kHeldNone) {
        step_held_state(&h, &v, &z);
    } else {
        update_hover();
        if (!handle_events())
            return;
        if (in.held != kHeldNone)
            step_held_state(&h, &v, &z);
    }
    update_cursor();
    place_aircraft(g_run.clock, g_currentCamera);
    update_camera(in.cameraMode, h, v, z);
    run_due_release();
    turn_propellers(g_run.frameMs);
    draw_frame(true);
    g_run.frameMs = now_ms() - start;
    g_clockStepPending = true;
    if (!photo_wanted())
        step_clock();
}

} // namespace

void viewer_begin()
{
    g_run.clock = 0;
    g_run.speedFactor = 1;
    g_run.frameMs = 0;
    g_run.release = DeferredRelease{};
    g_clockStepPending = false;
    forget_photos();
    forget_dialogs();
    select_camera_set(0);
}

bool viewer_frame()
{
    if (dialog_open()) {
        dialog_step();
    } else if (photo_wanted() && g_clockStepPending) {
        if (photo_step())
            step_clock();
    } else {
        fly();
    }
    return !quitting();
}
