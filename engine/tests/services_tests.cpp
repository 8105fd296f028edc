// Engine services: the frame-time average, the progress gauge (dialog and callback), keyboard and
// mouse polling with the key queue, and the information query.
#include "test_support.h"

#include <commctrl.h>

namespace {

typedef EngineTest ServicesTest;

struct GaugeCall {
    std::wstring caption;
    DWORD percent;
};
std::vector<GaugeCall> g_gaugeCalls;

void WINAPI record_gauge(TRVXCONTEXT, const wchar_t *caption, DWORD percent)
{
    g_gaugeCalls.push_back({caption, percent});
}

int bar_position(HWND dialog)
{
    TRVX_SystemTask(nullptr);
    return (int)SendDlgItemMessageW(dialog, 1001, PBM_GETPOS, 0, 0);
}

std::wstring window_text(HWND window)
{
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

// Key and button bytes that the recording driver hands over at the next poll.
struct Devices {
    uint8_t keys[256] = {};
    uint8_t buttons[64] = {};
    int32_t axes[16] = {};
    void send() { RecordingDriver::get().input(keys, buttons, axes); }
};

std::vector<int> drain(TRVXCONTEXT ctx)
{
    std::vector<int> codes;
    while (int code = TRVX_DeviceInputBuffer(ctx))
        codes.push_back(code);
    return codes;
}

} // namespace

TEST_F(ServicesTest, SampleAverageHalvesPastAThousandSamples)
{
    TRVX_SampleCounter(ctx, -1);
    EXPECT_EQ(TRVX_SampleCounter(ctx, 0), 50u);
    for (int i = 0; i < 1001; ++i)
        EXPECT_EQ(TRVX_SampleCounter(ctx, 20), 0u);
    EXPECT_EQ(ctx->sampleCount, 501u); // halved once, at the 1001st entry
    EXPECT_EQ(TRVX_SampleCounter(ctx, 0), 20u);

    TRVX_StartCounter(ctx);
    Sleep(30);
    DWORD ms = TRVX_EndCounter(ctx);
    EXPECT_GE(ms, 25u);
    EXPECT_LT(ms, 1000u);
}

TEST_F(ServicesTest, GaugeDialogShowsTheProgress)
{
    HWND dialog = TRVX_OpenGage(ctx, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ctx->gaugeWindow, dialog);
    EXPECT_EQ(window_text(dialog), L"Now Processing");
    EXPECT_EQ(GetParent(dialog) == test_window() || GetWindow(dialog, GW_OWNER) == test_window(), true);
    wchar_t kind[64];
    GetClassNameW(GetDlgItem(dialog, 1001), kind, 64);
    EXPECT_STREQ(kind, PROGRESS_CLASSW);
    EXPECT_EQ(SendDlgItemMessageW(dialog, 1001, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(bar_position(dialog), 0);
    EXPECT_EQ(ctx->gaugePercent, 100u);
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // Opening again keeps the one dialog and retitles it.
    EXPECT_EQ(TRVX_OpenGage(ctx, L"Loading the airport", nullptr), dialog);
    EXPECT_EQ(window_text(dialog), L"Loading the airport");

    TRVX_SetGage(ctx, 40);
    EXPECT_EQ(bar_position(dialog), 40);
    TRVX_SetGage(ctx, 150);
    EXPECT_EQ(ctx->gaugePercent, 100u);
    EXPECT_EQ(bar_position(dialog), 100);
    SendDlgItemMessageW(dialog, 1001, PBM_SETPOS, 55, 0);
    TRVX_SetGage(ctx, 100); // unchanged: nothing is sent
    EXPECT_EQ(bar_position(dialog), 55);

    TRVX_CloseGage(ctx);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ctx->gaugeWindow, nullptr);
    EXPECT_EQ(ctx->gaugeCaption[0], 0);
    TRVX_SetGage(ctx, 10); // harmless without a gauge
    TRVX_CloseGage(ctx);
}

TEST_F(ServicesTest, GaugeCallbackGetsEachNewValue)
{
    g_gaugeCalls.clear();
    std::wstring longCaption(70, L'c');
    EXPECT_EQ(TRVX_OpenGage(ctx, longCaption.c_str(), record_gauge), nullptr);
    EXPECT_EQ(ctx->gaugeWindow, nullptr);
    EXPECT_EQ(std::wstring(ctx->gaugeCaption), longCaption.substr(0, 63));
    TRVX_SetGage(ctx, 30);
    TRVX_SetGage(ctx, 30);
    TRVX_SetGage(ctx, 101);
    ASSERT_EQ(g_gaugeCalls.size(), 2u);
    EXPECT_EQ(g_gaugeCalls[0].caption, longCaption.substr(0, 63));
    EXPECT_EQ(g_gaugeCalls[0].percent, 30u);
    EXPECT_EQ(g_gaugeCalls[1].percent, 100u);
    TRVX_CloseGage(ctx);
    TRVX_SetGage(ctx, 5);
    EXPECT_EQ(g_gaugeCalls.size(), 2u);
}

TEST_F(ServicesTest, NewlyPressedKeysAndButtonsAreQueuedOnce)
{
    Devices devices;
    devices.keys[30] = 0x80;
    devices.buttons[0] = 0x80;
    devices.axes[0] = 5;
    devices.axes[1] = -3;
    devices.send();
    tagTRVXINPUT *input = TRVX_DeviceInput(ctx, 3);
    ASSERT_EQ(input, &ctx->inputState);
    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].p1, 1u);
    EXPECT_EQ(seen[1].p1, 2u);
    EXPECT_EQ(seen[0].p2, (DWORD_PTR)input);
    EXPECT_EQ(input->keys[30], 0x81);
    EXPECT_EQ(input->buttons[0], 0x81);
    EXPECT_EQ(input->axisDelta[0], 5);

