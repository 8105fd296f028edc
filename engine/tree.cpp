// Layer tree: layer records, their creation and deletion, the child arrays that hold the tree,
// moving and copying layers, search, names, switches, counts, walks and generic property access.
#include "layer_local.h"

#include <math.h>
#include <string.h>
#include <wchar.h>

namespace {

const int kNameChars = 32; // 31 characters and the terminator

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

void free_record(tagTRVX *ctx, TRVXLAYER layer)
{
    for (tagTRVXSTAGE &stage : layer->stages)
        if (stage.texture)
            TRVX_DeleteTexture(ctx, stage.texture);
    TRVX_FreeMemory(ctx, layer->transformBlock);
    TRVX_FreeMemory(ctx, layer->materialBlock);
    TRVX_FreeMemory(ctx, layer->children);
    layer_record_free(ctx, layer);
}

// Children before parents, so that nothing reaches a freed parent. The subtree is listed first
// (pre-order) and handled from the back, which puts every child before its parent.
void delete_subtree(tagTRVX *ctx, TRVXLAYER layer, bool whole)
{
    std::vector<TRVXLAYER> order;
    layer_collect(layer, order);
    for (size_t i = order.size(); i-- > 0;) {
        drop_geometry(ctx, order[i]);
        if (whole)
            free_record(ctx, order[i]);
    }
}

bool is_in_subtree(TRVXLAYER layer, TRVXLAYER top)
{
    for (; layer; layer = layer->parent)
        if (layer == top)
            return true;
    return false;
}

int child_index(TRVXLAYER layer)
{
    TRVXLAYER parent = layer->parent;
    for (int i = 0; i < parent->childCount; ++i)
        if (parent->children[i] == layer)
            return i;
    return -1;
}

void mark_subtree_moved(TRVXLAYER layer)
{
    layer_walk(layer, [](TRVXLAYER l) {
        l->moved = 1;
        return kWalkOn;
    });
}

// One layer of a deep copy: the record's own values, stages, geometry and mode; no children.
TRVXLAYER copy_one(tagTRVX *ctx, TRVXLAYER source, TRVXLAYER parent)
{
    TRVXLAYER copy = TRVXL_CreateLayer(ctx, parent, source->name);
    if (!copy)
        return nullptr;
    copy->switchFlags = source->switchFlags;
    copy->attributes = source->attributes;
    copy->renderClass = source->renderClass;
    copy->transparency = source->transparency;
    copy->nearLimit = source->nearLimit;
    copy->farLimit = source->farLimit;
    copy->pointSize = source->pointSize;
    copy->translate = source->translate;
    copy->rotate = source->rotate;
    copy->scale = source->scale;
    copy->diffuse = source->diffuse;
    copy->specular = source->specular;
    copy->dullness = source->dullness;
    copy->ambient = source->ambient;
    copy->emissive = source->emissive;
    driver_command(ctx, TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)copy, (DWORD_PTR)copy->materialBlock);
    for (int s = 0; s < 4; ++s) {
        if (!source->stages[s].blend)
            continue;
        // Owned by the copy, so that the mapping vectors come along with the slot.
        tagTRVXSTAGE record = source->stages[s];
        record.owner = copy;
        layer_assign_stage(ctx, copy, s, &record);
    }
    if (source->faceCount > 0)
        TRVXL_SetFace(ctx, copy, source->faceCount, source->faces);
    if (source->vertexCount > 0)
        TRVXL_SetVertex(ctx, copy, source->vertexCount, source->vertices);
    if (source->mode != TRVX_MODE_KEEP)
        copy->mode = source->mode;
    if (copy->mode & TRVX_MODE_BUFFERED)
        driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)copy);
    copy->moved = 1;
    return copy;
}

// The source subtree is listed before anything is created, so copying a layer under one of its
// own descendants copies the tree as it was and terminates.
TRVXLAYER deep_copy(tagTRVX *ctx, TRVXLAYER source, TRVXLAYER parent)
{
    std::vector<TRVXLAYER> order;
    layer_collect(source, order);
    std::vector<TRVXLAYER> copies(order.size(), nullptr);
    copies[0] = copy_one(ctx, source, parent);
    if (!copies[0])
        return nullptr;
    // In pre-order a parent's copy exists before its children are reached; find it by position.
    std::vector<size_t> stack(1, 0);
    for (size_t i = 1; i < order.size(); ++i) {
        while (order[stack.back()] != order[i]->parent)
            stack.pop_back();
        TRVXLAYER copiedParent = copies[stack.back()];
        copies[i] = copiedParent ? copy_one(ctx, order[i], copiedParent) : nullptr;
        stack.push_back(i);
    }
    return copies[0];
}

