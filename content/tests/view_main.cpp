// trvx-content-view: renders previews of the generated content with the software rasteriser,
// posed as the viewer poses them, for looking at by eye.
//   trvx-content-view <content root> <out.png> <preset> [width height] [azimuth elevation lens]
// presets: outside, cockpit, cabin, airport, tower, logo, play_panel, view_panel, atc_window,
// end, load_bar, cursors, bench_logo.
#include "raster.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using content::Affine;
using content::V3;

static bool load(const std::string& path, check::Model& m)
{
  std::string err;
  if (!check::readModel(path, m, err)) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), err.c_str());
    return false;
  }
  return true;
}

static void setOn(check::Model& m, const char* name, bool on)
{
  if (check::Node* n = m.root->find(name)) n->on = on;
}

// Part visibility by camera type, as the viewer switches it.
static void visibility(check::Model& plane, int type)
{
  const bool outside = type == 1, cockpit = type == 2, cabin = type == 3;
  setOn(plane, "hx21", outside);
  setOn(plane, "in_hx2101", outside || cabin);
  setOn(plane, "in_hx2102", cabin);
  setOn(plane, "mainwing", !cockpit);
  setOn(plane, "enjine", !cockpit);
  setOn(plane, "cp_c", cockpit);
  setOn(plane, "shadow", false);
  setOn(plane, "frlight", false);
  for (const char* n : {"PLPall", "PRPall"})
    if (check::Node* x = plane.root->find(n)) x->transparency = 255;
}

