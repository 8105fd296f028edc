// Benchmark of the engine with the Direct3D 9 driver against a plain Direct3D 9 loop that draws the
// same vertex buffers with the same states, in the same window and for the same number of frames.
//   vdr_d3d9_bench [--frames N] [--size WIDTHxHEIGHT] [--boxes N]
// Scenes: a colour box, 2000 small boxes (and N more with --boxes, all in view), and the viewer's
// scene (aircraft, airport, clouds, sky and lamps) when the content tree lies beside the program.
// Prints, per scene, frames per second of both, the ratio of their frame times and the device state
// calls per frame. The two take turns in rounds, and each one's best round counts.
#include <d3d9.h>
#include <stdio.h>
#include <math.h>
#include <algorithm>
#include <functional>
#include <string>
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

Way engine_way(TRVXCONTEXT ctx, TRVXLAYER scene, uint32_t background = kBackground)
{
    Way w;
    w.frame = [ctx, scene, background]() {
        TRVX_Rendering(ctx, 0, scene, background);
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
                         (const D3DMATERIAL9 *)l->materialBlock, data->vertexBuffer, data->indexBuffer, (UINT)data->stride,
                         (UINT)data->vertexCount, (UINT)data->indexCount});
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

// The viewer's scene drawn by hand: every layer of the engine's opaque, sorted and point lists with
// its world matrix, material, stage textures (filtered and combined as the scene's files ask:
// mipmapped, the second stage modulating the first), buffers and one draw; the sorted and point
// layers blended. The sky is cleared to the same colour.
Way raw_scene_way(TRVXCONTEXT ctx, uint32_t background)
{
    struct Item {
        const D3DMATRIX *world;
        const D3DMATERIAL9 *material;
        IDirect3DBaseTexture9 *textures[2];
        IDirect3DVertexBuffer9 *vb;
        IDirect3DIndexBuffer9 *ib;
        UINT fvf, stride, vertices, faces;
        float pointSize;
        bool blended;
    };
    std::vector<Item> items;
    auto add = [&](const tagTRVXDRAWLIST &list, bool blended) {
        for (int i = 1; i < list.count - 1; ++i) {
            TRVXLAYER l = list.entries[i].layer;
            const D3D9LAYERDATA *data = layer_data(l);
            if (!data->vertexBuffer || !l->transformBlock || !l->materialBlock)
                continue;
            Item it = {(const D3DMATRIX *)((const TRVXTRANSFORM *)l->transformBlock)->world,
                       (const D3DMATERIAL9 *)l->materialBlock, {}, data->vertexBuffer, data->indexBuffer,
                       (UINT)data->fvf, (UINT)data->stride, (UINT)data->vertexCount, (UINT)data->indexCount,
                       l->pointSize, blended};
            for (int s = 0; s < 2; ++s) {
                int slot = l->stages[s].texture;
                if (slot > 0 && slot < ctx->textureCount)
                    it.textures[s] = (IDirect3DBaseTexture9 *)ctx->textures[slot].object;
            }
            items.push_back(it);
        }
    };
    add(ctx->opaqueList, false);
    add(ctx->sortedList, true);
    add(ctx->pointList, true);
    IDirect3DDevice9 *d = device_of(ctx);
    D3DCOLOR clear = D3DCOLOR_XRGB(background & 0xFF, (background >> 8) & 0xFF, (background >> 16) & 0xFF);
    Way w;
    w.frame = [ctx, d, items, clear]() {
        TRVX_RenderingEx(ctx, 0, ctx->rootLayer, 10, 0);
        d->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        d->BeginScene();
        for (DWORD stage = 0; stage < 2; ++stage) {
            d->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
            d->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
            d->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        }
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        d->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
        d->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
        for (const Item &it : items) {
            d->SetRenderState(D3DRS_ALPHABLENDENABLE, it.blended);
            d->SetTextureStageState(1, D3DTSS_COLOROP, it.textures[1] ? D3DTOP_MODULATE : D3DTOP_DISABLE);
            d->SetTransform(D3DTS_WORLD, it.world);
            d->SetMaterial(it.material);
            d->SetTexture(0, it.textures[0]);
            d->SetTexture(1, it.textures[1]);
            d->SetFVF(it.fvf);
            d->SetStreamSource(0, it.vb, 0, it.stride);
            if (it.ib) {
                d->SetIndices(it.ib);
                d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, it.vertices, 0, it.faces);
            } else if (it.pointSize > 0) {
                DWORD size;
                memcpy(&size, &it.pointSize, sizeof size);
                d->SetRenderState(D3DRS_POINTSIZE, size);
                d->DrawPrimitive(D3DPT_POINTLIST, 0, it.vertices);
            }
        }
        d->EndScene();
        d->Present(NULL, NULL, NULL, NULL);
    };
    return w;
}

