#include "game/net/enet_transport.h"

#include <enet/enet.h>

#include <chrono>

#include "game/net/messages.h"
#include "game/net/network_error.h"
#include "settings/error_log.h"

namespace zorvane::net {
namespace {

// Channel 0 carries the reliable messages, channel 1 those sent once: ENet holds back a message
// sent once until the reliable ones sent before it on its channel have come.
constexpr int kChannels = 2;
constexpr enet_uint8 kReliableChannel = 0;
constexpr enet_uint8 kUnreliableChannel = 1;
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
// Long enough for the last messages and the goodbye to be acknowledged over a slow link that
// loses some of them.
constexpr auto kGoodbyeWait = std::chrono::milliseconds(2000);
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

// ENet drops messages sent unreliably while the round trip grows, to spare a congested link;
// ours are a few dozen bytes, sent again until they arrive, and dropping them would stall the
// other game: each peer keeps its throttle where it starts, open.
void ForPlay(ENetPeer* peer) {
  enet_peer_timeout(peer, kPlayTimeoutLimit, 0, kPlayTimeoutMs);
  enet_peer_throttle_configure(peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                               ENET_PEER_PACKET_THROTTLE_ACCELERATION, 0);
}

void Limit(ENetHost* host) {
  host->checksum = enet_crc32;
  host->maximumPacketSize = kLargestPacket;
  host->maximumWaitingData = kMostWaitingData;
}

// One message to one peer; one ENet will not take (the peer is not connected) is freed here,
// since ENet keeps only what it queues.
void SendTo(ENetPeer* peer, const std::vector<uint8_t>& bytes, Delivery delivery) {
  const bool reliable = delivery == Delivery::Reliable;
  ENetPacket* packet =
      enet_packet_create(bytes.data(), bytes.size(),
                         reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
  if (packet == nullptr) {
    LogError("network", "no memory for a message");
  } else if (enet_peer_send(peer, reliable ? kReliableChannel : kUnreliableChannel, packet) < 0) {
    enet_packet_destroy(packet);
    LogError("network", "a message could not be sent to " + Name(peer->address));
  }
}

PeerId IdOf(const ENetPeer* peer) {
  return static_cast<PeerId>(reinterpret_cast<uintptr_t>(peer->data));
}

// The bytes of the messages in one of ENet's lists of commands.
size_t BytesIn(ENetList& commands) {
  size_t bytes = 0;
  for (ENetListIterator it = enet_list_begin(&commands); it != enet_list_end(&commands);
       it = enet_list_next(it)) {
    const auto* command = reinterpret_cast<const ENetOutgoingCommand*>(it);
    if (command->packet != nullptr) bytes += command->fragmentLength;
  }
  return bytes;
}

}  // namespace

EnetTransport::EnetTransport(ENetHost* host) : host_(host) { Limit(host_); }

std::unique_ptr<EnetTransport> EnetTransport::Host(uint16_t port) {
  StartEnet();
  ENetAddress address{ENET_HOST_ANY, port};
  ENetHost* host = enet_host_create(&address, kHostPeers, kChannels, 0, 0);
  if (host == nullptr) {
    throw NetworkError("cannot wait for a player on UDP port " + std::to_string(port) +
                           ": the port is in use or not allowed",
                       NetworkError::kFailed);
  }
  return std::unique_ptr<EnetTransport>(new EnetTransport(host));
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
  std::unique_ptr<EnetTransport> transport(new EnetTransport(host));
  ENetPeer* peer = enet_host_connect(host, &address, kChannels, 0);
  if (peer == nullptr) throw NetworkError("could not join " + where, NetworkError::kFailed);
  enet_peer_timeout(peer, 0, kJoinTimeoutMs, kJoinTimeoutMs);
  transport->joining_ = transport->Add(peer, where);  // kHostPeer, the first
  enet_host_flush(host);
  return transport;
}

EnetTransport::~EnetTransport() {
  if (host_ == nullptr) return;
  for (auto& [id, peer] : peers_) enet_peer_disconnect_later(peer.peer, 0);
  const auto until = std::chrono::steady_clock::now() + kGoodbyeWait;
  ENetEvent event;
  while (!peers_.empty() && std::chrono::steady_clock::now() < until) {
    const int got = enet_host_service(host_, &event, 10);
    if (got < 0) {
      LogError("network", "ENet could not service the connections while closing them");
      break;
    }
    if (got == 0) continue;
    if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
    if (event.type == ENET_EVENT_TYPE_DISCONNECT) peers_.erase(IdOf(event.peer));
  }
  enet_host_destroy(host_);
}

PeerId EnetTransport::Add(ENetPeer* peer, std::string name) {
  const PeerId id = nextPeer_++;
  peer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(id));
  peers_[id] = Peer{peer, std::move(name)};
  return id;
}

ENetPeer* EnetTransport::Find(PeerId peer) const {
  const auto found = peers_.find(peer);
  return found == peers_.end() || peer == joining_ ? nullptr : found->second.peer;
}

TransportEvent EnetTransport::Poll() {
  if (host_ == nullptr) return {};
  ENetEvent event;
  int got;
  while ((got = enet_host_service(host_, &event, 0)) > 0) {
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT: {
        ForPlay(event.peer);
        if (IdOf(event.peer) == joining_ && joining_ != 0) {
          const PeerId host = joining_;
          joining_ = 0;
          return {TransportEvent::Kind::Connected, host, {}};
        }
        return {TransportEvent::Kind::Connected, Add(event.peer, Name(event.peer->address)), {}};
      }
      case ENET_EVENT_TYPE_RECEIVE: {
        const PeerId from = IdOf(event.peer);
        TransportEvent received{
            TransportEvent::Kind::Message,
            from,
            {event.packet->data, event.packet->data + event.packet->dataLength}};
        enet_packet_destroy(event.packet);
        if (peers_.count(from) != 0) return received;
        break;
      }
      case ENET_EVENT_TYPE_DISCONNECT: {
        const PeerId gone = IdOf(event.peer);
        if (peers_.erase(gone) == 0) break;  // one we let go
        if (gone == joining_) joining_ = 0;
        return {TransportEvent::Kind::Disconnected, gone, {}};
      }
      case ENET_EVENT_TYPE_NONE:
        break;
    }
  }
  if (got < 0) LogError("network", "ENet could not service the connection (a socket error)");
  return {};
}

