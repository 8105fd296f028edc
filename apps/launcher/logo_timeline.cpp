// The logo animation's curves: line growth, the letters' spin, the cross-fades, glint and curtain.
#include "logo_timeline.h"

#include <algorithm>
#include <cmath>

namespace logo {

namespace {

const double kPi = 3.14159265358979323846;
// Final length of the lines of each step, as x scale of their 10-unit mesh.
const float kLineLengths[kLineSteps] = {2.41f, 2.41f, 1.32f, 1.15f, 1.2f};

float f(double v)
{
    return static_cast<float>(v);
}

} // namespace

float line_scale(int step, double ms)
{
    if (step < 0 || step >= kLineSteps)
        return 0;
    return f(std::clamp(ms / kLineStepMs, 0.0, 1.0)) * kLineLengths[step];
}

MovePose move_pose(double ms)
{
    const double s = std::clamp(ms / kMoveMs, 0.0, 1.0);
    const double e = (1 - std::cos(kPi * s)) / 2;
    const double turn = 2 * kPi * e;
    MovePose pose;
    // Red and blue circle round green; all three start side by side at z = 50 and close up.
    pose.red = {{f(12 * e - 33 * std::cos(turn)), 0, f(50 - 59 * e + 33 * std::sin(turn))},
                {0, f(1080 * e), f(30 * std::sin(6 * kPi * e))}};
    pose.green = {{0, 0, f(50 - 50 * e - 80 * std::sin(turn))}, {0, f(1440 * e), 0}};
    pose.blue = {{f(33 * std::cos(turn) - 12 * e), 0, f(50 - 41 * e)},
                 {0, f(1440 * e), f(-30 * std::sin(8 * kPi * e))}};
    // The eye drifts on its own clock, so it is still moving while the letters settle.
    pose.eye = {f(50 * e), f(8 * std::sin(kPi * e) + 15 * e), f(-100 - 31 * s)};
    pose.target = {f(32.1 * e), f(5.2 * e), f(-84 * e)};
    return pose;
}

MoveShading move_shading(int ms)
{
    MoveShading shading = {0, 255, 255, 0};
    ms = std::max(ms, 0);
    if (ms >= 4000) {
        shading.solid = 255;
        shading.glassy = 100;
        shading.specular = std::min((ms - 4000) * 255 / 2000, 255);
    } else if (ms >= 2000) {
        shading.solid = std::min((ms - 2000) * 255 / 2000, 255);
        shading.glassy = 255 - (ms - 2000) * 155 / 2000;
    }
    if (ms >= 5000)
        shading.back = std::max(255 - (ms - 5000) * 255 / 1000, 0);
    return shading;
}

double glint_progress(double ms)
{
    const double u = std::clamp(ms / kGlintMs, 0.0, 1.0);
    return u * u * u;
}

int glint_column(double progress)
{
    return 150 + static_cast<int>(340 * progress);
}

int first_lit_row(const Picture &picture, int column, int first, int last)
{
    if (!picture.pixels || column < 0 || column >= picture.width)
        return -1;
    first = std::max(first, 0);
    last = std::min(last, picture.height - 1);
    for (int row = first; row <= last; ++row)
        if ((picture.pixels[static_cast<size_t>(row) * picture.width + column] & 0xFFFFFFu) != 0)
            return row;
    return -1;
}

GlintPose glint_pose(double progress, int row)
{
    GlintPose pose;
    const int column = glint_column(progress);
    const float y = row < 0 ? f(kGlintFirstRow) : f(row);
    pose.translate = {f(column - kLogoWidth / 2), f(kLogoHeight / 2) - y, 0.02f};
    pose.turn = f(-180 * progress);
    // Smaller where the word mark's edge dips: lower letters catch less light.
    pose.scale = row < 0 ? 0.0f : f(1 - (row - kGlintFirstRow) * 0.5 / 35);
    pose.lightDirection = {f(300 * progress - 100), -100, 200};
    return pose;
}

int curtain(double ms)
{
    return std::clamp(static_cast<int>(255 - 255 * ms / kFadeMs), 0, 255);
}

} // namespace logo
