#pragma once

#include <algorithm>
#include <cstdint>

#include "game/events/clock.h"
#include "game/events/event_queue.h"

namespace zorvane::net {

// The 20 ms beat of a game over the network: the last tick the clock has reached since play
// began. A tick held up is made up later, so that the game keeps 50 ticks a second; beyond a
// short lag the lost time is let go instead of being run off in a burst. A game that ran ahead
// of its beat (a watcher catching up) takes the beat along. Time given up to let the other game
// catch up makes the coming ticks fall due later, by at most a tenth of an interval each.
class TickBeat {
 public:
  static constexpr int64_t kIntervalMicros = EventQueue::kTimerIntervalMicros;
  static constexpr int64_t kMostSlowingMicros = kIntervalMicros / 10;
  static constexpr uint32_t kMostTicksBehind = 10;

  explicit TickBeat(Clock& clock) : clock_(clock) {}

  // Play began at this time of the clock: tick 1 falls due one interval after it.
  void Start(int64_t startMicros) {
    due_ = startMicros + kIntervalMicros;
    reached_ = 0;
  }

  // The last tick due, given how many have run.
  uint32_t Reached(uint32_t ticksRun) {
    const int64_t now = clock_.NowMicros();
    reached_ = std::max(reached_, ticksRun);
    while (now >= due_) {
      if (reached_ >= ticksRun + kMostTicksBehind) {
        due_ = now + kIntervalMicros;
        break;
      }
      const int64_t slowing = std::min(owed_, kMostSlowingMicros);
      owed_ -= slowing;
      if (slowing > 0) slowedMicros_ += kIntervalMicros + slowing;
      due_ += kIntervalMicros + slowing;
      ++reached_;
    }
    return reached_;
  }

  // Gives up this much time over the coming ticks.
  void Yield(int64_t micros) { owed_ += micros; }

  // How long the beat has run slowed.
  int64_t slowedMicros() const { return slowedMicros_; }

 private:
  Clock& clock_;
  int64_t due_ = 0;  // when the tick after reached_ falls due
  uint32_t reached_ = 0;
  int64_t owed_ = 0;
  int64_t slowedMicros_ = 0;
};

}  // namespace zorvane::net
