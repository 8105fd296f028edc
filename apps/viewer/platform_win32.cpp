// Platform services of the frame code, on Win32.
#include "platform.h"

#include "viewer_state.h"

double now_ms()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / ticksPerMs;
}

uint32_t tick_ms()
{
    return GetTickCount();
}

void pause_briefly()
{
    Sleep(1);
}

void place_pointer_in_caption()
{
    RECT r;
    GetWindowRect(g_process.window, &r);
    SetCursorPos((r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYCAPTION) / 2);
}

void release_pointer_clip()
{
    ClipCursor(nullptr);
}
