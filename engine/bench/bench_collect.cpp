// Collection speed: a frame of 10 000 layers (half inside the view cone, a fifth transparent) culled
// and sorted into the draw lists, then the whole frame drawn through the recording driver.
#include "bench.h"

#include <math.h>

namespace {

const int kFrames = 200;
// Collection times are the best of this many rounds, so that a shared machine's pauses count as
// little as possible.
const int kRounds = 10;

typedef void (*ClearLogProc)();

// Layers as evaluation leaves them: spheres ahead of the camera or behind it, one in five sorted.
void build_scene(TRVXCONTEXT ctx, int count)
{
    for (int i = 0; i < count; ++i) {
        TRVXLAYER layer = TRVXL_CreateLayer(ctx, ctx->rootLayer, nullptr);
        float distance = 10.0f + (float)((i * 7919) % 1000);
        float angle = (float)((i * 31) % 20) * 3.1415927f / 180.0f; // up to 19 degrees off the view
        float ahead = i % 2 == 0 ? 1.0f : -1.0f;
        TRVX_Set3D(&layer->worldCentre, distance * sinf(angle), 0.0f, ahead * distance * cosf(angle), 0.0f);
        layer->worldRadius = 1.0f;
        layer->vertexCount = 24;
        layer->faceCount = 12;
        if (i % 5 == 0)
            layer->renderClass = TRVX_CLASS_TRANSPARENT;
    }
}

void aim_camera(TRVXCONTEXT ctx)
{
    tagTRVXCAMERA camera = {};
    TRVX_Set3D(&camera.target, 0, 0, 1, 0);
    TRVX_Set3D(&camera.up, 0, 1, 0, 0);
    TRVX_SetCamera(ctx, &camera);
}

// Microseconds a collection takes, the best round of `frames` collections.
double collect_us(TRVXCONTEXT ctx, int frames)
{
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        double start = bench_seconds();
        for (int f = 0; f < frames; ++f)
            TRVX_RenderingEx(ctx, 0, ctx->rootLayer, TRVX_STEP_COLLECT, 0);
        double us = (bench_seconds() - start) * 1e6 / frames;
        best = us < best ? us : best;
    }
    return best;
}

} // namespace

TRVX_BENCH(collect)
{
    const int layers = 10000;
    build_scene(ctx, layers);
    aim_camera(ctx);
    ClearLogProc clearLog = (ClearLogProc)(void *)GetProcAddress(GetModuleHandleW(L"vdr_record.dll"), "RecordingClear");

    collect_us(ctx, 1); // warm the lists up to their size
    double us = collect_us(ctx, kFrames / kRounds);
    bench_report("layers", layers, "layers");
    bench_report("listed", ctx->opaqueList.count + ctx->sortedList.count - 4, "layers");
    bench_report("sorted", ctx->sortedList.count - 2, "layers");
    bench_report("collect_us_per_frame", us, "us");
    bench_report("collect_layers_per_us", layers / us, "layers/us");
    bench_report("collect_ns_per_layer", us * 1000.0 / layers, "ns");

    double start = bench_seconds();
    for (int f = 0; f < kFrames; ++f) {
        TRVX_Rendering(ctx, 0, ctx->rootLayer, 0);
        if (clearLog)
            clearLog();
    }
    bench_report("frame_us", (bench_seconds() - start) * 1e6 / kFrames, "us");
}

// The same scene ten times larger: the time per layer should stay about the same.
TRVX_BENCH(collect_100k)
{
    const int layers = 100000;
    build_scene(ctx, layers);
    aim_camera(ctx);
    collect_us(ctx, 1);
    double us = collect_us(ctx, 2);
    bench_report("collect_us_per_frame", us, "us");
    bench_report("collect_layers_per_us", layers / us, "layers/us");
    bench_report("collect_ns_per_layer", us * 1000.0 / layers, "ns");
}
