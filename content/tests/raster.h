// Preview renderer for the generated models: a small z-buffered software rasteriser that
// draws check::Model trees the way the engine and its driver do (row-vector transforms in the
// layer's orders, left-handed projection from a lens in millimetres, culling of faces whose
// normal points away from the eye, lit or unlit texture stages, transparency sorted back to
// front, point lamps, linear fog, screen overlays), and writes PNG files.
#pragma once
#include "tvm_check.h"

#include <cstdint>
#include <string>
#include <vector>

namespace check {

struct Camera {
  V3 eye, target, up{0, 1, 0};
  float lens = 50;                 // mm, vertical field of view 2 atan(17.5 / lens)
  float nearClip = 0.3f, farClip = 30000;
};

struct Light {
  V3 direction{-0.4f, -0.8f, 0.45f}; // towards which the light shines
  float diffuse[3] = {0.95f, 0.93f, 0.88f};
  float ambient[3] = {0.38f, 0.4f, 0.45f};
};

struct Placed {
  const Model* model;
  content::Affine place; // applied to the model's top layers
};

class Raster {
public:
  Raster(int w, int h, uint32_t background);
  void setFog(float start, float end, uint32_t rgb);
  // Draws the 3D layers of the models (overlays are skipped).
  void draw3D(const std::vector<Placed>& models, const Camera& cam, const Light& light);
  // Draws the Screen layers as overlays (pixels from the centre, y up), nearest depth last.
  // back = true draws the back overlays (depth keys 1 to 2) instead of the front ones.
  void drawOverlays(const std::vector<Placed>& models, bool back = false);
  bool writePng(const std::string& path) const;
  uint32_t pixel(int x, int y) const { return rgb_[size_t(y) * w_ + x]; }
  int width() const { return w_; }
  int height() const { return h_; }
  // Number of pixels whose colour differs from the background.
  int covered() const;

private:
  struct Texture;
  const Texture* texture(const std::string& folder, const std::string& file);
  int w_, h_;
  uint32_t bg_;
  std::vector<uint32_t> rgb_;
  std::vector<float> depth_;
  float fogStart_ = 0, fogEnd_ = 0;
  uint32_t fogColour_ = 0;
  std::vector<std::pair<std::string, std::shared_ptr<Texture>>> cache_;
};

// Model-space transform of a node (its own motion and its ancestors').
content::Affine nodeWorld(const Node& n);

} // namespace check
