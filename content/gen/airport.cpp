// The airport and its surroundings (port\rjbh) and the cloud layers (etc\clouds).
// The runway runs along z under the aircraft's low pass (x = 0, z -1400..1400); the terminal
// side lies towards +x, where the free camera roams (a circle of 5000 around (2000, 0)); the
// land reaches out to the fog (15 000) with fields, roads, a town and the sea coast to the west.
// Layers named "@N2_..." and "@N4_..." carry extra detail stages that the viewer strips.
#include "content.h"
#include "gltf_copy.h"
#include "image.h"
#include "text.h"
#include "tvm.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {

constexpr float kExtent = 16000;        // half size of the land square around (2000, 0)
constexpr float kCentreX = 2000;
constexpr float kRunwayHalfLen = 1400, kRunwayHalfWidth = 25;
constexpr float kCoastX = -3200;        // sea beyond this (with a wavy line)

float coastAt(float z) { return kCoastX + 500 * std::sin(z / 2300.0f) + 260 * std::sin(z / 870.0f + 1.3f); }

float hillHeight(float x, float z)
{
  const float dx = x - 600, dz = z;
  const float r = std::sqrt(dx * dx + dz * dz);
  const float ramp = std::clamp((r - 4000) / 6000, 0.0f, 1.0f);
  const float inland = std::clamp((x - coastAt(z) - 800) / 2500, 0.0f, 1.0f);
  const float n = fractalNoise(x / 3000.0f, z / 3000.0f, 4, 77);
  return ramp * inland * (40 + 700 * std::pow(n, 2.2f));
}

// The land map: one texel per 31 m over the whole square.
Image landMap()
{
  const int S = 1024;
  Image img(S, S);
  for (int py = 0; py < S; ++py)
    for (int px = 0; px < S; ++px) {
      const float x = kCentreX - kExtent + (px + 0.5f) / S * 2 * kExtent;
      const float z = kExtent - (py + 0.5f) / S * 2 * kExtent;
      const float coast = coastAt(z);
      Rgba c;
      if (x < coast) {
        const float deep = std::clamp((coast - x) / 3000, 0.0f, 1.0f);
        c = mix(rgb(0x3C7896), rgb(0x1C3C64), deep);
      } else if (x < coast + 90) {
        c = rgb(0xD8CCA0);
      } else {
        // Field patchwork on a grid of about 300 m, varied by noise.
        const int fx = int(std::floor((x + 40 * std::sin(z / 700)) / 320)), fz = int(std::floor(z / 260));
        const float h = hashNoise(fx, fz, 5);
        static const uint32_t fields[] = {0x5F7A3A, 0x6E8444, 0x7C7C4C, 0x55703A, 0x8A845A, 0x687E44, 0x5E7236, 0x968A62};
        c = rgb(fields[int(h * 8) % 8]);
        const float hill = hillHeight(x, z);
        if (hill > 120) c = mix(c, rgb(0x3E5A2C), std::clamp((hill - 120) / 300, 0.0f, 0.85f));
        // Town along the coast north of the airport.
        const float town = std::clamp(1 - std::hypot((x - coast - 1500) / 1800, (z - 4500) / 2600), 0.0f, 1.0f);
        if (town > 0 && hashNoise(int(x / 60), int(z / 60), 9) < town * 1.2f) c = mix(c, rgb(0x9A9890), 0.75f);
      }
      // Roads: a coastal road, a road to the terminal, a grid of country roads.
      const bool land = x > coast + 90;
      if (land) {
        if (std::fabs(x - (coast + 400)) < 18) c = rgb(0x5A5A5C);
        if (std::fabs(z - 1900) < 14 && x > coast && x < 9000) c = rgb(0x5C5C5E);
        if (std::fabs(std::fmod(std::fabs(x - 300), 2900.0f)) < 12 && std::fabs(z) > 1800) c = rgb(0x6A665E);
        if (std::fabs(std::fmod(std::fabs(z + 700), 3300.0f)) < 12 && x > 1400) c = rgb(0x6A665E);
        // A river from the hills to the sea.
        const float rz = -5200 + 900 * std::sin(x / 1900.0f);
        if (std::fabs(z - rz) < 35 && x < 14000) c = rgb(0x3C6E8A);
      }
      // The airfield's grass.
      if (x > -260 && x < 1100 && std::fabs(z) < 1750) c = rgb(0x6C8C48);
      img.set(px, py, c);
    }
  img.grain(0.05f, 31);
  return img;
}

