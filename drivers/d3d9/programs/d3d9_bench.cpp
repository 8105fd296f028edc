// Benchmark of the engine with the Direct3D 9 driver against a plain Direct3D 9 loop that draws the
// same vertex buffers with the same states, in the same window and for the same number of frames.
//   vdr_d3d9_bench [--frames N] [--size WIDTHxHEIGHT]
// Prints, per scene, frames per second of both, the ratio of their frame times and the device
// state calls per frame. The two take turns in rounds, and each one's best round counts.
#include <d3d9.h>
#include <stdio.h>
#include <math.h>
#include <algorithm>
#include <functional>
#include <vector>

#include "trvx.h"
#include "vdr_d3d9.h"
#include "d3d9_call_counter.h"
#include "d3d9_program_support.h"

namespace {

const uint32_t kBackground = 0x00402020;

double seconds_now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

IDirect3DDevice9 *device_of(TRVXCONTEXT ctx) { return (IDirect3DDevice9 *)((DWORD_PTR *)ctx->driverPrivate)[1]; }

// One way of drawing the scene: a frame function and the state calls one frame costs.
struct Way {
    std::function<void()> frame;
    long stateCalls = 0;
    double best = 1e30; // seconds per frame in the least disturbed round
};

// Draws `frames` frames alternately in rounds by each way, so that both meet the same machine
// load (other programs share it); each way's best round counts.
void measure(IDirect3DDevice9 *device, Way &engine, Way &raw, int frames)
{
    Way *ways[2] = {&engine, &raw};
    for (Way *w : ways) {
        for (int i = 0; i < 10; ++i) // warm-up: buffers reach the device, caches settle
            w->frame();
        D3D9CallCounter counter(device);
        w->frame();
        w->stateCalls = counter.count();
    }
    const int rounds = 10, perRound = frames / rounds > 0 ? frames / rounds : 1;
    for (int r = 0; r < rounds; ++r)
        for (Way *w : ways) {
            double start = seconds_now();
            for (int i = 0; i < perRound; ++i)
                w->frame();
            w->best = std::min(w->best, (seconds_now() - start) / perRound);
        }
}

Way engine_way(TRVXCONTEXT ctx, TRVXLAYER scene)
{
    Way w;
    w.frame = [ctx, scene]() {
        TRVX_Rendering(ctx, 0, scene, kBackground);
        TRVX_FlipViewPort(ctx, 0);
    };
    return w;
}

// The layers the engine drew in its last frame, in its order.
std::vector<TRVXLAYER> drawn_layers(TRVXCONTEXT ctx)
{
    std::vector<TRVXLAYER> layers;
    for (int i = 1; i < ctx->opaqueList.count - 1; ++i)
        layers.push_back(ctx->opaqueList.entries[i].layer);
    return layers;
}

// The same layers drawn by hand: per layer its world matrix, material, buffers and one draw.
// Everything else (camera, lights, render states) is what the engine's 3D set-up put on the device.
Way raw_way(TRVXCONTEXT ctx, const std::vector<TRVXLAYER> &layers)
{
    struct Item {
        const D3DMATRIX *world;
        const D3DMATERIAL9 *material;
        IDirect3DVertexBuffer9 *vb;
        IDirect3DIndexBuffer9 *ib;
        UINT stride, vertices, faces;
    };
    std::vector<Item> items;
    for (TRVXLAYER l : layers) {
        const D3D9LAYERDATA *data = layer_data(l);
        if (!data->indexBuffer || !data->vertexBuffer)
            continue;
        items.push_back({(const D3DMATRIX *)((const TRVXTRANSFORM *)l->transformBlock)->world,
                         (const D3DMATERIAL9 *)l->materialBlock, data->vertexBuffer, data->indexBuffer, data->stride,
                         data->vertexCount, data->indexCount});
    }
    IDirect3DDevice9 *d = device_of(ctx);
    D3DCOLOR clear = D3DCOLOR_XRGB(kBackground & 0xFF, (kBackground >> 8) & 0xFF, (kBackground >> 16) & 0xFF);
    Way w;
    w.frame = [ctx, d, items, clear]() {
        // The engine's frames end in its 2D set-up; put the 3D camera back as its frames do.
        TRVX_RenderingEx(ctx, 0, ctx->rootLayer, 10, 0);
        d->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        d->BeginScene();
        d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        for (const Item &it : items) {
            d->SetTransform(D3DTS_WORLD, &*it.world);
            d->SetMaterial(it.material);
            d->SetStreamSource(0, it.vb, 0, it.stride);
            d->SetIndices(it.ib);
            d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, it.vertices, 0, it.faces);
        }
        d->EndScene();
        d->Present(NULL, NULL, NULL, NULL);
    };
    return w;
}

