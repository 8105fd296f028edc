// Screen overlays: the loading bar, the two cursors, the play and view panels, the ATC window,
// the end dialog, the benchmark's logo model and its menu pictures. Overlay coordinates are
// pixels from the view's centre with y up; every button state is a quad on the button's
// rectangle, cut from one picture per file.
#include "content.h"
#include "image.h"
#include "text.h"
#include "tvm.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace content {

namespace {

struct Rect {
  float l, t, r, b; // overlay coordinates, top > bottom
  float w() const { return r - l; }
  float h() const { return t - b; }
};

// A texture atlas filled left to right, top to bottom, with the UVs of each placed picture.
class Atlas {
public:
  Atlas(int w, int h) : img_(w, h, Rgba{0, 0, 0, 0}) {}
  struct Slot {
    int x, y, w, h;
    float u0, v0, u1, v1;
  };
  Slot place(int w, int h, const std::function<void(Image&)>& paint)
  {
    if (x_ + w > img_.width()) {
      x_ = 0;
      y_ += row_ + 2;
      row_ = 0;
    }
    Image pic(w, h, Rgba{0, 0, 0, 0});
    paint(pic);
    img_.blit(pic, x_, y_);
    Slot s{x_, y_, w, h, float(x_) / img_.width(), float(y_) / img_.height(), float(x_ + w) / img_.width(),
           float(y_ + h) / img_.height()};
    x_ += w + 2;
    row_ = std::max(row_, h);
    return s;
  }
  const Image& image() const { return img_; }

private:
  Image img_;
  int x_ = 0, y_ = 0, row_ = 0;
};

// An overlay layer: a quad over rect at the given depth offset, textured from the slot.
Layer& quad(Layer& parent, const std::string& name, Rect r, float z, const Atlas::Slot& s, const std::string& tex,
            bool on = true)
{
  Layer& l = parent.add(name);
  l.on = on;
  l.colour(0xFFFFFF).texture(tex, "NORMAL", "POINT", "CLAMP");
  l.attributes = {"BackFace", "NoFog", "Screen"};
  Mesh m;
  m.flatQuad({r.l, r.t, z}, {r.r, r.t, z}, {r.r, r.b, z}, {r.l, r.b, z}, s.u0, s.v0, s.u1, s.v1);
  l.mesh = m;
  return l;
}

Layer& overlayTop(Layer& top, const std::string& name)
{
  top.name = name;
  top.attributes = {"Screen"};
  return top;
}

// Panel look: dark glass with a light rim.
void panelBackground(Image& img, float radius)
{
  img.fillRoundRect(0, 0, float(img.width()), float(img.height()), radius, Rgba{16, 22, 30, 215});
  img.strokeRoundRect(1, 1, float(img.width()) - 1, float(img.height()) - 1, radius, 1.2f, Rgba{150, 170, 190, 230});
  img.vGradient(3, 2, float(img.width()) - 3, float(img.height()) / 2, Rgba{255, 255, 255, 40}, Rgba{255, 255, 255, 0});
}

// Button faces for the three looks: 0 idle, 1 pressed, 2 hover.
void buttonFace(Image& img, int look, bool lit = false)
{
  const float w = float(img.width()), h = float(img.height());
  const Rgba top = look == 1 ? rgb(0x18283A) : look == 2 ? rgb(0x4A7AAA) : rgb(0x304A66);
  const Rgba bottom = look == 1 ? rgb(0x2A4058) : look == 2 ? rgb(0x2C5680) : rgb(0x1C2C40);
  img.fillRoundRect(0, 0, w, h, 3, top);
  Image g(img.width(), img.height(), Rgba{0, 0, 0, 0});
  g.vGradient(0, 0, w, h, top, bottom);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.get(x, y).a) img.set(x, y, Rgba{g.get(x, y).r, g.get(x, y).g, g.get(x, y).b, img.get(x, y).a});
  img.strokeRoundRect(0.5f, 0.5f, w - 0.5f, h - 0.5f, 3, 1, lit ? rgb(0xF0C040) : look == 2 ? rgb(0xA0D0FF) : rgb(0x6A88A8));
}

Rgba iconColour(int look) { return look == 1 ? rgb(0xB0C0D0) : look == 2 ? rgb(0xFFFFFF) : rgb(0xDDE6F0); }

using Icon = std::function<void(Image&, Rgba)>;

