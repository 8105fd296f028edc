// Benchmarks of the engine: each source file registers its own with TRVX_BENCH, and the program
// runs each one on a freshly started engine (or only those named on the command line).
#pragma once

#include "trvx.h"

typedef void (*BenchFunction)(TRVXCONTEXT ctx);

struct BenchRegistration {
    BenchRegistration(const char *name, BenchFunction function);
};

// Defines a benchmark body that receives a started engine context.
#define TRVX_BENCH(name)                                                   \
    static void bench_##name(TRVXCONTEXT ctx);                             \
    static BenchRegistration bench_registration_##name(#name, bench_##name); \
    static void bench_##name(TRVXCONTEXT ctx)

// Seconds since an arbitrary start, from the performance counter.
double bench_seconds();
// Processor seconds this thread has used (user and kernel). On a machine that others load too it
// shows the work itself, where the elapsed time also holds the waits for a processor; its ticks are
// coarse (often 10 ms), so figures from it are means over many rounds.
double bench_thread_seconds();
// Prints one figure as "benchmark.what: value unit".
void bench_report(const char *what, double value, const char *unit);
