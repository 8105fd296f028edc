// Layer geometry: face and vertex lists, chips welded into shared vertices, flat and smooth
// normals, texture stages and planar texture coordinates, and freezing motion into the vertices.
// Welding and smoothing find equal corners through a hash on truncated positions, so both stay
// linear in the number of corners.
#include "layer_local.h"

#include <limits.h>
#include <math.h>
#include <stdint.h>
#include <string.h>

namespace {

const float kWeldScale = 100000.0f; // chips weld when x 100000 truncates to the same integers

// Truncation of a scaled coordinate to an integer key; values beyond the 64-bit range (and NaN)
// share one key per sign instead of overflowing.
int64_t truncated(float value)
{
    // Nearly every key fits 32 bits, whose conversion is a single instruction on a 32-bit build.
    if (value > -2147483648.0f && value < 2147483648.0f)
        return (int32_t)value;
    if (value != value)
        return INT64_MIN;
    if (value >= 9.0e18f)
        return INT64_MAX;
    if (value <= -9.0e18f)
        return INT64_MIN + 1;
    return (int64_t)value;
}

// Open-addressing hash from up to six integer keys to the index of the first entry that had them.
class KeyIndex {
public:
    KeyIndex(size_t expected, int width) : width_(width)
    {
        size_t size = 16;
        while (size < expected * 2)
            size *= 2;
        slots_.assign(size, -1);
        keys_.reserve((expected < 65536 ? expected : 65536) * (size_t)width);
    }

    // The index of the entry with these keys, adding them as entry `count()` when new.
    int find_or_add(const int64_t *key, bool *added)
    {
        size_t at = slot_of(key);
        if (slots_[at] >= 0) {
            *added = false;
            return slots_[at];
        }
        int entry = (int)(keys_.size() / (size_t)width_);
        slots_[at] = entry;
        keys_.insert(keys_.end(), key, key + width_);
        *added = true;
        return entry;
    }

    // The index of the entry with these keys, or -1.
    int find(const int64_t *key) const { return slots_[slot_of(key)]; }

private:
    // The slot that holds these keys, or the empty slot where they belong. The mixing stays in
    // 32-bit words, which a 32-bit build multiplies in one instruction.
    size_t slot_of(const int64_t *key) const
    {
        uint32_t hash = 0x9E3779B9u;
        for (int k = 0; k < width_; ++k) {
            uint64_t word = (uint64_t)key[k];
            hash = (hash ^ (uint32_t)word) * 0x85EBCA6Bu;
            hash = (hash ^ (uint32_t)(word >> 32) ^ (hash >> 15)) * 0xC2B2AE35u;
        }
        hash ^= hash >> 16;
        size_t mask = slots_.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            int entry = slots_[at];
            if (entry < 0 || memcmp(&keys_[(size_t)entry * (size_t)width_], key, (size_t)width_ * sizeof(int64_t)) == 0)
                return at;
        }
    }

    int width_;
    std::vector<int> slots_;
    std::vector<int64_t> keys_;
};

void weld_key(const tagTRVXVERTEX &v, int64_t key[6])
{
    key[0] = truncated(v.position.x * kWeldScale);
    key[1] = truncated(v.position.y * kWeldScale);
    key[2] = truncated(v.position.z * kWeldScale);
    key[3] = truncated(v.normal.x * kWeldScale);
    key[4] = truncated(v.normal.y * kWeldScale);
    key[5] = truncated(v.normal.z * kWeldScale);
}

// Smoothing places: positions divided by the grid (a grid of 0 or less welds as chips do).
void place_key(const TRVXVECTOR &p, float grid, int64_t key[3])
{
    if (grid > 0.0f) {
        key[0] = truncated(p.x / grid);
        key[1] = truncated(p.y / grid);
        key[2] = truncated(p.z / grid);
    } else {
        key[0] = truncated(p.x * kWeldScale);
        key[1] = truncated(p.y * kWeldScale);
        key[2] = truncated(p.z * kWeldScale);
    }
}

