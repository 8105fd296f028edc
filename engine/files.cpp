// Layer files and file services: whole-file read and write, directory listings, path splitting,
// code-page conversion, and reading or writing layer trees through the format plug-in chosen by
// the file's extension.
#include "engine_local.h"
#include "trvx_profile_win32.h"

#include <emmintrin.h>
#include <string.h>
#include <wchar.h>

namespace {

const int kMaxPath = 256; // file names are at most 255 characters

struct PathParts {
    wchar_t folder[kMaxPath];    // up to and including the last backslash
    wchar_t name[kMaxPath];      // between the backslash and the last dot
    wchar_t extension[kMaxPath]; // the last dot and what follows, or empty
};

// Splits the full path of `fileName`; false when the full path cannot be formed or is too long.
bool split_path(const wchar_t *fileName, PathParts *parts)
{
    if (!fileName || !fileName[0])
        return false;
    wchar_t full[kMaxPath];
    DWORD length = GetFullPathNameW(fileName, kMaxPath, full, nullptr);
    if (length == 0 || length >= (DWORD)kMaxPath)
        return false;
    const wchar_t *slash = wcsrchr(full, L'\\');
    const wchar_t *base = slash ? slash + 1 : full;
    const wchar_t *dot = wcsrchr(base, L'.');
    size_t folderLength = (size_t)(base - full);
    size_t nameLength = dot ? (size_t)(dot - base) : wcslen(base);
    wmemcpy(parts->folder, full, folderLength);
    parts->folder[folderLength] = 0;
    wmemcpy(parts->name, base, nameLength);
    parts->name[nameLength] = 0;
    wcscpy(parts->extension, dot ? dot : L"");
    return true;
}

// The extension lists of a format plug-in: 8-character entries after the format's name, ended by
// an entry whose first character is 0. A plug-in's list is trusted only this far.
const int kMaxFormatEntries = 64;

bool format_lists_extension(const wchar_t *list, const wchar_t *extension)
{
    if (!list)
        return false;
    for (int i = 1; i < kMaxFormatEntries; ++i) {
        const wchar_t *entry = list + i * TRVX_FORMAT_ENTRY_CHARS;
        if (!entry[0])
            return false;
        if (_wcsnicmp(entry, extension, TRVX_FORMAT_ENTRY_CHARS) == 0 &&
            wcslen(extension) <= TRVX_FORMAT_ENTRY_CHARS)
            return true;
    }
    return false;
}

// The plug-in entry that handles `extension` for reading (or writing), or null.
tagTRVXFILE *format_for(tagTRVX *ctx, const wchar_t *extension, bool writing)
{
    if (!extension[0])
        return nullptr;
    for (int i = 0; i < ctx->formatCount; ++i) {
        tagTRVXFILE *plugin = &ctx->formats[i];
        if (!plugin->entry)
            continue;
        if (format_lists_extension(writing ? plugin->writeFormats : plugin->readFormats, extension))
            return plugin;
    }
    return nullptr;
}

// Sends a file command to a format plug-in with the current directory set to the file's folder.
DWORD_PTR call_in_folder(tagTRVX *ctx, tagTRVXFILE *plugin, int command, DWORD_PTR layer, const PathParts &parts)
{
    wchar_t saved[MAX_PATH];
    DWORD savedLength = GetCurrentDirectoryW(MAX_PATH, saved);
    wchar_t file[2 * kMaxPath];
    wcscpy(file, parts.name);
    wcscat(file, parts.extension);
    DWORD_PTR result = 0;
    if (SetCurrentDirectoryW(parts.folder))
        result = plugin->entry(command, ctx, layer, (DWORD_PTR)file, 0, 0);
    if (savedLength > 0 && savedLength < MAX_PATH)
        SetCurrentDirectoryW(saved);
    return result;
}

} // namespace

