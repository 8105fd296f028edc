// Layer motion and evaluation: the local motion values, the evaluation walk that has the driver
// recompute local and world matrices (commands 4 and 5) only where something changed, and the
// bounding sphere of a subtree.
#include "layer_local.h"

#include <math.h>

namespace {

bool valid_order(int order)
{
    return order >= 1 && order <= 16;
}

} // namespace

int layer_evaluate(tagTRVX *ctx, TRVXLAYER layer, bool everyLayer)
{
    struct Item {
        TRVXLAYER layer;
        void *parentBlock;  // the parent's transform block; none for the top
        bool parentChanged; // the parent's world matrix was recomputed
    };
    int recomputed = 0;
    std::vector<Item> pending(1, Item{layer, nullptr, false});
    while (!pending.empty()) {
        Item item = pending.back();
        pending.pop_back();
        TRVXLAYER l = item.layer;
        if (!everyLayer && !(l->switchFlags & (TRVX_SWITCH_ON | TRVX_SWITCH_EVALUATED))) {
            // Recomputed once it is switched on again.
            if (item.parentChanged)
                l->moved = 1;
            continue;
        }
        bool changed = false;
        if (l->moved) {
            driver_command(ctx, TRVXCMD_LAYER_LOCAL, (DWORD_PTR)l);
            l->moved = 0;
            driver_command(ctx, TRVXCMD_LAYER_WORLD, (DWORD_PTR)l, (DWORD_PTR)item.parentBlock);
            changed = true;
        } else if (item.parentChanged) {
            driver_command(ctx, TRVXCMD_LAYER_WORLD, (DWORD_PTR)l, (DWORD_PTR)item.parentBlock);
            changed = true;
        }
        if (changed)
            recomputed = 1;
        for (int i = l->childCount - 1; i >= 0; --i)
            pending.push_back(Item{l->children[i], l->transformBlock, changed});
    }
    return recomputed;
}

// The layer, after replacing each motion value that is given (orders outside 1-16 are ignored).
TRVXLAYER WINAPI TRVXL_MoveLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const TRVXVECTOR *translate,
                                 const TRVXVECTOR *rotate, const TRVXVECTOR *scale, int transformOrder,
                                 int rotationOrder)
{
    (void)ctx;
    if (translate) {
        layer->translate = *translate;
        layer->moved = 1;
    }
    if (rotate) {
        layer->rotate = *rotate;
        layer->moved = 1;
    }
    if (scale) {
        layer->scale = *scale;
        layer->moved = 1;
    }
    if (valid_order(transformOrder)) {
        layer->transformOrder = transformOrder;
        layer->moved = 1;
    }
    if (valid_order(rotationOrder)) {
        layer->rotationOrder = rotationOrder;
        layer->moved = 1;
    }
    return layer;
}

// Copies out each motion value whose pointer is given.
void WINAPI TRVXL_GetMoveLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXVECTOR *translate, TRVXVECTOR *rotate,
                               TRVXVECTOR *scale, int *transformOrder, int *rotationOrder)
{
    (void)ctx;
    if (translate)
        *translate = layer->translate;
    if (rotate)
        *rotate = layer->rotate;
    if (scale)
        *scale = layer->scale;
    if (transformOrder)
        *transformOrder = layer->transformOrder;
    if (rotationOrder)
        *rotationOrder = layer->rotationOrder;
}

// 1 when any layer's matrices were recomputed; `layer` is evaluated as a top layer.
int WINAPI TRVXL_CalcLayer(TRVXCONTEXT ctx, TRVXLAYER layer)
{
    return layer_evaluate(ctx, layer, false);
}

// 1 when some layer of the subtree has a world radius above 0; the subtree's sphere goes to
// `centre` (w 0) and `radius` (zeros when there is none).
int WINAPI TRVXL_CalcPositionLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXVECTOR *centre, float *radius)
{
    (void)ctx;
    float low[3] = {0.0f, 0.0f, 0.0f}, high[3] = {0.0f, 0.0f, 0.0f};
    bool found = false;
    layer_walk(layer, [&](TRVXLAYER l) {
        if (!(l->worldRadius > 0.0f))
            return kWalkOn;
        const float c[3] = {l->worldCentre.x, l->worldCentre.y, l->worldCentre.z};
        for (int k = 0; k < 3; ++k) {
            float a = c[k] - l->worldRadius, b = c[k] + l->worldRadius;
            if (!found || a < low[k])
                low[k] = a;
            if (!found || b > high[k])
                high[k] = b;
        }
        found = true;
        return kWalkOn;
    });
    float half[3];
    for (int k = 0; k < 3; ++k)
        half[k] = (high[k] - low[k]) / 2.0f;
    if (centre) {
        centre->x = (low[0] + high[0]) / 2.0f;
        centre->y = (low[1] + high[1]) / 2.0f;
        centre->z = (low[2] + high[2]) / 2.0f;
        centre->w = 0.0f;
    }
    if (radius)
        *radius = sqrtf(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
    return found ? 1 : 0;
}
