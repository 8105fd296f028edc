// Layer geometry: faces, vertices and bounds, welding chips, flat and smooth normals, texture
// stages with their use counts and planar coordinates, and the three freezes.
#include "test_support.h"

#include <math.h>
#include <string.h>
#include <utility>

namespace {

tagTRVXVERTEX vertex(float x, float y, float z, float nx = 0.0f, float ny = 0.0f, float nz = 1.0f)
{
    tagTRVXVERTEX v = {};
    v.position = TRVXVECTOR{x, y, z, 0.0f};
    v.normal = TRVXVECTOR{nx, ny, nz, 0.0f};
    return v;
}

// A unit cube around the origin as 12 chips wound outwards, every corner with normal (0, 0, 1).
std::vector<tagTRVXVERTEX> cube_chips()
{
    static const int kQuads[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    std::vector<tagTRVXVERTEX> chips;
    for (const int *q : kQuads) {
        tagTRVXVERTEX c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = vertex(q[k] & 1 ? 0.5f : -0.5f, q[k] & 2 ? 0.5f : -0.5f, q[k] & 4 ? 0.5f : -0.5f);
        TRVXVECTOR n;
        TRVX_Normal3D(&n, &c[0].position, &c[1].position, &c[2].position);
        float outwards = (c[0].position.x + c[2].position.x) * n.x + (c[0].position.y + c[2].position.y) * n.y +
                         (c[0].position.z + c[2].position.z) * n.z;
        if (outwards < 0.0f)
            std::swap(c[1], c[3]);
        chips.insert(chips.end(), {c[0], c[1], c[2], c[0], c[2], c[3]});
    }
    return chips;
}

class Geometry : public EngineTest {
protected:
    TRVXLAYER make(TRVXLAYER parent, const wchar_t *name) { return TRVXL_CreateLayer(ctx, parent, name); }

    // A square of side 2 in the x-y plane around (cx, cy), two faces.
    TRVXLAYER square(TRVXLAYER parent, float cx = 0.0f, float cy = 0.0f)
    {
        TRVXLAYER layer = make(parent, L"square");
        tagTRVXVERTEX chips[6] = {vertex(cx - 1, cy - 1, 0), vertex(cx + 1, cy - 1, 0), vertex(cx + 1, cy + 1, 0),
                                  vertex(cx - 1, cy - 1, 0), vertex(cx + 1, cy + 1, 0), vertex(cx - 1, cy + 1, 0)};
        TRVXL_SetChip(ctx, layer, 2, chips, 1);
        return layer;
    }

    tagTRVXSTAGE stage_of(int slot, uint32_t blend = 0x101, int mapping = 0)
    {
        tagTRVXSTAGE stage = {};
        stage.texture = slot;
        stage.blend = blend;
        stage.mapping = mapping;
        return stage;
    }

    int builds(TRVXLAYER layer)
    {
        int n = 0;
        for (const RecordedCommand &c : driver.commands())
            n += c.command == 20 && c.p1 == (DWORD_PTR)layer;
        return n;
    }
};

} // namespace

TEST_F(Geometry, FacesAndVerticesReuseBlocksOfTheSameCount)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    tagTRVXFACE faces[2] = {{{0, 1, 2}}, {{2, 1, 0}}};
    driver.clear();
    EXPECT_EQ(TRVXL_SetFace(ctx, layer, 2, faces), 1);
    EXPECT_EQ(driver.numbers(), std::vector<int>{}); // there was no block to drop
    tagTRVXFACE *block = layer->faces;
    faces[1].index[0] = 7;
    TRVXL_SetFace(ctx, layer, 2, faces);
    EXPECT_EQ(layer->faces, block);
    EXPECT_EQ(layer->faces[1].index[0], 7);
    EXPECT_EQ(driver.numbers(), std::vector<int>{});
    TRVXL_SetFace(ctx, layer, 1, faces);
    EXPECT_EQ(layer->faceCount, 1);
    EXPECT_EQ(driver.numbers(), std::vector<int>{21});
    TRVXL_SetFace(ctx, layer, 0, faces);
    EXPECT_EQ(layer->faces, nullptr);
    EXPECT_EQ(driver.numbers(), (std::vector<int>{21, 21}));

