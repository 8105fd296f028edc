// The glTF plug-in through the real engine: trvx.dll loads trvx_gltf.dll and trvx_tvm.dll beside it
// (with the recording test driver, whose matrices are the drivers' shared transform code). The
// content generator's aircraft and airport read the same through both plug-ins; glTF rotations come
// out of the engine's own evaluation as the file's matrices; trees go to glTF and back unchanged;
// refused files leave nothing behind.
#include "trvx.h"

#include "gltf_plugin.h"
#include "plugin/trvx_transform.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace {

HWND g_window;
TRVXCONTEXT g_ctx;

// The content generator's models, from bin/tests/gltf_tests/.
const wchar_t kContent[] = L"..\\..\\";
const wchar_t kGltfModels[] = L"..\\..\\..\\gltf_models\\";

class Gltf : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"GltfTestWindow";
        RegisterClassW(&wc);
        g_window = CreateWindowW(L"GltfTestWindow", L"gltf tests", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr,
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
    std::wstring message()
    {
        wchar_t text[512] = L"";
        for (int i = 0; i < ctx->formatCount; ++i)
            if (ctx->formats[i].entry &&
                ctx->formats[i].entry(TRVXCMD_FORMAT_MESSAGE, ctx, reinterpret_cast<DWORD_PTR>(text), 512, 0, 0))
                return text;
        return std::wstring();
    }
    TRVXLAYER read(const std::wstring &file) { return TRVXL_ReadLayer(ctx, scene, file.c_str()); }

    TRVXCONTEXT ctx = nullptr;
    TRVXLAYER scene = nullptr;
};

// Two trees hold the same layers. `exact` also asks for the same materials, switches, ranges and
// flags (a tree written by the plug-in and read back); positions agree within float precision.
void expect_same_tree(TRVXLAYER a, TRVXLAYER b, bool exact)
{
    SCOPED_TRACE(std::string(a->name, a->name + wcslen(a->name)));
    EXPECT_STREQ(a->name, b->name);
    ASSERT_EQ(a->childCount, b->childCount);
    ASSERT_EQ(a->vertexCount, b->vertexCount);
    ASSERT_EQ(a->faceCount, b->faceCount);
    for (int i = 0; i < a->vertexCount; ++i)
        for (int k = 0; k < 3; ++k) {
            const float *p = &a->vertices[i].position.x, *q = &b->vertices[i].position.x;
            const float *n = &a->vertices[i].normal.x, *m = &b->vertices[i].normal.x;
            ASSERT_NEAR(p[k], q[k], 1e-5f * (1 + fabsf(p[k]))) << "vertex " << i;
            ASSERT_NEAR(n[k], m[k], 1e-4f) << "normal of vertex " << i; // text models keep 4 decimals, glTF unit length
        }
    for (int i = 0; i < a->faceCount; ++i)
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(a->faces[i].index[k], b->faces[i].index[k]) << "face " << i;
    const float *am[3] = {&a->translate.x, &a->rotate.x, &a->scale.x}, *bm[3] = {&b->translate.x, &b->rotate.x, &b->scale.x};
    for (int v = 0; v < 3; ++v)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(am[v][k], bm[v][k], 1e-4f * (1 + fabsf(am[v][k])));
    EXPECT_EQ(a->rotationOrder, b->rotationOrder);
    EXPECT_EQ(a->transformOrder, b->transformOrder);
    EXPECT_EQ(a->diffuse, b->diffuse);
    EXPECT_EQ(a->emissive, b->emissive);
    EXPECT_EQ(a->transparency, b->transparency);
    if (exact) {
        EXPECT_EQ(a->switchFlags, b->switchFlags);
        EXPECT_EQ(a->attributes, b->attributes);
        EXPECT_EQ(a->specular, b->specular);
        EXPECT_EQ(a->ambient, b->ambient);
        EXPECT_EQ(a->dullness, b->dullness);
        EXPECT_EQ(a->nearLimit, b->nearLimit);
        EXPECT_EQ(a->farLimit, b->farLimit);
        EXPECT_EQ(a->stages[0].blend, b->stages[0].blend);
        EXPECT_EQ(a->stages[0].texture != 0, b->stages[0].texture != 0);
    }
    for (int i = 0; i < a->childCount; ++i)
        expect_same_tree(a->children[i], b->children[i], exact);
}

