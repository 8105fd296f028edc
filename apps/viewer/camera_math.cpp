// Portable camera arithmetic.
#include "camera_math.h"

#include <math.h>

namespace {

const float kRadians = 3.14159265358979f / 180.0f;

float clampf(float x, float low, float high) { return x < low ? low : x > high ? high : x; }

} // namespace

Vec3 orbit(Vec3 p, float d, float a, float e)
{
    float ca = cosf(a * kRadians), sa = sinf(a * kRadians), ce = cosf(e * kRadians), se = sinf(e * kRadians);
    return {p.x + d * ce * sa, p.y + d * se, p.z + d * ce * ca};
}

void drive_outside(float a[4], int m, float h, float v)
{
    if (m == 1) {
        a[0] += h;
        a[1] = clampf(a[1] - v, -89, 89);
    } else if (m == 2) {
        a[2] -= h;
        a[3] -= v;
    }
}

void drive_cockpit(float a[4], int m, float h, float v)
{
    if (m == 1) {
        a[0] = clampf(a[0] + 1.5f * h, -90, 90);
        a[1] = clampf(a[1] - 1.5f * v, -20, 20);
    } else if (m == 2) {
        a[2] = clampf(a[2] - 0.05f * h, -0.6f, 0.6f);
    }
}

void drive_cabin(float a[4], int m, float h, float v)
{
    if (m == 1) {
        float yaw = a[2] * kRadians;
        a[0] = clampf(a[0] - 0.03f * (v * cosf(yaw) + h * sinf(yaw)), -11, 11);
    } else if (m == 2) {
        a[2] += h;
        a[3] = clampf(a[3] - v, -20, 20);
    }
}

void cockpit_points(const float a[4], Vec3 *eye, Vec3 *target)
{
    float yaw = -a[0] * kRadians, pitch = a[1] * kRadians;
    *eye = {a[2], 1.8f, 10.2f};
    *target = {a[2] + sinf(yaw), 1.6f + sinf(pitch), 11.2f + cosf(yaw)};
}

void cabin_points(const float a[4], Vec3 *eye, Vec3 *target)
{
    float yaw = -a[2] * kRadians, pitch = a[3] * kRadians;
    *eye = {0, 1.4f, a[0]};
    *target = {sinf(yaw), 1.4f + 2 * sinf(pitch), a[0] + 2 * cosf(yaw)};
}

Vec3 free_camera_bounded(Vec3 eye)
{
    float dx = eye.x - 2000, dz = eye.z;
    float r = sqrtf(dx * dx + dz * dz);
    if (r > 5000) {
        dx *= 5000 / r;
        dz *= 5000 / r;
        r = 5000;
    }
    return {2000 + dx, 200 + 0.00002f * r * r, dz};
}

ZoomRange zoom_range(int type)
{
    switch (type) {
    case kCameraOutside: return {35, 200};
    case kCameraCockpit:
    case kCameraCabin: return {28, 80};
    case kCameraFree: return {28, 600};
    default: return {28, 80};
    }
}

float zoom_clamped(int type, float zoom)
{
    ZoomRange r = zoom_range(type);
    return clampf(zoom, r.low, r.high);
}

int zoom_knob_x(int type, float zoom)
{
    ZoomRange r = zoom_range(type);
    return (int)((zoom - r.low) * 60 / (r.high - r.low)) + 79;
}

float zoom_for_gauge(int type, int g)
{
    ZoomRange r = zoom_range(type);
    return r.low + (r.high - r.low) * g / 60.0f;
}

void drag_drive(int dx, int dy, int w, int h, float *hOut, float *vOut)
{
    *hOut = w > 0 ? dx * 180.0f / w : 0;
    *vOut = h > 0 ? dy * 90.0f / h : 0;
}
