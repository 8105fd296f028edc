// Layer tree: records and their command traffic, deletion, moving and copying within the tree,
// search, switches, counts, information, walks and the generic property access.
#include "test_support.h"

#include <math.h>

namespace {

class Tree : public EngineTest {
protected:
    TRVXLAYER make(TRVXLAYER parent, const wchar_t *name) { return TRVXL_CreateLayer(ctx, parent, name); }

    std::vector<std::wstring> child_names(TRVXLAYER layer)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < layer->childCount; ++i)
            names.push_back(layer->children[i]->name);
        return names;
    }

    // A layer with one triangle.
    void give_triangle(TRVXLAYER layer)
    {
        tagTRVXVERTEX chip[3] = {};
        chip[1].position.x = 1.0f;
        chip[2].position.y = 1.0f;
        for (tagTRVXVERTEX &v : chip)
            v.normal.z = 1.0f;
        TRVXL_SetChip(ctx, layer, 1, chip, 0);
    }

    int commands_for(int command, TRVXLAYER layer)
    {
        int n = 0;
        for (const RecordedCommand &c : driver.commands())
            n += c.command == command && c.p1 == (DWORD_PTR)layer;
        return n;
    }
};

std::vector<std::wstring> g_visits;

DWORD WINAPI record_visit(TRVXCONTEXT, TRVXLAYER layer, void *data)
{
    g_visits.push_back(layer->name);
    const wchar_t *answerAt = (const wchar_t *)data;
    if (answerAt && wcscmp(layer->name, answerAt) == 0)
        return wcsncmp(answerAt, L"stop", 4) == 0 ? TRVX_WALK_STOP : TRVX_WALK_SKIP_CHILDREN;
    return TRVX_WALK_CONTINUE;
}

DWORD WINAPI delete_visited(TRVXCONTEXT ctx, TRVXLAYER layer, void *)
{
    g_visits.push_back(layer->name);
    TRVXL_DeleteLayer(ctx, layer, 1);
    return TRVX_WALK_CONTINUE;
}

} // namespace

TEST_F(Tree, CreateSetsDefaultsAsksForDriverBlocksAndAppends)
{
    TRVXLAYER first = make(ctx->rootLayer, L"first");
    TRVXLAYER layer = make(ctx->rootLayer, L"0123456789012345678901234567890123456789");
    EXPECT_STREQ(layer->name, L"0123456789012345678901234567890");
    EXPECT_STREQ(make(nullptr, nullptr)->name, L"NewLayer");
    EXPECT_EQ(child_names(ctx->rootLayer), (std::vector<std::wstring>{L"first", layer->name}));
    EXPECT_EQ(first->parent, ctx->rootLayer);
    EXPECT_EQ(layer->switchFlags, 1);
    EXPECT_EQ(layer->moved, 1);
    EXPECT_EQ(layer->scale.x, 1.0f);
    EXPECT_EQ(layer->scale.w, 0.0f);
    EXPECT_EQ(layer->transformOrder, 1);
    EXPECT_EQ(layer->rotationOrder, 1);
    EXPECT_EQ(layer->diffuse, 0xFFFFFFu);
    EXPECT_EQ(layer->ambient, 0xFFFFFFu);
    EXPECT_EQ(TRVX_SizeMemory(ctx, layer->transformBlock), 136);
    EXPECT_EQ(TRVX_SizeMemory(ctx, layer->materialBlock), 68);

    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen[3].command, 0);
    EXPECT_EQ(seen[3].p1, 10u);
    EXPECT_EQ(seen[4].p1, 11u);
    EXPECT_EQ(seen[5].command, 7);
    EXPECT_EQ(seen[5].p2, (DWORD_PTR)layer->materialBlock);
}

