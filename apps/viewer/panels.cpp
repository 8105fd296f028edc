// The on-screen panels, their buttons, the knobs and the drawn cursor.
#include "panels.h"

#include <wchar.h>

#include "input.h"
#include "layers.h"
#include "platform.h"
#include "scene.h"
#include "viewer_state.h"

namespace {

const int kStatesPerButton = 6;
const double kReleaseDelayMs = 200;

struct Button {
    TRVXLAYER states[kStatesPerButton];
    int base;
    int state;
};

struct Panel {
    TRVXLAYER layer;
    PanelGeometry geometry;
    Button buttons[kButtonsPerPanel];
};

Panel g_panels[kPanels];
int g_bases[kPanels][kButtonsPerPanel];
TRVXLAYER g_endDialog, g_volumeKnob, g_zoomKnob;

const wchar_t *const kPanelFiles[kPanels] = {L"etc\\play_panel\\play_panel.tvm", L"etc\\view_panel\\view_panel.tvm",
                                             L"etc\\atc_window\\atc_window.tvm"};

// State layer names per button; nullptr for "no layer" inside a list, the list ends early when
// fewer than six are named.
struct ButtonNames {
    int panel, button;
    const wchar_t *names[kStatesPerButton];
};
const ButtonNames kButtonNames[] = {
    {1, 1, {L"camera_on", L"camera_off", L"camera_up"}},
    {1, 2, {L"status_rec", L"status_play", L"status_pause"}},
    {1, 3, {L"fast_on", L"fast_off", L"fast_up"}},
    {1, 4, {L"pause_on", L"pause_off", L"pause_up", L"play_on", L"play_off", L"play_up"}},
    {1, 5, {L"stop_on", L"stop_off", L"stop_up"}},
    {1, 6, {L"volume_gauge_on", nullptr, L"volume_gauge_up"}},
    {2, 6, {L"viw_untarget_on", L"viw_untarget_off", L"viw_untarget_up", L"viw_target_on", L"viw_target_off",
            L"viw_target_up"}},
    {2, 7, {L"target_gauge_on", nullptr, L"target_gauge_up"}},
    {2, 8, {L"view_map_out_on", L"view_map_out_off", L"view_map_out_up", L"view_map_in_on", L"view_map_in_off",
            L"view_map_in_up"}},
};

Button &button_at(int panel, int button)
{
    return g_panels[panel - 1].buttons[button - 1];
}

void show_look(Button &b)
{
    for (int i = 0; i < kStatesPerButton; ++i)
        switch_layer(b.states[i], b.base >= 0 && i == b.base + b.state);
}

void place_panel_layer(int p)
{
    Panel &panel = g_panels[p];
    int x, y;
    panel_origin(panel.geometry, &x, &y);
    Vec3 at = {(float)x, (float)y, panel.geometry.depth};
    move_layer(panel.layer, &at, nullptr);
}

void find_buttons(int p)
{
    Panel &panel = g_panels[p];
    for (const ButtonNames &names : kButtonNames)
        if (names.panel == p + 1)
            for (int i = 0; i < kStatesPerButton; ++i)
                if (names.names[i])
                    panel.buttons[names.button - 1].states[i] = find_layer(panel.layer, names.names[i]);
    if (p == 1)
        for (int b = 0; b < 5; ++b) {
            wchar_t name[3][16];
            wchar_t letter = (wchar_t)(L'a' + b);
            swprintf(name[0], 16, L"tb_off_%lc", letter);
            swprintf(name[1], 16, L"tb_off_up_%lc", letter);
            swprintf(name[2], 16, L"tb_on_%lc", letter);
            wchar_t onUp[16];
            swprintf(onUp, 16, L"tb_on_up_%lc", letter);
            TRVXLAYER *states = panel.buttons[b].states;
            states[0] = find_layer(panel.layer, name[0]);
            states[1] = states[2] = find_layer(panel.layer, name[1]);
            states[3] = find_layer(panel.layer, name[2]);
            states[4] = states[5] = find_layer(panel.layer, onUp);
        }
}

} // namespace

