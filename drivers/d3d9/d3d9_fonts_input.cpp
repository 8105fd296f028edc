// Direct3D 9 driver: D3DX fonts drawn in the engine's centred, y-up rectangles, and keyboard and
// mouse through DirectInput 8 into the engine's input state block.
#include "vdr_d3d9.h"

#include <math.h>
#include <algorithm>

// --- Fonts -----------------------------------------------------------------------------------------------

static int font_make(tagTRVXFONT *font)
{
    ID3DXFont *object = 0;
    wchar_t face[32];
    lstrcpynW(face, font->faceName, 32);
    if (!g_d3d9.device || FAILED(D3DXCreateFontW(g_d3d9.device, font->height, (UINT)font->width, (UINT)font->weight,
                                                 1, font->italic ? TRUE : FALSE, (DWORD)font->charSet, 4, 0,
                                                 (DWORD)font->pitchAndFamily, face, &object)))
        return 0;
    font->object = object;
    return 1;
}

void d3d9_fonts_release(tagTRVX *ctx)
{
    for (int i = 0; ctx->fonts && i < ctx->fontCount; ++i)
        if (ctx->fonts[i].object) {
            ((ID3DXFont *)ctx->fonts[i].object)->Release();
            ctx->fonts[i].object = 0;
        }
}

void d3d9_fonts_restore(tagTRVX *ctx)
{
    for (int i = 0; ctx->fonts && i < ctx->fontCount; ++i)
        if (ctx->fonts[i].faceName[0] && !ctx->fonts[i].object)
            font_make(&ctx->fonts[i]);
}

static BYTE round_channel(float value)
{
    float v = floorf(value + 0.5f);
    return (BYTE)(v < 0.0f ? 0.0f : v > 255.0f ? 255.0f : v);
}

static DWORD_PTR font_draw(tagTRVX *ctx, DWORD_PTR index, tagTRVXFONT *font, const wchar_t *text)
{
    if (!font || !font->object || !text || !g_d3d9.device || !ctx->viewPorts ||
        index >= (DWORD_PTR)std::max(0, ctx->viewPortCount) || !ctx->viewPorts[index].open)
        return 0;
    const tagTRVXVIEWPORT &vp = ctx->viewPorts[index];
    int cx = vp.width / 2, cy = vp.height / 2;
    RECT r = {cx + font->rect.left, cy - font->rect.top, cx + font->rect.right, cy - font->rect.bottom};
    if (index > 0) // text is placed in back-buffer pixels, where view ports above 0 sit at their corner
        OffsetRect(&r, vp.x, vp.y);
    uint32_t c = font->colour;
    float alpha = 255.0f * (1.0f - (float)(c >> 24) / 255.0f);
    D3DCOLOR colour = D3DCOLOR_ARGB(round_channel(alpha), c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    ((ID3DXFont *)font->object)->DrawTextW(NULL, text, -1, &r, font->format, colour);
    return 1;
}

DWORD_PTR d3d9_font_command(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3)
{
    switch (command) {
    case TRVXCMD_FONT_CREATE:
        return p1 ? font_make((tagTRVXFONT *)p1) : 0;
    case TRVXCMD_FONT_DELETE: {
        tagTRVXFONT *font = (tagTRVXFONT *)p1;
        if (!font || !font->object)
            return 0;
        ((ID3DXFont *)font->object)->Release();
        font->object = 0;
        return 1;
    }
    case TRVXCMD_FONT_DRAW:
        return font_draw(ctx, p1, (tagTRVXFONT *)p2, (const wchar_t *)p3);
    default:
        return 0;
    }
}

// --- Input ----------------------------------------------------------------------------------------------

#define D3D9_MOUSE_EVENTS 16

void d3d9_input_end(void)
{
    if (g_d3d9.keyboard) {
        g_d3d9.keyboard->Unacquire();
        g_d3d9.keyboard->Release();
        g_d3d9.keyboard = 0;
    }
    if (g_d3d9.mouse) {
        g_d3d9.mouse->Unacquire();
        g_d3d9.mouse->Release();
        g_d3d9.mouse = 0;
    }
    if (g_d3d9.input) {
        g_d3d9.input->Release();
        g_d3d9.input = 0;
    }
}

int d3d9_input_start(tagTRVX *ctx, int windowed)
{
    if (FAILED(DirectInput8Create(g_d3d9.module, 0x0800, IID_IDirectInput8W, (void **)&g_d3d9.input, NULL)))
        return 0;
    IDirectInput8W *di = g_d3d9.input;
    // Windowed, the keyboard is read without exclusive use; DirectInput wants a foreground or
    // background flag with that, and background is what a level without one falls back to.
    DWORD keyboardLevel = windowed ? DISCL_NONEXCLUSIVE | DISCL_BACKGROUND : DISCL_EXCLUSIVE | DISCL_FOREGROUND;
    DWORD mouseLevel = windowed ? DISCL_NONEXCLUSIVE | DISCL_FOREGROUND : DISCL_EXCLUSIVE | DISCL_FOREGROUND;
    if (FAILED(di->CreateDevice(GUID_SysKeyboard, &g_d3d9.keyboard, NULL)) ||
        FAILED(g_d3d9.keyboard->SetDataFormat(&c_dfDIKeyboard)) ||
        FAILED(g_d3d9.keyboard->SetCooperativeLevel(ctx->window, keyboardLevel)))
        return 0;
    DIPROPDWORD buffer = {};
    buffer.diph.dwSize = sizeof buffer;
    buffer.diph.dwHeaderSize = sizeof buffer.diph;
    buffer.diph.dwHow = DIPH_DEVICE;
    buffer.dwData = D3D9_MOUSE_EVENTS;
    if (FAILED(di->CreateDevice(GUID_SysMouse, &g_d3d9.mouse, NULL)) ||
        FAILED(g_d3d9.mouse->SetDataFormat(&c_dfDIMouse)) ||
        FAILED(g_d3d9.mouse->SetCooperativeLevel(ctx->window, mouseLevel)) ||
        FAILED(g_d3d9.mouse->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)))
        return 0;
    return 1;
}