Image detailTexture(uint32_t seed, float amount)
{
  Image img(256, 256, rgb(0xFFFFFF));
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const float n = fractalNoise(x / 16.0f, y / 16.0f, 4, seed);
      const uint8_t v = uint8_t(std::clamp(255 - amount * 255 * n, 0.0f, 255.0f));
      img.set(x, y, Rgba{v, v, v, 255});
    }
  return img;
}

// One end of the runway: threshold bars, designation, touchdown marks (texture rows run
// from the runway's end inwards).
Image runwayEnd(const std::string& number)
{
  const int W = 128, H = 512; // 50 m x 400 m
  Image img(W, H, rgb(0x4C4E52));
  img.grain(0.08f, 3);
  const float mx = W / 50.0f, my = H / 400.0f;
  auto rect = [&](float x0, float z0, float x1, float z1) { img.fillRect(x0 * mx, z0 * my, x1 * mx, z1 * my, rgb(0xE8E8E4)); };
  rect(1, 0, 1.9f, 400);
  rect(48.1f, 0, 49, 400);
  for (int i = 0; i < 8; ++i) {
    const float x = 4 + i * 5.5f + (i >= 4 ? 3 : 0);
    rect(x, 6, x + 1.8f, 36);
  }
  Image num(96, 64, Rgba{0, 0, 0, 0});
  drawTextCentred(num, 48, 32, 60, number, rgb(0xE8E8E4), Face::SansBold);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) {
      const Rgba p = num.get(95 - x, 63 - y); // read from the runway's end
      if (p.a) img.blend(int(16 + x * 1.0f), int(50 * my + y * 1.4f), Rgba{p.r, p.g, p.b, 255}, p.a / 255.0f);
    }
  for (int i = 0; i < 3; ++i) {
    rect(12, 150 + i * 75.0f, 14, 170 + i * 75.0f);
    rect(36, 150 + i * 75.0f, 38, 170 + i * 75.0f);
  }
  rect(24.4f, 130, 25.6f, 160);
  rect(24.4f, 190, 25.6f, 220);
  rect(24.4f, 250, 25.6f, 280);
  rect(24.4f, 310, 25.6f, 340);
  rect(24.4f, 370, 25.6f, 400);
  // Tyre marks in the touchdown zone.
  for (int i = 0; i < 300; ++i) {
    const float z = 150 + hashNoise(i, 1, 4) * 200, x = 18 + hashNoise(i, 2, 4) * 14;
    img.line(x * mx, z * my, (x + 0.3f) * mx, (z + 12) * my, 1.0f, Rgba{30, 30, 32, 40});
  }
  return img;
}

Image runwayMiddle()
{
  const int W = 128, H = 128; // 50 m x 60 m, repeated
  Image img(W, H, rgb(0x505256));
  img.grain(0.08f, 11);
  const float mx = W / 50.0f, my = H / 60.0f;
  img.fillRect(1 * mx, 0, 1.9f * mx, H, rgb(0xE8E8E4));
  img.fillRect(48.1f * mx, 0, 49 * mx, H, rgb(0xE8E8E4));
  img.fillRect(24.4f * mx, 0, 25.6f * mx, 30 * my, rgb(0xE8E8E4));
  return img;
}

Image taxiwayTexture()
{
  Image img(64, 64, rgb(0x5E6064));
  img.grain(0.06f, 12);
  img.fillRect(30, 0, 34, 64, rgb(0xE0B828));
  img.fillRect(0, 0, 2, 64, rgb(0xD8C040));
  img.fillRect(62, 0, 64, 64, rgb(0xD8C040));
  return img;
}

Image apronTexture()
{
  Image img(256, 256, rgb(0x8E8E8A));
  for (int y = 0; y < 256; y += 32) img.fillRect(0, float(y), 256, float(y) + 1, rgb(0x6E6E6A));
  for (int x = 0; x < 256; x += 32) img.fillRect(float(x), 0, float(x) + 1, 256, rgb(0x6E6E6A));
  img.fillRect(0, 126, 256, 130, rgb(0xE0B828));
  img.grain(0.06f, 13);
  for (int i = 0; i < 40; ++i)
    img.fillCircle(hashNoise(i, 0, 2) * 256, hashNoise(i, 1, 2) * 256, 3 + hashNoise(i, 2, 2) * 10, Rgba{40, 40, 40, 40});
  return img;
}

