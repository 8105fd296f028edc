// Vector and transform helpers (see geom.h).
#include "geom.h"

namespace content {

V3 rotateAxis(V3 v, char axis, float deg)
{
  const float s = std::sin(rad(deg)), c = std::cos(rad(deg));
  switch (axis) {
  case 'X': return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
  case 'Y': return {v.x * c + v.z * s, v.y, v.z * c - v.x * s};
  case 'Z': return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
  }
  return v;
}

V3 rotateOrder(V3 v, V3 a, const std::string& order)
{
  const std::string o = order.empty() ? "ZXY" : order;
  for (char ax : o) v = rotateAxis(v, ax, ax == 'X' ? a.x : ax == 'Y' ? a.y : a.z);
  return v;
}

V3 Affine::point(V3 p) const { return dir(p) + t; }

V3 Affine::dir(V3 d) const
{
  return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0], d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
          d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
}

Affine Affine::then(const Affine& b) const
{
  Affine r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j];
  r.t = b.point(t);
  return r;
}

float Affine::det() const
{
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

Affine Affine::inverse() const
{
  Affine r;
  const float d = det();
  r.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / d;
  r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / d;
  r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / d;
  r.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / d;
  r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / d;
  r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / d;
  r.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / d;
  r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / d;
  r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / d;
  r.t = -r.dir(t);
  return r;
}

Affine Affine::translation(V3 t)
{
  Affine a;
  a.t = t;
  return a;
}

Affine Affine::scaling(V3 s)
{
  Affine a;
  a.m[0][0] = s.x;
  a.m[1][1] = s.y;
  a.m[2][2] = s.z;
  return a;
}

Affine Affine::rotation(V3 angles, const std::string& order)
{
  // Rows of the matrix are the images of the unit vectors (row-vector convention).
  Affine a;
  const V3 ex = rotateOrder({1, 0, 0}, angles, order), ey = rotateOrder({0, 1, 0}, angles, order),
           ez = rotateOrder({0, 0, 1}, angles, order);
  a.m[0][0] = ex.x; a.m[0][1] = ex.y; a.m[0][2] = ex.z;
  a.m[1][0] = ey.x; a.m[1][1] = ey.y; a.m[1][2] = ey.z;
  a.m[2][0] = ez.x; a.m[2][1] = ez.y; a.m[2][2] = ez.z;
  return a;
}

Affine Affine::layer(V3 translate, V3 rotate, V3 scale, const std::string& rotOrder, const std::string& transformOrder)
{
  Affine a;
  for (char c : transformOrder) {
    if (c == 'S') a = a.then(scaling(scale));
    if (c == 'R') a = a.then(rotation(rotate, rotOrder));
    if (c == 'T') a = a.then(translation(translate));
  }
  return a;
}

} // namespace content
