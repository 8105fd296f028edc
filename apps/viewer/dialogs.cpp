// The modal two-button dialog and the pause and end dialogs built on it.
#include "dialogs.h"

#include "input.h"
#include "layers.h"
#include "panels.h"
#include "scene.h"
#include "viewer.h"

namespace {

struct DialogButton {
    ViewRect rect;
    TRVXLAYER idle, pressed, hover;
    int key;
};

DialogButton dialog_button(int panel, const wchar_t *idle, const wchar_t *pressed, const wchar_t *hover, ViewRect rect,
                           int key)
{
    return {rect, panel_part(panel, idle), panel_part(panel, pressed), panel_part(panel, hover), key};
}

void show(const DialogButton &b, bool mouseOver)
{
    switch_layer(b.idle, !mouseOver);
    switch_layer(b.pressed, false);
    switch_layer(b.hover, mouseOver);
}

// Runs until one of the two buttons is chosen; its number. The simulation clock stands still.
int run_dialog(DialogButton buttons[2])
{
    for (;;) {
        poll_input();
        int event = next_input_event();
        int chosen = -1;
        for (int i = 0; i < 2; ++i) {
            bool over = rect_holds(buttons[i].rect, g_input.x, g_input.y);
            show(buttons[i], over);
            if (chosen < 0 && (event == buttons[i].key || (event == kMouseLeft && over)))
                chosen = i;
        }
        update_cursor();
        run_due_release();
        if (chosen >= 0) {
            switch_layer(buttons[chosen].idle, false);
            switch_layer(buttons[chosen].hover, false);
            switch_layer(buttons[chosen].pressed, true);
            draw_frame(true);
            wait_ms(100);
            return chosen;
        }
        draw_frame(true);
    }
}

void show_play_controls(bool on)
{
    set_button_base(kPlayPanel, kPhotoButton, on ? 0 : kHiddenBase);
    set_button_base(kPlayPanel, kFastButton, on ? 0 : kHiddenBase);
    set_button_base(kPlayPanel, kVolumeButton, on ? 0 : kHiddenBase);
    set_button_state(kPlayPanel, kPhotoButton, kIdle);
    set_button_state(kPlayPanel, kFastButton, kIdle);
    set_button_state(kPlayPanel, kVolumeButton, kIdle);
    switch_layer(panel_part(kPlayPanel, L"play_volume"), on);
}

} // namespace

void pause_dialog()
{
    set_button_state(kPlayPanel, kPauseButton, kPressed);
    set_fade(-0.4f, 140, 0);
    show_play_controls(false);
    set_button_state(kPlayPanel, kStatusButton, kHover); // "status_pause"
    draw_frame(true);
    wait_ms(200);

    int ox, oy;
    panel_origin_of(kPlayPanel, &ox, &oy);
    PanelGeometry play = panel_initial(kPlayPanel - 1);
    // The pause button's own layers stay off while its play look stands in for it.
    set_button_base(kPlayPanel, kPauseButton, kHiddenBase);
    DialogButton buttons[2] = {
        dialog_button(kPlayPanel, L"play_on", L"play_off", L"play_up",
                      rect_moved(play.buttons[kPauseButton - 1], ox, oy), kKeyPause),
        dialog_button(kPlayPanel, L"stop_on", L"stop_off", L"stop_up",
                      rect_moved(play.buttons[kStopButton - 1], ox, oy), kKeyEscape),
    };
    int chosen = run_dialog(buttons);

    set_fade(0, 255, 0);
    show_play_controls(true);
    set_button_state(kPlayPanel, kStatusButton, kIdle);
    set_button_base(kPlayPanel, kPauseButton, 0);
    set_button_state(kPlayPanel, kStopButton, kIdle);
    press_with_release(kPlayPanel, chosen == 1 ? kStopButton : kPauseButton);
    if (chosen == 1)
        end_dialog();
}

void end_dialog()
{
    press_with_release(kPlayPanel, kStopButton);
    set_fade(-0.6f, 140, 0);
    TRVXLAYER dialog = end_dialog_layer();
    switch_layer(dialog, true);
    DialogButton buttons[2] = {
        dialog_button(0, L"yes_on", L"yes_off", L"yes_up", {-108, -22, -8, -50}, kKeyY),
        dialog_button(0, L"no_on", L"no_off", L"no_up", {5, -22, 105, -50}, kKeyN),
    };
    // A quit already requested (the window closing while the program ends) needs no question.
    int chosen = g_viewer.quitRequested ? 0 : run_dialog(buttons);
    switch_layer(dialog, false);
    set_fade(0, 255, 0);
    if (chosen == 0)
        g_viewer.quitRequested = 1;
}
