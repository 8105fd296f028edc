// Layer trees and their text model files. A Layer carries what the model reader understands:
// switch, motion, material, attribute words, transparency, drawing mode, texture stages,
// geometry and children. Builders may give geometry in model coordinates (setWorldMesh),
// which is turned into the layer's own frame through its ancestors' motions.
#pragma once
#include "mesh.h"
#include "out.h"

#include <memory>
#include <string>
#include <vector>

namespace content {

// Colour in the model files' form 0x00BBGGRR from a 0xRRGGBB value.
uint32_t bgr(uint32_t rrggbb);

// The soft round sprite every lamp is drawn with; each folder with lamps writes it (lampGlow()).
inline const char kLampGlowFile[] = "lamp_glow.bmp";

struct Stage {
  std::string blend = "NORMAL_SHADE";
  std::string file;      // texture file beside the model; empty = no texture
  int option = 0;        // nonzero: black is transparent
  std::string addressing = "REPEAT";
  std::string filter = "MIPMAPLINEAR";
};

struct Layer {
  std::string name;
  Layer* parent = nullptr;
  bool on = true;
  V3 translate, rotate, scale{1, 1, 1};
  std::string rotationOrder; // empty = the default "ZXY"
  float nearLimit = 0, farLimit = 0;
  bool material = false;
  uint32_t diffuse = 0xFFFFFF, specular = 0, ambient = 0xFFFFFF, emissive = 0; // 0x00BBGGRR
  int dullness = 0;
  std::vector<std::string> attributes;
  int transparency = 0; // 0 opaque .. 255 invisible
  bool point = false;   // a lamp: one vertex drawn as a point sprite
  float pointSize = 0;  // pixels, for points
  std::vector<Stage> stages;
  float detailScale = 1;  // texture coordinates of sets 2 to 4 are the first set times this
  Mesh mesh;
  std::vector<std::unique_ptr<Layer>> children;

  Layer& add(const std::string& childName);
  // Finds a layer of this subtree by exact name (nullptr when absent).
  Layer* find(const std::string& n);
  // Local and model-space transforms.
  Affine local() const;
  Affine world() const;
  // Sets the geometry from model-space coordinates.
  void setWorldMesh(const Mesh& m);
  void addWorldMesh(const Mesh& m);
  // Lit colour: diffuse and ambient as given, optional specular with dullness.
  Layer& colour(uint32_t rrggbb, uint32_t specularRgb = 0, int dull = 0);
  // Unlit colour (emissive only), for overlays and lamps.
  Layer& glow(uint32_t rrggbb);
  Layer& texture(const std::string& file, const std::string& blend = "NORMAL_SHADE",
                 const std::string& filter = "MIPMAPLINEAR", const std::string& addressing = "REPEAT");
  // Makes this layer a lamp at the given model-space point, drawn with the lamp glow sprite
  // (kLampGlowFile, which the model's folder must hold).
  Layer& lamp(V3 worldPos, float size, uint32_t rrggbb);
};

// The whole file text (CR LF line ends, TAB indents) for the given top layer.
std::string writeTvm(const Layer& top);
// Formats a real the way the reader takes it back: optional minus, digits, optional fraction.
std::string formatReal(float v);

} // namespace content
