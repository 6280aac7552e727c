#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "game/sdl/video/nearest_scaler.h"
#include "game/sdl/video/picture_placement.h"
#include "game/sdl/video/presenter.h"

namespace zorvane {

// Draws frames straight into the window's own pixels as a plain X image, scaled by the CPU.
// Where OpenGL runs on the CPU anyway this is several times cheaper than any SDL renderer.
class WindowSurfacePresenter : public Presenter {
 public:
  // Empty where the window has no surface of 2 or 4 bytes a pixel.
  static std::unique_ptr<WindowSurfacePresenter> Create(SDL_Window* window);

  bool Present(const Surface& frame) override;
  const char* name() const override { return "window surface"; }

 private:
  explicit WindowSurfacePresenter(SDL_Window* window) : window_(window) {}
  // Called when the window's surface is new (first frame, or the window changed size).
  bool Adopt(SDL_Surface* surface, const Surface& frame);

  SDL_Window* window_;
  SDL_Surface* surface_ = nullptr;
  int surfaceWidth_ = 0;
  int surfaceHeight_ = 0;
  uint32_t surfaceFormat_ = 0;
  std::vector<uint32_t> colors_;
  PicturePlacement placement_;
  NearestScaler scaler_;
};

}  // namespace zorvane
