// Portable arithmetic of the aircraft's circuit, channels and part sequences.
#include "flight.h"

#include <math.h>

namespace {

const float kPi = 3.14159265358979f;

float clamp01(float x) { return x < 0 ? 0 : x > 1 ? 1 : x; }

// Bank and pitch of a turn that eases in over its first and out over its last 5 s.
void bank(double b, double turnStart, float *pitch, float *roll)
{
    float into = (float)(b - turnStart);
    float k = 1;
    if (into < 5000)
        k = smooth(into / 5000.0f);
    else if (into > 37000)
        k = smooth(1 - (into - 37000) / 5000.0f);
    *roll = 30 * k;
    *pitch = -2 - 8 * k;
}

} // namespace

float smooth(float x)
{
    return (1 - cosf(kPi * x)) / 2;
}

FlightPose flight_pose(double clock, float wobble)
{
    double b = fmod(clock, kCircuitMs);
    FlightPose pose;
    Vec3 &p = pose.position, &r = pose.rotation;
    if (b < 40000) {
        float f = (float)(b / 40000);
        p = {0, 280 * (2 * f - 1) * (2 * f - 1) + 20, 3000 - 6000 * f};
        r = {4 * sinf(2 * kPi * f) - 2, 180, 0};
    } else if (b < 82000) {
        float q = (float)((b - 40000) / 42000);
        p = {2000 - 2000 * cosf(kPi * q), 300 + 300 * q, -3000 - 2000 * sinf(kPi * q)};
        r.y = 180 - 180 * smooth(q);
        bank(b, 40000, &r.x, &r.z);
    } else if (b < 122000) {
        float f = (float)((b - 82000) / 40000);
        p = {4000, 600, 6000 * f - 3000};
        r = {-2, 0, 0};
    } else {
        float q = (float)((b - 122000) / 42000);
        p = {2000 + 2000 * cosf(kPi * q), 600 - 300 * q, 3000 + 2000 * sinf(kPi * q)};
        r.y = -180 * q;
        bank(b, 122000, &r.x, &r.z);
    }
    // A light random-looking shake made of incommensurate sines over one circuit.
    float Q = (float)(b / kCircuitMs);
    auto s = [Q](int k) { return sinf(k * kPi * Q); };
    float A = wobble;
    p.x += A * (0.3f * s(69) + 0.2f * s(67));
    p.y += A * (0.3f * s(50) + 0.2f * s(69));
    p.z += A * (0.3f * s(121) + 0.2f * s(71));
    r.x += A * (s(89) + 0.2f * s(67));
    r.y += A * (0.1f * s(47) + 0.2f * s(77));
    r.z += A * (s(63) + 0.5f * s(73));
    return pose;
}

float wobble_for_camera_set(int set)
{
    switch (set) {
    case 0:
    case 1: return 1.0f;
    case 2: return 0.5f;
    default: return 0.3f; // the free camera and stored sets shake no more than the steadiest seat
    }
}

void timed_start(TimedChannel &c, int64_t start, int direction)
{
    c.start = start;
    c.direction = direction;
    c.running = true;
}

bool timed_step(TimedChannel &c, uint32_t clock)
{
    if (c.start == 0)
        return false;
    int64_t e;
    if (c.start == -1) {
        e = c.duration;
        c.start = 0;
        c.running = false;
    } else {
        e = (int64_t)clock - c.start;
    }
    if (c.direction == 1)
        e = c.duration - e;
    if (e < 0 || e > c.duration) {
        e = e < 0 ? 0 : c.duration;
        c.start = 0;
        c.running = false;
    }
    c.e = (int32_t)e;
    return true;
}

bool periodic_step(PeriodicChannel &c, uint32_t clock)
{
    if (c.start == 0)
        return false;
    int32_t previous = c.phase;
    int64_t elapsed = (int64_t)clock - c.start;
    int32_t phase = (int32_t)(((elapsed % c.period) + c.period) % c.period);
    c.running = false;
    if (c.start == -1 || (c.stopFlag < 0 && phase < previous)) {
        c.start = 0;
        c.phase = 0;
        return true;
    }
    c.phase = phase;
    return true;
}

GearValues gear_values(int32_t e)
{
    if (e <= 0)
        return {0, 0, 2, 0, 0};
    if (e > 10000)
        return {1, 1, 0, 1, 1};
    GearValues g = {0, 0, 0, 0, 0};
    if (e < 500) {
        g.lamp = 2;
    } else if (e <= 1000) {
        g.lamp = 2 - 2 * (e - 500) / 500.0f;
    } else if (e <= 7000) {
        g.s = (e - 1000) / 6000.0f;
    } else {
        g.s = 1;
        g.w = clamp01((e - 7000) / 2000.0f);
    }
    if (e <= 8000) {
        g.p = e / 8000.0f;
    } else {
        g.p = 1;
        g.q = (e - 8000) / 2000.0f;
    }
    return g;
}

float flap_extension(int32_t e)
{
    return smooth(1 - clamp01(e / 6000.0f));
}

float beacon_brightness(int32_t phase, int which)
{
    int32_t from = which == 0 ? 100 : 400;
    if (phase < from || phase > from + 100)
        return 0;
    return sinf(kPi * (phase - from) / 100.0f);
}

void propeller_turn(Propeller &p, float rate, float seconds)
{
    p.blade -= 360 * rate * seconds;
    while (p.blade < -360)
        p.blade += 360;
    p.blur += 30 * (rate - 7) * seconds;
    while (p.blur < -360)
        p.blur += 360;
    while (p.blur > 360)
        p.blur -= 360;
}

void propeller_looks(float rate, int *blur, int *blade)
{
    if (rate < 2) {
        *blur = 255;
        *blade = 0;
    } else if (rate < 4) {
        int m = (int)((rate - 2) * 0.5f * 255);
        *blur = 255 - m;
        *blade = m;
    } else {
        *blur = 0;
        *blade = 255;
    }
}
