// The coordinate rule and motion arithmetic of the glTF plug-in (see gltf_frame.h).
#include "gltf_frame.h"

#include <math.h>

namespace {

// The engine's order tables (the context's rotationOrders and transformOrders): entry n - 1 is
// order n. They must stay as the engine lists them.
const char *const kRotationOrders[16] = {"ZXY", "ZYX", "YXZ", "YZX", "XYZ", "XZY", "ZX", "ZY",
                                         "YX",  "YZ",  "XY",  "XZ",  "Z",   "Y",   "X",   ""};
const char *const kTransformOrders[16] = {"SRT", "STR", "RST", "RTS", "TSR", "TRS", "SR", "ST",
                                          "RS",  "RT",  "TS",  "TR",  "S",   "R",   "T",  ""};

// The engine converts degrees with the single-precision pi.
const double kEnginePi = 3.1415927f;
const double kDegrees = 180.0 / kEnginePi;
// Below this the sine of the x angle is taken as +-1 (the other two angles then share one axis).
const double kGimbalEpsilon = 1e-9;

const char *order_word(const char *const table[16], int order)
{
    return (order >= 1 && order <= 16) ? table[order - 1] : table[0];
}

FrameMatrix axis_rotation(char axis, double degrees)
{
    FrameMatrix r = frame_identity();
    const double a = degrees / kDegrees, s = sin(a), c = cos(a);
    int i = axis == 'X' ? 1 : 0, j = axis == 'Z' ? 1 : 2; // the plane that turns
    if (axis == 'Y') {
        // x' = x c + z s, z' = z c - x s
        r.m[0][0] = c, r.m[0][2] = s, r.m[2][0] = -s, r.m[2][2] = c;
        return r;
    }
    r.m[i][i] = c, r.m[i][j] = -s, r.m[j][i] = s, r.m[j][j] = c;
    return r;
}

void normalise_quaternion(double q[4])
{
    double n = sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (n <= 0) {
        q[0] = q[1] = q[2] = 0, q[3] = 1;
        return;
    }
    for (int i = 0; i < 4; ++i)
        q[i] /= n;
}

// Column-vector rotation matrix of a unit quaternion (x, y, z, w).
void quaternion_matrix(const double q[4], double r[3][3])
{
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    r[0][0] = 1 - 2 * (y * y + z * z), r[0][1] = 2 * (x * y - z * w), r[0][2] = 2 * (x * z + y * w);
    r[1][0] = 2 * (x * y + z * w), r[1][1] = 1 - 2 * (x * x + z * z), r[1][2] = 2 * (y * z - x * w);
    r[2][0] = 2 * (x * z - y * w), r[2][1] = 2 * (y * z + x * w), r[2][2] = 1 - 2 * (x * x + y * y);
}

void matrix_quaternion(const double r[3][3], double q[4])
{
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0) {
        double s = 2 * sqrt(trace + 1);
        q[3] = s / 4, q[0] = (r[2][1] - r[1][2]) / s, q[1] = (r[0][2] - r[2][0]) / s, q[2] = (r[1][0] - r[0][1]) / s;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        double s = 2 * sqrt(1 + r[0][0] - r[1][1] - r[2][2]);
        q[3] = (r[2][1] - r[1][2]) / s, q[0] = s / 4, q[1] = (r[0][1] + r[1][0]) / s, q[2] = (r[0][2] + r[2][0]) / s;
    } else if (r[1][1] > r[2][2]) {
        double s = 2 * sqrt(1 + r[1][1] - r[0][0] - r[2][2]);
        q[3] = (r[0][2] - r[2][0]) / s, q[0] = (r[0][1] + r[1][0]) / s, q[1] = s / 4, q[2] = (r[1][2] + r[2][1]) / s;
    } else {
        double s = 2 * sqrt(1 + r[2][2] - r[0][0] - r[1][1]);
        q[3] = (r[1][0] - r[0][1]) / s, q[0] = (r[0][2] + r[2][0]) / s, q[1] = (r[1][2] + r[2][1]) / s, q[2] = s / 4;
    }
    if (q[3] < 0) // one of the two equal quaternions, the one that turns by at most 180 degrees
        for (int i = 0; i < 4; ++i)
            q[i] = -q[i];
    normalise_quaternion(q);
}

float degrees_of(double radians)
{
    float d = (float)(radians * kDegrees);
    return d == 0 ? 0.0f : d; // no negative zero in files
}

} // namespace

FrameMatrix frame_identity()
{
    FrameMatrix r = {};
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1;
    return r;
}

