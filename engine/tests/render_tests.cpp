// Camera, lights and the frame: culling against the view cone, the five draw lists and the command
// traffic of a rendered frame.
#include "test_support.h"

#include <math.h>

#include <algorithm>

namespace {

class RenderTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        tagTRVXCAMERA camera = {};
        TRVX_Set3D(&camera.target, 0, 0, 1, 0);
        TRVX_Set3D(&camera.up, 0, 1, 0, 0);
        TRVX_SetCamera(ctx, &camera);
    }

    // A layer as evaluation leaves it: a world sphere and some geometry.
    TRVXLAYER layer(float x, float y, float z, float radius, int faces = 1, TRVXLAYER parent = nullptr)
    {
        TRVXLAYER l = TRVXL_CreateLayer(ctx, parent ? parent : ctx->rootLayer, nullptr);
        TRVX_Set3D(&l->worldCentre, x, y, z, 0);
        l->worldRadius = radius;
        l->vertexCount = 3;
        l->faceCount = faces;
        return l;
    }

    // A point straight ahead at `degrees` off the view direction, at distance d.
    TRVXLAYER layer_at_angle(float degrees, float d, float radius)
    {
        float a = degrees * 3.1415927f / 180.0f;
        return layer(d * sinf(a), 0, d * cosf(a), radius);
    }

    void collect()
    {
        ASSERT_EQ(TRVX_RenderingEx(ctx, 0, ctx->rootLayer, 3, 0), 1u);
    }

    static std::vector<TRVXLAYER> entries(const tagTRVXDRAWLIST &list)
    {
        std::vector<TRVXLAYER> layers;
        for (int i = 1; i < list.count - 1; ++i)
            layers.push_back(list.entries[i].layer);
        return layers;
    }

    // The layers handed to the driver for drawing, in order.
    std::vector<TRVXLAYER> drawn() const
    {
        std::vector<TRVXLAYER> layers;
        for (const RecordedCommand &c : driver.commands())
            if (c.command == TRVXCMD_LAYER_DRAW)
                layers.push_back((TRVXLAYER)c.p2);
        return layers;
    }

    bool listed(TRVXLAYER l) const
    {
        for (const tagTRVXDRAWLIST *list : {&ctx->opaqueList, &ctx->sortedList, &ctx->pointList, &ctx->frontList,
                                            &ctx->backList})
            for (int i = 1; i < list->count - 1; ++i)
                if (list->entries[i].layer == l)
                    return true;
        return false;
    }
};

} // namespace

TEST_F(RenderTest, SetCameraCopiesAndReturnsTheContextsRecord)
{
    tagTRVXCAMERA camera = {};
    camera.lens = 35;
    camera.farZ = 500;
    EXPECT_EQ(TRVX_SetCamera(ctx, &camera), &ctx->camera);
    EXPECT_EQ(ctx->camera.lens, 35);
    EXPECT_EQ(TRVX_SetCamera(ctx, nullptr), &ctx->camera);
    EXPECT_EQ(ctx->camera.farZ, 500);
}

TEST_F(RenderTest, ShiftMovesEyeAndTargetAlongTheHeading)
{
    tagTRVXCAMERA camera = {};
    TRVX_Set3D(&camera.eye, 10, 5, 0, 0);
    TRVX_Set3D(&camera.target, 20, 0, 0, 0); // facing +X
    TRVXVECTOR ahead = {0, 0, 1, 0};
    EXPECT_EQ(TRVX_CalcShiftCamera(ctx, &camera, &ahead), 0);
    EXPECT_NEAR(ahead.x, 1, 1e-5);
    EXPECT_NEAR(ahead.z, 0, 1e-5);
    EXPECT_NEAR(camera.eye.x, 11, 1e-5);
    EXPECT_NEAR(camera.target.x, 21, 1e-5);
    TRVXVECTOR right = {1, 0, 0, 0}; // facing +X, the right hand points to -Z
    TRVX_CalcShiftCamera(ctx, &camera, &right);
    EXPECT_NEAR(camera.eye.z, -1, 1e-5);

    TRVX_Set3D(&camera.target, camera.eye.x - 5, 0, camera.eye.z, 0); // facing -X: a negative heading
    TRVXVECTOR up = {0, 2, 1, 0};
    TRVX_CalcShiftCamera(ctx, &camera, &up);
    EXPECT_NEAR(up.x, -1, 1e-5);
    EXPECT_NEAR(up.y, 2, 1e-5);
    EXPECT_NEAR(camera.eye.y, 7, 1e-5);

    TRVX_Set3D(&camera.target, camera.eye.x, 100, camera.eye.z, 0); // straight up: no heading at all
    TRVXVECTOR plain = {0, 0, 1, 0};
    TRVX_CalcShiftCamera(ctx, &camera, &plain);
    EXPECT_NEAR(plain.z, 1, 1e-6);
    EXPECT_NEAR(plain.x, 0, 1e-6);
}

