// The viewer's command table for keys and clicks, and the steps of the held-input states.
#include "commands.h"

#include <string.h>

#include "camera.h"
#include "dialogs.h"
#include "input.h"
#include "panels.h"
#include "parts.h"
#include "photo.h"
#include "viewer_state.h"

namespace {

const int kVolumeMax = 60;

int clampi(int x, int low, int high) { return x < low ? low : x > high ? high : x; }

void start_fast()
{
    set_button_state(kPlayPanel, kFastButton, kPressed);
    g_run.speedFactor = 4;
    g_input.held = kHeldFast;
}

void toggle_target()
{
    CameraSet &s = g_cameraSets[g_currentCamera];
    if (!s.targetAllowed)
        return;
    s.target = !s.target;
    set_button_base(kViewPanel, kTargetButton, s.target ? 3 : 0);
    press_with_release(kViewPanel, kTargetButton);
}

void set_map(bool on)
{
    CameraSet &s = g_cameraSets[g_currentCamera];
    if (!s.mapAllowed || (s.map != 0) == on)
        return;
    s.map = on;
    set_button_base(kViewPanel, kMapButton, on ? 3 : 0);
    press_with_release(kViewPanel, kMapButton);
}

void start_drive(int driveMode, int cameraMode)
{
    g_input.driveMode = driveMode;
    g_input.cameraMode = cameraMode;
    g_input.held = kHeldCameraDrive;
}

void function_key(int k)
{
    if (k >= 5 && g_input.ctrl && g_cameraSets[g_currentCamera].type != kCameraEmpty) {
        g_cameraSets[k] = g_cameraSets[g_currentCamera];
    }
    select_camera_set(k);
}

void left_click()
{
    Hit hit = g_input.hover;
    if (hit.panel == kPlayPanel) {
        switch (hit.button) {
        case kPhotoButton: request_photo(); break;
        case kFastButton: start_fast(); break;
        case kPauseButton: open_pause_dialog(); break;
        case kStopButton: open_end_dialog(); break;
        case kVolumeButton: g_input.held = kHeldVolumeMouse; break;
        default: g_input.held = kHeldDragPlay; break;
        }
    } else if (hit.panel == kViewPanel) {
        if (hit.button >= 1 && hit.button <= 5)
            select_camera_set(hit.button - 1);
        else if (hit.button == kTargetButton)
            toggle_target();
        else if (hit.button == kZoomButton)
            g_input.held = kHeldZoomMouse;
        else if (hit.button == kMapButton)
            set_map(!g_cameraSets[g_currentCamera].map);
        else
            g_input.held = kHeldDragView;
    } else if (hit.panel == kInfoPanel) {
        g_input.held = kHeldDragInfo;
    } else {
        start_drive(2, 1);
    }
}

void step_drag(int panel)
{
    if (held(kMouseLeft))
        drag_panel(panel, g_input.dx, g_input.dy);
    else
        g_input.held = kHeldNone;
}

void step_keyboard_drive(float *h, float *v, float *z)
{
    CameraSet &s = g_cameraSets[g_currentCamera];
    InputState &in = g_input;
    bool any = false;
    int m = in.ctrl ? 2 : 1;
    float k1 = s.keySpeed[m == 1 ? 0 : 2], k2 = s.keySpeed[m == 1 ? 1 : 3];
    float g = (float)(0.05 * g_run.frameMs);
    if (held(kKeyLeft))
        *h = -k1 * g, any = true;
    if (held(kKeyRight))
        *h = k1 * g, any = true;
    if (held(kKeyUp))
        *v = k2 * g, any = true;
    if (held(kKeyDown))
        *v = -k2 * g, any = true;
    if (held(kKeyPageUp))
        *z = g, any = true;
    if (held(kKeyPageDown))
        *z = -g, any = true;
    if (!any) {
        in.held = kHeldNone;
        in.cameraMode = 0;
    } else {
        in.cameraMode = m;
    }
}

void step_mouse_drive(float *h, float *v)
{
    InputState &in = g_input;
    int button = in.cameraMode == 2 ? kMouseRight : kMouseLeft;
    if (held(button)) {
        drag_drive(in.dx, in.dy, g_run.view.width, g_run.view.height, h, v);
        return;
    }
    in.held = kHeldNone;
    in.cameraMode = 0;
    in.driveMode = 1;
}

} // namespace

