// Texture cache files (see d3d9_texture_cache.h). Layout, little-endian 32-bit words unless said:
// the magic, the version, the variant, the source count and each source's size and time (64 bits
// each); the five slot facts; format, width, height and level count; each level's row bytes and
// rows; then the levels' bytes, back to back, to the end of the file.
#include "d3d9_texture_cache.h"

#include <string.h>

namespace {

const uint8_t kMagic[8] = {'T', 'R', 'V', 'X', 'T', 'E', 'X', 'C'};
const uint32_t kVersion = 1;
const uint64_t kMaxLevelBytes = 1u << 28; // the largest image file the driver reads, 256 MiB

class Writer {
public:
    explicit Writer(std::vector<uint8_t> &out) : out_(out) {}
    void word(uint32_t v) { bytes(&v, sizeof v); }
    void wide(uint64_t v) { bytes(&v, sizeof v); }
    void bytes(const void *p, size_t n) { out_.insert(out_.end(), (const uint8_t *)p, (const uint8_t *)p + n); }

private:
    std::vector<uint8_t> &out_;
};

// Reads words from the front of the file; once a read ran past its end, every later one fails too.
class Reader {
public:
    Reader(const uint8_t *p, size_t size) : p_(p), left_(size) {}
    bool word(uint32_t *v) { return take(v, sizeof *v); }
    bool wide(uint64_t *v) { return take(v, sizeof *v); }
    bool bytes(void *v, size_t n) { return take(v, n); }
    const uint8_t *here() const { return p_; }
    size_t left() const { return left_; }

private:
    bool take(void *v, size_t n)
    {
        if (n > left_)
            return false;
        memcpy(v, p_, n);
        p_ += n;
        left_ -= n;
        return true;
    }
    const uint8_t *p_;
    size_t left_;
};

const uint32_t kBlockSide = 4; // pixels of a compressed format's block

uint32_t four_cc(char a, char b, char c, char d)
{
    return (uint32_t)(uint8_t)a | (uint32_t)(uint8_t)b << 8 | (uint32_t)(uint8_t)c << 16 | (uint32_t)(uint8_t)d << 24;
}

// Bytes of a pixel, or of a block for the compressed formats (negative); 0 for others.
int format_unit(uint32_t format)
{
    switch (format) {
    case 21: case 22: case 32: case 33: return 4;                   // A8R8G8B8 X8R8G8B8 A8B8G8R8 X8B8G8R8
    case 20: return 3;                                              // R8G8B8
    case 23: case 24: case 25: case 26: case 30: case 51: return 2; // 16-bit colours, A8L8
    case 28: case 50: return 1;                                     // A8, L8
    default: break;
    }
    if (format == four_cc('D', 'X', 'T', '1'))
        return -8;
    if (format == four_cc('D', 'X', 'T', '2') || format == four_cc('D', 'X', 'T', '3') ||
        format == four_cc('D', 'X', 'T', '4') || format == four_cc('D', 'X', 'T', '5'))
        return -16;
    return 0;
}

bool image_shape_ok(const D3D9CACHEIMAGE &image)
{
    return image.width >= 1 && image.width <= D3D9_CACHE_MAX_SIDE && image.height >= 1 &&
           image.height <= D3D9_CACHE_MAX_SIDE && image.levels >= 1 && image.levels <= D3D9_CACHE_MAX_LEVELS &&
           format_unit(image.format) != 0 && (image.width | image.height) >> (image.levels - 1) != 0;
}

} // namespace

// Level i of a mip chain halves level 0's sides i times, never below one pixel.
static bool level_shape_ok(const D3D9CACHEIMAGE &image, uint32_t i)
{
    uint32_t width = image.width >> i ? image.width >> i : 1, height = image.height >> i ? image.height >> i : 1;
    const D3D9CACHELEVEL &level = image.level[i];
    return level.rowBytes == d3d9_cache_row_bytes(image.format, width) &&
           level.rows == d3d9_cache_rows(image.format, height) && (uint64_t)level.rowBytes * level.rows <= kMaxLevelBytes;
}

