// The two window commands that start and end the engine and the sound system.
#include "engine_commands.h"

#include "sonra.h"
#include "viewer_state.h"

namespace {

const UINT kCommandEngineStart = 32769;
const UINT kCommandEngineEnd = 32770;

void engine_start()
{
    SNR2_Start(g_process.window, 0);
    const DisplayRequest &d = g_display;
    RECT view = {0, 0, d.width, d.height};
    DWORD flags = (DWORD)(d.windowed & 0xFF) | (DWORD)(d.antialias & 0xFF) << 8 | (DWORD)(d.anisotropy & 0xFF) << 16;
    g_run.ctx = TRVX_Start(g_process.window, &view, flags);
}

void engine_end()
{
    if (g_run.ctx)
        TRVX_End(g_run.ctx);
    g_run.ctx = nullptr;
    SNR2_End();
}

} // namespace

bool start_engine()
{
    SendMessageW(g_process.window, WM_COMMAND, kCommandEngineStart, 0);
    return g_run.ctx != nullptr;
}

void end_engine()
{
    SendMessageW(g_process.window, WM_COMMAND, kCommandEngineEnd, 0);
}

bool run_engine_command(WPARAM command)
{
    switch (LOWORD(command)) {
    case kCommandEngineStart: engine_start(); return true;
    case kCommandEngineEnd: engine_end(); return true;
    default: return false;
    }
}
