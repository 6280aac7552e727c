#include "background.h"

#include <algorithm>
#include <cmath>

#include "rng.h"
#include "shapes.h"

namespace zorvane::assetgen {
namespace {

constexpr float kW = kArenaWidth;
constexpr float kH = kArenaHeight;
constexpr float kTile = 40.0f;
constexpr float kFrame = 6.0f;

const Vec3 kLight = Normalize({-0.75f, -0.9f, 1.0f});
const Color kFloor = Rgb8(31, 35, 42);
const Color kSteel = Rgb8(78, 85, 96);
const Color kAccent = Rgb8(52, 150, 182);

// Brightness of a surface with normal n relative to a flat one.
float Lighting(Vec3 n) {
  return (0.35f + 0.65f * std::max(0.0f, Dot(n, kLight))) / (0.35f + 0.65f * kLight.z);
}

float Shine(Vec3 n, float power) {
  const Vec3 h = Normalize({kLight.x, kLight.y, kLight.z + 1.0f});
  return std::pow(std::max(0.0f, Dot(n, h)), power);
}

// Floor plates with alternating brush direction, so the grid reads even where seams are faint.
float PlateBrightness(float x, float y) {
  const float fx = std::floor(x / kTile);
  const float fy = std::floor(y / kTile);
  const auto tx = static_cast<int32_t>(fx);
  const auto ty = static_cast<int32_t>(fy);
  const Field plate = RoundBox(x - (fx + 0.5f) * kTile, y - (fy + 0.5f) * kTile,
                               kTile * 0.5f - 0.75f, kTile * 0.5f - 0.75f, 2.5f);
  if (plate.d > 0.0f) return 0.4f;  // seam

  const bool horizontal = ((tx + ty) & 1) == 0;
  const float along = horizontal ? x : y;
  const float across = horizontal ? y : x;
  const float streak = 0.65f * ValueNoise(along / 38.0f, across / 0.8f, 0xB125u) +
                       0.35f * ValueNoise(along / 9.0f, across / 0.55f, 0x7A11u);
  float k = (0.92f + 0.16f * HashUnit(tx, ty, 0x9E11u)) * (0.84f + 0.32f * streak);
  // Broad scuffs so the floor does not look stamped out.
  k *= 0.88f + 0.24f * ValueNoise(x / 85.0f, y / 85.0f, 0x5C0Fu);

  const float depth = -plate.d;
  if (depth < 2.0f) k *= Lighting(Normalize({plate.gx, plate.gy, 0.9f}));
  return k;
}

float Vignette(float x, float y) {
  const float nx = (x - kW * 0.5f) / (kW * 0.5f);
  const float ny = (y - kH * 0.5f) / (kH * 0.5f);
  const float r = std::sqrt((nx * nx + ny * ny) * 0.5f);
  return 1.0f - 0.5f * SmoothStep(0.25f, 1.05f, r);
}

// A faint centre ring painted on the floor, the only marking in the arena.
Color CentreMarking(Color c, float x, float y) {
  const float dx = x - kW * 0.5f;
  const float dy = y - kH * 0.5f;
  const float ring = std::fabs(std::sqrt(dx * dx + dy * dy) - 64.0f);
  const float line = 1.0f - SmoothStep(0.8f, 1.6f, ring);
  return Add(Mix(c, Scale(kAccent, 0.55f), 0.35f * line),
             Scale(kAccent, 0.05f * std::exp(-ring / 5.0f)));
}

// L-shaped corner plates bolted over the frame. Returns alpha 0 away from the corners.
Sample CornerBracket(float x, float y) {
  const bool right = x > kW * 0.5f;
  const bool bottom = y > kH * 0.5f;
  const float cx = right ? kW - x : x;
  const float cy = bottom ? kH - y : y;
  constexpr float kArm = 36.0f;
  constexpr float kThick = 13.0f;
  const Field a = RoundBox(cx - kArm * 0.5f, cy - kThick * 0.5f, kArm * 0.5f, kThick * 0.5f, 2.0f);
  const Field b = RoundBox(cx - kThick * 0.5f, cy - kArm * 0.5f, kThick * 0.5f, kArm * 0.5f, 2.0f);
  Field f = a.d < b.d ? a : b;
  if (f.d > 0.0f) return kClear;
  if (right) f.gx = -f.gx;
  if (bottom) f.gy = -f.gy;

  Color c = Scale(kSteel, 1.08f);
  const float depth = -f.d;
  if (depth < 1.0f) return {Scale(kSteel, 0.35f), 1.0f};
  if (depth < 3.0f) {
    const Vec3 n = Normalize({f.gx, f.gy, 1.2f});
    c = Mix(Scale(c, Lighting(n)), Color{1, 1, 1}, 0.25f * Shine(n, 16.0f));
  }
  c = Scale(c, 0.94f + 0.12f * ValueNoise(cx / 14.0f, cy / 0.7f, 0xC0A7u));

  // Bolt head in the bend of the L.
  const float bx = cx - kThick * 0.5f;
  const float by = cy - kThick * 0.5f;
  const float r = std::sqrt(bx * bx + by * by);
  if (r < 3.2f) {
    const float sx = right ? -bx : bx;
    const float sy = bottom ? -by : by;
    if (r > 2.5f) return {Scale(kSteel, 0.4f), 1.0f};
    const Vec3 n = Normalize({sx / 2.5f, sy / 2.5f, 0.8f});
    c = Mix(Scale(kSteel, 1.1f * Lighting(n)), Color{1, 1, 1}, 0.4f * Shine(n, 24.0f));
  }
  return {c, 1.0f};
}

Sample Background(float x, float y) {
  const Sample bracket = CornerBracket(x, y);
  if (bracket.alpha > 0.0f) return bracket;

  const Field inner =
      RoundBox(x - kW * 0.5f, y - kH * 0.5f, kW * 0.5f - kFrame, kH * 0.5f - kFrame, 6.0f);
  const float edge = std::min(std::min(x, kW - x), std::min(y, kH - y));
  if (inner.d > 0.0f) {
    if (edge < 1.0f) return {Scale(kSteel, 0.3f), 1.0f};
    // Rounded rail: across its width the surface tilts from facing in to facing out.
    const float t = Clamp01(inner.d / (kFrame - 1.0f));
    const float slope = (t - 0.5f) * 2.4f;
    const Vec3 n = Normalize({inner.gx * slope, inner.gy * slope, 1.0f});
    Color c = Scale(kSteel, Lighting(n));
    c = Mix(c, Color{1, 1, 1}, 0.3f * Shine(n, 18.0f));
    return {c, 1.0f};
  }

  const float grain = 0.96f + 0.08f * HashUnit(static_cast<int32_t>(x * 2.0f),
                                               static_cast<int32_t>(y * 2.0f), 0x6A1Au);
  Color c = Scale(kFloor, PlateBrightness(x, y) * grain);
  c = CentreMarking(c, x, y);
  c = Scale(c, Vignette(x, y));

  // Lit strip along the inside of the rail, fading into the floor.
  const float d = -inner.d;
  const float strip = 1.0f - SmoothStep(1.0f, 2.0f, d);
  c = Mix(c, kAccent, 0.8f * strip);
  c = Add(c, Scale(kAccent, 0.16f * std::exp(-d / 7.0f)));
  return {c, 1.0f};
}

}  // namespace

Image8 MakeBackground() {
  Canvas canvas(kArenaWidth, kArenaHeight);
  canvas.Paint(Background, 2);
  return canvas.ToImage();
}

}  // namespace zorvane::assetgen
