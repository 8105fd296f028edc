// The twelve camera sets and their update each frame.
#include "camera.h"

#include <initializer_list>

#include "layers.h"
#include "panels.h"
#include "parts.h"
#include "scene.h"
#include "viewer_state.h"

CameraSet g_cameraSets[kCameraSets];
int g_currentCamera = 0;

namespace {

// Turned by the aircraft's rotation and moved to its position.
TRVXVECTOR on_aircraft(Vec3 local, bool direction)
{
    TRVXVECTOR v = vector_of(local), angles = vector_of(g_aircraftPose.rotation);
    TRVX_Rotate3D(&v, &angles, 1);
    if (!direction) {
        v.x += g_aircraftPose.position.x;
        v.y += g_aircraftPose.position.y;
        v.z += g_aircraftPose.position.z;
    }
    return v;
}

Vec3 vec3_of(const TRVXVECTOR &v)
{
    return {v.x, v.y, v.z};
}

void update_outside(CameraSet &s, int m, float h, float v)
{
    drive_outside(s.a, m, h, v);
    Vec3 aircraft = g_aircraftPose.position;
    Vec3 eye = orbit(aircraft, 50, s.a[0], s.a[1]);
    Vec3 target = aircraft;
    if (s.target) {
        s.a[2] = s.a[0] - 180;
        s.a[3] = -s.a[1];
    } else {
        target = orbit(eye, 50, s.a[2], s.a[3]);
    }
    s.camera.eye = vector_of(eye);
    s.camera.target = vector_of(target);
}

void update_riding(CameraSet &s, void (*drive)(float *, int, float, float),
                   void (*points)(const float *, Vec3 *, Vec3 *), int m, float h, float v)
{
    drive(s.a, m, h, v);
    Vec3 eye, target;
    points(s.a, &eye, &target);
    s.camera.eye = on_aircraft(eye, false);
    s.camera.target = on_aircraft(target, false);
    s.camera.up = on_aircraft({0, 1, 0}, true);
}

void update_free(CameraSet &s, int m, float h, float v)
{
    TRVXCONTEXT ctx = g_run.ctx;
    TRVXVECTOR shift = {-5 * h, 0, -5 * v, 0};
    if (s.target) {
        s.camera.target = vector_of(g_aircraftPose.position);
        if (m == 1) {
            TRVX_CalcShiftCamera(ctx, &s.camera, &shift);
            s.camera.target = vector_of(g_aircraftPose.position);
        }
    } else if (m == 1) {
        TRVX_CalcShiftCamera(ctx, &s.camera, &shift);
    } else if (m == 2) {
        float angles[2] = {0.5f * v, -0.5f * h};
        TRVX_CalcRollCamera(ctx, &s.camera, angles, 1);
    }
    Vec3 eye = vec3_of(s.camera.eye);
    Vec3 kept = free_camera_bounded(eye);
    // The look direction survives the eye being pulled back inside the airport's circle.
    s.camera.target.x += kept.x - eye.x;
    s.camera.target.y += kept.y - eye.y;
    s.camera.target.z += kept.z - eye.z;
    if (s.target)
        s.camera.target = vector_of(g_aircraftPose.position);
    s.camera.eye = vector_of(kept);
}

} // namespace

void init_camera_sets()
{
    for (CameraSet &s : g_cameraSets) {
        s = CameraSet{};
        s.camera.nearZ = 1.0f;
        s.camera.farZ = 20000;
        s.camera.up = {0, 100, 0, 0};
    }
    CameraSet *c = g_cameraSets;
    c[0].type = kCameraOutside;
    c[0].camera.lens = 50;
    c[0].a[0] = 240;
    c[0].a[1] = 15;
    for (float &k : c[0].keySpeed)
        k = 1;
    c[0].target = c[0].targetAllowed = 1;

    c[1].type = kCameraCockpit;
    c[1].camera.lens = 28;
    c[1].camera.nearZ = 0.3f;
    c[1].a[1] = -11;
    c[1].a[2] = -0.6f;
    c[1].mapAllowed = 1;

    c[2].type = kCameraCabin;
    c[2].camera.lens = 35;
    c[2].camera.nearZ = 0.2f;
    c[2].mapAllowed = 1;

    c[4].type = kCameraFree;
    c[4].camera.lens = 35;
    c[4].camera.eye = {2000, 0, 1000, 0};
    c[4].target = c[4].targetAllowed = 1;
    c[4].mapAllowed = 1;
    for (int i : {1, 2, 4})
        for (float &k : c[i].keySpeed)
            k = -1;
    g_currentCamera = 0;
}

void set_zoom(float zoom)
{
    CameraSet &s = g_cameraSets[g_currentCamera];
    s.camera.lens = zoom_clamped(s.type, zoom);
    place_zoom_knob(zoom_knob_x(s.type, s.camera.lens));
}

void update_camera(int m, float h, float v, float z)
{
    CameraSet &s = g_cameraSets[g_currentCamera];
    switch (s.type) {
    case kCameraOutside: update_outside(s, m, h, v); break;
    case kCameraCockpit: update_riding(s, drive_cockpit, cockpit_points, m, h, v); break;
    case kCameraCabin: update_riding(s, drive_cabin, cabin_points, m, h, v); break;
    case kCameraFree: update_free(s, m, h, v); break;
    default: break;
    }
    if (s.type != kCameraEmpty) {
        if (z != 0)
            set_zoom(s.camera.lens + z);
        TRVX_SetCamera(g_run.ctx, &s.camera);
    }
    Vec3 skyAt = {s.camera.eye.x, 0, s.camera.eye.z};
    move_layer(g_scene.sky, &skyAt, nullptr);
}
