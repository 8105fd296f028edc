// The recording test driver: see recording_driver.h.
#include "recording_driver.h"
#include "plugin/trvx_transform.h"

#include <map>
#include <set>
#include <string.h>
#include <vector>

namespace {

std::vector<RecordedCommand> g_log;
DWORD_PTR g_answers[128];
bool g_overridden[128];
uint8_t g_keys[256], g_buttons[64];
int32_t g_axes[16];

const DWORD_PTR kMaterialBlockSize = 68;

// Device objects as a real driver holds them: an object per loaded or created texture slot, and a
// vertex and an index buffer per built layer. A release of an object that is not alive is what
// would crash a real driver; it is counted instead.
enum { kVertexBuffer = 1, kIndexBuffer = 2 };
std::set<void *> g_textures;
std::map<const tagTRVXLAYER *, int> g_buffers; // kVertexBuffer | kIndexBuffer
int g_badReleases;
uintptr_t g_lastObject = 0x10000;

void *new_texture()
{
    void *object = (void *)(g_lastObject += 16);
    g_textures.insert(object);
    return object;
}

void release_texture(tagTRVXTEXTURE &slot)
{
    if (!slot.object)
        return;
    if (!g_textures.erase(slot.object))
        ++g_badReleases;
    slot.object = nullptr;
}

tagTRVXTEXTURE *slot_of(tagTRVX *ctx, DWORD_PTR index)
{
    return index > 0 && index < (DWORD_PTR)ctx->textureCount ? &ctx->textures[index] : nullptr;
}

// Loads and creations replace the slot's old object, as a real driver's do. A slot without a file
// name has nothing to load.
DWORD_PTR texture_command(int command, tagTRVX *ctx, DWORD_PTR index, DWORD_PTR from)
{
    tagTRVXTEXTURE *slot = slot_of(ctx, index);
    if (!slot)
        return 0;
    switch (command) {
    case TRVXCMD_TEXTURE_LOAD:
        release_texture(*slot);
        if (!slot->name[0])
            return 0;
        slot->object = new_texture();
        return 1;
    case TRVXCMD_TEXTURE_CREATE:
        release_texture(*slot);
        slot->object = new_texture();
        return 1;
    case TRVXCMD_TEXTURE_RELEASE:
        release_texture(*slot);
        return 1;
    default: { // copy: both images must be alive
        tagTRVXTEXTURE *source = slot_of(ctx, from);
        return source && g_textures.count(slot->object) && g_textures.count(source->object);
    }
    }
}

void buffer_command(int command, const tagTRVXLAYER *layer)
{
    int &held = g_buffers[layer];
    if (command == TRVXCMD_LAYER_BUILD)
        held = (layer->vertexCount > 0 ? kVertexBuffer : 0) | (layer->faceCount > 0 ? kIndexBuffer : 0);
    else
        held &= command == TRVXCMD_LAYER_VERTICES_DROP ? ~kVertexBuffer : ~kIndexBuffer;
    if (!held)
        g_buffers.erase(layer);
}

DWORD_PTR normal_answer(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3)
{
    switch (command) {
    case TRVXCMD_QUERY_SIZE:
        return p1 == TRVX_QUERY_TRANSFORM_BLOCK ? sizeof(TRVXTRANSFORM) : kMaterialBlockSize;
    case TRVXCMD_VIEWPORT_OPEN: {
        tagTRVXVIEWPORT &port = ctx->viewPorts[p1];
        const RECT *rect = (const RECT *)p2;
        port.open = 1;
        if (rect) {
            port.x = rect->left;
            port.y = rect->top;
            port.width = rect->right - rect->left;
            port.height = rect->bottom - rect->top;
        }
        port.clipX = port.clipY = 0;
        port.clipWidth = port.width;
        port.clipHeight = port.height;
        if (p1 == 0)
            ctx->windowed = (uint32_t)p3;
        return 1;
    }
    case TRVXCMD_VIEWPORT_CLOSE:
        ctx->viewPorts[p1].open = 0;
        return 1;
    case TRVXCMD_LAYER_LOCAL:
        trvx_transform_local(ctx, (tagTRVXLAYER *)p1);
        return 1;
    case TRVXCMD_LAYER_WORLD:
        trvx_transform_world((tagTRVXLAYER *)p1, (const TRVXTRANSFORM *)p2);
        return 1;
    case TRVXCMD_LAYER_BAKE:
        trvx_transform_bake((tagTRVXLAYER *)p1);
        return 1;
    case TRVXCMD_INPUT_READ: {
        tagTRVXINPUT *input = (tagTRVXINPUT *)p2;
        if (p1 == 1)
            memcpy(input->keys, g_keys, sizeof g_keys);
        else {
            memcpy(input->buttons, g_buttons, sizeof g_buttons);
            memcpy(input->axes, g_axes, sizeof g_axes);
        }
        return 1;
    }
    case TRVXCMD_DRIVER_START:
        g_textures.clear();
        g_buffers.clear();
        g_badReleases = 0;
        return 1;
    case TRVXCMD_TEXTURE_LOAD:
    case TRVXCMD_TEXTURE_RELEASE:
    case TRVXCMD_TEXTURE_CREATE:
    case TRVXCMD_TEXTURE_COPY:
        return texture_command(command, ctx, p1, p3);
    case TRVXCMD_LAYER_BUILD:
    case TRVXCMD_LAYER_FACES_DROP:
    case TRVXCMD_LAYER_VERTICES_DROP:
        buffer_command(command, (const tagTRVXLAYER *)p1);
        return 1;
    case TRVXCMD_DRIVER_END:
    case TRVXCMD_VIEWPORT_CLEAR:
    case TRVXCMD_VIEWPORT_FLIP:
        return 1;
    default:
        return 1;
    }
}

} // namespace

extern "C" DWORD_PTR WINAPI RecordingInterface(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3,
                                               DWORD_PTR p4)
{
#ifndef RECORDING_DRIVER_KEEPS_NO_LOG
    g_log.push_back({command, p1, p2, p3, p4});
#endif
    if (command >= 0 && command < 128 && g_overridden[command])
        return g_answers[command];
    return normal_answer(command, ctx, p1, p2, p3);
}

extern "C" const RecordedCommand *RecordingLog(int *count)
{
    *count = (int)g_log.size();
    return g_log.data();
}

extern "C" void RecordingClear()
{
    g_log.clear();
}

extern "C" void RecordingAnswer(int command, DWORD_PTR result)
{
    if (command < 0 || command >= 128)
        return;
    g_overridden[command] = result != (DWORD_PTR)-1;
    g_answers[command] = result;
}

extern "C" void RecordingInput(const uint8_t keys[256], const uint8_t buttons[64], const int32_t axes[16])
{
    memcpy(g_keys, keys, sizeof g_keys);
    memcpy(g_buttons, buttons, sizeof g_buttons);
    memcpy(g_axes, axes, sizeof g_axes);
}

extern "C" void RecordingObjects(RecordedObjects *objects)
{
    objects->textures = (int)g_textures.size();
    objects->buffers = 0;
    for (const auto &layer : g_buffers)
        objects->buffers += (layer.second & kVertexBuffer ? 1 : 0) + (layer.second & kIndexBuffer ? 1 : 0);
    objects->badReleases = g_badReleases;
}
