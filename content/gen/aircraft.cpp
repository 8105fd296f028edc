// The HX-21 model: a twin-turboprop high-wing regional airliner of about 27 m. Model frame:
// nose towards -z, the aircraft's left wing towards +x, y up, the ground under the wheels at
// y = 0 (the viewer places the model 2 units down and turned about Y inside its group, which
// puts the cockpit eye at (+-0.6, 3.8, -10.2) and the cabin aisle on x = 0 here).
// Moving parts carry their pivot as translation and the pose the viewer's sequences start from.
#include "content.h"
#include "gltf_copy.h"
#include "image.h"
#include "text.h"
#include "tvm.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace content {

namespace {

struct Livery {
  uint32_t main;    // cheat line and tail
  uint32_t accent;  // thin line and engine lips
  uint32_t belly;
  const char* title;
};

const Livery kLiveries[] = {
    {0x1C4A9C, 0xD8202C, 0xB8BEC6, "HX AIR"},
    {0x0E7A4A, 0xF08A18, 0xC2C2BA, "HX COMMUTER"},
};

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }
float smooth01(float x)
{
  x = clamp01(x);
  return x * x * (3 - 2 * x);
}

// Piecewise-linear table lookup with smoothed joints.
float table(const std::vector<std::pair<float, float>>& t, float z)
{
  if (z <= t.front().first) return t.front().second;
  for (size_t i = 1; i < t.size(); ++i)
    if (z <= t[i].first) {
      const float f = (z - t[i - 1].first) / (t[i].first - t[i - 1].first);
      return t[i - 1].second + (t[i].second - t[i - 1].second) * smooth01(f);
    }
  return t.back().second;
}

constexpr float kNose = -13.2f, kTail = 14.0f;
constexpr float kRadomeEnd = -12.45f;
constexpr float kFloor = 1.82f;     // cabin floor
constexpr float kCockpitFloor = 2.45f;

struct Section {
  float cy, a, b; // centre height, half width, half height
};

Section hullSection(float z)
{
  static const std::vector<std::pair<float, float>> top = {
      {-13.2f, 2.78f}, {-12.8f, 3.1f}, {-12.0f, 3.48f}, {-11.4f, 3.85f}, {-10.6f, 4.25f}, {-9.6f, 4.4f}, {10.0f, 4.4f}, {14.0f, 4.25f}};
  static const std::vector<std::pair<float, float>> bottom = {
      {-13.2f, 2.74f}, {-12.8f, 2.42f}, {-12.0f, 2.05f}, {-11.0f, 1.75f}, {-9.6f, 1.6f}, {7.0f, 1.6f}, {9.0f, 2.05f}, {11.0f, 2.85f}, {13.0f, 3.55f}, {14.0f, 3.9f}};
  static const std::vector<std::pair<float, float>> half = {
      {-13.2f, 0.04f}, {-12.8f, 0.55f}, {-12.0f, 0.9f}, {-11.0f, 1.18f}, {-10.0f, 1.3f}, {-8.6f, 1.36f}, {7.0f, 1.36f}, {9.0f, 1.22f}, {11.0f, 0.92f}, {13.0f, 0.5f}, {14.0f, 0.16f}};
  const float t = table(top, z), b = table(bottom, z);
  return {(t + b) / 2, table(half, z), (t - b) / 2};
}

float ss(float t) { return std::copysign(std::pow(std::fabs(t), 2.0f / 2.4f), t); }

// Point of a section at angle phi (0 = top, growing over the left side, +x).
V3 sectionPoint(const Section& s, float z, float phi, float inset = 0)
{
  return {(s.a - inset) * ss(std::sin(phi)), s.cy + (s.b - inset) * ss(std::cos(phi)), z};
}

// A body of revolution-like grid over z stations and angles; cells for which keep() is false
// are left open (windows). Faces outward unless inward.
Mesh hullGrid(const std::vector<float>& zs, int around, float inset, bool inward,
              const std::function<bool(V3)>& keep, float u0, float u1)
{
  Mesh m;
  const size_t n = size_t(around);
  for (size_t i = 0; i < zs.size(); ++i) {
    const Section s = hullSection(zs[i]);
    for (size_t k = 0; k <= n; ++k) {
      const float phi = 2 * kPi * float(k) / float(n);
      m.add({sectionPoint(s, zs[i], phi, inset), {}, (zs[i] - u0) / (u1 - u0), float(k) / float(n)});
    }
  }
  for (size_t i = 0; i + 1 < zs.size(); ++i) {
    const V3 axis{0, (hullSection(zs[i]).cy + hullSection(zs[i + 1]).cy) / 2, (zs[i] + zs[i + 1]) / 2};
    for (size_t k = 0; k < n; ++k) {
      const uint32_t a = uint32_t(i * (n + 1) + k), b = a + 1, c = a + uint32_t(n + 1), d = c + 1;
      const V3 mid = (m.verts[a].p + m.verts[d].p) * 0.5f;
      if (!keep(mid)) continue;
      const size_t first = m.tris.size();
      m.tri(a, b, d);
      m.tri(a, d, c);
      m.orientFrom({0, axis.y, mid.z}, first);
    }
  }
  std::vector<std::array<uint32_t, 3>> kept;
  for (auto t : m.tris)
    if (length(cross(m.verts[t[1]].p - m.verts[t[0]].p, m.verts[t[2]].p - m.verts[t[0]].p)) > 1e-8f) kept.push_back(t);
  m.tris = kept;
  m.smoothNormals();
  if (inward) m.flip();
  return m;
}

std::vector<float> stations(float z0, float z1, float step, std::vector<float> extra = {})
{
  std::vector<float> zs;
  for (float z = z0; z < z1 - 1e-4f; z += step) zs.push_back(z);
  zs.push_back(z1);
  for (float e : extra)
    if (e > z0 && e < z1) zs.push_back(e);
  std::sort(zs.begin(), zs.end());
  zs.erase(std::unique(zs.begin(), zs.end(), [](float a, float b) { return std::fabs(a - b) < 1e-3f; }), zs.end());
  return zs;
}

// Cabin windows: centres along z, sill and head heights.
constexpr float kWinLow = 3.24f, kWinHigh = 3.62f, kWinHalf = 0.13f;
std::vector<float> windowCentres()
{
  std::vector<float> c;
  for (int i = 0; i < 18; ++i) {
    const float z = -7.0f + 0.76f * float(i);
    if (z > 5.4f) break;
    c.push_back(z);
  }
  return c;
}
bool inCabinWindow(V3 p)
{
  if (p.y < kWinLow || p.y > kWinHigh || std::fabs(p.x) < 0.8f) return false;
  for (float c : windowCentres())
    if (std::fabs(p.z - c) < kWinHalf) return true;
  return false;
}

// NACA-like airfoil ring around the chord (s from 0 at the leading edge to 1 at the trailing
// edge), cut at sFrom..sTo; returns (chordwise, vertical) offsets.
std::vector<std::pair<float, float>> airfoil(float thick, float sFrom, float sTo, int n)
{
  auto yt = [&](float s) {
    return 5 * thick * (0.2969f * std::sqrt(s) - 0.126f * s - 0.3516f * s * s + 0.2843f * s * s * s - 0.1036f * s * s * s * s);
  };
  std::vector<std::pair<float, float>> pts;
  for (int i = 0; i < n; ++i) { // upper surface, trailing edge to leading edge
    const float f = float(i) / float(n);
    const float s = sFrom + (sTo - sFrom) * (1 - (1 - std::cos(kPi * (1 - f))) / 2);
    pts.push_back({s, yt(s) + 0.02f * thick * std::sin(kPi * s)});
  }
  for (int i = 0; i < n; ++i) { // lower surface, leading edge to trailing edge
    const float f = float(i) / float(n);
    const float s = sFrom + (sTo - sFrom) * ((1 - std::cos(kPi * f)) / 2);
    pts.push_back({s, -yt(s) + 0.02f * thick * std::sin(kPi * s)});
  }
  return pts;
}

