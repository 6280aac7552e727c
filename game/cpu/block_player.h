#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "game/events/key_codes.h"
#include "game/sim/player_state.h"

namespace zorvane {

// At most three key-downs in any five ticks in a row: thirty a second at fifty ticks a second,
// and no more at one moment than a hand presses at once.
class KeyRate {
 public:
  static constexpr int kKeys = 3;
  static constexpr int64_t kTicks = 5;

  // Whether one more key may run before tick `tick`.
  bool MayPress(int64_t tick) const { return last_[0] <= tick - kTicks; }
  void Pressed(int64_t tick) {
    for (int i = 0; i + 1 < kKeys; ++i) last_[i] = last_[i + 1];
    last_[kKeys - 1] = tick;
  }

 private:
  // The ticks before which the last three keys ran, the oldest first.
  std::array<int64_t, kKeys> last_{kNever, kNever, kNever};
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::min() / 2;
};

// The keys a player presses between two ticks.
struct KeyPresses {
  std::array<int16_t, KeyRate::kKeys> keys{};
  int count = 0;

  void Add(int16_t key) {
    if (count < KeyRate::kKeys) keys[count++] = key;
  }
};

// What a player is shown: the state that was on screen after tick `tick`.
struct Seen {
  int64_t tick = 0;
  PlayState state;
};

// A player of one block that is not a person at the keys: the computer, or in the arena an
// outside program or a stand-in. It is shown only what was on screen its reaction time before,
// and what it presses goes through its seat (BotSeat), which lets only its own block's keys
// through, within the KeyRate.
class BlockPlayer {
 public:
  virtual ~BlockPlayer() = default;

  // How many ticks old the state it is shown is.
  virtual int reactionTicks() const = 0;
  // Tick `now` has run, and `seen` is what the screen showed reactionTicks() ticks before; the
  // keys it returns run before tick now + 1. `rate` holds the keys of its block so far.
  virtual KeyPresses Look(const Seen& seen, int64_t now, const KeyRate& rate) = 0;
  // Whether it has walked away from the round (an outside program that ended): it loses it.
  virtual bool walkedAway() const { return false; }
};

}  // namespace zorvane