bool face_fits(const tagTRVXLAYER *layer, const tagTRVXFACE &face)
{
    return face.index[0] < layer->vertexCount && face.index[1] < layer->vertexCount &&
           face.index[2] < layer->vertexCount;
}

// The layer's faces as chips; faces that name a vertex the layer does not have are left out.
std::vector<tagTRVXVERTEX> expand_faces(const tagTRVXLAYER *layer)
{
    std::vector<tagTRVXVERTEX> chips;
    chips.reserve((size_t)layer->faceCount * 3);
    for (int i = 0; i < layer->faceCount; ++i) {
        const tagTRVXFACE &face = layer->faces[i];
        if (!face_fits(layer, face))
            continue;
        for (int k = 0; k < 3; ++k)
            chips.push_back(layer->vertices[face.index[k]]);
    }
    return chips;
}

float length3(float x, float y, float z)
{
    return sqrtf(x * x + y * y + z * z);
}

// Unit normal of the triangle a, b, c as TRVX_Normal3D gives it; zero for a degenerate triangle.
TRVXVECTOR triangle_normal(const TRVXVECTOR &a, const TRVXVECTOR &b, const TRVXVECTOR &c)
{
    float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    TRVXVECTOR n = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx, 0.0f};
    float length = length3(n.x, n.y, n.z);
    if (length > 0.0f) {
        n.x /= length;
        n.y /= length;
        n.z /= length;
    }
    return n;
}

// Angle in radians at corner p between the edges to q and r; 0 when an edge has no length.
float corner_angle(const TRVXVECTOR &p, const TRVXVECTOR &q, const TRVXVECTOR &r)
{
    float ax = q.x - p.x, ay = q.y - p.y, az = q.z - p.z;
    float bx = r.x - p.x, by = r.y - p.y, bz = r.z - p.z;
    float la = length3(ax, ay, az), lb = length3(bx, by, bz);
    if (la <= 0.0f || lb <= 0.0f)
        return 0.0f;
    float dot = (ax * bx + ay * by + az * bz) / (la * lb);
    if (dot > 1.0f)
        dot = 1.0f;
    if (dot < -1.0f)
        dot = -1.0f;
    return acosf(dot);
}

bool has_faces(const tagTRVXLAYER *layer)
{
    return (layer->switchFlags & TRVX_SWITCH_ON) && layer->faceCount > 0 && layer->vertexCount > 0;
}

void flat_normals(tagTRVX *ctx, TRVXLAYER top, bool subtree, int weld)
{
    std::vector<TRVXLAYER> layers;
    if (subtree)
        layer_collect(top, layers);
    else
        layers.push_back(top);
    for (size_t i = 0; i < layers.size(); ++i) {
        TRVXLAYER layer = layers[i];
        if (has_faces(layer)) {
            std::vector<tagTRVXVERTEX> chips = expand_faces(layer);
            for (size_t c = 0; c + 2 < chips.size(); c += 3) {
                TRVXVECTOR n = triangle_normal(chips[c].position, chips[c + 1].position, chips[c + 2].position);
                chips[c].normal = chips[c + 1].normal = chips[c + 2].normal = n;
            }
            TRVXL_SetChip(ctx, layer, (int)(chips.size() / 3), chips.data(), weld);
        }
        TRVX_SetGage(ctx, (DWORD)((i + 1) * 100 / layers.size()));
    }
    layer_build_subtree(ctx, top);
}

struct Place {
    float x, y, z; // summed weighted normals
    float weight;  // summed corner angles
};

