// Primitive models: each shape's layers, names, counts, placement, winding and build commands.
#include "test_support.h"

#include <math.h>

namespace {

class ModelTest : public EngineTest {
protected:
    TRVXLAYER model(std::vector<float> parameters, TRVXLAYER parent = nullptr)
    {
        parameters.resize(9, 0.0f);
        return TRVXL_CreateModel(ctx, parent ? parent : ctx->rootLayer, parameters.data());
    }

    static TRVXVECTOR position(TRVXLAYER layer, int vertex) { return layer->vertices[vertex].position; }

    // Every face of the layer and its descendants turns its normal away from `inside`.
    static void expect_outward(TRVXLAYER layer, TRVXVECTOR inside)
    {
        for (int f = 0; f < layer->faceCount; ++f) {
            const tagTRVXFACE &face = layer->faces[f];
            TRVXVECTOR centre = {0, 0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const TRVXVECTOR &p = layer->vertices[face.index[k]].position;
                centre.x += p.x / 3;
                centre.y += p.y / 3;
                centre.z += p.z / 3;
            }
            const TRVXVECTOR &n = layer->vertices[face.index[0]].normal;
            float out = n.x * (centre.x - inside.x) + n.y * (centre.y - inside.y) + n.z * (centre.z - inside.z);
            EXPECT_GT(out, 0) << "face " << f << " of " << std::string(layer->name, layer->name + wcslen(layer->name));
        }
        for (int i = 0; i < layer->childCount; ++i)
            expect_outward(layer->children[i], inside);
    }

    int builds_of(TRVXLAYER layer) const
    {
        int n = 0;
        for (const RecordedCommand &c : driver.commands())
            n += c.command == TRVXCMD_LAYER_BUILD && c.p1 == (DWORD_PTR)layer;
        return n;
    }
};

std::wstring name_of(TRVXLAYER layer)
{
    return layer->name;
}

} // namespace

TEST_F(ModelTest, LinePointsStepAlongTheAxis)
{
    TRVXLAYER line = model({1, 1, 4, 5, 1, 1, 3});
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(name_of(line), L"Line");
    EXPECT_EQ(line->parent, ctx->rootLayer);
    ASSERT_EQ(line->vertexCount, 5);
    EXPECT_EQ(line->faceCount, 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(position(line, i).y, i - 2.0f, 1e-6);
        EXPECT_EQ(position(line, i).x, 0);
        EXPECT_EQ(line->vertices[i].normal.y, 0);
    }
    EXPECT_EQ(line->mode, TRVX_MODE_LINES);
    EXPECT_EQ(line->pointSize, 3);
    EXPECT_TRUE(line->attributes & TRVX_ATTR_NO_ZWRITE);
    EXPECT_EQ(builds_of(line), 1);

    TRVXLAYER open = model({1, 0, 4, 5, 0, 0, -1});
    EXPECT_NEAR(position(open, 4).x, 3.2f, 1e-6); // step 4 / 5 without the end
    EXPECT_EQ(open->pointSize, -1);

    TRVXLAYER dot = model({1, 2, 4, 1, 1, 1, 2});
    ASSERT_EQ(dot->vertexCount, 1);
    EXPECT_EQ(position(dot, 0).z, -2); // one point needs no step
    EXPECT_EQ(dot->localHalf[1], 1);
    EXPECT_NEAR(dot->localRadius, 2 * sqrtf(3), 1e-5);

    TRVXLAYER none = model({1, 0, 4, 0, 0, 0, 1});
    EXPECT_EQ(name_of(none), L"Line");
    EXPECT_EQ(none->vertexCount, 0);
}

TEST_F(ModelTest, ArcPointsFollowTheEllipse)
{
    TRVXLAYER arc = model({2, 2, 10, 6, 5, 0, 360, 1, 2});
    EXPECT_EQ(name_of(arc), L"Arc");
    ASSERT_EQ(arc->vertexCount, 5);
    EXPECT_NEAR(position(arc, 0).x, 5, 1e-5);
    EXPECT_NEAR(position(arc, 1).y, 3, 1e-5);
    EXPECT_NEAR(position(arc, 4).x, position(arc, 0).x, 1e-4); // 360 degrees repeats the start
    EXPECT_NEAR(position(arc, 4).y, position(arc, 0).y, 1e-4);

    TRVXLAYER side = model({2, 0, 10, 6, 4, 90, 450, 0, 2});
    EXPECT_NEAR(position(side, 0).z, 3, 1e-5); // axis 0: (0, a/2 cos, b/2 sin)
    EXPECT_NEAR(position(side, 1).y, -5, 1e-5);
}

