// The benchmark's GDI screens, drawn by the application thread; the window thread repaints the page
// from the same bitmap, which only this file writes.
#include "bench_page.h"

#include <atomic>

#include "viewer_ops.h"

namespace bench {

namespace {

const int kPageWidth = 960, kPageHeight = 600;
const int kButtonWidth = 120, kButtonHeight = 36;
const RECT kButtons[2] = {{686, 547, 806, 583}, {819, 547, 939, 583}};
const RECT kRowArea = {120, 290, 500, 370};
const int kRowHeight = 20;
const int kPollMs = 50;

// The page: a DIB section selected into a memory DC. The window thread copies it on repaints while
// the application thread draws into it or frees it, so every use of the DC holds the page lock.
struct PageSection {
    PageSection() { InitializeCriticalSection(&section); }
    CRITICAL_SECTION section;
};
PageSection g_pageSection;
HDC g_pageDC;
HBITMAP g_page, g_pageOld;
int g_charDelay = 1000 / 30; // ms before each typewriter step; every text call sets it for the next

struct PageLock {
    PageLock() { EnterCriticalSection(&g_pageSection.section); }
    ~PageLock() { LeaveCriticalSection(&g_pageSection.section); }
};

const int kTypewriterSteps = 30; // characters a second at the normal text speed
const int kNormalTextSpeed = 1000;
std::atomic<int> g_textSpeed{kNormalTextSpeed};

bool quitting() { return viewer::quit_requested(); }

// The button presses as the window's own messages report them: written by the window thread, read
// by the buttons. A click is a press and a release on this window, which only comes when the window
// lies in front where it was pressed; both positions are kept.
struct PageMouse {
    std::atomic<bool> down{false};
    std::atomic<LONG> downX{-1}, downY{-1};
    std::atomic<int> clicks{0};      // completed clicks, counted by the window thread
    std::atomic<LONG> upX{-1}, upY{-1}; // where the last one was released
};
PageMouse g_mouse;

POINT point_of(LPARAM lParam) { return {(short)LOWORD(lParam), (short)HIWORD(lParam)}; }

// The default GUI font's size and look, but asked for the Japanese character set: outside Japanese
// Windows the stock font itself has no kana or kanji.
HFONT screen_font() {
    static HFONT font = [] {
        LOGFONTW look = {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof look, &look);
        if (look.lfCharSet != SHIFTJIS_CHARSET) {
            look.lfCharSet = SHIFTJIS_CHARSET;
            look.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
            look.lfFaceName[0] = 0;
        }
        HFONT made = CreateFontIndirectW(&look);
        return made ? made : (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    }();
    return font;
}

void draw_line(HDC dc, int x, int y, COLORREF colour, const wchar_t *text, int length, bool bold) {
    HGDIOBJ oldFont = SelectObject(dc, screen_font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text, length);
    if (bold)
        TextOutW(dc, x + 1, y, text, length);
    SelectObject(dc, oldFont);
}

// The window's DC for one screen call, and the page shown on it.
class Canvas {
public:
    Canvas() : window_(viewer::window()), windowDC_(GetDC(window_)) {}
    ~Canvas() { ReleaseDC(window_, windowDC_); }
    // Draws a line on the page, or on the window when there is none.
    void line(int x, int y, COLORREF colour, const wchar_t *text, int length, bool bold) {
        PageLock lock;
        draw_line(g_pageDC ? g_pageDC : windowDC_, x, y, colour, text, length, bold);
    }
    void show() {
        PageLock lock;
        if (g_pageDC)
            BitBlt(windowDC_, 0, 0, kPageWidth, kPageHeight, g_pageDC, 0, 0, SRCCOPY);
    }
    HDC window() const { return windowDC_; }

private:
    HWND window_;
    HDC windowDC_;
};

} // namespace

void page_fill_black() {
    HWND window = viewer::window();
    HDC dc = GetDC(window);
    RECT page = {0, 0, kPageWidth, kPageHeight};
    FillRect(dc, &page, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(window, dc);
}

int text_speed() { return g_textSpeed; }
void set_text_speed(int ms) { g_textSpeed = ms; }

void page_window_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        g_textSpeed = 0;
        POINT p = point_of(lParam);
        g_mouse.downX = p.x;
        g_mouse.downY = p.y;
        g_mouse.down = true;
        SetCapture(window); // a release outside the window is seen, and is no click
        break;
    }
    case WM_LBUTTONUP:
        if (g_mouse.down.exchange(false)) {
            POINT p = point_of(lParam);
            g_mouse.upX = p.x;
            g_mouse.upY = p.y;
            ++g_mouse.clicks;
            ReleaseCapture();
        }
        break;
    case WM_CAPTURECHANGED:
    case WM_ACTIVATE:
        if (message == WM_CAPTURECHANGED || LOWORD(wParam) == WA_INACTIVE)
            g_mouse.down = false;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            g_textSpeed = 0;
        break;
    case WM_CLOSE:
        g_textSpeed = 0;
        break;
    default:
        break;
    }
}

