// Preview rasteriser (see raster.h).
#include "raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

namespace check {

using content::Affine;

struct Raster::Texture {
  int w = 0, h = 0;
  std::vector<uint32_t> rgba; // 0xAARRGGBB
  bool alpha = false;
};

static bool readBmp(const std::string& path, int& w, int& h, std::vector<uint8_t>& bgr)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
  auto u32 = [&](size_t o) { return uint32_t(d[o]) | uint32_t(d[o + 1]) << 8 | uint32_t(d[o + 2]) << 16 | uint32_t(d[o + 3]) << 24; };
  const uint32_t off = u32(10);
  w = int(u32(18));
  h = int(u32(22));
  const int bits = d[28] | d[29] << 8;
  if (bits != 24 || u32(30) != 0 || w <= 0 || h <= 0) return false;
  const size_t row = (size_t(w) * 3 + 3) & ~size_t(3);
  if (off + row * size_t(h) > d.size()) return false;
  bgr.assign(size_t(w) * size_t(h) * 3, 0);
  for (int y = 0; y < h; ++y)
    std::copy_n(d.begin() + long(off + row * size_t(h - 1 - y)), size_t(w) * 3, bgr.begin() + long(size_t(y) * size_t(w) * 3));
  return true;
}

Raster::Raster(int w, int h, uint32_t bg) : w_(w), h_(h), bg_(bg), rgb_(size_t(w) * h, bg), depth_(size_t(w) * h, 1e30f) {}

void Raster::setFog(float s, float e, uint32_t c)
{
  fogStart_ = s;
  fogEnd_ = e;
  fogColour_ = c;
}

const Raster::Texture* Raster::texture(const std::string& folder, const std::string& file)
{
  const std::string key = folder + file;
  for (auto& c : cache_)
    if (c.first == key) return c.second.get();
  auto t = std::make_shared<Texture>();
  std::vector<uint8_t> bgr, mask;
  int mw = 0, mh = 0;
  if (readBmp(key, t->w, t->h, bgr)) {
    const size_t dot = file.find_last_of('.');
    const std::string maskPath = folder + file.substr(0, dot) + "_alpha" + file.substr(dot);
    t->alpha = readBmp(maskPath, mw, mh, mask) && mw == t->w && mh == t->h;
    t->rgba.resize(size_t(t->w) * t->h);
    for (size_t i = 0; i < t->rgba.size(); ++i)
      t->rgba[i] = uint32_t(t->alpha ? mask[i * 3 + 2] : 255) << 24 | uint32_t(bgr[i * 3 + 2]) << 16 |
                   uint32_t(bgr[i * 3 + 1]) << 8 | bgr[i * 3];
  } else {
    t.reset();
  }
  cache_.push_back({key, t});
  return t.get();
}

Affine nodeWorld(const Node& n)
{
  const Affine local = Affine::layer(n.translate, n.rotate, n.scale, n.rotationOrder, n.transformOrder);
  return n.parent && n.parent->parent ? local.then(nodeWorld(*n.parent)) : local;
}

namespace {

struct DrawItem {
  const Node* node;
  Affine world;
  const std::string* folder;
  float key;
};

void gather(const Node& n, const Affine& parentWorld, const std::string& folder, std::vector<DrawItem>& out)
{
  if (!n.on || n.transparency >= 255) return;
  const Affine w = Affine::layer(n.translate, n.rotate, n.scale, n.rotationOrder, n.transformOrder).then(parentWorld);
  if (!n.verts.empty()) out.push_back({&n, w, &folder, 0});
  for (const auto& c : n.children) gather(*c, w, folder, out);
}

float chan(uint32_t c, int shift) { return float((c >> shift) & 0xFF) / 255.0f; }

} // namespace

