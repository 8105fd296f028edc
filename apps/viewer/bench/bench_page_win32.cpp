// The benchmark's GDI screens, drawn by the application thread; the window thread repaints the page
// from the same bitmap, which only this file writes.
#include "bench_screen_win.h"

#include "viewer.h"

namespace bench {

namespace {

const int kPageWidth = 960, kPageHeight = 600;
const int kButtonWidth = 120, kButtonHeight = 36;
const RECT kButtons[2] = {{686, 547, 806, 583}, {819, 547, 939, 583}};
const RECT kRowArea = {120, 290, 500, 370};
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

bool quitting() { return g_viewer.quitRequested != 0; }

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
    Canvas() : window_(g_viewer.window), windowDC_(GetDC(window_)) {}
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

void fill_page_black() {
    HWND window = g_viewer.window;
    HDC dc = GetDC(window);
    RECT page = {0, 0, kPageWidth, kPageHeight};
    FillRect(dc, &page, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(window, dc);
}

bool inside(const RECT &r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

void wait_unless(int ms, bool textWait) {
    DWORD start = GetTickCount();
    while (!quitting() && !(textWait && g_viewer.textSpeed == 0) && (int)(GetTickCount() - start) < ms)
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
        g_viewer.textSpeed = 1000;
    Canvas canvas;
    if (!g_pageDC)
        fill_page_black();
    canvas.show();
    screen_wait(g_viewer.textSpeed);
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
    g_charDelay = g_viewer.textSpeed / 30;
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
    Viewer &v = g_viewer;
    Canvas canvas;
    int choice = kChoiceNone;
    while (choice == kChoiceNone && !quitting()) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(v.window, &p);
        bool down = v.mouseDown.exchange(0) != 0 || (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
        for (int b = 0; b < 2; ++b) {
            bool over = inside(kButtons[b], p);
            int look = over ? (down ? 2 : 1) : 0;
            if (over && down)
                choice = kChoiceStart + b;
            PageLock lock;
            if (g_pageDC)
                BitBlt(canvas.window(), kButtons[b].left, kButtons[b].top, kButtonWidth, kButtonHeight, g_pageDC,
                       look * kButtonWidth, kPageHeight + b * kButtonHeight, SRCCOPY);
        }
        if (choice == kChoiceNone && rowChoice && down && inside(kRowArea, p)) {
            int row = (p.y - kRowArea.top) / 20;
            RECT band = {116, 286 + 20 * row, 496, 306 + 20 * row};
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
    fill_page_black();
    return quitting() ? kChoiceNone : choice;
}

} // namespace bench
