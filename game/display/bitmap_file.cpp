#include "game/display/bitmap_file.h"

#include <SDL.h>

#include <climits>
#include <cstring>

#include "game/display/bitmap_refusal.h"
#include "game/display/sdl_ptr.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr const char* kFileTooLarge = "the file is too large";

[[noreturn]] void Fail(const std::string& path, const std::string& cause) {
  throw RuntimeError(ErrorKind::Bitmap, "Cannot load bitmap " + path + ": " + cause);
}

// The whole file, read once: the header check and the decoder both work on these bytes. SDL
// decodes from memory of at most INT_MAX bytes, far more than the largest picture allowed needs.
std::string ReadWholeFile(const std::string& path) {
  const SdlRWopsPtr file(SDL_RWFromFile(path.c_str(), "rb"));
  if (!file) Fail(path, "file not found");
  std::string bytes;
  char chunk[65536];
  size_t got = 0;
  SDL_ClearError();
  while (bytes.size() <= INT_MAX && (got = SDL_RWread(file.get(), chunk, 1, sizeof chunk)) > 0) {
    // A file of more than a chunk gets room for all of it at once: a background grown chunk by
    // chunk is copied, and its memory touched, several times over.
    if (bytes.empty() && got == sizeof chunk) {
      const Sint64 size = SDL_RWsize(file.get());
      if (size > 0 && size <= INT_MAX) {
        bytes.reserve(static_cast<size_t>(size));
      } else {
        SDL_ClearError();  // a pipe has no size: it is read as it comes
      }
    }
    bytes.append(chunk, got);
  }
  const std::string error = SDL_GetError();  // a directory fails here
  if (!error.empty()) Fail(path, error);
  if (bytes.size() > INT_MAX) Fail(path, kFileTooLarge);
  return bytes;
}

}  // namespace

Surface LoadBitmapFile(const std::string& path) { return DecodeBitmap(ReadWholeFile(path), path); }

Surface DecodeBitmap(std::string_view bytes, const std::string& path) {
  if (bytes.size() > INT_MAX) Fail(path, kFileTooLarge);
  if (bytes.empty()) {
    // SDL takes no empty memory stream; the file fails as SDL's first read of it would.
    SDL_Error(SDL_EFREAD);
    Fail(path, SDL_GetError());
  }
  if (const auto refusal = BitmapRefusal(bytes)) Fail(path, *refusal);

  // The decoder closes the memory stream itself (freesrc), whether it succeeds or not.
  SdlSurfacePtr decoded(
      SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
  if (!decoded) Fail(path, SDL_GetError());
  Surface surface(decoded->w, decoded->h, path);
  const Uint32 format = decoded->format->format;
  // The game's own pictures are 24-bit: converted here by truncation, as SDL converts them, in
  // one pass (SDL's general converter takes ten times as long, most of the game's start-up).
  if (format == SDL_PIXELFORMAT_RGB24 || format == SDL_PIXELFORMAT_BGR24) {
    const int red = format == SDL_PIXELFORMAT_RGB24 ? 0 : 2;
    const int blue = 2 - red;
    for (int y = 0; y < decoded->h; ++y) {
      const auto* in = static_cast<const uint8_t*>(decoded->pixels) + y * decoded->pitch;
      uint16_t* out = surface.pixels() + static_cast<size_t>(y) * decoded->w;
      for (int x = 0; x < decoded->w; ++x, in += 3) {
        out[x] = static_cast<uint16_t>((in[red] >> 3) << 11 | (in[1] >> 2) << 5 | in[blue] >> 3);
      }
    }
    return surface;
  }
  // SDL converts any other picture of direct colours straight into the surface, as it would
  // convert it into a surface of its own; a picture with a palette goes through one.
  if (!SDL_ISPIXELFORMAT_INDEXED(format)) {
    if (SDL_ConvertPixels(decoded->w, decoded->h, format, decoded->pixels, decoded->pitch,
                          SDL_PIXELFORMAT_RGB565, surface.pixels(),
                          decoded->w * static_cast<int>(sizeof(uint16_t))) != 0) {
      Fail(path, SDL_GetError());
    }
    return surface;
  }
  const SdlSurfacePtr converted(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB565, 0));
  decoded.reset();
  if (!converted) Fail(path, SDL_GetError());
  const auto* pixels = static_cast<const uint8_t*>(converted->pixels);
  for (int y = 0; y < converted->h; ++y) {
    std::memcpy(surface.pixels() + static_cast<size_t>(y) * converted->w,
                pixels + static_cast<size_t>(y) * converted->pitch,
                static_cast<size_t>(converted->w) * sizeof(uint16_t));
  }
  return surface;
}

}  // namespace zorvane
