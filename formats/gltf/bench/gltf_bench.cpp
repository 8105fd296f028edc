// Reading speed of the glTF plug-in beside the text model plug-in on the same geometry: builds the
// text model benchmark's model (groups of textured strips, 400 layers of 1000 vertices by default)
// through the engine, writes it as .tvm, .glb and .gltf + .bin with the two plug-ins, and reads each
// back with TRVXL_ReadLayer. Prints megabytes (of the files read) and triangles per second for each
// format, the best of the runs, the .glb's speed-up over the text model, and the floor of any reader:
// the same layers built from arrays already in memory.
// Usage: gltf_bench [layers [vertices-per-layer [runs]]]; runs unattended and prints one
// "name: value" figure per line.
#include "trvx.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

namespace {

double now_seconds()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)frequency.QuadPart;
}

// Processor time of this thread: on a machine others load too it shows the work where the elapsed
// time also holds the waits for a processor (coarse ticks: the figures give the mean of the runs).
double thread_seconds()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME &t) {
        return (double)(((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

long long file_size(const wchar_t *name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(name, GetFileExInfoStandard, &data))
        return 0;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// The text model benchmark's model, built through the engine: groups of 20 parts, each part a strip
// of random points with a material, turned about Y in order "YXZ". With `timed`, the vertices are made
// first and only the engine's work is timed: the floor of any reader (the copy into the layers).
TRVXLAYER build(TRVXCONTEXT ctx, int layers, int perLayer, double *timed = nullptr)
{
    std::vector<std::vector<tagTRVXVERTEX>> made;
    if (timed) {
        unsigned seed = 1;
        auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return (float)(seed >> 8) / 16777216.0f;
        };
        made.resize((size_t)layers, std::vector<tagTRVXVERTEX>((size_t)perLayer));
        for (auto &part : made)
            for (tagTRVXVERTEX &v : part) {
                v = {};
                v.position = {next() * 200 - 100, next() * 50, next() * 800 - 400, 0};
                v.normal = {next() - 0.5f, next() - 0.5f, next() - 0.5f, 0};
                v.u[0] = next(), v.v[0] = next();
            }
    }
    const double t0 = now_seconds();
    TRVXLAYER top = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"bench");
    unsigned seed = 1;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return (float)(seed >> 8) / 16777216.0f;
    };
    const int perGroup = 20;
    TRVXLAYER group = nullptr;
    std::vector<tagTRVXVERTEX> vertices((size_t)perLayer);
    std::vector<tagTRVXFACE> faces((size_t)perLayer - 2);
    for (int l = 0; l < layers; ++l) {
        wchar_t name[32];
        if (l % perGroup == 0) {
            swprintf(name, 32, L"group%d", l / perGroup);
            group = TRVXL_CreateLayer(ctx, top, name);
            const TRVXVECTOR t = {(float)l, 0, -12.5f, 0};
            TRVXL_MoveLayer(ctx, group, &t, nullptr, nullptr, 0, 0);
        }
        swprintf(name, 32, L"part%d", l);
        TRVXLAYER part = TRVXL_CreateLayer(ctx, group, name);
        const TRVXVECTOR r = {0, (float)(l % 360), 0, 0};
        TRVXL_MoveLayer(ctx, part, nullptr, &r, nullptr, 0, 3);
        const struct { uint32_t d, s; float dull; uint32_t a, e; } material = {0xC0C0C0, 0x202020, 10, 0x808080, 0};
        TRVXL_EXT_RecallFunction(ctx, part, 43, reinterpret_cast<DWORD_PTR>(&material), 0, 0);
        for (int f = 0; f + 2 < perLayer; ++f)
            faces[(size_t)f] = {{(uint16_t)f, (uint16_t)(f + 1), (uint16_t)(f + 2)}};
        if (!timed)
            for (tagTRVXVERTEX &v : vertices) {
                v = {};
                v.position = {next() * 200 - 100, next() * 50, next() * 800 - 400, 0};
                v.normal = {next() - 0.5f, next() - 0.5f, next() - 0.5f, 0};
                v.u[0] = next(), v.v[0] = next();
            }
        TRVXL_SetFace(ctx, part, (int)faces.size(), faces.data());
        TRVXL_SetVertex(ctx, part, perLayer, timed ? made[(size_t)l].data() : vertices.data());
        TRVXL_ModeLayer(ctx, part, TRVX_MODE_SOLID);
    }
    if (timed)
        *timed = now_seconds() - t0;
    return top;
}

} // namespace

