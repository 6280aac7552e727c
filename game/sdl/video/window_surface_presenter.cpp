#include "game/sdl/video/window_surface_presenter.h"

#include <cstring>

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

WindowSurfacePresenter::WindowSurfacePresenter(SDL_Window* window) : window_(window) {
  SDL_AddEventWatch(WatchExposures, this);
}

WindowSurfacePresenter::~WindowSurfacePresenter() { SDL_DelEventWatch(WatchExposures, this); }

// The X server keeps no copy of a window that something covered: what was under the cover must
// be sent again.
int WindowSurfacePresenter::WatchExposures(void* presenter, SDL_Event* event) {
  auto* self = static_cast<WindowSurfacePresenter*>(presenter);
  if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_EXPOSED &&
      event->window.windowID == SDL_GetWindowID(self->window_)) {
    self->exposed_ = true;
  }
  return 0;
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
  shown_.clear();
  // The borders around the picture are cleared here and stay so: only the picture is drawn each
  // frame, and the whole of it at once next.
  const PicturePlacement& p = placement_;
  const SDL_Rect borders[] = {{0, 0, surface->w, p.y},
                              {0, p.y + p.height, surface->w, surface->h - p.y - p.height},
                              {0, p.y, p.x, p.height},
                              {p.x + p.width, p.y, surface->w - p.x - p.width, p.height}};
  return SDL_FillRects(surface, borders, 4, SDL_MapRGB(surface->format, 0, 0, 0)) == 0;
}

std::vector<WindowSurfacePresenter::Rows> WindowSurfacePresenter::ChangedRows(
    const Surface& frame) const {
  const int width = frame.width();
  const int height = frame.height();
  const uint16_t* pixels = frame.pixels();
  if (shown_.size() != static_cast<size_t>(width) * height) return {{0, height}};
  std::vector<Rows> changed;
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
  for (int y = 0; y < height; ++y) {
    const size_t at = static_cast<size_t>(y) * width;
    if (std::memcmp(pixels + at, shown_.data() + at, rowBytes) == 0) continue;
    if (!changed.empty() && changed.back().end == y) {
      ++changed.back().end;
    } else {
      changed.push_back({y, y + 1});
    }
  }
  if (!changed.empty() && placement_.scale == 0) return {{0, height}};
  return changed;
}

bool WindowSurfacePresenter::Present(const Surface& frame) {
  // Cheap when nothing changed; a new surface after the window changed size.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return false;
  const bool changed = surface != surface_ || surface->w != surfaceWidth_ ||
                       surface->h != surfaceHeight_ || surface->format->format != surfaceFormat_;
  if (changed && !Adopt(surface, frame)) return false;
  const std::vector<Rows> rows = ChangedRows(frame);
  const bool sendAll = changed || exposed_.exchange(false);
  if (rows.empty() && !sendAll) return true;

  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  const PixelTarget target{surface->pixels, surface->pitch, surface->format->BytesPerPixel,
                           surface->w, surface->h};
  const int width = frame.width();
  const int scale = placement_.scale;
  bool drawn = true;
  std::vector<SDL_Rect> rects;
  for (const Rows& r : rows) {
    // At a whole multiple each source row has rows of its own on the screen, so a run of rows is
    // drawn as a picture of its own; a shrunk picture is always drawn whole.
    const PicturePlacement area =
        scale == 0 ? placement_
                   : PicturePlacement{placement_.x, placement_.y + r.first * scale,
                                      placement_.width, (r.end - r.first) * scale, scale};
    drawn = drawn && scaler_.Draw(frame.pixels() + static_cast<size_t>(r.first) * width, width,
                                  r.end - r.first, colors_, target, area);
    rects.push_back({area.x, area.y, area.width, area.height});
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  if (!drawn) {
    shown_.clear();
    return false;
  }
  const size_t pixelCount = static_cast<size_t>(width) * frame.height();
  if (shown_.size() != pixelCount) shown_.assign(frame.pixels(), frame.pixels() + pixelCount);
  for (const Rows& r : rows) {
    const size_t at = static_cast<size_t>(r.first) * width;
    std::memcpy(shown_.data() + at, frame.pixels() + at,
                static_cast<size_t>(r.end - r.first) * width * sizeof(uint16_t));
  }
  const int sent =
      sendAll ? SDL_UpdateWindowSurface(window_)
              : SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
  return sent == 0;
}

}  // namespace zorvane
