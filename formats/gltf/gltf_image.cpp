// Texture images of the glTF plug-in (see gltf_image.h), decoded and encoded with stb.
#include "gltf_image.h"

#include <string.h>

// The image library's own code is not held to the kit's warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wunknown-warning-option"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS kImageMaxSide
#include <stb_image.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

const int kRgba = 4;

struct Pixels {
    stbi_uc *data = nullptr;
    int width = 0, height = 0;
    ~Pixels() { stbi_image_free(data); }
    bool decode(const uint8_t *bytes, size_t size)
    {
        if (size == 0 || size > (size_t)INT32_MAX)
            return false;
        int channels = 0;
        data = stbi_load_from_memory(bytes, (int)size, &width, &height, &channels, kRgba);
        return data != nullptr;
    }
    size_t count() const { return (size_t)width * (size_t)height; }
};

void append_png(void *context, void *data, int size)
{
    auto *out = static_cast<std::vector<uint8_t> *>(context);
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    out->insert(out->end(), bytes, bytes + size);
}

const int kRgb = 3;

// As RGB when every pixel is opaque (no alpha channel for a reader to blend by), else as RGBA.
bool encode_png(const Pixels &p, std::vector<uint8_t> *png)
{
    png->clear();
    bool opaque = true;
    for (size_t i = 0; i < p.count() && opaque; ++i)
        opaque = p.data[i * kRgba + 3] == 255;
    if (!opaque)
        return stbi_write_png_to_func(append_png, png, p.width, p.height, kRgba, p.data, p.width * kRgba) != 0;
    std::vector<stbi_uc> rgb(p.count() * kRgb);
    for (size_t i = 0; i < p.count(); ++i)
        for (int c = 0; c < kRgb; ++c)
            rgb[i * kRgb + (size_t)c] = p.data[i * kRgba + (size_t)c];
    return stbi_write_png_to_func(append_png, png, p.width, p.height, kRgb, rgb.data(), p.width * kRgb) != 0;
}

} // namespace

std::string image_mime(const uint8_t *bytes, size_t size)
{
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && memcmp(bytes, kPng, 8) == 0)
        return "image/png";
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return "image/jpeg";
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return "image/bmp";
    return std::string();
}

bool image_check(const uint8_t *bytes, size_t size, bool *alpha)
{
    if (size == 0 || size > (size_t)INT32_MAX)
        return false;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, (int)size, &width, &height, &channels))
        return false;
    if (width <= 0 || height <= 0 || width > kImageMaxSide || height > kImageMaxSide)
        return false;
    if (alpha)
        *alpha = channels == 2 || channels == 4;
    return true;
}

bool image_rewrite_alpha(const uint8_t *bytes, size_t size, ImageAlpha how, float cutoff, std::vector<uint8_t> *png)
{
    Pixels p;
    if (!p.decode(bytes, size))
        return false;
    const int limit = (int)(cutoff * 255.0f + 0.5f); // alpha >= cut-off stays
    bool changed = false;
    for (size_t i = 0; i < p.count(); ++i) {
        stbi_uc &a = p.data[i * kRgba + 3];
        const stbi_uc b = (how == IMAGE_ALPHA_DROP || a >= limit) ? 255 : 0;
        changed = changed || a != b;
        a = b;
    }
    if (!changed) { // the image already is what the engine needs
        png->assign(bytes, bytes + size);
        return true;
    }
    return encode_png(p, png);
}

bool image_bitmap_to_png(const std::vector<uint8_t> &bitmap, const std::vector<uint8_t> &mask, bool colourKey,
                         std::vector<uint8_t> *png)
{
    Pixels colour;
    if (!colour.decode(bitmap.data(), bitmap.size()))
        return false;
    Pixels alpha;
    const bool masked = !colourKey && alpha.decode(mask.data(), mask.size()) && alpha.width == colour.width &&
                        alpha.height == colour.height;
    for (size_t i = 0; i < colour.count(); ++i) {
        stbi_uc *c = colour.data + i * kRgba;
        if (colourKey)
            c[3] = (c[0] | c[1] | c[2]) ? 255 : 0;
        else
            c[3] = masked ? alpha.data[i * kRgba] : 255;
    }
    return encode_png(colour, png);
}

uint64_t image_hash(const uint8_t *bytes, size_t size)
{
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}
