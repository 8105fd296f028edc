// Portable arithmetic of the aircraft: its circuit over the airport, the timed and periodic
// channels that drive every part sequence, and the values each sequence derives from its channel.
#pragma once

#include <stdint.h>

#include "vec3.h"

// Where the aircraft is and how it is turned (degrees: pitch, heading, bank).
struct FlightPose {
    Vec3 position;
    Vec3 rotation;
};

const uint32_t kCircuitMs = 164000;

// (1 - cos(pi x)) / 2: an ease from 0 to 1.
float smooth(float x);
// The pose at simulation clock `clock` (ms, fractions kept: at thousands of frames a second the
// aircraft still moves every frame) with the wobble scaled by `wobble`.
FlightPose flight_pose(double clock, float wobble);
// The wobble amplitude for a camera set: the steadier the seat, the smaller the shake.
float wobble_for_camera_set(int set);

// A sequence played once: forwards (direction -1: e from 0 to T) or back (+1: from T to 0).
struct TimedChannel {
    int64_t start = 0;  // 0 idle, -1 jump to the end, else the clock when it started (ms)
    int32_t duration;   // T, ms
    int direction;      // +1 or -1
    bool running = false;
    int32_t e = 0;      // current value, ms
};
// Advances the channel to `clock`; false when it is idle and nothing is to be moved.
bool timed_step(TimedChannel &c, uint32_t clock);
void timed_start(TimedChannel &c, int64_t start, int direction);

// A repeating cycle (the anti-collision beacons).
struct PeriodicChannel {
    int64_t start = 0; // 0 idle, -1 stop now, else the clock when it started (ms)
    int32_t period;    // ms
    int stopFlag = 0;  // negative: stop at the end of the current cycle
    bool running = false;
    int32_t phase = 0; // ms into the cycle
};
// Advances the cycle; false when it is idle.
bool periodic_step(PeriodicChannel &c, uint32_t clock);

// Landing gear at e ms of its 10 s sequence (0 down, 10000 up).
struct GearValues {
    float s;    // nose gear swing, 0..1
    float w;    // nose gear doors, 0..1
    float lamp; // landing lamps on the nose gear, point size 2..0
    float p;    // main gear swing, 0..1
    float q;    // main gear doors, 0..1
};
GearValues gear_values(int32_t e);

// Flap extension 0..1 (smoothed) at e ms of the 6 s sequence.
float flap_extension(int32_t e);

// Brightness 0..1 of the upper (0) and lower (1) beacon at a phase of the 1 s cycle.
float beacon_brightness(int32_t phase, int which);

// One propeller: blade and blur-disc angles (degrees) advanced by `seconds` at `rate` rev/s.
struct Propeller {
    float blade = 0, blur = 0;
};
void propeller_turn(Propeller &p, float rate, float seconds);
// Transparencies (0 opaque, 255 invisible) of the blur discs and the blade group at `rate`.
void propeller_looks(float rate, int *blurTransparency, int *bladeTransparency);
