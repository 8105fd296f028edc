// Native tests of sonra's arithmetic: level tables, fades, pacing, pitch and the 3D pan law.
#include <gtest/gtest.h>

#include "snd_math.h"

using namespace snd;

TEST(LevelTables, HoldTheLogarithmicValues)
{
    static LevelTables t;
    build_level_tables(&t);
    EXPECT_EQ(0, t.volume[100]);
    EXPECT_EQ(-1505, t.volume[50]);
    EXPECT_EQ(-5000, t.volume[10]);
    EXPECT_EQ(-8494, t.volume[2]);
    EXPECT_EQ(-10000, t.volume[1]);
    EXPECT_EQ(-10000, t.volume[0]);
    for (int v = 0; v <= 100; ++v) {
        EXPECT_EQ(t.volume[v], t.mix[100][v]) << v;
        EXPECT_EQ(-10000, t.mix[v][0]) << v;
        EXPECT_EQ(-10000, t.mix[0][v]) << v;
    }
    EXPECT_EQ(-2784, t.mix[50][50]);
    for (int v = 1; v <= 100; ++v)
        EXPECT_LE(t.volume[v - 1], t.volume[v]);
    EXPECT_EQ(37, percent_from_level(t.volume, t.volume[37]));
    EXPECT_EQ(0, percent_from_level(t.volume, -20000));
    EXPECT_EQ(1, percent_from_level(t.volume, -10000));
}

TEST(Levels, ClampAndPitchTruncate)
{
    EXPECT_EQ(100, clamp_percent(150));
    EXPECT_EQ(0, clamp_percent(-5));
    EXPECT_EQ(-100, clamp_pan(-300));
    EXPECT_EQ(18742u, pitch_to_frequency(22050, 85));
    EXPECT_EQ(84u, frequency_to_pitch(22050, 18742));
    EXPECT_EQ(0u, frequency_to_pitch(0, 18742));
}

TEST(Fades, SlotFadeFollowsElapsedTime)
{
    SlotFade f = {3000, 1, 80, 80};  // from 0 to 80
    bool reached;
    EXPECT_EQ(0, slot_fade_value(&f, 0, &reached));
    EXPECT_FALSE(reached);
    EXPECT_EQ(40, slot_fade_value(&f, 1500, &reached));
    EXPECT_EQ(80, slot_fade_value(&f, 3000, &reached));
    EXPECT_FALSE(reached);
    EXPECT_EQ(80, slot_fade_value(&f, 3001, &reached));
    EXPECT_TRUE(reached);
    SlotFade down = {1000, 1, 0, -100};  // from 100 to 0
    EXPECT_EQ(75, slot_fade_value(&down, 250, &reached));
    SlotFade now = {0, 1, 20, 20};
    EXPECT_EQ(20, slot_fade_value(&now, 0, &reached));
    EXPECT_TRUE(reached);
}

TEST(Fades, CountdownReachesItsTargetByPassTime)
{
    CountdownFade f = {2000, 2000, 10, 90};  // from 100 to 10
    bool reached;
    EXPECT_EQ(55, countdown_fade_step(&f, 1000, &reached));
    EXPECT_FALSE(reached);
    EXPECT_EQ(10 + 90 * 500 / 2000, countdown_fade_step(&f, 500, &reached));
    EXPECT_EQ(10, countdown_fade_step(&f, 600, &reached));
    EXPECT_TRUE(reached);
    CountdownFade zero = {0, 0, 30, 70};
    EXPECT_EQ(30, countdown_fade_step(&zero, 0, &reached));
    EXPECT_TRUE(reached);
}

TEST(Pacing, KeepsAThirtyThreeMillisecondPeriod)
{
    Pacing p = {0.0f};
    uint32_t sleepMs;
    EXPECT_TRUE(pacing_step(&p, 0, &sleepMs));
    EXPECT_EQ(33u, sleepMs);
    EXPECT_TRUE(pacing_step(&p, 33, &sleepMs));  // 33 < 33.33: sleeps the rest, truncated to 0
    EXPECT_EQ(0u, sleepMs);
    EXPECT_TRUE(pacing_step(&p, 1, &sleepMs));   // above the period: one period is taken off
    EXPECT_EQ(0u, sleepMs);
    EXPECT_NEAR(0.6667f, p.accumulator, 1e-3);
    Pacing late = {0.0f};
    EXPECT_TRUE(pacing_step(&late, 250, &sleepMs));  // a stall: periods drop, no catch-up burst
    EXPECT_LE(late.accumulator, PACING_PERIOD_MS);
    Pacing exact = {PACING_PERIOD_MS};
    EXPECT_FALSE(pacing_step(&exact, 0, &sleepMs));
    // a minute of 1 ms passes keeps the accumulator bounded
    Pacing busy = {0.0f};
    for (int i = 0; i < 60000; ++i)
        pacing_step(&busy, 1, &sleepMs);
    EXPECT_LE(busy.accumulator, PACING_PERIOD_MS);
}

TEST(Pacing, CounterMillisecondsDoNotOverflow)
{
    EXPECT_EQ(1500, counter_ms(0, 15000000, 10000000));
    int64_t day = 10000000LL * 86400 * 365 * 100;  // a century of a 10 MHz counter
    EXPECT_EQ(86400000LL * 365 * 100, counter_ms(0, day, 10000000));
    EXPECT_EQ(0, counter_ms(0, 5, 0));
}

TEST(Space, PanLawAndDistanceVolume)
{
    EXPECT_EQ(29, pan_from_headings(heading_degrees(1, 1), 0));
    EXPECT_EQ(100, pan_from_headings(heading_degrees(1, 0), 0));
    EXPECT_EQ(0, pan_from_headings(heading_degrees(0, -1), 0));
    EXPECT_EQ(-100, pan_from_headings(heading_degrees(-1, 0), 0));
    EXPECT_EQ(0, pan_from_headings(heading_degrees(0, 1), 0));
    EXPECT_EQ(-100, pan_from_headings(0, 90));  // listener turned right: the sound ahead is left
    EXPECT_FLOAT_EQ(270.0f, heading_degrees(-1, 0));
    EXPECT_EQ(80, distance_volume(80, 50, 100, 200));
    EXPECT_EQ(80, distance_volume(80, 100, 100, 200));
    EXPECT_EQ(40, distance_volume(80, 150, 100, 200));
    EXPECT_EQ(0, distance_volume(80, 201, 100, 200));
    EXPECT_EQ(80, distance_volume(80, 100, 100, 100));
}

TEST(Space, AnglesRotateTheListener)
{
    Vec3 front = rotate_by_angles({0, 0, 1}, 0, 90, 0);
    EXPECT_NEAR(1.0f, front.x, 1e-6);
    EXPECT_NEAR(0.0f, front.z, 1e-6);
    Vec3 up = rotate_by_angles({0, 0, 1}, -90, 0, 0);
    EXPECT_NEAR(1.0f, up.y, 1e-6);
    Vec3 roll = rotate_by_angles({0, 1, 0}, 0, 0, 90);
    EXPECT_NEAR(-1.0f, roll.x, 1e-6);
    EXPECT_FLOAT_EQ(10.0f, wrap_degrees(370.0f));
    EXPECT_FLOAT_EQ(350.0f, wrap_degrees(-10.0f));
    EXPECT_FLOAT_EQ(0.0f, wrap_degrees(1.0e30f));
    EXPECT_NEAR(45.0f, elevation_degrees(1, 1, 0), 1e-4);
}
