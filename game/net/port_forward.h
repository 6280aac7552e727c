#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "game/net/join_address.h"

namespace zorvane::net {

// Asks the router in front of this machine to forward a UDP port here, by NAT-PMP or UPnP-IGD,
// on a thread of its own, so that the game never waits on the router. The forwarding is leased,
// renewed at half its lease for as long as this object lives, and taken back when it goes.
// Nothing the router says reaches the game but a checked outside address and port.
class PortForward {
 public:
  struct Answer {
    std::optional<JoinAddress> outside;  // where the internet reaches the port; none: nowhere
    std::string how;                     // "NAT-PMP" or "UPnP-IGD"; else why nothing was forwarded
  };

  static constexpr std::chrono::seconds kLease{3600};
  // How long the game waits for the router before it goes on without it.
  static constexpr std::chrono::milliseconds kPatience{2000};

  // Starts asking at once for `port`, in the background.
  explicit PortForward(uint16_t port, std::chrono::seconds lease = kLease);
  // Takes the forwarding back (waiting a moment for the router), and ends the thread.
  ~PortForward();
  PortForward(const PortForward&) = delete;
  PortForward& operator=(const PortForward&) = delete;

  // The answer, once: the router's, or "no router answered" when kPatience has gone by without
  // one; empty before that and after. A forwarding that comes later is taken back at once.
  std::optional<Answer> Poll();

 private:
  void Run();
  bool Stopping();

  const uint16_t port_;
  const std::chrono::seconds lease_;
  const std::chrono::steady_clock::time_point asked_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Answer> answer_;  // from the thread, for Poll
  bool polled_ = false;           // Poll has answered; the thread's answer is no longer wanted
  bool stopping_ = false;
  std::thread thread_;  // last: started once everything above is set
};

}  // namespace zorvane::net
