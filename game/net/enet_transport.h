#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/net/transport.h"

struct _ENetHost;
struct _ENetPeer;

namespace zorvane::net {

// The link over UDP (IPv4) through ENet: one reliable, ordered channel, ENet's connection
// handshake, acknowledgements and time-outs, and a checksum on every datagram. Datagrams that
// do not belong to the peer's connection are dropped by ENet; a packet over the largest
// message is refused before it is put together.
class EnetTransport : public Transport {
 public:
  // Waits for a guest on the UDP port (0: any free port), on every IPv4 address. Whoever comes
  // while a guest is there gets `busyReply` and is let go. Raises NetworkError when the port
  // cannot be had.
  static std::unique_ptr<EnetTransport> Host(uint16_t port, std::vector<uint8_t> busyReply);
  // Joins the host at name:port. Raises NetworkError when the name is not known.
  static std::unique_ptr<EnetTransport> Join(const std::string& name, uint16_t port);

  // Lets the peer go after what was sent has left, waiting a moment for that.
  ~EnetTransport() override;
  EnetTransport(const EnetTransport&) = delete;
  EnetTransport& operator=(const EnetTransport&) = delete;

  TransportEvent Poll() override;
  void Send(const std::vector<uint8_t>& bytes) override;
  void Flush() override;
  void Release() override;
  bool HeardFromPeer() override;
  std::string PeerName() const override { return peerName_; }

  // The UDP port the host listens on.
  uint16_t port() const;
  // Drops the connection at once, as a crash would: nothing more goes out or comes in.
  void Abandon();

 private:
  EnetTransport(_ENetHost* host, std::vector<uint8_t> busyReply);

  _ENetHost* host_;
  _ENetPeer* peer_ = nullptr;
  std::vector<uint8_t> busyReply_;
  std::string peerName_;
  bool joining_ = false;
  bool open_ = true;        // whether a host takes the next guest that comes
  uint32_t lastHeard_ = 0;  // ENet's time of the last datagram from the peer
  uint32_t lastPing_ = 0;   // ENet's time of our last ping to the peer
};

}  // namespace zorvane::net
