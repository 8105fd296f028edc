// Strict text model reader (see tvm_check.h).
#include "tvm_check.h"

#include <array>
#include <cstring>
#include <fstream>
#include <sstream>

namespace check {

bool Node::has(const std::string& a) const
{
  for (const auto& x : attributes)
    if (x == a) return true;
  return false;
}

Node* Node::find(const std::string& n)
{
  if (name == n) return this;
  for (auto& c : children)
    if (Node* f = c->find(n)) return f;
  return nullptr;
}

void Node::collect(std::vector<Node*>& out)
{
  out.push_back(this);
  for (auto& c : children) c->collect(out);
}

int wordNumber(const std::string& table, const std::string& w)
{
  static const std::map<std::string, std::map<std::string, int>> tables = {
      {"mode", {{"LINE", int(0x80010000u)}, {"SOLID", int(0x80140000u)}, {"TEXTURE1", int(0x80340001u)},
                {"TEXTURE2", int(0x80340002u)}, {"TEXTURE3", int(0x80340003u)}, {"TEXTURE4", int(0x80340004u)}}},
      {"rotation", {{"ZXY", 1}, {"ZYX", 2}, {"YXZ", 3}, {"YZX", 4}, {"XYZ", 5}, {"XZY", 6}, {"ZX", 7}, {"ZY", 8},
                    {"YX", 9}, {"YZ", 10}, {"XY", 11}, {"XZ", 12}, {"Z", 13}, {"Y", 14}, {"X", 15}, {"NoRotate", 16}}},
      {"transform", {{"SRT", 1}, {"STR", 2}, {"RST", 3}, {"RTS", 4}, {"TSR", 5}, {"TRS", 6}, {"SR", 7}, {"ST", 8},
                     {"RS", 9}, {"RT", 10}, {"TS", 11}, {"TR", 12}, {"S", 13}, {"R", 14}, {"T", 15}, {"NoOrder", 16}}},
      {"blend", {{"NONE", 0}, {"SHADE", 0x8000}, {"NORMAL", 0x0101}, {"NORMAL_SHADE", 0x8101}, {"BLEND", 0x0102},
                 {"ADD", 0x0302}, {"ADDSHADE", 0x8302}, {"SUTRACT", 0x0308}, {"MASK", 0x0301}, {"MASK_SHADE", 0x8301},
                 {"FLASH", 0x0304}, {"FLASH_COLOR", 0x8304}}},
      {"addressing", {{"REPEAT", 0}, {"MIRROR", 1}, {"CLAMP", 2}}},
      {"filter", {{"POINT", 0x100}, {"LINEAR", 0x200}, {"ANISOTROPIC", 0x400}, {"MIPMAPPOINT", 0x101},
                  {"MIPMAPLINEAR", 0x201}, {"MIPMAPANISOTROPIC", 0x401}}},
      {"mapping", {{"Unkown", 0}, {"XFACE", 0x10}, {"YFACE", 0x11}, {"ZFACE", 0x12}, {"XAXIS", 0x20}, {"YAXIS", 0x21},
                   {"ZAXIS", 0x22}}},
  };
  auto t = tables.find(table);
  if (t == tables.end()) return -1;
  auto it = t->second.find(w);
  return it == t->second.end() ? -1 : it->second;
}

namespace {

struct Arg {
  char kind; // 'S', 'H', 'R'
  std::string s;
  uint32_t h = 0;
  float r = 0;
};

// The syntax pass: drops white space and brackets outside strings, checks nesting.
bool syntaxPass(const std::string& in, std::string& out, int& line, std::string& err)
{
  std::vector<char> stack;
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '[' || c == ']') continue;
    if (c == '\n') { ++line; continue; }
    if (c == '"') {
      const size_t end = in.find('"', i + 1);
      if (end == std::string::npos) {
        for (size_t k = i; k < in.size(); ++k) line += in[k] == '\n';
        err = "string left open";
        return false;
      }
      out.append(in, i, end - i + 1);
      i = end;
      continue;
    }
    if (c == '(' || c == '{') { stack.push_back(c); out += c; continue; }
    if (c == ')' || c == '}') {
      if (stack.empty()) { err = "closing without opening"; return false; }
      if ((c == ')') != (stack.back() == '(')) { err = std::string("misplaced ") + c; return false; }
      stack.pop_back();
      out += c;
      continue;
    }
    out += c;
  }
  if (!stack.empty()) { err = "unclosed bracket at end"; return false; }
  return true;
}

