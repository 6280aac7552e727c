#pragma once

#include "game/events/event_pump.h"
#include "game/events/frame_pacer.h"
#include "game/net/lockstep_session.h"
#include "game/net/tick_beat.h"
#include "game/net/waiting_screen.h"
#include "game/sdl/input/sdl_event_pump.h"

namespace zorvane {

// The frame loop's events in a game over the network. The local player's key-downs (keyboard,
// held keys, controllers) come from the ordinary pump and go to the lockstep session instead of
// the game; the game gets exactly what the session runs, at most one tick a pass. While the
// game waits for the other player, the screen shows so.
class NetEventPump : public EventPump {
 public:
  NetEventPump(FramePacer& pacer, SdlEventPump& local, net::LockstepSession& session,
               net::WaitingScreen& screen, Clock& clock);

  void DoEvents(Form1& form) override;

 private:
  // The local window's events, for the session.
  class LocalPlayer : public WindowEvents {
   public:
    explicit LocalPlayer(net::LockstepSession& session) : session_(session) {}
    void Form_KeyDown(int16_t keyCode, int16_t) override { session_.LocalKeyDown(keyCode); }
    void Form_Close() override { session_.LocalClose(); }
    // The lockstep keeps its own beat.
    void tmrAI_Timer() override {}

   private:
    net::LockstepSession& session_;
  };

  FramePacer& pacer_;
  SdlEventPump& local_;
  net::LockstepSession& session_;
  net::WaitingScreen& screen_;
  net::TickBeat beat_;
  LocalPlayer player_;
};

}  // namespace zorvane