// Wing of the left side at span position x.
struct WingStation {
  float le, chord, y, thick;
};
WingStation wingAt(float x)
{
  const float t = clamp01((x - 4.8f) / 8.75f);
  return {-1.2f + 0.25f * t, 2.57f - 1.0f * t, 4.55f + std::max(0.0f, x - 4.8f) * 0.035f, 0.15f - 0.03f * t};
}

// A spanwise piece of lifting surface between x0 and x1 over the chord fraction sFrom..sTo,
// optionally relative to a pivot.
Mesh wingPiece(float x0, float x1, float sFrom, float sTo, int n = 14)
{
  Mesh m;
  const auto foil0 = airfoil(wingAt(x0).thick, sFrom, sTo, n), foil1 = airfoil(wingAt(x1).thick, sFrom, sTo, n);
  const int count = int(foil0.size());
  m.loft(2, count, [&](int r, int k) {
    const float x = r == 0 ? x0 : x1;
    const WingStation w = wingAt(x);
    const auto& f = (r == 0 ? foil0 : foil1)[size_t(k)];
    return V3{x, w.y + f.second * w.chord, w.le + f.first * w.chord};
  }, true, true);
  return m;
}

// Hinge point of a wing piece starting at chord fraction s, at span x.
V3 wingHinge(float x, float s)
{
  const WingStation w = wingAt(x);
  return {x, w.y, w.le + s * w.chord};
}

Mesh mirrorX(const Mesh& m) { return m.transformed(Affine::scaling({-1, 1, 1})); }

// Texture of the fuselage: one half per side (rows 0-255 left side top to bottom, 256-511 right
// side bottom to top), painted from the 3D position that each texel maps to.
Image hullTexture(const Livery& lv)
{
  const int W = 1024, H = 512;
  Image img(W, H);
  Image title(256, 40, Rgba{0, 0, 0, 0});
  drawText(title, 2, 31, 30, lv.title, rgb(lv.main), Face::SansBold);
  Image reg(128, 24, Rgba{0, 0, 0, 0});
  drawText(reg, 2, 19, 18, "JA21HX", rgb(0x303840), Face::Sans);
  const Rgba white = rgb(0xF4F6F8), mainC = rgb(lv.main), acc = rgb(lv.accent), belly = rgb(lv.belly);
  const Rgba glass = rgb(0x1A222C);
  for (int py = 0; py < H; ++py)
    for (int px = 0; px < W; ++px) {
      const float u = (px + 0.5f) / W, v = (py + 0.5f) / H;
      const float z = kNose + u * (kTail - kNose);
      const float phi = 2 * kPi * v;
      const Section s = hullSection(z);
      const V3 p = sectionPoint(s, z, phi);
      const bool left = p.x > 0;
      Rgba c = white;
      const float yRel = p.y;
      if (yRel < 2.25f) c = belly;
      // Cheat line sweeping up the tail.
      const float lineLo = 2.62f + std::max(0.0f, z - 6.0f) * 0.16f, lineHi = lineLo + 0.30f;
      if (yRel > lineLo && yRel < lineHi && z > -11.6f) c = mainC;
      if (yRel > lineLo - 0.12f && yRel < lineLo - 0.05f && z > -11.2f) c = acc;
      // Tail cone in the main colour.
      if (z > 10.5f && yRel > lineLo) c = mainC;
      // Cabin windows.
      if (std::fabs(p.x) > 0.8f && yRel > kWinLow && yRel < kWinHigh)
        for (float wc : windowCentres()) {
          const float dz = std::fabs(z - wc) / kWinHalf, dy = std::fabs(yRel - (kWinLow + kWinHigh) / 2) / ((kWinHigh - kWinLow) / 2);
          if (std::pow(dz, 4.0f) + std::pow(dy, 4.0f) < 1.0f) c = glass;
        }
      // Cockpit windows: windscreen and side windows.
      if (z > -11.95f && z < -9.65f && yRel > 3.62f && yRel < 4.2f - std::max(0.0f, -10.8f - z) * 0.55f) {
        const bool post = std::fabs(p.x) < 0.07f || (z > -10.95f && z < -10.85f) || (z > -10.15f && z < -10.05f);
        if (!post) c = glass;
      }
      // Door outlines: front service doors, rear passenger door on the left.
      auto doorFrame = [&](float z0, float z1, float y0, float y1) {
        const bool in = z > z0 && z < z1 && yRel > y0 && yRel < y1;
        const bool edge = in && (z - z0 < 0.03f || z1 - z < 0.03f || yRel - y0 < 0.03f || y1 - yRel < 0.03f);
        if (edge) c = rgb(0x8A9098);
      };
      if (left) doorFrame(6.05f, 6.8f, 1.95f, 3.75f);
      else doorFrame(6.05f, 6.75f, 2.1f, 3.6f);
      doorFrame(-8.4f, -7.5f, 2.0f, 3.45f);
      // Title and registration, mirrored on the right so they read along the side.
      auto stamp = [&](const Image& t, float z0, float widthZ, float yTop, float height) {
        float fz = (z - z0) / widthZ;
        if (!left) fz = 1 - fz;
        const float fy = (yTop - yRel) / height;
        if (fz < 0 || fz >= 1 || fy < 0 || fy >= 1) return;
        const Rgba g = t.get(int(fz * t.width()), int(fy * t.height()));
        if (g.a) c = mix(c, Rgba{g.r, g.g, g.b, 255}, g.a / 255.0f);
      };
      if (std::fabs(p.x) > 0.5f) {
        stamp(title, left ? -6.9f : -1.9f, 5.2f, 4.17f, 0.8f);
        stamp(reg, 8.3f, 1.7f, 3.3f, 0.32f);
      }
      img.set(px, py, c);
    }
  img.grain(0.015f, 7);
  return img;
}

Image finTexture(const Livery& lv)
{
  Image img(256, 256, rgb(lv.main));
  // A stylised swept emblem across the fin.
  img.fillPolygon({{40, 250}, {250, 60}, {250, 110}, {80, 256}}, rgb(0xF4F6F8));
  img.fillPolygon({{110, 256}, {250, 130}, {250, 150}, {135, 256}}, rgb(lv.accent));
  drawTextCentred(img, 150, 70, 44, "HX", rgb(0xF4F6F8), Face::SansBold);
  img.grain(0.02f, 9);
  return img;
}

Image propBlurTexture()
{
  const int S = 128;
  Image img(S, S, Rgba{20, 20, 22, 0});
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      const float dx = (x + 0.5f) / S * 2 - 1, dy = (y + 0.5f) / S * 2 - 1;
      const float r = std::hypot(dx, dy);
      if (r > 1.0f || r < 0.16f) continue;
      const float ang = std::atan2(dy, dx);
      const float streak = 0.55f + 0.45f * std::cos(4 * ang) * std::cos(4 * ang);
      float a = 0.42f * streak * (1 - 0.3f * r);
      Rgba c{24, 24, 26, 0};
      if (r > 0.9f) {
        c = rgb(0xE8C020);
        a = 0.55f * streak;
      }
      c.a = uint8_t(std::clamp(a, 0.0f, 1.0f) * 255);
      img.set(x, y, c);
    }
  return img;
}

Image shadowTexture()
{
  const int S = 128;
  Image img(S, S, Rgba{0, 0, 0, 0});
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      const float dx = (x + 0.5f) / S * 2 - 1, dy = (y + 0.5f) / S * 2 - 1;
      // Plan form: a cross of fuselage (along y) and wing (along x).
      const float fus = std::max(0.0f, 1 - std::pow(std::fabs(dx) / 0.12f, 2.0f)) * (std::fabs(dy) < 0.95f);
      const float wing = (dy > -0.12f && dy < 0.06f) * std::max(0.0f, 1 - std::fabs(dx));
      const float tail = (dy > 0.8f && dy < 0.92f && std::fabs(dx) < 0.28f) ? 1.0f : 0.0f;
      const float a = std::min(1.0f, std::max({fus, wing, tail}));
      img.set(x, y, Rgba{0, 0, 0, uint8_t(a * 150)});
    }
  return img;
}