TEST_F(Tree, RecordsOfDeletedLayersComeBackAsNewOnes)
{
    // Many layers, so that records come from more than one slab, then every other one deleted and
    // made again: the new ones start from the defaults, whatever their records held before.
    std::vector<TRVXLAYER> made;
    for (int i = 0; i < 1000; ++i) {
        made.push_back(make(ctx->rootLayer, L"old"));
        made.back()->userValue = 77;
        made.back()->worldRadius = 5;
        made.back()->attributes = TRVX_ATTR_OVERLAY;
    }
    for (int i = 0; i < 1000; i += 2)
        TRVXL_DeleteLayer(ctx, made[i], 1);
    for (int i = 0; i < 500; ++i) {
        TRVXLAYER fresh = make(ctx->rootLayer, L"new");
        ASSERT_EQ(fresh->userValue, 0);
        ASSERT_EQ(fresh->worldRadius, 0);
        ASSERT_EQ(fresh->attributes, 0);
        ASSERT_EQ(fresh->childCount, 0);
        ASSERT_EQ(fresh->switchFlags, 1);
        ASSERT_EQ(TRVX_SizeMemory(ctx, fresh), (int)sizeof(tagTRVXLAYER));
    }
    EXPECT_EQ(ctx->rootLayer->childCount, 1000);
    EXPECT_EQ(made[1]->userValue, 77); // the kept ones are untouched
}

TEST_F(Tree, DriverWithoutMaterialBlockGetsCommand7WithNone)
{
    driver.answer(TRVXCMD_QUERY_SIZE, 0);
    TRVXLAYER layer = make(ctx->rootLayer, L"bare");
    EXPECT_EQ(layer->materialBlock, nullptr);
    EXPECT_EQ(layer->transformBlock, nullptr);
    std::vector<RecordedCommand> seen = driver.commands();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].command, 7);
    EXPECT_EQ(seen[2].p2, 0u);
}

TEST_F(Tree, DeleteGeometryFirstThenWholeSubtree)
{
    TRVXLAYER keep = make(ctx->rootLayer, L"keep");
    TRVXLAYER group = make(ctx->rootLayer, L"group");
    TRVXLAYER child = make(group, L"child");
    give_triangle(group);
    give_triangle(child);
    int slot = TRVX_CreateTexture(ctx, 8, 8, 0);
    tagTRVXSTAGE stage = {};
    stage.texture = slot;
    stage.blend = 0x101;
    TRVXL_TextureLayer(ctx, group, 0, &stage);
    EXPECT_EQ(ctx->textures[slot].useCount, 3);
    TRVX_SampleCounter(ctx, 10);
    driver.clear();

    EXPECT_EQ(TRVXL_DeleteLayer(ctx, group, 0), 1);
    EXPECT_EQ(TRVX_SampleCounter(ctx, 0), 50u);
    EXPECT_EQ(child_names(ctx->rootLayer), (std::vector<std::wstring>{L"keep", L"group"}));
    EXPECT_EQ(group->faceCount + group->vertexCount + child->faceCount + child->vertexCount, 0);
    EXPECT_EQ(group->faces, nullptr);
    EXPECT_EQ(child->moved, 1);
    // Children before their parent, faces before vertices.
    EXPECT_EQ(driver.numbers(), (std::vector<int>{21, 22, 21, 22}));
    EXPECT_EQ(driver.commands()[0].p1, (DWORD_PTR)child);

    EXPECT_EQ(TRVXL_DeleteLayer(ctx, group, 1), 1);
    EXPECT_EQ(child_names(ctx->rootLayer), (std::vector<std::wstring>{L"keep"}));
    EXPECT_EQ(ctx->textures[slot].useCount, 1);
    TRVXL_DeleteLayer(ctx, keep, 1);
    EXPECT_EQ(ctx->rootLayer->childCount, 0);
    EXPECT_EQ(ctx->rootLayer->children, nullptr);

    // Deleting the root leaves the context without one, and ending it still works.
    make(ctx->rootLayer, L"last");
    TRVXL_DeleteLayer(ctx, ctx->rootLayer, 1);
    EXPECT_EQ(ctx->rootLayer, nullptr);
}

