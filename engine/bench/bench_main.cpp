// The benchmark program: starts the engine on a hidden window with the recording driver beside
// it, runs the registered benchmarks and prints their figures.
#include "bench.h"

#include <stdio.h>
#include <string.h>
#include <vector>

namespace {

struct Bench {
    const char *name;
    BenchFunction function;
};

std::vector<Bench> &registry()
{
    static std::vector<Bench> benches;
    return benches;
}

const char *g_current = "";

HWND bench_window()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrvxEngineBench";
    RegisterClassW(&wc);
    return CreateWindowW(L"TrvxEngineBench", L"engine bench", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

bool wanted(const char *name, int argc, char **argv)
{
    if (argc < 2)
        return true;
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

BenchRegistration::BenchRegistration(const char *name, BenchFunction function)
{
    registry().push_back(Bench{name, function});
}

double bench_seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

double bench_thread_seconds()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME &t) {
        return (double)(((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

void bench_report(const char *what, double value, const char *unit)
{
    printf("%s.%s: %.0f %s\n", g_current, what, value, unit);
    fflush(stdout);
}

int main(int argc, char **argv)
{
    HWND window = bench_window();
    RECT view = {0, 0, 320, 240};
    int failures = 0;
    for (const Bench &bench : registry()) {
        if (!wanted(bench.name, argc, argv))
            continue;
        TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
        if (!ctx) {
            fprintf(stderr, "%s: the engine did not start\n", bench.name);
            ++failures;
            continue;
        }
        g_current = bench.name;
        bench.function(ctx);
        TRVX_End(ctx);
    }
    DestroyWindow(window);
    return failures ? 1 : 0;
}