Image cockpitPanelTexture()
{
  Image img(512, 128, rgb(0x2A2E33));
  img.grain(0.05f, 21);
  auto screen = [&](float x, float w, bool nav) {
    img.fillRoundRect(x, 14, x + w, 14 + w * 0.95f, 4, rgb(0x111316));
    const float cx = x + w / 2, cy = 14 + w * 0.475f;
    if (nav) {
      img.fillRect(x + 4, 18, x + w - 4, 10 + w * 0.95f, rgb(0x05080A));
      for (int i = 1; i <= 3; ++i) img.strokeRoundRect(cx - i * 14, cy - i * 14, cx + i * 14, cy + i * 14, float(i * 14), 1, rgb(0x208040));
      img.fillPolygon({{cx, cy - 8}, {cx - 5, cy + 6}, {cx + 5, cy + 6}}, rgb(0xE0E0E0));
      img.line(cx - 30, cy - 20, cx + 25, cy + 26, 1.5f, rgb(0xD040D0));
    } else {
      img.fillRect(x + 4, 18, x + w - 4, cy, rgb(0x2A78D0));
      img.fillRect(x + 4, cy, x + w - 4, 10 + w * 0.95f, rgb(0x7A5028));
      img.line(x + 4, cy, x + w - 4, cy, 1.5f, rgb(0xF0F0F0));
      img.line(cx - 18, cy, cx - 6, cy, 3, rgb(0xF0D020));
      img.line(cx + 6, cy, cx + 18, cy, 3, rgb(0xF0D020));
      img.fillRect(x + 6, 24, x + 18, 10 + w * 0.9f, rgb(0x303840));
      img.fillRect(x + w - 18, 24, x + w - 6, 10 + w * 0.9f, rgb(0x303840));
    }
  };
  screen(16, 80, false);
  screen(104, 80, true);
  screen(328, 80, true);
  screen(416, 80, false);
  // Centre engine display and standby gauges.
  img.fillRoundRect(204, 14, 308, 100, 4, rgb(0x111316));
  for (int i = 0; i < 4; ++i) {
    const float cx = 228 + (i % 2) * 56, cy = 38 + (i / 2) * 38;
    img.strokeRoundRect(cx - 14, cy - 14, cx + 14, cy + 14, 14, 2, rgb(0x40C060));
    img.line(cx, cy, cx + 10, cy - 8, 2, rgb(0xF0F0F0));
  }
  for (int i = 0; i < 24; ++i) img.fillCircle(20 + i * 20.5f, 116, 3, i % 5 == 0 ? rgb(0xE0B020) : rgb(0x8A9096));
  return img;
}

Layer& part(Layer& parent, const std::string& name, V3 pivot, V3 rotate = {})
{
  Layer& l = parent.add(name);
  l.translate = parent.world().inverse().point(pivot);
  l.rotate = rotate;
  return l;
}

// Model-space box helper.
Mesh boxMesh(V3 lo, V3 hi)
{
  Mesh m;
  m.box(lo, hi);
  return m;
}

Mesh wheel(V3 centre, float radius, float width)
{
  Mesh m;
  m.cylinder(centre - V3{width / 2, 0, 0}, centre + V3{width / 2, 0, 0}, radius, radius, 16, true);
  return m;
}

