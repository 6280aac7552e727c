#pragma once

#include <cstdint>

#include "game/clock.h"

namespace zorvane::net {

// The 20 ms beat of a game over the network. A tick held up by a late key is made up later,
// one per pass of the frame loop, so that both games keep 50 ticks a second; after a long wait
// the lost time is let go instead of being run off in a burst.
class TickBeat {
 public:
  static constexpr int64_t kIntervalMicros = 20000;
  static constexpr int64_t kMaxArrearsMicros = 200000;

  explicit TickBeat(Clock& clock) : clock_(clock) {}

  // The first tick falls due one interval from now.
  void Start() { due_ = clock_.NowMicros() + kIntervalMicros; }
  bool Due() { return clock_.NowMicros() >= due_; }
  // After a tick ran.
  void Ran() {
    const int64_t now = clock_.NowMicros();
    due_ += kIntervalMicros;
    if (now - due_ > kMaxArrearsMicros) due_ = now;
  }

 private:
  Clock& clock_;
  int64_t due_ = 0;
};

}  // namespace zorvane::net
