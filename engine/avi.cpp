// Recording a view port into an AVI file through Video for Windows: one video stream of bottom-up
// 24-bit frames, compressed with the compressor the user picks (uncompressed "DIB " preset).
#include "render_local.h"

#include <string.h>
#include <vfw.h>

namespace {

const DWORD kHandlerDib = mmioFOURCC('D', 'I', 'B', ' ');

// Lives in the context's AVI state bytes; everything in it is released by TRVX_EndAvi.
struct AviState {
    PAVIFILE file;
    PAVISTREAM raw;
    PAVISTREAM compressed; // null when uncompressed frames go straight into the raw stream
    HBITMAP crop;          // frame-sized copy of the part of a bitmap that is recorded
    uint8_t *pixels;       // one frame, a memory block of imageSize bytes
    int32_t framesPerSecond;
    int32_t frame;         // number of the next frame written
    int32_t width, height; // frame size in pixels
    int32_t imageSize;     // bytes of one frame: rows padded to a multiple of 4
    int32_t cropped;       // nonzero: frames are taken from `offset` within the bitmaps given
    POINT offset;
};
static_assert(sizeof(AviState) <= sizeof(((tagTRVX *)nullptr)->aviState), "the AVI state must fit the context");

AviState &state_of(tagTRVX *ctx)
{
    return *(AviState *)ctx->aviState;
}

BITMAPINFOHEADER frame_format(const AviState &s)
{
    BITMAPINFOHEADER format = {};
    format.biSize = sizeof format;
    format.biWidth = s.width;
    format.biHeight = s.height;
    format.biPlanes = 1;
    format.biBitCount = 24;
    format.biCompression = BI_RGB;
    format.biSizeImage = (DWORD)s.imageSize;
    return format;
}

// The user's compressor, preset to uncompressed frames; false when the dialog was cancelled.
bool choose_compressor(tagTRVX *ctx, const BITMAPINFOHEADER &format, AVICOMPRESSOPTIONS *options)
{
    COMPVARS choice = {};
    choice.cbSize = sizeof choice;
    choice.dwFlags = ICMF_COMPVARS_VALID;
    choice.fccType = ICTYPE_VIDEO;
    choice.fccHandler = kHandlerDib;
    choice.lQ = ICQUALITY_DEFAULT;
    BITMAPINFO input = {};
    input.bmiHeader = format;
    if (!ICCompressorChoose(ctx->window, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_PREVIEW, &input,
                            nullptr, &choice, nullptr))
        return false;
    memset(options, 0, sizeof *options);
    options->fccType = streamtypeVIDEO;
    options->fccHandler = choice.fccHandler ? choice.fccHandler : kHandlerDib;
    options->dwQuality = (DWORD)choice.lQ;
    if (choice.lKey) {
        options->dwKeyFrameEvery = (DWORD)choice.lKey;
        options->dwFlags |= AVICOMPRESSF_KEYFRAMES;
    }
    if (choice.lDataRate) {
        options->dwBytesPerSecond = (DWORD)choice.lDataRate * 1024;
        options->dwFlags |= AVICOMPRESSF_DATARATE;
    }
    // The compressed stream opens its own instance of the compressor.
    ICCompressorFree(&choice);
    return true;
}

bool open_streams(tagTRVX *ctx, AviState &s, const wchar_t *fileName, const AVICOMPRESSOPTIONS &options)
{
    if (AVIFileOpenW(&s.file, fileName, OF_WRITE | OF_CREATE, nullptr) != AVIERR_OK) {
        s.file = nullptr;
        return false;
    }
    AVISTREAMINFOW info = {};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = kHandlerDib;
    info.dwScale = 1;
    info.dwRate = (DWORD)s.framesPerSecond;
    info.dwQuality = (DWORD)-1;
    SetRect(&info.rcFrame, 0, 0, s.width, s.height);
    wcscpy(info.szName, L"Video #1");
    if (AVIFileCreateStreamW(s.file, &s.raw, &info) != AVIERR_OK) {
        s.raw = nullptr;
        return false;
    }
    AVICOMPRESSOPTIONS chosen = options;
    if (AVIMakeCompressedStream(&s.compressed, s.raw, &chosen, nullptr) != AVIERR_OK) {
        s.compressed = nullptr;
        // Uncompressed frames need no compressor: they go into the raw stream as they are.
        if (options.fccHandler != kHandlerDib)
            return false;
    }
    BITMAPINFOHEADER format = frame_format(s);
    PAVISTREAM target = s.compressed ? s.compressed : s.raw;
    if (AVIStreamSetFormat(target, 0, &format, sizeof format) != AVIERR_OK)
        return false;
    s.pixels = (uint8_t *)TRVX_AllocMemory(ctx, s.imageSize);
    return s.pixels != nullptr;
}

// Releases whatever a recording holds; the caller has called AVIFileInit for it.
void release(tagTRVX *ctx, AviState &s)
{
    if (s.crop)
        DeleteObject(s.crop);
    TRVX_FreeMemory(ctx, s.pixels);
    if (s.compressed)
        AVIStreamRelease(s.compressed);
    if (s.raw)
        AVIStreamRelease(s.raw);
    if (s.file)
        AVIFileRelease(s.file);
    AVIFileExit();
    memset(&s, 0, sizeof s);
}

// Copies the recorded part of `bitmap` into the frame-sized crop bitmap; the bitmap to read from.
HBITMAP frame_source(AviState &s, HBITMAP bitmap)
{
    BITMAP shape;
    if (GetObjectW(bitmap, sizeof shape, &shape) != sizeof shape)
        return nullptr;
    bool exact = !s.cropped && shape.bmWidth == s.width && (shape.bmHeight == s.height || shape.bmHeight == -s.height);
    if (exact)
        return bitmap;
    HDC screen = GetDC(nullptr);
    if (!s.crop)
        s.crop = CreateCompatibleBitmap(screen, s.width, s.height);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, s.crop);
    PatBlt(to, 0, 0, s.width, s.height, BLACKNESS);
    BOOL copied = BitBlt(to, 0, 0, s.width, s.height, from, s.offset.x, s.offset.y, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return copied && s.crop ? s.crop : nullptr;
}

} // namespace