void buildFuselage(Layer& hx21, const Livery& lv, const std::string& folder)
{
  Layer& hull = hx21.add("fuselage");
  hull.colour(0xFFFFFF, 0x606060, 215).texture("hull.bmp");
  hull.setWorldMesh(hullGrid(stations(kRadomeEnd, kTail, 0.35f, {-11.95f, -11.4f, -10.6f, -9.6f, 7.0f, 9.0f, 11.0f, 13.0f}), 40, 0,
                             false, [](V3) { return true; }, kNose, kTail));
  writeTexture(folder + "hull", hullTexture(lv), false);

  // Tail cone end cap.
  {
    Layer& cap = hx21.add("tailcap");
    cap.colour(lv.main);
    const Section s = hullSection(kTail);
    Mesh m;
    m.loft(2, 16, [&](int r, int k) {
      const float phi = 2 * kPi * float(k) / 16;
      return r == 0 ? sectionPoint(s, kTail, phi) : V3{0, s.cy, kTail + 0.35f};
    }, false, false);
    cap.setWorldMesh(m);
  }
  // Radome, hinged upwards at its top.
  Layer& radome = part(hx21, "radome---x", {0, hullSection(kRadomeEnd).cy + hullSection(kRadomeEnd).b, kRadomeEnd});
  radome.colour(0x3A3E44, 0x404040, 230);
  {
    Mesh m;
    const int n = 24;
    m.loft(6, n, [&](int r, int k) {
      const float z = kNose + (kRadomeEnd - kNose) * float(r) / 5;
      return sectionPoint(hullSection(z), z, 2 * kPi * float(k) / float(n));
    }, false, true);
    radome.setWorldMesh(m);
  }
  Layer& radar = part(radome, "radar---x", {0, 2.78f, -12.7f});
  radar.colour(0x9098A0);
  {
    Mesh m;
    m.cylinder({0, 2.78f, -12.72f}, {0, 2.78f, -12.68f}, 0.32f, 0.32f, 16, true);
    radar.setWorldMesh(m);
  }

  // Wing-to-body fairing on the roof and the main gear pods on the lower sides.
  Layer& fairing = hx21.add("fairing");
  fairing.colour(0xF0F2F4, 0x505050, 215);
  {
    Mesh m;
    m.loft(8, 20, [&](int r, int k) {
      const float z = -1.9f + 4.3f * float(r) / 7;
      const float t = float(r) / 7;
      const float w = 1.05f * std::sin(kPi * std::clamp(t * 1.15f, 0.0f, 1.0f)) + 0.05f;
      const float h = 0.32f * std::sin(kPi * std::clamp(t * 1.1f, 0.0f, 1.0f)) + 0.02f;
      const float phi = 2 * kPi * float(k) / 20;
      return V3{w * std::sin(phi), 4.32f + h * std::max(0.0f, std::cos(phi)) - 0.05f * std::max(0.0f, -std::cos(phi)), z};
    }, true, true);
    fairing.setWorldMesh(m);
  }
  Layer& pods = hx21.add("gearpods");
  pods.colour(lv.belly, 0x404040, 220);
  for (int side = 0; side < 2; ++side) {
    Mesh m;
    m.loft(10, 16, [&](int r, int k) {
      const float t = float(r) / 9;
      const float z = -0.6f + 4.6f * t;
      const float bulge = std::max(0.0f, std::sin(kPi * std::clamp(t, 0.0f, 1.0f)));
      const float w = 0.05f + 0.42f * std::pow(bulge, 0.6f), h = 0.05f + 0.5f * std::pow(bulge, 0.6f);
      const float phi = 2 * kPi * float(k) / 16;
      return V3{1.3f + w * std::sin(phi), 2.0f + h * std::cos(phi), z};
    }, false, false);
    pods.addWorldMesh(side ? mirrorX(m) : m);
  }

  // Vertical fin with its three rudder pieces, and the T-tail with the elevators.
  Layer& fin = hx21.add("fin");
  fin.colour(0xFFFFFF, 0x505050, 215).texture("fin.bmp");
  writeTexture(folder + "fin", finTexture(lv), false);
  auto finAt = [](float y) {
    const float t = clamp01((y - 4.0f) / 3.45f);
    return WingStation{9.0f + 2.9f * t, 4.4f - 2.35f * t, y, 0.14f};
  };
  constexpr float kRudderS = 0.74f;
  {
    Mesh m;
    const auto foil = airfoil(0.14f, 0.0f, kRudderS, 12);
    m.loft(2, int(foil.size()), [&](int r, int k) {
      const WingStation w = finAt(r == 0 ? 4.0f : 7.45f);
      const auto& f = foil[size_t(k)];
      return V3{f.second * w.chord, w.y, w.le + f.first * w.chord};
    }, true, true);
    for (Vert& v : m.verts) {
      // The right side (x < 0) reads the emblem mirrored, as the hull does its titles.
      v.u = (v.p.z - 9.0f) / 4.5f;
      if (v.p.x < 0) v.u = 1 - v.u;
      v.v = (7.45f - v.p.y) / 3.45f;
    }
    fin.setWorldMesh(m);
  }
  // Dorsal fillet running from the roof into the fin's leading edge.
  {
    Layer& fillet = hx21.add("dorsal_fillet");
    fillet.colour(lv.main, 0x505050, 215);
    Mesh m;
    m.loft(8, 8, [&](int r, int k) {
      const float t = float(r) / 7;
      const float z = 6.2f + 3.3f * t;
      const float h = 0.02f + 0.55f * t * t;
      const float w = 0.03f + 0.12f * std::sin(kPi * std::min(1.0f, t * 1.2f));
      const float phi = 2 * kPi * float(k) / 8;
      return V3{w * std::sin(phi), 4.36f + h * (0.5f + 0.5f * std::cos(phi)), z};
    }, true, true);
    fillet.setWorldMesh(m);
  }
  const char* rudders[] = {"01rudder_all---y", "02rudder_all---y", "03rudder_all---y"};
  for (int i = 0; i < 3; ++i) {
    const float y0 = 4.1f + 1.1f * float(i), y1 = y0 + 1.1f;
    const WingStation w0 = finAt(y0);
    Layer& rud = part(hx21, rudders[i], {0, y0, w0.le + kRudderS * w0.chord});
    rud.colour(lv.main, 0x404040, 215);
    Mesh m;
    const auto foil = airfoil(0.14f, kRudderS, 1.0f, 6);
    m.loft(2, int(foil.size()), [&](int r, int k) {
      const WingStation w = finAt(r == 0 ? y0 : y1 - 0.01f);
      const auto& f = foil[size_t(k)];
      return V3{f.second * w.chord, w.y, w.le + f.first * w.chord};
    }, true, true);
    rud.setWorldMesh(m);
  }
  Layer& stab = hx21.add("stabilizer");
  stab.colour(0xF2F4F6, 0x505050, 215);
  auto stabAt = [](float x) {
    const float t = clamp01(x / 3.7f);
    return WingStation{12.1f + 0.55f * t, 1.7f - 0.75f * t, 7.52f + x * 0.01f, 0.12f};
  };
  constexpr float kElevS = 0.68f;
  for (int side = 0; side < 2; ++side) {
    Mesh m;
    const auto foil = airfoil(0.12f, 0.0f, kElevS, 10);
    m.loft(2, int(foil.size()), [&](int r, int k) {
      const float x = r == 0 ? 0.0f : 3.7f;
      const WingStation w = stabAt(x);
      const auto& f = foil[size_t(k)];
      return V3{x, w.y + f.second * w.chord, w.le + f.first * w.chord};
    }, false, true);
    stab.addWorldMesh(side ? mirrorX(m) : m);
    const char* name = side ? "elevator_r01---x" : "elevator_l01---x";
    const WingStation w0 = stabAt(0.15f);
    const float sign = side ? -1.0f : 1.0f;
    Layer& el = part(hx21, name, {0.15f * sign, w0.y, w0.le + kElevS * w0.chord}, {0, 0, 0.57f * sign});
    el.colour(0xE6E8EA, 0x404040, 215);
    Mesh e;
    const auto ef = airfoil(0.12f, kElevS, 1.0f, 5);
    e.loft(2, int(ef.size()), [&](int r, int k) {
      const float x = r == 0 ? 0.15f : 3.6f;
      const WingStation w = stabAt(x);
      const auto& f = ef[size_t(k)];
      return V3{x, w.y + f.second * w.chord, w.le + f.first * w.chord};
    }, true, true);
    el.setWorldMesh(side ? mirrorX(e) : e);
  }

  // Doors: the rear passenger door (with its folding airstair stowed inside), the forward
  // cargo door and a service door.
  Layer& door1 = hx21.add("door_1---xz");
  door1.colour(0xF4F6F8, 0x505050, 215);
  {
    Mesh m = hullGrid(stations(6.08f, 6.77f, 0.23f), 40, -0.012f, false,
                      [](V3 p) { return p.x > 0.3f && p.y > 1.97f && p.y < 3.73f; }, 0, 1);
    door1.setWorldMesh(m);
  }
  // Airstair links: each folds about the door sill line; poses are the stowed ones.
  Layer& trap00 = part(hx21, "trap00---z", {0.85f, 2.02f, 6.42f}, {0, 0, 75});
  auto link = [](Layer& l, float len) {
    l.colour(0x8C9298);
    Mesh m;
    m.box({-0.02f, 0, -0.28f}, {0.02f, len, 0.28f});
    l.mesh = m;
  };
  link(trap00, 0.2f);
  Layer* parent = &trap00;
  const float chain[] = {135, -172, -180};
  const char* chainNames[] = {"trap01---z", "trap02---z", "trap03---z"};
  Layer* links[3];
  for (int i = 0; i < 3; ++i) {
    Layer& l = parent->add(chainNames[i]);
    l.translate = {0, 0.2f, 0};
    l.rotate = {0, 0, chain[i]};
    link(l, 0.2f);
    links[i] = &l;
    parent = &l;
  }
  struct Step {
    const char* name;
    int link;
    float angle;
  };
  const Step steps[] = {{"trap0101---z", 0, -75}, {"trap0102---z", 0, 71}, {"trap0103---z", 0, 72}, {"trap0104---z", 0, -83},
                        {"trap0105---z", 0, -73}, {"trap0201---z", 1, -80}, {"trap0202---z", 1, 65}, {"trap0203---z", 1, -94},
                        {"trap0204---z", 1, -61}, {"trap0301---z", 2, 250}};
  int idx = 0;
  for (const Step& s : steps) {
    Layer& st = links[s.link]->add(s.name);
    st.translate = {0, 0.04f * float(idx % 5), 0};
    st.rotate = {0, 0, s.angle};
    st.colour(0x6E747A);
    st.mesh.box({-0.005f, 0, -0.22f}, {0.005f, 0.06f, 0.22f});
    ++idx;
  }
  Layer& door5 = part(hx21, "door_5---z", {-1.2f, 3.5f, 6.4f});
  door5.colour(0xF4F6F8, 0x505050, 215);
  door5.setWorldMesh(hullGrid(stations(6.08f, 6.72f, 0.21f), 40, -0.012f, false,
                              [](V3 p) { return p.x < -0.3f && p.y > 2.12f && p.y < 3.58f; }, 0, 1));
  Layer& door3 = part(hx21, "door_3---y", {1.36f, 2.7f, -8.4f});
  door3.colour(0xF4F6F8, 0x505050, 215);
  door3.setWorldMesh(hullGrid(stations(-8.37f, -7.53f, 0.21f), 40, -0.012f, false,
                              [](V3 p) { return p.x > 0.3f && p.y > 2.03f && p.y < 3.42f; }, 0, 1));
  Layer& cover = part(hx21, "Cover---z", {-1.0f, 2.0f, -5.0f});
  cover.colour(0xC8CCD0);
  cover.setWorldMesh(hullGrid(stations(-5.2f, -4.8f, 0.2f), 40, -0.01f, false,
                              [](V3 p) { return p.x < -0.6f && p.y > 1.9f && p.y < 2.2f; }, 0, 1));
}

