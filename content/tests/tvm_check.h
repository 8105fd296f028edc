// A strict reader of the text model files for the checks and the preview renderer: it runs
// the format's syntax pass, splits records, checks each record's argument signature and word
// tables, and builds a plain tree with everything the engine would keep.
#pragma once
#include "geom.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace check {

using content::V3;

struct Stage {
  int blend = 0;
  std::string file;
  int option = 0;
  std::string addressing, filter, mapping;
};

struct Vertex {
  V3 p, n;
  float uv[4][2] = {};
};

struct Node {
  std::string name;
  Node* parent = nullptr;
  bool on = true;
  V3 translate, rotate, scale{1, 1, 1};
  std::string rotationOrder = "ZXY", transformOrder = "SRT";
  float nearLimit = 0, farLimit = 0;
  uint32_t diffuse = 0xFFFFFF, specular = 0, ambient = 0xFFFFFF, emissive = 0; // 0x00BBGGRR
  float dullness = 0;
  std::vector<std::string> attributes;
  int transparency = 0;
  uint32_t mode = 0;
  float pointSize = 0;
  std::vector<Stage> stages;
  std::vector<std::array<uint16_t, 3>> faces;
  std::vector<Vertex> verts;
  std::vector<std::unique_ptr<Node>> children;

  bool has(const std::string& attr) const;
  Node* find(const std::string& n);
  void collect(std::vector<Node*>& out);
};

struct Model {
  std::unique_ptr<Node> root; // holds the file's top-level layers as children
  std::string folder;         // folder of the file, ending in '/'
  Node* top() const { return root && !root->children.empty() ? root->children.back().get() : nullptr; }
};

// Reads and checks a file; on failure returns false with a message naming the line.
bool readModel(const std::string& path, Model& out, std::string& error);
bool parseModel(const std::string& text, Model& out, std::string& error);

// Word tables of the format.
int wordNumber(const std::string& table, const std::string& word);

} // namespace check
