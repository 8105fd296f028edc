// Ring-buffer arithmetic of streamed waves.
#include "snd_stream.h"

#include <string.h>

namespace snd {

uint32_t stream_quarter_bytes(uint32_t blockAlign, uint32_t rate)
{
    if (blockAlign == 0)
        return 0;
    uint64_t second = (uint64_t)blockAlign * rate;
    second -= second % blockAlign;
    // four quarters must fit the device's 32-bit buffer size
    if (second == 0 || second > 0x3FFFFFFFu / STREAM_QUARTERS)
        return 0;
    return (uint32_t)second;
}

void stream_begin(StreamState *s, uint32_t dataSize, uint32_t quarter)
{
    memset(s, 0, sizeof *s);
    s->dataSize = dataSize;
    s->quarter = quarter;
    for (uint32_t q = 0; q < STREAM_QUARTERS; ++q)
        s->threshold[q] = (q + 1) * quarter - 1;
}

bool stream_quarter_due(const StreamState *s, uint32_t p)
{
    if (s->index < 3)
        return p > s->threshold[s->index];
    return p < s->threshold[2];  // playback has wrapped to the start of the ring
}

bool stream_quarter_is_whole(const StreamState *s, int32_t loops)
{
    return loops != 0 && s->position < s->dataSize && (uint64_t)s->position + s->quarter < s->dataSize;
}

static uint32_t ring_bytes(const StreamState *s) { return s->quarter * STREAM_QUARTERS; }

QuarterFill stream_fill_quarter(StreamState *s, int32_t *loops, uint32_t playPosition, StreamCopyFn copy,
                                void *user)
{
    QuarterFill fill = {false, false};
    uint32_t ring = s->writeOffset, left = s->quarter;
    if (stream_quarter_is_whole(s, *loops)) {
        copy(user, s->position, ring, left);
        s->position += left;
    } else {
        fill.zeroFirst = true;
        // short data may end more than once inside one quarter; each end is one pass of the count
        while (left > 0 && *loops != 0) {
            uint32_t n = s->dataSize - s->position;
            if (n > left)
                n = left;
            if (n > 0)
                copy(user, s->position, ring, n);
            s->position += n;
            ring += n;
            left -= n;
            if (s->position >= s->dataSize) {
                *loops -= 1;
                if (*loops == 0) {
                    fill.ended = true;
                    break;
                }
                s->position = 0;
            }
        }
        if (fill.ended) {
            uint32_t total = ring_bytes(s);
            uint32_t d = (ring + total - playPosition % total) % total;
            s->draining = true;
            s->drainLeft = d ? d : total;
            s->lastPlay = playPosition;
        }
    }
    s->writeOffset = (s->writeOffset + s->quarter) % ring_bytes(s);
    s->index = (s->index + 1) % STREAM_QUARTERS;
    return fill;
}

bool stream_drain_done(StreamState *s, uint32_t playPosition)
{
    uint32_t total = ring_bytes(s);
    if (!s->draining || total == 0)
        return false;
    uint32_t advance = (playPosition % total + total - s->lastPlay % total) % total;
    s->lastPlay = playPosition;
    if (advance >= s->drainLeft) {
        s->drainLeft = 0;
        return true;
    }
    s->drainLeft -= advance;
    return false;
}

uint32_t stream_lead_bytes(const StreamState *s, uint32_t playPosition)
{
    uint32_t total = ring_bytes(s);
    return total ? (s->writeOffset + total - playPosition % total) % total : 0;
}

}  // namespace snd
