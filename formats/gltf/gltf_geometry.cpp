// Mesh primitives of a glTF file as engine geometry: every accessor checked against its buffer
// view and buffer before a byte is read, any component type turned into floats, strips and fans
// into triangles, the corner order reversed for the engine's frame, and meshes beyond 16-bit
// indices split into pieces.
#include "gltf_frame.h"
#include "gltf_import_local.h"

#include <math.h>
#include <string.h>

namespace {

// An accessor without a buffer view is all zeros; its count is not bounded by any data.
const size_t kMaxZeroElements = 1u << 22;

// An accessor whose every element lies inside its buffer: element i starts at base + i * stride.
struct View {
    const uint8_t *base = nullptr; // null: every element is zero (an accessor without buffer view)
    size_t stride = 0;
    size_t count = 0;
    int componentType = 0;
    int components = 0;
    bool normalized = false;
};

bool fail(std::string *error, const std::string &text)
{
    *error = text;
    return false;
}

bool accessor_view(const tinygltf::Model &model, int index, int type, View *v, std::string *error)
{
    const std::string name = "accessor " + std::to_string(index);
    if (index < 0 || (size_t)index >= model.accessors.size())
        return fail(error, name + " does not exist");
    const tinygltf::Accessor &a = model.accessors[(size_t)index];
    if (a.type != type)
        return fail(error, name + " has the wrong element type");
    if (a.sparse.isSparse)
        return fail(error, name + " is sparse, which the plug-in does not read");
    const int componentSize = tinygltf::GetComponentSizeInBytes((uint32_t)a.componentType);
    const int components = tinygltf::GetNumComponentsInType((uint32_t)a.type);
    if (componentSize <= 0 || components <= 0 || a.componentType == TINYGLTF_COMPONENT_TYPE_DOUBLE)
        return fail(error, name + " has an unknown component type");
    v->count = a.count;
    v->componentType = a.componentType;
    v->components = components;
    v->normalized = a.normalized;
    const uint64_t element = (uint64_t)componentSize * (uint64_t)components;
    if (a.bufferView < 0) {
        if (a.count > kMaxZeroElements)
            return fail(error, name + " claims " + std::to_string(a.count) + " elements without a buffer");
        v->base = nullptr;
        return true;
    }
    if ((size_t)a.bufferView >= model.bufferViews.size())
        return fail(error, name + " names a buffer view that does not exist");
    const tinygltf::BufferView &bv = model.bufferViews[(size_t)a.bufferView];
    if (bv.buffer < 0 || (size_t)bv.buffer >= model.buffers.size())
        return fail(error, "buffer view " + std::to_string(a.bufferView) + " names a buffer that does not exist");
    const std::vector<unsigned char> &data = model.buffers[(size_t)bv.buffer].data;
    uint64_t viewEnd;
    if (__builtin_add_overflow((uint64_t)bv.byteOffset, (uint64_t)bv.byteLength, &viewEnd) || viewEnd > data.size())
        return fail(error, "buffer view " + std::to_string(a.bufferView) + " lies past the end of its buffer");
    const uint64_t stride = bv.byteStride ? (uint64_t)bv.byteStride : element;
    if (stride < element)
        return fail(error, name + " has elements wider than the buffer view's stride");
    if (a.count == 0)
        return fail(error, name + " is empty");
    uint64_t span, end;
    if (__builtin_mul_overflow(stride, (uint64_t)(a.count - 1), &span) || __builtin_add_overflow(span, element, &end) ||
        __builtin_add_overflow(end, (uint64_t)a.byteOffset, &end))
        return fail(error, name + ": count times stride overflows");
    if (end > bv.byteLength)
        return fail(error, name + " reaches past the end of its buffer view");
    if (((uint64_t)bv.byteOffset + a.byteOffset) % (uint64_t)componentSize != 0)
        return fail(error, name + " is not aligned to its component size");
    v->base = data.data() + bv.byteOffset + a.byteOffset;
    v->stride = (size_t)stride;
    return true;
}

// Component c of element i as the file means it (normalised integers scaled to -1..1 or 0..1).
float component(const View &v, size_t i, int c)
{
    if (!v.base)
        return 0;
    const uint8_t *p = v.base + i * v.stride;
    switch (v.componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float f;
        memcpy(&f, p + 4 * c, 4);
        return f;
    }
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
        int8_t x = (int8_t)p[c];
        return v.normalized ? fmaxf(x / 127.0f, -1.0f) : x;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return v.normalized ? p[c] / 255.0f : p[c];
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        int16_t x;
        memcpy(&x, p + 2 * c, 2);
        return v.normalized ? fmaxf(x / 32767.0f, -1.0f) : x;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        uint16_t x;
        memcpy(&x, p + 2 * c, 2);
        return v.normalized ? x / 65535.0f : x;
    }
    default: {
        uint32_t x;
        memcpy(&x, p + 4 * c, 4);
        return (float)x;
    }
    }
}

