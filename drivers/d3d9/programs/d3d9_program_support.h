// Shared pieces of the driver's demonstration and benchmark programs: options, a plain window, and
// writing the back buffer of the engine's device as a bitmap file.
#pragma once

#include <vector>

#include "trvx.h"

struct DemoOptions {
    int width = 640, height = 480; // client size of the window, pixels
    double seconds = 0;            // 0 = until the window is closed
    const char *screenshot = 0;    // bitmap written at the end of the run
    int frames = 300;              // benchmark: frames per measurement
    int boxes = 0;                 // benchmark: a box scene of this many beside the 2000 (0 = none)
};

// --seconds N, --screenshot FILE, --size WxH, --frames N, --boxes N.
DemoOptions parse_options(int argc, char **argv);
// A shown top-level window with the given client size.
HWND open_program_window(const wchar_t *title, int width, int height);
// A program window of the options' size with the engine started on it (windowed), or null after
// saying on stderr that the driver could not start.
TRVXCONTEXT start_program_engine(const wchar_t *title, const DemoOptions &options, HWND *window);
// Lights the scene with an ambient colour (light 0) and one directional sun (light 1); colours 0x00BBGGRR.
void set_ambient_and_sun(TRVXCONTEXT ctx, uint32_t ambient, TRVXVECTOR direction, uint32_t sun);
// Pumps the window's messages; false once it has been closed.
bool program_window_open(HWND window);
// Writes the engine device's back buffer as a 24-bit bitmap file; 1 on success.
int save_back_buffer(TRVXCONTEXT ctx, const char *fileName);
