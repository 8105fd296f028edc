// Shared pieces of the driver's demonstration and benchmark programs (see d3d9_program_support.h).
#include "d3d9_program_support.h"

#include <d3d9.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

DemoOptions parse_options(int argc, char **argv)
{
    DemoOptions o;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--seconds"))
            o.seconds = atof(argv[i + 1]);
        else if (!strcmp(argv[i], "--screenshot"))
            o.screenshot = argv[i + 1];
        else if (!strcmp(argv[i], "--frames"))
            o.frames = atoi(argv[i + 1]) > 0 ? atoi(argv[i + 1]) : o.frames;
        else if (!strcmp(argv[i], "--boxes"))
            o.boxes = atoi(argv[i + 1]) > 0 ? atoi(argv[i + 1]) : 0;
        else if (!strcmp(argv[i], "--size") && sscanf(argv[i + 1], "%dx%d", &o.width, &o.height) != 2)
            o.width = 640, o.height = 480;
    }
    if (o.width < 64 || o.height < 64 || o.width > 4096 || o.height > 4096)
        o.width = 640, o.height = 480;
    return o;
}

static bool s_closed;

static LRESULT CALLBACK program_window_proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_CLOSE) {
        s_closed = true;
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

HWND open_program_window(const wchar_t *title, int width, int height)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = program_window_proc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = L"VDRD3D9PROGRAM";
    RegisterClassW(&wc);
    RECT r = {0, 0, width, height};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    HWND w = CreateWindowW(L"VDRD3D9PROGRAM", title, style, 0, 0, r.right - r.left, r.bottom - r.top, NULL, NULL,
                           GetModuleHandleW(NULL), NULL);
    SetForegroundWindow(w);
    return w;
}

bool program_window_open(HWND window)
{
    MSG m;
    while (PeekMessageW(&m, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return !s_closed && IsWindow(window);
}

TRVXCONTEXT start_program_engine(const wchar_t *title, const DemoOptions &options, HWND *window)
{
    *window = open_program_window(title, options.width, options.height);
    RECT view = {0, 0, options.width, options.height};
    TRVXCONTEXT ctx = TRVX_Start(*window, &view, 1);
    if (!ctx)
        fprintf(stderr, "%ls: the engine could not start its graphics driver\n", title);
    return ctx;
}

void set_ambient_and_sun(TRVXCONTEXT ctx, uint32_t ambient, TRVXVECTOR direction, uint32_t sun)
{
    tagTRVXLIGHT light = {};
    light.kind = TRVX_LIGHT_AMBIENT;
    light.diffuse = ambient;
    TRVX_SetLight(ctx, 0, &light);
    light.kind = TRVX_LIGHT_DIRECTIONAL;
    light.direction = direction;
    light.diffuse = sun;
    TRVX_SetLight(ctx, 1, &light);
}

int save_back_buffer(TRVXCONTEXT ctx, const char *fileName)
{
    // The driver keeps its device in the second pointer-sized word of driverPrivate.
    IDirect3DDevice9 *device = (IDirect3DDevice9 *)((DWORD_PTR *)ctx->driverPrivate)[1];
    IDirect3DSurface9 *target = 0, *copy = 0;
    int ok = 0;
    if (!device || FAILED(device->GetRenderTarget(0, &target)))
        return 0;
    D3DSURFACE_DESC desc;
    target->GetDesc(&desc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = (LONG)desc.Width;
    info.bmiHeader.biHeight = -(LONG)desc.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = 0;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    D3DLOCKED_RECT lr;
    if (bitmap &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy, NULL)) &&
        SUCCEEDED(device->GetRenderTargetData(target, copy)) && SUCCEEDED(copy->LockRect(&lr, NULL, D3DLOCK_READONLY))) {
        for (UINT y = 0; y < desc.Height; ++y)
            memcpy((uint8_t *)bits + (size_t)y * desc.Width * 4, (uint8_t *)lr.pBits + (size_t)y * lr.Pitch, desc.Width * 4);
        copy->UnlockRect();
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, fileName, -1, wide, MAX_PATH);
        ok = TRVX_WriteBitmap(ctx, wide, bitmap);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (copy)
        copy->Release();
    target->Release();
    return ok;
}
