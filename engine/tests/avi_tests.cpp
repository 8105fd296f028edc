// AVI recording through Video for Windows: the compressor dialog (answered here by a hook that
// reads it and presses its button), frames from flips, cropping, the frame period, and failures.
#include "test_support.h"

#include <vfw.h>

namespace {

// Answers the next dialogs of this thread with `button` and keeps what they showed.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button) : button_(button)
    {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, on_cbt, nullptr, GetCurrentThreadId());
    }
    ~DialogAnswerer()
    {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    int shown = 0;
    std::wstring title;
    std::vector<std::wstring> texts; // the dialog's controls

private:
    static BOOL CALLBACK keep_text(HWND control, LPARAM self)
    {
        wchar_t text[256] = {};
        GetWindowTextW(control, text, 256);
        ((DialogAnswerer *)self)->texts.push_back(text);
        return TRUE;
    }
    static LRESULT CALLBACK on_cbt(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND window = (HWND)wParam;
        wchar_t kind[16] = {};
        if (code == HCBT_ACTIVATE && current_ && GetClassNameW(window, kind, 16) && !wcscmp(kind, L"#32770")) {
            DialogAnswerer &self = *current_;
            self.shown += 1;
            wchar_t title[128] = {};
            GetWindowTextW(window, title, 128);
            self.title = title;
            self.texts.clear();
            EnumChildWindows(window, keep_text, (LPARAM)&self);
            PostMessageW(window, WM_COMMAND, self.button_, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static thread_local DialogAnswerer *current_;
    int button_;
    HHOOK hook_ = nullptr;
};
thread_local DialogAnswerer *DialogAnswerer::current_ = nullptr;

class AviTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        RECT frame = {0, 0, 160, 120};
        ASSERT_NE(TRVX_ViewPort(ctx, 1, &frame), 0);
        folder = test_folder() + L"out\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        AVIFileInit();
    }
    void TearDown() override
    {
        AVIFileExit();
        EngineTest::TearDown();
    }

    bool exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // Frame count, size and the pixels of frame `index` of a written file.
    struct Video {
        long frames = 0;
        BITMAPINFOHEADER format = {};
        std::vector<uint8_t> pixels;
        DWORD rate = 0;
    };
    Video read_video(const std::wstring &path, long index = 0)
    {
        Video video;
        PAVIFILE file = nullptr;
        if (AVIFileOpenW(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK)
            return video;
        PAVISTREAM stream = nullptr;
        if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK) {
            video.frames = AVIStreamLength(stream);
            AVISTREAMINFOW info = {};
            AVIStreamInfoW(stream, &info, sizeof info);
            video.rate = info.dwRate;
            LONG size = sizeof video.format;
            AVIStreamReadFormat(stream, 0, &video.format, &size);
            video.pixels.resize(video.format.biSizeImage);
            LONG bytes = 0, samples = 0;
            if (video.frames > index)
                AVIStreamRead(stream, index, 1, video.pixels.data(), (LONG)video.pixels.size(), &bytes, &samples);
            AVIStreamRelease(stream);
        }
        AVIFileRelease(file);
        return video;
    }

    std::wstring folder;
};

HBITMAP solid_bitmap(int width, int height, COLORREF colour, int spotX = -1, int spotY = -1, COLORREF spot = 0)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    if (spotX >= 0)
        SetPixel(memory, spotX, spotY, spot);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

} // namespace

