#include "game/sdl/video/window_surface_presenter.h"

#include "game/sdl/video/color_table.h"

namespace zorvane {

std::unique_ptr<WindowSurfacePresenter> WindowSurfacePresenter::Create(SDL_Window* window) {
  // Without this SDL backs the window surface with an OpenGL texture, which on a CPU rasteriser
  // costs several times more than the plain image.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return nullptr;
  const int bytes = surface->format->BytesPerPixel;
  if (bytes != 2 && bytes != 4) return nullptr;
  return std::unique_ptr<WindowSurfacePresenter>(new WindowSurfacePresenter(window));
}

bool WindowSurfacePresenter::Adopt(SDL_Surface* surface, const Surface& frame) {
  if (surface->format->format != surfaceFormat_ || colors_.empty()) {
    colors_ = MakeColorTable(*surface->format);
  }
  surface_ = surface;
  surfaceWidth_ = surface->w;
  surfaceHeight_ = surface->h;
  surfaceFormat_ = surface->format->format;
  placement_ = PlacePicture(surface->w, surface->h, frame.width(), frame.height());
  // The borders stay as cleared here: only the picture is drawn each frame.
  return SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0)) == 0;
}

bool WindowSurfacePresenter::Present(const Surface& frame) {
  // Cheap when nothing changed; a new surface after the window changed size.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return false;
  const bool changed = surface != surface_ || surface->w != surfaceWidth_ ||
                       surface->h != surfaceHeight_ || surface->format->format != surfaceFormat_;
  if (changed && !Adopt(surface, frame)) return false;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  const PixelTarget target{surface->pixels, surface->pitch, surface->format->BytesPerPixel,
                           surface->w, surface->h};
  const bool drawn =
      scaler_.Draw(frame.pixels(), frame.width(), frame.height(), colors_, target, placement_);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return drawn && SDL_UpdateWindowSurface(window_) == 0;
}

}  // namespace zorvane
