// The application thread, which owns the runs.
#pragma once

#include <windows.h>

// The thread's procedure: every run of the program, then the window is asked to close.
DWORD WINAPI application_thread(void *);