TEST_F(RenderTest, RollTurnsTheViewOrOrbitsTheTarget)
{
    tagTRVXCAMERA camera = {};
    TRVX_Set3D(&camera.eye, 1, 2, 3, 0);
    TRVX_Set3D(&camera.target, 1, 2, 8, 0);
    TRVX_Set3D(&camera.up, 0, 1, 0, 0);
    float angles[2] = {0, 90};
    EXPECT_EQ(TRVX_CalcRollCamera(ctx, &camera, angles, 1 | 0x40000000), 1);
    EXPECT_NEAR(camera.target.x, 6, 1e-5); // eye + (|d|, 0, 0)
    EXPECT_NEAR(camera.target.y, 2, 1e-5);
    EXPECT_NEAR(camera.target.z, 3, 1e-5);
    EXPECT_EQ(camera.eye.x, 1);

    // Orbiting keeps the target and the distance; relative angles add up.
    TRVX_Set3D(&camera.target, 0, 0, 0, 0);
    TRVX_Set3D(&camera.eye, 0, 0, -10, 0);
    float quarter[2] = {0, 45};
    TRVX_CalcRollCamera(ctx, &camera, quarter, 2);
    TRVX_CalcRollCamera(ctx, &camera, quarter, 2);
    EXPECT_EQ(camera.target.x, 0);
    EXPECT_NEAR(camera.eye.x, 10, 1e-4); // eye - target = (0, 0, -10) turned by -90 about Y
    EXPECT_NEAR(camera.eye.z, 0, 1e-4);

    // Bit 31 turns the up vector's horizontal part too, its height stays.
    TRVX_Set3D(&camera.eye, 0, 0, 0, 0);
    TRVX_Set3D(&camera.target, 0, 0, 5, 0);
    TRVX_Set3D(&camera.up, 1, 0.5f, 0, 0);
    float turn[2] = {0, 90};
    TRVX_CalcRollCamera(ctx, &camera, turn, 1 | 0x80000000u);
    EXPECT_NEAR(camera.up.x, 0, 1e-5);
    EXPECT_NEAR(camera.up.z, -1, 1e-5);
    EXPECT_EQ(camera.up.y, 0.5f);

    // With bit 30 too, the up vector's horizontal part is laid along X first, on the side SignAngle
    // gives, then turned: SignAngle 1 keeps it positive in mode 1 ...
    TRVX_Set3D(&camera.eye, 0, 0, 0, 0);
    TRVX_Set3D(&camera.target, 0, 0, 5, 0);
    TRVX_Set3D(&camera.up, 0.6f, 0.8f, 0, 0);
    TRVX_CalcRollCamera(ctx, &camera, turn, 1 | 0x40000000 | 0x80000000u);
    EXPECT_NEAR(camera.up.x, 0, 1e-5);
    EXPECT_NEAR(camera.up.z, -0.6f, 1e-5);
    EXPECT_EQ(camera.up.y, 0.8f);
    TRVX_Set3D(&camera.eye, 0, 0, -5, 0);
    TRVX_Set3D(&camera.target, 0, 0, 0, 0);
    TRVX_Set3D(&camera.up, 0.6f, 0.8f, 0, 0);
    TRVX_CalcRollCamera(ctx, &camera, turn, 2 | 0x40000000 | 0x80000000u);
    EXPECT_NEAR(camera.up.x, 0, 1e-5); // ... and SignAngle -1 makes it positive in mode 2,
    EXPECT_NEAR(camera.up.z, 0.6f, 1e-5); // turned by -90 degrees

    tagTRVXCAMERA before = camera;
    EXPECT_EQ(TRVX_CalcRollCamera(ctx, &camera, turn, 3), 0);
    EXPECT_EQ(memcmp(&before, &camera, sizeof camera), 0);
}

