// Direct3D 9 driver: texture slots. Images load through D3DX; bitmap files get their own path that
// turns black into transparency (colour key) or takes transparency from a "_alpha" mask file. What
// either path made is kept in a cache file beside the image and read from there at later starts.
#include "vdr_d3d9.h"
#include "d3d9_bitmap.h"
#include "d3d9_texture_cache.h"

#include <stdio.h>
#include <vector>

// Caption first, then the error texts that texture_error_text picks from.
static const wchar_t *const kTextureTexts[] = {
    L"D3D9X Texture", L"Unknown Error.", L"Not Available.", L"Out of VideoMemory.", L"Invalid Call.",
    L"Invalid or Not Found Data.", L"Out of Memory."};

static const wchar_t *texture_error_text(HRESULT hr)
{
    switch (hr) {
    case D3DERR_NOTAVAILABLE: return kTextureTexts[2];
    case D3DERR_OUTOFVIDEOMEMORY: return kTextureTexts[3];
    case D3DERR_INVALIDCALL: return kTextureTexts[4];
    case D3DXERR_INVALIDDATA: return kTextureTexts[5];
    case E_OUTOFMEMORY: return kTextureTexts[6];
    default: return kTextureTexts[1];
    }
}

static tagTRVXTEXTURE *slot_of(tagTRVX *ctx, DWORD_PTR index)
{
    if (!ctx->textures || index == 0 || index >= (DWORD_PTR)(ctx->textureCount > 0 ? ctx->textureCount : 0))
        return 0;
    return &ctx->textures[index];
}

// folder + name + suffix + extension, cut to MAX_PATH.
static void slot_path(const tagTRVXTEXTURE *slot, const wchar_t *suffix, wchar_t *out)
{
    _snwprintf(out, MAX_PATH, L"%.128ls%.64ls%ls%.8ls", slot->folder, slot->name, suffix, slot->extension);
    out[MAX_PATH - 1] = 0;
}

// The whole file, or an empty vector when it cannot be read.
static std::vector<uint8_t> read_whole_file(const wchar_t *path)
{
    std::vector<uint8_t> data;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return data;
    LARGE_INTEGER size;
    if (GetFileSizeEx(f, &size) && size.QuadPart > 0 && size.QuadPart < (1 << 28)) {
        data.resize((size_t)size.QuadPart);
        DWORD got = 0;
        if (!ReadFile(f, data.data(), (DWORD)data.size(), &got, NULL) || got != data.size())
            data.clear();
    }
    CloseHandle(f);
    return data;
}

static void release_slot_texture(tagTRVXTEXTURE *slot)
{
    IDirect3DBaseTexture9 *t = (IDirect3DBaseTexture9 *)slot->object;
    if (t) {
        d3d9_forget_texture(t);
        t->Release();
        slot->object = 0;
    }
}

// --- Texture cache -----------------------------------------------------------------------------

// How a cache's sources were combined; part of the cache's key.
enum CacheVariant { kCacheImage = 1, kCacheColourKey = 2, kCacheMasked = 3 };

// Adds a source file's size and time to the key; false when the file is not there.
static bool add_cache_source(D3D9CACHEKEY *key, const wchar_t *path)
{
    WIN32_FILE_ATTRIBUTE_DATA facts;
    if (key->sourceCount >= D3D9_CACHE_MAX_SOURCES || !GetFileAttributesExW(path, GetFileExInfoStandard, &facts))
        return false;
    D3D9CACHESOURCE &s = key->sources[key->sourceCount++];
    s.size = (uint64_t)facts.nFileSizeHigh << 32 | facts.nFileSizeLow;
    s.time = (uint64_t)facts.ftLastWriteTime.dwHighDateTime << 32 | facts.ftLastWriteTime.dwLowDateTime;
    return true;
}

