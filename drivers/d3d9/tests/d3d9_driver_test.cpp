// Drawing tests of the Direct3D 9 driver on a context filled by hand: the commands go straight to the
// driver's entry point and the pixels are read back from the back buffer.
#include "d3d9_test_support.h"
#include "vdr_d3d9.h"

#include <math.h>

using namespace d3d9test;

namespace {

const int W = 320, H = 240;

// One driver start for the whole suite (a start costs about a second under Wine); every test begins
// from the state right after it.
class Driver : public ::testing::Test {
protected:
    static Bench *shared;
    Bench &b = *shared;
    static void SetUpTestSuite()
    {
        shared = new Bench;
        ASSERT_TRUE(shared->start(W, H)) << "driver start or view port 0 failed";
    }
    static void TearDownTestSuite()
    {
        delete shared;
        shared = 0;
    }
    void SetUp() override
    {
        ASSERT_TRUE(b.ctx && b.device());
        b.reset();
    }
    uint32_t at(const std::vector<uint32_t> &p, int x, int y) { return p[(size_t)y * W + x]; }
    // One 3D frame: scene begin with `background`, 3D set-up, the layers, scene end.
    std::vector<uint32_t> frame_3d(uint32_t background, std::initializer_list<Layer *> layers)
    {
        b.cmd(TRVXCMD_SCENE_BEGIN, 0, background);
        b.cmd(TRVXCMD_SET_3D, 0);
        for (Layer *l : layers)
            EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)l->get()));
        b.cmd(TRVXCMD_SCENE_END, 0);
        return b.read_back();
    }
    std::vector<uint32_t> frame_2d(uint32_t background, std::initializer_list<Layer *> layers)
    {
        b.cmd(TRVXCMD_SCENE_BEGIN, 0, background);
        b.cmd(TRVXCMD_SET_2D, 0);
        for (Layer *l : layers)
            EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)l->get()));
        b.cmd(TRVXCMD_SCENE_END, 0);
        return b.read_back();
    }
    void build(Layer &l)
    {
        l.prepare(b);
        ASSERT_EQ(1u, b.cmd(TRVXCMD_LAYER_BUILD, (DWORD_PTR)l.get()));
    }
    void light_from_viewer()
    {
        b.ctx->lights[1].kind = TRVX_LIGHT_DIRECTIONAL;
        b.ctx->lights[1].direction = {0, 0, 1, 0};
        b.ctx->lights[1].diffuse = bgr(255, 255, 255);
    }
    // A red box of side 4, built, lit from the viewer with no ambient light: red where it stands.
    void lit_red_box(Layer &box)
    {
        make_box(box, 4);
        box.record.diffuse = bgr(255, 0, 0);
        box.record.ambient = 0;
        build(box);
        light_from_viewer();
        b.ctx->lights[0].diffuse = 0;
    }
    // A screen quad with one texture stage.
    void textured_quad(Layer &q, int slot, uint32_t blend, float x0, float y0, float x1, float y1)
    {
        make_quad(q, x0, y0, x1, y1);
        q.record.mode = TRVX_MODE_TEXTURED + 1;
        q.record.stages[0].texture = slot;
        q.record.stages[0].blend = blend;
        q.record.stages[0].filter = 0x100;
        build(q);
    }
};

Bench *Driver::shared;

TEST_F(Driver, StartReportsCapabilitiesAndPublishesObjects)
{
    EXPECT_EQ(136u, b.cmd(TRVXCMD_QUERY_SIZE, 10));
    EXPECT_EQ(68u, b.cmd(TRVXCMD_QUERY_SIZE, 11));
    EXPECT_EQ(0u, b.cmd(TRVXCMD_QUERY_SIZE, 12));
    EXPECT_EQ(0u, b.cmd(3));
    ASSERT_TRUE(b.device() != NULL);
    for (int slot = 0; slot < D3D9_SLOT_COUNT; ++slot)
        EXPECT_NE(0u, b.ctx->driverPrivate[slot]) << "Direct3D, device, DirectInput, keyboard, mouse: " << slot;
    const tagTRVXGRAPHICS *caps = caps_of(b.ctx);
    EXPECT_GT(caps->textureStages, 0);
    EXPECT_NE(0, b.ctx->systemInfo.adapter[0]) << "an adapter description";
    EXPECT_GE(caps->extraTextureMB, 0);
    EXPECT_GT(caps->maxTextureWidth, 0);
    EXPECT_EQ(1, caps->antialiasLevels[0]);
    EXPECT_EQ(1, caps->anisotropyLevels[0]);
    for (int i = 1; i < TRVX_GRAPHICS_LEVELS && caps->anisotropyLevels[i]; ++i)
        EXPECT_EQ(caps->anisotropyLevels[i - 1] * 2, caps->anisotropyLevels[i]);
    int modes = 0;
    while (modes < TRVX_GRAPHICS_MODES && caps->modes[modes][0])
        ++modes;
    EXPECT_GT(modes, 0);
    EXPECT_EQ(0, caps->modes[modes][0]) << "zero entry after the last mode";
    for (int i = 1; i < modes; ++i) {
        const int32_t *a = caps->modes[i - 1], *c = caps->modes[i];
        EXPECT_TRUE(a[0] < c[0] || (a[0] == c[0] && (a[1] < c[1] || (a[1] == c[1] && a[2] <= c[2]))))
            << "modes sorted by width, height, rate at " << i;
    }
    EXPECT_NE(0u, caps->depthFormats[0].format);
    EXPECT_EQ(caps->depthFormats[0].format, caps->currentDepth.format);
    EXPECT_EQ(W, caps->currentMode[0]);
    EXPECT_EQ(H, caps->currentMode[1]);
    const tagTRVXVIEWPORT &vp = b.ctx->viewPorts[0];
    EXPECT_EQ(1, vp.open);
    EXPECT_EQ(W, vp.clipWidth);
    EXPECT_NE(0u, ((const D3D9VIEWPORTDATA *)vp.driver)->backBufferFormat);
}

