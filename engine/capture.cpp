// Screen capture of a view port into a GDI bitmap, and writing a bitmap as a 24-bit BMP file.
#include "render_local.h"

#include <string.h>

namespace {

const int kFileHeaderSize = 14;
const int kInfoHeaderSize = 40;

// Bytes of one 24-bit row, padded to a multiple of 4; 0 when the width is out of range.
int row_bytes(int width)
{
    if (width <= 0 || width > 0x1FFFFFFF / 3)
        return 0;
    return (width * 3 + 3) & ~3;
}

void put32(uint8_t *at, uint32_t value)
{
    memcpy(at, &value, sizeof value);
}

} // namespace

// A new bitmap (the caller deletes it) of the window's pixels under the view port, or null for a
// bad or closed view port or when the bitmap cannot be made.
HBITMAP WINAPI TRVX_CaptureViewPort(TRVXCONTEXT ctx, int index)
{
    if (!ctx || index < 0 || index >= ctx->viewPortCount || !ctx->viewPorts[index].open)
        return nullptr;
    const tagTRVXVIEWPORT &port = ctx->viewPorts[index];
    if (port.width <= 0 || port.height <= 0)
        return nullptr;
    int x = port.x, y = port.y;
    if (index > 0) {
        x += ctx->viewPorts[0].x;
        y += ctx->viewPorts[0].y;
    }
    HDC window = GetDC(ctx->window);
    if (!window)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(window, port.width, port.height);
    HDC memory = bitmap ? CreateCompatibleDC(window) : nullptr;
    if (memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BOOL copied = BitBlt(memory, 0, 0, port.width, port.height, window, x, y, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        if (!copied) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    } else if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    ReleaseDC(ctx->window, window);
    return bitmap;
}

// 1 when the bitmap was written as an uncompressed, bottom-up 24-bit BMP file.
int WINAPI TRVX_WriteBitmap(TRVXCONTEXT ctx, const wchar_t *fileName, HBITMAP bitmap)
{
    BITMAP shape;
    if (!ctx || !fileName || !bitmap || GetObjectW(bitmap, sizeof shape, &shape) != sizeof shape)
        return 0;
    int width = shape.bmWidth, height = shape.bmHeight < 0 ? -shape.bmHeight : shape.bmHeight;
    int row = row_bytes(width);
    const int headers = kFileHeaderSize + kInfoHeaderSize;
    if (row == 0 || height <= 0 || height > (0x7FFFFFFF - headers) / row)
        return 0;
    int imageSize = row * height, fileSize = headers + imageSize;
    uint8_t *file = (uint8_t *)TRVX_AllocMemory(ctx, fileSize);
    if (!file)
        return 0;

    file[0] = 'B';
    file[1] = 'M';
    put32(file + 2, (uint32_t)fileSize);
    put32(file + 10, (uint32_t)headers);
    BITMAPINFOHEADER info = {};
    info.biSize = kInfoHeaderSize;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = (DWORD)imageSize;
    memcpy(file + kFileHeaderSize, &info, sizeof info);

    BITMAPINFO query = {};
    query.bmiHeader = info;
    HDC screen = GetDC(nullptr);
    int rows = screen ? GetDIBits(screen, bitmap, 0, (UINT)height, file + headers, &query, DIB_RGB_COLORS) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    int written = rows == height ? TRVX_WriteFile(ctx, fileName, file, fileSize) : 0;
    TRVX_FreeMemory(ctx, file);
    return written ? 1 : 0;
}
