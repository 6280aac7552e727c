#pragma once

#include <SDL.h>

#include <memory>

namespace zorvane {

// Owners of what SDL allocates: whatever way a function leaves, early return or exception, the
// object is freed once.
struct SdlSurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

// Closing a stream that was only read from cannot lose anything, so its result is not needed.
struct SdlRWopsDeleter {
  void operator()(SDL_RWops* stream) const { SDL_RWclose(stream); }
};
using SdlRWopsPtr = std::unique_ptr<SDL_RWops, SdlRWopsDeleter>;

struct SdlRendererDeleter {
  void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
using SdlRendererPtr = std::unique_ptr<SDL_Renderer, SdlRendererDeleter>;

struct SdlTextureDeleter {
  void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
using SdlTexturePtr = std::unique_ptr<SDL_Texture, SdlTextureDeleter>;

struct SdlGameControllerDeleter {
  void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};
using SdlGameControllerPtr = std::unique_ptr<SDL_GameController, SdlGameControllerDeleter>;

}  // namespace zorvane
