#include "game/sdl/playback_pump.h"

#include "game/sim/form1.h"

namespace zorvane {

PlaybackPump::PlaybackPump(FramePacer& pacer, ScriptPlayback& playback)
    : pacer_(pacer), playback_(playback) {}

void PlaybackPump::DoEvents(Form1& form) {
  pacer_.BeginPass();
  bool end = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) end = end || EndsTheShow(event);
  if (end) {
    form.Form_Close();
    return;
  }
  playback_.RunPending(form);
}

bool PlaybackPump::EndsTheShow(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      return event.key.keysym.sym == SDLK_ESCAPE;
    case SDL_WINDOWEVENT:
      return event.window.event == SDL_WINDOWEVENT_CLOSE;
    case SDL_QUIT:
      return true;
    default:
      return false;
  }
}

}  // namespace zorvane
