// Text model plug-in through the real engine: trvx.dll loads trvx_tvm.dll beside it (with the
// recording test driver), and files go in and out through TRVXL_ReadLayer and TRVXL_WriteLayer.
#include "trvx.h"

#include "tvm_message_box.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace {

HWND g_window;
TRVXCONTEXT g_ctx;

class Tvm : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TvmTestWindow";
        RegisterClassW(&wc);
        g_window = CreateWindowW(L"TvmTestWindow", L"tvm tests", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        RECT view = {0, 0, 320, 240};
        g_ctx = TRVX_Start(g_window, &view, 1);
    }
    static void TearDownTestSuite()
    {
        if (g_ctx)
            TRVX_End(g_ctx);
        DestroyWindow(g_window);
    }
    void SetUp() override
    {
        ASSERT_NE(g_ctx, nullptr) << "the engine did not start";
        ctx = g_ctx;
        scene = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"scene");
    }
    void TearDown() override
    {
        if (scene)
            TRVXL_DeleteLayer(ctx, scene, 1);
    }

    static void put(const wchar_t *name, const std::string &bytes)
    {
        FILE *f = _wfopen(name, L"wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    static std::string get(const wchar_t *name)
    {
        std::string bytes;
        if (FILE *f = _wfopen(name, L"rb")) {
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
                bytes.append(buffer, n);
            fclose(f);
        }
        return bytes;
    }
    TRVXLAYER read(const std::string &text, TRVXLAYER parent = nullptr)
    {
        put(L"case.tvm", text);
        return TRVXL_ReadLayer(ctx, parent ? parent : scene, L"case.tvm");
    }
    TRVXLAYER child(TRVXLAYER layer, int index) { return TRVXL_GetChildLayer(ctx, layer, index); }

    TRVXCONTEXT ctx = nullptr;
    TRVXLAYER scene = nullptr;
    MessageBoxCatcher boxes;
};

const char kHeader[] = "Information(\"Tarvex3D\",\"Velmora CO.,LTD.\",\"5.0\")\r\nComment(\"\")\r\n";

TEST_F(Tvm, FormatListsAndExtensionMatching)
{
    const wchar_t *formats = nullptr;
    for (int i = 0; i < ctx->formatCount; ++i) {
        if (lstrcmpiW(ctx->formats[i].name, L"trvx_tvm") == 0)
            formats = ctx->formats[i].readFormats;
    }
    ASSERT_NE(formats, nullptr);
    EXPECT_STREQ(formats, L"TVM");
    EXPECT_STREQ(formats + 8, L".tvm");
    EXPECT_STREQ(formats + 16, L".tvp");
    EXPECT_EQ(formats[24], 0);

    put(L"UPPER.TVM", "Layer(\"u\"){}");
    TRVXLAYER u = TRVXL_ReadLayer(ctx, scene, L"UPPER.TVM");
    ASSERT_NE(u, nullptr);
    EXPECT_STREQ(u->name, L"u");
    put(L"other.tvp", "Layer(\"p\"){}");
    EXPECT_NE(TRVXL_ReadLayer(ctx, scene, L"other.tvp"), nullptr);
    EXPECT_EQ(TRVXL_ReadLayer(ctx, scene, L"absent.tvm"), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Tvm, ReadReturnsTheLastTopLayerAndBuildsGeometryOnlyWithAMode)
{
    TRVXLAYER last = read("Layer(\"a\"){}\r\nLayer(\"b\"){\r\n\tVertex([0,0,0],[0,0,1])\r\n\tFace(0,0,0)\r\n}\r\n"
                          "Layer(\"c\"){Mode(\"SOLID\")Face(0,1,2)Face(0,1,3)"
                          "Vertex([0,0,0],[0,0,1])Vertex([1,0,0],[0,0,1])Vertex([0,1,0],[0,0,1])}");
    ASSERT_EQ(scene->childCount, 3);
    EXPECT_EQ(last, child(scene, 2));
    EXPECT_STREQ(child(scene, 0)->name, L"a");
    EXPECT_EQ(child(scene, 1)->vertexCount, 0);
    TRVXLAYER c = child(scene, 2);
    EXPECT_EQ(c->mode, TRVX_MODE_SOLID);
    EXPECT_EQ(c->vertexCount, 3);
    ASSERT_EQ(c->faceCount, 1); // the face that names vertex 3 is dropped
    EXPECT_EQ(c->faces[0].index[2], 2);
}

TEST_F(Tvm, ChildModesSurviveTheirParentsGeometry)
{
    read("Layer(\"hull\"){Mode(\"SOLID\")Vertex([0,0,0],[0,0,1])"
         "Layer(\"door\"){Mode(\"LINE\",3)Vertex([1,1,1],[0,0,0])}}");
    TRVXLAYER hull = child(scene, 0), door = child(hull, 0);
    EXPECT_EQ(hull->mode, TRVX_MODE_SOLID);
    EXPECT_EQ(door->mode, TRVX_MODE_LINES);
    EXPECT_EQ(door->pointSize, 3.0f);
}

TEST_F(Tvm, SyntaxErrorsNameTheLineInAWarningOwnedByTheWindow)
{
    struct Case {
        const char *text;
        const wchar_t *message;
    } cases[] = {
        {"Layer(\"a\"){\r\n\tFace(1,2\r\n}\r\n", L"File Syntax Error. (line3)"},
        {"Layer(\"a\"){\r\n\r\n\r\n\tFace)\r\n}", L"File Syntax Error. (line4)"},
        {"Layer(\"a\"){}\r\nComment(\"open", L"File Syntax Error. (line2)"},
        {"Layer(\"a\"){\r\n\tLayer(\"b\"){}\r\n", L"File Syntax Error. (line3)"},
        {"(((((", L"File Syntax Error. (line1)"},
    };
    for (const Case &c : cases) {
        boxes.boxes.clear();
        EXPECT_EQ(read(c.text), nullptr) << c.text;
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.text;
        const CaughtBox &box = boxes.boxes[0];
        EXPECT_EQ(box.text, c.message) << c.text;
        EXPECT_EQ(box.caption, L"case.tvm");
        EXPECT_EQ(box.owner, g_window);
        EXPECT_TRUE(box.warningIcon);
        EXPECT_EQ(scene->childCount, 0) << "nothing is created from a file with a syntax error";
    }
}

// The plug-in lexes the file's bytes; names outside ASCII must still come out as the engine's
// conversion of the file gives them, and a syntax error after them must still name its line.
TEST_F(Tvm, NamesOutsideAsciiComeOutAsTheCodePageConversionGivesThem)
{
    const std::string names[] = {
        "\x83\x5C\x95\x5C\x81\x7C",  // Shift-JIS, second bytes that are ASCII's \ and |
        "\x83\x82\x83\x66\x83\x8B",  // Shift-JIS
        "\xE6\xA9\x9F\xE4\xBD\x93",  // UTF-8
        "wing \xE2\x80\x94 left",      // UTF-8 amid ASCII
    };
    std::string text;
    for (const std::string &name : names)
        text += "Layer(\"" + name + "\"){\r\n\tMode(\"SOLID\")\r\n}\r\n";
    ASSERT_NE(read(text), nullptr);
    ASSERT_EQ(scene->childCount, 4);
    for (int i = 0; i < 4; ++i) {
        wchar_t *expected = TRVX_ChangeToUnicode(ctx, names[i].c_str());
        ASSERT_NE(expected, nullptr);
        EXPECT_STREQ(child(scene, i)->name, expected) << i;
        TRVX_FreeMemory(ctx, expected);
    }

    // The line break inside the string is not counted: the stray ')' stands on line 3.
    boxes.boxes.clear();
    TRVXL_DeleteLayer(ctx, scene, 1);
    scene = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"scene");
    EXPECT_EQ(read("Layer(\"\x83\x82\x83\x66\"){\r\n\tComment(\"\xE6\xA9\x9F\r\n\x95\x5C\")\r\n\tFace)\r\n}"),
              nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"File Syntax Error. (line3)");
    EXPECT_EQ(scene->childCount, 0);
}

TEST_F(Tvm, BadBytesNeverCrashTheReader)
{
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        static const char alphabet[] = "(){}\",#[]0123456789.-LayerVtxFcMod\r\n\x01\xff";
        garbage += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
    }
    read(garbage);
    read(std::string(100000, '{') + std::string(100000, '}'));
    read("Layer(\"x\"){Mode(\"TEXTURE1\")Stage(\"NORMAL\",\"" + std::string(300, 'n') +
         "\")Face(70000,-1,5)Vertex(" + std::string(5000, '9') + ")}");
    // A file cut anywhere either reads or is refused with a message.
    std::string whole = "Layer(\"a\"){Mode(\"SOLID\")Face(0,1,2)Vertex([0,0,0],[0,0,1])Vertex([1,0,0],[0,0,1])"
                        "Vertex([0,1,0],[0,0,1])Layer(\"b\"){Rotate(1,2,3,\"XYZ\")}}";
    for (size_t cut = 0; cut < whole.size(); cut += 7)
        read(whole.substr(0, cut));
    SUCCEED();
}

