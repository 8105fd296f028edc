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

// The best of a few rounds, so that a loaded machine's pauses count as little as possible.
const int kRounds = 5;

void weld_and_smooth(TRVXCONTEXT ctx, const char *label, int columns, int rows)
{
    std::vector<tagTRVXVERTEX> chips = surface_chips(columns, rows);
    int triangles = (int)(chips.size() / 3);
    double weldBest = 1e30, smoothBest = 1e30;
    int vertices = 0, smoothed = 0;
    for (int round = 0; round < kRounds; ++round) {
        TRVXLAYER layer = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"surface");
        double start = bench_seconds();
        vertices = TRVXL_SetChip(ctx, layer, triangles, chips.data(), 1);
        double welded = bench_seconds();
        smoothed = TRVXL_SmoothLayer(ctx, layer, 1, 0.001f, 1);
        double done = bench_seconds();
        TRVXL_DeleteLayer(ctx, layer, 1);
        weldBest = welded - start < weldBest ? welded - start : weldBest;
        smoothBest = done - welded < smoothBest ? done - welded : smoothBest;
    }

    char what[64];
    snprintf(what, sizeof what, "%s.triangles", label);
    bench_report(what, triangles, "triangles");
    snprintf(what, sizeof what, "%s.welded_vertices", label);
    bench_report(what, vertices, "vertices");
    snprintf(what, sizeof what, "%s.weld_ms", label);
    bench_report(what, weldBest * 1000.0, "ms");
    snprintf(what, sizeof what, "%s.weld_rate", label);
    bench_report(what, triangles / weldBest, "triangles/s");
    snprintf(what, sizeof what, "%s.smooth_ms", label);
    bench_report(what, smoothed ? smoothBest * 1000.0 : -1.0, "ms");
    snprintf(what, sizeof what, "%s.smooth_rate", label);
    bench_report(what, smoothed ? triangles / smoothBest : -1.0, "triangles/s");
}

} // namespace

TRVX_BENCH(geometry)
{
    weld_and_smooth(ctx, "25k", 125, 100);
    weld_and_smooth(ctx, "50k", 250, 100);
    weld_and_smooth(ctx, "100k", 250, 200);
}
