// glTF documents made by the native tests: a JSON document and one binary buffer, written as a
// .gltf text (buffer as a data URI or a file) or as a .glb container.
#pragma once

#include "gltf_import.h"

#include <map>
#include <nlohmann/json.hpp>

struct TestGltf {
    nlohmann::json doc;
    std::vector<uint8_t> bin;

    TestGltf();
    // A buffer view of the bytes (4-byte aligned in the buffer) and its index.
    int view(const void *data, size_t size, int stride = 0);
    int accessor(int view, int componentType, size_t count, const char *type, bool normalized = false);
    // A node with a mesh of one triangle-list primitive (positions, optional indices) under `parent`
    // (-1: a root of the scene); returns the node.
    int mesh_node(const std::string &name, const std::vector<float> &positions, const std::vector<uint16_t> &indices,
                  int parent = -1, int material = -1);
    int node(const std::string &name, int parent = -1);

    std::string text() const;                         // buffer as a data URI
    std::string text_with_buffer(const std::string &uri) const;
    std::vector<uint8_t> glb() const;
};

// Files beside the model, for the reader.
struct TestFolder {
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> asked;
    ImportReadFile reader();
};

std::string base64(const std::vector<uint8_t> &bytes);
// A 24-bit bitmap of w x h pixels, every pixel (b, g, r).
std::vector<uint8_t> test_bitmap(int w, int h, uint8_t b, uint8_t g, uint8_t r);

// Imports text or bytes; the error text when refused.
bool test_import(const std::string &text, SceneTree *tree, std::string *error, TestFolder *folder = nullptr);
bool test_import(const std::vector<uint8_t> &bytes, SceneTree *tree, std::string *error, TestFolder *folder = nullptr);
