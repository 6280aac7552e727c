#pragma once

#include <SDL.h>

#include <functional>
#include <optional>
#include <vector>

#include "game/events/clock.h"
#include "game/events/event_pump.h"
#include "game/events/event_queue.h"
#include "game/events/frame_pacer.h"
#include "game/events/key_codes.h"
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

  // Told of every event the game ran: a recording, the computer's players.
  void Observe(EventObserver* observer) { queue_.AddObserver(observer); }

  // A key-down from a player that is not at the keys, the computer: it joins the queue as it is.
  void PostKeyDown(int16_t keyCode) { queue_.PostKeyDown(keyCode, 0); }
  // Against the computer: the person's keys of either block, and their controllers, steer
  // `block`.
  void SteerOnly(Block block) { personsBlock_ = block; }
  // The demo: the first key the person presses but Escape (or a modifier, or Alt+Enter) is not
  // the game's; it calls `leave`, once.
  void LeaveOnAnyKey(std::function<void()> leave) { leave_ = std::move(leave); }

  // Starts SDL's game controllers, which takes a few milliseconds: the program does it once its
  // first frame is on the screen. Until then only the keyboard plays.
  void StartControllers();

  // The virtual-key codes of the game keys held down now, on the keyboard (not with
  // KeyRepeat::Platform, which leaves the keyboard's keys to it) and on the controllers.
  std::vector<int16_t> HeldKeys() const;

 private:
  void Post(const SDL_Event& event);
  void PostKey(const SDL_KeyboardEvent& key);
  // A key-down of the person's, keyboard or controller.
  void PostPersonsKey(int16_t keyCode, int16_t shift);
  // Whether the key ends the demo; it then calls leave_.
  bool LeavesDemo(const SDL_Keysym& key);

  FramePacer& pacer_;
  Clock& clock_;
  KeyRepeat repeat_;
  std::function<void()> switchDisplay_;
  EventQueue queue_;
  KeyRepeater keyRepeater_;
  std::optional<SdlControllers> controllers_;
  // The Enter of the Alt+Enter last pressed, until it is let go: its repeats are not the game's
  // either, even once Alt is up.
  SDL_Scancode switchKey_ = SDL_SCANCODE_UNKNOWN;
  std::optional<Block> personsBlock_;
  std::function<void()> leave_;
};

}  // namespace zorvane
