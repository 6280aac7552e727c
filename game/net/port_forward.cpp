#include "game/net/port_forward.h"

#include <poll.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#define ENABLE_STRNATPMPERR  // declares strnatpmperr, which the library exports
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
#include <natpmp.h>

#include "settings/error_log.h"

namespace zorvane::net {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using SteadyClock = std::chrono::steady_clock;

// NAT-PMP's first answer is awaited over its first two sends (at 0 and 250 ms); a router that
// speaks it answers in a few milliseconds, one that does not refuses at once or never answers.
constexpr milliseconds kNatPmpFirstAnswer{750};
// UPnP's discovery listens this long for answers (its least).
constexpr int kUpnpDiscoveryMs = 1000;
// Renewals and the taking back, which the game does not wait for, may take longer.
constexpr milliseconds kLaterAnswer{2000};
constexpr seconds kShortestRenewal{10};
constexpr const char* kDescription = "Zorvane";
constexpr const char* kNoRouter = "no router answered within 2 s";
static_assert(PortForward::kPatience == seconds(2), "say the patience in kNoRouter");

void LogRouter(const std::string& message) { LogError("router", message); }

// Why a router's outside address is not used, without repeating what did not parse.
std::string RefusedOutside(const char* protocol, std::string_view address) {
  const std::optional<uint32_t> parsed = ParseIpv4(address);
  if (!parsed) return std::string(protocol) + ": the router's outside address does not parse";
  return std::string(protocol) + ": the router's outside address " + Ipv4Text(*parsed) +
         " is not one the internet reaches";
}

// A port forwarded for as long as this object lives.
class Lease {
 public:
  virtual ~Lease() = default;
  // Asks for the whole lease again; how long until the next renewal.
  virtual seconds Renew() = 0;
};

// What asking by one protocol came to.
struct Attempt {
  std::unique_ptr<Lease> lease;  // none: nothing forwarded
  JoinAddress outside;
  seconds renewIn{};
  std::string how;  // the protocol once forwarded; else why not, empty when no router answered
};

Attempt Failed(std::string why) { return {nullptr, {}, {}, std::move(why)}; }

seconds HalfOf(seconds lease) { return std::max(kShortestRenewal, lease / 2); }

// --- NAT-PMP (RFC 6886), with libnatpmp: the default gateway's UDP port 5351. ---------------

class NatPmpClient {
 public:
  NatPmpClient() : status_(initnatpmp(&natpmp_, 0, 0)) {}
  ~NatPmpClient() {
    if (status_ == 0) closenatpmp(&natpmp_);
  }
  NatPmpClient(const NatPmpClient&) = delete;
  NatPmpClient& operator=(const NatPmpClient&) = delete;

  // 0, or why there is no gateway to ask.
  int status() const { return status_; }

  int PublicAddress(natpmpresp_t& response, SteadyClock::time_point deadline) {
    const int sent = sendpublicaddressrequest(&natpmp_);
    return sent < 0 ? sent : Await(response, deadline);
  }

  // Asks for `port` here to be reached at `publicPort` outside for `lifetime` seconds (0: no
  // longer), and checks that the answer is about that port.
  int MapUdp(uint16_t port, uint16_t publicPort, uint32_t lifetime, natpmpresp_t& response,
             SteadyClock::time_point deadline) {
    const int sent =
        sendnewportmappingrequest(&natpmp_, NATPMP_PROTOCOL_UDP, port, publicPort, lifetime);
    if (sent < 0) return sent;
    const int answer = Await(response, deadline);
    if (answer == 0 && (response.type != NATPMP_RESPTYPE_UDPPORTMAPPING ||
                        response.pnu.newportmapping.privateport != port)) {
      return NATPMP_ERR_UNDEFINEDERROR;
    }
    return answer;
  }

 private:
  // Waits for the answer to the request just sent, sending it again on libnatpmp's schedule.
  int Await(natpmpresp_t& response, SteadyClock::time_point deadline) {
    for (;;) {
      timeval retry{};
      getnatpmprequesttimeout(&natpmp_, &retry);
      const auto left =
          std::chrono::duration_cast<milliseconds>(deadline - SteadyClock::now()).count();
      if (left <= 0) return NATPMP_TRYAGAIN;
      const long untilRetry = std::max(0L, retry.tv_sec * 1000 + retry.tv_usec / 1000);
      pollfd socket{natpmp_.s, POLLIN, 0};
      poll(&socket, 1, static_cast<int>(std::min<long>(untilRetry, left)));
      const int result = readnatpmpresponseorretry(&natpmp_, &response);
      if (result != NATPMP_TRYAGAIN) return result;
    }
  }

  natpmp_t natpmp_{};
  int status_;
};

std::string NatPmpError(int code) {
  const char* text = strnatpmperr(code);
  return text != nullptr ? text : "error " + std::to_string(code);
}

class NatPmpLease : public Lease {
 public:
  NatPmpLease(std::unique_ptr<NatPmpClient> client, uint16_t port, uint16_t publicPort,
              seconds lease)
      : client_(std::move(client)), port_(port), publicPort_(publicPort), lease_(lease) {}