// Rebuilds the layer from its own faces as TRVXL_SetChip would from the expanded chips: with
// `weld`, corners whose vertices weld share the first such corner's vertex. Vertices are keyed once
// each rather than once per corner.
void rebuild_from_faces(tagTRVX *ctx, TRVXLAYER layer, int weld)
{
    if (!weld) {
        std::vector<tagTRVXVERTEX> chips = expand_faces(layer);
        TRVXL_SetChip(ctx, layer, (int)(chips.size() / 3), chips.data(), 0);
        return;
    }
    const int vertexCount = layer->vertexCount;
    KeyIndex index((size_t)vertexCount, 6);
    std::vector<int> keyOf((size_t)vertexCount); // weld entry of each vertex
    for (int v = 0; v < vertexCount; ++v) {
        int64_t key[6];
        weld_key(layer->vertices[v], key);
        bool added;
        keyOf[(size_t)v] = index.find_or_add(key, &added);
    }
    std::vector<int> madeOf((size_t)vertexCount, -1); // new vertex of each weld entry
    std::vector<tagTRVXFACE> faces;
    std::vector<tagTRVXVERTEX> vertices;
    faces.reserve((size_t)layer->faceCount);
    for (int f = 0; f < layer->faceCount; ++f) {
        tagTRVXFACE face = layer->faces[f];
        if (!face_fits(layer, face))
            continue;
        for (uint16_t &corner : face.index) {
            int &made = madeOf[(size_t)keyOf[corner]];
            if (made < 0) {
                made = (int)vertices.size();
                vertices.push_back(layer->vertices[corner]);
            }
            corner = (uint16_t)made;
        }
        faces.push_back(face);
    }
    if (faces.empty()) {
        TRVXL_SetChip(ctx, layer, 0, nullptr, weld);
        return;
    }
    if (TRVXL_SetFace(ctx, layer, (int)faces.size(), faces.data()))
        TRVXL_SetVertex(ctx, layer, (int)vertices.size(), vertices.data());
}

// 0 when no corner was found.
int smooth_normals(tagTRVX *ctx, TRVXLAYER top, bool subtree, float grid, int weld)
{
    // The counting pass (for the gauge) leaves out switched-off subtrees; the others only
    // switched-off layers themselves.
    std::vector<TRVXLAYER> counted, layers;
    if (subtree) {
        layer_collect(top, counted, true);
        layer_collect(top, layers);
    } else {
        counted.push_back(top);
        layers.push_back(top);
    }
    TRVX_SetGage(ctx, 33);

    // Every vertex is placed once; its corners then add to its place in corner order, so each
    // place sums the same terms in the same order as a walk over the corners would.
    size_t vertexTotal = 0;
    for (TRVXLAYER layer : layers)
        if (has_faces(layer))
            vertexTotal += (size_t)layer->vertexCount;
    KeyIndex index(vertexTotal, 3);
    std::vector<Place> places;
    std::vector<int> placeOf; // per vertex of the layers with faces, layer after layer
    placeOf.reserve(vertexTotal);
    size_t corners = 0;
    for (TRVXLAYER layer : layers) {
        if (!has_faces(layer))
            continue;
        const int *placeOfVertex = placeOf.data() + placeOf.size();
        for (int v = 0; v < layer->vertexCount; ++v) {
            int64_t key[3];
            place_key(layer->vertices[v].position, grid, key);
            bool added;
            placeOf.push_back(index.find_or_add(key, &added));
            if (added)
                places.push_back(Place{0.0f, 0.0f, 0.0f, 0.0f});
        }
        for (int f = 0; f < layer->faceCount; ++f) {
            const tagTRVXFACE &face = layer->faces[f];
            if (!face_fits(layer, face))
                continue;
            ++corners;
            for (int k = 0; k < 3; ++k) {
                const tagTRVXVERTEX &v = layer->vertices[face.index[k]];
                const TRVXVECTOR &q = layer->vertices[face.index[(k + 1) % 3]].position;
                const TRVXVECTOR &r = layer->vertices[face.index[(k + 2) % 3]].position;
                float angle = corner_angle(v.position, q, r);
                Place &place = places[(size_t)placeOfVertex[face.index[k]]];
                place.x += v.normal.x * angle;
                place.y += v.normal.y * angle;
                place.z += v.normal.z * angle;
                place.weight += angle;
            }
        }
    }
    if (corners == 0)
        return 0;
    TRVX_SetGage(ctx, 66);

    size_t done = 0, first = 0;
    for (TRVXLAYER layer : layers) {
        if (has_faces(layer)) {
            for (int v = 0; v < layer->vertexCount; ++v) {
                tagTRVXVERTEX &vertex = layer->vertices[v];
                const Place &place = places[(size_t)placeOf[first + (size_t)v]];
                float length = length3(place.x, place.y, place.z);
                // Normals that cancel out leave the vertex as it was.
                if (place.weight <= 0.0f || !(length > 0.0f))
                    continue;
                vertex.normal.x = place.x / length;
                vertex.normal.y = place.y / length;
                vertex.normal.z = place.z / length;
            }
            first += (size_t)layer->vertexCount;
            rebuild_from_faces(ctx, layer, weld);
        }
        if (layer->switchFlags & TRVX_SWITCH_ON) {
            ++done;
            size_t total = counted.size() > done ? counted.size() : done;
            TRVX_SetGage(ctx, (DWORD)(66 + done * 33 / total));
        }
    }
    layer_build_subtree(ctx, top);
    return 1;
}

