// Malformed, oversized and malicious glTF files: each is refused with a message that says what is
// wrong, and no tree is left.
#include "gltf_test_files.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

void expect_refused(const std::vector<uint8_t> &bytes, const std::string &fragment, TestFolder *folder = nullptr)
{
    SceneTree tree;
    std::string error;
    EXPECT_FALSE(test_import(bytes, &tree, &error, folder));
    EXPECT_NE(error.find(fragment), std::string::npos) << "message: " << error;
    EXPECT_TRUE(tree.layers.empty());
    EXPECT_TRUE(tree.roots.empty());
}

void expect_refused(const std::string &text, const std::string &fragment, TestFolder *folder = nullptr)
{
    expect_refused(std::vector<uint8_t>(text.begin(), text.end()), fragment, folder);
}

TestGltf triangle()
{
    TestGltf g;
    g.mesh_node("t", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2});
    return g;
}

void put_u32(std::vector<uint8_t> *b, size_t at, uint32_t v) { memcpy(b->data() + at, &v, 4); }

TEST(GltfBadInput, GlbContainersThatLie)
{
    const std::vector<uint8_t> good = triangle().glb();
    std::vector<uint8_t> cut(good.begin(), good.end() - 8);
    expect_refused(cut, "claims");                   // header length past the end
    std::vector<uint8_t> huge = good;
    put_u32(&huge, 8, 0x80000000u);                  // a 2 GB claimed length
    expect_refused(huge, "claims 2147483648 bytes");
    std::vector<uint8_t> json = good;
    put_u32(&json, 12, 0xFFFFFFF0u);                 // JSON chunk far past the end (and wrapping 32 bits)
    expect_refused(json, "JSON chunk");
    std::vector<uint8_t> bin = good;
    const uint32_t jsonLength = *(const uint32_t *)(good.data() + 12);
    put_u32(&bin, 20 + jsonLength, 0xFFFFFFFCu);     // BIN chunk past the end
    expect_refused(bin, "BIN chunk");
    expect_refused(std::vector<uint8_t>(good.begin(), good.begin() + 10), "cut short");
    std::vector<uint8_t> version = good;
    put_u32(&version, 4, 1);
    expect_refused(version, "version");
}

TEST(GltfBadInput, AccessorsAndIndicesOutsideTheirData)
{
    TestGltf g = triangle();
    g.doc["accessors"][0]["count"] = 4; // 4 positions in a view of 3
    expect_refused(g.text(), "past the end of its buffer view");

    g = triangle();
    g.doc["accessors"][0]["count"] = 0x40000000u; // count x stride overflows 32 bits
    g.doc["bufferViews"][0]["byteStride"] = 16;
    expect_refused(g.text(), "buffer view");

    g = triangle();
    g.doc["bufferViews"][0]["byteLength"] = 1u << 30; // a view past its buffer
    expect_refused(g.glb(), "past the end of its buffer");

    g = triangle();
    const uint16_t bad[3] = {0, 1, 3};
    memcpy(g.bin.data() + 36, bad, 6); // an index past the vertex count
    expect_refused(g.text(), "past the vertex count 3");

    g = triangle();
    g.doc["accessors"][0]["bufferView"] = 9;
    expect_refused(g.text(), "does not exist");

    g = triangle();
    g.doc["accessors"][0].erase("bufferView"); // all zeros, but claiming a billion of them
    g.doc["accessors"][0]["count"] = 1000000000;
    expect_refused(g.text(), "without a buffer");

    g = triangle();
    g.doc["accessors"][0]["type"] = "VEC2";
    expect_refused(g.text(), "wrong element type");
}

TEST(GltfBadInput, FilesOutsideTheModelsFolderAreNeverOpened)
{
    TestGltf g = triangle();
    for (const std::string uri : {"../secret.bin", "..%2Fsecret.bin", "sub/../../x.bin", "/etc/passwd", "C:/x.bin",
                                  "\\\\server\\share\\x.bin", "file:///etc/passwd"}) {
        TestFolder folder;
        folder.files["../secret.bin"] = g.bin;
        expect_refused(g.text_with_buffer(uri), "", &folder);
        EXPECT_TRUE(folder.asked.empty()) << uri;
    }
    TestFolder folder;
    expect_refused(g.text_with_buffer("../secret.bin"), "outside the model's folder", &folder);
    g.doc["images"] = {{{"uri", "../../photo.png"}}};
    g.doc["textures"] = {{{"source", 0}}};
    g.doc["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}};
    g.doc["meshes"][0]["primitives"][0]["material"] = 0;
    expect_refused(g.text(), "outside the model's folder", &folder);
    EXPECT_TRUE(folder.asked.empty());
}

TEST(GltfBadInput, DataThatDoesNotDecode)
{
    TestGltf g = triangle();
    expect_refused(g.text_with_buffer("data:application/octet-stream;base64,AAAA!!!!AAAA"), "");
    g.doc["images"] = {{{"uri", "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAAB"}}};
    g.doc["textures"] = {{{"source", 0}}};
    g.doc["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}};
    g.doc["meshes"][0]["primitives"][0]["material"] = 0;
    expect_refused(g.text(), "does not decode");
    expect_refused(std::string("{\"asset\":{\"version\":\"2.0\"},\"nodes\":[{"), "");
    expect_refused(std::string("not a model at all"), "");
    expect_refused(std::string(), "");
}

TEST(GltfBadInput, NodeGraphsThatAreNotTrees)
{
    TestGltf g = triangle();
    g.node("a", 0);
    g.doc["nodes"][1]["children"] = {0}; // 0 -> 1 -> 0
    expect_refused(g.text(), "cycle");
    g = triangle();
    g.node("self");
    g.doc["nodes"][1]["children"] = {1};
    expect_refused(g.text(), "reached twice");
    g = triangle();
    for (int i = 0; i < 600; ++i)
        g.node("deep", (int)g.doc["nodes"].size() - 1);
    expect_refused(g.text(), "deeper than");
    g = triangle();
    g.doc["scenes"][0]["nodes"] = {5};
    expect_refused(g.text(), "node 5 does not exist");
    g = triangle();
    g.doc["extensionsRequired"] = {"KHR_draco_mesh_compression"};
    g.doc["extensionsUsed"] = {"KHR_draco_mesh_compression"};
    expect_refused(g.text(), "KHR_draco_mesh_compression");
    g = triangle();
    g.doc["nodes"][0]["matrix"] = {1, 0, 0, 0, 0.5, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expect_refused(g.text(), "not a translation, rotation and scale");
}

} // namespace
