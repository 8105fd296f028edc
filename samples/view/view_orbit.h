// The model viewer's camera: it frames a bounding sphere and orbits it. Portable code.
#pragma once

// The camera looks at the model's centre from `distance`, turned `yaw` degrees about the vertical
// axis from the model's front (the engine's models face -Z) and `pitch` degrees above it.
struct Orbit {
    float centre[3] = {0, 0, 0};
    float radius = 1;     // of the model's bounding sphere
    float yaw = 0;        // degrees
    float pitch = 0;      // degrees, within +-kOrbitMaxPitch
    float distance = 1;   // from the centre
    float lens = 35;      // mm for a 35 mm frame height (the engine's camera)
};

const float kOrbitMaxPitch = 85;
const float kOrbitStartYaw = 30, kOrbitStartPitch = 20;

// A sphere holding every given sphere (centres x, y, z and radii; `count` of them), centred on the
// middle of their box: tighter than the box's own bounding sphere. False when there is none.
bool orbit_bounds(const float (*centres)[3], const float *radii, int count, float centre[3], float *radius);

// The start view: a three-quarter view of the front from a little above, the sphere filling the
// smaller side of a view of `aspect` (width / height) with a margin.
void orbit_frame(Orbit *o, const float centre[3], float radius, float aspect);
// Turns by a mouse drag of dx, dy pixels (right and up positive).
void orbit_drag(Orbit *o, int dx, int dy);
// Moves closer (steps > 0, one wheel notch each) or farther, never into the model or out of sight.
void orbit_zoom(Orbit *o, int steps);
// The eye position; the target is the centre and up is +Y.
void orbit_eye(const Orbit &o, float eye[3]);
// Near and far distances that hold the whole sphere.
void orbit_depth(const Orbit &o, float *nearZ, float *farZ);
