// Geometry loading speed: a rolling surface of 100 000 triangles welded from chips, then smoothed;
// a quarter and a half of it as well, to show that the rate does not fall with the size.
#include "bench.h"

#include <math.h>
#include <stdio.h>
#include <vector>

namespace {

tagTRVXVERTEX surface_vertex(int column, int row, int columns, int rows)
{
    float x = (float)column * 0.1f, z = (float)row * 0.1f;
    float y = sinf(x) * cosf(z);
    // The surface's own normal, so that corners at one place weld into one vertex.
    float nx = -cosf(x) * cosf(z), nz = sinf(x) * sinf(z), length = sqrtf(nx * nx + 1.0f + nz * nz);
    tagTRVXVERTEX v = {};
    v.position = TRVXVECTOR{x, y, z, 0.0f};
    v.normal = TRVXVECTOR{nx / length, 1.0f / length, nz / length, 0.0f};
    v.u[0] = (float)column / (float)columns;
    v.v[0] = (float)row / (float)rows;
    return v;
}

// Two triangles per cell of a columns x rows grid.
std::vector<tagTRVXVERTEX> surface_chips(int columns, int rows)
{
    std::vector<tagTRVXVERTEX> chips;
    chips.reserve((size_t)columns * rows * 6);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            tagTRVXVERTEX a = surface_vertex(column, row, columns, rows);
            tagTRVXVERTEX b = surface_vertex(column + 1, row, columns, rows);
            tagTRVXVERTEX c = surface_vertex(column + 1, row + 1, columns, rows);
            tagTRVXVERTEX d = surface_vertex(column, row + 1, columns, rows);
            chips.insert(chips.end(), {a, b, c, a, c, d});
        }
    return chips;
}

// The best of several rounds, so that a loaded machine's pauses count as little as possible; the
// processor time is the mean over the rounds.
const int kRounds = 10;

void report(const char *label, const char *what, double value, const char *unit)
{
    char name[64];
    snprintf(name, sizeof name, "%s.%s", label, what);
    bench_report(name, value, unit);
}

void weld_and_smooth(TRVXCONTEXT ctx, const char *label, int columns, int rows)
{
    std::vector<tagTRVXVERTEX> chips = surface_chips(columns, rows);
    int triangles = (int)(chips.size() / 3);
    double weldBest = 1e30, smoothBest = 1e30, weldCpu = 0, smoothCpu = 0;
    int vertices = 0, smoothed = 0;
    for (int round = 0; round < kRounds; ++round) {
        TRVXLAYER layer = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"surface");
        double cpu0 = bench_thread_seconds(), start = bench_seconds();
        vertices = TRVXL_SetChip(ctx, layer, triangles, chips.data(), 1);
        double cpu1 = bench_thread_seconds(), welded = bench_seconds();
        smoothed = TRVXL_SmoothLayer(ctx, layer, 1, 0.001f, 1);
        double cpu2 = bench_thread_seconds(), done = bench_seconds();
        TRVXL_DeleteLayer(ctx, layer, 1);
        weldBest = welded - start < weldBest ? welded - start : weldBest;
        smoothBest = done - welded < smoothBest ? done - welded : smoothBest;
        weldCpu += (cpu1 - cpu0) / kRounds;
        smoothCpu += (cpu2 - cpu1) / kRounds;
    }
    report(label, "triangles", triangles, "triangles");
    report(label, "welded_vertices", vertices, "vertices");
    report(label, "weld_ms", weldBest * 1000.0, "ms");
    report(label, "weld_rate", triangles / weldBest, "triangles/s");
    report(label, "weld_cpu_ms", weldCpu * 1000.0, "ms");
    report(label, "weld_cpu_rate", triangles / weldCpu, "triangles/s");
    report(label, "smooth_ms", smoothed ? smoothBest * 1000.0 : -1.0, "ms");
    report(label, "smooth_rate", smoothed ? triangles / smoothBest : -1.0, "triangles/s");
    report(label, "smooth_cpu_ms", smoothed ? smoothCpu * 1000.0 : -1.0, "ms");
    report(label, "smooth_cpu_rate", smoothed ? triangles / smoothCpu : -1.0, "triangles/s");
}

} // namespace

TRVX_BENCH(geometry)
{
    weld_and_smooth(ctx, "25k", 125, 100);
    weld_and_smooth(ctx, "50k", 250, 100);
    weld_and_smooth(ctx, "100k", 250, 200);
}
