// Small RGBA raster for textures, panels, menus and icons, with the file encoders they need:
// 24-bit bottom-up BMP (rows without padding where the texture loader asks for it), the
// "_alpha" companion mask and multi-size ICO files.
#pragma once
#include "out.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};
Rgba rgb(uint32_t hexRRGGBB, uint8_t alpha = 255);
Rgba mix(Rgba a, Rgba b, float t);

struct Pt {
  float x, y;
};

class Image {
public:
  Image() = default;
  Image(int w, int h, Rgba fill = Rgba{0, 0, 0, 255});
  int width() const { return w_; }
  int height() const { return h_; }
  Rgba get(int x, int y) const;
  void set(int x, int y, Rgba c);
  // Alpha-blends c over the pixel with the extra coverage factor (0..1); alpha of the
  // destination is combined as "over".
  void blend(int x, int y, Rgba c, float coverage = 1.0f);

  void fill(Rgba c);
  void fillRect(float x0, float y0, float x1, float y1, Rgba c);
  void fillRoundRect(float x0, float y0, float x1, float y1, float radius, Rgba c);
  void strokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, Rgba c);
  void fillCircle(float cx, float cy, float r, Rgba c);
  void fillPolygon(const std::vector<Pt>& pts, Rgba c);
  void line(float x0, float y0, float x1, float y1, float width, Rgba c);
  void vGradient(float x0, float y0, float x1, float y1, Rgba top, Rgba bottom);
  // Multiplies the colour by 1 + amount * noise, a fixed pattern from the seed.
  void grain(float amount, uint32_t seed, float scale = 1.0f);
  void blit(const Image& src, int dx, int dy);
  Image scaled(int w, int h) const;

private:
  int w_ = 0, h_ = 0;
  std::vector<Rgba> px_;
};

// Deterministic value noise in [0, 1).
float hashNoise(int x, int y, uint32_t seed);
float smoothNoise(float x, float y, uint32_t seed);
float fractalNoise(float x, float y, int octaves, uint32_t seed);

// A lamp's point sprite: white, opaque in a small core and fading through a soft halo to a clear
// edge, so that a lamp reads as a light at any size.
Image lampGlow();

// 24-bit bottom-up BMP of the colour channels.
Bytes encodeBmp24(const Image& img);
// The loader's "_alpha" mask: alpha stored in every channel (the loader reads red).
Bytes encodeAlphaMask(const Image& img);
// ICO with one 32-bit image per size (each the source scaled).
Bytes encodeIco(const Image& img, const std::vector<int>& sizes);

// Writes name.bmp, and name_alpha.bmp when withAlpha is set; the texture width must keep
// rows unpadded (3 * width a multiple of 4).
void writeTexture(const std::string& relNoExt, const Image& img, bool withAlpha);

} // namespace content
