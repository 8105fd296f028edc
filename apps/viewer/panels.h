// The three on-screen panels and their buttons, the end dialog's layer, the knobs and the drawn
// cursor.
#pragma once

#include "panel_layout.h"
#include "trvx.h"

enum PanelNumber { kPlayPanel = 1, kViewPanel = 2, kInfoPanel = 3 };
enum PlayButton { kPhotoButton = 1, kStatusButton, kFastButton, kPauseButton, kStopButton, kVolumeButton };
enum ViewButton { kTargetButton = 6, kZoomButton = 7, kMapButton = 8 };
enum ButtonState { kIdle = 0, kPressed = 1, kHover = 2 };
const int kHiddenBase = -1;

// Reads the panels and the end dialog under the control master and places them.
void load_panels();
// A button's look: the state layer base + state on, the others off (base -1: all off).
void set_button_state(int panel, int button, int state);
void set_button_base(int panel, int button, int base);
int button_base(int panel, int button);
// The button shown pressed now and released again 200 ms later.
void press_with_release(int panel, int button);
// Runs a deferred release that has come due.
void run_due_release();
// Updates the hover highlight for the mouse.
void update_hover();
void forget_hover();
// Moves panel 1..3 by the mouse movement, kept inside the view.
void drag_panel(int panel, int dx, int dy);
// Layer origin of panel 1..3 in view coordinates.
void panel_origin_of(int panel, int *x, int *y);
// A layer of panel 1..3 (or of the end dialog for panel 0) by name; 0 when absent.
TRVXLAYER panel_part(int panel, const wchar_t *name);
TRVXLAYER end_dialog_layer();
// Knob positions along their gauges.
void place_volume_knob(int x);
void place_zoom_knob(int x);
// Shows, moves or hides the drawn cursor for the mouse and drive mode.
void update_cursor();