namespace {

bool inside(const RECT &r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The pointer in client pixels while it lies over this window itself (for the buttons' hover look
// only), else far outside.
POINT pointer_over(HWND window) {
    POINT p;
    if (!GetCursorPos(&p) || WindowFromPoint(p) != window)
        return {-1, -1};
    ScreenToClient(window, &p);
    return p;
}

void wait_unless(int ms, bool textWait) {
    DWORD start = GetTickCount();
    while (!quitting() && !(textWait && g_textSpeed == 0) && (int)(GetTickCount() - start) < ms)
        Sleep(ms < 10 ? ms : 10);
}

} // namespace

void screen_wait(int ms) { wait_unless(ms, true); }
void screen_pause(int ms) { wait_unless(ms, false); }

void screen_free() {
    PageLock lock;
    if (g_pageDC) {
        SelectObject(g_pageDC, g_pageOld);
        DeleteDC(g_pageDC);
        DeleteObject(g_page);
    }
    g_pageDC = nullptr;
    g_page = nullptr;
}

void screen_load(const wchar_t *path, bool unattended) {
    screen_free();
    HBITMAP bitmap = (HBITMAP)LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (bitmap) {
        HDC dc = CreateCompatibleDC(nullptr);
        PageLock lock;
        g_page = bitmap;
        g_pageDC = dc;
        g_pageOld = (HBITMAP)SelectObject(dc, bitmap);
    }
    if (!quitting() && !unattended)
        g_textSpeed = kNormalTextSpeed;
    Canvas canvas;
    if (!g_pageDC)
        page_fill_black();
    canvas.show();
    screen_wait(g_textSpeed);
}

void screen_text(int x, int y, COLORREF colour, const std::u16string &text, TextPace pace, bool bold) {
    const wchar_t *chars = reinterpret_cast<const wchar_t *>(text.c_str());
    int length = (int)text.size();
    Canvas canvas;
    if (pace == kPaceTypewriter) {
        // Each step draws the grown line again: transparent text over itself looks the same.
        for (int shown = 1; shown <= length; ++shown) {
            screen_wait(g_charDelay);
            canvas.line(x, y, colour, chars, shown, bold);
            canvas.show();
        }
    } else {
        if (pace == kPaceLine)
            screen_wait(g_charDelay);
        canvas.line(x, y, colour, chars, length, bold);
        canvas.show();
    }
    g_charDelay = g_textSpeed / kTypewriterSteps;
}

int screen_text_width(const std::u16string &text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, screen_font());
    SIZE size = {};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t *>(text.c_str()), (int)text.size(), &size);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    return size.cx;
}

bool screen_paint(HDC dc) {
    PageLock lock;
    if (!g_pageDC)
        return false;
    BitBlt(dc, 0, 0, kPageWidth, kPageHeight, g_pageDC, 0, 0, SRCCOPY);
    return true;
}

int screen_buttons(bool rowChoice) {
    Canvas canvas;
    int choice = kChoiceNone;
    int clicksSeen = g_mouse.clicks;
    while (choice == kChoiceNone && !quitting()) {
        POINT at = pointer_over(viewer::window());
        POINT down = {g_mouse.downX, g_mouse.downY};
        bool held = g_mouse.down;
        bool clicked = g_mouse.clicks != clicksSeen;
        clicksSeen = g_mouse.clicks;
        POINT up = {g_mouse.upX, g_mouse.upY};
        for (int b = 0; b < 2; ++b) {
            const RECT &r = kButtons[b];
            bool over = inside(r, at);
            int look = over ? (held && inside(r, down) ? 2 : 1) : 0;
            if (clicked && inside(r, down) && inside(r, up))
                choice = kChoiceStart + b;
            PageLock lock;
            if (g_pageDC)
                BitBlt(canvas.window(), r.left, r.top, kButtonWidth, kButtonHeight, g_pageDC, look * kButtonWidth,
                       kPageHeight + b * kButtonHeight, SRCCOPY);
        }
        if (choice == kChoiceNone && rowChoice && clicked && inside(kRowArea, down) && inside(kRowArea, up) &&
            (down.y - kRowArea.top) / kRowHeight == (up.y - kRowArea.top) / kRowHeight) {
            int row = (up.y - kRowArea.top) / kRowHeight;
            RECT band = {116, 286 + kRowHeight * row, 496, 306 + kRowHeight * row};
            InvertRect(canvas.window(), &band);
            choice = kChoiceRow + row;
        }
        if (choice != kChoiceNone) {
            Sleep(200);
            canvas.show();
            Sleep(200);
        } else {
            Sleep(kPollMs);
        }
    }
    page_fill_black();
    return quitting() ? kChoiceNone : choice;
}

} // namespace bench
