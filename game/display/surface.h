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
//
// A fill is held back until something needs its pixels: the frame's black fill is wholly covered
// by the background drawn next, and skipping it halves the cost of a frame. Every way to the
// pixels (pixels(), Pixel(), a blit) first carries out a fill still held, and a swap of pixels
// takes it along; a plain blit that covers the whole fill drops it instead.
class Surface {
 public:
  Surface(int width, int height, std::string source = {});
  virtual ~Surface() = default;

  int width() const { return width_; }
  int height() const { return height_; }
  uint16_t* pixels() {
    CarryOutFill();
    return pixels_.data();
  }
  const uint16_t* pixels() const {
    CarryOutFill();
    return pixels_.data();
  }
  uint16_t Pixel(int x, int y) const { return pixels()[static_cast<size_t>(y) * width_ + x]; }
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
  void SwapPixels(Surface& other) {
    pixels_.swap(other.pixels_);
    heldFill_.swap(other.heldFill_);
  }

 private:
  struct Fill {
    Rect rect;
    uint16_t color;
  };

  bool Contains(const Rect& rect) const;
  // Writes a fill that was held back into the pixels. The pixels and the fill held are what the
  // picture is, together, so a const surface may carry out its fill.
  void CarryOutFill() const;

  int width_;
  int height_;
  mutable std::vector<uint16_t> pixels_;
  mutable std::optional<Fill> heldFill_;
  std::string source_;
  std::optional<uint16_t> colorKey_;
};

}  // namespace zorvane
