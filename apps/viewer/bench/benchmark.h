// The benchmark's seam in the application thread: the state step between runs and the scripted run.
#pragma once

#include <windows.h>

// True when this build carries the benchmark; without it an empty command line shows the viewer.
bool benchmark_available();
// Takes the benchmark's options (/auto, /modes:1,2, /result:<file>) from a command line that
// starts with "/"; false, after telling the user, when they are not understood.
bool benchmark_configure(const wchar_t *commandLine);
// Copies the benchmark screen's page to the window; false when no page is shown.
bool benchmark_paint(HDC dc);
// The program's exit code: 0, or non-zero for an unattended run in which no mode could run.
int benchmark_exit_code();
// One step of the benchmark's screens for state `state` (1..6); the next state, negative for one
// reached without a test run, 3..6 for a test run.
int benchmark_state_step(int state);
// The scripted test run of run mode `mode` on the loaded scene; its score.
int benchmark_run(int mode);
