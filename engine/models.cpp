// Primitive models: lines and arcs of points, flat triangles, rectangles and disks, boxes, cones,
// pipes, balls and the "ColorBox" test grid, each built as new layers of the tree.
#include "render_local.h"

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <new>
#include <vector>

namespace {

const float kPi = 3.1415927f;
// More triangles than this cannot be indexed by one layer's 16-bit faces, even fully welded.
const long long kMaxTriangles = 1 << 18;
const int kMaxPoints = 65536;

enum Shape {
    kLine = 1,
    kArc = 2,
    kTriangle = 3,
    kSquare = 4,
    kDisk = 5,
    kBox = 6,
    kCone = 7,
    kPipe = 8,
    kBall = 9,
    kStaggeredBall = 10,
    kColorBox = 100,
};

// Counts and flags: truncated; values no integer can hold count as 0.
int whole(float value)
{
    return value > -2147483520.0f && value < 2147483520.0f ? (int)value : 0;
}

// Raw flags: any bit set is on, so -0.0 counts as on.
bool raw_flag(float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits != 0;
}

TRVXVECTOR point(float x, float y, float z)
{
    return TRVXVECTOR{x, y, z, 0.0f};
}

// Flat shapes are made in the XY plane and turned onto the chosen axis: 0 the YZ plane, 1 the XZ plane.
TRVXVECTOR orient(const TRVXVECTOR &p, int axis)
{
    if (axis == 0)
        return point(p.z, p.x, p.y);
    if (axis == 1)
        return point(p.y, p.z, p.x);
    return p;
}

// Triangles as chips, each corner carrying its triangle's face normal.
class Mesh {
public:
    explicit Mesh(int axis = 2) : axis_(axis) {}

    void add(const TRVXVECTOR &a, const TRVXVECTOR &b, const TRVXVECTOR &c)
    {
        TRVXVECTOR corners[3] = {orient(a, axis_), orient(b, axis_), orient(c, axis_)};
        TRVXVECTOR normal = face_normal(corners[0], corners[1], corners[2]);
        for (const TRVXVECTOR &corner : corners) {
            tagTRVXVERTEX v = {};
            v.position = corner;
            v.normal = normal;
            chips_.push_back(v);
        }
    }

    int triangles() const { return (int)(chips_.size() / 3); }

    void set_into(tagTRVX *ctx, TRVXLAYER layer, int weld) const
    {
        if (!chips_.empty())
            TRVXL_SetChip(ctx, layer, triangles(), chips_.data(), weld);
    }

private:
    // A triangle without area has no direction: its normal stays zero.
    static TRVXVECTOR face_normal(const TRVXVECTOR &a, const TRVXVECTOR &b, const TRVXVECTOR &c)
    {
        float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        TRVXVECTOR normal = point(0.0f, 0.0f, 0.0f);
        if (nx != 0.0f || ny != 0.0f || nz != 0.0f)
            TRVX_Normal3D(&normal, &a, &b, &c);
        return normal;
    }

