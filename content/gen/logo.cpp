// The engine's logo animation (logo\trv5): three coloured letters T, R and V that the launcher
// sketches with growing lines, spins together and polishes with a glint running along the
// word mark, and the sound that goes with it. Poses in the file are the ones the animation
// starts from (lines at zero length, letters apart, the finished parts hidden).
#include "content.h"
#include "image.h"
#include "text.h"
#include "tvm.h"
#include "wave.h"

#include <cmath>

namespace content {

namespace {

// Letter shapes from blocks, in letter space (about 16 wide, 20 high, 4 deep, centred).
Mesh letter(char c)
{
  Mesh m;
  auto block = [&](float x0, float y0, float x1, float y1) { m.box({x0, y0, -2}, {x1, y1, 2}); };
  auto slant = [&](V3 a, V3 b, float w) {
    const V3 d = b - a;
    const float len = length(d);
    const float ang = std::atan2(d.y, d.x) * 180 / kPi;
    m.orientedBox((a + b) * 0.5f, {len / 2, w / 2, 2}, {0, 0, ang});
  };
  switch (c) {
  case 'T':
    block(-8, 6, 8, 10);
    block(-2, -10, 2, 6);
    break;
  case 'R':
    block(-7, -10, -3, 10);
    block(-3, 6, 4, 10);
    block(-3, -1, 4, 3);
    block(4, 0, 7.5f, 9);
    slant({0, 0}, {6.5f, -10}, 4.2f);
    break;
  default: // 'V'
    slant({-7, 10}, {-0.8f, -10}, 4.2f);
    slant({7, 10}, {0.8f, -10}, 4.2f);
    break;
  }
  return m;
}

Image backPicture()
{
  // 640 x 480 in the top-left corner of a 1024 x 512 texture. Rows 302-336 stay black except
  // for the word mark, whose top edge the glint follows.
  Image img(1024, 512, rgb(0x000000));
  for (int y = 0; y < 290; ++y)
    for (int x = 0; x < 640; ++x) {
      const float d = std::hypot((x - 320.0f) / 320, (y - 170.0f) / 200);
      const float g = std::max(0.0f, 1 - d);
      img.set(x, y, Rgba{uint8_t(10 * g), uint8_t(22 * g), uint8_t(48 * g), 255});
    }
  const std::string mark = "TARVEX3D";
  const float size = 46;
  const float w = textWidth(size, mark, Face::SansBold);
  const float scale = 290 / std::max(1.0f, w);
  drawText(img, 320 - w * scale / 2, 342, size * scale, mark, rgb(0xE8ECF0), Face::SansBold);
  img.fillRect(150, 352, 263, 355, rgb(0xE03030));
  img.fillRect(263, 352, 376, 355, rgb(0x30C050));
  img.fillRect(376, 352, 490, 355, rgb(0x3070E0));
  drawTextCentred(img, 320, 380, 14, "REAL-TIME 3D PRESENTATION ENGINE", rgb(0x8898A8), Face::Sans);
  img.fillRect(0, 480, 1024, 512, rgb(0x000000));
  return img;
}

Image glintPicture()
{
  const int S = 64;
  Image img(S, S, Rgba{255, 255, 255, 0});
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      const float dx = (x + 0.5f) / S * 2 - 1, dy = (y + 0.5f) / S * 2 - 1;
      const float r = std::hypot(dx, dy);
      const float core = std::exp(-r * r * 18);
      const float rays = std::exp(-std::fabs(dx) * 40) * std::exp(-std::fabs(dy) * 2.2f) +
                         std::exp(-std::fabs(dy) * 40) * std::exp(-std::fabs(dx) * 2.2f);
      const float a = std::clamp(core + rays * 0.8f, 0.0f, 1.0f);
      img.set(x, y, Rgba{255, 255, uint8_t(230 + 25 * core), uint8_t(a * 255)});
    }
  return img;
}

// Logo sound: five plucks for the lines, a rising shimmer while the letters spin, a chord
// when they meet and a sparkle for the glint.
std::vector<int16_t> logoSound()
{
  const int n = int(13.5 * kRate);
  std::vector<float> s(size_t(n) * 2, 0.0f);
  auto add = [&](int i, float l, float r) {
    if (i < 0 || i >= n) return;
    s[size_t(i) * 2] += l;
    s[size_t(i) * 2 + 1] += r;
  };
  const float notes[] = {523.25f, 659.25f, 783.99f, 987.77f, 1046.5f};
  for (int k = 0; k < 5; ++k) {
    const int start = int((0.05f + 0.5f * k) * kRate);
    for (int i = 0; i < int(1.2f * kRate); ++i) {
      const float t = float(i) / kRate;
      const float env = std::exp(-t * 5) * std::min(1.0f, t * 400);
      const float v = env * 0.22f * (std::sin(2 * kPi * notes[k] * t) + 0.3f * std::sin(4 * kPi * notes[k] * t));
      const float pan = 0.2f + 0.15f * k;
      add(start + i, v * (1 - pan), v * pan);
    }
  }
  // Shimmer: detuned partials rising over the six seconds of movement.
  const int sh0 = int(3.0f * kRate), sh1 = int(9.0f * kRate);
  for (int i = sh0; i < sh1 + int(0.6f * kRate); ++i) {
    const float t = float(i - sh0) / kRate, u = std::min(1.0f, t / 6.0f);
    const float env = std::min(1.0f, t / 1.5f) * (i > sh1 ? std::max(0.0f, 1 - float(i - sh1) / (0.6f * kRate)) : 1.0f);
    const float f = 220 * std::pow(2.0f, u * 1.5f);
    float v = 0;
    for (int h = 1; h <= 4; ++h) v += std::sin(2 * kPi * f * h * t * (1 + 0.003f * h)) / float(h);
    v *= 0.07f * env * (0.6f + 0.4f * std::sin(2 * kPi * 5 * t));
    add(i, v * (1 - 0.4f * std::sin(t * 3)), v * (1 + 0.4f * std::sin(t * 3)));
  }
  // Chord at the meeting point.
  const float chord[] = {261.63f, 392.0f, 523.25f, 659.25f, 783.99f};
  const int ch = int(9.0f * kRate);
  for (int i = 0; i < int(4.5f * kRate); ++i) {
    const float t = float(i) / kRate;
    const float env = std::min(1.0f, t * 60) * std::exp(-t * 0.9f);
    float v = 0;
    for (float f : chord) v += std::sin(2 * kPi * f * t) + 0.25f * std::sin(4 * kPi * f * t + 0.3f);
    v *= 0.06f * env;
    add(ch + i, v, v);
  }
  // Glint sparkle: short high blips panning left to right.
  for (int k = 0; k < 14; ++k) {
    const int start = int((9.1f + 0.1f * k) * kRate);
    const float f = 2600 + 240 * float(k % 5);
    for (int i = 0; i < int(0.25f * kRate); ++i) {
      const float t = float(i) / kRate;
      const float v = 0.05f * std::exp(-t * 22) * std::sin(2 * kPi * f * t);
      const float pan = float(k) / 13;
      add(start + i, v * (1 - pan), v * pan);
    }
  }
  return toPcm16(s);
}

} // namespace