TEST_F(Tree, LinkReordersSiblingsAndMovesLayers)
{
    TRVXLAYER a = make(ctx->rootLayer, L"a"), b = make(ctx->rootLayer, L"b"), c = make(ctx->rootLayer, L"c");
    using Names = std::vector<std::wstring>;
    TRVXL_LinkLayer(ctx, a, nullptr, 33);
    TRVXL_LinkLayer(ctx, c, nullptr, 49);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"a", L"b", L"c"}));
    TRVXL_LinkLayer(ctx, c, nullptr, 32);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"c", L"a", L"b"}));
    TRVXL_LinkLayer(ctx, c, nullptr, 48);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"a", L"b", L"c"}));
    TRVXL_LinkLayer(ctx, b, nullptr, 33);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"b", L"a", L"c"}));
    TRVXL_LinkLayer(ctx, b, nullptr, 49);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"a", L"b", L"c"}));
    EXPECT_EQ(TRVXL_LinkLayer(ctx, ctx->rootLayer, nullptr, 32), nullptr);
    TRVXL_LinkLayer(ctx, a, nullptr, 7);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"a", L"b", L"c"}));

    TRVXLAYER grandchild = make(b, L"grandchild");
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    EXPECT_EQ(TRVXL_LinkLayer(ctx, b, c, 16), nullptr);
    EXPECT_EQ(child_names(ctx->rootLayer), (Names{L"a", L"c"}));
    EXPECT_EQ(b->parent, c);
    EXPECT_EQ(b->moved, 1);
    EXPECT_EQ(grandchild->moved, 1);
    EXPECT_EQ(c->moved, 0);

    // Under its own descendant the layer would form a loop: nothing happens.
    TRVXL_LinkLayer(ctx, c, grandchild, 16);
    EXPECT_EQ(c->parent, ctx->rootLayer);
    EXPECT_EQ(grandchild->childCount, 0);
}

TEST_F(Tree, DeepCopyCopiesValuesGeometryStagesAndChildren)
{
    TRVXLAYER source = make(ctx->rootLayer, L"source");
    TRVXLAYER kid1 = make(source, L"kid1");
    make(source, L"kid2");
    make(kid1, L"grandkid");
    give_triangle(source);
    source->switchFlags = 0x4001;
    source->attributes = TRVX_ATTR_NO_FOG;
    source->pointSize = 3.0f;
    source->specular = 0x123456;
    source->translate.x = 5.0f;
    source->transformOrder = 6;
    int slot = TRVX_CreateTexture(ctx, 8, 8, 0);
    tagTRVXSTAGE stage = {};
    stage.texture = slot;
    stage.blend = 0x101;
    TRVXL_TextureLayer(ctx, source, 1, &stage);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    int uses = ctx->textures[slot].useCount;
    driver.clear();

    TRVXLAYER copy = TRVXL_LinkLayer(ctx, source, ctx->rootLayer, 256);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_EQ(copy->parent, ctx->rootLayer);
    EXPECT_STREQ(copy->name, L"source");
    EXPECT_EQ(copy->switchFlags, 0x4001);
    EXPECT_EQ(copy->attributes, TRVX_ATTR_NO_FOG);
    EXPECT_EQ(copy->pointSize, 3.0f);
    EXPECT_EQ(copy->specular, 0x123456u);
    EXPECT_EQ(copy->translate.x, 5.0f);
    EXPECT_EQ(copy->transformOrder, 1);
    EXPECT_EQ(copy->faceCount, 1);
    EXPECT_EQ(copy->vertexCount, 3);
    EXPECT_NE(copy->vertices, source->vertices);
    EXPECT_EQ(copy->mode, source->mode);
    EXPECT_EQ(copy->stages[1].texture, slot);
    EXPECT_EQ(copy->stages[1].owner, copy);
    EXPECT_EQ(ctx->textures[slot].useCount, uses * 2 - 1); // every copied layer took one use
    EXPECT_NE(copy->materialBlock, source->materialBlock);
    EXPECT_EQ(child_names(copy), (std::vector<std::wstring>{L"kid1", L"kid2"}));
    EXPECT_EQ(child_names(copy->children[0]), (std::vector<std::wstring>{L"grandkid"}));
    EXPECT_EQ(copy->moved, 1);
    EXPECT_EQ(copy->children[0]->children[0]->moved, 1);
    EXPECT_EQ(commands_for(20, copy), 1);

    // A copy under a descendant of the source copies the tree as it was.
    TRVXLAYER inner = TRVXL_LinkLayer(ctx, source, kid1, 256);
    int layers = 0;
    TRVXL_CountLayer(ctx, inner, &layers, nullptr, nullptr, 0);
    EXPECT_EQ(layers, 4);
}

