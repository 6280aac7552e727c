#include "game/bitmap_file.h"

#include <SDL.h>

#include <cstring>

#include "settings/runtime_error.h"

namespace zorvane {
namespace {

// Bigger pictures than this are refused rather than risking an allocation of gigabytes.
constexpr int kMaxSide = 16384;

[[noreturn]] void Fail(const std::string& path, const std::string& cause) {
  throw RuntimeError(ErrorKind::Bitmap, "Cannot load bitmap " + path + ": " + cause);
}

}  // namespace

Surface LoadBitmapFile(const std::string& path) {
  SDL_Surface* decoded = SDL_LoadBMP(path.c_str());
  if (decoded == nullptr) {
    const char* error = SDL_GetError();
    Fail(path, std::strstr(error, "'src'") != nullptr ? "file not found" : error);
  }
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB565, 0);
  SDL_FreeSurface(decoded);
  if (converted == nullptr) Fail(path, SDL_GetError());
  if (converted->w > kMaxSide || converted->h > kMaxSide) {
    SDL_FreeSurface(converted);
    Fail(path, "the picture is too large");
  }

  Surface surface(converted->w, converted->h, path);
  const auto* bytes = static_cast<const uint8_t*>(converted->pixels);
  for (int y = 0; y < converted->h; ++y) {
    std::memcpy(surface.pixels() + static_cast<size_t>(y) * converted->w,
                bytes + static_cast<size_t>(y) * converted->pitch,
                static_cast<size_t>(converted->w) * sizeof(uint16_t));
  }
  SDL_FreeSurface(converted);
  return surface;
}

}  // namespace zorvane
