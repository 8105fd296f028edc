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

// Across device resets (view port 0 made smaller and back): a created texture is made again with no
// message, an image whose file has gone keeps its slot and the layer is drawn without it; an
// exchanged texture gets an object of its own, so both slots release cleanly.
TEST_F(Engine, TexturesAcrossResetsAndExchanges)
{
    MessageBoxCatcher boxes;
    Layer shape;
    make_box(shape, 4);
    std::vector<tagTRVXVERTEX> chips;
    for (const tagTRVXFACE &f : shape.faces)
        for (uint16_t i : f.index)
            chips.push_back(shape.vertices[i]);
    TRVXLAYER box = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"Box");
    TRVXL_SetChip(ctx, box, 12, chips.data(), 1);
    TRVXL_EXT_RecallFunction(ctx, box, 1, bgr(0, 0, 255), 0, 0);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    ctx->camera.eye = {0, 0, -10, 0};
    ctx->camera.up = {0, 1, 0, 0};
    ctx->lights[1].kind = TRVX_LIGHT_DIRECTIONAL;
    ctx->lights[1].direction = {0, 0, 1, 0};
    ctx->lights[1].diffuse = bgr(255, 255, 255);
    TRVXINTERFACE_PROC driver = ctx->drivers[ctx->driverIndex].entry;
    auto centre = [&]() {
        driver(TRVXCMD_SCENE_BEGIN, ctx, 0, bgr(0, 0, 0), 0, 0);
        driver(TRVXCMD_SET_3D, ctx, 0, 0, 0, 0);
        EXPECT_EQ(1u, driver(TRVXCMD_LAYER_DRAW, ctx, 0, (DWORD_PTR)box, 0, 0));
        driver(TRVXCMD_SCENE_END, ctx, 0, 0, 0, 0);
        return read_back()[(EH / 2) * EW + EW / 2];
    };

    const std::wstring gone = temp_path(L"d3d9_engine_gone.bmp");
    write_bitmap(gone, 4, 4, std::vector<uint32_t>(16, 0xFF8000));
    tagTRVXSTAGE stage = {};
    stage.texture = TRVX_ReadTexture(ctx, gone.c_str(), 0, 0, 1);
    ASSERT_GT(stage.texture, 0);
    stage.blend = 0x0101;
    stage.mapping = TRVX_MAP_PLANAR_X + 2;
    stage.filter = 0x200;
    TRVXL_TextureLayer(ctx, box, 0, &stage);
    int created = TRVX_CreateTexture(ctx, 16, 16, 1);
    ASSERT_GT(created, 0);
    EXPECT_COLOUR_NEAR(centre(), 0xFF8000u, 4);

    DeleteFileW(gone.c_str());
    RECT smaller = {0, 0, EW / 2, EH / 2}, whole = {0, 0, EW, EH};
    ASSERT_NE(0, TRVX_ViewPort(ctx, 0, &smaller) & 0xFFFFFFFF);
    ASSERT_NE(0, TRVX_ViewPort(ctx, 0, &whole) & 0xFFFFFFFF);
    EXPECT_TRUE(ctx->textures[created].object != NULL);
    EXPECT_EQ(0x23202122u, ctx->textures[created].driverFormat);
    EXPECT_TRUE(ctx->textures[stage.texture].object == NULL);
    EXPECT_EQ(2, ctx->textures[stage.texture].useCount);
    ASSERT_EQ(2u, boxes.texts.size()) << "one box per reset, for the file that has gone only";
    for (const std::wstring &text : boxes.texts)
        EXPECT_NE(std::wstring::npos, text.find(L"\n" + gone));
    EXPECT_COLOUR_NEAR(centre(), 0x0000FFu, 40) << "drawn in its own blue without the image";

    const std::wstring other = temp_path(L"d3d9_engine_other.bmp");
    write_bitmap(other, 4, 4, std::vector<uint32_t>(16, 0x00FF00));
    int read = TRVX_ReadTexture(ctx, other.c_str(), 0, 0, 1);
    ASSERT_GT(read, 0);
    EXPECT_NE(read, stage.texture);
    EXPECT_EQ(1, TRVX_ExchangeTexture(ctx, read, created));
    EXPECT_TRUE(ctx->textures[created].object != NULL);
    EXPECT_TRUE(ctx->textures[created].object != ctx->textures[read].object);
    EXPECT_EQ(1, TRVX_ExchangeTexture(ctx, read, stage.texture));
    EXPECT_COLOUR_NEAR(centre(), 0x00FF00u, 4) << "the layer's slot has an image again";
    TRVX_DeleteTexture(ctx, created);
    TRVX_DeleteTexture(ctx, read);
    TRVXL_DeleteLayer(ctx, box, 1);
    EXPECT_EQ(1, ctx->textures[stage.texture].useCount);
    TRVX_DeleteTexture(ctx, stage.texture);
    EXPECT_TRUE(ctx->textures[stage.texture].object == NULL);
    EXPECT_EQ(2u, boxes.texts.size());
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