TEST_F(Driver, ClearsAndSceneBeginWithOrWithoutColour)
{
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_CLEAR, 0, bgr(255, 0, 0)));
    EXPECT_COLOUR_NEAR(b.read_back()[0], 0xFF0000u, 1);
    auto p = frame_3d(bgr(10, 200, 30), {});
    EXPECT_COLOUR_NEAR(at(p, W / 2, H / 2), 0x0AC81Eu, 1);
    // -1 keeps the picture and only clears the depth buffer, also across a present.
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0));
    p = frame_3d(0xFFFFFFFFu, {});
    EXPECT_COLOUR_NEAR(at(p, 5, 5), 0x0AC81Eu, 1);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_ZBUFFER_CLEAR, 0));
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0));
    // Closed or missing view ports are refused.
    EXPECT_EQ(0u, b.cmd(TRVXCMD_VIEWPORT_CLEAR, 2, 0));
    EXPECT_EQ(0u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 9, 0, 0));
    EXPECT_EQ(0u, b.cmd(TRVXCMD_SCENE_BEGIN, 7, 0));
}

TEST_F(Driver, LitBoxStandsOutOfAnUnlitBackground)
{
    Layer box;
    lit_red_box(box);
    auto lit = frame_3d(bgr(0, 0, 64), {&box});
    EXPECT_COLOUR_NEAR(at(lit, 2, 2), 0x000040u, 1);
    EXPECT_COLOUR_NEAR(at(lit, W / 2, H / 2), 0xFF0000u, 8);
    // With the light off only the (black) ambient part is left.
    b.ctx->lights[1].kind = TRVX_LIGHT_OFF;
    auto dark = frame_3d(bgr(0, 0, 64), {&box});
    EXPECT_COLOUR_NEAR(at(dark, W / 2, H / 2), 0x000000u, 8);
    // The ambient light of record 0 lights the material's ambient colour.
    b.ctx->lights[0].diffuse = bgr(0, 128, 0);
    box.record.ambient = 0xFFFFFF;
    box.prepare(b);
    auto ambient = frame_3d(bgr(0, 0, 64), {&box});
    EXPECT_COLOUR_NEAR(at(ambient, W / 2, H / 2), 0x008000u, 8);
}

TEST_F(Driver, FrameBlendCodesAgainstAKnownBackground)
{
    const std::wstring file = temp_path(L"d3d9_blend.bmp");
    write_bitmap(file, 4, 4, std::vector<uint32_t>(16, 0x402010));
    ASSERT_EQ(1u, b.load_texture(1, file, 0));
    const uint32_t grey = bgr(128, 128, 128);
    struct Case { uint32_t blend; uint32_t expected; const char *name; };
    const Case cases[] = {
        {0x0302, 0xA09088u, "ADD: source + background x (1 - source)"},
        {0x0308, 0x406070u, "SUTRACT: background - source"},
        {0x0304, 0xC0A090u, "FLASH: background + source"},
        {0x0101, 0x402010u, "NORMAL: source over background"},
    };
    for (const Case &c : cases) {
        Layer q;
        textured_quad(q, 1, c.blend, -50, -50, 50, 50);
        auto p = frame_2d(grey, {&q});
        EXPECT_COLOUR_NEAR(at(p, W / 2, H / 2), c.expected, 3) << c.name;
        EXPECT_COLOUR_NEAR(at(p, 5, 5), 0x808080u, 1) << c.name;
    }
}