void EnetTransport::Send(PeerId peer, const std::vector<uint8_t>& bytes, Delivery delivery) {
  if (ENetPeer* to = Find(peer)) SendTo(to, bytes, delivery);
}

void EnetTransport::Flush() {
  if (host_ == nullptr) return;
  const enet_uint32 now = enet_time_get();
  if (now - lastPing_ >= kPingIntervalMs) {
    for (const auto& [id, peer] : peers_) {
      if (id != joining_) enet_peer_ping(peer.peer);
    }
    lastPing_ = now;
  }
  enet_host_flush(host_);
}

void EnetTransport::Release(PeerId peer) {
  ENetPeer* gone = Find(peer);
  if (gone == nullptr) return;
  enet_peer_disconnect_later(gone, 0);
  enet_host_flush(host_);
  peers_.erase(peer);
}

bool EnetTransport::HeardFrom(PeerId peer) {
  const auto found = peers_.find(peer);
  if (found == peers_.end() || peer == joining_) return false;
  Peer& known = found->second;
  if (known.peer->lastReceiveTime == known.lastHeard) return false;
  known.lastHeard = known.peer->lastReceiveTime;
  return true;
}

size_t EnetTransport::Unacknowledged(PeerId peer) const {
  ENetPeer* to = Find(peer);
  return to == nullptr ? 0 : BytesIn(to->outgoingCommands) + BytesIn(to->sentReliableCommands);
}

std::string EnetTransport::PeerName(PeerId peer) const {
  const auto found = peers_.find(peer);
  return found == peers_.end() ? "?" : found->second.name;
}

uint16_t EnetTransport::port() const { return host_ ? host_->address.port : 0; }

void EnetTransport::Abandon() {
  if (host_ == nullptr) return;
  enet_host_destroy(host_);
  host_ = nullptr;
  peers_.clear();
}

}  // namespace zorvane::net