TEST_F(RenderTest, LightsKeepTheirKindsApart)
{
    tagTRVXLIGHT ambient = {};
    ambient.kind = TRVX_LIGHT_AMBIENT;
    ambient.diffuse = 0x505050;
    tagTRVXLIGHT sun = {};
    sun.kind = TRVX_LIGHT_DIRECTIONAL;
    TRVX_Set3D(&sun.direction, -1, -1, 2, 0);

    EXPECT_EQ(TRVX_SetLight(ctx, 0, &ambient), 1);
    EXPECT_EQ(TRVX_SetLight(ctx, 0, &sun), 0);
    EXPECT_EQ(ctx->lights[0].kind, TRVX_LIGHT_AMBIENT);
    EXPECT_EQ(ctx->lights[0].diffuse, 0x505050u);
    EXPECT_EQ(TRVX_SetLight(ctx, 1, &ambient), 0);
    EXPECT_EQ(TRVX_SetLight(ctx, 6, &sun), 1);
    EXPECT_EQ(ctx->lights[6].direction.z, 2);
    EXPECT_EQ(TRVX_SetLight(ctx, 7, &sun), 0);
    EXPECT_EQ(TRVX_SetLight(ctx, -1, &sun), 0);
    EXPECT_EQ(TRVX_SetLight(ctx, 6, nullptr), 1);
    EXPECT_EQ(ctx->lights[6].kind, TRVX_LIGHT_OFF);
    EXPECT_EQ(ctx->lights[6].direction.z, 0);

    EXPECT_EQ(TRVX_SetFog(ctx, 100, 900, 0x808080), 1);
    EXPECT_EQ(ctx->fogStart, 100);
    EXPECT_EQ(ctx->fogEnd, 900);
    EXPECT_EQ(ctx->fogColour, 0x808080u);
}

TEST_F(RenderTest, TransparentLayersAreDrawnFarthestFirstAfterTheOpaqueOnes)
{
    TRVXLAYER glassNear = layer(0, 0, 10, 1);
    TRVXLAYER wall = layer(0, 0, 50, 1);
    TRVXLAYER glassFar = layer(0, 0, 20, 1);
    TRVXLAYER floor = layer(0, 0, 5, 1);
    glassNear->renderClass = glassFar->renderClass = TRVX_CLASS_TRANSPARENT;
    collect();
    EXPECT_EQ(entries(ctx->opaqueList), std::vector<TRVXLAYER>({wall, floor})); // collection order
    EXPECT_EQ(entries(ctx->sortedList), std::vector<TRVXLAYER>({glassNear, glassFar}));
    EXPECT_EQ(ctx->sortedList.entries[0].key, 0);
    EXPECT_EQ(ctx->sortedList.entries[3].key, 3.4028235e38f); // no far distance
    EXPECT_EQ(glassFar->sortKey.z, 20);
    driver.clear();
    EXPECT_EQ(TRVX_RenderingEx(ctx, 0, nullptr, 11, 0), 1u);
    EXPECT_EQ(TRVX_RenderingEx(ctx, 0, nullptr, 12, 0), 1u);
    EXPECT_EQ(drawn(), std::vector<TRVXLAYER>({wall, floor, glassFar, glassNear}));
    EXPECT_EQ(ctx->layersDrawn, 4);
    EXPECT_EQ(ctx->facesDrawn, 4);
    EXPECT_EQ(ctx->verticesDrawn, 12);
    EXPECT_FLOAT_EQ(ctx->frameDepth, 52);
}

