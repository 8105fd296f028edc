// Engine start and end: the command order, settings, plug-in discovery and every failure path.
#include "test_support.h"

#include <fstream>

namespace {

std::vector<int> start_and_end_commands(DWORD flags, TRVXCONTEXT *started = nullptr)
{
    RecordingDriver &driver = RecordingDriver::get();
    driver.clear();
    RECT view = {0, 0, 320, 240};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, flags);
    if (started)
        *started = ctx;
    if (ctx)
        TRVX_End(ctx);
    return driver.numbers();
}

typedef TRVXCONTEXT(WINAPI *StartProc)(HWND, const RECT *, DWORD);
typedef BOOL(WINAPI *EndProc)(TRVXCONTEXT);

// Starts the copy of the engine in a sub-folder, which looks for plug-ins beside itself.
TRVXCONTEXT start_engine_in(const wchar_t *subfolder, HMODULE *module)
{
    *module = LoadLibraryW((test_folder() + subfolder + L"\\trvx.dll").c_str());
    if (!*module)
        return nullptr;
    StartProc start = (StartProc)(void *)GetProcAddress(*module, "TRVX_Start");
    RECT view = {0, 0, 64, 64};
    return start(test_window(), &view, 1);
}

} // namespace

TEST(Context, StartAndEndSendTheCommandsInOrder)
{
    std::vector<int> seen = start_and_end_commands(1);
    std::vector<int> expected = {
        1,                 // driver start
        11, 15, 13, 15,    // view port 0 opened, both buffers cleared to black
        0, 0, 7,           // "MasterLayer": its two driver blocks and its material
        41, 41, 41,        // the three default fonts
        22, 21, 12,        // view port 0 closed: the layers' buffers dropped first
        21, 22,            // the tree freed
        42, 42, 42,        // fonts released
        2,                 // driver end, last
    };
    EXPECT_EQ(seen, expected);
}

TEST(Context, StartBuildsAWorkingContext)
{
    RECT view = {0, 0, 320, 240};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, 0x00020401);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->version, 1000u);
    EXPECT_EQ(ctx->windowed, 1u);
    EXPECT_EQ(ctx->systemInfo.graphics.antialias, 4);
    EXPECT_EQ(ctx->systemInfo.graphics.anisotropy, 2);
    EXPECT_EQ(std::wstring(ctx->folder), test_folder());
    EXPECT_EQ(std::wstring(ctx->iniPath), test_folder() + L"\\trvx.ini");
    ASSERT_NE(ctx->rootLayer, nullptr);
    EXPECT_STREQ(ctx->rootLayer->name, L"MasterLayer");
    EXPECT_EQ(ctx->rootLayer->parent, nullptr);
    EXPECT_EQ(ctx->viewPortCount, 1);
    EXPECT_EQ(ctx->viewPorts[0].width, 320);
    EXPECT_EQ(ctx->textureCount, 10);
    ASSERT_EQ(ctx->fontCount, 3);
    EXPECT_STREQ(ctx->fonts[0].faceName, L"Times New Roman");
    EXPECT_EQ(ctx->fonts[1].pitchAndFamily, 32);
    EXPECT_EQ(ctx->fonts[2].weight, 400);
    EXPECT_STREQ(ctx->rotationOrders[0], L"ZXY");
    EXPECT_STREQ(ctx->transformOrders[5], L"TRS");
    EXPECT_STREQ(ctx->transformOrders[15], L"");
    EXPECT_GT(ctx->counterFrequency, 0);
    EXPECT_EQ(TRVX_SampleCounter(ctx, 0), 50u);
    EXPECT_EQ(ctx->opaqueList.count, 2);
    EXPECT_NE(ctx->opaqueList.entries, nullptr);
    // The current directory is the engine's folder while the engine runs.
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(std::wstring(current) + L"\\", test_folder());
    EXPECT_TRUE(TRVX_End(ctx));
}