    tagTRVXVERTEX box[3] = {vertex(-1, 0, 2), vertex(3, 4, 2), vertex(1, -2, 2)};
    layer->worldRadius = 9.0f;
    layer->sortRadius = 9.0f;
    TRVXL_SetVertex(ctx, layer, 3, box);
    EXPECT_EQ(layer->localCentre[0], 1.0f);
    EXPECT_EQ(layer->localCentre[1], 1.0f);
    EXPECT_EQ(layer->localCentre[2], 2.0f);
    EXPECT_EQ(layer->localHalf[0], 2.0f);
    EXPECT_EQ(layer->localHalf[1], 3.0f);
    EXPECT_EQ(layer->localHalf[2], 0.0f);
    EXPECT_NEAR(layer->localRadius, sqrtf(13.0f), 1e-6f);
    EXPECT_EQ(layer->worldRadius, 0.0f);
    EXPECT_EQ(layer->sortRadius, 0.0f);
}

TEST_F(Geometry, OneVertexIsAPointSizedByPointSize)
{
    TRVXLAYER point = make(ctx->rootLayer, L"point");
    point->pointSize = 2.0f;
    tagTRVXVERTEX v = vertex(5, 6, 7);
    TRVXL_SetVertex(ctx, point, 1, &v);
    EXPECT_EQ(point->localCentre[0], 5.0f);
    EXPECT_EQ(point->localHalf[0], 1.0f);
    EXPECT_EQ(point->localHalf[2], 1.0f);
    EXPECT_NEAR(point->localRadius, 2.0f * sqrtf(3.0f), 1e-6f);
}

TEST_F(Geometry, ChipsWeldOnPositionAndNormalOnly)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    tagTRVXVERTEX chips[6] = {vertex(0, 0, 0), vertex(1, 0, 0), vertex(1, 1, 0),
                              vertex(0, 0, 0), vertex(1, 1, 0), vertex(0, 1, 0)};
    chips[3].u[0] = 0.75f; // texture coordinates are not compared
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 2, chips, 1), 4);
    EXPECT_EQ(layer->faceCount, 2);
    EXPECT_EQ(layer->faces[1].index[0], 0);
    EXPECT_EQ(layer->faces[1].index[1], 2);
    EXPECT_EQ(layer->faces[1].index[2], 3);
    EXPECT_EQ(layer->vertices[0].u[0], 0.0f); // the first of equal vertices stays
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 2, chips, 0), 6);
    EXPECT_EQ(layer->faces[1].index[2], 5);

    chips[3].normal = TRVXVECTOR{0.0f, 1.0f, 0.0f, 0.0f};
    chips[4].position.x = 1.000001f; // below the weld precision
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 2, chips, 1), 5);

    driver.clear();
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 0, chips, 1), 0);
    EXPECT_EQ(layer->faceCount + layer->vertexCount, 0);
    EXPECT_EQ(driver.numbers(), (std::vector<int>{21, 22}));
}

TEST_F(Geometry, MoreVerticesThanFacesCanIndexAreRefused)
{
    TRVXLAYER layer = square(ctx->rootLayer);
    std::vector<tagTRVXVERTEX> many(65540, vertex(0, 0, 0));
    for (size_t i = 0; i < many.size(); ++i)
        many[i].position.x = (float)i;
    EXPECT_EQ(TRVXL_SetVertex(ctx, layer, 65537, many.data()), 0);
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 21846, many.data(), 0), 0);
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 21846, many.data(), 1), 0);
    EXPECT_EQ(layer->vertexCount, 4);
    EXPECT_EQ(layer->faceCount, 2);
    EXPECT_EQ(TRVXL_SetChip(ctx, layer, 21845, many.data(), 0), 65535);
}

TEST_F(Geometry, FlatNormalsGiveACube24Vertices)
{
    TRVXLAYER cube = make(ctx->rootLayer, L"cube");
    TRVXLAYER child = make(cube, L"child");
    std::vector<tagTRVXVERTEX> chips = cube_chips();
    TRVXL_SetChip(ctx, cube, 12, chips.data(), 1);
    EXPECT_EQ(cube->vertexCount, 8);
    driver.clear();
    EXPECT_EQ(TRVXL_SmoothLayer(ctx, cube, 0, 0.0f, 1), 1);
    EXPECT_EQ(cube->vertexCount, 24);
    EXPECT_EQ(cube->faceCount, 12);
    for (int i = 0; i < cube->vertexCount; ++i) {
        const TRVXVECTOR &n = cube->vertices[i].normal;
        EXPECT_NEAR(fabsf(n.x) + fabsf(n.y) + fabsf(n.z), 1.0f, 1e-6f); // along an axis
        const TRVXVECTOR &p = cube->vertices[i].position;
        EXPECT_GT(p.x * n.x + p.y * n.y + p.z * n.z, 0.0f); // pointing outwards
    }
    EXPECT_EQ(builds(cube), 1);
    EXPECT_EQ(builds(child), 1);

    // A face that names a vertex the layer does not have is left out.
    cube->faces[0].index[2] = 500;
    TRVXL_SmoothLayer(ctx, cube, 0, 0.0f, 1);
    EXPECT_EQ(cube->faceCount, 11);
}

