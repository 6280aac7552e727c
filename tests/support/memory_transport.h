#pragma once

#include <deque>
#include <memory>
#include <string>

#include "game/net/transport.h"

namespace zorvane::net {

// Two ends of a link in memory, for tests: what one end sends, the other receives in order.
// Either end can be cut, as a crash would cut it: nothing more passes either way.
class MemoryTransport : public Transport {
 public:
  // Two connected ends; each sees Connected first.
  static std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> Pair();

  TransportEvent Poll() override;
  void Send(const std::vector<uint8_t>& bytes) override;
  void Flush() override {}
  void Release() override;
  // Nothing passes in memory but the messages.
  bool HeardFromPeer() override { return false; }
  std::string PeerName() const override { return "memory"; }

  // Stops the link without a word to the peer.
  void Cut();
  // Puts raw bytes in front of this end as if the peer had sent them.
  void Inject(std::vector<uint8_t> bytes);

 private:
  struct Link {
    std::deque<TransportEvent> toEnd[2];
    bool cut = false;
  };
  MemoryTransport(std::shared_ptr<Link> link, int end) : link_(std::move(link)), end_(end) {}

  std::shared_ptr<Link> link_;
  int end_;
};

}  // namespace zorvane::net
