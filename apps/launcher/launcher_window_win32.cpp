// The launcher's window: fixed 960 x 600 client area, centred; Escape or closing stops the logo.
#include "launcher_local.h"

#include <algorithm>

#include "logo_timeline.h"
#include "product.h"

namespace {

const DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
SIZE g_outer;

LogoShared *shared_of(HWND window)
{
    return reinterpret_cast<LogoShared *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Waits for the animation thread to acknowledge a stop. Messages sent to this window meanwhile
// (the engine's device may send some while it closes) are still answered.
void stop_animation(LogoShared *shared)
{
    shared->stopRequested = true;
    while (shared->running) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_SENDMESSAGE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The launcher quits once the viewer shows its window, so that the user never sees an empty desktop.
void wait_for_viewer_window()
{
    for (int tries = 0; tries < 10; ++tries) {
        HWND viewer = FindWindowW(HX21_VIEWER_CLASS, nullptr);
        if (viewer && IsWindowVisible(viewer))
            return;
        Sleep(100);
    }
}

LRESULT CALLBACK launcher_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LogoShared *shared = shared_of(window);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
        break;
    case WM_WINDOWPOSCHANGING: {
        WINDOWPOS *position = reinterpret_cast<WINDOWPOS *>(lParam);
        position->cx = g_outer.cx;
        position->cy = g_outer.cy;
        return 0;
    }
    case WM_ERASEBKGND:
        if (shared && shared->running)
            return 1; // the engine paints the whole client area
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        if (shared && shared->running)
            stop_animation(shared);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (shared && shared->viewerStarted)
            wait_for_viewer_window();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HWND create_launcher_window(HINSTANCE instance, LogoShared *shared)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = launcher_proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(104));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = HX21_LAUNCHER_CLASS;
    if (!RegisterClassExW(&windowClass))
        return nullptr;

    // The frame as the system draws it, so that the client area is exactly the logo's 960 x 600.
    RECT frame = {0, 0, logo::kWindowWidth, logo::kWindowHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    g_outer = {frame.right - frame.left, frame.bottom - frame.top};
    // On a screen smaller than the window its caption stays reachable.
    const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - int(g_outer.cx)) / 2);
    const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - int(g_outer.cy)) / 2);
    HWND window = CreateWindowExW(0, HX21_LAUNCHER_CLASS, HX21_LAUNCHER_TITLE, kStyle, x, y, g_outer.cx, g_outer.cy,
                                  nullptr, nullptr, instance, shared);
    if (!window)
        return nullptr;
    shared->window = window;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}