// What a written file must give back: everything the format stores.
void expect_same_tree(TRVXCONTEXT ctx, TRVXLAYER a, TRVXLAYER b)
{
    SCOPED_TRACE(testing::Message() << "layer " << std::string(a->name, a->name + lstrlenW(a->name)));
    auto close_to = [](float x, float y) { return fabsf(x - y) <= 1e-4f + fabsf(x) * 1e-5f; };
    EXPECT_STREQ(a->name, b->name);
    EXPECT_EQ(a->switchFlags & TRVX_SWITCH_ON, b->switchFlags & TRVX_SWITCH_ON);
    const float *va = &a->translate.x, *vb = &b->translate.x; // translate, rotate, scale
    for (int i = 0; i < 12; ++i) {
        if (i % 4 != 3) {
            EXPECT_TRUE(close_to(va[i], vb[i])) << "motion " << i << ": " << va[i] << " " << vb[i];
        }
    }
    EXPECT_EQ(a->transformOrder, b->transformOrder);
    EXPECT_EQ(a->rotationOrder, b->rotationOrder);
    EXPECT_EQ(a->nearLimit, b->nearLimit);
    EXPECT_EQ(a->farLimit, b->farLimit);
    const uint16_t flags = TRVX_ATTR_BOTH_SIDES | TRVX_ATTR_NO_FOG | TRVX_ATTR_NO_ZWRITE | TRVX_ATTR_WIREFRAME |
                           TRVX_ATTR_OVERLAY;
    EXPECT_EQ(a->attributes & flags, b->attributes & flags);
    EXPECT_EQ(a->transparency, b->transparency);
    EXPECT_EQ(a->diffuse, b->diffuse);
    EXPECT_EQ(a->specular, b->specular);
    EXPECT_EQ(a->dullness, b->dullness);
    EXPECT_EQ(a->ambient, b->ambient);
    EXPECT_EQ(a->emissive, b->emissive);
    EXPECT_EQ(a->mode, b->mode);
    if (a->mode == TRVX_MODE_LINES) {
        EXPECT_EQ(a->pointSize, b->pointSize);
    }
    int uvSets = 0;
    for (int s = 0; s < 4; ++s) {
        const tagTRVXSTAGE &x = a->stages[s], &y = b->stages[s];
        EXPECT_EQ(x.blend, y.blend) << "stage " << s;
        if (!x.blend)
            break;
        EXPECT_EQ(x.texture, y.texture) << "stage " << s;
        if (!x.texture)
            continue;
        uvSets = s + 1;
        EXPECT_EQ(x.mapping, y.mapping);
        EXPECT_EQ(x.addressing, y.addressing);
        EXPECT_EQ(x.filter, y.filter);
        if (x.mapping) {
            EXPECT_TRUE(close_to(x.offset.x, y.offset.x) && close_to(x.offset.y, y.offset.y));
            EXPECT_TRUE(close_to(x.angles.x, y.angles.x));
            EXPECT_TRUE(close_to(x.size.x, y.size.x) && close_to(x.size.y, y.size.y));
        }
    }
    ASSERT_EQ(a->faceCount, b->faceCount);
    for (int i = 0; i < a->faceCount; ++i) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(a->faces[i].index[k], b->faces[i].index[k]);
    }
    ASSERT_EQ(a->vertexCount, b->vertexCount);
    for (int i = 0; i < a->vertexCount; ++i) {
        const tagTRVXVERTEX &x = a->vertices[i], &y = b->vertices[i];
        const float *fx = &x.position.x, *fy = &y.position.x;
        for (int k = 0; k < 8; ++k) {
            if (k != 3 && k != 7) {
                EXPECT_TRUE(close_to(fx[k], fy[k])) << "vertex " << i << " word " << k;
            }
        }
        for (int set = 0; set < uvSets; ++set)
            EXPECT_TRUE(close_to(x.u[set], y.u[set]) && close_to(x.v[set], y.v[set])) << "vertex " << i << " set " << set;
        EXPECT_EQ(y.position.w, 0.0f);
        EXPECT_EQ(y.colour, 0u);
    }
    ASSERT_EQ(a->childCount, b->childCount);
    for (int i = 0; i < a->childCount; ++i)
        expect_same_tree(ctx, a->children[i], b->children[i]);
}

