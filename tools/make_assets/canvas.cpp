#include "canvas.h"

#include <algorithm>

namespace zorvane::assetgen {
namespace {

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), px_(static_cast<size_t>(width) * height, Px{0, 0, 0, 0}) {}

void Canvas::Paint(const Shader& shader, int n) {
  const float step = 1.0f / static_cast<float>(n);
  const float weight = step * step;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      Px src{0, 0, 0, 0};
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const Sample s = shader(static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) * step,
                                  static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * step);
          const float a = std::clamp(s.alpha, 0.0f, 1.0f) * weight;
          src.r += s.color.r * a;
          src.g += s.color.g * a;
          src.b += s.color.b * a;
          src.a += a;
        }
      }
      Px& dst = px_[static_cast<size_t>(y) * width_ + x];
      const float keep = 1.0f - src.a;
      dst = {src.r + dst.r * keep, src.g + dst.g * keep, src.b + dst.b * keep,
             src.a + dst.a * keep};
    }
  }
}

Image8 Canvas::ToImage() const {
  Image8 img{width_, height_, std::vector<uint8_t>(px_.size() * 4)};
  for (size_t i = 0; i < px_.size(); ++i) {
    const Px& p = px_[i];
    const uint8_t alpha = ToByte(p.a);
    if (alpha == 0) continue;  // fully transparent pixels stay (0,0,0,0)
    img.rgba[i * 4 + 0] = ToByte(p.r / p.a);
    img.rgba[i * 4 + 1] = ToByte(p.g / p.a);
    img.rgba[i * 4 + 2] = ToByte(p.b / p.a);
    img.rgba[i * 4 + 3] = alpha;
  }
  return img;
}

Image8 Canvas::ToColourKeyed() const {
  Image8 img{width_, height_, std::vector<uint8_t>(px_.size() * 4)};
  for (size_t i = 0; i < px_.size(); ++i) {
    const Px& p = px_[i];
    uint8_t* out = &img.rgba[i * 4];
    out[3] = 255;
    if (p.a < 0.5f) continue;
    out[0] = ToByte(p.r / p.a);
    out[1] = ToByte(p.g / p.a);
    out[2] = ToByte(p.b / p.a);
    // A 16-bit display would turn this pixel into the key and punch a hole in the block.
    if (out[0] < 8 && out[1] < 4 && out[2] < 8) {
      out[0] = std::max<uint8_t>(out[0], 8);
      out[1] = std::max<uint8_t>(out[1], 8);
      out[2] = std::max<uint8_t>(out[2], 8);
    }
  }
  return img;
}

}  // namespace zorvane::assetgen