void Raster::draw3D(const std::vector<Placed>& models, const Camera& cam, const Light& light)
{
  std::vector<DrawItem> items;
  for (const Placed& p : models)
    for (const auto& c : p.model->root->children) gather(*c, p.place, p.model->folder, items);
  const V3 f = content::normalize(cam.target - cam.eye);
  const V3 r = content::normalize(content::cross(cam.up, f));
  const V3 u = content::cross(f, r);
  const float fy = 1.0f / std::tan(std::atan(17.5f / cam.lens));
  const float fx = fy * float(h_) / float(w_);
  const V3 L = content::normalize(-light.direction);
  auto transparentOf = [&](const DrawItem& it) {
    const Node& n = *it.node;
    if (n.transparency > 0) return true;
    if (!n.stages.empty() && !n.stages[0].file.empty()) {
      const Texture* t = texture(*it.folder, n.stages[0].file);
      return t && t->alpha;
    }
    return false;
  };
  // Opaque first, then transparent ones from far to near.
  std::vector<DrawItem> opaque, sorted, points;
  for (DrawItem& it : items) {
    if (it.node->has("Screen")) continue;
    it.key = content::length(it.world.point(it.node->verts[0].p) - cam.eye);
    if (it.node->faces.empty()) points.push_back(it);
    else (transparentOf(it) ? sorted : opaque).push_back(it);
  }
  std::sort(sorted.begin(), sorted.end(), [](const DrawItem& a, const DrawItem& b) { return a.key > b.key; });
  auto fog = [&](float dist, float c[3]) {
    if (fogEnd_ <= fogStart_) return;
    const float k = std::clamp((dist - fogStart_) / (fogEnd_ - fogStart_), 0.0f, 1.0f);
    c[0] += (chan(fogColour_, 16) - c[0]) * k;
    c[1] += (chan(fogColour_, 8) - c[1]) * k;
    c[2] += (chan(fogColour_, 0) - c[2]) * k;
  };
  auto drawItem = [&](const DrawItem& it, bool blend) {
    const Node& n = *it.node;
    const Texture* tex = (!n.stages.empty() && !n.stages[0].file.empty()) ? texture(*it.folder, n.stages[0].file) : nullptr;
    const bool shade = n.stages.empty() || (n.stages[0].blend & 0x8000) != 0;
    const bool backFace = n.has("BackFace"), noFog = n.has("NoFog"), zWrite = !n.has("ZNoWrite");
    const float layerAlpha = (255 - n.transparency) / 255.0f;
    struct P {
      float sx, sy, z, dist;
      V3 w, nrm;
      float u, v;
    };
    std::vector<P> pv(n.verts.size());
    for (size_t i = 0; i < n.verts.size(); ++i) {
      const V3 wp = it.world.point(n.verts[i].p);
      const V3 d = wp - cam.eye;
      const float z = content::dot(d, f);
      pv[i] = {0, 0, z, content::length(d), wp, content::normalize(it.world.dir(n.verts[i].n)), n.verts[i].uv[0][0], n.verts[i].uv[0][1]};
      if (z > 1e-4f) {
        pv[i].sx = (content::dot(d, r) / z * fx * 0.5f + 0.5f) * float(w_);
        pv[i].sy = (0.5f - content::dot(d, u) / z * fy * 0.5f) * float(h_);
      }
    }
    auto project = [&](P& q) {
      const V3 d = q.w - cam.eye;
      q.sx = (content::dot(d, r) / q.z * fx * 0.5f + 0.5f) * float(w_);
      q.sy = (0.5f - content::dot(d, u) / q.z * fy * 0.5f) * float(h_);
    };
    auto cut = [&](const P& a, const P& b) {
      const float t = (cam.nearClip - a.z) / (b.z - a.z);
      P q = a;
      q.z = cam.nearClip;
      q.w = content::lerp(a.w, b.w, t);
      q.nrm = content::lerp(a.nrm, b.nrm, t);
      q.u = a.u + (b.u - a.u) * t;
      q.v = a.v + (b.v - a.v) * t;
      q.dist = a.dist + (b.dist - a.dist) * t;
      project(q);
      return q;
    };
    for (const auto& face : n.faces) {
      const P* corner[3] = {&pv[face[0]], &pv[face[1]], &pv[face[2]]};
      const V3 fn = content::cross(corner[1]->w - corner[0]->w, corner[2]->w - corner[0]->w);
      const bool front = content::dot(fn, cam.eye - corner[0]->w) > 0;
      if (!front && !backFace) continue;
      // Clip against the near plane (the polygon keeps its winding).
      std::vector<P> poly;
      for (int k = 0; k < 3; ++k) {
        const P& a = *corner[k];
        const P& b = *corner[(k + 1) % 3];
        const bool ina = a.z >= cam.nearClip, inb = b.z >= cam.nearClip;
        if (ina) poly.push_back(a);
        if (ina != inb) poly.push_back(cut(a, b));
      }
      for (size_t k = 1; k + 1 < poly.size(); ++k) {
      const P* p[3] = {&poly[0], &poly[k], &poly[k + 1]};
      const float area = (p[1]->sx - p[0]->sx) * (p[2]->sy - p[0]->sy) - (p[2]->sx - p[0]->sx) * (p[1]->sy - p[0]->sy);
      if (std::fabs(area) < 1e-9f) continue;
      const int x0 = std::max(0, int(std::floor(std::min({p[0]->sx, p[1]->sx, p[2]->sx}))));
      const int x1 = std::min(w_ - 1, int(std::ceil(std::max({p[0]->sx, p[1]->sx, p[2]->sx}))));
      const int y0 = std::max(0, int(std::floor(std::min({p[0]->sy, p[1]->sy, p[2]->sy}))));
      const int y1 = std::min(h_ - 1, int(std::ceil(std::max({p[0]->sy, p[1]->sy, p[2]->sy}))));
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          const float px = x + 0.5f, py = y + 0.5f;
          float b[3];
          b[0] = ((p[1]->sx - px) * (p[2]->sy - py) - (p[2]->sx - px) * (p[1]->sy - py)) / area;
          b[1] = ((p[2]->sx - px) * (p[0]->sy - py) - (p[0]->sx - px) * (p[2]->sy - py)) / area;
          b[2] = 1 - b[0] - b[1];
          if (b[0] < 0 || b[1] < 0 || b[2] < 0) continue;
          // Perspective-correct interpolation.
          const float iz = b[0] / p[0]->z + b[1] / p[1]->z + b[2] / p[2]->z;
          float wgt[3];
          for (int k = 0; k < 3; ++k) wgt[k] = b[k] / p[k]->z / iz;
          const float depth = 1 / iz;
          float& zb = depth_[size_t(y) * w_ + x];
          if (depth >= zb) continue;
          const V3 nrm = content::normalize(p[0]->nrm * wgt[0] + p[1]->nrm * wgt[1] + p[2]->nrm * wgt[2]) * (front ? 1.0f : -1.0f);
          float c[3] = {1, 1, 1}, a = layerAlpha;
          if (tex) {
            const float tu = p[0]->u * wgt[0] + p[1]->u * wgt[1] + p[2]->u * wgt[2];
            const float tv = p[0]->v * wgt[0] + p[1]->v * wgt[1] + p[2]->v * wgt[2];
            int ix = int(std::floor((tu - std::floor(tu)) * tex->w)), iy = int(std::floor((tv - std::floor(tv)) * tex->h));
            if (n.stages[0].addressing == "CLAMP") {
              ix = std::clamp(int(tu * tex->w), 0, tex->w - 1);
              iy = std::clamp(int(tv * tex->h), 0, tex->h - 1);
            }
            const uint32_t t = tex->rgba[size_t(std::clamp(iy, 0, tex->h - 1)) * tex->w + std::clamp(ix, 0, tex->w - 1)];
            c[0] = chan(t, 16); c[1] = chan(t, 8); c[2] = chan(t, 0);
            a *= chan(t, 24);
            if (n.stages[0].option && (t & 0xFFFFFF) == 0) continue;
          }
          if (a <= 0.004f) continue;
          // Lighting (material colours are 0x00BBGGRR).
          const float ndl = std::max(0.0f, content::dot(nrm, L));
          float lit[3];
          for (int k = 0; k < 3; ++k) {
            const int sh = k * 8;
            lit[k] = light.ambient[k] * chan(n.ambient, sh) + light.diffuse[k] * chan(n.diffuse, sh) * ndl + chan(n.emissive, sh);
          }
          const float out[3] = {shade ? c[0] * lit[0] : c[0], shade ? c[1] * lit[1] : c[1], shade ? c[2] * lit[2] : c[2]};
          float o[3] = {std::min(1.0f, out[0]), std::min(1.0f, out[1]), std::min(1.0f, out[2])};
          if (!noFog) fog(p[0]->dist * wgt[0] + p[1]->dist * wgt[1] + p[2]->dist * wgt[2], o);
          uint32_t& dst = rgb_[size_t(y) * w_ + x];
          if (blend) {
            for (int k = 0; k < 3; ++k) o[k] = o[k] * a + chan(dst, 16 - 8 * k) * (1 - a);
          }
          dst = uint32_t(o[0] * 255) << 16 | uint32_t(o[1] * 255) << 8 | uint32_t(o[2] * 255);
          if (zWrite) zb = depth;
        }
      }
    }
  };
  for (const DrawItem& it : opaque) drawItem(it, false);
  for (const DrawItem& it : sorted) drawItem(it, true);
  for (const DrawItem& it : points) {
    const Node& n = *it.node;
    if (n.pointSize <= 0) continue;
    for (const Vertex& v : n.verts) {
      const V3 d = it.world.point(v.p) - cam.eye;
      const float z = content::dot(d, f);
      if (z < cam.nearClip) continue;
      const float sx = (content::dot(d, r) / z * fx * 0.5f + 0.5f) * float(w_);
      const float sy = (0.5f - content::dot(d, u) / z * fy * 0.5f) * float(h_);
      const float rad = std::max(1.0f, n.pointSize / 2);
      for (int y = int(sy - rad); y <= int(sy + rad); ++y)
        for (int x = int(sx - rad); x <= int(sx + rad); ++x)
          if (x >= 0 && y >= 0 && x < w_ && y < h_ && std::hypot(x + 0.5f - sx, y + 0.5f - sy) <= rad &&
              z < depth_[size_t(y) * w_ + x])
            rgb_[size_t(y) * w_ + x] = (n.emissive & 0xFF) << 16 | (n.emissive & 0xFF00) | (n.emissive >> 16 & 0xFF);
    }
  }
}

