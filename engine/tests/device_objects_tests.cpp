// Device objects that the driver makes for the engine (texture objects, layer buffers) are released
// exactly once, whatever happened to their slots and layers: texture exchange, device resets with
// images that do not come back, layers outside the root's tree, and the engine's end.
#include "test_support.h"

namespace {

class DeviceObjects : public EngineTest {
protected:
    // A layer with two faces and its device buffers built.
    TRVXLAYER built_layer(TRVXLAYER parent, const wchar_t *name)
    {
        TRVXLAYER layer = TRVXL_CreateLayer(ctx, parent, name);
        tagTRVXVERTEX chips[6] = {};
        for (int i = 0; i < 6; ++i)
            chips[i].position = {(float)(i % 3), (float)(i / 3 + i % 2), 0.0f, 0.0f};
        TRVXL_SetChip(ctx, layer, 2, chips, 1);
        TRVXL_ModeLayer(ctx, layer, TRVX_MODE_SOLID);
        return layer;
    }
    void use_texture(TRVXLAYER layer, int slot)
    {
        tagTRVXSTAGE stage = {};
        stage.texture = slot;
        stage.blend = 0x101;
        ASSERT_EQ(TRVXL_TextureLayer(ctx, layer, 0, &stage), 1);
    }
    // Ends the engine here, so that the objects left behind can be counted.
    RecordedObjects end()
    {
        EXPECT_TRUE(TRVX_End(ctx));
        ctx = nullptr;
        return driver.objects();
    }
    void reset_device()
    {
        RECT bigger = {0, 0, 800, 600};
        ASSERT_NE(TRVX_ViewPort(ctx, 0, &bigger) & 0xFFFFFFFF, 0);
    }
    int commands_for(int command, DWORD_PTR p1)
    {
        int n = 0;
        for (const RecordedCommand &c : driver.commands())
            n += c.command == command && c.p1 == p1;
        return n;
    }
};

} // namespace

TEST_F(DeviceObjects, ExchangedTexturesAreReleasedOnceEach)
{
    int a = TRVX_ReadTexture(ctx, L"a.bmp", 0, 0, 0), b = TRVX_ReadTexture(ctx, L"b.bmp", 0, 0, 0);
    ASSERT_EQ(a, 1);
    ASSERT_EQ(b, 2);
    driver.clear();
    EXPECT_EQ(TRVX_ExchangeTexture(ctx, a, b), 1);
    // b gives its own image back before it takes a copy of a's: loaded from a's file, not shared.
    EXPECT_EQ(driver.numbers(), std::vector<int>({31, 30}));
    EXPECT_STREQ(ctx->textures[b].name, L"a");
    EXPECT_NE(ctx->textures[b].object, ctx->textures[a].object);
    EXPECT_EQ(driver.objects().textures, 2);
    EXPECT_EQ(TRVX_ExchangeTexture(ctx, a, a), 1);
    EXPECT_EQ(driver.objects().textures, 2);

    EXPECT_EQ(TRVX_DeleteTexture(ctx, b), 1);
    EXPECT_EQ(TRVX_DeleteTexture(ctx, a), 1);
    RecordedObjects left = end();
    EXPECT_EQ(left.badReleases, 0);
    EXPECT_EQ(left.textures, 0);
}

TEST_F(DeviceObjects, AnExchangeKeepsTheHoldersOfItsTarget)
{
    int a = TRVX_ReadTexture(ctx, L"a.bmp", 0, 0, 0), b = TRVX_CreateTexture(ctx, 16, 8, 1);
    TRVXLAYER first = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"first");
    TRVXLAYER second = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"second");
    use_texture(first, a);
    use_texture(second, a);
    ASSERT_EQ(ctx->textures[a].useCount, 3);
    // The created texture goes over the read one: the two layers still hold slot a.
    driver.clear();
    EXPECT_EQ(TRVX_ExchangeTexture(ctx, b, a), 1);
    EXPECT_EQ(driver.numbers(), std::vector<int>({31, 32, 33}));
    EXPECT_EQ(ctx->textures[a].useCount, 3);
    EXPECT_EQ(ctx->textures[a].width, 16);
    EXPECT_EQ(ctx->textures[a].name[0], 0);

    TRVXL_DeleteLayer(ctx, first, 1);
    TRVXL_DeleteLayer(ctx, second, 1);
    EXPECT_EQ(ctx->textures[a].useCount, 1);
    TRVX_DeleteTexture(ctx, a);
    TRVX_DeleteTexture(ctx, b);
    RecordedObjects left = end();
    EXPECT_EQ(left.badReleases, 0);
    EXPECT_EQ(left.textures, 0);
}

