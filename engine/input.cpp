// Keyboard and mouse polling through the driver, and the queue of newly pressed keys and buttons.
#include "render_local.h"

#include <string.h>

namespace {

const int kQueueRoom = TRVX_KEY_QUEUE_LENGTH - 1; // the last entry always stays 0
const int kLastCode = TRVX_BUTTON_CODE_BASE + 63;

int queue_length(const tagTRVX *ctx)
{
    int n = 0;
    while (n < TRVX_KEY_QUEUE_LENGTH && ctx->keyQueue[n])
        ++n;
    return n;
}

uint8_t &state_byte(tagTRVXINPUT &input, int code)
{
    return code < TRVX_BUTTON_CODE_BASE ? input.keys[code] : input.buttons[code - TRVX_BUTTON_CODE_BASE];
}

} // namespace

// The address of the input state block, after polling what `what` asks for (0: clear everything;
// bit 0 the keyboard, bit 1 the mouse).
tagTRVXINPUT *WINAPI TRVX_DeviceInput(TRVXCONTEXT ctx, int what)
{
    if (!ctx)
        return nullptr;
    tagTRVXINPUT &now = ctx->inputState, &before = ctx->inputPrevious;
    if (what == 0) {
        memset(&now, 0, sizeof now);
        memset(&before, 0, sizeof before);
        memset(ctx->keyQueue, 0, sizeof ctx->keyQueue);
        return &now;
    }
    before = now;
    if (what & 1)
        driver_command(ctx, TRVXCMD_INPUT_READ, 1, (DWORD_PTR)&now);
    else
        memset(now.keys, 0, sizeof now.keys);
    if (what & 2) {
        driver_command(ctx, TRVXCMD_INPUT_READ, 2, (DWORD_PTR)&now);
    } else {
        now.buttons[1] = 0;
        now.buttons[2] = 0;
    }
    for (int i = 0; i < 16; ++i)
        now.axisDelta[i] = now.axes[i] - before.axes[i];

    int queued = queue_length(ctx);
    for (int code = 1; code <= kLastCode; ++code) {
        uint8_t &state = state_byte(now, code);
        state &= (uint8_t)~TRVX_INPUT_PRESSED; // last poll's mark, where the driver left it
        if ((state & TRVX_INPUT_DOWN) && !(state_byte(before, code) & TRVX_INPUT_DOWN)) {
            state |= TRVX_INPUT_PRESSED;
            if (queued < kQueueRoom)
                ctx->keyQueue[queued++] = (uint16_t)code;
        }
    }
    return &now;
}

// The oldest queued key or button code, taken from the queue; 0 when it is empty.
int WINAPI TRVX_DeviceInputBuffer(TRVXCONTEXT ctx)
{
    if (!ctx)
        return 0;
    int code = ctx->keyQueue[0];
    if (code) {
        memmove(ctx->keyQueue, ctx->keyQueue + 1, (TRVX_KEY_QUEUE_LENGTH - 1) * sizeof ctx->keyQueue[0]);
        ctx->keyQueue[TRVX_KEY_QUEUE_LENGTH - 1] = 0;
    }
    return code;
}

// 1 after queueing `code`; 0 when the queue is full or the code is no key or button (1 to 65535).
int WINAPI TRVX_SetDeviceInputBuffer(TRVXCONTEXT ctx, int code)
{
    if (!ctx || code <= 0 || code > 0xFFFF)
        return 0;
    int queued = queue_length(ctx);
    if (queued >= kQueueRoom)
        return 0;
    ctx->keyQueue[queued] = (uint16_t)code;
    return 1;
}
