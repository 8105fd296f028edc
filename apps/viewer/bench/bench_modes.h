// The benchmark's four display modes and the texts that describe them: the Japanese mode line shown
// before a test run and the ASCII overlay line drawn during it.
#pragma once

#include <string>

namespace bench {

constexpr int kModeCount = 4;

struct DisplayMode {
    int width = 0;      // pixels
    int height = 0;     // pixels
    bool windowed = true;
    int antialias = 0;  // level asked of the engine, 0 = its own setting
    int anisotropy = 0; // level asked of the engine, 0 = its own setting
};

// Mode 1..4 as the benchmark asks for it; mode 4 takes the current screen size.
DisplayMode benchmark_mode(int mode, int screenWidth, int screenHeight);
// "960×600ドット　ウインドウモード　アンチエイリアスなし" and its kin.
std::u16string mode_line(const DisplayMode &mode);
// "960 * 600  WindowMode  Antialias-none": the overlay line and the result rows start with it.
std::string mode_description(const DisplayMode &mode);
// The overlay line of a test frame: the description and "  :  FrameRate = <fps>".
std::string overlay_line(const DisplayMode &mode, int framesPerSecond);

} // namespace bench