void iconCamera(Image& img, Rgba c)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.fillRoundRect(cx - 10, cy - 5, cx + 10, cy + 8, 2, c);
  img.fillRect(cx - 4, cy - 8, cx + 3, cy - 4, c);
  img.fillCircle(cx, cy + 1.5f, 4.5f, rgb(0x203040));
  img.fillCircle(cx, cy + 1.5f, 2.5f, c);
}
void iconFast(Image& img, Rgba c)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.fillPolygon({{cx - 8, cy - 5}, {cx, cy}, {cx - 8, cy + 5}}, c);
  img.fillPolygon({{cx, cy - 5}, {cx + 8, cy}, {cx, cy + 5}}, c);
}
void iconPause(Image& img, Rgba c)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.fillRect(cx - 5, cy - 5, cx - 2, cy + 5, c);
  img.fillRect(cx + 2, cy - 5, cx + 5, cy + 5, c);
}
void iconPlay(Image& img, Rgba c)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.fillPolygon({{cx - 4, cy - 6}, {cx + 6, cy}, {cx - 4, cy + 6}}, c);
}
void iconStop(Image& img, Rgba c)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.fillRect(cx - 5, cy - 5, cx + 5, cy + 5, c);
}
void iconTarget(Image& img, Rgba c, bool on)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.strokeRoundRect(cx - 6, cy - 6, cx + 6, cy + 6, 6, 1.5f, on ? rgb(0xF0C040) : c);
  img.line(cx - 9, cy, cx + 9, cy, 1.2f, on ? rgb(0xF0C040) : c);
  img.line(cx, cy - 9, cx, cy + 9, 1.2f, on ? rgb(0xF0C040) : c);
  if (!on) img.line(cx - 8, cy + 7, cx + 8, cy - 7, 1.5f, rgb(0xE05040));
}
void iconMap(Image& img, Rgba c, bool in)
{
  const float cx = img.width() / 2.0f, cy = img.height() / 2.0f;
  img.fillPolygon({{cx - 6, cy - 5}, {cx - 2, cy - 6}, {cx + 2, cy - 5}, {cx + 6, cy - 6}, {cx + 6, cy + 5}, {cx + 2, cy + 6},
                   {cx - 2, cy + 5}, {cx - 6, cy + 6}},
                  in ? rgb(0xF0C040) : c);
  img.line(cx - 2, cy - 5, cx - 2, cy + 5, 1, rgb(0x203040));
  img.line(cx + 2, cy - 5, cx + 2, cy + 5, 1, rgb(0x203040));
}

// Adds the state layers of one button: names[i] for look i (identical names share a layer).
void button(Layer& panel, Atlas& atlas, const std::string& tex, Rect r, const std::vector<std::string>& names,
            const std::vector<Icon>& icons, std::vector<std::pair<std::string, int>>& pending)
{
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) continue;
    bool dup = false;
    for (size_t k = 0; k < i; ++k) dup |= names[k] == names[i];
    if (dup) continue;
    const int look = int(i % 3);
    const Icon& icon = icons[std::min(i / 3, icons.size() - 1)];
    const auto slot = atlas.place(int(r.w()), int(r.h()), [&](Image& img) {
      buttonFace(img, look, i >= 3);
      icon(img, iconColour(look));
    });
    // The idle look of the first base is shown at load; the viewer switches the rest.
    quad(panel, names[i], r, -0.02f, slot, tex, i == 0);
    pending.push_back({names[i], look});
  }
}

Icon labelIcon(const std::string& text, float size)
{
  return [text, size](Image& img, Rgba c) {
    drawTextCentred(img, img.width() / 2.0f, img.height() / 2.0f, size, text, c);
  };
}

