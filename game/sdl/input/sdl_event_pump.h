#pragma once

#include <SDL.h>

#include <functional>
#include <vector>

#include "game/events/clock.h"
#include "game/events/event_pump.h"
#include "game/events/event_queue.h"
#include "game/events/frame_pacer.h"
#include "game/sdl/input/key_repeater.h"
#include "game/sdl/input/sdl_controllers.h"

namespace zorvane {

// Turns SDL's events into the game window's events: key-downs with their virtual-key codes
// (held keys repeating as `repeat` says), the game controllers' key-downs, and close requests.
// Key-ups and text input mean nothing to the game. Alt+Enter is the player's, not the game's:
// it calls switchDisplay.
class SdlEventPump : public EventPump {
 public:
  SdlEventPump(FramePacer& pacer, Clock& clock, KeyRepeat repeat,
               std::function<void()> switchDisplay);

  void DoEvents(Form1& form) override;
  // What DoEvents does after the pass begins: the platform's events run on `window`, the
  // timer's tick last.
  void Deliver(WindowEvents& window);

  // Told of every event the game ran: a recording.
  void Observe(EventObserver* observer) { queue_.SetObserver(observer); }

  // The virtual-key codes of the game keys held down now, on the keyboard (not with
  // KeyRepeat::Platform, which leaves the keyboard's keys to it) and on the controllers.
  std::vector<int16_t> HeldKeys() const;

 private:
  void Post(const SDL_Event& event);
  void PostKey(const SDL_KeyboardEvent& key);

  FramePacer& pacer_;
  KeyRepeat repeat_;
  std::function<void()> switchDisplay_;
  EventQueue queue_;
  KeyRepeater keyRepeater_;
  SdlControllers controllers_;
  // The Enter of the Alt+Enter last pressed, until it is let go: its repeats are not the game's
  // either, even once Alt is up.
  SDL_Scancode switchKey_ = SDL_SCANCODE_UNKNOWN;
};

}  // namespace zorvane
