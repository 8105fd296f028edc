// Stopwatch and running frame-time average.
#include "render_local.h"

static const uint32_t kAverageSeed = 50; // milliseconds: the average a fresh scene starts from
static const uint32_t kMaxSamples = 1000;

void WINAPI TRVX_StartCounter(TRVXCONTEXT ctx)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    ctx->counterStart = now.QuadPart;
}

// Milliseconds since TRVX_StartCounter; while an AVI capture runs, one video frame's period, so that
// animation advances by exactly one frame of the video per frame drawn.
DWORD WINAPI TRVX_EndCounter(TRVXCONTEXT ctx)
{
    if (DWORD period = avi_frame_period(ctx))
        return period;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (ctx->counterFrequency <= 0)
        return 0;
    return (DWORD)((now.QuadPart - ctx->counterStart) * 1000 / ctx->counterFrequency);
}

// value -1 resets to the seed, 0 returns the average, anything else is added as a sample (returns 0).
DWORD WINAPI TRVX_SampleCounter(TRVXCONTEXT ctx, int value)
{
    if (value == 0)
        return ctx->sampleCount ? ctx->sampleSum / ctx->sampleCount : 0;
    if (value == -1) {
        ctx->sampleCount = 0;
        ctx->sampleSum = 0;
        value = (int)kAverageSeed;
    }
    ctx->sampleSum += (uint32_t)value;
    ctx->sampleCount += 1;
    while (ctx->sampleCount > kMaxSamples) {
        ctx->sampleSum >>= 1;
        ctx->sampleCount >>= 1;
    }
    return 0;
}