void set_attribute_bit(TRVXLAYER layer, uint16_t bit, DWORD_PTR on)
{
    if (on)
        layer->attributes |= bit;
    else
        layer->attributes &= (uint16_t)~bit;
}

DWORD_PTR attribute_bit(TRVXLAYER layer, int bit)
{
    return (layer->attributes >> bit) & 1u;
}

// EXT 101: turns the layer's faces inside out.
void reverse_faces(tagTRVX *ctx, TRVXLAYER layer)
{
    if (!(layer->switchFlags & TRVX_SWITCH_ON) || layer->faceCount <= 0 || layer->vertexCount <= 0)
        return;
    for (int i = 0; i < layer->faceCount; ++i) {
        uint16_t *index = layer->faces[i].index;
        uint16_t second = index[1];
        index[1] = index[2];
        index[2] = second;
    }
    for (int i = 0; i < layer->vertexCount; ++i) {
        TRVXVECTOR &n = layer->vertices[i].normal;
        n.x = -n.x;
        n.y = -n.y;
        n.z = -n.z;
    }
    layer_build_subtree(ctx, layer);
}

// One layer's part of EXT_RecallFunction; true for a name match (what 4).
bool recall_one(tagTRVX *ctx, TRVXLAYER layer, int what, DWORD_PTR value, DWORD_PTR value2)
{
    switch (what) {
    case 1:
        layer->diffuse = layer->ambient = (uint32_t)value;
        driver_command(ctx, TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)layer, (DWORD_PTR)layer->materialBlock);
        break;
    case 2:
        layer->moved = 1;
        break;
    case 4:
        return value && wcscmp(layer->name, (const wchar_t *)value) == 0;
    case 21: set_attribute_bit(layer, TRVX_ATTR_BOTH_SIDES, value); break;
    case 22: set_attribute_bit(layer, TRVX_ATTR_NO_FOG, value); break;
    case 24: set_attribute_bit(layer, TRVX_ATTR_NO_ZWRITE, value); break;
    case 25: set_attribute_bit(layer, TRVX_ATTR_WIREFRAME, value); break;
    case 26: set_attribute_bit(layer, TRVX_ATTR_OVERLAY, value); break;
    case 23:
        layer->transparency = (uint32_t)value;
        layer_update_render_class(ctx, layer);
        driver_command(ctx, TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)layer, (DWORD_PTR)layer->materialBlock);
        break;
    case 27:
        layer->userValue = (int32_t)value;
        break;
    case 41:
        if (!value)
            break;
        layer->pointSize = *(const float *)value;
        if (layer->vertexCount == 1) {
            float half = layer->pointSize / 2.0f;
            layer->localHalf[0] = layer->localHalf[1] = layer->localHalf[2] = half;
            layer->localRadius = layer->pointSize * sqrtf(3.0f);
        }
        layer->moved = 1;
        break;
    case 42:
        if (value)
            layer->nearLimit = *(const float *)value;
        if (value2)
            layer->farLimit = *(const float *)value2;
        break;
    case 43:
        if (!value)
            break;
        memcpy(&layer->diffuse, (const void *)value, 5 * sizeof(uint32_t));
        driver_command(ctx, TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)layer, (DWORD_PTR)layer->materialBlock);
        break;
    case 101:
        reverse_faces(ctx, layer);
        break;
    case 201:
        driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)layer);
        break;
    case 202:
        driver_command(ctx, TRVXCMD_LAYER_VERTICES_DROP, (DWORD_PTR)layer);
        driver_command(ctx, TRVXCMD_LAYER_FACES_DROP, (DWORD_PTR)layer);
        break;
    default:
        break;
    }
    return false;
}

} // namespace

void layer_collect(TRVXLAYER top, std::vector<TRVXLAYER> &out, bool onlySwitchedOn)
{
    layer_walk(top, [&](TRVXLAYER layer) {
        if (onlySwitchedOn && !(layer->switchFlags & TRVX_SWITCH_ON))
            return kWalkSkipChildren;
        out.push_back(layer);
        return kWalkOn;
    });
}

void layer_free_children(tagTRVX *ctx, TRVXLAYER layer)
{
    for (int i = 0; i < layer->childCount; ++i)
        delete_subtree(ctx, layer->children[i], true);
    TRVX_FreeMemory(ctx, layer->children);
    layer->children = nullptr;
    layer->childCount = 0;
    reset_frame_average(ctx);
}

