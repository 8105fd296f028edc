// RIFF/WAVE header and ".vfs" directory parsing with every size bounded by the bytes present.
#include "snd_riff.h"

#include <string.h>

namespace snd {

static uint16_t le16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
static uint32_t le32(const uint8_t *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24; }

static bool read_exact(ByteSource *src, void *dst, uint32_t bytes)
{
    return src->read(src->user, dst, bytes) == bytes;
}

WaveParse parse_wave_header(ByteSource *src, uint64_t memberStart, uint32_t memberSize, WaveHeader *out)
{
    memset(out, 0, sizeof *out);
    uint8_t riff[8], form[12];
    if (memberSize < 8 || !read_exact(src, riff, 8) || memcmp(riff, "RIFF", 4) != 0)
        return WAVE_NOT_RIFF;
    if (memberSize < 20 || !read_exact(src, form, 12) || memcmp(form, "WAVE", 4) != 0)
        return WAVE_NOT_WAVE;
    // bytes 4-7 of the form block name the format chunk; files are trusted on that
    uint32_t formatBytes = le32(form + 8);
    if (formatBytes < 16 || formatBytes > memberSize - 20 || !read_exact(src, out->format, 16))
        return WAVE_BAD_FORMAT;
    out->formatTag = le16(out->format);
    out->channels = le16(out->format + 2);
    out->rate = le32(out->format + 4);
    out->bytesPerSecond = le32(out->format + 8);
    out->blockAlign = le16(out->format + 12);
    out->bits = le16(out->format + 14);
    if (out->channels == 0 || out->blockAlign == 0)
        return WAVE_BAD_FORMAT;
    // a longer format chunk (extension fields) is skipped rather than read
    uint64_t next = 20 + (uint64_t)formatBytes;
    uint8_t chunk[8];
    if (next + 8 > memberSize || !src->seek(src->user, memberStart + next) || !read_exact(src, chunk, 8) ||
        memcmp(chunk, "data", 4) != 0)
        return WAVE_NO_DATA;
    uint64_t dataOffset = next + 8;
    uint32_t size = le32(chunk + 4);
    uint32_t present = memberSize - (uint32_t)dataOffset;
    if (size > present)
        size = present;
    out->dataOffset = (uint32_t)dataOffset;
    out->dataSize = size - size % out->blockAlign;
    return WAVE_OK;
}

VfsHeader parse_vfs_header(const uint8_t header[VFS_HEADER_BYTES], uint64_t archiveSize)
{
    VfsHeader h;
    h.count = le16(header + 4);
    h.recordLength = le16(header + 6);
    if (h.recordLength > VFS_ENTRY_BYTES)
        h.recordLength = VFS_ENTRY_BYTES;
    uint64_t bytes = le32(header + 8);
    uint64_t present = archiveSize > VFS_HEADER_BYTES ? archiveSize - VFS_HEADER_BYTES : 0;
    uint64_t used = (uint64_t)h.count * VFS_SLOT_BYTES;  // no entry lies beyond the last slot
    if (bytes > present)
        bytes = present;
    if (bytes > used)
        bytes = used;
    h.directoryBytes = (uint32_t)bytes;
    return h;
}

int find_vfs_entry(const uint8_t *dir, uint32_t dirBytes, const VfsHeader *h, const char16_t *baseName,
                   uint64_t archiveSize, VfsEntry *out)
{
    for (uint32_t i = 0; i < h->count; ++i) {
        uint64_t at = (uint64_t)i * VFS_SLOT_BYTES;
        if (at + h->recordLength > dirBytes)
            break;
        uint8_t record[VFS_ENTRY_BYTES] = {0};
        memcpy(record, dir + at, h->recordLength);
        VfsEntry e;
        for (int u = 0; u < VFS_NAME_UNITS; ++u)
            e.name[u] = (char16_t)le16(record + 2 * u);
        e.name[VFS_NAME_UNITS] = 0;
        e.offset = le32(record + 32);
        e.size = le32(record + 36);
        if (!names_equal(e.name, baseName))
            continue;
        if (e.offset >= archiveSize)
            return VFS_OUTSIDE;
        if (e.size > archiveSize - e.offset)
            e.size = (uint32_t)(archiveSize - e.offset);
        *out = e;
        return (int)i;
    }
    return VFS_NOT_FOUND;
}

size_t path_length(const char16_t *path)
{
    size_t n = 0;
    while (n < PATH_UNITS && path[n])
        ++n;
    return n;
}

bool archive_path(const char16_t *path, char16_t *out)
{
    size_t n = path_length(path);
    if (n >= PATH_UNITS)
        return false;
    size_t cut = n;
    for (size_t i = n; i > 1; --i)
        if (path[i - 1] == u'\\') {
            cut = i - 1;
            break;
        }
    memcpy(out, path, cut * sizeof(char16_t));
    static const char16_t ext[] = u".vfs";
    memcpy(out + cut, ext, sizeof ext);
    return true;
}

const char16_t *base_name(const char16_t *path)
{
    const char16_t *base = path;
    for (const char16_t *p = path; *p; ++p)
        if (*p == u'\\')
            base = p + 1;
    return base;
}

static char16_t fold(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return (char16_t)(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return (char16_t)(c - 32);
    return c;
}

bool names_equal(const char16_t *a, const char16_t *b)
{
    for (;; ++a, ++b) {
        if (fold(*a) != fold(*b))
            return false;
        if (!*a)
            return true;
    }
}

}  // namespace snd
