#pragma once

#include <cstdint>

#include "game/events/clock.h"

namespace zorvane::net {

// The 20 ms beat of a game over the network: how many ticks the clock has reached since play
// began. A tick held up by a late key is made up later, one per pass of the frame loop, so that
// both games keep 50 ticks a second; beyond a short lag the lost time is let go instead of being
// run off in a burst.
class TickBeat {
 public:
  static constexpr int64_t kIntervalMicros = 20000;
  static constexpr uint32_t kMostTicksBehind = 10;

  explicit TickBeat(Clock& clock) : clock_(clock) {}

  // Play begins: tick 1 falls due one interval from now.
  void Start() { start_ = clock_.NowMicros(); }

  // The last tick due, given how many have run.
  uint32_t Reached(uint32_t ticksRun) {
    const int64_t beats = (clock_.NowMicros() - start_) / kIntervalMicros;
    const int64_t most = static_cast<int64_t>(ticksRun) + kMostTicksBehind;
    if (beats > most) start_ += (beats - most) * kIntervalMicros;
    return static_cast<uint32_t>(beats > most ? most : beats);
  }

 private:
  Clock& clock_;
  int64_t start_ = 0;
};

}  // namespace zorvane::net
