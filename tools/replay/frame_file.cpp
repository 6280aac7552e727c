#include "tools/replay/frame_file.h"

#include <SDL.h>

#include "game/display/sdl_ptr.h"

namespace zorvane {

bool WriteFrameBitmap(const Surface& frame, const std::string& path) {
  const SdlSurfacePtr source(SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint16_t*>(frame.pixels()), frame.width(), frame.height(), 16, frame.width() * 2,
      SDL_PIXELFORMAT_RGB565));
  if (!source) return false;
  const SdlSurfacePtr rgb(SDL_ConvertSurfaceFormat(source.get(), SDL_PIXELFORMAT_BGR24, 0));
  if (!rgb) return false;
  return SDL_SaveBMP(rgb.get(), path.c_str()) == 0;
}

}  // namespace zorvane
