#pragma once

#include <SDL.h>

#include "game/events/event_queue.h"
#include "game/events/frame_pacer.h"
#include "game/replay/script_playback.h"

namespace zorvane {

// Shows a recording in place of the players: the game runs the recording's key-downs and ticks,
// at the game's pace. The keyboard and the controllers are ignored but for Escape, which ends
// the show, as a request to close the window does.
class PlaybackPump : public EventPump {
 public:
  PlaybackPump(FramePacer& pacer, ScriptPlayback& playback);

  void DoEvents(Form1& form) override;

 private:
  static bool EndsTheShow(const SDL_Event& event);

  FramePacer& pacer_;
  ScriptPlayback& playback_;
};

}  // namespace zorvane
