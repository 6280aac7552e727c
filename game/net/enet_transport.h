#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/net/transport.h"

struct _ENetHost;
struct _ENetPeer;

namespace zorvane::net {

// The links over UDP (IPv4) through ENet: a reliable, ordered channel and one for messages sent
// once, ENet's connection handshake, acknowledgements and time-outs, and a checksum on every
// datagram. Datagrams that do not belong to a connection are dropped by ENet; a packet over the
// largest message is refused before it is put together.
class EnetTransport : public Transport {
 public:
  // Room for a guest, the most watchers and a few more, who are told that there is no room.
  static constexpr size_t kHostPeers = 16;

  // Waits for guests and watchers on the UDP port (0: any free port), on every IPv4 address.
  // Raises NetworkError when the port cannot be had.
  static std::unique_ptr<EnetTransport> Host(uint16_t port);
  // Joins the host at name:port. Raises NetworkError when the name is not known.
  static std::unique_ptr<EnetTransport> Join(const std::string& name, uint16_t port);

  // Lets every peer go after what was sent has left, waiting a moment for that.
  ~EnetTransport() override;
  EnetTransport(const EnetTransport&) = delete;
  EnetTransport& operator=(const EnetTransport&) = delete;

  TransportEvent Poll() override;
  void Send(PeerId peer, const std::vector<uint8_t>& bytes, Delivery delivery) override;
  void Flush() override;
  void Release(PeerId peer) override;
  bool HeardFrom(PeerId peer) override;
  size_t Unacknowledged(PeerId peer) const override;
  std::string PeerName(PeerId peer) const override;

  // The UDP port the host listens on.
  uint16_t port() const;
  // Drops every connection at once, as a crash would: nothing more goes out or comes in.
  void Abandon();

 private:
  struct Peer {
    _ENetPeer* peer;
    std::string name;
    uint32_t lastHeard = 0;  // ENet's time of the last datagram from the peer, when last asked
  };

  explicit EnetTransport(_ENetHost* host);
  _ENetPeer* Find(PeerId peer) const;
  PeerId Add(_ENetPeer* peer, std::string name);

  _ENetHost* host_;
  std::map<PeerId, Peer> peers_;
  PeerId nextPeer_ = 1;
  PeerId joining_ = 0;     // the host a guest or watcher is still connecting to
  uint32_t lastPing_ = 0;  // ENet's time of our last pings
};

}  // namespace zorvane::net