void Raster::drawOverlays(const std::vector<Placed>& models, bool back)
{
  std::vector<DrawItem> items;
  for (const Placed& p : models)
    for (const auto& c : p.model->root->children) gather(*c, p.place, p.model->folder, items);
  std::vector<DrawItem> ov;
  for (DrawItem& it : items) {
    if (!it.node->has("Screen") || it.node->faces.empty()) continue;
    V3 lo = it.node->verts[0].p, hi = lo;
    for (const Vertex& v : it.node->verts) {
      lo = {std::min(lo.x, v.p.x), std::min(lo.y, v.p.y), std::min(lo.z, v.p.z)};
      hi = {std::max(hi.x, v.p.x), std::max(hi.y, v.p.y), std::max(hi.z, v.p.z)};
    }
    it.key = it.world.point((lo + hi) * 0.5f).z;
    if (back ? (it.key >= 1 && it.key <= 2) : (it.key >= -1 && it.key <= 0)) ov.push_back(it);
  }
  // Drawn from the largest depth key to the smallest (nearest last).
  std::stable_sort(ov.begin(), ov.end(), [](const DrawItem& a, const DrawItem& b) { return a.key > b.key; });
  for (const DrawItem& it : ov) {
    const Node& n = *it.node;
    const Texture* tex = (!n.stages.empty() && !n.stages[0].file.empty()) ? texture(*it.folder, n.stages[0].file) : nullptr;
    const float layerAlpha = (255 - n.transparency) / 255.0f;
    for (const auto& face : n.faces) {
      V3 s[3];
      float uv[3][2];
      for (int k = 0; k < 3; ++k) {
        const V3 w = it.world.point(n.verts[face[size_t(k)]].p);
        s[k] = {float(w_) / 2 + w.x, float(h_) / 2 - w.y, 0};
        uv[k][0] = n.verts[face[size_t(k)]].uv[0][0];
        uv[k][1] = n.verts[face[size_t(k)]].uv[0][1];
      }
      const float area = (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
      if (std::fabs(area) < 1e-9f) continue;
      const int x0 = std::max(0, int(std::floor(std::min({s[0].x, s[1].x, s[2].x}))));
      const int x1 = std::min(w_ - 1, int(std::ceil(std::max({s[0].x, s[1].x, s[2].x}))));
      const int y0 = std::max(0, int(std::floor(std::min({s[0].y, s[1].y, s[2].y}))));
      const int y1 = std::min(h_ - 1, int(std::ceil(std::max({s[0].y, s[1].y, s[2].y}))));
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          const float px = x + 0.5f, py = y + 0.5f;
          float b0 = ((s[1].x - px) * (s[2].y - py) - (s[2].x - px) * (s[1].y - py)) / area;
          float b1 = ((s[2].x - px) * (s[0].y - py) - (s[0].x - px) * (s[2].y - py)) / area;
          float b2 = 1 - b0 - b1;
          if (b0 < -1e-6f || b1 < -1e-6f || b2 < -1e-6f) continue;
          float c[3] = {chan(n.emissive, 0), chan(n.emissive, 8), chan(n.emissive, 16)}, a = layerAlpha;
          if (tex) {
            const float tu = uv[0][0] * b0 + uv[1][0] * b1 + uv[2][0] * b2, tv = uv[0][1] * b0 + uv[1][1] * b1 + uv[2][1] * b2;
            const uint32_t t = tex->rgba[size_t(std::clamp(int(tv * tex->h), 0, tex->h - 1)) * tex->w +
                                         std::clamp(int(tu * tex->w), 0, tex->w - 1)];
            c[0] = chan(t, 16); c[1] = chan(t, 8); c[2] = chan(t, 0);
            a *= chan(t, 24);
          }
          uint32_t& dst = rgb_[size_t(y) * w_ + x];
          float o[3];
          for (int k = 0; k < 3; ++k) o[k] = c[k] * a + chan(dst, 16 - 8 * k) * (1 - a);
          dst = uint32_t(o[0] * 255) << 16 | uint32_t(o[1] * 255) << 8 | uint32_t(o[2] * 255);
        }
    }
  }
}

int Raster::covered() const
{
  int n = 0;
  for (uint32_t p : rgb_) n += p != bg_;
  return n;
}

bool Raster::writePng(const std::string& path) const
{
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
    return false;
  }
  png_init_io(png, fp);
  png_set_IHDR(png, info, png_uint_32(w_), png_uint_32(h_), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(w_) * 3);
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      const uint32_t p = rgb_[size_t(y) * w_ + x];
      row[size_t(x) * 3] = uint8_t(p >> 16);
      row[size_t(x) * 3 + 1] = uint8_t(p >> 8);
      row[size_t(x) * 3 + 2] = uint8_t(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(fp);
  return true;
}

} // namespace check
