// A ByteSource over a block of memory, for the fuzzers and the native tests.
#pragma once

#include <string.h>

#include "snd_riff.h"

struct MemorySource {
    const uint8_t *data;
    size_t size;
    size_t at;

    static uint32_t read(void *user, void *dst, uint32_t bytes)
    {
        MemorySource *m = (MemorySource *)user;
        size_t n = m->at < m->size ? m->size - m->at : 0;
        if (n > bytes)
            n = bytes;
        memcpy(dst, m->data + m->at, n);
        m->at += n;
        return (uint32_t)n;
    }
    static bool seek(void *user, uint64_t position)
    {
        MemorySource *m = (MemorySource *)user;
        if (position > m->size)
            return false;
        m->at = (size_t)position;
        return true;
    }
    snd::ByteSource source() { return snd::ByteSource{this, read, seek}; }
};