void set_geometry(TRVXCONTEXT ctx, TRVXLAYER layer, int count, float size)
{
    std::vector<tagTRVXVERTEX> v(count);
    std::vector<tagTRVXFACE> f(count - 2);
    for (int i = 0; i < count; ++i) {
        v[i] = {};
        v[i].position = {size * cosf(i * 0.7f), size * sinf(i * 1.3f), -0.125f * i, 0};
        v[i].normal = {0.6f, -0.8f, 0, 0};
        for (int s = 0; s < 4; ++s) {
            v[i].u[s] = 0.25f * s + 0.01f * i;
            v[i].v[s] = 1.0f - 0.125f * s;
        }
    }
    for (int i = 0; i + 2 < count; ++i)
        f[i] = {{0, (uint16_t)(i + 1), (uint16_t)(i + 2)}};
    TRVXL_SetVertex(ctx, layer, count, v.data());
    TRVXL_SetFace(ctx, layer, count - 2, f.data());
}

tagTRVXSTAGE stage(TRVXLAYER owner, int texture, uint32_t blend, int mapping, uint32_t addressing, uint32_t filter)
{
    tagTRVXSTAGE s = {};
    s.owner = owner;
    s.texture = texture;
    s.blend = blend;
    s.mapping = mapping;
    s.addressing = addressing;
    s.filter = filter;
    s.offset = {0.5f, -0.25f, 0, 0};
    s.angles = {30, 0, 0, 0};
    s.size = {4, 8, 0, 0};
    return s;
}

