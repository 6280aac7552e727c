#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/events/sound_service.h"

namespace zorvane::net {

// The game's sounds over the network, where a tick may run more than once: a sound is played
// the first time its tick asks for it, and a tick run again never plays a sound it played
// before (a run that turned out otherwise may still play one the first run did not). A tick
// that asks for one sound twice (both blocks hit a wall) plays it twice, as a local game does.
class TickSounds : public SoundService {
 public:
  explicit TickSounds(SoundService& sound) : sound_(sound) {}

  void Play(const std::string& path) override;

  // The tick about to run.
  void BeginTick(uint32_t tick) {
    tick_ = tick;
    asked_.clear();
  }
  // The ticks up to this one will not run again.
  void Forget(uint32_t upTo);

 private:
  SoundService& sound_;
  // A sound of a tick: the tick, the wave, and how many times the tick asked for it before.
  struct Played {
    uint32_t tick;
    std::string path;
    size_t before;
    bool operator==(const Played&) const = default;
  };

  uint32_t tick_ = 0;
  std::vector<std::string> asked_;  // in this run of the tick
  std::vector<Played> played_;      // of ticks that may run again
};

}  // namespace zorvane::net
