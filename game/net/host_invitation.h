#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "game/events/event_pump.h"
#include "game/net/port_forward.h"
#include "game/net/waiting_screen.h"

namespace zorvane::net {

// The host's frame loop events, passed on as they are. Meanwhile, once it is known what a
// friend types to join (the router's outside address and the port it forwards, and this
// machine's own addresses for a friend on the same network), it is said on `out`, one line a
// command, and written on the waiting screen.
class HostInvitation : public EventPump {
 public:
  // Asks the router to forward `port` here, unless `askRouter` is false.
  HostInvitation(EventPump& events, WaitingScreen& screen, uint16_t port, bool askRouter,
                 std::ostream& out);

  void DoEvents(Form1& form) override;

 private:
  void Tell(const PortForward::Answer* answer);

  EventPump& events_;
  WaitingScreen& screen_;
  const uint16_t port_;
  std::ostream& out_;
  std::unique_ptr<PortForward> router_;
  bool told_ = false;
};

}  // namespace zorvane::net
