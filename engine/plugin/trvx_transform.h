// Matrix work of the layer commands 4, 5 and 6: local matrix from a layer's motion, world matrix
// and world bounds, and baking the world matrix into the vertices. Plain arithmetic shared by every
// graphics driver (and the engine's recording test driver), so that all drivers move layers alike.
#pragma once

#include "trvx_plugin.h"

// Per-layer transform block (the driver answers its size to command 0 with p1 = 10).
// Matrices are 4x4, row-major, for row vectors: a point p becomes p x M, translation in row 3.
struct TRVXTRANSFORM {
    int32_t worldIdentity; // 1 = world is the identity
    float world[4][4];
    int32_t localIdentity; // 1 = local is the identity
    float local[4][4];
};
TRVX_STATIC_LAYOUT(TRVXTRANSFORM, 136);
TRVX_STATIC_OFFSET(TRVXTRANSFORM, world, 4);
TRVX_STATIC_OFFSET(TRVXTRANSFORM, localIdentity, 68);
TRVX_STATIC_OFFSET(TRVXTRANSFORM, local, 72);

// Command 4: rebuilds the layer's local matrix from its motion and the context's order tables.
void trvx_transform_local(const tagTRVX *ctx, tagTRVXLAYER *layer);
// Command 5: composes the world matrix (local x parent world) and the layer's world bounds.
void trvx_transform_world(tagTRVXLAYER *layer, const TRVXTRANSFORM *parent);
// Command 6: applies the world matrix to positions and normals and resets both matrices.
void trvx_transform_bake(tagTRVXLAYER *layer);

// p x M for a point (w = 1), written to out (x, y, z; w = 0).
void trvx_transform_point(const float m[4][4], const float p[3], float out[3]);
