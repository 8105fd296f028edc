// View ports (open, move, close, the device reset of view port 0, clipping), the texture and font
// tables, screen capture and the BMP files written from it.
#include "test_support.h"

#include <climits>
#include <fstream>
#include <iterator>

namespace {

typedef EngineTest ViewPortTest;

std::vector<uint8_t> read_bytes(const std::wstring &path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t u32(const std::vector<uint8_t> &bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | (uint32_t)bytes[at + 3] << 24;
}

// The colour 0x00RRGGBB of one pixel of a bitmap.
uint32_t pixel(HBITMAP bitmap, int x, int y)
{
    BITMAP shape;
    GetObjectW(bitmap, sizeof shape, &shape);
    std::vector<uint32_t> pixels((size_t)shape.bmWidth * shape.bmHeight);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shape.bmWidth, -shape.bmHeight, 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, (UINT)shape.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels[(size_t)y * shape.bmWidth + x] & 0xFFFFFF;
}

void paint_window(const RECT &area, COLORREF colour)
{
    HDC dc = GetDC(test_window());
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    ReleaseDC(test_window(), dc);
    GdiFlush();
}

std::wstring out_folder()
{
    std::wstring folder = test_folder() + L"out\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

} // namespace

TEST_F(ViewPortTest, ViewPortsOpenMoveAndClose)
{
    RECT inset = {10, 10, 110, 90};
    EXPECT_NE(TRVX_ViewPort(ctx, 2, &inset) & 0xFFFFFFFF, 0);
    ASSERT_EQ(ctx->viewPortCount, 3);
    EXPECT_EQ(ctx->viewPorts[1].open, 0);
    EXPECT_EQ(ctx->viewPorts[2].open, 1);
    EXPECT_EQ(ctx->viewPorts[2].width, 100);
    EXPECT_EQ(driver.numbers(), std::vector<int>({11}));

    driver.clear();
    EXPECT_NE(TRVX_ViewPort(ctx, 2, &inset), 0); // same place: nothing to do
    EXPECT_TRUE(driver.numbers().empty());
    RECT moved = {20, 10, 120, 90};
    EXPECT_NE(TRVX_ViewPort(ctx, 2, &moved), 0);
    EXPECT_EQ(driver.numbers(), std::vector<int>({12, 11}));
    EXPECT_EQ(ctx->viewPorts[2].x, 20);

    driver.clear();
    EXPECT_NE(TRVX_ViewPort(ctx, 2, nullptr), 0);
    EXPECT_EQ(driver.numbers(), std::vector<int>({12}));
    EXPECT_EQ(ctx->viewPorts[2].open, 0);

    driver.answer(TRVXCMD_VIEWPORT_OPEN, 0);
    EXPECT_EQ(TRVX_ViewPort(ctx, 1, &inset) & 0xFFFFFFFF, 0);
    EXPECT_EQ(TRVX_ViewPort(ctx, -1, &inset), 0);
}

TEST_F(ViewPortTest, ReopeningViewPortZeroResetsTheDevice)
{
    int slot = TRVX_ReadTexture(ctx, L"sky.bmp", 0, 0, 0);
    ASSERT_EQ(slot, 1);
    TRVXLAYER a = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"a");
    TRVXLAYER b = TRVXL_CreateLayer(ctx, a, L"b");
    TRVXLAYER root = ctx->rootLayer;
    driver.clear();

    RECT same = {0, 0, 640, 480};
    EXPECT_NE(TRVX_ViewPort(ctx, 0, &same), 0);
    EXPECT_TRUE(driver.numbers().empty());

    RECT bigger = {0, 0, 800, 600};
    EXPECT_NE(TRVX_ViewPort(ctx, 0, &bigger), 0);
    std::vector<RecordedCommand> seen = driver.commands();
    std::vector<std::pair<int, DWORD_PTR>> got, expected = {
        {31, 1}, {22, (DWORD_PTR)root}, {21, (DWORD_PTR)root}, {22, (DWORD_PTR)a}, {21, (DWORD_PTR)a},
        {22, (DWORD_PTR)b}, {21, (DWORD_PTR)b}, {12, 0}, {11, 0}, {30, 1},
        {20, (DWORD_PTR)root}, {20, (DWORD_PTR)a}, {20, (DWORD_PTR)b}};
    for (const RecordedCommand &c : seen)
        got.push_back({c.command, c.p1});
    EXPECT_EQ(got, expected);
    EXPECT_EQ(seen[0].p2, 1u);  // released for the reset: the slot stays in use
    EXPECT_EQ(seen[8].p3, 1u);  // window mode
    EXPECT_EQ(seen[9].p2, 1u);  // reloaded after the reset
    EXPECT_EQ(ctx->textures[slot].useCount, 1);
    RECT none = {};
    EXPECT_TRUE(EqualRect(&ctx->screenClip, &none));

    // A device that does not come back: nothing is reloaded.
    driver.clear();
    driver.answer(TRVXCMD_VIEWPORT_OPEN, 0);
    EXPECT_EQ(TRVX_ViewPort(ctx, 0, &same) & 0xFFFFFFFF, 0);
    for (int command : driver.numbers()) {
        EXPECT_NE(command, TRVXCMD_TEXTURE_LOAD);
        EXPECT_NE(command, TRVXCMD_LAYER_BUILD);
    }
}

TEST_F(ViewPortTest, ViewPortZeroClosedAndOpenedAgainGetsItsDeviceObjectsBack)
{
    ASSERT_EQ(TRVX_ReadTexture(ctx, L"sky.bmp", 0, 0, 0), 1);
    RECT view = {0, 0, 640, 480};
    EXPECT_NE(TRVX_ViewPort(ctx, 0, nullptr), 0);
    driver.answer(TRVXCMD_VIEWPORT_OPEN, 0);
    EXPECT_EQ(TRVX_ViewPort(ctx, 0, &view) & 0xFFFFFFFF, 0);
    driver.answer(TRVXCMD_VIEWPORT_OPEN, (DWORD_PTR)-1);
    driver.clear();
    EXPECT_NE(TRVX_ViewPort(ctx, 0, &view), 0);
    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].command, 11);
    EXPECT_EQ(seen[1].command, 30);
    EXPECT_EQ(seen[1].p2, 1u);
    EXPECT_EQ(seen[2].command, 20);
    EXPECT_EQ(seen[2].p1, (DWORD_PTR)ctx->rootLayer);
}