TEST_F(Tree, SearchRenameChildAndCount)
{
    TRVXLAYER a = make(ctx->rootLayer, L"a");
    TRVXLAYER deep = make(a, L"twin");
    TRVXLAYER b = make(ctx->rootLayer, L"b");
    make(b, L"twin");
    EXPECT_EQ(TRVXL_SearchLayer(ctx, nullptr, L"anything"), ctx->rootLayer);
    EXPECT_EQ(TRVXL_SearchLayer(ctx, deep, nullptr), a);
    EXPECT_EQ(TRVXL_SearchLayer(ctx, ctx->rootLayer, L"twin"), deep);
    EXPECT_EQ(TRVXL_SearchLayer(ctx, ctx->rootLayer, L"TWIN"), nullptr);
    EXPECT_EQ(TRVXL_SearchLayer(ctx, b, L"b"), b);

    EXPECT_STREQ(TRVXL_RenameLayer(ctx, b, nullptr), L"b");
    wchar_t *name = TRVXL_RenameLayer(ctx, b, L"a name far longer than thirty-one characters");
    EXPECT_EQ(name, b->name);
    EXPECT_EQ(wcslen(name), 31u);

    EXPECT_EQ(TRVXL_GetChildLayer(ctx, ctx->rootLayer, 1), b);
    EXPECT_EQ(TRVXL_GetChildLayer(ctx, ctx->rootLayer, 2), nullptr);
    EXPECT_EQ(TRVXL_GetChildLayer(ctx, ctx->rootLayer, -1), nullptr);

    give_triangle(deep);
    give_triangle(b->children[0]);
    TRVXL_SwitchLayer(ctx, b, 0);
    int layers = -1, faces = -1, vertices = -1;
    EXPECT_EQ(TRVXL_CountLayer(ctx, ctx->rootLayer, &layers, &faces, &vertices, 0), 1);
    EXPECT_EQ(layers, 5);
    EXPECT_EQ(faces, 2);
    EXPECT_EQ(vertices, 6);
    TRVXL_CountLayer(ctx, ctx->rootLayer, &layers, &faces, nullptr, 2);
    EXPECT_EQ(layers, 3); // the switched-on child of the switched-off "b" is not counted
    EXPECT_EQ(faces, 1);
}

TEST_F(Tree, SwitchValueForms)
{
    TRVXLAYER parent = make(ctx->rootLayer, L"parent");
    TRVXLAYER child = make(parent, L"child");
    EXPECT_EQ(TRVXL_SwitchLayer(ctx, parent, 0) & 0xFFFF, 0u);
    EXPECT_EQ(child->switchFlags, 1);
    EXPECT_EQ(TRVXL_SwitchLayer(ctx, parent, 0xFFFFFFFF) & 0xFFFF, 0u);
    EXPECT_EQ(TRVXL_SwitchLayer(ctx, parent, 1) & 0xFFFF, 1u);

    DWORD result = TRVXL_SwitchLayer(ctx, parent, 0x4000); // layer alone: (flags AND 0) OR 0x4000
    EXPECT_EQ(result, 0xBFFF4000u);
    EXPECT_EQ(child->switchFlags, 1);

    result = TRVXL_SwitchLayer(ctx, parent, 0x0FFF2000); // bit 13: the whole subtree off
    EXPECT_EQ(result, 0xEFFF0000u);
    EXPECT_EQ(child->switchFlags, 0);
    TRVXL_SwitchLayer(ctx, parent, 0x0FFF1000); // bit 12: the whole subtree on
    EXPECT_EQ(parent->switchFlags, 1);
    EXPECT_EQ(child->switchFlags, 1);
    child->switchFlags = 0x8001;
    TRVXL_SwitchLayer(ctx, parent, 0x0FFF0004); // keeps bits 0-11, clears 12-15, sets bit 2
    EXPECT_EQ(parent->switchFlags, 0x0005);
    EXPECT_EQ(child->switchFlags, 0x0005);
}

