// The driver under the real engine: TRVX_Start finds it beside the engine and starts it, the
// engine's default fonts and its textures reach the device, and a failed start leaves nothing behind.
#include "d3d9_engine_fixture.h"
#include "vdr_d3d9.h"

using namespace d3d9test;

namespace {

TEST_F(Engine, StartsTheDriverWithItsDeviceFontsAndReport)
{
    EXPECT_TRUE(device() != NULL);
    EXPECT_EQ(1, ctx->viewPorts[0].open);
    EXPECT_EQ(EW, ctx->viewPorts[0].width);
    ASSERT_GE(ctx->fontCount, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ctx->fonts[i].object != NULL) << "default font " << i;
    EXPECT_EQ(1, caps_of(ctx)->antialiasLevels[0]);
    EXPECT_EQ(EW, caps_of(ctx)->currentMode[0]);
}

TEST_F(Engine, TexturesLoadAndReleaseThroughTheEngine)
{
    const std::wstring file = temp_path(L"d3d9_engine_texture.bmp");
    write_bitmap(file, 8, 4, std::vector<uint32_t>(32, 0x336699));
    int slot = TRVX_ReadTexture(ctx, file.c_str(), 0, 0, 1);
    ASSERT_GT(slot, 0);
    EXPECT_TRUE(ctx->textures[slot].object != NULL);
    EXPECT_EQ(8, ctx->textures[slot].width);
    EXPECT_EQ(1, ctx->textures[slot].hasAlpha) << "colour-keyed bitmap";
    EXPECT_EQ(1, TRVX_DeleteTexture(ctx, slot));
    EXPECT_TRUE(ctx->textures[slot].object == NULL);
    int created = TRVX_CreateTexture(ctx, 16, 16, 1);
    ASSERT_GT(created, 0);
    EXPECT_EQ(0x23202122u, ctx->textures[created].driverFormat);
    TRVX_DeleteTexture(ctx, created);
}

// Layers the engine builds (commands 0, 7, 20, 4, 5) drawn by sending the scene commands to the
// driver's entry point, as the engine's renderer does.
TEST_F(Engine, LayersBuiltByTheEngineDrawLitAndTextured)
{
    TRVXINTERFACE_PROC driver = ctx->drivers[ctx->driverIndex].entry;
    ASSERT_TRUE(driver != NULL);
    Layer shape; // geometry only: its faces become chips for the engine
    make_box(shape, 4);
    std::vector<tagTRVXVERTEX> chips;
    for (const tagTRVXFACE &f : shape.faces)
        for (uint16_t i : f.index)
            chips.push_back(shape.vertices[i]);
    TRVXLAYER box = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"Box");
    ASSERT_TRUE(box && box->transformBlock && box->materialBlock);
    EXPECT_EQ(24, TRVXL_SetChip(ctx, box, 12, chips.data(), 1));
    TRVXL_EXT_RecallFunction(ctx, box, 1, bgr(0, 0, 255), 0, 0);
    TRVXL_ModeLayer(ctx, box, TRVX_MODE_SOLID);
    TRVXVECTOR turn = {0, 30, 0, 0};
    TRVXL_MoveLayer(ctx, box, NULL, &turn, NULL, 0, 0);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    ctx->camera.eye = {0, 0, -10, 0};
    ctx->camera.up = {0, 1, 0, 0};
    tagTRVXLIGHT sun = {};
    sun.kind = TRVX_LIGHT_DIRECTIONAL;
    sun.direction = {0, 0, 1, 0};
    sun.diffuse = bgr(255, 255, 255);
    ctx->lights[1] = sun;
    auto frame = [&]() {
        driver(TRVXCMD_SCENE_BEGIN, ctx, 0, bgr(0, 0, 0), 0, 0);
        driver(TRVXCMD_SET_3D, ctx, 0, 0, 0, 0);
        EXPECT_EQ(1u, driver(TRVXCMD_LAYER_DRAW, ctx, 0, (DWORD_PTR)box, 0, 0));
        driver(TRVXCMD_SCENE_END, ctx, 0, 0, 0, 0);
        return read_back();
    };
    auto p = frame();
    ASSERT_EQ((size_t)EW * EH, p.size());
    EXPECT_EQ(0u, p[0]);
    uint32_t centre = p[(EH / 2) * EW + EW / 2];
    EXPECT_GT((int)(centre & 0xFF), 100) << std::hex << centre << ": the lit blue box";
    EXPECT_LT((int)((centre >> 16) & 0xFF), 10);

    // A colour-keyed texture on stage 0 through the engine's texture calls.
    const std::wstring file = temp_path(L"d3d9_engine_stage.bmp");
    write_bitmap(file, 4, 4, std::vector<uint32_t>(16, 0xFF8000));
    tagTRVXSTAGE stage = {};
    stage.texture = TRVX_ReadTexture(ctx, file.c_str(), 0, 0, 1);
    ASSERT_GT(stage.texture, 0);
    stage.blend = 0x0101; // NORMAL: the texture's colour
    stage.mapping = TRVX_MAP_PLANAR_X + 2;
    stage.filter = 0x200;
    TRVXL_TextureLayer(ctx, box, 0, &stage);
    EXPECT_EQ(TRVX_MODE_TEXTURED + 1, box->mode);
    p = frame();
    EXPECT_COLOUR_NEAR(p[(EH / 2) * EW + EW / 2], 0xFF8000u, 4);
    TRVXL_DeleteLayer(ctx, box, 1);
}

TEST(EngineStart, FailsCleanlyWhenNoDeviceCanBeMade)
{
    HWND window = make_window(EW, EH);
    RECT empty = {0, 0, 0, 0};
    EXPECT_TRUE(TRVX_Start(window, &empty, 1) == NULL);
    // The driver was ended with the failed start: a new start works.
    RECT view = {0, 0, EW, EH};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    ASSERT_TRUE(ctx != NULL);
    EXPECT_TRUE(TRVX_End(ctx));
    DestroyWindow(window);
}

} // namespace
