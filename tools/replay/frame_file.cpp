#include "tools/replay/frame_file.h"

#include <SDL.h>

namespace zorvane {

bool WriteFrameBitmap(const Surface& frame, const std::string& path) {
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint16_t*>(frame.pixels()), frame.width(), frame.height(), 16, frame.width() * 2,
      SDL_PIXELFORMAT_RGB565);
  if (source == nullptr) return false;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(source, SDL_PIXELFORMAT_BGR24, 0);
  SDL_FreeSurface(source);
  if (rgb == nullptr) return false;
  const bool ok = SDL_SaveBMP(rgb, path.c_str()) == 0;
  SDL_FreeSurface(rgb);
  return ok;
}

}  // namespace zorvane
