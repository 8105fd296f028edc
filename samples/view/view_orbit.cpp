// The model viewer's orbit camera (see view_orbit.h).
#include "view_orbit.h"

#include <math.h>

namespace {

const float kPi = 3.14159265f;
const float kDegreesPerPixel = 0.4f;
const float kZoomStep = 0.85f;          // distance factor of one wheel notch
const float kFrameMargin = 1.02f;       // the sphere fills this fraction less than the view
const float kMinDistance = 1.05f;       // in radii: the eye stays outside the sphere
const float kMaxDistance = 60.0f;
const float kMinRadius = 1e-3f;         // a point-sized model is framed as this small sphere

float clamp(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }

} // namespace

bool orbit_bounds(const float (*centres)[3], const float *radii, int count, float centre[3], float *radius)
{
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    int used = 0;
    for (int i = 0; i < count; ++i) {
        if (!(radii[i] > 0))
            continue;
        ++used;
        for (int k = 0; k < 3; ++k) {
            lo[k] = fminf(lo[k], centres[i][k] - radii[i]);
            hi[k] = fmaxf(hi[k], centres[i][k] + radii[i]);
        }
    }
    if (!used)
        return false;
    for (int k = 0; k < 3; ++k)
        centre[k] = (lo[k] + hi[k]) / 2;
    *radius = 0;
    for (int i = 0; i < count; ++i) {
        if (!(radii[i] > 0))
            continue;
        const float d[3] = {centres[i][0] - centre[0], centres[i][1] - centre[1], centres[i][2] - centre[2]};
        *radius = fmaxf(*radius, sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) + radii[i]);
    }
    return true;
}

void orbit_frame(Orbit *o, const float centre[3], float radius, float aspect)
{
    for (int i = 0; i < 3; ++i)
        o->centre[i] = centre[i];
    o->radius = radius > kMinRadius ? radius : kMinRadius;
    o->yaw = kOrbitStartYaw;
    o->pitch = kOrbitStartPitch;
    // Half the vertical field of view is atan(17.5 / lens); a narrower window limits by its width.
    float half = atanf(17.5f / o->lens);
    if (aspect > 0 && aspect < 1)
        half = atanf(tanf(half) * aspect);
    o->distance = o->radius * kFrameMargin / sinf(half);
}

void orbit_drag(Orbit *o, int dx, int dy)
{
    o->yaw = fmodf(o->yaw - dx * kDegreesPerPixel, 360.0f);
    o->pitch = clamp(o->pitch - dy * kDegreesPerPixel, -kOrbitMaxPitch, kOrbitMaxPitch);
}

void orbit_zoom(Orbit *o, int steps)
{
    o->distance = clamp(o->distance * powf(kZoomStep, (float)steps), o->radius * kMinDistance,
                        o->radius * kMaxDistance);
}

void orbit_eye(const Orbit &o, float eye[3])
{
    const float yaw = o.yaw * kPi / 180, pitch = o.pitch * kPi / 180;
    // Yaw 0 looks at the front: from -Z towards +Z.
    eye[0] = o.centre[0] + o.distance * cosf(pitch) * sinf(yaw);
    eye[1] = o.centre[1] + o.distance * sinf(pitch);
    eye[2] = o.centre[2] - o.distance * cosf(pitch) * cosf(yaw);
}

void orbit_depth(const Orbit &o, float *nearZ, float *farZ)
{
    *nearZ = fmaxf(o.distance - o.radius * 1.5f, o.radius * 0.01f);
    *farZ = o.distance + o.radius * 1.5f;
}
