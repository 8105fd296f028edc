// Checks of the generated content tree: every file the programs open exists in the format its
// reader needs, every layer they look up is where they look, the models follow the text model
// grammar, moving parts turn about sensible pivots, and the views show what they should.
#include "content.h"
#include "image.h"
#include "out.h"
#include "raster.h"
#include "tvm.h"
#include "tvm_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using content::Affine;
using content::V3;

namespace {

std::string g_root;

std::vector<uint8_t> readAll(const std::string& rel)
{
  std::ifstream in(g_root + "/" + rel, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t u32(const std::vector<uint8_t>& d, size_t o)
{
  return uint32_t(d[o]) | uint32_t(d[o + 1]) << 8 | uint32_t(d[o + 2]) << 16 | uint32_t(d[o + 3]) << 24;
}
uint16_t u16(const std::vector<uint8_t>& d, size_t o) { return uint16_t(d[o] | d[o + 1] << 8); }

class Content : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    g_root = (fs::temp_directory_path() / ("trvx-content-test-" + std::to_string(::getpid()))).string();
    fs::remove_all(g_root);
    content::setOutputRoot(g_root + "/bin");
    content::makeAircraft("hx21ank", 0);
    content::makeAircraft("hx21jcb", 1);
    content::makeAirport();
    content::makeClouds();
    content::makeOverlays();
    content::makeLogo();
    content::makeSounds();
    content::makeConfig(g_root + "/generated");
    g_root += "/bin";
  }
  static void TearDownTestSuite() { fs::remove_all(fs::path(g_root).parent_path()); }

  static check::Model load(const std::string& rel)
  {
    check::Model m;
    std::string err;
    EXPECT_TRUE(check::readModel(g_root + "/" + rel, m, err)) << rel << ": " << err;
    return m;
  }
};

const char* kModels[] = {"plane/hx21ank/hx21ank.tvm", "plane/hx21jcb/hx21jcb.tvm", "port/rjbh/rjbh.tvm",
                         "etc/clouds/landclouds.tvm", "etc/load_bar/load_bar.tvm", "cursor/allow.tvm", "cursor/hand.tvm",
                         "etc/play_panel/play_panel.tvm", "etc/view_panel/view_panel.tvm", "etc/atc_window/atc_window.tvm",
                         "etc/end/end.tvm", "etc/benchmark/bench_logo.tvm", "logo/trv5/trv5.tvm"};

// --- the format checker itself ---------------------------------------------------------------

TEST(Grammar, AcceptsTheWriterFormAndRejectsBrokenFiles)
{
  check::Model m;
  std::string err;
  EXPECT_TRUE(check::parseModel("Information(\"a\",\"b,c\",\"d\")\r\nLayer(\"a\"){\r\n}\r\nLayer(\"b\"){Translate(1,-2.5,0)}", m, err)) << err;
  ASSERT_EQ(m.root->children.size(), 2u);
  EXPECT_EQ(m.top()->name, "b");
  EXPECT_FLOAT_EQ(m.top()->translate.y, -2.5f);

  struct Bad {
    const char* text;
    const char* why;
  };
  const Bad bad[] = {
      {"Layer(\"a\"}{)", "misplaced"},
      {"Layer(\"a\"){\nSwitch(0)\n)}", "misplaced"},
      {"Layer(\"a\"){\nComment(\"open\n}", "string left open"},
      {"Layer(\"a\"){Mode(\"SOLIDS\")}", "unknown mode"},
      {"Layer(\"a\"){Face(0,1,2)Vertex(0,0,0,0,1,0)}", "face index"},
      {"Layer(\"a\"){Translate(1e3,0,0)}", "expected ','"},
      {"Layer(\"a\"){Vertex(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16)}", "more than 14"},
      {"Layer(\"0123456789012345678901234567890123\"){}", "longer than 31"},
  };
  for (const Bad& b : bad) {
    check::Model x;
    EXPECT_FALSE(check::parseModel(b.text, x, err)) << b.text;
    EXPECT_NE(err.find(b.why), std::string::npos) << b.text << " gave: " << err;
  }
  // A syntax error names the line of the offending character.
  check::Model x;
  EXPECT_FALSE(check::parseModel("Layer(\"a\"){\r\nSwitch(0)\r\nSwitch(1}\r\n}", x, err));
  EXPECT_NE(err.find("line 3"), std::string::npos) << err;
}

TEST(Writer, RealsReadBackWithoutExponentsOrNegativeZero)
{
  EXPECT_EQ(content::formatReal(0.0f), "0");
  EXPECT_EQ(content::formatReal(-0.00001f), "0");
  EXPECT_EQ(content::formatReal(1.5f), "1.5");
  EXPECT_EQ(content::formatReal(-12.25f), "-12.25");
  EXPECT_EQ(content::formatReal(123456.0f), "123456");
  EXPECT_EQ(content::formatReal(1e-7f), "0");
  EXPECT_THROW(content::formatReal(1e7f), std::runtime_error);
  EXPECT_THROW(content::formatReal(std::nanf("")), std::runtime_error);
}

TEST(Writer, LayerTreeRoundTripsThroughTheReader)
{
  content::Layer top;
  top.name = "top";
  content::Layer& a = top.add("a");
  a.on = false;
  a.translate = {1, 2, 3};
  a.rotate = {0, 90, 0};
  a.colour(0x102030, 0xFFFFFF, 200).texture("t.bmp").texture("d.bmp");
  a.detailScale = 4;
  a.attributes = {"BackFace", "Screen"};
  a.transparency = 100;
  a.mesh.flatTri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0.25f, 0.5f, 1, 0, 0, 1);
  content::Layer& lamp = top.add("lamp");
  lamp.lamp({5, 6, 7}, 2, 0xFF0000);

