#pragma once

#include <string>
#include <vector>

#include "game/display/screen.h"

namespace zorvane {

// A screen with no window: it accepts or refuses each step as it is set up to, keeps a copy of
// the last frame shown, and logs the calls it gets, in order.
class HeadlessScreen : public Screen {
 public:
  bool OpenDevice() override { return Log("open", hasDevice); }
  void ShowWindow() override { Log("show", true); }
  bool TakeExclusive() override { return Log("exclusive", allowExclusive); }
  bool SetMode(int width, int height, int bitsPerPixel) override {
    return Log("mode", allowMode && width == 640 && height == 480 && bitsPerPixel == 16);
  }
  bool Present(const Surface& frame) override {
    if (!allowPresent) return Log("present", false);
    ++presented;
    if (keepFrames) shown = frame;
    return Log("present", true);
  }
  void RestoreMode() override { Log("restore", true); }
  void ReturnToNormal() override { Log("normal", true); }

  // How the screen answers.
  bool hasDevice = true;
  bool allowExclusive = true;
  bool allowMode = true;
  bool allowPresent = true;
  bool keepFrames = true;
  bool logCalls = true;

  // What it saw.
  int presented = 0;  // frames shown
  Surface shown{0, 0};
  std::vector<std::string> calls;

 private:
  bool Log(const char* call, bool ok) {
    if (logCalls) calls.push_back(ok ? call : std::string(call) + " refused");
    return ok;
  }
};

}  // namespace zorvane
