#pragma once

#include <string>

#include "game/events/event_pump.h"
#include "game/events/frame_pacer.h"
#include "game/net/net_session.h"
#include "game/net/waiting_screen.h"
#include "game/sdl/input/sdl_event_pump.h"

namespace zorvane {

// The frame loop's events in a game over the network. The local player's key presses and the
// keys held (keyboard and controllers, without repeats: the session makes its own) come from the
// ordinary pump and go to the session instead of the game; the game gets exactly what the
// session runs, on the session's beat. While the game waits for the other player, the screen
// shows so.
class NetEventPump : public EventPump {
 public:
  NetEventPump(FramePacer& pacer, SdlEventPump& local, net::NetSession& session,
               net::WaitingScreen& screen, Clock& clock);

  void DoEvents(Form1& form) override;

  // The line a game over the network ends with: ticks a second, rollbacks, the deepest, the
  // time spent slowed. Empty when play never began.
  std::string Report() const;

 private:
  // The local window's events, for the session.
  class LocalPlayer : public WindowEvents {
   public:
    explicit LocalPlayer(net::NetSession& session) : session_(session) {}
    void Form_KeyDown(int16_t keyCode, int16_t) override { session_.LocalKeyDown(keyCode); }
    void Form_Close() override { session_.LocalClose(); }
    // The session keeps its own beat.
    void tmrAI_Timer() override {}

   private:
    net::NetSession& session_;
  };

  FramePacer& pacer_;
  SdlEventPump& local_;
  net::NetSession& session_;
  net::WaitingScreen& screen_;
  Clock& clock_;
  LocalPlayer player_;
};

}  // namespace zorvane
