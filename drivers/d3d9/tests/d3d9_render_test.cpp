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

} // namespace