int main(int argc, char** argv)
{
  if (argc < 4) {
    std::fprintf(stderr, "usage: trvx-content-view <content root> <out.png> <preset> [w h] [a e lens]\n");
    return 2;
  }
  const std::string root = argv[1], out = argv[2], preset = argv[3];
  const int w = argc > 5 ? std::atoi(argv[4]) : 960, h = argc > 5 ? std::atoi(argv[5]) : 600;
  const float a1 = argc > 8 ? float(std::atof(argv[6])) : 240, a2 = argc > 8 ? float(std::atof(argv[7])) : 15;
  const float lensArg = argc > 8 ? float(std::atof(argv[8])) : 0;
  check::Model plane, port, clouds;
  const bool world = preset == "outside" || preset == "cockpit" || preset == "cabin" || preset == "airport" || preset == "tower";
  if (world) {
    if (!load(root + "/plane/hx21ank/hx21ank.tvm", plane)) return 1;
    if (!load(root + "/port/rjbh/rjbh.tvm", port)) port.root = std::make_unique<check::Node>();
    load(root + "/etc/clouds/landclouds.tvm", clouds);
    // The aircraft at its low pass over the runway (clock 20 s of the circuit), or on final.
    const V3 pos{0, preset == "airport" || preset == "tower" ? 60.0f : 20.0f, preset == "airport" ? -400.0f : 0.0f};
    const V3 rot{-2, 180, 0};
    const Affine group = Affine::layer(pos, rot, {1, 1, 1});
    const Affine model = Affine::layer({0, -2, 0}, {0, 180, 0}, {1, 1, 1}).then(group);
    check::Camera cam;
    int type = 1;
    if (preset == "outside") {
      const float d = 50, e = content::rad(a2), a = content::rad(a1);
      cam.target = pos;
      cam.eye = pos + V3{d * std::cos(e) * std::sin(a), d * std::sin(e), d * std::cos(e) * std::cos(a)};
      cam.lens = lensArg > 0 ? lensArg : 50;
      cam.nearClip = 1;
    } else if (preset == "cockpit") {
      type = 2;
      const float yaw = argc > 8 ? a1 : 0, pitch = argc > 8 ? a2 : -11, seat = -0.6f;
      cam.eye = group.point({seat, 1.8f, 10.2f});
      cam.target = group.point({seat + std::sin(content::rad(-yaw)), 1.6f + std::sin(content::rad(pitch)), 11.2f + std::cos(content::rad(-yaw))});
      cam.up = group.dir({0, 1, 0});
      cam.lens = lensArg > 0 ? lensArg : 28;
      cam.nearClip = 0.05f;
    } else if (preset == "cabin") {
      type = 3;
      const float aisle = argc > 8 ? a1 : 0, yaw = argc > 8 ? a2 : 0;
      cam.eye = group.point({0, 1.4f, aisle});
      cam.target = group.point({std::sin(content::rad(-yaw)), 1.4f, aisle + 2 * std::cos(content::rad(-yaw))});
      cam.up = group.dir({0, 1, 0});
      cam.lens = lensArg > 0 ? lensArg : 35;
      cam.nearClip = 0.05f;
    } else if (preset == "airport") {
      cam.eye = {2000 + (argc > 8 ? a1 : -2600.0f), 380, argc > 8 ? a2 : 2200.0f};
      cam.target = {0, 0, -200};
      cam.lens = lensArg > 0 ? lensArg : 35;
    } else {
      cam.eye = {-420, 40, 300};
      cam.target = {0, 10, -600};
      cam.lens = lensArg > 0 ? lensArg : 35;
    }
    visibility(plane, type);
    check::Raster r(w, h, 0x8AAAD0);
    r.setFog(1000, 12000, 0x8AAAD0);
    check::Light light;
    std::vector<check::Placed> scene = {{&port, Affine{}}, {&plane, model}};
    if (clouds.root) scene.push_back({&clouds, Affine::translation({cam.eye.x, 0, cam.eye.z})});
    r.draw3D(scene, cam, light);
    return r.writePng(out) ? 0 : 1;
  }
  // Overlays: each file placed as the viewer places it.
  struct Overlay {
    const char* preset;
    const char* file;
    float x, y, z;
  };
  const Overlay overlays[] = {
      {"play_panel", "etc/play_panel/play_panel.tvm", 160.0f - w / 2.0f, 22.0f - h / 2.0f, -0.5f},
      {"view_panel", "etc/view_panel/view_panel.tvm", w / 2.0f - 200, 22.0f - h / 2.0f, -0.3f},
      {"atc_window", "etc/atc_window/atc_window.tvm", 266.0f - w / 2.0f, h / 2.0f - 74, -0.1f},
      {"end", "etc/end/end.tvm", 0, 0, -0.7f},
      {"load_bar", "etc/load_bar/load_bar.tvm", 0, 0, 0},
      {"cursors", "cursor/allow.tvm", -20, 0, -0.9f},
      {"cursors", "cursor/hand.tvm", 20, 0, -0.9f},
      {"bench_logo", "etc/benchmark/bench_logo.tvm", 100.0f - w / 2.0f, 60.0f - h / 2.0f, 0},
      {"logo", "logo/trv5/trv5.tvm", 0, 0, 0},
  };
  check::Raster r(w, h, 0x304050);
  std::vector<std::unique_ptr<check::Model>> models;
  std::vector<check::Placed> placed;
  bool any = false;
  for (const Overlay& o : overlays) {
    if (preset != o.preset && !(preset == "panels" && std::string(o.file).find("panel") != std::string::npos) &&
        !(preset == "panels" && std::string(o.preset) == "atc_window"))
      continue;
    models.push_back(std::make_unique<check::Model>());
    if (!load(root + "/" + o.file, *models.back())) return 1;
    placed.push_back({models.back().get(), Affine::translation({o.x, o.y, o.z})});
    any = true;
  }
  if (!any) {
    std::fprintf(stderr, "unknown preset %s\n", preset.c_str());
    return 2;
  }
  if (preset == "logo") {
    check::Camera cam;
    cam.eye = {50, 23, -131};
    cam.target = {32.1f, 5.2f, -84};
    cam.lens = 50;
    check::Light light;
    light.direction = {-100, -100, 200};
    r = check::Raster(w, h, 0);
    check::Model& logo = *models.back();
    // The final pose of the launcher's animation.
    auto pose = [&](const char* n, V3 t) {
      if (check::Node* x = logo.root->find(n)) x->translate = t;
    };
    pose("red_all", {-21, 0, -9});
    pose("green_all", {0, 0, 0});
    pose("blue_all", {21, 0, 9});
    setOn(logo, "line", false);
    const bool solid = argc > 6 && std::string(argv[6]) == "solid";
    for (const char* n : {"02red", "02green", "02blue"})
      if (check::Node* x = logo.root->find(n)) x->transparency = solid ? 0 : 255, x->on = true;
    for (const char* n : {"01red", "01green", "01blue"})
      if (check::Node* x = logo.root->find(n)) x->transparency = solid ? 255 : 100, x->on = true;
    if (check::Node* x = logo.root->find("back")) x->transparency = 0, x->on = true;
    // Back overlays first, then the 3D groups, then the front ones.
    r.drawOverlays(placed, true);
    r.draw3D(placed, cam, light);
    r.drawOverlays(placed);
  } else {
    r.drawOverlays(placed);
  }
  return r.writePng(out) ? 0 : 1;
}