TEST_F(ViewPortTest, FullScreenClipInCentredCoordinates)
{
    ctx->windowed = 0;
    RECT screen = {0, 0, 800, 600};
    ASSERT_NE(TRVX_ViewPort(ctx, 0, &screen), 0);
    RECT whole = {-400, 300, 400, -300};
    EXPECT_TRUE(EqualRect(&ctx->screenClip, &whole));

    RECT clip = {10, 20, 110, 220};
    EXPECT_NE(TRVX_ClipViewPort(ctx, 0, &clip), 0);
    RECT centred = {-390, 280, -290, 80};
    EXPECT_TRUE(EqualRect(&ctx->screenClip, &centred));
    EXPECT_EQ(ctx->viewPorts[0].clipWidth, 100);
    EXPECT_EQ(ctx->viewPorts[0].clipHeight, 200);
    EXPECT_NE(TRVX_ClipViewPort(ctx, 0, nullptr), 0);
    EXPECT_TRUE(EqualRect(&ctx->screenClip, &whole));
    EXPECT_EQ(ctx->viewPorts[0].clipWidth, 800);
    EXPECT_EQ(TRVX_ClipViewPort(ctx, 1, &clip), 0);
    EXPECT_EQ(TRVX_ClipViewPort(ctx, -1, &clip), 0);
}

TEST_F(ViewPortTest, IndicesWhoseArrayWouldNotFitAreRefused)
{
    RECT inset = {10, 10, 110, 90};
    tagTRVXVIEWPORT portZero = ctx->viewPorts[0];
    // 59652323: (index + 1) * 72 bytes wraps to 32 in 32 bits.
    for (int index : {59652323, INT_MAX / 72, INT_MAX - 1, INT_MAX, -1, INT_MIN}) {
        EXPECT_EQ(TRVX_ViewPort(ctx, index, &inset), 0) << index;
        EXPECT_EQ(TRVX_ClipViewPort(ctx, index, &inset), 0) << index;
        EXPECT_EQ(TRVX_FlipViewPort(ctx, index), 0) << index;
    }
    EXPECT_TRUE(driver.numbers().empty());
    EXPECT_EQ(ctx->viewPortCount, 1);
    EXPECT_EQ(memcmp(&ctx->viewPorts[0], &portZero, sizeof portZero), 0);
    EXPECT_NE(TRVX_ClearViewPort(ctx, 0, 0), 0);
}

