// The benchmark's seam in the application thread: the state step between runs and the scripted run.
#pragma once

// True when this build carries the benchmark; without it an empty command line shows the viewer.
bool benchmark_available();
// One step of the benchmark's screens for state `state` (1..6); the next state, negative for one
// reached without a test run, 3..6 for a test run.
int benchmark_state_step(int state);
// The scripted test run of run mode `mode` on the loaded scene; its score.
int benchmark_run(int mode);
