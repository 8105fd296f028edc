// Direct3D 9 driver: texture slots. Images load through D3DX; bitmap files get their own path that
// turns black into transparency (colour key) or takes transparency from a "_alpha" mask file.
#include "vdr_d3d9.h"
#include "d3d9_bitmap.h"

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
    HRESULT hr = D3DXCreateTextureFromFileW(g_d3d9.device, path, &texture);
    if (FAILED(hr)) {
        wchar_t text[MAX_PATH + 64];
        _snwprintf(text, MAX_PATH + 64, L"%ls\n%ls", texture_error_text(hr), path);
        text[MAX_PATH + 63] = 0;
        MessageBoxW(ctx->window, text, kTextureTexts[0], MB_OK | MB_ICONWARNING);
        return 0;
    }
    slot->object = texture;
    D3DXIMAGE_INFO info;
    if (SUCCEEDED(D3DXGetImageInfoFromFileW(path, &info))) {
        slot->width = (int32_t)info.Width;
        slot->height = (int32_t)info.Height;
        slot_mip_levels(slot) = (int32_t)info.MipLevels;
        slot->driverFormat = d3d9_format_code(info.Format);
        slot->hasAlpha = d3d9_format_code_has_alpha(slot->driverFormat);
    }
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
    if (lstrcmpiW(slot->extension, L".bmp") == 0 && load_bitmap_path(slot))
        return 1;
    return load_library_path(ctx, slot);
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
