// Text model writer (see tvm.h). Lines follow the record order the format's own writer uses.
#include "tvm.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace content {

uint32_t bgr(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

Layer& Layer::add(const std::string& childName)
{
  if (childName.size() > 31) throw std::runtime_error("layer name too long: " + childName);
  children.push_back(std::make_unique<Layer>());
  children.back()->name = childName;
  children.back()->parent = this;
  return *children.back();
}

Layer* Layer::find(const std::string& n)
{
  if (name == n) return this;
  for (auto& c : children)
    if (Layer* f = c->find(n)) return f;
  return nullptr;
}

Affine Layer::local() const { return Affine::layer(translate, rotate, scale, rotationOrder); }

Affine Layer::world() const { return parent ? local().then(parent->world()) : local(); }

void Layer::setWorldMesh(const Mesh& m) { mesh = m.transformed(world().inverse()); }

void Layer::addWorldMesh(const Mesh& m) { mesh.append(m.transformed(world().inverse())); }

Layer& Layer::colour(uint32_t c, uint32_t specularRgb, int dull)
{
  material = true;
  diffuse = ambient = bgr(c);
  specular = bgr(specularRgb);
  dullness = dull;
  emissive = 0;
  return *this;
}

Layer& Layer::glow(uint32_t c)
{
  material = true;
  diffuse = ambient = specular = 0;
  emissive = bgr(c);
  return *this;
}

Layer& Layer::texture(const std::string& file, const std::string& blend, const std::string& filter,
                      const std::string& addressing)
{
  Stage s;
  s.file = file;
  s.blend = blend;
  s.filter = filter;
  s.addressing = addressing;
  stages.push_back(s);
  return *this;
}

Layer& Layer::lamp(V3 worldPos, float size, uint32_t c)
{
  point = true;
  pointSize = size;
  mesh = Mesh{};
  mesh.add({world().inverse().point(worldPos), {0, 0, 0}, 0, 0});
  glow(c);
  texture(kLampGlowFile, "FLASH_COLOR", "LINEAR", "CLAMP");
  attributes.push_back("NoFog");
  return *this;
}

std::string formatReal(float v)
{
  if (!std::isfinite(v) || std::fabs(v) > 999999.0f) throw std::runtime_error("real out of range: " + std::to_string(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", double(v));
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0" || s.empty()) s = "0";
  return s;
}

static std::string hex(uint32_t v)
{
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%08X", v);
  return buf;
}

static void line(std::string& out, int depth, const std::string& text)
{
  out.append(size_t(depth), '\t');
  out += text;
  out += "\r\n";
}

static std::string q(const std::string& s)
{
  if (s.find_first_of("\"(){}") != std::string::npos) throw std::runtime_error("unwritable string: " + s);
  return "\"" + s + "\"";
}

static int texturedStages(const Layer& l)
{
  int n = 0;
  for (size_t i = 0; i < l.stages.size(); ++i)
    if (!l.stages[i].file.empty()) n = int(i) + 1;
  return n;
}

static void writeLayer(std::string& out, const Layer& l, int d)
{
  line(out, d, "Layer(" + q(l.name) + "){");
  const int in = d + 1;
  if (!l.on) line(out, in, "Switch(0)");
  const V3 t = l.translate, r = l.rotate, s = l.scale;
  if (t.x != 0 || t.y != 0 || t.z != 0)
    line(out, in, "Translate(" + formatReal(t.x) + "," + formatReal(t.y) + "," + formatReal(t.z) + ")");
  if (r.x != 0 || r.y != 0 || r.z != 0 || !l.rotationOrder.empty())
    line(out, in, "Rotate(" + formatReal(r.x) + "," + formatReal(r.y) + "," + formatReal(r.z) + "," +
                      q(l.rotationOrder.empty() ? "ZXY" : l.rotationOrder) + ")");
  if (s.x != 1 || s.y != 1 || s.z != 1)
    line(out, in, "Scale(" + formatReal(s.x) + "," + formatReal(s.y) + "," + formatReal(s.z) + ")");
  if (l.nearLimit != 0 || l.farLimit != 0)
    line(out, in, "Range(" + formatReal(l.nearLimit) + "," + formatReal(l.farLimit) + ")");
  if (l.material)
    line(out, in, "Material(" + hex(l.diffuse) + "," + hex(l.specular) + "," + std::to_string(l.dullness) + "," +
                      hex(l.ambient) + "," + hex(l.emissive) + ")");
  if (!l.attributes.empty()) {
    std::string a = "Attribute(";
    for (size_t i = 0; i < l.attributes.size(); ++i) a += (i ? "," : "") + q(l.attributes[i]);
    line(out, in, a + ")");
  }
  if (l.transparency > 1) line(out, in, "Blend(" + std::to_string(l.transparency) + ")");
  const int sets = texturedStages(l);
  const bool geometry = l.point ? !l.mesh.verts.empty() : !l.mesh.tris.empty();
  if (geometry) {
    if (l.point)
      line(out, in, "Mode(\"LINE\"," + formatReal(l.pointSize) + ")");
    else
      line(out, in, sets ? "Mode(\"TEXTURE" + std::to_string(sets) + "\")" : "Mode(\"SOLID\")");
  }
  for (const Stage& st : l.stages) {
    if (st.file.empty())
      line(out, in, "Stage(" + q(st.blend) + ",\"\")");
    else
      line(out, in, "Stage(" + q(st.blend) + "," + q(st.file) + "," + std::to_string(st.option) + "," +
                        q(st.addressing) + "," + q(st.filter) + ",\"Unkown\")");
  }
  if (geometry) {
    if (l.mesh.verts.size() > 65536) throw std::runtime_error("too many vertices in " + l.name);
    if (!l.point)
      for (auto tr : l.mesh.tris)
        line(out, in, "Face(" + std::to_string(tr[0]) + "," + std::to_string(tr[1]) + "," + std::to_string(tr[2]) + ")");
    for (const Vert& v : l.mesh.verts) {
      std::string s2 = "Vertex([" + formatReal(v.p.x) + "," + formatReal(v.p.y) + "," + formatReal(v.p.z) + "],[" +
                       formatReal(v.n.x) + "," + formatReal(v.n.y) + "," + formatReal(v.n.z) + "]";
      for (int k = 0; k < sets; ++k) {
        const float f = k ? l.detailScale : 1.0f;
        s2 += ",[" + formatReal(v.u * f) + "," + formatReal(v.v * f) + "]";
      }
      line(out, in, s2 + ")");
    }
  }
  for (auto& c : l.children) {
    try {
      writeLayer(out, *c, in);
    } catch (const std::exception& e) {
      throw std::runtime_error(c->name + ": " + e.what());
    }
  }
  line(out, d, "}");
}

std::string writeTvm(const Layer& top)
{
  std::string out;
  line(out, 0, "Information(\"Tarvex3D\",\"Velmora CO.,LTD.\",\"5.0\")");
  line(out, 0, "Comment(\"\")");
  writeLayer(out, top, 0);
  return out;
}

} // namespace content
