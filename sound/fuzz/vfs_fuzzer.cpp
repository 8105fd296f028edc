// libFuzzer target: ".vfs" archive headers and directories of any shape. The directory read must
// stay inside the archive and a found member must start inside it and end by its end.
#include <stdlib.h>
#include <string.h>

#include "snd_riff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < snd::VFS_HEADER_BYTES)
        return 0;
    snd::VfsHeader h = snd::parse_vfs_header(data, size);
    if ((uint64_t)h.directoryBytes + snd::VFS_HEADER_BYTES > size || h.recordLength > snd::VFS_ENTRY_BYTES)
        abort();
    // the directory goes to a buffer of exactly its size, so a read beyond it is caught
    uint8_t *dir = (uint8_t *)malloc(h.directoryBytes ? h.directoryBytes : 1);
    memcpy(dir, data + snd::VFS_HEADER_BYTES, h.directoryBytes);
    static const char16_t *names[] = {u"a.wav", u"GEARUP.WAV", u"abcdefghijklmnop", u""};
    for (const char16_t *name : names) {
        snd::VfsEntry e;
        int i = snd::find_vfs_entry(dir, h.directoryBytes, &h, name, size, &e);
        if (i >= 0 && (e.offset >= size || (uint64_t)e.offset + e.size > size || e.name[snd::VFS_NAME_UNITS] != 0))
            abort();
    }
    free(dir);
    char16_t archive[snd::ARCHIVE_PATH_UNITS];
    char16_t path[snd::PATH_UNITS + 8] = {0};
    for (size_t i = 0; i < size / 2 && i < snd::PATH_UNITS + 7; ++i)
        path[i] = (char16_t)(data[2 * i] | data[2 * i + 1] << 8);
    if (snd::archive_path(path, archive)) {
        size_t n = 0;
        while (n < snd::ARCHIVE_PATH_UNITS && archive[n])
            ++n;
        if (n == snd::ARCHIVE_PATH_UNITS)
            abort();
    }
    return 0;
}
