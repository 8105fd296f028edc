// Rendering a frame: the walk that culls the evaluated tree against the camera's view cone and
// fills the five draw lists, and the steps that hand the listed layers to the graphics driver.
#include "render_local.h"

#include <math.h>
#include <stddef.h>
#include <string.h>
#include <new>
#include <vector>

namespace {

const float kPi = 3.1415927f;
const float kDefaultLens = 50.0f; // the driver's own field of view, 2 atan(0.35), when the lens is 0
const float kFrameHeight = 17.5f; // half the 35 mm frame, in mm
// Siblings ahead of the one visited whose records are fetched early: enough to cover a memory
// access, few enough that they are still cached when their turn comes.
const int kPrefetchAhead = 8;

struct Collector {
    tagTRVX *ctx;
    TRVXVECTOR eye;
    TRVXVECTOR view;    // unit view direction
    bool openView;      // eye and target coincide: no direction to cull by
    float cosCone;      // of the view cone's half-angle
    float sinCone;
    float depth;        // the far edge of the farthest listed layer, plus 1
};

bool valid_port(const tagTRVX *ctx, int viewPort)
{
    return ctx && viewPort >= 0 && viewPort < ctx->viewPortCount;
}

float view_cone(const tagTRVX *ctx, int viewPort)
{
    const tagTRVXVIEWPORT &port = ctx->viewPorts[viewPort];
    float w = port.clipWidth / 2.0f, h = port.clipHeight / 2.0f;
    if (h <= 0.0f)
        return kPi; // no clip size yet: nothing can be culled by direction
    float lens = ctx->camera.lens > 0.0f ? ctx->camera.lens : kDefaultLens;
    return atanf(sqrtf(w * w + h * h) / h * kFrameHeight / lens);
}

// What a frame leaves in a layer's sort key and radius.
struct SortKey {
    TRVXVECTOR key;
    float radius;
};

// Writes the frame's sort key only where it changed: a still scene then reads its layers' records
// without dirtying them, and memory carries no write-backs of unchanged values.
inline void store_sort_key(TRVXLAYER layer, const SortKey &k)
{
    if (memcmp(&layer->sortKey, &k.key, sizeof k.key) != 0)
        layer->sortKey = k.key;
    if (memcmp(&layer->sortRadius, &k.radius, sizeof k.radius) != 0)
        layer->sortRadius = k.radius;
}

// The lines of a layer record that the walk reads: its first (switches) and those from the child
// count to the sort radius.
inline void prefetch_layer(const tagTRVXLAYER *layer)
{
    const char *record = (const char *)layer;
    __builtin_prefetch(record);
    __builtin_prefetch(record + offsetof(tagTRVXLAYER, childCount));
    __builtin_prefetch(record + offsetof(tagTRVXLAYER, sortRadius));
}

void list_overlay(Collector &c, TRVXLAYER layer, SortKey &k)
{
    float depth = layer->worldCentre.z;
    tagTRVXDRAWLIST *list = nullptr;
    if (depth >= -1.0f && depth <= 0.0f)
        list = &c.ctx->frontList;
    else if (depth >= 1.0f && depth <= 2.0f)
        list = &c.ctx->backList;
    if (!list)
        return;
    draw_list_append(c.ctx, list, layer, depth);
    k.key = layer->worldCentre;
    k.radius = layer->worldRadius;
}

// True when the layer's bounding sphere lies (partly) inside the view cone and the far distance:
// the angle off the view direction is below the sphere's half-angle asin(r / d) plus the cone's,
// compared through cosines (no inverse trigonometry per layer).
bool in_view(const Collector &c, const TRVXVECTOR &towards, float d, float radius)
{
    if (d < radius || d == 0.0f)
        return true; // the eye is inside the sphere
    if (c.ctx->cullDistance <= d - radius)
        return false;
    if (c.openView)
        return true;
    float sinSphere = radius / d, cosSphere = sqrtf(1.0f - sinSphere * sinSphere);
    float limit = cosSphere * c.cosCone - sinSphere * c.sinCone; // cos(asin(r / d) + cone)
    if (cosSphere * c.sinCone + sinSphere * c.cosCone < 0.0f)
        return true; // the two half-angles add up past 180 degrees
    float cosine = (c.view.x * towards.x + c.view.y * towards.y + c.view.z * towards.z) / d;
    return cosine > limit;
}

void list_layer(Collector &c, TRVXLAYER layer, SortKey &k)
{
    TRVXVECTOR towards = {layer->worldCentre.x - c.eye.x, layer->worldCentre.y - c.eye.y,
                          layer->worldCentre.z - c.eye.z, 0.0f};
    float d = sqrtf(towards.x * towards.x + towards.y * towards.y + towards.z * towards.z);
    if (!(d >= layer->nearLimit) || (layer->farLimit != 0.0f && d >= layer->farLimit))
        return; // also refuses a distance that is not a number
    if (!in_view(c, towards, d, layer->worldRadius))
        return;
    tagTRVXDRAWLIST *list;
    if (layer->faceCount > 0)
        list = layer->renderClass ? &c.ctx->sortedList : &c.ctx->opaqueList;
    else if (layer->pointSize != 0.0f)
        list = &c.ctx->pointList;
    else
        return;
    if (!draw_list_append(c.ctx, list, layer, d))
        return;
    k.key.z = d;
    float edge = d + layer->worldRadius + 1.0f;
    if (edge > c.depth)
        c.depth = edge;
}

// Lists one layer; false when it is passed over with its subtree (hidden, switched off, invisible).
bool visit(Collector &c, TRVXLAYER layer)
{
    if ((layer->switchFlags & TRVX_SWITCH_HIDDEN) ||
        !(layer->switchFlags & (TRVX_SWITCH_ON | TRVX_SWITCH_EVALUATED)) || layer->transparency >= 255)
        return false;
    SortKey k = {};
    if (layer->vertexCount > 0) {
        if (layer->attributes & TRVX_ATTR_OVERLAY)
            list_overlay(c, layer, k);
        else
            list_layer(c, layer, k);
    }
    store_sort_key(layer, k);
    return true;
}

// Pre-order from `top` with a stack as deep as the tree (not as wide), so that neither deep nor
// wide trees cost more than one pass.
void collect_subtree(Collector &c, TRVXLAYER top)
{
    struct Level {
        TRVXLAYER layer;
        int next; // the child to visit next
    };
    if (!visit(c, top))
        return;
    std::vector<Level> path;
    path.reserve(32);
    path.push_back({top, 0});
    while (!path.empty()) {
        // Siblings are taken in one tight loop; a level is pushed only to go down.
        TRVXLAYER parent = path.back().layer, down = nullptr;
        TRVXLAYER const *children = parent->children;
        const int count = parent->childCount;
        int next = path.back().next;
        while (next < count && !down) {
            if (next + kPrefetchAhead < count)
                prefetch_layer(children[next + kPrefetchAhead]);
            TRVXLAYER child = children[next++];
            if (visit(c, child) && child->childCount > 0)
                down = child;
        }
        path.back().next = next;
        if (down)
            path.push_back({down, 0});
        else
            path.pop_back();
    }
}

void collect(tagTRVX *ctx, int viewPort, TRVXLAYER layer)
{
    ctx->layersDrawn = ctx->facesDrawn = ctx->verticesDrawn = 0;
    ctx->cullDistance = ctx->camera.farZ != 0.0f ? ctx->camera.farZ : kUnlimitedDistance;
    draw_list_reset(&ctx->opaqueList, ctx->cullDistance);
    draw_list_reset(&ctx->sortedList, ctx->cullDistance);
    draw_list_reset(&ctx->frontList, 1.0f);
    draw_list_reset(&ctx->backList, 1.0f);
    draw_list_reset(&ctx->pointList, 1.0f);

    Collector c = {};
    c.ctx = ctx;
    c.eye = ctx->camera.eye;
    c.view = {ctx->camera.target.x - c.eye.x, ctx->camera.target.y - c.eye.y, ctx->camera.target.z - c.eye.z, 0.0f};
    c.openView = c.view.x == 0.0f && c.view.y == 0.0f && c.view.z == 0.0f;
    if (!c.openView)
        TRVX_Unit3D(&c.view);
    float cone = view_cone(ctx, viewPort);
    c.cosCone = cosf(cone);
    c.sinCone = sinf(cone);
    c.depth = 1.0f;
    if (layer) {
        try {
            collect_subtree(c, layer);
        } catch (const std::bad_alloc &) {
            // No memory for the walk's stack: the frame draws what was listed before.
        }
    }

    draw_list_sort(&ctx->sortedList);
    draw_list_sort(&ctx->pointList);
    draw_list_sort(&ctx->frontList);
    draw_list_sort(&ctx->backList);
    ctx->frameDepth = c.depth;
}

// 1 when every listed layer was drawn; the drawn ones are added to the frame counts.
DWORD_PTR draw_entries(tagTRVX *ctx, int viewPort, const tagTRVXDRAWLIST &list, bool backwards, bool countFaces)
{
    DWORD_PTR all = 1;
    int last = list.count - 2;
    for (int n = 1; n <= last; ++n) {
        TRVXLAYER layer = list.entries[backwards ? last + 1 - n : n].layer;
        if (!driver_command(ctx, TRVXCMD_LAYER_DRAW, viewPort, (DWORD_PTR)layer)) {
            all = 0;
            continue;
        }
        ctx->layersDrawn += 1;
        if (countFaces)
            ctx->facesDrawn += layer->faceCount;
        ctx->verticesDrawn += layer->vertexCount;
    }
    return all;
}

} // namespace

