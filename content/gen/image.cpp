// RGBA raster and encoders (see image.h).
#include "image.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace content {

Rgba rgb(uint32_t hex, uint8_t alpha)
{
  return Rgba{uint8_t(hex >> 16), uint8_t(hex >> 8), uint8_t(hex), alpha};
}

static uint8_t lerp8(uint8_t a, uint8_t b, float t)
{
  return uint8_t(std::lround(a + (b - a) * t));
}

Rgba mix(Rgba a, Rgba b, float t)
{
  t = std::clamp(t, 0.0f, 1.0f);
  return Rgba{lerp8(a.r, b.r, t), lerp8(a.g, b.g, t), lerp8(a.b, b.b, t), lerp8(a.a, b.a, t)};
}

Image::Image(int w, int h, Rgba fill) : w_(w), h_(h), px_(size_t(w) * size_t(h), fill) {}

Rgba Image::get(int x, int y) const
{
  x = std::clamp(x, 0, w_ - 1);
  y = std::clamp(y, 0, h_ - 1);
  return px_[size_t(y) * w_ + x];
}

void Image::set(int x, int y, Rgba c)
{
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  px_[size_t(y) * w_ + x] = c;
}

void Image::blend(int x, int y, Rgba c, float coverage)
{
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  Rgba& d = px_[size_t(y) * w_ + x];
  const float sa = c.a / 255.0f * std::clamp(coverage, 0.0f, 1.0f);
  if (sa <= 0.0f) return;
  const float da = d.a / 255.0f;
  const float oa = sa + da * (1.0f - sa);
  auto ch = [&](uint8_t s, uint8_t dd) {
    return uint8_t(std::lround((s * sa + dd * da * (1.0f - sa)) / oa));
  };
  d = Rgba{ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), uint8_t(std::lround(oa * 255.0f))};
}

void Image::fill(Rgba c) { std::fill(px_.begin(), px_.end(), c); }

// Coverage of a pixel by a shape given as a signed-distance function (negative inside).
template <class F> static void fillSdf(Image& img, float x0, float y0, float x1, float y1, Rgba c, F sdf)
{
  const int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
  const int ix1 = std::min(img.width() - 1, int(std::ceil(x1)) + 1);
  const int iy1 = std::min(img.height() - 1, int(std::ceil(y1)) + 1);
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x) {
      const float d = sdf(x + 0.5f, y + 0.5f);
      const float cov = std::clamp(0.5f - d, 0.0f, 1.0f);
      if (cov > 0.0f) img.blend(x, y, c, cov);
    }
}

void Image::fillRect(float x0, float y0, float x1, float y1, Rgba c)
{
  fillSdf(*this, x0, y0, x1, y1, c, [&](float px, float py) {
    return std::max(std::max(x0 - px, px - x1), std::max(y0 - py, py - y1));
  });
}

static float roundRectSdf(float px, float py, float x0, float y0, float x1, float y1, float r)
{
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

void Image::fillRoundRect(float x0, float y0, float x1, float y1, float r, Rgba c)
{
  r = std::min({r, (x1 - x0) / 2, (y1 - y0) / 2});
  fillSdf(*this, x0, y0, x1, y1, c, [&](float px, float py) { return roundRectSdf(px, py, x0, y0, x1, y1, r); });
}

void Image::strokeRoundRect(float x0, float y0, float x1, float y1, float r, float w, Rgba c)
{
  r = std::min({r, (x1 - x0) / 2, (y1 - y0) / 2});
  fillSdf(*this, x0 - w, y0 - w, x1 + w, y1 + w, c, [&](float px, float py) {
    return std::fabs(roundRectSdf(px, py, x0, y0, x1, y1, r)) - w / 2;
  });
}

void Image::fillCircle(float cx, float cy, float r, Rgba c)
{
  fillSdf(*this, cx - r, cy - r, cx + r, cy + r, c,
          [&](float px, float py) { return std::hypot(px - cx, py - cy) - r; });
}

void Image::line(float x0, float y0, float x1, float y1, float w, Rgba c)
{
  const float dx = x1 - x0, dy = y1 - y0;
  const float len2 = std::max(dx * dx + dy * dy, 1e-6f);
  fillSdf(*this, std::min(x0, x1) - w, std::min(y0, y1) - w, std::max(x0, x1) + w, std::max(y0, y1) + w, c,
          [&](float px, float py) {
            const float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f);
            return std::hypot(px - x0 - t * dx, py - y0 - t * dy) - w / 2;
          });
}