// The new layer that the format plug-in read, or 0.
TRVXLAYER WINAPI TRVXL_ReadLayer(TRVXCONTEXT ctx, TRVXLAYER parent, const wchar_t *fileName)
{
    PathParts parts;
    if (!ctx || !split_path(fileName, &parts))
        return nullptr;
    tagTRVXFILE *plugin = format_for(ctx, parts.extension, false);
    if (!plugin)
        return nullptr;
    TRVXLAYER layer = (TRVXLAYER)call_in_folder(ctx, plugin, TRVXCMD_READ_FILE, (DWORD_PTR)parent, parts);
    if (layer)
        reset_frame_average(ctx);
    trvx_profile_mark_file("model", fileName);
    return layer;
}

// The format plug-in's result (nonzero = written), or 0.
DWORD_PTR WINAPI TRVXL_WriteLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const wchar_t *fileName)
{
    PathParts parts;
    if (!ctx || !split_path(fileName, &parts))
        return 0;
    tagTRVXFILE *plugin = format_for(ctx, parts.extension, true);
    if (!plugin)
        return 0;
    return call_in_folder(ctx, plugin, TRVXCMD_WRITE_FILE, (DWORD_PTR)layer, parts);
}

// The file's bytes and a terminating 0 in a memory block, or null (always null when `load` is 0).
void *WINAPI TRVX_ReadFile(TRVXCONTEXT ctx, const wchar_t *fileName, int *size, int load)
{
    if (size)
        *size = 0;
    if (!ctx || !fileName)
        return nullptr;
    HANDLE file = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER length;
    char *block = nullptr;
    // A block's size is a 32-bit count that must also hold the terminating 0.
    if (GetFileSizeEx(file, &length) && length.QuadPart < 0x7FFFFFFF) {
        if (size)
            *size = (int)length.QuadPart;
        if (load)
            block = (char *)memory_alloc_filled(ctx, (int)length.QuadPart + 1);
        DWORD done = 0;
        if (block && (!ReadFile(file, block, (DWORD)length.QuadPart, &done, nullptr) || done != length.QuadPart)) {
            TRVX_FreeMemory(ctx, block);
            block = nullptr;
        }
        if (block)
            block[length.QuadPart] = 0;
    }
    CloseHandle(file);
    return block;
}

// 1 when the file was created (or replaced) and all bytes written, else 0.
int WINAPI TRVX_WriteFile(TRVXCONTEXT ctx, const wchar_t *fileName, const void *data, int size)
{
    if (!fileName || size < 0 || (size > 0 && !data))
        return 0;
    HANDLE file = CreateFileW(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD done = 0;
    BOOL written = size == 0 || (WriteFile(file, data, (DWORD)size, &done, nullptr) && done == (DWORD)size);
    CloseHandle(file);
    return written ? 1 : 0;
}

// A memory block of directory entries matching folder + mask + extension, or null when none match.
tagTRVXFILE *WINAPI TRVX_SearchFile(TRVXCONTEXT ctx, const wchar_t *folder, const wchar_t *mask,
                                    const wchar_t *extension, int *count)
{
    if (count)
        *count = 0;
    if (!ctx || !folder || !mask || !extension)
        return nullptr;
    tagTRVXFILE probe;
    if (!copy_text(probe.folder, ARRAYSIZE(probe.folder), folder))
        return nullptr;
    wchar_t pattern[MAX_PATH];
    if (wcslen(folder) + wcslen(mask) + wcslen(extension) >= MAX_PATH)
        return nullptr;
    wcscpy(pattern, folder);
    wcscat(pattern, mask);
    wcscat(pattern, extension);

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return nullptr;
    tagTRVXFILE *entries = nullptr;
    int entryCount = 0;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L".."))
            continue;
        const wchar_t *dot = wcschr(found.cFileName, L'.');
        size_t nameLength = dot ? (size_t)(dot - found.cFileName) : wcslen(found.cFileName);
        // A name that does not fit the entry cannot be opened again from it: pass it over.
        if (nameLength >= ARRAYSIZE(probe.name) || (dot && wcslen(dot) >= ARRAYSIZE(probe.extension)))
            continue;
        tagTRVXFILE *grown = (tagTRVXFILE *)TRVX_ResizeMemory(ctx, entries, (entryCount + 1) * (int)sizeof(tagTRVXFILE));
        if (!grown)
            break;
        entries = grown;
        tagTRVXFILE *entry = &entries[entryCount++];
        memset(entry, 0, sizeof *entry);
        wcscpy(entry->folder, probe.folder);
        wmemcpy(entry->name, found.cFileName, nameLength);
        wcscpy(entry->extension, dot ? dot : L"");
        entry->size = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : (int32_t)found.nFileSizeLow;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (count)
        *count = entryCount;
    return entries;
}

