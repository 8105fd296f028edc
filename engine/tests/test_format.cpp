// A format plug-in for the engine's tests (trvx_testfmt.dll): reads ".tvm" and ".tst" by making one
// layer named after the file, writes ".tst" only, and remembers the folder it was called in.
#include "trvx.h"

#include <string.h>
#include <wchar.h>

static const wchar_t kReadFormats[][TRVX_FORMAT_ENTRY_CHARS] = {L"TEST", L".tvm", L".tst", L""};
static const wchar_t kWriteFormats[][TRVX_FORMAT_ENTRY_CHARS] = {L"TEST", L".tst", L""};
static wchar_t g_lastFolder[MAX_PATH];
static wchar_t g_lastFile[MAX_PATH];

extern "C" DWORD_PTR WINAPI TestFormatInterface(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3,
                                                DWORD_PTR p4)
{
    switch (command) {
    case TRVXCMD_READ_FORMATS:
        return (DWORD_PTR)kReadFormats;
    case TRVXCMD_WRITE_FORMATS:
        return (DWORD_PTR)kWriteFormats;
    case TRVXCMD_READ_FILE:
    case TRVXCMD_WRITE_FILE:
        GetCurrentDirectoryW(MAX_PATH, g_lastFolder);
        wcsncpy(g_lastFile, (const wchar_t *)p2, MAX_PATH - 1);
        if (command == TRVXCMD_WRITE_FILE)
            return 7;
        if (!wcscmp((const wchar_t *)p2, L"refuse.tst"))
            return 0;
        return (DWORD_PTR)TRVXL_CreateLayer(ctx, (TRVXLAYER)p1, (const wchar_t *)p2);
    default:
        return 0;
    }
}

// The folder and file name of the last read or write.
extern "C" void TestFormatLastCall(wchar_t *folder, wchar_t *file)
{
    wcscpy(folder, g_lastFolder);
    wcscpy(file, g_lastFile);
}
