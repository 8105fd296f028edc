// The few platform services the frame code needs: a clock that cannot round a fast frame to nothing,
// and the system pointer's place and clip.
#pragma once

#include <stdint.h>

// Milliseconds from the high-resolution counter, with their fractions.
double now_ms();
// The system's millisecond tick, the clock that window messages are stamped with.
uint32_t tick_ms();
// Gives the processor away for about a millisecond (a wait's step).
void pause_briefly();
// Puts the system pointer at the middle of the window's top edge, in its caption.
void place_pointer_in_caption();
// Lets the system pointer go where it likes again.
void release_pointer_clip();
