// Where the viewer may write its photos and results: beside the program when that folder can be
// written (a portable install), else in the user's Documents.
#include <shlobj.h>
#include <wchar.h>

#include "user_folder.h"
#include "viewer_state.h"

namespace {

// True when `folder` exists or was made, and a file can be created in it.
bool usable(const wchar_t *folder)
{
    if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    wchar_t probe[MAX_PATH + 16];
    swprintf(probe, MAX_PATH + 16, L"%ls~write.tmp", folder);
    HANDLE file = CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

bool writable_folder(const wchar_t *leaf, wchar_t *out, int units)
{
    swprintf(out, (size_t)units, L"%ls%ls\\", g_process.programFolder, leaf);
    if (usable(out))
        return true;
    wchar_t documents[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, documents)))
        return false;
    swprintf(out, (size_t)units, L"%ls\\HX-21\\", documents);
    CreateDirectoryW(out, nullptr);
    swprintf(out, (size_t)units, L"%ls\\HX-21\\%ls\\", documents, leaf);
    return usable(out);
}
