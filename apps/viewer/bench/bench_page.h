// The benchmark's GDI screens: a menu bitmap as the page, lines of text drawn into it with the
// typewriter timing, and the two menu buttons whose pictures lie in the bitmap below the page.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

// Choices of the menu buttons; rows of the explanation screen are kChoiceRow + row.
enum Choice { kChoiceNone = 0, kChoiceStart = 1, kChoiceSecond = 2, kChoiceRow = 10 };

// Window thread: the window's mouse and key messages, from which alone the buttons take their
// clicks; any click or quit request also hurries the text.
void page_window_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Fills the page area of the window black.
void page_fill_black();
// The text speed: the typewriter delay base in ms (1000, or 0 once the user clicks or quits).
int text_speed();
void set_text_speed(int ms);
// Loads a menu bitmap (a .bmp file) as the current page, sets the text speed to 1000 (unless the
// run is unattended or quitting), shows the page and waits text-speed ms. Without the file the page
// is black and the texts are still drawn.
void screen_load(const wchar_t *path, bool unattended);
// Frees the page; repaints show black again.
void screen_free();
// How a line appears: at once, after one per-character delay, or one character per delay.
enum TextPace { kPaceNone, kPaceLine, kPaceTypewriter };

// Draws a line at client (x, y) in `colour` (0x00BBGGRR) with the default GUI font; bold draws it
// again one pixel to the right.
void screen_text(int x, int y, COLORREF colour, const std::u16string &text, TextPace pace = kPaceLine,
                 bool bold = false);
// Width in pixels of a line in the screens' font.
int screen_text_width(const std::u16string &text);
// A text wait: ends at once when the user clicks (text speed 0) or asks to quit.
void screen_wait(int ms);
// A fixed wait between screens: ends early only when the user asks to quit.
void screen_pause(int ms);
// Copies the page to a device context; false when no page is loaded (the window paints black).
bool screen_paint(HDC dc);
// Runs the two menu buttons (and the explanation's four rows) until one is chosen or quit is
// requested; ends with the page area black. A choice is a press and release of the left button
// inside the same button (or row), as this window's own messages report them: a click on another
// window lying over a button presses nothing.
int screen_buttons(bool rowChoice);

} // namespace bench