TEST_F(Tree, LayerInformationByItsDecoratedName)
{
    HMODULE engine = GetModuleHandleW(L"trvx.dll");
    ASSERT_NE(GetProcAddress(engine, "?TRVXL_GetLayerInformation@@YGXKKPAUtagTRVXLLAYERINFO@@H@Z"), nullptr);
    TRVXLAYER parent = make(ctx->rootLayer, L"parent");
    TRVXLAYER on = make(parent, L"on");
    TRVXLAYER off = make(parent, L"off");
    make(off, L"below");
    give_triangle(parent);
    give_triangle(on);
    give_triangle(off);
    TRVXL_SwitchLayer(ctx, off, 0);
    parent->attributes = TRVX_ATTR_BOTH_SIDES | TRVX_ATTR_NO_FOG;
    parent->emissive = 0x0A0B0C;

    tagTRVXLLAYERINFO info;
    memset(&info, 0xCD, sizeof info);
    TRVXL_GetLayerInformation((DWORD_PTR)ctx, (DWORD_PTR)parent, &info, 0);
    EXPECT_STREQ(info.name, L"parent");
    EXPECT_EQ(info.switchFlags, 1);
    EXPECT_EQ(info.parent, ctx->rootLayer);
    EXPECT_EQ(info.children, 2);
    EXPECT_EQ(info.childrenOn, 2);
    EXPECT_EQ(info.faces, 1);
    EXPECT_EQ(info.vertices, 3);
    EXPECT_EQ(memcmp(info.bounds, parent->localHalf, 72), 0);
    EXPECT_EQ(info.emissive, 0x0A0B0Cu);
    EXPECT_EQ(info.bothSides, 1);
    EXPECT_EQ(info.reserved1, 0u);

    TRVXL_GetLayerInformation((DWORD_PTR)ctx, (DWORD_PTR)parent, &info, 1);
    EXPECT_EQ(info.name[0], 0);
    EXPECT_EQ(info.children, 3);
    EXPECT_EQ(info.childrenOn, 2); // "off" has a child but is switched off
    EXPECT_EQ(info.faces, 3);
    EXPECT_EQ(info.facesOn, 2);
    EXPECT_EQ(info.vertices, 9);
    EXPECT_EQ(info.verticesOn, 6);
}

TEST_F(Tree, CallBackWalksInBothOrdersWithTheThreeResults)
{
    TRVXLAYER top = make(nullptr, L"top");
    TRVXLAYER a = make(top, L"a");
    make(a, L"a1");
    make(top, L"stop");
    make(top, L"c");
    using Names = std::vector<std::wstring>;

    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, nullptr, TRVX_WALK_PREORDER), TRVX_WALK_CONTINUE);
    EXPECT_EQ(g_visits, (Names{L"top", L"a", L"a1", L"stop", L"c"}));
    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, nullptr, TRVX_WALK_POSTORDER), TRVX_WALK_CONTINUE);
    EXPECT_EQ(g_visits, (Names{L"a1", L"a", L"stop", L"c", L"top"}));
    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, nullptr, 0), TRVX_WALK_CONTINUE);
    EXPECT_EQ(g_visits, (Names{L"top"}));

    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, (void *)L"a", 2), TRVX_WALK_CONTINUE);
    EXPECT_EQ(g_visits, (Names{L"top", L"a", L"stop", L"c"}));
    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, (void *)L"top", 2), TRVX_WALK_SKIP_CHILDREN);
    EXPECT_EQ(g_visits, (Names{L"top"}));
    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, (void *)L"stop", 2), TRVX_WALK_STOP);
    EXPECT_EQ(g_visits, (Names{L"top", L"a", L"a1", L"stop"}));
    g_visits.clear();
    EXPECT_EQ(TRVX_CallBackLayer(ctx, top, record_visit, (void *)L"stop", 1), TRVX_WALK_STOP);
    EXPECT_EQ(g_visits, (Names{L"a1", L"a", L"stop"}));

    // A post-order callback may free the layer it is given: every sibling is still reached.
    g_visits.clear();
    TRVX_CallBackLayer(ctx, top, delete_visited, nullptr, TRVX_WALK_POSTORDER);
    EXPECT_EQ(g_visits, (Names{L"a1", L"a", L"stop", L"c", L"top"}));
}

