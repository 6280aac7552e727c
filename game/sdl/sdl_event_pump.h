#pragma once

#include <SDL.h>

#include "game/clock.h"
#include "game/event_queue.h"
#include "game/sdl/frame_pacer.h"

namespace zorvane {

// Turns SDL's events into the game window's events: key-downs (auto-repeats too) with their
// virtual-key codes, and close requests. Key-ups and text input mean nothing to the game.
class SdlEventPump : public EventPump {
 public:
  explicit SdlEventPump(FramePacer& pacer);

  void DoEvents(Form1& form) override;

  // Told of every event the game ran: a recording.
  void Observe(EventObserver* observer) { queue_.SetObserver(observer); }

 private:
  void Post(const SDL_Event& event);

  FramePacer& pacer_;
  SteadyClock clock_;
  EventQueue queue_;
};

}  // namespace zorvane
