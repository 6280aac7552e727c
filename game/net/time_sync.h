#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "game/net/tick_beat.h"

namespace zorvane::net {

// Keeps two games on one beat. Each message of the other player says which tick it had run when
// it was sent: how far our ticks are beyond it, averaged over the last messages, is this game's
// lead plus the time the messages take; the other game's own average, which it sends, is its
// lead plus the same time. Half their difference is how far this game runs ahead of the other.
// A game a tick or more ahead gives that time up, a little every tick; the other keeps its pace.
class TimeSync {
 public:
  static constexpr size_t kSamples = 32;
  static constexpr int64_t kTickMicros = TickBeat::kIntervalMicros;
  // The most given up at once; a lead beyond it is given up in turns.
  static constexpr int kMostTicksGivenUp = 25;
  // Giving up time slows the beat by a tenth (TickBeat): each tick given up takes ten.
  static constexpr int kTicksToGiveUpOne =
      static_cast<int>(TickBeat::kIntervalMicros / TickBeat::kMostSlowingMicros);

  // A message of the other game: the tick we have run, the tick it had run, and its average.
  void Sample(uint32_t ourTick, uint32_t theirTick, int8_t theirAhead);
  // Our average, for our messages.
  int8_t ahead() const;
  // The time to give up now, in microseconds: 0 unless this game is a tick or more ahead. Once
  // it has said so, it waits for the time to be given up and for fresh messages before it
  // says so again.
  int64_t TakeYield();

 private:
  double Average() const;

  std::array<int64_t, kSamples> samples_{};
  size_t count_ = 0;
  size_t next_ = 0;
  int8_t theirAhead_ = 0;
  int64_t quiet_ = 0;  // messages to wait for before the next decision
};

}  // namespace zorvane::net