TEST_F(Driver, ColourKeyAndAlphaMaskMakeBitmapsTransparent)
{
    // Left half black, right half red.
    std::vector<uint32_t> keyed(16);
    for (int i = 0; i < 16; ++i)
        keyed[i] = (i % 4) < 2 ? 0x000000 : 0xFF0000;
    const std::wstring keyFile = temp_path(L"d3d9_key.bmp");
    write_bitmap(keyFile, 4, 4, keyed);
    ASSERT_EQ(1u, b.load_texture(1, keyFile, 1));
    EXPECT_EQ(1, b.textures[1].hasAlpha);
    EXPECT_EQ(0x23202122u, b.textures[1].driverFormat);
    const std::wstring capitals = temp_path(L"d3d9_caps.BMP");
    write_bitmap(capitals, 4, 4, keyed);
    ASSERT_EQ(1u, b.load_texture(4, capitals, 1));
    EXPECT_EQ(1, b.textures[4].hasAlpha) << "\".BMP\" takes the bitmap path too";

    // Green picture with a mask whose red byte is 0 on the left and 255 on the right ("_alpha" file).
    const std::wstring maskFile = temp_path(L"d3d9_masked_alpha.bmp"), colourFile = temp_path(L"d3d9_masked.bmp");
    std::vector<uint32_t> mask(16);
    for (int i = 0; i < 16; ++i)
        mask[i] = (i % 4) < 2 ? 0x000000 : 0xFF0000;
    write_bitmap(colourFile, 4, 4, std::vector<uint32_t>(16, 0x00FF00));
    write_bitmap(maskFile, 4, 4, mask);
    ASSERT_EQ(1u, b.load_texture(2, colourFile, 0));
    EXPECT_EQ(1, b.textures[2].hasAlpha);

    Layer key, masked;
    textured_quad(key, 1, 0x0101, -100, 10, 100, 110);
    textured_quad(masked, 2, 0x0101, -100, -110, 100, -10);
    auto p = frame_2d(bgr(0, 0, 255), {&key, &masked});
    EXPECT_COLOUR_NEAR(at(p, W / 2 - 50, H / 2 - 60), 0x0000FFu, 2) << "black is transparent";
    EXPECT_COLOUR_NEAR(at(p, W / 2 + 50, H / 2 - 60), 0xFF0000u, 2) << "colour stays";
    EXPECT_COLOUR_NEAR(at(p, W / 2 - 50, H / 2 + 60), 0x0000FFu, 2) << "mask 0 is transparent";
    EXPECT_COLOUR_NEAR(at(p, W / 2 + 50, H / 2 + 60), 0x00FF00u, 2) << "mask 255 is opaque";

    // Without its mask file the bitmap comes through the image library, without alpha.
    DeleteFileW(maskFile.c_str());
    ASSERT_EQ(1u, b.load_texture(3, colourFile, 0));
    EXPECT_EQ(0, b.textures[3].hasAlpha);
    EXPECT_EQ(4, b.textures[3].width);
}