uint32_t index_at(const View &v, size_t i)
{
    if (!v.base)
        return 0;
    const uint8_t *p = v.base + i * v.stride;
    switch (v.componentType) {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return p[0];
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        uint16_t x;
        memcpy(&x, p, 2);
        return x;
    }
    default: {
        uint32_t x;
        memcpy(&x, p, 4);
        return x;
    }
    }
}

bool attribute(const tinygltf::Primitive &p, const std::string &name, int *index)
{
    auto it = p.attributes.find(name);
    if (it == p.attributes.end())
        return false;
    *index = it->second;
    return true;
}

void cross_normal(const float a[3], const float b[3], const float c[3], float n[3])
{
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = u[1] * w[2] - u[2] * w[1];
    n[1] = u[2] * w[0] - u[0] * w[2];
    n[2] = u[0] * w[1] - u[1] * w[0];
    const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0) || !isfinite(length)) {
        n[0] = n[2] = 0, n[1] = 1;
        return;
    }
    for (int i = 0; i < 3; ++i)
        n[i] /= length;
}

// The corners of the primitive's triangles (in the file's front-face order) from its indices.
bool triangles(int mode, const std::vector<uint32_t> &order, std::vector<uint32_t> *corners)
{
    const size_t n = order.size();
    if (mode == TINYGLTF_MODE_TRIANGLES) {
        corners->assign(order.begin(), order.begin() + (ptrdiff_t)(n / 3 * 3));
    } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
        for (size_t i = 0; i + 2 < n; ++i) {
            if (i % 2 == 0)
                corners->insert(corners->end(), {order[i], order[i + 1], order[i + 2]});
            else
                corners->insert(corners->end(), {order[i + 1], order[i], order[i + 2]});
        }
    } else {
        for (size_t i = 1; i + 1 < n; ++i)
            corners->insert(corners->end(), {order[i], order[i + 1], order[0]});
    }
    return true;
}

struct Attributes {
    View positions, normals, uvs;
    bool hasNormals = false, hasUvs = false;
    UvMapping mapping;
    bool mappedUvs = false; // the mapping is not the identity
};

// n components of element i; floats are copied as they stand.
void read_element(const View &v, size_t i, int n, float *out)
{
    if (v.base && v.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT) {
        memcpy(out, v.base + i * v.stride, sizeof(float) * (size_t)n);
        return;
    }
    for (int c = 0; c < n; ++c)
        out[c] = component(v, i, c);
}

SceneVertex vertex_at(const Attributes &a, uint32_t i)
{
    SceneVertex v = {};
    float p[3];
    read_element(a.positions, i, 3, p);
    frame_mirror(p, v.position);
    if (a.hasNormals) {
        float n[3];
        read_element(a.normals, i, 3, n);
        const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0 && isfinite(length) && length != 1.0f)
            for (int c = 0; c < 3; ++c)
                n[c] /= length; // quantised normals are near unit length only
        frame_mirror(n, v.normal);
    }
    if (a.hasUvs) {
        float uv[2];
        read_element(a.uvs, i, 2, uv);
        if (a.mappedUvs) {
            const double(&m)[2][3] = a.mapping.m;
            v.u[0] = (float)(m[0][0] * uv[0] + m[0][1] * uv[1] + m[0][2]);
            v.v[0] = (float)(m[1][0] * uv[0] + m[1][1] * uv[1] + m[1][2]);
        } else {
            v.u[0] = uv[0], v.v[0] = uv[1];
        }
    }
    return v;
}

// Triangles into pieces of at most kSceneMaxVertices vertices each. With normals from the file the
// vertices are shared as the file shares them; without, every triangle gets its own three vertices
// with the flat normal of its face (glTF's rule for meshes without normals).
void triangle_pieces(const Attributes &a, const std::vector<uint32_t> &corners, bool mirrored,
                     std::vector<SceneLayer> *pieces)
{
    if (a.hasNormals && a.positions.count <= kSceneMaxVertices) {
        // One piece: every vertex in the file's order, used by a face or not, as the file holds it.
        pieces->emplace_back();
        SceneLayer &piece = pieces->back();
        piece.vertices.resize(a.positions.count);
        for (uint32_t i = 0; i < a.positions.count; ++i)
            piece.vertices[i] = vertex_at(a, i);
        piece.indices.resize(corners.size() / 3 * 3);
        const size_t second = mirrored ? 1 : 2, third = mirrored ? 2 : 1;
        for (size_t t = 0; t + 2 < corners.size(); t += 3) {
            piece.indices[t] = (uint16_t)corners[t];
            piece.indices[t + 1] = (uint16_t)corners[t + second];
            piece.indices[t + 2] = (uint16_t)corners[t + third];
        }
        return;
    }
    std::vector<int32_t> local(a.positions.count, -1);
    std::vector<uint32_t> touched;
    SceneLayer *piece = nullptr;
    for (size_t t = 0; t + 2 < corners.size(); t += 3) {
        if (!piece || piece->vertices.size() + 3 > kSceneMaxVertices) {
            for (uint32_t i : touched)
                local[i] = -1;
            touched.clear();
            pieces->emplace_back();
            piece = &pieces->back();
            piece->normalsGiven = a.hasNormals;
        }
        // The file's front faces turn counter-clockwise (clockwise under a mirroring node); the
        // engine's mirror reverses that, and its driver keeps clockwise faces.
        const uint32_t tri[3] = {corners[t], corners[t + (mirrored ? 1 : 2)], corners[t + (mirrored ? 2 : 1)]};
        if (!a.hasNormals) {
            SceneVertex v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = vertex_at(a, tri[k]);
            float n[3];
            cross_normal(v[0].position, v[1].position, v[2].position, n); // outward in the engine's order
            for (int k = 0; k < 3; ++k) {
                memcpy(v[k].normal, n, sizeof n);
                piece->indices.push_back((uint16_t)piece->vertices.size());
                piece->vertices.push_back(v[k]);
            }
            continue;
        }
        for (uint32_t i : tri) {
            if (local[i] < 0) {
                local[i] = (int32_t)piece->vertices.size();
                touched.push_back(i);
                piece->vertices.push_back(vertex_at(a, i));
            }
            piece->indices.push_back((uint16_t)local[i]);
        }
    }
}

