// Portable half of the driver's texture cache: an image's pixels as the device holds them (its
// format, every mip level) in a file beside the image, "<image>.d3d9cache", so that an image is
// decoded and converted once rather than at every start. A cache stands for the exact source files
// it was made from (their sizes and modification times) and the way they were combined; anything
// else in it, or a file cut short or padded, makes it unusable and it is made again. No Direct3D
// here: the reader of files that anyone may have damaged is tested and fuzzed natively.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <vector>

#define D3D9_CACHE_SUFFIX L".d3d9cache"

enum {
    D3D9_CACHE_MAX_SOURCES = 2,     // the image and its transparency mask
    D3D9_CACHE_MAX_LEVELS = 16,     // a 32768-pixel side has 16 levels
    D3D9_CACHE_MAX_SIDE = 16384,    // pixels
};

// A source file as the cache saw it.
struct D3D9CACHESOURCE {
    uint64_t size;  // bytes
    uint64_t time;  // last write, 100 ns ticks
};

// What the driver reports of a loaded texture in its slot.
struct D3D9CACHESLOT {
    int32_t width;         // pixels
    int32_t height;
    int32_t mipLevels;     // as the loading path reports it (the file's own count for images)
    uint32_t driverFormat; // the driver's format code
    int32_t hasAlpha;
};

struct D3D9CACHELEVEL {
    uint32_t rowBytes;     // one row of pixels, or of 4x4 blocks in a compressed format
    uint32_t rows;
    const uint8_t *data;   // rowBytes * rows bytes
};

// The device texture: format, size of level 0 and every level's rows.
struct D3D9CACHEIMAGE {
    uint32_t format;       // Direct3D format number
    uint32_t width;        // pixels of level 0
    uint32_t height;
    uint32_t levels;
    D3D9CACHELEVEL level[D3D9_CACHE_MAX_LEVELS];
};

// The key a cache is valid for: its sources and how they were combined (a bitmap keyed on black
// and the same bitmap with a mask give different pixels).
struct D3D9CACHEKEY {
    uint32_t variant;
    int sourceCount;       // 1 to D3D9_CACHE_MAX_SOURCES
    D3D9CACHESOURCE sources[D3D9_CACHE_MAX_SOURCES];
};

// Bytes of one row of a level `width` pixels wide in Direct3D format `format` (a row of 4x4 blocks
// for the compressed formats), and the rows of a level `height` pixels high; 0 for a format the
// cache does not keep.
uint32_t d3d9_cache_row_bytes(uint32_t format, uint32_t width);
uint32_t d3d9_cache_rows(uint32_t format, uint32_t height);

// The bytes of a cache file; empty when the image cannot be described (no levels, a level whose
// size is out of range).
std::vector<uint8_t> d3d9_cache_bytes(const D3D9CACHEKEY &key, const D3D9CACHESLOT &slot, const D3D9CACHEIMAGE &image);

// 1 when `file` (size bytes) is a whole, well-formed cache made for exactly `key`; the slot facts
// and the image are filled then, the levels pointing into `file`. 0 for anything else.
int d3d9_cache_parse(const uint8_t *file, size_t size, const D3D9CACHEKEY &key, D3D9CACHESLOT *slot,
                     D3D9CACHEIMAGE *image);