void makePlayPanel()
{
  const std::string folder = "etc\\play_panel\\";
  Atlas atlas(512, 256);
  Layer top;
  overlayTop(top, "play_panel");
  std::vector<std::pair<std::string, int>> pending;
  const auto bg = atlas.place(300, 24, [](Image& img) { panelBackground(img, 6); });
  quad(top, "play_base", {-150, 12, 150, -12}, 0, bg, "play_panel.bmp");
  button(top, atlas, "play_panel.bmp", {-150, 12, -106, -12}, {"camera_on", "camera_off", "camera_up"}, {iconCamera}, pending);
  // Status lamp (never hit): recording, playing, paused.
  const Rect st{-102, 8, -46, -8};
  const char* stName[] = {"status_rec", "status_play", "status_pause"};
  const uint32_t stCol[] = {0xE03030, 0x30C050, 0xE0B020};
  const char* stText[] = {"REC", "PLAY", "PAUSE"};
  for (int i = 0; i < 3; ++i) {
    const auto slot = atlas.place(56, 16, [&](Image& img) {
      img.fillRoundRect(0, 0, 56, 16, 3, rgb(0x0C1218, 230));
      img.fillCircle(8, 8, 4, rgb(stCol[i]));
      drawText(img, 16, 12.5f, 11, stText[i], rgb(stCol[i]), Face::SansBold);
    });
    quad(top, stName[i], st, -0.02f, slot, "play_panel.bmp", i == 0);
  }
  button(top, atlas, "play_panel.bmp", {-41, 8, -14, -8}, {"fast_on", "fast_off", "fast_up"}, {iconFast}, pending);
  button(top, atlas, "play_panel.bmp", {-10, 8, 17, -8},
         {"pause_on", "pause_off", "pause_up", "play_on", "play_off", "play_up"}, {iconPause, iconPlay}, pending);
  button(top, atlas, "play_panel.bmp", {21, 7, 48, -8}, {"stop_on", "stop_off", "stop_up"}, {iconStop}, pending);
  // Volume gauge: the track; the knob moves over x 70..130.
  auto gauge = [](Image& img, int look) {
    img.fillRoundRect(0, 0, 92, 15, 3, look == 2 ? rgb(0x24405C, 230) : rgb(0x121C26, 230));
    img.fillRoundRect(14, 6, 82, 9, 1.5f, rgb(0x5A7896));
    for (int i = 0; i <= 6; ++i) img.fillRect(14.0f + i * 11.3f, 11, 15.0f + i * 11.3f, 14, rgb(0x8AA0B8));
    img.fillPolygon({{3, 11}, {11, 11}, {11, 4}}, rgb(0x8AA0B8));
  };
  const Rect vol{52, 6, 144, -9};
  quad(top, "volume_gauge_on", vol, -0.02f, atlas.place(92, 15, [&](Image& i) { gauge(i, 0); }), "play_panel.bmp");
  quad(top, "volume_gauge_up", vol, -0.02f, atlas.place(92, 15, [&](Image& i) { gauge(i, 2); }), "play_panel.bmp", false);
  const auto knob = atlas.place(8, 14, [](Image& img) {
    img.fillRoundRect(0, 0, 8, 14, 2, rgb(0xE8EEF4));
    img.line(4, 3, 4, 11, 1, rgb(0x6A7888));
  });
  Layer& k = quad(top, "play_volume", {-4, 7, 4, -7}, -0.01f, knob, "play_panel.bmp");
  k.translate = {100, -1.5f, -0.03f};
  writeTexture(folder + "play_panel", atlas.image(), true);
  writeText(folder + "play_panel.tvm", writeTvm(top));
}

void makeViewPanel()
{
  const std::string folder = "etc\\view_panel\\";
  Atlas atlas(512, 256);
  Layer top;
  overlayTop(top, "view_panel");
  std::vector<std::pair<std::string, int>> pending;
  const auto bg = atlas.place(380, 24, [](Image& img) { panelBackground(img, 6); });
  quad(top, "view_base", {-190, 12, 190, -12}, 0, bg, "view_panel.bmp");
  const char* letters = "abcde";
  const char* labels[] = {"外観", "操縦", "客室", "予備", "自由"};
  for (int i = 0; i < 5; ++i) {
    const float l = -185.0f + 37.0f * float(i);
    const std::string x(1, letters[i]);
    button(top, atlas, "view_panel.bmp", {l, 12, l + 35, -6},
           {"tb_off_" + x, "tb_off_up_" + x, "tb_off_up_" + x, "tb_on_" + x, "tb_on_up_" + x, "tb_on_up_" + x},
           {labelIcon(labels[i], 11)}, pending);
  }
  button(top, atlas, "view_panel.bmp", {21, 7, 48, -9},
         {"viw_untarget_on", "viw_untarget_off", "viw_untarget_up", "viw_target_on", "viw_target_off", "viw_target_up"},
         {[](Image& i, Rgba c) { iconTarget(i, c, false); }, [](Image& i, Rgba c) { iconTarget(i, c, true); }}, pending);
  auto gauge = [](Image& img, int look) {
    img.fillRoundRect(0, 0, 92, 15, 3, look == 2 ? rgb(0x24405C, 230) : rgb(0x121C26, 230));
    img.fillRoundRect(19, 6, 79, 9, 1.5f, rgb(0x5A7896));
    drawText(img, 2, 11.5f, 9, "W", rgb(0x8AA0B8), Face::SansBold);
    drawText(img, 82, 11.5f, 9, "T", rgb(0x8AA0B8), Face::SansBold);
  };
  const Rect zoom{60, 6, 152, -9};
  quad(top, "target_gauge_on", zoom, -0.02f, atlas.place(92, 15, [&](Image& i) { gauge(i, 0); }), "view_panel.bmp");
  quad(top, "target_gauge_up", zoom, -0.02f, atlas.place(92, 15, [&](Image& i) { gauge(i, 2); }), "view_panel.bmp", false);
  const auto knob = atlas.place(8, 14, [](Image& img) {
    img.fillRoundRect(0, 0, 8, 14, 2, rgb(0xE8EEF4));
    img.line(4, 3, 4, 11, 1, rgb(0x6A7888));
  });
  Layer& k = quad(top, "target_volume", {-4, 7, 4, -7}, -0.01f, knob, "view_panel.bmp");
  k.translate = {79, -1.5f, -0.03f};
  button(top, atlas, "view_panel.bmp", {167, 7, 183, -8},
         {"view_map_out_on", "view_map_out_off", "view_map_out_up", "view_map_in_on", "view_map_in_off", "view_map_in_up"},
         {[](Image& i, Rgba c) { iconMap(i, c, false); }, [](Image& i, Rgba c) { iconMap(i, c, true); }}, pending);
  writeTexture(folder + "view_panel", atlas.image(), true);
  writeText(folder + "view_panel.tvm", writeTvm(top));
}

