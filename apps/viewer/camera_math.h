// Portable camera arithmetic: the drive of each camera type's angles, the eye and target points in
// the aircraft's frame, the free camera's bounds over the airport, and the lens ranges.
#pragma once

#include "vec3.h"

enum CameraType { kCameraEmpty = 0, kCameraOutside = 1, kCameraCockpit = 2, kCameraCabin = 3, kCameraFree = 5 };

// The point p + (d cos e sin a, d sin e, d cos e cos a); a and e in degrees.
Vec3 orbit(Vec3 p, float distance, float azimuth, float elevation);

// Turns a type's four angles or offsets by the drive (h, v) in camera mode m (1 or 2).
void drive_outside(float a[4], int m, float h, float v);
void drive_cockpit(float a[4], int m, float h, float v);
void drive_cabin(float a[4], int m, float h, float v);

// Eye and target in the aircraft group's frame, before the aircraft's rotation and position.
void cockpit_points(const float a[4], Vec3 *eye, Vec3 *target);
void cabin_points(const float a[4], Vec3 *eye, Vec3 *target);

// The free camera's eye kept within 5000 of (2000, 0), rising from 200 at the centre to 700 at
// the edge.
Vec3 free_camera_bounded(Vec3 eye);

struct ZoomRange {
    float low, high; // lens, mm
};
ZoomRange zoom_range(int type);
float zoom_clamped(int type, float zoom);
// Position of the zoom knob on the view panel for a lens.
int zoom_knob_x(int type, float zoom);
// The lens for a knob position g (0..60) on the zoom gauge.
float zoom_for_gauge(int type, int g);

// Drive values from a mouse drag of (dx, dy) pixels over a view of w x h.
void drag_drive(int dx, int dy, int viewWidth, int viewHeight, float *h, float *v);