TEST_F(Tree, ExtFunctionsReadAndSetProperties)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    TRVXLAYER child = make(layer, L"child");
    give_triangle(layer);
    const int bits[] = {21, 22, 24, 25, 26};
    const uint16_t masks[] = {0x0001, 0x0002, 0x0100, 0x1000, 0x8000};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(TRVXL_EXT_RecallFunction(ctx, layer, bits[i], 1, 0, 1), 0u);
        EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, bits[i], 0, 0), 1u) << bits[i];
        EXPECT_EQ(child->attributes & masks[i], masks[i]) << bits[i];
    }
    TRVXL_EXT_RecallFunction(ctx, layer, 25, 0, 0, 0);
    EXPECT_EQ(layer->attributes, 0x8103);
    EXPECT_EQ(child->attributes, 0x9103);

    driver.clear();
    TRVXL_EXT_RecallFunction(ctx, layer, 23, 128, 0, 0);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 23, 0, 0), 128u);
    EXPECT_EQ(layer->renderClass, TRVX_CLASS_TRANSPARENT);
    EXPECT_EQ(driver.numbers(), (std::vector<int>{7}));
    TRVXL_EXT_RecallFunction(ctx, layer, 1, 0x112233, 0, 0);
    EXPECT_EQ(layer->ambient, 0x112233u);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 1, 0, 0), 0x112233u);
    uint32_t material[5] = {1, 2, 0, 4, 5}, readBack[5] = {};
    TRVXL_EXT_RecallFunction(ctx, layer, 43, (DWORD_PTR)material, 0, 0);
    TRVXL_EXT_Function(ctx, layer, 43, (DWORD_PTR)readBack, 0);
    EXPECT_EQ(memcmp(material, readBack, sizeof material), 0);

    float nearLimit = 2.0f, farLimit = 300.0f, readNear = 0, readFar = 0;
    TRVXL_EXT_RecallFunction(ctx, layer, 42, (DWORD_PTR)&nearLimit, (DWORD_PTR)&farLimit, 0);
    TRVXL_EXT_Function(ctx, layer, 42, (DWORD_PTR)&readNear, (DWORD_PTR)&readFar);
    EXPECT_EQ(readNear, 2.0f);
    EXPECT_EQ(readFar, 300.0f);
    TRVXL_EXT_RecallFunction(ctx, layer, 27, 77, 0, 0);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 27, 0, 0), 77u);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 101, 0, 0), 1u);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 102, 0, 0), 3u);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 103, 0, 0), 1u);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 205, 0, 0), (DWORD_PTR)layer->faces);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 41, 0, 0), (DWORD_PTR)&layer->pointSize);
    wchar_t name[32];
    TRVXL_EXT_Function(ctx, layer, 202, (DWORD_PTR)name, 0);
    EXPECT_STREQ(name, L"layer");
    tagTRVXSTAGE stage;
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 201, 4, (DWORD_PTR)&stage), 0u);
    EXPECT_EQ(TRVXL_EXT_Function(ctx, layer, 999, 0, 0), 0u);
    EXPECT_EQ(TRVXL_EXT_RecallFunction(ctx, layer, 999, 1, 1, 1), 0u);

    EXPECT_EQ(TRVXL_EXT_RecallFunction(ctx, layer, 4, (DWORD_PTR)L"child", 0, 1), 1u);
    EXPECT_EQ(TRVXL_EXT_RecallFunction(ctx, layer, 4, (DWORD_PTR)L"child", 0, 0), 0u);

    driver.clear();
    TRVXL_EXT_RecallFunction(ctx, layer, 202, 0, 0, 0);
    EXPECT_EQ(driver.numbers(), (std::vector<int>{22, 21}));
}

