// The generated models as the programs will read them: through TRVXL_ReadLayer and the text model
// plug-in. A syntax error would show a message box; the test answers any box and fails on it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "trvx.h"

namespace {

std::wstring g_boxText;

LRESULT CALLBACK answer_boxes(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t text[256];
    if (code == HCBT_ACTIVATE && GetClassNameW((HWND)wParam, text, 256) && !wcscmp(text, L"#32770")) {
        GetDlgItemTextW((HWND)wParam, 0xFFFF, text, 256);
        g_boxText += text;
        PostMessageW((HWND)wParam, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The program folder: the test runs two levels below it.
std::wstring program_folder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder = folder.substr(0, folder.find_last_of(L'\\'));
    for (int up = 0; up < 2; ++up)
        folder = folder.substr(0, folder.find_last_of(L'\\'));
    return folder + L"\\";
}

void find_models(const std::wstring &folder, std::vector<std::wstring> &out)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            find_models(folder + name + L"\\", out);
        else if (name.size() > 4 && !_wcsicmp(name.c_str() + name.size() - 4, L".tvm"))
            out.push_back(folder + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

TEST(ContentLoad, EveryModelReadsWithoutASyntaxError)
{
    std::vector<std::wstring> models;
    for (const wchar_t *top : {L"plane\\", L"port\\", L"etc\\", L"cursor\\", L"logo\\"})
        find_models(program_folder() + top, models);
    ASSERT_GE(models.size(), 12u);

    HWND window = CreateWindowW(L"STATIC", L"content", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                                nullptr, nullptr);
    RECT view = {0, 0, 320, 240};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    ASSERT_NE(ctx, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_CBT, answer_boxes, nullptr, GetCurrentThreadId());
    for (const std::wstring &model : models) {
        g_boxText.clear();
        TRVXLAYER layer = TRVXL_ReadLayer(ctx, ctx->rootLayer, model.c_str());
        EXPECT_NE(layer, nullptr) << std::string(model.begin(), model.end());
        EXPECT_EQ(g_boxText, L"") << std::string(model.begin(), model.end());
        int layers = 0, faces = 0, vertices = 0;
        if (layer)
            TRVXL_CountLayer(ctx, layer, &layers, &faces, &vertices, 0);
        EXPECT_GT(vertices, 0) << std::string(model.begin(), model.end());
    }
    UnhookWindowsHookEx(hook);
    // The whole scene evaluates: every layer gets its world matrix.
    EXPECT_EQ(TRVXL_CalcLayer(ctx, ctx->rootLayer), 1);
    EXPECT_TRUE(TRVX_End(ctx));
    DestroyWindow(window);
}