// Axis of the planar projection: 0 X, 1 Y, 2 Z.
int mapping_axis(int mapping)
{
    int axis = mapping & 15;
    return axis <= 2 ? axis : 2;
}

// The two coordinates across the projection axis: X (y, z), Y (z, x), Z (x, y).
void across(int axis, int *a, int *b)
{
    static const int kAcross[3][2] = {{1, 2}, {2, 0}, {0, 1}};
    *a = kAcross[axis][0];
    *b = kAcross[axis][1];
}

float default_mapping_size(const tagTRVXLAYER *layer, int axis)
{
    int a, b;
    across(axis, &a, &b);
    float larger = layer->localHalf[a] > layer->localHalf[b] ? layer->localHalf[a] : layer->localHalf[b];
    return 2.0f * larger;
}

void reset_mapping(tagTRVXSTAGE &stage, const tagTRVXLAYER *layer)
{
    float size = default_mapping_size(layer, mapping_axis(stage.mapping));
    stage.offset = TRVXVECTOR{0.0f, 0.0f, 0.0f, 0.0f};
    stage.angles = TRVXVECTOR{0.0f, 0.0f, 0.0f, 0.0f};
    stage.size = TRVXVECTOR{size, size, 0.0f, 0.0f};
}

bool is_planar(int mapping)
{
    return mapping >= 16 && mapping <= 18;
}

// Planar texture coordinates of one stage from its stored vectors; no command.
void compute_mapping(TRVXLAYER layer, int stage)
{
    tagTRVXSTAGE &st = layer->stages[stage];
    int axis = mapping_axis(st.mapping), a, b;
    across(axis, &a, &b);
    // A zero size would put every coordinate at infinity: the default size stands in for it.
    float fallback = default_mapping_size(layer, axis);
    if (!(fallback > 0.0f))
        fallback = 1.0f;
    float width = st.size.x != 0.0f ? st.size.x : fallback;
    float height = st.size.y != 0.0f ? st.size.y : fallback;
    float theta = st.angles.x * 3.1415927f / 180.0f;
    float s = sinf(theta), c = cosf(theta);
    for (int i = 0; i < layer->vertexCount; ++i) {
        tagTRVXVERTEX &v = layer->vertices[i];
        const float p[3] = {v.position.x, v.position.y, v.position.z};
        float pa = p[a] - layer->localCentre[a] + st.offset.x;
        float pb = p[b] - layer->localCentre[b] + st.offset.y;
        v.u[stage] = (c * pa + s * pb) / width + 0.5f;
        v.v[stage] = 0.5f - (c * pb - s * pa) / height;
    }
}

