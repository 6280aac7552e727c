#include "game/sdl/sdl_event_pump.h"

#include "game/form1.h"
#include "game/sdl/virtual_key.h"

namespace zorvane {

SdlEventPump::SdlEventPump(FramePacer& pacer) : pacer_(pacer), queue_(clock_) {}

void SdlEventPump::DoEvents(Form1& form) {
  pacer_.BeginPass();
  SDL_Event event;
  while (SDL_PollEvent(&event)) Post(event);
  queue_.RunPending(form);
}

void SdlEventPump::Post(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      const int code = VirtualKeyCode(event.key.keysym.sym, event.key.keysym.scancode);
      if (code != kNoVirtualKey) {
        queue_.PostKeyDown(static_cast<int16_t>(code), ShiftState(event.key.keysym.mod));
      }
      break;
    }
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

}  // namespace zorvane
