// File services speed: TRVX_ReadFile and TRVX_ChangeToUnicode of a 40 MB ASCII model text, each
// beside what the platform alone takes for the same work, so that the kit's own share shows:
// reading into fresh pages (the file read and the first touch of the pages) and into pages already
// touched (the copy alone), touching fresh pages alone, and widening into touched pages with a plain
// loop and with the platform's code-page conversion.
#include "bench.h"

#include <string>
#include <vector>

namespace {

const int kRounds = 10; // elapsed: the best round; processor time: the mean

// The best elapsed time of the rounds and the mean processor time.
struct Best {
    double seconds = 1e30, cpu = 0;
    double cpuStart = 0;
    double begin()
    {
        cpuStart = bench_thread_seconds();
        return bench_seconds();
    }
    void take(double start)
    {
        double t = bench_seconds() - start;
        seconds = t < seconds ? t : seconds;
        cpu += (bench_thread_seconds() - cpuStart) / kRounds;
    }
};

std::string model_text(size_t bytes)
{
    const std::string line = "\t\t\tVertex([-12.3456,45.1234,-300.1234],[0.12345,-0.23456,0.34567],[0.5,0.25])\r\n";
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

// The platform's read of the whole file into `buffer`; false when it failed.
bool platform_read(const wchar_t *path, char *buffer, DWORD size)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    BOOL ok = ReadFile(file, buffer, size, &done, nullptr) && done == size;
    CloseHandle(file);
    return ok != FALSE;
}

void report_rate(const char *what, double megabytes, const Best &best)
{
    std::string name = what;
    bench_report((name + "_ms").c_str(), best.seconds * 1000.0, "ms");
    bench_report((name + "_rate").c_str(), megabytes / best.seconds, "MB/s");
    bench_report((name + "_cpu_ms").c_str(), best.cpu * 1000.0, "ms");
}

} // namespace

TRVX_BENCH(files)
{
    const std::string text = model_text(40000000);
    const DWORD size = (DWORD)text.size();
    const wchar_t *path = L"bench_files.tvm";
    if (!TRVX_WriteFile(ctx, path, text.data(), (int)size)) {
        bench_report("write_failed", 1, "");
        return;
    }
    std::vector<char> touched(size + 1);
    std::vector<wchar_t> wideTouched(size + 1);
    Best readFile, readFresh, readTouched, firstTouch, widen, widenLoop, platformWiden;
    for (int round = 0; round < kRounds; ++round) {
        double start = readFile.begin();
        char *bytes = (char *)TRVX_ReadFile(ctx, path, nullptr, 1);
        readFile.take(start);

        start = widen.begin();
        wchar_t *wide = bytes ? TRVX_ChangeToUnicode(ctx, bytes) : nullptr;
        widen.take(start);
        TRVX_FreeMemory(ctx, wide);
        TRVX_FreeMemory(ctx, bytes);

        start = readFresh.begin();
        char *fresh = (char *)VirtualAlloc(nullptr, size + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (fresh && platform_read(path, fresh, size))
            readFresh.take(start);
        if (fresh)
            VirtualFree(fresh, 0, MEM_RELEASE);

        start = firstTouch.begin();
        fresh = (char *)VirtualAlloc(nullptr, size + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (fresh) {
            for (DWORD at = 0; at < size; at += 4096)
                fresh[at] = 1;
            firstTouch.take(start);
            VirtualFree(fresh, 0, MEM_RELEASE);
        }

        start = readTouched.begin();
        if (platform_read(path, touched.data(), size))
            readTouched.take(start);
        touched[size] = 0;

        start = widenLoop.begin();
        const unsigned char *from = (const unsigned char *)touched.data();
        for (DWORD i = 0; i < size; ++i)
            wideTouched[i] = from[i];
        widenLoop.take(start);

        start = platformWiden.begin();
        MultiByteToWideChar(CP_ACP, 0, touched.data(), (int)size, wideTouched.data(), (int)size);
        platformWiden.take(start);
    }
    DeleteFileW(path);

    const double megabytes = size / 1e6;
    bench_report("megabytes", megabytes, "MB");
    report_rate("read_file", megabytes, readFile);
    report_rate("platform_read_fresh_pages", megabytes, readFresh);
    report_rate("platform_read_touched_pages", megabytes, readTouched);
    report_rate("platform_first_touch", megabytes, firstTouch);
    report_rate("change_to_unicode", megabytes, widen);
    report_rate("widen_loop_touched_pages", megabytes, widenLoop);
    report_rate("platform_widen_touched_pages", megabytes, platformWiden);
}
