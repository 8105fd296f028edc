// Bitmap reading, transparency and DDS wrapping of the driver's bitmap texture path.
#include "d3d9_bitmap.h"

#include <string.h>

static uint32_t read_u32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
static uint16_t read_u16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
static void put_u32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

int d3d9_parse_bitmap(const uint8_t *file, size_t size, D3D9BITMAP *out)
{
    // 14-byte file header, then at least the 40-byte information header.
    if (!file || size < 54 || file[0] != 'B' || file[1] != 'M')
        return 0;
    uint32_t pixelOffset = read_u32(file + 10);
    uint32_t infoSize = read_u32(file + 14);
    int32_t width = (int32_t)read_u32(file + 18);
    int32_t height = (int32_t)read_u32(file + 22);
    uint16_t bits = read_u16(file + 28);
    uint32_t compression = read_u32(file + 30);
    if (infoSize < 40 || bits != 24 || compression != 0)
        return 0;
    // Top-down bitmaps (negative height) and padded rows are left to the general image loader.
    if (width <= 0 || height <= 0 || width > 65536 || height > 65536 || (3 * width) % 4 != 0)
        return 0;
    uint64_t bytes = (uint64_t)width * (uint64_t)height * 3;
    if (pixelOffset < 54 || pixelOffset > size || bytes > size - pixelOffset)
        return 0;
    out->width = width;
    out->height = height;
    out->rows = file + pixelOffset;
    return 1;
}

// Source pixel of row `y` counted from the top.
static const uint8_t *pixel_at(const D3D9BITMAP &b, int x, int y)
{
    return b.rows + ((size_t)(b.height - 1 - y) * b.width + x) * 3;
}

std::vector<uint8_t> d3d9_colour_key_pixels(const D3D9BITMAP &colour)
{
    std::vector<uint8_t> out((size_t)colour.width * colour.height * 4);
    uint8_t *d = out.data();
    for (int y = 0; y < colour.height; ++y)
        for (int x = 0; x < colour.width; ++x, d += 4) {
            const uint8_t *s = pixel_at(colour, x, y);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = (s[0] | s[1] | s[2]) ? 255 : 0;
        }
    return out;
}

std::vector<uint8_t> d3d9_masked_pixels(const D3D9BITMAP &colour, const D3D9BITMAP &mask)
{
    std::vector<uint8_t> out((size_t)colour.width * colour.height * 4);
    uint8_t *d = out.data();
    for (int y = 0; y < colour.height; ++y)
        for (int x = 0; x < colour.width; ++x, d += 4) {
            const uint8_t *s = pixel_at(colour, x, y);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = pixel_at(mask, x, y)[2];
        }
    return out;
}

std::vector<uint8_t> d3d9_wrap_dds(int width, int height, const std::vector<uint8_t> &pixels)
{
    std::vector<uint8_t> dds(D3D9_DDS_HEADER_BYTES + pixels.size(), 0);
    uint8_t *h = dds.data();
    memcpy(h, "DDS ", 4);
    put_u32(h + 4, 124);        // header size
    put_u32(h + 8, 0x100F);     // caps, height, width, pitch, pixel format
    put_u32(h + 12, (uint32_t)height);
    put_u32(h + 16, (uint32_t)width);
    put_u32(h + 20, (uint32_t)width * 4);
    put_u32(h + 76, 32);        // pixel format size
    put_u32(h + 80, 0x41);      // RGB with alpha
    put_u32(h + 88, 32);        // bits a pixel
    put_u32(h + 92, 0x00FF0000);
    put_u32(h + 96, 0x0000FF00);
    put_u32(h + 100, 0x000000FF);
    put_u32(h + 104, 0xFF000000);
    if (!pixels.empty())
        memcpy(h + D3D9_DDS_HEADER_BYTES, pixels.data(), pixels.size());
    return dds;
}

uint32_t d3d9_format_code(uint32_t d3dFormat)
{
    switch (d3dFormat) {
    case 20: return 0x00202122; // R8G8B8
    case 21: return 0x23202122; // A8R8G8B8
    case 22: return 0x13202122; // X8R8G8B8
    case 28: return 0x20000000; // A8
    case 32: return 0x23222120; // A8B8G8R8
    case 33: return 0x12222120; // X8B8G8R8
    default: return 0;
    }
}

int d3d9_format_code_has_alpha(uint32_t code)
{
    if (code == 0x20000000) // A8: the one code whose alpha byte is written without its channel number
        return 1;
    for (int i = 0; i < 4; ++i)
        if (((code >> (8 * i)) & 0xFF) == 0x23)
            return 1;
    return 0;
}
