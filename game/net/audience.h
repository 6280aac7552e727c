#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/net/messages.h"
#include "game/net/transport.h"

namespace zorvane::net {

// The host's watchers, up to kMaxWatchers. Each is welcomed once play has begun and sent the
// game so far from its first tick, then every tick as it is confirmed, as runs of both players'
// inputs, within its share of the link. A watcher says nothing after its hello: anything it sends
// lets it go, and so does a link that cannot take the game. The players never wait for a watcher.
class Audience {
 public:
  static constexpr size_t kMaxWatchers = 8;
  // Each watcher's share of the link, messages and their framing.
  static constexpr int64_t kBytesPerSecond = 1600;
  static constexpr size_t kFramingBytes = 20;
  // Live ticks go out five at a time, ten messages a second.
  static constexpr uint32_t kTicksPerMessage = 5;
  // A watcher this far behind in acknowledging what it was sent cannot keep up.
  static constexpr size_t kMostUnacknowledged = 16 * 1024;

  Audience(Transport& transport, Versions versions) : transport_(transport), versions_(versions) {}

  // A peer greeted as a watcher: it is welcomed when play begins, or at once during play; one
  // too many is refused and let go.
  void Greeted(PeerId peer);
  // Play began with this welcome.
  void Start(const Welcome& welcome);
  bool Has(PeerId peer) const;
  // A watcher left.
  void Left(PeerId peer);
  // A watcher sent a message: it is let go.
  void Spoke(PeerId peer);
  // Sends each watcher what it has not had of the first `confirmed` ticks of the players'
  // inputs; once the game is over, all of it at once.
  void Send(const std::array<std::vector<uint8_t>, 2>& inputs, uint32_t confirmed, bool over,
            int64_t nowMicros);

  size_t size() const { return watchers_.size(); }

 private:
  struct Watcher {
    PeerId peer;
    uint32_t sent = 0;  // the last tick it was sent
    double budget = 0;  // bytes it may be sent now
    int64_t lastMicros = 0;
    bool starting = true;  // the budget starts from the first send
  };

  void LetGo(PeerId peer, const std::string& why);

  Transport& transport_;
  Versions versions_;
  std::optional<Welcome> welcome_;
  std::vector<Watcher> watchers_;
};

// The runs of equal input pairs from tick `first` to `last`, as one message holds them.
Turns TurnsFrom(const std::array<std::vector<uint8_t>, 2>& inputs, uint32_t first, uint32_t last);

}  // namespace zorvane::net
