// The circuit, the channels, the gear, the beacons and the sun.
#include <gtest/gtest.h>

#include "flight.h"
#include "sun.h"

TEST(Flight, CircuitPoints)
{
    FlightPose start = flight_pose(0, 1.0f);
    EXPECT_NEAR(start.position.x, 0, 1e-3);
    EXPECT_NEAR(start.position.y, 300, 1e-3);
    EXPECT_NEAR(start.position.z, 3000, 1e-3);
    EXPECT_NEAR(start.rotation.y, 180, 1e-3);

    FlightPose low = flight_pose(20000, 1.0f);
    EXPECT_NEAR(low.position.x, 0, 0.5);
    EXPECT_NEAR(low.position.y, 20, 0.5);
    EXPECT_NEAR(low.position.z, 0, 0.5);

    FlightPose again = flight_pose(164000, 1.0f);
    EXPECT_NEAR(again.position.y, 300, 1e-3);
    EXPECT_NEAR(again.position.z, 3000, 1e-3);
}

// The pose is continuous where the legs meet and the bank reaches 30 degrees inside the turns.
TEST(Flight, LegsJoinAndTurnsBank)
{
    for (uint32_t joint : {40000u, 82000u, 122000u, 164000u}) {
        FlightPose before = flight_pose(joint - 1, 0), after = flight_pose(joint, 0);
        EXPECT_NEAR(before.position.x, after.position.x, 1.0) << joint;
        EXPECT_NEAR(before.position.y, after.position.y, 1.0) << joint;
        EXPECT_NEAR(before.position.z, after.position.z, 1.0) << joint;
        EXPECT_NEAR(before.rotation.z, after.rotation.z, 0.1) << joint;
    }
    EXPECT_FLOAT_EQ(flight_pose(60000, 0).rotation.z, 30);
    EXPECT_FLOAT_EQ(flight_pose(60000, 0).rotation.x, -10);
    EXPECT_FLOAT_EQ(flight_pose(140000, 0).rotation.z, 30);
    EXPECT_NEAR(flight_pose(100000, 0).rotation.y, 0, 1e-4);
}

TEST(Channels, TimedBothWaysAndJump)
{
    TimedChannel gear;
    gear.duration = 10000;
    EXPECT_FALSE(timed_step(gear, 500));

    timed_start(gear, 1000, -1);
    ASSERT_TRUE(timed_step(gear, 8000));
    EXPECT_EQ(gear.e, 7000);
    EXPECT_TRUE(gear.running);
    ASSERT_TRUE(timed_step(gear, 20000));
    EXPECT_EQ(gear.e, 10000);
    EXPECT_FALSE(gear.running);
    EXPECT_FALSE(timed_step(gear, 20001));

    timed_start(gear, 1000, +1);
    timed_step(gear, 3000);
    EXPECT_EQ(gear.e, 8000);

    TimedChannel door;
    door.duration = 23000;
    timed_start(door, -1, -1);
    ASSERT_TRUE(timed_step(door, 0));
    EXPECT_EQ(door.e, 23000);
    EXPECT_FALSE(timed_step(door, 1));
}

TEST(Channels, PeriodicStopsAtCycleEnd)
{
    PeriodicChannel beacon;
    beacon.period = 1000;
    beacon.start = 1;
    ASSERT_TRUE(periodic_step(beacon, 1251));
    EXPECT_EQ(beacon.phase, 250);
    beacon.stopFlag = -1;
    ASSERT_TRUE(periodic_step(beacon, 1900));
    EXPECT_EQ(beacon.phase, 899);
    periodic_step(beacon, 2050);
    EXPECT_EQ(beacon.start, 0);
    EXPECT_EQ(beacon.phase, 0);
    EXPECT_FALSE(periodic_step(beacon, 2100));
}

TEST(Gear, ValuesAlongTheSequence)
{
    GearValues at7 = gear_values(7000);
    EXPECT_FLOAT_EQ(100 * at7.s, 100);
    EXPECT_FLOAT_EQ(at7.w, 0);
    EXPECT_FLOAT_EQ(at7.lamp, 0);
    EXPECT_FLOAT_EQ(at7.p, 7000 / 8000.0f);
    EXPECT_FLOAT_EQ(gear_values(400).lamp, 2);
    EXPECT_FLOAT_EQ(gear_values(750).lamp, 1);
    EXPECT_FLOAT_EQ(gear_values(1000).lamp, 0);
    EXPECT_FLOAT_EQ(gear_values(9000).q, 0.5f);
    EXPECT_FLOAT_EQ(gear_values(10000).w, 1);
    EXPECT_FLOAT_EQ(flap_extension(0), 1);
    EXPECT_FLOAT_EQ(flap_extension(6000), 0);
}

TEST(Beacons, FlashTwicePerSecond)
{
    EXPECT_FLOAT_EQ(beacon_brightness(150, 0), 1);
    EXPECT_FLOAT_EQ(beacon_brightness(150, 1), 0);
    EXPECT_FLOAT_EQ(beacon_brightness(450, 1), 1);
    EXPECT_FLOAT_EQ(beacon_brightness(300, 0) + beacon_brightness(300, 1), 0);
}

TEST(Propellers, BlurShowsAtFlightRates)
{
    int blur, blade;
    propeller_looks(8, &blur, &blade);
    EXPECT_EQ(blur, 0);
    EXPECT_EQ(blade, 255);
    propeller_looks(3, &blur, &blade);
    EXPECT_EQ(blur + blade, 255);
    Propeller p;
    for (int i = 0; i < 1000; ++i)
        propeller_turn(p, 8.5f, 0.016f);
    EXPECT_GE(p.blade, -360);
    EXPECT_LE(p.blade, 0);
    EXPECT_LE(p.blur, 360);
}

TEST(Sun, NoonAndEvening)
{
    SunLight noon = sun_at(kViewerTime);
    EXPECT_EQ(noon.nightAmbient, 0u);
    EXPECT_EQ(noon.diffuse, 0x00F0F0F0u);
    EXPECT_LT(noon.direction.y, 0);

    SunLight evening = sun_at(151 * 1440 + 1050);
    EXPECT_EQ(evening.nightAmbient, (uint32_t)(10 << 16 | 2 << 8));
    EXPECT_NE(evening.diffuse, 0u);
    EXPECT_NE(evening.diffuse, noon.diffuse);
}