bool parseArgs(const std::string& a, std::vector<Arg>& args, std::string& err)
{
  size_t i = 0;
  while (i < a.size()) {
    Arg arg;
    if (a[i] == '"') {
      const size_t e = a.find('"', i + 1);
      arg.kind = 'S';
      arg.s = a.substr(i + 1, e - i - 1);
      if (arg.s.size() > 63) { err = "string longer than 63 characters"; return false; }
      i = e + 1;
    } else if (a[i] == '#') {
      arg.kind = 'H';
      ++i;
      size_t digits = 0;
      while (i < a.size() && ((a[i] >= '0' && a[i] <= '9') || (a[i] >= 'A' && a[i] <= 'F'))) {
        arg.h = arg.h * 16 + uint32_t(a[i] <= '9' ? a[i] - '0' : a[i] - 'A' + 10);
        ++i;
        ++digits;
      }
      if (digits == 0 || digits > 8) { err = "bad hexadecimal value"; return false; }
    } else {
      arg.kind = 'R';
      size_t j = i;
      bool neg = false;
      if (j < a.size() && (a[j] == '-' || a[j] == '+')) neg = a[j++] == '-';
      size_t intDigits = 0, fracDigits = 0;
      double v = 0, f = 0, scale = 1;
      while (j < a.size() && a[j] >= '0' && a[j] <= '9') { v = v * 10 + (a[j++] - '0'); ++intDigits; }
      if (j < a.size() && a[j] == '.') {
        ++j;
        while (j < a.size() && a[j] >= '0' && a[j] <= '9') { f = f * 10 + (a[j++] - '0'); scale *= 10; ++fracDigits; }
      }
      if (intDigits + fracDigits == 0) { err = "argument is no number: " + a.substr(i, 12); return false; }
      if (intDigits > 9 || fracDigits > 9) { err = "number too long for the reader: " + a.substr(i, 16); return false; }
      arg.r = float((v + f / scale) * (neg ? -1 : 1));
      i = j;
    }
    args.push_back(arg);
    if (args.size() > 14) { err = "more than 14 arguments"; return false; }
    if (i < a.size()) {
      if (a[i] != ',') { err = "expected ',' in arguments: " + a.substr(i, 12); return false; }
      ++i;
      if (i == a.size()) { err = "argument missing after ','"; return false; }
    }
  }
  return true;
}

std::string signature(const std::vector<Arg>& args)
{
  std::string s;
  for (const Arg& a : args) s += a.kind;
  return s;
}

struct Parser {
  std::string err;

