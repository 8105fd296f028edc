// Level tables, fades, pan law and pacing of the sound library: plain arithmetic, no platform calls.
#include "snd_math.h"

#include <math.h>

namespace snd {

const float PACING_PERIOD_MS = 100.0f / 3.0f;
static const float PI_F = 3.1415927f;

void build_level_tables(LevelTables *t)
{
    t->volume[0] = SILENCE_CB;
    for (int i = 1; i < VOLUME_STEPS; ++i) {
        // single precision throughout, truncated toward zero: 50 -> -1505, 2 -> -8494
        float v = 5000.0f * log10f((float)i) - 10000.0f;
        t->volume[i] = (int32_t)v;
    }
    for (int a = 0; a < VOLUME_STEPS; ++a) {
        t->mix[a][0] = SILENCE_CB;
        for (int b = 1; b < VOLUME_STEPS; ++b)
            t->mix[a][b] = ((t->volume[a] + 10000) * (t->volume[b] + 10000)) / 10000 - 10000;
    }
}

int clamp_percent(int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; }
int clamp_pan(int pan) { return pan < -100 ? -100 : pan > 100 ? 100 : pan; }

int percent_from_level(const int32_t volume[VOLUME_STEPS], int32_t level)
{
    for (int i = 100; i >= 1; --i)
        if (volume[i] <= level)
            return i;
    return 0;
}

uint32_t pitch_to_frequency(uint32_t rate, uint32_t percent) { return rate * percent / 100u; }

uint32_t frequency_to_pitch(uint32_t rate, uint32_t frequency)
{
    return rate ? frequency * 100u / rate : 0;
}

int32_t slot_fade_value(const SlotFade *f, int64_t elapsedMs, bool *reached)
{
    if (f->duration <= 0 || elapsedMs > f->duration) {
        *reached = true;
        return f->target;
    }
    *reached = false;
    if (elapsedMs < 0)
        elapsedMs = 0;
    return (int32_t)(f->target - f->delta + (int64_t)f->delta * elapsedMs / f->duration);
}

int32_t countdown_fade_step(CountdownFade *f, int32_t dtMs, bool *reached)
{
    f->remaining -= dtMs;
    if (f->remaining > 0 && f->duration > 0) {
        *reached = false;
        return (int32_t)(f->target + (int64_t)f->delta * f->remaining / f->duration);
    }
    *reached = true;
    return f->target;
}

bool pacing_step(Pacing *p, uint32_t dtMs, uint32_t *sleepMs)
{
    p->accumulator += (float)dtMs;
    *sleepMs = 0;
    if (p->accumulator < PACING_PERIOD_MS) {
        *sleepMs = (uint32_t)(PACING_PERIOD_MS - p->accumulator);
        return true;
    }
    if (p->accumulator == PACING_PERIOD_MS)
        return false;
    while (p->accumulator > PACING_PERIOD_MS)
        p->accumulator -= PACING_PERIOD_MS;
    return true;
}

int64_t counter_ms(int64_t from, int64_t to, int64_t frequency)
{
    if (frequency <= 0)
        return 0;
    int64_t d = to - from;
    // split to keep d * 1000 from overflowing on long runs of a fast counter
    return d / frequency * 1000 + d % frequency * 1000 / frequency;
}

Vec3 rotate_by_angles(Vec3 v, float a, float b, float c)
{
    if (c != 0.0f) {
        float r = c * PI_F / 180.0f, cs = cosf(r), sn = sinf(r);
        float x = v.x * cs - v.y * sn, y = v.x * sn + v.y * cs;
        v.x = x;
        v.y = y;
    }
    if (a != 0.0f) {
        float r = a * PI_F / 180.0f, cs = cosf(r), sn = sinf(r);
        float y = v.y * cs - v.z * sn, z = v.y * sn + v.z * cs;
        v.y = y;
        v.z = z;
    }
    if (b != 0.0f) {
        float r = b * PI_F / 180.0f, cs = cosf(r), sn = sinf(r);
        float z = v.z * cs - v.x * sn, x = v.x * cs + v.z * sn;
        v.z = z;
        v.x = x;
    }
    return v;
}

float wrap_degrees(float angle)
{
    if (!(angle == angle) || fabsf(angle) > 1.0e7f)
        return 0.0f;  // NaN or a value the loop below could not bring back in range
    while (angle > 360.0f)
        angle -= 360.0f;
    while (angle < 0.0f)
        angle += 360.0f;
    return angle;
}

float heading_degrees(float dx, float dz)
{
    if (dx == 0.0f && dz == 0.0f)
        return 0.0f;
    float c = dz / sqrtf(dx * dx + dz * dz);
    c = c > 1.0f ? 1.0f : c < -1.0f ? -1.0f : c;
    float a = acosf(c) * 180.0f / PI_F;
    if (dx < 0.0f)
        a = -a;
    if (a < 0.0f)
        a += 360.0f;
    return a;
}

float elevation_degrees(float dx, float dy, float dz)
{
    float h = sqrtf(dx * dx + dz * dz);
    if (h == 0.0f && dy == 0.0f)
        return 0.0f;
    return atan2f(dy, h) * 180.0f / PI_F;
}

int distance_volume(int local, float distance, float minimum, float maximum)
{
    if (distance < minimum)
        return local;
    if (distance > maximum)
        return 0;
    float span = maximum - minimum;
    if (span <= 0.0f)
        return local;
    return (int)((float)local - (distance - minimum) * (float)local / span);
}

int pan_from_headings(float soundHeading, float listenerHeading)
{
    float f = fabsf(soundHeading - listenerHeading);
    float c = cosf(f * PI_F / 180.0f);
    float pan;
    if (f <= 90.0f)
        pan = 100.0f * (1.0f - c);
    else if (f <= 180.0f)
        pan = 100.0f * (1.0f + c);
    else if (f <= 270.0f)
        pan = -100.0f * (1.0f + c);
    else
        pan = -100.0f * (1.0f - c);
    if (soundHeading <= listenerHeading)
        pan = -pan;
    return (int)pan;
}

}  // namespace snd
