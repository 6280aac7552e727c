#include "game/net/enet_transport.h"

#include <enet/enet.h>

#include <chrono>

#include "game/net/messages.h"
#include "game/net/network_error.h"
#include "settings/error_log.h"

namespace zorvane::net {
namespace {

constexpr int kChannels = 1;
// The host takes one guest and has room to answer a few more that it turns away.
constexpr size_t kHostPeers = 4;
// A little room over the largest message for ENet's own framing of a packet.
constexpr size_t kLargestPacket = kMaxMessageSize;
constexpr size_t kMostWaitingData = 64 * 1024;
// ENet lets a peer go when a message goes unacknowledged this long. With a tenth of the
// datagrams lost, a message sent again at ever longer intervals can take several seconds to get
// through while the peer answers every ping: the game, which watches for silence itself
// (5 s of nothing at all from the peer), leaves ENet its own default of 30 s.
constexpr enet_uint32 kPlayTimeoutMs = 30000;
// Nor does a message that had to be sent again many times end the link before then.
constexpr enet_uint32 kPlayTimeoutLimit = 1u << 16;
constexpr enet_uint32 kJoinTimeoutMs = 10000;
constexpr auto kGoodbyeWait = std::chrono::milliseconds(1000);
// ENet pings a peer by itself only while none of its messages waits for an acknowledgement. A
// message lost a few times in a row is sent again at ever longer intervals, and while both sides
// wait on one, neither would hear from the other for seconds: a ping of our own, four times a
// second, keeps each side hearing the other (and costs a few dozen bytes a second).
constexpr enet_uint32 kPingIntervalMs = 250;

void StartEnet() {
  static const bool started = [] {
    if (enet_initialize() != 0) throw NetworkError("cannot start ENet", NetworkError::kFailed);
    std::atexit(enet_deinitialize);
    return true;
  }();
  (void)started;
}

std::string Name(const ENetAddress& address) {
  char ip[64] = "?";
  enet_address_get_host_ip(&address, ip, sizeof ip);
  return std::string(ip) + ":" + std::to_string(address.port);
}

void Limit(ENetHost* host) {
  host->checksum = enet_crc32;
  host->maximumPacketSize = kLargestPacket;
  host->maximumWaitingData = kMostWaitingData;
}

// A reliable message to one peer; one ENet will not take (the peer is not connected) is freed
// here, since ENet keeps only what it queues.
void SendTo(ENetPeer* peer, const std::vector<uint8_t>& bytes) {
  ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
  if (packet == nullptr) {
    LogError("network", "no memory for a message");
  } else if (enet_peer_send(peer, 0, packet) < 0) {
    enet_packet_destroy(packet);
    LogError("network", "a message could not be sent to " + Name(peer->address));
  }
}

}  // namespace

EnetTransport::EnetTransport(ENetHost* host, std::vector<uint8_t> busyReply)
    : host_(host), busyReply_(std::move(busyReply)) {
  Limit(host_);
}

std::unique_ptr<EnetTransport> EnetTransport::Host(uint16_t port, std::vector<uint8_t> busyReply) {
  StartEnet();
  ENetAddress address{ENET_HOST_ANY, port};
  ENetHost* host = enet_host_create(&address, kHostPeers, kChannels, 0, 0);
  if (host == nullptr) {
    throw NetworkError("cannot wait for a player on UDP port " + std::to_string(port) +
                           ": the port is in use or not allowed",
                       NetworkError::kFailed);
  }
  return std::unique_ptr<EnetTransport>(new EnetTransport(host, std::move(busyReply)));
}

std::unique_ptr<EnetTransport> EnetTransport::Join(const std::string& name, uint16_t port) {
  StartEnet();
  const std::string where = name + ":" + std::to_string(port);
  ENetAddress address{};
  address.port = port;
  if (enet_address_set_host(&address, name.c_str()) != 0) {
    throw NetworkError("could not join " + where + ": no such host", NetworkError::kFailed);
  }
  ENetHost* host = enet_host_create(nullptr, 1, kChannels, 0, 0);
  if (host == nullptr) {
    throw NetworkError("could not join " + where + ": no UDP socket", NetworkError::kFailed);
  }
  std::unique_ptr<EnetTransport> transport(new EnetTransport(host, {}));
  transport->peer_ = enet_host_connect(host, &address, kChannels, 0);
  if (transport->peer_ == nullptr) {
    throw NetworkError("could not join " + where, NetworkError::kFailed);
  }
  enet_peer_timeout(transport->peer_, 0, kJoinTimeoutMs, kJoinTimeoutMs);
  transport->peerName_ = where;
  transport->joining_ = true;
  enet_host_flush(host);
  return transport;
}

EnetTransport::~EnetTransport() {
  if (host_ == nullptr) return;
  if (peer_ != nullptr) {
    enet_peer_disconnect_later(peer_, 0);
    const auto until = std::chrono::steady_clock::now() + kGoodbyeWait;
    ENetEvent event;
    while (std::chrono::steady_clock::now() < until) {
      const int got = enet_host_service(host_, &event, 10);
      if (got < 0) {
        LogError("network", "ENet could not service the connection while closing it");
        break;
      }
      if (got == 0) continue;
      if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
      if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer_) break;
    }
  }
  enet_host_destroy(host_);
}