// The folder of the program, ending in a backslash.
std::wstring program_folder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The viewer's scene as it first appears: the aircraft at the start of its circuit seen from the
// outside camera, over the airport, under the noon sky; the seconds its files took to load.
TRVXLAYER viewer_scene(TRVXCONTEXT ctx, double *loadSeconds)
{
    std::wstring folder = program_folder();
    double start = seconds_now();
    TRVXLAYER scene = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"Scene");
    TRVXLAYER aircraftGroup = TRVXL_CreateLayer(ctx, scene, L"HX-21");
    TRVXLAYER aircraft = TRVXL_ReadLayer(ctx, aircraftGroup, (folder + L"plane\\hx21ank\\hx21ank.tvm").c_str());
    TRVXLAYER airport = TRVXL_ReadLayer(ctx, scene, (folder + L"port\\rjbh\\rjbh.tvm").c_str());
    TRVXLAYER clouds = TRVXL_ReadLayer(ctx, scene, (folder + L"etc\\clouds\\landclouds.tvm").c_str());
    *loadSeconds = seconds_now() - start;
    if (!aircraft || !airport || !clouds)
        return nullptr;
    for (const wchar_t *hidden : {L"shadow", L"frlight", L"in_hx2102", L"cp_c"})
        if (TRVXLAYER layer = TRVXL_SearchLayer(ctx, aircraft, hidden))
            TRVXL_SwitchLayer(ctx, layer, 0);
    TRVXVECTOR modelAt = {0, -2, 0, 0}, modelTurn = {0, 180, 0, 0}, at = {0, 300, 3000, 0}, heading = {-2, 180, 0, 0};
    TRVXL_MoveLayer(ctx, aircraft, &modelAt, &modelTurn, NULL, 0, 0);
    TRVXL_MoveLayer(ctx, aircraftGroup, &at, &heading, NULL, 0, 0);
    set_ambient_and_sun(ctx, 0x00000000, {0.0f, -0.8f, 0.6f, 0}, 0x00F0F0F0);
    TRVX_SetFog(ctx, 1000, 12000, 0x00F0F0F0);
    tagTRVXCAMERA camera = {};
    camera.eye = {-43.3f, 313, 3025, 0}; // 50 from the aircraft, azimuth 240, elevation 15
    camera.target = {0, 300, 3000, 0};
    camera.up = {0, 1, 0, 0};
    camera.lens = 50;
    camera.nearZ = 1;
    camera.farZ = 20000;
    TRVX_SetCamera(ctx, &camera);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    return scene;
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

const int kBaseBoxes = 2000;
const int kBaseColumns = 50;
const float kBaseBoxesEye = -95; // the camera's distance that shows the 2000 boxes whole

// How far a grid of `count` boxes spreads compared with the 2000: its sides grow as the square root.
float box_grid_scale(int count)
{
    return sqrtf((float)count / (float)kBaseBoxes);
}

TRVXLAYER small_boxes(TRVXCONTEXT ctx, int count)
{
    TRVXLAYER group = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"SmallBoxes");
    const float box[9] = {6, 1.2f, 1.2f, 1.2f, 0};
    int columns = (int)(kBaseColumns * box_grid_scale(count) + 0.5f);
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
    TRVXLAYER boxes = small_boxes(ctx, kBaseBoxes);
    camera.eye = {0, 0, kBaseBoxesEye, 0};
    TRVX_SetCamera(ctx, &camera);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    program_window_open(window);
    compare(ctx, "2000 boxes", boxes, options.frames);
    TRVXL_SwitchLayer(ctx, boxes, 0);

    if (options.boxes > 0) {
        TRVXLAYER more = small_boxes(ctx, options.boxes);
        camera.eye = {0, 0, kBaseBoxesEye * box_grid_scale(options.boxes), 0};
        TRVX_SetCamera(ctx, &camera);
        TRVXL_CalcLayer(ctx, ctx->rootLayer);
        program_window_open(window);
        char name[32];
        snprintf(name, sizeof name, "%d boxes", options.boxes);
        compare(ctx, name, more, options.frames);
        TRVXL_SwitchLayer(ctx, more, 0);
    }

    double loadSeconds = 0;
    if (TRVXLAYER scene = viewer_scene(ctx, &loadSeconds)) {
        const uint32_t sky = 0x0090511A;
        Way engine = engine_way(ctx, scene, sky);
        engine.frame();
        printf("viewer scene: aircraft, airport and clouds read in %.2f s\n", loadSeconds);
        program_window_open(window);
        Way raw = raw_scene_way(ctx, sky);
        measure(device_of(ctx), engine, raw, options.frames);
        size_t drawn = (size_t)(ctx->opaqueList.count + ctx->sortedList.count + ctx->pointList.count - 6);
        report("viewer", drawn, engine, raw);
    } else {
        printf("viewer scene: the content tree is not beside the program, skipped\n");
    }

    TRVX_End(ctx);
    DestroyWindow(window);
    return 0;
}
