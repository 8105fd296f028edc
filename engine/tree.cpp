// Layer tree: layer records, their creation and deletion, and the child arrays that hold the tree.
#include "engine_local.h"

#include <string.h>

namespace {

void append_child(tagTRVX *ctx, TRVXLAYER parent, TRVXLAYER child)
{
    int count = parent->childCount;
    TRVXLAYER *grown = (TRVXLAYER *)TRVX_ResizeMemory(ctx, parent->children, (count + 1) * (int)sizeof(TRVXLAYER));
    if (!grown)
        return;
    grown[count] = child;
    parent->children = grown;
    parent->childCount = count + 1;
    child->parent = parent;
}

void drop_geometry(tagTRVX *ctx, TRVXLAYER layer)
{
    driver_command(ctx, TRVXCMD_LAYER_FACES_DROP, (DWORD_PTR)layer);
    TRVX_FreeMemory(ctx, layer->faces);
    layer->faces = nullptr;
    layer->faceCount = 0;
    driver_command(ctx, TRVXCMD_LAYER_VERTICES_DROP, (DWORD_PTR)layer);
    TRVX_FreeMemory(ctx, layer->vertices);
    layer->vertices = nullptr;
    layer->vertexCount = 0;
    layer->moved = 1;
}

// Children before parents, so that nothing reaches a freed parent.
void delete_subtree(tagTRVX *ctx, TRVXLAYER layer, bool whole)
{
    for (int i = 0; i < layer->childCount; ++i)
        delete_subtree(ctx, layer->children[i], whole);
    drop_geometry(ctx, layer);
    if (!whole)
        return;
    for (tagTRVXSTAGE &stage : layer->stages)
        if (stage.texture)
            TRVX_DeleteTexture(ctx, stage.texture);
    TRVX_FreeMemory(ctx, layer->transformBlock);
    TRVX_FreeMemory(ctx, layer->materialBlock);
    TRVX_FreeMemory(ctx, layer->children);
    TRVX_FreeMemory(ctx, layer);
}

} // namespace

void layer_unlink(tagTRVX *ctx, TRVXLAYER layer)
{
    TRVXLAYER parent = layer->parent;
    if (!parent)
        return;
    int count = parent->childCount, at = 0;
    while (at < count && parent->children[at] != layer)
        ++at;
    if (at < count) {
        memmove(&parent->children[at], &parent->children[at + 1], (size_t)(count - at - 1) * sizeof(TRVXLAYER));
        parent->childCount = --count;
        if (count == 0) {
            TRVX_FreeMemory(ctx, parent->children);
            parent->children = nullptr;
        } else {
            parent->children = (TRVXLAYER *)TRVX_ResizeMemory(ctx, parent->children, count * (int)sizeof(TRVXLAYER));
        }
    }
    layer->parent = nullptr;
}

void layer_append(tagTRVX *ctx, TRVXLAYER parent, TRVXLAYER child)
{
    append_child(ctx, parent, child);
}

void layer_free_tree(tagTRVX *ctx, TRVXLAYER layer)
{
    layer_unlink(ctx, layer);
    delete_subtree(ctx, layer, true);
}

// The new layer, appended as the last child of `parent` (a top layer when 0); null when out of memory.
TRVXLAYER WINAPI TRVXL_CreateLayer(TRVXCONTEXT ctx, TRVXLAYER parent, const wchar_t *name)
{
    TRVXLAYER layer = (TRVXLAYER)TRVX_AllocMemory(ctx, sizeof(tagTRVXLAYER));
    if (!layer)
        return nullptr;
    copy_text(layer->name, ARRAYSIZE(layer->name), name ? name : L"NewLayer");
    layer->switchFlags = TRVX_SWITCH_ON;
    layer->moved = 1;
    TRVX_Set3D(&layer->scale, 1.0f, 1.0f, 1.0f, 0.0f);
    layer->transformOrder = 1;
    layer->rotationOrder = 1;
    layer->diffuse = 0xFFFFFF;
    layer->ambient = 0xFFFFFF;
    int transformSize = (int)driver_command(ctx, TRVXCMD_QUERY_SIZE, TRVX_QUERY_TRANSFORM_BLOCK);
    int materialSize = (int)driver_command(ctx, TRVXCMD_QUERY_SIZE, TRVX_QUERY_MATERIAL_BLOCK);
    if (transformSize > 0)
        layer->transformBlock = TRVX_AllocMemory(ctx, transformSize);
    if (materialSize > 0)
        layer->materialBlock = TRVX_AllocMemory(ctx, materialSize);
    driver_command(ctx, TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)layer, (DWORD_PTR)layer->materialBlock);
    if (parent)
        append_child(ctx, parent, layer);
    return layer;
}

// Returns 1. `whole` nonzero frees the subtree; 0 only removes its geometry.
int WINAPI TRVXL_DeleteLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int whole)
{
    if (whole)
        layer_unlink(ctx, layer);
    delete_subtree(ctx, layer, whole != 0);
    reset_frame_average(ctx);
    return 1;
}
