// Portable bookkeeping of a streamed wave: a ring buffer of four one-second quarters refilled
// behind the play position, wrapping endless streams without a gap and running finite ones out
// into silence. No Windows headers: unit-tested natively.
#pragma once

#include <stdint.h>

namespace snd {

enum { STREAM_QUARTERS = 4 };

struct StreamState {
    uint32_t dataSize;     // bytes of the data chunk; 0 = not streaming
    uint32_t quarter;      // bytes in one quarter: one second of whole blocks
    uint32_t position;     // bytes of the data already written into the ring
    uint32_t writeOffset;  // ring offset of the next quarter to refill
    uint32_t index;        // next quarter to refill, 0..3
    uint32_t threshold[STREAM_QUARTERS];  // q * quarter - 1 for q = 1..4
    bool draining;         // the last data is written; the ring plays out to its end
    uint32_t drainLeft;    // bytes still to play before the end of the data
    uint32_t lastPlay;     // play position at the previous look, while draining
};

// Bytes of one quarter for a format: one second of sound in whole blocks; 0 when unusable.
uint32_t stream_quarter_bytes(uint32_t blockAlign, uint32_t rate);

// Starts the bookkeeping of a stream; the ring is then filled with stream_fill_quarter for
// quarters 0..3 and the write offset returns to quarter 0.
void stream_begin(StreamState *s, uint32_t dataSize, uint32_t quarter);

// Whether the next fill covers the whole quarter with data; when not, the quarter is zeroed first.
bool stream_quarter_is_whole(const StreamState *s, int32_t loops);

// Whether the next quarter is due for a refill at play position p.
bool stream_quarter_due(const StreamState *s, uint32_t p);

// One read of the plan: data bytes from dataOffset go to ringOffset.
typedef void (*StreamCopyFn)(void *user, uint32_t dataOffset, uint32_t ringOffset, uint32_t bytes);

struct QuarterFill {
    bool zeroFirst;       // the whole quarter is zeroed before the copies
    bool ended;           // the loop counter reached 0 inside this quarter
};

// Plans the fill of the quarter at the write offset: calls copy for each read (in order) and lowers
// *loops at every end of the data. Advances the position, the write offset and the quarter index.
// playPosition is where playback stands now (to time the end of a finite stream).
QuarterFill stream_fill_quarter(StreamState *s, int32_t *loops, uint32_t playPosition, StreamCopyFn copy,
                                void *user);

// While draining: true once playback has passed the end of the data (the ring should stop).
bool stream_drain_done(StreamState *s, uint32_t playPosition);

// Bytes from the play position to the write offset: how far ahead of playback a refill writes.
uint32_t stream_lead_bytes(const StreamState *s, uint32_t playPosition);

}  // namespace snd