void load_panels()
{
    TRVXCONTEXT ctx = g_run.ctx;
    TRVXLAYER master = g_scene.controlMaster;
    TRVXLAYER control = master ? TRVXL_CreateLayer(ctx, master, L"Control") : nullptr;
    const ViewShape &view = g_run.view;
    for (int p = 0; p < kPanels; ++p) {
        Panel &panel = g_panels[p];
        panel = Panel{};
        panel.layer = control ? TRVXL_ReadLayer(ctx, control, kPanelFiles[p]) : nullptr;
        panel.geometry = panel_placed(p, view.width, view.height);
        place_panel_layer(p);
        find_buttons(p);
        for (int b = 0; b < kButtonsPerPanel; ++b) {
            g_bases[p][b] = 0;
            show_look(panel.buttons[b]);
        }
    }
    g_volumeKnob = panel_part(kPlayPanel, L"play_volume");
    g_zoomKnob = panel_part(kViewPanel, L"target_volume");
    g_endDialog = master ? TRVXL_ReadLayer(ctx, master, L"etc\\end\\end.tvm") : nullptr;
    Vec3 dialogAt = {0, 0, -0.7f};
    move_layer(g_endDialog, &dialogAt, nullptr);
    switch_layer(g_endDialog, false);
    place_volume_knob(g_input.volume + 70);
}

void set_button_state(int panel, int button, int state)
{
    if (panel < 1 || panel > kPanels || button < 1 || button > kButtonsPerPanel)
        return;
    Button &b = button_at(panel, button);
    b.state = state;
    show_look(b);
}

void set_button_base(int panel, int button, int base)
{
    Button &b = button_at(panel, button);
    b.base = base;
    g_bases[panel - 1][button - 1] = base;
    show_look(b);
}

int button_base(int panel, int button)
{
    return button_at(panel, button).base;
}

void press_with_release(int panel, int button)
{
    set_button_state(panel, button, kPressed);
    DeferredRelease &r = g_run.release;
    r.due = now_ms() + kReleaseDelayMs;
    r.panel = panel;
    r.button = button;
    r.state = kIdle;
}

void run_due_release()
{
    DeferredRelease &r = g_run.release;
    if (!r.due || now_ms() < r.due)
        return;
    set_button_state(r.panel, r.button, r.state);
    forget_hover();
    r.due = 0;
}

void update_hover()
{
    PanelGeometry geometry[kPanels];
    for (int p = 0; p < kPanels; ++p)
        geometry[p] = g_panels[p].geometry;
    Hit hit = hit_test(geometry, g_bases, g_input.x, g_input.y);
    if (!g_input.mouseInView)
        hit = {0, 0};
    Hit &old = g_input.hover;
    if (hit.panel == old.panel && hit.button == old.button)
        return;
    if (old.button)
        set_button_state(old.panel, old.button, kIdle);
    if (hit.button)
        set_button_state(hit.panel, hit.button, kHover);
    old = hit;
}

void forget_hover()
{
    g_input.hover = {0, 0};
}

void drag_panel(int panel, int dx, int dy)
{
    panel_drag(g_panels[panel - 1].geometry, dx, dy, g_run.view.width, g_run.view.height);
    place_panel_layer(panel - 1);
}

void panel_origin_of(int panel, int *x, int *y)
{
    panel_origin(g_panels[panel - 1].geometry, x, y);
}

TRVXLAYER panel_part(int panel, const wchar_t *name)
{
    return find_layer(panel == 0 ? g_endDialog : g_panels[panel - 1].layer, name);
}

TRVXLAYER end_dialog_layer()
{
    return g_endDialog;
}

static void place_knob(TRVXLAYER knob, int x)
{
    if (!knob)
        return;
    Vec3 at = layer_position(knob);
    at.x = (float)x;
    move_layer(knob, &at, nullptr);
}

void place_volume_knob(int x)
{
    place_knob(g_volumeKnob, x);
}

void place_zoom_knob(int x)
{
    place_knob(g_zoomKnob, x);
}

void update_cursor()
{
    Scene &s = g_scene;
    if (g_display.windowed && !g_input.mouseInView) {
        switch_layer(s.cursorGroup, false);
        return;
    }
    switch_layer(s.cursorGroup, true);
    if (g_input.driveMode != s.cursorShape) {
        show_cursor_for(g_input.driveMode);
        s.cursorShape = g_input.driveMode;
    }
    Vec3 at = {(float)g_input.x, (float)g_input.y, -0.9f};
    move_layer(s.cursorGroup, &at, nullptr);
}
