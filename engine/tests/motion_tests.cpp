// Layer motion end to end: motion values, the evaluation walk and its commands 4 and 5, and the
// matrices and world bounds that the shared transform code computes in the recording driver.
#include "test_support.h"

#include "plugin/trvx_transform.h"

#include <math.h>

namespace {

class Motion : public EngineTest {
protected:
    TRVXLAYER make(TRVXLAYER parent, const wchar_t *name) { return TRVXL_CreateLayer(ctx, parent, name); }

    static TRVXTRANSFORM &block(TRVXLAYER layer) { return *(TRVXTRANSFORM *)layer->transformBlock; }

    // Where the layer's world matrix puts a point of the layer.
    static TRVXVECTOR world_point(TRVXLAYER layer, float x, float y, float z)
    {
        const float (*m)[4] = block(layer).world;
        return TRVXVECTOR{x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0],
                          x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1],
                          x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2], 0.0f};
    }

    // Commands 4 and 5 as (command, layer name, parent block) in the order sent.
    std::vector<std::pair<int, std::wstring>> evaluation_log()
    {
        std::vector<std::pair<int, std::wstring>> log;
        for (const RecordedCommand &c : driver.commands())
            if (c.command == 4 || c.command == 5)
                log.push_back({c.command, ((TRVXLAYER)c.p1)->name});
        return log;
    }
};

const float kTolerance = 1e-5f;

#define EXPECT_POINT(p, ex, ey, ez)           \
    do {                                      \
        EXPECT_NEAR((p).x, ex, kTolerance);   \
        EXPECT_NEAR((p).y, ey, kTolerance);   \
        EXPECT_NEAR((p).z, ez, kTolerance);   \
    } while (0)

} // namespace

TEST_F(Motion, TransformOrdersApplyInTheOrderWritten)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    TRVXVECTOR turn = {0.0f, 90.0f, 0.0f, 0.0f}, move = {10.0f, 0.0f, 0.0f, 0.0f};
    TRVXL_MoveLayer(ctx, layer, &move, &turn, nullptr, 1, 14); // "SRT", "Y"
    TRVXL_CalcLayer(ctx, layer);
    EXPECT_POINT(world_point(layer, 1, 0, 0), 10.0f, 0.0f, -1.0f);

    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, nullptr, 6, 0); // "TRS"
    TRVXL_CalcLayer(ctx, layer);
    EXPECT_POINT(world_point(layer, 1, 0, 0), 0.0f, 0.0f, -11.0f);

    TRVXVECTOR scale = {2.0f, 3.0f, 4.0f, 0.0f};
    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, &scale, 7, 0); // "SR": the translate is left out
    TRVXL_CalcLayer(ctx, layer);
    EXPECT_POINT(world_point(layer, 1, 1, 1), 4.0f, 3.0f, -2.0f);

    // "ZXY": about Z, then X, then Y.
    TRVXVECTOR angles = {90.0f, 90.0f, 90.0f, 0.0f}, one = {1.0f, 1.0f, 1.0f, 0.0f};
    TRVXL_MoveLayer(ctx, layer, nullptr, &angles, &one, 14, 1);
    TRVXL_CalcLayer(ctx, layer);
    TRVXVECTOR expected = {1.0f, 2.0f, 3.0f, 0.0f};
    TRVX_Rotate3D(&expected, &angles, 1);
    TRVXVECTOR got = world_point(layer, 1, 2, 3);
    EXPECT_POINT(got, expected.x, expected.y, expected.z);

    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, nullptr, 1, 16);
    TRVXL_CalcLayer(ctx, layer);
    EXPECT_EQ(block(layer).localIdentity, 0); // the translate still applies
    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, nullptr, 16, 0);
    TRVXL_CalcLayer(ctx, layer);
    EXPECT_EQ(block(layer).localIdentity, 1);
    EXPECT_EQ(block(layer).worldIdentity, 1);
    EXPECT_POINT(world_point(layer, 1, 2, 3), 1.0f, 2.0f, 3.0f);
}

