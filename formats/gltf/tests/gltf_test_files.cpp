// glTF documents for the native tests (see gltf_test_files.h).
#include "gltf_test_files.h"

#include <string.h>

TestGltf::TestGltf()
{
    doc["asset"] = {{"version", "2.0"}};
    doc["scene"] = 0;
    doc["scenes"] = nlohmann::json::array({nlohmann::json{{"nodes", nlohmann::json::array()}}});
    doc["nodes"] = nlohmann::json::array();
}

int TestGltf::view(const void *data, size_t size, int stride)
{
    while (bin.size() % 4)
        bin.push_back(0);
    nlohmann::json v = {{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", size}};
    if (stride)
        v["byteStride"] = stride;
    const uint8_t *p = static_cast<const uint8_t *>(data);
    bin.insert(bin.end(), p, p + size);
    doc["bufferViews"].push_back(v);
    return (int)doc["bufferViews"].size() - 1;
}

int TestGltf::accessor(int viewIndex, int componentType, size_t count, const char *type, bool normalized)
{
    nlohmann::json a = {{"bufferView", viewIndex}, {"componentType", componentType}, {"count", count}, {"type", type}};
    if (normalized)
        a["normalized"] = true;
    doc["accessors"].push_back(a);
    return (int)doc["accessors"].size() - 1;
}

int TestGltf::node(const std::string &name, int parent)
{
    doc["nodes"].push_back({{"name", name}});
    const int n = (int)doc["nodes"].size() - 1;
    if (parent < 0)
        doc["scenes"][0]["nodes"].push_back(n);
    else
        doc["nodes"][(size_t)parent]["children"].push_back(n);
    return n;
}

int TestGltf::mesh_node(const std::string &name, const std::vector<float> &positions,
                        const std::vector<uint16_t> &indices, int parent, int material)
{
    nlohmann::json primitive;
    primitive["attributes"]["POSITION"] =
        accessor(view(positions.data(), positions.size() * 4), 5126, positions.size() / 3, "VEC3");
    if (!indices.empty())
        primitive["indices"] = accessor(view(indices.data(), indices.size() * 2), 5123, indices.size(), "SCALAR");
    if (material >= 0)
        primitive["material"] = material;
    doc["meshes"].push_back({{"primitives", nlohmann::json::array({primitive})}});
    const int n = node(name, parent);
    doc["nodes"][(size_t)n]["mesh"] = doc["meshes"].size() - 1;
    return n;
}

std::string base64(const std::vector<uint8_t> &bytes)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t v = (uint32_t)bytes[i] << 16;
        if (i + 1 < bytes.size())
            v |= (uint32_t)bytes[i + 1] << 8;
        if (i + 2 < bytes.size())
            v |= bytes[i + 2];
        out += kChars[(v >> 18) & 63];
        out += kChars[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kChars[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kChars[v & 63] : '=';
    }
    return out;
}

std::string TestGltf::text() const
{
    return text_with_buffer("data:application/octet-stream;base64," + base64(bin));
}

std::string TestGltf::text_with_buffer(const std::string &uri) const
{
    nlohmann::json d = doc;
    if (!bin.empty())
        d["buffers"] = nlohmann::json::array({{{"byteLength", bin.size()}, {"uri", uri}}});
    return d.dump();
}

std::vector<uint8_t> TestGltf::glb() const
{
    nlohmann::json d = doc;
    if (!bin.empty())
        d["buffers"] = nlohmann::json::array({{{"byteLength", bin.size()}}});
    std::string json = d.dump();
    while (json.size() % 4)
        json += ' ';
    std::vector<uint8_t> b = bin;
    while (b.size() % 4)
        b.push_back(0);
    std::vector<uint8_t> out;
    auto u32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back((uint8_t)(v >> (8 * i)));
    };
    u32(0x46546C67);
    u32(2);
    u32((uint32_t)(12 + 8 + json.size() + (b.empty() ? 0 : 8 + b.size())));
    u32((uint32_t)json.size());
    u32(0x4E4F534A);
    out.insert(out.end(), json.begin(), json.end());
    if (!b.empty()) {
        u32((uint32_t)b.size());
        u32(0x004E4942);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

ImportReadFile TestFolder::reader()
{
    return [this](const std::string &name, std::vector<uint8_t> *bytes) {
        asked.push_back(name);
        auto it = files.find(name);
        if (it == files.end())
            return false;
        *bytes = it->second;
        return true;
    };
}

std::vector<uint8_t> test_bitmap(int w, int h, uint8_t b, uint8_t g, uint8_t r)
{
    const int row = (w * 3 + 3) & ~3;
    const uint32_t size = 54 + (uint32_t)(row * h);
    std::vector<uint8_t> out(size, 0);
    auto put = [&out](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out[at + (size_t)i] = (uint8_t)(v >> (8 * i));
    };
    out[0] = 'B', out[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, (uint32_t)w, 4);
    put(22, (uint32_t)h, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t *p = &out[54 + (size_t)(y * row + x * 3)];
            p[0] = b, p[1] = g, p[2] = r;
        }
    return out;
}

bool test_import(const std::vector<uint8_t> &bytes, SceneTree *tree, std::string *error, TestFolder *folder)
{
    TestFolder empty;
    TestFolder *f = folder ? folder : &empty;
    return gltf_import(bytes.data(), bytes.size(), f->reader(), nullptr, tree, error);
}

bool test_import(const std::string &text, SceneTree *tree, std::string *error, TestFolder *folder)
{
    return test_import(std::vector<uint8_t>(text.begin(), text.end()), tree, error, folder);
}
