// Demonstration of the Direct3D 9 driver through the engine: the "ColorBox" model and the other
// primitives turning under a light, with fog and text.
//   vdr_d3d9_demo [--seconds N] [--screenshot file.bmp] [--size WIDTHxHEIGHT]
// Without --seconds it runs until the window is closed. Prints the frame count and rate; exits
// with 1 when the engine cannot start and 2 when the screenshot cannot be written.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <math.h>

#include "trvx.h"
#include "d3d9_program_support.h"

namespace {

struct Spinner {
    TRVXLAYER layer;
    TRVXVECTOR position;
    float speed; // degrees per second
};

TRVXLAYER model(TRVXCONTEXT ctx, TRVXLAYER parent, std::initializer_list<float> parameters, uint32_t colour)
{
    float p[9] = {};
    int i = 0;
    for (float v : parameters)
        p[i++] = v;
    TRVXLAYER layer = TRVXL_CreateModel(ctx, parent, p);
    if (layer && colour)
        TRVXL_EXT_RecallFunction(ctx, layer, 1, colour, 0, 1);
    return layer;
}

} // namespace

int main(int argc, char **argv)
{
    DemoOptions options = parse_options(argc, argv);
    HWND window = nullptr;
    TRVXCONTEXT ctx = start_program_engine(L"vdr_d3d9 demonstration", options, &window);
    if (!ctx)
        return 1;
    TRVXLAYER root = ctx->rootLayer;
    TRVXLAYER colorBox = model(ctx, root, {100}, 0);
    std::vector<Spinner> spinners;
    const struct { std::initializer_list<float> shape; uint32_t colour; } shapes[] = {
        {{6, 10, 10, 10, 0}, 0x003080FF},         // Box
        {{7, 1, 6, 24, 12, 1, 0}, 0x0000D0FF},    // Cone
        {{8, 1, 5, 1, 3, 1, 24, 10, 0}, 0x00FF9040}, // Pipe
        {{9, 6, 24, 12}, 0x0040FF40},             // Ball
        {{10, 6, 12, 6}, 0x00FF40C0},             // Ball, staggered rings
        {{5, 2, 7, 32}, 0x0080FFFF},              // Disk
    };
    int n = 0;
    for (const auto &s : shapes) {
        TRVXLAYER l = model(ctx, root, s.shape, s.colour);
        if (!l)
            continue;
        float angle = (float)n++ * 6.2831853f / 6.0f;
        spinners.push_back({l, {48.0f * sinf(angle), 0.0f, 48.0f * cosf(angle), 0}, 40.0f + 15.0f * (float)n});
        TRVXL_EXT_RecallFunction(ctx, l, 21, 1, 0, 1); // both sides: the disk is seen from below too
    }
    tagTRVXCAMERA camera = {};
    camera.eye = {0, 40, -120, 0};
    camera.up = {0, 1, 0, 0};
    TRVX_SetCamera(ctx, &camera);
    set_ambient_and_sun(ctx, 0x00404040, {-0.4f, -1.0f, 0.6f, 0}, 0x00FFFFFF);
    const uint32_t sky = 0x00503020;
    TRVX_SetFog(ctx, 110.0f, 190.0f, sky);
    int font = TRVX_CreateFont(ctx, 22, 0, 700, 0, 0, 0, L"Arial");

    DWORD start = GetTickCount(), last = start;
    int frames = 0, status = 0;
    wchar_t text[128] = L"vdr_d3d9";
    while (program_window_open(window)) {
        TRVX_SystemTask(ctx);
        DWORD now = GetTickCount();
        float t = (float)(now - start) / 1000.0f;
        TRVXVECTOR turn = {-38.0f, 38.0f + 30.0f * t, 0, 0};
        TRVXL_MoveLayer(ctx, colorBox, NULL, &turn, NULL, 0, 0);
        for (const Spinner &s : spinners) {
            TRVXVECTOR r = {20.0f * t, s.speed * t, 10.0f * t, 0};
            TRVXL_MoveLayer(ctx, s.layer, &s.position, &r, NULL, 0, 0);
        }
        TRVXL_CalcLayer(ctx, root);

        TRVX_RenderingEx(ctx, 0, root, 1, sky);
        TRVX_RenderingEx(ctx, 0, root, 3, 0);
        TRVX_RenderingEx(ctx, 0, root, 10, 0);
        TRVX_RenderingEx(ctx, 0, root, 11, 0);
        TRVX_RenderingEx(ctx, 0, root, 12, 0);
        TRVX_RenderingEx(ctx, 0, root, 23, 0);
        TRVX_RenderingEx(ctx, 0, root, 20, 0);
        TRVX_RenderingEx(ctx, 0, root, 21, 0);
        if (font >= 0) {
            RECT r = {-options.width / 2 + 12, options.height / 2 - 10, options.width / 2, options.height / 2 - 80};
            TRVX_DisplayFont(ctx, 0, font, text, DT_LEFT | DT_TOP, &r, 0x0000FFFF);
        }
        TRVX_RenderingEx(ctx, 0, root, 2, 0);
        ++frames;
        bool finished = options.seconds > 0 && now - start >= (DWORD)(options.seconds * 1000);
        if (finished && options.screenshot && !save_back_buffer(ctx, options.screenshot)) {
            fprintf(stderr, "demo: the screenshot %s could not be written\n", options.screenshot);
            status = 2;
        }
        TRVX_FlipViewPort(ctx, 0);
        if (now - last >= 500) {
            _snwprintf(text, 127, L"vdr_d3d9  %.1f frames/s\n%d layers drawn, %d faces", frames * 1000.0 / (now - start + 1),
                       ctx->layersDrawn, ctx->facesDrawn);
            last = now;
        }
        if (finished)
            break;
    }
    DWORD elapsed = GetTickCount() - start;
    printf("demo: %d frames in %.2f s, %.1f frames/s\n", frames, elapsed / 1000.0, frames * 1000.0 / (elapsed ? elapsed : 1));
    TRVX_End(ctx);
    DestroyWindow(window);
    return status;
}