void layer_build_subtree(tagTRVX *ctx, TRVXLAYER layer)
{
    layer_walk(layer, [&](TRVXLAYER l) {
        driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)l);
        return kWalkOn;
    });
}

void layer_update_render_class(tagTRVX *ctx, TRVXLAYER layer)
{
    uint16_t renderClass = 0;
    const tagTRVXSTAGE &stage = layer->stages[0];
    if (stage.blend & TRVX_STAGE_SORTED)
        renderClass |= TRVX_CLASS_STAGE_SORTED;
    if (stage.texture > 0 && stage.texture < ctx->textureCount && ctx->textures[stage.texture].hasAlpha)
        renderClass |= TRVX_CLASS_TEXTURE_ALPHA;
    if (layer->transparency)
        renderClass |= TRVX_CLASS_TRANSPARENT;
    layer->renderClass = renderClass;
}

void layer_unlink(tagTRVX *ctx, TRVXLAYER layer)
{
    TRVXLAYER parent = layer->parent;
    if (!parent)
        return;
    int count = parent->childCount, at = child_index(layer);
    if (at >= 0) {
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

// The new layer, appended as the last child of `parent` (a top layer when 0); null when out of memory.
TRVXLAYER WINAPI TRVXL_CreateLayer(TRVXCONTEXT ctx, TRVXLAYER parent, const wchar_t *name)
{
    TRVXLAYER layer = layer_record_new(ctx);
    if (!layer)
        return nullptr;
    copy_text(layer->name, kNameChars, name ? name : L"NewLayer");
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
    else
        top_layer_add(ctx, layer);
    return layer;
}

// Returns 1. `whole` nonzero frees the subtree; 0 only removes its geometry.
int WINAPI TRVXL_DeleteLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int whole)
{
    if (whole) {
        if (layer->parent)
            layer_unlink(ctx, layer);
        else
            top_layer_remove(ctx, layer);
    }
    delete_subtree(ctx, layer, whole != 0);
    // Without this the context would keep a freed root and free it again at the end.
    if (whole && layer == ctx->rootLayer)
        ctx->rootLayer = nullptr;
    reset_frame_average(ctx);
    return 1;
}

// Returns 1 after setting the mode of the subtree (0x80000000 keeps each mode) and rebuilding.
int WINAPI TRVXL_ModeLayer(TRVXCONTEXT ctx, TRVXLAYER layer, DWORD mode)
{
    layer_walk(layer, [&](TRVXLAYER l) {
        if (mode != TRVX_MODE_KEEP)
            l->mode = mode;
        if (mode & TRVX_MODE_BUFFERED)
            driver_command(ctx, TRVXCMD_LAYER_BUILD, (DWORD_PTR)l);
        return kWalkOn;
    });
    return 1;
}

// The copy for `how` 256, else 0 after moving `layer` within the tree.
TRVXLAYER WINAPI TRVXL_LinkLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXLAYER other, int how)
{
    reset_frame_average(ctx);
    if (how == 256)
        return deep_copy(ctx, layer, other);
    if (how == 16) {
        // Under itself or a descendant the layer would leave the tree as a loop: refused.
        if (is_in_subtree(other, layer))
            return nullptr;
        bool wasTop = !layer->parent;
        layer_unlink(ctx, layer);
        if (other)
            append_child(ctx, other, layer);
        if (wasTop && layer->parent)
            top_layer_remove(ctx, layer);
        else if (!wasTop && !layer->parent)
            top_layer_add(ctx, layer);
        mark_subtree_moved(layer);
        return nullptr;
    }
    TRVXLAYER parent = layer->parent;
    if (!parent)
        return nullptr;
    int at = child_index(layer), last = parent->childCount - 1;
    TRVXLAYER *children = parent->children;
    switch (how) {
    case 32:
        memmove(&children[1], &children[0], (size_t)at * sizeof(TRVXLAYER));
        children[0] = layer;
        break;
    case 33:
        if (at > 0) {
            children[at] = children[at - 1];
            children[at - 1] = layer;
        }
        break;
    case 48:
        memmove(&children[at], &children[at + 1], (size_t)(last - at) * sizeof(TRVXLAYER));
        children[last] = layer;
        break;
    case 49:
        if (at < last) {
            children[at] = children[at + 1];
            children[at + 1] = layer;
        }
        break;
    default:
        break;
    }
    return nullptr;
}

// With `layer` 0 the root; with `name` null the parent; else the first match in pre-order, or 0.
TRVXLAYER WINAPI TRVXL_SearchLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const wchar_t *name)
{
    if (!layer)
        return ctx->rootLayer;
    if (!name)
        return layer->parent;
    TRVXLAYER found = nullptr;
    layer_walk(layer, [&](TRVXLAYER l) {
        if (wcscmp(l->name, name) != 0)
            return kWalkOn;
        found = l;
        return kWalkStop;
    });
    return found;
}