TEST_F(Geometry, SmoothNormalsAverageByCornerAngle)
{
    TRVXLAYER cube = make(ctx->rootLayer, L"cube");
    std::vector<tagTRVXVERTEX> chips = cube_chips();
    TRVXL_SetChip(ctx, cube, 12, chips.data(), 0);
    TRVXL_SmoothLayer(ctx, cube, 0, 0.0f, 1);
    EXPECT_EQ(TRVXL_SmoothLayer(ctx, cube, 1, 0.01f, 1), 1);
    EXPECT_EQ(cube->vertexCount, 8); // one normal per corner of the cube, so one vertex each
    for (int i = 0; i < cube->vertexCount; ++i) {
        const tagTRVXVERTEX &v = cube->vertices[i];
        float expected = 1.0f / sqrtf(3.0f);
        EXPECT_NEAR(v.normal.x, v.position.x > 0 ? expected : -expected, 1e-5f);
        EXPECT_NEAR(v.normal.z, v.position.z > 0 ? expected : -expected, 1e-5f);
    }

    TRVXLAYER empty = make(ctx->rootLayer, L"empty");
    EXPECT_EQ(TRVXL_SmoothLayer(ctx, empty, 1, 0.01f, 1), 0);
    TRVXL_SwitchLayer(ctx, cube, 0);
    EXPECT_EQ(TRVXL_SmoothLayer(ctx, cube, 1, 0.01f, 1), 0);
}

TEST_F(Geometry, SmoothingASubtreeSharesNormalsAcrossLayersAndKeepsModes)
{
    TRVXLAYER group = make(ctx->rootLayer, L"group");
    TRVXLAYER left = square(group, -1.0f), right = square(group, 1.0f);
    // Tilt the two halves into a roof along x = 0.
    for (TRVXLAYER layer : {left, right})
        for (int i = 0; i < layer->vertexCount; ++i) {
            tagTRVXVERTEX &v = layer->vertices[i];
            v.position.z = -fabsf(v.position.x);
        }
    TRVXL_SmoothLayer(ctx, group, 16, 0.0f, 1);
    right->mode = TRVX_MODE_LINES;
    EXPECT_EQ(TRVXL_SmoothLayer(ctx, group, 17, 0.01f, 1), 1);
    EXPECT_EQ(right->mode, TRVX_MODE_LINES);
    for (int i = 0; i < left->vertexCount; ++i) {
        const tagTRVXVERTEX &v = left->vertices[i];
        if (v.position.x == 0.0f) {
            EXPECT_NEAR(v.normal.x, 0.0f, 1e-6f); // the ridge shares both halves' normals
            EXPECT_NEAR(v.normal.z, 1.0f, 1e-6f);
        }
    }
}