Image facadeTexture(uint32_t wall, uint32_t glass, int floors, int bays)
{
  Image img(256, 256, rgb(wall));
  const float fh = 256.0f / float(floors), bw = 256.0f / float(bays);
  for (int f = 0; f < floors; ++f)
    for (int b = 0; b < bays; ++b) {
      const Rgba g = mix(rgb(glass), rgb(0xC8D8E8), hashNoise(f, b, 17) * 0.5f);
      img.fillRect(b * bw + bw * 0.12f, f * fh + fh * 0.25f, (b + 1) * bw - bw * 0.12f, (f + 1) * fh - fh * 0.15f, g);
    }
  img.grain(0.04f, 19);
  return img;
}

void quadUp(Mesh& m, float x0, float z0, float x1, float z1, float y, float u0, float v0, float u1, float v1)
{
  // Upward-facing quad with u along x and v along z.
  m.flatQuad({x0, y, z0}, {x0, y, z1}, {x1, y, z1}, {x1, y, z0});
  const size_t n = m.verts.size();
  m.verts[n - 4].u = u0; m.verts[n - 4].v = v0;
  m.verts[n - 3].u = u0; m.verts[n - 3].v = v1;
  m.verts[n - 2].u = u1; m.verts[n - 2].v = v1;
  m.verts[n - 1].u = u1; m.verts[n - 1].v = v0;
  m.orientTowards({0, 1, 0}, m.tris.size() - 2);
}

// Box with texture coordinates in metres / scale on the walls.
void building(Mesh& m, V3 lo, V3 hi, float uScale, float vScale)
{
  Mesh b;
  b.box(lo, hi);
  for (size_t i = 0; i < b.verts.size(); i += 4) {
    const V3 n = b.verts[i].n;
    for (size_t k = 0; k < 4; ++k) {
      Vert& v = b.verts[i + k];
      const float along = std::fabs(n.x) > 0.5f ? v.p.z : v.p.x;
      v.u = along / uScale;
      v.v = (hi.y - v.p.y) / vScale;
      if (std::fabs(n.y) > 0.5f) { v.u = 0.02f; v.v = 0.02f; } // roofs take the wall colour's corner
    }
  }
  m.append(b);
}

void buildGround(Layer& top, const std::string& folder)
{
  writeTexture(folder + "land", landMap(), false);
  writeTexture(folder + "detail", detailTexture(41, 0.35f), false);
  Layer& land = top.add("@N2_land");
  land.colour(0xFFFFFF).texture("land.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "CLAMP");
  land.texture("detail.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  land.detailScale = 80;
  Mesh m;
  const int N = 128;
  for (int j = 0; j <= N; ++j)
    for (int i = 0; i <= N; ++i) {
      const float x = kCentreX - kExtent + 2 * kExtent * float(i) / N, z = kExtent - 2 * kExtent * float(j) / N;
      float y = hillHeight(x, z) - 0.8f;
      if (x < coastAt(z)) y = -1.5f;
      // Under the airfield's own grass the land drops away, so the two never fight for depth.
      if (x > -260 && x < 1100 && std::fabs(z) < 1750) y = -3.0f;
      m.add({{x, y, z}, {}, float(i) / N, float(j) / N});
    }
  for (int j = 0; j < N; ++j)
    for (int i = 0; i < N; ++i) {
      const uint32_t a = uint32_t(j * (N + 1) + i), b = a + 1, c = a + uint32_t(N + 1), d = c + 1;
      // Upward faces: (a, b, d) with x growing along b and z shrinking along c.
      m.tri(a, b, d);
      m.tri(a, d, c);
    }
  m.orientTowards({0, 1, 0});
  m.smoothNormals();
  land.mesh = m;
}

// Mown grass of the airfield at 1.3 m a texel (the land map has 31 m), repeated over the field.
Image grassTexture()
{
  const int S = 256;
  Image img(S, S);
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      // Tileable: noise sampled on a torus of the texture's size.
      const float n = fractalNoise(float(x) / 32, float(y) / 32, 4, 55) * 0.6f + hashNoise(x, y, 56) * 0.4f;
      const bool stripe = (y / 32) % 2 == 0;
      Rgba c = mix(rgb(0x5E7E3E), rgb(0x7C9A50), n);
      if (stripe) c = mix(c, rgb(0x88A85C), 0.25f);
      img.set(x, y, c);
    }
  // Blend the seams so that the repeat does not show.
  Image out = img;
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      const float fx = std::min(x, S - 1 - x) / 24.0f, fy = std::min(y, S - 1 - y) / 24.0f;
      const float k = std::clamp(std::min(fx, fy), 0.0f, 1.0f);
      out.set(x, y, mix(img.get(S - 1 - x, S - 1 - y), img.get(x, y), 0.5f + 0.5f * k));
    }
  return out;
}