TEST_F(ViewPortTest, ClearAndFlipOnlyOpenViewPorts)
{
    EXPECT_EQ(TRVX_ClearViewPort(ctx, 0, 0x123456), 1);
    EXPECT_EQ(TRVX_ClearZbuffer(ctx, 0), 1);
    EXPECT_EQ(TRVX_EXT_FlipViewPort(ctx, 0, 5, 6), 1);
    EXPECT_EQ(TRVX_FlipViewPort(ctx, 0), 1);
    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].command, 15);
    EXPECT_EQ(seen[0].p2, 0x123456u);
    EXPECT_EQ(seen[1].command, 16);
    EXPECT_EQ(seen[2].command, 13);
    EXPECT_EQ(seen[2].p2, 5u);
    EXPECT_EQ(seen[2].p3, 6u);
    EXPECT_EQ(seen[3].p2, 0u);

    driver.clear();
    RECT inset = {0, 0, 10, 10};
    TRVX_ViewPort(ctx, 2, &inset);
    TRVX_ViewPort(ctx, 2, nullptr);
    driver.clear();
    EXPECT_EQ(TRVX_ClearViewPort(ctx, 1, 0), 0); // never opened
    EXPECT_EQ(TRVX_ClearZbuffer(ctx, 2), 0);     // closed
    EXPECT_EQ(TRVX_FlipViewPort(ctx, 3), 0);
    EXPECT_EQ(TRVX_FlipViewPort(ctx, -1), 0);
    EXPECT_EQ(TRVX_FlipViewPort(nullptr, 0), 0);
    EXPECT_TRUE(driver.numbers().empty());
}

TEST_F(ViewPortTest, TexturesAreSharedByNameAndCounted)
{
    int sky = TRVX_ReadTexture(ctx, L"sky.bmp", 0, 0, 0);
    EXPECT_EQ(sky, 1);
    EXPECT_EQ(TRVX_ReadTexture(ctx, L"sky.bmp", 0, 0, 0), sky);
    EXPECT_EQ(ctx->textures[sky].useCount, 1);
    EXPECT_STREQ(ctx->textures[sky].name, L"sky");
    EXPECT_STREQ(ctx->textures[sky].extension, L".bmp");
    EXPECT_EQ(driver.numbers(), std::vector<int>({30}));

    driver.clear();
    EXPECT_EQ(TRVX_ReadTexture(ctx, L"sky.bmp", 1, 0, 0x200), sky);
    EXPECT_EQ(driver.numbers(), std::vector<int>({31, 30}));
    EXPECT_EQ(ctx->textures[sky].options, 0x200);

    // Two more uses: the slot survives two deletes and goes with the third.
    ctx->textures[sky].useCount = 3;
    driver.clear();
    EXPECT_EQ(TRVX_DeleteTexture(ctx, sky), 1);
    EXPECT_EQ(TRVX_DeleteTexture(ctx, sky), 1);
    EXPECT_TRUE(driver.numbers().empty());
    EXPECT_EQ(TRVX_DeleteTexture(ctx, sky), 1);
    EXPECT_EQ(driver.numbers(), std::vector<int>({31}));
    EXPECT_EQ(ctx->textures[sky].useCount, 0);
    EXPECT_EQ(ctx->textures[sky].name[0], 0);
    EXPECT_EQ(TRVX_GetInformation(ctx, 1000 + sky), 0u);

    // A failed load keeps its names: asking again without reload does not retry.
    driver.answer(TRVXCMD_TEXTURE_LOAD, 0);
    EXPECT_EQ(TRVX_ReadTexture(ctx, L"missing.png", 0, 0, 0), 0);
    driver.clear();
    EXPECT_EQ(TRVX_ReadTexture(ctx, L"missing.png", 0, 0, 0), 1);
    EXPECT_TRUE(driver.numbers().empty());
    driver.answer(TRVXCMD_TEXTURE_LOAD, (DWORD_PTR)-1);
}