  check::Model m;
  std::string err;
  ASSERT_TRUE(check::parseModel(content::writeTvm(top), m, err)) << err;
  check::Node* n = m.root->find("a");
  ASSERT_NE(n, nullptr);
  EXPECT_FALSE(n->on);
  EXPECT_FLOAT_EQ(n->translate.z, 3);
  EXPECT_FLOAT_EQ(n->rotate.y, 90);
  EXPECT_EQ(n->diffuse, 0x302010u); // 0x00BBGGRR
  EXPECT_EQ(n->mode, 0x80340002u);
  ASSERT_EQ(n->stages.size(), 2u);
  EXPECT_EQ(n->stages[1].file, "d.bmp");
  EXPECT_TRUE(n->has("Screen"));
  EXPECT_EQ(n->transparency, 100);
  ASSERT_EQ(n->verts.size(), 3u);
  EXPECT_FLOAT_EQ(n->verts[0].uv[0][0], 0.25f);
  EXPECT_FLOAT_EQ(n->verts[0].uv[1][0], 1.0f); // the detail set is scaled
  check::Node* l = m.root->find("lamp");
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->mode, 0x80010000u);
  EXPECT_FLOAT_EQ(l->pointSize, 2);
  ASSERT_EQ(l->verts.size(), 1u);
  EXPECT_TRUE(l->faces.empty());
  // Drawn as a soft round glow added to the picture, not as a flat square.
  ASSERT_EQ(l->stages.size(), 1u);
  EXPECT_EQ(l->stages[0].file, content::kLampGlowFile);
  EXPECT_EQ(l->stages[0].blend, 0x8304); // FLASH_COLOR
}

TEST(LampGlow, RoundOpaqueCoreAndClearEdge)
{
  const content::Image glow = content::lampGlow();
  const int s = glow.width();
  EXPECT_GT(glow.get(s / 2, s / 2).a, 240);
  for (int corner : {0, s - 1}) EXPECT_EQ(glow.get(corner, corner).a, 0);
  EXPECT_EQ(glow.get(0, s / 2).a, glow.get(s / 2, 0).a) << "round, not square";
  EXPECT_LT(glow.get(s / 4, s / 2).a, glow.get(s / 2 - 2, s / 2).a) << "fades outwards";
}

// --- files, formats, names -------------------------------------------------------------------

TEST_F(Content, EveryFileTheProgramsOpenExists)
{
  std::vector<std::string> files(std::begin(kModels), std::end(kModels));
  for (const char* f : {"etc/benchmark/menu1.bmp", "etc/benchmark/menu2.bmp", "logo/trv5/trv5.wav", "sound/ship.vfs",
                        "sound/voice/cap.vfs", "sound/voice/co.vfs", "sound/bgm/evening.wav", "trvx.ini", "hx21app.ini",
                        "../generated/hx21app.ico", "../generated/hx-21.ico"})
    files.push_back(f);
  for (const char* v : {"ak72_12_2ab", "ak72_13_1", "ak72_14_1tab", "ak72_15_2tab", "ak72_16_1ab", "ak72_16_1"})
    files.push_back(std::string("sound/voice/ak72/") + v + ".wav");
  for (const auto& f : files) EXPECT_TRUE(fs::is_regular_file(g_root + "/" + f)) << f;
  EXPECT_TRUE(fs::is_directory(g_root + "/photo")) << "photos would have nowhere to go";
}

TEST_F(Content, ModelsParseAndTheirTexturesLoadOnTheBitmapPath)
{
  for (const char* f : kModels) {
    check::Model m = load(f);
    ASSERT_NE(m.top(), nullptr) << f;
    std::vector<check::Node*> all;
    m.root->collect(all);
    for (check::Node* n : all) {
      int textured = 0;
      for (size_t i = 0; i < n->stages.size(); ++i) {
        if (n->stages[i].file.empty()) continue;
        textured = int(i) + 1;
        const std::string tex = m.folder + n->stages[i].file;
        const auto bmp = readAll(tex.substr(g_root.size() + 1));
        ASSERT_GE(bmp.size(), 54u) << tex;
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(u16(bmp, 28), 24) << tex;
        EXPECT_EQ(u32(bmp, 30), 0u) << tex;
        const uint32_t w = u32(bmp, 18), h = u32(bmp, 22);
        EXPECT_EQ(w * 3 % 4, 0u) << tex << " has padded rows";
        EXPECT_EQ(bmp.size(), 54 + size_t(w) * h * 3) << tex;
        const std::string mask = tex.substr(0, tex.size() - 4) + "_alpha.bmp";
        if (fs::exists(mask)) {
          const auto mb = readAll(mask.substr(g_root.size() + 1));
          EXPECT_EQ(u32(mb, 18), w) << mask;
          EXPECT_EQ(u32(mb, 22), h) << mask;
        }
      }
      if (!n->verts.empty() && n->mode != 0x80010000u)
        EXPECT_EQ(n->mode, textured ? 0x80340000u + uint32_t(textured) : 0x80140000u) << f << " " << n->name;
    }
  }
}