TEST_F(Driver, BadTextureFilesFailWithTheLibraryMessage)
{
    MessageBoxCatcher boxes;
    const std::wstring missing = temp_path(L"d3d9_no_such_file.png");
    EXPECT_EQ(0u, b.load_texture(1, missing, 0));
    EXPECT_TRUE(b.textures[1].object == NULL);
    ASSERT_EQ(1u, boxes.captions.size());
    EXPECT_EQ(L"D3D9X Texture", boxes.captions[0]);
    EXPECT_NE(std::wstring::npos, boxes.texts[0].find(L"\n" + missing));

    // A bitmap cut short: the bitmap path refuses it and the library cannot read it either.
    const std::wstring cut = temp_path(L"d3d9_cut.bmp");
    write_bitmap(cut, 8, 8, std::vector<uint32_t>(64, 0x123456));
    HANDLE f = CreateFileW(cut.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    SetFilePointer(f, 60, NULL, FILE_BEGIN);
    SetEndOfFile(f);
    CloseHandle(f);
    EXPECT_EQ(0u, b.load_texture(2, cut, 1));
    EXPECT_EQ(2u, boxes.captions.size());

    // Rows that need padding are left to the library: it loads, without the colour key.
    const std::wstring padded = temp_path(L"d3d9_padded.bmp");
    write_bitmap(padded, 3, 2, std::vector<uint32_t>(6, 0));
    EXPECT_EQ(1u, b.load_texture(3, padded, 1));
    EXPECT_EQ(0, b.textures[3].hasAlpha);
    EXPECT_EQ(2u, boxes.captions.size());
    EXPECT_EQ(0u, b.cmd(TRVXCMD_TEXTURE_RELEASE, 0)) << "slot 0 is never released";
    EXPECT_EQ(1u, b.cmd(TRVXCMD_TEXTURE_RELEASE, 3));
    EXPECT_TRUE(b.textures[3].object == NULL);
}

TEST_F(Driver, CreatedTexturesTakeCopies)
{
    const std::wstring file = temp_path(L"d3d9_copy.bmp");
    write_bitmap(file, 4, 4, std::vector<uint32_t>(16, 0x00FF00));
    ASSERT_EQ(1u, b.load_texture(1, file, 0));
    b.textures[2].width = 8;
    b.textures[2].height = 8;
    b.textures[2].options = 0;
    ASSERT_EQ(1u, b.cmd(TRVXCMD_TEXTURE_CREATE, 2));
    EXPECT_EQ(0x13202122u, b.textures[2].driverFormat);
    EXPECT_EQ(0, b.textures[2].hasAlpha);
    RECT whole = {0, 0, 4, 4};
    EXPECT_EQ(1u, b.cmd(TRVXCMD_TEXTURE_COPY, 2, (4u << 16) | 4u, 1, (DWORD_PTR)&whole));
    EXPECT_EQ(0u, b.cmd(TRVXCMD_TEXTURE_COPY, 2, 0, 9, 0)) << "empty source slot";
    Layer q;
    textured_quad(q, 2, 0x0101, -80, -80, 80, 80);
    auto p = frame_2d(bgr(0, 0, 0), {&q});
    EXPECT_COLOUR_NEAR(at(p, W / 2 + 40, H / 2 + 40), 0x00FF00u, 2) << "copied corner (lower right)";
    EXPECT_COLOUR_NEAR(at(p, W / 2 - 40, H / 2 - 40), 0x000000u, 2) << "untouched corner";
}

TEST_F(Driver, FogColoursTheFarLayerOnly)
{
    Layer nearBox, farBox;
    make_box(nearBox, 2);
    make_box(farBox, 2);
    nearBox.record.translate = {-3, 0, 0, 0};
    farBox.record.translate = {30, 0, 90, 0};
    nearBox.record.diffuse = farBox.record.diffuse = bgr(255, 0, 0);
    build(nearBox);
    build(farBox);
    light_from_viewer();
    b.ctx->fogStart = 20;
    b.ctx->fogEnd = 60;
    b.ctx->fogColour = bgr(0, 255, 0);
    auto p = frame_3d(bgr(0, 0, 0), {&nearBox, &farBox});
    // Projected centres: near at x = -3 / 10 of the half-width... found by scanning for red.
    int nearX = W / 2 - (int)(3.0f / 10.0f / 0.35f * (H / 2)), farX = W / 2 + (int)(30.0f / 100.0f / 0.35f * (H / 2));
    EXPECT_COLOUR_NEAR(at(p, nearX, H / 2), 0xFF0000u, 10) << "near box is not fogged";
    EXPECT_COLOUR_NEAR(at(p, farX, H / 2), 0x00FF00u, 10) << "far box takes the fog colour";
    // NoFog keeps the far box red; with fog off for the frame the flag changes nothing.
    farBox.record.attributes |= TRVX_ATTR_NO_FOG;
    p = frame_3d(bgr(0, 0, 0), {&nearBox, &farBox});
    EXPECT_COLOUR_NEAR(at(p, farX, H / 2), 0xFF0000u, 10);
    b.ctx->fogStart = b.ctx->fogEnd = 0;
    p = frame_3d(bgr(0, 0, 0), {&farBox});
    EXPECT_COLOUR_NEAR(at(p, farX, H / 2), 0xFF0000u, 10);
}

TEST_F(Driver, WireFrameDrawsOnlyTheEdges)
{
    Layer q;
    make_quad(q, -60, -60, 60, 60);
    q.record.attributes |= TRVX_ATTR_WIREFRAME;
    q.record.emissive = bgr(255, 255, 255);
    build(q);
    auto p = frame_2d(bgr(0, 0, 0), {&q});
    EXPECT_COLOUR_NEAR(at(p, W / 2 - 30, H / 2 - 20), 0x000000u, 1) << "inside stays empty";
    int edge = 0;
    for (int y = H / 2 - 64; y <= H / 2 - 56; ++y)
        edge |= colour_distance(at(p, W / 2 + 10, y), 0xFFFFFF) < 40;
    EXPECT_TRUE(edge) << "top edge drawn";
    q.record.attributes &= ~TRVX_ATTR_WIREFRAME;
    p = frame_2d(bgr(0, 0, 0), {&q});
    EXPECT_COLOUR_NEAR(at(p, W / 2 - 30, H / 2 - 20), 0xFFFFFFu, 2) << "solid fill";
}

TEST_F(Driver, ScreenLayerIntegerCoordinatesLandOnPixelCentres)
{
    // Four texels across four pixels with linear filtering: every pixel centre samples a texel
    // centre exactly, so no pixel mixes two texels.
    std::vector<uint32_t> stripes(16);
    for (int i = 0; i < 16; ++i)
        stripes[i] = (i % 2) ? 0xFFFFFF : 0x000000;
    const std::wstring file = temp_path(L"d3d9_stripes.bmp");
    write_bitmap(file, 4, 4, stripes);
    ASSERT_EQ(1u, b.load_texture(1, file, 0));
    Layer q;
    textured_quad(q, 1, 0x0101, -2, -2, 2, 2);
    q.record.stages[0].filter = 0x200;
    q.record.stages[0].addressing = 2;
    build(q);
    auto p = frame_2d(bgr(255, 0, 0), {&q});
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            EXPECT_COLOUR_NEAR(at(p, W / 2 - 2 + x, H / 2 - 2 + y), (x % 2) ? 0xFFFFFFu : 0x000000u, 8)
                << "pixel " << x << "," << y;
    EXPECT_COLOUR_NEAR(at(p, W / 2 - 3, H / 2), 0xFF0000u, 1) << "nothing left of the quad";
    EXPECT_COLOUR_NEAR(at(p, W / 2 + 2, H / 2), 0xFF0000u, 1) << "nothing right of the quad";
    EXPECT_COLOUR_NEAR(at(p, W / 2, H / 2 - 3), 0xFF0000u, 1) << "nothing above";
    EXPECT_COLOUR_NEAR(at(p, W / 2, H / 2 + 2), 0xFF0000u, 1) << "nothing below";
}

TEST_F(Driver, TextChangesThePixelsOfItsRectangleOnly)
{
    tagTRVXFONT &font = b.fonts[0];
    font.height = 32;
    font.weight = 700;
    lstrcpyW(font.faceName, L"Tahoma");
    ASSERT_EQ(1u, b.cmd(TRVXCMD_FONT_CREATE, (DWORD_PTR)&font));
    ASSERT_TRUE(font.object != NULL);
    font.rect = {-100, 100, 0, 50}; // upper left part of the view port, y up
    font.colour = bgr(255, 255, 0);
    font.format = DT_LEFT | DT_TOP;
    b.cmd(TRVXCMD_SCENE_BEGIN, 0, 0);
    b.cmd(TRVXCMD_SET_2D, 0);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_FONT_DRAW, 0, (DWORD_PTR)&font, (DWORD_PTR)L"Hi"));
    b.cmd(TRVXCMD_SCENE_END, 0);
    auto p = b.read_back();
    int inside = 0, outside = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            bool in = x >= W / 2 - 100 && x < W / 2 && y >= H / 2 - 100 && y < H / 2 - 50;
            if (at(p, x, y) != 0)
                (in ? inside : outside)++;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(0, outside);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_FONT_DELETE, (DWORD_PTR)&font));
    EXPECT_EQ(0u, b.cmd(TRVXCMD_FONT_DELETE, (DWORD_PTR)&font));
}