TEST_F(Motion, MoveReplacesOnlyWhatIsGiven)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    layer->moved = 0;
    EXPECT_EQ(TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, nullptr, 0, 0), layer);
    EXPECT_EQ(layer->moved, 0);
    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, nullptr, 17, -1); // no such orders: ignored
    EXPECT_EQ(layer->moved, 0);
    EXPECT_EQ(layer->transformOrder, 1);
    TRVXVECTOR rotate = {1.0f, 2.0f, 3.0f, 4.0f};
    TRVXL_MoveLayer(ctx, layer, nullptr, &rotate, nullptr, 0, 5);
    EXPECT_EQ(layer->moved, 1);

    TRVXVECTOR t = {9, 9, 9, 9}, r = {}, s = {};
    int transformOrder = 0, rotationOrder = 0;
    TRVXL_GetMoveLayer(ctx, layer, &t, &r, &s, &transformOrder, &rotationOrder);
    EXPECT_EQ(t.x, 0.0f);
    EXPECT_EQ(r.w, 4.0f);
    EXPECT_EQ(s.x, 1.0f);
    EXPECT_EQ(transformOrder, 1);
    EXPECT_EQ(rotationOrder, 5);
    TRVXL_GetMoveLayer(ctx, layer, nullptr, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(Motion, EvaluationRecomputesOnlyWhatChanged)
{
    TRVXLAYER parent = make(ctx->rootLayer, L"parent");
    TRVXLAYER a = make(parent, L"a");
    make(parent, L"b");
    make(a, L"a1");
    driver.clear();
    EXPECT_EQ(TRVXL_CalcLayer(ctx, ctx->rootLayer), 1);
    using Log = std::vector<std::pair<int, std::wstring>>;
    EXPECT_EQ(evaluation_log(), (Log{{4, L"MasterLayer"}, {5, L"MasterLayer"}, {4, L"parent"}, {5, L"parent"},
                                     {4, L"a"}, {5, L"a"}, {4, L"a1"}, {5, L"a1"}, {4, L"b"}, {5, L"b"}}));
    std::vector<RecordedCommand> seen = driver.commands();
    EXPECT_EQ(seen[1].p2, 0u); // the top layer has no parent block
    EXPECT_EQ(seen[3].p2, (DWORD_PTR)ctx->rootLayer->transformBlock);

    driver.clear();
    EXPECT_EQ(TRVXL_CalcLayer(ctx, ctx->rootLayer), 0);
    EXPECT_EQ(driver.numbers(), std::vector<int>{});

    TRVXVECTOR move = {0.0f, 1.0f, 0.0f, 0.0f};
    TRVXL_MoveLayer(ctx, a, &move, nullptr, nullptr, 0, 0);
    driver.clear();
    EXPECT_EQ(TRVXL_CalcLayer(ctx, ctx->rootLayer), 1);
    EXPECT_EQ(evaluation_log(), (Log{{4, L"a"}, {5, L"a"}, {5, L"a1"}}));

    // Evaluated as a top layer, the parent's matrices are not used.
    TRVXL_MoveLayer(ctx, parent, &move, nullptr, nullptr, 0, 0);
    TRVXL_MoveLayer(ctx, a, &move, nullptr, nullptr, 0, 0);
    driver.clear();
    TRVXL_CalcLayer(ctx, a);
    EXPECT_EQ(driver.commands()[1].p2, 0u);
    EXPECT_NEAR(world_point(a->children[0], 0, 0, 0).y, 1.0f, kTolerance);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    EXPECT_NEAR(world_point(a->children[0], 0, 0, 0).y, 2.0f, kTolerance);
}

TEST_F(Motion, SwitchedOffLayersWaitUntilSwitchedOn)
{
    TRVXLAYER parent = make(ctx->rootLayer, L"parent");
    TRVXLAYER off = make(parent, L"off");
    TRVXLAYER below = make(off, L"below");
    TRVXLAYER shown = make(parent, L"shown");
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    TRVXL_SwitchLayer(ctx, off, 0);
    TRVXVECTOR move = {5.0f, 0.0f, 0.0f, 0.0f};
    TRVXL_MoveLayer(ctx, off, &move, nullptr, nullptr, 0, 0);
    driver.clear();
    EXPECT_EQ(TRVXL_CalcLayer(ctx, ctx->rootLayer), 0);
    EXPECT_EQ(driver.numbers(), std::vector<int>{});

    // A parent's change marks the switched-off child for later.
    TRVXL_MoveLayer(ctx, parent, &move, nullptr, nullptr, 0, 0);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    EXPECT_EQ(off->moved, 1);
    EXPECT_NEAR(world_point(shown, 0, 0, 0).x, 5.0f, kTolerance);
    EXPECT_NEAR(world_point(below, 0, 0, 0).x, 0.0f, kTolerance);

    TRVXL_SwitchLayer(ctx, off, 0x4000); // evaluated though not drawn
    EXPECT_EQ(TRVXL_CalcLayer(ctx, ctx->rootLayer), 1);
    EXPECT_NEAR(world_point(off, 0, 0, 0).x, 10.0f, kTolerance);
    EXPECT_NEAR(world_point(below, 0, 0, 0).x, 10.0f, kTolerance);
}

TEST_F(Motion, WorldBoundsAndTheSubtreeSphere)
{
    TRVXLAYER group = make(ctx->rootLayer, L"group");
    TRVXLAYER left = make(group, L"left"), right = make(group, L"right");
    tagTRVXVERTEX corners[2] = {};
    corners[0].position = TRVXVECTOR{-1.0f, -1.0f, -1.0f, 0.0f};
    corners[1].position = TRVXVECTOR{1.0f, 1.0f, 1.0f, 0.0f};
    TRVXL_SetVertex(ctx, left, 2, corners);
    TRVXL_SetVertex(ctx, right, 2, corners);
    TRVXVECTOR centre = {7, 7, 7, 7};
    float radius = -1.0f;
    EXPECT_EQ(TRVXL_CalcPositionLayer(ctx, group, &centre, &radius), 0);
    EXPECT_EQ(radius, 0.0f);

    TRVXVECTOR toLeft = {-4.0f, 0.0f, 0.0f, 0.0f}, toRight = {4.0f, 0.0f, 0.0f, 0.0f}, twice = {2, 2, 2, 0};
    TRVXL_MoveLayer(ctx, left, &toLeft, nullptr, nullptr, 0, 0);
    TRVXL_MoveLayer(ctx, right, &toRight, nullptr, &twice, 0, 0);
    TRVXL_SwitchLayer(ctx, right, 0x4000);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    EXPECT_POINT(left->worldCentre, -4.0f, 0.0f, 0.0f);
    EXPECT_NEAR(left->worldRadius, sqrtf(3.0f), kTolerance);
    EXPECT_NEAR(right->worldRadius, 2.0f * sqrtf(3.0f), kTolerance);
    TRVXL_SwitchLayer(ctx, right, 0);
    EXPECT_EQ(TRVXL_CalcPositionLayer(ctx, group, &centre, &radius), 1);
    float r = 2.0f * sqrtf(3.0f);
    // The box runs from -4 - sqrt(3) to 4 + 2 sqrt(3) in x and +-2 sqrt(3) in y and z.
    float lowX = -4.0f - sqrtf(3.0f), highX = 4.0f + r;
    EXPECT_POINT(centre, (lowX + highX) / 2, 0.0f, 0.0f);
    EXPECT_EQ(centre.w, 0.0f);
    float half[3] = {(highX - lowX) / 2, r, r};
    EXPECT_NEAR(radius, sqrtf(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]), kTolerance);
}

