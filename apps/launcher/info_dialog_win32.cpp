// The information dialog for a PC without DirectX 9: the reason, a link to the installation help and
// a close button. Its template "DIALOG" is in launcher.rc; the texts are set here.
#include "launcher_local.h"

#include <shellapi.h>

#include "product.h"

namespace {

const int kCloseButton = 1001, kHelpLink = 1002;
const COLORREF kLinkBlue = 0xFF0000, kLinkVisited = 0x800080;

struct DialogState {
    const DirectXFacts *facts;
    HFONT textFont, linkFont;
    bool visited;
};

// Japanese texts need a Japanese face: the dialog's own font has no such glyphs on a system set up
// for another language.
HFONT japanese_font(int weight, BOOL underline)
{
    return CreateFontW(-12, 0, 0, 0, weight, FALSE, underline, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
}

void open_help_page(HWND dialog)
{
    const wchar_t *page = HX21_DIRECTX_HELP_PAGE;
    wchar_t parameters[512];
    wsprintfW(parameters, L"-new %s", page);
    // Without that browser (current Windows may not have it) the user's default browser opens the page.
    if ((INT_PTR)ShellExecuteW(dialog, L"open", L"iexplore.exe", parameters, nullptr, SW_SHOWNORMAL) <= 32)
        ShellExecuteW(dialog, L"open", page, nullptr, nullptr, SW_SHOWNORMAL);
}

void set_up(HWND dialog, DialogState *state)
{
    SetWindowTextW(dialog, L"情報");
    SetDlgItemTextW(dialog, kCloseButton, L"閉じる");
    SetDlgItemTextW(dialog, kHelpLink, L"DirectX9.0cのインストール手順");

    RECT client;
    GetClientRect(dialog, &client);
    const std::wstring message = directx_message(*state->facts);
    HWND text = CreateWindowExW(0, L"STATIC", message.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 15, 10,
                                client.right - 30, 40, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
    state->textFont = japanese_font(FW_NORMAL, FALSE);
    if (state->textFont) {
        SendMessageW(text, WM_SETFONT, (WPARAM)state->textFont, FALSE);
        SendDlgItemMessageW(dialog, kCloseButton, WM_SETFONT, (WPARAM)state->textFont, FALSE);
    }
    state->linkFont = japanese_font(FW_BOLD, TRUE);
    if (state->linkFont)
        SendDlgItemMessageW(dialog, kHelpLink, WM_SETFONT, (WPARAM)state->linkFont, FALSE);
}

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState *state = reinterpret_cast<DialogState *>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        set_up(dialog, reinterpret_cast<DialogState *>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (state && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kHelpLink) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, state->visited ? kLinkVisited : kLinkBlue);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_3DFACE));
        }
        return FALSE;
    case WM_SETCURSOR:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == kHelpLink) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kHelpLink:
            if (HIWORD(wParam) == STN_CLICKED && state) {
                open_help_page(dialog);
                state->visited = true;
                InvalidateRect(GetDlgItem(dialog, kHelpLink), nullptr, TRUE);
            }
            return TRUE;
        case kCloseButton:
        case IDCANCEL:
            EndDialog(dialog, kCloseButton);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

void show_directx_dialog(HINSTANCE instance, const DirectXFacts &facts)
{
    DialogState state = {&facts, nullptr, nullptr, false};
    DialogBoxParamW(instance, L"DIALOG", nullptr, dialog_proc, reinterpret_cast<LPARAM>(&state));
    for (HFONT font : {state.textFont, state.linkFont})
        if (font)
            DeleteObject(font);
}