void makeAtcWindow()
{
  const std::string folder = "etc\\atc_window\\";
  Atlas atlas(512, 128);
  Layer top;
  overlayTop(top, "atc_window");
  const auto bg = atlas.place(512, 88, [](Image& img) {
    panelBackground(img, 8);
    img.fillRoundRect(6, 4, 506, 22, 4, rgb(0x1E3A5A, 230));
    drawText(img, 14, 18, 13, "ATC", rgb(0xF0C040), Face::SansBold);
    drawText(img, 52, 18, 12, "RJBH TOWER  118.10", rgb(0xCCE0F4), Face::Sans);
    drawText(img, 330, 18, 12, "交信ログ", rgb(0xCCE0F4));
    img.fillRoundRect(6, 26, 506, 82, 4, rgb(0x081018, 220));
    for (int i = 0; i < 3; ++i) img.fillRect(14, 40.0f + i * 15, 498, 41.0f + i * 15, rgb(0x1C2C3C));
    img.fillRoundRect(470, 6, 500, 20, 3, rgb(0x30C050));
  });
  quad(top, "atc_base", {-256, 64, 256, -24}, 0, bg, "atc_window.bmp");
  writeTexture(folder + "atc_window", atlas.image(), true);
  writeText(folder + "atc_window.tvm", writeTvm(top));
}

void makeEndDialog()
{
  const std::string folder = "etc\\end\\";
  Atlas atlas(512, 256);
  Layer top;
  overlayTop(top, "end");
  const auto bg = atlas.place(260, 130, [](Image& img) {
    panelBackground(img, 10);
    img.fillRoundRect(6, 6, 254, 30, 5, rgb(0x1E3A5A, 235));
    drawText(img, 16, 24, 14, "HX-21", rgb(0xF0C040), Face::SansBold);
    drawTextCentred(img, 130, 50, 17, "ビューアを終了しますか？", rgb(0xFFFFFF));
  });
  quad(top, "end_base", {-130, 60, 130, -70}, 0, bg, "end.bmp");
  std::vector<std::pair<std::string, int>> pending;
  button(top, atlas, "end.bmp", {-108, -22, -8, -50}, {"yes_on", "yes_off", "yes_up"}, {labelIcon("はい (Y)", 14)}, pending);
  button(top, atlas, "end.bmp", {5, -22, 105, -50}, {"no_on", "no_off", "no_up"}, {labelIcon("いいえ (N)", 14)}, pending);
  writeTexture(folder + "end", atlas.image(), true);
  writeText(folder + "end.tvm", writeTvm(top));
}

