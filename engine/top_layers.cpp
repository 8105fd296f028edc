// Top layers: every layer without a parent, the root among them. A layer made without a parent or
// moved out of the tree is reached by nothing else, yet the driver may hold buffers for it: the
// device reset and the engine's end walk this list so that those buffers go too.
#include "layer_local.h"

#include <string.h>

namespace {

// Kept in the context's reserved bytes after the lights (copied in and out: those bytes promise no
// alignment); the heap block goes with the context.
struct TopLayers {
    TRVXLAYER *layers; // memory block, in the order the layers became top layers
    int32_t count;
};
static_assert(kReservedTopLayers + sizeof(TopLayers) <= kReservedLayerSlabs, "the top-layer list must fit before the slabs");

TopLayers load(const tagTRVX *ctx)
{
    TopLayers tops;
    memcpy(&tops, ctx->reserved0 + kReservedTopLayers, sizeof tops);
    return tops;
}

void store(tagTRVX *ctx, const TopLayers &tops)
{
    memcpy(ctx->reserved0 + kReservedTopLayers, &tops, sizeof tops);
}

} // namespace

void top_layer_add(tagTRVX *ctx, TRVXLAYER layer)
{
    TopLayers tops = load(ctx);
    TRVXLAYER *grown =
        (TRVXLAYER *)TRVX_ResizeMemory(ctx, tops.layers, (tops.count + 1) * (int)sizeof(TRVXLAYER));
    if (!grown)
        return;
    grown[tops.count++] = layer;
    tops.layers = grown;
    store(ctx, tops);
}

void top_layer_remove(tagTRVX *ctx, TRVXLAYER layer)
{
    TopLayers tops = load(ctx);
    for (int i = 0; i < tops.count; ++i) {
        if (tops.layers[i] != layer)
            continue;
        memmove(&tops.layers[i], &tops.layers[i + 1], (size_t)(tops.count - i - 1) * sizeof(TRVXLAYER));
        --tops.count;
        store(ctx, tops);
        return;
    }
}

std::vector<TRVXLAYER> top_layers(const tagTRVX *ctx)
{
    TopLayers tops = load(ctx);
    return std::vector<TRVXLAYER>(tops.layers, tops.layers + tops.count);
}

void top_layers_free(tagTRVX *ctx)
{
    for (TRVXLAYER layer : top_layers(ctx))
        TRVXL_DeleteLayer(ctx, layer, 1);
    TopLayers tops = load(ctx);
    TRVX_FreeMemory(ctx, tops.layers);
    store(ctx, TopLayers{});
}