TEST_F(RenderTest, SortedListsStayInKeyOrderAsTheyGrow)
{
    std::vector<TRVXLAYER> made;
    for (int i = 0; i < 300; ++i) {
        made.push_back(layer(0, 0, (float)((i * 37) % 101) + 1, 0.5f));
        made.back()->renderClass = TRVX_CLASS_STAGE_SORTED;
    }
    collect();
    ASSERT_EQ(ctx->sortedList.count, 302);
    for (int i = 2; i < 301; ++i)
        ASSERT_LE(ctx->sortedList.entries[i - 1].key, ctx->sortedList.entries[i].key);
    // Of equal keys the later collected stands first, as a halving insert before the first
    // not-smaller key puts it; drawing backwards then draws them in collection order.
    EXPECT_EQ(ctx->sortedList.entries[1].layer, made[101 * 2]);
    EXPECT_EQ(ctx->sortedList.entries[2].layer, made[101]);
    EXPECT_EQ(ctx->sortedList.entries[3].layer, made[0]);
    collect();
    EXPECT_EQ(ctx->sortedList.count, 302); // a new frame starts from the sentinels again
}

TEST_F(RenderTest, NearAndFarLimitsOfALayer)
{
    TRVXLAYER atFar = layer(0, 0, 100, 1);
    atFar->farLimit = 100;
    TRVXLAYER belowFar = layer(0, 0, 99.5f, 1);
    belowFar->farLimit = 100;
    TRVXLAYER atNear = layer(0, 0, 30, 1);
    atNear->nearLimit = 30;
    TRVXLAYER tooNear = layer(0, 0, 29, 1);
    tooNear->nearLimit = 30;
    collect();
    EXPECT_FALSE(listed(atFar));
    EXPECT_TRUE(listed(belowFar));
    EXPECT_TRUE(listed(atNear));
    EXPECT_FALSE(listed(tooNear));
}

TEST_F(RenderTest, ViewConeAndFarDistanceCull)
{
    // 640 x 480 and the default lens: half-angle atan(400 / 240 * 0.35) = 30.26 degrees.
    TRVXLAYER inside = layer_at_angle(25, 100, 0.01f);
    TRVXLAYER outside = layer_at_angle(35, 100, 0.01f);
    TRVXLAYER reaching = layer_at_angle(35, 100, 10); // asin(0.1) = 5.74 degrees more
    TRVXLAYER behind = layer(0, 0, -100, 10);
    TRVXLAYER around = layer(0, 0, -5, 6); // the eye is inside its sphere
    collect();
    EXPECT_TRUE(listed(inside));
    EXPECT_FALSE(listed(outside));
    EXPECT_TRUE(listed(reaching));
    EXPECT_FALSE(listed(behind));
    EXPECT_TRUE(listed(around));

    // A longer lens narrows the cone; the clip rectangle sets its shape.
    ctx->camera.lens = 100;
    collect();
    EXPECT_FALSE(listed(inside));
    ctx->camera.lens = 0;
    RECT narrow = {0, 0, 100, 480};
    TRVX_ClipViewPort(ctx, 0, &narrow);
    collect();
    EXPECT_FALSE(listed(reaching)); // atan(245 / 240 * 0.35) = 19.7 degrees
    EXPECT_TRUE(listed(around));

    ctx->camera.farZ = 50;
    TRVXLAYER farOut = layer(0, 0, 60, 5);
    TRVXLAYER farIn = layer(0, 0, 60, 15);
    collect();
    EXPECT_FALSE(listed(farOut));
    EXPECT_TRUE(listed(farIn));
    EXPECT_EQ(ctx->cullDistance, 50);
    EXPECT_EQ(ctx->opaqueList.entries[ctx->opaqueList.count - 1].key, 50);
}

