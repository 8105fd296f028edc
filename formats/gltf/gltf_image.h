// Texture images of the glTF plug-in: what kind an encoded image is, and the few rewrites the
// engine needs (alpha cut at a mask's cut-off, alpha dropped from an opaque material's texture, a
// bitmap with its mask or colour key as PNG). Portable code.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The largest image side the plug-in decodes (a bigger one is refused, not allocated).
const int kImageMaxSide = 8192;

// "image/png", "image/jpeg", "image/bmp", or empty for anything else.
std::string image_mime(const uint8_t *bytes, size_t size);
// True when the bytes decode as an image whose sides are within kImageMaxSide; `alpha` tells whether
// it has an alpha channel.
bool image_check(const uint8_t *bytes, size_t size, bool *alpha);

// How a texture's alpha is made fit for the engine's drawing.
enum ImageAlpha {
    IMAGE_ALPHA_DROP,    // opaque material: alpha 255 everywhere
    IMAGE_ALPHA_CUT,     // mask material: 0 below the cut-off, 255 from it on
};
// The image as PNG with its alpha rewritten (the bytes as they are when that changes no pixel); false
// when it does not decode.
bool image_rewrite_alpha(const uint8_t *bytes, size_t size, ImageAlpha how, float cutoff, std::vector<uint8_t> *png);

// A bitmap texture as the engine's driver shows it, as PNG (RGB when every pixel is opaque): with `colourKey` black is transparent;
// otherwise a mask bitmap of the same size (may be empty) gives alpha from its red channel.
bool image_bitmap_to_png(const std::vector<uint8_t> &bitmap, const std::vector<uint8_t> &mask, bool colourKey,
                         std::vector<uint8_t> *png);

// 64-bit FNV-1a of the bytes: the name of a cached copy of an embedded image.
uint64_t image_hash(const uint8_t *bytes, size_t size);
