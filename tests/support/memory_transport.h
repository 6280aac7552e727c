#pragma once

#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "game/events/clock.h"
#include "game/net/transport.h"

namespace zorvane::net {

// What links in memory do to what they carry: with a clock, every message takes `delayMicros`
// on it to arrive, and a share of those sent unreliably is lost.
struct MemoryFaults {
  Clock* clock = nullptr;
  int64_t delayMicros = 0;
  double unreliableLoss = 0;
  uint32_t seed = 1;
};

// Links in memory, for tests: a host's end, and the ends joined to it, each with its own link;
// what one end sends, the other receives in order. An end can be cut, as a crash would cut it:
// nothing more passes either way.
class MemoryTransport : public Transport {
 public:
  // A host's end and a guest's end joined to it; each sees Connected first.
  static std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> Pair(
      MemoryFaults faults = {});
  // Another end joined to this host's end, as a watcher or a second guest joins.
  std::unique_ptr<MemoryTransport> Join();

  TransportEvent Poll() override;
  void Send(PeerId peer, const std::vector<uint8_t>& bytes, Delivery delivery) override;
  void Flush() override {}
  void Release(PeerId peer) override;
  // Nothing passes in memory but the messages.
  bool HeardFrom(PeerId) override { return false; }
  // What the peer has not taken yet.
  size_t Unacknowledged(PeerId peer) const override;
  std::string PeerName(PeerId) const override { return "memory"; }

  // From now on what is sent, either way on any link of this network, takes this long.
  void SetDelay(int64_t micros) { shared_->faults.delayMicros = micros; }
  // Stops every link of this end without a word to the peers.
  void Cut();
  // Puts raw bytes in front of this end as if its first peer had sent them.
  void Inject(std::vector<uint8_t> bytes);

 private:
  struct Arrival {
    TransportEvent event;
    int64_t dueMicros;
  };
  struct Link {
    std::deque<Arrival> toEnd[2];  // [0] to the host's end, [1] to the joined end
    bool cut = false;
  };
  struct Shared {
    MemoryFaults faults;
    std::mt19937 random;
  };

  MemoryTransport(std::shared_ptr<Shared> shared, int side)
      : shared_(std::move(shared)), side_(side) {}
  int64_t Now() const;
  void Put(Link& link, int side, TransportEvent event);

  std::shared_ptr<Shared> shared_;
  int side_;                                  // 0: the host's end
  std::vector<std::shared_ptr<Link>> links_;  // peer i + 1
  size_t nextLink_ = 0;                       // where Poll looks first, in turns
};

}  // namespace zorvane::net
