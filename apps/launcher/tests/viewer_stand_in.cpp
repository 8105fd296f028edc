// Stands in for the viewer in the launcher's tests: notes the arguments and folder it was started
// with in viewer_started.txt and shows a window of the viewer's class for a few seconds.
#include <windows.h>

#include <stdio.h>

#include "product.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show)
{
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    if (FILE *note = _wfopen(L"viewer_started.txt", L"w")) {
        fprintf(note, "arguments=[%ls]\nfolder=[%ls]\n", arguments, folder);
        fclose(note);
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    windowClass.lpszClassName = HX21_VIEWER_CLASS;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(HX21_VIEWER_CLASS, L"viewer stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 150, 100,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    const DWORD end = GetTickCount() + 3000;
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(20);
    }
    return 0;
}