  ~NatPmpLease() override {
    natpmpresp_t response{};
    const int result = client_->MapUdp(port_, 0, 0, response, SteadyClock::now() + kLaterAnswer);
    if (result != 0) {
      LogRouter("NAT-PMP: port " + std::to_string(publicPort_) +
                " may stay forwarded until its lease ends: " + NatPmpError(result));
    }
  }

  seconds Renew() override {
    natpmpresp_t response{};
    const int result = client_->MapUdp(port_, publicPort_, static_cast<uint32_t>(lease_.count()),
                                       response, SteadyClock::now() + kLaterAnswer);
    if (result != 0) {
      LogRouter("NAT-PMP: renewing port " + std::to_string(publicPort_) + ": " +
                NatPmpError(result));
      return kShortestRenewal;
    }
    return HalfOf(std::min(lease_, seconds(response.pnu.newportmapping.lifetime)));
  }

 private:
  std::unique_ptr<NatPmpClient> client_;
  const uint16_t port_;
  const uint16_t publicPort_;
  const seconds lease_;
};

Attempt AskNatPmp(uint16_t port, seconds lease, SteadyClock::time_point asked) {
  auto client = std::make_unique<NatPmpClient>();
  if (client->status() != 0) return {};  // no default gateway
  natpmpresp_t response{};
  const int addressed = client->PublicAddress(response, asked + kNatPmpFirstAnswer);
  // No answer, or a refusal of the protocol itself: no NAT-PMP router there.
  if (addressed == NATPMP_TRYAGAIN || addressed == NATPMP_ERR_NOGATEWAYSUPPORT) return {};
  if (addressed != 0) return Failed("NAT-PMP: " + NatPmpError(addressed));
  const std::string address = Ipv4Text(ntohl(response.pnu.publicaddress.addr.s_addr));
  if (!CheckedOutsideAddress(address, port)) return Failed(RefusedOutside("NAT-PMP", address));

  const int mapped = client->MapUdp(port, port, static_cast<uint32_t>(lease.count()), response,
                                    asked + PortForward::kPatience);
  if (mapped != 0) {
    return Failed("NAT-PMP: the router did not forward port " + std::to_string(port) + ": " +
                  NatPmpError(mapped));
  }
  const uint16_t publicPort = response.pnu.newportmapping.mappedpublicport;
  auto held = std::make_unique<NatPmpLease>(std::move(client), port, publicPort, lease);
  const std::optional<JoinAddress> outside = CheckedOutsideAddress(address, publicPort);
  if (!outside || response.pnu.newportmapping.lifetime == 0) {
    return Failed("NAT-PMP: the router's answer names no port or lease");
  }
  return {std::move(held), *outside,
          HalfOf(std::min(lease, seconds(response.pnu.newportmapping.lifetime))), "NAT-PMP"};
}

// --- UPnP-IGD, with miniupnpc: discovery by SSDP, then SOAP over HTTP to the gateway. --------

std::string UpnpError(int code) {
  const char* text = strupnperror(code);
  return text != nullptr ? text : "error " + std::to_string(code);
}

// The internet gateway found, and the port forwarded through it once Forward succeeds.
class UpnpLease : public Lease {
 public:
  // Takes over the gateway's URLs from `urls`.
  UpnpLease(UPNPUrls& urls, const IGDdatas& gateway, std::string lanAddress, uint16_t port,
            seconds lease)
      : urls_(std::exchange(urls, UPNPUrls{})),
        gateway_(gateway),
        lanAddress_(std::move(lanAddress)),
        port_(std::to_string(port)),
        lease_(lease) {}

  ~UpnpLease() override {
    if (forwarded_) {
      const int result = UPNP_DeletePortMapping(urls_.controlURL, gateway_.first.servicetype,
                                                port_.c_str(), "UDP", nullptr);
      if (result != UPNPCOMMAND_SUCCESS) {
        LogRouter("UPnP-IGD: port " + port_ + " may stay forwarded: " + UpnpError(result));
      }
    }
    FreeUPNPUrls(&urls_);
  }
  UpnpLease(const UpnpLease&) = delete;
  UpnpLease& operator=(const UpnpLease&) = delete;

  // The gateway's word on its outside address, unchecked; empty when it gave none.
  std::string OutsideAddress() {
    char text[64] = "";
    const int result =
        UPNP_GetExternalIPAddress(urls_.controlURL, gateway_.first.servicetype, text);
    text[sizeof text - 1] = '\0';
    return result == UPNPCOMMAND_SUCCESS ? text : "";
  }

  // UPNPCOMMAND_SUCCESS once the router forwards the port for the lease (or for good, where it
  // leases no other way).
  int Forward() {
    int result = Add(std::to_string(lease_.count()));
    if (result == kOnlyPermanentLeases) result = Add("0");
    forwarded_ = forwarded_ || result == UPNPCOMMAND_SUCCESS;
    return result;
  }