uint32_t d3d9_cache_row_bytes(uint32_t format, uint32_t width)
{
    int unit = format_unit(format);
    if (unit < 0)
        return (width + kBlockSide - 1) / kBlockSide * (uint32_t)-unit;
    return width * (uint32_t)unit;
}

uint32_t d3d9_cache_rows(uint32_t format, uint32_t height)
{
    int unit = format_unit(format);
    if (unit == 0)
        return 0;
    return unit < 0 ? (height + kBlockSide - 1) / kBlockSide : height;
}

std::vector<uint8_t> d3d9_cache_bytes(const D3D9CACHEKEY &key, const D3D9CACHESLOT &slot, const D3D9CACHEIMAGE &image)
{
    std::vector<uint8_t> out;
    if (!image_shape_ok(image) || key.sourceCount < 1 || key.sourceCount > D3D9_CACHE_MAX_SOURCES)
        return out;
    uint64_t total = 0;
    for (uint32_t i = 0; i < image.levels; ++i) {
        if (!level_shape_ok(image, i) || !image.level[i].data)
            return out;
        total += (uint64_t)image.level[i].rowBytes * image.level[i].rows;
    }
    out.reserve((size_t)total + 256);
    Writer w(out);
    w.bytes(kMagic, sizeof kMagic);
    w.word(kVersion);
    w.word(key.variant);
    w.word((uint32_t)key.sourceCount);
    for (int i = 0; i < key.sourceCount; ++i) {
        w.wide(key.sources[i].size);
        w.wide(key.sources[i].time);
    }
    w.word((uint32_t)slot.width);
    w.word((uint32_t)slot.height);
    w.word((uint32_t)slot.mipLevels);
    w.word(slot.driverFormat);
    w.word((uint32_t)slot.hasAlpha);
    w.word(image.format);
    w.word(image.width);
    w.word(image.height);
    w.word(image.levels);
    for (uint32_t i = 0; i < image.levels; ++i) {
        w.word(image.level[i].rowBytes);
        w.word(image.level[i].rows);
    }
    for (uint32_t i = 0; i < image.levels; ++i)
        w.bytes(image.level[i].data, (size_t)image.level[i].rowBytes * image.level[i].rows);
    return out;
}

int d3d9_cache_parse(const uint8_t *file, size_t size, const D3D9CACHEKEY &key, D3D9CACHESLOT *slot,
                     D3D9CACHEIMAGE *image)
{
    if (!file)
        return 0;
    Reader r(file, size);
    uint8_t magic[sizeof kMagic];
    uint32_t version, variant, sources;
    if (!r.bytes(magic, sizeof magic) || memcmp(magic, kMagic, sizeof kMagic) != 0 || !r.word(&version) ||
        version != kVersion || !r.word(&variant) || variant != key.variant || !r.word(&sources) ||
        sources != (uint32_t)key.sourceCount)
        return 0;
    for (int i = 0; i < key.sourceCount; ++i) {
        D3D9CACHESOURCE s;
        if (!r.wide(&s.size) || !r.wide(&s.time) || s.size != key.sources[i].size || s.time != key.sources[i].time)
            return 0;
    }
    uint32_t facts[5];
    D3D9CACHEIMAGE got = {};
    for (uint32_t &f : facts)
        if (!r.word(&f))
            return 0;
    if (!r.word(&got.format) || !r.word(&got.width) || !r.word(&got.height) || !r.word(&got.levels) ||
        !image_shape_ok(got))
        return 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < got.levels; ++i) {
        if (!r.word(&got.level[i].rowBytes) || !r.word(&got.level[i].rows) || !level_shape_ok(got, i))
            return 0;
        total += (uint64_t)got.level[i].rowBytes * got.level[i].rows;
    }
    // The levels fill the rest of the file exactly: a cut or padded file is not trusted.
    if (total != (uint64_t)r.left())
        return 0;
    const uint8_t *data = r.here();
    for (uint32_t i = 0; i < got.levels; ++i) {
        got.level[i].data = data;
        data += (size_t)got.level[i].rowBytes * got.level[i].rows;
    }
    *slot = D3D9CACHESLOT{(int32_t)facts[0], (int32_t)facts[1], (int32_t)facts[2], facts[3], (int32_t)facts[4]};
    *image = got;
    return 1;
}