void Image::fillPolygon(const std::vector<Pt>& pts, Rgba c)
{
  if (pts.size() < 3) return;
  float minx = pts[0].x, maxx = minx, miny = pts[0].y, maxy = miny;
  for (const Pt& p : pts) {
    minx = std::min(minx, p.x); maxx = std::max(maxx, p.x);
    miny = std::min(miny, p.y); maxy = std::max(maxy, p.y);
  }
  // 4 x 4 supersampled even-odd fill.
  const int ix0 = std::max(0, int(minx)), ix1 = std::min(w_ - 1, int(maxx) + 1);
  const int iy0 = std::max(0, int(miny)), iy1 = std::min(h_ - 1, int(maxy) + 1);
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const float px = x + (sx + 0.5f) / 4, py = y + (sy + 0.5f) / 4;
          bool in = false;
          for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const Pt& a = pts[i];
            const Pt& b = pts[j];
            if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) in = !in;
          }
          hits += in;
        }
      if (hits) blend(x, y, c, hits / 16.0f);
    }
}

void Image::vGradient(float x0, float y0, float x1, float y1, Rgba top, Rgba bottom)
{
  for (int y = std::max(0, int(y0)); y < std::min(h_, int(std::ceil(y1))); ++y) {
    const Rgba c = mix(top, bottom, (y + 0.5f - y0) / std::max(1.0f, y1 - y0));
    for (int x = std::max(0, int(x0)); x < std::min(w_, int(std::ceil(x1))); ++x) blend(x, y, c);
  }
}

void Image::grain(float amount, uint32_t seed, float scale)
{
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      const float n = (scale == 1.0f ? hashNoise(x, y, seed) : smoothNoise(x / scale, y / scale, seed)) * 2 - 1;
      Rgba& p = px_[size_t(y) * w_ + x];
      const float f = 1.0f + amount * n;
      p.r = uint8_t(std::clamp(p.r * f, 0.0f, 255.0f));
      p.g = uint8_t(std::clamp(p.g * f, 0.0f, 255.0f));
      p.b = uint8_t(std::clamp(p.b * f, 0.0f, 255.0f));
    }
}

void Image::blit(const Image& src, int dx, int dy)
{
  for (int y = 0; y < src.h_; ++y)
    for (int x = 0; x < src.w_; ++x) set(dx + x, dy + y, src.get(x, y));
}

Image Image::scaled(int w, int h) const
{
  // Box filter over the source area of each target pixel (premultiplied, so edges stay clean).
  Image out(w, h, Rgba{0, 0, 0, 0});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sx0 = x * w_ / w, sx1 = std::max(sx0 + 1, (x + 1) * w_ / w);
      const int sy0 = y * h_ / h, sy1 = std::max(sy0 + 1, (y + 1) * h_ / h);
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = sy0; sy < sy1; ++sy)
        for (int sx = sx0; sx < sx1; ++sx) {
          const Rgba p = get(sx, sy);
          r += p.r * p.a; g += p.g * p.a; b += p.b * p.a; a += p.a;
        }
      const double n = double(sx1 - sx0) * (sy1 - sy0);
      if (a > 0)
        out.set(x, y, Rgba{uint8_t(std::lround(r / a)), uint8_t(std::lround(g / a)), uint8_t(std::lround(b / a)),
                           uint8_t(std::lround(a / n))});
    }
  return out;
}

float hashNoise(int x, int y, uint32_t seed)
{
  uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u ^ uint32_t(y) * 0xC2B2AE3Du;
  h ^= h >> 15; h *= 0x2C1B3C6Du; h ^= h >> 12; h *= 0x297A2D39u; h ^= h >> 15;
  return (h & 0xFFFFFF) / 16777216.0f;
}

float smoothNoise(float x, float y, uint32_t seed)
{
  const int ix = int(std::floor(x)), iy = int(std::floor(y));
  float fx = x - ix, fy = y - iy;
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  const float a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
  const float c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float fractalNoise(float x, float y, int octaves, uint32_t seed)
{
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * smoothNoise(x, y, seed + uint32_t(i) * 101);
    norm += amp;
    amp *= 0.5f;
    x *= 2.03f;
    y *= 2.03f;
  }
  return sum / norm;
}

