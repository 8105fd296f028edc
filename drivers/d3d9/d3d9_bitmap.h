// Portable half of the driver's bitmap texture path: reading uncompressed 24-bit bitmap files,
// combining colour and transparency into 32-bit pixels, and wrapping them as an in-memory DDS file
// that the texture loader accepts. No Direct3D here, so the byte handling can be tested on its own.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <vector>

struct D3D9BITMAP {
    int width = 0;             // pixels
    int height = 0;            // pixels
    const uint8_t *rows = 0;   // bottom row first, 3 bytes a pixel (blue, green, red), no padding
};

// 1 when `file` (size bytes) is an uncompressed, bottom-up 24-bit bitmap whose rows need no padding
// and whose pixels lie wholly inside the file; `out` then points into `file`.
int d3d9_parse_bitmap(const uint8_t *file, size_t size, D3D9BITMAP *out);

// Top-down blue, green, red, alpha pixels: alpha 0 for pure black, else 255.
std::vector<uint8_t> d3d9_colour_key_pixels(const D3D9BITMAP &colour);
// Top-down pixels with alpha from the red byte of the mask (same size as the colour bitmap).
std::vector<uint8_t> d3d9_masked_pixels(const D3D9BITMAP &colour, const D3D9BITMAP &mask);

#define D3D9_DDS_HEADER_BYTES 128
// An in-memory DDS file of 32-bit pixels (blue, green, red, alpha), rows top-down.
std::vector<uint8_t> d3d9_wrap_dds(int width, int height, const std::vector<uint8_t> &pixels);

// The driver's pixel format code of a Direct3D format number (0 for formats without a code).
uint32_t d3d9_format_code(uint32_t d3dFormat);
// 1 for format codes that carry an alpha byte.
int d3d9_format_code_has_alpha(uint32_t code);
