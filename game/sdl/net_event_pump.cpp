#include "game/sdl/net_event_pump.h"

#include <cstdio>

namespace zorvane {

NetEventPump::NetEventPump(FramePacer& pacer, SdlEventPump& local, net::NetSession& session,
                           net::WaitingScreen& screen, Clock& clock)
    : pacer_(pacer),
      local_(local),
      session_(session),
      screen_(screen),
      clock_(clock),
      player_(session) {}

void NetEventPump::DoEvents(Form1& form) {
  pacer_.BeginPass();
  local_.Deliver(player_);
  session_.LocalHeld(local_.HeldKeys());
  session_.Frame(form);
  screen_.SetWaiting(!session_.playing());
}

std::string NetEventPump::Report() const {
  if (!session_.playing()) return "";
  const net::SessionStats stats = session_.stats();
  const double seconds =
      static_cast<double>(clock_.NowMicros() - session_.playStartedMicros()) / 1e6;
  char line[200];
  std::snprintf(line, sizeof line,
                "%.2f ticks a second over %.1f s, %u rollbacks (the deepest %u ticks), slowed "
                "for %.1f s",
                seconds > 0 ? stats.ticks / seconds : 0.0, seconds, stats.rollbacks,
                stats.deepestRollback, static_cast<double>(stats.slowedMicros) / 1e6);
  return line;
}

}  // namespace zorvane