static void put16(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
static void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }

template <class F> static Bytes encodeBmp(const Image& img, F pixel)
{
  const uint32_t w = uint32_t(img.width()), h = uint32_t(img.height());
  const uint32_t row = (w * 3 + 3) & ~3u;
  Bytes b;
  b.reserve(54 + row * h);
  b.push_back('B'); b.push_back('M');
  put32(b, 54 + row * h); put32(b, 0); put32(b, 54);
  put32(b, 40); put32(b, w); put32(b, h); put16(b, 1); put16(b, 24); put32(b, 0);
  put32(b, row * h); put32(b, 2835); put32(b, 2835); put32(b, 0); put32(b, 0);
  for (int y = int(h) - 1; y >= 0; --y) {
    for (uint32_t x = 0; x < w; ++x) {
      const Rgba p = pixel(img.get(int(x), y));
      b.push_back(p.b); b.push_back(p.g); b.push_back(p.r);
    }
    for (uint32_t pad = w * 3; pad < row; ++pad) b.push_back(0);
  }
  return b;
}

Image lampGlow()
{
  const int S = 32;
  Image img(S, S, Rgba{255, 255, 255, 0});
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      const float dx = (x + 0.5f) / S * 2 - 1, dy = (y + 0.5f) / S * 2 - 1;
      const float r = std::min(1.0f, std::hypot(dx, dy));
      const float core = std::exp(-(r / 0.18f) * (r / 0.18f));
      const float halo = 0.45f * std::exp(-(r / 0.45f) * (r / 0.45f)) * (1 - r);
      img.set(x, y, Rgba{255, 255, 255, uint8_t(std::clamp(core + halo, 0.0f, 1.0f) * 255)});
    }
  return img;
}

Bytes encodeBmp24(const Image& img)
{
  return encodeBmp(img, [](Rgba p) { return p; });
}

Bytes encodeAlphaMask(const Image& img)
{
  return encodeBmp(img, [](Rgba p) { return Rgba{p.a, p.a, p.a, 255}; });
}

Bytes encodeIco(const Image& img, const std::vector<int>& sizes)
{
  Bytes dir, data;
  put16(dir, 0); put16(dir, 1); put16(dir, uint32_t(sizes.size()));
  uint32_t offset = 6 + 16 * uint32_t(sizes.size());
  for (int s : sizes) {
    const Image im = img.scaled(s, s);
    Bytes d;
    // BITMAPINFOHEADER with doubled height (colour rows then the AND mask), rows bottom-up.
    put32(d, 40); put32(d, uint32_t(s)); put32(d, uint32_t(s * 2)); put16(d, 1); put16(d, 32); put32(d, 0);
    put32(d, 0); put32(d, 0); put32(d, 0); put32(d, 0); put32(d, 0);
    for (int y = s - 1; y >= 0; --y)
      for (int x = 0; x < s; ++x) {
        const Rgba p = im.get(x, y);
        d.push_back(p.b); d.push_back(p.g); d.push_back(p.r); d.push_back(p.a);
      }
    const int maskRow = ((s + 31) / 32) * 4;
    for (int y = s - 1; y >= 0; --y) {
      std::vector<uint8_t> row(size_t(maskRow), 0);
      for (int x = 0; x < s; ++x)
        if (im.get(x, y).a < 128) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      d.insert(d.end(), row.begin(), row.end());
    }
    dir.push_back(uint8_t(s >= 256 ? 0 : s)); dir.push_back(uint8_t(s >= 256 ? 0 : s));
    dir.push_back(0); dir.push_back(0);
    put16(dir, 1); put16(dir, 32); put32(dir, uint32_t(d.size())); put32(dir, offset);
    offset += uint32_t(d.size());
    data.insert(data.end(), d.begin(), d.end());
  }
  dir.insert(dir.end(), data.begin(), data.end());
  return dir;
}

void writeTexture(const std::string& relNoExt, const Image& img, bool withAlpha)
{
  if ((img.width() * 3) % 4 != 0) throw std::runtime_error("texture rows need padding: " + relNoExt);
  writeFile(relNoExt + ".bmp", encodeBmp24(img));
  if (withAlpha) writeFile(relNoExt + "_alpha.bmp", encodeAlphaMask(img));
}

} // namespace content