TEST_F(RenderTest, SwitchesAndTransparencyDecideWhichSubtreesAreWalked)
{
    TRVXLAYER off = layer(0, 0, 10, 1);
    TRVXLAYER underOff = layer(0, 0, 10, 1, 1, off);
    off->switchFlags = 0;
    TRVXLAYER evaluated = layer(0, 0, 10, 1);
    evaluated->switchFlags = TRVX_SWITCH_EVALUATED;
    TRVXLAYER hidden = layer(0, 0, 10, 1);
    hidden->switchFlags = TRVX_SWITCH_ON | TRVX_SWITCH_HIDDEN;
    TRVXLAYER invisible = layer(0, 0, 10, 1);
    invisible->transparency = 255;
    TRVXLAYER group = layer(0, 0, 10, 1);
    group->vertexCount = 0;
    TRVXLAYER inGroup = layer(0, 0, 10, 1, 1, group);
    TRVXLAYER lamp = layer(0, 0, 30, 1, 0);
    lamp->pointSize = 4;
    TRVXLAYER nothing = layer(0, 0, 10, 1, 0);
    TRVX_Set3D(&nothing->sortKey, 1, 2, 3, 4);
    collect();
    EXPECT_FALSE(listed(off));
    EXPECT_FALSE(listed(underOff));
    EXPECT_TRUE(listed(evaluated));
    EXPECT_FALSE(listed(hidden));
    EXPECT_FALSE(listed(invisible));
    EXPECT_FALSE(listed(group));
    EXPECT_TRUE(listed(inGroup));
    EXPECT_EQ(entries(ctx->pointList), std::vector<TRVXLAYER>({lamp}));
    EXPECT_FALSE(listed(nothing));
    EXPECT_EQ(nothing->sortKey.x, 0); // visited: its sort data is cleared

    driver.clear();
    TRVX_RenderingEx(ctx, 0, nullptr, 23, 0);
    EXPECT_EQ(ctx->layersDrawn, 1);
    EXPECT_EQ(ctx->facesDrawn, 0); // points add no faces
    EXPECT_EQ(ctx->verticesDrawn, 3);
}

TEST_F(RenderTest, OverlaysGoByTheirDepthKey)
{
    std::vector<TRVXLAYER> overlays;
    for (float key : {-1.0f, 0.5f, 0.0f, 2.0f, 1.0f, 2.5f, -0.5f}) {
        overlays.push_back(layer(100, 100, key, 8));
        overlays.back()->attributes = TRVX_ATTR_OVERLAY;
    }
    collect();
    EXPECT_EQ(entries(ctx->frontList), std::vector<TRVXLAYER>({overlays[0], overlays[6], overlays[2]}));
    EXPECT_EQ(entries(ctx->backList), std::vector<TRVXLAYER>({overlays[4], overlays[3]}));
    EXPECT_FALSE(listed(overlays[1])); // 0.5 lies between the two ranges
    EXPECT_FALSE(listed(overlays[5]));
    EXPECT_EQ(overlays[3]->sortKey.x, 100);
    EXPECT_EQ(overlays[3]->sortRadius, 8);
    EXPECT_EQ(ctx->frontList.entries[ctx->frontList.count - 1].key, 1);
    EXPECT_EQ(ctx->frameDepth, 1); // overlays do not widen the depth range

    driver.clear();
    TRVX_RenderingEx(ctx, 0, nullptr, 21, 0);
    EXPECT_EQ(drawn(), std::vector<TRVXLAYER>({overlays[2], overlays[6], overlays[0]})); // key 0 first
}

TEST_F(RenderTest, RenderingRunsTheStepsInOrderAndRefusedDrawsAreNotCounted)
{
    TRVXLAYER back = layer(0, 0, 1.5f, 1);
    back->attributes = TRVX_ATTR_OVERLAY;
    TRVXLAYER solid = layer(0, 0, 10, 1);
    TRVXLAYER glass = layer(0, 0, 12, 1);
    glass->renderClass = TRVX_CLASS_TRANSPARENT;
    TRVXLAYER lamp = layer(0, 0, 14, 1, 0);
    lamp->pointSize = 1;
    TRVXLAYER front = layer(0, 0, -0.5f, 1);
    front->attributes = TRVX_ATTR_OVERLAY;
    driver.clear();
    EXPECT_EQ(TRVX_Rendering(ctx, 0, ctx->rootLayer, 0x112233), 1);
    EXPECT_EQ(driver.numbers(), std::vector<int>({81, 84, 85, 83, 85, 85, 85, 84, 85, 82}));
    EXPECT_EQ(drawn(), std::vector<TRVXLAYER>({back, solid, glass, lamp, front}));
    EXPECT_EQ(driver.commands()[0].p2, 0x112233u);
    EXPECT_EQ(ctx->layersDrawn, 5);

    driver.answer(TRVXCMD_LAYER_DRAW, 0);
    EXPECT_EQ(TRVX_Rendering(ctx, 0, ctx->rootLayer, (DWORD)-1), 1);
    EXPECT_EQ(ctx->layersDrawn, 0);
    EXPECT_EQ(ctx->facesDrawn, 0);
    EXPECT_EQ(TRVX_RenderingEx(ctx, 0, nullptr, 11, 0), 0u);

    driver.answer(TRVXCMD_SCENE_BEGIN, 7);
    EXPECT_EQ(TRVX_RenderingEx(ctx, 0, nullptr, 1, 0), 7u);
    EXPECT_EQ(TRVX_RenderingEx(ctx, 0, nullptr, 4, 0), 0u);

    driver.clear();
    EXPECT_EQ(TRVX_Rendering(ctx, 1, ctx->rootLayer, 0), 0);
    EXPECT_EQ(TRVX_Rendering(ctx, -1, ctx->rootLayer, 0), 0);
    EXPECT_EQ(TRVX_RenderingEx(ctx, 1, ctx->rootLayer, 1, 0), 0u);
    EXPECT_TRUE(driver.numbers().empty());
}