TEST_F(Driver, SecondViewPortClearsAndDrawsInItsOwnRectangle)
{
    RECT r = {200, 20, 300, 100};
    ASSERT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_OPEN, 1, (DWORD_PTR)&r, 1));
    EXPECT_EQ(100, b.ctx->viewPorts[1].clipWidth);
    b.cmd(TRVXCMD_VIEWPORT_CLEAR, 0, bgr(0, 0, 255));
    Layer q;
    make_quad(q, -10, -10, 10, 10);
    q.record.emissive = bgr(255, 255, 255);
    build(q);
    tagTRVXFONT &font = b.fonts[0];
    font.height = 20;
    lstrcpyW(font.faceName, L"Tahoma");
    ASSERT_EQ(1u, b.cmd(TRVXCMD_FONT_CREATE, (DWORD_PTR)&font));
    font.rect = {-50, 40, 50, 20}; // the top strip of view port 1
    font.colour = bgr(0, 255, 0);
    font.format = DT_CENTER | DT_TOP;
    b.cmd(TRVXCMD_SCENE_BEGIN, 1, bgr(255, 0, 0));
    b.cmd(TRVXCMD_SET_2D, 1);
    b.cmd(TRVXCMD_LAYER_DRAW, 1, (DWORD_PTR)q.get());
    b.cmd(TRVXCMD_FONT_DRAW, 1, (DWORD_PTR)&font, (DWORD_PTR)L"Hi");
    b.cmd(TRVXCMD_SCENE_END, 1);
    auto p = b.read_back();
    int text = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 200; x < 300; ++x)
            text += colour_distance(at(p, x, y), 0x00FF00) < 80;
    EXPECT_GT(text, 10) << "text in the top strip of view port 1";
    EXPECT_COLOUR_NEAR(at(p, 205, 25), 0xFF0000u, 1) << "view port 1 cleared";
    EXPECT_COLOUR_NEAR(at(p, 250, 60), 0xFFFFFFu, 2) << "quad at view port 1's centre";
    EXPECT_COLOUR_NEAR(at(p, 100, 60), 0x0000FFu, 1) << "view port 0 untouched";
    EXPECT_COLOUR_NEAR(at(p, 250, 110), 0x0000FFu, 1) << "below view port 1 untouched";
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 1, 0, 0));
    // A view port reaching past the back buffer is cut to it.
    RECT past = {280, 200, 400, 300};
    ASSERT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_OPEN, 2, (DWORD_PTR)&past, 1));
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_CLEAR, 2, bgr(0, 255, 255)));
    p = b.read_back();
    EXPECT_COLOUR_NEAR(at(p, W - 1, H - 1), 0x00FFFFu, 1);
    EXPECT_COLOUR_NEAR(at(p, 279, H - 1), 0x0000FFu, 1);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_CLOSE, 1));
    EXPECT_EQ(0u, b.cmd(TRVXCMD_SCENE_BEGIN, 1, 0));
}

