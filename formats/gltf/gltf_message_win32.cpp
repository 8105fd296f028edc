// The glTF plug-in's message of its last read or write, and the UTF-8 the library speaks turned into
// the engine's wide strings and back. The reader and the writer both set the message; the entry
// point hands it out.
#include "gltf_local_win32.h"

static std::wstring g_message; // the engine calls plug-ins from one thread

const std::wstring &gltf_message() { return g_message; }

void gltf_set_message(const std::wstring &text)
{
    g_message = text;
    if (!text.empty())
        OutputDebugStringW((L"trvx_gltf: " + text + L"\n").c_str());
}

std::wstring gltf_wide(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring out((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], n);
    return out;
}

std::string gltf_utf8(const wchar_t *wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr);
    out.resize((size_t)n - 1);
    return out;
}
