// Layer calls that tolerate a missing layer: a model file or named part that could not be found
// leaves a 0 handle, and the viewer goes on without that part rather than hand the engine a 0.
#pragma once

#include "vec3.h"
#include "trvx.h"

TRVXLAYER find_layer(TRVXLAYER in, const wchar_t *name);
void switch_layer(TRVXLAYER layer, bool on);
void move_layer(TRVXLAYER layer, const Vec3 *position, const Vec3 *rotation, const Vec3 *scale = nullptr);
// 0 opaque .. 255 invisible, over the layer and its children.
void set_transparency(TRVXLAYER layer, int transparency);
// Point size of a lamp, over the layer and its children; 0 = not drawn.
void set_lamp(TRVXLAYER layer, float size);
// Emissive colour 0x00BBGGRR with the other material colours black.
void set_emissive(TRVXLAYER layer, uint32_t colour);
Vec3 layer_position(TRVXLAYER layer);
TRVXVECTOR vector_of(Vec3 v);