TEST_F(Driver, ReopenedDeviceTakesOfferedLevelsOnlyAndKeepsFonts)
{
    tagTRVXGRAPHICS *caps = caps_of(b.ctx);
    tagTRVXFONT &font = b.fonts[1];
    font.height = 16;
    lstrcpyW(font.faceName, L"Tahoma");
    ASSERT_EQ(1u, b.cmd(TRVXCMD_FONT_CREATE, (DWORD_PTR)&font));
    RECT r = {0, 0, W, H};
    auto reopen = [&](int antialias, int anisotropy) {
        caps->antialias = antialias;
        caps->anisotropy = anisotropy;
        EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_CLOSE, 0));
        EXPECT_TRUE(b.device() == NULL) << "closing view port 0 releases the device";
        EXPECT_TRUE(font.object == NULL) << "font objects go with the device";
        ASSERT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_OPEN, 0, (DWORD_PTR)&r, 1));
        EXPECT_TRUE(font.object != NULL) << "and come back with the new one";
    };
    // Counts the adapter does not offer fall back to none: 3 is never a level (levels are 1, 2, 4...).
    reopen(3, 3);
    IDirect3DSwapChain9 *chain = 0;
    D3DPRESENT_PARAMETERS pp = {};
    ASSERT_EQ(D3D_OK, b.device()->GetSwapChain(0, &chain));
    chain->GetPresentParameters(&pp);
    chain->Release();
    EXPECT_EQ(D3DMULTISAMPLE_NONE, pp.MultiSampleType);
    DWORD value = 0;
    b.device()->GetSamplerState(0, D3DSAMP_MAXANISOTROPY, &value);
    EXPECT_EQ(1u, value);
    b.device()->GetRenderState(D3DRS_MULTISAMPLEANTIALIAS, &value);
    EXPECT_EQ(0u, value);
    if (caps->anisotropyLevels[1] == 2) {
        reopen(1, 2);
        b.device()->GetSamplerState(3, D3DSAMP_MAXANISOTROPY, &value);
        EXPECT_EQ(2u, value);
    }
    if (caps->antialiasLevels[1] > 1) {
        reopen(caps->antialiasLevels[1], 0);
        ASSERT_EQ(D3D_OK, b.device()->GetSwapChain(0, &chain));
        chain->GetPresentParameters(&pp);
        chain->Release();
        EXPECT_EQ((D3DMULTISAMPLE_TYPE)caps->antialiasLevels[1], pp.MultiSampleType);
        EXPECT_EQ(D3DSWAPEFFECT_DISCARD, pp.SwapEffect) << "multisampling needs a discarding swap chain";
        // Presenting still works: the whole buffer goes to the window.
        EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0));
    }
    reopen(1, 1);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_CLEAR, 0, 0));
}

TEST_F(Driver, ProjectionAndPointScaleFollowTheCamera)
{
    auto set_3d = [&]() {
        b.cmd(TRVXCMD_SCENE_BEGIN, 0, 0);
        b.cmd(TRVXCMD_SET_3D, 0);
        b.cmd(TRVXCMD_SCENE_END, 0);
    };
    D3DMATRIX m;
    DWORD bits;
    float c;
    set_3d(); // lens 0: the default field of view 2 atan(0.35)
    b.device()->GetTransform(D3DTS_PROJECTION, &m);
    EXPECT_NEAR(1.0f / 0.35f, m._22, 1e-4);
    EXPECT_NEAR(m._22 * H / W, m._11, 1e-4) << "aspect of the clip rectangle";
    b.device()->GetRenderState(D3DRS_POINTSCALE_C, &bits);
    memcpy(&c, &bits, 4);
    EXPECT_NEAR(35.0f * 35.0f / (50.0f * 50.0f), c, 1e-5) << "a lens of 0 scales points as the default lens";
    b.ctx->camera.lens = 35;
    b.ctx->camera.aspect = 2;
    b.ctx->camera.nearZ = 2;
    b.ctx->camera.farZ = 10;
    set_3d();
    b.device()->GetTransform(D3DTS_PROJECTION, &m);
    EXPECT_NEAR(2.0f, m._22, 1e-4) << "1 / tan(atan(17.5 / 35))";
    EXPECT_NEAR(1.0f, m._11, 1e-4);
    EXPECT_NEAR(10.0f / 8.0f, m._33, 1e-4) << "far / (far - near)";
    b.device()->GetRenderState(D3DRS_POINTSCALE_C, &bits);
    memcpy(&c, &bits, 4);
    EXPECT_NEAR(1.0f, c, 1e-6);
    // 2D: one unit a pixel, origin in the middle.
    b.cmd(TRVXCMD_SCENE_BEGIN, 0, 0);
    b.cmd(TRVXCMD_SET_2D, 0);
    b.cmd(TRVXCMD_SCENE_END, 0);
    b.device()->GetTransform(D3DTS_PROJECTION, &m);
    EXPECT_NEAR(2.0f / W, m._11, 1e-6);
    EXPECT_NEAR(2.0f / H, m._22, 1e-6);
    // Full screen, only view port 0 presents; the others succeed without presenting.
    RECT r = {10, 10, 50, 50};
    ASSERT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_OPEN, 1, (DWORD_PTR)&r, 1));
    b.ctx->windowed = 0;
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 1, 0, 0));
    b.ctx->windowed = 1;
}

TEST_F(Driver, BuffersFollowModeAndCounts)
{
    Layer l;
    make_box(l, 2);
    l.record.mode = TRVX_MODE_TEXTURED + 2;
    build(l);
    D3D9LAYERDATA *d = layer_data(l.get());
    EXPECT_EQ(40u, (unsigned)d->stride);
    EXPECT_EQ(12u, d->indexCount);
    l.record.mode = TRVX_MODE_SOLID;
    build(l);
    EXPECT_EQ(24u, (unsigned)d->stride);
    EXPECT_EQ(TRVX_MODE_SOLID, d->builtMode);
    EXPECT_TRUE(d->indexBuffer != NULL);
    // A mode outside the table builds nothing and draws nothing, successfully.
    l.record.mode = 0x80990000u;
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_BUILD, (DWORD_PTR)l.get()));
    EXPECT_TRUE(d->vertexBuffer == NULL && d->indexBuffer == NULL);
    b.cmd(TRVXCMD_SCENE_BEGIN, 0, 0);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)l.get()));
    Layer never;
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)never.get())) << "never built: nothing to draw";
    b.cmd(TRVXCMD_SCENE_END, 0);
    EXPECT_EQ(0u, b.cmd(TRVXCMD_LAYER_FACES_DROP, (DWORD_PTR)l.get()));
    l.record.mode = TRVX_MODE_SOLID;
    build(l);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_FACES_DROP, (DWORD_PTR)l.get()));
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_VERTICES_DROP, (DWORD_PTR)l.get()));
    EXPECT_EQ(0u, d->vertexCount);
    EXPECT_EQ(0u, (unsigned)d->stride);
}

