// What the viewer reads from keyboard and mouse each frame, and the held-input states.
#pragma once

#include <stdint.h>

#include "panel_layout.h"
#include "trvx.h"

// Scan codes (DirectInput numbering) and button codes of the engine's input queue.
enum : int {
    kKeyEscape = 1, kKeyY = 21, kKeyN = 49, kKeyTab = 15, kKeyLeftCtrl = 29, kKeyRightCtrl = 157,
    kKeyLeftShift = 42, kKeyRightShift = 54, kKeyF1 = 59, kKeyF10 = 68, kKeyNumLock = 69, kKeyF11 = 87,
    kKeyF12 = 88, kKeyPrintScreen = 183, kKeyPause = 197, kKeyHome = 199, kKeyUp = 200, kKeyPageUp = 201,
    kKeyLeft = 203, kKeyRight = 205, kKeyEnd = 207, kKeyDown = 208, kKeyPageDown = 209, kKeyInsert = 210,
    kKeyDelete = 211, kMouseLeft = 257, kMouseRight = 258,
};

// Held-input states: a click or key starts one, its step runs each frame until released.
enum HeldState {
    kHeldNone = 0, kHeldDragPlay = 10, kHeldFast = 13, kHeldVolumeMouse = 16, kHeldVolumeKeys = 18,
    kHeldDragView = 20, kHeldZoomMouse = 27, kHeldCameraDrive = 29, kHeldDragInfo = 30,
};

// Wiped when a run's scene is loaded.
struct InputState {
    int x = 0, y = 0;          // mouse in view coordinates
    int dx = 0, dy = 0, wheel = 0;
    bool ctrl = false, shift = false;
    bool mouseInView = true;
    Hit hover = {0, 0};
    int held = kHeldNone;
    int driveMode = 1;         // 1 keyboard or idle, 2 mouse drag
    int cameraMode = 0;        // 0 none, 1 or 2
    int volume = 30;           // 0..60
};

extern InputState g_input;

// Polls keyboard and mouse (or clears them while the window is inactive) into g_input. A press
// and release that fell between two polls, which polling alone cannot see, is queued after all.
void poll_input();
// Window thread: a key or button (by its engine code) went down. Lock-free; the application thread
// weighs it against its polling at its next poll.
void note_press(int code);
// The engine's code of a WM_KEYDOWN's key (DirectInput numbering), 0 for an auto-repeat.
int press_code(WPARAM key, LPARAM flags);
// Forgets the presses noted so far (while input is being thrown away).
void forget_noted_presses();
// True while a press the window reported is not yet matched with polling or counted as one polling
// missed. A wait that throws input away or counts it lasts until none is, so that a tap late in the
// wait is counted by the wait instead of being lost or acted on after it.
bool presses_undecided();
// One step of a wait: polls keyboard and mouse and throws every queued event away, letting the
// window's messages through for each; returns how many of them were `counted` (0: none counted). A
// request to close the window waits for the next frame.
int discard_input(int counted);
// True while the key or button with this code is held.
bool held(int code);
// The next event from the engine's queue, 0 when none. A close request from the window arrives
// here as an Escape.
int next_input_event();
