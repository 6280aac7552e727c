#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/sdl/video/nearest_scaler.h"
#include "game/sdl/video/picture_placement.h"
#include "game/sdl/video/presenter.h"

namespace zorvane {

// Draws frames straight into the window's own pixels as a plain X image, scaled by the CPU.
// Where OpenGL runs on the CPU anyway this is several times cheaper than any SDL renderer.
//
// Only what changed is drawn and sent: the rows of a frame that differ from the frame the window
// shows, scaled into the window's pixels and sent as rectangles, or nothing when no row differs.
// A window uncovered again (an exposure), resized or new gets the whole of it. Presenting never
// waits for the display here, so a frame not sent changes nothing but the work.
class WindowSurfacePresenter : public Presenter {
 public:
  // Empty where the window has no surface of 2 or 4 bytes a pixel.
  static std::unique_ptr<WindowSurfacePresenter> Create(SDL_Window* window);
  ~WindowSurfacePresenter() override;
  WindowSurfacePresenter(const WindowSurfacePresenter&) = delete;
  WindowSurfacePresenter& operator=(const WindowSurfacePresenter&) = delete;

  bool Present(const Surface& frame) override;
  const char* name() const override { return "window surface"; }

 private:
  // Source rows [first, end) of the frame.
  struct Rows {
    int first;
    int end;
  };

  explicit WindowSurfacePresenter(SDL_Window* window);
  // Called when the window's surface is new (first frame, or the window changed size).
  bool Adopt(SDL_Surface* surface, const Surface& frame);
  // The runs of rows of the frame that differ from the frame shown; all of them when the picture
  // is shrunk, where a source row has no rows of its own on the screen.
  std::vector<Rows> ChangedRows(const Surface& frame) const;
  static int WatchExposures(void* presenter, SDL_Event* event);

  SDL_Window* window_;
  SDL_Surface* surface_ = nullptr;
  int surfaceWidth_ = 0;
  int surfaceHeight_ = 0;
  uint32_t surfaceFormat_ = 0;
  std::vector<uint32_t> colors_;
  PicturePlacement placement_;
  NearestScaler scaler_;
  // The frame the window's pixels show; empty when they show none yet.
  std::vector<uint16_t> shown_;
  std::atomic<bool> exposed_ = false;
};

}  // namespace zorvane