TEST_F(Driver, LineModeDrawsPointsOrALineStrip)
{
    Layer line;
    std::vector<tagTRVXVERTEX> v(2);
    v[0].position = {-40, 0, 0, 1};
    v[1].position = {40, 0, 0, 1};
    line.set_geometry(v, {});
    line.record.mode = TRVX_MODE_LINES;
    line.record.emissive = bgr(255, 255, 255);
    line.record.attributes = TRVX_ATTR_OVERLAY;
    build(line);
    line.record.pointSize = -1;
    auto strip = frame_2d(0, {&line});
    int lit = 0;
    for (int x = W / 2 - 30; x < W / 2 + 30; ++x)
        lit += at(strip, x, H / 2) != 0 || at(strip, x, H / 2 - 1) != 0;
    EXPECT_GE(lit, 55) << "line strip between the two points";
    line.record.pointSize = 3;
    auto points = frame_2d(0, {&line});
    EXPECT_EQ(0u, at(points, W / 2, H / 2)) << "points only at the ends";
    int ends = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            ends += at(points, W / 2 - 40 + dx, H / 2 + dy) != 0;
    EXPECT_GT(ends, 0);
}

TEST_F(Driver, ConsecutiveLayersWithTheSameSettingsCostNoStateCalls)
{
    Layer a, c;
    make_box(a, 1);
    make_box(c, 1);
    a.record.translate = {-2, 0, 0, 0};
    c.record.translate = {2, 0, 0, 0};
    build(a);
    build(c);
    light_from_viewer();
    b.cmd(TRVXCMD_SCENE_BEGIN, 0, 0);
    b.cmd(TRVXCMD_SET_3D, 0);
    b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)a.get());
    {
        D3D9CallCounter counter(b.device());
        // Same buffers' format, same material and stages: only the world matrix and the stream change.
        b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)c.get());
        EXPECT_LE(counter.count(), 3) << "world transform, stream source and indices at most";
        counter.reset();
        c.record.attributes |= TRVX_ATTR_WIREFRAME;
        b.cmd(TRVXCMD_LAYER_DRAW, 0, (DWORD_PTR)c.get());
        EXPECT_EQ(2, counter.count()) << "world transform and fill mode";
    }
    b.cmd(TRVXCMD_SCENE_END, 0);
}

// Alt+Tab away from a full screen loses the device: frames present nothing while the window is away;
// once it is back the next scene resets the device and draws with the layer's buffers and the fonts.
TEST_F(Driver, LostFullScreenDeviceIsResetWhenItsWindowReturns)
{
    tagTRVXFONT &font = b.fonts[1];
    font.height = 16;
    lstrcpyW(font.faceName, L"Tahoma");
    ASSERT_EQ(1u, b.cmd(TRVXCMD_FONT_CREATE, (DWORD_PTR)&font));
    // The desktop's own size: Xvfb offers no other display mode.
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT screen = {0, 0, sw, sh};
    ASSERT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_OPEN, 0, (DWORD_PTR)&screen, 0));
    Layer box;
    lit_red_box(box);
    auto centre_of_frame = [&] {
        std::vector<uint32_t> p = frame_3d(bgr(0, 0, 64), {&box});
        return p.size() == (size_t)sw * sh ? p[(size_t)(sh / 2) * sw + sw / 2] : 0xFFFFFFFFu;
    };
    EXPECT_COLOUR_NEAR(centre_of_frame(), 0xFF0000u, 8);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0));

    SendMessageW(b.window, WM_ACTIVATEAPP, FALSE, 0);
    pump_messages(50);
    EXPECT_EQ(0u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0)) << "a lost device presents nothing";
    EXPECT_EQ(0u, b.cmd(TRVXCMD_SCENE_BEGIN, 0, 0)) << "no scene while the window is away";
    EXPECT_EQ(0u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0));

    SendMessageW(b.window, WM_ACTIVATEAPP, TRUE, 0);
    pump_messages(50);
    EXPECT_COLOUR_NEAR(centre_of_frame(), 0xFF0000u, 8) << "the reset device draws the same buffers";
    EXPECT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_FLIP, 0, 0, 0));
    EXPECT_TRUE(font.object != NULL) << "the fonts come back with the reset device";
    EXPECT_EQ(D3D_OK, b.device()->TestCooperativeLevel());

    b.cmd(TRVXCMD_LAYER_FACES_DROP, (DWORD_PTR)box.get());
    b.cmd(TRVXCMD_LAYER_VERTICES_DROP, (DWORD_PTR)box.get());
    RECT window = {0, 0, W, H};
    ASSERT_EQ(1u, b.cmd(TRVXCMD_VIEWPORT_OPEN, 0, (DWORD_PTR)&window, 1));
}

