// Portable arithmetic of the sound library: level tables, fades, pan law, distance volume,
// listener rotation and the worker's pacing. No Windows headers: unit-tested natively.
#pragma once

#include <stdint.h>

namespace snd {

enum { VOLUME_STEPS = 101, SILENCE_CB = -10000 };

// Percent 0..100 to hundredths of a decibel, and the product of two such levels.
struct LevelTables {
    int32_t volume[VOLUME_STEPS];                  // centibels x 10 (hundredths of a dB), 0 = full
    int32_t mix[VOLUME_STEPS][VOLUME_STEPS];       // [wave master][local], same unit
};
void build_level_tables(LevelTables *t);

int clamp_percent(int percent);
int clamp_pan(int pan);

// Largest percent whose level does not exceed the given level; 0 when none does.
int percent_from_level(const int32_t volume[VOLUME_STEPS], int32_t level);

// Pitch arithmetic is unsigned 32-bit with truncation, as the device sees it.
uint32_t pitch_to_frequency(uint32_t rate, uint32_t percent);
uint32_t frequency_to_pitch(uint32_t rate, uint32_t frequency);

// A fade of a slot's local volume, timed against the worker's clock.
struct SlotFade {
    int32_t duration;   // ms; 0 = no fade
    int64_t start;      // clock reading at the start; 0 = no fade
    int32_t target;     // percent, not clamped
    int32_t delta;      // target minus the local volume at the start
};
// Value for elapsed ms; sets *reached once the fade's time has run out (value is then the target).
int32_t slot_fade_value(const SlotFade *f, int64_t elapsedMs, bool *reached);

// A fade that counts its remaining time down by the worker's pass time (secondary, master, wave master).
struct CountdownFade {
    int32_t remaining;  // ms
    int32_t duration;   // ms; 0 = none
    int32_t target;     // percent
    int32_t delta;      // value at the start minus target
};
// Lowers the remaining time by dtMs and returns the value to set; *reached when it is the target.
int32_t countdown_fade_step(CountdownFade *f, int32_t dtMs, bool *reached);

// Worker pacing: a 100/3 ms period kept by a single-precision accumulator.
struct Pacing {
    float accumulator;  // ms
};
extern const float PACING_PERIOD_MS;
// Adds dt; returns whether the next pass works and sets *sleepMs to the time to sleep first.
bool pacing_step(Pacing *p, uint32_t dtMs, uint32_t *sleepMs);

// Milliseconds between two readings of a counter of the given frequency (64-bit, truncating).
int64_t counter_ms(int64_t from, int64_t to, int64_t frequency);

// --- 3D ---------------------------------------------------------------------------------------
struct Vec3 { float x, y, z; };

// Rotates v by angles in degrees: about Z by c, then X by a, then Y by b; zero angles are skipped.
Vec3 rotate_by_angles(Vec3 v, float a, float b, float c);
// Brings an angle in degrees into 0..360.
float wrap_degrees(float angle);
// Heading of a direction in the x-z plane, degrees 0 <= A < 360 (0 = +z, 90 = +x).
float heading_degrees(float dx, float dz);
// Elevation of a direction (degrees, positive upwards), for listener angles from a look-at point.
float elevation_degrees(float dx, float dy, float dz);
// Local volume scaled by distance between the minimum and maximum distance.
int distance_volume(int local, float distance, float minimum, float maximum);
// Pan (-100..100) of a sound at heading A for a listener with heading H.
int pan_from_headings(float soundHeading, float listenerHeading);

}  // namespace snd
