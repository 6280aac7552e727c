#include "block.h"

#include <algorithm>
#include <cmath>

#include "rng.h"
#include "shapes.h"

namespace zorvane::assetgen {
namespace {

const Vec3 kLight = Normalize({-0.75f, -0.9f, 1.0f});
const Color kWhite{1.0f, 1.0f, 1.0f};

Color PlayerColor(Player player) {
  return player == Player::kBlue ? Rgb8(38, 104, 232) : Rgb8(222, 44, 40);
}

// Brightness factor k relative to a flat face: below 1 darkens, above 1 washes towards white
// so highlights stay the block's hue instead of clipping channel by channel.
Color Lit(Color base, float k) {
  if (k <= 1.0f) return Scale(base, k);
  return Mix(base, kWhite, std::min(1.0f, (k - 1.0f) * 0.8f));
}

// Greyed-out body that keeps a hint of the owner's hue so the two wrecks stay distinguishable.
Color DeadColor(Color base) {
  const float l = Luma(base);
  const Color tinted = Mix(Color{l, l, l}, base, 0.28f);
  return Scale(tinted, 0.36f / l);
}

struct Polyline {
  float pts[4][2];
  int count;
};

// Hairline cracks running in from the edges towards the X, in units of the block size.
constexpr Polyline kCracks[] = {
    {{{0.0f, 0.40f}, {0.11f, 0.45f}, {0.19f, 0.39f}, {0.27f, 0.42f}}, 4},
    {{{0.60f, 0.0f}, {0.56f, 0.10f}, {0.62f, 0.17f}, {0.58f, 0.24f}}, 4},
    {{{1.0f, 0.66f}, {0.88f, 0.62f}, {0.81f, 0.70f}, {0.74f, 0.66f}}, 4},
    {{{0.30f, 1.0f}, {0.36f, 0.88f}, {0.31f, 0.80f}, {0.0f, 0.0f}}, 3},
    {{{0.0f, 0.86f}, {0.09f, 0.80f}, {0.0f, 0.0f}, {0.0f, 0.0f}}, 2},
};

float CrackDistance(float u, float v) {
  float best = 1e9f;
  for (const Polyline& c : kCracks) {
    for (int i = 0; i + 1 < c.count; ++i) {
      best = std::min(
          best, SegmentDistance(u, v, c.pts[i][0], c.pts[i][1], c.pts[i + 1][0], c.pts[i + 1][1]));
    }
  }
  return best;
}

// Distance to the X's centre lines, in units of the block size.
float CrossDistance(float u, float v) {
  constexpr float kLo = 0.27f;
  constexpr float kHi = 0.73f;
  return std::min(SegmentDistance(u, v, kLo, kLo, kHi, kHi),
                  SegmentDistance(u, v, kHi, kLo, kLo, kHi));
}

// Wreck markings over the shaded body: mottled grime, cracks and a deep engraved X.
Color DeadMarkings(Color c, Color body, float size, float u, float v, float x, float y) {
  const float grime = ValueNoise(x * 0.45f, y * 0.45f, 0x5EEDu);
  c = Scale(c, 0.86f + 0.24f * grime);

  const float px = 1.0f / size;  // one pixel in block units
  const float crack = CrackDistance(u, v);
  if (crack < 0.55f * px) return Scale(body, 0.32f);
  if (crack < 1.3f * px && CrackDistance(u - px, v - px) > crack) c = Lit(c, 1.12f);

  const float half_width = 0.085f;
  const float d = CrossDistance(u, v);
  if (d < half_width) {
    const Color groove = Mix(Scale(body, 0.24f), Rgb8(26, 22, 24), 0.6f);
    // Recessed: the wall nearest the light is in shadow, the far wall catches it.
    if (CrossDistance(u + 1.2f * px, v + 1.2f * px) > half_width) return Mix(groove, body, 0.85f);
    if (CrossDistance(u - 1.2f * px, v - 1.2f * px) > half_width) return Scale(groove, 0.75f);
    return groove;
  }
  return c;
}

}  // namespace

Sample ShadeBevelBox(const BoxStyle& style, float px, float py, float hx, float hy) {
  const Field f = RoundBox(px, py, hx, hy, style.radius);
  if (f.d > 0.0f) return kClear;
  const float depth = -f.d;
  if (depth < style.outline) return {Scale(style.base, 0.32f), 1.0f};

  const float flat = 0.3f + 0.7f * kLight.z;
  if (depth < style.outline + style.bevel) {
    const Vec3 n = Normalize({f.gx, f.gy, 1.0f});
    const float k = (0.3f + 0.7f * std::max(0.0f, Dot(n, kLight))) / flat;
    Color c = Lit(style.base, k);
    const Vec3 h = Normalize({kLight.x, kLight.y, kLight.z + 1.0f});
    const float shine = std::pow(std::max(0.0f, Dot(n, h)), 20.0f);
    return {Mix(c, kWhite, shine * style.gloss), 1.0f};
  }

  // Face: a gentle fall-off from top to bottom and a soft glossy spot up and to the left.
  const float v = py / (2.0f * hy);
  Color c = Lit(style.base, 1.08f - 0.26f * (v + 0.5f));
  const float ex = (px + 0.12f * hx * 2.0f) / (0.34f * hx * 2.0f);
  const float ey = (py + 0.2f * hy * 2.0f) / (0.17f * hy * 2.0f);
  const float spot = 1.0f - SmoothStep(0.15f, 1.0f, std::sqrt(ex * ex + ey * ey));
  return {Mix(c, kWhite, 0.5f * spot * style.gloss), 1.0f};
}

Shader BlockShader(Player player, bool dead, float left, float top, float size) {
  const Color body = dead ? DeadColor(PlayerColor(player)) : PlayerColor(player);
  const BoxStyle style{body, size * 0.16f, std::max(0.9f, size / 30.0f), size * 0.13f,
                       dead ? 0.0f : 1.0f};
  return [=](float x, float y) {
    const float half = size * 0.5f;
    Sample s = ShadeBevelBox(style, x - left - half, y - top - half, half, half);
    if (dead && s.alpha > 0.0f) {
      const float u = (x - left) / size;
      const float v = (y - top) / size;
      s.color = DeadMarkings(s.color, body, size, u, v, x, y);
    }
    return s;
  };
}

Image8 MakeBlockSprite(Player player, bool dead) {
  Canvas canvas(kBlockSize, kBlockSize);
  canvas.Paint(BlockShader(player, dead, 0.0f, 0.0f, kBlockSize), 4);
  return canvas.ToColourKeyed();
}

}  // namespace zorvane::assetgen