void buildGear(Layer& hx21)
{
  const uint32_t strut = 0xA8AEB4, tyre = 0x1C1C1E, hub = 0xB0B4B8;
  // Nose gear: folds forward about x; its steering fork and wheels turn about y.
  Layer& nose = part(hx21, "nosegear---x", {0, 2.2f, -9.45f});
  nose.colour(strut, 0x808080, 200);
  {
    Mesh m;
    m.cylinder({0, 2.2f, -9.45f}, {0, 0.55f, -9.45f}, 0.07f, 0.06f, 10, true);
    m.cylinder({0, 1.9f, -9.45f}, {0, 1.7f, -9.05f}, 0.03f, 0.03f, 6, true);
    nose.setWorldMesh(m);
  }
  Layer& fork = part(nose, "tire000---y", {0, 0.6f, -9.45f});
  fork.colour(tyre);
  {
    Mesh m = wheel({-0.14f, 0.33f, -9.45f}, 0.33f, 0.18f);
    m.append(wheel({0.14f, 0.33f, -9.45f}, 0.33f, 0.18f));
    fork.setWorldMesh(m);
    Layer& axle = fork.add("nose_axle");
    axle.colour(hub);
    Mesh a;
    a.cylinder({-0.25f, 0.33f, -9.45f}, {0.25f, 0.33f, -9.45f}, 0.05f, 0.05f, 8, true);
    a.cylinder({0, 0.33f, -9.45f}, {0, 0.65f, -9.45f}, 0.05f, 0.05f, 8, true);
    axle.setWorldMesh(a);
  }
  part(nose, "ldlightm1", {0.09f, 1.2f, -9.55f}).lamp({0.09f, 1.2f, -9.55f}, 2, 0xFFF8E8);
  part(nose, "ldlightm2", {-0.09f, 1.2f, -9.55f}).lamp({-0.09f, 1.2f, -9.55f}, 2, 0xFFF8E8);
  // Nose bay doors, open (hanging down) in the modelled pose; they fold inwards.
  for (int side = 0; side < 2; ++side) {
    const float s = side ? -1.0f : 1.0f;
    Layer& c = part(hx21, side ? "R_n_gcover_all" : "L_n_gcover_all", {0.3f * s, 1.66f, -9.55f}, {5.97f, 0, 0});
    c.colour(0xE8EAEC);
    Mesh m;
    m.box({-0.015f, -0.55f, -0.95f}, {0.015f, 0, 0.95f});
    c.mesh = m;
  }
  // Main gear: each leg folds forward into its pod about x; two bay doors per pod hinge
  // along the pod's edges about z and close after the leg is in.
  for (int side = 0; side < 2; ++side) {
    const float s = side ? -1.0f : 1.0f;
    const std::string lr = side ? "r" : "l";
    Layer& leg = part(hx21, "01_tire_" + lr + "01", {1.55f * s, 2.05f, 2.55f});
    leg.colour(strut, 0x808080, 200);
    {
      Mesh m;
      m.cylinder({1.55f * s, 2.05f, 2.55f}, {1.55f * s, 0.5f, 2.55f}, 0.09f, 0.08f, 10, true);
      m.cylinder({1.3f * s, 0.45f, 2.55f}, {1.8f * s, 0.45f, 2.55f}, 0.06f, 0.06f, 8, true);
      leg.setWorldMesh(m);
    }
    Layer& tyres = leg.add("main_tyres_" + lr);
    tyres.colour(tyre);
    {
      Mesh m = wheel({(1.55f - 0.23f) * s, 0.45f, 2.55f}, 0.45f, 0.24f);
      m.append(wheel({(1.55f + 0.23f) * s, 0.45f, 2.55f}, 0.45f, 0.24f));
      tyres.setWorldMesh(m);
    }
    Layer& brace = part(leg, "t_" + lr + "01_b---x", {1.55f * s, 1.3f, 2.55f});
    brace.colour(strut);
    {
      Mesh m;
      m.cylinder({1.55f * s, 1.3f, 2.55f}, {1.55f * s, 1.75f, 3.2f}, 0.04f, 0.04f, 6, true);
      brace.setWorldMesh(m);
    }
    Layer& linkc = part(brace, "t_" + lr + "01_c---x", {1.55f * s, 1.75f, 3.2f});
    linkc.colour(strut);
    {
      Mesh m;
      m.cylinder({1.55f * s, 1.75f, 3.2f}, {1.55f * s, 2.0f, 3.45f}, 0.035f, 0.035f, 6, true);
      linkc.setWorldMesh(m);
    }
    // Bay doors, open. Left pod: "02" hinges at the outer edge, "03" at the inner; the right pod
    // mirrors them (there "03" is the outer one).
    const float outer = 1.86f, inner = 1.26f, yHinge = 1.52f;
    auto bayDoor = [&](const std::string& name, float hingeX, float towardsX, V3 rot) {
      Layer& d = part(hx21, name, {hingeX, yHinge, 2.0f}, rot);
      d.colour(0xC8CCD2);
      Mesh m;
      const float w = std::fabs(towardsX - hingeX);
      const float dir = towardsX > hingeX ? 1.0f : -1.0f;
      m.box({std::min(0.0f, dir * w), -0.015f, -1.2f}, {std::max(0.0f, dir * w), 0.015f, 1.2f});
      d.mesh = m;
    };
    const float mid = 1.56f;
    if (!side) {
      bayDoor("tire_l02---z", outer, mid, {0.9f, -2.5f, 65});
      bayDoor("tire_l03---z", inner, mid, {0.63f, 2.5f, -72});
    } else {
      bayDoor("tire_r02---z", -inner, -mid, {0.63f, -2.5f, 72});
      bayDoor("tire_r03---z", -outer, -mid, {0.9f, 2.5f, -65});
    }
  }
}

void buildWing(Layer& mainwing, const Livery& lv)
{
  Layer& wing = mainwing.add("wing");
  wing.colour(0xD9DDE2, 0x707070, 210);
  // Fixed parts between the moving surfaces (chord fractions where flaps and ailerons begin).
  struct Piece {
    float x0, x1, sTo;
  };
  const Piece pieces[] = {{0.0f, 1.45f, 1.0f}, {1.45f, 3.45f, 0.76f}, {3.45f, 4.65f, 1.0f},
                          {4.65f, 8.85f, 0.76f}, {8.85f, 12.75f, 0.78f}, {12.75f, 13.55f, 1.0f}};
  for (int side = 0; side < 2; ++side)
    for (const Piece& p : pieces) {
      const Mesh m = wingPiece(p.x0, p.x1, 0.0f, p.sTo);
      wing.addWorldMesh(side ? mirrorX(m) : m);
    }
  // Wing tip caps with the navigation lights.
  part(mainwing, "wglightl", {13.6f, wingAt(13.55f).y, -0.3f}).lamp({13.6f, wingAt(13.55f).y, -0.3f}, 1.5f, 0xFF3030);
  part(mainwing, "wglightr", {-13.6f, wingAt(13.55f).y, -0.3f}).lamp({-13.6f, wingAt(13.55f).y, -0.3f}, 1.5f, 0x30FF50);
  // Flaps: each hangs under a mount at its hinge, so that the sequence can slide it aft.
  struct Flap {
    const char* name;
    float x0, x1;
  };
  const Flap flaps[] = {{"flap_l01---xz", 1.47f, 3.43f}, {"flap_l02---xz", 4.67f, 8.83f}};
  for (int side = 0; side < 2; ++side)
    for (const Flap& f : flaps) {
      std::string name = f.name;
      if (side) name[5] = 'r';
      const float s = side ? -1.0f : 1.0f;
      const V3 hinge = wingHinge((f.x0 + f.x1) / 2, 0.76f);
      Layer& mount = part(mainwing, name.substr(0, 8) + "_mount", {hinge.x * s, hinge.y, hinge.z});
      Layer& flap = mount.add(name);
      flap.colour(0xCDD1D6, 0x606060, 210);
      const Mesh m = wingPiece(f.x0, f.x1, 0.76f, 1.0f, 6);
      flap.setWorldMesh(side ? mirrorX(m) : m);
    }
  for (int side = 0; side < 2; ++side) {
    const float s = side ? -1.0f : 1.0f;
    const V3 hinge = wingHinge(10.8f, 0.78f);
    Layer& ail = part(mainwing, side ? "aileron_r01---x" : "aileron_l01---x", {hinge.x * s, hinge.y, hinge.z});
    ail.colour(0xCDD1D6, 0x606060, 210);
    const Mesh m = wingPiece(8.87f, 12.73f, 0.78f, 1.0f, 6);
    ail.setWorldMesh(side ? mirrorX(m) : m);
  }
  (void)lv;
}