// Every record kind: 16 rotation and transform orders, four texture stages, stages without
// texture, line mode, switched-off layers, attributes, transparencies, materials and ranges.
TRVXLAYER build_rich_tree(TRVXCONTEXT ctx, TRVXLAYER parent)
{
    TRVXLAYER top = TRVXL_CreateLayer(ctx, parent, L"rich (top) {1}");
    for (int i = 0; i < 16; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"order%d", i + 1);
        TRVXLAYER l = TRVXL_CreateLayer(ctx, top, name);
        TRVXVECTOR t = {(float)i, -0.5f * i, 2.25f, 0}, r = {10.0f * i, 5, -7.5f, 0}, s = {1, 2, 0.5f, 0};
        TRVXL_MoveLayer(ctx, l, &t, &r, &s, i + 1, i + 1);
    }
    const wchar_t *files[4] = {L"rt0.bmp", L"rt1.bmp", L"rt2.bmp", L"rt3.bmp"};
    int textures[4];
    for (int i = 0; i < 4; ++i) {
        FILE *f = _wfopen(files[i], L"wb");
        if (f)
            fclose(f);
        textures[i] = TRVX_ReadTexture(ctx, files[i], 0, 0, i);
    }
    TRVXLAYER mesh = TRVXL_CreateLayer(ctx, top, L"mesh");
    set_geometry(ctx, mesh, 6, 3.0f);
    tagTRVXSTAGE s0 = stage(mesh, textures[0], 0x0101, 0, 0, 0x200);
    tagTRVXSTAGE s1 = stage(mesh, textures[1], 0x0308, 0, 1, 0x401);
    tagTRVXSTAGE s2 = stage(mesh, textures[2], 0x8304, 0, 2, 0x101);
    tagTRVXSTAGE s3 = stage(mesh, textures[3], 0x0302, 0x22, 0, 0x100);
    TRVXL_TextureLayer(ctx, mesh, 0, &s0);
    TRVXL_TextureLayer(ctx, mesh, 1, &s1);
    TRVXL_TextureLayer(ctx, mesh, 2, &s2);
    TRVXL_TextureLayer(ctx, mesh, 3, &s3);
    TRVXL_ModeLayer(ctx, mesh, 0x80340004);

    TRVXLAYER lines = TRVXL_CreateLayer(ctx, top, L"lines");
    set_geometry(ctx, lines, 3, 1.0f);
    TRVXL_SetFace(ctx, lines, 0, nullptr);
    float size = 2.5f;
    TRVXL_EXT_RecallFunction(ctx, lines, 41, (DWORD_PTR)&size, 0, 0);
    TRVXL_ModeLayer(ctx, lines, TRVX_MODE_LINES);

    TRVXLAYER off = TRVXL_CreateLayer(ctx, top, L"off");
    TRVXL_SwitchLayer(ctx, off, 0);
    TRVXL_SwitchLayer(ctx, TRVXL_CreateLayer(ctx, off, L"off child"), 0);

    TRVXLAYER looks = TRVXL_CreateLayer(ctx, top, L"looks");
    for (int what = 21; what <= 26; ++what) {
        if (what != 23)
            TRVXL_EXT_RecallFunction(ctx, looks, what, 1, 0, 0);
    }
    TRVXL_EXT_RecallFunction(ctx, looks, 23, 77, 0, 0);
    uint32_t material[5] = {0x102030, 0x405060, 0, 0x708090, 0xA0B0C0};
    float dullness = 12;
    memcpy(&material[2], &dullness, 4);
    TRVXL_EXT_RecallFunction(ctx, looks, 43, (DWORD_PTR)material, 0, 0);
    looks->nearLimit = 2;
    looks->farLimit = 800.5f;

    TRVXLAYER faint = TRVXL_CreateLayer(ctx, top, L"faint");
    TRVXL_EXT_RecallFunction(ctx, faint, 21, 1, 0, 0);
    TRVXL_EXT_RecallFunction(ctx, faint, 26, 1, 0, 0);
    TRVXL_EXT_RecallFunction(ctx, faint, 23, 1, 0, 0);

    TRVXLAYER blends = TRVXL_CreateLayer(ctx, top, L"blend only");
    tagTRVXSTAGE shade = stage(blends, 0, 0x8000, 0, 0, 0), add = stage(blends, 0, 0x0302, 0, 0, 0);
    TRVXL_TextureLayer(ctx, blends, 0, &shade);
    TRVXL_TextureLayer(ctx, blends, 1, &add);

    // A parent with geometry of its own above a textured child.
    TRVXLAYER hull = TRVXL_CreateLayer(ctx, top, L"hull");
    set_geometry(ctx, hull, 5, 10.0f);
    TRVXL_ModeLayer(ctx, hull, TRVX_MODE_SOLID);
    TRVXLAYER door = TRVXL_CreateLayer(ctx, hull, L"door");
    set_geometry(ctx, door, 4, 1.0f);
    tagTRVXSTAGE d0 = stage(door, textures[1], 0x8101, 0x10, 2, 0x201);
    TRVXL_TextureLayer(ctx, door, 0, &d0);
    TRVXL_ModeLayer(ctx, door, 0x80340001);
    return top;
}

