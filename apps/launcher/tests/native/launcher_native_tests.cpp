// The launcher's portable parts: the logo animation's curves and the DirectX decision.
#include <gtest/gtest.h>

#include <vector>

#include "directx_requirement.h"
#include "logo_timeline.h"

namespace {

void expect_near(const logo::Vec3 &v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-3f);
    EXPECT_NEAR(v.y, y, 1e-3f);
    EXPECT_NEAR(v.z, z, 1e-3f);
}

} // namespace

TEST(LogoLines, GrowToTheirLengthInHalfASecondAndStay)
{
    EXPECT_FLOAT_EQ(logo::line_scale(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(logo::line_scale(0, 250), 2.41f / 2);
    EXPECT_FLOAT_EQ(logo::line_scale(2, 500), 1.32f);
    EXPECT_FLOAT_EQ(logo::line_scale(4, 733), 1.2f);
    EXPECT_FLOAT_EQ(logo::line_scale(3, -5), 0.0f);
    EXPECT_FLOAT_EQ(logo::line_scale(5, 500), 0.0f);
    EXPECT_FLOAT_EQ(logo::line_scale(-1, 500), 0.0f);
}

TEST(LogoMovement, LettersStartApartAndMeet)
{
    const logo::MovePose start = logo::move_pose(0);
    expect_near(start.red.translate, -33, 0, 50);
    expect_near(start.green.translate, 0, 0, 50);
    expect_near(start.blue.translate, 33, 0, 50);
    expect_near(start.eye, 0, 0, -100);
    expect_near(start.target, 0, 0, 0);

    for (double ms : {6000.0, 6400.0}) {
        const logo::MovePose end = logo::move_pose(ms);
        expect_near(end.red.translate, -21, 0, -9);
        expect_near(end.green.translate, 0, 0, 0);
        expect_near(end.blue.translate, 21, 0, 9);
        expect_near(end.red.rotate, 0, 1080, 0);
        expect_near(end.blue.rotate, 0, 1440, 0);
        expect_near(end.eye, 50, 15, -131);
        expect_near(end.target, 32.1f, 5.2f, -84);
    }
    // Half way: eased progress 1/2, the red letter half way round its circle.
    const logo::MovePose half = logo::move_pose(3000);
    expect_near(half.red.translate, 6 + 33, 0, 50 - 29.5f);
    expect_near(half.green.rotate, 0, 720, 0);
    EXPECT_NEAR(half.eye.z, -115.5f, 1e-3f);
}

TEST(LogoMovement, CrossFadesAndSpecularFollowTheClock)
{
    struct Row {
        int ms, solid, glassy, back, specular;
    };
    const Row rows[] = {
        {0, 0, 255, 255, 0},      {1999, 0, 255, 255, 0},   {2000, 0, 255, 255, 0},
        {3000, 127, 178, 255, 0}, {3999, 254, 101, 255, 0}, {4000, 255, 100, 255, 0},
        {5000, 255, 100, 255, 127}, {5500, 255, 100, 128, 191}, {6000, 255, 100, 0, 255},
        {7200, 255, 100, 0, 255}, {-10, 0, 255, 255, 0},
    };
    for (const Row &row : rows) {
        const logo::MoveShading s = logo::move_shading(row.ms);
        EXPECT_EQ(s.solid, row.solid) << row.ms;
        EXPECT_EQ(s.glassy, row.glassy) << row.ms;
        EXPECT_EQ(s.back, row.back) << row.ms;
        EXPECT_EQ(s.specular, row.specular) << row.ms;
    }
    EXPECT_EQ(logo::grey(0x80), 0x808080u);
}

TEST(LogoGlint, RunsAlongTheWordMarkFasterAndFaster)
{
    EXPECT_DOUBLE_EQ(logo::glint_progress(0), 0.0);
    EXPECT_DOUBLE_EQ(logo::glint_progress(750), 0.125);
    EXPECT_DOUBLE_EQ(logo::glint_progress(1500), 1.0);
    EXPECT_DOUBLE_EQ(logo::glint_progress(2000), 1.0);
    EXPECT_EQ(logo::glint_column(0), 150);
    EXPECT_EQ(logo::glint_column(1), 490);
}

TEST(LogoGlint, FindsTheFirstLitPixelOfAColumnInsideThePicture)
{
    const int w = 8, h = 12;
    std::vector<uint32_t> pixels(w * h, 0xFF000000u); // black, whatever the unused top byte holds
    pixels[7 * w + 3] = 0x00010000;
    pixels[9 * w + 3] = 0x00FFFFFF;
    pixels[2 * w + 5] = 0x00808080;
    const logo::Picture picture = {pixels.data(), w, h};

    EXPECT_EQ(logo::first_lit_row(picture, 3, 0, 11), 7);
    EXPECT_EQ(logo::first_lit_row(picture, 3, 8, 11), 9);
    EXPECT_EQ(logo::first_lit_row(picture, 3, 0, 6), -1);
    EXPECT_EQ(logo::first_lit_row(picture, 5, -40, 400), 2);
    EXPECT_EQ(logo::first_lit_row(picture, 4, 0, 11), -1);
    EXPECT_EQ(logo::first_lit_row(picture, -1, 0, 11), -1);
    EXPECT_EQ(logo::first_lit_row(picture, w, 0, 11), -1);
    EXPECT_EQ(logo::first_lit_row(picture, 3, 20, 30), -1);
    EXPECT_EQ(logo::first_lit_row({nullptr, 0, 0}, 0, 0, 11), -1);
}

TEST(LogoGlint, SitsOnTheEdgeItFoundAndHidesWithoutOne)
{
    const logo::GlintPose top = logo::glint_pose(0, 302);
    expect_near(top.translate, 150 - 320, 240 - 302, 0.02f);
    EXPECT_FLOAT_EQ(top.scale, 1.0f);
    EXPECT_FLOAT_EQ(top.turn, 0.0f);
    expect_near(top.lightDirection, -100, -100, 200);

    const logo::GlintPose low = logo::glint_pose(1, 337);
    expect_near(low.translate, 490 - 320, 240 - 337, 0.02f);
    EXPECT_FLOAT_EQ(low.scale, 0.5f);
    EXPECT_FLOAT_EQ(low.turn, -180.0f);
    expect_near(low.lightDirection, 200, -100, 200);

    EXPECT_FLOAT_EQ(logo::glint_pose(0.5, -1).scale, 0.0f);
}

TEST(LogoCurtain, FallsFromInvisibleToBlack)
{
    EXPECT_EQ(logo::curtain(0), 255);
    EXPECT_EQ(logo::curtain(1000), 127);
    EXPECT_EQ(logo::curtain(2000), 0);
    EXPECT_EQ(logo::curtain(2600), 0);
    EXPECT_EQ(logo::curtain(-1), 255);
}

TEST(DirectXRequirement, SetupLibraryDecidesWhereItAnswers)
{
    DirectXFacts facts;
    facts.d3dx9 = true;
    facts.query = SetupQuery::Answered;
    facts.version = 0x00040009;
    EXPECT_TRUE(directx_sufficient(facts));
    facts.version = 0x00040008;
    facts.direct3d9 = true; // not asked where the library answers
    EXPECT_FALSE(directx_sufficient(facts));
    EXPECT_EQ(directx_message(facts), L"DirectXのバージョンが 8 です。\nDirectX9.0cをインストールしてください。");

    facts.query = SetupQuery::Failed;
    EXPECT_FALSE(directx_sufficient(facts));
    EXPECT_EQ(directx_message(facts),
              L"DirectX9.0c以上がインストールされていません。\nDirectX9.0cをインストールしてください。");
}

TEST(DirectXRequirement, Direct3D9DecidesWhereTheSetupLibraryIsMissing)
{
    DirectXFacts facts;
    facts.d3dx9 = true;
    facts.direct3d9 = true;
    EXPECT_TRUE(directx_sufficient(facts));
    facts.direct3d9 = false;
    EXPECT_FALSE(directx_sufficient(facts));
    EXPECT_EQ(directx_message(facts),
              L"DirectX9.0c以上がインストールされていません。\nDirectX9.0cをインストールしてください。");
}

TEST(DirectXRequirement, WithoutD3DXTheDriverCannotStart)
{
    DirectXFacts facts;
    facts.direct3d9 = true;
    EXPECT_FALSE(directx_sufficient(facts));
    facts.query = SetupQuery::Answered;
    facts.version = 0x00040009;
    EXPECT_FALSE(directx_sufficient(facts));
    EXPECT_EQ(directx_message(facts),
              L"DirectX9.0c以上がインストールされていません。\nDirectX9.0cをインストールしてください。");
}
