// The application thread: the runs one after another, each from its engine start through its scene
// and the one frame loop to its release message and engine end, with the desktop's display mode
// brought back after a full-screen run. The benchmark decides between its runs which comes next.
#include "run.h"

#include "bench/benchmark.h"
#include "engine_commands.h"
#include "frame.h"
#include "platform.h"
#include "scene_load.h"
#include "trvx_profile_win32.h"
#include "viewer_loop.h"
#include "viewer_state.h"

namespace {

const int kRestoreTries = 10;
const DWORD kRestoreRetryMs = 100;

// What a run's frames are: the viewer's own, or the benchmark's test.
struct RunFrames {
    void (*begin)();
    bool (*frame)(); // one pass of the loop; false once the run is over
    void (*end)();
};

void fill_client_black()
{
    HWND window = g_process.window;
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(window, dc);
}

void show_release_message()
{
    TRVXCONTEXT ctx = g_run.ctx;
    for (int i = 0; i < 2; ++i) {
        TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_BEGIN, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, TRVX_STEP_END, 0);
        TRVX_FlipViewPort(ctx, 0);
    }
    show_message(L"リソースの解放中...");
}

// Brings the desktop's display mode back after a full-screen run; it may refuse for a moment.
void restore_display(const RECT &saved)
{
    HWND window = g_process.window;
    ShowWindow(window, SW_MINIMIZE);
    for (int tries = 0; tries < kRestoreTries && ChangeDisplaySettingsW(nullptr, 0) != DISP_CHANGE_SUCCESSFUL;
         ++tries)
        Sleep(kRestoreRetryMs);
    ShowWindow(window, SW_RESTORE);
    MoveWindow(window, saved.left, saved.top, saved.right - saved.left, saved.bottom - saved.top, TRUE);
}

void set_up_view()
{
    TRVXCONTEXT ctx = g_run.ctx;
    TRVX_ClearViewPort(ctx, 0, 0);
    g_run.view = view_shape(g_display.width, g_display.height);
    const ViewShape &v = g_run.view;
    RECT port = {v.left, v.top, v.left + v.width, v.top + v.height};
    TRVX_ClipViewPort(ctx, 0, &port);
    const int kNormalWeight = 400, kShiftJis = 128, kFixedModern = 4;
    g_run.font = TRVX_CreateFont(ctx, 0, 0, kNormalWeight, 0, kShiftJis, kFixedModern, L"ＭＳゴシック");
    if (g_run.font < 0)
        g_run.font = 0;
}

// One run in the display g_display asks for; false when the engine could not start.
bool run_once(const RunFrames &frames)
{
    RECT saved;
    GetWindowRect(g_process.window, &saved);
    g_run = ViewerRun{};
    trvx_profile_mark("viewer.engine_command");
    if (!start_engine())
        return false;
    trvx_profile_mark("viewer.engine_started");
    set_up_view();
    load_scene();
    if (g_display.windowed)
        place_pointer_in_caption();
    frames.begin();
    bool running = !g_process.quitRequested && frames.frame();
    trvx_profile_mark("viewer.first_frame");
    while (running && !g_process.quitRequested && frames.frame()) {
    }
    frames.end();
    show_release_message();
    end_engine();
    if (!g_display.windowed && !g_process.quitRequested)
        restore_display(saved);
    return true;
}

void viewer_frames_begin()
{
    dress_for_viewer();
    viewer_begin();
}

void no_end() {}

} // namespace

DWORD WINAPI application_thread(void *)
{
    if (g_process.benchmark) {
        const RunFrames test = {benchmark_test_begin, benchmark_test_frame, benchmark_test_end};
        while (!g_process.quitRequested && benchmark_next_run(&g_display))
            benchmark_run_ended(run_once(test));
    } else {
        fill_client_black();
        run_once({viewer_frames_begin, viewer_frame, no_end});
    }
    g_process.threadFinished = 1;
    PostMessageW(g_process.window, WM_CLOSE, 0, 0);
    return 0;
}
