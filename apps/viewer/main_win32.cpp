// The viewer's entry: run mode and settings, the window and its procedure, and the engine and
// sound start and end that the application thread asks the window thread for.
#include <wchar.h>

#include "benchmark.h"
#include "input.h"
#include "product.h"
#include "viewer.h"

namespace {

const wchar_t kClassName[] = HX21_VIEWER_CLASS;
const wchar_t kTitle[] = L"HX-21  " HX21_SUBTITLE;
const wchar_t kBenchmarkTitle[] = L"HX-21  " HX21_SUBTITLE L"　ベンチマークテスト";
const int kIconResource = 130;

void read_settings(const wchar_t *ini)
{
    Viewer &v = g_viewer;
    v.windowed = GetPrivateProfileIntW(L"FLIGHT", L"window", 1, ini) != 0;
    if (v.windowed) {
        v.screenWidth = usable_window_size((int)GetPrivateProfileIntW(L"WINDOW", L"xsize", 960, ini), 960);
        v.screenHeight = usable_window_size((int)GetPrivateProfileIntW(L"WINDOW", L"ysize", 600, ini), 600);
    } else {
        int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
        int w = (int)GetPrivateProfileIntW(L"FULLSCREEN", L"xsize", 0, ini);
        int h = (int)GetPrivateProfileIntW(L"FULLSCREEN", L"ysize", 0, ini);
        v.screenWidth = w == 0 ? screenW : usable_window_size(w, screenW);
        v.screenHeight = h == 0 ? screenH : usable_window_size(h, screenH);
    }
}

void engine_start()
{
    Viewer &v = g_viewer;
    SNR2_Start(v.window, 0);
    RECT view = {0, 0, v.screenWidth, v.screenHeight};
    DWORD flags = (DWORD)(v.windowed & 0xFF) | (DWORD)(v.antialias & 0xFF) << 8 | (DWORD)(v.anisotropy & 0xFF) << 16;
    v.ctx = TRVX_Start(v.window, &view, flags);
}

void engine_end()
{
    Viewer &v = g_viewer;
    if (v.ctx)
        TRVX_End(v.ctx);
    v.ctx = nullptr;
    SNR2_End();
}

void set_cursor()
{
    Viewer &v = g_viewer;
    if (!v.ctx) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return;
    }
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(v.window, &p);
    bool overView = p.x >= 0 && p.x < v.view.width && p.y >= 0 && p.y < v.view.height;
    SetCursor(!v.windowed || overView ? nullptr : LoadCursor(nullptr, IDC_ARROW));
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Viewer &v = g_viewer;
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(v.runMode == kRunViewer ? 0 : benchmark_exit_code());
        return 0;
    case WM_ACTIVATE:
        v.windowActive = !v.windowed || LOWORD(wParam) != WA_INACTIVE;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (!v.ctx && !benchmark_paint(dc)) {
            RECT black = {0, 0, 960, 600};
            FillRect(dc, &black, (HBRUSH)GetStockObject(BLACK_BRUSH));
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (v.runMode == kRunViewer) {
            if (v.ctx)
                v.closeRequested = 1;
        } else {
            v.textSpeed = 0;
            v.quitRequested = 1;
        }
        if (v.threadFinished)
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
        if (v.runMode != kRunViewer && wParam == VK_ESCAPE) {
            v.textSpeed = 0;
            v.quitRequested = 1;
        }
        if (v.ctx)
            note_press(press_code(wParam, lParam));
        if (message == WM_SYSKEYDOWN)
            break; // Alt+F4 and the system menu keep working
        return 0;
    case WM_LBUTTONDOWN:
        v.mouseDown = 1;
        v.textSpeed = 0;
        if (v.ctx)
            note_press(kMouseLeft);
        return 0;
    case WM_RBUTTONDOWN:
        if (v.ctx)
            note_press(kMouseRight);
        return 0;
    case WM_LBUTTONUP:
        v.mouseDown = 0;
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCommandEngineStart) {
            engine_start();
            return 0;
        }
        if (LOWORD(wParam) == kCommandEngineEnd) {
            engine_end();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND create_window(const wchar_t *title)
{
    Viewer &v = g_viewer;
    if (v.windowed) {
        DWORD style = WS_OVERLAPPED | WS_BORDER | WS_CAPTION | WS_SYSMENU;
        int width = v.screenWidth + 2 * GetSystemMetrics(SM_CXBORDER) + 4;
        int height = v.screenHeight + 2 * GetSystemMetrics(SM_CYBORDER) + 4 + GetSystemMetrics(SM_CYCAPTION);
        int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        return CreateWindowExW(0, kClassName, title, style, x, y, width, height, nullptr, nullptr, v.instance,
                               nullptr);
    }
    return CreateWindowExW(WS_EX_TOPMOST, kClassName, title, WS_POPUP, 0, 0, v.screenWidth, v.screenHeight, nullptr,
                           nullptr, v.instance, nullptr);
}

} // namespace

void send_engine_command(UINT command)
{
    SendMessageW(g_viewer.window, WM_COMMAND, command, 0);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    Viewer &v = g_viewer;
    v.instance = instance;
    GetModuleFileNameW(nullptr, v.programFolder, MAX_PATH);
    if (wchar_t *slash = wcsrchr(v.programFolder, L'\\'))
        slash[1] = 0;
    wchar_t ini[MAX_PATH + 16];
    swprintf(ini, MAX_PATH + 16, L"%lshx21app.ini", v.programFolder);

    const wchar_t *title = kTitle;
    while (*commandLine == L' ')
        ++commandLine;
    if (*commandLine && *commandLine != L'/') {
        // The name buffer holds 255 characters: a longer command line is cut there.
        wcsncpy(v.aircraft, commandLine, 255);
        v.aircraft[255] = 0;
        for (size_t n = wcslen(v.aircraft); n > 0 && v.aircraft[n - 1] == L' '; --n)
            v.aircraft[n - 1] = 0;
        read_settings(ini);
    } else if (benchmark_available()) {
        // Options begin with "/", which no aircraft folder name can.
        if (!benchmark_configure(commandLine))
            return 2;
        v.runMode = 1;
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

    v.window = create_window(title);
    if (!v.window)
        return 1;
    v.windowActive = 0;
    ShowWindow(v.window, SW_SHOW);
    UpdateWindow(v.window);

    HANDLE thread = CreateThread(nullptr, 0, application_thread, nullptr, 0, nullptr);
    if (!thread)
        return 1;
    CloseHandle(thread);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}
