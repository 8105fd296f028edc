// The benchmark as the viewer sees it: the options, the window's messages for its screens, and the
// flow between its screens and the test runs, which the viewer's application thread carries out.
#pragma once

#include <windows.h>

#include "display_request.h"

// Takes the benchmark's options (/auto, /modes:1,2, /result:<file>, /submit) from a command line
// that starts with "/"; false, after telling the user, when they are not understood.
bool benchmark_configure(const wchar_t *commandLine);
// Window thread: a message of the benchmark's window (clicks, keys, closing) for its screens.
void benchmark_window_message(UINT message, WPARAM wParam, LPARAM lParam);
// Window thread: copies the screen's page to the window; false when no page is shown.
bool benchmark_paint(HDC dc);

// Application thread: shows the screens up to the next test run and returns true with the display
// that run asks for, or false when the benchmark is over (its result shown, or the user quit).
bool benchmark_next_run(DisplayRequest *display);
// The test run's frames on the loaded scene: its set-up, one frame at a time (false once the run is
// over), and its clean-up.
void benchmark_test_begin();
bool benchmark_test_frame();
void benchmark_test_end();
// The run asked for by benchmark_next_run has ended; false when the engine could not start in it.
void benchmark_run_ended(bool engineStarted);
// The program's exit code (BENCHMARK.md lists them).
int benchmark_exit_code();
