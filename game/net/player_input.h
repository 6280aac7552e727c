#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "game/events/event_queue.h"
#include "game/events/key_codes.h"
#include "game/net/messages.h"

namespace zorvane::net {

// The host plays the blue block, the guest the red one; a watcher plays none.
enum class Role { Host, Guest, Watcher };

// The side of a player in the tables of both players' inputs: the host's first.
enum Side { kHostSide = 0, kGuestSide = 1 };

// The bit of a tick's input that a key of this machine sets: each player steers their own block
// with either key set, so an arrow and its twin of W A S D set the same direction; Enter and
// Escape their presses; any other key none.
uint8_t InputBit(int16_t code);

// What a side's input is guessed to be in a tick not yet heard of: it holds what it last held,
// and presses nothing.
constexpr uint8_t Guess(uint8_t last) { return last & kHeldMask; }

// The local player's keys between two closes of a tick's input.
class LocalInput {
 public:
  // A key went down (not a repeat).
  void Press(int16_t code) { pressed_ |= InputBit(code); }
  // The keys held down right now, as the platform reports them.
  void Hold(std::span<const int16_t> codes);
  // The input of the next tick: each direction held now or pressed since the last close, and
  // Enter and Escape if pressed since.
  uint8_t Close();

 private:
  uint8_t held_ = 0;
  uint8_t pressed_ = 0;
};

// Turns one side's inputs into key-downs, tick by tick, by the schedule both games keep: a
// direction goes down in the tick it is first held, repeats 25 ticks later, then every 33 ms on
// the grid of 20 ms ticks (in the tick whose 20 ms the repeat falls in) until it is let go.
// Part of the state a tick is run from again.
class KeySchedule {
 public:
  static constexpr uint32_t kFirstRepeatTicks = 25;
  static constexpr uint32_t kRepeatMillis = 33;
  static constexpr uint32_t kTickMillis = EventQueue::kTimerIntervalMicros / 1000;
  // The repeats come round to the same ticks every 660 ms: 33 ticks holding 20 repeats.
  static constexpr uint32_t kBeatTicks = 33;

  // Whether a held direction goes down in the tick it has been held this many ticks after the
  // tick of its press (0: the press).
  static bool GoesDown(uint32_t age);

  // The key-downs of the tick with this input, for the block with these keys: the directions
  // (up, down, left, right), then Enter, then Escape. Gives at most six.
  template <typename Press>
  void Run(uint8_t input, const BlockKeys& keys, Press press) {
    const std::array<int16_t, 4> codes{keys.up, keys.down, keys.left, keys.right};
    for (size_t i = 0; i < codes.size(); ++i) {
      if (Step(i, (input >> i) & 1)) press(codes[i]);
    }
    if (input & kPressedEnter) press(kVkReturn);
    if (input & kPressedEscape) press(kVkEscape);
  }

 private:
  bool Step(size_t direction, bool held);

  // Ticks since each direction's press; kNotHeld for one that is up. After the first repeat it
  // counts round the repeats' beat, so that it never overflows.
  static constexpr uint8_t kNotHeld = 0xff;
  std::array<uint8_t, 4> age_{kNotHeld, kNotHeld, kNotHeld, kNotHeld};
};

}  // namespace zorvane::net