// Points or a line strip: the vertices in order, in pieces (a strip's pieces share their joints).
void line_pieces(const Attributes &a, const std::vector<uint32_t> &order, bool strip, std::vector<SceneLayer> *pieces)
{
    size_t i = 0;
    while (i < order.size()) {
        pieces->emplace_back();
        SceneLayer &piece = pieces->back();
        piece.mode = kSceneModeLines;
        piece.pointSize = strip ? -1.0f : 1.0f;
        size_t end = i + kSceneMaxVertices < order.size() ? i + kSceneMaxVertices : order.size();
        for (size_t k = i; k < end; ++k)
            piece.vertices.push_back(vertex_at(a, order[k]));
        if (end == order.size())
            break;
        i = strip ? end - 1 : end;
    }
}

} // namespace

bool gltf_primitive(const tinygltf::Model &model, const tinygltf::Primitive &primitive, bool mirrored,
                    const UvMapping &uv, SceneTree *tree, std::vector<SceneLayer> *pieces, std::string *error)
{
    const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
    if (mode == TINYGLTF_MODE_LINE) {
        scene_note_skipped(tree, "line lists");
        return true;
    }
    if (mode > TINYGLTF_MODE_TRIANGLE_FAN)
        return fail(error, "a mesh primitive has the unknown mode " + std::to_string(mode));
    if (!primitive.targets.empty())
        scene_note_skipped(tree, "morph targets");
    Attributes a;
    a.mapping = uv;
    a.mappedUvs = uv.m[0][0] != 1 || uv.m[0][1] != 0 || uv.m[0][2] != 0 || uv.m[1][0] != 0 || uv.m[1][1] != 1 ||
                  uv.m[1][2] != 0;
    int index;
    if (!attribute(primitive, "POSITION", &index)) {
        scene_note_skipped(tree, "primitives without positions");
        return true;
    }
    if (!accessor_view(model, index, TINYGLTF_TYPE_VEC3, &a.positions, error))
        return false;
    if (attribute(primitive, "NORMAL", &index)) {
        if (!accessor_view(model, index, TINYGLTF_TYPE_VEC3, &a.normals, error))
            return false;
        a.hasNormals = true;
    }
    if (attribute(primitive, "TEXCOORD_" + std::to_string(uv.set), &index)) {
        if (!accessor_view(model, index, TINYGLTF_TYPE_VEC2, &a.uvs, error))
            return false;
        a.hasUvs = true;
    }
    if ((a.hasNormals && a.normals.count != a.positions.count) || (a.hasUvs && a.uvs.count != a.positions.count))
        return fail(error, "a mesh primitive's attributes differ in count");
    if (attribute(primitive, "COLOR_0", &index))
        scene_note_skipped(tree, "vertex colours");

    std::vector<uint32_t> order;
    if (primitive.indices >= 0) {
        View iv;
        if (!accessor_view(model, primitive.indices, TINYGLTF_TYPE_SCALAR, &iv, error))
            return false;
        if (iv.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
            iv.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
            iv.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
            return fail(error, "accessor " + std::to_string(primitive.indices) + " holds indices of a signed type");
        order.resize(iv.count);
        for (size_t i = 0; i < iv.count; ++i) {
            order[i] = index_at(iv, i);
            if (order[i] >= a.positions.count)
                return fail(error, "index " + std::to_string(order[i]) + " of accessor " +
                                       std::to_string(primitive.indices) + " is past the vertex count " +
                                       std::to_string(a.positions.count));
        }
    } else {
        order.resize(a.positions.count);
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = (uint32_t)i;
    }

    if (mode == TINYGLTF_MODE_POINTS || mode == TINYGLTF_MODE_LINE_STRIP || mode == TINYGLTF_MODE_LINE_LOOP) {
        if (mode == TINYGLTF_MODE_LINE_LOOP && !order.empty())
            order.push_back(order.front());
        line_pieces(a, order, mode != TINYGLTF_MODE_POINTS, pieces);
        return true;
    }
    std::vector<uint32_t> corners;
    triangles(mode, order, &corners);
    triangle_pieces(a, corners, mirrored, pieces);
    return true;
}
