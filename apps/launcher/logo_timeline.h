// The logo animation as numbers: where every moving part stands at a given time of its step.
// Portable (no Windows headers); the animation thread feeds these into the engine frame by frame.
#pragma once

#include <cstdint>

namespace logo {

struct Vec3 {
    float x, y, z;
};

// Lines: five steps of 500 ms, step k growing the k-th red, green and blue line together.
constexpr int kLineSteps = 5;
constexpr double kLineStepMs = 500;
// Pause with the finished sketch before the letters appear.
constexpr double kSketchHoldMs = 500;
constexpr double kMoveMs = 6000;
constexpr double kGlintMs = 1500;
constexpr double kHoldMs = 1000;
constexpr double kFadeMs = 2000;

// x scale of the lines of step `step` (0-4), `ms` into that step.
float line_scale(int step, double ms);

// The logo sits in a 640 x 480 area centred in the 960 x 600 window.
constexpr int kWindowWidth = 960, kWindowHeight = 600;
constexpr int kLogoWidth = 640, kLogoHeight = 480;
constexpr int kLogoLeft = (kWindowWidth - kLogoWidth) / 2, kLogoTop = (kWindowHeight - kLogoHeight) / 2;

struct Placement {
    Vec3 translate;
    Vec3 rotate; // degrees
};

// The three letters and the camera during the main movement, `ms` into it.
struct MovePose {
    Placement red, green, blue;
    Vec3 eye, target;
};
MovePose move_pose(double ms);

// Transparencies (0 opaque, 255 invisible) and light 1's specular grey level during the movement.
struct MoveShading {
    int solid;    // "02red", "02green", "02blue"
    int glassy;   // "01red", "01green", "01blue"
    int back;     // the back picture
    int specular; // grey level 0-255, all three colour bytes
};
MoveShading move_shading(int ms);

// Light 1's colour word for a grey level (0x00BBGGRR).
constexpr uint32_t grey(int level)
{
    return uint32_t(level) * 0x010101u;
}

// The glint runs along the top edge of the word mark in the finished picture.
constexpr int kGlintFirstRow = 302, kGlintLastRow = 336; // rows of the logo area searched
// Progress of the glint, `ms` into its step: slow start, fast finish.
double glint_progress(double ms);
// Column of the logo area the glint stands on.
int glint_column(double progress);

// A captured picture, 32-bit pixels 0x00RRGGBB, top row first.
struct Picture {
    const uint32_t *pixels;
    int width, height;
};
// First row from `first` to `last` (both included, picture rows) of `column` whose pixel is not
// black, or -1 when there is none or the column lies outside the picture.
int first_lit_row(const Picture &picture, int column, int first, int last);

struct GlintPose {
    Vec3 translate; // overlay coordinates: origin at the logo area's centre, y up
    float turn;     // degrees about Z
    float scale;    // x and y; 0 hides the glint
    Vec3 lightDirection;
};
// `row` is the logo-area row found under the glint's column, or -1 for none.
GlintPose glint_pose(double progress, int row);

// Transparency of the black curtain, `ms` into the fade out.
int curtain(double ms);

} // namespace logo