// Freezing 256: every vertex scaled by the product of the scales on its path from `top`.
void freeze_scale(tagTRVX *ctx, TRVXLAYER top)
{
    struct Item {
        TRVXLAYER layer;
        float product[3];
    };
    std::vector<Item> pending(1, Item{top, {1.0f, 1.0f, 1.0f}});
    while (!pending.empty()) {
        Item item = pending.back();
        pending.pop_back();
        TRVXLAYER layer = item.layer;
        item.product[0] *= layer->scale.x;
        item.product[1] *= layer->scale.y;
        item.product[2] *= layer->scale.z;
        for (int i = 0; i < layer->vertexCount; ++i) {
            TRVXVECTOR &p = layer->vertices[i].position;
            p.x *= item.product[0];
            p.y *= item.product[1];
            p.z *= item.product[2];
        }
        if (layer->vertexCount > 0)
            layer_compute_bounds(layer);
        layer->scale = TRVXVECTOR{1.0f, 1.0f, 1.0f, 0.0f};
        layer->moved = 1;
        for (int i = layer->childCount - 1; i >= 0; --i)
            pending.push_back(Item{layer->children[i], {item.product[0], item.product[1], item.product[2]}});
    }
    layer_build_subtree(ctx, top);
}

void reset_motion(TRVXLAYER layer)
{
    layer->translate = TRVXVECTOR{0.0f, 0.0f, 0.0f, 0.0f};
    layer->rotate = TRVXVECTOR{0.0f, 0.0f, 0.0f, 0.0f};
    layer->scale = TRVXVECTOR{1.0f, 1.0f, 1.0f, 0.0f};
    layer->moved = 1;
}

// Freezing 273: the driver bakes each layer's world matrix into its vertices.
void freeze_motion(tagTRVX *ctx, TRVXLAYER top)
{
    layer_evaluate(ctx, top, true);
    std::vector<TRVXLAYER> layers;
    layer_collect(top, layers);
    for (TRVXLAYER layer : layers) {
        if (layer->vertexCount > 0) {
            driver_command(ctx, TRVXCMD_LAYER_BAKE, (DWORD_PTR)layer);
            layer_compute_bounds(layer);
        }
        reset_motion(layer);
    }
    layer_build_subtree(ctx, top);
}

// Children before parents, in child order.
void collect_postorder(TRVXLAYER top, std::vector<TRVXLAYER> &out)
{
    struct Frame {
        TRVXLAYER layer;
        int next;
    };
    std::vector<Frame> stack(1, Frame{top, 0});
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next < frame.layer->childCount) {
            TRVXLAYER child = frame.layer->children[frame.next++];
            stack.push_back(Frame{child, 0});
            continue;
        }
        out.push_back(frame.layer);
        stack.pop_back();
    }
}

// Freezing 4369: the subtree's geometry merged into the layer. Refused (false, nothing changed)
// when the merged layer would have more vertices than its faces can index.
bool merge_subtree(tagTRVX *ctx, TRVXLAYER top)
{
    std::vector<TRVXLAYER> order;
    collect_postorder(top, order);
    order.pop_back(); // the layer itself
    int total = top->vertexCount;
    for (TRVXLAYER layer : order)
        total += layer->vertexCount;
    if (total > kMaxLayerVertices)
        return false;

    layer_walk(top, [](TRVXLAYER l) {
        l->switchFlags = TRVX_SWITCH_ON;
        return kWalkOn;
    });
    TRVXVECTOR translate = top->translate, rotate = top->rotate, scale = top->scale;
    reset_motion(top);
    freeze_motion(ctx, top);

    std::vector<tagTRVXVERTEX> vertices(top->vertices, top->vertices + top->vertexCount);
    std::vector<tagTRVXFACE> faces(top->faces, top->faces + top->faceCount);
    TRVXLAYER lender = nullptr;
    for (TRVXLAYER layer : order) {
        uint16_t base = (uint16_t)vertices.size();
        for (int f = 0; f < layer->faceCount; ++f) {
            tagTRVXFACE face = layer->faces[f];
            if (!face_fits(layer, face))
                continue;
            for (uint16_t &index : face.index)
                index = (uint16_t)(index + base);
            faces.push_back(face);
        }
        vertices.insert(vertices.end(), layer->vertices, layer->vertices + layer->vertexCount);
        if (!lender && layer->mode)
            lender = layer;
    }
    if (lender) {
        memcpy(&top->diffuse, &lender->diffuse, 5 * sizeof(uint32_t));
        for (int s = 0; s < 4; ++s) {
            tagTRVXSTAGE record = lender->stages[s];
            record.owner = top;
            layer_assign_stage(ctx, top, s, &record);
        }
        layer_update_render_class(ctx, top);
        if (!top->mode)
            top->mode = lender->mode;
        driver_command(ctx, TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)top, (DWORD_PTR)top->materialBlock);
    }
    layer_free_children(ctx, top);
    TRVXL_SetFace(ctx, top, (int)faces.size(), faces.data());
    TRVXL_SetVertex(ctx, top, (int)vertices.size(), vertices.data());
    top->translate = translate;
    top->rotate = rotate;
    top->scale = scale;
    top->moved = 1;
    driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)top);
    return true;
}

} // namespace

