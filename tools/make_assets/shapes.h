#pragma once

#include <algorithm>
#include <cmath>

namespace zorvane::assetgen {

inline float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

inline float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

struct Vec3 {
  float x, y, z;
};

inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 Normalize(Vec3 v) {
  const float len = std::sqrt(Dot(v, v));
  return {v.x / len, v.y / len, v.z / len};
}

// Signed distance (negative inside) plus the outward unit gradient, which the
// bevel shading uses as its slope direction.
struct Field {
  float d;
  float gx, gy;
};

// Rounded box centred on the origin with half extents hx, hy and corner radius r.
inline Field RoundBox(float px, float py, float hx, float hy, float r) {
  const float qx = std::fabs(px) - (hx - r);
  const float qy = std::fabs(py) - (hy - r);
  const float sx = px < 0.0f ? -1.0f : 1.0f;
  const float sy = py < 0.0f ? -1.0f : 1.0f;
  if (qx > 0.0f && qy > 0.0f) {
    const float len = std::sqrt(qx * qx + qy * qy);
    return {len - r, sx * qx / len, sy * qy / len};
  }
  if (qx > qy) return {qx - r, sx, 0.0f};
  return {qy - r, 0.0f, sy};
}

// Distance from p to the segment a-b.
inline float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float abx = bx - ax;
  const float aby = by - ay;
  const float t = Clamp01(((px - ax) * abx + (py - ay) * aby) / (abx * abx + aby * aby));
  const float dx = px - (ax + abx * t);
  const float dy = py - (ay + aby * t);
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace zorvane::assetgen