// Baking keeps normals at right angles to the surface under an uneven scale.
TEST_F(Motion, BakedNormalsStayPerpendicularUnderUnevenScale)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"slope");
    const float s = 1.0f / sqrtf(2.0f);
    tagTRVXVERTEX chip[3] = {};
    chip[0].position = TRVXVECTOR{0.0f, 0.0f, 0.0f, 0.0f};
    chip[1].position = TRVXVECTOR{1.0f, -1.0f, 0.0f, 0.0f};
    chip[2].position = TRVXVECTOR{0.0f, 0.0f, 1.0f, 0.0f};
    for (tagTRVXVERTEX &v : chip)
        v.normal = TRVXVECTOR{s, s, 0.0f, 0.0f}; // the plane x + y = 0
    TRVXL_SetChip(ctx, layer, 1, chip, 0);
    TRVXVECTOR scale = {4.0f, 1.0f, 1.0f, 0.0f};
    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, &scale, 0, 0);
    TRVXL_FixLayer(ctx, layer, 273);
    const tagTRVXVERTEX &v = layer->vertices[1];
    EXPECT_NEAR(v.position.x, 4.0f, kTolerance);
    float dot = v.position.x * v.normal.x + v.position.y * v.normal.y + v.position.z * v.normal.z;
    EXPECT_NEAR(dot, 0.0f, kTolerance);
    EXPECT_NEAR(sqrtf(v.normal.x * v.normal.x + v.normal.y * v.normal.y + v.normal.z * v.normal.z), 1.0f, kTolerance);
    EXPECT_GT(v.normal.y, 0.0f);
}

TEST_F(Motion, MirroredNormalsKeepTheirSide)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"floor");
    tagTRVXVERTEX chip[3] = {};
    chip[1].position.x = 1.0f;
    chip[2].position.z = 1.0f;
    for (tagTRVXVERTEX &v : chip)
        v.normal.y = 1.0f;
    TRVXL_SetChip(ctx, layer, 1, chip, 0);
    TRVXVECTOR mirror = {-1.0f, 1.0f, 1.0f, 0.0f};
    TRVXL_MoveLayer(ctx, layer, nullptr, nullptr, &mirror, 0, 0);
    TRVXL_FixLayer(ctx, layer, 273);
    EXPECT_NEAR(layer->vertices[0].normal.y, 1.0f, kTolerance);
    EXPECT_NEAR(layer->vertices[1].position.x, -1.0f, kTolerance);
}