int main(int argc, char **argv)
{
    const int layers = argc > 1 ? atoi(argv[1]) : 400;
    const int perLayer = argc > 2 ? atoi(argv[2]) : 1000;
    const int runs = argc > 3 ? atoi(argv[3]) : 5;
    if (layers < 1 || perLayer < 3 || perLayer > 65535 || runs < 1) {
        fprintf(stderr, "usage: gltf_bench [layers [vertices-per-layer [runs]]]\n");
        return 2;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GltfBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"GltfBench", L"gltf bench", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                                wc.hInstance, nullptr);
    RECT view = {0, 0, 320, 240};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    if (!ctx) {
        fprintf(stderr, "gltf_bench: the engine did not start\n");
        return 1;
    }
    // TRVX_Start made the engine's folder current: the files lie beside the program (and the engine).
    const struct { const wchar_t *file; const char *name; } formats[] = {
        {L"gltf_bench_model.tvm", "tvm"}, {L"gltf_bench_model.glb", "glb"}, {L"gltf_bench_model.gltf", "gltf"}};
    TRVXLAYER model = build(ctx, layers, perLayer);
    for (const auto &f : formats)
        if (TRVXL_WriteLayer(ctx, model, f.file) != 1) {
            fprintf(stderr, "gltf_bench: %ls was not written\n", f.file);
            return 1;
        }
    int faces = 0;
    TRVXL_CountLayer(ctx, model, nullptr, &faces, nullptr, 0);
    TRVXL_DeleteLayer(ctx, model, 1);

    double seconds[3] = {1e30, 1e30, 1e30}, cpu[3] = {0, 0, 0}, floor = 1e30;
    for (int run = 0; run < runs; ++run) {
        double t;
        TRVXL_DeleteLayer(ctx, build(ctx, layers, perLayer, &t), 1);
        floor = t < floor ? t : floor;
        for (int i = 0; i < 3; ++i) {
            const double c0 = thread_seconds(), t0 = now_seconds();
            TRVXLAYER read = TRVXL_ReadLayer(ctx, ctx->rootLayer, formats[i].file);
            const double t = now_seconds() - t0;
            cpu[i] += thread_seconds() - c0;
            if (!read) {
                fprintf(stderr, "gltf_bench: %ls was not read\n", formats[i].file);
                return 1;
            }
            int readFaces = 0;
            TRVXL_CountLayer(ctx, read, nullptr, &readFaces, nullptr, 0);
            if (readFaces != faces) {
                fprintf(stderr, "gltf_bench: %ls read %d faces, not %d\n", formats[i].file, readFaces, faces);
                return 1;
            }
            TRVXL_DeleteLayer(ctx, read, 1);
            seconds[i] = t < seconds[i] ? t : seconds[i];
        }
    }
    TRVX_End(ctx);
    DestroyWindow(window);

    printf("model_layers: %d\n", layers);
    printf("model_triangles: %d\n", faces);
    for (int i = 0; i < 3; ++i) {
        long long bytes = file_size(formats[i].file);
        if (i == 2)
            bytes += file_size(L"gltf_bench_model.bin");
        printf("%s_megabytes: %.1f\n", formats[i].name, bytes / 1e6);
        printf("%s_read_seconds: %.3f\n", formats[i].name, seconds[i]);
        printf("%s_read_megabytes_per_second: %.0f\n", formats[i].name, bytes / 1e6 / seconds[i]);
        printf("%s_read_triangles_per_second: %.0f\n", formats[i].name, faces / seconds[i]);
        printf("%s_read_cpu_seconds: %.3f\n", formats[i].name, cpu[i] / runs);
    }
    printf("floor_seconds: %.3f\n", floor);
    printf("glb_speedup_over_tvm: %.2f\n", seconds[0] / seconds[1]);
    printf("glb_cpu_speedup_over_tvm: %.2f\n", cpu[0] / cpu[1]);
    for (const auto &f : formats)
        DeleteFileW(f.file);
    DeleteFileW(L"gltf_bench_model.bin");
    return 0;
}
