// Portable arithmetic of the viewer's screen: the 16:10 view inside the window, rectangles in view
// coordinates (centre origin, y up), panel clamping, and the photo file name.
#pragma once

#include <stdint.h>

struct ViewShape {
    int width, height; // pixels of the 16:10 view
    int left, top;     // offset of the view inside the client area
};

// The largest 16:10 view that fits a screen of w x h, centred (pillar-box or letter-box).
ViewShape view_shape(int screenWidth, int screenHeight);

// (left, top, right, bottom) with top > bottom, in view coordinates.
struct ViewRect {
    int left, top, right, bottom;
};

// True when (x, y) lies in [left, right) x (bottom, top].
bool rect_holds(const ViewRect &r, int x, int y);
ViewRect rect_moved(const ViewRect &r, int dx, int dy);
// The rectangle set against the edges of a w x h view that it would cross, keeping its size.
ViewRect rect_clamped_to_view(const ViewRect &r, int viewWidth, int viewHeight);

// Calendar fields of a local time, as a photo is named after them.
struct PhotoTime {
    int year, month, day, hour, minute, second;
};
// "YYMMDD_hhmmss.bmp" (year modulo 100) into `out` of `units` wide characters; the `n`th further photo
// of the same second is "YYMMDD_hhmmss_n.bmp".
void photo_file_name(const PhotoTime &t, int n, wchar_t *out, int units);

// Settings read from the ini file, brought into what a window can use: sizes below the smallest
// usable window or above the largest texture a driver can draw into fall back to the defaults.
int usable_window_size(int requested, int fallback);