// The layer's name, after replacing it when `name` is given (cut to 31 characters).
wchar_t *WINAPI TRVXL_RenameLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const wchar_t *name)
{
    (void)ctx;
    if (name)
        copy_text(layer->name, kNameChars, name);
    return layer->name;
}

// The layer's switchFlags in the low 16 bits; the upper bits tell whether the walk entered the
// children (0xEFFF) or not (0xBFFF).
DWORD WINAPI TRVXL_SwitchLayer(TRVXCONTEXT ctx, TRVXLAYER layer, DWORD value)
{
    (void)ctx;
    bool subtree = value >= 0x0FFF0000u && value <= 0x0FFFFFFFu;
    if (value == 1) {
        layer->switchFlags |= TRVX_SWITCH_ON;
    } else if (value == 0) {
        layer->switchFlags &= (uint16_t)~TRVX_SWITCH_ON;
    } else if (value != 0xFFFFFFFFu) {
        layer_walk(layer, [&](TRVXLAYER l) {
            if (value & 0x1000u)
                l->switchFlags = 1;
            else if (value & 0x2000u)
                l->switchFlags = 0;
            else
                l->switchFlags = (uint16_t)((l->switchFlags & (value >> 16)) | (value & 0xFFFFu));
            return subtree ? kWalkOn : kWalkSkipChildren;
        });
    }
    DWORD walk = subtree ? TRVX_WALK_CONTINUE : TRVX_WALK_SKIP_CHILDREN;
    return (walk & 0xFFFF0000u) | layer->switchFlags;
}

// The child at `index`, or 0 when there is none.
TRVXLAYER WINAPI TRVXL_GetChildLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int index)
{
    (void)ctx;
    if (index < 0 || index >= layer->childCount)
        return nullptr;
    return layer->children[index];
}

// Returns 1 after counting the subtree's layers, faces and vertices (`onlyOn` 2: switched-on only).
int WINAPI TRVXL_CountLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int *layers, int *faces, int *vertices, int onlyOn)
{
    (void)ctx;
    int layerSum = 0, faceSum = 0, vertexSum = 0;
    layer_walk(layer, [&](TRVXLAYER l) {
        if (onlyOn == 2 && !(l->switchFlags & TRVX_SWITCH_ON))
            return kWalkSkipChildren;
        ++layerSum;
        faceSum += l->faceCount;
        vertexSum += l->vertexCount;
        return kWalkOn;
    });
    if (layers)
        *layers = layerSum;
    if (faces)
        *faces = faceSum;
    if (vertices)
        *vertices = vertexSum;
    return 1;
}

// Fills `info` for the layer alone (`subtree` 0) or with the six totals of its subtree; no result.
// Exported under its decorated name only (see trvx.h).
extern "C" void WINAPI trvx_layer_information(DWORD_PTR context, DWORD_PTR handle, tagTRVXLLAYERINFO *info,
                                              int subtree)
{
    (void)context;
    TRVXLAYER layer = (TRVXLAYER)handle;
    memset(info, 0, sizeof *info);
    auto add = [&](TRVXLAYER l) {
        bool on = (l->switchFlags & TRVX_SWITCH_ON) != 0;
        info->children += l->childCount;
        info->faces += l->faceCount;
        info->vertices += l->vertexCount;
        if (on) {
            info->childrenOn += l->childCount;
            info->facesOn += l->faceCount;
            info->verticesOn += l->vertexCount;
        }
    };
    if (subtree) {
        layer_walk(layer, [&](TRVXLAYER l) {
            add(l);
            return kWalkOn;
        });
        return;
    }
    info->switchFlags = layer->switchFlags;
    memcpy(info->name, layer->name, sizeof info->name);
    info->parent = layer->parent;
    add(layer);
    memcpy(info->bounds, layer->localHalf, sizeof info->bounds);
    memcpy(info->stages, layer->stages, sizeof info->stages);
    info->diffuse = layer->diffuse;
    info->specular = layer->specular;
    info->dullness = layer->dullness;
    info->ambient = layer->ambient;
    info->emissive = layer->emissive;
    info->bothSides = layer->attributes & TRVX_ATTR_BOTH_SIDES;
}

