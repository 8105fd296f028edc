// The benchmark's state across its screens and test runs, shared by the state step and the script.
#pragma once

#include "bench_modes.h"
#include "bench_options.h"
#include "bench_result.h"

namespace bench {

struct Session {
    Options options;
    BenchResult result;
    int runningMode = 0;     // 1..4 while its test run is set up or running
    DisplayMode overlayMode; // the mode line's description for the overlay of the coming run
};

extern Session g_session;

} // namespace bench