void layer_compute_bounds(TRVXLAYER layer)
{
    memset(layer->localHalf, 0, 72); // local bounds, world bounds and sort data
    if (layer->vertexCount == 1) {
        const TRVXVECTOR &p = layer->vertices[0].position;
        layer->localCentre[0] = p.x;
        layer->localCentre[1] = p.y;
        layer->localCentre[2] = p.z;
        layer->localHalf[0] = layer->localHalf[1] = layer->localHalf[2] = layer->pointSize / 2.0f;
        layer->localRadius = layer->pointSize * sqrtf(3.0f);
        return;
    }
    if (layer->vertexCount <= 0)
        return;
    float low[3], high[3];
    for (int k = 0; k < 3; ++k)
        low[k] = high[k] = (&layer->vertices[0].position.x)[k];
    for (int i = 1; i < layer->vertexCount; ++i) {
        const float *p = &layer->vertices[i].position.x;
        for (int k = 0; k < 3; ++k) {
            if (p[k] < low[k])
                low[k] = p[k];
            if (p[k] > high[k])
                high[k] = p[k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        layer->localCentre[k] = (low[k] + high[k]) / 2.0f;
        layer->localHalf[k] = (high[k] - low[k]) / 2.0f;
    }
    layer->localRadius = length3(layer->localHalf[0], layer->localHalf[1], layer->localHalf[2]);
}

bool layer_assign_stage(tagTRVX *ctx, TRVXLAYER layer, int stage, const tagTRVXSTAGE *record)
{
    if (stage < 0 || stage > 3)
        return false;
    tagTRVXSTAGE &st = layer->stages[stage];
    if (!record) {
        if (st.texture)
            TRVX_DeleteTexture(ctx, st.texture);
        memset(&st, 0, sizeof st);
        return true;
    }
    // The record may be this very stage.
    const tagTRVXSTAGE copy = *record;
    record = &copy;
    int slot = record->texture;
    if (!slot) {
        if (st.texture)
            TRVX_DeleteTexture(ctx, st.texture);
        memset(&st, 0, sizeof st);
        st.blend = record->blend; // a stage may blend without a texture
        return true;
    }
    // Only a slot that holds a texture may be counted; a free one would be marked used by nothing.
    if (slot < 0 || slot >= ctx->textureCount || ctx->textures[slot].useCount <= 0)
        return false;
    int old = st.texture, oldMapping = st.mapping;
    if (old != slot) {
        ++ctx->textures[slot].useCount;
        if (old)
            TRVX_DeleteTexture(ctx, old);
    }
    if (record->owner == layer) {
        st = *record;
    } else {
        st.texture = record->texture;
        st.blend = record->blend;
        st.mapping = record->mapping;
        st.addressing = record->addressing;
        st.filter = record->filter;
    }
    if ((!old || st.mapping != oldMapping) && layer->vertexCount > 0 && is_planar(st.mapping))
        compute_mapping(layer, stage);
    return true;
}

void layer_update_texture_mode(tagTRVX *ctx, TRVXLAYER layer)
{
    uint32_t mode = TRVX_MODE_SOLID;
    for (int s = 3; s >= 0; --s)
        if (layer->stages[s].texture) {
            mode = TRVX_MODE_TEXTURED + (uint32_t)(s + 1);
            break;
        }
    layer_update_render_class(ctx, layer);
    if (mode == layer->mode)
        return;
    layer->mode = mode;
    if (layer->vertexCount > 0)
        driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)layer);
}