// The key of the slot's image as `variant` reads it; false when a source is missing.
static bool cache_key(const tagTRVXTEXTURE *slot, CacheVariant variant, D3D9CACHEKEY *key)
{
    wchar_t path[MAX_PATH];
    *key = D3D9CACHEKEY{};
    key->variant = variant;
    slot_path(slot, L"", path);
    if (!add_cache_source(key, path))
        return false;
    if (variant != kCacheMasked)
        return true;
    slot_path(slot, L"_alpha", path);
    return add_cache_source(key, path);
}

// "<image>.d3d9cache"; false when the name would not fit.
static bool cache_path(const tagTRVXTEXTURE *slot, wchar_t *out)
{
    wchar_t image[MAX_PATH];
    slot_path(slot, L"", image);
    return _snwprintf(out, MAX_PATH, L"%ls%ls", image, D3D9_CACHE_SUFFIX) > 0 && wcslen(out) < MAX_PATH - 1;
}

// Makes the slot's texture from its cache; false when there is no cache valid for `key` (or the
// device will not take it), and the slot is then as it was.
static bool load_cached(tagTRVXTEXTURE *slot, const D3D9CACHEKEY &key)
{
    wchar_t path[MAX_PATH];
    if (!cache_path(slot, path))
        return false;
    std::vector<uint8_t> file = read_whole_file(path);
    D3D9CACHESLOT facts;
    D3D9CACHEIMAGE image;
    if (!d3d9_cache_parse(file.data(), file.size(), key, &facts, &image))
        return false;
    IDirect3DTexture9 *texture = 0;
    if (FAILED(g_d3d9.device->CreateTexture(image.width, image.height, image.levels, 0, (D3DFORMAT)image.format,
                                            D3DPOOL_MANAGED, &texture, NULL)))
        return false;
    bool filled = texture->GetLevelCount() == image.levels;
    for (UINT i = 0; filled && i < image.levels; ++i) {
        const D3D9CACHELEVEL &level = image.level[i];
        D3DLOCKED_RECT locked;
        if (FAILED(texture->LockRect(i, &locked, NULL, 0))) {
            filled = false;
            break;
        }
        if ((UINT)locked.Pitch >= level.rowBytes) {
            for (UINT row = 0; row < level.rows; ++row)
                memcpy((uint8_t *)locked.pBits + (size_t)row * locked.Pitch, level.data + (size_t)row * level.rowBytes,
                       level.rowBytes);
        } else {
            filled = false;
        }
        texture->UnlockRect(i);
    }
    if (!filled) {
        texture->Release();
        return false;
    }
    slot->object = texture;
    slot->width = facts.width;
    slot->height = facts.height;
    slot_mip_levels(slot) = facts.mipLevels;
    slot->driverFormat = facts.driverFormat;
    slot->hasAlpha = facts.hasAlpha;
    return true;
}

// Keeps the slot's freshly loaded texture in its cache file, written aside and then moved into
// place, so that a reader never meets half a file. A folder that cannot be written keeps no cache.
static void store_cache(const tagTRVXTEXTURE *slot, const D3D9CACHEKEY &key)
{
    IDirect3DTexture9 *texture = (IDirect3DTexture9 *)slot->object;
    wchar_t path[MAX_PATH], partial[MAX_PATH];
    if (!texture || !cache_path(slot, path) ||
        _snwprintf(partial, MAX_PATH, L"%ls.%lu", path, GetCurrentProcessId()) <= 0 || wcslen(partial) >= MAX_PATH - 1)
        return;
    D3D9CACHEIMAGE image = {};
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc)))
        return;
    image.format = (uint32_t)desc.Format;
    image.width = desc.Width;
    image.height = desc.Height;
    image.levels = texture->GetLevelCount();
    if (image.levels < 1 || image.levels > D3D9_CACHE_MAX_LEVELS)
        return;
    std::vector<std::vector<uint8_t>> levels(image.levels);
    for (UINT i = 0; i < image.levels; ++i) {
        D3DLOCKED_RECT locked;
        if (FAILED(texture->GetLevelDesc(i, &desc)))
            return;
        uint32_t rowBytes = d3d9_cache_row_bytes(image.format, desc.Width), rows = d3d9_cache_rows(image.format, desc.Height);
        if (rowBytes == 0 || rows == 0 || FAILED(texture->LockRect(i, &locked, NULL, D3DLOCK_READONLY)))
            return;
        bool fits = (UINT)locked.Pitch >= rowBytes;
        if (fits) {
            levels[i].resize((size_t)rowBytes * rows);
            for (UINT row = 0; row < rows; ++row)
                memcpy(&levels[i][(size_t)row * rowBytes], (const uint8_t *)locked.pBits + (size_t)row * locked.Pitch,
                       rowBytes);
        }
        texture->UnlockRect(i);
        if (!fits)
            return;
        image.level[i] = {rowBytes, rows, levels[i].data()};
    }
    D3D9CACHESLOT facts = {slot->width, slot->height, slot->driverState, slot->driverFormat, slot->hasAlpha};
    std::vector<uint8_t> bytes = d3d9_cache_bytes(key, facts, image);
    if (bytes.empty())
        return;
    HANDLE f = CreateFileW(partial, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    bool whole = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, NULL) && written == bytes.size();
    CloseHandle(f);
    if (!whole || !MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING))
        DeleteFileW(partial);
}