TEST_F(Geometry, TextureStagesCountUsesAndSetTheMode)
{
    TRVXLAYER layer = square(ctx->rootLayer);
    TRVXLAYER child = make(layer, L"child");
    int a = TRVX_CreateTexture(ctx, 8, 8, 0), b = TRVX_CreateTexture(ctx, 8, 8, 1);
    ctx->textures[b].hasAlpha = 1;
    tagTRVXSTAGE stage = stage_of(a);
    EXPECT_EQ(TRVXL_TextureLayer(ctx, layer, 0, &stage), 1);
    EXPECT_EQ(ctx->textures[a].useCount, 3);
    EXPECT_EQ(layer->mode, 0x80340001u);
    EXPECT_EQ(layer->stages[0].owner, nullptr); // the record belongs to no layer: words 1-5 only
    TRVXL_TextureLayer(ctx, layer, 0, &stage);
    EXPECT_EQ(ctx->textures[a].useCount, 3);

    stage = stage_of(b, 0x101 | TRVX_STAGE_SORTED);
    stage.owner = child;
    stage.size.x = 9.0f;
    TRVXL_TextureLayer(ctx, layer, 0, &stage);
    EXPECT_EQ(ctx->textures[a].useCount, 1);
    EXPECT_EQ(ctx->textures[b].useCount, 3);
    EXPECT_EQ(layer->stages[0].size.x, 0.0f);
    EXPECT_EQ(child->stages[0].size.x, 9.0f);
    EXPECT_EQ(layer->renderClass, TRVX_CLASS_STAGE_SORTED | TRVX_CLASS_TEXTURE_ALPHA);

    tagTRVXSTAGE third = stage_of(a);
    TRVXL_TextureLayer(ctx, child, 2, &third);
    EXPECT_EQ(child->mode, 0x80340003u);
    tagTRVXSTAGE blendOnly = stage_of(0, 0x8000);
    TRVXL_TextureLayer(ctx, child, 2, &blendOnly);
    EXPECT_EQ(child->stages[2].texture, 0);
    EXPECT_EQ(child->stages[2].blend, 0x8000u);
    EXPECT_EQ(child->mode, 0x80340001u);
    TRVXL_TextureLayer(ctx, child, 2, &child->stages[2]); // a stage given as its own record
    EXPECT_EQ(child->stages[2].blend, 0x8000u);
    TRVXL_TextureLayer(ctx, layer, 0, nullptr);
    EXPECT_EQ(layer->mode, TRVX_MODE_SOLID);
    EXPECT_EQ(child->stages[0].blend, 0u);
    EXPECT_EQ(ctx->textures[b].useCount, 1);
    EXPECT_EQ(layer->renderClass, 0);

    // A stage index outside 0-3 or a slot that holds no texture is refused.
    EXPECT_EQ(TRVXL_TextureLayer(ctx, layer, 4, &stage), 0);
    tagTRVXSTAGE freeSlot = stage_of(7), outside = stage_of(1000);
    EXPECT_EQ(TRVXL_TextureLayer(ctx, layer, 0, &freeSlot), 0);
    EXPECT_EQ(TRVXL_TextureLayer(ctx, layer, 0, &outside), 0);
    EXPECT_EQ(ctx->textures[7].useCount, 0);
}

