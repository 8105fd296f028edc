// The viewer's state, kept by lifetime: what lives as long as the process, the display that the next
// engine start asks for, and what one run holds from its engine start to its engine end. A reader
// knows what survives a run by the record a field lives in. The scene, parts, cameras, panels and
// input have records of their own, wiped with the run when its scene is loaded.
#pragma once

#include <atomic>

#include "display_request.h"
#include "trvx.h"
#include "view_math.h"

// The process: set at start, never wiped.
struct ViewerProcess {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    wchar_t programFolder[MAX_PATH] = {}; // ending in a backslash
    wchar_t aircraft[256] = L"hx21ank";
    bool benchmark = false;               // started without an aircraft: the benchmark runs

    // Written by the window thread, read by the application thread (and the other way round).
    std::atomic<int> windowActive{0};
    std::atomic<int> quitRequested{0};
    std::atomic<int> threadFinished{0};
    // The user closed the window during a run: the application thread turns it into an Escape of its
    // own, so that the engine's key queue has only one writer.
    std::atomic<int> closeRequested{0};
};

// A pressed button waiting to be shown released again.
struct DeferredRelease {
    double due = 0; // viewer clock ms (now_ms), 0 = none
    int panel = 0, button = 0, state = 0;
};

// One run: wiped at every engine start.
struct ViewerRun {
    TRVXCONTEXT ctx = nullptr; // written by the window thread's engine start
    ViewShape view = {960, 600, 0, 0};
    int font = 0;

    double clock = 0;      // simulation clock, ms
    int speedFactor = 1;   // 4 while fast-forward is held
    double frameMs = 0;    // the last frame's time
    DeferredRelease release;

    wchar_t overlayText[128] = {}; // drawn over the scene when not empty (the benchmark's figures)
    RECT overlayRect = {};
    DWORD overlayColour = 0xFFFFFF;
    int overlayFont = 0;
    wchar_t notice[64] = {}; // a short message over the scene (a photo that could not be saved)
    double noticeUntil = 0;  // now_ms until which it shows
};

extern ViewerProcess g_process;
// The display the next engine start asks for: from hx21app.ini, or the benchmark's mode.
extern DisplayRequest g_display;
extern ViewerRun g_run;
