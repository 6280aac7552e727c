#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvane::net {

// One connection of a transport, named by the transport; never 0, never used again once the
// connection is gone. A guest or a watcher names the host it joins kHostPeer from the start.
using PeerId = uint32_t;
inline constexpr PeerId kHostPeer = 1;

// What happened on a connection.
struct TransportEvent {
  enum class Kind {
    None,          // nothing is waiting
    Connected,     // someone came (host), or the host answered (guest, watcher)
    Message,       // one message from the peer
    Disconnected,  // the peer left, timed out or could not be reached
  };
  Kind kind = Kind::None;
  PeerId peer = 0;
  std::vector<uint8_t> bytes;
};

// How a message travels: reliably and in order with the other reliable ones, or once, perhaps
// never, perhaps out of order (for what is sent again until it arrives anyway).
enum class Delivery { Reliable, Unreliable };

// The links of one game to others: a host's to its guest and watchers, a guest's or a
// watcher's to the host. Whoever is not connected is not heard.
class Transport {
 public:
  virtual ~Transport() = default;
  // The next event, without waiting; also where the link does its own work.
  virtual TransportEvent Poll() = 0;
  // Queues one message to a peer; nothing for a peer that is gone.
  virtual void Send(PeerId peer, const std::vector<uint8_t>& bytes, Delivery delivery) = 0;
  // Sends what was queued, together.
  virtual void Flush() = 0;
  // Lets a peer go once what was sent to it has left.
  virtual void Release(PeerId peer) = 0;
  // Whether anything at all came from the peer since the last time this was asked: the link's
  // own acknowledgements and pings too, which keep coming while a lost message is sent again.
  virtual bool HeardFrom(PeerId peer) = 0;
  // Bytes of reliable messages to the peer not yet acknowledged: how far behind it is.
  virtual size_t Unacknowledged(PeerId peer) const = 0;
  // Who the peer is, for messages: "host:port".
  virtual std::string PeerName(PeerId peer) const = 0;
};

}  // namespace zorvane::net
