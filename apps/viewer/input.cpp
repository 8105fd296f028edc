// Keyboard and mouse as the viewer reads them.
#include "input.h"

#include <atomic>

#include "platform.h"
#include "press_ledger.h"
#include "viewer_state.h"

InputState g_input;

namespace {

// Presses noted by the window thread (their codes): one writer, one reader.
const uint32_t kNotedRoom = 32;
int g_noted[kNotedRoom];
std::atomic<uint32_t> g_notedHead{0}, g_notedTail{0};
PressLedger g_ledger;

bool down_in(const tagTRVXINPUT &record, int code)
{
    uint8_t state = code < TRVX_BUTTON_CODE_BASE ? record.keys[code] : record.buttons[code - TRVX_BUTTON_CODE_BASE];
    return (state & TRVX_INPUT_DOWN) != 0;
}

// Takes the window's notes into the ledger and queues every press that polling missed.
void queue_missed_presses(TRVXCONTEXT ctx)
{
    uint32_t tail = g_notedTail.load(std::memory_order_relaxed);
    uint32_t head = g_notedHead.load(std::memory_order_acquire);
    for (; tail != head; ++tail)
        g_ledger.noted(g_noted[tail % kNotedRoom]);
    g_notedTail.store(tail, std::memory_order_release);
    for (int code : g_ledger.poll(tick_ms(), [ctx](int c) { return down_in(ctx->inputState, c); }))
        TRVX_SetDeviceInputBuffer(ctx, code);
}

// Cleared while the window was inactive: the first poll after it measures no movement.
bool g_inputCleared = false;

} // namespace

void poll_input()
{
    InputState &in = g_input;
    TRVXCONTEXT ctx = g_run.ctx;
    if (!g_process.windowActive) {
        TRVX_DeviceInput(ctx, 0);
        forget_noted_presses();
        g_inputCleared = true;
        in.dx = in.dy = in.wheel = 0;
        in.ctrl = in.shift = false;
        return;
    }
    tagTRVXINPUT *record = TRVX_DeviceInput(ctx, 3);
    if (!record)
        return;
    queue_missed_presses(ctx);
    in.x = record->axes[0];
    in.y = record->axes[1];
    in.dx = g_inputCleared ? 0 : record->axisDelta[0];
    in.dy = g_inputCleared ? 0 : record->axisDelta[1];
    in.wheel = g_inputCleared ? 0 : record->axisDelta[2];
    g_inputCleared = false;
    int w = g_run.view.width, h = g_run.view.height;
    in.mouseInView = -w / 2 <= in.x && in.x < w / 2 && -h / 2 < in.y && in.y <= h / 2;
    in.ctrl = held(kKeyLeftCtrl) || held(kKeyRightCtrl);
    in.shift = held(kKeyLeftShift) || held(kKeyRightShift);
}

bool held(int code)
{
    return down_in(g_run.ctx->inputState, code);
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
        return kKeyNumLock;
    int scan = (int)((flags >> 16) & 0x7F);
    return scan | ((flags & (1 << 24)) ? 0x80 : 0);
}

bool presses_undecided()
{
    return g_notedHead.load(std::memory_order_acquire) != g_notedTail.load(std::memory_order_relaxed) ||
           g_ledger.undecided();
}

void forget_noted_presses()
{
    g_notedTail.store(g_notedHead.load(std::memory_order_acquire), std::memory_order_release);
    g_ledger.forget();
}

int discard_input(int counted)
{
    TRVXCONTEXT ctx = g_run.ctx;
    // Polled as every frame polls, so that a tap between two polls is counted too.
    poll_input();
    int seen = 0;
    while (int code = TRVX_DeviceInputBuffer(ctx)) {
        seen += counted && code == counted;
        TRVX_SystemTask(ctx);
    }
    pause_briefly();
    return seen;
}

int next_input_event()
{
    if (g_process.closeRequested.exchange(0))
        return kKeyEscape;
    return TRVX_DeviceInputBuffer(g_run.ctx);
}