void makeLoadBar()
{
  const std::string folder = "etc\\load_bar\\";
  Atlas atlas(512, 64);
  Layer top;
  overlayTop(top, "load_bar_model");
  const auto frame = atlas.place(412, 20, [](Image& img) {
    img.fillRoundRect(0, 0, 412, 20, 5, Rgba{20, 28, 40, 230});
    img.strokeRoundRect(1, 1, 411, 19, 5, 1.2f, rgb(0x8AA0B8));
  });
  quad(top, "load_frame", {-206, 10, 206, -10}, -0.1f, frame, "load_bar.bmp");
  const auto bar = atlas.place(400, 12, [](Image& img) {
    img.vGradient(0, 0, 400, 12, rgb(0x9AD0FF), rgb(0x2A6AB0));
    for (int x = 0; x < 400; x += 16) img.fillRect(float(x), 0, float(x) + 2, 12, Rgba{255, 255, 255, 40});
  });
  // Its origin is the bar's left end, so scaling in x grows it to the right.
  Layer& l = quad(top, "load_bar", {0, 6, 400, -6}, 0, bar, "load_bar.bmp");
  l.translate = {-200, 0, -0.2f};
  writeTexture(folder + "load_bar", atlas.image(), true);
  writeText(folder + "load_bar.tvm", writeTvm(top));
}

void makeCursors()
{
  // Arrow: hot spot (the tip) at the origin, body down and to the right.
  {
    Atlas atlas(32, 32);
    const auto s = atlas.place(32, 32, [](Image& img) {
      const std::vector<Pt> arrow = {{0.5f, 0.5f}, {0.5f, 19}, {5, 15}, {8.5f, 22}, {11.5f, 20.5f}, {8, 14}, {14, 14}};
      std::vector<Pt> shadow;
      for (const Pt& p : arrow) shadow.push_back({p.x + 1.5f, p.y + 1.5f});
      img.fillPolygon(shadow, Rgba{0, 0, 0, 90});
      img.fillPolygon(arrow, rgb(0x101010));
      std::vector<Pt> inner = {{2, 4}, {2, 15.5f}, {5.3f, 12.6f}, {8.8f, 19.8f}, {10, 19.2f}, {6.5f, 12.4f}, {10.5f, 12.4f}};
      img.fillPolygon(inner, rgb(0xFFFFFF));
    });
    Layer top;
    overlayTop(top, "allow");
    quad(top, "allow_arrow", {0, 0, 32, -32}, 0, s, "allow.bmp");
    writeTexture("cursor\\allow", atlas.image(), true);
    writeText("cursor\\allow.tvm", writeTvm(top));
  }
  // Grabbing hand: hot spot in the palm.
  {
    Atlas atlas(32, 32);
    const auto s = atlas.place(32, 32, [](Image& img) {
      const Rgba edge = rgb(0x101010), skin = rgb(0xFFFFFF);
      img.fillRoundRect(7, 11, 25, 27, 5, edge);
      for (int f = 0; f < 4; ++f) img.fillRoundRect(7.5f + f * 4.4f, 6, 12.0f + f * 4.4f, 16, 2.2f, edge);
      img.fillRoundRect(3, 14, 10, 20, 3, edge);
      img.fillRoundRect(8.5f, 12, 23.5f, 25.5f, 4, skin);
      for (int f = 0; f < 4; ++f) img.fillRoundRect(8.7f + f * 4.4f, 7.3f, 10.8f + f * 4.4f, 15, 1.1f, skin);
      img.fillRoundRect(4.3f, 15.2f, 9.5f, 18.8f, 1.8f, skin);
    });
    Layer top;
    overlayTop(top, "hand");
    quad(top, "hand_grab", {-16, 16, 16, -16}, 0, s, "hand.bmp");
    writeTexture("cursor\\hand", atlas.image(), true);
    writeText("cursor\\hand.tvm", writeTvm(top));
  }
}

void makeBenchLogo()
{
  const std::string folder = "etc\\benchmark\\";
  Atlas atlas(512, 256);
  Layer top;
  overlayTop(top, "bench_logo");
  const auto plate = atlas.place(340, 56, [](Image& img) {
    img.fillRoundRect(0, 0, 340, 56, 8, Rgba{10, 16, 26, 170});
    img.strokeRoundRect(1, 1, 339, 55, 8, 1, Rgba{160, 190, 220, 200});
    drawText(img, 12, 36, 28, "HX-21", rgb(0xFFFFFF), Face::SansBold);
    drawText(img, 126, 26, 13, "BENCHMARK", rgb(0xF0C040), Face::SansBold);
    drawText(img, 126, 44, 12, "Tarvex3D engine", rgb(0xA8C0D8), Face::Sans);
    img.fillPolygon({{300, 14}, {330, 28}, {300, 42}, {308, 28}}, rgb(0x4A90D8));
  });
  quad(top, "bench_plate", {-90, 46, 250, -10}, 0, plate, "bench_logo.bmp");
  const char* msgs[] = {"ベンチマークテスト実行中", "測定中は操作しないでください", "ドラッグで視点を少し動かせます"};
  for (int i = 0; i < 3; ++i) {
    const auto s = atlas.place(340, 22, [&](Image& img) {
      img.fillRoundRect(0, 0, 340, 22, 6, Rgba{10, 16, 26, 150});
      drawText(img, 10, 16, 13, msgs[i], rgb(0xE8F0F8));
    });
    quad(top, "message" + std::to_string(i + 1), {-90, -14, 250, -36}, -0.01f, s, "bench_logo.bmp", i == 0);
  }
  writeTexture(folder + "bench_logo", atlas.image(), true);
  writeText(folder + "bench_logo.tvm", writeTvm(top));
}

