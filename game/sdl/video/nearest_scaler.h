#pragma once

#include <cstdint>
#include <vector>

#include "game/sdl/video/picture_placement.h"

namespace zorvane {

// Rows of pixels in memory, 2 or 4 bytes each, that a picture is drawn into.
struct PixelTarget {
  void* pixels = nullptr;
  int pitch = 0;
  int bytesPerPixel = 0;
  int width = 0;
  int height = 0;
};

// Draws an RGB565 picture into a rectangle of a target, nearest neighbour, converting each pixel
// through a table of the target's colours. Each target pixel takes the source pixel under its
// centre, so a whole multiple repeats every source pixel exactly that many times.
class NearestScaler {
 public:
  // False, drawing nothing, where the rectangle is not wholly inside the target or the target's
  // pixel size is neither 2 nor 4 bytes.
  bool Draw(const uint16_t* source, int sourceWidth, int sourceHeight,
            const std::vector<uint32_t>& colors, const PixelTarget& target,
            const PicturePlacement& area);

 private:
  template <typename Pixel>
  void DrawRows(const uint16_t* source, int sourceWidth, int sourceHeight,
                const std::vector<uint32_t>& colors, const PixelTarget& target,
                const PicturePlacement& area);
  void MapColumns(int sourceWidth, int width);

  // The source column of each target column, for the last width drawn.
  std::vector<int> columns_;
  int columnsSourceWidth_ = 0;
};

}  // namespace zorvane