TEST_F(Gltf, TheContentModelsReadTheSameThroughBothPlugins)
{
    const struct {
        const wchar_t *tvm, *gltf;
    } models[] = {{L"plane\\hx21ank\\hx21ank.tvm", L"hx21ank\\hx21ank.glb"},
                  {L"plane\\hx21ank\\hx21ank.tvm", L"hx21ank\\hx21ank.gltf"},
                  {L"port\\rjbh\\rjbh.tvm", L"rjbh\\rjbh.glb"}};
    for (const auto &m : models) {
        TRVXLAYER text = read(std::wstring(kContent) + m.tvm);
        TRVXLAYER gltf = read(std::wstring(kGltfModels) + m.gltf);
        ASSERT_NE(text, nullptr);
        ASSERT_NE(gltf, nullptr) << std::string(message().begin(), message().end());
        EXPECT_EQ(message(), L""); // nothing of the content is left out
        expect_same_tree(text, gltf, false);
        TRVXL_DeleteLayer(ctx, text, 1);
        TRVXL_DeleteLayer(ctx, gltf, 1);
    }
}

TEST_F(Gltf, RotationsComeOutOfTheEnginesEvaluationAsTheFilesMatrices)
{
    // Nodes with quaternions (x, y, z, w), the gimbal case among them, each with a translation.
    const double h = sqrt(0.5);
    const double q[][4] = {{0, h, 0, h}, {h, 0, 0, h}, {0, 0, h, h}, {0.5, 0.5, 0.5, 0.5}, {0.1, 0.7, -0.2, 0.677},
                           {h, 0, 0, -h}, {0.3, -0.4, 0.5, 0.707}};
    std::string nodes;
    for (size_t i = 0; i < sizeof q / sizeof q[0]; ++i) {
        char node[200];
        snprintf(node, sizeof node, "%s{\"name\":\"n%u\",\"rotation\":[%.9f,%.9f,%.9f,%.9f],\"translation\":[1,2,3]}",
                 i ? "," : "", (unsigned)i, q[i][0], q[i][1], q[i][2], q[i][3]);
        nodes += node;
    }
    put(L"turns.gltf", "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2,3,4,5,6]}],"
                       "\"nodes\":[" + nodes + "]}");
    TRVXLAYER top = read(L"turns.gltf");
    ASSERT_NE(top, nullptr);
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    for (size_t i = 0; i < sizeof q / sizeof q[0]; ++i) {
        const TRVXLAYER l = scene->children[i];
        const TRVXTRANSFORM *t = static_cast<const TRVXTRANSFORM *>(l->transformBlock);
        ASSERT_NE(t, nullptr);
        // The file's rotation matrix (column vectors), mirrored: engine row-vector matrix E = M R^T M.
        const double n = sqrt(q[i][0] * q[i][0] + q[i][1] * q[i][1] + q[i][2] * q[i][2] + q[i][3] * q[i][3]);
        const double x = q[i][0] / n, y = q[i][1] / n, z = q[i][2] / n, w = q[i][3] / n;
        const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                                {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                                {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                const double sign = ((row == 2) != (col == 2)) ? -1 : 1;
                EXPECT_NEAR(t->world[row][col], sign * r[col][row], 2e-6) << "node " << i << " [" << row << "][" << col << "]";
            }
        EXPECT_FLOAT_EQ(t->world[3][0], 1);
        EXPECT_FLOAT_EQ(t->world[3][1], 2);
        EXPECT_FLOAT_EQ(t->world[3][2], -3);
    }
}

TEST_F(Gltf, TextModelsGoToGltfAndBackUnchanged)
{
    TRVXLAYER original = read(std::wstring(kContent) + L"plane\\hx21ank\\hx21ank.tvm");
    ASSERT_NE(original, nullptr);
    // Layers the text model cannot tell from the content: a switch, a range, a rotation order.
    TRVXL_SwitchLayer(ctx, original->children[0], 0);
    original->children[0]->nearLimit = 2, original->children[0]->farLimit = 900;
    const TRVXVECTOR turn = {10, 20, 30, 0};
    TRVXL_MoveLayer(ctx, original->children[1], nullptr, &turn, nullptr, 0, 5);
    for (const wchar_t *file : {L"roundtrip.gltf", L"roundtrip.glb"}) {
        ASSERT_EQ(TRVXL_WriteLayer(ctx, original, file), 1u) << std::string(message().begin(), message().end());
        TRVXLAYER back = read(file);
        ASSERT_NE(back, nullptr) << std::string(message().begin(), message().end());
        ASSERT_EQ(TRVXL_WriteLayer(ctx, back, L"roundtrip.tvm"), 1u);
        TRVXLAYER text = read(L"roundtrip.tvm");
        ASSERT_NE(text, nullptr);
        expect_same_tree(original, text, true);
        TRVXL_DeleteLayer(ctx, back, 1);
        TRVXL_DeleteLayer(ctx, text, 1);
    }
}

TEST_F(Gltf, RefusedFilesLeaveNothingAndSayWhy)
{
    const std::string triangle =
        "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}],\"accessors\":[{\"bufferView\":0,"
        "\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],";
    const struct {
        const wchar_t *file;
        std::string bytes, says;
    } cases[] = {
        {L"outside.gltf", triangle + "\"buffers\":[{\"byteLength\":36,\"uri\":\"..\\/secret.bin\"}]}", "outside the model's folder"},
        {L"cycle.gltf", "{\"asset\":{\"version\":\"2.0\"},\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"children\":[1]},{\"children\":[0]}]}", "cycle"},
        {L"short.glb", std::string("glTF\x02\0\0\0\xff\xff\xff\x7f\x10\0\0\0JSON{}      ", 32), "claims"},
        {L"garbage.gltf", "{\"asset\":", ""},
    };
    for (const auto &c : cases) {
        put(c.file, c.bytes);
        EXPECT_EQ(read(c.file), nullptr);
        EXPECT_EQ(scene->childCount, 0) << "a refused file left layers";
        const std::wstring text = message();
        EXPECT_NE(std::string(text.begin(), text.end()).find(c.says), std::string::npos);
        EXPECT_FALSE(text.empty());
    }
}

TEST_F(Gltf, EmbeddedTexturesAndSkippedPartsReachTheEngine)
{
    // A 1x1 red PNG in a data URI, on a mask material; a camera and an animation the engine cannot show.
    const std::string png = "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==";
    put(L"textured.gltf",
        "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],\"nodes\":[{\"name\":\"quad\",\"mesh\":0},"
        "{\"name\":\"eye\",\"camera\":0}],\"cameras\":[{\"type\":\"perspective\",\"perspective\":{\"yfov\":1,\"znear\":0.1}}],"
        "\"animations\":[{\"channels\":[],\"samplers\":[]}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"TEXCOORD_0\":1},\"material\":0}]}],"
        "\"materials\":[{\"alphaMode\":\"MASK\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}],"
        "\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"data:image/png;base64," + png + "\"}],"
        "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"},"
        "{\"bufferView\":1,\"componentType\":5126,\"count\":3,\"type\":\"VEC2\"}],"
        "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36},{\"buffer\":0,\"byteOffset\":36,\"byteLength\":24}],"
        "\"buffers\":[{\"byteLength\":60,\"uri\":\"data:application/octet-stream;base64,"
        "AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAAAAAAAAAAAAAAAIA/AAAAAAAAAAAAAIA/\"}]}");
    TRVXLAYER top = read(L"textured.gltf");
    ASSERT_NE(top, nullptr) << std::string(message().begin(), message().end());
    EXPECT_EQ(message(), L"Not shown: cameras and 1 animation.");
    TRVXLAYER quad = scene->children[0];
    EXPECT_EQ(quad->mode, TRVX_MODE_TEXTURED + 1);
    ASSERT_GT(quad->stages[0].texture, 0);
    const tagTRVXTEXTURE *t = reinterpret_cast<const tagTRVXTEXTURE *>(TRVX_GetInformation(ctx, 1000 + quad->stages[0].texture));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->options, 1);                 // alpha tested
    EXPECT_STREQ(t->extension, L".png");      // the cached copy the driver loads again after a reset
    EXPECT_EQ(quad->vertexCount, 3);
    EXPECT_NE(quad->faceCount, 0);
}

} // namespace
