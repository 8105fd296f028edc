// The application thread: the outer loop over runs, each run's engine start, scene and frames or
// benchmark script, the release message and engine end, and the display restore after full screen.
#include "benchmark.h"
#include "scene.h"
#include "viewer.h"

namespace {

void fill_client_black()
{
    HWND window = g_viewer.window;
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(window, dc);
}

void show_release_message()
{
    TRVXCONTEXT ctx = g_viewer.ctx;
    for (int i = 0; i < 2; ++i) {
        TRVX_RenderingEx(ctx, 0, nullptr, 1, 0);
        TRVX_RenderingEx(ctx, 0, nullptr, 2, 0);
        TRVX_FlipViewPort(ctx, 0);
    }
    show_message(L"リソースの解放中...");
}

// Brings the desktop's display mode back after a full-screen run; it may refuse for a moment.
void restore_display(const RECT &saved)
{
    HWND window = g_viewer.window;
    ShowWindow(window, SW_MINIMIZE);
    for (int tries = 0; tries < 10 && ChangeDisplaySettingsW(nullptr, 0) != DISP_CHANGE_SUCCESSFUL; ++tries)
        Sleep(100);
    ShowWindow(window, SW_RESTORE);
    MoveWindow(window, saved.left, saved.top, saved.right - saved.left, saved.bottom - saved.top, TRUE);
}

// One run in the current run mode; nothing is shown when the engine cannot start.
void run_once()
{
    Viewer &v = g_viewer;
    RECT saved;
    GetWindowRect(v.window, &saved);
    send_engine_command(kCommandEngineStart);
    if (!v.ctx)
        return;

    memcpy(&v.systemInfo, (const void *)TRVX_GetInformation(v.ctx, 5), sizeof v.systemInfo);
    tagSNRCAPS caps = {};
    v.hardware3D = SNR2_GetCaps(&caps) && caps.hardware3D == 1;

    TRVX_ClearViewPort(v.ctx, 0, 0);
    v.view = view_shape(v.screenWidth, v.screenHeight);
    RECT port = {v.view.left, v.view.top, v.view.left + v.view.width, v.view.top + v.view.height};
    TRVX_ClipViewPort(v.ctx, 0, &port);

    v.font = TRVX_CreateFont(v.ctx, 0, 0, 400, 0, 128, 4, L"ＭＳゴシック");
    if (v.font < 0)
        v.font = 0;
    v.overlayText[0] = 0;

    load_scene();
    if (v.runMode == kRunViewer)
        run_viewer_frames();
    else
        benchmark_run(v.runMode);

    show_release_message();
    send_engine_command(kCommandEngineEnd);
    if (!v.windowed && !v.quitRequested)
        restore_display(saved);
}

} // namespace

DWORD WINAPI application_thread(void *)
{
    Viewer &v = g_viewer;
    for (;;) {
        fill_client_black();
        if (v.runMode != kRunViewer) {
            int next = benchmark_state_step(v.runMode);
            if (v.quitRequested)
                break;
            if (next < 0) {
                v.runMode = -next;
                continue;
            }
            if (next == 0) {
                v.runMode = 6;
                continue;
            }
            v.runMode = next;
            if (next <= 2)
                continue;
        }
        run_once();
        if (v.runMode == kRunViewer || v.quitRequested)
            break;
    }
    v.threadFinished = 1;
    PostMessageW(v.window, WM_CLOSE, 0, 0);
    return 0;
}
