// The viewer's orbit camera: the start view holds the whole model, and no drag or zoom loses it.
#include "view_orbit.h"

#include <gtest/gtest.h>
#include <math.h>

namespace {

float length(const float a[3], const float b[3])
{
    return sqrtf((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

TEST(ViewOrbit, TheStartViewHoldsTheSphereFromTheFront)
{
    for (float aspect : {4.0f / 3.0f, 0.5f}) {
        Orbit o;
        const float centre[3] = {10, 2, -3};
        orbit_frame(&o, centre, 5, aspect);
        float eye[3];
        orbit_eye(o, eye);
        // Seen from the eye the sphere's angular radius fits half the narrower field of view.
        float half = atanf(17.5f / o.lens);
        if (aspect < 1)
            half = atanf(tanf(half) * aspect);
        EXPECT_LT(asinf(5 / length(eye, centre)), half);
        EXPECT_LT(eye[2], centre[2]); // in front of the model, which faces -Z
        EXPECT_GT(eye[1], centre[1]); // a little above
        float nearZ, farZ;
        orbit_depth(o, &nearZ, &farZ);
        EXPECT_LT(nearZ, length(eye, centre) - 5);
        EXPECT_GT(farZ, length(eye, centre) + 5);
        EXPECT_GT(nearZ, 0);
    }
}

TEST(ViewOrbit, DragAndZoomStayWithinBounds)
{
    Orbit o;
    const float centre[3] = {0, 0, 0};
    orbit_frame(&o, centre, 2, 1);
    orbit_drag(&o, 0, -10000);
    EXPECT_FLOAT_EQ(o.pitch, kOrbitMaxPitch);
    orbit_drag(&o, 0, 100000);
    EXPECT_FLOAT_EQ(o.pitch, -kOrbitMaxPitch);
    orbit_zoom(&o, 1000);
    EXPECT_GT(o.distance, 2); // never into the model
    orbit_zoom(&o, -1000);
    EXPECT_LT(o.distance, 2 * 100);
    float eye[3];
    orbit_eye(o, eye);
    EXPECT_NEAR(length(eye, centre), o.distance, 1e-3);
    const float point[3] = {0, 0, 0};
    orbit_frame(&o, point, 0, 1); // a single point still gets a view
    EXPECT_GT(o.distance, 0);
}

TEST(ViewOrbit, BoundsHoldEverySphereAndIgnoreEmptyOnes)
{
    const float centres[3][3] = {{-4, 0, 0}, {4, 0, 0}, {100, 100, 100}};
    const float radii[3] = {1, 2, 0};
    float centre[3], radius;
    ASSERT_TRUE(orbit_bounds(centres, radii, 3, centre, &radius));
    EXPECT_FLOAT_EQ(centre[0], 0.5f);
    EXPECT_FLOAT_EQ(radius, 5.5f); // the far side of the larger sphere
    EXPECT_FALSE(orbit_bounds(centres, radii + 2, 1, centre, &radius));
}

} // namespace
