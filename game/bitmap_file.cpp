#include "game/bitmap_file.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "settings/runtime_error.h"

namespace zorvane {
namespace {

// Bigger pictures than this are refused rather than risking an allocation of gigabytes.
constexpr int kMaxSide = 16384;

[[noreturn]] void Fail(const std::string& path, const std::string& cause) {
  throw RuntimeError(ErrorKind::Bitmap, "Cannot load bitmap " + path + ": " + cause);
}

// The picture's size from the file header, read before SDL allocates anything for it.
bool HeaderSizeTooLarge(const std::string& path) {
  uint8_t header[26] = {};
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  if (file == nullptr) return false;
  const size_t got = SDL_RWread(file, header, 1, sizeof header);
  SDL_RWclose(file);
  if (got < sizeof header || header[0] != 'B' || header[1] != 'M') return false;
  const auto le32 = [&](int at) {
    return static_cast<int32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                static_cast<uint32_t>(header[at + 3]) << 24);
  };
  int64_t width = 0, height = 0;
  if (le32(14) == 12) {  // OS/2 header: 16-bit sizes
    width = header[18] | header[19] << 8;
    height = header[20] | header[21] << 8;
  } else {
    width = le32(18);
    height = le32(22);
  }
  return std::abs(width) > kMaxSide || std::abs(height) > kMaxSide;
}

}  // namespace

Surface LoadBitmapFile(const std::string& path) {
  if (HeaderSizeTooLarge(path)) Fail(path, "the picture is too large");
  SDL_Surface* decoded = SDL_LoadBMP(path.c_str());
  if (decoded == nullptr) {
    const char* error = SDL_GetError();
    Fail(path, std::strstr(error, "'src'") != nullptr ? "file not found" : error);
  }
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB565, 0);
  SDL_FreeSurface(decoded);
  if (converted == nullptr) Fail(path, SDL_GetError());

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