TEST_F(AviTest, FlipsOfTheRecordedViewPortBecomeFrames)
{
    std::wstring path = folder + L"record.avi";
    DeleteFileW(path.c_str());
    {
        DialogAnswerer answer(IDOK);
        ASSERT_EQ(TRVX_StartAvi(ctx, 1, path.c_str(), 10, nullptr), 1);
        EXPECT_EQ(answer.shown, 1);
        // The compressor dialog offers uncompressed frames, preset as the choice.
        bool uncompressed = false;
        for (const std::wstring &text : answer.texts)
            uncompressed = uncompressed || text.find(L"Uncompressed") != std::wstring::npos;
        EXPECT_TRUE(uncompressed) << "dialog \"" << std::string(answer.title.begin(), answer.title.end()) << "\"";
    }
    EXPECT_EQ(ctx->aviActive, 1);
    EXPECT_EQ(ctx->aviViewPort, 1);
    EXPECT_EQ(TRVX_EndCounter(ctx), 100u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(TRVX_FlipViewPort(ctx, 1), 1);
    TRVX_FlipViewPort(ctx, 0); // not recorded
    // A lost device presents nothing: the flip says so and the frame is not recorded.
    driver.answer(TRVXCMD_VIEWPORT_FLIP, 0);
    EXPECT_EQ(TRVX_FlipViewPort(ctx, 1), 0);
    EXPECT_EQ(TRVX_EXT_FlipViewPort(ctx, 1, 5, 6), 0);
    driver.answer(TRVXCMD_VIEWPORT_FLIP, (DWORD_PTR)-1);
    HBITMAP red = solid_bitmap(160, 120, RGB(255, 0, 0));
    EXPECT_EQ(TRVX_FrameAvi(ctx, red), 1);
    DeleteObject(red);
    TRVX_EndAvi(ctx);
    EXPECT_EQ(ctx->aviActive, 0);

    Video video = read_video(path, 4);
    EXPECT_EQ(video.frames, 5);
    EXPECT_EQ(video.rate, 10u);
    EXPECT_EQ(video.format.biWidth, 160);
    EXPECT_EQ(video.format.biHeight, 120);
    EXPECT_EQ(video.format.biBitCount, 24);
    EXPECT_EQ(video.format.biSizeImage, 480u * 120);
    ASSERT_EQ(video.pixels.size(), 480u * 120);
    EXPECT_EQ(video.pixels[2], 255); // the last frame is red (BGR order)
    EXPECT_EQ(video.pixels[0], 0);

    HBITMAP any = solid_bitmap(160, 120, 0);
    EXPECT_EQ(TRVX_FrameAvi(ctx, any), 0); // no recording
    DeleteObject(any);
}

TEST_F(AviTest, OffsetCropsTheFramesAndThePeriodFollowsTheRate)
{
    std::wstring path = folder + L"cropped.avi";
    POINT offset = {30, 40};
    DialogAnswerer answer(IDOK);
    ASSERT_EQ(TRVX_StartAvi(ctx, 1, path.c_str(), 30, &offset), 1);
    EXPECT_EQ(TRVX_EndCounter(ctx), 33u);
    HBITMAP big = solid_bitmap(200, 200, RGB(0, 0, 0), 30, 40, RGB(0, 0, 255));
    EXPECT_EQ(TRVX_FrameAvi(ctx, big), 1);
    DeleteObject(big);
    TRVX_EndAvi(ctx);
    TRVX_StartCounter(ctx);
    EXPECT_LT(TRVX_EndCounter(ctx), 33u); // back to the stopwatch

    Video video = read_video(path);
    ASSERT_EQ(video.frames, 1);
    ASSERT_EQ(video.pixels.size(), 480u * 120);
    const size_t topRow = 480 * 119; // bottom-up rows
    EXPECT_EQ(video.pixels[topRow], 255); // blue, at the frame's top-left corner
    EXPECT_EQ(video.pixels[topRow + 3], 0);
}

TEST_F(AviTest, RefusalsLeaveNothingOpen)
{
    std::wstring path = folder + L"refused.avi";
    DeleteFileW(path.c_str());
    DialogAnswerer cancel(IDCANCEL);
    EXPECT_EQ(TRVX_StartAvi(ctx, 2, path.c_str(), 10, nullptr), 0);
    EXPECT_EQ(TRVX_StartAvi(ctx, -1, path.c_str(), 10, nullptr), 0);
    EXPECT_EQ(TRVX_StartAvi(ctx, 1, path.c_str(), 0, nullptr), 0);
    EXPECT_EQ(TRVX_StartAvi(ctx, 1, nullptr, 10, nullptr), 0);
    EXPECT_EQ(cancel.shown, 0); // refused before asking the user
    EXPECT_EQ(TRVX_StartAvi(ctx, 1, path.c_str(), 10, nullptr), 0);
    EXPECT_EQ(cancel.shown, 1);
    EXPECT_EQ(ctx->aviActive, 0);
    EXPECT_FALSE(exists(path));

    DialogAnswerer ok(IDOK);
    std::wstring nowhere = folder + L"no\\such\\folder.avi";
    EXPECT_EQ(TRVX_StartAvi(ctx, 1, nowhere.c_str(), 10, nullptr), 0);
    EXPECT_EQ(ctx->aviActive, 0);
    EXPECT_EQ(TRVX_FlipViewPort(ctx, 1), 1);
    TRVX_StartCounter(ctx);
    EXPECT_LT(TRVX_EndCounter(ctx), 100u); // the stopwatch, not a frame period
    TRVX_EndAvi(ctx); // harmless without a recording
}

TEST_F(AviTest, EndingTheEngineCompletesTheRecording)
{
    std::wstring path = folder + L"ended.avi";
    {
        DialogAnswerer answer(IDOK);
        ASSERT_EQ(TRVX_StartAvi(ctx, 1, path.c_str(), 25, nullptr), 1);
    }
    TRVX_FlipViewPort(ctx, 1);
    TRVX_FlipViewPort(ctx, 1);
    // Starting again ends the first recording before the second begins.
    std::wstring second = folder + L"second.avi";
    {
        DialogAnswerer answer(IDOK);
        ASSERT_EQ(TRVX_StartAvi(ctx, 1, second.c_str(), 25, nullptr), 1);
    }
    TRVX_FlipViewPort(ctx, 1);
    EXPECT_TRUE(TRVX_End(ctx));
    ctx = nullptr;
    EXPECT_EQ(read_video(path).frames, 2);
    EXPECT_EQ(read_video(second).frames, 1);
}
