// The benchmark's test run, one frame at a time, on the scene the viewer loaded for it.
#pragma once

#include "bench_modes.h"
#include "bench_result.h"

namespace bench {

// Sets up a run that fills `record` (its shots), with `overlayMode` described in the overlay line.
void test_run_begin(ModeRecord &record, const DisplayMode &overlayMode);
// One frame of the run; false once the run is over (every shot ended, or the user quit).
bool test_run_frame();
// Stops the sound and frees the waves; true when every shot ran to its end.
bool test_run_end();

} // namespace bench
