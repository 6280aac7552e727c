#include "game/display/surface.h"

#include <algorithm>
#include <cstring>

#include "settings/runtime_error.h"

namespace zorvane {
namespace {

[[noreturn]] void InvalidRect() {
  throw RuntimeError(ErrorKind::Other, "Automation error: the rectangle is invalid");
}

}  // namespace

Surface::Surface(int width, int height, std::string source)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0),
      source_(std::move(source)) {}

void Surface::SetColorKey(int32_t key) { colorKey_ = static_cast<uint16_t>(key); }

bool Surface::Contains(const Rect& r) const {
  return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= width_ &&
         r.bottom <= height_;
}

void Surface::ColorFill(const Rect& rect, uint16_t color) {
  Rect r = rect;
  if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) r = Rect{0, 0, width_, height_};
  if (!Contains(r)) InvalidRect();
  // The frame's black fill is a plain byte fill, and one run where the rows are whole.
  const bool byteFill = (color & 0xFF) == (color >> 8);
  const bool wholeRows = r.left == 0 && r.right == width_;
  const int32_t runs = wholeRows ? 1 : r.bottom - r.top;
  const size_t runLength = wholeRows ? static_cast<size_t>(r.bottom - r.top) * width_
                                     : static_cast<size_t>(r.right - r.left);
  for (int32_t i = 0; i < runs; ++i) {
    uint16_t* run = pixels() + static_cast<size_t>(r.top + i) * width_ + r.left;
    if (byteFill) {
      std::memset(run, color & 0xFF, runLength * sizeof(uint16_t));
    } else {
      std::fill_n(run, runLength, color);
    }
  }
}

void Surface::BltFast(int32_t x, int32_t y, const Surface& source, const Rect& sourceRect,
                      bool useSourceKey) {
  if (!source.Contains(sourceRect)) InvalidRect();
  const int64_t w = int64_t{sourceRect.right} - sourceRect.left;
  const int64_t h = int64_t{sourceRect.bottom} - sourceRect.top;
  if (x < 0 || y < 0 || x + w > width_ || y + h > height_) InvalidRect();

  const bool keyed = useSourceKey && source.colorKey_.has_value();
  const uint16_t key = source.colorKey_.value_or(0);
  for (int64_t row = 0; row < h; ++row) {
    const uint16_t* from = source.pixels() +
                           static_cast<size_t>(sourceRect.top + row) * source.width_ +
                           sourceRect.left;
    uint16_t* to = pixels() + static_cast<size_t>(y + row) * width_ + x;
    if (!keyed) {
      std::copy(from, from + w, to);
      continue;
    }
    for (int64_t i = 0; i < w; ++i) {
      if (from[i] != key) to[i] = from[i];
    }
  }
}

}  // namespace zorvane
