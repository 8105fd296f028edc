// A point, direction or triple of angles in the viewer's portable arithmetic (the engine's own
// vector carries a fourth component, which the viewer never needs).
#pragma once

struct Vec3 {
    float x, y, z;
};
