// Portable layout of the on-screen panels.
#include "panel_layout.h"

PanelGeometry panel_initial(int p)
{
    static const PanelGeometry panels[kPanels] = {
        {{-150, 12, 150, -12}, 150, -12, -0.5f,
         {{-150, 12, -106, -12}, {1, 1, 1, 1}, {-41, 8, -14, -8}, {-10, 8, 17, -8}, {21, 7, 48, -8},
          {52, 6, 144, -9}}},
        {{-190, 12, 190, -12}, 190, -12, -0.3f,
         {{-185, 12, -150, -6}, {-148, 12, -113, -6}, {-111, 12, -76, -6}, {-74, 12, -39, -6}, {-37, 12, -2, -6},
          {21, 7, 48, -9}, {60, 6, 152, -9}, {167, 7, 183, -8}}},
        {{-256, 64, 256, -24}, 256, -64, -0.1f, {}},
    };
    return panels[p];
}

PanelGeometry panel_placed(int p, int w, int h)
{
    PanelGeometry g = panel_initial(p);
    int x = 0, y = 0;
    switch (p) {
    case 0: x = 160 - w / 2, y = 22 - h / 2; break;
    case 1: x = w / 2 - 200, y = 22 - h / 2; break;
    default: x = 266 - w / 2, y = h / 2 - 74; break;
    }
    g.frame = rect_moved(g.frame, x, y);
    return g;
}

void panel_origin(const PanelGeometry &g, int *x, int *y)
{
    *x = g.frame.left + g.originX;
    *y = g.frame.top + g.originY;
}

void panel_drag(PanelGeometry &g, int dx, int dy, int w, int h)
{
    g.frame = rect_clamped_to_view(rect_moved(g.frame, dx, dy), w, h);
}

Hit hit_test(const PanelGeometry panels[kPanels], const int bases[kPanels][kButtonsPerPanel], int x, int y)
{
    for (int p = 0; p < kPanels; ++p) {
        const PanelGeometry &g = panels[p];
        if (!rect_holds(g.frame, x, y))
            continue;
        int ox, oy;
        panel_origin(g, &ox, &oy);
        for (int b = 0; b < kButtonsPerPanel; ++b) {
            const ViewRect &r = g.buttons[b];
            if (r.top == 0 && r.bottom == 0)
                break;
            if (bases[p][b] >= 0 && rect_holds(rect_moved(r, ox, oy), x, y))
                return {p + 1, b + 1};
        }
        return {p + 1, 0};
    }
    return {0, 0};
}