TEST_F(RenderTest, EmptyFrameKeepsBothSentinels)
{
    collect();
    for (const tagTRVXDRAWLIST *list : {&ctx->opaqueList, &ctx->sortedList, &ctx->pointList, &ctx->frontList,
                                        &ctx->backList})
        EXPECT_EQ(list->count, 2);
    EXPECT_EQ(ctx->frameDepth, 1);
}

TEST_F(RenderTest, DeepChainsAreWalkedWithoutExhaustingTheStack)
{
    TRVXLAYER parent = ctx->rootLayer, last = nullptr;
    for (int i = 0; i < 100000; ++i)
        parent = last = layer(0, 0, 10 + i * 0.001f, 1, 1, parent);
    collect();
    EXPECT_EQ(ctx->opaqueList.count, 100002);
    EXPECT_EQ(ctx->opaqueList.entries[100000].layer, last);
    RECT bigger = {0, 0, 800, 600};
    EXPECT_NE(TRVX_ViewPort(ctx, 0, &bigger), 0); // drops and rebuilds every layer's buffers
}

TEST_F(RenderTest, LongOverlayListsSortNegativeKeysAndBothZerosAsShortOnes)
{
    // Enough front overlays for the long-list sort: keys from -1 to 0, each one many times, and
    // both zeros, which compare equal and so keep the collection rule among themselves.
    std::vector<TRVXLAYER> made;
    for (int i = 0; i < 600; ++i) {
        float key = i % 3 == 0 ? (i % 2 ? -0.0f : 0.0f) : -(float)(i % 50) / 49.0f;
        made.push_back(layer(100, 100, key, 1));
        made.back()->attributes = TRVX_ATTR_OVERLAY;
    }
    collect();
    ASSERT_EQ(ctx->frontList.count, 602);
    // The order of a stable sort of the reversed collection order by key.
    std::vector<TRVXLAYER> expected(made.rbegin(), made.rend());
    std::stable_sort(expected.begin(), expected.end(),
                     [](TRVXLAYER a, TRVXLAYER b) { return a->worldCentre.z < b->worldCentre.z; });
    EXPECT_EQ(entries(ctx->frontList), expected);
}

TEST_F(RenderTest, ALayerThatLeavesTheViewLosesLastFramesSortKey)
{
    TRVXLAYER ahead = layer(0, 0, 30, 1);
    collect();
    EXPECT_EQ(ahead->sortKey.z, 30);
    TRVX_Set3D(&ahead->worldCentre, 0, 0, -30, 0); // behind the camera now
    collect();
    EXPECT_FALSE(listed(ahead));
    EXPECT_EQ(ahead->sortKey.z, 0);
    EXPECT_EQ(ahead->sortRadius, 0);
    ahead->attributes = TRVX_ATTR_OVERLAY;
    TRVX_Set3D(&ahead->worldCentre, 5, 6, -0.5f, 0);
    ahead->worldRadius = 7;
    collect();
    EXPECT_EQ(ahead->sortKey.x, 5);
    EXPECT_EQ(ahead->sortRadius, 7);
}
