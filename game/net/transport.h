#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorvane::net {

// What happened on the connection to the other game.
struct TransportEvent {
  enum class Kind {
    None,          // nothing is waiting
    Connected,     // a guest came (host), or the host answered (guest)
    Message,       // one message from the peer, in the order it was sent
    Disconnected,  // the peer left, timed out or could not be reached
  };
  Kind kind = Kind::None;
  std::vector<uint8_t> bytes;
};

// The link between two games under the lockstep: reliable, ordered messages to and from one
// peer. Whoever else sends anything is not heard.
class Transport {
 public:
  virtual ~Transport() = default;
  // The next event, without waiting; also where the link does its own work.
  virtual TransportEvent Poll() = 0;
  // Queues one message to the peer, to go reliably and in order; nothing without a peer.
  virtual void Send(const std::vector<uint8_t>& bytes) = 0;
  // Sends what was queued, together.
  virtual void Flush() = 0;
  // Lets the peer go once what was sent has left; a host then takes another guest, which it
  // does not after a peer that left by itself.
  virtual void Release() = 0;
  // Whether anything at all came from the peer since the last time this was asked: the link's
  // own acknowledgements and pings too, which keep coming while a lost message of ours or
  // theirs is sent again.
  virtual bool HeardFromPeer() = 0;
  // Who the other side is, for messages: "host:port".
  virtual std::string PeerName() const = 0;
};

}  // namespace zorvane::net