TEST_F(Tree, Ext101TurnsFacesInsideOut)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    TRVXLAYER child = make(layer, L"child");
    give_triangle(layer);
    driver.clear();
    TRVXL_EXT_RecallFunction(ctx, layer, 101, 0, 0, 0);
    EXPECT_EQ(layer->faces[0].index[1], 2);
    EXPECT_EQ(layer->faces[0].index[2], 1);
    EXPECT_EQ(layer->vertices[0].normal.z, -1.0f);
    EXPECT_EQ(commands_for(20, layer), 1);
    EXPECT_EQ(commands_for(20, child), 1);

    TRVXL_SwitchLayer(ctx, layer, 0);
    TRVXL_EXT_RecallFunction(ctx, layer, 101, 0, 0, 0);
    EXPECT_EQ(layer->faces[0].index[1], 2);
}

TEST_F(Tree, PointSizeOfAOneVertexLayerSetsItsBounds)
{
    TRVXLAYER point = make(ctx->rootLayer, L"point");
    tagTRVXVERTEX v = {};
    TRVXL_SetVertex(ctx, point, 1, &v);
    point->moved = 0;
    float size = 4.0f;
    TRVXL_EXT_RecallFunction(ctx, point, 41, (DWORD_PTR)&size, 0, 0);
    EXPECT_EQ(point->pointSize, 4.0f);
    EXPECT_EQ(point->localHalf[1], 2.0f);
    EXPECT_NEAR(point->localRadius, 4.0f * sqrtf(3.0f), 1e-5f);
    EXPECT_EQ(point->moved, 1);
}

TEST_F(Tree, ModeLayerSetsOrKeepsModesAndRebuilds)
{
    TRVXLAYER layer = make(ctx->rootLayer, L"layer");
    TRVXLAYER child = make(layer, L"child");
    child->mode = TRVX_MODE_LINES;
    driver.clear();
    EXPECT_EQ(TRVXL_ModeLayer(ctx, layer, TRVX_MODE_KEEP), 1);
    EXPECT_EQ(layer->mode, 0u);
    EXPECT_EQ(child->mode, TRVX_MODE_LINES);
    EXPECT_EQ(driver.numbers(), (std::vector<int>{20, 20}));
    driver.clear();
    TRVXL_ModeLayer(ctx, layer, TRVX_MODE_SOLID);
    EXPECT_EQ(child->mode, TRVX_MODE_SOLID);
    TRVXL_ModeLayer(ctx, layer, 5);
    EXPECT_EQ(child->mode, 5u);
    EXPECT_EQ(driver.numbers(), (std::vector<int>{20, 20}));
}

// Files may nest layers as deep as they like: no walk may recurse once per level.
TEST_F(Tree, VeryDeepTreesAreWalkedAndFreed)
{
    const int depth = 100000;
    TRVXLAYER top = make(ctx->rootLayer, L"top"), bottom = top;
    for (int i = 1; i < depth; ++i)
        bottom = make(bottom, i == depth - 1 ? L"bottom" : L"level");
    driver.clear();
    int layers = 0;
    TRVXL_CountLayer(ctx, top, &layers, nullptr, nullptr, 0);
    EXPECT_EQ(layers, depth);
    EXPECT_EQ(TRVXL_SearchLayer(ctx, top, L"bottom"), bottom);
    EXPECT_EQ(TRVXL_CalcLayer(ctx, top), 1);
    TRVXL_SwitchLayer(ctx, top, 0x0FFF0001);
    TRVXLAYER copy = TRVXL_LinkLayer(ctx, top, ctx->rootLayer, 256);
    TRVXL_DeleteLayer(ctx, copy, 1);
    TRVX_CallBackLayer(ctx, top, delete_visited, nullptr, TRVX_WALK_POSTORDER);
    EXPECT_EQ(ctx->rootLayer->childCount, 0);
}