void select_camera_set(int k)
{
    CameraSet &s = g_cameraSets[k];
    if (s.type == kCameraEmpty)
        return;
    for (int b = 1; b <= 5; ++b)
        set_button_base(kViewPanel, b, b == s.type ? 3 : 0);
    set_button_base(kViewPanel, kTargetButton, !s.targetAllowed ? kHiddenBase : s.target ? 3 : 0);
    set_button_base(kViewPanel, kMapButton, !s.mapAllowed ? kHiddenBase : s.map ? 3 : 0);
    g_currentCamera = k;
    set_zoom(s.camera.lens);
    show_parts_for_camera(s.type);
    forget_hover();
}

void handle_command(int code)
{
    InputState &in = g_input;
    switch (code) {
    case kKeyEscape: open_end_dialog(); break;
    case kKeyTab: toggle_target(); break;
    case kKeyLeftShift:
    case kKeyRightShift: start_fast(); break;
    case kKeyPrintScreen: request_photo(); break;
    case kKeyPause: open_pause_dialog(); break;
    case kKeyHome:
    case kKeyEnd: in.held = kHeldVolumeKeys; break;
    case kKeyUp:
    case kKeyPageUp:
    case kKeyLeft:
    case kKeyRight:
    case kKeyDown:
    case kKeyPageDown: start_drive(in.driveMode, in.ctrl ? 2 : 1); break;
    case kKeyInsert: set_map(true); break;
    case kKeyDelete: set_map(false); break;
    case kMouseLeft: left_click(); break;
    case kMouseRight: start_drive(2, 2); break;
    default:
        if (code >= kKeyF1 && code <= kKeyF10)
            function_key(code - kKeyF1);
        else if (code == kKeyF11 || code == kKeyF12)
            function_key(code - kKeyF11 + 10);
        break;
    }
}

void step_held_state(float *h, float *v, float *z)
{
    InputState &in = g_input;
    switch (in.held) {
    case kHeldDragPlay: step_drag(kPlayPanel); break;
    case kHeldDragView: step_drag(kViewPanel); break;
    case kHeldDragInfo: step_drag(kInfoPanel); break;
    case kHeldFast:
        if (!held(kMouseLeft) && !in.shift) {
            set_button_state(kPlayPanel, kFastButton, kIdle);
            g_run.speedFactor = 1;
            in.held = kHeldNone;
            forget_hover();
        }
        break;
    case kHeldVolumeMouse:
        if (held(kMouseLeft)) {
            int ox, oy;
            panel_origin_of(kPlayPanel, &ox, &oy);
            in.volume = clampi(in.x - ox - 66, 0, kVolumeMax);
            place_volume_knob(in.volume + 70);
        } else {
            in.held = kHeldNone;
        }
        break;
    case kHeldVolumeKeys:
        if (held(kKeyEnd))
            in.volume = clampi(in.volume - 1, 0, kVolumeMax);
        else if (held(kKeyHome))
            in.volume = clampi(in.volume + 1, 0, kVolumeMax);
        else
            in.held = kHeldNone;
        place_volume_knob(in.volume + 70);
        break;
    case kHeldZoomMouse:
        if (held(kMouseLeft)) {
            int ox, oy;
            panel_origin_of(kViewPanel, &ox, &oy);
            int g = clampi(in.x - ox - 76, 0, 60);
            CameraSet &s = g_cameraSets[g_currentCamera];
            s.camera.lens = zoom_for_gauge(s.type, g);
            place_zoom_knob(g + 79);
        } else {
            in.held = kHeldNone;
        }
        break;
    case kHeldCameraDrive:
        if (in.driveMode == 2)
            step_mouse_drive(h, v);
        else
            step_keyboard_drive(h, v, z);
        break;
    default: break;
    }
}