void report(const char *scene, size_t layers, const Way &engine, const Way &raw)
{
    printf("%-11s %5zu layers | engine %7.1f frames/s, %5ld state calls/frame | raw %7.1f frames/s, %5ld state "
           "calls/frame | frame time engine/raw %.3f\n",
           scene, layers, 1.0 / engine.best, engine.stateCalls, 1.0 / raw.best, raw.stateCalls, engine.best / raw.best);
    fflush(stdout);
}

// Measures the engine drawing `scene` and the raw loop drawing what the engine drew.
void compare(TRVXCONTEXT ctx, const char *name, TRVXLAYER scene, int frames)
{
    Way engine = engine_way(ctx, scene);
    engine.frame();
    std::vector<TRVXLAYER> layers = drawn_layers(ctx);
    Way raw = raw_way(ctx, layers);
    measure(device_of(ctx), engine, raw, frames);
    report(name, layers.size(), engine, raw);
}

TRVXLAYER small_boxes(TRVXCONTEXT ctx, int count)
{
    TRVXLAYER group = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"SmallBoxes");
    const float box[9] = {6, 1.2f, 1.2f, 1.2f, 0};
    int columns = 50;
    for (int i = 0; i < count; ++i) {
        TRVXLAYER l = TRVXL_CreateModel(ctx, group, box);
        TRVXVECTOR at = {(float)(i % columns - columns / 2) * 2.0f, (float)(i / columns - count / columns / 2) * 2.0f,
                         0, 0};
        TRVXL_MoveLayer(ctx, l, &at, NULL, NULL, 0, 0);
        TRVXL_EXT_RecallFunction(ctx, l, 1, 0x00204080u + (uint32_t)(i % 7) * 0x00200810u, 0, 1);
    }
    return group;
}

} // namespace

int main(int argc, char **argv)
{
    DemoOptions options = parse_options(argc, argv);
    HWND window = nullptr;
    TRVXCONTEXT ctx = start_program_engine(L"vdr_d3d9 benchmark", options, &window);
    if (!ctx)
        return 1;
    printf("bench: %dx%d window, %d frames per measurement\n", options.width, options.height, options.frames);
    set_ambient_and_sun(ctx, 0x00404040, {-0.4f, -1.0f, 0.6f, 0}, 0x00FFFFFF);

    const float colorBoxShape[9] = {100};
    TRVXLAYER colorBox = TRVXL_CreateModel(ctx, ctx->rootLayer, colorBoxShape);
    tagTRVXCAMERA camera = {};
    camera.eye = {0, 0, -90, 0};
    camera.up = {0, 1, 0, 0};
    TRVX_SetCamera(ctx, &camera);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    program_window_open(window);
    compare(ctx, "ColorBox", colorBox, options.frames);

    TRVXL_SwitchLayer(ctx, colorBox, 0);
    TRVXLAYER boxes = small_boxes(ctx, 2000);
    camera.eye = {0, 0, -95, 0};
    TRVX_SetCamera(ctx, &camera);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    program_window_open(window);
    compare(ctx, "2000 boxes", boxes, options.frames);

    // The viewer benchmark's scene: the airport and the aircraft from the content tree beside the
    // programs, seen as the first shot opens (50 m out, from just above the wing).
    TRVXL_SwitchLayer(ctx, boxes, 0);
    TRVXLAYER flight = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"BenchmarkScene");
    TRVXLAYER airport = TRVXL_ReadLayer(ctx, flight, L"port\\rjbh\\rjbh.tvm");
    TRVXLAYER aircraft = TRVXL_ReadLayer(ctx, flight, L"plane\\hx21ank\\hx21ank.tvm");
    if (airport && aircraft) {
        TRVXVECTOR above = {0, 300, 0, 0}, turn = {0, 180, 0, 0};
        TRVXL_MoveLayer(ctx, aircraft, &above, &turn, NULL, 0, 0);
        TRVX_SetFog(ctx, 1000, 15000, 0x4E78D2);
        camera.eye = {-17, 303, -47, 0};
        camera.target = above;
        camera.lens = 50;
        camera.farZ = 20000;
        TRVX_SetCamera(ctx, &camera);
        TRVXL_CalcLayer(ctx, ctx->rootLayer);
        program_window_open(window);
        compare(ctx, "Benchmark", flight, options.frames);
    } else {
        printf("Benchmark   scene not found (run from the bin folder with the content tree)\n");
    }

    TRVX_End(ctx);
    DestroyWindow(window);
    return 0;
}
