#include "game/net/host_invitation.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "settings/error_log.h"

namespace zorvane::net {

HostInvitation::HostInvitation(EventPump& events, WaitingScreen& screen, uint16_t port,
                               bool askRouter, std::ostream& out)
    : events_(events),
      screen_(screen),
      port_(port),
      out_(out),
      router_(askRouter ? std::make_unique<PortForward>(port) : nullptr) {}

void HostInvitation::DoEvents(Form1& form) {
  events_.DoEvents(form);
  if (told_) return;
  if (!router_) {
    Tell(nullptr);
  } else if (const std::optional<PortForward::Answer> answer = router_->Poll()) {
    Tell(&*answer);
  }
}

void HostInvitation::Tell(const PortForward::Answer* answer) {
  told_ = true;
  std::vector<std::string> shown;
  if (answer != nullptr && answer->outside) {
    const std::string command = JoinCommand(*answer->outside);
    out_ << "the router forwards UDP port " << port_ << " here (" << answer->how
         << "): a friend joins with " << command << std::endl;
    shown = {"a friend joins with:", command};
  } else if (answer != nullptr) {
    LogError("router", answer->how);
  }
  const std::vector<uint32_t> local = LocalIpv4Addresses();
  if (!local.empty()) shown.push_back("on this network:");
  for (const uint32_t address : local) {
    const std::string command = JoinCommand({address, port_});
    out_ << "on this network, a friend joins with " << command << std::endl;
    shown.push_back(command);
  }
  screen_.SetNotice(std::move(shown));
}

}  // namespace zorvane::net
