// The pause and end dialogs as a state of the frame loop: each opens with its looks, runs one frame
// a pass until a button is chosen, shows the choice for a moment and then acts on it.
#include "dialogs.h"

#include "frame.h"
#include "input.h"
#include "layers.h"
#include "panels.h"
#include "platform.h"
#include "scene.h"
#include "viewer_state.h"

namespace {

const double kPauseSettleMs = 200; // the pause look shows before the question is asked
const double kChoiceShownMs = 100; // the chosen button shows pressed before the dialog acts

enum class Dialog { None, Pause, End };
enum class Phase { Settling, Asking, Chosen };

struct DialogButton {
    ViewRect rect;
    TRVXLAYER idle, pressed, hover;
    int key;
};

// Wiped when a dialog opens (and when a run's frames begin).
struct DialogState {
    Dialog dialog = Dialog::None;
    Phase phase = Phase::Asking;
    double waitUntil = 0; // now_ms, while settling or showing the choice
    DialogButton buttons[2] = {};
    int chosen = -1;
};
DialogState g_dialog;

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

// The pause dialog's buttons: its play look in the pause button's place, and the stop button.
void ask_pause()
{
    int ox, oy;
    panel_origin_of(kPlayPanel, &ox, &oy);
    PanelGeometry play = panel_initial(kPlayPanel - 1);
    // The pause button's own layers stay off while its play look stands in for it.
    set_button_base(kPlayPanel, kPauseButton, kHiddenBase);
    g_dialog.buttons[0] = dialog_button(kPlayPanel, L"play_on", L"play_off", L"play_up",
                                        rect_moved(play.buttons[kPauseButton - 1], ox, oy), kKeyPause);
    g_dialog.buttons[1] = dialog_button(kPlayPanel, L"stop_on", L"stop_off", L"stop_up",
                                        rect_moved(play.buttons[kStopButton - 1], ox, oy), kKeyEscape);
    g_dialog.phase = Phase::Asking;
}

void close_pause(int chosen)
{
    set_fade(0, 255, 0);
    show_play_controls(true);
    set_button_state(kPlayPanel, kStatusButton, kIdle);
    set_button_base(kPlayPanel, kPauseButton, 0);
    set_button_state(kPlayPanel, kStopButton, kIdle);
    press_with_release(kPlayPanel, chosen == 1 ? kStopButton : kPauseButton);
    g_dialog.dialog = Dialog::None;
    if (chosen == 1)
        open_end_dialog();
}

void close_end(int chosen)
{
    switch_layer(end_dialog_layer(), false);
    set_fade(0, 255, 0);
    g_dialog.dialog = Dialog::None;
    if (chosen == 0)
        g_process.quitRequested = 1;
}

// One frame of the question: the hover looks, at most one event, the cursor and a due release.
void ask()
{
    poll_input();
    int event = next_input_event();
    DialogButton *buttons = g_dialog.buttons;
    for (int i = 0; i < 2; ++i) {
        bool over = rect_holds(buttons[i].rect, g_input.x, g_input.y);
        show(buttons[i], over);
        if (g_dialog.chosen < 0 && (event == buttons[i].key || (event == kMouseLeft && over)))
            g_dialog.chosen = i;
    }
    update_cursor();
    run_due_release();
    if (g_dialog.chosen >= 0) {
        const DialogButton &b = buttons[g_dialog.chosen];
        switch_layer(b.idle, false);
        switch_layer(b.hover, false);
        switch_layer(b.pressed, true);
        g_dialog.phase = Phase::Chosen;
        g_dialog.waitUntil = now_ms() + kChoiceShownMs;
    }
    draw_frame(true);
}

} // namespace

void open_pause_dialog()
{
    g_dialog = DialogState{};
    g_dialog.dialog = Dialog::Pause;
    set_button_state(kPlayPanel, kPauseButton, kPressed);
    set_fade(-0.4f, 140, 0);
    show_play_controls(false);
    set_button_state(kPlayPanel, kStatusButton, kHover); // "status_pause"
    draw_frame(true);
    g_dialog.phase = Phase::Settling;
    g_dialog.waitUntil = now_ms() + kPauseSettleMs;
}

void open_end_dialog()
{
    press_with_release(kPlayPanel, kStopButton);
    set_fade(-0.6f, 140, 0);
    switch_layer(end_dialog_layer(), true);
    g_dialog = DialogState{};
    g_dialog.dialog = Dialog::End;
    g_dialog.buttons[0] = dialog_button(0, L"yes_on", L"yes_off", L"yes_up", {-108, -22, -8, -50}, kKeyY);
    g_dialog.buttons[1] = dialog_button(0, L"no_on", L"no_off", L"no_up", {5, -22, 105, -50}, kKeyN);
    if (g_process.quitRequested)
        close_end(0);
}

void forget_dialogs()
{
    g_dialog = DialogState{};
}

bool dialog_open()
{
    return g_dialog.dialog != Dialog::None;
}

void dialog_step()
{
    switch (g_dialog.phase) {
    case Phase::Asking:
        ask();
        return;
    case Phase::Settling:
    case Phase::Chosen:
        if (now_ms() < g_dialog.waitUntil || presses_undecided()) {
            discard_input(0);
            return;
        }
        forget_noted_presses();
        break;
    }
    if (g_dialog.phase == Phase::Settling)
        ask_pause();
    else if (g_dialog.dialog == Dialog::Pause)
        close_pause(g_dialog.chosen);
    else
        close_end(g_dialog.chosen);
}
