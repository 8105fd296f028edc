// Shared ground of the engine's tests: see test_support.h.
#include "test_support.h"

RecordingDriver &RecordingDriver::get()
{
    static RecordingDriver driver;
    if (!driver.log) {
        HMODULE module = LoadLibraryW(L"vdr_record.dll");
        driver.log = (RecordingLogProc)(void *)GetProcAddress(module, "RecordingLog");
        driver.clear = (RecordingClearProc)(void *)GetProcAddress(module, "RecordingClear");
        driver.answer = (RecordingAnswerProc)(void *)GetProcAddress(module, "RecordingAnswer");
        driver.input = (RecordingInputProc)(void *)GetProcAddress(module, "RecordingInput");
        driver.objectsProc = (RecordingObjectsProc)(void *)GetProcAddress(module, "RecordingObjects");
    }
    return driver;
}

std::vector<RecordedCommand> RecordingDriver::commands() const
{
    int count = 0;
    const RecordedCommand *entries = log(&count);
    return std::vector<RecordedCommand>(entries, entries + count);
}

std::vector<int> RecordingDriver::numbers() const
{
    std::vector<int> result;
    for (const RecordedCommand &c : commands())
        result.push_back(c.command);
    return result;
}

RecordedObjects RecordingDriver::objects() const
{
    RecordedObjects counts = {};
    objectsProc(&counts);
    return counts;
}

HWND test_window()
{
    static HWND window;
    if (!window) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TrvxEngineTest";
        RegisterClassW(&wc);
        window = CreateWindowW(L"TrvxEngineTest", L"engine tests", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }
    return window;
}

std::wstring test_folder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void EngineTest::SetUp()
{
    RECT view = {0, 0, 640, 480};
    ctx = TRVX_Start(test_window(), &view, 1);
    ASSERT_NE(ctx, nullptr);
    driver.clear();
}

void EngineTest::TearDown()
{
    if (ctx) {
        EXPECT_TRUE(TRVX_End(ctx));
    }
    for (int command = 0; command < 128; ++command)
        driver.answer(command, (DWORD_PTR)-1);
    driver.clear();
}
