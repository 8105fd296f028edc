// The display that the next engine start asks for.
#pragma once

struct DisplayRequest {
    int windowed = 1;
    int width = 960, height = 600; // the window's client size, or the full-screen mode
    int antialias = 0, anisotropy = 0; // 0 = the engine's own setting
};
