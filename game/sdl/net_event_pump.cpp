#include "game/sdl/net_event_pump.h"

namespace zorvane {

NetEventPump::NetEventPump(FramePacer& pacer, SdlEventPump& local, net::LockstepSession& session,
                           net::WaitingScreen& screen, Clock& clock)
    : pacer_(pacer),
      local_(local),
      session_(session),
      screen_(screen),
      beat_(clock),
      player_(session) {}

void NetEventPump::DoEvents(Form1& form) {
  pacer_.BeginPass();
  local_.Deliver(player_);
  const bool wasPlaying = session_.playing();
  session_.Pass(form, wasPlaying ? beat_.Reached(session_.ticksRun()) : 0);
  if (!wasPlaying && session_.playing()) beat_.Start();
  screen_.SetWaiting(!session_.playing());
}

}  // namespace zorvane
