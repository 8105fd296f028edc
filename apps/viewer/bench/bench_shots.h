// The test run's six camera shots as arithmetic: each shot's clock range and starting camera, the
// camera values and the fade of each frame, the yoke's swing and the outside engine's pitch. The
// script plays them (bench_script.cpp); here they are portable and tested natively.
#pragma once

#include <cstdint>

namespace bench {

constexpr int kShots = 6;
constexpr float kThreeQuarterTurn = 4.71238911151886f; // 3π/2: the cosine goes 1 → 0 → −1 → 0

struct ShotRange {
    double start, end; // simulation clock, ms
};
extern const ShotRange kShotRanges[kShots];

// A shot's camera: the set, its lens and its type's four angles or offsets.
struct ShotView {
    int set;
    float lens;
    float a[4];
};
// The camera a shot starts with.
ShotView shot_start_view(int shot);

// The fade layer a frame asks for; `set` false when the shot leaves it alone.
struct ShotFade {
    bool set;
    float depth;
    int transparency; // 0 opaque .. 255 clear, black
};

// This frame's camera values of `shot` at `clock` (ms), the drag nudge (ox, oy) applied to `view`;
// and its fade.
void shot_frame_view(int shot, double clock, int ox, int oy, ShotView &view);
ShotFade shot_frame_fade(int shot, double clock);

// The second shot's yoke: aileron angle e and elevator angle g (degrees) at `clock`.
struct YokeAngles {
    float e, g;
};
YokeAngles yoke_angles(double clock);

// The fifth shot's outside engine pitch (percent of the wave's rate) at progress d (0..1).
int engine_pitch(float d);

} // namespace bench