void buildEngines(Layer& enjine, const Livery& lv, const std::string& folder)
{
  writeTexture(folder + "prop_blur", propBlurTexture(), true);
  constexpr float kEx = 4.05f, kEy = 4.02f, kProp = -3.45f;
  for (int side = 0; side < 2; ++side) {
    const float s = side ? -1.0f : 1.0f;
    const std::string L = side ? "R" : "L";
    const std::string e = side ? "e1" : "e4";
    Layer& nac = enjine.add("nacelle_" + L);
    nac.colour(0xF2F4F6, 0x606060, 215);
    {
      Mesh m;
      const int n = 20;
      m.loft(9, n, [&](int r, int k) {
        static const float zs[] = {-3.3f, -3.1f, -2.6f, -1.8f, -0.6f, 0.6f, 1.6f, 2.4f, 3.0f};
        static const float ws[] = {0.33f, 0.42f, 0.48f, 0.5f, 0.5f, 0.47f, 0.38f, 0.25f, 0.06f};
        static const float bs[] = {0.35f, 0.5f, 0.62f, 0.68f, 0.7f, 0.68f, 0.58f, 0.42f, 0.1f};
        const float z = zs[r];
        const float phi = 2 * kPi * float(k) / float(n);
        const float top = std::max(0.0f, std::cos(phi));
        const float up = (z > -2.0f && z < 1.8f) ? 0.25f : 0.0f; // blends into the wing
        return V3{kEx * s + ws[r] * ss(std::sin(phi)), kEy - 0.12f + bs[r] * ss(std::cos(phi)) + up * top, z};
      }, true, true);
      nac.setWorldMesh(m);
    }
    // Intake lip under the spinner and the exhaust on the outer side.
    Layer& intake = part(nac, "03" + L + "_enjine---y", {kEx * s, kEy - 0.5f, -3.2f});
    intake.colour(0x30343A);
    {
      Mesh m;
      m.cylinder({kEx * s, kEy - 0.52f, -3.25f}, {kEx * s, kEy - 0.52f, -2.6f}, 0.16f, 0.2f, 12, true);
      intake.setWorldMesh(m);
    }
    Layer& exhaust = part(nac, "01" + L + "_enjine---y", {(kEx + 0.45f) * s, kEy + 0.05f, 0.2f});
    exhaust.colour(0x4A4E54, 0x808080, 200);
    {
      Mesh m;
      m.cylinder({(kEx + 0.42f) * s, kEy + 0.05f, -0.3f}, {(kEx + 0.5f) * s, kEy + 0.05f, 0.6f}, 0.14f, 0.16f, 10, true);
      exhaust.setWorldMesh(m);
    }
    Layer& ring = part(nac, "04" + L + "_enjine---z", {kEx * s, kEy, -3.28f});
    ring.colour(lv.accent);
    {
      Mesh m;
      m.cylinder({kEx * s, kEy, -3.32f}, {kEx * s, kEy, -3.22f}, 0.34f, 0.35f, 20, false);
      ring.setWorldMesh(m);
    }
    Layer& oilFlap = part(nac, "02" + L + "_enjine---z", {kEx * s, kEy - 0.68f, -1.2f});
    oilFlap.colour(0xD0D4D8);
    oilFlap.setWorldMesh(boxMesh({kEx * s - 0.18f, kEy - 0.72f, -1.5f}, {kEx * s + 0.18f, kEy - 0.68f, -0.9f}));
    Layer& belly = part(nac, "05" + L + "_enjine---z", {kEx * s, kEy - 0.7f, 0.9f});
    belly.colour(0xD0D4D8);
    belly.setWorldMesh(boxMesh({kEx * s - 0.25f, kEy - 0.72f, 0.5f}, {kEx * s + 0.25f, kEy - 0.68f, 1.3f}));
    for (int k = 0; k < 2; ++k) {
      const float off = k ? -0.5f : 0.5f;
      Layer& cf = part(nac, "03_" + std::string(k ? "R" : "L") + "_" + L + "_enjine---x", {kEx * s + off, kEy - 0.3f, 1.8f});
      cf.colour(0xE4E6E8);
      cf.setWorldMesh(boxMesh({kEx * s + off - 0.02f, kEy - 0.55f, 1.6f}, {kEx * s + off + 0.02f, kEy - 0.05f, 2.1f}));
    }
    // Propeller: hub turning about the engine axis, four blades in the blade group, the
    // spinner, and two blur discs for the spinning look.
    const V3 hubPos{kEx * s, kEy, kProp};
    Layer& low = part(enjine, e + "low---z", hubPos);
    Layer& blades = low.add(side ? "PRPall" : "PLPall");
    for (int b = 0; b < 4; ++b) {
      Layer& bl = blades.add((side ? "PRP" : "PLP") + std::to_string(b + 1));
      bl.colour(0x18181A, 0x505050, 200);
      Mesh m;
      const int n = 6;
      m.loft(6, n, [&](int r, int k) {
        const float t = float(r) / 5;
        const float rr = 0.3f + 1.65f * t;
        const float chord = 0.26f - 0.12f * t * t + 0.04f * std::sin(kPi * t);
        const float twist = rad(40 - 28 * t);
        const float a = 2 * kPi * float(k) / float(n);
        const float cx = chord / 2 * std::cos(a), cz = 0.025f * std::sin(a);
        return V3{cx * std::cos(twist) - cz * std::sin(twist), rr, cx * std::sin(twist) + cz * std::cos(twist)};
      }, false, true);
      bl.mesh = m.transformed(Affine::rotation({0, 0, 90.0f * float(b) + 45}));
      if (b == 0) {
        Layer& tips = blades.add(side ? "PRP_tips" : "PLP_tips");
        tips.colour(0xE8C020);
        for (int q = 0; q < 4; ++q) {
          Mesh tip;
          tip.orientedBox({0, 1.9f, 0}, {0.05f, 0.06f, 0.03f}, {});
          tips.mesh.append(tip.transformed(Affine::rotation({0, 0, 90.0f * float(q) + 45})));
        }
      }
    }
    Layer& spinner = low.add(side ? "PRPM" : "PLPM");
    spinner.colour(0xF2F4F6, 0x808080, 220);
    {
      Mesh m;
      m.loft(6, 16, [&](int r, int k) {
        const float t = float(r) / 5;
        const float rr = 0.34f * std::sqrt(std::max(0.0f, 1 - t * t));
        const float a = 2 * kPi * float(k) / 16;
        return V3{rr * std::cos(a), rr * std::sin(a), 0.15f - 0.75f * t};
      }, true, false);
      spinner.mesh = m;
    }
    Layer& high = part(enjine, e + "high---z", hubPos);
    high.colour(0xFFFFFF).texture("prop_blur.bmp", "NORMAL_SHADE", "LINEAR", "CLAMP");
    high.attributes = {"BackFace", "ZNoWrite"};
    {
      Mesh m;
      m.flatQuad({-1.97f, 1.97f, -0.02f}, {1.97f, 1.97f, -0.02f}, {1.97f, -1.97f, -0.02f}, {-1.97f, -1.97f, -0.02f}, 0, 0, 1, 1);
      high.mesh = m;
    }
    Layer& high2 = part(enjine, "02" + e + "high", hubPos);
    high2.colour(0xFFFFFF).texture("prop_blur.bmp", "NORMAL_SHADE", "LINEAR", "CLAMP");
    high2.attributes = {"BackFace", "ZNoWrite"};
    high2.transparency = 120;
    {
      Mesh m;
      m.flatQuad({-1.97f, -1.97f, 0.05f}, {1.97f, -1.97f, 0.05f}, {1.97f, 1.97f, 0.05f}, {-1.97f, 1.97f, 0.05f}, 1, 0, 0, 1);
      high2.mesh = m;
    }
  }
}

