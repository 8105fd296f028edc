// Reading speed of the text model plug-in: generates a large model (many layers, hundreds of
// thousands of vertices), reads it with TRVXL_ReadLayer and prints megabytes and vertices per
// second beside the engine's file services on the same bytes: TRVX_ReadFile alone (what the
// plug-in reads) and with TRVX_ChangeToUnicode (the floor of a reader of widened text). The
// plug-in's own share is also timed alone: syntax pass and records over the file's bytes, with a
// builder that only counts. Every figure is the best of the runs.
// Usage: tvm_bench [layers [vertices-per-layer [runs]]]; runs unattended and prints one
// "name: value" figure per line.
#include "trvx.h"

#include "tvm_read.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>

static double now_seconds()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)frequency.QuadPart;
}

// Processor time of this thread (user and kernel). On a machine that others load too, it shows the
// work itself where the elapsed time also holds the waits for a processor; its ticks are coarse
// (often 10 ms), so the figures give the mean over all runs rather than the best.
static double thread_seconds()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME &t) {
        return (double)(((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

namespace {

// Takes the records and builds nothing, so that the time is the lexer's and the handlers'.
class CountingBuilder : public TvmBuilder {
public:
    void *create_layer(void *, const tvm_char *) override { return &layers; }
    void switch_layer(void *, bool) override {}
    void set_property(void *, int, uintptr_t) override {}
    void move_layer(void *, const TvmVector *, const TvmVector *, const TvmVector *, int) override {}
    void set_range(void *, float, float) override {}
    void set_transform_order(void *, int) override {}
    int read_texture(const tvm_char *, int) override { return 0; }
    void set_stage(void *, int, const TvmStage *) override {}
    void set_geometry(void *, const TvmFace *, int, const TvmVertex *, int count, uint32_t) override
    {
        vertices += count;
    }
    void progress(int) override { ++layers; }
    long long layers = 0, vertices = 0;
};

} // namespace

// A model as the writer would lay it out: groups of parts, each part a textured strip.
static std::string generate(int layers, int verticesPerLayer)
{
    std::string text = "Information(\"Tarvex3D\",\"Velmora CO.,LTD.\",\"5.0\")\r\nComment(\"\")\r\n";
    text += "Layer(\"bench\"){\r\n";
    char line[256];
    unsigned seed = 1;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return (float)(seed >> 8) / 16777216.0f;
    };
    const int perGroup = 20;
    for (int l = 0; l < layers; ++l) {
        if (l % perGroup == 0) {
            snprintf(line, sizeof line, "\tLayer(\"group%d\"){\r\n\t\tTranslate(%d,0,-12.5)\r\n", l / perGroup, l);
            text += line;
        }
        snprintf(line, sizeof line,
                 "\t\tLayer(\"part%d\"){\r\n\t\t\tRotate(0,%d,0,\"YXZ\")\r\n"
                 "\t\t\tMaterial(#00C0C0C0,#00202020,10,#00808080,#00000000)\r\n\t\t\tMode(\"TEXTURE1\")\r\n"
                 "\t\t\tStage(\"NORMAL\",\"\")\r\n",
                 l, l % 360);
        text += line;
        for (int f = 0; f + 2 < verticesPerLayer; ++f) {
            snprintf(line, sizeof line, "\t\t\tFace(%d,%d,%d)\r\n", f, f + 1, f + 2);
            text += line;
        }
        for (int v = 0; v < verticesPerLayer; ++v) {
            snprintf(line, sizeof line, "\t\t\tVertex([%.4f,%.4f,%.4f],[%.5f,%.5f,%.5f],[%.5f,%.5f])\r\n",
                     next() * 200 - 100, next() * 50, next() * 800 - 400, next() - 0.5f, next() - 0.5f,
                     next() - 0.5f, next(), next());
            text += line;
        }
        text += "\t\t}\r\n";
        if (l % perGroup == perGroup - 1 || l == layers - 1)
            text += "\t}\r\n";
    }
    text += "}\r\n";
    return text;
}

int main(int argc, char **argv)
{
    int layers = argc > 1 ? atoi(argv[1]) : 400;
    int perLayer = argc > 2 ? atoi(argv[2]) : 1000;
    int runs = argc > 3 ? atoi(argv[3]) : 5;
    if (layers < 1 || perLayer < 3 || perLayer > 65536 || runs < 1) {
        fprintf(stderr, "usage: tvm_bench [layers [vertices-per-layer [runs]]]\n");
        return 2;
    }
    std::string text = generate(layers, perLayer);
    const wchar_t *file = L"tvm_bench_model.tvm";
    FILE *f = _wfopen(file, L"wb");
    if (!f || fwrite(text.data(), 1, text.size(), f) != text.size()) {
        fprintf(stderr, "tvm_bench: cannot write the model\n");
        return 1;
    }
    fclose(f);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TvmBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"TvmBench", L"tvm bench", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                                wc.hInstance, nullptr);
    RECT view = {0, 0, 320, 240};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    if (!ctx) {
        fprintf(stderr, "tvm_bench: the engine did not start\n");
        return 1;
    }
    // TRVX_Start made the engine's folder current; the model lies beside the program.
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t *slash = wcsrchr(path, L'\\');
    lstrcpyW(slash ? slash + 1 : path, file);

    double floorBest = 1e30, fileBest = 1e30, readBest = 1e30, ownBest = 1e30, syntaxBest = 1e30;
    double readCpu = 0, ownCpu = 0; // summed over the runs
    int vertices = 0, faces = 0, layerCount = 0;
    auto best = [](double &record, double t0, double t1) { record = t1 - t0 < record ? t1 - t0 : record; };
    for (int run = 0; run < runs; ++run) {
        double t0 = now_seconds();
        int size = 0;
        char *bytes = static_cast<char *>(TRVX_ReadFile(ctx, path, &size, 1));
        double t1 = now_seconds();
        wchar_t *wide = bytes ? TRVX_ChangeToUnicode(ctx, bytes) : nullptr;
        double t2 = now_seconds();
        if (!wide) {
            fprintf(stderr, "tvm_bench: cannot read the model back\n");
            return 1;
        }
        best(fileBest, t0, t1);
        best(floorBest, t0, t2);
        TRVX_FreeMemory(ctx, wide);

        // The plug-in's own work on a fresh copy of the bytes, as it gets them from TRVX_ReadFile.
        double cpu0 = thread_seconds();
        t0 = now_seconds();
        TvmSyntax syntax;
        CountingBuilder counter;
        bool wellFormed = tvm_check_syntax(bytes, (size_t)size, &syntax);
        t1 = now_seconds();
        if (wellFormed)
            tvm_read_text(&counter, nullptr, bytes, syntax.length, syntax.braces, nullptr);
        t2 = now_seconds();
        best(syntaxBest, t0, t1);
        best(ownBest, t0, t2);
        ownCpu += thread_seconds() - cpu0;
        TRVX_FreeMemory(ctx, bytes);

        cpu0 = thread_seconds();
        t0 = now_seconds();
        TRVXLAYER model = TRVXL_ReadLayer(ctx, ctx->rootLayer, path);
        t1 = now_seconds();
        readCpu += thread_seconds() - cpu0;
        if (!model) {
            fprintf(stderr, "tvm_bench: the model was not read\n");
            return 1;
        }
        best(readBest, t0, t1);
        layerCount = faces = vertices = 0;
        TRVXL_CountLayer(ctx, model, &layerCount, &faces, &vertices, 0);
        TRVXL_DeleteLayer(ctx, model, 1);
    }
    TRVX_End(ctx);
    DestroyWindow(window);
    DeleteFileW(path);

    const double megabytes = (double)text.size() / 1e6;
    printf("model_megabytes: %.1f\n", megabytes);
    printf("model_layers: %d\n", layerCount);
    printf("model_vertices: %d\n", vertices);
    printf("model_faces: %d\n", faces);
    printf("read_seconds: %.3f\n", readBest);
    printf("read_megabytes_per_second: %.0f\n", megabytes / readBest);
    printf("read_vertices_per_second: %.0f\n", vertices / readBest);
    printf("read_cpu_seconds: %.3f\n", readCpu / runs);
    printf("read_cpu_megabytes_per_second: %.0f\n", megabytes * runs / readCpu);
    printf("file_read_seconds: %.3f\n", fileBest);
    printf("file_read_megabytes_per_second: %.0f\n", megabytes / fileBest);
    printf("floor_seconds: %.3f\n", floorBest);
    printf("floor_megabytes_per_second: %.0f\n", megabytes / floorBest);
    printf("syntax_pass_seconds: %.3f\n", syntaxBest);
    printf("lexer_and_records_seconds: %.3f\n", ownBest);
    printf("lexer_and_records_megabytes_per_second: %.0f\n", megabytes / ownBest);
    printf("lexer_and_records_cpu_seconds: %.3f\n", ownCpu / runs);
    return 0;
}