    int axis_;
    std::vector<tagTRVXVERTEX> chips_;
};

TRVXLAYER solid(tagTRVX *ctx, TRVXLAYER layer)
{
    TRVXL_ModeLayer(ctx, layer, TRVX_MODE_SOLID);
    return layer;
}

// Points i = 0 .. count - 1 of a line or arc, their mode, size and attributes.
TRVXLAYER point_layer(tagTRVX *ctx, TRVXLAYER layer, const std::vector<TRVXVECTOR> &points, float size)
{
    layer->pointSize = size;
    layer->attributes |= TRVX_ATTR_NO_ZWRITE;
    if (!points.empty()) {
        std::vector<tagTRVXVERTEX> vertices(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            vertices[i].position = points[i];
        TRVXL_SetVertex(ctx, layer, (int)vertices.size(), vertices.data());
        if (layer->vertexCount == 1) {
            layer->localHalf[0] = layer->localHalf[1] = layer->localHalf[2] = size / 2.0f;
            layer->localRadius = sqrtf(3.0f * size * size);
        }
    }
    TRVXL_ModeLayer(ctx, layer, TRVX_MODE_LINES);
    return layer;
}

// Step between points: the span shared by count - 1 gaps when the end is included, else count.
float step_of(float span, int count, bool endInclusive)
{
    int gaps = endInclusive ? count - 1 : count;
    return gaps > 0 ? span / (float)gaps : 0.0f;
}

TRVXLAYER make_line(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    int axis = whole(p[1]), count = whole(p[3]);
    float length = p[2];
    bool centred = whole(p[4]) != 0;
    float step = step_of(length, count, whole(p[5]) != 0);
    std::vector<TRVXVECTOR> points;
    for (int i = 0; i < count && count <= kMaxPoints; ++i) {
        float t = step * (float)i - (centred ? length / 2.0f : 0.0f);
        points.push_back(axis == 0 ? point(t, 0, 0) : axis == 1 ? point(0, t, 0) : point(0, 0, t));
    }
    return point_layer(ctx, layer, points, p[6]);
}

TRVXLAYER make_arc(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    int axis = whole(p[1]), count = whole(p[4]);
    float a = p[2] / 2.0f, b = p[3] / 2.0f, start = p[5];
    float step = step_of(p[6] - start, count, whole(p[7]) != 0);
    std::vector<TRVXVECTOR> points;
    for (int i = 0; i < count && count <= kMaxPoints; ++i) {
        float theta = (start + step * (float)i) * kPi / 180.0f;
        float c = cosf(theta), s = sinf(theta);
        points.push_back(axis == 0 ? point(0, a * c, b * s) : axis == 1 ? point(b * s, 0, a * c) : point(a * c, b * s, 0));
    }
    return point_layer(ctx, layer, points, p[8]);
}

TRVXLAYER make_triangle(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    float r = p[2], s = sinf(120.0f * kPi / 180.0f), c = cosf(120.0f * kPi / 180.0f);
    Mesh mesh(whole(p[1]));
    mesh.add(point(0, r, 0), point(r * s, r * c, 0), point(-r * s, r * c, 0));
    mesh.set_into(ctx, layer, 0);
    return solid(ctx, layer);
}

TRVXLAYER make_square(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    float w = p[2] / 2.0f, h = p[3] / 2.0f;
    Mesh mesh(whole(p[1]));
    TRVXVECTOR topLeft = point(-w, h, 0), topRight = point(w, h, 0);
    TRVXVECTOR bottomRight = point(w, -h, 0), bottomLeft = point(-w, -h, 0);
    mesh.add(topLeft, topRight, bottomRight);
    mesh.add(bottomRight, bottomLeft, topLeft);
    mesh.set_into(ctx, layer, 1);
    return solid(ctx, layer);
}

// Points i = 0 .. segments of a ring about Y at height y (the last repeats the first).
std::vector<TRVXVECTOR> ring(float radius, float y, int segments, float turn = 0.0f)
{
    std::vector<TRVXVECTOR> points((size_t)segments + 1);
    for (int i = 0; i < segments; ++i) {
        float theta = ((float)i + turn) * 2.0f * kPi / (float)segments;
        points[i] = point(radius * sinf(theta), y, radius * cosf(theta));
    }
    points[segments] = points[0];
    return points;
}

TRVXLAYER make_disk(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    float r = p[2];
    int segments = whole(p[3]);
    Mesh mesh(whole(p[1]));
    if (segments >= 3 && segments <= kMaxTriangles) {
        std::vector<TRVXVECTOR> rim(segments);
        for (int i = 0; i < segments; ++i) {
            float theta = (float)i * 2.0f * kPi / (float)segments;
            rim[i] = point(r * sinf(theta), r * cosf(theta), 0);
        }
        for (int k = 0; k + 2 < segments; ++k)
            mesh.add(rim[0], rim[k + 1], rim[k + 2]);
    }
    mesh.set_into(ctx, layer, 1);
    return solid(ctx, layer);
}

TRVXLAYER make_box(tagTRVX *ctx, TRVXLAYER layer, float sx, float sy, float sz, bool separate)
{
    float x = sx / 2.0f, y = sy / 2.0f, z = sz / 2.0f;
    const TRVXVECTOR corner[8] = {point(-x, y, -z), point(x, y, -z), point(x, -y, -z), point(-x, -y, -z),
                                  point(-x, y, z),  point(x, y, z),  point(x, -y, z),  point(-x, -y, z)};
    static const struct {
        const wchar_t *name;
        int triangles[2][3];
    } faces[6] = {
        {L"Front", {{0, 1, 2}, {2, 3, 0}}}, {L"Back", {{5, 4, 7}, {7, 6, 5}}},
        {L"Left", {{4, 0, 3}, {3, 7, 4}}},  {L"Right", {{1, 5, 6}, {6, 2, 1}}},
        {L"LTop", {{4, 5, 1}, {1, 0, 4}}},  {L"Bottom", {{6, 7, 3}, {3, 2, 6}}},
    };
    Mesh all;
    for (const auto &face : faces) {
        Mesh own;
        Mesh &mesh = separate ? own : all;
        for (const auto &t : face.triangles)
            mesh.add(corner[t[0]], corner[t[1]], corner[t[2]]);
        if (separate)
            own.set_into(ctx, TRVXL_CreateLayer(ctx, layer, face.name), 1);
    }
    all.set_into(ctx, layer, 1);
    return solid(ctx, layer);
}

TRVXLAYER make_cone(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    float r = p[2], height = p[4];
    int segments = whole(p[3]);
    bool cover = whole(p[5]) != 0, separate = raw_flag(p[6]);
    Mesh side(whole(p[1])), base(whole(p[1]));
    if (segments > 0 && segments <= kMaxTriangles / 2) {
        std::vector<TRVXVECTOR> rim = ring(r, 0.0f, segments);
        TRVXVECTOR apex = point(0, height, 0);
        for (int i = 0; i < segments; ++i)
            side.add(apex, rim[i], rim[i + 1]);
        if (cover && segments > 2)
            for (int k = 0; k + 2 < segments; ++k)
                (separate ? base : side).add(rim[0], rim[k + 2], rim[k + 1]);
    }
    side.set_into(ctx, layer, 1);
    if (separate && base.triangles() > 0)
        base.set_into(ctx, TRVXL_CreateLayer(ctx, layer, L"Cover"), 1);
    return solid(ctx, layer);
}

TRVXLAYER make_pipe(tagTRVX *ctx, TRVXLAYER layer, const float *p)
{
    float top = p[2], bottom = p[4], half = p[7] / 2.0f;
    bool topCover = whole(p[3]) != 0, bottomCover = whole(p[5]) != 0, separate = whole(p[8]) != 0;
    int segments = whole(p[6]), axis = whole(p[1]);
    Mesh side(axis), topMesh(axis), bottomMesh(axis);
    if (segments > 0 && segments <= kMaxTriangles / 4) {
        std::vector<TRVXVECTOR> t = ring(top, half, segments), b = ring(bottom, -half, segments);
        for (int i = 0; i < segments; ++i) {
            side.add(t[i], b[i], b[i + 1]);
            side.add(t[i], b[i + 1], t[i + 1]);
        }
        for (int k = 0; k + 2 < segments; ++k) {
            if (topCover)
                (separate ? topMesh : side).add(t[0], t[k + 1], t[k + 2]);
        }
        for (int k = 0; k + 2 < segments; ++k) {
            if (bottomCover)
                (separate ? bottomMesh : side).add(b[0], b[k + 2], b[k + 1]);
        }
    }
    side.set_into(ctx, layer, 1);
    if (topMesh.triangles() > 0)
        topMesh.set_into(ctx, TRVXL_CreateLayer(ctx, layer, L"TopCover"), 1);
    if (bottomMesh.triangles() > 0)
        bottomMesh.set_into(ctx, TRVXL_CreateLayer(ctx, layer, L"BottomCover"), 1);
    return solid(ctx, layer);
}

TRVXVECTOR mirrored(const TRVXVECTOR &p)
{
    return point(p.x, -p.y, p.z);
}

TRVXLAYER make_ball(tagTRVX *ctx, TRVXLAYER layer, const float *p, bool staggered)
{
    float radius = p[1];
    int a = whole(p[2]), b = whole(p[3]);
    Mesh mesh;
    if (a > 0 && b > 0 && 2LL * a * (2LL * b - 1) <= kMaxTriangles) {
        // rings[r][j], r = 1 .. b (ring b is the equator), j = 0 .. a (point a repeats point 0).
        std::vector<std::vector<TRVXVECTOR>> rings((size_t)b + 1);
        for (int r = 1; r <= b; ++r) {
            float phi = (float)r * (kPi / 2.0f) / (float)b;
            rings[r] = ring(radius * sinf(phi), radius * cosf(phi), a, staggered ? -(float)r / 2.0f : 0.0f);
        }
        TRVXVECTOR pole = point(0, radius, 0);
        std::vector<TRVXVECTOR> upper;
        for (int j = 0; j < a; ++j) {
            upper.clear();
            upper.insert(upper.end(), {pole, rings[1][j], rings[1][j + 1]});
            for (int r = 1; r < b; ++r) {
                upper.insert(upper.end(), {rings[r][j], rings[r + 1][j], rings[r + 1][j + 1]});
                upper.insert(upper.end(), {rings[r][j], rings[r + 1][j + 1], rings[r][j + 1]});
            }
            for (size_t t = 0; t < upper.size(); t += 3)
                mesh.add(upper[t], upper[t + 1], upper[t + 2]);
            // The lower half mirrors the upper; swapping two corners keeps the faces turned outwards.
            for (size_t t = 0; t < upper.size(); t += 3)
                mesh.add(mirrored(upper[t]), mirrored(upper[t + 2]), mirrored(upper[t + 1]));
        }
    }
    mesh.set_into(ctx, layer, 1);
    return solid(ctx, layer);
}

TRVXLAYER make_color_box(tagTRVX *ctx, TRVXLAYER layer)
{
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b)
            for (int c = 0; c < 5; ++c) {
                TRVXLAYER box = make_box(ctx, TRVXL_CreateLayer(ctx, layer, L"Box"), 5, 5, 5, false);
                wchar_t name[32];
                swprintf(name, 32, L"BOX-%d%d%d", a + 1, b + 1, c + 1);
                TRVXL_RenameLayer(ctx, box, name);
                TRVXVECTOR at = point((float)(a - 2) * 8, (float)(b - 2) * 8, (float)(c - 2) * 8);
                TRVXL_MoveLayer(ctx, box, &at, nullptr, nullptr, 0, 0);
                DWORD colour = (DWORD)((a + 1) * 51 % 256) | (DWORD)((b + 1) * 51 % 256) << 8 |
                               (DWORD)((c + 1) * 51 % 256) << 16;
                TRVXL_EXT_RecallFunction(ctx, box, 1, colour, 0, 1);
                TRVXL_ModeLayer(ctx, layer, TRVX_MODE_KEEP);
            }
    TRVXVECTOR turn = point(-38, 38, 0);
    TRVXL_MoveLayer(ctx, layer, nullptr, &turn, nullptr, 0, 0);
    return layer;
}

const wchar_t *shape_name(int shape)
{
    switch (shape) {
    case kLine: return L"Line";
    case kArc: return L"Arc";
    case kTriangle: return L"Triangle";
    case kSquare: return L"Square";
    case kDisk: return L"Disk";
    case kBox: return L"Box";
    case kCone: return L"Cone";
    case kPipe: return L"Pipe";
    case kBall:
    case kStaggeredBall: return L"Ball";
    case kColorBox: return L"ColorBox";
    default: return nullptr;
    }
}

TRVXLAYER build(tagTRVX *ctx, TRVXLAYER layer, int shape, const float *p)
{
    switch (shape) {
    case kLine: return make_line(ctx, layer, p);
    case kArc: return make_arc(ctx, layer, p);
    case kTriangle: return make_triangle(ctx, layer, p);
    case kSquare: return make_square(ctx, layer, p);
    case kDisk: return make_disk(ctx, layer, p);
    case kBox: return make_box(ctx, layer, p[1], p[2], p[3], raw_flag(p[4]));
    case kCone: return make_cone(ctx, layer, p);
    case kPipe: return make_pipe(ctx, layer, p);
    case kBall: return make_ball(ctx, layer, p, false);
    case kStaggeredBall: return make_ball(ctx, layer, p, true);
    default: return make_color_box(ctx, layer);
    }
}

} // namespace

// The new model's layer, a child of `parent` (a top layer when 0); 0 for an unknown shape.
TRVXLAYER WINAPI TRVXL_CreateModel(TRVXCONTEXT ctx, TRVXLAYER parent, const float *parameters)
{
    if (!ctx || !parameters)
        return nullptr;
    int shape = whole(parameters[0]);
    const wchar_t *name = shape_name(shape);
    if (!name)
        return nullptr;
    TRVXLAYER layer = TRVXL_CreateLayer(ctx, parent, name);
    if (!layer)
        return nullptr;
    try {
        return build(ctx, layer, shape, parameters);
    } catch (const std::bad_alloc &) {
        return layer; // out of memory part-way: what was made stays, as after any short allocation
    }
}