// Puts `count` records into a layer's face or vertex array: none (and the driver's buffer dropped)
// for 0 or null records; the block reused when the count is unchanged; otherwise a new block, the
// driver's buffer dropped before the old one goes. False, leaving the array, when out of memory.
template <class Record>
static bool replace_records(tagTRVX *ctx, TRVXLAYER layer, Record *&array, int32_t &arrayCount, int count,
                            const Record *records, int dropCommand)
{
    if (count <= 0 || !records) {
        TRVX_FreeMemory(ctx, array);
        array = nullptr;
        arrayCount = 0;
        driver_command(ctx, dropCommand, (DWORD_PTR)layer);
        return true;
    }
    if (count == arrayCount && array) {
        memmove(array, records, (size_t)count * sizeof(Record));
        return true;
    }
    if (count > INT_MAX / (int)sizeof(Record))
        return false;
    Record *block = (Record *)memory_alloc_filled(ctx, count * (int)sizeof(Record));
    if (!block)
        return false;
    memcpy(block, records, (size_t)count * sizeof(Record));
    if (array) {
        driver_command(ctx, dropCommand, (DWORD_PTR)layer);
        TRVX_FreeMemory(ctx, array);
    }
    array = block;
    arrayCount = count;
    return true;
}

// Returns 1; `count` 0 or null faces clear them; 0 when out of memory.
int WINAPI TRVXL_SetFace(TRVXCONTEXT ctx, TRVXLAYER layer, int count, const tagTRVXFACE *faces)
{
    return replace_records(ctx, layer, layer->faces, layer->faceCount, count, faces, TRVXCMD_LAYER_FACES_DROP) ? 1 : 0;
}

// Returns 1 after setting the vertices and the local bounds; 0 (nothing changed) for more
// vertices than 16-bit faces can index, or when out of memory.
int WINAPI TRVXL_SetVertex(TRVXCONTEXT ctx, TRVXLAYER layer, int count, const tagTRVXVERTEX *vertices)
{
    if (count > kMaxLayerVertices && vertices)
        return 0;
    if (!replace_records(ctx, layer, layer->vertices, layer->vertexCount, count, vertices,
                         TRVXCMD_LAYER_VERTICES_DROP))
        return 0;
    layer_compute_bounds(layer);
    return 1;
}

// The number of vertices made; 0 after clearing (no chips) or when more than 65536 vertices would
// be needed (the layer is then left as it was).
int WINAPI TRVXL_SetChip(TRVXCONTEXT ctx, TRVXLAYER layer, int count, const tagTRVXVERTEX *chips, int weld)
{
    if (count <= 0 || !chips) {
        TRVXL_SetFace(ctx, layer, 0, nullptr);
        TRVXL_SetVertex(ctx, layer, 0, nullptr);
        return 0;
    }
    if (count > INT_MAX / 3)
        return 0;
    size_t corners = (size_t)count * 3;
    std::vector<tagTRVXFACE> faces((size_t)count);
    std::vector<tagTRVXVERTEX> welded;
    const tagTRVXVERTEX *vertices = chips;
    size_t vertexCount = corners;
    if (weld) {
        KeyIndex index(corners, 6);
        welded.reserve(corners < (size_t)kMaxLayerVertices ? corners : (size_t)kMaxLayerVertices);
        for (size_t i = 0; i < corners; ++i) {
            int64_t key[6];
            weld_key(chips[i], key);
            bool added;
            int at = index.find_or_add(key, &added);
            if (added) {
                if (welded.size() >= (size_t)kMaxLayerVertices)
                    return 0;
                welded.push_back(chips[i]);
            }
            faces[i / 3].index[i % 3] = (uint16_t)at;
        }
        vertices = welded.data();
        vertexCount = welded.size();
    } else {
        if (corners > (size_t)kMaxLayerVertices)
            return 0;
        for (size_t i = 0; i < corners; ++i)
            faces[i / 3].index[i % 3] = (uint16_t)i;
    }
    if (!TRVXL_SetFace(ctx, layer, count, faces.data()) ||
        !TRVXL_SetVertex(ctx, layer, (int)vertexCount, vertices))
        return 0;
    return (int)vertexCount;
}

