#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvane {

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// An RGB565 picture in memory, as the display's 16-bit surfaces hold it.
class Surface {
 public:
  Surface(int width, int height, std::string source = {});
  virtual ~Surface() = default;

  int width() const { return width_; }
  int height() const { return height_; }
  uint16_t* pixels() { return pixels_.data(); }
  const uint16_t* pixels() const { return pixels_.data(); }
  uint16_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // The bitmap file the picture was made from; empty for surfaces of the flip chain.
  const std::string& source() const { return source_; }

  // Source colour key: pixels of this value are left out by keyed blits.
  void SetColorKey(int32_t key);

  // Fills the rectangle with one colour. An all-zero rectangle stands for the whole surface; a
  // rectangle that is not wholly inside the surface fails.
  void ColorFill(const Rect& rect, uint16_t color);

  // Copies the source rectangle of `source` to (x, y), leaving out its key colour when asked.
  // It never clips: a source or destination rectangle not wholly inside its surface fails and
  // draws nothing.
  void BltFast(int32_t x, int32_t y, const Surface& source, const Rect& sourceRect,
               bool useSourceKey);

 protected:
  void SwapPixels(Surface& other) { pixels_.swap(other.pixels_); }

 private:
  bool Contains(const Rect& rect) const;

  int width_;
  int height_;
  std::vector<uint16_t> pixels_;
  std::string source_;
  std::optional<uint16_t> colorKey_;
};

}  // namespace zorvane
