#include "tests/support/memory_transport.h"

namespace zorvane::net {

std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> MemoryTransport::Pair(
    MemoryFaults faults) {
  auto shared = std::make_shared<Shared>(Shared{faults, std::mt19937(faults.seed)});
  std::unique_ptr<MemoryTransport> host(new MemoryTransport(shared, 0));
  std::unique_ptr<MemoryTransport> guest = host->Join();
  return {std::move(host), std::move(guest)};
}

std::unique_ptr<MemoryTransport> MemoryTransport::Join() {
  auto link = std::make_shared<Link>();
  std::unique_ptr<MemoryTransport> joined(new MemoryTransport(shared_, 1));
  joined->links_.push_back(link);
  links_.push_back(link);
  const PeerId fromHost = static_cast<PeerId>(links_.size());
  link->toEnd[0].push_back({{TransportEvent::Kind::Connected, fromHost, {}}, 0});
  link->toEnd[1].push_back({{TransportEvent::Kind::Connected, 1, {}}, 0});
  return joined;
}

int64_t MemoryTransport::Now() const {
  return shared_->faults.clock ? shared_->faults.clock->NowMicros() : 0;
}

TransportEvent MemoryTransport::Poll() {
  for (size_t i = 0; i < links_.size(); ++i) {
    const size_t at = (nextLink_ + i) % links_.size();
    auto& queue = links_[at]->toEnd[side_];
    if (links_[at]->cut || queue.empty() || queue.front().dueMicros > Now()) continue;
    TransportEvent event = std::move(queue.front().event);
    queue.pop_front();
    event.peer = static_cast<PeerId>(side_ == 0 ? at + 1 : 1);
    nextLink_ = at + 1;
    return event;
  }
  return {};
}

void MemoryTransport::Put(Link& link, int side, TransportEvent event) {
  if (!link.cut)
    link.toEnd[side].push_back({std::move(event), Now() + shared_->faults.delayMicros});
}

void MemoryTransport::Send(PeerId peer, const std::vector<uint8_t>& bytes, Delivery delivery) {
  if (peer == 0 || peer > links_.size()) return;
  if (delivery == Delivery::Unreliable && std::uniform_real_distribution<double>(0, 1)(
                                              shared_->random) < shared_->faults.unreliableLoss) {
    return;
  }
  Put(*links_[peer - 1], 1 - side_, {TransportEvent::Kind::Message, 0, bytes});
}

size_t MemoryTransport::Unacknowledged(PeerId peer) const {
  if (peer == 0 || peer > links_.size()) return 0;
  size_t bytes = 0;
  for (const Arrival& arrival : links_[peer - 1]->toEnd[1 - side_]) {
    bytes += arrival.event.bytes.size();
  }
  return bytes;
}

void MemoryTransport::Release(PeerId peer) {
  if (peer == 0 || peer > links_.size()) return;
  Put(*links_[peer - 1], 1 - side_, {TransportEvent::Kind::Disconnected, 0, {}});
}

void MemoryTransport::Cut() {
  for (auto& link : links_) link->cut = true;
}

void MemoryTransport::Inject(std::vector<uint8_t> bytes) {
  links_.front()->toEnd[side_].push_back({{TransportEvent::Kind::Message, 1, std::move(bytes)}, 0});
}

}  // namespace zorvane::net