TransportEvent EnetTransport::Poll() {
  if (host_ == nullptr) return {};
  ENetEvent event;
  int got;
  while ((got = enet_host_service(host_, &event, 0)) > 0) {
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT:
        if (joining_ && event.peer == peer_) {
          joining_ = false;
          enet_peer_timeout(peer_, kPlayTimeoutLimit, 0, kPlayTimeoutMs);
          return {TransportEvent::Kind::Connected, {}};
        }
        if (peer_ == nullptr && open_) {
          peer_ = event.peer;
          peerName_ = Name(peer_->address);
          enet_peer_timeout(peer_, kPlayTimeoutLimit, 0, kPlayTimeoutMs);
          return {TransportEvent::Kind::Connected, {}};
        }
        // Someone else while a guest is here, or after the guest left: told so, and let go.
        SendTo(event.peer, busyReply_);
        enet_peer_disconnect_later(event.peer, 0);
        break;
      case ENET_EVENT_TYPE_RECEIVE: {
        const bool fromPeer = event.peer == peer_;
        TransportEvent received{
            TransportEvent::Kind::Message,
            {event.packet->data, event.packet->data + event.packet->dataLength}};
        enet_packet_destroy(event.packet);
        if (fromPeer) return received;
        break;
      }
      case ENET_EVENT_TYPE_DISCONNECT:
        if (event.peer == peer_) {
          peer_ = nullptr;
          open_ = false;
          return {TransportEvent::Kind::Disconnected, {}};
        }
        break;
      case ENET_EVENT_TYPE_NONE:
        break;
    }
  }
  if (got < 0) LogError("network", "ENet could not service the connection (a socket error)");
  return {};
}

void EnetTransport::Send(const std::vector<uint8_t>& bytes) {
  if (host_ == nullptr || peer_ == nullptr || joining_) return;
  SendTo(peer_, bytes);
}

void EnetTransport::Flush() {
  if (host_ == nullptr) return;
  const enet_uint32 now = enet_time_get();
  if (peer_ != nullptr && !joining_ && now - lastPing_ >= kPingIntervalMs) {
    enet_peer_ping(peer_);
    lastPing_ = now;
  }
  enet_host_flush(host_);
}

void EnetTransport::Release() {
  open_ = true;
  if (peer_ == nullptr) return;
  enet_peer_disconnect_later(peer_, 0);
  enet_host_flush(host_);
  peer_ = nullptr;
}

bool EnetTransport::HeardFromPeer() {
  if (peer_ == nullptr || joining_ || peer_->lastReceiveTime == lastHeard_) return false;
  lastHeard_ = peer_->lastReceiveTime;
  return true;
}

uint16_t EnetTransport::port() const { return host_ ? host_->address.port : 0; }

void EnetTransport::Abandon() {
  if (host_ == nullptr) return;
  enet_host_destroy(host_);
  host_ = nullptr;
  peer_ = nullptr;
}

}  // namespace zorvane::net