TEST_F(Driver, MaterialComesFromTheLayerColours)
{
    Layer l;
    l.record.diffuse = bgr(255, 0, 51);
    l.record.transparency = 51;
    l.record.specular = 0;
    l.record.emissive = bgr(0, 255, 0);
    l.record.dullness = 200;
    l.record.ambient = 0;
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)l.get(), (DWORD_PTR)l.material));
    const D3DMATERIAL9 *m = (const D3DMATERIAL9 *)l.material;
    EXPECT_FLOAT_EQ(1.0f, m->Diffuse.r);
    EXPECT_FLOAT_EQ(0.2f, m->Diffuse.b);
    EXPECT_FLOAT_EQ(0.8f, m->Diffuse.a);
    EXPECT_FLOAT_EQ(0.0f, m->Ambient.r);
    EXPECT_FLOAT_EQ(1.0f, m->Emissive.g);
    EXPECT_FLOAT_EQ(55.0f, m->Power);
    EXPECT_EQ(1u, b.cmd(TRVXCMD_LAYER_MATERIAL, (DWORD_PTR)l.get(), 0)) << "no block: nothing to fill";
}

} // namespace

namespace {

// Keyboard and mouse events sent to the system input queue reach the input state block.
class Input : public Driver {
protected:
    tagTRVXINPUT state = {};
    void send(std::initializer_list<INPUT> events)
    {
        std::vector<INPUT> v(events);
        SendInput((UINT)v.size(), v.data(), sizeof(INPUT));
        pump_messages(100);
    }
    static INPUT key(WORD scan, bool up)
    {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wScan = scan;
        i.ki.dwFlags = KEYEVENTF_SCANCODE | (up ? KEYEVENTF_KEYUP : 0);
        return i;
    }
    static INPUT mouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0)
    {
        INPUT i = {};
        i.type = INPUT_MOUSE;
        i.mi.dx = dx;
        i.mi.dy = dy;
        i.mi.mouseData = data;
        i.mi.dwFlags = flags;
        return i;
    }
    void read(int what) { b.cmd(TRVXCMD_INPUT_READ, (DWORD_PTR)what, (DWORD_PTR)&state); }
};

TEST_F(Input, KeysArriveInTheKeyboardBytes)
{
    SetForegroundWindow(b.window);
    read(1); // acquires the keyboard
    const WORD scanA = 0x1E; // DirectInput code of "A"
    send({key(scanA, false)});
    read(1);
    EXPECT_EQ(0x80, state.keys[scanA] & 0x80) << "A is down";
    send({key(scanA, true)});
    read(1);
    EXPECT_EQ(0, state.keys[scanA] & 0x80) << "A is up";
    EXPECT_EQ(0u, b.cmd(TRVXCMD_INPUT_READ, 1, 0)) << "no block, nothing read";
}

TEST_F(Input, WindowedCursorIsRelativeToTheViewPortCentre)
{
    SetForegroundWindow(b.window);
    read(2); // acquires the mouse
    POINT centre = {W / 2, H / 2};
    ClientToScreen(b.window, &centre);
    SetCursorPos(centre.x + 30, centre.y + 20);
    pump_messages(50);
    read(2);
    EXPECT_EQ(30, state.axes[0]);
    EXPECT_EQ(-20, state.axes[1]) << "y grows upwards";
    send({mouse(MOUSEEVENTF_LEFTDOWN)});
    read(2);
    EXPECT_EQ(0x80, state.buttons[1]);
    send({mouse(MOUSEEVENTF_LEFTUP), mouse(MOUSEEVENTF_RIGHTDOWN)});
    read(2);
    EXPECT_EQ(0, state.buttons[1]);
    EXPECT_EQ(0x80, state.buttons[2]);
    send({mouse(MOUSEEVENTF_RIGHTUP)});
    // One wheel event counts one step, however far it turns.
    int wheel = state.axes[2];
    send({mouse(MOUSEEVENTF_WHEEL, 0, 0, 240)});
    read(2);
    EXPECT_EQ(wheel + 1, state.axes[2]);
    send({mouse(MOUSEEVENTF_WHEEL, 0, 0, (DWORD)-120)});
    read(2);
    EXPECT_EQ(wheel, state.axes[2]);
}

TEST_F(Input, FullScreenCursorStopsAtTheScreenLimits)
{
    SetForegroundWindow(b.window);
    b.ctx->windowed = 0;
    b.ctx->screenClip = {-W / 2, H / 2, W / 2, -H / 2};
    read(2);
    state.axes[0] = state.axes[1] = 0;
    send({mouse(MOUSEEVENTF_MOVE, -5000, 0)});
    read(2);
    EXPECT_EQ(-W / 2, state.axes[0]);
    // Steps of 5 stay below the system's pointer acceleration threshold.
    send({mouse(MOUSEEVENTF_MOVE, 5, 0), mouse(MOUSEEVENTF_MOVE, 5, 0), mouse(MOUSEEVENTF_MOVE, 0, 5000)});
    read(2);
    EXPECT_EQ(-W / 2 + 10, state.axes[0]);
    EXPECT_EQ(-H / 2 + 1, state.axes[1]) << "moving down stops one above the bottom limit";
    b.ctx->windowed = 1;
}

} // namespace
