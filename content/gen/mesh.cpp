// Mesh building (see mesh.h).
#include "mesh.h"

#include <cmath>

namespace content {

uint32_t Mesh::add(const Vert& v)
{
  verts.push_back(v);
  return uint32_t(verts.size() - 1);
}

void Mesh::append(const Mesh& m)
{
  const uint32_t base = uint32_t(verts.size());
  verts.insert(verts.end(), m.verts.begin(), m.verts.end());
  for (auto t : m.tris) tris.push_back({t[0] + base, t[1] + base, t[2] + base});
}

Mesh Mesh::transformed(const Affine& a) const
{
  Mesh r = *this;
  const Affine inv = a.inverse();
  for (Vert& v : r.verts) {
    v.p = a.point(v.p);
    // Normals go through the inverse transpose.
    const V3 n = v.n;
    v.n = normalize({n.x * inv.m[0][0] + n.y * inv.m[0][1] + n.z * inv.m[0][2],
                     n.x * inv.m[1][0] + n.y * inv.m[1][1] + n.z * inv.m[1][2],
                     n.x * inv.m[2][0] + n.y * inv.m[2][1] + n.z * inv.m[2][2]});
  }
  if (a.det() < 0)
    for (auto& t : r.tris) std::swap(t[1], t[2]);
  return r;
}

void Mesh::smoothNormals()
{
  for (Vert& v : verts) v.n = {};
  for (auto t : tris) {
    const V3 n = cross(verts[t[1]].p - verts[t[0]].p, verts[t[2]].p - verts[t[0]].p);
    for (uint32_t i : t) verts[i].n = verts[i].n + n;
  }
  for (Vert& v : verts) v.n = normalize(v.n);
}

void Mesh::flip()
{
  for (auto& t : tris) std::swap(t[1], t[2]);
  for (Vert& v : verts) v.n = -v.n;
}

void Mesh::flatTri(V3 a, V3 b, V3 c, float ua, float va, float ub, float vb, float uc, float vc)
{
  const V3 n = normalize(cross(b - a, c - a));
  const uint32_t i = add({a, n, ua, va});
  add({b, n, ub, vb});
  add({c, n, uc, vc});
  tri(i, i + 1, i + 2);
}

void Mesh::flatQuad(V3 a, V3 b, V3 c, V3 d, float u0, float v0, float u1, float v1)
{
  const V3 n = normalize(cross(b - a, c - a) + cross(c - a, d - a));
  const uint32_t i = add({a, n, u0, v0});
  add({b, n, u1, v0});
  add({c, n, u1, v1});
  add({d, n, u0, v1});
  tri(i, i + 1, i + 2);
  tri(i, i + 2, i + 3);
}

void Mesh::box(V3 lo, V3 hi)
{
  const V3 c[8] = {{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z},
                   {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}};
  flatQuad(c[0], c[1], c[2], c[3]); // front (-z)
  flatQuad(c[5], c[4], c[7], c[6]); // back (+z)
  flatQuad(c[4], c[0], c[3], c[7]); // left (-x)
  flatQuad(c[1], c[5], c[6], c[2]); // right (+x)
  flatQuad(c[4], c[5], c[1], c[0]); // top
  flatQuad(c[3], c[2], c[6], c[7]); // bottom
}

void Mesh::orientedBox(V3 centre, V3 half, V3 angles)
{
  Mesh b;
  b.box(-half, half);
  append(b.transformed(Affine::rotation(angles).then(Affine::translation(centre))));
}

void Mesh::orientFrom(V3 centre, size_t firstTri)
{
  for (size_t i = firstTri; i < tris.size(); ++i) {
    auto& t = tris[i];
    const V3 a = verts[t[0]].p, b = verts[t[1]].p, c = verts[t[2]].p;
    const V3 n = cross(b - a, c - a);
    if (dot(n, (a + b + c) * (1.0f / 3) - centre) < 0) std::swap(t[1], t[2]);
  }
}

void Mesh::orientTowards(V3 dir, size_t firstTri)
{
  for (size_t i = firstTri; i < tris.size(); ++i) {
    auto& t = tris[i];
    const V3 n = cross(verts[t[1]].p - verts[t[0]].p, verts[t[2]].p - verts[t[0]].p);
    if (dot(n, dir) < 0) std::swap(t[1], t[2]);
    for (uint32_t k : t) verts[k].n = normalize(dir);
  }
}

void Mesh::loft(int rings, int n, const std::function<V3(int, int)>& point, bool capStart, bool capEnd, bool inward)
{
  Mesh m;
  std::vector<V3> centres(static_cast<size_t>(rings));
  for (int r = 0; r < rings; ++r) {
    V3 c{};
    for (int k = 0; k < n; ++k) c = c + point(r, k);
    centres[size_t(r)] = c * (1.0f / float(n));
    for (int k = 0; k <= n; ++k)
      m.add({point(r, k % n), {}, float(r) / float(rings - 1), float(k) / float(n)});
  }
  for (int r = 0; r + 1 < rings; ++r)
    for (int k = 0; k < n; ++k) {
      const uint32_t a = uint32_t(r * (n + 1) + k), b = a + 1, c = a + uint32_t(n + 1), d = c + 1;
      const size_t first = m.tris.size();
      m.tri(a, b, d);
      m.tri(a, d, c);
      // Each band faces away from the axis between its two ring centres.
      const V3 mid = (centres[size_t(r)] + centres[size_t(r + 1)]) * 0.5f;
      m.orientFrom(mid, first);
    }
  // Drop triangles that collapsed (rings that shrink to a point).
  std::vector<std::array<uint32_t, 3>> keep;
  for (auto t : m.tris)
    if (length(cross(m.verts[t[1]].p - m.verts[t[0]].p, m.verts[t[2]].p - m.verts[t[0]].p)) > 1e-7f) keep.push_back(t);
  m.tris = keep;
  m.smoothNormals();
  auto cap = [&](int r, V3 away) {
    const V3 c = centres[size_t(r)];
    Mesh capm;
    const uint32_t ci = capm.add({c, {}, 0.5f, 0.5f});
    for (int k = 0; k < n; ++k) capm.add({point(r, k), {}, 0, 0});
    for (int k = 0; k < n; ++k) capm.tri(ci, ci + 1 + uint32_t(k), ci + 1 + uint32_t((k + 1) % n));
    capm.orientFrom(c - away);
    for (Vert& v : capm.verts) v.n = normalize(away);
    m.append(capm);
  };
  if (capStart && rings > 1) cap(0, centres[0] - centres[1]);
  if (capEnd && rings > 1) cap(rings - 1, centres[size_t(rings - 1)] - centres[size_t(rings - 2)]);
  if (inward) m.flip();
  append(m);
}

void Mesh::cylinder(V3 a, V3 b, float ra, float rb, int n, bool caps)
{
  const V3 axis = normalize(b - a);
  const V3 helper = std::fabs(axis.y) < 0.9f ? V3{0, 1, 0} : V3{1, 0, 0};
  const V3 s = normalize(cross(helper, axis)), t = cross(axis, s);
  loft(2, n, [&](int r, int k) {
    const float ang = 2 * kPi * float(k) / float(n);
    const float rr = r == 0 ? ra : rb;
    return (r == 0 ? a : b) + s * (rr * std::cos(ang)) + t * (rr * std::sin(ang));
  }, caps, caps);
}

} // namespace content
