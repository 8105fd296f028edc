// Texture table: numbered, reference-counted slots naming image files (or created surfaces) that
// the driver fills. Slot 0 is never handed out, so 0 can mean "no texture" everywhere.
#include "engine_local.h"
#include "trvx_profile_win32.h"

#include <string.h>
#include <wchar.h>

namespace {

const int kTableGrowth = 10;

bool valid_slot(const tagTRVX *ctx, int index)
{
    return index > 0 && index < ctx->textureCount;
}

// The first free slot from 1 on, growing the table when none is free; 0 when out of memory.
int take_free_slot(tagTRVX *ctx)
{
    for (int i = 1; i < ctx->textureCount; ++i)
        if (ctx->textures[i].useCount == 0)
            return i;
    int first = ctx->textureCount > 0 ? ctx->textureCount : 1;
    int count = first + kTableGrowth;
    tagTRVXTEXTURE *grown = (tagTRVXTEXTURE *)TRVX_ResizeMemory(ctx, ctx->textures, count * (int)sizeof(tagTRVXTEXTURE));
    if (!grown)
        return 0;
    ctx->textures = grown;
    ctx->textureCount = count;
    return first;
}

} // namespace

// The slot that holds the image, or 0 when it could not be loaded.
int WINAPI TRVX_ReadTexture(TRVXCONTEXT ctx, const wchar_t *fileName, int reload, int reserved, int options)
{
    tagTRVXTEXTURE wanted = {};
    if (!ctx || !TRVX_ChangePathName(ctx, fileName, wanted.folder, wanted.name, wanted.extension))
        return 0;
    for (int i = 1; i < ctx->textureCount; ++i) {
        tagTRVXTEXTURE &slot = ctx->textures[i];
        if (wcscmp(slot.folder, wanted.folder) || wcscmp(slot.name, wanted.name) || wcscmp(slot.extension, wanted.extension))
            continue;
        if (!reload)
            return i;
        driver_command(ctx, TRVXCMD_TEXTURE_RELEASE, i, 0);
        slot.options = options;
        // A failed reload keeps the slot's holders: layers still name it, so it must not be freed
        // for another image; they draw without one until a reload succeeds.
        if (!driver_command(ctx, TRVXCMD_TEXTURE_LOAD, i, 0))
            return 0;
        if (slot.useCount == 0)
            slot.useCount = 1;
        return i;
    }
    int index = take_free_slot(ctx);
    if (!index)
        return 0;
    tagTRVXTEXTURE &slot = ctx->textures[index];
    memset(&slot, 0, sizeof slot);
    wcscpy(slot.folder, wanted.folder);
    wcscpy(slot.name, wanted.name);
    wcscpy(slot.extension, wanted.extension);
    slot.options = options;
    bool loaded = driver_command(ctx, TRVXCMD_TEXTURE_LOAD, index, 0) != 0;
    trvx_profile_mark_file("texture", fileName);
    if (!loaded)
        return 0; // the names stay, so the same file is not tried again without a reload
    slot.useCount = 1;
    return index;
}

// The new slot of an empty texture, or 0 when the driver could not create it.
int WINAPI TRVX_CreateTexture(TRVXCONTEXT ctx, int width, int height, int options)
{
    int index = take_free_slot(ctx);
    if (!index)
        return 0;
    tagTRVXTEXTURE &slot = ctx->textures[index];
    memset(&slot, 0, sizeof slot);
    slot.width = width;
    slot.height = height;
    slot.options = options;
    if (!driver_command(ctx, TRVXCMD_TEXTURE_CREATE, index, 0)) {
        memset(&slot, 0, sizeof slot);
        return 0;
    }
    slot.useCount = 1;
    return index;
}

// 1; the slot is released when its last use goes (0 for a slot outside the table).
int WINAPI TRVX_DeleteTexture(TRVXCONTEXT ctx, int index)
{
    if (!valid_slot(ctx, index))
        return 0;
    tagTRVXTEXTURE &slot = ctx->textures[index];
    if (slot.useCount > 1) {
        --slot.useCount;
        return 1;
    }
    driver_command(ctx, TRVXCMD_TEXTURE_RELEASE, index, 0);
    memset(&slot, 0, sizeof slot);
    return 1;
}

// 1 after copying slot `from` over slot `to` (0 for a slot outside the table). The driver's object
// is not shared: two slots holding one object would release it twice. `to` gives its own image
// back and gets one of its own, loaded from the same file or created and filled from `from`; it
// keeps its holders, since the layers that name `to` still do.
int WINAPI TRVX_ExchangeTexture(TRVXCONTEXT ctx, int from, int to)
{
    if (!valid_slot(ctx, from) || !valid_slot(ctx, to))
        return 0;
    if (from == to)
        return 1;
    tagTRVXTEXTURE &target = ctx->textures[to];
    const tagTRVXTEXTURE &source = ctx->textures[from];
    int holders = target.useCount;
    if (holders > 0)
        driver_command(ctx, TRVXCMD_TEXTURE_RELEASE, to, 0);
    target = source;
    target.object = nullptr;
    target.useCount = holders > 0 ? holders : source.useCount > 0 ? 1 : 0;
    if (source.useCount > 0 && texture_reload(ctx, to, false) && !source.name[0])
        driver_command(ctx, TRVXCMD_TEXTURE_COPY, to, 0, from, 0);
    return 1;
}

bool texture_reload(tagTRVX *ctx, int index, bool afterReset)
{
    const tagTRVXTEXTURE &slot = ctx->textures[index];
    if (slot.name[0])
        return driver_command(ctx, TRVXCMD_TEXTURE_LOAD, index, afterReset) != 0;
    // A created texture has no file to load from: it is made again, empty.
    if (slot.width > 0 && slot.height > 0)
        return driver_command(ctx, TRVXCMD_TEXTURE_CREATE, index, 0) != 0;
    return false;
}

// 1; the driver copies `rect` of slot `from` (null: all of it) to (x, y) of slot `to`.
int WINAPI TRVX_CopyTexture(TRVXCONTEXT ctx, int to, int x, int y, int from, const RECT *rect)
{
    DWORD_PTR corner = ((DWORD_PTR)(uint16_t)y << 16) | (DWORD_PTR)(uint16_t)x;
    driver_command(ctx, TRVXCMD_TEXTURE_COPY, to, corner, from, (DWORD_PTR)rect);
    return 1;
}
