// Portable readers of the sound library's file formats: RIFF/WAVE headers and ".vfs" sound
// archive directories, with the sound-file path rules. Every size read from a file is bounded by
// the bytes that are really there. No Windows headers: unit-tested and fuzzed natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace snd {

enum { PATH_UNITS = 256, ARCHIVE_PATH_UNITS = 260 };

// Sequential reads from a file or memory, plus absolute positioning.
struct ByteSource {
    void *user;
    uint32_t (*read)(void *user, void *dst, uint32_t bytes);  // bytes read
    bool (*seek)(void *user, uint64_t position);               // from the start of the file
};

enum WaveParse {
    WAVE_OK,          // format and data chunk found
    WAVE_NOT_RIFF,    // no "RIFF" at the start
    WAVE_NOT_WAVE,    // no "WAVE" form type
    WAVE_BAD_FORMAT,  // format chunk shorter than the 16 bytes of the header, or unusable values
    WAVE_NO_DATA,     // the chunk after the format chunk is not "data"
};

struct WaveHeader {
    uint8_t format[16];   // the format chunk's first 16 bytes, in the wave header's order
    uint16_t formatTag;
    uint16_t channels;
    uint32_t rate;        // samples per second
    uint32_t bytesPerSecond;
    uint16_t blockAlign;  // bytes per sample frame
    uint16_t bits;
    uint32_t dataOffset;  // from the member's first byte
    uint32_t dataSize;    // bytes, bounded by the member and cut to whole blocks
};

// Reads the header of a RIFF/WAVE member that starts at memberStart and is memberSize bytes
// long; the source stands at memberStart. On WAVE_OK the source stands at the first data byte.
// On WAVE_NO_DATA the format fields are valid.
WaveParse parse_wave_header(ByteSource *src, uint64_t memberStart, uint32_t memberSize, WaveHeader *out);

// --- ".vfs" archives ------------------------------------------------------------------------------
enum {
    VFS_HEADER_BYTES = 16,
    VFS_SLOT_BYTES = 48,     // distance between directory entries
    VFS_ENTRY_BYTES = 40,    // longest entry record used
    VFS_NAME_UNITS = 16,
};

struct VfsHeader {
    uint16_t count;          // entries
    uint16_t recordLength;   // bytes copied from each slot, at most VFS_ENTRY_BYTES
    uint32_t directoryBytes; // bytes of directory worth reading: bounded by the archive and the count
};

struct VfsEntry {
    char16_t name[VFS_NAME_UNITS + 1];  // always terminated; an unterminated name keeps 16 units
    uint32_t offset;                    // member's first byte from the start of the archive
    uint32_t size;                      // member bytes, bounded by the archive's end
};

// Reads the 16-byte header of an archive of archiveSize bytes.
VfsHeader parse_vfs_header(const uint8_t header[VFS_HEADER_BYTES], uint64_t archiveSize);

enum { VFS_NOT_FOUND = -1, VFS_OUTSIDE = -2 };
// Looks up baseName (case-insensitive) in a directory of dirBytes bytes; the entry's index, or
// VFS_NOT_FOUND, or VFS_OUTSIDE when the matching entry's member starts beyond the archive.
int find_vfs_entry(const uint8_t *dir, uint32_t dirBytes, const VfsHeader *h, const char16_t *baseName,
                   uint64_t archiveSize, VfsEntry *out);

// --- paths -----------------------------------------------------------------------------------------
// Length in code units, or PATH_UNITS when the path has that many or more (too long to use).
size_t path_length(const char16_t *path);
// The archive that would hold path: cut at its last backslash after the first unit, ".vfs" appended.
// out holds ARCHIVE_PATH_UNITS units; false when path is too long.
bool archive_path(const char16_t *path, char16_t *out);
// The part after the last backslash, or the whole path.
const char16_t *base_name(const char16_t *path);
// Compares ignoring case (ASCII and Latin-1 letters).
bool names_equal(const char16_t *a, const char16_t *b);

}  // namespace snd