// 1; smoothing (bit 0 of `how`) returns 0 when it found no corner. Bit 4: the whole subtree.
int WINAPI TRVXL_SmoothLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int how, float grid, int weld)
{
    bool subtree = (how & 16) != 0;
    if (how & 1)
        return smooth_normals(ctx, layer, subtree, grid, weld);
    flat_normals(ctx, layer, subtree, weld);
    return 1;
}

// 1 after assigning the stage over the subtree; 0 for a stage outside 0-3 or an unknown slot.
int WINAPI TRVXL_TextureLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int stage, const tagTRVXSTAGE *record)
{
    if (stage < 0 || stage > 3)
        return 0;
    if (record && record->texture &&
        (record->texture < 0 || record->texture >= ctx->textureCount || ctx->textures[record->texture].useCount <= 0))
        return 0;
    // The record may lie in a stage that this walk changes.
    tagTRVXSTAGE kept = record ? *record : tagTRVXSTAGE{};
    if (record)
        record = &kept;
    std::vector<TRVXLAYER> layers;
    layer_collect(layer, layers);
    for (TRVXLAYER l : layers) {
        tagTRVXSTAGE before = l->stages[stage];
        layer_assign_stage(ctx, l, stage, record);
        uint32_t mode = l->mode;
        layer_update_texture_mode(ctx, l);
        // New coordinates need new buffers; a changed mode has already rebuilt them.
        bool recomputed = l->vertexCount > 0 && is_planar(l->stages[stage].mapping) &&
                          (!before.texture || before.mapping != l->stages[stage].mapping);
        if (recomputed && mode == l->mode)
            driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)l);
    }
    return 1;
}

// 1 after storing the mapping vectors (all null: the defaults) and computing the coordinates; 0
// when the stage has no texture or no mapping kind, or the layer no vertices.
int WINAPI TRVXL_DirectionLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int stage, const TRVXVECTOR *offset,
                                const TRVXVECTOR *angles, const TRVXVECTOR *size)
{
    if (stage < 0 || stage > 3)
        return 0;
    tagTRVXSTAGE &st = layer->stages[stage];
    if (!st.texture || layer->vertexCount <= 0 || !st.mapping)
        return 0;
    if (!offset && !angles && !size) {
        reset_mapping(st, layer);
    } else {
        if (offset)
            st.offset = *offset;
        if (angles)
            st.angles = *angles;
        if (size)
            st.size = *size;
    }
    if (!is_planar(st.mapping))
        return 1;
    compute_mapping(layer, stage);
    layer_build_subtree(ctx, layer);
    return 1;
}

// 1 after freezing: `how` 256 the scales, 273 the whole motion, 4369 the subtree merged into the
// layer (0 when the merged layer would need more than 65536 vertices; nothing is changed then).
int WINAPI TRVXL_FixLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int how)
{
    switch (how) {
    case 256:
        freeze_scale(ctx, layer);
        return 1;
    case 273:
        freeze_motion(ctx, layer);
        return 1;
    case 4369:
        return merge_subtree(ctx, layer) ? 1 : 0;
    default:
        return 1;
    }
}