  bool body(const std::string& t, size_t from, size_t to, Node& cur)
  {
    uint32_t pendingMode = 0;
    bool haveMode = false;
    size_t i = from;
    while (i < to) {
      const size_t open = t.find('(', i);
      if (open == std::string::npos || open >= to) { err = "record without '('"; return false; }
      const std::string name = t.substr(i, open - i);
      // The argument text ends at the first ')' (strings may not hold one).
      const size_t close = t.find(')', open);
      if (close == std::string::npos || close >= to) { err = "record without ')'"; return false; }
      std::vector<Arg> args;
      if (!parseArgs(t.substr(open + 1, close - open - 1), args, err)) { err = name + ": " + err; return false; }
      size_t next = close + 1;
      size_t bodyFrom = 0, bodyTo = 0;
      if (next < to && t[next] == '{') {
        int depth = 0;
        size_t k = next;
        for (; k < to; ++k) {
          if (t[k] == '{') ++depth;
          if (t[k] == '}' && --depth == 0) break;
        }
        if (k >= to) { err = "body without '}'"; return false; }
        bodyFrom = next + 1;
        bodyTo = k;
        next = k + 1;
      }
      const std::string sig = signature(args);
      auto need = [&](const std::string& s) {
        if (sig != s) err = name + ": signature " + sig + " where " + s + " is expected";
        return sig == s;
      };
      if (name == "Layer") {
        if (!need("S")) return false;
        if (args[0].s.size() > 31) { err = "layer name longer than 31 characters: " + args[0].s; return false; }
        auto child = std::make_unique<Node>();
        child->name = args[0].s;
        child->parent = &cur;
        Node& c = *child;
        cur.children.push_back(std::move(child));
        if (bodyTo > bodyFrom && !body(t, bodyFrom, bodyTo, c)) { err = "in " + c.name + ": " + err; return false; }
      } else if (bodyTo > bodyFrom) {
        err = name + ": only Layer records have bodies";
        return false;
      } else if (name == "Information") {
        if (!need("SSS")) return false;
      } else if (name == "Comment") {
        if (!need("S")) return false;
      } else if (name == "Switch") {
        if (!need("R")) return false;
        cur.on = args[0].r != 0;
      } else if (name == "Matrix") {
        if (!need("S")) return false;
        if (wordNumber("transform", args[0].s) < 0) { err = "unknown transform order " + args[0].s; return false; }
        cur.transformOrder = args[0].s;
      } else if (name == "Translate" || name == "Scale") {
        if (!need("RRR")) return false;
        (name == "Translate" ? cur.translate : cur.scale) = {args[0].r, args[1].r, args[2].r};
      } else if (name == "Rotate") {
        if (!need("RRRS")) return false;
        if (!args[3].s.empty() && wordNumber("rotation", args[3].s) < 0) { err = "unknown rotation order"; return false; }
        cur.rotate = {args[0].r, args[1].r, args[2].r};
        if (!args[3].s.empty()) cur.rotationOrder = args[3].s;
      } else if (name == "Range") {
        if (!need("RR")) return false;
        cur.nearLimit = args[0].r;
        cur.farLimit = args[1].r;
      } else if (name == "Color") {
        if (!need("H")) return false;
        cur.diffuse = cur.ambient = args[0].h;
      } else if (name == "Material") {
        if (!need("HHRHH")) return false;
        cur.diffuse = args[0].h;
        cur.specular = args[1].h;
        cur.dullness = args[2].r;
        cur.ambient = args[3].h;
        cur.emissive = args[4].h;
      } else if (name == "Attribute") {
        if (sig.empty() || sig.size() > 5 || sig.find_first_not_of('S') != std::string::npos) {
          err = "Attribute takes one to five words";
          return false;
        }
        for (const Arg& a : args) {
          if (a.s != "BackFace" && a.s != "NoFog" && a.s != "WireFrame" && a.s != "ZNoWrite" && a.s != "Screen") {
            err = "unknown attribute " + a.s;
            return false;
          }
          cur.attributes.push_back(a.s);
        }
      } else if (name == "Blend") {
        if (!need("R")) return false;
        cur.transparency = int(args[0].r);
      } else if (name == "Mode") {
        if (sig != "S" && sig != "SR") { err = "Mode takes S or S,R"; return false; }
        const int m = wordNumber("mode", args[0].s);
        if (m == -1) { err = "unknown mode " + args[0].s; return false; }
        pendingMode = uint32_t(m);
        haveMode = true;
        cur.pointSize = sig == "SR" ? args[1].r : 0;
      } else if (name == "Stage") {
        if (sig != "SS" && sig != "SSRSSS" && sig != "SSRSSSRRRRR") { err = "Stage signature " + sig; return false; }
        Stage st;
        st.blend = wordNumber("blend", args[0].s);
        if (st.blend < 0) { err = "unknown stage blend " + args[0].s; return false; }
        st.file = args[1].s;
        if (sig.size() > 2) {
          st.option = int(args[2].r);
          st.addressing = args[3].s;
          st.filter = args[4].s;
          st.mapping = args[5].s;
          if (wordNumber("addressing", st.addressing) < 0 || wordNumber("filter", st.filter) < 0 ||
              wordNumber("mapping", st.mapping) < 0) {
            err = "unknown stage word";
            return false;
          }
        }
        if (cur.stages.size() >= 4) { err = "more than four stages"; return false; }
        cur.stages.push_back(st);
      } else if (name == "Face") {
        if (!need("RRR")) return false;
        std::array<uint16_t, 3> f;
        for (int k = 0; k < 3; ++k) {
          if (args[size_t(k)].r < 0 || args[size_t(k)].r > 65535 || args[size_t(k)].r != float(int(args[size_t(k)].r))) {
            err = "bad face index";
            return false;
          }
          f[size_t(k)] = uint16_t(args[size_t(k)].r);
        }
        cur.faces.push_back(f);
      } else if (name == "Vertex") {
        if (sig.size() < 6 || sig.size() > 14 || sig.size() % 2 || sig.find_first_not_of('R') != std::string::npos) {
          err = "Vertex signature " + sig;
          return false;
        }
        Vertex v;
        v.p = {args[0].r, args[1].r, args[2].r};
        v.n = {args[3].r, args[4].r, args[5].r};
        for (size_t k = 6; k + 1 < args.size(); k += 2) {
          v.uv[(k - 6) / 2][0] = args[k].r;
          v.uv[(k - 6) / 2][1] = args[k + 1].r;
        }
        cur.verts.push_back(v);
        if (cur.verts.size() > 65536) { err = "more than 65536 vertices"; return false; }
      } else {
        err = "unknown record " + name;
        return false;
      }
      i = next;
    }
    if (haveMode && !cur.verts.empty()) cur.mode = pendingMode;
    for (const auto& f : cur.faces)
      for (uint16_t k : f)
        if (k >= cur.verts.size()) { err = "face index beyond the vertices"; return false; }
    return true;
  }
};

} // namespace

bool parseModel(const std::string& text, Model& out, std::string& error)
{
  std::string compact;
  int line = 1;
  std::string err;
  if (!syntaxPass(text, compact, line, err)) {
    error = "syntax error (line " + std::to_string(line) + "): " + err;
    return false;
  }
  out.root = std::make_unique<Node>();
  out.root->name = "";
  Parser p;
  if (!p.body(compact, 0, compact.size(), *out.root)) {
    error = p.err;
    return false;
  }
  return true;
}

bool readModel(const std::string& path, Model& out, std::string& error)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  const size_t slash = path.find_last_of('/');
  out.folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return parseModel(ss.str(), out, error);
}

} // namespace check
