// FreeType glyph drawing (see text.h).
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <map>

namespace content {

static const char* facePath(Face f)
{
  switch (f) {
  case Face::Gothic: return "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  case Face::Sans: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  case Face::SansBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  }
  return "";
}

struct Library {
  FT_Library lib = nullptr;
  std::map<Face, FT_Face> faces;
  bool warned = false;
  Library() { FT_Init_FreeType(&lib); }
  ~Library()
  {
    for (auto& f : faces) FT_Done_Face(f.second);
    if (lib) FT_Done_FreeType(lib);
  }
  FT_Face get(Face f)
  {
    auto it = faces.find(f);
    if (it != faces.end()) return it->second;
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, facePath(f), 0, &face) != 0) {
      // The Latin faces stand in for each other and for the gothic face's Latin letters.
      if (f != Face::Gothic && FT_New_Face(lib, facePath(Face::Gothic), 0, &face) == 0) {
      } else {
        face = nullptr;
        if (!warned) std::fprintf(stderr, "trvx-content: warning: font %s not found, text left out\n", facePath(f));
        warned = true;
      }
    }
    faces[f] = face;
    return face;
  }
};

static Library& library()
{
  static Library l;
  return l;
}

static std::u32string decode(const std::string& s)
{
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
    else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
    else { cp = c & 0x07; n = 4; }
    for (int k = 1; k < n && i + size_t(k) < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + size_t(k)]) & 0x3F);
    out.push_back(cp);
    i += size_t(n);
  }
  return out;
}

static float run(Image* img, float x, float y, float sizePx, const std::string& utf8, Rgba colour, Face f)
{
  FT_Face face = library().get(f);
  if (!face) return 0;
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::lround(sizePx)));
  float pen = x;
  for (char32_t cp : decode(utf8)) {
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    if (img) {
      const int ox = int(std::lround(pen)) + g->bitmap_left, oy = int(std::lround(y)) - g->bitmap_top;
      for (unsigned r = 0; r < g->bitmap.rows; ++r)
        for (unsigned c = 0; c < g->bitmap.width; ++c) {
          const uint8_t cov = g->bitmap.buffer[r * unsigned(g->bitmap.pitch) + c];
          if (cov) img->blend(ox + int(c), oy + int(r), colour, cov / 255.0f);
        }
    }
    pen += g->advance.x / 64.0f;
  }
  return pen - x;
}

float drawText(Image& img, float x, float y, float sizePx, const std::string& utf8, Rgba colour, Face face)
{
  return run(&img, x, y, sizePx, utf8, colour, face);
}

float textWidth(float sizePx, const std::string& utf8, Face face)
{
  return run(nullptr, 0, 0, sizePx, utf8, Rgba{}, face);
}

void drawTextCentred(Image& img, float cx, float cy, float sizePx, const std::string& utf8, Rgba colour, Face face)
{
  const float w = textWidth(sizePx, utf8, face);
  drawText(img, cx - w / 2, cy + sizePx * 0.36f, sizePx, utf8, colour, face);
}

} // namespace content
