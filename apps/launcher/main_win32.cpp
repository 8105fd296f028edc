// hx-21: the program the user starts. One copy at a time; DirectX 9 or later required; plays the
// engine's logo and then starts the viewer's benchmark.
#include "launcher_local.h"

#include <commctrl.h>

#include "product.h"
#include "trvx_profile_win32.h"

namespace {

// Found a running launcher: bring it to the user.
bool raise_running_launcher()
{
    HWND running = FindWindowW(HX21_LAUNCHER_CLASS, nullptr);
    if (!running)
        return false;
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    else
        BringWindowToTop(running);
    SetForegroundWindow(running);
    return true;
}

// The logo's files and the viewer lie beside the program, wherever it was started from.
void work_in_program_folder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    wchar_t *slash = wcsrchr(path, L'\\');
    if (!slash)
        return;
    *slash = 0;
    SetCurrentDirectoryW(path);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (raise_running_launcher())
        return -1;
    // Two launchers started together: the second waits briefly for the first one's window.
    HANDLE oneCopy = CreateMutexW(nullptr, FALSE, L"Local\\HX-21 launcher");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        for (int tries = 0; tries < 50 && !raise_running_launcher(); ++tries)
            Sleep(100);
        return -1;
    }
    work_in_program_folder();
    // The manifest asks for the themed controls; their library must be loaded before a dialog uses them.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const DirectXFacts directx = probe_directx();
    if (!directx_sufficient(directx)) {
        show_directx_dialog(instance, directx);
        return -1;
    }

    LogoShared shared;
    if (!create_launcher_window(instance, &shared))
        return -1;
    trvx_profile_mark("launcher.window");
    start_logo_animation(&shared);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (oneCopy)
        CloseHandle(oneCopy);
    return static_cast<int>(message.wParam);
}
