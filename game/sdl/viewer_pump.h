#pragma once

#include <SDL.h>

#include <vector>

#include "game/display/sdl_ptr.h"
#include "game/events/event_pump.h"
#include "game/events/frame_pacer.h"
#include "game/replay/replay_viewer.h"
#include "game/sdl/video/sdl_screen.h"

namespace zorvane {

// Shows a recording in place of the players: the keyboard, the game controllers and the mouse on
// the timeline drive the viewer, never the game. Escape, or a request to close the window, ends
// the show; Alt+Enter switches between window and full screen. The pointer shows while the
// timeline does.
class ViewerPump : public EventPump {
 public:
  ViewerPump(FramePacer& pacer, ReplayViewer& viewer, SdlScreen& screen);

  void DoEvents(Form1& form) override;

 private:
  static bool EndsTheShow(const SDL_Event& event);
  void Take(Form1& form, const SDL_Event& event);
  void TakeKey(Form1& form, const SDL_KeyboardEvent& key);
  void TakeButton(Form1& form, uint8_t button);
  // A press or a drag of the left button at a point of the window.
  void Point(Form1& form, int x, int y, bool press);

  FramePacer& pacer_;
  ReplayViewer& viewer_;
  SdlScreen& screen_;
  std::vector<SdlGameControllerPtr> controllers_;
  bool dragging_ = false;  // the left button went down on the timeline and is still down
  bool pointerShown_ = false;
};

}  // namespace zorvane
