#pragma once

#include <SDL.h>

#include <memory>

#include "game/display/screen.h"
#include "game/sdl/video/presenter.h"

namespace zorvane {

// The display in a web page: a 640 x 480 window on the page's canvas, the picture drawn into the
// window's own pixels one for one. The page, not the game, scales the canvas and takes the screen
// for full screen; the browser's animation frames pace the presents.
class PageScreen : public Screen {
 public:
  PageScreen() = default;
  ~PageScreen() override;
  PageScreen(const PageScreen&) = delete;
  PageScreen& operator=(const PageScreen&) = delete;

  // Starts SDL's video. Raises NoDisplayError, which the game does not trap, where it cannot.
  bool OpenDevice() override;
  void ShowWindow() override;
  bool TakeExclusive() override { return window_ != nullptr; }
  bool SetMode(int width, int height, int bitsPerPixel) override;
  bool Present(const Surface& frame) override;
  void RestoreMode() override { presenter_.reset(); }
  void ReturnToNormal() override { presenter_.reset(); }

  // Closes the window, which leaves the canvas empty, and SDL's video with it.
  void Close();

 private:
  bool videoStarted_ = false;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<Presenter> presenter_;
};

}  // namespace zorvane