// Menu pictures: the 960 x 600 screen with the two button places, and below it the button
// pictures (rows 600-636 and 636-672; normal, mouse over, pressed at x 0, 120, 240).
Image menuPicture(const std::string& title, const std::string& b1, const std::string& b2)
{
  Image img(960, 672, rgb(0x000000));
  img.vGradient(0, 0, 960, 600, rgb(0x0C1A30), rgb(0x02060C));
  // Horizon glow and a stylised aircraft climbing out.
  img.vGradient(0, 110, 960, 170, Rgba{230, 140, 60, 0}, Rgba{230, 140, 60, 90});
  img.vGradient(0, 170, 960, 175, Rgba{250, 190, 110, 140}, Rgba{250, 190, 110, 0});
  const std::vector<Pt> body = {{560, 120}, {760, 78}, {800, 70}, {812, 74}, {790, 84}, {580, 128}};
  img.fillPolygon(body, rgb(0xDDE4EC));
  img.fillPolygon({{650, 100}, {700, 70}, {722, 72}, {690, 104}}, rgb(0xC8D0DA));
  img.fillPolygon({{655, 108}, {640, 140}, {662, 140}, {690, 104}}, rgb(0xB8C0CA));
  img.fillPolygon({{580, 126}, {562, 96}, {578, 96}, {600, 122}}, rgb(0x2A5AA8));
  drawText(img, 60, 80, 44, "HX-21", rgb(0xFFFFFF), Face::SansBold);
  drawText(img, 64, 130, 26, title, rgb(0xF0C040));
  img.fillRect(60, 150, 900, 152, Rgba{120, 150, 190, 160});
  // The programs write their own text from y 180 to 580: the picture keeps that area plain.
  drawText(img, 20, 592, 10, "Tarvex3D", rgb(0x4A5E76), Face::Sans);
  auto drawButton = [&](Image& dst, float x, float y, const std::string& label, int look) {
    const Rgba t = look == 2 ? rgb(0x1A3050) : look == 1 ? rgb(0x3C6EA8) : rgb(0x2A507E);
    const Rgba b = look == 2 ? rgb(0x2A4A70) : look == 1 ? rgb(0x24507C) : rgb(0x163050);
    dst.fillRect(x, y, x + 120, y + 36, rgb(0x000000));
    dst.fillRoundRect(x + 1, y + 1, x + 119, y + 35, 6, b);
    dst.vGradient(x + 3, y + 2, x + 117, y + 18, t, b);
    dst.strokeRoundRect(x + 1.5f, y + 1.5f, x + 118.5f, y + 34.5f, 6, 1.2f, look == 1 ? rgb(0xFFE080) : rgb(0x8AB0D8));
    drawTextCentred(dst, x + 60 + (look == 2 ? 1 : 0), y + 18 + (look == 2 ? 1 : 0), 16, label, rgb(0xFFFFFF));
  };
  drawButton(img, 686, 547, b1, 0);
  drawButton(img, 819, 547, b2, 0);
  for (int look = 0; look < 3; ++look) {
    drawButton(img, 120.0f * look, 600, b1, look);
    drawButton(img, 120.0f * look, 636, b2, look);
  }
  return img;
}

} // namespace

void makeOverlays()
{
  makeLoadBar();
  makeCursors();
  makePlayPanel();
  makeViewPanel();
  makeAtcWindow();
  makeEndDialog();
  makeBenchLogo();
  writeFile("etc\\benchmark\\menu1.bmp", encodeBmp24(menuPicture("ベンチマークテスト", "開始", "終了")));
  writeFile("etc\\benchmark\\menu2.bmp", encodeBmp24(menuPicture("ベンチマークテスト 結果", "結果を送信", "終了")));
}

} // namespace content
