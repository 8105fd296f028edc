// Orbit, cockpit, cabin and free-camera arithmetic, lens ranges and the zoom knob.
#include <gtest/gtest.h>

#include <math.h>

#include "camera_math.h"

static float distance(Vec3 a, Vec3 b)
{
    return sqrtf((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST(Camera, OrbitStopsAtThePole)
{
    float a[4] = {240, 15, 0, 0};
    for (int i = 0; i < 50; ++i)
        drive_outside(a, 1, 0.5f, -10);
    EXPECT_FLOAT_EQ(a[1], 89);
    EXPECT_FLOAT_EQ(a[0], 265);
    Vec3 aircraft = {100, 300, -40};
    EXPECT_NEAR(distance(orbit(aircraft, 50, a[0], a[1]), aircraft), 50, 1e-3);
    Vec3 behind = orbit({0, 0, 0}, 50, 0, 0);
    EXPECT_NEAR(behind.z, 50, 1e-4);
}

TEST(Camera, CockpitSeatSlidesWithoutTurning)
{
    float a[4] = {0, -11, -0.6f, 0};
    for (int i = 0; i < 100; ++i)
        drive_cockpit(a, 2, -1, 0);
    EXPECT_FLOAT_EQ(a[2], 0.6f);
    EXPECT_FLOAT_EQ(a[0], 0);
    Vec3 eye, target;
    cockpit_points(a, &eye, &target);
    EXPECT_FLOAT_EQ(eye.x, 0.6f);
    EXPECT_FLOAT_EQ(target.x, 0.6f);
    drive_cockpit(a, 1, 100, -100);
    EXPECT_FLOAT_EQ(a[0], 90);
    EXPECT_FLOAT_EQ(a[1], 20);
}

TEST(Camera, CabinAisleBounds)
{
    float a[4] = {0, 0, 0, 0};
    for (int i = 0; i < 1000; ++i)
        drive_cabin(a, 1, 0, -10);
    EXPECT_FLOAT_EQ(a[0], 11);
    Vec3 eye, target;
    cabin_points(a, &eye, &target);
    EXPECT_FLOAT_EQ(eye.z, 11);
    EXPECT_FLOAT_EQ(target.z, 13);
}

TEST(Camera, FreeCameraCircleAndHeight)
{
    Vec3 far = free_camera_bounded({2000 + 9000, 50, 0});
    EXPECT_NEAR(far.x, 7000, 1e-2);
    EXPECT_NEAR(far.y, 700, 1e-2);
    Vec3 centre = free_camera_bounded({2000, 999, 0});
    EXPECT_FLOAT_EQ(centre.y, 200);
    Vec3 diagonal = free_camera_bounded({2000 + 6000, 0, 6000});
    EXPECT_NEAR(hypotf(diagonal.x - 2000, diagonal.z), 5000, 0.5);
}

TEST(Camera, ZoomRangesAndKnob)
{
    EXPECT_FLOAT_EQ(zoom_clamped(kCameraCabin, 10), 28);
    EXPECT_FLOAT_EQ(zoom_clamped(kCameraCabin, 300), 80);
    EXPECT_FLOAT_EQ(zoom_clamped(kCameraOutside, 30), 35);
    EXPECT_FLOAT_EQ(zoom_clamped(kCameraFree, 600), 600);
    EXPECT_EQ(zoom_knob_x(kCameraOutside, 35), 79);
    EXPECT_EQ(zoom_knob_x(kCameraOutside, 200), 139);
    EXPECT_FLOAT_EQ(zoom_for_gauge(kCameraFree, 60), 600);
    EXPECT_FLOAT_EQ(zoom_for_gauge(kCameraCockpit, 0), 28);
}