TEST(Context, SettingsComeFromTheIniFileUnlessTheFlagsOverrideThem)
{
    std::wstring ini = test_folder() + L"trvx.ini";
    {
        std::ofstream file(ini.c_str());
        file << "[VIDEO]\r\ncard=0\r\nantialias=3\r\nanisotropy=8\r\n";
    }
    RECT view = {0, 0, 32, 32};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, 0x00000001);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->systemInfo.graphics.antialias, 3);
    EXPECT_EQ(ctx->systemInfo.graphics.anisotropy, 8);
    TRVX_End(ctx);
    ctx = TRVX_Start(test_window(), &view, 0x00020401);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->systemInfo.graphics.antialias, 4);
    EXPECT_EQ(ctx->systemInfo.graphics.anisotropy, 2);
    TRVX_End(ctx);
    DeleteFileW(ini.c_str());
    ctx = TRVX_Start(test_window(), &view, 0);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->windowed, 0u);
    EXPECT_EQ(ctx->systemInfo.graphics.antialias, 1);
    EXPECT_EQ(ctx->systemInfo.graphics.anisotropy, 1);
    TRVX_End(ctx);
}

TEST(Context, SystemInformationIsFilled)
{
    RECT view = {0, 0, 32, 32};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, 1);
    ASSERT_NE(ctx, nullptr);
    const tagTRVXSYSINFO &info = ctx->systemInfo;
    EXPECT_NE(info.osName[0], 0);
    EXPECT_GT(info.windowsVersion, 400);
    EXPECT_STREQ(info.maker, L"Unknown"); // no oeminfo.ini in a fresh prefix
    EXPECT_STREQ(info.model, L"Unknown");
    if (info.processor[0]) {
        EXPECT_NE(info.processor[0], L' ');
        EXPECT_EQ(wcsstr(info.processor, L"  "), nullptr);
        // A power of two, strictly above the real amount.
        EXPECT_GT(info.memoryMB, 0);
        EXPECT_EQ(info.memoryMB & (info.memoryMB - 1), 0);
        MEMORYSTATUSEX memory = {sizeof memory};
        GlobalMemoryStatusEx(&memory);
        EXPECT_GT((uint64_t)info.memoryMB, memory.ullTotalPhys >> 20);
    }
    TRVX_End(ctx);
}

TEST(Context, DriverRefusingToStartFailsCleanly)
{
    RecordingDriver &driver = RecordingDriver::get();
    driver.answer(TRVXCMD_DRIVER_START, 0);
    TRVXCONTEXT ctx = (TRVXCONTEXT)1;
    EXPECT_EQ(start_and_end_commands(1, &ctx), std::vector<int>({1}));
    EXPECT_EQ(ctx, nullptr);
    driver.answer(TRVXCMD_DRIVER_START, (DWORD_PTR)-1);
}

TEST(Context, ViewPortRefusedFailsCleanlyAndEndsTheDriver)
{
    RecordingDriver &driver = RecordingDriver::get();
    driver.answer(TRVXCMD_VIEWPORT_OPEN, 0);
    TRVXCONTEXT ctx = (TRVXCONTEXT)1;
    EXPECT_EQ(start_and_end_commands(1, &ctx), std::vector<int>({1, 11, 2}));
    EXPECT_EQ(ctx, nullptr);
    driver.answer(TRVXCMD_VIEWPORT_OPEN, (DWORD_PTR)-1);
}

TEST(Context, NoDriverBesideTheEngineMeansNoContext)
{
    HMODULE module = nullptr;
    EXPECT_EQ(start_engine_in(L"nodriver", &module), nullptr);
    ASSERT_NE(module, nullptr);
    FreeLibrary(module);
}

