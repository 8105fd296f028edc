// The content's layer trees as glTF (see gltf_copy.h): each value as the text model file holds it
// (formatReal), so that both files describe the same numbers, written by the glTF plug-in's writer.
#include "gltf_copy.h"

#include "gltf_export.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace content {

namespace {

// The engine's numbers for the words the text model files use (as the text model plug-in's tables).
struct Word {
  const char* word;
  uint32_t number;
};
const Word kRotationOrders[] = {{"ZXY", 1}, {"ZYX", 2}, {"YXZ", 3}, {"YZX", 4}, {"XYZ", 5}, {"XZY", 6}, {"ZX", 7},
                                {"ZY", 8},  {"YX", 9},  {"YZ", 10}, {"XY", 11}, {"XZ", 12}, {"Z", 13}, {"Y", 14},
                                {"X", 15},  {"NoRotate", 16}};
const Word kBlends[] = {{"NONE", 0},           {"SHADE", 0x8000}, {"NORMAL", 0x0101},     {"NORMAL_SHADE", 0x8101},
                        {"BLEND", 0x0102},     {"ADD", 0x0302},   {"ADDSHADE", 0x8302},   {"SUTRACT", 0x0308},
                        {"MASK", 0x0301},      {"MASK_SHADE", 0x8301}, {"FLASH", 0x0304}, {"FLASH_COLOR", 0x8304}};
const Word kAddressing[] = {{"REPEAT", 0}, {"MIRROR", 1}, {"CLAMP", 2}};
const Word kFilters[] = {{"POINT", 0x100}, {"LINEAR", 0x200}, {"ANISOTROPIC", 0x400}, {"MIPMAPPOINT", 0x101},
                         {"MIPMAPLINEAR", 0x201}, {"MIPMAPANISOTROPIC", 0x401}};
const Word kAttributes[] = {{"BackFace", 0x0001}, {"NoFog", 0x0002}, {"ZNoWrite", 0x0100}, {"WireFrame", 0x1000},
                            {"Screen", 0x8000}};

template <size_t N>
uint32_t number(const Word (&table)[N], const std::string& word, uint32_t otherwise)
{
  for (const Word& w : table)
    if (word == w.word) return w.number;
  return otherwise;
}

// The value as the text model holds it.
float asWritten(float v) { return std::strtof(formatReal(v).c_str(), nullptr); }

Bytes readOutput(const std::string& rel)
{
  std::ifstream in(outputPath(rel), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Converter {
public:
  Converter(const std::string& folder, SceneTree* tree) : folder_(folder), tree_(tree) {}
  int layer(const Layer& l);

private:
  int image(const Stage& st);
  const std::string folder_;
  SceneTree* tree_;
  std::vector<std::pair<std::string, int>> images_;
};

int Converter::image(const Stage& st)
{
  const std::string key = st.file + (st.option ? "#key" : "");
  for (const auto& i : images_)
    if (i.first == key) return i.second;
  SceneImage img;
  img.name = st.file;
  img.bytes = readOutput(folder_ + st.file);
  img.colourKey = st.option != 0;
  const size_t dot = st.file.rfind('.');
  if (!img.colourKey && dot != std::string::npos)
    img.mask = readOutput(folder_ + st.file.substr(0, dot) + "_alpha" + st.file.substr(dot));
  if (img.bytes.empty()) throw std::runtime_error("texture not written: " + st.file);
  images_.push_back({key, (int)tree_->images.size()});
  tree_->images.push_back(std::move(img));
  return images_.back().second;
}

int Converter::layer(const Layer& l)
{
  SceneLayer s;
  s.name = l.name;
  s.on = l.on;
  const V3* motion[3] = {&l.translate, &l.rotate, &l.scale};
  float* out[3] = {s.translate, s.rotate, s.scale};
  for (int k = 0; k < 3; ++k)
    out[k][0] = asWritten(motion[k]->x), out[k][1] = asWritten(motion[k]->y), out[k][2] = asWritten(motion[k]->z);
  s.rotationOrder = (int)number(kRotationOrders, l.rotationOrder, 1);
  s.nearLimit = asWritten(l.nearLimit);
  s.farLimit = asWritten(l.farLimit);
  s.hasMaterial = true;
  if (l.material) {
    s.material.diffuse = l.diffuse, s.material.specular = l.specular, s.material.ambient = l.ambient;
    s.material.emissive = l.emissive, s.material.dullness = (float)l.dullness;
  }
  s.material.transparency = l.transparency > 1 ? (uint32_t)l.transparency : 0;
  for (const std::string& a : l.attributes) s.material.attributes |= (uint16_t)number(kAttributes, a, 0);
  const bool geometry = l.point ? !l.mesh.verts.empty() : !l.mesh.tris.empty();
  if (geometry) {
    const bool textured = !l.stages.empty() && !l.stages[0].file.empty();
    s.mode = l.point ? kSceneModeLines : textured ? kSceneModeTextured1 : kSceneModeSolid;
    s.pointSize = asWritten(l.pointSize);
    if (textured) {
      const Stage& st = l.stages[0];
      s.stage.image = image(st);
      s.stage.blend = number(kBlends, st.blend, kSceneBlendNormalShade);
      s.stage.addressing = number(kAddressing, st.addressing, SCENE_REPEAT);
      s.stage.filter = number(kFilters, st.filter, kSceneFilterMipmapLinear);
      s.stage.option = st.option;
    }
    for (const Vert& v : l.mesh.verts) {
      SceneVertex o = {};
      const float values[8] = {v.p.x, v.p.y, v.p.z, v.n.x, v.n.y, v.n.z, v.u, v.v};
      float* dest[8] = {&o.position[0], &o.position[1], &o.position[2], &o.normal[0],
                        &o.normal[1],   &o.normal[2],   &o.u[0],        &o.v[0]};
      for (int k = 0; k < 8; ++k) *dest[k] = asWritten(values[k]);
      s.vertices.push_back(o);
    }
    if (!l.point)
      for (const auto& t : l.mesh.tris)
        for (uint32_t i : t) s.indices.push_back((uint16_t)i);
  }
  const int me = (int)tree_->layers.size();
  tree_->layers.push_back(std::move(s));
  for (const auto& c : l.children) {
    const int child = layer(*c);
    tree_->layers[(size_t)me].children.push_back(child);
  }
  return me;
}

} // namespace

void writeGltfCopies(const Layer& top, const std::string& folder, const std::string& name)
{
  SceneTree tree;
  Converter converter(folder, &tree);
  tree.roots.push_back(converter.layer(top));
  for (bool binary : {false, true}) {
    std::vector<ExportFile> files;
    std::vector<std::string> skipped;
    std::string error;
    if (!gltf_export(tree, name + (binary ? ".glb" : ".gltf"), binary, &files, &skipped, &error))
      throw std::runtime_error(name + " as glTF: " + error);
    if (!skipped.empty()) throw std::runtime_error(name + " as glTF: texture " + skipped.front() + " not written");
    for (const ExportFile& f : files) writeFile("..\\gltf_models\\" + name + "\\" + f.name, f.bytes);
  }
}

} // namespace content
