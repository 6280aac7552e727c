#pragma once

#include <memory>
#include <optional>
#include <string>

#include "game/display/screen.h"
#include "game/events/clock.h"
#include "game/events/frame_pacer.h"
#include "game/sdl/video/game_window.h"
#include "game/sdl/video/presenter.h"

namespace zorvane {

// The display as SDL gives it: the game's window, full screen on the desktop's own mode (no real
// mode switch) or, when asked, an ordinary window; the 640 x 480 picture at the largest whole
// multiple that fits, centred on black.
class SdlScreen : public Screen {
 public:
  // Files such as the window icon are read from dataDirectory. With `inWindow` the display is
  // taken as a window instead of full screen.
  SdlScreen(std::string dataDirectory, FramePacer& pacer, bool inWindow = false);
  ~SdlScreen() override;
  SdlScreen(const SdlScreen&) = delete;
  SdlScreen& operator=(const SdlScreen&) = delete;

  // Starts SDL's video. Raises NoDisplayError, which the game does not trap, where no window can
  // be shown: a game in a window nobody sees could not be ended.
  bool OpenDevice() override;
  void ShowWindow() override;
  bool TakeExclusive() override;
  bool SetMode(int width, int height, int bitsPerPixel) override;
  bool Present(const Surface& frame) override;
  void RestoreMode() override;
  void ReturnToNormal() override;

  // Between full screen and a window, either way, once the display is taken.
  void SwitchDisplay();

  // The desktop's pointer over the window, or none (the game's own way).
  void ShowPointer(bool shown);
  // The pixel of the 640 x 480 picture shown at a point of the window; empty off the picture.
  std::optional<SDL_Point> PictureAt(int x, int y) const;

  // Gives the display back and closes the window, from whatever state play stopped in.
  void Close();

  // What draws the frames; empty before the mode is set.
  std::string presenterName() const;
  SDL_Window* window() const { return window_ ? window_->get() : nullptr; }

 private:
  std::string dataDirectory_;
  FramePacer& pacer_;
  SteadyClock clock_;
  bool videoStarted_ = false;
  bool hardwareRenderer_ = false;
  bool inWindow_;
  bool displayTaken_ = false;
  std::unique_ptr<GameWindow> window_;
  std::unique_ptr<Presenter> presenter_;
};

}  // namespace zorvane