TEST_F(Tvm, RichTreeReadsBackAsWrittenAndWritesTheSameFileAgain)
{
    TRVXLAYER original = build_rich_tree(ctx, scene);
    ASSERT_EQ(TRVXL_WriteLayer(ctx, original, L"rich.tvm"), 1u);
    TRVXLAYER copy = TRVXL_ReadLayer(ctx, scene, L"rich.tvm");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    expect_same_tree(ctx, original, copy);
    // Once its reals have been through the six-digit text form, a tree is written to the same bytes
    // again and again.
    ASSERT_EQ(TRVXL_WriteLayer(ctx, copy, L"rich2.tvm"), 1u);
    TRVXLAYER again = TRVXL_ReadLayer(ctx, scene, L"rich2.tvm");
    ASSERT_NE(again, nullptr);
    expect_same_tree(ctx, copy, again);
    ASSERT_EQ(TRVXL_WriteLayer(ctx, again, L"rich3.tvm"), 1u);
    EXPECT_EQ(get(L"rich2.tvm"), get(L"rich3.tvm"));
    std::string first = get(L"rich.tvm");
    EXPECT_EQ(first.compare(0, sizeof kHeader - 1, kHeader), 0);
    // Every line ends in CR LF and is indented with TABs only.
    size_t lines = 0, crlf = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        lines += first[i] == '\n';
        crlf += first[i] == '\n' && i > 0 && first[i - 1] == '\r';
    }
    EXPECT_EQ(lines, crlf);
    EXPECT_EQ(first.find(" Vertex"), std::string::npos);
    EXPECT_NE(first.find("\t\tMatrix(\"NoOrder\")\r\n"), std::string::npos);
    EXPECT_NE(first.find("Rotate(150,5,-7.5,\"NoRotate\")"), std::string::npos);
    EXPECT_NE(first.find("Stage(\"SUTRACT\",\"rt1.bmp\",1,\"MIRROR\",\"MIPMAPANISOTROPIC\",\"Unkown\")"),
              std::string::npos);
    EXPECT_NE(first.find("Stage(\"ADD\",\"rt3.bmp\",3,\"REPEAT\",\"POINT\",\"ZAXIS\",[0.5,-0.25],30,[4,8])"),
              std::string::npos);
    EXPECT_NE(first.find("\t\tBlend(1)\r\n"), std::string::npos);
}

