// The shots' arithmetic.
#include "bench_shots.h"

#include <algorithm>
#include <cmath>

namespace bench {

const ShotRange kShotRanges[kShots] = {
    {30000, 48000}, {70000, 80000}, {100000, 115000}, {160000, 175000}, {145000, 160000}, {0, 15000},
};

namespace {

enum CameraSet { kOutsideSet = 0, kCockpitSet = 1, kCabinSet = 2 };

float clamp01(double x) { return static_cast<float>(std::clamp(x, 0.0, 1.0)); }

int transparency(double value) { return std::clamp(static_cast<int>(value), 0, 255); }

} // namespace

ShotView shot_start_view(int shot) {
    static const ShotView views[kShots] = {
        {kOutsideSet, 110, {200, 3, 0, 0}}, {kCockpitSet, 28, {85, 0, 1, 0}},  {kOutsideSet, 40, {30, 16, 0, 0}},
        {kCabinSet, 40, {0, 0, 90, 0}},     {kOutsideSet, 110, {270, 5, 0, 0}}, {kCockpitSet, 60, {0, -11, -0.6f, 0}},
    };
    return views[shot];
}

void shot_frame_view(int shot, double clock, int ox, int oy, ShotView &v) {
    const ShotRange &range = kShotRanges[shot];
    float d = clamp01((clock - range.start) / (range.end - range.start));
    float x = static_cast<float>(ox), y = static_cast<float>(oy);
    switch (shot) {
    case 0: {
        float b = 1 - std::min(static_cast<float>((clock - 30000) / 10000), 1.0f);
        v.a[0] = 200 - 25 * b + 0.05f * x;
        v.a[1] = 3 - 3 * b - 0.03f * y;
        v.lens = 100 + 90 * b;
        break;
    }
    case 1: {
        float a = static_cast<float>((clock - 70000) / 10000);
        v.a[2] = 0.5f + 0.3f * a;
        v.a[0] = 60 + 8 * a + 0.05f * x;
        v.a[1] = -0.05f * y;
        break;
    }
    case 2:
        v.a[0] = 30 + 70 * d + 0.1f * x;
        v.a[1] = 16 + 10 * d;
        v.lens = 40 + 40 * d - (y < 0 ? 0.2f * y : 0);
        break;
    case 3:
        v.a[0] = 2 + 4 * d;
        v.a[2] = 130 - 50 * d + 0.1f * x;
        v.a[3] = -0.1f * y;
        break;
    case 4:
        v.a[0] = 280 + 50 * d + 0.08f * x;
        v.a[1] = 5 + 10 * d - 0.08f * y;
        v.lens = 110 - 30 * d;
        break;
    default:
        v.a[0] = static_cast<float>(60 * (1 - clock / 15000)) + 0.2f * x;
        v.a[1] = -11 - 0.2f * y;
        break;
    }
}

ShotFade shot_frame_fade(int shot, double clock) {
    if (shot == 0)
        return clock <= 33000 ? ShotFade{true, -1, transparency(255.0 * (clock - 30000) / 3000)}
                              : ShotFade{true, 0, 255};
    if (shot == kShots - 1 && clock > 11999)
        return {true, -1, transparency(255 - 255.0 * (clock - 12000) / 3000)};
    return {false, 0, 255};
}

YokeAngles yoke_angles(double clock) {
    float u = clock > 75999 ? static_cast<float>((clock - 76000) / 4000) : 0;
    float c = std::cos(kThreeQuarterTurn * u);
    return {std::clamp(-30 * c, -30.0f, 30.0f), std::clamp(15 * c, -30.0f, 30.0f)};
}

int engine_pitch(float d) { return static_cast<int>(85 + 15 * std::cos(kThreeQuarterTurn * d)); }

} // namespace bench
