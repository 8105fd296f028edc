// Portable arithmetic of the viewer's screen.
#include "view_math.h"

#include <wchar.h>

ViewShape view_shape(int w, int h)
{
    ViewShape s;
    int letterHeight = w * 10 / 16;
    if (h < letterHeight) {
        s.width = h * 16 / 10;
        s.height = h;
        s.left = (w - s.width) / 2;
        s.top = 0;
    } else {
        s.width = w;
        s.height = letterHeight;
        s.left = 0;
        s.top = (h - letterHeight) / 2;
    }
    return s;
}

bool rect_holds(const ViewRect &r, int x, int y)
{
    return r.left <= x && x < r.right && r.bottom < y && y <= r.top;
}

ViewRect rect_moved(const ViewRect &r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

ViewRect rect_clamped_to_view(const ViewRect &r, int w, int h)
{
    int dx = 0, dy = 0;
    if (r.left < -w / 2)
        dx = -w / 2 - r.left;
    else if (r.right > w / 2)
        dx = w / 2 - r.right;
    if (r.top > h / 2)
        dy = h / 2 - r.top;
    else if (r.bottom < -h / 2)
        dy = -h / 2 - r.bottom;
    return rect_moved(r, dx, dy);
}

void photo_file_name(const PhotoTime &t, int n, wchar_t *out, int units)
{
    if (n == 0)
        swprintf(out, (size_t)units, L"%02d%02d%02d_%02d%02d%02d.bmp", t.year % 100, t.month, t.day, t.hour, t.minute,
                 t.second);
    else
        swprintf(out, (size_t)units, L"%02d%02d%02d_%02d%02d%02d_%d.bmp", t.year % 100, t.month, t.day, t.hour,
                 t.minute, t.second, n);
}

int usable_window_size(int requested, int fallback)
{
    const int smallest = 160, largest = 8192;
    return requested < smallest || requested > largest ? fallback : requested;
}
