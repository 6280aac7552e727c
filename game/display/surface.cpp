#include "game/display/surface.h"

#include <algorithm>
#include <cstring>

#include "settings/runtime_error.h"

namespace zorvane {
namespace {

[[noreturn]] void InvalidRect() {
  throw RuntimeError(ErrorKind::Other, "Automation error: the rectangle is invalid");
}

bool Covers(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
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
  CarryOutFill();
  heldFill_ = Fill{r, color};
}

void Surface::CarryOutFill() const {
  if (!heldFill_) return;
  const Rect r = heldFill_->rect;
  const uint16_t color = heldFill_->color;
  heldFill_.reset();
  // A black fill is a plain byte fill, and one run where the rows are whole.
  const bool byteFill = (color & 0xFF) == (color >> 8);
  const bool wholeRows = r.left == 0 && r.right == width_;
  const int32_t runs = wholeRows ? 1 : r.bottom - r.top;
  const size_t runLength = wholeRows ? static_cast<size_t>(r.bottom - r.top) * width_
                                     : static_cast<size_t>(r.right - r.left);
  for (int32_t i = 0; i < runs; ++i) {
    uint16_t* run = pixels_.data() + static_cast<size_t>(r.top + i) * width_ + r.left;
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
  const Rect drawn{x, y, static_cast<int32_t>(x + w), static_cast<int32_t>(y + h)};
  // A plain blit over the whole of a fill held back leaves nothing of it to see.
  if (heldFill_ && !keyed && &source != this && Covers(drawn, heldFill_->rect)) heldFill_.reset();
  const uint16_t* from =
      source.pixels() + static_cast<size_t>(sourceRect.top) * source.width_ + sourceRect.left;
  uint16_t* to = pixels() + static_cast<size_t>(y) * width_ + x;
  if (!keyed) {
    // Whole rows of both surfaces lie end to end: one copy.
    const bool wholeRows = w == width_ && w == source.width_;
    const int64_t rows = wholeRows ? 1 : h;
    const size_t runLength = static_cast<size_t>(wholeRows ? w * h : w) * sizeof(uint16_t);
    for (int64_t row = 0; row < rows; ++row) {
      std::memmove(to + row * width_, from + row * source.width_, runLength);
    }
    return;
  }
  // Without a branch per pixel: a pixel of the key colour keeps the target's.
  const uint16_t key = *source.colorKey_;
  for (int64_t row = 0; row < h; ++row) {
    const uint16_t* in = from + row * source.width_;
    uint16_t* out = to + row * width_;
    for (int64_t i = 0; i < w; ++i) {
      const uint16_t keep = static_cast<uint16_t>(-static_cast<int>(in[i] == key));
      out[i] = static_cast<uint16_t>((out[i] & keep) | (in[i] & ~keep));
    }
  }
}

}  // namespace zorvane
