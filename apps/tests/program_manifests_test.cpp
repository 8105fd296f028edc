// The two programs carry an application manifest (resource type 24, id 1) that keeps them running as
// the user who started them: under Program Files a program without one gets its writes redirected,
// and its screens would name folders where its files are not.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The manifest text of a program beside the test's folder, or "" when it has none.
std::string manifest_of(const wchar_t *program)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    for (int up = 0; up < 3; ++up) // bin/tests/<name>/<test>.exe
        folder = folder.substr(0, folder.find_last_of(L'\\'));
    std::wstring file = folder + L"\\" + program;
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return "";
    std::string text;
    const WORD kManifest = 24, kProgramManifest = 1;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kProgramManifest), MAKEINTRESOURCEW(kManifest))) {
        HGLOBAL data = LoadResource(module, found);
        const char *bytes = data ? (const char *)LockResource(data) : nullptr;
        if (bytes)
            text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

} // namespace

TEST(ProgramManifests, BothProgramsRunAsInvokerOnEveryWindowsTheyKnow)
{
    for (const wchar_t *program : {L"hx21app.exe", L"hx-21.exe"}) {
        std::string manifest = manifest_of(program);
        SCOPED_TRACE(std::string(program, program + wcslen(program)));
        ASSERT_FALSE(manifest.empty()) << "no manifest";
        EXPECT_NE(manifest.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos)
            << "Windows 10 and 11";
        EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    }
    EXPECT_NE(manifest_of(L"hx-21.exe").find("Microsoft.Windows.Common-Controls"), std::string::npos)
        << "the launcher's dialog asks for the themed controls";
}
