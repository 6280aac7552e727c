#include "game/net/audience.h"

#include <algorithm>
#include <iostream>

#include "game/net/message_codec.h"

namespace zorvane::net {

Turns TurnsFrom(const std::array<std::vector<uint8_t>, 2>& inputs, uint32_t first, uint32_t last) {
  Turns turns{first, {}};
  for (uint32_t tick = first; tick <= last; ++tick) {
    const uint8_t host = inputs[0][tick - 1];
    const uint8_t guest = inputs[1][tick - 1];
    TurnRun* run = turns.runs.empty() ? nullptr : &turns.runs.back();
    if (run && run->host == host && run->guest == guest && run->ticks < 255) {
      ++run->ticks;
    } else if (turns.runs.size() < kMaxRunsPerMessage) {
      turns.runs.push_back({1, host, guest});
    } else {
      break;
    }
  }
  return turns;
}

void Audience::Greeted(PeerId peer) {
  if (watchers_.size() >= kMaxWatchers) {
    transport_.Send(peer, Encode(Refuse{RefuseReason::Full, versions_}), Delivery::Reliable);
    transport_.Release(peer);
    std::cerr << "zorvane: refused a watcher from " << transport_.PeerName(peer) << ": "
              << kMaxWatchers << " watch already\n";
    return;
  }
  watchers_.push_back({peer});
  if (welcome_) transport_.Send(peer, Encode(*welcome_), Delivery::Reliable);
}

void Audience::Start(const Welcome& welcome) {
  welcome_ = welcome;
  for (const Watcher& watcher : watchers_) {
    transport_.Send(watcher.peer, Encode(welcome), Delivery::Reliable);
  }
}

bool Audience::Has(PeerId peer) const {
  return std::any_of(watchers_.begin(), watchers_.end(),
                     [peer](const Watcher& watcher) { return watcher.peer == peer; });
}

void Audience::Left(PeerId peer) {
  std::erase_if(watchers_, [peer](const Watcher& watcher) { return watcher.peer == peer; });
}

void Audience::Spoke(PeerId peer) { LetGo(peer, "it sent a message, which watchers do not"); }

void Audience::LetGo(PeerId peer, const std::string& why) {
  std::cerr << "zorvane: let the watcher at " << transport_.PeerName(peer) << " go: " << why
            << "\n";
  transport_.Release(peer);
  Left(peer);
}

void Audience::Send(const std::array<std::vector<uint8_t>, 2>& inputs, uint32_t confirmed,
                    bool over, int64_t nowMicros) {
  if (!welcome_) return;
  std::vector<PeerId> tooSlow;
  for (Watcher& watcher : watchers_) {
    if (transport_.Unacknowledged(watcher.peer) > kMostUnacknowledged) {
      tooSlow.push_back(watcher.peer);
      continue;
    }
    const double earned = watcher.starting ? kBytesPerSecond
                                           : static_cast<double>(nowMicros - watcher.lastMicros) *
                                                 kBytesPerSecond / 1e6;
    watcher.budget = std::min<double>(kBytesPerSecond, watcher.budget + earned);
    watcher.lastMicros = nowMicros;
    watcher.starting = false;
    while (watcher.sent < confirmed && (over || confirmed - watcher.sent >= kTicksPerMessage)) {
      const Turns turns = TurnsFrom(inputs, watcher.sent + 1, confirmed);
      const std::vector<uint8_t> bytes = Encode(turns);
      const double cost = static_cast<double>(bytes.size() + kFramingBytes);
      if (!over && cost > watcher.budget) break;
      transport_.Send(watcher.peer, bytes, Delivery::Reliable);
      watcher.budget -= cost;
      for (const TurnRun& run : turns.runs) watcher.sent += run.ticks;
    }
  }
  for (PeerId peer : tooSlow) LetGo(peer, "its link cannot take the game");
}

}  // namespace zorvane::net
