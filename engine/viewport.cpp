// View ports: rectangles of the window that the engine renders into. View port 0 is the device's
// own surface; reopening it resets the device, so every texture and layer buffer is rebuilt.
#include "layer_local.h"
#include "render_local.h"

#include <limits.h>
#include <string.h>

namespace {

bool is_open(const tagTRVX *ctx, int index)
{
    return ctx && index >= 0 && index < ctx->viewPortCount && ctx->viewPorts[index].open;
}

bool same_place(const tagTRVXVIEWPORT &port, const RECT &rect)
{
    return port.x == rect.left && port.y == rect.top && port.width == rect.right - rect.left &&
           port.height == rect.bottom - rect.top;
}

void drop_buffers(tagTRVX *ctx, TRVXLAYER top)
{
    std::vector<TRVXLAYER> layers;
    layer_collect(top, layers);
    for (TRVXLAYER layer : layers) {
        driver_command(ctx, TRVXCMD_LAYER_VERTICES_DROP, (DWORD_PTR)layer);
        driver_command(ctx, TRVXCMD_LAYER_FACES_DROP, (DWORD_PTR)layer);
    }
}

// Before the device goes away: textures released (their slots stay in use), buffers dropped, those
// of layers outside the root's tree included.
void release_device_objects(tagTRVX *ctx)
{
    for (int i = 0; i < ctx->textureCount; ++i)
        if (ctx->textures[i].useCount > 0)
            driver_command(ctx, TRVXCMD_TEXTURE_RELEASE, i, 1);
    for (TRVXLAYER top : top_layers(ctx))
        drop_buffers(ctx, top);
}

// An image that does not come back leaves its slot with its holders and without an image: the
// layers draw without it, and the slot cannot be handed to another image while they name it.
void restore_device_objects(tagTRVX *ctx)
{
    for (int i = 0; i < ctx->textureCount; ++i)
        if (ctx->textures[i].useCount > 0)
            texture_reload(ctx, i, true);
    for (TRVXLAYER top : top_layers(ctx))
        layer_build_subtree(ctx, top);
}

void update_screen_clip(tagTRVX *ctx)
{
    const tagTRVXVIEWPORT &port = ctx->viewPorts[0];
    if (ctx->windowed)
        SetRectEmpty(&ctx->screenClip);
    else
        SetRect(&ctx->screenClip, -port.width / 2, port.height / 2, port.width / 2, -port.height / 2);
}

int64_t open_port_zero(tagTRVX *ctx, const RECT *rect)
{
    if (ctx->viewPorts[0].open) {
        release_device_objects(ctx);
        driver_command(ctx, TRVXCMD_VIEWPORT_CLOSE, 0);
    }
    if (!rect)
        return 1;
    if (!driver_command(ctx, TRVXCMD_VIEWPORT_OPEN, 0, (DWORD_PTR)rect, ctx->windowed))
        return 0;
    // TRVX_Start opens view port 0 itself, so a closed one here had its device objects released
    // when it closed (in this call, an earlier close, or a reopening that failed): bring them back.
    restore_device_objects(ctx);
    update_screen_clip(ctx);
    return 1;
}

} // namespace

// Low 32 bits nonzero when the view port was opened, moved or closed as asked.
int64_t WINAPI TRVX_ViewPort(TRVXCONTEXT ctx, int index, const RECT *rect)
{
    if (!ctx || index < 0)
        return 0;
    if (is_open(ctx, index) && rect && same_place(ctx->viewPorts[index], *rect))
        return 1;
    if (index >= ctx->viewPortCount) {
        if (!rect)
            return 1;
        // The array's byte size must fit the memory block's int, or it would wrap and shrink.
        if (index >= INT_MAX / (int)sizeof(tagTRVXVIEWPORT))
            return 0;
        tagTRVXVIEWPORT *grown = (tagTRVXVIEWPORT *)TRVX_ResizeMemory(ctx, ctx->viewPorts,
                                                                      (index + 1) * (int)sizeof(tagTRVXVIEWPORT));
        if (!grown)
            return 0;
        ctx->viewPorts = grown;
        ctx->viewPortCount = index + 1;
        return (int64_t)driver_command(ctx, TRVXCMD_VIEWPORT_OPEN, index, (DWORD_PTR)rect, 0);
    }
    if (index == 0)
        return open_port_zero(ctx, rect);
    if (ctx->viewPorts[index].open)
        driver_command(ctx, TRVXCMD_VIEWPORT_CLOSE, index);
    if (!rect)
        return 1;
    return (int64_t)driver_command(ctx, TRVXCMD_VIEWPORT_OPEN, index, (DWORD_PTR)rect, 0);
}

// Nonzero once the clip rectangle is set (null: the whole view port); 0 for a bad index.
int WINAPI TRVX_ClipViewPort(TRVXCONTEXT ctx, int index, const RECT *rect)
{
    if (!ctx || index < 0 || index >= ctx->viewPortCount)
        return 0;
    tagTRVXVIEWPORT &port = ctx->viewPorts[index];
    if (rect) {
        port.clipX = rect->left;
        port.clipY = rect->top;
        port.clipWidth = rect->right - rect->left;
        port.clipHeight = rect->bottom - rect->top;
    } else {
        port.clipX = port.clipY = 0;
        port.clipWidth = port.width;
        port.clipHeight = port.height;
    }
    if (index == 0 && !ctx->windowed) {
        int halfWidth = port.width / 2, halfHeight = port.height / 2;
        SetRect(&ctx->screenClip, port.clipX - halfWidth, halfHeight - port.clipY,
                port.clipX + port.clipWidth - halfWidth, halfHeight - (port.clipY + port.clipHeight));
    }
    return 1;
}

// 1 after clearing the open view port to `colour`; 0 for a bad or closed one.
int WINAPI TRVX_ClearViewPort(TRVXCONTEXT ctx, int index, DWORD colour)
{
    if (!is_open(ctx, index))
        return 0;
    driver_command(ctx, TRVXCMD_VIEWPORT_CLEAR, index, colour);
    return 1;
}

// 1 after clearing the view port's depth buffer; 0 for a bad or closed one.
int WINAPI TRVX_ClearZbuffer(TRVXCONTEXT ctx, int index)
{
    if (!is_open(ctx, index))
        return 0;
    driver_command(ctx, TRVXCMD_ZBUFFER_CLEAR, index);
    return 1;
}

// 1 after presenting the view port with the driver's extra values; 0 for a bad or closed one, and
// for a frame the driver could not present (a full-screen device lost while its window is away):
// such a frame showed nothing, so callers leave it out of what they time and record.
int WINAPI TRVX_EXT_FlipViewPort(TRVXCONTEXT ctx, int index, DWORD value1, DWORD value2)
{
    if (!is_open(ctx, index))
        return 0;
    if (!driver_command(ctx, TRVXCMD_VIEWPORT_FLIP, index, value1, value2))
        return 0;
    avi_after_flip(ctx, index);
    return 1;
}

// 1 after presenting the view port; 0 for a bad or closed one or a frame that was not presented.
int WINAPI TRVX_FlipViewPort(TRVXCONTEXT ctx, int index)
{
    return TRVX_EXT_FlipViewPort(ctx, index, 0, 0);
}
