// Font table: font descriptions that the driver turns into drawable fonts, and text drawing.
#include "engine_local.h"

#include <string.h>

// The font's index, or -1 when the driver could not create it.
int WINAPI TRVX_CreateFont(TRVXCONTEXT ctx, int height, int width, int weight, int italic, int charSet,
                           int pitchAndFamily, const wchar_t *faceName)
{
    tagTRVXFONT font = {};
    font.height = height;
    font.width = width;
    font.weight = weight;
    font.italic = italic;
    font.charSet = charSet;
    font.pitchAndFamily = pitchAndFamily;
    copy_text(font.faceName, ARRAYSIZE(font.faceName), faceName ? faceName : L"");
    if (!font.faceName[0] || !driver_command(ctx, TRVXCMD_FONT_CREATE, (DWORD_PTR)&font))
        return -1;
    int index = 0;
    while (index < ctx->fontCount && ctx->fonts[index].faceName[0])
        ++index;
    if (index == ctx->fontCount) {
        tagTRVXFONT *grown = (tagTRVXFONT *)TRVX_ResizeMemory(ctx, ctx->fonts, (index + 1) * (int)sizeof(tagTRVXFONT));
        if (!grown) {
            driver_command(ctx, TRVXCMD_FONT_DELETE, (DWORD_PTR)&font);
            return -1;
        }
        ctx->fonts = grown;
        ctx->fontCount = index + 1;
    }
    ctx->fonts[index] = font;
    return index;
}

// 1; the record is released and cleared (0 for an index outside the table).
int WINAPI TRVX_DeleteFont(TRVXCONTEXT ctx, int index)
{
    if (index < 0 || index >= ctx->fontCount)
        return 0;
    tagTRVXFONT &font = ctx->fonts[index];
    if (font.faceName[0])
        driver_command(ctx, TRVXCMD_FONT_DELETE, (DWORD_PTR)&font);
    memset(&font, 0, sizeof font);
    return 1;
}

// The driver's result, or 0 for a bad view port or font.
DWORD_PTR WINAPI TRVX_DisplayFont(TRVXCONTEXT ctx, int viewPort, int font, const wchar_t *text, DWORD format,
                                  const RECT *rect, DWORD colour)
{
    if (viewPort < 0 || viewPort >= ctx->viewPortCount || font < 0 || font >= ctx->fontCount ||
        !ctx->fonts[font].faceName[0] || !text)
        return 0;
    tagTRVXFONT &record = ctx->fonts[font];
    record.format = format;
    record.colour = colour;
    if (rect) {
        record.rect = *rect;
    } else {
        const tagTRVXVIEWPORT &port = ctx->viewPorts[viewPort];
        SetRect(&record.rect, 0, 0, port.width, port.height);
    }
    return driver_command(ctx, TRVXCMD_FONT_DRAW, viewPort, (DWORD_PTR)&record, (DWORD_PTR)text);
}
