// The driver drawing what the engine collects: primitive models through TRVX_Rendering, and keys
// that reach the engine's key queue.
#include "d3d9_engine_fixture.h"

using namespace d3d9test;

namespace {

TEST_F(Engine, RendersTheColorBoxLitOverItsBackground)
{
    const float shape[9] = {100};
    TRVXLAYER colorBox = TRVXL_CreateModel(ctx, ctx->rootLayer, shape);
    ASSERT_TRUE(colorBox != NULL);
    tagTRVXCAMERA camera = {};
    camera.eye = {0, 0, -90, 0};
    camera.up = {0, 1, 0, 0};
    TRVX_SetCamera(ctx, &camera);
    tagTRVXLIGHT sun = {};
    sun.kind = TRVX_LIGHT_DIRECTIONAL;
    sun.direction = {0, 0, 1, 0};
    sun.diffuse = bgr(255, 255, 255);
    ASSERT_EQ(1, TRVX_SetLight(ctx, 1, &sun));
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    ASSERT_EQ(1, TRVX_Rendering(ctx, 0, ctx->rootLayer, bgr(0, 0, 0)));
    EXPECT_EQ(125, ctx->layersDrawn) << "every box of the grid drawn";
    auto p = read_back();
    ASSERT_EQ((size_t)EW * EH, p.size());
    EXPECT_EQ(0u, p[0]) << "corner shows the background";
    int coloured = 0;
    for (uint32_t c : p)
        coloured += c != 0;
    EXPECT_GT(coloured, EW * EH / 20) << "the boxes cover a good part of the view";
    EXPECT_EQ(1, TRVX_FlipViewPort(ctx, 0));
}

TEST_F(Engine, PressedKeysReachTheKeyQueue)
{
    SetForegroundWindow(window);
    TRVX_DeviceInput(ctx, 0);
    TRVX_DeviceInput(ctx, 3);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = 0x30; // "B"
    in[0].ki.dwFlags = KEYEVENTF_SCANCODE;
    in[1].ki.dwFlags = KEYEVENTF_SCANCODE | KEYEVENTF_KEYUP;
    SendInput(1, &in[0], sizeof(INPUT));
    pump_messages(100);
    TRVX_DeviceInput(ctx, 3);
    TRVX_DeviceInput(ctx, 3); // held over two polls: queued once
    EXPECT_EQ(0x30, TRVX_DeviceInputBuffer(ctx));
    EXPECT_EQ(0, TRVX_DeviceInputBuffer(ctx));
    SendInput(1, &in[1], sizeof(INPUT));
    pump_messages(100);
    tagTRVXINPUT *state = TRVX_DeviceInput(ctx, 3);
    EXPECT_EQ(0, state->keys[0x30] & 0x80);
}

// The product asks for its Japanese face by name; the prefix maps it to an installed font, so the
// ideographs come out as real, distinct glyphs rather than the missing-glyph box.
TEST_F(Engine, JapaneseTextInTheProductsFaceShowsRealGlyphs)
{
    int font = TRVX_CreateFont(ctx, 40, 0, 400, 0, SHIFTJIS_CHARSET, 4, L"ＭＳゴシック");
    int ipa = TRVX_CreateFont(ctx, 40, 0, 400, 0, SHIFTJIS_CHARSET, 4, L"IPAGothic");
    ASSERT_GE(font, 0);
    ASSERT_GE(ipa, 0);
    auto draw = [&](int face, const wchar_t *text) {
        TRVX_RenderingEx(ctx, 0, 0, 1, 0);
        RECT rect = {-60, 30, 60, -30};
        TRVX_DisplayFont(ctx, 0, face, text, 33, &rect, 0xFFFFFF);
        TRVX_RenderingEx(ctx, 0, 0, 2, 0);
        return read_back();
    };
    auto lit = [](const std::vector<uint32_t> &pixels) {
        int n = 0;
        for (uint32_t p : pixels)
            n += (p & 0xFF) > 128;
        return n;
    };
    std::vector<uint32_t> east = draw(font, L"東"), capital = draw(font, L"京"), missing = draw(font, L"\xE000");
    EXPECT_GT(lit(east), 40) << "the glyph was drawn";
    EXPECT_GT(lit(capital), 40);
    EXPECT_NE(east, capital) << "two ideographs look alike: both are the missing-glyph box";
    EXPECT_NE(east, missing) << "the ideograph is the missing-glyph box";
    EXPECT_EQ(east, draw(ipa, L"東")) << "the product's face is drawn with the installed Japanese font";
    TRVX_DeleteFont(ctx, ipa);
    TRVX_DeleteFont(ctx, font);
}

} // namespace