TEST_F(ViewPortTest, TextureTableGrowsByTenAndNeverHandsOutSlotZero)
{
    for (int i = 1; i <= 9; ++i)
        ASSERT_EQ(TRVX_CreateTexture(ctx, 64, 32, 1), i);
    EXPECT_EQ(ctx->textureCount, 10);
    EXPECT_EQ(TRVX_CreateTexture(ctx, 64, 32, 1), 10);
    EXPECT_EQ(ctx->textureCount, 20);
    EXPECT_EQ(ctx->textures[10].width, 64);
    EXPECT_EQ(ctx->textures[10].options, 1);
    EXPECT_EQ(TRVX_GetInformation(ctx, 1000), 0u);
    EXPECT_EQ(TRVX_GetInformation(ctx, 1010), (DWORD_PTR)&ctx->textures[10]);

    driver.answer(TRVXCMD_TEXTURE_CREATE, 0);
    EXPECT_EQ(TRVX_CreateTexture(ctx, 8, 8, 0), 0);
    EXPECT_EQ(ctx->textures[11].useCount, 0);

    // A copy of the size and options with an object of its own, filled from the original.
    driver.answer(TRVXCMD_TEXTURE_CREATE, (DWORD_PTR)-1);
    driver.clear();
    EXPECT_EQ(TRVX_ExchangeTexture(ctx, 3, 11), 1);
    EXPECT_EQ(driver.numbers(), std::vector<int>({32, 33}));
    EXPECT_EQ(ctx->textures[11].width, 64);
    EXPECT_EQ(ctx->textures[11].options, 1);
    EXPECT_EQ(ctx->textures[11].useCount, 1);
    EXPECT_NE(ctx->textures[11].object, nullptr);
    EXPECT_NE(ctx->textures[11].object, ctx->textures[3].object);
    driver.clear();
    RECT part = {0, 0, 4, 4};
    EXPECT_EQ(TRVX_CopyTexture(ctx, 2, -3, 7, 5, &part), 1);
    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].command, 33);
    EXPECT_EQ(seen[0].p2, (7u << 16) | 0xFFFDu);
    EXPECT_EQ(seen[0].p3, 5u);
    EXPECT_EQ(seen[0].p4, (DWORD_PTR)&part);
}

TEST_F(ViewPortTest, FontsReuseFreeRecordsAndDrawThroughTheDriver)
{
    EXPECT_EQ(TRVX_DeleteFont(ctx, 1), 1);
    EXPECT_EQ(ctx->fonts[1].faceName[0], 0);
    EXPECT_EQ(TRVX_CreateFont(ctx, 12, 0, 400, 1, 0, 0, L"Arial"), 1);
    EXPECT_EQ(ctx->fontCount, 3);
    EXPECT_EQ(ctx->fonts[1].italic, 1);
    EXPECT_EQ(TRVX_CreateFont(ctx, 12, 0, 400, 0, 0, 0, L"Arial"), 3);
    EXPECT_EQ(ctx->fontCount, 4);

    driver.answer(TRVXCMD_FONT_CREATE, 0);
    EXPECT_EQ(TRVX_CreateFont(ctx, 12, 0, 400, 0, 0, 0, L"Tahoma"), -1);
    EXPECT_EQ(ctx->fontCount, 4);
    driver.answer(TRVXCMD_FONT_CREATE, (DWORD_PTR)-1);

    driver.clear();
    driver.answer(TRVXCMD_FONT_DRAW, 7);
    EXPECT_EQ(TRVX_DisplayFont(ctx, 0, 2, L"Hello", 32, nullptr, 0x80FFFFFF), 7u);
    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].p2, (DWORD_PTR)&ctx->fonts[2]);
    EXPECT_STREQ((const wchar_t *)seen[0].p3, L"Hello");
    RECT whole = {0, 0, 640, 480};
    EXPECT_TRUE(EqualRect(&ctx->fonts[2].rect, &whole));
    EXPECT_EQ(ctx->fonts[2].format, 32u);
    EXPECT_EQ(ctx->fonts[2].colour, 0x80FFFFFFu);

    TRVX_DeleteFont(ctx, 2);
    driver.clear();
    EXPECT_EQ(TRVX_DisplayFont(ctx, 0, 2, L"x", 0, nullptr, 0), 0u);
    EXPECT_EQ(TRVX_DisplayFont(ctx, 1, 0, L"x", 0, nullptr, 0), 0u);
    EXPECT_EQ(TRVX_DisplayFont(ctx, 0, 9, L"x", 0, nullptr, 0), 0u);
    EXPECT_TRUE(driver.numbers().empty());
}