TEST_F(Tvm, WriterLinesForPlainOffAndLineLayers)
{
    TRVXLAYER plain = TRVXL_CreateLayer(ctx, scene, L"plain");
    ASSERT_EQ(TRVXL_WriteLayer(ctx, plain, L"plain.tvm"), 1u);
    EXPECT_EQ(get(L"plain.tvm"), std::string(kHeader) + "Layer(\"plain\"){\r\n}\r\n");

    TRVXLAYER off = TRVXL_CreateLayer(ctx, scene, L"it's \"off\"");
    TRVXL_SwitchLayer(ctx, off, 0);
    TRVXLAYER dots = TRVXL_CreateLayer(ctx, off, L"dots");
    tagTRVXVERTEX v = {};
    v.position = {1, 2, 3, 1};
    TRVXL_SetVertex(ctx, dots, 1, &v);
    float size = 2;
    TRVXL_EXT_RecallFunction(ctx, dots, 41, (DWORD_PTR)&size, 0, 0);
    TRVXL_ModeLayer(ctx, dots, TRVX_MODE_LINES);
    ASSERT_EQ(TRVXL_WriteLayer(ctx, off, L"off.tvp"), 1u);
    EXPECT_EQ(get(L"off.tvp"), std::string(kHeader) +
                                   "Layer(\"it_s _off_\"){\r\n\tSwitch(0)\r\n\tLayer(\"dots\"){\r\n"
                                   "\t\tMode(\"LINE\",2)\r\n\t\tVertex([1,2,3],[0,0,0])\r\n\t}\r\n}\r\n");
    CreateDirectoryW(L"taken.tvm", nullptr);
    EXPECT_EQ(TRVXL_WriteLayer(ctx, plain, L"taken.tvm"), 0u) << "a folder cannot be replaced by a file";
}

TEST_F(Tvm, TexturesFromAnotherFolderAreWrittenByNameAndSetTheUvCount)
{
    CreateDirectoryW(L"maps", nullptr);
    FILE *f = _wfopen(L"maps\\far.bmp", L"wb");
    if (f)
        fclose(f);
    int slot = TRVX_ReadTexture(ctx, L"maps\\far.bmp", 0, 0, 0);
    ASSERT_NE(slot, 0);
    TRVXLAYER l = TRVXL_CreateLayer(ctx, scene, L"uv");
    set_geometry(ctx, l, 3, 1.0f);
    tagTRVXSTAGE s0 = stage(l, slot, 0x0101, 0, 0, 0x200), s1 = stage(l, slot, 0x0102, 0, 0, 0x200);
    tagTRVXSTAGE s2 = stage(l, 0, 0x0302, 0, 0, 0);
    TRVXL_TextureLayer(ctx, l, 0, &s0);
    TRVXL_TextureLayer(ctx, l, 1, &s1);
    TRVXL_TextureLayer(ctx, l, 2, &s2);
    ASSERT_EQ(TRVXL_WriteLayer(ctx, l, L"uv.tvm"), 1u);
    std::string text = get(L"uv.tvm");
    EXPECT_NE(text.find("\tStage(\"NORMAL\",\"far.bmp\",0,\"REPEAT\",\"LINEAR\",\"Unkown\")\r\n"), std::string::npos);
    EXPECT_NE(text.find("\tStage(\"ADD\",\"\")\r\n"), std::string::npos);
    EXPECT_NE(text.find("\tVertex([1,0,0],[0.6,-0.8,0],[0,1],[0.25,0.875])\r\n"), std::string::npos) << text;
}

} // namespace
