#include "game/sdl/video/nearest_scaler.h"

#include <cstddef>
#include <cstring>

namespace zorvane {
namespace {

// The source index under the centre of target index i of n, for a source of m.
int SourceIndex(int i, int n, int m) { return static_cast<int>((2LL * i + 1) * m / (2LL * n)); }

}  // namespace

bool NearestScaler::Draw(const uint16_t* source, int sourceWidth, int sourceHeight,
                         const std::vector<uint32_t>& colors, const PixelTarget& target,
                         const PicturePlacement& area) {
  const bool inside = area.x >= 0 && area.y >= 0 && area.width > 0 && area.height > 0 &&
                      area.x + area.width <= target.width && area.y + area.height <= target.height;
  if (!inside || sourceWidth <= 0 || sourceHeight <= 0 || colors.size() < 65536) return false;
  MapColumns(sourceWidth, area.width);
  if (target.bytesPerPixel == 4) {
    DrawRows<uint32_t>(source, sourceWidth, sourceHeight, colors, target, area);
  } else if (target.bytesPerPixel == 2) {
    DrawRows<uint16_t>(source, sourceWidth, sourceHeight, colors, target, area);
  } else {
    return false;
  }
  return true;
}

void NearestScaler::MapColumns(int sourceWidth, int width) {
  if (columnsSourceWidth_ == sourceWidth && static_cast<int>(columns_.size()) == width) return;
  columns_.resize(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x)
    columns_[static_cast<size_t>(x)] = SourceIndex(x, width, sourceWidth);
  columnsSourceWidth_ = sourceWidth;
}

template <typename Pixel>
void NearestScaler::DrawRows(const uint16_t* source, int sourceWidth, int sourceHeight,
                             const std::vector<uint32_t>& colors, const PixelTarget& target,
                             const PicturePlacement& area) {
  auto* base = static_cast<uint8_t*>(target.pixels);
  const size_t rowBytes = static_cast<size_t>(area.width) * sizeof(Pixel);
  const Pixel* previousRow = nullptr;
  int previousSourceRow = -1;
  for (int y = 0; y < area.height; ++y) {
    Pixel* row =
        reinterpret_cast<Pixel*>(base + static_cast<std::ptrdiff_t>(area.y + y) * target.pitch) +
        area.x;
    const int sourceRow = SourceIndex(y, area.height, sourceHeight);
    if (sourceRow == previousSourceRow) {
      // A repeated source row: the row just drawn is the same picture.
      std::memcpy(row, previousRow, rowBytes);
    } else if (area.width == 2 * sourceWidth) {
      // Twice as wide: each source pixel twice, with no look-up of its column.
      const uint16_t* from = source + static_cast<std::ptrdiff_t>(sourceRow) * sourceWidth;
      for (int x = 0; x < sourceWidth; ++x) {
        const Pixel pixel = static_cast<Pixel>(colors[from[x]]);
        row[2 * x] = pixel;
        row[2 * x + 1] = pixel;
      }
    } else {
      const uint16_t* from = source + static_cast<std::ptrdiff_t>(sourceRow) * sourceWidth;
      for (int x = 0; x < area.width; ++x) {
        row[x] = static_cast<Pixel>(colors[from[columns_[static_cast<size_t>(x)]]]);
      }
    }
    previousRow = row;
    previousSourceRow = sourceRow;
  }
}

}  // namespace zorvane
