// Fuzzes the bitmap texture path: any bytes as a colour file and as its mask, through transparency
// and the DDS wrapper. Nothing may be read outside the file.
#include <stddef.h>
#include <stdint.h>

#include "d3d9_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    D3D9BITMAP colour;
    if (!d3d9_parse_bitmap(data, size, &colour))
        return 0;
    std::vector<uint8_t> keyed = d3d9_colour_key_pixels(colour);
    d3d9_wrap_dds(colour.width, colour.height, keyed);
    // The same file as its own mask, and its tail as a second file.
    d3d9_masked_pixels(colour, colour);
    D3D9BITMAP mask;
    size_t half = size / 2;
    if (d3d9_parse_bitmap(data + half, size - half, &mask) && mask.width == colour.width && mask.height == colour.height)
        d3d9_masked_pixels(colour, mask);
    return 0;
}