// --- Loading ---------------------------------------------------------------------------------------

static int load_bitmap_path(tagTRVXTEXTURE *slot)
{
    wchar_t path[MAX_PATH];
    slot_path(slot, L"", path);
    std::vector<uint8_t> colourFile = read_whole_file(path);
    D3D9BITMAP colour;
    if (!d3d9_parse_bitmap(colourFile.data(), colourFile.size(), &colour))
        return 0;
    std::vector<uint8_t> pixels;
    if (slot->options)
        pixels = d3d9_colour_key_pixels(colour);
    else {
        slot_path(slot, L"_alpha", path);
        std::vector<uint8_t> maskFile = read_whole_file(path);
        D3D9BITMAP mask;
        if (!d3d9_parse_bitmap(maskFile.data(), maskFile.size(), &mask) || mask.width != colour.width ||
            mask.height != colour.height)
            return 0;
        pixels = d3d9_masked_pixels(colour, mask);
    }
    std::vector<uint8_t> dds = d3d9_wrap_dds(colour.width, colour.height, pixels);
    IDirect3DTexture9 *texture = 0;
    if (FAILED(D3DXCreateTextureFromFileInMemory(g_d3d9.device, dds.data(), (UINT)dds.size(), &texture)))
        return 0;
    slot->object = texture;
    slot->width = colour.width;
    slot->height = colour.height;
    slot_mip_levels(slot) = 1;
    slot->driverFormat = 0x23202122;
    slot->hasAlpha = 1;
    return 1;
}

static int load_library_path(tagTRVX *ctx, tagTRVXTEXTURE *slot)
{
    wchar_t path[MAX_PATH];
    slot_path(slot, L"", path);
    IDirect3DTexture9 *texture = 0;
    // The file's facts come with the texture: the file is read once.
    D3DXIMAGE_INFO info;
    HRESULT hr = D3DXCreateTextureFromFileExW(g_d3d9.device, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                              D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info,
                                              NULL, &texture);
    if (FAILED(hr)) {
        wchar_t text[MAX_PATH + 64];
        _snwprintf(text, MAX_PATH + 64, L"%ls\n%ls", texture_error_text(hr), path);
        text[MAX_PATH + 63] = 0;
        MessageBoxW(ctx->window, text, kTextureTexts[0], MB_OK | MB_ICONWARNING);
        return 0;
    }
    slot->object = texture;
    slot->width = (int32_t)info.Width;
    slot->height = (int32_t)info.Height;
    slot_mip_levels(slot) = (int32_t)info.MipLevels;
    slot->driverFormat = d3d9_format_code(info.Format);
    slot->hasAlpha = d3d9_format_code_has_alpha(slot->driverFormat);
    return 1;
}