TEST_F(ViewPortTest, CaptureTakesTheWindowPixelsUnderTheViewPort)
{
    ShowWindow(test_window(), SW_SHOWNOACTIVATE);
    UpdateWindow(test_window());
    RECT all = {0, 0, 640, 480}, spot = {20, 30, 30, 40};
    paint_window(all, RGB(0, 0, 0));
    paint_window(spot, RGB(0, 255, 0));

    HBITMAP whole = TRVX_CaptureViewPort(ctx, 0);
    ASSERT_NE(whole, nullptr);
    BITMAP shape;
    GetObjectW(whole, sizeof shape, &shape);
    EXPECT_EQ(shape.bmWidth, 640);
    EXPECT_EQ(shape.bmHeight, 480);
    EXPECT_EQ(pixel(whole, 25, 35), 0x00FF00u);
    EXPECT_EQ(pixel(whole, 15, 35), 0u);
    DeleteObject(whole);

    // Above view port 0, a view port's corner is relative to view port 0's.
    RECT zero = {10, 20, 330, 260}, inset = {5, 5, 45, 45};
    ASSERT_NE(TRVX_ViewPort(ctx, 0, &zero), 0);
    ASSERT_NE(TRVX_ViewPort(ctx, 1, &inset), 0);
    paint_window(all, RGB(0, 0, 0));
    paint_window(spot, RGB(0, 255, 0));
    HBITMAP part = TRVX_CaptureViewPort(ctx, 1);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(pixel(part, 5, 5), 0x00FF00u);
    EXPECT_EQ(pixel(part, 4, 5), 0u);
    DeleteObject(part);

    TRVX_ViewPort(ctx, 1, nullptr);
    EXPECT_EQ(TRVX_CaptureViewPort(ctx, 1), nullptr);
    EXPECT_EQ(TRVX_CaptureViewPort(ctx, 2), nullptr);
    EXPECT_EQ(TRVX_CaptureViewPort(ctx, -1), nullptr);
    ShowWindow(test_window(), SW_HIDE);
}

TEST_F(ViewPortTest, BitmapFilesHavePaddedRowsBottomUp)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 641, 480);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 641, 480, BLACKNESS);
    SetPixel(memory, 0, 0, RGB(255, 0, 0));
    SetPixel(memory, 640, 479, RGB(0, 0, 255));
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    std::wstring path = out_folder() + L"written.bmp";
    ASSERT_EQ(TRVX_WriteBitmap(ctx, path.c_str(), bitmap), 1);
    std::vector<uint8_t> file = read_bytes(path);
    const size_t row = 1924; // 641 * 3 = 1923, padded to a multiple of 4
    ASSERT_EQ(file.size(), 54 + row * 480);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32(file, 2), file.size());
    EXPECT_EQ(u32(file, 6), 0u);
    EXPECT_EQ(u32(file, 10), 54u);
    EXPECT_EQ(u32(file, 14), 40u);
    EXPECT_EQ(u32(file, 18), 641u);
    EXPECT_EQ(u32(file, 22), 480u);
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 24);
    EXPECT_EQ(u32(file, 30), 0u);
    EXPECT_EQ(u32(file, 34), row * 480);
    // The top-left red pixel is in the last row; the bottom-right blue one ends the first row.
    const size_t top = 54 + row * 479;
    EXPECT_EQ(file[top + 2], 255);
    EXPECT_EQ(file[top], 0);
    EXPECT_EQ(file[54 + 640 * 3], 255);
    EXPECT_EQ(file[54 + 1923], 0);

    // Replacing an old file, and failures.
    ASSERT_EQ(TRVX_WriteBitmap(ctx, path.c_str(), bitmap), 1);
    EXPECT_EQ(read_bytes(path).size(), file.size());
    EXPECT_EQ(TRVX_WriteBitmap(ctx, (out_folder() + L"no\\such\\folder.bmp").c_str(), bitmap), 0);
    EXPECT_EQ(TRVX_WriteBitmap(ctx, path.c_str(), nullptr), 0);
    DeleteObject(bitmap);

    // A capture of an odd-width view port, left for the host-side check with a standard reader.
    RECT odd = {0, 0, 641, 480};
    ASSERT_NE(TRVX_ViewPort(ctx, 1, &odd), 0);
    HBITMAP captured = TRVX_CaptureViewPort(ctx, 1);
    ASSERT_NE(captured, nullptr);
    EXPECT_EQ(TRVX_WriteBitmap(ctx, (out_folder() + L"capture.bmp").c_str(), captured), 1);
    DeleteObject(captured);
}
