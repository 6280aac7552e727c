#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace zorvane {

struct Rgb8 {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};

// The 8-bit channels a 16-bit RGB565 pixel stands for: each channel's bits repeated into the low
// bits, so black stays black and white comes out full white.
Rgb8 ExpandRgb565(uint16_t pixel);

// The pixel value of each of the 65536 RGB565 colours in a destination format.
std::vector<uint32_t> MakeColorTable(const SDL_PixelFormat& format);

}  // namespace zorvane
