// The system-information block filled at start: processor, memory, maker and model, Windows
// version and the display adapter's description. Whatever the machine does not tell stays empty
// or "Unknown"; the driver fills the graphics capabilities itself.
#include "engine_local.h"

#include <stdio.h>
#include <wchar.h>

namespace {

// Collapses runs of spaces to one and drops leading spaces, in place.
void collapse_spaces(wchar_t *text)
{
    wchar_t *out = text;
    for (const wchar_t *in = text; *in; ++in) {
        if (*in == L' ' && (out == text || out[-1] == L' '))
            continue;
        *out++ = *in;
    }
    *out = 0;
}

bool read_registry_text(HKEY root, const wchar_t *key, const wchar_t *value, wchar_t *out, DWORD capacity)
{
    DWORD bytes = (capacity - 1) * sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, &type, out, &bytes) != ERROR_SUCCESS) {
        out[0] = 0;
        return false;
    }
    out[capacity - 1] = 0;
    return true;
}

void fill_processor_and_memory(tagTRVXSYSINFO &info)
{
    const wchar_t *key = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    DWORD mhz = 0, bytes = sizeof mhz;
    if (!read_registry_text(HKEY_LOCAL_MACHINE, key, L"ProcessorNameString", info.processor, ARRAYSIZE(info.processor)) ||
        RegGetValueW(HKEY_LOCAL_MACHINE, key, L"~MHz", RRF_RT_REG_DWORD, nullptr, &mhz, &bytes) != ERROR_SUCCESS) {
        info.processor[0] = 0;
        return;
    }
    collapse_spaces(info.processor);
    info.processorMHz = mhz;

    MEMORYSTATUSEX memory = {sizeof memory};
    GlobalMemoryStatusEx(&memory);
    uint64_t megabytes = memory.ullTotalPhys >> 20;
    int32_t power = 1;
    while (power <= (int64_t)megabytes && power < (1 << 30))
        power <<= 1;
    info.memoryMB = megabytes ? power : 1;
}

void fill_maker_and_model(tagTRVXSYSINFO &info)
{
    wchar_t windows[MAX_PATH], oemInfo[MAX_PATH + 32];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        windows[0] = 0;
    swprintf(oemInfo, ARRAYSIZE(oemInfo), L"%ls\\system32\\oeminfo.ini", windows);
    wchar_t text[64];
    GetPrivateProfileStringW(L"general", L"Manufacturer", L"Unknown", text, ARRAYSIZE(text), oemInfo);
    collapse_spaces(text);
    copy_text(info.maker, ARRAYSIZE(info.maker), text);
    GetPrivateProfileStringW(L"general", L"model", L"Unknown", text, ARRAYSIZE(text), oemInfo);
    collapse_spaces(text);
    copy_text(info.model, ARRAYSIZE(info.model), text);
}

const wchar_t *os_name(const OSVERSIONINFOEXW &v)
{
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && v.dwMajorVersion == 4) {
        if (v.dwMinorVersion == 0) return L"Windows 95";
        if (v.dwMinorVersion == 10) return L"Windows 98";
        if (v.dwMinorVersion == 90) return L"Windows Me";
    }
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (v.dwMajorVersion == 4) return L"Windows NT 4.0";
        if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0) return L"Windows 2000";
        if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1)
            return (v.wSuiteMask & VER_SUITE_PERSONAL) ? L"Windows XP Home" : L"Windows XP Professional";
        if (v.dwMajorVersion == 5 && v.dwMinorVersion == 2) return L"Windows Server 2003";
        if (v.dwMajorVersion == 6) return L"Windows Vista";
    }
    return L"Unknown OS";
}

void fill_windows_version(tagTRVXSYSINFO &info)
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW((OSVERSIONINFOW *)&version);
#pragma GCC diagnostic pop
    copy_text(info.osName, ARRAYSIZE(info.osName), os_name(version));
    info.windowsVersion = (int32_t)(version.dwMajorVersion * 100 + version.dwMinorVersion);
}

// The adapter description follows the video device map to the driver service's device entry.
void fill_adapter(tagTRVXSYSINFO &info)
{
    wchar_t valueName[32], path[512], service[128], key[512], description[ARRAYSIZE(info.adapter)];
    swprintf(valueName, ARRAYSIZE(valueName), L"\\Device\\Video%u", info.card);
    if (!read_registry_text(HKEY_LOCAL_MACHINE, L"hardware\\DeviceMap\\Video", valueName, path, ARRAYSIZE(path)))
        return;
    wchar_t *rest = path;
    for (int slashes = 0; slashes < 3; ++slashes) {
        rest = wcschr(rest, L'\\');
        if (!rest)
            return;
        ++rest;
    }
    wchar_t *last = wcsrchr(rest, L'\\');
    if (!last)
        return;
    *last = 0;
    swprintf(key, ARRAYSIZE(key), L"%ls\\Video", rest);
    if (!read_registry_text(HKEY_LOCAL_MACHINE, key, L"Service", service, ARRAYSIZE(service)))
        return;
    swprintf(key, ARRAYSIZE(key), L"System\\CurrentControlSet\\Services\\%ls\\Device%u", service, info.card);
    if (!read_registry_text(HKEY_LOCAL_MACHINE, key, L"Device Description", description, ARRAYSIZE(description)))
        return;
    collapse_spaces(description);
    if (description[0])
        copy_text(info.adapter, ARRAYSIZE(info.adapter), description);
}

} // namespace

void system_info_fill(tagTRVX *ctx)
{
    tagTRVXSYSINFO &info = ctx->systemInfo;
    fill_processor_and_memory(info);
    fill_maker_and_model(info);
    fill_windows_version(info);
    fill_adapter(info);
}
