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