// By step: the driver's result (begin, end, set-ups), 1 (collect), 1 when every draw of a list
// succeeded; 0 for a bad view port or an unknown step.
DWORD_PTR WINAPI TRVX_RenderingEx(TRVXCONTEXT ctx, int viewPort, TRVXLAYER layer, int step, DWORD background)
{
    if (!valid_port(ctx, viewPort))
        return 0;
    switch (step) {
    case TRVX_STEP_BEGIN:
        return driver_command(ctx, TRVXCMD_SCENE_BEGIN, viewPort, background);
    case TRVX_STEP_END:
        return driver_command(ctx, TRVXCMD_SCENE_END, viewPort);
    case TRVX_STEP_COLLECT:
        collect(ctx, viewPort, layer);
        return 1;
    case TRVX_STEP_SETUP_3D:
        return driver_command(ctx, TRVXCMD_SET_3D, viewPort);
    case TRVX_STEP_OPAQUE:
        return draw_entries(ctx, viewPort, ctx->opaqueList, false, true);
    case TRVX_STEP_SORTED:
        return draw_entries(ctx, viewPort, ctx->sortedList, true, true);
    case TRVX_STEP_SETUP_2D:
        return driver_command(ctx, TRVXCMD_SET_2D, viewPort);
    case TRVX_STEP_FRONT:
        return draw_entries(ctx, viewPort, ctx->frontList, true, true);
    case TRVX_STEP_BACK:
        return draw_entries(ctx, viewPort, ctx->backList, true, true);
    case TRVX_STEP_POINTS:
        return draw_entries(ctx, viewPort, ctx->pointList, true, false);
    default:
        return 0;
    }
}

// 1 after drawing the frame (refused draws are not reported); 0 for a bad view port.
int WINAPI TRVX_Rendering(TRVXCONTEXT ctx, int viewPort, TRVXLAYER layer, DWORD background)
{
    if (!valid_port(ctx, viewPort))
        return 0;
    static const int steps[] = {TRVX_STEP_BEGIN,  TRVX_STEP_COLLECT,  TRVX_STEP_SETUP_2D, TRVX_STEP_BACK,
                                TRVX_STEP_SETUP_3D, TRVX_STEP_OPAQUE, TRVX_STEP_SORTED,  TRVX_STEP_POINTS,
                                TRVX_STEP_SETUP_2D, TRVX_STEP_FRONT,  TRVX_STEP_END};
    for (int step : steps) {
        if (!valid_port(ctx, viewPort))
            break;
        TRVX_RenderingEx(ctx, viewPort, layer, step, background);
    }
    return 1;
}