  seconds Renew() override {
    const int result = Forward();
    if (result != UPNPCOMMAND_SUCCESS) {
      LogRouter("UPnP-IGD: renewing port " + port_ + ": " + UpnpError(result));
      return kShortestRenewal;
    }
    return HalfOf(lease_);
  }

 private:
  static constexpr int kOnlyPermanentLeases = 725;

  int Add(const std::string& lease) {
    return UPNP_AddPortMapping(urls_.controlURL, gateway_.first.servicetype, port_.c_str(),
                               port_.c_str(), lanAddress_.c_str(), kDescription, "UDP", nullptr,
                               lease.c_str());
  }

  UPNPUrls urls_;
  const IGDdatas gateway_;
  const std::string lanAddress_;
  const std::string port_;
  const seconds lease_;
  bool forwarded_ = false;
};

Attempt AskUpnp(uint16_t port, seconds lease) {
  static const char* const kGateways[] = {
      "urn:schemas-upnp-org:device:InternetGatewayDevice:1",
      "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
      "urn:schemas-upnp-org:service:WANIPConnection:1",
      "urn:schemas-upnp-org:service:WANPPPConnection:1",
      nullptr,
  };
  int error = 0;
  // Every kind is asked for at once, and the answers awaited once.
  UPNPDev* devices = upnpDiscoverDevices(kGateways, kUpnpDiscoveryMs, nullptr, nullptr,
                                         UPNP_LOCAL_PORT_ANY, 0, 2, &error, 1);
  if (devices == nullptr) return {};
  UPNPUrls urls{};
  IGDdatas gateway{};
  char lanAddress[64] = "";
  const int found = UPNP_GetValidIGD(devices, &urls, &gateway, lanAddress, sizeof lanAddress);
  freeUPNPDevlist(devices);
  if (found != 1) {
    if (found != 0) FreeUPNPUrls(&urls);
    return Failed("UPnP-IGD: no connected internet gateway among the devices that answered");
  }
  auto held = std::make_unique<UpnpLease>(urls, gateway, lanAddress, port, lease);
  if (!ParseIpv4(lanAddress)) return Failed("UPnP-IGD: no address of ours toward the router");
  const std::string address = held->OutsideAddress();
  const std::optional<JoinAddress> outside = CheckedOutsideAddress(address, port);
  if (!outside) return Failed(RefusedOutside("UPnP-IGD", address));
  const int forwarded = held->Forward();
  if (forwarded != UPNPCOMMAND_SUCCESS) {
    return Failed("UPnP-IGD: the router did not forward port " + std::to_string(port) + ": " +
                  UpnpError(forwarded));
  }
  return {std::move(held), *outside, HalfOf(lease), "UPnP-IGD"};
}

}  // namespace

PortForward::PortForward(uint16_t port, seconds lease)
    : port_(port), lease_(lease), asked_(SteadyClock::now()), thread_([this] { Run(); }) {}

PortForward::~PortForward() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

std::optional<PortForward::Answer> PortForward::Poll() {
  const std::lock_guard lock(mutex_);
  if (polled_) return std::nullopt;
  if (!answer_ && SteadyClock::now() - asked_ < kPatience) return std::nullopt;
  polled_ = true;
  if (!answer_) return Answer{std::nullopt, kNoRouter};
  return std::move(answer_);
}

bool PortForward::Stopping() {
  const std::lock_guard lock(mutex_);
  return stopping_;
}

void PortForward::Run() {
  try {
    // NAT-PMP first: where a router speaks it, it answers or refuses within milliseconds, while
    // UPnP's discovery always listens for a second.
    Attempt attempt = AskNatPmp(port_, lease_, asked_);
    if (!attempt.lease && !Stopping()) {
      Attempt upnp = AskUpnp(port_, lease_);
      if (upnp.lease) {
        attempt = std::move(upnp);
      } else if (!upnp.how.empty()) {
        attempt.how += (attempt.how.empty() ? "" : "; ") + upnp.how;
      }
    }
    std::unique_lock lock(mutex_);
    if (polled_ || stopping_) {
      lock.unlock();
      if (attempt.lease) LogRouter("the router answered too late; its forwarding is taken back");
      return;  // the lease, going, takes the forwarding back
    }
    answer_ = Answer{attempt.lease ? std::optional(attempt.outside) : std::nullopt,
                     attempt.how.empty() ? kNoRouter : attempt.how};
    if (!attempt.lease) return;
    seconds renewIn = attempt.renewIn;
    while (!wake_.wait_for(lock, renewIn, [this] { return stopping_; })) {
      lock.unlock();
      renewIn = attempt.lease->Renew();
      lock.lock();
    }
    lock.unlock();
    attempt.lease.reset();  // takes the forwarding back
  } catch (const std::exception& error) {
    LogRouter(error.what());
  }
}

}  // namespace zorvane::net
