// Fuzzes the bitmap texture path: any bytes as a colour file and as its mask, through transparency
// and the DDS wrapper; and the same bytes as a texture cache file. Nothing may be read outside the file.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "d3d9_bitmap.h"
#include "d3d9_texture_cache.h"

// Reads every byte of every level a cache file says it holds, so that a level reaching past the
// file shows.
static void read_cache(const uint8_t *data, size_t size)
{
    // The key the file names itself, so that the fuzzer reaches past the key check.
    const size_t kVariantAt = 12, kSourceAt = 20;
    D3D9CACHEKEY key = {};
    key.sourceCount = 1;
    if (size >= kSourceAt + sizeof key.sources[0]) {
        memcpy(&key.variant, data + kVariantAt, sizeof key.variant);
        memcpy(&key.sources[0], data + kSourceAt, sizeof key.sources[0]);
    }
    D3D9CACHESLOT slot;
    D3D9CACHEIMAGE image;
    if (!d3d9_cache_parse(data, size, key, &slot, &image))
        return;
    volatile uint8_t sum = 0;
    for (uint32_t i = 0; i < image.levels; ++i)
        for (size_t b = 0; b < (size_t)image.level[i].rowBytes * image.level[i].rows; ++b)
            sum = sum + image.level[i].data[b];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    read_cache(data, size);
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
