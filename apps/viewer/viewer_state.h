// State of the viewer shared by the window thread, the application thread and the frame code,
// and the entry points of its parts that the benchmark reuses.
#pragma once

#include <atomic>

#include "sonra.h"
#include "trvx.h"
#include "view_math.h"

// Run modes: 0 the viewer, 1..6 a benchmark state (3..6 are its test runs).
const int kRunViewer = 0;

// Window commands that the application thread sends the window thread.
const UINT kCommandEngineStart = 32769;
const UINT kCommandEngineEnd = 32770;

// A pressed button waiting to be shown released again.
struct DeferredRelease {
    DWORD due = 0; // tick count, 0 = none
    int panel = 0, button = 0, state = 0;
};

struct Viewer {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    wchar_t programFolder[MAX_PATH] = {}; // ending in a backslash
    int runMode = kRunViewer;
    wchar_t aircraft[256] = L"hx21ank";

    // Requested screen: client size in a window, the display mode in full screen.
    int windowed = 1;
    int screenWidth = 960, screenHeight = 600;
    int antialias = 0, anisotropy = 0; // 0 = the engine's own setting
    ViewShape view = {960, 600, 0, 0};

    TRVXCONTEXT ctx = nullptr;
    tagTRVXSYSINFO systemInfo = {};
    int hardware3D = 0;
    int font = 0;

    // Flags shared by the two threads.
    std::atomic<int> windowActive{0};
    std::atomic<int> quitRequested{0};
    std::atomic<int> threadFinished{0};
    std::atomic<int> mouseDown{0};
    std::atomic<int> textSpeed{1000};
    // Set by the window thread when the user closes the window; the application thread turns it
    // into an Escape key of its own, so the engine's key queue has only one writer.
    std::atomic<int> closeRequested{0};

    uint32_t clock = 0;    // simulation clock, ms
    int speedFactor = 1;   // 4 while fast-forward is held
    DWORD frameTime = 0;   // ms taken by the last frame
    int photoRequested = 0;
    DeferredRelease release;

    wchar_t overlayText[128] = {}; // drawn over the scene when not empty
    RECT overlayRect = {};
    DWORD overlayColour = 0xFFFFFF;
    int overlayFont = 0;
};

extern Viewer g_viewer;

// --- window thread (main.cpp) -------------------------------------------------------------------
// Sends the window thread one of the two engine commands and waits until it has run.
void send_engine_command(UINT command);

// --- application thread (app_thread.cpp) --------------------------------------------------------
DWORD WINAPI application_thread(void *);

// --- frames (frame.cpp) -------------------------------------------------------------------------
// Runs the viewer until the user quits.
void run_viewer_frames();
// Draws one frame, with the panels, dialogs, cursor and text when `overlays`; returns its ms.
DWORD draw_frame(bool overlays);
// Polls keyboard and mouse, throwing every queued event away, for `ms` milliseconds.
void wait_ms(DWORD ms);
// One frame showing `text` centred on black.
void show_message(const wchar_t *text);

// --- user folders (user_folder.cpp) -------------------------------------------------------------
// A writable folder for `leaf` ("photo", "result"): beside the program when it can be written there,
// else under the user's Documents\HX-21\. Ends in a backslash; false when neither can be made.
bool writable_folder(const wchar_t *leaf, wchar_t *out, int units);
