// The viewer's entry and window thread: the run mode from the command line, the settings, the
// window and its procedure, and the engine commands carried out for the application thread.
#include <wchar.h>

#include "bench/benchmark.h"
#include "engine_commands.h"
#include "input.h"
#include "product.h"
#include "run.h"
#include "trvx_profile_win32.h"
#include "viewer_state.h"

namespace {

const wchar_t kClassName[] = HX21_VIEWER_CLASS;
const wchar_t kTitle[] = L"HX-21  " HX21_SUBTITLE;
const wchar_t kBenchmarkTitle[] = L"HX-21  " HX21_SUBTITLE L"　ベンチマークテスト";
const int kIconResource = 130;
const int kBadOptionsExitCode = 2;
const int kNoWindowExitCode = 1;

void read_settings(const wchar_t *ini)
{
    DisplayRequest &d = g_display;
    d.windowed = GetPrivateProfileIntW(L"FLIGHT", L"window", 1, ini) != 0;
    if (d.windowed) {
        d.width = usable_window_size((int)GetPrivateProfileIntW(L"WINDOW", L"xsize", 960, ini), 960);
        d.height = usable_window_size((int)GetPrivateProfileIntW(L"WINDOW", L"ysize", 600, ini), 600);
    } else {
        int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
        int w = (int)GetPrivateProfileIntW(L"FULLSCREEN", L"xsize", 0, ini);
        int h = (int)GetPrivateProfileIntW(L"FULLSCREEN", L"ysize", 0, ini);
        d.width = w == 0 ? screenW : usable_window_size(w, screenW);
        d.height = h == 0 ? screenH : usable_window_size(h, screenH);
    }
}

void set_cursor()
{
    if (!g_run.ctx) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return;
    }
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(g_process.window, &p);
    bool overView = p.x >= 0 && p.x < g_run.view.width && p.y >= 0 && p.y < g_run.view.height;
    SetCursor(!g_display.windowed || overView ? nullptr : LoadCursor(nullptr, IDC_ARROW));
}

// Presses go to the engine's polling as missed-tap reports, while an engine runs.
void note(int code)
{
    if (g_run.ctx)
        note_press(code);
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ViewerProcess &p = g_process;
    if (p.benchmark)
        benchmark_window_message(message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(p.benchmark ? benchmark_exit_code() : 0);
        return 0;
    case WM_ACTIVATE:
        p.windowActive = !g_display.windowed || LOWORD(wParam) != WA_INACTIVE;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (!g_run.ctx && !(p.benchmark && benchmark_paint(dc))) {
            RECT black = {0, 0, 960, 600};
            FillRect(dc, &black, (HBRUSH)GetStockObject(BLACK_BRUSH));
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (!p.benchmark) {
            if (g_run.ctx)
                p.closeRequested = 1;
        } else {
            p.quitRequested = 1;
        }
        if (p.threadFinished)
            DestroyWindow(window);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            set_cursor();
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (p.benchmark && wParam == VK_ESCAPE)
            p.quitRequested = 1;
        note(press_code(wParam, lParam));
        if (message == WM_SYSKEYDOWN)
            break; // Alt+F4 and the system menu keep working
        return 0;
    case WM_LBUTTONDOWN:
        note(kMouseLeft);
        return 0;
    case WM_RBUTTONDOWN:
        note(kMouseRight);
        return 0;
    case WM_COMMAND:
        if (run_engine_command(wParam))
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND create_window(const wchar_t *title)
{
    const DisplayRequest &d = g_display;
    if (d.windowed) {
        DWORD style = WS_OVERLAPPED | WS_BORDER | WS_CAPTION | WS_SYSMENU;
        int width = d.width + 2 * GetSystemMetrics(SM_CXBORDER) + 4;
        int height = d.height + 2 * GetSystemMetrics(SM_CYBORDER) + 4 + GetSystemMetrics(SM_CYCAPTION);
        int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        return CreateWindowExW(0, kClassName, title, style, x, y, width, height, nullptr, nullptr,
                               g_process.instance, nullptr);
    }
    return CreateWindowExW(WS_EX_TOPMOST, kClassName, title, WS_POPUP, 0, 0, d.width, d.height, nullptr, nullptr,
                           g_process.instance, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    ViewerProcess &p = g_process;
    p.instance = instance;
    GetModuleFileNameW(nullptr, p.programFolder, MAX_PATH);
    if (wchar_t *slash = wcsrchr(p.programFolder, L'\\'))
        slash[1] = 0;
    wchar_t ini[MAX_PATH + 16];
    swprintf(ini, MAX_PATH + 16, L"%lshx21app.ini", p.programFolder);

    const wchar_t *title = kTitle;
    while (*commandLine == L' ')
        ++commandLine;
    if (*commandLine && *commandLine != L'/') {
        // The name buffer holds 255 characters: a longer command line is cut there.
        wcsncpy(p.aircraft, commandLine, 255);
        p.aircraft[255] = 0;
        for (size_t n = wcslen(p.aircraft); n > 0 && p.aircraft[n - 1] == L' '; --n)
            p.aircraft[n - 1] = 0;
        read_settings(ini);
    } else {
        // Options begin with "/", which no aircraft folder name can.
        if (!benchmark_configure(commandLine))
            return kBadOptionsExitCode;
        p.benchmark = true;
        title = kBenchmarkTitle;
    }

    WNDCLASSEXW wc = {sizeof wc};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    p.window = create_window(title);
    if (!p.window)
        return kNoWindowExitCode;
    p.windowActive = 0;
    ShowWindow(p.window, SW_SHOW);
    UpdateWindow(p.window);
    trvx_profile_mark("viewer.window");

    HANDLE thread = CreateThread(nullptr, 0, application_thread, nullptr, 0, nullptr);
    if (!thread)
        return kNoWindowExitCode;
    CloseHandle(thread);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}