TEST_F(Content, LayerNamesAreWhereTheProgramsLookForThem)
{
  struct Want {
    const char* file;
    std::vector<std::string> names;
  };
  std::vector<std::string> plane = {
      "hx21", "in_hx2101", "in_hx2102", "mainwing", "enjine", "cp_c", "shadow", "frlight", "atlightu", "atlightd",
      "ldlightm1", "ldlightm2", "ldlightl", "ldlightr", "nosegear---x", "01_tire_l01", "01_tire_r01", "t_l01_b---x",
      "t_r01_b---x", "t_l01_c---x", "t_r01_c---x", "L_n_gcover_all", "R_n_gcover_all", "tire_l02---z", "tire_l03---z",
      "tire_r02---z", "tire_r03---z", "flap_l01---xz", "flap_r01---xz", "flap_l02---xz", "flap_r02---xz", "door_1---xz",
      "trap00---z", "trap01---z", "trap02---z", "trap03---z", "trap0101---z", "trap0102---z", "trap0103---z",
      "trap0104---z", "trap0105---z", "trap0201---z", "trap0202---z", "trap0203---z", "trap0204---z", "trap0301---z",
      "e4low---z", "e1low---z", "e4high---z", "02e4high", "e1high---z", "02e1high", "PLPall", "PRPall",
      "aileron_l01---x", "aileron_r01---x", "control01---x", "control02---z", "control03---x", "control04---z",
      "elevator_l01---x", "elevator_r01---x", "tire000---y", "01controlall", "PLP1", "PLP2", "PLP3", "PLP4", "PLPM",
      "PRP1", "PRP2", "PRP3", "PRP4", "PRPM", "LWiper", "RWiper", "radome---x", "cw_L---z", "cw_R---z", "radar---x",
      "Cover---z", "door_5---z", "door_3---y", "03_L_L_enjine---x", "03_R_L_enjine---x", "02L_enjine---z",
      "04L_enjine---z", "01L_enjine---y", "03L_enjine---y", "05L_enjine---z", "03_L_R_enjine---x", "03_R_R_enjine---x",
      "02R_enjine---z", "04R_enjine---z", "01R_enjine---y", "03R_enjine---y", "05R_enjine---z", "01rudder_all---y",
      "02rudder_all---y", "03rudder_all---y", "wglightl", "wglightr", "ldlightb"};
  std::vector<std::string> play = {"camera_on", "camera_off", "camera_up", "status_rec", "status_play", "status_pause",
                                   "fast_on", "fast_off", "fast_up", "pause_on", "pause_off", "pause_up", "play_on",
                                   "play_off", "play_up", "stop_on", "stop_off", "stop_up", "volume_gauge_on",
                                   "volume_gauge_up", "play_volume"};
  std::vector<std::string> view = {"viw_untarget_on", "viw_untarget_off", "viw_untarget_up", "viw_target_on",
                                   "viw_target_off", "viw_target_up", "target_gauge_on", "target_gauge_up",
                                   "target_volume", "view_map_out_on", "view_map_out_off", "view_map_out_up",
                                   "view_map_in_on", "view_map_in_off", "view_map_in_up"};
  for (char c = 'a'; c <= 'e'; ++c)
    for (const char* s : {"tb_off_", "tb_off_up_", "tb_on_", "tb_on_up_"}) view.push_back(s + std::string(1, c));
  std::vector<std::string> logo = {"line", "red_all", "green_all", "blue_all", "01red", "02red", "01green", "02green",
                                   "01blue", "02blue", "back", "light"};
  for (const char* c : {"red", "green", "blue"})
    for (int k = 1; k <= 5; ++k) logo.push_back("0" + std::to_string(k) + c + "_line");
  const Want wants[] = {
      {"plane/hx21ank/hx21ank.tvm", plane},
      {"plane/hx21jcb/hx21jcb.tvm", plane},
      {"etc/play_panel/play_panel.tvm", play},
      {"etc/view_panel/view_panel.tvm", view},
      {"etc/end/end.tvm", {"yes_on", "yes_off", "yes_up", "no_on", "no_off", "no_up"}},
      {"etc/load_bar/load_bar.tvm", {"load_bar"}},
      {"etc/benchmark/bench_logo.tvm", {"message1", "message2", "message3"}},
      {"logo/trv5/trv5.tvm", logo},
  };
  for (const Want& w : wants) {
    check::Model m = load(w.file);
    ASSERT_NE(m.top(), nullptr);
    for (const auto& n : w.names) EXPECT_NE(m.top()->find(n), nullptr) << w.file << " lacks " << n;
    // Names must be unique: the programs take the first match.
    std::vector<check::Node*> all;
    m.root->collect(all);
    std::set<std::string> seen;
    for (check::Node* n : all)
      if (!n->name.empty()) EXPECT_TRUE(seen.insert(n->name).second) << w.file << " repeats " << n->name;
  }
  // Layers the airport rebuild strips keep a stage it may remove.
  check::Model port = load("port/rjbh/rjbh.tvm");
  int n2 = 0, n4 = 0;
  for (auto& c : port.top()->children) {
    if (c->name.rfind("@N2_", 0) == 0) n2 += c->stages.size() >= 2;
    if (c->name.rfind("@N4_", 0) == 0) n4 += c->stages.size() == 4;
  }
  EXPECT_GT(n2, 0);
  EXPECT_GT(n4, 0);
}

TEST_F(Content, FacesPointTheWayTheirNormalsDo)
{
  // A face wound against its vertex normals is culled from the side it should be seen from.
  for (const char* f : kModels) {
    check::Model m = load(f);
    std::vector<check::Node*> all;
    m.root->collect(all);
    for (check::Node* n : all) {
      if (n->has("BackFace")) continue;
      int wrong = 0;
      for (const auto& t : n->faces) {
        const V3 a = n->verts[t[0]].p, b = n->verts[t[1]].p, c = n->verts[t[2]].p;
        const V3 fn = content::cross(b - a, c - a);
        if (content::length(fn) < 1e-6f) continue;
        // Smoothing may bend one corner's normal away at a sharp edge; a face wound the wrong
        // way disagrees with all three.
        int against = 0;
        for (uint16_t k : t) against += content::dot(fn, n->verts[k].n) < 0;
        wrong += against == 3;
      }
      EXPECT_LE(wrong, int(n->faces.size() / 50)) << f << " " << n->name << ": " << wrong << " of " << n->faces.size();
    }
  }
}

// --- the aircraft ---------------------------------------------------------------------------------

