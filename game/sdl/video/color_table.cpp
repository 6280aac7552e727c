#include "game/sdl/video/color_table.h"

namespace zorvane {

Rgb8 ExpandRgb565(uint16_t pixel) {
  const unsigned r = (pixel >> 11) & 0x1F;
  const unsigned g = (pixel >> 5) & 0x3F;
  const unsigned b = pixel & 0x1F;
  return {static_cast<uint8_t>((r << 3) | (r >> 2)), static_cast<uint8_t>((g << 2) | (g >> 4)),
          static_cast<uint8_t>((b << 3) | (b >> 2))};
}

std::vector<uint32_t> MakeColorTable(const SDL_PixelFormat& format) {
  std::vector<uint32_t> table(65536);
  for (uint32_t pixel = 0; pixel < table.size(); ++pixel) {
    const Rgb8 c = ExpandRgb565(static_cast<uint16_t>(pixel));
    table[pixel] = SDL_MapRGB(&format, c.r, c.g, c.b);
  }
  return table;
}

}  // namespace zorvane
