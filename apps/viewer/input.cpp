// Keyboard and mouse as the viewer reads them.
#include "input.h"

#include "viewer.h"

InputState g_input;

void poll_input()
{
    Viewer &v = g_viewer;
    InputState &in = g_input;
    if (!v.windowActive) {
        TRVX_DeviceInput(v.ctx, 0);
        in.dx = in.dy = in.wheel = 0;
        in.ctrl = in.shift = false;
        return;
    }
    tagTRVXINPUT *record = TRVX_DeviceInput(v.ctx, 3);
    if (!record)
        return;
    in.x = record->axes[0];
    in.y = record->axes[1];
    in.dx = record->axisDelta[0];
    in.dy = record->axisDelta[1];
    in.wheel = record->axisDelta[2];
    int w = v.view.width, h = v.view.height;
    in.mouseInView = -w / 2 <= in.x && in.x < w / 2 && -h / 2 < in.y && in.y <= h / 2;
    in.ctrl = held(kKeyLeftCtrl) || held(kKeyRightCtrl);
    in.shift = held(kKeyLeftShift) || held(kKeyRightShift);
}

bool held(int code)
{
    const tagTRVXINPUT &record = g_viewer.ctx->inputState;
    uint8_t state = code < TRVX_BUTTON_CODE_BASE ? record.keys[code] : record.buttons[code - TRVX_BUTTON_CODE_BASE];
    return (state & TRVX_INPUT_DOWN) != 0;
}

int next_input_event()
{
    Viewer &v = g_viewer;
    if (v.closeRequested.exchange(0))
        return kKeyEscape;
    return TRVX_DeviceInputBuffer(v.ctx);
}