// TRVX_WALK_STOP when a callback stopped the walk, TRVX_WALK_SKIP_CHILDREN when the callback for
// `layer` itself said so, else TRVX_WALK_CONTINUE.
DWORD WINAPI TRVX_CallBackLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXLAYERCALLBACK callback, void *data, DWORD flags)
{
    bool preorder = (flags & 2u) != 0, postorder = !preorder && (flags & 1u);
    if (!preorder && !postorder) {
        DWORD result = callback(ctx, layer, data);
        return result == TRVX_WALK_STOP || result == TRVX_WALK_SKIP_CHILDREN ? result : TRVX_WALK_CONTINUE;
    }
    if (preorder) {
        DWORD topResult = TRVX_WALK_CONTINUE;
        bool finished = layer_walk(layer, [&](TRVXLAYER l) {
            DWORD result = callback(ctx, l, data);
            if (result == TRVX_WALK_STOP)
                return kWalkStop;
            if (result != TRVX_WALK_SKIP_CHILDREN)
                return kWalkOn;
            if (l == layer)
                topResult = TRVX_WALK_SKIP_CHILDREN;
            return kWalkSkipChildren;
        });
        return finished ? topResult : TRVX_WALK_STOP;
    }
    // Post-order: a callback may free the layer it is given, which also takes it out of its
    // parent's child array; the next sibling then moves into its place.
    struct Frame {
        TRVXLAYER layer;
        int next; // child to visit next
    };
    std::vector<Frame> stack(1, Frame{layer, 0});
    for (;;) {
        Frame &top = stack.back();
        if (top.next < top.layer->childCount) {
            TRVXLAYER child = top.layer->children[top.next];
            stack.push_back(Frame{child, 0});
            continue;
        }
        TRVXLAYER done = top.layer;
        stack.pop_back();
        DWORD result = callback(ctx, done, data);
        if (result == TRVX_WALK_STOP)
            return TRVX_WALK_STOP;
        if (stack.empty())
            return result == TRVX_WALK_SKIP_CHILDREN ? result : TRVX_WALK_CONTINUE;
        Frame &parent = stack.back();
        if (parent.next < parent.layer->childCount && parent.layer->children[parent.next] == done)
            ++parent.next;
    }
}

// The property `what` of the layer (0 for an unknown `what`); some copy into `out`, `out2`.
DWORD_PTR WINAPI TRVXL_EXT_Function(TRVXCONTEXT ctx, TRVXLAYER layer, int what, DWORD_PTR out, DWORD_PTR out2)
{
    (void)ctx;
    switch (what) {
    case 1: return layer->diffuse;
    case 4: return layer->switchFlags;
    case 21: return attribute_bit(layer, 0);
    case 22: return attribute_bit(layer, 1);
    case 23: return layer->transparency;
    case 24: return attribute_bit(layer, 8);
    case 25: return attribute_bit(layer, 12);
    case 26: return attribute_bit(layer, 15);
    case 27: return (DWORD_PTR)(uint32_t)layer->userValue;
    case 28: return layer->mode;
    case 41: return (DWORD_PTR)&layer->pointSize;
    case 42:
        if (out)
            *(float *)out = layer->nearLimit;
        if (out2)
            *(float *)out2 = layer->farLimit;
        return 1;
    case 43:
        if (!out)
            return 0;
        memcpy((void *)out, &layer->diffuse, 5 * sizeof(uint32_t));
        return 1;
    case 101: return (DWORD_PTR)layer->faceCount;
    case 102: return (DWORD_PTR)layer->vertexCount;
    case 103: return (DWORD_PTR)layer->childCount;
    case 201:
        if (out >= 4 || !out2)
            return 0;
        memcpy((void *)out2, &layer->stages[out], sizeof(tagTRVXSTAGE));
        return 1;
    case 202:
        if (!out)
            return 0;
        memcpy((void *)out, layer->name, sizeof layer->name);
        return 1;
    case 203:
        if (!out)
            return 0;
        memcpy((void *)out, layer->localHalf, 72);
        return 1;
    case 205: return (DWORD_PTR)layer->faces;
    case 206: return (DWORD_PTR)layer->vertices;
    default: return 0;
    }
}

// 1 for a name match (what 4), else 0; `recursive` repeats the change over the subtree in pre-order.
DWORD WINAPI TRVXL_EXT_RecallFunction(TRVXCONTEXT ctx, TRVXLAYER layer, int what, DWORD_PTR value, DWORD_PTR value2,
                                      int recursive)
{
    bool matched = false;
    layer_walk(layer, [&](TRVXLAYER l) {
        if (recall_one(ctx, l, what, value, value2)) {
            matched = true;
            return kWalkStop;
        }
        return recursive ? kWalkOn : kWalkStop;
    });
    return matched ? 1 : 0;
}