void makeLogo()
{
  const std::string folder = "logo\\trv5\\";
  writeTexture(folder + "back", backPicture(), false);
  writeTexture(folder + "glint", glintPicture(), true);
  Layer top;
  top.name = "trv5";
  // Lines: each grows from its left end as the launcher scales it in x.
  Layer& line = top.add("line");
  const char* colours[] = {"red", "green", "blue"};
  const uint32_t rgbs[] = {0xFF3A3A, 0x3AE060, 0x4A8AFF};
  const float lefts[] = {-44, -14, 16};
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k < 5; ++k) {
      Layer& l = line.add("0" + std::to_string(k + 1) + colours[c] + "_line");
      l.glow(rgbs[c]);
      l.attributes = {"BackFace", "NoFog"};
      l.translate = {lefts[c] + 1.5f * float(k % 2), 13 - 6.5f * float(k), 0};
      l.scale = {0, 1, 1};
      Mesh m;
      m.flatQuad({0, 0.35f, 0}, {10, 0.35f, 0}, {10, -0.35f, 0}, {0, -0.35f, 0});
      l.mesh = m;
    }
  // The three letters, each a solid part ("02") and a glassy part ("01") that takes over.
  const float startX[] = {-33, 0, 33};
  const char letters[] = {'T', 'R', 'V'};
  const uint32_t solid[] = {0xD82A2A, 0x2AB850, 0x2A62D8};
  const uint32_t glass[] = {0xFF8A8A, 0x8AF0A8, 0x8AB4FF};
  for (int c = 0; c < 3; ++c) {
    Layer& g = top.add(std::string(colours[c]) + "_all");
    g.translate = {startX[c], 0, 50};
    Layer& glassy = g.add(std::string("01") + colours[c]);
    glassy.on = false;
    glassy.colour(glass[c], 0xFFFFFF, 200);
    glassy.transparency = 255;
    glassy.mesh = letter(letters[c]);
    Layer& body = g.add(std::string("02") + colours[c]);
    body.on = false;
    body.colour(solid[c], 0x808080, 215);
    body.mesh = letter(letters[c]).transformed(Affine::scaling({0.97f, 0.97f, 0.97f}));
  }
  // Back picture (a back overlay behind the 3D letters), hidden until the end of the move.
  Layer& back = top.add("back");
  back.on = false;
  back.transparency = 255;
  back.colour(0xFFFFFF).texture("back.bmp", "NORMAL", "POINT", "CLAMP");
  back.attributes = {"BackFace", "NoFog", "Screen"};
  {
    Mesh m;
    m.flatQuad({-320, 240, 1.5f}, {320, 240, 1.5f}, {320, -240, 1.5f}, {-320, -240, 1.5f}, 0, 0, 640 / 1024.0f, 480 / 512.0f);
    back.mesh = m;
  }
  // The glint sits in a group half way to the viewer, so that its own depth offset keeps it
  // among the front overlays.
  Layer& glintGroup = top.add("glint");
  glintGroup.translate = {0, 0, -0.5f};
  Layer& light = glintGroup.add("light");
  light.on = false;
  light.translate = {-170, -66, 0.02f};
  light.colour(0xFFFFFF).texture("glint.bmp", "NORMAL", "LINEAR", "CLAMP");
  light.attributes = {"BackFace", "NoFog", "ZNoWrite", "Screen"};
  {
    Mesh m;
    m.flatQuad({-32, 32, 0}, {32, 32, 0}, {32, -32, 0}, {-32, -32, 0}, 0, 0, 1, 1);
    light.mesh = m;
  }
  writeText(folder + "trv5.tvm", writeTvm(top));
  writeFile(folder + "trv5.wav", encodeWav(logoSound(), 2));
}

} // namespace content
