// Keyboard and mouse as the viewer reads them.
#include "input.h"

#include <atomic>

#include "viewer.h"

InputState g_input;

namespace {

// Presses noted by the window thread: one writer, one reader.
const uint32_t kNotedRoom = 32;
int g_noted[kNotedRoom];
std::atomic<uint32_t> g_notedHead{0}, g_notedTail{0};

bool down_in(const tagTRVXINPUT &record, int code)
{
    uint8_t state = code < TRVX_BUTTON_CODE_BASE ? record.keys[code] : record.buttons[code - TRVX_BUTTON_CODE_BASE];
    return (state & TRVX_INPUT_DOWN) != 0;
}

// Queues every noted press that neither this poll nor the one before saw held.
void queue_missed_presses(TRVXCONTEXT ctx)
{
    uint32_t tail = g_notedTail.load(std::memory_order_relaxed);
    uint32_t head = g_notedHead.load(std::memory_order_acquire);
    for (; tail != head; ++tail) {
        int code = g_noted[tail % kNotedRoom];
        if (!down_in(ctx->inputState, code) && !down_in(ctx->inputPrevious, code))
            TRVX_SetDeviceInputBuffer(ctx, code);
    }
    g_notedTail.store(tail, std::memory_order_release);
}

// Cleared while the window was inactive: the first poll after it measures no movement.
bool g_inputCleared = false;

} // namespace

void poll_input()
{
    Viewer &v = g_viewer;
    InputState &in = g_input;
    if (!v.windowActive) {
        TRVX_DeviceInput(v.ctx, 0);
        forget_noted_presses();
        g_inputCleared = true;
        in.dx = in.dy = in.wheel = 0;
        in.ctrl = in.shift = false;
        return;
    }
    tagTRVXINPUT *record = TRVX_DeviceInput(v.ctx, 3);
    if (!record)
        return;
    queue_missed_presses(v.ctx);
    in.x = record->axes[0];
    in.y = record->axes[1];
    in.dx = g_inputCleared ? 0 : record->axisDelta[0];
    in.dy = g_inputCleared ? 0 : record->axisDelta[1];
    in.wheel = g_inputCleared ? 0 : record->axisDelta[2];
    g_inputCleared = false;
    int w = v.view.width, h = v.view.height;
    in.mouseInView = -w / 2 <= in.x && in.x < w / 2 && -h / 2 < in.y && in.y <= h / 2;
    in.ctrl = held(kKeyLeftCtrl) || held(kKeyRightCtrl);
    in.shift = held(kKeyLeftShift) || held(kKeyRightShift);
}

bool held(int code)
{
    return down_in(g_viewer.ctx->inputState, code);
}

void note_press(int code)
{
    uint32_t head = g_notedHead.load(std::memory_order_relaxed);
    if (code <= 0 || head - g_notedTail.load(std::memory_order_acquire) >= kNotedRoom)
        return;
    g_noted[head % kNotedRoom] = code;
    g_notedHead.store(head + 1, std::memory_order_release);
}

int press_code(WPARAM key, LPARAM flags)
{
    if (flags & (1 << 30))
        return 0; // held down: a repeat, not a press
    // Pause and Num Lock swap their scan codes' extended bit between the two numberings.
    if (key == VK_PAUSE)
        return kKeyPause;
    if (key == VK_NUMLOCK)
        return 69;
    int scan = (int)((flags >> 16) & 0x7F);
    return scan | ((flags & (1 << 24)) ? 0x80 : 0);
}

void forget_noted_presses()
{
    g_notedTail.store(g_notedHead.load(std::memory_order_acquire), std::memory_order_release);
}

int next_input_event()
{
    Viewer &v = g_viewer;
    if (v.closeRequested.exchange(0))
        return kKeyEscape;
    return TRVX_DeviceInputBuffer(v.ctx);
}