TEST_F(ModelTest, FlatShapesLieInThePlaneOfTheirAxis)
{
    TRVXLAYER triangle = model({3, 2, 10});
    EXPECT_EQ(name_of(triangle), L"Triangle");
    EXPECT_EQ(triangle->faceCount, 1);
    EXPECT_EQ(triangle->vertexCount, 3);
    EXPECT_NEAR(position(triangle, 0).y, 10, 1e-5);
    EXPECT_NEAR(position(triangle, 1).x, 10 * sinf(2.0943951f), 1e-4);
    EXPECT_NEAR(triangle->vertices[0].normal.z, -1, 1e-6);
    EXPECT_EQ(triangle->mode, TRVX_MODE_SOLID);

    TRVXLAYER standing = model({3, 0, 10});
    EXPECT_NEAR(position(standing, 0).z, 10, 1e-5); // (x, y, z) becomes (z, x, y)
    EXPECT_NEAR(standing->vertices[0].normal.x, -1, 1e-6);

    TRVXLAYER screen = model({4, 2, 640, 480});
    EXPECT_EQ(name_of(screen), L"Square");
    EXPECT_EQ(screen->faceCount, 2);
    EXPECT_EQ(screen->vertexCount, 4);
    EXPECT_EQ(screen->localHalf[0], 320);
    EXPECT_EQ(screen->localHalf[1], 240);
    EXPECT_EQ(screen->localHalf[2], 0);
    EXPECT_NEAR(screen->vertices[0].normal.z, -1, 1e-6);
    TRVXLAYER floor = model({4, 1, 10, 20});
    EXPECT_EQ(floor->localHalf[1], 0); // axis 1: the XZ plane
    EXPECT_EQ(floor->localHalf[2], 5);

    EXPECT_EQ(model({5, 2, 5, 3})->faceCount, 1);
    TRVXLAYER disk = model({5, 2, 5, 8});
    EXPECT_EQ(name_of(disk), L"Disk");
    EXPECT_EQ(disk->faceCount, 6);
    EXPECT_EQ(disk->vertexCount, 8);
    EXPECT_EQ(model({5, 2, 5, 2})->faceCount, 0);
}

TEST_F(ModelTest, BoxesWholeOrWithSeparateFaces)
{
    TRVXLAYER box = model({6, 2, 4, 6});
    EXPECT_EQ(name_of(box), L"Box");
    EXPECT_EQ(box->faceCount, 12);
    EXPECT_EQ(box->vertexCount, 24); // welded per face: normals differ between faces
    EXPECT_EQ(box->childCount, 0);
    EXPECT_EQ(box->localHalf[2], 3);
    expect_outward(box, TRVXVECTOR{0, 0, 0, 0});

    TRVXLAYER faces = model({6, 2, 2, 2, -0.0f}); // -0.0 is a set raw flag
    EXPECT_EQ(faces->faceCount, 0);
    ASSERT_EQ(faces->childCount, 6);
    const wchar_t *names[] = {L"Front", L"Back", L"Left", L"Right", L"LTop", L"Bottom"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(name_of(faces->children[i]), names[i]);
        EXPECT_EQ(faces->children[i]->faceCount, 2);
        EXPECT_EQ(faces->children[i]->vertexCount, 4);
        EXPECT_EQ(faces->children[i]->mode, TRVX_MODE_SOLID);
    }
    EXPECT_NEAR(faces->children[0]->vertices[0].normal.z, -1, 1e-6); // "Front" faces -Z
    EXPECT_NEAR(faces->children[4]->vertices[0].normal.y, 1, 1e-6);  // "LTop" faces up
    expect_outward(faces, TRVXVECTOR{0, 0, 0, 0});
}

TEST_F(ModelTest, ConesAndPipesWithTheirCovers)
{
    TRVXLAYER cone = model({7, 2, 3, 8, 10, 1, 0});
    EXPECT_EQ(name_of(cone), L"Cone");
    EXPECT_EQ(cone->faceCount, 8 + 6);
    expect_outward(cone, TRVXVECTOR{0, 2, 0, 0});
    TRVXLAYER covered = model({7, 2, 3, 8, 10, 1, 1});
    EXPECT_EQ(covered->faceCount, 8);
    ASSERT_EQ(covered->childCount, 1);
    EXPECT_EQ(name_of(covered->children[0]), L"Cover");
    EXPECT_EQ(covered->children[0]->faceCount, 6);
    EXPECT_EQ(model({7, 2, 3, 2, 10, 1, 0})->faceCount, 2); // no cover below 3 segments
    TRVXLAYER lying = model({7, 0, 3, 8, 10, 0, 0});
    EXPECT_NEAR(lying->localHalf[2], 5, 1e-5); // the height runs along Z for axis 0
    EXPECT_EQ(lying->faceCount, 8);

    TRVXLAYER pipe = model({8, 2, 3, 1, 2, 1, 8, 10, 1});
    EXPECT_EQ(name_of(pipe), L"Pipe");
    EXPECT_EQ(pipe->faceCount, 16);
    ASSERT_EQ(pipe->childCount, 2);
    EXPECT_EQ(name_of(pipe->children[0]), L"TopCover");
    EXPECT_EQ(pipe->children[0]->faceCount, 6);
    EXPECT_EQ(name_of(pipe->children[1]), L"BottomCover");
    EXPECT_EQ(pipe->children[1]->faceCount, 6);
    expect_outward(pipe, TRVXVECTOR{0, 0, 0, 0});
    TRVXLAYER whole = model({8, 2, 3, 1, 2, 0, 8, 10, 0});
    EXPECT_EQ(whole->faceCount, 16 + 6);
    EXPECT_EQ(whole->childCount, 0);
}

