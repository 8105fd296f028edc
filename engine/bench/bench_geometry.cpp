// Geometry loading speed: a rolling surface of 100 000 triangles welded from chips, then smoothed.
#include "bench.h"

#include <math.h>
#include <vector>

namespace {

const int kColumns = 250, kRows = 200; // 2 triangles per cell: 100 000 triangles

tagTRVXVERTEX surface_vertex(int column, int row)
{
    float x = (float)column * 0.1f, z = (float)row * 0.1f;
    float y = sinf(x) * cosf(z);
    // The surface's own normal, so that corners at one place weld into one vertex.
    float nx = -cosf(x) * cosf(z), nz = sinf(x) * sinf(z), length = sqrtf(nx * nx + 1.0f + nz * nz);
    tagTRVXVERTEX v = {};
    v.position = TRVXVECTOR{x, y, z, 0.0f};
    v.normal = TRVXVECTOR{nx / length, 1.0f / length, nz / length, 0.0f};
    v.u[0] = (float)column / kColumns;
    v.v[0] = (float)row / kRows;
    return v;
}

std::vector<tagTRVXVERTEX> surface_chips()
{
    std::vector<tagTRVXVERTEX> chips;
    chips.reserve((size_t)kColumns * kRows * 6);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            tagTRVXVERTEX a = surface_vertex(column, row), b = surface_vertex(column + 1, row);
            tagTRVXVERTEX c = surface_vertex(column + 1, row + 1), d = surface_vertex(column, row + 1);
            chips.insert(chips.end(), {a, b, c, a, c, d});
        }
    return chips;
}

} // namespace

TRVX_BENCH(geometry)
{
    std::vector<tagTRVXVERTEX> chips = surface_chips();
    int triangles = (int)(chips.size() / 3);
    TRVXLAYER layer = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"surface");

    double start = bench_seconds();
    int vertices = TRVXL_SetChip(ctx, layer, triangles, chips.data(), 1);
    double welded = bench_seconds();
    int smoothed = TRVXL_SmoothLayer(ctx, layer, 1, 0.001f, 1);
    double done = bench_seconds();

    bench_report("triangles", triangles, "triangles");
    bench_report("welded_vertices", vertices, "vertices");
    bench_report("weld_ms", (welded - start) * 1000.0, "ms");
    bench_report("weld_rate", triangles / (welded - start), "triangles/s");
    bench_report("smooth_ok", smoothed, "");
    bench_report("smooth_ms", (done - welded) * 1000.0, "ms");
    bench_report("smooth_rate", triangles / (done - welded), "triangles/s");
}