static void read_keyboard(tagTRVXINPUT *state)
{
    BYTE keys[256];
    g_d3d9.keyboard->Acquire();
    if (SUCCEEDED(g_d3d9.keyboard->GetDeviceState(sizeof keys, keys)))
        memcpy(state->keys, keys, sizeof keys);
}

static void read_mouse(tagTRVX *ctx, tagTRVXINPUT *state)
{
    g_d3d9.mouse->Acquire();
    DIDEVICEOBJECTDATA events[D3D9_MOUSE_EVENTS];
    DWORD count = D3D9_MOUSE_EVENTS;
    if (FAILED(g_d3d9.mouse->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0)))
        count = 0;
    if (ctx->windowed && ctx->viewPorts && ctx->viewPortCount > 0) {
        const tagTRVXVIEWPORT &vp = ctx->viewPorts[0];
        POINT centre = {vp.x + vp.clipX + vp.clipWidth / 2, vp.y + vp.clipY + vp.clipHeight / 2}, cursor;
        if (ClientToScreen(ctx->window, &centre) && GetCursorPos(&cursor)) {
            state->axes[0] = cursor.x - centre.x;
            state->axes[1] = centre.y - cursor.y;
        }
    }
    state->buttons[1] &= 0x80;
    state->buttons[2] &= 0x80;
    const RECT &limit = ctx->screenClip;
    for (DWORD i = 0; i < count; ++i) {
        const DIDEVICEOBJECTDATA &e = events[i];
        int value = (int)e.dwData;
        switch (e.dwOfs) {
        case DIMOFS_X:
            if (!ctx->windowed)
                state->axes[0] = std::max((int)limit.left, std::min((int)limit.right - 1, state->axes[0] + value));
            break;
        case DIMOFS_Y:
            if (!ctx->windowed)
                state->axes[1] = std::max((int)limit.bottom + 1, std::min((int)limit.top, state->axes[1] - value));
            break;
        case DIMOFS_Z:
            state->axes[2] += value > 0 ? 1 : value < 0 ? -1 : 0;
            break;
        case DIMOFS_BUTTON0:
            state->buttons[1] = (uint8_t)e.dwData;
            break;
        case DIMOFS_BUTTON1:
            state->buttons[2] = (uint8_t)e.dwData;
            break;
        default:
            break;
        }
    }
}

DWORD_PTR d3d9_input_read(tagTRVX *ctx, DWORD_PTR what, tagTRVXINPUT *state)
{
    if (!state)
        return 0;
    if (what == 1 && g_d3d9.keyboard)
        read_keyboard(state);
    else if (what == 2 && g_d3d9.mouse)
        read_mouse(ctx, state);
    return 1;
}
