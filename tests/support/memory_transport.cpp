#include "tests/support/memory_transport.h"

namespace zorvane::net {

std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>>
MemoryTransport::Pair() {
  auto link = std::make_shared<Link>();
  for (auto& queue : link->toEnd) queue.push_back({TransportEvent::Kind::Connected, {}});
  return {std::unique_ptr<MemoryTransport>(new MemoryTransport(link, 0)),
          std::unique_ptr<MemoryTransport>(new MemoryTransport(link, 1))};
}

TransportEvent MemoryTransport::Poll() {
  auto& queue = link_->toEnd[end_];
  if (link_->cut || queue.empty()) return {};
  TransportEvent event = std::move(queue.front());
  queue.pop_front();
  return event;
}

void MemoryTransport::Send(const std::vector<uint8_t>& bytes) {
  if (!link_->cut) link_->toEnd[1 - end_].push_back({TransportEvent::Kind::Message, bytes});
}

void MemoryTransport::Release() {
  if (!link_->cut) link_->toEnd[1 - end_].push_back({TransportEvent::Kind::Disconnected, {}});
}

void MemoryTransport::Cut() { link_->cut = true; }

void MemoryTransport::Inject(std::vector<uint8_t> bytes) {
  link_->toEnd[end_].push_back({TransportEvent::Kind::Message, std::move(bytes)});
}

}  // namespace zorvane::net
