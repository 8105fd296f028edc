// Vectors and affine transforms in the engine's conventions: row vectors (a point p becomes
// p * M + t), angles in degrees, rotations about X, Y, Z as the engine's Rotate3D turns them,
// composed in the order a rotation-order word names ("ZXY": Z first).
#pragma once
#include <cmath>
#include <string>

namespace content {

struct V3 {
  float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator-(V3 a) { return {-a.x, -a.y, -a.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline V3 operator*(float s, V3 a) { return a * s; }
inline float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(V3 a) { return std::sqrt(dot(a, a)); }
inline V3 normalize(V3 a)
{
  const float l = length(a);
  return l > 0 ? a * (1.0f / l) : V3{0, 1, 0};
}
inline V3 lerp(V3 a, V3 b, float t) { return a + (b - a) * t; }

constexpr float kPi = 3.14159265f;
inline float rad(float deg) { return deg * kPi / 180.0f; }

// Rotates v about one axis ('X', 'Y' or 'Z') by deg, exactly as the engine turns vectors.
V3 rotateAxis(V3 v, char axis, float deg);
// Rotates v by the angles in the given order word (empty = "ZXY").
V3 rotateOrder(V3 v, V3 angles, const std::string& order = "ZXY");

struct Affine {
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  V3 t;
  V3 point(V3 p) const;
  V3 dir(V3 d) const;
  // this first, then b.
  Affine then(const Affine& b) const;
  Affine inverse() const;
  static Affine translation(V3 t);
  static Affine scaling(V3 s);
  static Affine rotation(V3 angles, const std::string& order = "ZXY");
  // The local matrix of a layer: scale, rotate, translate in the given transform order.
  static Affine layer(V3 translate, V3 rotate, V3 scale, const std::string& rotOrder = "ZXY",
                      const std::string& transformOrder = "SRT");
  float det() const;
};

} // namespace content