TEST_F(ModelTest, BallsAreMirroredHemispheres)
{
    TRVXLAYER ball = model({9, 10, 4, 2});
    EXPECT_EQ(name_of(ball), L"Ball");
    EXPECT_EQ(ball->faceCount, 24); // 2 * 4 * (2 * 2 - 1)
    EXPECT_EQ(ball->mode, TRVX_MODE_SOLID);
    for (int v = 0; v < ball->vertexCount; ++v) {
        const TRVXVECTOR p = position(ball, v);
        EXPECT_NEAR(sqrtf(p.x * p.x + p.y * p.y + p.z * p.z), 10, 1e-4);
    }
    expect_outward(ball, TRVXVECTOR{0, 0, 0, 0});
    EXPECT_NEAR(ball->localHalf[1], 10, 1e-5);

    TRVXLAYER staggered = model({10, 5, 6, 3});
    EXPECT_EQ(staggered->faceCount, 2 * 6 * 5);
    expect_outward(staggered, TRVXVECTOR{0, 0, 0, 0});
    // Ring 1 is turned back by half a step: its first point sits at -30 degrees.
    bool turned = false;
    float y1 = 5 * cosf(3.1415927f / 6);
    for (int v = 0; v < staggered->vertexCount; ++v) {
        const TRVXVECTOR p = position(staggered, v);
        turned = turned || (fabsf(p.y - y1) < 1e-4 && fabsf(atan2f(p.x, p.z) + 3.1415927f / 6) < 1e-4);
    }
    EXPECT_TRUE(turned);

    EXPECT_EQ(model({9, 10, 0, 2})->faceCount, 0);
    EXPECT_EQ(model({9, 0, 4, 2})->faceCount, 24); // a point-sized ball has no directions but no NaNs
    EXPECT_EQ(ctx->rootLayer->children[ctx->rootLayer->childCount - 1]->vertices[0].normal.x, 0);
}

TEST_F(ModelTest, ColorBoxIsAGridOfNamedColouredBoxes)
{
    TRVXLAYER grid = model({100});
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(name_of(grid), L"ColorBox");
    ASSERT_EQ(grid->childCount, 125);
    EXPECT_EQ(name_of(grid->children[0]), L"BOX-111");
    EXPECT_EQ(name_of(grid->children[124]), L"BOX-555");
    TRVXLAYER box = TRVXL_SearchLayer(ctx, grid, L"BOX-531");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->translate.x, 16);
    EXPECT_EQ(box->translate.y, 0);
    EXPECT_EQ(box->translate.z, -16);
    EXPECT_EQ(box->diffuse, 0x003399FFu);
    EXPECT_EQ(box->ambient, 0x003399FFu);
    EXPECT_EQ(box->faceCount, 12);
    EXPECT_EQ(box->localHalf[0], 2.5f);
    EXPECT_TRUE(box->moved);
    EXPECT_EQ(grid->rotate.x, -38);
    EXPECT_EQ(grid->rotate.y, 38);
    EXPECT_TRUE(grid->moved);
    // Each box is rebuilt once when made and once more for every box added after it.
    EXPECT_EQ(builds_of(grid->children[0]), 1 + 125);
    EXPECT_EQ(builds_of(grid->children[124]), 2);
    EXPECT_EQ(builds_of(grid), 125);
}

TEST_F(ModelTest, UnknownShapesMakeNothing)
{
    int before = ctx->rootLayer->childCount;
    for (float shape : {0.0f, 11.0f, 99.0f, -1.0f, 1e30f})
        EXPECT_EQ(model({shape}), nullptr);
    EXPECT_EQ(TRVXL_CreateModel(ctx, ctx->rootLayer, nullptr), nullptr);
    EXPECT_EQ(ctx->rootLayer->childCount, before);

    float parameters[9] = {6, 1, 1, 1, 0};
    TRVXLAYER top = TRVXL_CreateModel(ctx, nullptr, parameters);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->parent, nullptr);
    EXPECT_EQ(ctx->rootLayer->childCount, before);
    TRVXL_DeleteLayer(ctx, top, 1);
}
