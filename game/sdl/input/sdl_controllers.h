#pragma once

#include <SDL.h>

#include <vector>

#include "game/display/sdl_ptr.h"
#include "game/events/clock.h"
#include "game/sdl/input/controller_seats.h"
#include "game/sdl/input/key_repeater.h"

namespace zorvane {

// SDL's game controllers, plugged in and out while the game runs, turned into the key-downs of
// the blocks they drive (ControllerSeats). Uses SDL's mapping database, so any controller SDL
// knows works.
class SdlControllers {
 public:
  // Starts SDL's game-controller support; without it the game plays on with the keyboard alone.
  SdlControllers(Clock& clock, KeyRepeater::PostKeyDown post);
  ~SdlControllers();
  SdlControllers(const SdlControllers&) = delete;
  SdlControllers& operator=(const SdlControllers&) = delete;

  // Takes a controller's event and posts what it means; false for any other event.
  bool Take(const SDL_Event& event);
  // Repeats (unless `repeat` is false) and held buttons that are due by now.
  void PostDue(bool repeat) { seats_.PostDue(post_, repeat); }
  // Adds the keys of the directions held on the controllers to `codes`.
  void AddHeld(std::vector<int16_t>& codes) const { seats_.AddHeld(codes); }

 private:
  using Controller = SdlGameControllerPtr;

  void Connect(int deviceIndex);
  void Disconnect(SDL_JoystickID id);

  KeyRepeater::PostKeyDown post_;
  ControllerSeats seats_;
  bool started_ = false;
  std::vector<Controller> open_;  // those that drive a block
};

}  // namespace zorvane
