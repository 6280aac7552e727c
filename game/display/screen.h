#pragma once

#include "game/display/surface.h"

namespace zorvane {

// The display hardware and the game's window, as the platform provides them. The display object
// calls these; a headless screen stands in for them in tests and in the replay tool.
class Screen {
 public:
  virtual ~Screen() = default;

  // False where there is no display device to create a display object for.
  virtual bool OpenDevice() = 0;
  // Shows the game's ordinary window.
  virtual void ShowWindow() = 0;
  // Exclusive full-screen use of the display by the game window.
  virtual bool TakeExclusive() = 0;
  virtual bool SetMode(int width, int height, int bitsPerPixel) = 0;
  // Shows a flipped frame at the display's next refresh; false when it cannot be shown.
  virtual bool Present(const Surface& frame) = 0;
  virtual void RestoreMode() = 0;
  virtual void ReturnToNormal() = 0;
};

// A screen that passes every call on to another: the base of the screens that lay something over
// the frames they show, on a copy, so that the game's own drawing stays as it is.
class ForwardingScreen : public Screen {
 public:
  explicit ForwardingScreen(Screen& screen) : screen_(screen) {}

  bool OpenDevice() override { return screen_.OpenDevice(); }
  void ShowWindow() override { screen_.ShowWindow(); }
  bool TakeExclusive() override { return screen_.TakeExclusive(); }
  bool SetMode(int width, int height, int bitsPerPixel) override {
    return screen_.SetMode(width, height, bitsPerPixel);
  }
  bool Present(const Surface& frame) override { return screen_.Present(frame); }
  void RestoreMode() override { screen_.RestoreMode(); }
  void ReturnToNormal() override { screen_.ReturnToNormal(); }

 protected:
  Screen& screen_;
};

}  // namespace zorvane