// 1 with the full path's folder (ending in a backslash), name and extension (with its dot), each
// output optional and sized as in the file and texture records (128, 64 and 8 characters);
// 0 when the full path cannot be formed or a part does not fit.
int WINAPI TRVX_ChangePathName(TRVXCONTEXT ctx, const wchar_t *fileName, wchar_t *folder, wchar_t *name,
                               wchar_t *extension)
{
    PathParts parts;
    if (!split_path(fileName, &parts))
        return 0;
    tagTRVXFILE sizes;
    if (wcslen(parts.folder) >= ARRAYSIZE(sizes.folder) || wcslen(parts.name) >= ARRAYSIZE(sizes.name) ||
        wcslen(parts.extension) >= ARRAYSIZE(sizes.extension))
        return 0;
    if (folder)
        wcscpy(folder, parts.folder);
    if (name)
        wcscpy(name, parts.name);
    if (extension)
        wcscpy(extension, parts.extension);
    return 1;
}

// Bytes of `text` before its terminator or its first byte outside ASCII. Sixteen bytes at a time:
// aligned loads never reach into the next page, so reading past the terminator cannot fault.
static size_t ascii_length(const char *text)
{
    const char *p = text;
    while (((uintptr_t)p & 15) != 0) {
        if (*p <= 0)
            return (size_t)(p - text);
        ++p;
    }
    const __m128i zero = _mm_setzero_si128();
    for (;; p += 16) {
        __m128i bytes = _mm_load_si128((const __m128i *)p);
        // The top bit marks bytes outside ASCII; the comparison marks the terminator.
        int stops = _mm_movemask_epi8(_mm_or_si128(bytes, _mm_cmpeq_epi8(bytes, zero)));
        if (stops)
            return (size_t)(p - text) + (size_t)__builtin_ctz((unsigned)stops);
    }
}

// A new block with the ANSI text as UTF-16, 0-terminated, with one spare character.
wchar_t *WINAPI TRVX_ChangeToUnicode(TRVXCONTEXT ctx, const char *ansiText)
{
    if (!ctx || !ansiText)
        return nullptr;
    // Model files are mostly plain ASCII, which every ANSI code page maps one to one: those are
    // widened directly, many times faster than the general conversion.
    size_t ascii = ascii_length(ansiText);
    if (!ansiText[ascii] && ascii < 0x3FFFFFFF) {
        wchar_t *wide = (wchar_t *)memory_alloc_filled(ctx, (int)(ascii + 2) * (int)sizeof(wchar_t));
        if (!wide)
            return nullptr;
        const unsigned char *bytes = (const unsigned char *)ansiText;
        for (size_t i = 0; i < ascii; ++i)
            wide[i] = bytes[i];
        wide[ascii] = wide[ascii + 1] = 0;
        return wide;
    }
    int length = MultiByteToWideChar(CP_ACP, 0, ansiText, -1, nullptr, 0);
    wchar_t *wide = (wchar_t *)TRVX_AllocMemory(ctx, (length + 1) * (int)sizeof(wchar_t));
    if (wide)
        MultiByteToWideChar(CP_ACP, 0, ansiText, -1, wide, length);
    return wide;
}

// A new block with the UTF-16 text in the ANSI code page, 0-terminated, with one spare byte.
char *WINAPI TRVX_ChangeFromUnicode(TRVXCONTEXT ctx, const wchar_t *wideText)
{
    if (!ctx || !wideText)
        return nullptr;
    int length = WideCharToMultiByte(CP_ACP, 0, wideText, -1, nullptr, 0, nullptr, nullptr);
    char *ansi = (char *)TRVX_AllocMemory(ctx, length + 1);
    if (ansi)
        WideCharToMultiByte(CP_ACP, 0, wideText, -1, ansi, length, nullptr, nullptr);
    return ansi;
}
