// Start-up profile: when the environment variable TRVX_PROFILE names a file, each mark appends one
// line "<step> <ms since the process started> <ms since 1970>" to it. The viewer, the launcher, the
// engine, the driver and the sound library all include this one header, so their lines share one
// clock and one format; with the variable unset a mark costs one environment look-up per module.
#pragma once

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace trvx_profile {

const wchar_t kVariable[] = L"TRVX_PROFILE";
const int kLineChars = 160;
const unsigned long long kFileTimeTicksPerMs = 10000;
const unsigned long long kUnixEpochFileTime = 116444736000000000ull; // 1970-01-01 in 100 ns ticks

inline unsigned long long ticks(const FILETIME &t)
{
    return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime;
}

// The file named by the variable, read once per module; empty when profiling is off.
inline const wchar_t *target()
{
    static wchar_t path[MAX_PATH];
    static bool looked;
    if (!looked) {
        DWORD n = GetEnvironmentVariableW(kVariable, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            path[0] = 0;
        looked = true;
    }
    return path;
}

} // namespace trvx_profile

// True when a profile is being written (steps worth naming only then may be formatted).
inline bool trvx_profile_on()
{
    return trvx_profile::target()[0] != 0;
}

// Appends the step (no white space in it) with the time since the process started.
inline void trvx_profile_mark(const char *step)
{
    using namespace trvx_profile;
    const wchar_t *path = target();
    if (!path[0])
        return;
    FILETIME now, created, exited, kernel, user;
    GetSystemTimeAsFileTime(&now);
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        created = now;
    unsigned long long sinceStart = (ticks(now) - ticks(created)) / kFileTimeTicksPerMs;
    unsigned long long sinceEpoch = (ticks(now) - kUnixEpochFileTime) / kFileTimeTicksPerMs;
    char line[kLineChars];
    int length = snprintf(line, sizeof line, "%s %llu %llu\n", step, sinceStart, sinceEpoch);
    if (length <= 0 || length >= (int)sizeof line)
        return;
    // Every module opens the file for appending on its own: each line lands whole at the end.
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, (DWORD)length, &written, nullptr);
    CloseHandle(file);
}

// A mark for one content file: the step followed by the file's name, spaces made '_'.
inline void trvx_profile_mark_file(const char *step, const wchar_t *file)
{
    if (!trvx_profile_on())
        return;
    char line[trvx_profile::kLineChars];
    int n = snprintf(line, sizeof line, "%s:", step);
    for (; file && *file && n < (int)sizeof line - 1; ++file)
        line[n++] = *file == L' ' || *file > 0x7E ? '_' : (char)*file;
    line[n] = 0;
    trvx_profile_mark(line);
}
