// Helpers shared by the layer tree, layer geometry and layer motion sources; not exported.
// Every walk here uses an explicit list instead of recursion, so that trees of any depth, as files
// may build them, cannot exhaust the stack.
#pragma once

#include "engine_local.h"

#include <vector>

// Where the engine's own records lie inside tagTRVX::reserved0.
const size_t kReservedTopLayers = 0;
const size_t kReservedLayerSlabs = 16;

// A zeroed layer record from the context's layer slabs (with a block header), or null; and its return.
TRVXLAYER layer_record_new(tagTRVX *ctx);
void layer_record_free(tagTRVX *ctx, TRVXLAYER layer);

// Vertices a layer can index with its 16-bit face indices.
const int kMaxLayerVertices = 65536;

// What a walk does after visiting a layer.
enum LayerWalkStep { kWalkOn, kWalkSkipChildren, kWalkStop };

// Pre-order walk from `top`: visit(layer) returns a LayerWalkStep; children are read after the
// visit, so a visit may change them. False when a visit stopped the walk.
template <class Visit> bool layer_walk(TRVXLAYER top, Visit visit)
{
    std::vector<TRVXLAYER> pending(1, top);
    while (!pending.empty()) {
        TRVXLAYER layer = pending.back();
        pending.pop_back();
        LayerWalkStep step = visit(layer);
        if (step == kWalkStop)
            return false;
        if (step == kWalkSkipChildren)
            continue;
        for (int i = layer->childCount - 1; i >= 0; --i)
            pending.push_back(layer->children[i]);
    }
    return true;
}

// Appends `top` and its descendants to `out` in pre-order (the layer, then each child's subtree in
// child order). With `onlySwitchedOn`, a layer whose bit 0 is off is left out with its subtree.
void layer_collect(TRVXLAYER top, std::vector<TRVXLAYER> &out, bool onlySwitchedOn = false);

// Frees every child subtree of the layer whole and its child array (as TRVXL_DeleteLayer with 1
// on each child, without compacting the array once per child).
void layer_free_children(tagTRVX *ctx, TRVXLAYER layer);

// Command 20 for the layer and each descendant, once each (modes kept).
void layer_build_subtree(tagTRVX *ctx, TRVXLAYER layer);

// Recomputes the derived render class from stage 0, its texture and the transparency.
void layer_update_render_class(tagTRVX *ctx, TRVXLAYER layer);

// Texture assignment of one stage of one layer (no descendants); false for a stage outside 0-3 or
// a slot outside the texture table.
bool layer_assign_stage(tagTRVX *ctx, TRVXLAYER layer, int stage, const tagTRVXSTAGE *record);

// Mode from the highest stage that holds a texture; command 20 when it changed and there are vertices.
void layer_update_texture_mode(tagTRVX *ctx, TRVXLAYER layer);

// Local bounds from the vertices (the point case included); clears the world bounds after them.
void layer_compute_bounds(TRVXLAYER layer);

// Evaluates the subtree as TRVXL_CalcLayer does; `everyLayer` also evaluates switched-off layers
// (freezing needs every layer's world matrix). 1 when some matrix was recomputed.
int layer_evaluate(tagTRVX *ctx, TRVXLAYER layer, bool everyLayer);


// Top layers (the root and every layer without a parent), in the order they became top layers.
void top_layer_add(tagTRVX *ctx, TRVXLAYER layer);
void top_layer_remove(tagTRVX *ctx, TRVXLAYER layer);
std::vector<TRVXLAYER> top_layers(const tagTRVX *ctx);
// Frees every top layer with its subtree (the engine's end).
void top_layers_free(tagTRVX *ctx);
