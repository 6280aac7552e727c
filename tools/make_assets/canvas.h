#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace zorvane::assetgen {

// Linear-ish colour in [0, 1] per channel (we simply treat sRGB values as linear;
// the art is tuned by eye against that).
struct Color {
  float r, g, b;
};

inline Color Rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
inline Color Scale(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
inline Color Add(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline float Luma(Color c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

// What a shader returns for one sample point: colour with straight alpha.
struct Sample {
  Color color;
  float alpha;
};

inline constexpr Sample kClear{{0.0f, 0.0f, 0.0f}, 0.0f};

// 8-bit straight-alpha RGBA pixels, row 0 at the top.
struct Image8 {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

using Shader = std::function<Sample(float x, float y)>;

// Float RGBA surface holding premultiplied colour so anti-aliased layers composite correctly.
class Canvas {
 public:
  Canvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }

  // Evaluates the shader on an n x n grid inside every pixel (coordinates in pixel
  // units, pixel centres at +0.5) and composites the average over the canvas.
  void Paint(const Shader& shader, int n);

  // Straight-alpha 8-bit copy.
  Image8 ToImage() const;

  // Opaque copy where every pixel under half coverage becomes the (0,0,0) colour key and
  // every covered pixel is kept clear of anything that would quantise to RGB565 zero.
  Image8 ToColourKeyed() const;

 private:
  struct Px {
    float r, g, b, a;
  };
  int width_;
  int height_;
  std::vector<Px> px_;
};

}  // namespace zorvane::assetgen
