// Benchmark of the engine with the Direct3D 9 driver against a plain Direct3D 9 loop that draws the
// same vertex buffers with the same states, in the same window and for the same number of frames.
//   vdr_d3d9_bench [--frames N] [--size WIDTHxHEIGHT]
// Prints, per scene, frames per second of both, the ratio of their frame times and the device
// state calls per frame.
#include <d3d9.h>
#include <stdio.h>
#include <math.h>
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

struct Result {
    double fps;
    long stateCalls; // per frame
};

Result run_engine(TRVXCONTEXT ctx, TRVXLAYER scene, int frames)
{
    for (int i = 0; i < 10; ++i) { // warm-up: buffers reach the device, caches settle
        TRVX_Rendering(ctx, 0, scene, kBackground);
        TRVX_FlipViewPort(ctx, 0);
    }
    long calls;
    {
        D3D9CallCounter counter(device_of(ctx));
        TRVX_Rendering(ctx, 0, scene, kBackground);
        calls = counter.count();
        TRVX_FlipViewPort(ctx, 0);
    }
    double start = seconds_now();
    for (int i = 0; i < frames; ++i) {
        TRVX_Rendering(ctx, 0, scene, kBackground);
        TRVX_FlipViewPort(ctx, 0);
    }
    return {frames / (seconds_now() - start), calls};
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
// Everything else (camera, lights, render states) is what the engine left on the device.
Result run_raw(TRVXCONTEXT ctx, const std::vector<TRVXLAYER> &layers, int frames)
{
    IDirect3DDevice9 *d = device_of(ctx);
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
    D3DCOLOR clear = D3DCOLOR_XRGB(kBackground & 0xFF, (kBackground >> 8) & 0xFF, (kBackground >> 16) & 0xFF);
    auto frame = [&]() {
        d->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        d->BeginScene();
        d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        for (const Item &it : items) {
            d->SetTransform(D3DTS_WORLD, it.world);
            d->SetMaterial(it.material);
            d->SetStreamSource(0, it.vb, 0, it.stride);
            d->SetIndices(it.ib);
            d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, it.vertices, 0, it.faces);
        }
        d->EndScene();
    };
    // The engine's last frame left the 3D camera and states of the frame's end; set them again.
    TRVX_RenderingEx(ctx, 0, ctx->rootLayer, 1, kBackground);
    TRVX_RenderingEx(ctx, 0, ctx->rootLayer, 10, 0);
    TRVX_RenderingEx(ctx, 0, ctx->rootLayer, 2, 0);
    for (int i = 0; i < 10; ++i) {
        frame();
        d->Present(NULL, NULL, NULL, NULL);
    }
    long calls;
    {
        D3D9CallCounter counter(d);
        frame();
        calls = counter.count();
        d->Present(NULL, NULL, NULL, NULL);
    }
    double start = seconds_now();
    for (int i = 0; i < frames; ++i) {
        frame();
        d->Present(NULL, NULL, NULL, NULL);
    }
    return {frames / (seconds_now() - start), calls};
}

void report(const char *scene, size_t layers, const Result &engine, const Result &raw)
{
    printf("%-14s layers %5zu | engine %8.1f frames/s, %6ld state calls/frame | raw %8.1f frames/s, %6ld state "
           "calls/frame | frame time engine/raw %.3f\n",
           scene, layers, engine.fps, engine.stateCalls, raw.fps, raw.stateCalls, raw.fps / engine.fps);
    fflush(stdout);
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
    HWND window = open_program_window(L"vdr_d3d9 benchmark", options.width, options.height);
    RECT view = {0, 0, options.width, options.height};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    if (!ctx) {
        fprintf(stderr, "bench: the engine could not start its graphics driver\n");
        return 1;
    }
    printf("bench: %dx%d window, %d frames per measurement\n", options.width, options.height, options.frames);
    tagTRVXLIGHT ambient = {}, sun = {};
    ambient.kind = TRVX_LIGHT_AMBIENT;
    ambient.diffuse = 0x00404040;
    sun.kind = TRVX_LIGHT_DIRECTIONAL;
    sun.direction = {-0.4f, -1.0f, 0.6f, 0};
    sun.diffuse = 0x00FFFFFF;
    TRVX_SetLight(ctx, 0, &ambient);
    TRVX_SetLight(ctx, 1, &sun);

    const float colorBoxShape[9] = {100};
    TRVXLAYER colorBox = TRVXL_CreateModel(ctx, ctx->rootLayer, colorBoxShape);
    tagTRVXCAMERA camera = {};
    camera.eye = {0, 0, -90, 0};
    camera.up = {0, 1, 0, 0};
    TRVX_SetCamera(ctx, &camera);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    program_window_open(window);
    Result engine = run_engine(ctx, colorBox, options.frames);
    std::vector<TRVXLAYER> layers = drawn_layers(ctx);
    Result raw = run_raw(ctx, layers, options.frames);
    report("ColorBox", layers.size(), engine, raw);

    TRVXL_SwitchLayer(ctx, colorBox, 0);
    TRVXLAYER boxes = small_boxes(ctx, 2000);
    camera.eye = {0, 0, -95, 0};
    TRVX_SetCamera(ctx, &camera);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    program_window_open(window);
    engine = run_engine(ctx, boxes, options.frames);
    layers = drawn_layers(ctx);
    raw = run_raw(ctx, layers, options.frames);
    report("2000 boxes", layers.size(), engine, raw);

    TRVX_End(ctx);
    DestroyWindow(window);
    return 0;
}
