// The progress gauge: the engine's own modeless "Now Processing" dialog, or the application's callback.
#include "render_local.h"

#include <commctrl.h>

namespace {

const int kGaugeDialog = 1000;
const int kGaugeBar = 1001;

void centre_on_screen(HWND dialog)
{
    RECT r;
    GetWindowRect(dialog, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog keeps no engine state: TRVX_CloseGage forgets the window when it asks it to end.
INT_PTR CALLBACK gauge_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        centre_on_screen(dialog);
        SendDlgItemMessageW(dialog, kGaugeBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageW(dialog, kGaugeBar, PBM_SETPOS, 0, 0);
        return TRUE;
    case WM_NOTIFY:
        // The engine posts the percentage with no notification header; real notifications carry one.
        if (lParam == 0) {
            SendDlgItemMessageW(dialog, kGaugeBar, PBM_SETPOS, wParam, 0);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

// The progress dialog's window, or null when a callback reports the progress instead (or the
// dialog could not be made).
HWND WINAPI TRVX_OpenGage(TRVXCONTEXT ctx, const wchar_t *caption, TRVXGAUGECALLBACK callback)
{
    if (!ctx)
        return nullptr;
    copy_text(ctx->gaugeCaption, ARRAYSIZE(ctx->gaugeCaption), caption ? caption : L"");
    ctx->gaugePercent = 100;
    if (callback) {
        ctx->gaugeCallback = (void *)callback;
        return nullptr;
    }
    if (!ctx->gaugeWindow) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        ctx->gaugeWindow = CreateDialogParamW(engine_module(), MAKEINTRESOURCEW(kGaugeDialog), ctx->window,
                                              gauge_proc, 0);
        if (!ctx->gaugeWindow)
            return nullptr;
        ShowWindow(ctx->gaugeWindow, SW_SHOWNOACTIVATE);
    }
    if (caption)
        SetWindowTextW(ctx->gaugeWindow, ctx->gaugeCaption);
    return ctx->gaugeWindow;
}

// Shows `percent` (at most 100) when it differs from the last value shown.
void WINAPI TRVX_SetGage(TRVXCONTEXT ctx, DWORD percent)
{
    if (!ctx)
        return;
    if (percent > 100)
        percent = 100;
    if (percent != ctx->gaugePercent) {
        if (ctx->gaugeWindow) {
            PostMessageW(ctx->gaugeWindow, WM_NOTIFY, percent, 0);
            TRVX_SystemTask(ctx);
        } else if (ctx->gaugeCallback) {
            ((TRVXGAUGECALLBACK)ctx->gaugeCallback)(ctx, ctx->gaugeCaption, percent);
        }
    }
    ctx->gaugePercent = percent;
}

// Ends the dialog (or forgets the callback) and clears the caption.
void WINAPI TRVX_CloseGage(TRVXCONTEXT ctx)
{
    if (!ctx)
        return;
    if (ctx->gaugeWindow) {
        PostMessageW(ctx->gaugeWindow, WM_COMMAND, IDOK, 0);
        TRVX_SystemTask(ctx);
        ctx->gaugeWindow = nullptr;
    } else {
        ctx->gaugeCallback = nullptr;
    }
    ctx->gaugeCaption[0] = 0;
}

void services_end(tagTRVX *ctx)
{
    TRVX_EndAvi(ctx);
    if (ctx->gaugeWindow)
        DestroyWindow(ctx->gaugeWindow);
    ctx->gaugeWindow = nullptr;
    ctx->gaugeCallback = nullptr;
}