TEST_F(Geometry, PlanarCoordinatesSpanTheLayer)
{
    TRVXLAYER layer = square(ctx->rootLayer, 10.0f, 20.0f);
    tagTRVXVERTEX before = layer->vertices[1];
    EXPECT_EQ(TRVXL_DirectionLayer(ctx, layer, 1, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(memcmp(&before, &layer->vertices[1], sizeof before), 0);

    int slot = TRVX_CreateTexture(ctx, 8, 8, 0);
    tagTRVXSTAGE stage = stage_of(slot, 0x101, 18);
    TRVXL_TextureLayer(ctx, layer, 1, &stage); // computes with the defaults it finds
    for (int i = 0; i < layer->vertexCount; ++i) {
        const tagTRVXVERTEX &v = layer->vertices[i];
        EXPECT_NEAR(v.u[1], v.position.x > 10.0f ? 1.0f : 0.0f, 1e-6f);
        EXPECT_NEAR(v.v[1], v.position.y > 20.0f ? 0.0f : 1.0f, 1e-6f);
    }
    driver.clear();
    EXPECT_EQ(TRVXL_DirectionLayer(ctx, layer, 1, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(layer->stages[1].size.x, 2.0f);
    EXPECT_EQ(layer->stages[1].size.y, 2.0f);
    EXPECT_EQ(builds(layer), 1);

    TRVXVECTOR angles = {90.0f, 0.0f, 0.0f, 0.0f}, size = {4.0f, 4.0f, 0.0f, 0.0f};
    TRVXL_DirectionLayer(ctx, layer, 1, nullptr, &angles, &size);
    for (int i = 0; i < layer->vertexCount; ++i) {
        const tagTRVXVERTEX &v = layer->vertices[i];
        float a = v.position.x - 10.0f, b = v.position.y - 20.0f;
        EXPECT_NEAR(v.u[1], b / 4.0f + 0.5f, 1e-6f);
        EXPECT_NEAR(v.v[1], 0.5f + a / 4.0f, 1e-6f);
        EXPECT_EQ(v.u[0], 0.0f); // other stages untouched
    }
    layer->stages[1].mapping = 34;
    float u = layer->vertices[0].u[1];
    EXPECT_EQ(TRVXL_DirectionLayer(ctx, layer, 1, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(layer->vertices[0].u[1], u);
}

TEST_F(Geometry, FreezingScaleFollowsEachPath)
{
    TRVXLAYER top = square(ctx->rootLayer);
    TRVXLAYER big = square(top), plain = square(top);
    top->scale = TRVXVECTOR{2.0f, 1.0f, 1.0f, 0.0f};
    big->scale = TRVXVECTOR{3.0f, 3.0f, 3.0f, 0.0f};
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    EXPECT_EQ(TRVXL_FixLayer(ctx, top, 256), 1);
    EXPECT_EQ(top->vertices[1].position.x, 2.0f);
    EXPECT_EQ(big->vertices[1].position.x, 6.0f);
    EXPECT_EQ(big->vertices[1].position.y, -3.0f);
    EXPECT_EQ(plain->vertices[1].position.x, 2.0f); // the sibling's scale does not reach it
    EXPECT_EQ(big->localHalf[0], 6.0f);
    EXPECT_EQ(big->scale.x, 1.0f);
    EXPECT_EQ(big->moved, 1);
}

TEST_F(Geometry, FreezingMotionBakesWorldMatricesThroughTheDriver)
{
    TRVXLAYER top = square(ctx->rootLayer);
    TRVXLAYER child = square(top);
    TRVXLAYER off = square(top);
    top->translate = TRVXVECTOR{10.0f, 0.0f, 0.0f, 0.0f};
    child->rotate = TRVXVECTOR{0.0f, 0.0f, 90.0f, 0.0f};
    off->translate = TRVXVECTOR{0.0f, 5.0f, 0.0f, 0.0f};
    TRVXL_SwitchLayer(ctx, off, 0);
    driver.clear();
    EXPECT_EQ(TRVXL_FixLayer(ctx, top, 273), 1);
    int bakes = 0;
    for (int n : driver.numbers())
        bakes += n == 6;
    EXPECT_EQ(bakes, 3);
    // Vertex (1, -1) of the child: turned to (1, 1), then moved by the parent.
    EXPECT_NEAR(child->vertices[1].position.x, 11.0f, 1e-5f);
    EXPECT_NEAR(child->vertices[1].position.y, 1.0f, 1e-5f);
    EXPECT_NEAR(off->vertices[1].position.y, 4.0f, 1e-5f); // switched off, frozen all the same
    EXPECT_NEAR(child->localCentre[0], 10.0f, 1e-5f);
    EXPECT_EQ(top->translate.x, 0.0f);
    EXPECT_EQ(child->rotate.z, 0.0f);
    EXPECT_EQ(child->moved, 1);
}

TEST_F(Geometry, FreezingASubtreeMergesItIntoTheLayer)
{
    TRVXLAYER top = square(ctx->rootLayer);
    TRVXLAYER child = square(top);
    TRVXLAYER grandchild = square(child);
    top->translate = TRVXVECTOR{0.0f, 0.0f, 7.0f, 0.0f};
    child->translate = TRVXVECTOR{10.0f, 0.0f, 0.0f, 0.0f};
    TRVXL_SwitchLayer(ctx, grandchild, 0);
    grandchild->diffuse = 0x00FF00;
    int slot = TRVX_CreateTexture(ctx, 8, 8, 0);
    tagTRVXSTAGE stage = stage_of(slot);
    TRVXL_TextureLayer(ctx, child, 0, &stage);
    EXPECT_EQ(ctx->textures[slot].useCount, 3);

    EXPECT_EQ(TRVXL_FixLayer(ctx, top, 4369), 1);
    EXPECT_EQ(top->childCount, 0);
    EXPECT_EQ(top->vertexCount, 12);
    EXPECT_EQ(top->faceCount, 6);
    // Children before parents: the grandchild's geometry comes first after the layer's own.
    EXPECT_EQ(top->faces[2].index[0], 4);
    EXPECT_EQ(top->faces[5].index[2], 11);
    EXPECT_NEAR(top->vertices[4].position.x, 9.0f, 1e-5f);
    EXPECT_NEAR(top->vertices[8].position.x, 9.0f, 1e-5f);
    EXPECT_EQ(top->translate.z, 7.0f); // the layer's own motion stays
    EXPECT_EQ(top->diffuse, 0x00FF00u); // lent by the grandchild, the first with a mode
    EXPECT_EQ(top->stages[0].texture, slot);
    EXPECT_EQ(ctx->textures[slot].useCount, 2);

    TRVXLAYER huge = make(ctx->rootLayer, L"huge");
    std::vector<tagTRVXVERTEX> many(40000, vertex(0, 0, 0));
    TRVXL_SetVertex(ctx, huge, 40000, many.data());
    TRVXL_SetVertex(ctx, make(huge, L"more"), 40000, many.data());
    EXPECT_EQ(TRVXL_FixLayer(ctx, huge, 4369), 0);
    EXPECT_EQ(huge->childCount, 1);
    EXPECT_EQ(huge->vertexCount, 40000);
}

namespace {

std::vector<DWORD> g_percents;

void WINAPI record_percent(TRVXCONTEXT, const wchar_t *, DWORD percent)
{
    g_percents.push_back(percent);
}

} // namespace

TEST_F(Geometry, NormalsReportProgressOnAnOpenGauge)
{
    typedef HWND(WINAPI * OpenProc)(TRVXCONTEXT, const wchar_t *, TRVXGAUGECALLBACK);
    typedef void(WINAPI * CloseProc)(TRVXCONTEXT);
    HMODULE engine = GetModuleHandleW(L"trvx.dll");
    OpenProc open = (OpenProc)(void *)GetProcAddress(engine, "TRVX_OpenGage");
    CloseProc close = (CloseProc)(void *)GetProcAddress(engine, "TRVX_CloseGage");
    if (!open || !close)
        GTEST_SKIP() << "this engine has no progress gauge";
    TRVXLAYER group = make(ctx->rootLayer, L"group");
    std::vector<tagTRVXVERTEX> chips = cube_chips();
    for (int i = 0; i < 2; ++i)
        TRVXL_SetChip(ctx, make(group, L"cube"), 12, chips.data(), 0);

    g_percents.clear();
    open(ctx, L"normals", record_percent);
    TRVXL_SmoothLayer(ctx, group, 16, 0.0f, 1);
    EXPECT_EQ(g_percents, (std::vector<DWORD>{33, 66, 100}));
    g_percents.clear();
    TRVXL_SmoothLayer(ctx, group, 17, 0.01f, 1);
    EXPECT_EQ(g_percents, (std::vector<DWORD>{33, 66, 77, 88, 99}));
    close(ctx);
}

// Smoothing written out the plain way, corner by corner: each place sums its corners' weighted
// normals in corner order, each vertex takes its place's sum over the sum's length, and the faces
// are expanded into chips and welded again. The engine's result must match it bit for bit.
static void smooth_by_corners(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXLAYER into, float grid)
{
    struct Place {
        long long key[3];
        float x, y, z, weight;
    };
    auto key_of = [grid](const TRVXVECTOR &p, long long key[3]) {
        key[0] = (long long)(p.x / grid);
        key[1] = (long long)(p.y / grid);
        key[2] = (long long)(p.z / grid);
    };
    auto place_of = [](std::vector<Place> &places, const long long key[3]) -> Place * {
        for (Place &place : places)
            if (place.key[0] == key[0] && place.key[1] == key[1] && place.key[2] == key[2])
                return &place;
        return nullptr;
    };
    std::vector<tagTRVXVERTEX> vertices(layer->vertices, layer->vertices + layer->vertexCount);
    std::vector<Place> places;
    for (int f = 0; f < layer->faceCount; ++f) {
        const tagTRVXFACE &face = layer->faces[f];
        if (face.index[0] >= layer->vertexCount || face.index[1] >= layer->vertexCount ||
            face.index[2] >= layer->vertexCount)
            continue;
        for (int k = 0; k < 3; ++k) {
            const tagTRVXVERTEX &v = vertices[face.index[k]];
            const TRVXVECTOR &p = v.position, &q = vertices[face.index[(k + 1) % 3]].position,
                             &r = vertices[face.index[(k + 2) % 3]].position;
            float ax = q.x - p.x, ay = q.y - p.y, az = q.z - p.z, bx = r.x - p.x, by = r.y - p.y, bz = r.z - p.z;
            float la = sqrtf(ax * ax + ay * ay + az * az), lb = sqrtf(bx * bx + by * by + bz * bz);
            float dot = (ax * bx + ay * by + az * bz) / (la * lb);
            float angle = acosf(dot > 1.0f ? 1.0f : dot < -1.0f ? -1.0f : dot);
            long long key[3];
            key_of(p, key);
            Place *place = place_of(places, key);
            if (!place) {
                places.push_back(Place{{key[0], key[1], key[2]}, 0.0f, 0.0f, 0.0f, 0.0f});
                place = &places.back();
            }
            place->x += v.normal.x * angle;
            place->y += v.normal.y * angle;
            place->z += v.normal.z * angle;
            place->weight += angle;
        }
    }
    for (tagTRVXVERTEX &v : vertices) {
        long long key[3];
        key_of(v.position, key);
        const Place *place = place_of(places, key);
        if (!place)
            continue;
        float length = sqrtf(place->x * place->x + place->y * place->y + place->z * place->z);
        if (place->weight <= 0.0f || !(length > 0.0f))
            continue;
        v.normal = TRVXVECTOR{place->x / length, place->y / length, place->z / length, 0.0f};
    }
    std::vector<tagTRVXVERTEX> chips;
    for (int f = 0; f < layer->faceCount; ++f) {
        const tagTRVXFACE &face = layer->faces[f];
        if (face.index[0] < vertices.size() && face.index[1] < vertices.size() && face.index[2] < vertices.size())
            for (int k = 0; k < 3; ++k)
                chips.push_back(vertices[face.index[k]]);
    }
    TRVXL_SetChip(ctx, into, (int)(chips.size() / 3), chips.data(), 1);
}

TEST_F(Geometry, SmoothNormalsMatchTheCornerByCornerAlgorithm)
{
    // A bumpy grid whose vertices are split along a seam (same place, other normal and texture
    // coordinates), with a vertex no face uses and a face that names a vertex past the end.
    const int n = 9;
    std::vector<tagTRVXVERTEX> vertices;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            float x = column * 0.25f, y = row * 0.25f, z = sinf(x * 3.0f) * cosf(y * 2.0f) * 0.3f;
            tagTRVXVERTEX v = vertex(x, y, z, 0.1f * column, 0.05f * row, 1.0f);
            v.u[0] = x;
            v.v[0] = y;
            vertices.push_back(v);
        }
    std::vector<tagTRVXFACE> faces;
    for (int row = 0; row + 1 < n; ++row)
        for (int column = 0; column + 1 < n; ++column) {
            uint16_t a = (uint16_t)(row * n + column), b = (uint16_t)(a + 1), c = (uint16_t)(a + n + 1),
                     d = (uint16_t)(a + n);
            if (column == n / 2) { // the seam: this column's left corners are copies
                tagTRVXVERTEX left = vertices[a], top = vertices[d];
                left.normal.x = -left.normal.x;
                left.u[0] += 1.0f;
                top.u[0] += 1.0f;
                a = (uint16_t)vertices.size();
                vertices.push_back(left);
                d = (uint16_t)vertices.size();
                vertices.push_back(top);
            }
            faces.push_back(tagTRVXFACE{{a, b, c}});
            faces.push_back(tagTRVXFACE{{a, c, d}});
        }
    vertices.push_back(vertex(9.0f, 9.0f, 9.0f));
    faces.push_back(tagTRVXFACE{{0, 1, 60000}});

    TRVXLAYER layer = make(ctx->rootLayer, L"grid"), expected = make(ctx->rootLayer, L"expected");
    TRVXL_SetFace(ctx, layer, (int)faces.size(), faces.data());
    TRVXL_SetVertex(ctx, layer, (int)vertices.size(), vertices.data());
    smooth_by_corners(ctx, layer, expected, 0.01f);
    ASSERT_EQ(TRVXL_SmoothLayer(ctx, layer, 1, 0.01f, 1), 1);

    ASSERT_EQ(layer->faceCount, expected->faceCount);
    ASSERT_EQ(layer->vertexCount, expected->vertexCount);
    EXPECT_LT(layer->vertexCount, (int)vertices.size()); // the seam's copies and the loose vertex are gone
    EXPECT_EQ(memcmp(layer->faces, expected->faces, layer->faceCount * sizeof(tagTRVXFACE)), 0);
    EXPECT_EQ(memcmp(layer->vertices, expected->vertices, layer->vertexCount * sizeof(tagTRVXVERTEX)), 0);
}
