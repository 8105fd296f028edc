// The recording test driver: see recording_driver.h.
#include "recording_driver.h"
#include "plugin/trvx_transform.h"

#include <string.h>
#include <vector>

namespace {

std::vector<RecordedCommand> g_log;
DWORD_PTR g_answers[128];
bool g_overridden[128];
uint8_t g_keys[256], g_buttons[64];
int32_t g_axes[16];

const DWORD_PTR kMaterialBlockSize = 68;

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
    g_log.push_back({command, p1, p2, p3, p4});
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