void buildCockpit(Layer& cp, const std::string& folder)
{
  writeTexture(folder + "panel", cockpitPanelTexture(), false);
  constexpr float z0 = -12.05f, z1 = -9.3f;
  Layer& shell = cp.add("cp_shell");
  shell.colour(0x5A6068, 0x202020, 240);
  auto isWindow = [](V3 p) {
    if (p.y < 3.6f) return false;
    const float head = 4.2f - std::max(0.0f, -10.8f - p.z) * 0.55f;
    if (p.y > head) return false;
    if (p.z < -10.95f) return std::fabs(p.x) > 0.07f && p.z > -11.95f;
    if (p.z > -10.85f && p.z < -10.15f) return true;
    if (p.z > -10.05f && p.z < -9.65f) return true;
    return false;
  };
  shell.setWorldMesh(hullGrid(stations(z0, z1, 0.05f), 64, 0.05f, true, [&](V3 p) { return !isWindow(p); }, 0, 1));
  // Bulkhead behind the seats, with a door.
  Layer& bulk = cp.add("cp_bulkhead");
  bulk.colour(0x6A7078);
  {
    const Section s = hullSection(z1);
    Mesh m;
    m.loft(2, 32, [&](int r, int k) {
      const float phi = 2 * kPi * float(k) / 32;
      return r == 0 ? sectionPoint(s, z1, phi, 0.05f) : V3{0, s.cy, z1};
    }, false, false);
    m.orientTowards({0, 0, -1});
    bulk.setWorldMesh(m);
  }
  Layer& floor = cp.add("cp_floor");
  floor.colour(0x2E3034);
  floor.setWorldMesh(boxMesh({-1.3f, kCockpitFloor - 0.05f, z0}, {1.3f, kCockpitFloor, z1}));
  // Main panel facing the crew, glare shield above it, pedestal between the seats.
  Layer& panel = cp.add("cp_panel");
  panel.colour(0xFFFFFF).texture("panel.bmp", "NORMAL_SHADE", "LINEAR", "CLAMP");
  {
    Mesh m;
    m.flatQuad({1.05f, 3.55f, -11.05f}, {-1.05f, 3.55f, -11.05f}, {-1.05f, 2.95f, -10.95f}, {1.05f, 2.95f, -10.95f}, 0, 0, 1, 1);
    panel.setWorldMesh(m);
  }
  Layer& shield = cp.add("cp_glareshield");
  shield.colour(0x1E2024);
  shield.setWorldMesh(boxMesh({-1.1f, 3.55f, -11.45f}, {1.1f, 3.66f, -10.95f}));
  Layer& under = cp.add("cp_panel_lower");
  under.colour(0x34383E);
  under.setWorldMesh(boxMesh({-1.1f, kCockpitFloor, -11.5f}, {1.1f, 2.95f, -10.95f}));
  Layer& pedestal = cp.add("cp_pedestal");
  pedestal.colour(0x2A2D32);
  {
    Mesh m = boxMesh({-0.22f, kCockpitFloor, -10.95f}, {0.22f, 3.05f, -10.0f});
    m.append(boxMesh({-0.08f, 3.05f, -10.75f}, {-0.04f, 3.2f, -10.6f}));
    m.append(boxMesh({0.04f, 3.05f, -10.75f}, {0.08f, 3.2f, -10.6f}));
    pedestal.setWorldMesh(m);
  }
  Layer& pcover = part(pedestal, "cp_overhead", {0, 4.3f, -10.4f});
  pcover.colour(0x3A3E44);
  pcover.setWorldMesh(boxMesh({-0.45f, 4.18f, -10.9f}, {0.45f, 4.32f, -9.9f}));
  // Windscreen centre post and the side consoles under the side windows.
  Layer& frame = cp.add("cp_frame");
  frame.colour(0x3A3F46, 0x202020, 235);
  {
    Mesh m;
    const V3 bottom{0, 3.62f, -11.42f}, top{0, 4.02f, -11.02f};
    m.cylinder(bottom, top, 0.05f, 0.05f, 6, true);
    for (float s : {-1.0f, 1.0f}) {
      m.append(boxMesh({1.08f * s - 0.12f, 3.0f, -10.9f}, {1.08f * s + 0.12f, 3.12f, -9.6f}));
      m.append(boxMesh({1.14f * s - 0.05f, 3.12f, -10.8f}, {1.14f * s + 0.05f, 3.3f, -9.7f}));
    }
    frame.setWorldMesh(m);
  }
  // Seats.
  Layer& seats = cp.add("cp_seats");
  seats.colour(0x34302C, 0x202020, 240);
  for (int side = 0; side < 2; ++side) {
    const float x = side ? -0.6f : 0.6f;
    Mesh m = boxMesh({x - 0.27f, 2.85f, -10.05f}, {x + 0.27f, 3.0f, -9.55f});
    m.append(boxMesh({x - 0.27f, 3.0f, -9.6f}, {x + 0.27f, 3.85f, -9.45f}));
    m.append(boxMesh({x - 0.1f, kCockpitFloor, -9.9f}, {x + 0.1f, 2.85f, -9.7f}));
    seats.addWorldMesh(m);
  }
  // Control columns: the column pitches about x, its wheel rolls about the column axis (z).
  Layer& controls = cp.add("01controlall");
  const char* cols[] = {"control01---x", "control03---x"};
  const char* wheels[] = {"control02---z", "control04---z"};
  for (int side = 0; side < 2; ++side) {
    const float x = side ? -0.6f : 0.6f;
    Layer& col = part(controls, cols[side], {x, kCockpitFloor + 0.05f, -10.8f});
    col.colour(0x24262A);
    Mesh m;
    m.cylinder({x, kCockpitFloor + 0.05f, -10.8f}, {x, 3.2f, -10.6f}, 0.04f, 0.035f, 8, true);
    col.setWorldMesh(m);
    Layer& wh = part(col, wheels[side], {x, 3.22f, -10.58f});
    wh.colour(0x1A1B1E);
    Mesh w;
    w.orientedBox({x, 3.22f, -10.58f}, {0.17f, 0.025f, 0.025f}, {});
    w.orientedBox({x - 0.16f, 3.28f, -10.58f}, {0.025f, 0.08f, 0.025f}, {});
    w.orientedBox({x + 0.16f, 3.28f, -10.58f}, {0.025f, 0.08f, 0.025f}, {});
    wh.setWorldMesh(w);
  }
  // Side window frames (sliding) and windscreen wipers.
  for (int side = 0; side < 2; ++side) {
    const float s = side ? -1.0f : 1.0f;
    Layer& cw = part(cp, side ? "cw_R---z" : "cw_L---z", {1.2f * s, 3.6f, -10.5f});
    cw.colour(0x5A6068);
    cw.setWorldMesh(hullGrid(stations(-10.88f, -10.12f, 0.38f), 64, 0.06f, true,
                             [&](V3 p) { return p.x * s > 0.5f && ((p.y > 3.56f && p.y < 3.62f) || (p.y > 4.1f && p.y < 4.2f)); }, 0, 1));
    Layer& wiper = part(cp, side ? "RWiper" : "LWiper", {0.5f * s, 3.64f, -11.55f});
    wiper.colour(0x101010);
    Mesh m;
    m.orientedBox({0.5f * s + 0.18f * s, 3.78f, -11.6f}, {0.015f, 0.2f, 0.01f}, {-28, 0, -25 * s});
    wiper.setWorldMesh(m);
  }
}

