// Portable sun model: where the sun stands and what colours its light and the night sky take at a
// given time of the year.
#pragma once

#include <stdint.h>

#include "vec3.h"

// Minutes since 1 January 00:00 of the viewer's date, 1 June 12:00.
const int kViewerTime = 151 * 1440 + 720;

struct SunLight {
    Vec3 position;        // the sun, metres
    Vec3 direction;       // unit vector the light travels along
    uint32_t diffuse;     // 0x00BBGGRR
    uint32_t specular;
    uint32_t ambient;
    uint32_t nightAmbient; // the scene's ambient colour (light 0)
};

SunLight sun_at(int minutes);