// Model-space bounds of a layer's subtree.
void bounds(check::Node& n, V3& lo, V3& hi)
{
  lo = {1e9f, 1e9f, 1e9f};
  hi = -lo;
  std::vector<check::Node*> all;
  n.collect(all);
  for (check::Node* x : all) {
    const Affine w = check::nodeWorld(*x);
    for (const auto& v : x->verts) {
      const V3 p = w.point(v.p);
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
  }
}

TEST_F(Content, AircraftHasTheSizeAndPlacementTheCamerasExpect)
{
  check::Model m = load("plane/hx21ank/hx21ank.tvm");
  check::Node* top = m.top();
  EXPECT_EQ(top->translate.x + top->translate.y + top->translate.z, 0.0f) << "the viewer places the top layer";
  V3 lo, hi;
  bounds(*top->find("hx21"), lo, hi);
  EXPECT_NEAR(hi.z - lo.z, 27.0f, 1.0f);
  EXPECT_LT(lo.z, -12.5f) << "nose towards -z";
  EXPECT_NEAR(lo.y, 0.0f, 0.05f) << "wheels on the ground";
  bounds(*top->find("mainwing"), lo, hi);
  EXPECT_NEAR(hi.x - lo.x, 27.0f, 1.5f);
  // Cockpit eye (model space) inside the cockpit: between floor and ceiling, behind the panel.
  bounds(*top->find("cp_c"), lo, hi);
  for (float x : {-0.6f, 0.6f}) {
    EXPECT_GT(x, lo.x);
    EXPECT_LT(x, hi.x);
  }
  EXPECT_GT(3.8f, lo.y);
  EXPECT_LT(3.8f, hi.y);
  EXPECT_GT(-10.2f, lo.z);
  EXPECT_LT(-10.2f, hi.z);
  // The cabin spans the aisle walk.
  bounds(*top->find("in_hx2101"), lo, hi);
  EXPECT_LT(lo.z, -9.0f);
  EXPECT_GT(hi.z, 11.0f);
  EXPECT_GT(3.4f, lo.y);
  EXPECT_LT(3.4f, hi.y);
}

// Sets a layer's rotation (and optionally translation) as a sequence would.
void pose(check::Model& m, const char* name, V3 rot)
{
  check::Node* n = m.top()->find(name);
  ASSERT_NE(n, nullptr) << name;
  n->rotate = rot;
}

TEST_F(Content, GearFoldsIntoTheBodyAndDoorsClose)
{
  check::Model m = load("plane/hx21ank/hx21ank.tvm");
  V3 lo, hi;
  bounds(*m.top()->find("tire000---y"), lo, hi);
  EXPECT_LT(lo.y, 0.05f) << "nose wheels down in the modelled pose";
  // Gear up: e = 10000 gives s = w = p = q = 1.
  pose(m, "nosegear---x", {100, 0, 0});
  pose(m, "01_tire_l01", {90, 0, 0});
  pose(m, "01_tire_r01", {90, 0, 0});
  pose(m, "t_l01_b---x", {-160, 0, 0});
  pose(m, "t_r01_b---x", {-160, 0, 0});
  pose(m, "t_l01_c---x", {30, 0, 0});
  pose(m, "t_r01_c---x", {30, 0, 0});
  pose(m, "L_n_gcover_all", {5.97f, 0, -85});
  pose(m, "R_n_gcover_all", {5.97f, 0, 85});
  pose(m, "tire_l02---z", {0.9f, -2.5f, 0});
  pose(m, "tire_l03---z", {0.63f, 2.5f, 0});
  pose(m, "tire_r02---z", {0.63f, -2.5f, 0});
  pose(m, "tire_r03---z", {0.9f, 2.5f, 0});
  V3 body, bodyHi;
  bounds(*m.top()->find("fuselage"), body, bodyHi);
  for (const char* g : {"tire000---y", "main_tyres_l", "main_tyres_r"}) {
    bounds(*m.top()->find(g), lo, hi);
    EXPECT_GT(lo.y, body.y - 0.15f) << g << " hangs below the body when retracted";
  }
  for (const char* d : {"tire_l02---z", "tire_l03---z", "tire_r02---z", "tire_r03---z", "L_n_gcover_all", "R_n_gcover_all"}) {
    bounds(*m.top()->find(d), lo, hi);
    // Closed doors lie along the skin (the nose bay's slopes by about 6 degrees).
    EXPECT_LT(hi.y - lo.y, 0.3f) << d << " is not closed flat";
  }
}

TEST_F(Content, FlapsSlideAftAndTurnDown)
{
  check::Model m = load("plane/hx21ank/hx21ank.tvm");
  for (const char* f : {"flap_l01---xz", "flap_r02---xz"}) {
    check::Node* n = m.top()->find(f);
    // The trailing edge: the vertex furthest aft.
    size_t te = 0;
    for (size_t i = 0; i < n->verts.size(); ++i)
      if (n->verts[i].p.z > n->verts[te].p.z) te = i;
    const V3 before = check::nodeWorld(*n).point(n->verts[te].p);
    n->translate = {0, 0.1f, 0.7f};
    n->rotate = {20, 0, 0};
    const V3 after = check::nodeWorld(*n).point(n->verts[te].p);
    EXPECT_GT(after.z, before.z + 0.5f) << f << " trailing edge moves aft";
    EXPECT_LT(after.y, before.y - 0.08f) << f << " trailing edge goes down";
  }
}

TEST_F(Content, ControlSurfacesHingeAtTheirLeadingEdges)
{
  check::Model m = load("plane/hx21ank/hx21ank.tvm");
  for (const char* name : {"aileron_l01---x", "aileron_r01---x", "elevator_l01---x", "elevator_r01---x", "01rudder_all---y",
                           "03rudder_all---y", "control01---x", "control03---x"}) {
    check::Node* n = m.top()->find(name);
    ASSERT_NE(n, nullptr) << name;
    V3 lo, hi;
    bounds(*n, lo, hi);
    const V3 pivot = check::nodeWorld(*n).point({0, 0, 0});
    // The hinge lies on the part's forward edge, or for a control column at its foot.
    if (name[0] == 'c')
      EXPECT_NEAR(pivot.y, lo.y, 0.12f) << name;
    else
      EXPECT_NEAR(pivot.z, lo.z, 0.12f) << name;
    EXPECT_GE(pivot.y, lo.y - 0.05f) << name;
    EXPECT_LE(pivot.y, hi.y + 0.05f) << name;
    // A deflection keeps the hinge where it is and moves the far edge.
    n->rotate = std::string(name).back() == 'y' ? V3{0, 15, 0} : V3{15, 0, n->rotate.z};
    V3 lo2, hi2;
    bounds(*n, lo2, hi2);
    EXPECT_NEAR(check::nodeWorld(*n).point({0, 0, 0}).z, pivot.z, 1e-3f) << name;
    const float moved = std::fabs(lo2.y - lo.y) + std::fabs(hi2.x - hi.x) + std::fabs(lo2.x - lo.x) + std::fabs(hi2.z - hi.z);
    EXPECT_GT(moved, 0.02f) << name << " did not move";
  }
}

TEST_F(Content, PropellersTurnAboutTheEngineAxis)
{
  check::Model m = load("plane/hx21ank/hx21ank.tvm");
  for (const char* p : {"e4low---z", "e1low---z"}) {
    check::Node* hub = m.top()->find(p);
    V3 lo0, hi0, lo1, hi1;
    bounds(*hub, lo0, hi0);
    hub->rotate = {0, 0, 37};
    bounds(*hub, lo1, hi1);
    // A disc turning about its own centre keeps its extent and centre.
    EXPECT_NEAR((lo0.x + hi0.x) / 2, (lo1.x + hi1.x) / 2, 0.15f) << p;
    EXPECT_NEAR((lo0.y + hi0.y) / 2, (lo1.y + hi1.y) / 2, 0.15f) << p;
    // Blade tips reach the disc's rim around the hub.
    const V3 centre = check::nodeWorld(*hub).point({0, 0, 0});
    float reach = 0;
    std::vector<check::Node*> all;
    hub->collect(all);
    for (check::Node* x : all)
      for (const auto& v : x->verts) {
        const V3 q = check::nodeWorld(*x).point(v.p) - centre;
        reach = std::max(reach, std::hypot(q.x, q.y));
      }
    EXPECT_NEAR(reach, 1.95f, 0.1f) << p << " blade length";
  }
}

TEST_F(Content, StowedAirstairAndLampsSitInsideTheirPlaces)
{
  check::Model m = load("plane/hx21ank/hx21ank.tvm");
  V3 lo, hi;
  bounds(*m.top()->find("trap00---z"), lo, hi);
  EXPECT_GT(lo.x, -1.2f);
  EXPECT_LT(hi.x, 1.25f) << "airstair pokes out of the left side";
  EXPECT_GT(lo.y, 1.6f);
  // Landing lamps are points at their layer origin with the extended height 2.1.
  for (const char* l : {"ldlightl", "ldlightr"}) {
    check::Node* n = m.top()->find(l);
    ASSERT_EQ(n->verts.size(), 1u);
    EXPECT_NEAR(content::length(n->verts[0].p), 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(n->translate.y, 2.1f);
  }
  for (const char* l : {"atlightu", "atlightd", "ldlightm1", "ldlightm2", "wglightl", "wglightr", "ldlightb"}) {
    check::Node* n = m.top()->find(l);
    EXPECT_EQ(n->mode, 0x80010000u) << l;
    EXPECT_TRUE(n->faces.empty()) << l;
    EXPECT_GT(n->pointSize, 0) << l;
  }
}

check::Raster renderPlane(const char* preset, check::Model& plane, float a1 = 240, float a2 = 15)
{
  const V3 pos{0, 20, 0};
  const Affine group = Affine::layer(pos, {-2, 180, 0}, {1, 1, 1});
  const Affine model = Affine::layer({0, -2, 0}, {0, 180, 0}, {1, 1, 1}).then(group);
  check::Camera cam;
  const bool outside = std::string(preset) == "outside", cockpit = std::string(preset) == "cockpit";
  auto on = [&](const char* n, bool v) { plane.top()->find(n)->on = v; };
  on("hx21", outside);
  on("in_hx2101", !cockpit);
  on("in_hx2102", !outside && !cockpit);
  on("mainwing", !cockpit);
  on("enjine", !cockpit);
  on("cp_c", cockpit);
  if (outside) {
    const float e = content::rad(a2), a = content::rad(a1);
    cam.target = pos;
    cam.eye = pos + V3{50 * std::cos(e) * std::sin(a), 50 * std::sin(e), 50 * std::cos(e) * std::cos(a)};
    cam.lens = 50;
  } else if (cockpit) {
    cam.eye = group.point({-0.6f, 1.8f, 10.2f});
    cam.target = group.point({-0.6f, 1.6f + std::sin(content::rad(-11)), 11.2f});
    cam.up = group.dir({0, 1, 0});
    cam.lens = 28;
    cam.nearClip = 0.05f;
  } else {
    cam.eye = group.point({0, 1.4f, 0});
    cam.target = group.point({0, 1.4f, 2});
    cam.up = group.dir({0, 1, 0});
    cam.lens = 35;
    cam.nearClip = 0.05f;
  }
  check::Raster r(320, 200, 0x7090C0);
  r.draw3D({{&plane, model}}, cam, check::Light{});
  return r;
}

TEST_F(Content, ViewsShowTheAircraftCockpitAndCabin)
{
  check::Model plane = load("plane/hx21ank/hx21ank.tvm");
  // From outside at 50 units the aircraft fills a fair part of the picture, centred.
  for (float az : {0.0f, 90.0f, 240.0f}) {
    check::Raster r = renderPlane("outside", plane, az, 15);
    const double share = double(r.covered()) / (r.width() * r.height());
    EXPECT_GT(share, 0.02) << "azimuth " << az;
    EXPECT_LT(share, 0.6) << "azimuth " << az;
    EXPECT_NE(r.pixel(160, 100), 0x7090C0u) << "nothing at the centre, azimuth " << az;
  }
  // In the cockpit the panel fills the lower part and the windscreen shows the sky above it.
  check::Raster c = renderPlane("cockpit", plane);
  int lowerCovered = 0, upperSky = 0;
  for (int x = 0; x < 320; ++x) {
    lowerCovered += c.pixel(x, 185) != 0x7090C0u;
    upperSky += c.pixel(x, 40) == 0x7090C0u;
  }
  EXPECT_GT(lowerCovered, 300);
  EXPECT_GT(upperSky, 60);
  // In the cabin: walls all round (no sky straight ahead) but windows to the sides.
  check::Raster k = renderPlane("cabin", plane);
  EXPECT_LT(double(k.width() * k.height() - k.covered()) / (k.width() * k.height()), 0.2);
}

// --- overlays -------------------------------------------------------------------------------------

// Overlay-space rectangle of a layer's geometry (its top-level file placed at the origin).
void rectOf(check::Node& n, float& l, float& t, float& r, float& b)
{
  V3 lo, hi;
  bounds(n, lo, hi);
  l = lo.x; b = lo.y; r = hi.x; t = hi.y;
}

TEST_F(Content, ButtonsCoverTheirRectangles)
{
  struct B {
    const char* file;
    const char* layer;
    float l, t, r, b;
  };
  const B buttons[] = {
      {"etc/play_panel/play_panel.tvm", "camera_on", -150, 12, -106, -12},
      {"etc/play_panel/play_panel.tvm", "fast_up", -41, 8, -14, -8},
      {"etc/play_panel/play_panel.tvm", "play_off", -10, 8, 17, -8},
      {"etc/play_panel/play_panel.tvm", "stop_on", 21, 7, 48, -8},
      {"etc/play_panel/play_panel.tvm", "volume_gauge_up", 52, 6, 144, -9},
      {"etc/view_panel/view_panel.tvm", "tb_on_c", -111, 12, -76, -6},
      {"etc/view_panel/view_panel.tvm", "tb_off_up_e", -37, 12, -2, -6},
      {"etc/view_panel/view_panel.tvm", "viw_target_up", 21, 7, 48, -9},
      {"etc/view_panel/view_panel.tvm", "target_gauge_on", 60, 6, 152, -9},
      {"etc/view_panel/view_panel.tvm", "view_map_in_on", 167, 7, 183, -8},
      {"etc/end/end.tvm", "yes_up", -108, -22, -8, -50},
      {"etc/end/end.tvm", "no_on", 5, -22, 105, -50},
  };
  for (const B& b : buttons) {
    check::Model m = load(b.file);
    check::Node* n = m.top()->find(b.layer);
    ASSERT_NE(n, nullptr) << b.layer;
    float l, t, r, bo;
    rectOf(*n, l, t, r, bo);
    EXPECT_FLOAT_EQ(l, b.l) << b.layer;
    EXPECT_FLOAT_EQ(t, b.t) << b.layer;
    EXPECT_FLOAT_EQ(r, b.r) << b.layer;
    EXPECT_FLOAT_EQ(bo, b.b) << b.layer;
    EXPECT_TRUE(n->has("Screen")) << b.layer;
  }
  // Knobs sit at the positions of the initial volume (30) and zoom.
  check::Model play = load("etc/play_panel/play_panel.tvm");
  EXPECT_FLOAT_EQ(play.top()->find("play_volume")->translate.x, 100);
}

TEST_F(Content, OverlaysAreScreenLayersWithTheirAnchorsAtTheOrigin)
{
  for (const char* f : {"etc/load_bar/load_bar.tvm", "cursor/allow.tvm", "cursor/hand.tvm", "etc/play_panel/play_panel.tvm",
                        "etc/view_panel/view_panel.tvm", "etc/atc_window/atc_window.tvm", "etc/end/end.tvm",
                        "etc/benchmark/bench_logo.tvm"}) {
    check::Model m = load(f);
    std::vector<check::Node*> all;
    m.root->collect(all);
    for (check::Node* n : all)
      if (!n->faces.empty()) {
        EXPECT_TRUE(n->has("Screen")) << f << " " << n->name;
        const float z = check::nodeWorld(*n).point(n->verts[0].p).z;
        // Offsets stay small so that the viewer's depths keep the panels in their order (the
        // loading bar is drawn alone).
        const float deepest = std::string(f).find("load_bar") != std::string::npos ? -1.0f : -0.05f;
        EXPECT_TRUE(z <= 0 && z >= deepest) << f << " " << n->name << " depth " << z;
      }
  }
  // The loading bar grows from its left end; the arrow's tip and the hand's palm are the hot spots.
  check::Model bar = load("etc/load_bar/load_bar.tvm");
  float l, t, r, b;
  check::Node* lb = bar.top()->find("load_bar");
  float minLocal = 1e9f;
  for (const auto& v : lb->verts) minLocal = std::min(minLocal, v.p.x);
  EXPECT_FLOAT_EQ(minLocal, 0.0f);
  lb->scale = {0.5f, 1, 1};
  rectOf(*lb, l, t, r, b);
  EXPECT_FLOAT_EQ(r - l, 200.0f) << "half the bar at 50 %";
  check::Model arrow = load("cursor/allow.tvm");
  rectOf(*arrow.top(), l, t, r, b);
  EXPECT_FLOAT_EQ(l, 0);
  EXPECT_FLOAT_EQ(t, 0);
  check::Model hand = load("cursor/hand.tvm");
  rectOf(*hand.top(), l, t, r, b);
  EXPECT_FLOAT_EQ(l + r, 0);
  EXPECT_FLOAT_EQ(t + b, 0);
}

TEST_F(Content, LogoEndsWithAWordMarkForTheGlintToFollow)
{
  check::Model logo = load("logo/trv5/trv5.tvm");
  // Lines start at zero length and grow from their left ends.
  for (const char* n : {"01red_line", "03green_line", "05blue_line"}) {
    check::Node* l = logo.top()->find(n);
    EXPECT_EQ(l->scale.x, 0.0f) << n;
    for (const auto& v : l->verts) EXPECT_GE(v.p.x, 0.0f) << n;
  }
  // Final pose: letters met, "01" parts at 100, back opaque; render a 640 x 480 capture.
  logo.top()->find("line")->on = false;
  logo.top()->find("red_all")->translate = {-21, 0, -9};
  logo.top()->find("green_all")->translate = {0, 0, 0};
  logo.top()->find("blue_all")->translate = {21, 0, 9};
  for (const char* n : {"01red", "01green", "01blue"}) logo.top()->find(n)->on = true, logo.top()->find(n)->transparency = 100;
  logo.top()->find("back")->on = true;
  logo.top()->find("back")->transparency = 0;
  check::Raster r(640, 480, 0);
  check::Camera cam;
  cam.eye = {50, 15, -131};
  cam.target = {32.1f, 5.2f, -84};
  cam.lens = 50;
  check::Light light;
  light.direction = {-100, -100, 200};
  r.drawOverlays({{&logo, Affine{}}}, true);
  r.draw3D({{&logo, Affine{}}}, cam, light);
  // The glint searches rows 302-336 of columns 150-490 for the first pixel that is not black.
  int found = 0, atTop = 0;
  for (int x = 150; x <= 490; x += 10) {
    for (int y = 302; y <= 336; ++y)
      if (r.pixel(x, y) != 0) {
        ++found;
        atTop += y == 302;
        break;
      }
  }
  EXPECT_GT(found, 25) << "the word mark should run under most of the glint's path";
  EXPECT_LT(atTop, 5) << "the band should be black above the word mark";
  // And the letters themselves are in the picture above it.
  int letters = 0;
  for (int y = 60; y < 290; y += 4)
    for (int x = 0; x < 640; x += 4) letters += (r.pixel(x, y) & 0xFF0000) > 0x600000 || (r.pixel(x, y) & 0xFF00) > 0x6000;
  EXPECT_GT(letters, 200);
}

// --- pictures, sounds, archives -------------------------------------------------------------------

TEST_F(Content, MenuPicturesAndIcons)
{
  for (const char* f : {"etc/benchmark/menu1.bmp", "etc/benchmark/menu2.bmp"}) {
    const auto d = readAll(f);
    ASSERT_GE(d.size(), 54u);
    EXPECT_EQ(u32(d, 18), 960u);
    EXPECT_EQ(u32(d, 22), 672u);
    EXPECT_EQ(u16(d, 28), 24);
  }
  for (const char* f : {"../generated/hx21app.ico", "../generated/hx-21.ico"}) {
    const auto d = readAll(f);
    ASSERT_GE(d.size(), 22u);
    EXPECT_EQ(u16(d, 0), 0);
    EXPECT_EQ(u16(d, 2), 1);
    const int count = u16(d, 4);
    EXPECT_GE(count, 3);
    for (int i = 0; i < count; ++i) {
      const size_t e = 6 + 16 * size_t(i);
      EXPECT_LE(size_t(u32(d, e + 12)) + u32(d, e + 8), d.size());
    }
  }
}

struct Wave {
  int channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> s;
};

// Parses a wave the way the sound library does: fmt right after WAVE, data right after fmt.
bool parseWave(const uint8_t* d, size_t n, Wave& w)
{
  if (n < 44 || std::memcmp(d, "RIFF", 4) || std::memcmp(d + 8, "WAVE", 4) || std::memcmp(d + 12, "fmt ", 4)) return false;
  const std::vector<uint8_t> v(d, d + n);
  const uint32_t fmt = u32(v, 16);
  if (u16(v, 20) != 1) return false;
  w.channels = u16(v, 22);
  w.rate = int(u32(v, 24));
  w.bits = u16(v, 34);
  const size_t data = 20 + fmt;
  if (data + 8 > n || std::memcmp(d + data, "data", 4)) return false;
  const uint32_t size = u32(v, data + 4);
  if (data + 8 + size > n) return false;
  w.s.resize(size / 2);
  std::memcpy(w.s.data(), d + data + 8, size);
  return u32(v, 28) == uint32_t(w.rate * w.channels * 2) && u16(v, 32) == w.channels * 2;
}

struct Member {
  std::string name;
  uint32_t offset, size;
};

std::vector<Member> listArchive(const std::vector<uint8_t>& a)
{
  std::vector<Member> out;
  if (a.size() < 16) return out;
  const uint16_t count = u16(a, 4), rec = u16(a, 6);
  const uint32_t dir = u32(a, 8);
  EXPECT_EQ(rec, 40);
  EXPECT_EQ(dir, 48u * count);
  for (uint16_t i = 0; i < count; ++i) {
    const size_t e = 16 + 48 * size_t(i);
    std::string name;
    size_t k = 0;
    for (; k < 16 && u16(a, e + 2 * k); ++k) name += char(u16(a, e + 2 * k));
    EXPECT_LT(k, 16u) << "entry name not terminated";
    out.push_back({name, u32(a, e + 32), u32(a, e + 36)});
  }
  return out;
}

TEST_F(Content, ArchivesListTheirMembersAsCompleteWaves)
{
  struct A {
    const char* file;
    std::vector<std::string> names;
  };
  const A archives[] = {{"sound/ship.vfs", {"gearup.wav", "flapdown.wav", "outside.wav", "cockpit.wav", "cabin.wav"}},
                        {"sound/voice/cap.vfs", {"cap_07.wav"}},
                        {"sound/voice/co.vfs", {"co_07.wav"}}};
  for (const A& a : archives) {
    const auto d = readAll(a.file);
    const auto members = listArchive(d);
    for (const auto& want : a.names) {
      auto it = std::find_if(members.begin(), members.end(), [&](const Member& m) { return m.name == want; });
      ASSERT_NE(it, members.end()) << a.file << " lacks " << want;
      ASSERT_LE(size_t(it->offset) + it->size, d.size());
      Wave w;
      EXPECT_TRUE(parseWave(d.data() + it->offset, it->size, w)) << want;
      EXPECT_EQ(w.rate, 44100);
      EXPECT_EQ(w.bits, 16);
      EXPECT_FALSE(w.s.empty());
      const auto clipped = std::count_if(w.s.begin(), w.s.end(), [](int16_t v) { return v == 32767 || v <= -32767; });
      EXPECT_LT(clipped, 10) << want << " is clipped";
    }
  }
  // Folders with an archive hold no loose copies that would be passed over silently.
  EXPECT_FALSE(fs::exists(g_root + "/sound/ship"));
  EXPECT_FALSE(fs::exists(g_root + "/sound/voice/ak72.vfs"));
}

Wave waveOf(const std::string& rel)
{
  const auto d = readAll(rel);
  Wave w;
  if (rel.find(".vfs:") != std::string::npos) return w;
  EXPECT_TRUE(parseWave(d.data(), d.size(), w)) << rel;
  return w;
}

Wave memberOf(const std::string& archive, const std::string& name)
{
  const auto d = readAll(archive);
  Wave w;
  for (const Member& m : listArchive(d))
    if (m.name == name) parseWave(d.data() + m.offset, m.size, w);
  return w;
}

// Largest step across the loop seam against the typical step inside the sound.
void expectSeamless(const Wave& w, const std::string& what)
{
  ASSERT_GT(w.s.size(), size_t(w.channels) * 1000) << what;
  for (int c = 0; c < w.channels; ++c) {
    double sum = 0;
    size_t n = 0;
    double biggest = 0;
    for (size_t i = size_t(c) + size_t(w.channels); i < w.s.size(); i += size_t(w.channels)) {
      const double step = std::fabs(double(w.s[i]) - w.s[i - size_t(w.channels)]);
      sum += step * step;
      biggest = std::max(biggest, step);
      ++n;
    }
    const double rms = std::sqrt(sum / double(n));
    const double seam = std::fabs(double(w.s[size_t(c)]) - w.s[w.s.size() - size_t(w.channels) + size_t(c)]);
    EXPECT_LE(seam, std::max(4 * rms, 0.5 * biggest)) << what << " channel " << c << " jumps at the seam";
  }
}

TEST_F(Content, LoopsJoinWithoutAJumpAndMusicIsLongEnough)
{
  for (const char* n : {"outside.wav", "cockpit.wav", "cabin.wav"}) expectSeamless(memberOf("sound/ship.vfs", n), n);
  const Wave music = waveOf("sound/bgm/evening.wav");
  EXPECT_EQ(music.rate, 44100);
  EXPECT_GE(double(music.s.size()) / music.channels / music.rate, 60.0);
  expectSeamless(music, "evening.wav");
  for (const char* v : {"ak72_12_2ab", "ak72_13_1", "ak72_14_1tab", "ak72_15_2tab", "ak72_16_1ab", "ak72_16_1"}) {
    const Wave w = waveOf(std::string("sound/voice/ak72/") + v + ".wav");
    EXPECT_EQ(w.rate, 44100) << v;
    EXPECT_GT(w.s.size(), size_t(44100)) << v << " is shorter than a second";
  }
  const Wave logo = waveOf("logo/trv5/trv5.wav");
  EXPECT_EQ(logo.rate, 44100);
  EXPECT_GT(logo.s.size() / 2, size_t(10 * 44100));
}

TEST_F(Content, InitialisationFilesCarryTheKeysTheProgramsRead)
{
  const auto ini = readAll("hx21app.ini");
  const std::string s(ini.begin(), ini.end());
  for (const char* k : {"[FLIGHT]", "window=1", "[WINDOW]", "xsize=960", "ysize=600", "[FULLSCREEN]"})
    EXPECT_NE(s.find(k), std::string::npos) << k;
  const auto t = readAll("trvx.ini");
  const std::string ts(t.begin(), t.end());
  for (const char* k : {"[VIDEO]", "card=", "antialias=", "anisotropy="}) EXPECT_NE(ts.find(k), std::string::npos) << k;
}

TEST_F(Content, GenerationIsDeterministicAndLeavesUnchangedFilesAlone)
{
  const std::string other = fs::path(g_root).parent_path().string() + "/again";
  content::setOutputRoot(other);
  content::makeAircraft("hx21ank", 0);
  content::makeOverlays();
  const int before = content::filesWritten();
  for (const char* f : {"plane/hx21ank/hx21ank.tvm", "plane/hx21ank/hull.bmp", "etc/play_panel/play_panel.tvm",
                        "etc/benchmark/menu1.bmp"}) {
    std::ifstream a(g_root + "/" + f, std::ios::binary), b(other + "/" + f, std::ios::binary);
    const std::string sa((std::istreambuf_iterator<char>(a)), {}), sb((std::istreambuf_iterator<char>(b)), {});
    EXPECT_TRUE(sa == sb) << f << " differs between runs";
  }
  content::makeAircraft("hx21ank", 0);
  EXPECT_EQ(content::filesWritten(), before) << "a second run rewrote unchanged files";
  content::setOutputRoot(g_root);
}

} // namespace