TEST_F(DeviceObjects, CreatedTexturesAreMadeAgainAfterAReset)
{
    int created = TRVX_CreateTexture(ctx, 32, 16, 0);
    ASSERT_GT(created, 0);
    driver.clear();
    reset_device();
    EXPECT_EQ(commands_for(TRVXCMD_TEXTURE_LOAD, created), 0) << "a created texture has no file to load";
    EXPECT_EQ(commands_for(TRVXCMD_TEXTURE_CREATE, created), 1);
    EXPECT_NE(ctx->textures[created].object, nullptr);
    EXPECT_EQ(ctx->textures[created].useCount, 1);
    EXPECT_EQ(ctx->textures[created].width, 32);
    EXPECT_EQ(end().textures, 0);
}

TEST_F(DeviceObjects, AnImageThatDoesNotComeBackLeavesItsSlotWithItsLayers)
{
    TRVXLAYER layer = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"sky");
    int sky = TRVX_ReadTexture(ctx, L"sky.bmp", 0, 0, 0);
    use_texture(layer, sky);
    ASSERT_EQ(ctx->textures[sky].useCount, 2);

    // Neither after a reset nor on an explicit reload: the slot stays held, without an image.
    driver.answer(TRVXCMD_TEXTURE_LOAD, 0);
    reset_device();
    EXPECT_EQ(ctx->textures[sky].useCount, 2);
    EXPECT_EQ(ctx->textures[sky].object, nullptr);
    EXPECT_EQ(TRVX_ReadTexture(ctx, L"sky.bmp", 1, 0, 0), 0);
    EXPECT_EQ(ctx->textures[sky].useCount, 2);
    EXPECT_EQ(layer->stages[0].texture, sky);
    driver.answer(TRVXCMD_TEXTURE_LOAD, (DWORD_PTR)-1);

    // So another image cannot take the slot, and the layer's end does not release that image.
    int ground = TRVX_ReadTexture(ctx, L"ground.bmp", 0, 0, 0);
    EXPECT_NE(ground, sky);
    driver.clear();
    TRVXL_DeleteLayer(ctx, layer, 1);
    EXPECT_EQ(commands_for(TRVXCMD_TEXTURE_RELEASE, ground), 0);
    EXPECT_EQ(ctx->textures[ground].useCount, 1);
    EXPECT_EQ(ctx->textures[sky].useCount, 1);
    // A reload that works gives the slot its image back.
    EXPECT_EQ(TRVX_ReadTexture(ctx, L"sky.bmp", 1, 0, 0), sky);
    EXPECT_NE(ctx->textures[sky].object, nullptr);
    RecordedObjects left = end();
    EXPECT_EQ(left.badReleases, 0);
    EXPECT_EQ(left.textures, 0);
}

TEST_F(DeviceObjects, LayersOutsideTheTreeGiveTheirBuffersBack)
{
    TRVXLAYER alone = built_layer(nullptr, L"alone");
    TRVXLAYER child = built_layer(alone, L"child");
    TRVXLAYER moved = built_layer(ctx->rootLayer, L"moved");
    TRVXLAYER deleted = built_layer(nullptr, L"deleted");
    TRVXLAYER back = built_layer(nullptr, L"back");
    TRVXL_LinkLayer(ctx, moved, nullptr, 16);
    TRVXL_LinkLayer(ctx, back, ctx->rootLayer, 16);
    TRVXL_DeleteLayer(ctx, deleted, 1);
    EXPECT_EQ(driver.objects().buffers, 8);

    // The reset drops and rebuilds them as it does the tree's.
    driver.clear();
    reset_device();
    for (TRVXLAYER layer : {alone, child, moved, back}) {
        EXPECT_EQ(commands_for(TRVXCMD_LAYER_VERTICES_DROP, (DWORD_PTR)layer), 1);
        EXPECT_EQ(commands_for(TRVXCMD_LAYER_BUILD, (DWORD_PTR)layer), 1);
    }
    EXPECT_EQ(commands_for(TRVXCMD_LAYER_BUILD, (DWORD_PTR)ctx->rootLayer), 1);
    EXPECT_EQ(driver.objects().buffers, 8);

    // The end frees each once: the deleted layer is not reached again, the one moved back not twice.
    EXPECT_EQ(end().buffers, 0);
}