FrameMatrix frame_multiply(const FrameMatrix &a, const FrameMatrix &b)
{
    FrameMatrix r = {};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

void frame_rotation_matrix(const float angles[3], int rotationOrder, double r[3][3])
{
    // Each letter turns the point after the ones before it: for column vectors it multiplies from the left.
    FrameMatrix m = frame_identity();
    for (const char *p = order_word(kRotationOrders, rotationOrder); *p; ++p)
        m = frame_multiply(axis_rotation(*p, angles[*p - 'X']), m);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = m.m[i][j];
}

FrameMatrix frame_layer_matrix(const SceneLayer &layer)
{
    FrameMatrix m = frame_identity();
    for (const char *p = order_word(kTransformOrders, layer.transformOrder); *p; ++p) {
        FrameMatrix step = frame_identity();
        if (*p == 'S') {
            for (int i = 0; i < 3; ++i)
                step.m[i][i] = layer.scale[i];
        } else if (*p == 'T') {
            for (int i = 0; i < 3; ++i)
                step.m[i][3] = layer.translate[i];
        } else {
            double r[3][3];
            frame_rotation_matrix(layer.rotate, layer.rotationOrder, r);
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    step.m[i][j] = r[i][j];
        }
        m = frame_multiply(step, m);
    }
    return m;
}

void frame_rotation_angles(const double r[3][3], float angles[3])
{
    // Order "ZXY" is R = Ry(b) Rx(a) Rz(c): r[1][2] = -sin a, r[0][2] = sin b cos a, r[2][2] = cos b cos a,
    // r[1][0] = cos a sin c, r[1][1] = cos a cos c.
    const double cosA = sqrt(r[1][0] * r[1][0] + r[1][1] * r[1][1]);
    const double a = atan2(-r[1][2], cosA);
    double b, c;
    if (cosA > kGimbalEpsilon) {
        b = atan2(r[0][2], r[2][2]);
        c = atan2(r[1][0], r[1][1]);
    } else {
        // The y and z turns share an axis: all of it goes to y (r[0][0] = cos b, r[2][0] = -sin b).
        c = 0;
        b = atan2(-r[2][0], r[0][0]);
    }
    angles[0] = degrees_of(a);
    angles[1] = degrees_of(b);
    angles[2] = degrees_of(c);
}

void frame_from_gltf_trs(const double translation[3], const double rotation[4], const double scale[3],
                         SceneLayer *layer)
{
    double q[4] = {-rotation[0], -rotation[1], rotation[2], rotation[3]};
    normalise_quaternion(q);
    double r[3][3];
    quaternion_matrix(q, r);
    frame_rotation_angles(r, layer->rotate);
    layer->translate[0] = (float)translation[0];
    layer->translate[1] = (float)translation[1];
    layer->translate[2] = (float)-translation[2];
    for (int i = 0; i < 3; ++i)
        layer->scale[i] = (float)scale[i];
    layer->transformOrder = layer->rotationOrder = kSceneOrderDefault;
}

bool frame_from_gltf_matrix(const double columnMajor[16], SceneLayer *layer)
{
    // E = M G M with M = diag(1, 1, -1): the element (i, j) changes sign when exactly one of i, j is z.
    double e[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            e[i][j] = columnMajor[j * 4 + i] * (((i == 2) != (j == 2)) ? -1 : 1);
    double scale[3], r[3][3];
    for (int j = 0; j < 3; ++j) {
        scale[j] = sqrt(e[0][j] * e[0][j] + e[1][j] * e[1][j] + e[2][j] * e[2][j]);
        if (!(scale[j] > 0) || !isfinite(scale[j]))
            return false;
        for (int i = 0; i < 3; ++i)
            r[i][j] = e[i][j] / scale[j];
    }
    const double det = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                       r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                       r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    if (det < 0) { // a mirroring matrix: the mirror goes to the x scale
        scale[0] = -scale[0];
        for (int i = 0; i < 3; ++i)
            r[i][0] = -r[i][0];
    }
    // A shear leaves the columns at an angle: the split would not give the same matrix back.
    const double kShear = 1e-4;
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
            if (fabs(r[0][a] * r[0][b] + r[1][a] * r[1][b] + r[2][a] * r[2][b]) > kShear)
                return false;
    frame_rotation_angles(r, layer->rotate);
    for (int i = 0; i < 3; ++i) {
        layer->translate[i] = (float)e[i][3];
        layer->scale[i] = (float)scale[i];
    }
    layer->transformOrder = layer->rotationOrder = kSceneOrderDefault;
    return true;
}

bool frame_to_gltf(const SceneLayer &layer, double translation[3], double rotation[4], double scale[3],
                   double columnMajor[16])
{
    if (layer.transformOrder == kSceneOrderDefault) {
        double r[3][3];
        frame_rotation_matrix(layer.rotate, layer.rotationOrder, r);
        double q[4];
        matrix_quaternion(r, q);
        rotation[0] = -q[0], rotation[1] = -q[1], rotation[2] = q[2], rotation[3] = q[3];
        translation[0] = layer.translate[0], translation[1] = layer.translate[1];
        translation[2] = -(double)layer.translate[2];
        for (int i = 0; i < 3; ++i)
            scale[i] = layer.scale[i];
        return true;
    }
    FrameMatrix e = frame_layer_matrix(layer);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            columnMajor[j * 4 + i] = e.m[i][j] * (((i == 2) != (j == 2)) ? -1 : 1);
    return false;
}

uint8_t frame_linear_to_byte(double linear)
{
    if (!(linear > 0))
        return 0;
    if (linear >= 1)
        return 255;
    double s = linear <= 0.0031308 ? linear * 12.92 : 1.055 * pow(linear, 1 / 2.4) - 0.055;
    return (uint8_t)lround(s * 255);
}

double frame_byte_to_linear(uint8_t byte)
{
    double s = byte / 255.0;
    return s <= 0.04045 ? s / 12.92 : pow((s + 0.055) / 1.055, 2.4);
}

uint32_t frame_colour_from_linear(const double rgb[3])
{
    return (uint32_t)frame_linear_to_byte(rgb[0]) | (uint32_t)frame_linear_to_byte(rgb[1]) << 8 |
           (uint32_t)frame_linear_to_byte(rgb[2]) << 16;
}

void frame_colour_to_linear(uint32_t colour, double rgb[3])
{
    for (int i = 0; i < 3; ++i)
        rgb[i] = frame_byte_to_linear((uint8_t)(colour >> (8 * i)));
}

uint32_t frame_transparency_from_alpha(double alpha)
{
    if (!(alpha > 0))
        return 255;
    if (alpha >= 1)
        return 0;
    return 255 - (uint32_t)lround(alpha * 255);
}

double frame_alpha_from_transparency(uint32_t transparency)
{
    return transparency >= 255 ? 0.0 : (255 - transparency) / 255.0;
}