static DWORD_PTR texture_load(tagTRVX *ctx, DWORD_PTR index)
{
    tagTRVXTEXTURE *slot = slot_of(ctx, index);
    if (!slot || !g_d3d9.device)
        return 0;
    release_slot_texture(slot);
    // A slot without a file (a created texture) has nothing to load, and no file to name in a box.
    if (!slot->name[0])
        return 0;
    D3D9CACHEKEY key;
    if (lstrcmpiW(slot->extension, L".bmp") == 0) {
        bool haveKey = cache_key(slot, slot->options ? kCacheColourKey : kCacheMasked, &key);
        if (haveKey && load_cached(slot, key))
            return 1;
        if (load_bitmap_path(slot)) {
            if (haveKey)
                store_cache(slot, key);
            return 1;
        }
    }
    bool haveKey = cache_key(slot, kCacheImage, &key);
    if (haveKey && load_cached(slot, key))
        return 1;
    if (!load_library_path(ctx, slot))
        return 0;
    if (haveKey)
        store_cache(slot, key);
    return 1;
}

static DWORD_PTR texture_create(tagTRVX *ctx, DWORD_PTR index)
{
    tagTRVXTEXTURE *slot = slot_of(ctx, index);
    if (!slot || !g_d3d9.device || slot->width <= 0 || slot->height <= 0)
        return 0;
    release_slot_texture(slot);
    D3DFORMAT format = slot->options ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    IDirect3DTexture9 *texture = 0;
    // Managed textures cannot be dynamic; managed is what lets them outlive a device reset.
    if (FAILED(D3DXCreateTexture(g_d3d9.device, (UINT)slot->width, (UINT)slot->height, 1, 0, format, D3DPOOL_MANAGED,
                                 &texture)))
        return 0;
    slot->object = texture;
    slot_mip_levels(slot) = 1;
    slot->driverFormat = slot->options ? 0x23202122 : 0x13202122;
    slot->hasAlpha = slot->options ? 1 : 0; // an X8R8G8B8 texture has no alpha to sort by
    return 1;
}

static DWORD_PTR texture_copy(tagTRVX *ctx, DWORD_PTR to, DWORD_PTR at, DWORD_PTR from, const RECT *rect)
{
    tagTRVXTEXTURE *dst = slot_of(ctx, to), *src = slot_of(ctx, from);
    if (!dst || !src || !dst->object || !src->object)
        return 0;
    IDirect3DSurface9 *d = 0, *s = 0;
    DWORD_PTR result = 0;
    if (SUCCEEDED(((IDirect3DTexture9 *)dst->object)->GetSurfaceLevel(0, &d)) &&
        SUCCEEDED(((IDirect3DTexture9 *)src->object)->GetSurfaceLevel(0, &s))) {
        D3DSURFACE_DESC sd;
        s->GetDesc(&sd);
        RECT source = rect ? *rect : RECT{0, 0, (LONG)sd.Width, (LONG)sd.Height};
        int x = (int16_t)(at & 0xFFFF), y = (int16_t)((at >> 16) & 0xFFFF);
        RECT dest = {x, y, x + (source.right - source.left), y + (source.bottom - source.top)};
        result = SUCCEEDED(D3DXLoadSurfaceFromSurface(d, NULL, &dest, s, NULL, &source, D3DX_FILTER_POINT, 0));
    }
    if (d)
        d->Release();
    if (s)
        s->Release();
    return result;
}

DWORD_PTR d3d9_texture_command(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4)
{
    switch (command) {
    case TRVXCMD_TEXTURE_LOAD:
        return texture_load(ctx, p1);
    case TRVXCMD_TEXTURE_RELEASE: {
        tagTRVXTEXTURE *slot = slot_of(ctx, p1);
        if (!slot)
            return 0;
        release_slot_texture(slot);
        return 1;
    }
    case TRVXCMD_TEXTURE_CREATE:
        return texture_create(ctx, p1);
    case TRVXCMD_TEXTURE_COPY:
        return texture_copy(ctx, p1, p2, p3, (const RECT *)p4);
    default:
        return 0;
    }
}
