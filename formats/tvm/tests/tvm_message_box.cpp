// Message boxes answered by the test itself: a CBT hook of the test's own thread sees each box
// when it is activated, reads its texts and presses OK.
#include "tvm_message_box.h"

static thread_local std::vector<CaughtBox> *t_boxes;

static BOOL CALLBACK read_child(HWND child, LPARAM data)
{
    CaughtBox *box = reinterpret_cast<CaughtBox *>(data);
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") != 0)
        return TRUE;
    if (GetWindowLongW(child, GWL_STYLE) & SS_ICON) {
        HICON icon = (HICON)SendMessageW(child, STM_GETICON, 0, 0);
        if (icon && icon == LoadIconW(nullptr, IDI_WARNING))
            box->warningIcon = true;
        return TRUE;
    }
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (text[0] && box->text.empty())
        box->text = text;
    return TRUE;
}

static LRESULT CALLBACK cbt_hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_boxes) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t cls[32] = {};
        GetClassNameW(window, cls, 32);
        if (lstrcmpW(cls, L"#32770") == 0) {
            CaughtBox box{};
            wchar_t caption[512] = {};
            GetWindowTextW(window, caption, 512);
            box.caption = caption;
            box.owner = GetWindow(window, GW_OWNER);
            EnumChildWindows(window, read_child, reinterpret_cast<LPARAM>(&box));
            t_boxes->push_back(box);
            // Off the screen the box closes at once; a visible one costs Wine seconds of waiting
            // for the display to map and unmap it.
            SetWindowPos(window, nullptr, -5000, -5000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

MessageBoxCatcher::MessageBoxCatcher()
{
    t_boxes = &boxes;
    hook_ = SetWindowsHookExW(WH_CBT, cbt_hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    t_boxes = nullptr;
}
