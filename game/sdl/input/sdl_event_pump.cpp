#include "game/sdl/input/sdl_event_pump.h"

#include <utility>

#include "game/events/key_codes.h"
#include "game/sdl/input/virtual_key.h"
#include "game/sim/form1.h"

namespace zorvane {

SdlEventPump::SdlEventPump(FramePacer& pacer, Clock& clock, KeyRepeat repeat,
                           std::function<void()> switchDisplay)
    : pacer_(pacer),
      clock_(clock),
      repeat_(repeat),
      switchDisplay_(std::move(switchDisplay)),
      queue_(clock),
      keyRepeater_(clock) {}

void SdlEventPump::StartControllers() {
  if (controllers_) return;
  controllers_.emplace(clock_, [this](int16_t keyCode) {
    // A controller leaves the demo with anything but Back held (Escape).
    if (leave_ && keyCode != kVkEscape) {
      std::exchange(leave_, nullptr)();
      return;
    }
    PostPersonsKey(keyCode, 0);
  });
}

void SdlEventPump::DoEvents(Form1& form) {
  pacer_.BeginPass();
  Deliver(form);
}

void SdlEventPump::Deliver(WindowEvents& window) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) Post(event);
  // Repeats the game makes itself go after the keys that came in this pass, before its tick.
  const bool repeat = repeat_ != KeyRepeat::Off;
  if (controllers_) controllers_->PostDue(repeat);
  if (repeat) {
    keyRepeater_.PostDue(
        [this](int16_t keyCode) { PostPersonsKey(keyCode, ShiftState(SDL_GetModState())); });
  }
  queue_.RunPending(window);
}

std::vector<int16_t> SdlEventPump::HeldKeys() const {
  std::vector<int16_t> codes;
  keyRepeater_.AddHeld(codes);
  if (controllers_) controllers_->AddHeld(codes);
  return codes;
}

void SdlEventPump::Post(const SDL_Event& event) {
  if (controllers_ && controllers_->Take(event)) return;
  switch (event.type) {
    case SDL_KEYDOWN:
      PostKey(event.key);
      break;
    case SDL_KEYUP:
      if (event.key.keysym.scancode == switchKey_) switchKey_ = SDL_SCANCODE_UNKNOWN;
      keyRepeater_.Release(event.key.keysym.scancode);
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) queue_.PostClose();
      break;
    case SDL_QUIT:
      // Also what SIGINT and SIGTERM become.
      queue_.PostClose();
      break;
    default:
      break;
  }
}

void SdlEventPump::PostKey(const SDL_KeyboardEvent& key) {
  if (leave_ && !key.repeat && LeavesDemo(key.keysym)) return;
  const int code = VirtualKeyCode(key.keysym.sym, key.keysym.scancode);
  if (code == kNoVirtualKey) return;
  if (code == kVkReturn && (key.keysym.mod & KMOD_ALT) != 0) {
    if (!key.repeat) {
      switchKey_ = key.keysym.scancode;
      switchDisplay_();
    }
    return;
  }
  if (key.keysym.scancode == switchKey_) return;
  const int16_t shift = ShiftState(key.keysym.mod);
  if (repeat_ == KeyRepeat::Platform) {
    PostPersonsKey(static_cast<int16_t>(code), shift);
  } else if (!key.repeat) {
    // The platform repeats only the last key pressed; each key's own repeats come from here.
    keyRepeater_.Press(key.keysym.scancode, static_cast<int16_t>(code),
                       [&](int16_t keyCode) { PostPersonsKey(keyCode, shift); });
  }
}

void SdlEventPump::PostPersonsKey(int16_t keyCode, int16_t shift) {
  queue_.PostKeyDown(personsBlock_ ? SameKeyOf(*personsBlock_, keyCode) : keyCode, shift);
}

bool SdlEventPump::LeavesDemo(const SDL_Keysym& key) {
  const bool modifier = (key.sym >= SDLK_LCTRL && key.sym <= SDLK_RGUI) || key.sym == SDLK_MODE;
  const bool switchDisplay =
      (key.mod & KMOD_ALT) != 0 && (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER);
  if (key.sym == SDLK_ESCAPE || modifier || switchDisplay) return false;
  std::exchange(leave_, nullptr)();
  return true;
}

}  // namespace zorvane
