// The coordinate rule between glTF and the engine, and the motion arithmetic it needs.
//
// glTF is right-handed with +Y up and an asset's front towards +Z; the engine's models face -Z with
// their left side towards +X and +Y up, seen through a left-handed projection, one unit a metre.
// So a point (x, y, z) of glTF is (x, y, -z) in the engine: a mirror through the XY plane, which
// keeps the front of a model in front of the viewer, its left on the left and its up up. The
// mirror turns a rotation quaternion (x, y, z, w) into (-x, -y, z, w), a translation (x, y, z)
// into (x, y, -z), keeps scales, and reverses every triangle's corner order.
// Portable code.
#pragma once

#include "gltf_scene.h"

// A 4x4 matrix for column vectors (glTF's convention): m[row][column], translation in column 3.
struct FrameMatrix {
    double m[4][4];
};

FrameMatrix frame_identity();
FrameMatrix frame_multiply(const FrameMatrix &a, const FrameMatrix &b);

// The engine's local matrix of a layer's motion (its transform and rotation orders applied as the
// graphics driver applies them), written for column vectors.
FrameMatrix frame_layer_matrix(const SceneLayer &layer);

// glTF node transform to the layer's motion in the engine's frame: the translation mirrored, the
// quaternion (x, y, z, w) mirrored and turned into angles of rotation order 1 ("ZXY"), the scale kept.
void frame_from_gltf_trs(const double translation[3], const double rotation[4], const double scale[3],
                         SceneLayer *layer);
// A glTF node matrix (column-major, as stored in the file) mirrored and split into translation,
// rotation ("ZXY" angles) and scale. False when it cannot be split (a zero scale or a shear).
bool frame_from_gltf_matrix(const double columnMajor[16], SceneLayer *layer);

// The layer's motion as glTF: true with translation, rotation quaternion and scale when its transform
// order is "SRT" (every rotation order can be written so); false with a column-major matrix otherwise.
bool frame_to_gltf(const SceneLayer &layer, double translation[3], double rotation[4], double scale[3],
                   double columnMajor[16]);

// Angles (degrees, about x, y, z) of rotation order 1 for a rotation matrix of column vectors.
void frame_rotation_angles(const double r[3][3], float angles[3]);
// The rotation matrix for column vectors of angles in the given rotation order (1 to 16).
void frame_rotation_matrix(const float angles[3], int rotationOrder, double r[3][3]);

// Points and normals between the frames (the same mirror both ways).
inline void frame_mirror(const float in[3], float out[3])
{
    out[0] = in[0];
    out[1] = in[1];
    out[2] = -in[2];
}

// Colours: glTF factors are linear, the engine's colour bytes are what the screen shows (sRGB).
uint8_t frame_linear_to_byte(double linear);
double frame_byte_to_linear(uint8_t byte);
// 0x00BBGGRR from linear red, green, blue factors, and back.
uint32_t frame_colour_from_linear(const double rgb[3]);
void frame_colour_to_linear(uint32_t colour, double rgb[3]);
// Transparency 0..255 from a glTF alpha (coverage, not gamma encoded), and back.
uint32_t frame_transparency_from_alpha(double alpha);
double frame_alpha_from_transparency(uint32_t transparency);