    devices.axes[0] = 8;
    devices.send();
    TRVX_DeviceInput(ctx, 3); // held over two polls: still one entry
    EXPECT_EQ(input->keys[30], 0x80);
    EXPECT_EQ(input->axisDelta[0], 3);
    EXPECT_EQ(input->axisDelta[1], 0);
    EXPECT_EQ(ctx->inputPrevious.keys[30], 0x81);
    EXPECT_EQ(drain(ctx), std::vector<int>({30, 256}));
    EXPECT_EQ(TRVX_DeviceInputBuffer(ctx), 0);

    // Released and pressed again: queued again. Polling the keyboard only clears buttons 1 and 2.
    devices.keys[30] = 0;
    devices.send();
    TRVX_DeviceInput(ctx, 3);
    devices.keys[30] = 0x80;
    devices.buttons[2] = 0x80;
    devices.send();
    TRVX_DeviceInput(ctx, 1);
    EXPECT_EQ(input->buttons[2], 0);
    EXPECT_EQ(drain(ctx), std::vector<int>({30}));
    TRVX_DeviceInput(ctx, 2);
    EXPECT_EQ(input->keys[30], 0); // not read: cleared
    EXPECT_EQ(drain(ctx), std::vector<int>({258}));

    TRVX_DeviceInput(ctx, 0);
    EXPECT_EQ(input->buttons[0], 0);
    EXPECT_EQ(ctx->inputPrevious.buttons[0], 0);
}

TEST_F(ServicesTest, KeyQueueHoldsFifteenCodes)
{
    Devices devices;
    for (int code = 1; code <= 20; ++code)
        devices.keys[code] = 0x80;
    devices.send();
    TRVX_DeviceInput(ctx, 1);
    EXPECT_EQ(ctx->inputState.keys[20], 0x81); // marked even when the queue is full
    EXPECT_EQ(TRVX_SetDeviceInputBuffer(ctx, 99), 0);
    std::vector<int> codes = drain(ctx);
    ASSERT_EQ(codes.size(), 15u);
    EXPECT_EQ(codes.front(), 1);
    EXPECT_EQ(codes.back(), 15);

    EXPECT_EQ(TRVX_SetDeviceInputBuffer(ctx, 300), 1);
    EXPECT_EQ(TRVX_SetDeviceInputBuffer(ctx, 0), 0);
    EXPECT_EQ(TRVX_DeviceInputBuffer(ctx), 300);
}

TEST_F(ServicesTest, InformationAddressesAndRefusals)
{
    EXPECT_EQ(TRVX_GetInformation(ctx, 1), (DWORD_PTR)&ctx->frameDepth);
    EXPECT_STREQ((const wchar_t *)TRVX_GetInformation(ctx, 2), L"ZXY");
    EXPECT_STREQ((const wchar_t *)TRVX_GetInformation(ctx, 3), L"SRT");
    EXPECT_EQ(TRVX_GetInformation(ctx, 4), (DWORD_PTR)&ctx->textureCount);
    EXPECT_EQ(*(tagTRVXTEXTURE **)(TRVX_GetInformation(ctx, 4) + sizeof(DWORD_PTR)), ctx->textures);
    EXPECT_EQ(TRVX_GetInformation(ctx, 5), (DWORD_PTR)&ctx->systemInfo);
    EXPECT_EQ(std::wstring((const wchar_t *)TRVX_GetInformation(ctx, 6)), test_folder());
    EXPECT_STREQ((const wchar_t *)TRVX_GetInformation(ctx, 7), ctx->iniPath);
    EXPECT_EQ(*(HWND *)TRVX_GetInformation(ctx, 8), test_window());

    ASSERT_GT(ctx->formatCount, 0);
    bool sawTestFormat = false;
    for (int n = 0; n < ctx->formatCount; ++n) {
        EXPECT_EQ(TRVX_GetInformation(ctx, 100 + n), (DWORD_PTR)ctx->formats[n].readFormats);
        EXPECT_EQ(TRVX_GetInformation(ctx, 200 + n), (DWORD_PTR)ctx->formats[n].writeFormats);
        const wchar_t *list = (const wchar_t *)TRVX_GetInformation(ctx, 100 + n);
        sawTestFormat = sawTestFormat || (list && !wcscmp(list, L"TEST"));
    }
    EXPECT_TRUE(sawTestFormat);
    EXPECT_EQ(TRVX_GetInformation(ctx, 100 + ctx->formatCount), 0u);
    EXPECT_EQ(TRVX_GetInformation(ctx, 200 + ctx->formatCount), 0u);
    for (int what : {0, 9, 99, 300, 999, 1000, 1000 + ctx->textureCount, -1, 0x7FFFFFFF})
        EXPECT_EQ(TRVX_GetInformation(ctx, what), 0u) << what;
}
