#pragma once

#include <SDL.h>

#include <map>

namespace zorvane::test {

// Game controllers made by SDL itself (virtual joysticks with the standard controller layout),
// plugged in and out by tests: no device and no display needed. Needs SDL's joystick support.
class VirtualPads {
 public:
  VirtualPads() = default;
  ~VirtualPads();
  VirtualPads(const VirtualPads&) = delete;
  VirtualPads& operator=(const VirtualPads&) = delete;

  // Plugs in pad number `pad` (the test's own name for it); false when SDL refuses.
  bool Plug(int pad);
  void Unplug(int pad);
  // A button (SDL_GameControllerButton) pressed or let go, an axis (SDL_GameControllerAxis) moved.
  void SetButton(int pad, int button, bool down);
  void SetAxis(int pad, int axis, int value);

 private:
  std::map<int, SDL_Joystick*> pads_;
};

}  // namespace zorvane::test
