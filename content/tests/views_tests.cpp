// The generated aircraft and airport drawn by the real engine, text model plug-in and Direct3D 9
// driver from the viewer's kinds of camera: outside, cockpit, cabin, and the airport from the air.
// Each picture is left in the test's folder as <view>.bmp for people to look at; the test checks
// that it shows a scene, not a cleared screen.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "d3d9_program_support.h"
#include "trvx.h"

namespace {

const uint32_t kSky = 0x00C89664; // 0x00BBGGRR: light blue

std::wstring program_folder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    for (int up = 0; up < 3; ++up)
        folder = folder.substr(0, folder.find_last_of(L'\\'));
    return folder + L"\\";
}

class ContentViews : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        window = open_program_window(L"content views", 640, 400);
        RECT view = {0, 0, 640, 400};
        ctx = TRVX_Start(window, &view, 1);
        ASSERT_NE(ctx, nullptr);
        aircraft = TRVXL_ReadLayer(ctx, ctx->rootLayer, (program_folder() + L"plane\\hx21ank\\hx21ank.tvm").c_str());
        airport = TRVXL_ReadLayer(ctx, ctx->rootLayer, (program_folder() + L"port\\rjbh\\rjbh.tvm").c_str());
        set_ambient_and_sun(ctx, 0x00606060, {-0.5f, -1.0f, 0.4f, 0}, 0x00E0F0FF);
        TRVX_SetFog(ctx, 4000.0f, 14000.0f, kSky);
        for (const wchar_t *hidden : {L"shadow", L"frlight"})
            if (TRVXLAYER layer = TRVXL_SearchLayer(ctx, aircraft, hidden))
                TRVXL_SwitchLayer(ctx, layer, 0);
    }

    static void TearDownTestSuite()
    {
        if (ctx)
            TRVX_End(ctx);
        DestroyWindow(window);
    }

    // The aircraft's part groups as the viewer switches them for a kind of camera:
    // "hx21", "in_hx2101", "in_hx2102", "mainwing", "enjine", "cp_c".
    static void show_parts(const bool on[6])
    {
        static const wchar_t *parts[6] = {L"hx21", L"in_hx2101", L"in_hx2102", L"mainwing", L"enjine", L"cp_c"};
        for (int i = 0; i < 6; ++i) {
            TRVXLAYER part = TRVXL_SearchLayer(ctx, aircraft, parts[i]);
            EXPECT_NE(part, nullptr);
            if (part)
                TRVXL_SwitchLayer(ctx, part, on[i] ? 1 : 0);
        }
    }

    // Draws one frame from `eye` towards `target`, saves it, and returns its number of colours.
    size_t draw(const char *name, TRVXVECTOR eye, TRVXVECTOR target, float lens)
    {
        tagTRVXCAMERA camera = {};
        camera.eye = eye;
        camera.target = target;
        camera.up = {0, 1, 0, 0};
        camera.lens = lens;
        camera.nearZ = 0.2f;
        camera.farZ = 20000.0f;
        TRVX_SetCamera(ctx, &camera);
        TRVXL_CalcLayer(ctx, ctx->rootLayer);
        EXPECT_EQ(TRVX_Rendering(ctx, 0, ctx->rootLayer, kSky), 1);
        std::string file = std::string(name) + ".bmp";
        EXPECT_EQ(save_back_buffer(ctx, file.c_str()), 1);
        TRVX_FlipViewPort(ctx, 0);
        return colours_in(file);
    }

    static size_t colours_in(const std::string &file)
    {
        std::set<uint32_t> colours;
        FILE *f = fopen(file.c_str(), "rb");
        if (!f)
            return 0;
        std::vector<unsigned char> bytes(54 + 640 * 400 * 3);
        size_t read = fread(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        for (size_t i = 54; i + 2 < read; i += 3)
            colours.insert(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16);
        return colours.size();
    }

    static HWND window;
    static TRVXCONTEXT ctx;
    static TRVXLAYER aircraft, airport;
};

HWND ContentViews::window;
TRVXCONTEXT ContentViews::ctx;
TRVXLAYER ContentViews::aircraft, ContentViews::airport;

} // namespace

TEST_F(ContentViews, ModelsLoad)
{
    EXPECT_NE(aircraft, nullptr);
    EXPECT_NE(airport, nullptr);
}

// The aircraft's frame: nose towards -z, wheels on y = 0; the cockpit eye at (-0.6, 3.8, -10.2).
TEST_F(ContentViews, Outside)
{
    const bool outside[6] = {true, true, false, true, true, false};
    show_parts(outside);
    EXPECT_GT(draw("outside", {32, 9, -38, 0}, {0, 3, 0, 0}, 35), 500u);
    EXPECT_GT(ctx->layersDrawn, 20);
}

TEST_F(ContentViews, Cockpit)
{
    const bool cockpit[6] = {false, false, false, false, false, true};
    show_parts(cockpit);
    EXPECT_GT(draw("cockpit", {-0.6f, 3.8f, -10.2f, 0}, {-0.6f, 3.2f, -30.0f, 0}, 20), 300u);
}

TEST_F(ContentViews, Cabin)
{
    const bool cabin[6] = {false, true, true, true, true, false};
    show_parts(cabin);
    EXPECT_GT(draw("cabin", {0, 3.4f, 7.0f, 0}, {0, 3.2f, -20.0f, 0}, 24), 300u);
}

TEST_F(ContentViews, Airport)
{
    EXPECT_GT(draw("airport", {900, 500, 3600, 0}, {0, 0, 0, 0}, 35), 300u);
}
