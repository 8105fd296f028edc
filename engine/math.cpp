// Vector and angle math: 3D vectors of four floats, angles in degrees, ranges and number text.
#include "engine_local.h"
#include "number_text.h"

#include <math.h>

static const float kPi = 3.1415927f;

const wchar_t kRotationOrders[16][4] = {
    L"ZXY", L"ZYX", L"YXZ", L"YZX", L"XYZ", L"XZY", L"ZX", L"ZY",
    L"YX",  L"YZ",  L"XY",  L"XZ",  L"Z",   L"Y",   L"X",  L"",
};

const wchar_t kTransformOrders[16][4] = {
    L"SRT", L"STR", L"RST", L"RTS", L"TSR", L"TRS", L"SR", L"ST",
    L"RS",  L"RT",  L"TS",  L"TR",  L"S",   L"R",   L"T",  L"",
};

// v, zeroed.
TRVXVECTOR *WINAPI TRVX_Zero3D(TRVXVECTOR *v)
{
    v->x = v->y = v->z = v->w = 0.0f;
    return v;
}

// v, set.
TRVXVECTOR *WINAPI TRVX_Set3D(TRVXVECTOR *v, float x, float y, float z, float w)
{
    v->x = x;
    v->y = y;
    v->z = z;
    v->w = w;
    return v;
}

void WINAPI TRVX_Copy3D(TRVXVECTOR *dst, const TRVXVECTOR *src)
{
    *dst = *src;
}

// The distance between a and b.
float WINAPI TRVX_Length3D(const TRVXVECTOR *a, const TRVXVECTOR *b)
{
    float dx = a->x - b->x, dy = a->y - b->y, dz = a->z - b->z;
    return sqrtf(dx * dx + dy * dy + dz * dz);
}

void WINAPI TRVX_Unit3D(TRVXVECTOR *v)
{
    float length = sqrtf(v->x * v->x + v->y * v->y + v->z * v->z);
    v->x /= length;
    v->y /= length;
    v->z /= length;
}

// The angle between a and b in degrees, 0 to 180.
float WINAPI TRVX_Angle3D(const TRVXVECTOR *a, const TRVXVECTOR *b)
{
    TRVXVECTOR ua = *a, ub = *b;
    TRVX_Unit3D(&ua);
    TRVX_Unit3D(&ub);
    float dot = ua.x * ub.x + ua.y * ub.y + ua.z * ub.z;
    // Rounding can carry the dot product of parallel vectors just past 1.
    if (dot > 1.0f)
        dot = 1.0f;
    if (dot < -1.0f)
        dot = -1.0f;
    return acosf(dot) * 180.0f / kPi;
}

// out: the unit normal of the triangle a, b, c.
TRVXVECTOR *WINAPI TRVX_Normal3D(TRVXVECTOR *out, const TRVXVECTOR *a, const TRVXVECTOR *b, const TRVXVECTOR *c)
{
    float ux = b->x - a->x, uy = b->y - a->y, uz = b->z - a->z;
    float vx = c->x - a->x, vy = c->y - a->y, vz = c->z - a->z;
    TRVX_Set3D(out, uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx, 0.0f);
    TRVX_Unit3D(out);
    return out;
}

// Returns 0; v turned by `angles` in the rotation order `order` (0 = order 1).
int WINAPI TRVX_Rotate3D(TRVXVECTOR *v, const TRVXVECTOR *angles, int order)
{
    if (order < 1 || order > 16)
        order = 1;
    for (const wchar_t *axis = kRotationOrders[order - 1]; *axis; ++axis) {
        float degrees = *axis == L'X' ? angles->x : *axis == L'Y' ? angles->y : angles->z;
        float radians = degrees * kPi / 180.0f;
        float s = sinf(radians), c = cosf(radians);
        float x = v->x, y = v->y, z = v->z;
        switch (*axis) {
        case L'X':
            v->y = y * c - z * s;
            v->z = y * s + z * c;
            break;
        case L'Y':
            v->x = x * c + z * s;
            v->z = z * c - x * s;
            break;
        default:
            v->x = x * c - y * s;
            v->y = x * s + y * c;
            break;
        }
    }
    return 0;
}

// The angle brought into (-180, 180].
float WINAPI TRVX_OptimizeAngle(float angle)
{
    // Far-off angles are reduced first: stepping by 360 would never reach the range.
    if (fabsf(angle) > 36000.0f)
        angle = fmodf(angle, 360.0f);
    while (angle > 180.0f)
        angle -= 360.0f;
    while (angle <= -180.0f)
        angle += 360.0f;
    return angle;
}

// -1 (left), 0 or 1 (right): the side of (px, pz) relative to the direction (dx, dz).
int WINAPI TRVX_SignAngle(float px, float pz, float dx, float dz)
{
    float g = sqrtf(dx * dx + dz * dz);
    if (g == 0.0f)
        return 0;
    float ratio = dx / g;
    float theta = acosf(ratio > 1.0f ? 1.0f : ratio < -1.0f ? -1.0f : ratio);
    if (dz < 0.0f)
        theta = -theta;
    float m = pz * cosf(theta) - px * sinf(theta);
    if (m == 0.0f)
        return 0;
    return m > 0.0f ? -1 : 1;
}

// value clamped to [low, high]; low wins when low > high.
float WINAPI TRVX_CheckRange(float value, float low, float high)
{
    if (low > value)
        return low;
    return high < value ? high : value;
}

// Nonzero when (x, y) lies in r, in the y-up screen convention (top > bottom).
BOOL WINAPI TRVX_InRect(const RECT *r, int x, int y)
{
    return r->left <= x && x < r->right && r->bottom < y && y <= r->top;
}

wchar_t *WINAPI TRVX_RealToString(wchar_t *buffer, float value)
{
    return number_to_text(buffer, value);
}

const wchar_t *WINAPI TRVX_StringToReal(float *out, const wchar_t *text)
{
    return text_to_number(out, text);
}