TEST(Context, OnlyTheFirstOfTwoDriversIsLoaded)
{
    HMODULE module = nullptr;
    TRVXCONTEXT ctx = start_engine_in(L"twodrivers", &module);
    ASSERT_NE(ctx, nullptr);
    ASSERT_EQ(ctx->driverCount, 2);
    EXPECT_NE(ctx->drivers[0].module, nullptr);
    EXPECT_NE(ctx->drivers[0].entry, nullptr);
    EXPECT_EQ(ctx->drivers[1].module, nullptr);
    std::wstring first = ctx->drivers[0].name, second = ctx->drivers[1].name;
    EXPECT_EQ(GetModuleHandleW((first + L".dll").c_str()), ctx->drivers[0].module);
    EXPECT_EQ(GetModuleHandleW((second + L".dll").c_str()), nullptr);
    EXPECT_EQ(ctx->formatCount, 0);
    EndProc end = (EndProc)(void *)GetProcAddress(module, "TRVX_End");
    EXPECT_TRUE(end(ctx));
    FreeLibrary(module);
}

TEST(Context, BrokenFormatPluginIsListedAndPassedOver)
{
    RECT view = {0, 0, 32, 32};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, 1);
    ASSERT_NE(ctx, nullptr);
    ASSERT_EQ(ctx->formatCount, 2);
    int broken = wcscmp(ctx->formats[0].name, L"trvx_broken") == 0 ? 0 : 1;
    EXPECT_STREQ(ctx->formats[broken].name, L"trvx_broken");
    EXPECT_EQ(ctx->formats[broken].module, nullptr);
    EXPECT_EQ(ctx->formats[broken].readFormats, nullptr);
    const tagTRVXFILE &good = ctx->formats[1 - broken];
    EXPECT_STREQ(good.name, L"trvx_testfmt");
    ASSERT_NE(good.readFormats, nullptr);
    EXPECT_STREQ(good.readFormats, L"TEST");
    TRVX_End(ctx);
}

TEST(Context, EndRightAfterStartReleasesEverything)
{
    RECT view = {0, 0, 32, 32};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, 1);
    ASSERT_NE(ctx, nullptr);
    TRVXL_CreateLayer(ctx, TRVXL_CreateLayer(ctx, ctx->rootLayer, L"a"), L"b");
    RecordingDriver &driver = RecordingDriver::get();
    driver.clear();
    EXPECT_TRUE(TRVX_End(ctx));
    int fontsReleased = 0, facesDropped = 0;
    for (const RecordedCommand &c : driver.commands()) {
        fontsReleased += c.command == TRVXCMD_FONT_DELETE;
        facesDropped += c.command == TRVXCMD_LAYER_FACES_DROP;
    }
    EXPECT_EQ(fontsReleased, 3);
    EXPECT_EQ(facesDropped, 6); // three layers: once when view port 0 closes, once when freed
    EXPECT_EQ(driver.numbers().back(), TRVXCMD_DRIVER_END);
}

static std::wstring g_boxCaption, g_boxText;

// Reads the first message box of this thread, then answers it.
static LRESULT CALLBACK read_and_close_box(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t buffer[256];
    if (code == HCBT_ACTIVATE && GetClassNameW((HWND)wParam, buffer, 256) && !wcscmp(buffer, L"#32770")) {
        HWND box = (HWND)wParam;
        GetWindowTextW(box, buffer, 256);
        g_boxCaption = buffer;
        GetDlgItemTextW(box, 0xFFFF, buffer, 256);
        g_boxText = buffer;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Context, ErrorShowsAWarningBox)
{
    std::wstring &caption = g_boxCaption, &text = g_boxText;
    HHOOK hook = SetWindowsHookExW(WH_CBT, read_and_close_box, nullptr, GetCurrentThreadId());
    RECT view = {0, 0, 32, 32};
    TRVXCONTEXT ctx = TRVX_Start(test_window(), &view, 1);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(TRVX_Error(ctx, L"disk full"), IDOK);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(caption, L"Tarvex3D");
    EXPECT_EQ(text, L"disk full");
    TRVX_End(ctx);
}
