// libFuzzer target: RIFF/WAVE headers of any shape, as a loose file and as an archive member
// starting inside a larger file. The data range found must lie inside the member.
#include <stdlib.h>

#include "memory_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // the first byte places the member inside the file, as an archive would
    size_t start = data[0] % 8 < size ? data[0] % 8 : 0;
    MemorySource m = {data, size, start};
    snd::ByteSource src = m.source();
    snd::WaveHeader h;
    uint32_t member = (uint32_t)(size - start);
    if (snd::parse_wave_header(&src, start, member, &h) == snd::WAVE_OK) {
        if ((uint64_t)h.dataOffset + h.dataSize > member || h.blockAlign == 0 || h.dataSize % h.blockAlign)
            abort();
        if (m.at != start + h.dataOffset)
            abort();
    }
    return 0;
}