DWORD avi_frame_period(const tagTRVX *ctx)
{
    if (!ctx->aviActive)
        return 0;
    return 1000u / (DWORD)((const AviState *)ctx->aviState)->framesPerSecond;
}

void avi_after_flip(tagTRVX *ctx, int index)
{
    if (!ctx->aviActive || index != ctx->aviViewPort)
        return;
    HBITMAP frame = TRVX_CaptureViewPort(ctx, index);
    if (!frame)
        return;
    TRVX_FrameAvi(ctx, frame);
    DeleteObject(frame);
}

// 1 when recording of the view port into `fileName` started; 0 for a bad view port or rate, a
// cancelled compressor choice or a file that could not be made (nothing stays open then).
int WINAPI TRVX_StartAvi(TRVXCONTEXT ctx, int viewPort, const wchar_t *fileName, int framesPerSecond,
                         const POINT *offset)
{
    if (!ctx)
        return 0;
    if (ctx->aviActive)
        TRVX_EndAvi(ctx);
    AviState &s = state_of(ctx);
    memset(&s, 0, sizeof s);
    ctx->aviActive = 0;
    if (!fileName || framesPerSecond <= 0 || viewPort < 0 || viewPort >= ctx->viewPortCount)
        return 0;
    const tagTRVXVIEWPORT &port = ctx->viewPorts[viewPort];
    if (port.width <= 0 || port.height <= 0 || port.width > 0x7FFF || port.height > 0x7FFF)
        return 0;
    int row = (port.width * 3 + 3) & ~3;
    if (row > 0x7FFFFFFF / port.height)
        return 0;
    AVIFileInit();
    s.framesPerSecond = framesPerSecond;
    s.width = port.width;
    s.height = port.height;
    s.imageSize = row * port.height;
    if (offset) {
        s.cropped = 1;
        s.offset = *offset;
    }

    AVICOMPRESSOPTIONS options;
    if (!choose_compressor(ctx, frame_format(s), &options)) {
        release(ctx, s);
        return 0;
    }
    if (!open_streams(ctx, s, fileName, options)) {
        bool created = s.file != nullptr;
        release(ctx, s);
        if (created)
            DeleteFileW(fileName);
        return 0;
    }
    ctx->aviViewPort = viewPort;
    ctx->aviActive = 1;
    return 1;
}

// 1 when the bitmap was written as the next frame (a key frame); 0 without a recording or when
// the write failed, which does not use up a frame number.
int WINAPI TRVX_FrameAvi(TRVXCONTEXT ctx, HBITMAP bitmap)
{
    if (!ctx || !ctx->aviActive || !bitmap)
        return 0;
    AviState &s = state_of(ctx);
    HBITMAP source = frame_source(s, bitmap);
    if (!source)
        return 0;
    BITMAPINFO format = {};
    format.bmiHeader = frame_format(s);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, source, 0, (UINT)s.height, s.pixels, &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != s.height)
        return 0;
    PAVISTREAM target = s.compressed ? s.compressed : s.raw;
    if (AVIStreamWrite(target, s.frame, 1, s.pixels, s.imageSize, AVIIF_KEYFRAME, nullptr, nullptr) != AVIERR_OK)
        return 0;
    s.frame += 1;
    return 1;
}

// Ends the recording: the file is completed and every resource of it released.
void WINAPI TRVX_EndAvi(TRVXCONTEXT ctx)
{
    if (!ctx || !ctx->aviActive)
        return;
    release(ctx, state_of(ctx));
    ctx->aviActive = 0;
}