void buildAirfield(Layer& top, const std::string& folder)
{
  writeTexture(folder + "grass", grassTexture(), false);
  // The airfield's grass, in 100 m pieces just above the land.
  Layer& grass = top.add("airfield_grass");
  grass.colour(0xFFFFFF).texture("grass.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  {
    Mesh m;
    for (float x = -260; x < 1100 - 1; x += 100)
      for (float z = -1750; z < 1750 - 1; z += 100) {
        const float x1 = std::min(x + 100, 1100.0f), z1 = std::min(z + 100, 1750.0f);
        quadUp(m, x, z, x1, z1, -0.8f, x / 330, z / 330, x1 / 330, z1 / 330);
      }
    grass.mesh = m;
  }

  writeTexture(folder + "rwy_end18", runwayEnd("18"), false);
  writeTexture(folder + "rwy_end36", runwayEnd("36"), false);
  writeTexture(folder + "rwy_mid", runwayMiddle(), false);
  writeTexture(folder + "taxiway", taxiwayTexture(), false);
  writeTexture(folder + "apron", apronTexture(), false);
  writeTexture(folder + "stain", detailTexture(43, 0.25f), false);

  Layer& rwy = top.add("runway");
  Layer& end18 = rwy.add("runway18");
  end18.colour(0xFFFFFF).texture("rwy_end18.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "CLAMP");
  {
    Mesh m;
    // Runway 18 begins at the +z end: texture rows run from that end towards -z.
    quadUp(m, -kRunwayHalfWidth, kRunwayHalfLen, kRunwayHalfWidth, kRunwayHalfLen - 400, 0, 1, 0, 0, 1);
    end18.mesh = m;
  }
  Layer& end36 = rwy.add("runway36");
  end36.colour(0xFFFFFF).texture("rwy_end36.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "CLAMP");
  {
    Mesh m;
    quadUp(m, -kRunwayHalfWidth, -kRunwayHalfLen, kRunwayHalfWidth, -kRunwayHalfLen + 400, 0, 0, 0, 1, 1);
    end36.mesh = m;
  }
  Layer& mid = rwy.add("runway_mid");
  mid.colour(0xFFFFFF).texture("rwy_mid.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  {
    Mesh m;
    // In 100 m pieces, so that fog and light computed at the corners stay even along it.
    const float z0 = -kRunwayHalfLen + 400;
    for (float z = z0; z < kRunwayHalfLen - 400 - 1; z += 100)
      quadUp(m, -kRunwayHalfWidth, z, kRunwayHalfWidth, z + 100, 0, 0, (z - z0) / 60, 1, (z + 100 - z0) / 60);
    mid.mesh = m;
  }
  // Runway edge and approach lights as point lamps.
  Layer& lights = rwy.add("runway_lights");
  lights.point = true;
  lights.pointSize = 2;
  lights.glow(0xFFF0C0);
  lights.texture(kLampGlowFile, "FLASH_COLOR", "LINEAR", "CLAMP");
  lights.attributes = {"NoFog"};
  for (float z = -kRunwayHalfLen; z <= kRunwayHalfLen; z += 60)
    for (float x : {-kRunwayHalfWidth - 2, kRunwayHalfWidth + 2}) lights.mesh.add({{x, 0.5f, z}, {}, 0, 0});
  for (int s = 0; s < 2; ++s)
    for (int i = 1; i <= 10; ++i) {
      const float z = (s ? -1.0f : 1.0f) * (kRunwayHalfLen + 30.0f * float(i));
      for (float x : {-6.0f, -3.0f, 0.0f, 3.0f, 6.0f}) lights.mesh.add({{x, 0.5f, z}, {}, 0, 0});
    }

  // Taxiways: parallel one at x = 190 with links to both ends and to the apron.
  Layer& taxi = top.add("taxiways");
  taxi.colour(0xFFFFFF).texture("taxiway.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  {
    Mesh m;
    const float t0 = -kRunwayHalfLen + 40;
    for (float z = t0; z < kRunwayHalfLen - 40 - 1; z += 120) {
      const float z1 = std::min(z + 120, kRunwayHalfLen - 40);
      quadUp(m, 180, z, 200, z1, -0.15f, 0, (z - t0) / 20, 1, (z1 - t0) / 20);
    }
    // Links from the parallel taxiway to the aprons.
    for (float z : {-300.0f, 300.0f, -830.0f}) {
      const float x1 = z < -500 ? 420.0f : 380.0f;
      m.flatQuad({200, -0.16f, z - 10}, {200, -0.16f, z + 10}, {x1, -0.16f, z + 10}, {x1, -0.16f, z - 10});
      const size_t n = m.verts.size();
      m.verts[n - 4].u = 0; m.verts[n - 4].v = 0;
      m.verts[n - 3].u = 1; m.verts[n - 3].v = 0;
      m.verts[n - 2].u = 1; m.verts[n - 2].v = (x1 - 200) / 20;
      m.verts[n - 1].u = 0; m.verts[n - 1].v = (x1 - 200) / 20;
    }
    for (float z : {-kRunwayHalfLen + 40, -300.0f, 300.0f, kRunwayHalfLen - 40}) {
      // Links run along x: u along z so that the centre line follows them.
      m.flatQuad({kRunwayHalfWidth, -0.16f, z - 10}, {kRunwayHalfWidth, -0.16f, z + 10}, {180, -0.16f, z + 10}, {180, -0.16f, z - 10});
      const size_t n = m.verts.size();
      m.verts[n - 4].u = 0; m.verts[n - 4].v = 0;
      m.verts[n - 3].u = 1; m.verts[n - 3].v = 0;
      m.verts[n - 2].u = 1; m.verts[n - 2].v = 8;
      m.verts[n - 1].u = 0; m.verts[n - 1].v = 8;
    }
    taxi.mesh = m;
  }
  Layer& apron = top.add("@N4_apron");
  apron.colour(0xFFFFFF).texture("apron.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  apron.texture("stain.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  apron.texture("detail.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  apron.texture("stain.bmp", "NORMAL_SHADE", "MIPMAPLINEAR", "REPEAT");
  apron.detailScale = 0.31f;
  {
    Mesh m;
    quadUp(m, 380, -340, 576, 340, -0.1f, 0, 0, 196 / 40.0f, 680 / 40.0f);
    quadUp(m, 420, -1100, 545, -560, -0.1f, 0, 0, 125 / 40.0f, 540 / 40.0f);
    apron.mesh = m;
  }
}

// A lamp layer at a position (obstruction lights).
Layer& part(Layer& parent, const std::string& name, V3 pos)
{
  Layer& l = parent.add(name);
  l.translate = pos;
  l.lamp(pos, 3, 0xFF3020);
  return l;
}

void buildBuildings(Layer& top, const std::string& folder)
{
  writeTexture(folder + "terminal", facadeTexture(0xD8D4CC, 0x2C4A68, 4, 16), false);
  writeTexture(folder + "hangar", facadeTexture(0xB8BCC0, 0x8A9096, 2, 4), false);
  writeTexture(folder + "town", facadeTexture(0xC8C0B0, 0x40505C, 8, 8), false);
  Layer& term = top.add("@N2_terminal");
  term.colour(0xFFFFFF).texture("terminal.bmp").texture("detail.bmp");
  term.detailScale = 4;
  {
    Mesh m;
    building(m, {580, 0, -300}, {650, 22, 300}, 80, 22);
    building(m, {560, 0, -80}, {582, 14, 80}, 40, 14);
    // Boarding bridges.
    for (float z : {-180.0f, 0.0f, 180.0f}) building(m, {520, 4, z - 2}, {562, 8, z + 2}, 20, 4);
    term.mesh = m;
  }
  // Not a child of the terminal: the viewer's rebuild of "@N2" layers reaches every descendant.
  Layer& roof = top.add("terminal_roof");
  roof.colour(0x6A7078);
  {
    Mesh m;
    m.box({575, 22, -305}, {655, 23.5f, 305});
    roof.mesh = m;
  }
  // Control tower: shaft, cab with glass, roof.
  Layer& tower = top.add("tower");
  tower.colour(0xE4E0D8, 0x303030, 220);
  {
    Mesh m;
    m.cylinder({640, 0, 420}, {640, 38, 420}, 6, 4.5f, 16, true);
    tower.mesh = m;
    Layer& cab = tower.add("tower_cab");
    cab.colour(0x304860, 0xFFFFFF, 150);
    Mesh c;
    c.cylinder({640, 38, 420}, {640, 45, 420}, 7.5f, 9, 12, false);
    cab.mesh = c;
    Layer& troof = tower.add("tower_roof");
    troof.colour(0x8A9096);
    Mesh r;
    r.cylinder({640, 45, 420}, {640, 47, 420}, 9.5f, 6, 12, true);
    r.cylinder({640, 47, 420}, {640, 55, 420}, 0.3f, 0.2f, 6, false);
    troof.mesh = r;
    part(tower, "tower_beacon", {640, 55.5f, 420});
  }
  Layer& hangars = top.add("hangars");
  hangars.colour(0xFFFFFF).texture("hangar.bmp");
  {
    Mesh m;
    for (int i = 0; i < 3; ++i) {
      const float z0 = -1080 + float(i) * 170;
      building(m, {540, 0, z0}, {640, 18, z0 + 140}, 35, 18);
    }
    hangars.mesh = m;
  }
  // Parked airliners on the apron, noses towards the terminal (low detail: seen from afar).
  Layer& parked = top.add("parked_aircraft");
  parked.colour(0xF2F4F6, 0x606060, 215);
  Layer& parkedTails = top.add("parked_tails");
  parkedTails.colour(0x1C4A9C, 0x606060, 215);
  {
    Mesh body, tails;
    for (int i = 0; i < 4; ++i) {
      const float z = -240 + float(i) * 160;
      Mesh a, t;
      // Built along +x (nose at the terminal side), on the ground.
      a.cylinder({-13, 3.0f, 0}, {9, 3.0f, 0}, 1.35f, 1.35f, 12, false);
      a.cylinder({9, 3.0f, 0}, {13.2f, 2.8f, 0}, 1.35f, 0.1f, 12, false);
      a.cylinder({-13, 3.0f, 0}, {-14.5f, 3.9f, 0}, 1.35f, 0.2f, 12, false);
      a.box({-1.5f, 4.35f, -13.5f}, {1.2f, 4.6f, 13.5f});
      for (float s : {-1.0f, 1.0f}) a.cylinder({1.6f, 4.0f, 4.05f * s}, {-3.0f, 4.0f, 4.05f * s}, 0.45f, 0.45f, 8, true);
      for (float s : {-1.0f, 1.0f}) a.box({-1.2f, 0, 1.3f * s - 0.25f}, {-0.6f, 1.6f, 1.3f * s + 0.25f});
      a.box({9.3f, 0, -0.15f}, {9.7f, 1.7f, 0.15f});
      t.box({-14.2f, 4.2f, -0.15f}, {-11.2f, 7.4f, 0.15f});
      t.box({-14.0f, 7.4f, -3.6f}, {-12.4f, 7.6f, 3.6f});
      const Affine place = Affine::translation({497, -0.1f, z});
      body.append(a.transformed(place));
      tails.append(t.transformed(place));
    }
    parked.mesh = body;
    parkedTails.mesh = tails;
  }
  Layer& tanks = top.add("fuel_tanks");
  tanks.colour(0xECECE4, 0x404040, 220);
  {
    Mesh m;
    for (int i = 0; i < 4; ++i) m.cylinder({720, 0, -700 + float(i) * 40}, {720, 14, -700 + float(i) * 40}, 14, 14, 16, true);
    tanks.mesh = m;
  }
  // Town blocks by the coast and scattered farm houses.
  Layer& town = top.add("@N2_town");
  town.colour(0xFFFFFF).texture("town.bmp").texture("detail.bmp");
  town.detailScale = 3;
  {
    Mesh m;
    int placed = 0;
    for (int i = 0; i < 4000 && placed < 700; ++i) {
      const float z = 4500 + (hashNoise(i, 0, 61) - 0.5f) * 5000;
      const float x = coastAt(z) + 250 + hashNoise(i, 1, 61) * 3200;
      const float d = std::hypot((x - coastAt(z) - 1500) / 1800, (z - 4500) / 2600);
      if (d > 1 || hashNoise(i, 2, 61) < d) continue;
      const float w = 14 + hashNoise(i, 3, 61) * 30, dd = 14 + hashNoise(i, 4, 61) * 30;
      const float h = 8 + std::pow(hashNoise(i, 5, 61), 3.0f) * 60 * (1 - d);
      building(m, {x, -1, z}, {x + w, h, z + dd}, 30, 24);
      ++placed;
    }
    town.mesh = m;
  }
}

Image cloudTexture(uint32_t seed, bool bank)
{
  const int S = 256;
  Image img(S, S, Rgba{255, 255, 255, 0});
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      // Tileable noise through wrapping coordinates.
      const float fx = float(x) / S, fy = float(y) / S;
      float n = 0, amp = 0.5f, norm = 0;
      for (int o = 0; o < 5; ++o) {
        const float f = float(4 << o);
        const float a = smoothNoise(fx * f, fy * f, seed + uint32_t(o)) * (1 - fx) * (1 - fy) +
                        smoothNoise((fx - 1) * f, fy * f, seed + uint32_t(o)) * fx * (1 - fy) +
                        smoothNoise(fx * f, (fy - 1) * f, seed + uint32_t(o)) * (1 - fx) * fy +
                        smoothNoise((fx - 1) * f, (fy - 1) * f, seed + uint32_t(o)) * fx * fy;
        n += amp * a;
        norm += amp;
        amp *= 0.5f;
      }
      n /= norm;
      float a = std::clamp((n - 0.48f) * 3.2f, 0.0f, 1.0f);
      if (bank) a *= std::clamp((1 - fy) * 3, 0.0f, 1.0f) * std::clamp(fy * 1.4f, 0.0f, 1.0f) * 1.3f;
      const uint8_t shade = uint8_t(215 + 40 * std::clamp(1 - n, 0.0f, 1.0f));
      img.set(x, y, Rgba{shade, shade, uint8_t(std::min(255, shade + 8)), uint8_t(std::clamp(a, 0.0f, 1.0f) * 235)});
    }
  return img;
}

} // namespace

// Woods and windbreaks: small cones on the land around the airfield.
void buildTrees(Layer& top)
{
  Layer& trees = top.add("trees");
  trees.colour(0x3E5A30, 0x000000, 0);
  Mesh m;
  int placed = 0;
  for (int i = 0; i < 20000 && placed < 1800; ++i) {
    const float x = kCentreX - 6500 + hashNoise(i, 0, 81) * 13000, z = -6500 + hashNoise(i, 1, 81) * 13000;
    if (x < coastAt(z) + 300) continue;
    if (x > -450 && x < 1300 && std::fabs(z) < 1950) continue; // the airfield stays clear
    // Woods where the noise says so, and rows along the field edges.
    const float wood = fractalNoise(x / 900, z / 900, 3, 83);
    const bool edge = std::fabs(std::fmod(std::fabs(z), 260.0f) - 5) < 12 && hashNoise(int(x / 40), 0, 84) < 0.6f;
    if (wood < 0.62f && !edge) continue;
    const float h = 9 + hashNoise(i, 2, 81) * 9, r = h * 0.35f;
    const float y = hillHeight(x, z) - 1.2f;
    const size_t first = m.tris.size();
    const uint32_t apex = m.add({{x, y + h, z}, {0, 1, 0}, 0, 0});
    for (int k = 0; k < 5; ++k) {
      const float a = 2 * kPi * float(k) / 5;
      m.add({{x + r * std::sin(a), y, z + r * std::cos(a)}, normalize(V3{std::sin(a), 0.6f, std::cos(a)}), 0, 0});
    }
    for (uint32_t k = 0; k < 5; ++k) m.tri(apex, apex + 1 + k, apex + 1 + (k + 1) % 5);
    m.orientFrom({x, y + h * 0.3f, z}, first);
    ++placed;
  }
  trees.mesh = m;
}

void makeAirport()
{
  const std::string folder = "port\\rjbh\\";
  writeTexture(folder + "lamp_glow", lampGlow(), true);
  Layer top;
  top.name = "rjbh";
  buildGround(top, folder);
  buildAirfield(top, folder);
  buildBuildings(top, folder);
  buildTrees(top);
  writeText(folder + "rjbh.tvm", writeTvm(top));
  writeGltfCopies(top, folder, "rjbh");
}

void makeClouds()
{
  const std::string folder = "etc\\clouds\\";
  writeTexture(folder + "cloud_sheet", cloudTexture(101, false), true);
  writeTexture(folder + "cloud_bank", cloudTexture(202, true), true);
  Layer top;
  top.name = "landclouds";
  // A broken layer overhead, seen from below.
  Layer& sheet = top.add("cloud_sheet");
  sheet.colour(0xFFFFFF).texture("cloud_sheet.bmp", "NORMAL", "MIPMAPLINEAR", "REPEAT");
  sheet.attributes = {"BackFace", "ZNoWrite", "NoFog"};
  sheet.transparency = 40;
  {
    Mesh m;
    const int N = 8;
    const float R = 16500, y = 2600;
    for (int j = 0; j < N; ++j)
      for (int i = 0; i < N; ++i) {
        const float x0 = -R + 2 * R * i / N, x1 = -R + 2 * R * (i + 1) / N;
        const float z0 = -R + 2 * R * j / N, z1 = -R + 2 * R * (j + 1) / N;
        // Facing down, towards the eye below.
        m.flatQuad({x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}, x0 / 4000, z0 / 4000, x1 / 4000, z1 / 4000);
        const size_t n = m.verts.size();
        m.verts[n - 4].u = x0 / 4000; m.verts[n - 4].v = z0 / 4000;
        m.verts[n - 3].u = x1 / 4000; m.verts[n - 3].v = z0 / 4000;
        m.verts[n - 2].u = x1 / 4000; m.verts[n - 2].v = z1 / 4000;
        m.verts[n - 1].u = x0 / 4000; m.verts[n - 1].v = z1 / 4000;
      }
    m.orientTowards({0, -1, 0});
    sheet.mesh = m;
  }
  // Cloud banks standing around the horizon, inside the sky cylinder.
  Layer& banks = top.add("cloud_banks");
  banks.colour(0xFFFFFF).texture("cloud_bank.bmp", "NORMAL", "MIPMAPLINEAR", "REPEAT");
  banks.attributes = {"BackFace", "ZNoWrite", "NoFog"};
  {
    Mesh m;
    const int N = 24;
    const float R = 15500;
    for (int i = 0; i < N; ++i) {
      const float a0 = 2 * kPi * i / N, a1 = 2 * kPi * (i + 1) / N;
      const float h0 = 1400 + 900 * hashNoise(i, 0, 71), h1 = 1400 + 900 * hashNoise((i + 1) % N, 0, 71);
      const V3 p0{R * std::sin(a0), -200, R * std::cos(a0)}, p1{R * std::sin(a1), -200, R * std::cos(a1)};
      m.flatQuad(p0 + V3{0, h0 + 200, 0}, p1 + V3{0, h1 + 200, 0}, p1, p0);
      const size_t n = m.verts.size();
      m.verts[n - 4].u = float(i) / 3; m.verts[n - 4].v = 0;
      m.verts[n - 3].u = float(i + 1) / 3; m.verts[n - 3].v = 0;
      m.verts[n - 2].u = float(i + 1) / 3; m.verts[n - 2].v = 1;
      m.verts[n - 1].u = float(i) / 3; m.verts[n - 1].v = 1;
    }
    m.orientFrom({0, 600, 0});
    m.flip();
    banks.mesh = m;
  }
  writeText(folder + "landclouds.tvm", writeTvm(top));
}

} // namespace content
