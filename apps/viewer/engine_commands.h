// Engine and sound start and end. The application thread asks for them; the window thread carries
// them out, so that the device and sound objects belong to the window's thread.
#pragma once

#include <windows.h>

// Application thread: starts sound and engine for the display that g_display asks for and waits until
// it is done; false when the engine could not start (g_run.ctx stays 0).
bool start_engine();
// Application thread: ends the engine and sound, and waits.
void end_engine();
// Window thread: carries out an engine command message; false for any other command.
bool run_engine_command(WPARAM command);
