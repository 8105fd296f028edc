// Portable layout of the three on-screen panels: their frames, the origin of each panel's layer,
// the button rectangles, and the hit test that finds the button under the mouse.
#pragma once

#include "view_math.h"

const int kPanels = 3;
const int kButtonsPerPanel = 8;

struct PanelGeometry {
    ViewRect frame;          // view coordinates; moves when the panel is dragged
    int originX, originY;    // layer origin relative to the frame's top-left corner
    float depth;             // overlay depth, nearer the viewer when more negative
    ViewRect buttons[kButtonsPerPanel]; // relative to the layer origin; top = bottom = 0 ends the list
};

// Panel p (0-based) as modelled, before it is placed in a view.
PanelGeometry panel_initial(int p);
// Panel p placed where it first appears in a view of w x h.
PanelGeometry panel_placed(int p, int viewWidth, int viewHeight);
// The layer origin of a placed panel, view coordinates.
void panel_origin(const PanelGeometry &g, int *x, int *y);
// The panel moved by (dx, dy) and kept inside the view.
void panel_drag(PanelGeometry &g, int dx, int dy, int viewWidth, int viewHeight);

struct Hit {
    int panel;  // 1..3, 0 = none
    int button; // 1..8, 0 = the panel's background
};
// The first panel holding (x, y), and in it the first shown button (base >= 0) holding it.
// bases[p][b] is the base of panel p+1's button b+1.
Hit hit_test(const PanelGeometry panels[kPanels], const int bases[kPanels][kButtonsPerPanel], int x, int y);