void buildCabin(Layer& in01, Layer& in02)
{
  constexpr float z0 = -9.1f, z1 = 11.3f;
  std::vector<float> extra;
  for (float c : windowCentres()) {
    extra.push_back(c - kWinHalf);
    extra.push_back(c + kWinHalf);
  }
  Layer& wall = in01.add("cabin_wall");
  wall.colour(0xE8E4DC, 0x202020, 240);
  wall.setWorldMesh(hullGrid(stations(z0, z1, 0.38f, extra), 96, 0.06f, true, [](V3 p) { return !inCabinWindow(p); }, 0, 1));
  Layer& floor = in01.add("cabin_floor");
  floor.colour(0x4A4E66);
  {
    Mesh m;
    for (float z = z0; z < z1 - 1e-3f; z += 1.0f) {
      const float za = z, zb = std::min(z1, z + 1.0f);
      const float wa = hullSection(za).a - 0.1f, wb = hullSection(zb).a - 0.1f;
      const float y = kFloor + std::max(0.0f, za - 8.5f) * 0.12f;
      m.flatQuad({-wa, y, za}, {-wb, y, zb}, {wb, y, zb}, {wa, y, za});
    }
    floor.setWorldMesh(m);
  }
  Layer& aisle = in01.add("cabin_aisle");
  aisle.colour(0x2A3A7A);
  {
    Mesh m;
    m.flatQuad({-0.25f, kFloor + 0.01f, z0}, {-0.25f, kFloor + 0.01f, 8.5f}, {0.25f, kFloor + 0.01f, 8.5f}, {0.25f, kFloor + 0.01f, z0});
    aisle.setWorldMesh(m);
  }
  for (int end = 0; end < 2; ++end) {
    const float z = end ? z1 : z0;
    Layer& bh = in01.add(end ? "cabin_rear" : "cabin_front");
    bh.colour(end ? 0xD8D2C8 : 0xC8C2B8);
    const Section s = hullSection(z);
    Mesh m;
    m.loft(2, 32, [&](int r, int k) {
      const float phi = 2 * kPi * float(k) / 32;
      return r == 0 ? sectionPoint(s, z, phi, 0.05f) : V3{0, s.cy, z};
    }, false, false);
    m.orientTowards({0, 0, end ? -1.0f : 1.0f});
    bh.setWorldMesh(m);
  }
  // Window shades and cabin lights along the ceiling.
  Layer& lights = in01.add("cabin_lights");
  lights.glow(0xFFF6E0);
  {
    Mesh m;
    for (int side = 0; side < 2; ++side) {
      const float s = side ? -1.0f : 1.0f;
      m.append(boxMesh({0.35f * s - 0.04f, 4.2f, -8.5f}, {0.35f * s + 0.04f, 4.24f, 8.0f}));
    }
    lights.setWorldMesh(m);
  }
  // Seats (2 + 2), overhead bins.
  Layer& seats = in02.add("cabin_seats");
  seats.colour(0x2C4C8C, 0x202020, 240);
  Layer& frames = in02.add("cabin_seatframes");
  frames.colour(0x9AA0A6);
  {
    Mesh m, f;
    for (int row = 0; row < 18; ++row) {
      const float z = -7.3f + 0.79f * float(row);
      if (z > 6.2f) break;
      for (float x : {-1.0f, -0.52f, 0.52f, 1.0f}) {
        m.append(boxMesh({x - 0.22f, kFloor + 0.42f, z - 0.22f}, {x + 0.22f, kFloor + 0.55f, z + 0.24f}));
        m.append(boxMesh({x - 0.22f, kFloor + 0.5f, z + 0.2f}, {x + 0.22f, kFloor + 1.2f, z + 0.3f}));
        m.append(boxMesh({x - 0.2f, kFloor + 1.2f, z + 0.21f}, {x + 0.2f, kFloor + 1.32f, z + 0.29f}));
        f.append(boxMesh({x - 0.03f, kFloor, z - 0.1f}, {x + 0.03f, kFloor + 0.42f, z + 0.1f}));
      }
    }
    seats.setWorldMesh(m);
    frames.setWorldMesh(f);
  }
  Layer& bins = in02.add("cabin_bins");
  bins.colour(0xF0ECE4, 0x303030, 230);
  {
    Mesh m;
    for (int side = 0; side < 2; ++side) {
      const float s = side ? -1.0f : 1.0f;
      Mesh b;
      b.flatQuad({0.62f, 3.82f, -8.0f}, {0.62f, 3.82f, 7.2f}, {0.62f, 4.2f, 7.2f}, {0.62f, 4.2f, -8.0f});
      b.flatQuad({0.62f, 3.82f, -8.0f}, {1.15f, 3.75f, -8.0f}, {1.15f, 3.75f, 7.2f}, {0.62f, 3.82f, 7.2f});
      if (side) b = mirrorX(b);
      m.append(b);
      (void)s;
    }
    // Bins are seen from inside the cabin only: keep both faces.
    bins.attributes = {"BackFace"};
    bins.setWorldMesh(m);
  }
}

} // namespace

void makeAircraft(const std::string& name, int livery)
{
  const Livery& lv = kLiveries[livery % 2];
  const std::string folder = "plane\\" + name + "\\";
  Layer top;
  top.name = name;
  Layer& hx21 = top.add("hx21");
  Layer& in01 = top.add("in_hx2101");
  Layer& in02 = top.add("in_hx2102");
  in02.on = false;
  Layer& mainwing = top.add("mainwing");
  Layer& enjine = top.add("enjine");
  Layer& cp = top.add("cp_c");
  cp.on = false;

  writeTexture(folder + "lamp_glow", lampGlow(), true);
  buildFuselage(hx21, lv, folder);
  buildGear(hx21);
  buildWing(mainwing, lv);
  buildEngines(enjine, lv, folder);
  buildCockpit(cp, folder);
  buildCabin(in01, in02);
  // The cabin's walls and floor stay on for the outside cameras (the wings and engines are
  // seen through its windows), but from outside they are hidden behind the skin: draw them
  // only when the eye is close, as it is in the cabin.
  for (auto& c : in01.children) c->farLimit = 25;

  // Lamps: anti-collision on the fin top and the belly, landing lights on the lower nose
  // sides (their height is animated from 2.1 down to 2.3 when they fold in), tail light.
  part(hx21, "atlightu", {0, 7.72f, 12.9f}).lamp({0, 7.72f, 12.9f}, 2, 0xFF2018);
  part(hx21, "atlightd", {0, 1.52f, 0.6f}).lamp({0, 1.52f, 0.6f}, 2, 0xFF2018);
  part(hx21, "ldlightl", {1.0f, 2.1f, -7.6f}).lamp({1.0f, 2.1f, -7.6f}, 2, 0xFFFFF0);
  part(hx21, "ldlightr", {-1.0f, 2.1f, -7.6f}).lamp({-1.0f, 2.1f, -7.6f}, 2, 0xFFFFF0);
  part(hx21, "ldlightb", {0, 4.08f, 14.36f}).lamp({0, 4.08f, 14.36f}, 1.5f, 0xFFFFFF);

  // Ground shadow and the landing-light beams (both shown only on request).
  Layer& shadow = top.add("shadow");
  shadow.on = false;
  shadow.colour(0x000000).texture("shadow.bmp", "NORMAL_SHADE", "LINEAR", "CLAMP");
  shadow.attributes = {"ZNoWrite", "NoFog"};
  writeTexture(folder + "shadow", shadowTexture(), true);
  {
    Mesh m;
    m.flatQuad({14, 0.04f, -13.5f}, {-14, 0.04f, -13.5f}, {-14, 0.04f, 14.5f}, {14, 0.04f, 14.5f}, 0, 0, 1, 1);
    shadow.setWorldMesh(m);
  }
  Layer& fr = top.add("frlight");
  fr.on = false;
  fr.glow(0xFFF8E0);
  fr.transparency = 215;
  fr.attributes = {"BackFace", "ZNoWrite", "NoFog"};
  {
    Mesh m;
    for (int side = 0; side < 2; ++side) {
      const float s = side ? -1.0f : 1.0f;
      m.cylinder({1.0f * s, 2.1f, -7.6f}, {3.0f * s, -0.5f, -40.0f}, 0.1f, 4.0f, 12, false);
    }
    fr.setWorldMesh(m);
  }
  writeText(folder + name + ".tvm", writeTvm(top));
  writeGltfCopies(top, folder, name);
}

} // namespace content
